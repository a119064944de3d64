#include "site/MatrixLinks.h"

#include "foundation/BitAndStr.h"
#include "site/MatrixRules.h"

#include <QSet>

#include <algorithm>

using namespace MatrixRules;

namespace {

// ---- rebuild -------------------------------------------------------------------

// Moves every switch and panel row of column from to column to; entrance
// panels carry their column in their names.
void moveColumn(LinkTables* t, int from, int to) {
    for (SwitchLink& s : t->switches)
        if (s.nPk == from) s.nPk = to;
    for (PanelLink& p : t->panels) {
        if (p.nPk != from) continue;
        p.nPk = to;
        if (p.bvType == 0) p.nBv = MovePanelNameToColumn(p.nBv, from, to);
    }
}

bool columnTaken(const LinkTables& t, int column) {
    return std::any_of(t.switches.begin(), t.switches.end(),
                       [column](const SwitchLink& s) { return s.nPk == column; });
}

// Makes room for a new column at c: the block of taken columns from c up
// to the first free one moves up by one, the top first.
void openColumn(LinkTables* t, int c) {
    if (!columnTaken(*t, c)) return;
    int free = c + 1;
    while (columnTaken(*t, free)) ++free;
    for (int k = free - 1; k >= c; --k) moveColumn(t, k, k + 1);
}

// Columns numbered 1, 2, ... without gaps, in their order.
void compactColumns(LinkTables* t) {
    QList<int> columns;
    for (const SwitchLink& s : std::as_const(t->switches)) columns.append(s.nPk);
    std::sort(columns.begin(), columns.end());
    int counter = 1;
    for (int column : std::as_const(columns)) {
        if (column > counter) moveColumn(t, column, counter);
        ++counter;
    }
}

// A free number from start on: first one that no row has, then (when every
// number is in use) one that no row the rebuild keeps has. Nothing when even
// those fill every number below the limit.
std::optional<int> freeNumber(int start, int limit, const QSet<int>& inUse, const QSet<int>& kept) {
    if (const std::optional<int> n = FreeNumber(start, limit, inUse)) return n;
    return FreeNumber(start, limit, kept);
}

// The entrance rows of the old table that the entrances keep, by index into
// entrances (-1 for a new entrance). Each row serves one entrance.
QList<int> matchSwitches(const QList<EntranceSlot>& entrances, const QList<SwitchLink>& rows) {
    QList<int> match(entrances.size(), -1);
    QList<bool> claimed(rows.size(), false);
    for (int i = 0; i < entrances.size(); ++i)
        for (int j = 0; j < rows.size(); ++j)
            if (!claimed[j] && rows[j].idDom == entrances[i].idDom &&
                rows[j].nPod == entrances[i].nPod) {
                claimed[j] = true;
                match[i] = j;
                break;
            }
    return match;
}

}  // namespace

QList<int> RebuildSwitchTable(const QList<EntranceSlot>& entrances, LinkTables* t, int maxDevice) {
    const QList<int> match = matchSwitches(entrances, t->switches);
    QSet<int> keptNumbers;
    for (int j : match)
        if (j >= 0) keptNumbers.insert(t->switches[j].nNet);

    QList<int> rowOf(entrances.size(), -1);
    QList<bool> keep(t->switches.size(), false);
    int c = 1;  // column of the next new entrance
    int s = 1;  // network number candidate
    for (int i = 0; i < entrances.size(); ++i) {
        const EntranceSlot& e = entrances[i];
        if (match[i] >= 0) {
            SwitchLink& row = t->switches[match[i]];
            row.kodD = e.kodD;
            row.idDom = e.idDom;
            row.nPod = e.nPod;
            row.nmPod = e.nmPod;
            keep[match[i]] = true;
            rowOf[i] = match[i];
            s = row.nNet + 1;
            // A new entrance after this one goes right after its column.
            c = qMax(c, row.nPk) + 1;
            continue;
        }
        QSet<int> inUse;
        for (const SwitchLink& row : std::as_const(t->switches)) inUse.insert(row.nNet);
        const int number = freeNumber(s, maxDevice, inUse, keptNumbers).value_or(c);
        keptNumbers.insert(number);
        openColumn(t, c);
        t->switches.append({{c, e.nPod, e.kodD, 1, number, e.nmPod}, 0, e.idDom});
        keep.append(true);
        rowOf[i] = int(t->switches.size()) - 1;
        ++s;
        ++c;
    }

    // Drop the rows of removed entrances; the indexes move with them.
    QList<int> newIndex(t->switches.size(), -1);
    QList<SwitchLink> kept;
    for (int j = 0; j < t->switches.size(); ++j)
        if (keep[j]) {
            newIndex[j] = int(kept.size());
            kept.append(t->switches[j]);
        }
    t->switches = kept;
    for (int& r : rowOf) r = newIndex[r];
    return rowOf;
}

