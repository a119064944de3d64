#include "site/ui/TDatasetPanels.h"

#include "platform/Dataset.h"

#include <QTimer>
#include <QVBoxLayout>

TDatasetPanels::TDatasetPanels(const QString& name, int rowHeight, QWidget* parent)
    : QScrollArea(parent), rowHeight_(rowHeight) {
    setObjectName(name);
    setWidgetResizable(true);
    setHorizontalScrollBarPolicy(Qt::ScrollBarAlwaysOff);
    body_ = new QWidget(this);
    rowsLayout_ = new QVBoxLayout(body_);
    rowsLayout_->setContentsMargins(0, 0, 0, 0);
    rowsLayout_->setSpacing(0);
    rowsLayout_->addStretch();
    setWidget(body_);
}

void TDatasetPanels::SetDataset(Dataset* ds) {
    if (ds_ == ds) return;
    if (ds_) disconnect(ds_, nullptr, this, nullptr);
    ds_ = ds;
    if (ds_) {
        for (auto reset : {&Dataset::RowInserted, &Dataset::RowRemoved})
            connect(ds_, reset, this, [this] { rebuild(); });
        connect(ds_, &Dataset::RowsReset, this, [this] {
            rebuild();
            readShownRowsSoon();
        });
        connect(ds_, &Dataset::RowChanged, this, [this](int row) { showRow(row); });
        connect(ds_, &Dataset::CurrentChanged, this, [this] { showCurrent(); });
    }
    rebuild();
    readShownRows();
}

const Dataset* TDatasetPanels::readDataset() const {
    return ds_ && !ds_->RowsPending() ? ds_.data() : nullptr;
}

void TDatasetPanels::showEvent(QShowEvent* event) {
    QScrollArea::showEvent(event);
    readShownRows();
}

void TDatasetPanels::readShownRows() {
    if (ds_ && isVisible() && ds_->RowsPending()) ds_->EnsureRead();
}

// The reset comes from inside the dataset's own change (a close, a master's
// move), where it does not read: the read waits until that change is over,
// and reads the rows then pending.
void TDatasetPanels::readShownRowsSoon() {
    if (readQueued_ || !ds_ || !isVisible()) return;
    readQueued_ = true;
    QTimer::singleShot(0, this, [this] {
        readQueued_ = false;
        readShownRows();
    });
}

void TDatasetPanels::SetVisibleRows(int rows) {
    visibleRows_ = qMax(1, rows);
    setFixedHeight(visibleRows_ * rowHeight_ + 2 * frameWidth());
}
