#include "platform/ui/GridCells.h"

#include <QAbstractItemView>
#include <QHelpEvent>
#include <QStyle>
#include <QToolTip>

namespace GridCells {

int CappedWidth(const QAbstractItemView* view, int wanted) {
    return qMin(wanted, view->fontMetrics().averageCharWidth() * kColumnCharacters);
}

QString ToolTip(const QAbstractItemView* view, const QModelIndex& index) {
    if (!index.isValid()) return {};
    const QString text = index.data(Qt::DisplayRole).toString();
    if (text.isEmpty()) return {};
    // The cell's text margins, as the view's style draws them.
    const int margins = 2 * (view->style()->pixelMetric(QStyle::PM_FocusFrameHMargin) + 1);
    const int room = view->visualRect(index).width() - margins;
    const bool oneLine = !text.contains(QLatin1Char('\n'));
    if (oneLine && view->fontMetrics().horizontalAdvance(text) <= room) return {};
    return text;
}

bool ShowToolTip(QAbstractItemView* view, QEvent* event) {
    if (event->type() != QEvent::ToolTip) return false;
    const auto* help = static_cast<QHelpEvent*>(event);
    const QModelIndex index = view->indexAt(help->pos());
    if (index.data(Qt::ToolTipRole).isValid()) return false;
    // A cell that fits leaves the view its own tool tip (the keys it takes).
    const QString tip = ToolTip(view, index);
    if (tip.isEmpty()) return false;
    QToolTip::showText(help->globalPos(), tip, view->viewport(), view->visualRect(index));
    return true;
}

}  // namespace GridCells
