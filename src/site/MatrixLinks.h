#pragma once
// What the access matrix writes into its link tables and entrances, worked
// out without the database: the rebuild of m_pk (one row per switch column)
// and m_bv (one row per call panel and switch column) after the entrances of
// an object changed, the save of the matrix table into them, and the entry of
// the matrix header into the entrances k_pod. AccessMatrix reads the rows,
// asks here what to write and writes it in one transaction.

#include "foundation/MatrTable.h"

#include <QHash>
#include <QList>
#include <QString>

#include <optional>

// One m_pk row as stored: a switch column with its row and its house.
// rowid 0 for a row the plan adds.
struct SwitchLink : MatrSwitchColumn {
    qint64 rowid = 0;
    qint64 idDom = 0;
};

// One m_bv row as stored; rowid 0 for a row the plan adds.
struct PanelLink : MatrPanelLink {
    qint64 rowid = 0;
};

struct LinkTables {
    QList<SwitchLink> switches;
    QList<PanelLink> panels;
};

// An entrance of the object, houses in their order and entrances of each in
// theirs, as the matrix columns follow them.
struct EntranceSlot {
    qint64 idDom = 0;
    QString kodD;  // the house's call prefix
    int nPod = 0;
    QString nmPod;
};

struct MatrixNaming {
    QString entrancePrefix;  // nmBVp with its blank
    QString gatePrefix;      // nmBVk with its blank
};

// ---- rebuild after the entrances changed -----------------------------------

// The link tables after the rebuild: every row kept (with its rowid) or
// added; rows of the old tables missing here are deleted. Switches keep
// their network numbers and new ones take free numbers after the previous
// entrance's; a new entrance's column goes right after the previous
// entrance's, moving later columns up; entrance panels are numbered from
// vKal + 1, gates 1..vKal; the columns end dense from 1. A number in use is
// never handed out while a free one exists below maxDevice.
LinkTables PlanRebuild(const QList<EntranceSlot>& entrances, const LinkTables& old, int vKal,
                       int maxDevice, const MatrixNaming& naming);

// The two steps of PlanRebuild. RebuildSwitchTable gives each entrance its
// m_pk row (kept or new, columns moved up for a new one) and drops the rows
// of removed entrances; it returns, per entrance, the index of its row in
// t->switches. RebuildPanelTable then keeps or makes one m_bv row per door
// and per gate and switch, drops the others and closes the column gaps.
QList<int> RebuildSwitchTable(const QList<EntranceSlot>& entrances, LinkTables* t, int maxDevice);
void RebuildPanelTable(const QList<int>& rowOf, LinkTables* t, int vKal, int maxDevice,
                       const MatrixNaming& naming);

// ---- save of the matrix table ------------------------------------------------

struct CellWrite {
    QString row;
    int column = 0;
    QString text;
};
struct RowRename {
    QString from;
    QString to;
};
struct SwitchHeaderWrite {
    qint64 rowid = 0;
    QString nmPod;
    int vDvr = 0;
    int nNet = 0;
};
// An m_bv row the save writes; plus and tract stay as stored when not given.
struct PanelLinkWrite {
    qint64 rowid = 0;  // 0: a new row
    QString nBv;
    int nPk = 0;
    int bvType = 0;
    int nNt0 = 0;
    std::optional<int> plus;
    std::optional<int> tract;
    QString nmBv;
};

struct SavePlan {
    bool saved = false;       // false: a matrix of fewer than 4 rows is not saved
    QString error;            // a cell that must hold a number does not
    QList<CellWrite> cells;   // matrix cells rewritten (empty counts, tracts), by old row names
    QStringList deletedRows;  // gate rows without a link
    QList<RowRename> renamedRows;  // later gates closing the gap, after the deletions
    QList<SwitchHeaderWrite> switches;
    QList<PanelLinkWrite> panels;  // every other m_bv row of the object goes
    int vKal = 0;              // gates left
};

// rows: the matrix table in name order; switchCount: its switch columns.
SavePlan PlanMatrixSave(const QList<MatrRow>& rows, int switchCount, const LinkTables& links,
                        int vKal, const MatrixNaming& naming);

// ---- entry of the header rows into the entrances ------------------------------

struct EntranceRecord {
    qint64 idPod = 0;
    int nPod = 0;
    QString nmPod;
};
struct HouseEntrances {
    qint64 idDom = 0;
    int vPod = 0;                     // the house's entrance count
    QList<EntranceRecord> entrances;  // in n_pod order
};
struct EntranceWrite {
    qint64 idPod = 0;  // 0: a new entrance
    qint64 idDom = 0;
    int nPod = 0;
    std::optional<QString> nmPod;  // a name to write
    int vDvr = 0;
};
struct EntryPlan {
    QString error;
    QList<EntranceWrite> writes;
};

// columnOwners: switch column -> id_pod of its switch record, when the object
// has switch records.
EntryPlan PlanEntranceEntry(const QList<MatrRow>& rows, int objectEntrances,
                            const QList<HouseEntrances>& houses,
                            const QHash<int, qint64>& columnOwners);

// The header row (0..4) of a matrix, or nullptr.
const MatrRow* MatrixHeaderRow(const QList<MatrRow>& rows, int header);
