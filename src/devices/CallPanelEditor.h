#pragma once
// The rules of the call panel editor's controls, without the window: what it
// shows for a panel, how the concierge and console boxes, the switch choice
// and the handset choice move each other, and its saves. The form copies its
// controls into View(), runs an operation and shows View() again.

#include "devices/CallPanel.h"
#include "devices/PanelWiring.h"
#include "devices/SerialEntry.h"

#include <QList>
#include <QSqlDatabase>

// What the editor's controls hold.
struct PanelEditorView {
    PanelCommonParams common;
    // CBkns, CBpo, CPK, ADRCS and the open-code cells (as shown).
    PanelIndividual individual;
    QString serial;
    bool gate = false;
    bool ph1Enabled = false;
    bool consoleEnabled = false;    // CBpo
    bool gateLabelsNormal = false;  // the console and gate-only labels, grey when off
    bool switchEnabled = false;     // CPK
    bool indexEnabled = false;      // ADRCS
    bool handsetEnabled = false;    // DBkv; its label is drawn normally while it is on
    bool entranceCopyEnabled = false;
};

class CallPanelEditor {
  public:
    explicit CallPanelEditor(QSqlDatabase db) : db_(db) {}

    // Fills the view from the panel; false with Error() when it cannot be read.
    bool LoadPanel(qint64 idBv);
    qint64 PanelId() const { return record_.idBv; }
    const CallPanelRecord& Stored() const { return record_; }
    PanelEditorView& View() { return view_; }
    const PanelEditorView& View() const { return view_; }
    QString Error() const { return error_; }

    // The panel's wired switches by network address (the switch choice's list).
    const QList<WiredSwitch>& Switches() const { return wired_; }
    // The rows of the chosen switch's entrance (the handset choice's list).
    QList<EntranceRow> HandsetRows() const;

    // Leaving the switch choice: the index follows the chosen switch.
    void ChooseSwitch();
    // The concierge and console boxes clicked (or set) to checked.
    void SetConcierge(bool checked);
    void SetConsole(bool checked);
    // A handset chosen in the handset list.
    void ChooseHandset(int pNom);

    // Leaving the serial field with typed in it: a number another panel of
    // the object holds asks whether to go there; an accepted form is stored.
    SerialExitResult LeaveSerialField(const QString& typed);

    // Saves the whole view (a concierge call to the console's handset becomes
    // a console call first); true when it went through.
    PanelWrite SavePanel();
    // Saves only the common parameters; a switch chosen but not saved is
    // dropped, as the stored one shows again.
    PanelWrite SaveCommonParams();

    // The view copied into the entrance panels on this panel's column (a gate
    // panel copies nothing).
    PanelBatch CopyToEntrance(const ProgressFn& progress = {});
    // The view's common parameters into every panel of the object, or into
    // those of this panel's kind.
    PanelBatch SaveCommonToPanels(bool thisKindOnly, const ProgressFn& progress = {});

  private:
    const WiredSwitch* chosenSwitch() const;
    bool chosenEntranceHolds(int pNom) const;
    void enableSwitchChoice();
    void turnConciergeHandsetIntoConsoleCall();

    QSqlDatabase db_;
    CallPanelRecord record_;
    QList<WiredSwitch> wired_;
    bool objectHasConsole_ = false;
    PanelEditorView view_;
    QString error_;
};