namespace {

// The (name, column) pairs of the panels the rebuild keeps or makes.
QSet<QPair<QString, int>> expectedPanels(const QList<SwitchLink>& switches, int vKal,
                                         const MatrixNaming& naming) {
    QSet<QPair<QString, int>> pairs;
    for (const SwitchLink& s : switches) {
        for (int d = 1; d <= s.vDvr; ++d)
            pairs.insert({EntrancePanelName(naming.entrancePrefix, s.nPk, d), s.nPk});
        for (int g = 1; g <= vKal; ++g) pairs.insert({GatePanelName(naming.gatePrefix, g), s.nPk});
    }
    return pairs;
}

int findPanel(const QList<PanelLink>& panels, const QString& name, int column) {
    for (int j = 0; j < panels.size(); ++j)
        if (panels[j].nBv == name && panels[j].nPk == column) return j;
    return -1;
}

struct PanelNumbers {
    QSet<int> inUse;  // every row's number
    QSet<int> kept;   // numbers of the rows the rebuild keeps or makes

    void take(int n) {
        inUse.insert(n);
        kept.insert(n);
    }
};

// The number of gate name: the number any of its rows has, else a free one
// from the gate's own number on (0 when there is none).
int gateNumber(const QList<PanelLink>& panels, const QString& name, int gate, int maxDevice,
               PanelNumbers* numbers) {
    for (const PanelLink& p : panels)
        if (p.nBv == name) return p.nNt0;
    const int n = freeNumber(gate, maxDevice, numbers->inUse, numbers->kept).value_or(0);
    numbers->take(n);
    return n;
}

}  // namespace

void RebuildPanelTable(const QList<int>& rowOf, LinkTables* t, int vKal, int maxDevice,
                       const MatrixNaming& naming) {
    const QSet<QPair<QString, int>> expected = expectedPanels(t->switches, vKal, naming);
    PanelNumbers numbers;
    for (const PanelLink& p : std::as_const(t->panels)) {
        numbers.inUse.insert(p.nNt0);
        if (expected.contains({p.nBv, p.nPk})) numbers.kept.insert(p.nNt0);
    }
    QList<bool> keep(t->panels.size(), false);
    auto keepOrAdd = [&](const QString& name, int column, int bvType, int number) {
        const int j = findPanel(t->panels, name, column);
        if (j >= 0) {
            keep[j] = true;
            return;
        }
        t->panels.append({{name, column, bvType, number, 1, 0, QString()}, 0});
        keep.append(true);
    };

    for (int r : rowOf) {
        const SwitchLink& s = t->switches[r];
        const int k = s.nPk;
        for (int d = 1; d <= s.vDvr; ++d) {
            const QString name = EntrancePanelName(naming.entrancePrefix, k, d);
            if (findPanel(t->panels, name, k) >= 0) {
                keepOrAdd(name, k, 0, 0);
                continue;
            }
            const int n = freeNumber(vKal + 1, maxDevice, numbers.inUse, numbers.kept).value_or(k);
            numbers.take(n);
            keepOrAdd(name, k, 0, n);
        }
        for (int g = 1; g <= vKal; ++g) {
            const QString name = GatePanelName(naming.gatePrefix, g);
            keepOrAdd(name, k, 1, gateNumber(t->panels, name, g, maxDevice, &numbers));
        }
    }

    QList<PanelLink> kept;
    for (int j = 0; j < t->panels.size(); ++j)
        if (keep[j]) kept.append(t->panels[j]);
    t->panels = kept;
    compactColumns(t);
}

