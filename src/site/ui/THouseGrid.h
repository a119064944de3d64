#pragma once
// The houses grid of the object screen (`CGridD`): one panel per row of a
// house dataset, each with the house's call prefix (`D_EName`, digits only)
// and its entrance count (`DEvPod`). Rows can be neither added nor deleted
// here; the grid follows the dataset and reports the operator's edits, which
// its owner writes back. Enter moves on as Tab does.

#include <QPointer>
#include <QScrollArea>
#include <QVector>

class Dataset;
class QLineEdit;
class QSpinBox;
class QVBoxLayout;

class THouseGrid : public QScrollArea {
    Q_OBJECT
  public:
    explicit THouseGrid(QWidget* parent = nullptr);

    // Shows the rows of the dataset (its fields id_dom, kod_d, v_pod) and
    // follows it from now on.
    void SetDataset(Dataset* houses);
    // Height for this many panels (the rest scroll).
    void SetVisibleRows(int rows);
    static int RowHeight();
    int RowCount() const { return int(rows_.size()); }

    // The fields of the house in panel row (0-based), nullptr outside.
    QLineEdit* PrefixEdit(int row) const;
    QSpinBox* EntrancesEdit(int row) const;
    // The panel row of the dataset's current house (0 without one).
    int CurrentRow() const;

  signals:
    void PrefixEdited(qint64 idDom, const QString& prefix);
    void EntrancesEdited(qint64 idDom, int entrances);

  protected:
    bool eventFilter(QObject* watched, QEvent* event) override;

  private:
    struct Row {
        qint64 idDom = 0;
        QWidget* panel = nullptr;
        QLineEdit* prefix = nullptr;
        QSpinBox* entrances = nullptr;
    };
    void rebuild();
    void showValues(int row);
    Row makeRow(int index);

    QPointer<Dataset> houses_;
    QWidget* body_ = nullptr;
    QVBoxLayout* rowsLayout_ = nullptr;
    QVector<Row> rows_;
};
