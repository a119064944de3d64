#pragma once
// The object screen's work without its window: entering a new object with its
// houses, changing the header and the house count of an existing one, the
// entrance save that adds and removes entrance rows, and the normalisation
// that brings the house rows back in line with their entrances.
//
// It works on the current object of the data module's object list (FDM's
// Q_Net) and keeps the screen's two marks: the new mark (2 while a new object
// is being entered) and the edit mark (2 after an existing object was loaded,
// 1 after a new object's row was inserted or an entrance count was refused).
// The frame reads its controls into ObjectPanelValues, calls one operation
// and shows what comes back; questions and refusals go through the dialog
// service. Every write binds its values, and each operation that touches
// several rows does so in one transaction: a failure is shown ("Ошибка") and
// leaves the database as it was.

#include "foundation/CountLimits.h"
#include "foundation/HeldRows.h"

#include <QList>
#include <QString>
#include <QVariant>

#include <optional>

namespace ObjectScreenTexts {
inline const QString kError = QStringLiteral("Ошибка");
inline const QString kNewHeadline = QStringLiteral("Вы производите ввод нового объекта.");
inline const QString kNoObjectHeadline = QStringLiteral("Вы можете ввести новый объект.");
// Followed by the object's name and ".".
inline const QString kEditHeadline =
    QStringLiteral("Вы производите корректировку существующего объекта ");
inline const QString kNameRepeated = QStringLiteral("Повторение наименования недопустимо!");
inline const QString kDeleteHousesCaption = QStringLiteral("Внимание!");
inline const QString kDeleteHouses = QStringLiteral("Удалить дома?");
inline const QString kConfirmNewCaption = QStringLiteral("Новый объект!");
inline const QString kConfirmNew = QStringLiteral("Подтвердим ввод нового объекта?");
inline const QString kNameExistsCaption = QStringLiteral("Недопустимое повторение");
inline const QString kNameExists = QStringLiteral("Объект с таким именем уже существует!");
inline const QString kPrefixRepeated = QStringLiteral("Повторение префикса, исправьте!");
inline const QString kTooManyEntrances =
    QStringLiteral("Превышение максимального количества подъездов!");
inline const QString kHouseAdded = QStringLiteral("добавлен");  // k_dom.st_dom of a new house
}  // namespace ObjectScreenTexts

// Widths the database columns hold, in characters.
namespace ObjectWidths {
constexpr int kName = 50;      // k_net.ident
constexpr int kAddress = 160;  // k_net.adres
constexpr int kPrefix = 5;     // k_dom.kod_d
}  // namespace ObjectWidths

// Limits of the edit panel's counters.
namespace ObjectLimits {
constexpr int kMaxHouses = CountLimits::kMaxHouses;
constexpr int kMaxGates = 8;
constexpr int kMaxHouseEntrances = CountLimits::kMaxHouseEntrances;
}  // namespace ObjectLimits

// The edit panel's fields as the operator left them (or as an operation
// leaves them for the panel to show).
struct ObjectPanelValues {
    QString name;
    QString address;
    bool console = true;
    int houses = 1;
    int entrances = 1;
    int gates = 0;
};

// The field the frame puts the focus on after an operation.
enum class PanelField { None, Name, Address, Houses, FirstPrefix, Prefix, HouseEntrances };

// What "Сохранить дома" left for the frame to do.
struct HousesSaveOutcome {
    ObjectPanelValues panel;  // the panel's values now
    PanelField focus = PanelField::None;
    // The main window's new-object entry flag after the step, when it moved.
    std::optional<bool> newObjectEntry;
    bool objectInserted = false;  // a new object was saved: refresh the state line
    bool hidePanel = false;       // the new object was not saved: the panel closes
    bool showHouses = false;      // the houses grid is laid out and shown
};

// Result of the entrance save, with the values the design gives them.
enum class EntranceSaveResult { Saved = 0, PrefixRepeated = -1, TooManyEntrances = 1, Failed = 2 };

// What "Сохранить подъезды" left for the frame to do.
struct EntrancesSaveOutcome {
    EntranceSaveResult result = EntranceSaveResult::Saved;
    PanelField focus = PanelField::None;
    bool hidePanel = false;
    int houses = 0;  // the counts to show, when the save ran
    int entrances = 0;
    bool countsKnown = false;
};

// The header of an existing object as the house save writes it.
struct ObjectHeader {
    QString name;
    QString address;
    bool console = true;
};

