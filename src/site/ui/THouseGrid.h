#pragma once
// The houses grid of the object screen (`CGridD`): one panel per row of a
// house dataset, each with the house's call prefix (`D_EName`, digits only)
// and its entrance count (`DEvPod`). Rows can be neither added nor deleted
// here; the grid follows the dataset and reports the operator's edits, which
// its owner writes back. Enter moves on as Tab does.

#include <QVector>

#include "site/ui/TDatasetPanels.h"

class QLineEdit;
class QSpinBox;

class THouseGrid : public TDatasetPanels {
    Q_OBJECT
  public:
    explicit THouseGrid(QWidget* parent = nullptr);

    // The dataset shown (SetDataset) has the fields id_dom, kod_d, v_pod.
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
    void rebuild() override;
    void showRow(int row) override;

  private:
    struct Row {
        qint64 idDom = 0;
        QWidget* panel = nullptr;
        QLineEdit* prefix = nullptr;
        QSpinBox* entrances = nullptr;
    };
    Row makeRow(int index);

    QVector<Row> rows_;
};
