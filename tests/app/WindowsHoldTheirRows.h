#pragma once
// The roads table of the windows and screens that write object data: each,
// opened as the program opens it and left with an operator's work in it,
// while what it stands on moves: another object chosen, the object deleted,
// a new object, another database folder, F5, its house or its entrance
// removed, another switch, panel and house made current, its row deleted by
// another copy of the program, or the file compacted. Each ends one of three
// ways: the work ended (the window closed, the screen dropped what was
// typed); every save wrote only rows of what was shown, the work among them;
// or every save changed nothing and said what is gone.
//
// The fixture holds the file's rows as a save finds and leaves them, and the
// roads; the windows' table and the screens' table are tests of their own.
// The screens' table has a group of its own for two copies of the program on
// one file: another copy removes the apartment, the entrance, the house, the
// gate panel or the object the work stands on, as the program removes them.

#include "app/TFMainVesk.h"
#include "support/ProgramRoads.h"
#include "support/SimulatedInstallation.h"

#include <QList>
#include <QMap>
#include <QStringList>
#include <QTemporaryDir>
#include <QVariant>

#include <functional>
#include <memory>
#include <utility>
#include <vector>

class DatasetGrid;
class QSpinBox;

// What moves under the window.
enum Move {
    kAnotherObject,
    kObjectDeleted,
    kNewObject,
    kAnotherFolder,
    kF5,
    kHouseRemoved,
    kEntranceRemoved,
    kAnotherPlace,
    kBehindTheBack,
    kCompaction,
};
extern const char* const kRoadNames[];

namespace HeldRowsTable {

constexpr int kObjects = 1, kMatrix = 2, kEntrances = 3, kSwitches = 4, kCallPanels = 5,
              kConsole = 7, kKeys = 9, kNetwork = 12, kResidents = 14;
constexpr int kShownSwitch = 2;      // house 1, entrance 2
constexpr int kLastHouseSwitch = 3;  // house 2, its one entrance
constexpr int kShownPanel = 3;       // the door panel of house 1, entrance 2

extern const QString kObject;
extern const QString kMorningCall;
extern const QString kMorningVisitor;
extern const QString kFoundSerial;  // the switch the network finds has it

// Where the work stands, read from the file by its numbers: the object,
// the switch's entrance, house and matrix column, the panel, the console,
// and the first apartment of the entrance.
struct Place {
    qint64 net = 0, dom = 0, pod = 0, column = 0, pk = 0, bv = 0, po = 0, kvr = 0;
};

// Which rows of the file a save may write.
enum class Level { Own, Entrance, House, Object, Column };
struct Reach {
    QString table;
    Level level;
};

// A row of the file: where it stands, and its values: the marks any edit of
// the object moves (the files' kf_pr, the object's st_net) apart from the
// rest, each kept as one text.
struct FileRow {
    qint64 key = 0, net = 0, dom = 0, pod = 0, column = 0;
    QString values;
    QString marks;
};
using FileRows = QMap<QString, FileRow>;  // "k_pk 7"

// A save press: what the operator presses, the questions it asks before it
// writes (answered Yes, or Ok where the box asks so), and the rows it may
// write.
struct Press {
    const char* what;
    std::function<void()> press;
    QList<std::pair<QString, QString>> questions;
    QList<Reach> reach;
    DlgAnswer answer = DlgAnswer::Yes;
};

void BumpSpin(QSpinBox* spin);

// What another copy of the program removes under a screen's work.
enum class Removed { Apartment, Entrance, House, GatePanel, Object };
constexpr int kRemovedKinds = 5;
extern const char* const kRemovedNames[];

struct ScreenRow;

}  // namespace HeldRowsTable

class WindowsHoldTheirRows : public ProgramRoads, public ::testing::WithParamInterface<Move> {
  protected:
    static void SetUpTestSuite();

    // The windows' table (its own file), from first up to last.
    void WalkTheWindows(int first, int last);
    // The screens' table (its own file), from first up to last.
    void WalkTheScreens(int first, int last);
    std::vector<HeldRowsTable::ScreenRow> ScreenRows();

    // The program started on the file the road needs (the reference object
    // alone where the road reads a file anew), the other folder beside it.
    void StartForTheRoad(Move road);

    template <class Frame>
    static Frame* Screen(int screen) {
        return qobject_cast<Frame*>(FMainVesk->FrameOfScreen(screen));
    }

    // The row of grid whose field holds value, clicked.
    static void ChooseRow(DatasetGrid* grid, const char* field, const QVariant& value);

    qint64 Value(const QString& sql, const QVariantList& values = {});
    HeldRowsTable::Place ReadPlace(int nNet);
    HeldRowsTable::FileRows Rows();
    // The rows a save changed that it may not have changed.
    QStringList Outside(const HeldRowsTable::FileRows& before, const HeldRowsTable::FileRows& after,
                        const HeldRowsTable::Place& p, const QList<HeldRowsTable::Reach>& reach);
    // The tables of the object's structure (the object, its houses,
    // entrances and call panels) holding more of its rows after than before.
    static QStringList BroughtBack(const HeldRowsTable::FileRows& before,
                                   const HeldRowsTable::FileRows& after, qint64 idNet);
    // The counters of the object that differ from a count of their rows.
    QStringList CountersOff(qint64 idNet);

    // ---------------------------------------------------------------- roads
    // Each road is taken as the operator takes it, through the menu and the
    // screens; behind are the statements another copy runs for kBehindTheBack.
    // Where the road leaves the screen shown, leaving asks nothing unless
    // onLeaving is set (what the shown screen asks, answered No).
    void TakeTheRoad(Move road, const QStringList& behind);
    // What the road did, as the file and the program show it.
    void ExpectTheRoadTaken(Move road, const HeldRowsTable::Place& p);
    // The road went through the object screen or another one.
    static bool LeavesTheScreen(Move road);

    void DeleteTheObject();
    void EnterANewObject();
    void RemoveTheLastHouse();
    void RemoveTheShownEntrance();
    void MakeAnotherPlaceCurrent();
    void OpenListsOn(int nNet, int nNt0);
    void RemoveBehindTheBack(const QStringList& statements);
    // What another copy removes, as the program removes it: the rows with
    // it, and the counters kept.
    void RemoveAsAnotherCopy(HeldRowsTable::Removed what, const HeldRowsTable::Place& p);
    void CompactTheFile();
    // "Сеть", then "Запустить сеть" on a simulated bus that holds a switch
    // at the address of the switch shown, with its own serial number.
    void StartTheNetwork(const HeldRowsTable::Place& p);
    // The link stopped first when it runs.
    void EndTheProgram();

    // A question the shown screen asks each time it is left, answered No.
    std::pair<QString, QString> onLeaving_;
    // The device lists do not open (an unsaved matrix): another place is
    // another house on the entrance screen.
    bool listsLocked_ = false;
    // The screens' walk takes the road on which another copy removes the rows.
    bool removedBehindTheBack_ = false;
    QTemporaryDir otherFolder_;
    qint64 edited_ = 0;
    std::unique_ptr<SimulatedInstallation> bus_;

  private:
    void expectLeaving();

    static inline QByteArray objects_;
    // The reference object alone, first in the object list: a new reading of
    // a file whose list stands on the same object.
    static inline QByteArray alone_;
    // The same with one more gate in its matrix: the file of another folder.
    static inline QByteArray anotherFile_;
};
