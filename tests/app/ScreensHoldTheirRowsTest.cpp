// The screens of the roads table (WindowsHoldTheirRows.h): every screen that
// holds an operator's unsaved work (values typed, a mode begun), reached
// through the menu and left with that work in it. After the road the
// operator comes back to the screen through the menu where the road left it,
// and saves. The work ended (the screen shows the file again), or the save
// wrote only the rows the work was done on, or it changed nothing and said
// what is gone. Another folder is another file: there the work must end, and
// so it must on every road that moves the ground under a screen that drops
// its work then (the network screen runs its link on the simulated bus).

#include "app/WindowsHoldTheirRows.h"

#include "devices/ui/TFrPo.h"
#include "foundation/ScreenNavigation.h"
#include "foundation/TFDM.h"
#include "keys/KeyRegister.h"
#include "keys/ui/TFrKeys.h"
#include "netlink/ui/TFrNetDev.h"
#include "platform/DatasetModel.h"
#include "platform/ui/DatasetGrid.h"
#include "site/AccessMatrix.h"
#include "site/ui/TFrDom.h"
#include "site/ui/TFrMatr.h"
#include "site/ui/TFrPiople.h"
#include "site/ui/TFrPod.h"
#include "site/ui/TRecordGrid.h"

#include <QAction>
#include <QComboBox>
#include <QCoreApplication>
#include <QLineEdit>
#include <QListWidget>
#include <QMap>
#include <QPushButton>
#include <QRadioButton>
#include <QSpinBox>
#include <QTableView>
#include <QTest>

#include <array>
#include <functional>
#include <iterator>

using namespace HeldRowsTable;

namespace {

const QString kKeyOne = QStringLiteral("0000001C0001");
const QString kKeyTwo = QStringLiteral("0000001C0002");
const QString kChangedKey = QStringLiteral("0000001E0009");
const QString kTypedKey = QStringLiteral("0000001E0007");
const QString kTypedName = QStringLiteral("Правкин");
const QString kTypedEntrance = QStringLiteral("W");
const QString kTypedEntranceName = QStringLiteral("Юг");
const QString kTypedAddress = QStringLiteral("ул. Садовая, 12, корп. 2");

// What a refusal names, by what another copy removed.
const char* const kKeyGone = "Ключ 0000001C0002 удалён";
const char* const kApartmentGone = "Квартира 41 удалена";
const char* const kEntranceGone = "Подъезд 2 дома 1 удалён";
const char* const kHouseGone = "Дом 1 удалён";
const char* const kObjectGone = "Объект «Дом на Садовой» удалён";
const char* const kRecordGone = "Запись не найдена: возможно, её удалили";
// Nothing refused, and nothing of the work written: the other copy made the
// matrix again from the entrances left, over the cells typed.
const char* const kMatrixMadeAgain = "";

TFrKeys* KeysScreen() {
    return qobject_cast<TFrKeys*>(FMainVesk->FrameOfScreen(kKeys));
}

// The row of a dataset whose field holds value, -1 without one.
int RowOf(Dataset* ds, const char* field, const QVariant& value) {
    const int column = ds->FieldIndex(QString::fromLatin1(field));
    for (int row = 0; row < ds->RecordCount(); ++row)
        if (ds->Value(row, column).toString() == value.toString()) return row;
    return -1;
}

// The line of the list that starts so, clicked.
void ClickNetworkLine(QListWidget* list, const QString& start) {
    for (int row = 0; row < list->count(); ++row)
        if (list->item(row)->text().startsWith(start)) {
            QTest::mouseClick(list->viewport(), Qt::LeftButton, {},
                              list->visualItemRect(list->item(row)).center());
            return;
        }
    ADD_FAILURE() << "no line " << start.toStdString();
}

// A number typed into the keys screen's number field and confirmed.
void ConfirmKey(const QString& number) {
    TFrKeys* keys = KeysScreen();
    keys->E_sn->setText(number);
    keys->BitAdd->click();
    QCoreApplication::processEvents();
}

// The shown switch's entrance (house 1, entrance 2) removed by another copy:
// its name typed on the entrance screen, then the last apartment typed for
// it, each left: each field refuses on its own and names the entrance,
// before any save.
void TypeALastForTheGoneEntrance(ScriptedDialogs& dialogs) {
    const QString refused =
        QStringLiteral("Ошибка|Подъезд 2 дома 1 удалён; изменения не сохранены.");
    auto* entrances = qobject_cast<TFrPod*>(FMainVesk->FrameOfScreen(kEntrances));
    QLineEdit* last = nullptr;
    for (int row = 0; row < entrances->CGridP->RowCount(); ++row)
        if (QLineEdit* name = entrances->CGridP->Editor(row, QStringLiteral("nm_pod"));
            name && name->text() == kTypedEntranceName)
            last = entrances->CGridP->Editor(row, QStringLiteral("npkvr"));
    ASSERT_TRUE(last && !last->isReadOnly());
    FMainVesk->activateWindow();
    ASSERT_TRUE(QTest::qWaitForWindowActive(FMainVesk));
    dialogs.ExpectContaining(QStringLiteral("Ошибка"), QStringLiteral("удал"));
    last->setFocus();  // the name left
    QCoreApplication::processEvents();
    EXPECT_EQ(refused, dialogs.Shown().value(dialogs.Shown().size() - 1));
    last->selectAll();
    QTest::keyClicks(last, QString::number(last->text().toInt() + 1));
    dialogs.ExpectContaining(QStringLiteral("Ошибка"), QStringLiteral("удал"));
    last->clearFocus();  // left: Enter from the last entrance would go on to house 2
    QCoreApplication::processEvents();
    EXPECT_EQ(refused, dialogs.Shown().value(dialogs.Shown().size() - 1));
}

}  // namespace

