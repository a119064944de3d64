#pragma once
// A read-only grid over a Dataset, as the forms' data-aware grids: one row per
// record, whole rows selected, the dataset's current record shown as the
// current row, and the row the operator picks made the current record.

#include <QTableView>

class Dataset;
class DatasetModel;

class DBGrid : public QTableView {
    Q_OBJECT
  public:
    explicit DBGrid(QWidget* parent = nullptr);

    // Shows ds (not owned); columns are declared with AddColumn.
    void SetDataset(Dataset* ds);
    Dataset* GetDataset() const { return ds_; }
    DatasetModel* Model() const { return model_; }
    void AddColumn(const QString& field, const QString& title, int width = 0);
    // The field shown in a view column; empty outside the columns.
    QString FieldAt(int column) const;

  private:
    void followDataset();
    void moveDataset(const QModelIndex& current);

    Dataset* ds_ = nullptr;
    DatasetModel* model_ = nullptr;
    QStringList fields_;
};
