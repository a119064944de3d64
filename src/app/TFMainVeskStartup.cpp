// Start-up and shut-down of the main window: the settings file read and the
// database opened at start, the database folder changed or reopened, the
// settings written back at exit.

#include "app/TFMainVesk.h"

#include "app/MainWindowParts.h"
#include "foundation/Globals.h"
#include "foundation/HelpLauncher.h"
#include "foundation/MainWindowData.h"
#include "foundation/MainWindowLogic.h"
#include "foundation/MatrTable.h"
#include "foundation/SettingsFile.h"
#include "foundation/TFDM.h"
#include "foundation/ui/TFProgress.h"
#include "foundation/ui/TScreenFrame.h"
#include "keys/ui/TFMifare.h"
#include "platform/AppPaths.h"
#include "platform/Dialogs.h"
#include "platform/FileAccess.h"

#include <QAction>
#include <QApplication>
#include <QCloseEvent>
#include <QCoreApplication>
#include <QFileInfo>
#include <QLineEdit>
#include <QPlainTextEdit>
#include <QPushButton>
#include <cstdio>

using namespace MainWindowParts;
using namespace MainWindowTexts;

namespace {

// Sensible bounds for a window size read from the settings file.
int saneSize(int value, int fallback) {
    return value >= 200 && value <= 20000 ? value : fallback;
}

}  // namespace

bool TFMainVesk::OpenDatabase(const QString& folder, QString* reason) {
    const QString file = folder + QLatin1String(AppPaths::kDbFileName);
    if (!QFileInfo::exists(file)) {
        if (reason) *reason = DbFileTexts::Missing(file);
        return false;
    }
    MainWindowData::Disconnect();
    Memo2->setPlainText(QStringLiteral("Driver=QSQLITE;Connection=ConnectionDB;Data Source=") +
                        file + QLatin1Char(';'));
    if (!MainWindowData::Connect(folder, reason)) return false;
    // It opens, but no edit could be saved and compaction is refused there.
    if (!MayWrite(folder))
        Dialogs::Message(kAttention, ReadOnlyFolderWarning(folder), DlgButtons::Ok,
                         DlgIcon::Warning);
    else if (!MayWrite(file))
        Dialogs::Message(kAttention, ReadOnlyFileWarning(file), DlgButtons::Ok, DlgIcon::Warning);
    return true;
}

void TFMainVesk::showOpenFailure(const QString& folder, const QStringList& reasons) {
    Dialogs::Message(kError, OpenFailed(folder, reasons), DlgButtons::Ok, DlgIcon::Error);
}

bool TFMainVesk::databaseOpenOrRefuse() {
    if (MainWindowData::IsOpen()) return true;
    Dialogs::Message(kError, kNoDatabase, DlgButtons::Ok, DlgIcon::Error);
    // The folder choice lives on a screen that needs a database: the way out
    // is offered here instead, and the start-up goes on from a database found.
    if (offerAnotherDatabase(failedFolder_)) {
        IniFile ini;
        SettingsFile::Open(ini);
        startOnDatabase(ini, false);
    }
    return false;
}

bool TFMainVesk::offerAnotherDatabase(const QString& folder) {
    if (offerNewDatabase(folder)) return true;
    if (!Dialogs::AskYesNo(kQuestionCaption, kChooseAnotherFolder)) return false;
    const QString chosen = Dialogs::ChooseFolder(kChooseFolderCaption, folder);
    if (chosen.isEmpty()) return false;
    const QString other = AppPaths::NormalizeDir(chosen);
    if (offerNewDatabase(other)) return true;
    QString reason;
    if (OpenDatabase(other, &reason)) {
        useDatabaseFolder(other);
        return true;
    }
    failedFolder_ = other;
    showOpenFailure(other, {reason});
    return false;
}

// Only where the folder has no database file at all: a file that is there,
// damaged or not, is never touched.
bool TFMainVesk::offerNewDatabase(const QString& folder) {
    if (!MainWindowLogic::NewDatabaseMayBeMade(folder) ||
        !Dialogs::AskYesNo(kNewDatabaseCaption, NewDatabaseQuestion(folder)))
        return false;
    QString error;
    if (!MainWindowLogic::MakeNewDatabase(folder, &error)) {
        Dialogs::Message(kError, NewDatabaseFailed(folder, error), DlgButtons::Ok, DlgIcon::Error);
        return false;
    }
    QString reason;
    if (!OpenDatabase(folder, &reason)) {
        failedFolder_ = folder;
        showOpenFailure(folder, {reason});
        return false;
    }
    useDatabaseFolder(folder);
    return true;
}