namespace HeldRowsTable {

// A screen of the table.
struct ScreenRow {
    const char* what;
    int screen;
    // Puts the work into the screen shown.
    std::function<void(const Place&)> begin;
    // The screen shows nothing of the work any more.
    std::function<bool()> ended;
    Press save;
    std::function<QStringList(const Place&)> removedBehind;
    std::function<bool(const Place&)> landed;
    // What a refusal names when another copy removed the apartment, the
    // entrance, the house, the gate panel or the object the work stands on
    // (the two copies' group); nullptr where the save writes the work.
    std::array<const char*, kRemovedKinds> goneTold;
    // Its save writes where the screen stands at the save (a paste):
    // the place is read again then.
    std::function<Place(const Place&)> shownAtSave = nullptr;
    // What leaving the screen asks (answered No).
    std::pair<QString, QString> leaving = {};
    // Its questions come before it finds a row gone.
    bool asksBeforeRefusing = false;
    // Taken on every road; the object screen is where the roads go.
    bool onTheRoads = true;
    // The roads that move the ground under the shown screen on which its work
    // ends: another file always; a new reading too where the screen drops
    // its work then (a matrix cell typed is in the file already).
    QList<Move> endsOn = {kAnotherFolder};
    // Besides the work, the screen shows what the file it stands on holds.
    std::function<bool()> showsTheFile = nullptr;
};

}  // namespace HeldRowsTable

