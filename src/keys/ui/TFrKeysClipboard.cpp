// The key list's clipboard commands ("Копировать", "Вырезать", "Вставить"),
// from the menu and from their keys in the list.

#include "keys/ui/TFrKeys.h"

#include "foundation/ui/TFProgress.h"
#include "foundation/ui/WaitCursor.h"
#include "keys/KeyClipboard.h"
#include "platform/Dialogs.h"
#include "platform/ui/DatasetGrid.h"

#include <QFocusEvent>
#include <QKeyEvent>
#include <QLabel>

void TFrKeys::NCopyClick() {
    if (!ready()) return;
    OtmBlue->clear();
    const int count = clipboard_->Copy(DBGrid2->SelectedRecNos(), ProgressGauge());
    ClearKeySelection();
    listValue_ = count;
    if (count > 0) OtmBlue->setText(QStringLiteral("Копир %1").arg(count));
}

void TFrKeys::NXrezClick() {
    if (!ready()) return;
    const QList<int> selected = DBGrid2->SelectedRecNos();
    int count = 0;
    {
        WaitCursor wait;
        OtmBlue->clear();
        if (!selected.isEmpty()) OtmBlue->setNum(int(selected.size()));
        DBGrid2->clearSelection();
        count = clipboard_->Cut(selected, ProgressGauge());
    }
    // The list read anew marks the row it stands on; no row is chosen now,
    // and a count of the marked rows must not replace the report.
    DBGrid2->clearSelection();
    listValue_ = 0;
    if (count > 0) OtmBlue->setText(QStringLiteral("Вырез %1").arg(count));
    CountKeys();
}

void TFrKeys::NInsertClick() {
    if (!ready() || !Dialogs::AskYesNo(QStringLiteral("Добавление записей"),
                                       QStringLiteral("Вставить строки?")))
        return;
    OtmBlue->clear();
    syncOptions();
    PasteResult result;
    {
        WaitCursor wait;
        result = clipboard_->Paste(ProgressGauge());
    }
    if (result.outcome == PasteOutcome::NoGate)
        Dialogs::Message(QStringLiteral("Ошибка"), QStringLiteral("Калиток на объекте нет!"),
                         DlgButtons::Ok, DlgIcon::Error);
    if (result.pasted > 0) OtmBlue->setText(QStringLiteral("Вставл %1").arg(result.pasted));
    CountKeys();
}

// Ctrl+V in a list of apartments, entrances or gates pastes into the one
// chosen there: keys cut from one apartment reach another from the keyboard
// (Tab to the apartments, the arrows, the paste).
bool TFrKeys::filterOwnerListKeys(QEvent* event) {
    if (event->type() != QEvent::KeyPress ||
        !static_cast<QKeyEvent*>(event)->matches(QKeySequence::Paste))
        return false;
    NInsertClick();
    return true;
}

// The key list reached by Tab stands on its row as after a click: the row is
// chosen, and the clipboard commands act on it.
void TFrKeys::chooseRowOnTab(const QFocusEvent* focus) {
    if (focus->reason() != Qt::TabFocusReason && focus->reason() != Qt::BacktabFocusReason) return;
    const QModelIndex current = DBGrid2->currentIndex();
    if (!current.isValid() || DBGrid2->SelectedCount() > 0) return;
    DBGrid2->selectionModel()->select(
        current, QItemSelectionModel::ClearAndSelect | QItemSelectionModel::Rows);
}
