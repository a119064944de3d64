#include "MainWindowFixture.h"
#include "foundation/DbSchema.h"
#include "foundation/Globals.h"
#include "foundation/MainWindowLogic.h"
#include "foundation/SettingsFile.h"
#include "foundation/TFDM.h"
#include "foundation/VersionInfo.h"
#include "app/AppForms.h"
#include "foundation/ui/TAboutBox.h"
#include "foundation/ui/TFDialog.h"
#include "foundation/ui/TFGlVal.h"
#include "app/TFMainVesk.h"
#include "foundation/ui/TFProgress.h"
#include "foundation/ui/TScreenFrame.h"
#include "platform/ui/WidgetDialogs.h"
#include "support/QtPrinters.h"
#include "support/ScreenShots.h"
#include "support/ScriptedDialogs.h"
#include "support/TempProgramDir.h"

#include <gtest/gtest.h>
#include <QAction>
#include <QApplication>
#include <QDir>
#include <QFile>
#include <QFileInfo>
#include <QLabel>
#include <QLayout>
#include <QLineEdit>
#include <QListWidget>
#include <QPlainTextEdit>
#include <QProgressBar>
#include <QPushButton>
#include <QRandomGenerator>
#include <QScrollBar>
#include <QSpinBox>
#include <QStandardItemModel>
#include <QStatusBar>
#include <QStatusTipEvent>
#include <QTableView>
#include <QTemporaryDir>
#include <QTest>
#include <QTimer>