std::vector<ScreenRow> WindowsHoldTheirRows::ScreenRows() {
    // The keys screen on the shown apartment, with its two keys.
    const auto keysOnTheApartment = [this](const Place& p,
                                           const QStringList& numbers = {kKeyOne, kKeyTwo}) {
        ShowByMenu(kKeys);
        TFrKeys* keys = KeysScreen();
        keys->RB_KvrKey->click();
        ChooseRow(keys->DBGrid1, "id_kvr", p.kvr);
        for (const QString& key : numbers) ConfirmKey(key);
        ASSERT_EQ(numbers.size(), Value("SELECT COUNT(*) FROM k_key WHERE id_kvr=?", {p.kvr}));
    };
    const auto keyCount = [this](const Place& p) {
        return Value("SELECT COUNT(*) FROM k_key WHERE id_kvr=?", {p.kvr});
    };
    const auto hasKey = [this](const Place& p, const QString& key) {
        return Value("SELECT COUNT(*) FROM k_key WHERE id_kvr=? AND un_key=?", {p.kvr, key}) == 1;
    };
    // The apartment the keys screen stands on, as the keys go.
    const auto keysShown = [this](const Place& p) {
        Place shown = p;
        shown.net = FDM->Ground().CurrentObject();
        shown.kvr = FDM->QForKey->FieldByName(QStringLiteral("id_kvr")).AsLargeInt();
        shown.pod = FDM->QForKey->FieldByName(QStringLiteral("p.id_pod")).AsLargeInt();
        return shown;
    };
    const auto keyRows =
        QList<Reach>{{QStringLiteral("k_key"), Level::Own}, {QStringLiteral("k_kvr"), Level::Own}};
    const auto removeApartment = [](const Place& p) {
        return QStringList{QStringLiteral("DELETE FROM k_kvr WHERE id_kvr=%1").arg(p.kvr)};
    };
    return {
        {"the keys screen with a change begun",
         kKeys,
         [=, this](const Place& p) {
             keysOnTheApartment(p);
             if (HasFatalFailure()) return;
             TFrKeys* keys = KeysScreen();
             ChooseRow(keys->DBGrid2, "un_key", kKeyTwo);
             keys->BitEdit->click();
             QCoreApplication::processEvents();
             ASSERT_EQ(1, keys->Register()->EditMode());
         },
         [] {
             return KeysScreen()->Register()->EditMode() == 0 &&
                    KeysScreen()->E_sn->text().isEmpty();
         },
         {"Изменить, then the new number confirmed", [] { ConfirmKey(kChangedKey); }, {}, keyRows},
         [](const Place& p) {
             return QStringList{QStringLiteral("DELETE FROM k_key WHERE id_kvr=%1 AND un_key='%2'")
                                    .arg(p.kvr)
                                    .arg(kKeyTwo)};
         },
         [=, this](const Place& p) {
             return hasKey(p, kChangedKey) && hasKey(p, kKeyOne) && !hasKey(p, kKeyTwo) &&
                    keyCount(p) == 2;
         },
         {kKeyGone, kKeyGone, kKeyGone, nullptr, kKeyGone}},
        {"the keys screen with a new key typed",
         kKeys,
         [=, this](const Place& p) {
             keysOnTheApartment(p);
             KeysScreen()->E_sn->setText(kTypedKey);
         },
         [] { return KeysScreen()->E_sn->text().isEmpty(); },
         {"the typed number confirmed", [] { KeysScreen()->BitAdd->click(); }, {}, keyRows},
         removeApartment,
         [=](const Place& p) { return hasKey(p, kTypedKey) && keyCount(p) == 3; },
         {kApartmentGone, kEntranceGone, kHouseGone, nullptr, kObjectGone}},
        {"the keys screen with a paste pending",
         kKeys,
         [=,
          this](const Place& p) {  // copied from another apartment of the entrance into its first
             Place from = p;
             from.kvr =
                 Value("SELECT MIN(id_kvr) FROM k_kvr WHERE id_pod=? AND id_kvr>? AND x_key>0",
                       {p.pod, p.kvr});
             ASSERT_NE(from.kvr, p.kvr);
             keysOnTheApartment(from, {kKeyOne});
             if (HasFatalFailure()) return;
             TFrKeys* keys = KeysScreen();
             ChooseRow(keys->DBGrid2, "un_key", kKeyOne);
             keys->DBGrid2->selectRow(keys->DBGrid2->currentIndex().row());
             keys->NCopy->trigger();
             QCoreApplication::processEvents();
             ChooseRow(keys->DBGrid1, "id_kvr", p.kvr);
             ASSERT_EQ(0, keyCount(p));
         },
         [] { return false; },
         {"Вставить",
          [] { KeysScreen()->NInsert->trigger(); },
          {{QStringLiteral("Добавление записей"), QStringLiteral("Вставить строки?")}},
          keyRows},
         removeApartment,
         [=](const Place& p) { return hasKey(p, kKeyOne); },
         {kApartmentGone, kEntranceGone, kHouseGone, nullptr, kObjectGone},
         keysShown,
         {},
         true,
         true,
         {}},  // a key copied is the operator's: it is pasted into another file too
        {"the residents screen with an edit",
         kResidents,
         [this](const Place& p) {
             ShowByMenu(kResidents);
             TFrPiople* residents = Screen<TFrPiople>(kResidents);
             ChooseRow(residents->DBGrid1, "id_kvr", p.kvr);
             residents->EFam->setText(kTypedName);
             ASSERT_TRUE(residents->BitSave->isEnabled());
         },
         [this] {
             TFrPiople* residents = Screen<TFrPiople>(kResidents);
             return residents->EFam->text() != kTypedName || !residents->BitSave->isEnabled();
         },
         {"Сохранить изменения",
          [this] { Screen<TFrPiople>(kResidents)->BitSave->click(); },
          {},
          {{QStringLiteral("k_kvr"), Level::Own}}},
         removeApartment,
         [this](const Place& p) {
             return Value("SELECT COUNT(*) FROM k_kvr WHERE id_kvr=? AND Fam=?",
                          {p.kvr, kTypedName}) == 1;
         },
         {kApartmentGone, kEntranceGone, kHouseGone, nullptr, kObjectGone},
         nullptr,
         {},
         false,
         true,
         {kAnotherFolder, kF5, kCompaction}},
        {"the console screen with an edit",
         kConsole,
         [this](const Place&) {
             ShowByMenu(kConsole);
             TFrPo* console = Screen<TFrPo>(kConsole);
             BumpSpin(console->Talk);
             edited_ = console->Talk->value();
         },
         [this] { return Screen<TFrPo>(kConsole)->Talk->value() != edited_; },
         {"Сохранить для ППО",
          [this] { Screen<TFrPo>(kConsole)->BitSavePo->click(); },
          {},
          {{QStringLiteral("k_po"), Level::Own}}},
         [](const Place& p) {
             return QStringList{QStringLiteral("DELETE FROM k_po WHERE id_po=%1").arg(p.po)};
         },
         [this](const Place& p) {
             return Value("SELECT talk FROM k_po WHERE id_po=?", {p.po}) == edited_;
         },
         {nullptr, nullptr, nullptr, nullptr, kObjectGone},
         nullptr,
         {},
         false,
         true,
         {kAnotherFolder, kF5, kCompaction}},
        {"the network screen with a serial number chosen",
         kNetwork,
         [this](const Place& p) {
             StartTheNetwork(p);
             if (HasFatalFailure()) return;
             TFrNetDev* net = Screen<TFrNetDev>(kNetwork);
             const int nNet = int(Value("SELECT n_net FROM k_pk WHERE id_pk=?", {p.pk}));
             const QString name = QStringLiteral("КМ%1").arg(nNet, 2, 10, QLatin1Char('0'));
             net->CBDev->setCurrentIndex(nNet);
             net->DevDobClick();
             ClickNetworkLine(net->ListCdev, QStringLiteral("С") + name);
             ASSERT_EQ(kFoundSerial, net->E_SN->text());
             ClickNetworkLine(net->ListHdev, QLatin1Char(' ') + name);
             ASSERT_TRUE(net->NSaveSN->isEnabled());
         },
         [this] { return !Screen<TFrNetDev>(kNetwork)->NSaveSN->isEnabled(); },
         {"Сохранить SN",
          [this] { Screen<TFrNetDev>(kNetwork)->NSaveSN->trigger(); },
          {},
          {{QStringLiteral("k_pk"), Level::Own}}},
         [](const Place& p) {
             return QStringList{QStringLiteral("DELETE FROM k_pk WHERE id_pk=%1").arg(p.pk)};
         },
         [this](const Place& p) {
             return Value("SELECT COUNT(*) FROM k_pk WHERE id_pk=? AND sn_pk=?",
                          {p.pk, kFoundSerial}) == 1;
         },
         {nullptr, kRecordGone, kRecordGone, nullptr, kRecordGone},
         nullptr,
         {},
         false,
         true,
         {kAnotherFolder, kF5, kCompaction}},
        {"the matrix screen unsaved",
         kMatrix,
         [this](const Place& p) {
             ShowByMenu(kMatrix);
             TFrDom* matrix = Screen<TFrDom>(kMatrix);
             auto* model = qobject_cast<DatasetModel*>(matrix->DBGrid3->model());
             ASSERT_TRUE(model);
             const int column =
                 model->ColumnOf(QStringLiteral("pk_%1").arg(p.column, 2, 10, QLatin1Char('0')));
             ASSERT_GE(column, 0);
             matrix->DBGrid3->setFocus();
             matrix->DBGrid3->setCurrentIndex(model->index(0, column));
             QTest::keyClicks(matrix->DBGrid3, kTypedEntrance);
             QCoreApplication::processEvents();
             edited_ = p.column;
         },
         [this] {
             TFrDom* matrix = Screen<TFrDom>(kMatrix);
             auto* model = qobject_cast<DatasetModel*>(matrix->DBGrid3->model());
             const int column =
                 model->ColumnOf(QStringLiteral("pk_%1").arg(edited_, 2, 10, QLatin1Char('0')));
             return column < 0 ||
                    !model->index(0, column).data().toString().endsWith(kTypedEntrance);
         },
         {"Сохранить",
          [this] { Screen<TFrDom>(kMatrix)->BtnSave->click(); },
          {},
          {{QStringLiteral("m_pk"), Level::Object},
           {QStringLiteral("m_bv"), Level::Object},
           {QStringLiteral("k_pod"), Level::Object},
           {QStringLiteral("k_net"), Level::Object}}},
         [](const Place& p) {
             return QStringList{QStringLiteral("DELETE FROM k_net WHERE id_net=%1").arg(p.net)};
         },
         [this](const Place& p) {
             return Value("SELECT COUNT(*) FROM m_pk WHERE id_net=? AND n_pk=? AND nm_pod LIKE ?",
                          {p.net, p.column, QStringLiteral("%") + kTypedEntrance}) == 1;
         },
         {nullptr, kMatrixMadeAgain, kMatrixMadeAgain, nullptr, kObjectGone},
         [](const Place& p) {
             Place shown = p;
             shown.net = FDM->Ground().CurrentObject();
             return shown;
         },
         {ScreenTexts::kQuestion, ScreenTexts::kSaveMatrix},
         false,
         true,
         {kAnotherFolder},
         [this] {  // the totals under the grid are its matrix's
             const MatrixTotals totals = AccessMatrix::ShowMatrixTotals();
             TFrDom* matrix = Screen<TFrDom>(kMatrix);
             return matrix->P3_Itpk->text() == QString::number(qMax(0, totals.switches)) &&
                    matrix->P3_Itbv->text() == QString::number(qMax(0, totals.panels));
         }},
        {"the entrance screen unsaved",
         kEntrances,
         [this](const Place& p) {
             ShowByMenu(kEntrances);
             TFrPod* entrances = Screen<TFrPod>(kEntrances);
             const int house = RowOf(FDM->Q_Dom, "id_dom", p.dom);
             ASSERT_GE(house, 0);
             entrances->CGridD->FocusField(house, false);
             QCoreApplication::processEvents();
             const int row = RowOf(FDM->Q_DPd, "id_pod", p.pod);
             ASSERT_GE(row, 0);
             if (!entrances->ChNomPod->isChecked()) entrances->ChNomPod->click();
             QLineEdit* name = entrances->CGridP->Editor(row, QStringLiteral("nm_pod"));
             ASSERT_TRUE(name && !name->isReadOnly());
             // The entrance made current first: that moves the focus.
             name->setFocus();
             QCoreApplication::processEvents();
             name->setFocus();
             name->setText(kTypedEntranceName);
         },
         [] {
             TFrPod* entrances = qobject_cast<TFrPod*>(FMainVesk->FrameOfScreen(kEntrances));
             const int stored = FDM->Q_DPd->FieldIndex(QStringLiteral("nm_pod"));
             for (int row = 0; row < FDM->Q_DPd->RecordCount(); ++row)
                 if (QLineEdit* name = entrances->CGridP->Editor(row, QStringLiteral("nm_pod")))
                     if (name->text() == kTypedEntranceName &&
                         FDM->Q_DPd->Value(row, stored).toString() != kTypedEntranceName)
                         return false;
             return true;
         },
         {"Сохранить квартиры для КМ",
          [this] {
              if (removedBehindTheBack_) TypeALastForTheGoneEntrance(dialogs_);
              Screen<TFrPod>(kEntrances)->BtnSave->click();
          },
          {{QStringLiteral("ВНИМАНИЕ"),
            QStringLiteral("Все номера квартир будут перезаписаны! Подолжить?")}},
          {{QStringLiteral("k_pod"), Level::Object},
           {QStringLiteral("k_kvr"), Level::Object},
           {QStringLiteral("k_pk"), Level::Object},
           {QStringLiteral("t_dip"), Level::Object},
           {QStringLiteral("k_net"), Level::Object}},
          DlgAnswer::Ok},
         [](const Place& p) {
             return QStringList{QStringLiteral("DELETE FROM k_kvr WHERE id_pod=%1").arg(p.pod),
                                QStringLiteral("DELETE FROM k_pk WHERE id_pod=%1").arg(p.pod),
                                QStringLiteral("DELETE FROM k_pod WHERE id_pod=%1").arg(p.pod)};
         },
         [this](const Place& p) {
             return Value("SELECT COUNT(*) FROM k_pod WHERE id_pod=? AND nm_pod=?",
                          {p.pod, kTypedEntranceName}) == 1;
         },
         {nullptr, kEntranceGone, kHouseGone, nullptr, kObjectGone}},
        {"the object screen with its address edited",
         kObjects,
         [this](const Place&) {
             ShowByMenu(kObjects);
             TFrMatr* objects = Screen<TFrMatr>(kObjects);
             objects->BEdit->click();
             objects->P1_EAdr->setPlainText(kTypedAddress);
         },
         [] { return false; },
         {"Сохранить дома",
          [this] { Screen<TFrMatr>(kObjects)->BitSave->click(); },
          {},
          {{QStringLiteral("k_net"), Level::Object}, {QStringLiteral("k_dom"), Level::Object}}},
         nullptr,
         [this](const Place& p) {
             return Value("SELECT COUNT(*) FROM k_net WHERE id_net=? AND adres=?",
                          {p.net, kTypedAddress}) == 1;
         },
         {nullptr, kEntranceGone, kHouseGone, nullptr, kObjectGone},
         nullptr,
         {},
         false,
         false},
    };
}

