#pragma once
// A grid over a dataset, in place of the data-aware grid: it shows a
// DatasetModel, and its current row and the dataset's current record follow
// each other, so moving in the grid moves the dataset (and its details) and a
// dataset moved by code shows its row. A grid on screen shows the rows of
// its dataset: those pending read are read when it shows, or just after they
// became pending while it is shown.

#include <QTableView>

#include "platform/ui/GridKeys.h"
#include "platform/ui/ShownRows.h"

class Dataset;
class DatasetModel;

class DatasetGrid : public KeyboardGrid<QTableView> {
    Q_OBJECT
  public:
    explicit DatasetGrid(QWidget* parent = nullptr);

    // Shows the model (not owned); a later call shows another one.
    void SetModel(DatasetModel* model);
    DatasetModel* Model() const { return model_; }
    Dataset* GetDataset() const;

    // 1-based record numbers of the selected rows, in ascending order.
    QList<int> SelectedRecNos() const;
    int SelectedCount() const;

  signals:
    // The operator moved to another row (click or keys), after the dataset followed.
    void RowChosen();

  protected:
    void showEvent(QShowEvent* event) override;

  private:
    void followDataset();
    void followView(const QModelIndex& current);

    DatasetModel* model_ = nullptr;
    QMetaObject::Connection datasetMoved_;
    QMetaObject::Connection columnKept_;
    QMetaObject::Connection modelReset_;
    QMetaObject::Connection viewMoved_;
    int keptColumn_ = 0;  // the column stood in before the model was last reset
    bool syncing_ = false;
    ShownRows shownRows_;
};
