#include "platform/ui/DBGrid.h"

#include "platform/Dataset.h"
#include "platform/DatasetModel.h"

#include <QHeaderView>

DBGrid::DBGrid(QWidget* parent) : QTableView(parent) {
    setSelectionBehavior(QAbstractItemView::SelectRows);
    setSelectionMode(QAbstractItemView::SingleSelection);
    setEditTriggers(QAbstractItemView::NoEditTriggers);
    setAlternatingRowColors(true);
    verticalHeader()->hide();
    verticalHeader()->setDefaultSectionSize(fontMetrics().height() + 6);
    // The last column takes what is left, down to a narrow one.
    horizontalHeader()->setDefaultSectionSize(48);
    horizontalHeader()->setStretchLastSection(true);
}

void DBGrid::SetDataset(Dataset* ds) {
    ds_ = ds;
    model_ = new DatasetModel(ds, this);
    setModel(model_);
    // After a reset (rows reread, a column added) the view has no current row.
    connect(model_, &QAbstractItemModel::modelReset, this, &DBGrid::followDataset);
    connect(ds, &Dataset::CurrentChanged, this, &DBGrid::followDataset);
    connect(selectionModel(), &QItemSelectionModel::currentRowChanged, this, &DBGrid::moveDataset);
    followDataset();
}

void DBGrid::AddColumn(const QString& field, const QString& title, int width) {
    fields_ << field;
    model_->AddColumn(field, title);
    if (width > 0) setColumnWidth(int(fields_.size()) - 1, width);
}

QString DBGrid::FieldAt(int column) const {
    return fields_.value(column);
}

void DBGrid::followDataset() {
    if (!ds_ || !model_) return;
    const int row = ds_->RecNo() - 1;
    if (row < 0 || row >= model_->rowCount()) return;
    if (currentIndex().row() == row && selectionModel()->isRowSelected(row)) return;
    const int column = currentIndex().isValid() ? currentIndex().column() : 0;
    setCurrentIndex(model_->index(row, column));
}

void DBGrid::moveDataset(const QModelIndex& current) {
    if (!ds_ || !ds_->IsOpen() || !current.isValid()) return;
    if (ds_->RecNo() != current.row() + 1) ds_->SetRecNo(current.row() + 1);
}