// The screens from first up to last (not included), in the order below.
void WindowsHoldTheirRows::WalkTheScreens(int first, int last) {
    const Move road = GetParam();
    removedBehindTheBack_ = road == kBehindTheBack;
    const auto gone = std::pair{QStringLiteral("Ошибка"), QStringLiteral("удал")};
    // A new object has no apartments yet: these screens say so and stay shut.
    const QMap<int, std::pair<QString, QString>> shutForANewObject = {
        {kKeys,
         {QStringLiteral("ОШИБКА!"),
          QStringLiteral("Для данного объекта не сформированы квартиры!")}},
        {kResidents, {QString(), QStringLiteral("Квартир нет")}},
        {kEntrances,
         {QStringLiteral("ОШИБКА!"),
          QStringLiteral("Матрица не сформирована. Невозможно создать подъезды!")}}};
    const std::vector<ScreenRow> screens = ScreenRows();
    EXPECT_EQ(9u, std::size(screens)) << "the two halves walk every screen on the roads";
    for (int i = first; i < last && i < int(std::size(screens)); ++i) {
        const auto& s = screens[i];
        if (!s.onTheRoads) continue;
        SCOPED_TRACE(std::string(s.what) + ", " + kRoadNames[road]);
        StartForTheRoad(road);
        if (HasFatalFailure()) return;
        const int nNet = road == kHouseRemoved ? kLastHouseSwitch : kShownSwitch;
        const Place place = ReadPlace(nNet);
        s.begin(place);
        if (HasFatalFailure()) return;
        QCoreApplication::processEvents();
        QWidget* screen = FMainVesk->FrameOfScreen(s.screen);
        ASSERT_TRUE(screen->isVisible()) << "reached as the program reaches it";

        onLeaving_ = s.leaving;
        listsLocked_ = s.screen == kMatrix;
        TakeTheRoad(road, road == kBehindTheBack ? s.removedBehind(place) : QStringList{});
        onLeaving_ = {};
        if (HasFatalFailure()) return;
        ExpectTheRoadTaken(road, place);
        if (!screen->isVisible()) {
            if (road == kNewObject && shutForANewObject.contains(s.screen))
                dialogs_.ExpectContaining(shutForANewObject[s.screen].first,
                                          shutForANewObject[s.screen].second);
            ShowByMenu(s.screen);
        }
        dialogs_.VerifyDone();
        if (s.showsTheFile && screen->isVisible()) {
            EXPECT_TRUE(s.showsTheFile()) << "the screen shows the file it stands on";
        }
        if (!screen->isVisible() || s.ended()) {
            EndTheProgram();
            continue;  // the work ended
        }
        EXPECT_FALSE(s.endsOn.contains(road)) << "the ground moved under the screen shown";
        const bool isGone = road == kBehindTheBack;
        const Place shown = s.shownAtSave ? s.shownAtSave(place) : place;
        const FileRows before = Rows();
        if (!isGone || s.asksBeforeRefusing)
            for (const auto& [caption, text] : s.save.questions)
                dialogs_.Expect(caption, text, s.save.answer);
        if (isGone) dialogs_.ExpectContaining(gone.first, gone.second);
        s.save.press();
        QCoreApplication::processEvents();
        dialogs_.VerifyDone();
        const QStringList outside =
            Outside(before, Rows(), shown,
                    isGone || road == kAnotherFolder ? QList<Reach>{} : s.save.reach);
        EXPECT_TRUE(outside.isEmpty())
            << s.save.what << ": " << outside.join(QLatin1Char(',')).toStdString();
        if (!isGone && road != kAnotherFolder) {
            EXPECT_TRUE(s.landed(shown)) << "the work went where it was done";
        }
        EndTheProgram();
        dialogs_.VerifyDone();
    }
}

