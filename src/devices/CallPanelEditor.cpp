#include "devices/CallPanelEditor.h"

#include "foundation/BoundSql.h"

#include <QSqlQuery>
#include <QVariant>

bool CallPanelEditor::LoadPanel(qint64 idBv) {
    error_.clear();
    CallPanelRecord r;
    QSqlQuery q(db_);
    if (!ReadCallPanel(db_, idBv, &r, &error_) || !ReadWiredSwitches(db_, idBv, &wired_, &error_) ||
        !ExecBound(q, QStringLiteral("SELECT l_pok FROM k_net WHERE id_net=?"), {r.idNet}, &error_))
        return false;
    record_ = r;
    objectHasConsole_ = q.next() && q.value(0).toInt() != 0;

    PanelEditorView v;
    v.common = r.common;
    v.ph1Enabled = r.common.ph0;
    v.serial = r.serial;
    v.gate = r.Gate();
    v.individual = r.individual;
    for (QString& code : v.individual.openCodes) code = OpenCodeShown(code);
    v.consoleEnabled = objectHasConsole_;
    v.gateLabelsNormal = v.consoleEnabled;
    v.switchEnabled =
        v.gate && v.consoleEnabled && (v.individual.console || v.individual.concierge);
    v.indexEnabled = v.gate && v.consoleEnabled;
    v.entranceCopyEnabled = !v.gate;
    v.handsetEnabled = v.individual.concierge;
    view_ = v;
    view_.individual.adrcs = -1;
    if (FindWired(wired_, r.individual.adrpk)) {
        const QList<EntranceRow> rows = HandsetRows();
        if (FindRow(rows, r.individual.adrcs) || ConsoleHandsetPnom(rows) > 0) {
            view_.individual.adrcs = r.individual.adrcs;
        } else {
            // No handset to ring through this switch: the console call cannot stand.
            view_.individual.console = false;
            view_.consoleEnabled = false;
        }
    }
    return true;
}

// The switch the handset list shows: the chosen one when it is wired to the
// panel, else the first by address.
const WiredSwitch* CallPanelEditor::chosenSwitch() const {
    if (const WiredSwitch* sw = FindWired(wired_, view_.individual.adrpk)) return sw;
    return wired_.isEmpty() ? nullptr : &wired_.first();
}

QList<EntranceRow> CallPanelEditor::HandsetRows() const {
    QList<EntranceRow> rows;
    if (const WiredSwitch* sw = chosenSwitch()) ReadEntranceRows(db_, sw->idPod, &rows, nullptr);
    return rows;
}

bool CallPanelEditor::chosenEntranceHolds(int pNom) const {
    return FindRow(HandsetRows(), pNom) != nullptr;
}

void CallPanelEditor::enableSwitchChoice() {
    view_.switchEnabled = view_.gate && (view_.individual.console || view_.individual.concierge);
}

void CallPanelEditor::ChooseSwitch() {
    PanelIndividual& p = view_.individual;
    int index = p.adrcs;
    if (p.console) {
        const int handset = ConsoleHandsetPnom(HandsetRows());
        index = handset > 0 ? handset : -1;
    } else if (p.concierge) {
        if (index > 0 && !chosenEntranceHolds(index)) index = -1;
    } else {
        index = -1;
    }
    p.adrcs = index;
    enableSwitchChoice();
}

void CallPanelEditor::SetConcierge(bool checked) {
    PanelIndividual& p = view_.individual;
    p.concierge = checked;
    view_.handsetEnabled = checked;
    if (!checked) return;
    if (p.adrcs > 0 && !chosenEntranceHolds(p.adrcs)) p.adrcs = -1;
    p.console = false;
    enableSwitchChoice();
}

void CallPanelEditor::SetConsole(bool checked) {
    PanelIndividual& p = view_.individual;
    p.console = checked;
    if (!checked) return;
    const int handset = ConsoleHandsetPnom(HandsetRows());
    p.adrcs = handset > 0 ? handset : -1;
    SetConcierge(false);
    enableSwitchChoice();
}

void CallPanelEditor::ChooseHandset(int pNom) {
    view_.individual.adrcs = pNom;
}

void CallPanelEditor::turnConciergeHandsetIntoConsoleCall() {
    const PanelIndividual& p = view_.individual;
    if (!view_.consoleEnabled || !p.concierge) return;
    const QList<EntranceRow> rows = HandsetRows();
    const EntranceRow* row = FindRow(rows, p.adrcs);
    if (row && row->stKvr == kSecurityPostRow) SetConsole(true);
}

PanelWrite CallPanelEditor::SavePanel() {
    if (record_.idBv == 0) return PanelWrite{true, false, QString()};
    turnConciergeHandsetIntoConsoleCall();
    const PanelWrite w = SavePanelValues(db_, record_.idBv, view_.common, view_.individual);
    if (w.ok) ReadCallPanel(db_, record_.idBv, &record_, nullptr);
    return w;
}

PanelWrite CallPanelEditor::SaveCommonParams() {
    if (record_.idBv == 0) return PanelWrite{true, false, QString()};
    view_.individual.adrpk = record_.individual.adrpk;
    const PanelWrite w = ::SaveCommonParams(db_, record_.idBv, view_.common);
    if (w.ok) ReadCallPanel(db_, record_.idBv, &record_, nullptr);
    return w;
}

PanelBatch CallPanelEditor::CopyToEntrance(const ProgressFn& progress) {
    if (record_.idBv == 0 || record_.Gate()) return PanelBatch{true, 0, QString()};
    turnConciergeHandsetIntoConsoleCall();
    const PanelBatch b =
        CopyToEntrancePanels(db_, record_.idBv, view_.common, view_.individual, progress);
    if (b.ok) ReadCallPanel(db_, record_.idBv, &record_, nullptr);
    return b;
}

PanelBatch CallPanelEditor::SaveCommonToPanels(bool thisKindOnly, const ProgressFn& progress) {
    if (record_.idBv == 0) return PanelBatch{true, 0, QString()};
    view_.individual.adrpk = record_.individual.adrpk;
    const PanelBatch b = SaveCommonParamsToPanels(
        db_, record_.idNet, view_.common,
        thisKindOnly ? std::optional<int>(record_.bvType) : std::nullopt, progress);
    if (b.ok) ReadCallPanel(db_, record_.idBv, &record_, nullptr);
    return b;
}

SerialExitResult CallPanelEditor::LeaveSerialField(const QString& typed) {
    if (record_.idBv == 0) return {};
    const SerialExitResult r =
        ::LeaveSerialField(db_, SerialColumn::CallPanels(), record_.idBv, record_.idNet, typed);
    if (r.outcome == SerialExit::Stored) record_.serial = view_.serial = r.shown;
    return r;
}
