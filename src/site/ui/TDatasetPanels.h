#pragma once
// A scrolling column of one panel per record of a dataset, in place of the
// design's control grids. It follows the dataset: the panels are made again
// when its rows are replaced, added or removed, and a changed row shows its
// values again. What a panel holds is the deriving grid's.
//
// Panels are made for rows read only. Rows pending read (a dataset that opens
// when read, closed) are read when the panels show, or just after they became
// pending while the panels are shown, as a grid does.

#include <QPointer>
#include <QScrollArea>

#include "platform/Dataset.h"
#include "platform/ui/ShownRows.h"

class QVBoxLayout;

class TDatasetPanels : public QScrollArea {
    Q_OBJECT
  public:
    TDatasetPanels(const QString& name, int rowHeight, QWidget* parent = nullptr);

    // Shows the rows of the dataset and follows it from now on.
    void SetDataset(Dataset* ds);
    // Height for this many panels (the rest scroll).
    void SetVisibleRows(int rows);
    int VisibleRows() const { return visibleRows_; }

  protected:
    Dataset* dataset() const { return ds_; }
    // The dataset when its rows are read, else nullptr: making panels never
    // reads it.
    const Dataset* readDataset() const;
    void showEvent(QShowEvent* event) override;
    // Makes the panels again for the dataset's rows.
    virtual void rebuild() = 0;
    // Shows the stored values of one panel row.
    virtual void showRow(int row) = 0;
    // The dataset moved to another record.
    virtual void showCurrent() {}

    QWidget* body_ = nullptr;
    QVBoxLayout* rowsLayout_ = nullptr;

  private:
    void remake();

    QPointer<Dataset> ds_;
    ShownRows shownRows_;
    int rowHeight_;
    int visibleRows_ = 1;
};