// Split in two, each test short enough under the sanitizers.
TEST_P(WindowsHoldTheirRows, TheKeysScreenEndsItsWorkOrWritesTheRowsItWasDoneOn) {
    WalkTheScreens(0, 3);
}

TEST_P(WindowsHoldTheirRows, AScreenDropsItsWorkOrWritesTheRowsItWasDoneOn) {
    WalkTheScreens(3, 9);
}

// The two copies' group: every screen of the table with its work in it,
// while another copy of the program on the same file removes the apartment,
// the entrance, the house, the gate panel or the object the work stands on;
// then the save. No row comes back, every counter equals a count of its
// rows, and a save that refuses says in Russian what is gone.
TEST_F(WindowsHoldTheirRows, TwoCopiesNoSaveBringsBackWhatTheOtherCopyRemoved) {
    const std::vector<ScreenRow> screens = ScreenRows();
    for (const ScreenRow& s : screens)
        for (int k = 0; k < kRemovedKinds; ++k) {
            SCOPED_TRACE(std::string(s.what) + ", the " + kRemovedNames[k] +
                         " removed by another copy");
            StartForTheRoad(kBehindTheBack);
            if (HasFatalFailure()) return;
            const Place place = ReadPlace(kShownSwitch);
            s.begin(place);
            if (HasFatalFailure()) return;
            QCoreApplication::processEvents();
            ASSERT_TRUE(FMainVesk->FrameOfScreen(s.screen)->isVisible());
            const Place shown = s.shownAtSave ? s.shownAtSave(place) : place;
            // The other copy removes before the save, or while the save asks
            // (the save finds it gone inside its write).
            FileRows before;
            const auto removed = [&] {
                RemoveAsAnotherCopy(Removed(k), place);
                EXPECT_EQ(QStringList(), CountersOff(place.net)) << "removed as the program does";
                before = Rows();
            };
            const bool whileAsked = !s.save.questions.isEmpty();
            const char* told = s.goneTold[k] == kMatrixMadeAgain ? nullptr : s.goneTold[k];
            if (whileAsked) {
                for (const auto& [caption, text] : s.save.questions)
                    dialogs_.Expect(caption, text, s.save.answer);
                dialogs_.WhenShown(removed);
            } else {
                removed();
            }
            if (told) dialogs_.ExpectContaining(QStringLiteral("Ошибка"), QString::fromUtf8(told));
            s.save.press();
            QCoreApplication::processEvents();
            dialogs_.VerifyDone();
            const FileRows after = Rows();
            const QStringList outside =
                Outside(before, after, shown, told ? QList<Reach>{} : s.save.reach);
            EXPECT_TRUE(outside.isEmpty())
                << s.save.what << ": " << outside.join(QLatin1Char(',')).toStdString();
            EXPECT_EQ(QStringList(), BroughtBack(before, after, place.net));
            EXPECT_EQ(QStringList(), CountersOff(place.net));
            if (!s.goneTold[k]) {
                EXPECT_TRUE(s.landed(shown)) << "the work went where it was done";
            }
            EndTheProgram();
            dialogs_.VerifyDone();
        }
}
