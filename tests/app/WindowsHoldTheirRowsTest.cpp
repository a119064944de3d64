// The windows of the roads table (WindowsHoldTheirRows.h): every window that
// writes object data, opened as the program opens it and left with an edit
// in it. The table is instantiated here, once per road, for the windows and
// the screens alike.

#include "app/WindowsHoldTheirRows.h"

#include "devices/ConsoleMelody.h"
#include "devices/Melody.h"
#include "devices/ui/SwitchTractPanel.h"
#include "devices/ui/TFMelF.h"
#include "devices/ui/TFMelP.h"
#include "devices/ui/TFbvApp.h"
#include "devices/ui/TFbvEdit.h"
#include "devices/ui/TFbvReCount.h"
#include "devices/ui/TFpkAppr.h"
#include "devices/ui/TFpkEdit.h"
#include "devices/ui/TFpoAppr.h"
#include "devices/ui/TFrBv.h"
#include "devices/ui/TFrPk.h"
#include "devices/ui/TFrPo.h"
#include "foundation/TFDM.h"
#include "platform/ui/DatasetGrid.h"
#include "site/TerminalRuleRun.h"
#include "site/ui/TFdpkPort.h"
#include "site/ui/TFkvEdit.h"
#include "site/ui/TFskEdit.h"

#include <QCheckBox>
#include <QCoreApplication>
#include <QLineEdit>
#include <QPushButton>
#include <QRadioButton>
#include <QSpinBox>
#include <QTimer>

#include <functional>
#include <iterator>

using namespace HeldRowsTable;

