// The screens: which frame shows, the checks before one opens, the history
// of screens behind the back and forward buttons.

#include "app/TFMainVesk.h"

#include "app/MainWindowParts.h"
#include "devices/ui/TFbvEdit.h"
#include "devices/ui/TFpkEdit.h"
#include "devices/ui/TFpoAppr.h"
#include "foundation/MainWindowData.h"
#include "foundation/MainWindowLogic.h"
#include "foundation/NavigationHooks.h"
#include "foundation/ui/TScreenFrame.h"
#include "foundation/ui/WaitCursor.h"
#include "platform/Dialogs.h"
#include "site/ui/TFObEdit.h"
#include "site/ui/TFkvEdit.h"
#include "site/ui/TFskEdit.h"

#include <QAction>
#include <QLabel>
#include <QLineEdit>
#include <QPushButton>

using namespace MainWindowParts;
using namespace MainWindowTexts;

TScreenFrame* TFMainVesk::FrameOfScreen(int screen) const {
    const Screens::ScreenInfo* info = Screens::Find(screen);
    if (!info || info->frame.isEmpty()) return nullptr;
    for (TScreenFrame* frame : frames_)
        if (frame->objectName() == info->frame) return frame;
    return nullptr;
}

int TFMainVesk::VisibleScreen() const {
    return MainWindowLogic::ExitScreenNumber(
        [this](int screen) { return shown(FrameOfScreen(screen)); });
}

void TFMainVesk::setHistoryButtons() {
    BitBack->setEnabled(history_.BackEnabled());
    BitBack2->setEnabled(history_.BackEnabled());
    BitForward->setEnabled(history_.ForwardEnabled());
    BitForward2->setEnabled(history_.ForwardEnabled());
}

void TFMainVesk::PushScreen(int screen) {
    history_.Push(screen);
    setHistoryButtons();
}

void TFMainVesk::BitBackClick() {
    if (const std::optional<int> screen = history_.Back()) ShowScreen(*screen);
    setHistoryButtons();
}

void TFMainVesk::BitForwardClick() {
    if (const std::optional<int> screen = history_.Forward()) ShowScreen(*screen);
    setHistoryButtons();
}

void TFMainVesk::returnToPreviousScreen() {
    BitBackClick();
}

void TFMainVesk::LeaveScreen() {
    if (MainWindowData::IsOpen() && !MainWindowData::ObjectListEmpty()) {
        if (shown(FrMatr1)) {
            MenuItem(QStringLiteral("MPo"))->setEnabled(MainWindowData::ObjectHasConsole());
            Hooks().CloseObjectEditPanel();
        }
        if (shown(FrDom1) && ScreenRules::MatrixBeingEdited(MainWindowData::ObjectState()) &&
            Dialogs::Message(ScreenTexts::kQuestion, ScreenTexts::kSaveMatrix, DlgButtons::YesNo,
                             DlgIcon::Question) == DlgAnswer::Yes)
            Hooks().SaveMatrix();
    }
    for (TScreenFrame* frame : frames_) frame->hide();
    PanelTop->clear();
}

void TFMainVesk::ShowMatrixState() {
    if (MainWindowData::ObjectListEmpty()) return;
    P1_LSt->setText(ScreenRules::MatrixStateSentence(MainWindowData::ObjectState(),
                                                     MainWindowData::HasSwitchRecords(),
                                                     MainWindowData::HasApartments()));
}

void TFMainVesk::ClearMatrixState() {
    P1_LSt->clear();
}

// The windows that write object data; each closes by itself when what it
// shows is gone (DataGround), these also when the program ends.
QList<QWidget*> TFMainVesk::objectEditors() const {
    return {FpkEdit, FskEdit, FbvEdit, FkvEdit, FpoAppr};
}

void TFMainVesk::ShowScreen(int screen) {
    switch (screen) {
        case 0:
            ButEndClick();
            break;
        case 1:
            MConfObjectClick();
            break;
        case 2:
            MConfDomClick();
            break;
        case 3:
            MConfPodClick();
            break;
        case 4:
            MPkClick();
            break;
        case 5:
            MBvClick();
            break;
        case 6:
            MConfKvrClick();
            break;
        case 7:
            MPoClick();
            break;
        case 8:
            MServDelClick();
            break;
        case 9:
            MKeyClick();
            break;
        case 10:
            MWriteConfClick();
            break;
        case 11:
            MReadConfClick();
            break;
        case 12:
            MNetDeviceClick();
            break;
        case 13:
            MRedactConfClick();
            break;
        case 14:
            MAbonentClick();
            break;
        default:
            break;
    }
}

bool TFMainVesk::screenMayOpen(int screen, bool withResidents) {
    if (!databaseOpenOrRefuse()) return false;
    if (shown(FrameOfScreen(screen))) return false;
    ScreenRules::ObjectFacts facts = MainWindowData::ReadObjectFacts(withResidents);
    facts.newObjectEntry = NewObjectEntry();
    facts.residentSearch = Hooks().ResidentSearchActive();
    if (const auto refusal = ScreenRules::CheckBeforeOpening(screen, facts)) {
        if (!refusal->text.isEmpty())
            Dialogs::Message(refusal->caption, refusal->text, DlgButtons::Ok, refusal->icon);
        return false;
    }
    return true;
}

void TFMainVesk::openScreen(int screen, bool withResidents) {
    if (!screenMayOpen(screen, withResidents)) return;
    PushScreen(screen);
    LeaveScreen();
    showFrame(screen);
}

void TFMainVesk::showFrame(int screen) {
    FrameOfScreen(screen)->PrepareScreen(Path->text());
    showPreparedFrame(screen);
}