void TFMainVesk::useDatabaseFolder(const QString& folder) {
    Path->setText(folder);
    if (NetSettings().DatabaseFolder() != folder) NetSettings().ChangeDatabaseFolder(folder);
}

void TFMainVesk::BringToFront() {
    if (isMinimized()) setWindowState(windowState() & ~Qt::WindowMinimized);
    show();
    raise();
    activateWindow();
    // A question the window is waiting on comes forward with it.
    if (QWidget* modal = QApplication::activeModalWidget()) {
        modal->raise();
        modal->activateWindow();
    }
}

void TFMainVesk::FormCreate() {
    setWindowTitle(kCaption);
    ArmGlobals& g = Globals();
    g.WidthMain = 800;
    g.HeightMain = 595;
    for (bool& flag : objectPanelFlags_) flag = false;
    resize(g.WidthMain, g.HeightMain);

    IniFile ini;
    QString error;
    if (!SettingsFile::Open(ini, &error))
        std::fprintf(stderr, "arm: settings file %s: %s\n", qPrintable(ini.path()),
                     qPrintable(error));

    const QString savedFolder = SettingsFile::ReadStartup(ini, g.WidthMain, g.HeightMain).bd;
    const MainWindowLogic::DbOpenOutcome db = MainWindowLogic::OpenDatabaseWithFallback(
        savedFolder, AppPaths::DefaultDbDir(),
        [this](const QString& f, QString* reason) { return OpenDatabase(f, reason); });
    if (!db.opened) {
        failedFolder_ = db.folder;
        showOpenFailure(db.folder, db.reasons);
        LeaveScreen();
        if (!offerAnotherDatabase(db.folder)) return;
    } else {
        Path->setText(db.folder);
    }
    startOnDatabase(ini, true);
}

void TFMainVesk::startOnDatabase(const IniFile& ini, bool restoreWindow) {
    ArmGlobals& g = Globals();
    if (!MainWindowData::LoadGlobals(g)) {
        g.KolTractPK = 8;
        g.MaxDevice = 50;
        g.SepDevice = 63;
        g.Shapka = 5;
        g.Colstp = 2;
        g.nmBVp = QStringLiteral("БВ подъезда ");
        g.nmBVk = QStringLiteral("БВ калитки ");
    }
    const StartupSettings s = SettingsFile::ReadStartup(ini, g.WidthMain, g.HeightMain);
    restoreScreenAndObject(s);
    if (restoreWindow) applyWindowSettings(s);
    KeysScreen().ApplySettings(s.key, MainWindowData::ObjectGateCount() > 0);
    // The database opened on the first object; the matrix table must be the
    // restored object's. A failure is kept for the matrix screen to report.
    OpenMatrTable();
    ShowMatrixState();
}

void TFMainVesk::restoreScreenAndObject(const StartupSettings& s) {
    if (MainWindowData::ObjectListEmpty()) {
        ShowScreen(MainWindowLogic::StartScreen(s.nf, true));
        return;
    }
    MainWindowData::LocateObjectOrFirst(s.objectId);
    MenuItem(QStringLiteral("MPo"))->setEnabled(MainWindowData::ObjectHasConsole());
    LeaveScreen();
    try {
        ShowScreen(s.nf);
    } catch (const std::exception& e) {
        std::fprintf(stderr, "arm: screen %d: %s\n", s.nf, e.what());
        Dialogs::Message(kError, kLoadError, DlgButtons::Ok, DlgIcon::Error);
    }
}

void TFMainVesk::applyWindowSettings(const StartupSettings& s) {
    ArmGlobals& g = Globals();
    resize(saneSize(s.sw, g.WidthMain), saneSize(s.sh, g.HeightMain));
    fitOnScreen();
    gridToggles_[QStringLiteral("fm")] = s.fm == kBoldOff ? kBoldOff : kBoldOn;
    gridToggles_[QStringLiteral("fp")] = s.fp == kBoldOff ? kBoldOff : kBoldOn;
    gridToggles_[QStringLiteral("fb")] = s.fb == kBoldOff ? kBoldOff : kBoldOn;
    if (s.mx == QStringLiteral("max"))
        setWindowState(windowState() | Qt::WindowMaximized);
    else
        setWindowState(windowState() & ~Qt::WindowMaximized);
    g.WidthMain = width();
    g.HeightMain = height();
}

