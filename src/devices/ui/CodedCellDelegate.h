#pragma once
// A grid column whose stored value is drawn as a coded text ("БВ07",
// "калитка", "КМ12"), centred in the cell and a little below its top, as the
// device lists draw them.

#include <QStyledItemDelegate>

#include <functional>

class CodedCellDelegate : public QStyledItemDelegate {
  public:
    using Coder = std::function<QString(const QVariant& stored)>;
    CodedCellDelegate(Coder coder, QObject* parent);

    // The text the cell shows; empty for a cell without a value.
    QString CodedText(const QModelIndex& index) const;

    void paint(QPainter* painter, const QStyleOptionViewItem& option,
               const QModelIndex& index) const override;
    QSize sizeHint(const QStyleOptionViewItem& option, const QModelIndex& index) const override;

  private:
    Coder coder_;
};