namespace {

// ---- save ----------------------------------------------------------------------

QString cellOf(const MatrRow* row, int column) {
    return row ? row->cells.value(column) : QString();
}

const MatrRow* rowNamed(const QList<MatrRow>& rows, const QString& name) {
    for (const MatrRow& r : rows)
        if (r.name == name) return &r;
    for (const MatrRow& r : rows)
        if (r.name.startsWith(name)) return &r;
    return nullptr;
}

const PanelLink* linkOf(const LinkTables& links, const QString& name, int column) {
    for (const PanelLink& p : links.panels)
        if (p.nBv == name && p.nPk == column) return &p;
    return nullptr;
}

const PanelLink* linkBeginning(const LinkTables& links, const QString& stem) {
    for (const PanelLink& p : links.panels)
        if (p.nBv.startsWith(stem)) return &p;
    return nullptr;
}

// A cell that must hold a number; an empty one is first written as empty.
bool numberCell(const MatrRow* row, int column, const QString& empty, SavePlan* plan, int* out) {
    QString text = cellOf(row, column);
    if (text.trimmed().isEmpty()) {
        plan->cells.append({row->name, column, empty});
        text = empty;
    }
    const std::optional<int> n = CellNumber(text);
    if (!n) {
        plan->error = MatrixTexts::NumberNotReadable(text, row->name);
        return false;
    }
    *out = *n;
    return true;
}

bool panelNumber(const MatrRow& row, SavePlan* plan, int* out) {
    const std::optional<int> n = CellNumber(row.sysN);
    if (!n) {
        plan->error = MatrixTexts::NumberNotReadable(row.sysN, row.name);
        return false;
    }
    *out = *n;
    return true;
}

bool planHeader(const QList<MatrRow>& rows, int switchCount, const LinkTables& links,
                SavePlan* plan) {
    const MatrRow* names = MatrixHeaderRow(rows, 0);
    const MatrRow* doors = MatrixHeaderRow(rows, 3);
    const MatrRow* numbers = MatrixHeaderRow(rows, 4);
    if (!MatrixHeaderRow(rows, 1)) return true;
    for (int k = 1; k <= switchCount; ++k) {
        const auto sw = std::find_if(links.switches.begin(), links.switches.end(),
                                     [k](const SwitchLink& s) { return s.nPk == k; });
        if (sw == links.switches.end()) continue;
        SwitchHeaderWrite w{sw->rowid, cellOf(names, k), 0, 0};
        if (w.nmPod.isEmpty()) w.nmPod = QStringLiteral("Л-") + IntToStrZ(k, 2);
        if (doors && !numberCell(doors, k, QStringLiteral("0"), plan, &w.vDvr)) return false;
        if (numbers && !numberCell(numbers, k, QStringLiteral("00"), plan, &w.nNet)) return false;
        plan->switches.append(w);
    }
    return true;
}

bool hasLink(const MatrRow& row, int switchCount) {
    for (int i = 1; i <= switchCount; ++i)
        if (NonBlank(row.cells.value(i))) return true;
    return false;
}

// Gate rows without a link are not saved; the gates after them close the
// gap, so that the gates stay numbered 1..v_kal and a rebuild or a restore
// finds each of them again.
bool planGates(const QList<MatrRow>& rows, int switchCount, const LinkTables& links, int vKal,
               const MatrixNaming& naming, SavePlan* plan) {
    int left = 0;
    for (int g = 1; g <= vKal; ++g) {
        const QString name = GatePanelName(naming.gatePrefix, g);
        const MatrRow* row = rowNamed(rows, name);
        if (!row) continue;
        if (!hasLink(*row, switchCount)) {
            plan->deletedRows.append(row->name);
            continue;
        }
        const QString savedName = GatePanelName(naming.gatePrefix, ++left);
        if (savedName != row->name) plan->renamedRows.append({row->name, savedName});
        int number = 0;
        if (!panelNumber(*row, plan, &number)) return false;
        for (int i = 1; i <= switchCount; ++i) {
            const PanelLink* link = linkOf(links, name, i);
            QString cell = row->cells.value(i);
            if (link) {
                const QString shown = GateCellWithTract(cell, link->tract);
                if (shown != cell) plan->cells.append({row->name, i, shown});
                cell = shown;
            }
            const LinkCode code = LinkOf(cell);
            plan->panels.append({link ? link->rowid : 0, savedName, i, 1, number, code.plus,
                                 code.tract, row->nmBv});
        }
    }
    plan->vKal = left;
    return true;
}

bool planEntrancePanels(const QList<MatrRow>& rows, int switchCount, const LinkTables& links,
                        const MatrixNaming& naming, SavePlan* plan) {
    const MatrRow* doorRow = MatrixHeaderRow(rows, 3);
    for (int k = 1; k <= switchCount; ++k) {
        int doors = 1;
        if (doorRow) {
            const std::optional<int> n = CellNumber(cellOf(doorRow, k));
            doors = n.value_or(0);
        }
        for (int d = 1; d <= doors; ++d) {
            const QString stem = EntrancePanelStem(naming.entrancePrefix, k, d);
            const auto row = std::find_if(rows.begin(), rows.end(), [&stem](const MatrRow& r) {
                return r.name.startsWith(stem);
            });
            if (row == rows.end()) continue;
            int number = 0;
            if (!panelNumber(*row, plan, &number)) return false;
            PanelLinkWrite w{
                0, stem + QStringLiteral(" вход"), k, 0, number, 1, std::nullopt, row->nmBv};
            if (const PanelLink* link = linkBeginning(links, stem)) {
                const QString cell = row->cells.value(k);
                const QString shown = EntranceCellWithTract(cell, link->tract);
                if (shown != cell) plan->cells.append({row->name, k, shown});
                w.rowid = link->rowid;
                w.nBv = link->nBv;
                w.plus.reset();
            }
            plan->panels.append(w);
        }
    }
    return true;
}

}  // namespace

