#include "MainWindowFixture.h"
#include "app/TFMainVesk.h"
#include "foundation/Globals.h"
#include "foundation/IniFile.h"
#include "foundation/MainWindowData.h"
#include "foundation/MainWindowLogic.h"
#include "foundation/MatrTable.h"
#include "foundation/SettingsFile.h"
#include "foundation/TFDM.h"
#include "support/QtPrinters.h"
#include "support/ReadOnlyPath.h"
#include "support/ScreenShots.h"
#include "support/ScriptedDialogs.h"
#include "support/TestDatabase.h"

#include <gtest/gtest.h>
#include <QAction>
#include <QCoreApplication>
#include <QFile>
#include <QLabel>
#include <QLineEdit>
#include <QPushButton>
#include <QScreen>
#include <QSqlError>
#include <QSqlQuery>

namespace MainWindowDbTestUnit {
namespace {

TEST_F(MainWindowDb, OpensTheDefaultFolderAndWritesEverySectionInOrderAtClose) {
    writeSettings("[Help]\nhp=/doc/m.pdf\n");
    TFMainVesk window;
    EXPECT_EQ(dbDir(), window.Path->text());
    EXPECT_TRUE(fdm_.Q_Net->IsOpen());
    // An empty object list opens the object screen.
    EXPECT_EQ(1, window.VisibleScreen());
    EXPECT_EQ(QStringLiteral("Выбор объекта или ввод нового объекта"), window.PanelTop->text());
    window.show();
    window.close();

    const IniFile ini = savedSettings();
    EXPECT_EQ(QStringList({"Size", "Greed", "Net", "Key", "Object", "Log", "Dir", "Help"}),
              ini.Sections());
    EXPECT_EQ(QStringList({"sw", "sh", "mx"}), ini.Keys(QStringLiteral("Size")));
    EXPECT_EQ(QStringList({"fm", "fp", "fb"}), ini.Keys(QStringLiteral("Greed")));
    EXPECT_EQ(QStringList({"cr", "cm", "wn", "lc"}), ini.Keys(QStringLiteral("Net")));
    EXPECT_EQ(QStringList({"an", "rb", "am", "al", "au", "bp", "ai"}),
              ini.Keys(QStringLiteral("Key")));
    EXPECT_EQ(QStringList({"id", "nf"}), ini.Keys(QStringLiteral("Object")));
    EXPECT_EQ(QStringList({"lg"}), ini.Keys(QStringLiteral("Log")));
    EXPECT_EQ(QStringList({"bd"}), ini.Keys(QStringLiteral("Dir")));
    EXPECT_EQ(dbDir(), ini.ReadString(QStringLiteral("Dir"), QStringLiteral("bd"), {}));
    EXPECT_EQ(1, ini.ReadInteger(QStringLiteral("Object"), QStringLiteral("nf"), -1));
    EXPECT_EQ(0, ini.ReadInteger(QStringLiteral("Object"), QStringLiteral("id"), -1));
    EXPECT_EQ(QStringLiteral("norm"),
              ini.ReadString(QStringLiteral("Size"), QStringLiteral("mx"), {}));
    EXPECT_EQ(QStringLiteral("/doc/m.pdf"),
              ini.ReadString(QStringLiteral("Help"), QStringLiteral("hp"), {}));
}

TEST_F(MainWindowDb, SavedFolderWithoutTheDatabaseFallsBackAndTheWorkingFolderIsWrittenBack) {
    const QString empty = database_.programDir().file(QStringLiteral("elsewhere/x")).chopped(1);
    writeSettings(QStringLiteral("[Dir]\nbd=%1\n").arg(empty).toUtf8());
    TFMainVesk window;
    EXPECT_EQ(dbDir(), window.Path->text());
    window.close();
    EXPECT_EQ(dbDir(), savedSettings().ReadString(QStringLiteral("Dir"), QStringLiteral("bd"), {}));
}

TEST_F(MainWindowDb, AnEmptyFolderSettingOpensTheDefaultDatabase) {
    writeSettings("[Dir]\nbd=\n");
    TFMainVesk window;
    EXPECT_EQ(dbDir(), window.Path->text());
    EXPECT_TRUE(fdm_.Q_Net->IsOpen());
    window.close();
    EXPECT_EQ(dbDir(), savedSettings().ReadString(QStringLiteral("Dir"), QStringLiteral("bd"), {}));
}

TEST_F(MainWindowDb, SettingsOfTheOldWindowsProgramOpenTheDefaultDatabaseAndKeepTheirTexts) {
    // Windows-1251, a drive-letter folder and "ж" for the plain grid font.
    writeSettings(
        "[Dir]\r\nbd=C:\\Program Files\\ARM\\DB_ARM\\\r\n"
        "[Greed]\r\nfm=\xE6\r\nfp=\xED\r\n");
    TFMainVesk window;
    EXPECT_EQ(dbDir(), window.Path->text());
    EXPECT_EQ(QStringLiteral("ж"), window.GridToggle(QStringLiteral("fm")));
    EXPECT_EQ(QStringLiteral("н"), window.GridToggle(QStringLiteral("fp")));
    window.close();
    // Written back as UTF-8.
    QFile f(database_.programDir().path() + QStringLiteral("Ini/save.ini"));
    ASSERT_TRUE(f.open(QIODevice::ReadOnly));
    EXPECT_TRUE(f.readAll().contains("fm=\xD0\xB6\n"));
}

TEST_F(MainWindowDb, AReadOnlyDatabaseFolderOpensWithAWarning) {
    // A file the program has opened before: its upgrade has nothing to write.
    QString error;
    ASSERT_TRUE(fdm_.Connect(database_.dbPath(), &error)) << error.toStdString();
    fdm_.Disconnect();
    ReadOnlyPath readOnly(dbDir());
    if (!readOnly.Active()) GTEST_SKIP() << "no way to make a folder read-only here";
    dialogs_.Expect(QStringLiteral("Внимание"),
                    QStringLiteral("Папка базы данных доступна только для чтения: ") + dbDir() +
                        QStringLiteral("\nИзменения в БД сохранить не удастся."));
    TFMainVesk window;
    EXPECT_TRUE(fdm_.Q_Net->IsOpen());
    EXPECT_EQ(dbDir(), window.Path->text());
    EXPECT_FALSE(fdm_.HoldsLock());
}

// A program folder where the settings cannot be written: the engineer is
// told at exit, with the reason in Russian.
TEST_F(MainWindowDb, SettingsThatCannotBeSavedAtExitAreReported) {
    writeSettings("[Object]\nnf=0\n");
    const QString ini = database_.programDir().path() + QStringLiteral("Ini/save.ini");
    TFMainVesk window;
    window.show();
    ReadOnlyPath readOnly(database_.programDir().path() + QStringLiteral("Ini"));
    if (!readOnly.Active()) GTEST_SKIP() << "no way to make a folder read-only here";
    dialogs_.ExpectContaining(QStringLiteral("Ошибка"),
                              QStringLiteral("Настройки программы не сохранены в файле ") + ini +
                                  QStringLiteral(". Не удалось создать файл в папке "));
    EXPECT_TRUE(window.close());
    dialogs_.VerifyDone();
    ASSERT_EQ(1, dialogs_.Shown().size());
    EXPECT_TRUE(dialogs_.Shown().first().endsWith(QStringLiteral(". Нет прав доступа.")) ||
                dialogs_.Shown().first().endsWith(QStringLiteral(". Операция не разрешена.")))
        << dialogs_.Shown().first().toStdString();
}

TEST_F(MainWindowDb, AReopenThatFailsHalfWayClosesEverythingAndSaysWhy) {
    addHouse(addObject(QStringLiteral("Объект")));
    writeSettings("[Object]\nnf=1\n");
    TFMainVesk window;
    window.show();
    ASSERT_EQ(1, window.VisibleScreen());
    // Another program broke the file under our feet: a table is gone.
    exec(QStringLiteral("DROP TABLE k_dom"));
    // The reason names no table; which one is missing is for the log.
    dialogs_.ExpectContaining(QStringLiteral("Ошибка"),
                              QStringLiteral("Ошибка открытия БД ") + dbDir() +
                                  QStringLiteral("!\n") +
                                  DbFileTexts::NotProgramsDatabase(database_.dbPath()));
    window.MenuItem(QStringLiteral("MReOpen"))->trigger();
    EXPECT_FALSE(dialogs_.Shown().join('\n').contains(QStringLiteral("Q_")));
    EXPECT_TRUE(window.isVisible());
    EXPECT_EQ(0, window.VisibleScreen());
    for (const Dataset* ds : fdm_.AllDatasets())
        EXPECT_FALSE(ds->IsOpen()) << ds->Name().toStdString();
    EXPECT_FALSE(fdm_.Connected());
    // The next F5 tries the folder again and says why it still fails.
    dialogs_.ExpectContaining(QStringLiteral("Ошибка"), QStringLiteral("Ошибка открытия БД ") +
                                                            dbDir() + QStringLiteral("!\n"));
    window.MenuItem(QStringLiteral("MReOpen"))->trigger();
    EXPECT_FALSE(fdm_.Connected());
    dialogs_.Expect(QStringLiteral("Ошибка"), MainWindowTexts::kNoDatabase);
    DeclineTheWaysOut(dialogs_, dbDir(), false);  // the broken file is never replaced
    window.MenuItem(QStringLiteral("MConfObject"))->trigger();
    EXPECT_TRUE(window.isVisible());
}

TEST_F(MainWindowDb, AnOversizedSavedWindowFitsTheScreenWithItsExitButton) {
    writeSettings("[Size]\nsw=5000\nsh=4000\n");
    TFMainVesk window;
    window.show();
    QCoreApplication::processEvents();
    const QRect area = window.screen()->availableGeometry();
    EXPECT_TRUE(area.contains(window.frameGeometry()));
    const QRect exit(window.ButExit->mapToGlobal(QPoint(0, 0)), window.ButExit->size());
    EXPECT_TRUE(area.contains(exit));
    const QSize fitted = window.size();
    window.close();
    EXPECT_EQ(fitted.width(),
              savedSettings().ReadInteger(QStringLiteral("Size"), QStringLiteral("sw"), 0));
}

TEST_F(MainWindowDb, GlobalsWithoutRowsTakeTheDefaults) {
    exec(QStringLiteral("DELETE FROM t_global"));
    ArmGlobals& g = Globals();
    g.KolTractPK = g.MaxDevice = g.SepDevice = g.Shapka = g.Colstp = 99;
    g.nmBVp = g.nmBVk = QStringLiteral("x");
    TFMainVesk window;
    EXPECT_EQ(8, g.KolTractPK);
    EXPECT_EQ(50, g.MaxDevice);
    EXPECT_EQ(63, g.SepDevice);
    EXPECT_EQ(5, g.Shapka);
    EXPECT_EQ(2, g.Colstp);
    EXPECT_EQ(QStringLiteral("БВ подъезда "), g.nmBVp);
    EXPECT_EQ(QStringLiteral("БВ калитки "), g.nmBVk);
    EXPECT_EQ(800, window.width());
    EXPECT_EQ(595, window.height());
}

TEST_F(MainWindowDb, GlobalsComeFromTheRowWithABlankAfterTheNames) {
    exec(
        QStringLiteral("UPDATE t_global SET Shapka=7, Colstp=3, nmBVp='Вход', nmBVk='Калитка', "
                       "WidthMain=1000, HeightMain=700"));
    TFMainVesk window;
    const ArmGlobals& g = Globals();
    EXPECT_EQ(7, g.Shapka);
    EXPECT_EQ(3, g.Colstp);
    EXPECT_EQ(QStringLiteral("Вход "), g.nmBVp);
    EXPECT_EQ(QStringLiteral("Калитка "), g.nmBVk);
    // Without a saved size the window takes the row's size.
    EXPECT_EQ(1000, window.width());
    EXPECT_EQ(700, window.height());
    EXPECT_EQ(1000, g.WidthMain);
}

// A size beyond the global parameters form's ranges is taken at their
// nearer end, where a window as large as any number would be made.
TEST_F(MainWindowDb, AStoredWindowSizeBeyondTheFormsRangesIsTakenAtTheirEnds) {
    const struct {
        const char* width;
        const char* height;
        int w;
        int h;
    } cases[] = {{"2147483647", "9223372036854775807", 5000, 6000},
                 {"-2147483648", "-1", 800, 595},
                 {"799", "6001", 800, 6000}};
    for (const auto& c : cases) {
        SCOPED_TRACE(c.width);
        exec(QStringLiteral("UPDATE t_global SET WidthMain=%1, HeightMain=%2")
                 .arg(QLatin1String(c.width), QLatin1String(c.height)));
        TFMainVesk window;
        ArmGlobals g;
        ASSERT_TRUE(MainWindowData::LoadGlobals(g));
        EXPECT_EQ(c.w, g.WidthMain);
        EXPECT_EQ(c.h, g.HeightMain);
        EXPECT_EQ(c.w, MainWindowData::StoredMainWidth());
    }
}

TEST_F(MainWindowDb, ReturnsToTheSavedObjectAndScreenAndSavesThemAgain) {
    addObject(QStringLiteral("Первый"));
    const int second = addObject(QStringLiteral("Второй"), 0, true);
    addObject(QStringLiteral("Третий"));
    writeSettings(QStringLiteral("[Object]\nid=%1\nnf=13\n[Size]\nsw=900\nsh=640\n"
                                 "[Key]\nan=7\nrb=4\nbp=1\n[Greed]\nfm=н\n")
                      .arg(second)
                      .toUtf8());
    TFMainVesk window;
    EXPECT_EQ(second, fdm_.Q_Net->FieldByName(QStringLiteral("id_net")).AsInt());
    EXPECT_TRUE(window.MenuItem(QStringLiteral("MPo"))->isEnabled());
    EXPECT_EQ(13, window.VisibleScreen());
    EXPECT_EQ(QStringLiteral("Просмотр конфигурационных файлов"), window.PanelTop->text());
    EXPECT_EQ(QSize(900, 640), window.size());
    EXPECT_EQ(QStringLiteral("н"), window.GridToggle(QStringLiteral("fm")));
    window.show();
    window.close();

    const IniFile ini = savedSettings();
    EXPECT_EQ(second, ini.ReadInteger(QStringLiteral("Object"), QStringLiteral("id"), 0));
    EXPECT_EQ(13, ini.ReadInteger(QStringLiteral("Object"), QStringLiteral("nf"), 0));
    EXPECT_EQ(900, ini.ReadInteger(QStringLiteral("Size"), QStringLiteral("sw"), 0));
    EXPECT_EQ(7, ini.ReadInteger(QStringLiteral("Key"), QStringLiteral("an"), 0));
    // Gate keys need gates: the object has none, so the apartment keys are chosen.
    EXPECT_EQ(1, ini.ReadInteger(QStringLiteral("Key"), QStringLiteral("rb"), 0));
    EXPECT_TRUE(ini.ReadBool(QStringLiteral("Key"), QStringLiteral("bp"), false));
    EXPECT_EQ(QStringLiteral("н"),
              ini.ReadString(QStringLiteral("Greed"), QStringLiteral("fm"), {}));
}

TEST_F(MainWindowDb, AnUnknownObjectIdFallsBackToTheFirstAndScreenZeroIsTheMenu) {
    const int only = addObject(QStringLiteral("Единственный"), 2);
    writeSettings("[Object]\nid=999\nnf=0\n[Key]\nrb=4\n");
    TFMainVesk window;
    EXPECT_EQ(only, fdm_.Q_Net->FieldByName(QStringLiteral("id_net")).AsInt());
    EXPECT_FALSE(window.MenuItem(QStringLiteral("MPo"))->isEnabled());
    EXPECT_EQ(0, window.VisibleScreen());
    EXPECT_EQ(QStringLiteral("АРМ DUZAVIZOR"), window.windowTitle());
    EXPECT_FALSE(window.ButEnd->isEnabled());
    window.close();
    EXPECT_EQ(4, savedSettings().ReadInteger(QStringLiteral("Key"), QStringLiteral("rb"), 0));
    EXPECT_EQ(0, savedSettings().ReadInteger(QStringLiteral("Object"), QStringLiteral("nf"), -1));
}

TEST_F(MainWindowDb, TheMatrixTableIsTheRestoredObjects) {
    addHouse(addObject(QStringLiteral("Первый")));
    const int second = addObject(QStringLiteral("Второй"));
    addHouse(second);
    writeSettings(QStringLiteral("[Object]\nid=%1\nnf=11\n").arg(second).toUtf8());
    TFMainVesk window;
    ASSERT_EQ(second, fdm_.Q_Net->FieldByName(QStringLiteral("id_net")).AsInt());
    EXPECT_TRUE(fdm_.Q_Matr->IsOpen());
    EXPECT_TRUE(fdm_.Q_Matr->Sql().contains(MatrTableName(second)))
        << fdm_.Q_Matr->Sql().toStdString();
}

TEST_F(MainWindowDb, EmptyObjectListKeepsTheNetworkScreen) {
    writeSettings("[Object]\nnf=12\n");
    TFMainVesk window;
    EXPECT_EQ(12, window.VisibleScreen());
}

TEST_F(MainWindowDb, ReopenKeepsTheCurrentObject) {
    addObject(QStringLiteral("А"));
    const int b = addObject(QStringLiteral("Б"));
    addObject(QStringLiteral("В"));
    writeSettings(QStringLiteral("[Object]\nid=%1\nnf=1\n").arg(b).toUtf8());
    TFMainVesk window;
    ASSERT_EQ(b, fdm_.Q_Net->FieldByName(QStringLiteral("id_net")).AsInt());
    window.MenuItem(QStringLiteral("MReOpen"))->trigger();
    EXPECT_TRUE(fdm_.Q_Net->IsOpen());
    EXPECT_EQ(b, fdm_.Q_Net->FieldByName(QStringLiteral("id_net")).AsInt());
    EXPECT_EQ(QKeySequence(Qt::Key_F5), window.MenuItem(QStringLiteral("MReOpen"))->shortcut());
}

// Renders the main window as the operator sees it after start-up, for a look
// at the layout; the picture goes next to the test programs.
TEST_F(MainWindowDb, RendersAsARealProgramWindow) {
    addObject(QStringLiteral("Объект 1"));
    writeSettings("[Object]\nnf=1\n[Size]\nsw=1024\nsh=700\n");
    TFMainVesk window;
    window.show();
    window.ApplicationEvents1Hint(QStringLiteral("Выход из программы"));
    QCoreApplication::processEvents();
    EXPECT_EQ(QSize(1024, 700), window.grab().size());
    EXPECT_FALSE(SaveScreen(window, QStringLiteral("mainwin")).isEmpty());
    window.close();
}

TEST_F(MainWindowDb, ScreenWidthButtonReturnsToTheInstallationsWidth) {
    exec(QStringLiteral("UPDATE t_global SET WidthMain=900"));
    TFMainVesk window;
    window.show();
    const QRect area = window.screen()->availableGeometry();
    // Already as wide as the screen, with no narrower width remembered.
    window.resize(area.width(), window.height());
    Globals().WidthMain = area.width() + 100;
    window.BitScreen->click();
    EXPECT_EQ(900, window.width());
    window.BitScreen->click();
    EXPECT_EQ(area.width(), window.width());
    EXPECT_EQ(900, Globals().WidthMain);
    window.BitScreen->click();
    EXPECT_EQ(900, window.width());
    window.close();
}
}  // namespace
}  // namespace MainWindowDbTestUnit
