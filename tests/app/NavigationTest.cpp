#include "MainWindowFixture.h"
#include "devices/ui/TFpkEdit.h"
#include "foundation/DbSchema.h"
#include "foundation/HelpLauncher.h"
#include "foundation/MainWindowLogic.h"
#include "foundation/NavigationHooks.h"
#include "foundation/ScreenNavigation.h"
#include "foundation/ScreenServices.h"
#include "foundation/ui/TFGlVal.h"
#include "app/TFMainVesk.h"
#include "foundation/ui/TScreenFrame.h"
#include "site/ui/TFObEdit.h"
#include "support/QtPrinters.h"

#include <gtest/gtest.h>
#include <QAction>
#include <QApplication>
#include <QElapsedTimer>
#include <QFile>
#include <QLabel>
#include <QLineEdit>
#include <QPushButton>
#include <QTest>
#include <QTimer>

namespace NavigationTestUnit {
namespace {

using namespace ScreenTexts;

namespace {

// Counts the calls of the hooks a screen handler runs.
struct HookCalls {
    int createEntrances = 0;
    int createSwitches = 0;
    int createCallPanels = 0;
    int sync = 0;
    int saveMatrix = 0;
    int reopenMatrix = 0;
    int rebuildMatrix = 0;
    bool missingApartment = false;
    bool numberingOk = true;
    bool countsOk = true;

    void install() {
        Hooks().CreateEntrancesFromMatrix = [this] { ++createEntrances; };
        Hooks().CreateSwitchRecords = [this] { ++createSwitches; };
        Hooks().CreateCallPanelRecords = [this] { ++createCallPanels; };
        Hooks().SyncDeviceRecords = [this] {
            ++sync;
            return DeviceSyncResult{missingApartment};
        };
        Hooks().SaveMatrix = [this] { ++saveMatrix; };
        Hooks().ReopenMatrix = [this] { ++reopenMatrix; };
        Hooks().RebuildMatrTable = [this] { ++rebuildMatrix; };
        Hooks().CheckApartmentNumbering = [this] { return numberingOk; };
        Hooks().CheckApartmentCounts = [this] { return countsOk; };
    }
};

}  // namespace

class Navigation : public MainWindowDb {
  protected:
    void SetUp() override { calls_.install(); }

    // An object with one house, one entrance and one apartment.
    int fullObject(const QString& state, bool console = false) {
        const int net = addObject(QStringLiteral("Объект"), 0, console);
        const int dom = addHouse(net, 1);
        pod_ = addEntrance(net, dom);
        addApartment(net, pod_);
        setState(net, state);
        return net;
    }
    // Refused: the expected message, and the screen stays.
    void expectRefused(TFMainVesk& w, int screen, const QString& caption, const QString& text) {
        const int before = w.VisibleScreen();
        dialogs_.Expect(caption, text);
        w.ShowScreen(screen);
        dialogs_.VerifyDone();
        EXPECT_EQ(before, w.VisibleScreen()) << "screen " << screen;
    }
    void expectSilent(TFMainVesk& w, int screen) {
        const int before = w.VisibleScreen();
        w.ShowScreen(screen);
        EXPECT_EQ(before, w.VisibleScreen()) << "screen " << screen;
    }
    void expectOpens(TFMainVesk& w, int screen) {
        w.ShowScreen(screen);
        EXPECT_EQ(screen, w.VisibleScreen());
        EXPECT_EQ(Screens::Find(screen)->title, w.PanelTop->text());
    }

    // A stand-in help viewer that records the pages it was asked for in bin/calls.txt.
    void installRecordingViewer() {
        const QString viewer = database_.programDir().file(QStringLiteral("bin/xchm"));
        QFile f(viewer);
        ASSERT_TRUE(f.open(QIODevice::WriteOnly));
        f.write("#!/bin/sh\necho \"$@\" >> \"$(dirname \"$0\")/calls.txt\"\nexec sleep 30\n");
        f.setPermissions(f.permissions() | QFileDevice::ExeOwner);
        f.close();
        database_.programDir().writeFile(QStringLiteral("Help/HelpPr.chm"), "ITSF");
        AppHelp().SetViewer(viewer);
    }

