#pragma once
// The main window's rules that need no window: the database folder choice at
// start-up, the screen remembered at exit and restored at start, the matrix
// column width and the help topic of F1.

#include <QList>
#include <QRect>
#include <QSize>
#include <QString>
#include <QStringList>
#include <functional>

namespace MainWindowTexts {
inline const QString kCaption = QStringLiteral("APM ZAZ-Kiro-2");
inline const QString kMenuCaption = QStringLiteral("АРМ DUZAVIZOR");
inline const QString kApplicationTitle = QStringLiteral("АРМ сервис APM ZAZ-Kiro-2");
inline const QString kError = QStringLiteral("Ошибка");
inline const QString kAttention = QStringLiteral("Внимание");
inline const QString kExitQuestion = QStringLiteral("Действительно хотите завершить работу?");
inline const QString kExitCaption = QStringLiteral("Подтвердите   завершение");
inline const QString kLoadError = QStringLiteral("Ошибка загрузки данных.");
inline const QString kHelpViewerCaption = QStringLiteral("Справка АРМ Сервис Vesk");
// "Ошибка открытия БД " + folder + "!", and below it one line for each
// reason the folders tried failed.
QString OpenFailed(const QString& folder, const QStringList& reasons = {});
// Every screen and editor refuses while no database is open.
inline const QString kNoDatabase =
    QStringLiteral("База данных не открыта. Работа с объектами невозможна.");
// The database opened in a folder where nothing can be written.
QString ReadOnlyFolderWarning(const QString& folder);
// The file itself refuses writes, in a folder that takes them.
QString ReadOnlyFileWarning(const QString& file);
// A second start of the program found the first, which did not answer.
inline const QString kAlreadyRunning = QStringLiteral("Программа уже запущена!");
// The settings file could not be written at exit; reason is a sentence.
QString SettingsNotSaved(const QString& file, const QString& reason);
// Ways out when no database could be opened.
inline const QString kQuestionCaption = QStringLiteral("Вопрос");
inline const QString kChooseAnotherFolder = QStringLiteral("Выбрать другую папку с БД?");
inline const QString kChooseFolderCaption = QStringLiteral("Выберите папку с БД");
inline const QString kNewDatabaseCaption = QStringLiteral("Подтверждение");
QString NewDatabaseQuestion(const QString& folder);
QString NewDatabaseFailed(const QString& folder, const QString& reason);
}  // namespace MainWindowTexts

namespace MainWindowLogic {

struct DbOpenOutcome {
    bool opened = false;
    QString folder;       // the folder that opened, or the last one tried
    QStringList reasons;  // why each folder tried failed, in the order tried
};

using DbOpener = std::function<bool(const QString& folder, QString* reason)>;

// Tries the saved folder, then the default one; the default folder once only
// when the two are the same, and alone when no folder was saved.
DbOpenOutcome OpenDatabaseWithFallback(const QString& savedFolder, const QString& defaultFolder,
                                       const DbOpener& openDatabase);

// A new empty database may be offered in folder: nothing there bears the
// database file's name, and the folder exists or can be made in one that does.
bool NewDatabaseMayBeMade(const QString& folder);
// Makes the folder when it is missing (that one level only), then the new
// database in it, as the build's tool does.
bool MakeNewDatabase(const QString& folder, QString* error);

// The saved window size within the screen's available area (less the window
// frame), so that no part of the window, its exit button included, is off
// the screen. An unknown area changes nothing.
QSize FitWindowToScreen(const QSize& saved, const QSize& available,
                        const QSize& frame = QSize(0, 0));

// The window's frame moved, as little as may be, into the area.
QRect KeepWithin(QRect frame, const QRect& area);

// Screen number written to Object/nf: the first visible frame in the order
// 1, 2, 3, 4, 5, 6, 7, 9, 10, 11, 12, 13, 14; 0 when none is visible.
int ExitScreenNumber(const std::function<bool(int)>& frameVisible);

// Screen opened at start-up: the saved one; with an empty object list only
// screens 11 and 12 stay, any other opens the object screen 1.
int StartScreen(int savedScreen, bool objectListEmpty);

// First matrix column: 160 while the font toggle shows "ж", else 140.
int MatrixFirstColumnWidth(const QString& toggleCaption);

// Width of each switch column of the matrix grid, kept within 16..34.
// lastIsNameColumn: the last column is the call-panel name "nm_bv", which
// takes the first column's width as well.
int MatrixColumnWidth(int gridWidth, int columnCount, int firstColumnWidth, bool lastIsNameColumn);

constexpr int kMinMatrixColumn = 16;
constexpr int kMaxMatrixColumn = 34;

// Help topic of F1: the active form's topic when it has one (by its object
// name), else the visible screen's; 100 with no screen.
int MainHelpTopic(const QString& activeFormName, int visibleScreen);

}  // namespace MainWindowLogic

namespace Screens {
// The work screens 0..14: the frame each shows and its title in PanelTop.
struct ScreenInfo {
    int number;
    QString frame;  // object name of the frame, empty for 0 and 8
    QString title;
};
// nullptr outside 0..14.
const ScreenInfo* Find(int screen);
// Screens with a frame, in the order the exit looks for the visible one.
const QList<int>& FrameScreens();
}  // namespace Screens