// The counts of the current object after a save or the normalisation.
struct ObjectCounts {
    int houses = 0;
    int entrances = 0;
};

class ObjectScreen {
  public:
    int NewMark() const { return newMark_; }
    int EditMark() const { return editMark_; }

    // Loads the current object into the panel values (the defaults and the
    // new-object headline when no object is listed). A house count that is
    // empty or 0 is taken from the houses and written back. Sets edit mark 2
    // when an object was loaded.
    ObjectPanelValues LoadObjectPanel(QString* headline);
    // "Новый Объект": edit mark 0, new mark 2.
    void BeginNewObject();
    // "Действующий объект": new mark 0 (LoadObjectPanel sets the edit mark).
    void BeginEditObject();
    // The panel closes: both marks 0.
    void ClearMarks();

    // "Сохранить дома".
    HousesSaveOutcome SaveHouses(const ObjectPanelValues& panel);
    // Inserts a new object after asking; false when declined, refused or failed.
    bool SaveObjectHeader(const ObjectPanelValues& panel);
    // "Закрыть" before the panel closes: each house's entrance count follows
    // its entrance rows, prefixes follow the saved matrix, houses without
    // entrances go. Both marks 0. The counts to show, or nothing when there
    // was no saved object to work on (or the work failed, which is shown).
    std::optional<ObjectCounts> Normalise();
    // The entrance save itself: checks the prefixes and the entrance sum,
    // then appends and removes entrance rows as the houses say.
    EntranceSaveResult SaveEntrances(ObjectCounts* counts);
    // "Сохранить подъезды": the entrance save and, after a successful one in
    // edit mode, the matrix rebuild; says where the focus goes on a refusal.
    EntrancesSaveOutcome SaveEntrancesAndRebuild();
    // "Далее >>" on the object screen, before the matrix screen opens: an
    // object in edit mode is normalised and leaves edit mode.
    void LeaveForMatrix();

    // The houses grid: a house's prefix and entrance count, written through
    // the house dataset Q_Dom. False when the house is not listed or the write
    // fails.
    bool SetHousePrefix(qint64 idDom, const QString& prefix);
    bool SetHouseEntrances(qint64 idDom, int entrances);

  private:
    // What a house save asks of the houses: none come or go while the
    // engineer left their count as shown.
    struct HouseChange {
        std::optional<int> wanted;
        bool removeExtra = false;
    };

    void holdShown(int houses);
    std::optional<ObjectHeader> changedHeader(ObjectPanelValues* panel) const;
    bool adjustHouseRows(qint64 idNet, const std::optional<ObjectHeader>& header,
                         ObjectPanelValues* panel);
    bool writeHouseRows(qint64 idNet, const HouseChange& change,
                        const std::optional<ObjectHeader>& header, ObjectCounts* written);
    bool setHouseField(qint64 idDom, const QString& field, const QVariant& value);

    int newMark_ = 0;
    int editMark_ = 0;
    HeldRows held_;        // the object, houses and entrances the panel shows
    int shownHouses_ = 0;  // the house count the panel showed
};

// ---- rules without the database ------------------------------------------

// The houses' prefixes in house order repeat: two equal ones, or a house
// after the first without a prefix (null or empty).
bool PrefixRepeated(const QList<QVariant>& prefixes);

// A flag name row of t_fl: its table ("БВ" or "ППО") and its number 1..16.
struct FlagNameRow {
    QString tabl;
    int nomf = 0;
};
struct FlagMasks {
    QString flbv;
    QString flpo;
};
// The masks of a new object: 32 characters "0", and for every flag name of
// the call panels ("БВ") or the console ("ППО") characters nomf and nomf + 16
// of its mask "1". Other tables and numbers outside 1..16 are skipped.
FlagMasks FlagMasksOf(const QList<FlagNameRow>& flags);

// The network identifier of a new object: id_net, less 16777215 as often as
// it is above 16777215.
qint64 NetworkIdOf(qint64 idNet);

// Default name of the k-th entrance created in one save: "Л-" and two digits.
QString DefaultEntranceName(int k);

// Visible rows of the houses grid: 4, fewer for fewer houses; when the grid
// does not fit below gridTop in the panel, as many as fit less one (rounded
// half away from zero), at least one while there are houses.
int HouseGridRows(int panelHeight, int gridTop, int rowHeight, int houses);