    HookCalls calls_;
    int pod_ = 0;
};

TEST_F(Navigation, EmptyObjectListRefusesWithItsMessagesAndOpensTheFileAndNetworkScreens) {
    TFMainVesk w;
    ASSERT_EQ(1, w.VisibleScreen());
    expectRefused(w, 2, kRefused, kNoEntrance);
    for (int screen : {3, 4, 5, 6, 7, 8, 9, 10, 14}) expectRefused(w, screen, kRefused, kNoObject);
    for (int screen : {11, 12, 13, 1}) expectOpens(w, screen);
}

// Every command that needs an object says so on an empty database: the
// screens of the object menu, the object print and the device editors.
TEST_F(Navigation, EmptyObjectListMenuCommandsSayWhyTheyDoNothing) {
    TFpkEdit pkEdit;
    FpkEdit = &pkEdit;
    {
        TFMainVesk w;
        for (const char* item : {"MConfKvr", "MAbonent", "NObPrint", "MServDel", "MpkEdit",
                                 "MskEdit", "MbvEdit", "MkvEdit"}) {
            dialogs_.Expect(kRefused, kNoObject);
            w.MenuItem(QString::fromLatin1(item))->trigger();
            dialogs_.VerifyDone();
            EXPECT_EQ(1, w.VisibleScreen()) << item;
        }
        EXPECT_FALSE(pkEdit.isVisible());
        EXPECT_FALSE(w.History().Entries().contains(8));
    }
    FpkEdit = nullptr;
}

TEST_F(Navigation, ObjectWithoutHousesRefusesEveryObjectScreen) {
    addObject(QStringLiteral("Без домов"));
    TFMainVesk w;
    expectRefused(w, 2, kRefused, kNoEntrance);
    expectRefused(w, 3, kRefused, kNoHouses);
    for (int screen : {4, 5, 6, 7, 9, 10, 14}) expectRefused(w, screen, kRefused, kNoEntrance);
    expectOpens(w, 1);
    EXPECT_EQ(QStringLiteral("Создание "), w.P1_LSt->text());
}

TEST_F(Navigation, HouseWithoutEntrancesOrApartments) {
    const int net = addObject(QStringLiteral("Дом без подъездов"));
    addHouse(net, 2);
    TFMainVesk w;
    expectRefused(w, 3, kRefused, kMatrixNotFormed);
    EXPECT_EQ(1, calls_.createEntrances) << "planned entrances come from the matrix first";
    expectRefused(w, 4, kRefused, kNoApartmentsForDevices);
    expectRefused(w, 5, kRefused, kNoApartmentsForDevices);
    expectSilent(w, 7);
    expectRefused(w, 9, kRefused, kNoApartmentsForKeys);
    expectRefused(w, 10, QStringLiteral("Ошибка"), kNotReadyForFiles);
    expectRefused(w, 14, QString(), kNoResidents);
    EXPECT_TRUE(w.History().Entries().isEmpty() || !w.History().Entries().contains(4));
    expectOpens(w, 2);
    EXPECT_EQ(1, calls_.reopenMatrix);
    EXPECT_EQ(0, calls_.rebuildMatrix);
}

TEST_F(Navigation, DeviceScreensNeedASavedMatrixAndRecordTheHistoryFirst) {
    fullObject(QStringLiteral("введено"));
    TFMainVesk w;
    expectRefused(w, 4, kRefused, kMatrixNotReady);
    ASSERT_FALSE(w.History().Entries().isEmpty());
    EXPECT_EQ(4, w.History().Entries().last());
    expectRefused(w, 5, kRefused, kMatrixNotReady);
    expectRefused(w, 10, QStringLiteral("Ошибка"), kNotReadyForFiles);
    expectOpens(w, 9);
    expectOpens(w, 14);
}

TEST_F(Navigation, DeclinedSwitchCreationReturnsToThePreviousScreen) {
    fullObject(QStringLiteral("сохранено"));
    TFMainVesk w;
    expectOpens(w, 11);
    dialogs_.Expect(kQuestion, kCreateSwitches, DlgAnswer::No);
    w.ShowScreen(4);
    EXPECT_EQ(11, w.VisibleScreen());
    EXPECT_EQ(0, calls_.createSwitches);
    dialogs_.Expect(kQuestion, kCreateSwitches, DlgAnswer::Yes);
    w.ShowScreen(4);
    EXPECT_EQ(1, calls_.createSwitches);
    EXPECT_EQ(4, w.VisibleScreen());
}

TEST_F(Navigation, DeclinedCallPanelCreationOpensTheEntranceScreen) {
    fullObject(QStringLiteral("закрыто"));
    TFMainVesk w;
    dialogs_.Expect(kQuestion, kCreateCallPanels, DlgAnswer::No);
    w.ShowScreen(5);
    EXPECT_EQ(3, w.VisibleScreen());
    EXPECT_EQ(0, calls_.createCallPanels);
}

TEST_F(Navigation, ExistingSwitchesAreSynchronisedWhileTheMatrixIsSaved) {
    const int net = fullObject(QStringLiteral("закр+сохр"));
    addSwitch(net, pod_);
    calls_.missingApartment = true;
    TFMainVesk w;
    dialogs_.Expect(kRefused, kMissingApartments);
    w.ShowScreen(4);
    EXPECT_EQ(1, calls_.sync);
    EXPECT_EQ(4, w.VisibleScreen());
    // "закрыто" is ready but needs no synchronisation.
    setState(net, QStringLiteral("закрыто"));
    TFMainVesk again;
    again.ShowScreen(4);
    EXPECT_EQ(1, calls_.sync);
    EXPECT_EQ(4, again.VisibleScreen());
}

TEST_F(Navigation, ApartmentScreenWarnsRefusesOnNumberingAndOpensOnCountMismatch) {
    const int net = fullObject(QStringLiteral("сохранено"));
    addEntrance(net, addHouse(net), 1);  // an entrance without apartments
    TFMainVesk w;
    calls_.numberingOk = false;
    dialogs_.Expect(Dialogs::ApplicationTitle(), kEntranceWithoutApartments);
    dialogs_.Expect(kRefused, kNumberingFailed);
    w.ShowScreen(6);
    EXPECT_NE(6, w.VisibleScreen());
    calls_.numberingOk = true;
    calls_.countsOk = false;
    dialogs_.Expect(Dialogs::ApplicationTitle(), kEntranceWithoutApartments);
    dialogs_.Expect(kRefused, kCountsDiffer);
    w.ShowScreen(6);
    EXPECT_EQ(6, w.VisibleScreen());
}

TEST_F(Navigation, ConsoleScreenOnlyForObjectsWithAConsole) {
    fullObject(QStringLiteral("сохранено"), true);
    TFMainVesk w;
    EXPECT_TRUE(w.MenuItem(QStringLiteral("MPo"))->isEnabled());
    expectOpens(w, 7);
    // The console's back button leads to the apartments, its next to the switches.
    expectOpens(w, 10);
}

TEST_F(Navigation, StateSentencesOnTheObjectScreen) {
    const int net = fullObject(QStringLiteral("сохранено"));
    {
        TFMainVesk w;
        w.ShowScreen(1);
        EXPECT_EQ(QStringLiteral("Матрица сохранена, квартиры созданы, устройсва не сформированы"),
                  w.P1_LSt->text());
    }
    addSwitch(net, pod_);
    {
        TFMainVesk w;
        w.ShowScreen(1);
        EXPECT_EQ(QStringLiteral("Матрица сохранена при сформированных устройствах"),
                  w.P1_LSt->text());
    }
    exec(QStringLiteral("DELETE FROM k_pk"));
    exec(QStringLiteral("DELETE FROM k_kvr"));
    {
        TFMainVesk w;
        w.ShowScreen(1);
        EXPECT_EQ(QStringLiteral("Матрица сохранена, квартиры не созданы"), w.P1_LSt->text());
    }
    setState(net, QStringLiteral("закр+ввод"));
    {
        TFMainVesk w;
        w.ShowScreen(1);
        EXPECT_EQ(QStringLiteral("Матрица изменена после ввода устройств"), w.P1_LSt->text());
    }
}

TEST_F(Navigation, LeavingTheMatrixWhileEditedAfterASaveAsksToSave) {
    const int net = fullObject(QStringLiteral("сохр+ввод"));
    {
        TFMainVesk w;
        expectOpens(w, 2);
        dialogs_.Expect(kQuestion, kSaveMatrix, DlgAnswer::Yes);
        w.MenuItem(QStringLiteral("MConfObject"))->trigger();
        EXPECT_EQ(1, w.VisibleScreen());
        EXPECT_EQ(1, calls_.saveMatrix);
    }
    setState(net, QStringLiteral("введено"));
    {
        TFMainVesk w;
        expectOpens(w, 2);
        w.MenuItem(QStringLiteral("MConfObject"))->trigger();
        EXPECT_EQ(1, w.VisibleScreen());
        EXPECT_EQ(1, calls_.saveMatrix);
    }
}

TEST_F(Navigation, MenuOpensScreensAndBackForwardMoveThroughThemWithTwinButtons) {
    fullObject(QStringLiteral("сохранено"));
    TFMainVesk w;
    w.show();
    w.MenuItem(QStringLiteral("MReadConf"))->trigger();
    EXPECT_EQ(11, w.VisibleScreen());
    w.MenuItem(QStringLiteral("MNetDevice"))->trigger();
    EXPECT_EQ(12, w.VisibleScreen());
    w.MenuItem(QStringLiteral("MConfObject"))->trigger();
    EXPECT_EQ(1, w.VisibleScreen());
    EXPECT_TRUE(w.BitBack->isEnabled());
    EXPECT_FALSE(w.BitForward->isEnabled());

    w.BitBack->click();
    EXPECT_EQ(12, w.VisibleScreen());
    w.BitBack2->click();
    EXPECT_EQ(11, w.VisibleScreen());
    EXPECT_TRUE(w.BitForward->isEnabled());
    EXPECT_EQ(w.BitForward->isEnabled(), w.BitForward2->isEnabled());
    EXPECT_EQ(w.BitBack->isEnabled(), w.BitBack2->isEnabled());
    w.BitForward2->click();
    EXPECT_EQ(12, w.VisibleScreen());

    // A new screen from here drops the forward entry (screen 1).
    w.MenuItem(QStringLiteral("MKey"))->trigger();
    EXPECT_EQ(9, w.VisibleScreen());
    EXPECT_FALSE(w.BitForward->isEnabled());
    EXPECT_EQ(QList<int>({0, 11, 12, 9}), w.History().Entries());

    // The frames' own back and next buttons.
    w.ShowScreen(1);
    w.FrMatr1->BitNext->click();
    EXPECT_EQ(2, w.VisibleScreen());
    w.FrDom1->BitNext->click();
    EXPECT_EQ(3, w.VisibleScreen());
    w.FrPod1->BitPrev->click();
    EXPECT_EQ(2, w.VisibleScreen());
    EXPECT_FALSE(w.FrRead1->BitPrev->isVisibleTo(w.FrRead1));

    w.ButEnd->click();
    EXPECT_EQ(0, w.VisibleScreen());
    EXPECT_EQ(QStringLiteral("АРМ DUZAVIZOR"), w.windowTitle());
    EXPECT_FALSE(w.ButEnd->isEnabled());
}

TEST_F(Navigation, TheLastScreenComesBackAtTheNextStart) {
    fullObject(QStringLiteral("сохранено"));
    {
        TFMainVesk w;
        w.MenuItem(QStringLiteral("MConfDom"))->trigger();
        ASSERT_EQ(2, w.VisibleScreen());
        w.close();
    }
    TFMainVesk next;
    EXPECT_EQ(2, next.VisibleScreen());
    EXPECT_EQ(QStringLiteral("APM ZAZ-Kiro-2"), next.windowTitle());
}

TEST_F(Navigation, ObjectScreenChoosesAnotherDatabaseFolder) {
    TFMainVesk w;
    w.ShowScreen(1);
    const QString original = w.Path->text();
    const QString nothing = database_.programDir().path() + QStringLiteral("nothing-here/");
    dialogs_.ExpectPicker(QStringLiteral("Выберите папку с БД"), nothing.chopped(1));
    dialogs_.Expect(QStringLiteral("Ошибка"),
                    QStringLiteral("Ошибка открытия БД %1!\nФайл базы данных не найден: "
                                   "%1db_arm_vesk.mdb")
                        .arg(nothing));
    w.BitSelect->click();
    EXPECT_EQ(original, w.Path->text());
    EXPECT_TRUE(fdm_.Q_Net->IsOpen()) << "the previous database is opened again";
    dialogs_.ExpectPicker(QStringLiteral("Выберите папку с БД"), QString());
    w.BitSelect->click();
    EXPECT_EQ(original, w.Path->text());

    // Another folder with a database: it becomes the folder in use, also for
    // the network settings.
    const QString other = database_.programDir().path() + QStringLiteral("other");
    QString error;
    ASSERT_TRUE(CreateNewDatabase(
        database_.programDir().file(QStringLiteral("other/db_arm_vesk.mdb")), &error))
        << error.toStdString();
    dialogs_.ExpectPicker(QStringLiteral("Выберите папку с БД"), other);
    w.BitSelect->click();
    EXPECT_EQ(other + QLatin1Char('/'), w.Path->text());
    EXPECT_EQ(other + QLatin1Char('/'), NetSettings().DatabaseFolder());
    EXPECT_TRUE(fdm_.Q_Net->IsOpen());
    EXPECT_TRUE(fdm_.DatabasePath().endsWith(QStringLiteral("other/db_arm_vesk.mdb")));
}

TEST_F(Navigation, DefaultWindowSizeQuestion) {
    TFMainVesk w;
    w.resize(1200, 900);
    dialogs_.Expect(
        QStringLiteral("Подтверждение"),
        QStringLiteral("Восстановить внешний вид программы в первоначальное состояние?"),
        DlgAnswer::No);
    w.MenuItem(QStringLiteral("MServIni"))->trigger();
    EXPECT_EQ(1200, w.width());
    dialogs_.Expect(
        QStringLiteral("Подтверждение"),
        QStringLiteral("Восстановить внешний вид программы в первоначальное состояние?"),
        DlgAnswer::Yes);
    w.MenuItem(QStringLiteral("MServIni"))->trigger();
    EXPECT_EQ(QSize(800, 595), w.size());
}

TEST_F(Navigation, MenuCommandsOpenTheFormsOfOtherScreens) {
    const int first = fullObject(QStringLiteral("сохранено"));
    addObject(QStringLiteral("Второй"));
    TFGlVal glVal;
    TFpkEdit pkEdit;
    TFObEdit obEdit;
    FGlVal = &glVal;
    FpkEdit = &pkEdit;
    FObEdit = &obEdit;
    {
        TFMainVesk w;
        w.MenuItem(QStringLiteral("MGlobal"))->trigger();
        EXPECT_TRUE(glVal.isVisible());
        w.MenuItem(QStringLiteral("MpkEdit"))->trigger();
        EXPECT_TRUE(pkEdit.isVisible());

        // The deletion dialog is modal; with the object count unchanged the
        // object that was current before is current again.
        ASSERT_TRUE(fdm_.Q_Net->Locate(QStringLiteral("id_net"), first));
        QTimer::singleShot(0, &obEdit, [this, &obEdit] {
            fdm_.Q_Net->First();
            obEdit.reject();
        });
        w.MenuItem(QStringLiteral("MServDel"))->trigger();
        EXPECT_EQ(first, fdm_.Q_Net->FieldByName(QStringLiteral("id_net")).AsInt());
        ASSERT_FALSE(w.History().Entries().isEmpty());
        EXPECT_EQ(8, w.History().Entries().last());
    }
    FGlVal = nullptr;
    FpkEdit = nullptr;
    FObEdit = nullptr;
}

TEST_F(Navigation, EditorsCloseWhenAnotherObjectBecomesCurrent) {
    fullObject(QStringLiteral("сохранено"));
    addObject(QStringLiteral("Второй"));
    TFpkEdit pkEdit;
    FpkEdit = &pkEdit;
    {
        TFMainVesk w;
        w.ShowScreen(1);
        pkEdit.show();
        w.ShowScreen(11);  // same object: the editor stays
        EXPECT_TRUE(pkEdit.isVisible());
        // Whatever makes another object current (the list, the key search,
        // a device read), on whatever screen.
        const int first = fdm_.Q_Net->RecNo();
        fdm_.Q_Net->SetRecNo(first == 1 ? 2 : 1);
        EXPECT_FALSE(pkEdit.isVisible());
        pkEdit.show();
        fdm_.Q_Net->SetRecNo(first);
        EXPECT_FALSE(pkEdit.isVisible());
    }
    FpkEdit = nullptr;
}

TEST_F(Navigation, CompactionFromTheMenuAsksFirst) {
    TFMainVesk w;
    dialogs_.Expect(QStringLiteral("Подтверждение"), QStringLiteral("Сжать БД на диске?"),
                    DlgAnswer::No);
    w.MenuItem(QStringLiteral("NCompact"))->trigger();
    EXPECT_TRUE(fdm_.Q_Net->IsOpen());
}

TEST_F(Navigation, F1ShowsTheTopicOfTheVisibleScreen) {
    installRecordingViewer();
    TFMainVesk w;
    w.ShowScreen(11);
    w.MenuItem(QStringLiteral("MHelp0"))->trigger();
    QFile calls(database_.programDir().path() + QStringLiteral("bin/calls.txt"));
    QElapsedTimer t;
    t.start();
    while (!calls.exists() && t.elapsed() < 10000) QTest::qWait(20);
    ASSERT_TRUE(calls.open(QIODevice::ReadOnly));
    EXPECT_TRUE(QString::fromUtf8(calls.readAll()).contains(QStringLiteral("#xchm:/m302.htm")));
    EXPECT_EQ(QKeySequence(Qt::Key_F1), w.MenuItem(QStringLiteral("MHelp0"))->shortcut());
    AppHelp().CloseViewer();
    AppHelp().SetViewer(QString());
}

// Without a viewer or a help file every way to help says once what is
// missing, instead of doing nothing.
TEST_F(Navigation, HelpThatIsNotInstalledSaysWhatIsMissing) {
    AppHelp().SetViewer(database_.programDir().path() + QStringLiteral("bin/xchm"));
    TFMainVesk w;
    const QString missing = QStringLiteral("Справка не установлена.\n"
                                           "Не найдена программа просмотра справки ") +
                            database_.programDir().path() +
                            QStringLiteral("bin/xchm.\nОтсутствует файл ") +
                            database_.programDir().path() + QStringLiteral("Help/HelpPr.chm.");
    for (const char* item : {"MHelp0", "MEasy"}) {
        dialogs_.Expect(QStringLiteral("Ошибка"), missing);
        w.MenuItem(QString::fromLatin1(item))->trigger();
        dialogs_.VerifyDone();
    }
    dialogs_.Expect(QStringLiteral("Ошибка"), missing);
    w.ButHelp->click();
    dialogs_.VerifyDone();
    AppHelp().SetViewer(QString());
}

TEST_F(Navigation, F1InAnEditorWindowShowsTheEditorsTopic) {
    installRecordingViewer();
    fullObject(QStringLiteral("сохранено"));
    TFpkEdit pkEdit;
    FpkEdit = &pkEdit;
    {
        TFMainVesk w;
        w.show();
        w.ShowScreen(2);
        w.MenuItem(QStringLiteral("MpkEdit"))->trigger();
        ASSERT_TRUE(pkEdit.isVisible());
        QApplication::setActiveWindow(&pkEdit);
        QTest::keyClick(&pkEdit, Qt::Key_F1);
        QFile calls(database_.programDir().path() + QStringLiteral("bin/calls.txt"));
        QElapsedTimer t;
        t.start();
        while (!calls.exists() && t.elapsed() < 10000) QTest::qWait(20);
        ASSERT_TRUE(calls.open(QIODevice::ReadOnly));
        EXPECT_TRUE(QString::fromUtf8(calls.readAll()).contains(QStringLiteral("#xchm:/m231.htm")));
        AppHelp().CloseViewer();
    }
    FpkEdit = nullptr;
    AppHelp().SetViewer(QString());
}
}  // namespace
}  // namespace NavigationTestUnit
