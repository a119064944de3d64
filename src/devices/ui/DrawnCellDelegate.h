#pragma once
// The drawn cells of the device list grids: a model whose drawn columns show
// a text made from the row in place of the stored value, and a delegate that
// puts a cell's text where the screen draws it.

#include "platform/DatasetModel.h"

#include <QHash>
#include <QStyledItemDelegate>

#include <functional>

class DrawnCellsModel : public DatasetModel {
    Q_OBJECT
  public:
    // The text of a drawn cell, made from its row.
    using RowText = std::function<QString(const Dataset& ds, int row)>;

    using DatasetModel::DatasetModel;
    void SetCellText(int column, RowText text) { texts_.insert(column, std::move(text)); }

    QVariant data(const QModelIndex& index, int role = Qt::DisplayRole) const override;

  private:
    QHash<int, RowText> texts_;
};

// The value of a field in a cached row of the dataset (null when absent).
QVariant RowValue(const Dataset& ds, int row, const char* field);

class DrawnCellDelegate : public QStyledItemDelegate {
    Q_OBJECT
  public:
    enum class Place {
        Corner,  // 2 pixels right of and below the cell's corner
        Centred  // centred across the cell, 2 pixels below its top
    };
    DrawnCellDelegate(Place place, bool bold, QObject* parent = nullptr);

    void paint(QPainter* painter, const QStyleOptionViewItem& option,
               const QModelIndex& index) const override;
    QSize sizeHint(const QStyleOptionViewItem& option, const QModelIndex& index) const override;

  private:
    QFont cellFont(const QStyleOptionViewItem& option) const;

    Place place_;
    bool bold_;
};