namespace MainWindowTestUnit {
namespace {

QString openFailedText(const TempProgramDir& dir) {
    return QStringLiteral("Ошибка открытия БД ") + dir.path() + QStringLiteral("DB_ARM/!");
}

QString missingText(const QString& folder) {
    return QStringLiteral("\nФайл базы данных не найден: ") + folder +
           QStringLiteral("db_arm_vesk.mdb");
}

TEST(MainWindowWithoutDatabase, ShowsTheOpenErrorAndNoScreen) {
    TempProgramDir dir;
    TFDM fdm;
    dir.writeFile(QStringLiteral("Ini/save.ini"), "[Dir]\nbd=/no/such/folder/\n[Object]\nnf=2\n");
    ScriptedDialogs dialogs;
    // Both folders tried, each with its reason.
    dialogs.Expect(QStringLiteral("Ошибка"),
                   openFailedText(dir) + missingText(QStringLiteral("/no/such/folder/")) +
                       missingText(dir.path() + QStringLiteral("DB_ARM/")));
    DeclineTheWaysOut(dialogs, dir.path() + QStringLiteral("DB_ARM/"));
    TFMainVesk window;
    EXPECT_EQ(QStringLiteral("APM ZAZ-Kiro-2"), window.windowTitle());
    EXPECT_EQ(0, window.VisibleScreen());
    EXPECT_TRUE(window.PanelTop->text().isEmpty());
    EXPECT_TRUE(window.Path->text().isEmpty());
}

TEST(MainWindowWithoutDatabase, AFileThatIsNoDatabaseIsNamedAndLeftAsItWas) {
    TempProgramDir dir;
    QByteArray noise(4096, Qt::Uninitialized);
    for (char& c : noise) c = char(QRandomGenerator::global()->bounded(256));
    noise[0] = 'x';  // never an SQLite header by chance
    dir.writeFile(QStringLiteral("DB_ARM/db_arm_vesk.mdb"), noise);
    TFDM fdm;
    ScriptedDialogs dialogs;
    dialogs.Expect(QStringLiteral("Ошибка"),
                   openFailedText(dir) + QStringLiteral("\nФайл ") + dir.path() +
                       QStringLiteral("DB_ARM/db_arm_vesk.mdb не является "
                                      "базой данных."));
    // Nothing new is offered over the damaged file.
    DeclineTheWaysOut(dialogs, dir.path() + QStringLiteral("DB_ARM/"), false);
    TFMainVesk window;
    EXPECT_EQ(0, window.VisibleScreen());
    EXPECT_EQ(noise, fileBytes(dir.path() + QStringLiteral("DB_ARM/db_arm_vesk.mdb")));
}

// No dead end without a database: a missing one is made in place when the
// engineer agrees, as the build's tool makes it.
TEST(MainWindowWithoutDatabase, AMissingDatabaseIsMadeInPlaceWhenAsked) {
    TempProgramDir dir;
    TFDM fdm;
    const QString folder = dir.path() + QStringLiteral("DB_ARM/");
    ScriptedDialogs dialogs;
    dialogs.Expect(QStringLiteral("Ошибка"), openFailedText(dir) + missingText(folder));
    dialogs.Expect(QStringLiteral("Подтверждение"),
                   QStringLiteral("В папке ") + folder +
                       QStringLiteral(" нет файла БД. Создать в ней новую пустую БД?"),
                   DlgAnswer::Yes);
    {
        TFMainVesk window;
        dialogs.VerifyDone();
        EXPECT_TRUE(fdm.Q_Net->IsOpen());
        EXPECT_EQ(folder, window.Path->text());
        EXPECT_EQ(1, window.VisibleScreen());
        EXPECT_TRUE(fileBytes(folder + QStringLiteral("db_arm_vesk.mdb")).startsWith("SQLite"));
        EXPECT_TRUE(window.close());
    }
    EXPECT_TRUE(fileBytes(dir.path() + QStringLiteral("Ini/save.ini"))
                    .contains("bd=" + folder.toUtf8()));
}

// A damaged file is never touched: another folder is chosen, and a new
// database made there when it has none.
TEST(MainWindowWithoutDatabase, ADamagedFileStaysAndAnotherFolderIsChosen) {
    TempProgramDir dir;
    QTemporaryDir other;
    const QByteArray damaged("not a database at all");
    dir.writeFile(QStringLiteral("DB_ARM/db_arm_vesk.mdb"), damaged);
    TFDM fdm;
    ScriptedDialogs dialogs;
    dialogs.ExpectContaining(QStringLiteral("Ошибка"), openFailedText(dir));
    dialogs.Expect(QStringLiteral("Вопрос"), QStringLiteral("Выбрать другую папку с БД?"),
                   DlgAnswer::Yes);
    dialogs.ExpectPicker(QStringLiteral("Выберите папку с БД"), other.path());
    dialogs.Expect(QStringLiteral("Подтверждение"),
                   QStringLiteral("В папке ") + other.path() +
                       QStringLiteral("/ нет файла БД. Создать в ней новую пустую БД?"),
                   DlgAnswer::Yes);
    TFMainVesk window;
    dialogs.VerifyDone();
    EXPECT_TRUE(fdm.Q_Net->IsOpen());
    EXPECT_EQ(other.path() + QStringLiteral("/"), window.Path->text());
    EXPECT_EQ(1, window.VisibleScreen());
    EXPECT_EQ(damaged, fileBytes(dir.path() + QStringLiteral("DB_ARM/db_arm_vesk.mdb")));
    EXPECT_EQ(QStringList{QStringLiteral("db_arm_vesk.mdb")},
              QDir(dir.path() + QStringLiteral("DB_ARM")).entryList(QDir::Files | QDir::Hidden));
}

// Declined at start-up, the same ways out come with the next command that
// needs a database; a folder that holds one opens.
TEST(MainWindowWithoutDatabase, TheNextCommandOffersTheWaysOutAgain) {
    TempProgramDir dir;
    QTemporaryDir other;
    QString error;
    ASSERT_TRUE(CreateNewDatabase(other.filePath(QStringLiteral("db_arm_vesk.mdb")), &error))
        << error.toStdString();
    TFDM fdm;
    ScriptedDialogs dialogs;
    ExpectAStartWithoutDatabase(dialogs, dir.path());
    TFMainVesk window;
    window.show();
    EXPECT_EQ(0, window.VisibleScreen());

    dialogs.Expect(QStringLiteral("Ошибка"), MainWindowTexts::kNoDatabase);
    dialogs.Expect(QStringLiteral("Подтверждение"),
                   QStringLiteral("В папке ") + dir.path() +
                       QStringLiteral("DB_ARM/ нет файла БД. Создать в ней новую пустую БД?"),
                   DlgAnswer::No);
    dialogs.Expect(QStringLiteral("Вопрос"), QStringLiteral("Выбрать другую папку с БД?"),
                   DlgAnswer::Yes);
    dialogs.ExpectPicker(QStringLiteral("Выберите папку с БД"), other.path());
    window.MenuItem(QStringLiteral("MConfObject"))->trigger();
    dialogs.VerifyDone();
    EXPECT_TRUE(fdm.Q_Net->IsOpen());
    EXPECT_EQ(other.path() + QStringLiteral("/"), window.Path->text());
    EXPECT_EQ(1, window.VisibleScreen());
    EXPECT_FALSE(QFileInfo::exists(dir.path() + QStringLiteral("DB_ARM")));
}

TEST(MainWindowWithoutDatabase, ScreensAndEditorsRefuseInsteadOfClosingTheProgram) {
    TempProgramDir dir;
    TFDM fdm;
    ScriptedDialogs dialogs;
    ExpectAStartWithoutDatabase(dialogs, dir.path());
    TFMainVesk window;
    window.show();
    for (const char* item :
         {"MConfObject", "MConfDom", "MPk", "MKey", "MReadConf", "MGlobal", "MpkEdit", "MkvEdit"}) {
        dialogs.Expect(QStringLiteral("Ошибка"),
                       QStringLiteral("База данных не открыта. Работа с объектами невозможна."));
        DeclineTheWaysOut(dialogs, dir.path() + QStringLiteral("DB_ARM/"));
        window.MenuItem(QString::fromLatin1(item))->trigger();
        EXPECT_TRUE(window.isVisible()) << item;
        EXPECT_EQ(0, window.VisibleScreen()) << item;
    }
}

TEST(MainWindowWithoutDatabase, ClosingWritesNothing) {
    TempProgramDir dir;
    const QByteArray saved = "[Object]\nnf=3\n";
    dir.writeFile(QStringLiteral("Ini/save.ini"), saved);
    ScriptedDialogs dialogs;
    ExpectAStartWithoutDatabase(dialogs, dir.path());
    TFMainVesk window;
    window.show();
    EXPECT_TRUE(window.close());
    EXPECT_EQ(saved, fileBytes(dir.path() + QStringLiteral("Ini/save.ini")));
}

TEST(MainWindowWithoutDatabase, ReopenOpensNoDatabaseFromTheWorkingFolder) {
    QTemporaryDir elsewhere;
    TempProgramDir dir;
    QString error;
    ASSERT_TRUE(CreateNewDatabase(elsewhere.filePath(QStringLiteral("db_arm_vesk.mdb")), &error))
        << error.toStdString();
    TFDM fdm;
    ScriptedDialogs dialogs;
    ExpectAStartWithoutDatabase(dialogs, dir.path());
    TFMainVesk window;
    const QString cwd = QDir::currentPath();
    ASSERT_TRUE(QDir::setCurrent(elsewhere.path()));
    // The window started without a database; F5 has no folder to reopen.
    window.MenuItem(QStringLiteral("MReOpen"))->trigger();
    QDir::setCurrent(cwd);
    EXPECT_FALSE(fdm.Q_Net->IsOpen());
    EXPECT_TRUE(window.Path->text().isEmpty());
}

TEST(MainWindowWithoutDatabase, ExitAsksWithItsCaptionAndClosesOnlyOnYes) {
    TempProgramDir dir;
    ScriptedDialogs dialogs;
    ExpectAStartWithoutDatabase(dialogs, dir.path());
    TFMainVesk window;
    window.show();
    dialogs.Expect(QStringLiteral("Подтвердите   завершение"),
                   QStringLiteral("Действительно хотите завершить работу?"), DlgAnswer::No);
    dialogs.Expect(QStringLiteral("Подтвердите   завершение"),
                   QStringLiteral("Действительно хотите завершить работу?"), DlgAnswer::Cancel);
    dialogs.Expect(QStringLiteral("Подтвердите   завершение"),
                   QStringLiteral("Действительно хотите завершить работу?"), DlgAnswer::Yes);
    window.ButExit->click();
    EXPECT_TRUE(window.isVisible());
    window.ButExit->click();
    EXPECT_TRUE(window.isVisible());
    window.ButExit->click();
    EXPECT_FALSE(window.isVisible());
    EXPECT_EQ(QStringLiteral("Выход есть!"), window.ButExit->text());
    EXPECT_EQ(QStringLiteral("Выход из программы"), window.ButExit->toolTip());
}

TEST(MainWindowWithoutDatabase, HintsGoToTheStatusBarAndTheTitleTogglesMaximised) {
    TempProgramDir dir;
    ScriptedDialogs dialogs;
    ExpectAStartWithoutDatabase(dialogs, dir.path());
    TFMainVesk window;
    window.show();
    QStatusTipEvent tip(QStringLiteral("Выход из программы"));
    QCoreApplication::sendEvent(window.ButExit, &tip);
    EXPECT_EQ(QStringLiteral("Выход из программы"), window.SBarMain->currentMessage());

    const bool before = window.isMaximized();
    QTest::mouseDClick(window.PanelTop, Qt::LeftButton);
    EXPECT_NE(before, window.isMaximized());
    QTest::mouseDClick(window.PanelTop, Qt::LeftButton);
    EXPECT_EQ(before, window.isMaximized());

    dialogs.Expect(QStringLiteral("Помощь"),
                   QStringLiteral("Подсказки по заполнению Вы можете подсмотреть внизу окна в "
                                  "строке состояния."));
    window.MenuItem(QStringLiteral("MHelp9"))->trigger();
    EXPECT_TRUE(window.Memo2->isHidden());
    window.BitBtn1->click();
    EXPECT_FALSE(window.Memo2->isHidden());
}

TEST(MainWindowMatrixGrid, SwitchColumnsStayWithin16And34) {
    TempProgramDir dir;
    ScriptedDialogs dialogs;
    ExpectAStartWithoutDatabase(dialogs, dir.path());
    TFMainVesk window;
    Globals().Colstp = 2;
    QStandardItemModel model(3, 0);
    QStringList headers = {QStringLiteral("n_pod"), QStringLiteral("kv")};
    for (int i = 1; i <= 12; ++i) headers << QStringLiteral("p%1").arg(i, 2, 10, QLatin1Char('0'));
    headers << QStringLiteral("nm_bv");
    model.setHorizontalHeaderLabels(headers);
    auto* grid = new QTableView(window.FrDom1);
    grid->setModel(&model);
    window.FrDom1->layout()->addWidget(grid);
    window.SetMatrixGrid(grid);
    // The matrix frame as its screen shows it (no database here).
    window.FrDom1->show();
    window.show();
    for (int width : {300, 640, 900, 2400}) {
        window.resize(width, 600);
        QCoreApplication::processEvents();
        window.FormResize();
        EXPECT_EQ(160, grid->columnWidth(0));
        EXPECT_EQ(160, grid->columnWidth(headers.size() - 1));
        for (int c = 2; c < headers.size() - 1; ++c) {
            EXPECT_GE(grid->columnWidth(c), 16) << width;
            EXPECT_LE(grid->columnWidth(c), 34) << width;
        }
    }
    window.SetMatrixGrid(nullptr);
}

TEST(GenericDialog, TwoHeightsAndItsAnswers) {
    TFDialog dialog;
    EXPECT_EQ(QStringLiteral("Диалог"), dialog.windowTitle());
    EXPECT_EQ(QStringLiteral("Изменения сохранятся и пропишутся в зависимые таблицы!"),
              dialog.Warning->text());
    dialog.Answer->setText(QStringLiteral("Номер?"));
    dialog.VEdit->setValue(17);
    QTimer::singleShot(0, &dialog, [&dialog] {
        EXPECT_EQ(TFDialog::kHeightWithNumber, dialog.height());
        dialog.BitYes->click();
    });
    EXPECT_EQ(DlgAnswer::Yes, dialog.ShowModal());
    EXPECT_EQ(17, dialog.VEdit->value());

    dialog.VEdit->hide();
    QTimer::singleShot(0, &dialog, [&dialog] {
        EXPECT_EQ(TFDialog::kHeightWithoutNumber, dialog.height());
        dialog.BitNo->click();
    });
    EXPECT_EQ(DlgAnswer::No, dialog.ShowModal());
    QTimer::singleShot(0, &dialog, [&dialog] { dialog.reject(); });
    EXPECT_EQ(DlgAnswer::Cancel, dialog.ShowModal());
}

TEST(ProgressWindow, BorderlessOnTopAndStepped) {
    TFProgress progress;
    EXPECT_TRUE(progress.windowFlags() & Qt::FramelessWindowHint);
    EXPECT_TRUE(progress.windowFlags() & Qt::WindowStaysOnTopHint);
    EXPECT_EQ(QSize(404, 17), progress.size());
    EXPECT_EQ(QStringLiteral("Ждите..."), progress.GProgr->toolTip());
    progress.Begin(3);
    EXPECT_TRUE(progress.isVisible());
    EXPECT_EQ(0, progress.GProgr->value());
    for (int i = 0; i < 5; ++i) progress.StepIt();
    EXPECT_EQ(3, progress.GProgr->value());
    progress.End();
    EXPECT_FALSE(progress.isVisible());

    // The gauge callback the data module's loops step.
    FProgress = &progress;
    const auto gauge = ProgressGauge();
    gauge(0, 33, true);
    EXPECT_TRUE(progress.isVisible());
    EXPECT_EQ(33, progress.GProgr->maximum());
    gauge(12, 33, true);
    EXPECT_EQ(12, progress.GProgr->value());
    gauge(33, 33, false);
    EXPECT_FALSE(progress.isVisible());
    FProgress = nullptr;
}

TEST(ProgressWindow, StepsAsideWhileAMessageIsOpen) {
    TFProgress progress;
    WidgetDialogs boxes;
    DialogBackend* previous = Dialogs::SetBackend(&boxes);
    auto answerTheBox = [&](bool& gaugeHidden, bool endMeanwhile) {
        QTimer::singleShot(0, [&gaugeHidden, endMeanwhile, &progress] {
            QWidget* box = QApplication::activeModalWidget();
            gaugeHidden = box && !progress.isVisible();
            if (endMeanwhile) progress.End();
            if (box) box->close();
        });
    };
    progress.Report(3, 10, true);
    bool hidden = false;
    answerTheBox(hidden, false);
    Dialogs::Message(QStringLiteral("Отмена действия"),
                     QStringLiteral("База данных занята другим пользователем!"));
    EXPECT_TRUE(hidden);
    EXPECT_TRUE(progress.isVisible()) << "back once the message is answered";
    progress.Report(4, 10, true);
    EXPECT_EQ(4, progress.GProgr->value());

    // A loop that ends while its message is open leaves the gauge hidden.
    answerTheBox(hidden, true);
    Dialogs::Message(QStringLiteral("Ошибка"), QStringLiteral("Сбой"));
    EXPECT_TRUE(hidden);
    EXPECT_FALSE(progress.isVisible());
    Dialogs::SetBackend(previous);
}

TEST(AboutBoxForm, ListsTheVersionStringsOfTheBuild) {
    TAboutBox box;
    EXPECT_EQ(QStringLiteral("О программе"), box.windowTitle());
    ASSERT_GT(box.ListKeys->count(), 0);
    ASSERT_EQ(box.ListKeys->count(), box.ListValues->count());
    QStringList keys;
    for (int i = 0; i < box.ListKeys->count(); ++i) keys << box.ListKeys->item(i)->text();
    const int version = keys.indexOf(QStringLiteral("FileVersion = "));
    ASSERT_GE(version, 0);
    EXPECT_EQ(QStringLiteral(ARM_VERSION), box.ListValues->item(version)->text());
    EXPECT_EQ(QStringLiteral("Да"), box.OKButton->text());
}

TEST(AboutBoxForm, EveryValueFitsItsList) {
    TAboutBox box;
    box.show();
    QCoreApplication::processEvents();
    // Nothing to scroll to: every line shows whole.
    for (QListWidget* list : {box.ListKeys, box.ListValues}) {
        EXPECT_EQ(0, list->horizontalScrollBar()->maximum()) << list->objectName().toStdString();
        for (int i = 0; i < list->count(); ++i)
            EXPECT_LE(list->visualItemRect(list->item(i)).right(), list->viewport()->width())
                << list->item(i)->text().toStdString();
    }
    EXPECT_FALSE(SaveScreen(box, QStringLiteral("about_box")).isEmpty());
}

TEST(AboutBoxForm, NoVersionInformationText) {
    const AboutLists lists = MakeAboutLists({{QStringLiteral("FileVersion"), QString()}});
    EXPECT_EQ(QStringList({QStringLiteral("Информации по версии не найдено")}), lists.keys);
    EXPECT_TRUE(lists.values.isEmpty());
}

TEST(ProgramForms, EveryFormOnceInTheFixedOrder) {
    TempProgramDir dir;
    ScriptedDialogs dialogs;
    ExpectAStartWithoutDatabase(dialogs, dir.path());
    AppForms::CreateAll();
    EXPECT_EQ(
        QStringList({"FDM",      "FMainVesk", "FNetTime",   "FObEdit",  "FFindPar",    "FGlVal",
                     "FMelF",    "FskEdit",   "FbvEdit",    "FSvTable", "FkvEdit",     "FMelP",
                     "FdpkPort", "FpoAppr",   "FHavKey",    "FMifare",  "AboutBox",    "FpkEdit",
                     "FRedVV",   "FpkAppr",   "FbvReCount", "FKeyInKv", "FQRepObject", "FDialog",
                     "FbvApp",   "FCOM",      "FProgress"}),
        AppForms::CreationOrder());
    ASSERT_NE(nullptr, FMainVesk);
    ASSERT_NE(nullptr, FProgress);
    EXPECT_EQ(QStringLiteral("FProgress"), FProgress->objectName());
    AppForms::DestroyAll();
    EXPECT_EQ(nullptr, FMainVesk);
    EXPECT_EQ(nullptr, FProgress);
    EXPECT_EQ(nullptr, FDM);
}

TEST(ProgramForms, EveryFormHasItsOwnControls) {
    TempProgramDir dir;
    ScriptedDialogs dialogs;
    ExpectAStartWithoutDatabase(dialogs, dir.path());
    AppForms::CreateAll();
    int windows = 0;
    for (QWidget* form : FMainVesk->findChildren<QWidget*>(Qt::FindDirectChildrenOnly)) {
        if (!form->isWindow()) continue;
        ++windows;
        // An empty form would open as a little blank window that looks broken.
        EXPECT_FALSE(form->findChildren<QWidget*>(Qt::FindDirectChildrenOnly).isEmpty())
            << form->objectName().toStdString();
    }
    EXPECT_GE(windows, 20);
    AppForms::DestroyAll();
}
}  // namespace
}  // namespace MainWindowTestUnit
