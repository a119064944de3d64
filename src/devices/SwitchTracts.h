#pragma once
// The tract panel of the switch editor: the tract of every call panel wired to
// the switch with its two camera masks (mk_bv: the camera counts among the
// switch's cameras; mk_po: it is shown on the console in panorama mode), and
// the switch's per-tract mask texts m_vb and m_vo that its file carries:
// character t is "1" when a masked panel sits on tract t.
//
// Tracts are typed, reassigned (AssignTracts after clearing) or numbered by
// fixed ranges for the whole object. Every write runs in one transaction and
// advances kf_pr of each switch whose tracts or masks it changes.

#include "devices/TractAssignment.h"
#include "foundation/HeldRows.h"
#include "foundation/TFDM.h"

#include <QList>
#include <QSqlDatabase>
#include <QString>

// One wired panel of the switch as stored, in the panel grid's order.
struct TractRow {
    qint64 rowid = 0;  // of the m_bv row
    qint64 idBv = 0;
    int nNt0 = 0;
    bool tractEmpty = false;  // no tract value at all
    int tract = 0;
    bool mkBv = false;
    bool mkPo = false;

    bool operator==(const TractRow&) const = default;
};

// The wired panels of switch idPk (m_bv rows with plus 1 or 3), by column and
// panel name as the panel grid lists them.
bool ReadSwitchTracts(QSqlDatabase db, qint64 idPk, QList<TractRow>* rows,
                      QString* error = nullptr);

// One row of the check lists: the panel's tract and what is checked.
struct MaskRow {
    qint64 rowid = 0;
    int tract = 0;
    bool switchMask = false;
    bool consoleMask = false;

    bool operator==(const MaskRow&) const = default;
};

// The rows as stored: checks from mk_bv and, with a console, mk_po.
QList<MaskRow> MaskRowsOf(const QList<TractRow>& rows, bool console);

// After tracts were typed or renumbered: a panel without a tract loses its
// switch mask, panels sharing a tract lose both masks, and a console mask
// stays only beside a switch mask.
void NormaliseMasks(QList<MaskRow>& rows);

struct MaskTexts {
    QString vb;  // m_vb
    QString vo;  // m_vo
};
// kolTractPK characters "0", with "1" at each tract that a checked panel sits
// on. A panel that is not checked never clears another panel's "1".
MaskTexts SwitchMaskTexts(const QList<MaskRow>& rows, bool console, int kolTractPK);

// Typing into a tract cell.
namespace TractCell {
// Keys that pass: Backspace, Tab, Enter, Esc, "." and the digits 1 to 8.
bool KeyAllowed(QChar c);
// The cell after an edit: a text longer than 2 characters keeps its
// characters 2 and 3; a number above kolTractPK becomes kolTractPK.
QString Edited(const QString& text, int kolTractPK);
// The tract a cell stores: a whole number 1..kolTractPK, else the stored one.
int Typed(const QString& cell, int kolTractPK, int stored);
}  // namespace TractCell

// The check lists of the tract panel with their click rules.
class TractPanelModel {
  public:
    void SetConsole(bool console) { console_ = console; }
    bool Console() const { return console_; }

    // The switch whose rows are shown: saves go to it, whichever switch is
    // current by then.
    void SetSwitch(const SwitchColumn& sw) { switch_ = sw; }
    const SwitchColumn& Switch() const { return switch_; }

    // No rows, so that the next Show compares with nothing.
    void Clear();
    // Shows the stored rows. True when the switch must be marked changed: a
    // panel has no tract, or what was shown before differs from what is
    // stored now.
    bool Show(const QList<TractRow>& stored);

    int Count() const { return int(rows_.size()); }
    const MaskRow& Row(int i) const { return rows_[i]; }
    const QList<MaskRow>& Rows() const { return rows_; }
    // The tract as the cell and the check-list items show it ("" for none).
    QString TractText(int i) const { return texts_.value(i); }

    // Checking a switch mask unchecks the other panels on its tract (both
    // masks); unchecking it drops its console mask.
    void ClickSwitchMask(int i, bool checked);
    // A console mask stays only beside a switch mask, and then unchecks the
    // console masks of the other panels on its tract.
    void ClickConsoleMask(int i, bool checked);

    bool MasksChanged() const { return masksChanged_; }
    void SetMasksChanged(bool changed) { masksChanged_ = changed; }

  private:
    bool sameTract(int i, int j) const { return i != j && rows_[i].tract == rows_[j].tract; }

