#pragma once
// A table model over a Dataset for the grids: one row per cached record,
// the columns the grid declares, edits posted through the dataset.

#include <QAbstractTableModel>
#include <QPointer>

#include "platform/Dataset.h"

class DatasetModel : public QAbstractTableModel {
    Q_OBJECT
  public:
    struct Column {
        QString field;
        QString title;
        bool editable = false;
        bool check = false;  // a logical column shown as a check box
    };

    explicit DatasetModel(Dataset* dataset, QObject* parent = nullptr);

    Dataset* GetDataset() const { return ds_; }
    // Declares the next column. With no declared column every field shows,
    // read-only, under its own name.
    void AddColumn(const QString& field, const QString& title, bool editable = false,
                   bool check = false);
    void ClearColumns();
    int ColumnOf(const QString& field) const;

    int rowCount(const QModelIndex& parent = QModelIndex()) const override;
    int columnCount(const QModelIndex& parent = QModelIndex()) const override;
    QVariant data(const QModelIndex& index, int role = Qt::DisplayRole) const override;
    bool setData(const QModelIndex& index, const QVariant& value, int role = Qt::EditRole) override;
    QVariant headerData(int section, Qt::Orientation orientation,
                        int role = Qt::DisplayRole) const override;
    Qt::ItemFlags flags(const QModelIndex& index) const override;

  private:
    // The columns shown and the dataset field of each, looked up once for
    // the dataset's fields as they are (views ask for every cell).
    struct Shown {
        QList<Column> columns;
        QVector<int> fields;
    };
    const Shown& shown() const;
    const QList<Column>& shownColumns() const { return shown().columns; }
    int fieldOf(int column) const;
    void forgetShown() { shownValid_ = false; }

    QPointer<Dataset> ds_;
    QList<Column> columns_;
    mutable Shown shown_;
    mutable bool shownValid_ = false;
    mutable quint64 shownLayout_ = 0;
};
