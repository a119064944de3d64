#include "devices/ui/DrawnCellDelegate.h"

#include "devices/SwitchListCells.h"

#include <QApplication>
#include <QPainter>

QVariant DrawnCellsModel::data(const QModelIndex& index, int role) const {
    const auto text = texts_.constFind(index.column());
    if (text == texts_.constEnd() || !index.isValid() || !GetDataset() ||
        (role != Qt::DisplayRole && role != Qt::EditRole))
        return DatasetModel::data(index, role);
    return (*text)(*GetDataset(), index.row());
}

QVariant RowValue(const Dataset& ds, int row, const char* field) {
    return ds.Value(row, ds.FieldIndex(QLatin1String(field)));
}

DrawnCellDelegate::DrawnCellDelegate(Place place, bool bold, QObject* parent)
    : QStyledItemDelegate(parent), place_(place), bold_(bold) {}

QFont DrawnCellDelegate::cellFont(const QStyleOptionViewItem& option) const {
    QFont font = option.font;
    if (bold_) font.setBold(true);
    return font;
}

void DrawnCellDelegate::paint(QPainter* painter, const QStyleOptionViewItem& option,
                              const QModelIndex& index) const {
    QStyleOptionViewItem opt = option;
    initStyleOption(&opt, index);
    const QString text = opt.text;
    opt.text.clear();
    const QWidget* widget = opt.widget;
    QStyle* style = widget ? widget->style() : QApplication::style();
    style->drawControl(QStyle::CE_ItemViewItem, &opt, painter, widget);  // background, selection

    const QFont font = cellFont(opt);
    const int left =
        place_ == Place::Corner
            ? 2
            : CentredTextOffset(opt.rect.width(), QFontMetrics(font).horizontalAdvance(text));
    const bool selected = opt.state & QStyle::State_Selected;
    painter->save();
    painter->setClipRect(opt.rect);
    painter->setFont(font);
    painter->setPen(opt.palette.color(selected ? QPalette::HighlightedText : QPalette::Text));
    painter->drawText(opt.rect.adjusted(left, 2, 0, 0), Qt::AlignLeft | Qt::AlignTop, text);
    painter->restore();
}

QSize DrawnCellDelegate::sizeHint(const QStyleOptionViewItem& option,
                                  const QModelIndex& index) const {
    QStyleOptionViewItem opt = option;
    initStyleOption(&opt, index);
    const QFontMetrics metrics(cellFont(opt));
    const QSize base = QStyledItemDelegate::sizeHint(option, index);
    return QSize(std::max(base.width(), metrics.horizontalAdvance(opt.text) + 8),
                 std::max(base.height(), metrics.height() + 4));
}