// The windows from first up to last (not included), in the order below.
void WindowsHoldTheirRows::WalkTheWindows(int first, int last) {
    const Move road = GetParam();
    // A window opened from the switch list, on the switch numbered nNet.
    const auto OpenFromSwitchList = [this](QPushButton* TFrPk::*button, int nNet) {
        ShowByMenu(kSwitches);
        TFrPk* list = Screen<TFrPk>(kSwitches);
        ChooseRow(list->DBGrid1, "k.n_net", nNet);
        (list->*button)->click();
        QCoreApplication::processEvents();
    };
    const auto questionOne = std::pair{kObject + QStringLiteral(", СКМ02"),
                                       QStringLiteral("Сохранить для данного КМ?")};
    const auto questionHouse = std::pair{kObject + QStringLiteral(", дом 1"),
                                         QStringLiteral("Сохранить для всего дома?")};
    const auto questionObject = std::pair{kObject, QStringLiteral("Сохранить для всего объекта?")};
    const Reach ownSwitch{QStringLiteral("k_pk"), Level::Own};
    const Reach houseSwitches{QStringLiteral("k_pk"), Level::House};
    const Reach objectSwitches{QStringLiteral("k_pk"), Level::Object};
    auto removeSwitch = [](const Place& p) {
        return QStringList{QStringLiteral("DELETE FROM k_pk WHERE id_pk=%1").arg(p.pk)};
    };
    auto removeConsole = [](const Place& p) {
        return QStringList{QStringLiteral("DELETE FROM k_po WHERE id_po=%1").arg(p.po)};
    };
    const struct {
        const char* what;
        std::function<QWidget*(int nNet)> open;
        std::function<void()> edit;
        QList<Press> presses;
        std::function<QStringList(const Place&)> removedBehind;
        std::function<bool(const Place&)> landed;
        bool onTheEntrance = true;  // stands on the switch's entrance and house
    } windows[] = {
        {"the switch editor",
         [&](int nNet) {
             OpenFromSwitchList(&TFrPk::BitpkEdit, nNet);
             return FpkEdit;
         },
         [this] {
             BumpSpin(FpkEdit->TCM);
             edited_ = FpkEdit->TCM->value();
         },
         {{"Сохранить для данного КМ", [] { FpkEdit->BitSavePk->click(); }, {questionOne},
           {ownSwitch}},
          {"Сохранить для всех КМ дома", [] { FpkEdit->BitSaveDm->click(); }, {questionHouse},
           {houseSwitches}},
          {"Сохранить для всех КМ объекта", [] { FpkEdit->BitSaveOb->click(); },
           {questionObject}, {objectSwitches}},
          {"Аппаратные настройки",
           [] {
               QTimer::singleShot(0, [] {
                   BumpSpin(FpkAppr->Reserv);
                   FpkAppr->BitOk->click();
               });
               FpkEdit->BitAppr->click();
           },
           {},
           {ownSwitch}},
          {"the serial number",
           [] {
               FpkEdit->E_SN->setText(QStringLiteral("A000000123"));
               FpkEdit->E_SNExit();
           },
           {},
           {ownSwitch}},
          {"the switch's tracts", [] { FpkEdit->Tracts->BitRetryTr->click(); }, {},
           {{QStringLiteral("m_bv"), Level::Column}, ownSwitch}},
          {"the object's tracts",
           [] { FpkEdit->Tracts->BitRetryTrAll->click(); },
           {{QStringLiteral("Тракты объекта"),
             QStringLiteral("Перераспределить БВ по трактам объекта?")}},
           {{QStringLiteral("m_bv"), Level::Object}, objectSwitches}}},
         removeSwitch,
         [this](const Place& p) {
             return Value("SELECT e.t_cm FROM k_pk k JOIN t_ke e ON e.id_ke=k.id_ke WHERE "
                          "k.id_pk=?",
                          {p.pk}) == edited_;
         }},
        {"the switch melody form",
         [&](int nNet) {
             OpenFromSwitchList(&TFrPk::BitpkEdit, nNet);
             FpkEdit->BitMel->click();
             QCoreApplication::processEvents();
             return FMelF;
         },
         [this] {
             ChooseRow(FMelF->DBGm, "name", kMorningCall);
             edited_ = CurrentMelodyId();
         },
         {{"Сохранить для данного КМ", [] { FMelF->BitSavePk->click(); }, {questionOne},
           {ownSwitch}},
          {"Сохранить для всех КМ дома", [] { FMelF->BitSaveDm->click(); }, {questionHouse},
           {houseSwitches}},
          {"Сохранить для всех КМ объекта", [] { FMelF->BitSaveOb->click(); }, {questionObject},
           {objectSwitches}}},
         removeSwitch,
         [this](const Place& p) {
             return Value("SELECT id_mvv FROM k_pk WHERE id_pk=?", {p.pk}) == edited_;
         }},
        {"the call panel editor",
         [this](int) {
             ShowByMenu(kCallPanels);
             ChooseRow(Screen<TFrBv>(kCallPanels)->DBGrid1, "n_nt0", kShownPanel);
             Screen<TFrBv>(kCallPanels)->BitpkEdit->click();
             QCoreApplication::processEvents();
             return FbvEdit;
         },
         [this] {
             BumpSpin(FbvEdit->SL);
             edited_ = FbvEdit->SL->value();
         },
         {{"Сохранить", [] { FbvEdit->BitSave->click(); }, {},
           {{QStringLiteral("k_bv"), Level::Own}}},
          {"Сохранить для БВ подъезда", [] { FbvEdit->BitSavePk->click(); }, {},
           {{QStringLiteral("k_bv"), Level::Object}}},
          {"Сохранить для всех БВ подъездов",
           [] { FbvEdit->BitSaveDm->click(); },
           {{QStringLiteral("Подтверждение"),
             QStringLiteral("Запишем общие параметры в БВ этого типа?")}},
           {{QStringLiteral("k_bv"), Level::Object}}},
          {"Сохранить для всех БВ объекта",
           [] { FbvEdit->BitSaveOb->click(); },
           {{QStringLiteral("Подтверждение"), QStringLiteral("Запишем общие параметры во все БВ?")}},
           {{QStringLiteral("k_bv"), Level::Object}}},
          {"Аппаратные настройки",
           [] {
               QTimer::singleShot(0, [] {
                   if (!FbvApp->isVisible()) return;
                   FbvApp->Reserv->click();
                   FbvApp->BitSave->click();
               });
               FbvEdit->BitAppr->click();
           },
           {},
           {{QStringLiteral("k_bv"), Level::Own}}},
          {"the serial number",
           [] {
               FbvEdit->E_SN->setText(QStringLiteral("A000000124"));
               FbvEdit->E_SNExit();
           },
           {},
           {{QStringLiteral("k_bv"), Level::Own}}},
          {"Пересчитать индексы трубок",
           [] {
               QTimer::singleShot(0, [] {
                   if (!FbvReCount->isVisible()) return;
                   FbvReCount->CB_null->click();
                   FbvReCount->BitOk->click();
               });
               FbvEdit->BitDeEdit->click();
           },
           {{QStringLiteral("Пакетная операция"), QStringLiteral("Пересчитать индексы трубок?")}},
           {{QStringLiteral("k_bv"), Level::Object}}}},
         [](const Place& p) {
             return QStringList{QStringLiteral("DELETE FROM k_bv WHERE id_bv=%1").arg(p.bv)};
         },
         [this](const Place& p) {
             return Value("SELECT sl FROM k_bv WHERE id_bv=?", {p.bv}) == edited_;
         },
         false},
        {"the apartment editor",
         [&](int nNet) {
             OpenFromSwitchList(&TFrPk::BitkvEdit, nNet);
             return FkvEdit;
         },
         [] {  // a new handset begun
             FkvEdit->BitAdd->click();
             FkvEdit->E_bv->setText(QStringLiteral("777"));
         },
         {{"Сохранить новую трубку", [] { FkvEdit->BitSave->click(); }, {},
           {{QStringLiteral("k_kvr"), Level::Entrance},
            ownSwitch,
            {QStringLiteral("k_pod"), Level::Own}}},
          {"Сохранить изменения",
           [this] {
               FkvEdit->Call->click();
               edited_ = FkvEdit->Call->isChecked();
               FkvEdit->BitSave->click();
           },
           {},
           {{QStringLiteral("k_kvr"), Level::Entrance}}}},
         [](const Place& p) {  // another copy removes the entrance
             return QStringList{QStringLiteral("DELETE FROM k_kvr WHERE id_pod=%1").arg(p.pod),
                                QStringLiteral("DELETE FROM k_pk WHERE id_pod=%1").arg(p.pod),
                                QStringLiteral("DELETE FROM k_pod WHERE id_pod=%1").arg(p.pod)};
         },
         [this](const Place& p) {
             return Value("SELECT call FROM k_kvr WHERE id_pod=? AND TRIM(p_kvr)='777'",
                          {p.pod}) == edited_;
         }},
        {"the entrance switch parameters",
         [&](int nNet) {
             OpenFromSwitchList(&TFrPk::BitskEdit, nNet);
             return FskEdit;
         },
         [this] {
             BumpSpin(FskEdit->KeyDop);
             edited_ = FskEdit->KeyDop->value();
         },
         {{"Сохранить места для ключей", [] { FskEdit->BtnSaveD->click(); }, {},
           {{QStringLiteral("k_pod"), Level::Own}}},
          {"the fill method",
           [] { (FskEdit->RGkm0->isChecked() ? FskEdit->RGkm1 : FskEdit->RGkm0)->click(); },
           {},
           {ownSwitch}}},
         removeSwitch,
         [this](const Place& p) {
             return Value("SELECT d_key FROM k_pod WHERE id_pod=?", {p.pod}) == edited_ &&
                    Value("SELECT type_f FROM k_pk WHERE id_pk=?", {p.pk}) ==
                        (FskEdit->RGkm0->isChecked() ? 0 : 1);
         }},
        {"the console's hardware settings",
         [this](int) {
             ShowByMenu(kConsole);
             Screen<TFrPo>(kConsole)->BitAppr->click();
             QCoreApplication::processEvents();
             return FpoAppr;
         },
         [this] {
             BumpSpin(FpoAppr->Cbto);
             edited_ = FpoAppr->Cbto->value();
         },
         {{"Сохранить для ППО", [] { FpoAppr->BitSavePo->click(); }, {},
           {{QStringLiteral("k_po"), Level::Own}}}},
         removeConsole,
         [this](const Place& p) {
             return Value("SELECT cbto FROM k_po WHERE id_po=?", {p.po}) == edited_;
         },
         false},
        {"the console melody form",
         [this](int) {
             ShowByMenu(kConsole);
             Screen<TFrPo>(kConsole)->BitMel->click();
             QCoreApplication::processEvents();
             return FMelP;
         },
         [this] {
             ChooseRow(FMelP->DBGm, "name", kMorningVisitor);
             edited_ = CurrentMelodyId(MelodyList::Console);
         },
         {{"Сохранить для ППО",
           [] { FMelP->BitSavePk->click(); },
           {{kObject, QStringLiteral("Сохранить для ПО?")}},
           {{QStringLiteral("k_po"), Level::Own}}}},
         removeConsole,
         [this](const Place& p) {
             return Value("SELECT id_mel0 FROM k_po WHERE id_po=?", {p.po}) == edited_;
         },
         false},
        {"the terminal distribution",
         [&](int nNet) {
             OpenFromSwitchList(&TFrPk::BitskEdit, nNet);
             FskEdit->BitDeEdit->click();
             QCoreApplication::processEvents();
             return FdpkPort;
         },
         [] {
             FdpkPort->RBTop2->click();
             FdpkPort->RB_0->click();
         },
         {{"OK",
           [] { FdpkPort->OKBtn->click(); },
           {{TerminalRuleTexts::kCaption, TerminalRuleTexts::kQuestion}},
           {objectSwitches,
            {QStringLiteral("k_kvr"), Level::Object},
            {QStringLiteral("t_dip"), Level::Object}}}},
         [](const Place& p) {
             return QStringList{QStringLiteral("DELETE FROM k_net WHERE id_net=%1").arg(p.net)};
         },
         [](const Place&) { return !FdpkPort->isVisible(); },
         false},
    };
    EXPECT_EQ(8u, std::size(windows)) << "the two halves walk every window";
    for (int i = first; i < last && i < int(std::size(windows)); ++i) {
        const auto& w = windows[i];
        SCOPED_TRACE(std::string(w.what) + ", " + kRoadNames[road]);
        StartForTheRoad(road);
        if (HasFatalFailure()) return;
        const int nNet = road == kHouseRemoved ? kLastHouseSwitch : kShownSwitch;
        const Place place = ReadPlace(nNet);
        QWidget* window = w.open(nNet);
        ASSERT_TRUE(window && window->isVisible()) << "opened as the program opens it";
        w.edit();
        QCoreApplication::processEvents();

        // Another copy removes the window's row before its first save, or
        // while that save asks: then the save finds it gone inside its write.
        const bool gone = road == kBehindTheBack;
        const bool whileAsked = gone && !w.presses.first().questions.isEmpty();
        TakeTheRoad(road, gone && !whileAsked ? w.removedBehind(place) : QStringList{});
        if (HasFatalFailure()) return;
        ExpectTheRoadTaken(road, place);
        const bool objectOrFileMoved = road <= kF5 || road == kCompaction;
        if (objectOrFileMoved) {
            EXPECT_FALSE(window->isVisible()) << "closed";
        }
        if (road == kHouseRemoved || road == kEntranceRemoved) {
            EXPECT_EQ(!w.onTheEntrance, window->isVisible()) << "closed with its entrance";
        }
        if (road == kAnotherPlace || road == kBehindTheBack) {
            EXPECT_TRUE(window->isVisible()) << "still on its rows";
        }
        if (window->isVisible() && !objectOrFileMoved) {
            for (const Press& press : w.presses) {
                SCOPED_TRACE(press.what);
                FileRows before = Rows();
                if (whileAsked && &press == &w.presses.first()) {
                    for (const auto& [caption, text] : press.questions)
                        dialogs_.Expect(caption, text, press.answer);
                    dialogs_.WhenShown([&] {
                        RemoveBehindTheBack(w.removedBehind(place));
                        before = Rows();
                    });
                }
                if (gone)
                    dialogs_.ExpectContaining(QStringLiteral("Ошибка"), QStringLiteral("удал"));
                else
                    for (const auto& [caption, text] : press.questions)
                        dialogs_.Expect(caption, text, press.answer);
                press.press();
                QCoreApplication::processEvents();
                dialogs_.VerifyDone();
                const QStringList outside =
                    Outside(before, Rows(), place, gone ? QList<Reach>{} : press.reach);
                EXPECT_TRUE(outside.isEmpty()) << outside.join(QLatin1Char(',')).toStdString();
            }
            if (!gone) {
                EXPECT_TRUE(w.landed(place)) << "the edit went where it was shown";
            }
        }
        EndTheProgram();
        dialogs_.VerifyDone();
    }
}

// Split in two, each test short enough under the sanitizers.
TEST_P(WindowsHoldTheirRows, FirstWindowsWriteTheirRowsOrCloseOrSayTheyAreGone) {
    WalkTheWindows(0, 3);
}

TEST_P(WindowsHoldTheirRows, LastWindowsWriteTheirRowsOrCloseOrSayTheyAreGone) {
    WalkTheWindows(3, 8);
}

INSTANTIATE_TEST_SUITE_P(Roads, WindowsHoldTheirRows,
                         ::testing::Values(kAnotherObject, kObjectDeleted, kNewObject,
                                           kAnotherFolder, kF5, kHouseRemoved, kEntranceRemoved,
                                           kAnotherPlace, kBehindTheBack, kCompaction),
                         [](const ::testing::TestParamInfo<Move>& info) {
                             return std::string(kRoadNames[info.param]);
                         });
