#include "platform/ui/DatasetGrid.h"

#include "platform/Dataset.h"
#include "platform/DatasetModel.h"

#include <QHeaderView>
#include <algorithm>

DatasetGrid::DatasetGrid(QWidget* parent)
    : KeyboardGrid<QTableView>(parent), shownRows_(this, [this] { return GetDataset(); }) {
    setSelectionBehavior(QAbstractItemView::SelectRows);
    setSelectionMode(QAbstractItemView::SingleSelection);
    setEditTriggers(QAbstractItemView::NoEditTriggers);
    setAlternatingRowColors(true);
    verticalHeader()->setDefaultSectionSize(fontMetrics().height() + 6);
    verticalHeader()->hide();
    horizontalHeader()->setHighlightSections(false);
    // Columns fit their titles and the first rows' texts; a long list is not
    // measured whole at every change.
    horizontalHeader()->setSectionResizeMode(QHeaderView::ResizeToContents);
    horizontalHeader()->setResizeContentsPrecision(100);
    horizontalHeader()->setStretchLastSection(true);
}

Dataset* DatasetGrid::GetDataset() const {
    return model_ ? model_->GetDataset() : nullptr;
}

void DatasetGrid::SetModel(DatasetModel* model) {
    if (model == model_) return;
    disconnect(datasetMoved_);
    disconnect(columnKept_);
    disconnect(modelReset_);
    disconnect(viewMoved_);
    model_ = model;
    setModel(model);
    if (!model_) return;
    datasetMoved_ = connect(model_->GetDataset(), &Dataset::CurrentChanged, this,
                            [this](int) { followDataset(); });
    // A list read anew (closed first, perhaps) keeps the column the grid stood in.
    columnKept_ = connect(model_, &QAbstractItemModel::modelAboutToBeReset, this, [this] {
        if (currentIndex().isValid()) keptColumn_ = currentIndex().column();
    });
    modelReset_ = connect(model_, &QAbstractItemModel::modelReset, this, [this] {
        followDataset();
        shownRows_.ReadSoon();
    });
    viewMoved_ = connect(selectionModel(), &QItemSelectionModel::currentRowChanged, this,
                         [this](const QModelIndex& current) { followView(current); });
    followDataset();
    shownRows_.Read();
}

void DatasetGrid::showEvent(QShowEvent* event) {
    QTableView::showEvent(event);
    shownRows_.Read();
}

void DatasetGrid::followDataset() {
    if (syncing_ || !model_) return;
    const Dataset* ds = model_->GetDataset();
    const int row = ds && !ds->RowsPending() ? ds->RecNo() - 1 : -1;
    syncing_ = true;
    if (row >= 0 && row < model_->rowCount()) {
        const int column = currentIndex().isValid() ? currentIndex().column() : keptColumn_;
        const QModelIndex index =
            model_->index(row, qBound(0, column, qMax(0, model_->columnCount() - 1)));
        selectionModel()->setCurrentIndex(
            index, QItemSelectionModel::ClearAndSelect | QItemSelectionModel::Rows);
        scrollTo(index);
    } else {
        selectionModel()->clearCurrentIndex();
    }
    syncing_ = false;
}

void DatasetGrid::followView(const QModelIndex& current) {
    if (syncing_ || !current.isValid() || !model_) return;
    Dataset* ds = model_->GetDataset();
    if (!ds || ds->RecNo() == current.row() + 1) return;
    syncing_ = true;
    ds->SetRecNo(current.row() + 1);
    syncing_ = false;
    emit RowChosen();
}

QList<int> DatasetGrid::SelectedRecNos() const {
    QList<int> recNos;
    if (!selectionModel()) return recNos;
    for (const QModelIndex& index : selectionModel()->selectedRows()) recNos << index.row() + 1;
    std::sort(recNos.begin(), recNos.end());
    return recNos;
}

int DatasetGrid::SelectedCount() const {
    return selectionModel() ? int(selectionModel()->selectedRows().size()) : 0;
}
