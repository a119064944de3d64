#pragma once
// What the two dump tabs of the editor share: the button that reads a dump,
// its key grid with the key count, the parse console and its switch, the
// name of the file read, the entrance list with its "Обновить" menu, the pour
// button and the count poured. Each tab names these controls its own way and
// reads and pours its own kind of dump.

#include "keys/EditorKeyGrids.h"
#include "platform/ui/PathLabel.h"

#include <QStringList>
#include <QWidget>

#include <functional>
#include <optional>

class DumpEntranceLists;
class QLabel;
class QListWidget;
class QMenu;
class QAction;
class QPlainTextEdit;
class QPushButton;
class QSpinBox;
class QTableWidget;
class QVBoxLayout;
struct DumpEntrance;

// Runs the open dialog with a caption; folder is where it starts when it has
// no start folder yet. The file chosen, empty when cancelled.
using DumpFileChooser = std::function<QString(const QString& caption, const QString& folder)>;

class KeyDumpTab : public QWidget {
    Q_OBJECT
  public:
    // The design names of the tab's controls.
    struct Names {
        const char* tab;
        const char* open;
        const char* grid;
        const char* keyCount;
        const char* poured;
        const char* console;
        const char* consoleButton;
        const char* fileLabel;
        const char* entrances;
        const char* pour;
    };

    // The tab shows the list it is given, which the shared entrance lists fill.
    KeyDumpTab(const Names& names, KeyGrid kind, const QString& openCaption,
               QListWidget* entranceList, int gridColumns, QWidget* parent);

    // The editor's database folder and its open dialog.
    void SetDatabaseFolder(const QString& folder) { dbFolder_ = folder; }
    void SetFileChooser(DumpFileChooser chooser) { chooser_ = std::move(chooser); }
    void SetEntranceLists(DumpEntranceLists* lists) { lists_ = lists; }

    QPushButton* OpenButton() const { return open_; }
    QTableWidget* Grid() const { return grid_; }
    QPushButton* PourButton() const { return pour_; }
    QPlainTextEdit* Console() const { return console_; }

    // The pour button is enabled exactly when an entrance is chosen and the
    // dump holds keys.
    void EntranceClick();
    // Shows or hides the parse console.
    void ConsoleButtonClick();
    // The tab shown: the entrance lists follow the current object.
    void TabShow();
    // Reads a dump file as the open button does after its dialog: the grid,
    // the key count and the console show what it holds, and the pour button
    // is worked out again.
    void ReadDump(const QString& file);

  protected:
    void showEvent(QShowEvent* event) override;

    // The tab's own reader: the dump's keys into lists, its console lines.
    virtual void parseDump(const QByteArray& bytes, EditorKeyLists& lists,
                           QStringList& console) = 0;
    // The keys the grid holds now (the operator may have erased some).
    EditorKeyLists gridKeys() const;
    // A pour done: its console lines and the count poured.
    void showPoured(const QStringList& console, int entered);

    // The file chosen in the dialog, starting under the database folder.
    QString chooseFile(const QString& caption, bool writtenFolder);
    // Reads the file whole. A file that cannot be read is told to the
    // operator; one too large to be a dump writes the console's line. Neither
    // leaves any bytes.
    void readFile(const QString& file, QByteArray& bytes);
    std::optional<DumpEntrance> chosenEntrance() const;
    // Echoes the chosen entrance's line into the console.
    void echoChosen();
    void appendConsole(const QStringList& lines);

    QPushButton* open_ = nullptr;
    QTableWidget* grid_ = nullptr;
    QSpinBox* keyCount_ = nullptr;
    QSpinBox* poured_ = nullptr;
    QPlainTextEdit* console_ = nullptr;
    QPushButton* consoleButton_ = nullptr;
    PathLabel* fileLabel_ = nullptr;
    QListWidget* entrances_ = nullptr;
    QPushButton* pour_ = nullptr;
    QMenu* HMenu = nullptr;
    QAction* N1 = nullptr;
    QVBoxLayout* left_ = nullptr;  // under the grid: the tab's own fields
    KeyGrid kind_;

  private:
    void buildLayout();

    QString dbFolder_;
    QString startFolder_;
    DumpFileChooser chooser_;
    DumpEntranceLists* lists_ = nullptr;
};