    SwitchColumn switch_;
    QList<MaskRow> rows_;
    QStringList texts_;
    bool console_ = false;
    bool masksChanged_ = false;
};

// The tract ranges of the fixed numbering: gate panels k1..k2, entrance
// panels p1..p2. k1 and p1 are held within 1..8, k2 and p2 within
// 1..kolTractPK.
struct TractRanges {
    int k1 = 6;
    int k2 = 8;
    int p1 = 1;
    int p2 = 2;

    // Both ranges in order and sharing no tract.
    bool Valid() const;
    // Every value within its limits.
    TractRanges Held(int kolTractPK) const;
    // The first ranges of an object: entrances up to its largest door count,
    // gates right after them (at least one tract, so that an object without
    // gates starts with valid ranges); p1 is kept.
    static TractRanges ForObject(int maxDoors, int gates, int p1, int kolTractPK);
    // The gate range's start changed: entrances end right before it; a gate
    // range from 1 puts the entrances after it instead, up to kolTractPK.
    TractRanges GateStartChanged(int kolTractPK) const;

    bool operator==(const TractRanges&) const = default;
};

struct TractSave {
    bool ok = false;
    bool refused = false;  // a rule forbade it; its message was shown
    QString error;
    int switchesMarked = 0;
};

// The largest door count of the object's entrance columns (0 without columns).
int MaxDoorCount(QSqlDatabase db, qint64 idNet, QString* error = nullptr);
// Whether the object has a security-post console (k_net.l_pok).
bool ObjectHasConsole(QSqlDatabase db, qint64 idNet);

// Stores the checks on the panels' rows and m_vb/m_vo, and advances kf_pr.
TractSave SaveMasks(QSqlDatabase db, const SwitchColumn& sw, const QList<MaskRow>& rows);
// Stores the typed cells (one per row; an empty or bad cell keeps the stored
// tract), then the masks normalised for the new tracts; advances kf_pr.
TractSave SaveTypedTracts(QSqlDatabase db, const SwitchColumn& sw, const QList<MaskRow>& rows,
                          const QStringList& cells);
// Clears the tracts and masks of the switch's wired panels and assigns them
// again from tract 1. A switch AssignTracts refuses keeps its tracts.
TractSave ReassignTracts(QSqlDatabase db, const SwitchColumn& sw);
TractSave ReassignTractsForObject(QSqlDatabase db, qint64 idNet, const ProgressFn& progress = {});
// Numbers the panels of every switch column of the object by the ranges
// (entrance panels p1, p1+1, .. p2, p1, ..; gate panels likewise), wired or
// not, then stores each switch's masks normalised for the new tracts. Bad
// ranges: "Некорректно заданы диапазоны!" ("Ошибка"), nothing changes.
TractSave NumberTractsByRanges(QSqlDatabase db, qint64 idNet, const TractRanges& ranges,
                               const ProgressFn& progress = {});

// ---- data-module operations --------------------------------------------------
// The panel takes the current switch of FDM->Q_MNpk when the editor loads it;
// every later step works on the switch the model shows and its object, never
// on the list's row by then. Afterwards the switch and call-panel groups show
// what was written.

// The stored rows of the current switch shown in the model; the switch's
// kf_pr advances when Show says so.
bool ShowCurrentTracts(TractPanelModel& model);
// The same for the switch the model shows.
bool ShowModelTracts(TractPanelModel& model);
bool CurrentObjectHasConsole();
// Each writes only while every row of held (what the editor shows) is
// there; one gone is told, and the result is not ok and has no error.
// The masks, or the typed cells, of the switch the model shows.
TractSave SaveShownMasks(const TractPanelModel& model, const HeldRows& held = HeldRows());
TractSave SaveShownTypedTracts(const TractPanelModel& model, const QStringList& cells,
                               const HeldRows& held = HeldRows());
TractSave ReassignShownTracts(const TractPanelModel& model, const HeldRows& held = HeldRows());
// Over the object of the switch the model shows; ask "Перераспределить БВ по
// трактам объекта?" ("Тракты объекта") first.
TractSave ReassignObjectTracts(const TractPanelModel& model, const ProgressFn& progress = {},
                               const HeldRows& held = HeldRows());
TractSave NumberObjectTracts(const TractPanelModel& model, const TractRanges& ranges,
                             const ProgressFn& progress = {}, const HeldRows& held = HeldRows());
// The first ranges for the current object.
TractRanges CurrentObjectRanges(int p1);