const MatrRow* MatrixHeaderRow(const QList<MatrRow>& rows, int header) {
    for (const MatrRow& r : rows)
        if (HeaderRowOf(r.name) == header) return &r;
    return nullptr;
}

LinkTables PlanRebuild(const QList<EntranceSlot>& entrances, const LinkTables& old, int vKal,
                       int maxDevice, const MatrixNaming& naming) {
    LinkTables t = old;
    const QList<int> rowOf = RebuildSwitchTable(entrances, &t, maxDevice);
    RebuildPanelTable(rowOf, &t, vKal, maxDevice, naming);
    return t;
}

SavePlan PlanMatrixSave(const QList<MatrRow>& rows, int switchCount, const LinkTables& links,
                        int vKal, const MatrixNaming& naming) {
    SavePlan plan;
    if (rows.size() < 4) return plan;
    plan.saved = true;
    plan.vKal = vKal;
    if (!planHeader(rows, switchCount, links, &plan) ||
        !planGates(rows, switchCount, links, vKal, naming, &plan))
        return plan;
    // The entrance panels count their doors after the empty counts were filled.
    QList<MatrRow> filled = rows;
    for (const CellWrite& w : std::as_const(plan.cells))
        for (MatrRow& r : filled)
            if (r.name == w.row) r.cells[w.column] = w.text;
    planEntrancePanels(filled, switchCount, links, naming, &plan);
    return plan;
}

EntryPlan PlanEntranceEntry(const QList<MatrRow>& rows, int objectEntrances,
                            const QList<HouseEntrances>& houses,
                            const QHash<int, qint64>& columnOwners) {
    EntryPlan plan;
    const MatrRow* names = MatrixHeaderRow(rows, 0);
    const MatrRow* numbers = MatrixHeaderRow(rows, 1);
    const MatrRow* doors = MatrixHeaderRow(rows, 3);
    auto number = [&plan](const MatrRow* row, int k, int* out) {
        const QString text = cellOf(row, k);
        const std::optional<int> n = CellNumber(text);
        if (!n) {
            plan.error = MatrixTexts::NumberNotReadable(text, row ? row->name : QString());
            return false;
        }
        *out = *n;
        return true;
    };
    auto owner = [&](qint64 idPod) -> const EntranceRecord* {
        for (const HouseEntrances& h : houses)
            for (const EntranceRecord& e : h.entrances)
                if (e.idPod == idPod) return &e;
        return nullptr;
    };

    int k = 1;
    for (const HouseEntrances& h : houses) {
        for (int i = 1; i <= h.vPod && k <= objectEntrances; ++i, ++k) {
            const QString name = cellOf(names, k);
            EntranceWrite w{0, h.idDom, 0, std::nullopt, 0};
            if (!number(numbers, k, &w.nPod) || !number(doors, k, &w.vDvr)) return plan;
            const EntranceRecord* entrance = nullptr;
            for (const EntranceRecord& e : h.entrances)
                if (e.nPod == w.nPod) entrance = &e;
            if (!entrance && columnOwners.contains(k)) entrance = owner(columnOwners.value(k));
            if (!entrance && columnOwners.isEmpty() && w.nPod >= 1 && w.nPod <= h.entrances.size())
                entrance = &h.entrances[w.nPod - 1];
            if (entrance) {
                w.idPod = entrance->idPod;
                w.nPod = entrance->nPod;
                if (entrance->nmPod.trimmed().size() <= 5) w.nmPod = name;
            } else {
                w.nmPod = name;
            }
            plan.writes.append(w);
        }
    }
    return plan;
}
