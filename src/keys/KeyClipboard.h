#pragma once
// Keys travelling between lists: copy and cut put the selected keys into the
// copy buffer with their labels and on the system clipboard as bare numbers;
// paste adds them to the current list, from the copy buffer when it holds
// keys, else from the system clipboard's text. A cut and a paste are each
// written in one transaction, so an interrupted one leaves the keys as they
// were; the devices that serve the changed list are marked.

#include "foundation/TFDM.h"  // ProgressFn

#include <QList>
#include <QString>

class KeyListEditor;
class KeyRegister;

// One line of the copy buffer: the number, TAB, the label, CR LF.
QString KeyClipboardText(const QString& number, const QString& label);

// A key found in pasted text, with the number of characters read up to it.
struct PastedKey {
    QString number;  // 12 digits, or a longer number kept whole (up to 16)
    QString label;   // empty when none was read
    int end = 0;
};

// The keys a pasted text holds. Each record is a run of hexadecimal digits
// (a-f count, upper-cased); with labels (the copy buffer's own text) a TAB
// after the number starts a label that runs to the next TAB, CR, LF or NUL.
// Other characters separate records. A run shorter than 12 digits keeps its
// first 6 and is left-padded with '0'. Not taken: a text of 65535 characters
// or more, a last piece of 5 characters or fewer, an empty run, a number
// longer than 16 digits, and the empty-slot mark FFFFFF.
QList<PastedKey> ParsePastedKeys(const QString& text, bool withLabels);
// The call panel's code of a pasted number: its characters 7 to 12.
QString PastedPanelCode(const QString& number);

enum class PasteOutcome { Pasted, NoOwner, NoGate, Failed };

struct PasteResult {
    PasteOutcome outcome = PasteOutcome::Pasted;
    int pasted = 0;
};

class KeyClipboard {
  public:
    KeyClipboard(KeyRegister& keys, KeyListEditor& editor);

    // KeyCopyBuffer: the keys last copied or cut, as KeyClipboardText lines.
    const QString& CopyBuffer() const { return copyBuffer_; }
    void ClearCopyBuffer() { copyBuffer_.clear(); }
    // The copy buffer or the system clipboard holds text.
    bool CanPaste() const;

    // Copies the rows (1-based record numbers, in list order) of the key
    // list; the number copied.
    int Copy(const QList<int>& recNos, const ProgressFn& progress = {});
    // Copies the rows, then deletes them; the number deleted, or -1 when the
    // deletion failed (nothing is deleted then and the buffers stay as they were).
    int Cut(const QList<int>& recNos, const ProgressFn& progress = {});
    // Adds the pasted keys to the current list; a key the list's scope
    // already holds is skipped, as adding refuses it.
    PasteResult Paste(const ProgressFn& progress = {});

  private:
    struct Copied {
        QString buffer;
        QString system;
    };
    Copied copyRows(const QList<int>& recNos, const std::function<void()>& step) const;
    int insertKeys(const QList<PastedKey>& keys, int base, const std::function<void(int)>& at);
    QString showPastedKeys();
    void recountOwner();

    KeyRegister& keys_;
    KeyListEditor& editor_;
    QString copyBuffer_;
};