void TFMainVesk::showPreparedFrame(int screen) {
    TScreenFrame* frame = FrameOfScreen(screen);
    PanelTop->setText(Screens::Find(screen)->title);
    frame->show();
    frame->FocusFirstControl();
    ButEnd->setEnabled(true);
}

void TFMainVesk::ButEndClick() {
    LeaveScreen();
    PushScreen(0);
    setWindowTitle(kMenuCaption);
    ButEnd->setEnabled(false);
}

void TFMainVesk::MConfObjectClick() {
    if (!databaseOpenOrRefuse()) return;
    if (shown(FrMatr1)) return;
    if (MainWindowData::ObjectListEmpty())
        for (TScreenFrame* frame : frames_) frame->hide();
    WaitCursor wait;
    PushScreen(1);
    LeaveScreen();
    // The object list is refreshed before the state line reads the object.
    FrMatr1->PrepareScreen(Path->text());
    objectPanelFlags_[0] = objectPanelFlags_[1] = false;
    ShowMatrixState();
    showPreparedFrame(1);
}

void TFMainVesk::MConfDomClick() {
    if (!screenMayOpen(2)) return;
    PushScreen(2);
    LeaveScreen();
    Hooks().ReopenMatrix();
    if (ScreenRules::MatrixNeedsRebuild(MainWindowData::ObjectState())) Hooks().RebuildMatrTable();
    showFrame(2);
    FormResize();
}

void TFMainVesk::MConfPodClick() {
    if (!screenMayOpen(3)) return;
    if (MainWindowData::CurrentHouseEntrances() == 0 &&
        MainWindowData::CurrentHousePlannedEntrances() > 0)
        Hooks().CreateEntrancesFromMatrix();
    if (MainWindowData::CurrentHouseEntrances() == 0) {
        Dialogs::Message(ScreenTexts::kRefused, ScreenTexts::kMatrixNotFormed, DlgButtons::Ok,
                         DlgIcon::Error);
        return;
    }
    PushScreen(3);
    LeaveScreen();
    MainWindowData::NormaliseFlagMasks();
    showFrame(3);
}

void TFMainVesk::openDeviceScreen(int screen) {
    if (!screenMayOpen(screen)) return;
    PushScreen(screen);
    const int switchRecord = MainWindowData::SwitchListRecNo();
    if (const auto refusal = ScreenRules::CheckDevicesReady(MainWindowData::ObjectState())) {
        Dialogs::Message(refusal->caption, refusal->text, DlgButtons::Ok, refusal->icon);
        return;
    }
    const bool switches = screen == 4;
    const bool haveRecords =
        switches ? MainWindowData::HasSwitchRecords() : MainWindowData::HasCallPanelRecords();
    if (!haveRecords) {
        const QString question =
            switches ? ScreenTexts::kCreateSwitches : ScreenTexts::kCreateCallPanels;
        if (Dialogs::Message(ScreenTexts::kQuestion, question, DlgButtons::YesNo,
                             DlgIcon::Question) != DlgAnswer::Yes) {
            if (switches)
                returnToPreviousScreen();
            else
                MConfPodClick();
            return;
        }
        WaitCursor wait;
        if (switches)
            Hooks().CreateSwitchRecords();
        else
            Hooks().CreateCallPanelRecords();
    } else if (ScreenRules::DevicesNeedSync(MainWindowData::ObjectState())) {
        WaitCursor wait;
        if (Hooks().SyncDeviceRecords().missingApartment)
            Dialogs::Message(ScreenTexts::kRefused, ScreenTexts::kMissingApartments, DlgButtons::Ok,
                             DlgIcon::Error);
    }
    if (switches) MainWindowData::AdvanceConsoleFileState();
    MainWindowData::RestoreSwitchListRecNo(switchRecord);
    LeaveScreen();
    showFrame(screen);
}

void TFMainVesk::MPkClick() {
    openDeviceScreen(4);
}

void TFMainVesk::MBvClick() {
    openDeviceScreen(5);
}

void TFMainVesk::MConfKvrClick() {
    if (!screenMayOpen(6)) return;
    if (MainWindowData::AnyEntranceWithoutApartments())
        Dialogs::ShowMessage(ScreenTexts::kEntranceWithoutApartments);
    if (!Hooks().CheckApartmentNumbering()) {
        Dialogs::Message(ScreenTexts::kRefused, ScreenTexts::kNumberingFailed, DlgButtons::Ok,
                         DlgIcon::Error);
        return;
    }
    if (!Hooks().CheckApartmentCounts())
        Dialogs::Message(ScreenTexts::kRefused, ScreenTexts::kCountsDiffer, DlgButtons::Ok,
                         DlgIcon::Error);
    PushScreen(6);
    LeaveScreen();
    showFrame(6);
}

void TFMainVesk::MPoClick() {
    openScreen(7);
}

void TFMainVesk::MServDelClick() {
    if (!screenMayOpen(8)) return;
    const int record = MainWindowData::CurrentObjectRecNo();
    const int count = MainWindowData::ObjectCount();
    LeaveScreen();
    PushScreen(8);
    if (FObEdit) FObEdit->exec();
    if (MainWindowData::ObjectCount() == count) MainWindowData::SelectObjectRecNo(record);
}

void TFMainVesk::MKeyClick() {
    openScreen(9);
}

void TFMainVesk::MWriteConfClick() {
    openScreen(10);
}

void TFMainVesk::MReadConfClick() {
    openScreen(11);
}

void TFMainVesk::MNetDeviceClick() {
    openScreen(12);
}

void TFMainVesk::MRedactConfClick() {
    openScreen(13);
}

void TFMainVesk::MAbonentClick() {
    openScreen(14, true);
}