QString TFMainVesk::DatabaseFolder() const {
    return Path->text();
}

void TFMainVesk::SetFolderChoiceEnabled(bool enabled) {
    BitSelect->setEnabled(enabled);
}

void TFMainVesk::BitSelectClick() {
    const QString chosen =
        Dialogs::ChooseFolder(QStringLiteral("Выберите папку с БД"), Path->text());
    if (chosen.isEmpty()) return;
    const QString folder = AppPaths::NormalizeDir(chosen);
    const QString previous = Path->text();
    QString reason;
    if (OpenDatabase(folder, &reason)) {
        useDatabaseFolder(folder);
        FrMatr1->PrepareScreen(folder);
        ShowMatrixState();
    } else {
        showOpenFailure(folder, {reason});
        if (!previous.isEmpty()) OpenDatabase(previous);
    }
}

void TFMainVesk::MReOpenClick() {
    if (MainWindowData::IsOpen() && MainWindowData::ObjectListEmpty()) return;
    const QString folder = Path->text();
    QString reason;
    if (!MainWindowData::IsOpen()) {
        // Without a folder in use there is nothing to reopen (an empty folder
        // would name a file in the working directory).
        if (!ComparesAbove(folder, QStringLiteral(" "))) return;
        if (!OpenDatabase(folder, &reason)) {
            failedFolder_ = folder;
            showOpenFailure(folder, {reason});
            return;
        }
    }
    if (!MainWindowData::OpenAllTables(ProgressGauge(), &reason)) {
        // Some datasets are open and some are not: close them all, so that
        // every screen refuses alike until a later F5 opens the folder again.
        MainWindowData::Disconnect();
        LeaveScreen();
        failedFolder_ = folder;
        showOpenFailure(folder, {reason});
        return;
    }
    // The matrix table reopens inside OpenAllTables.
}

void TFMainVesk::stopNetworkForExit() {
    NetSettingsService& net = NetSettings();
    net.StopTimersForExit();
    if (!net.NetworkRunning()) return;
    // The adapter may already be gone; the program ends anyway.
    try {
        net.CloseNetPort(false);
    } catch (...) {
    }
}

void TFMainVesk::writeSettingsOnClose() {
    ClosingSettings s;
    s.maximized = isMaximized();
    if (s.maximized) showNormal();
    const QRect normal = s.maximized ? normalGeometry() : geometry();
    s.sw = normal.width();
    s.sh = normal.height();
    s.fm = gridToggles_.value(QStringLiteral("fm"), kBoldOff);
    s.fp = gridToggles_.value(QStringLiteral("fp"), kBoldOff);
    s.fb = gridToggles_.value(QStringLiteral("fb"), kBoldOff);
    s.net = NetSettings().Settings();
    s.key = KeysScreen().Settings();
    s.objectId = MainWindowData::ObjectListEmpty() ? 0 : MainWindowData::CurrentObjectId();
    s.nf = VisibleScreen();
    s.path = Path->text();

    IniFile ini;
    QString error;
    SettingsFile::Open(ini, &error);
    SettingsFile::WriteClosing(ini, s);
    // A program folder where nothing can be written keeps the old settings;
    // the engineer is told, not only the terminal.
    if (!ini.Save(&error))
        Dialogs::Message(kError, SettingsNotSaved(ini.path(), error), DlgButtons::Ok,
                         DlgIcon::Warning);
}

bool TFMainVesk::FormCloseQuery() {
    if (!MainWindowData::IsOpen()) return true;
    // Closing on the keys screen leaves it: changed keys mark their panels.
    if (shown(FrKeys1)) KeysScreen().FrameExit();
    stopNetworkForExit();
    writeSettingsOnClose();
    AppHelp().CloseViewer();
    QCoreApplication::quit();
    return true;
}

void TFMainVesk::FormClose() {
    closeVisible(objectEditors() << FMifare);
    KeysScreen().Btn1WireOffClick();
}

void TFMainVesk::closeEvent(QCloseEvent* event) {
    if (!closing_) {
        closing_ = true;
        FormCloseQuery();
        FormClose();
    }
    event->accept();
}
