#include "devices/ui/CodedCellDelegate.h"

#include "devices/DeviceListLayout.h"

#include <QApplication>
#include <QPainter>
#include <QStyle>

CodedCellDelegate::CodedCellDelegate(Coder coder, QObject* parent)
    : QStyledItemDelegate(parent), coder_(std::move(coder)) {}

QString CodedCellDelegate::CodedText(const QModelIndex& index) const {
    const QVariant stored = index.data(Qt::DisplayRole);
    return stored.isValid() && !stored.isNull() ? coder_(stored) : QString();
}

void CodedCellDelegate::paint(QPainter* painter, const QStyleOptionViewItem& option,
                              const QModelIndex& index) const {
    QStyleOptionViewItem background = option;
    initStyleOption(&background, index);
    background.text.clear();
    const QWidget* view = option.widget;
    QStyle* style = view ? view->style() : QApplication::style();
    style->drawControl(QStyle::CE_ItemViewItem, &background, painter, view);

    const QString text = CodedText(index);
    const QFontMetrics metrics(option.font);
    const int left = CentredTextLeft(option.rect.width(), metrics.horizontalAdvance(text));
    const bool selected = option.state & QStyle::State_Selected;
    painter->save();
    painter->setFont(option.font);
    painter->setPen(option.palette.color(selected ? QPalette::HighlightedText : QPalette::Text));
    painter->drawText(option.rect.left() + left,
                      option.rect.top() + kCodedTextTop + metrics.ascent(), text);
    painter->restore();
}

QSize CodedCellDelegate::sizeHint(const QStyleOptionViewItem& option,
                                  const QModelIndex& index) const {
    QSize size = QStyledItemDelegate::sizeHint(option, index);
    size.setWidth(
        qMax(size.width(), QFontMetrics(option.font).horizontalAdvance(CodedText(index)) + 8));
    return size;
}
