#include "site/ui/TDatasetPanels.h"

#include "platform/Dataset.h"
#include "platform/ui/TabOrder.h"

#include <QVBoxLayout>

TDatasetPanels::TDatasetPanels(const QString& name, int rowHeight, QWidget* parent)
    : QScrollArea(parent), shownRows_(this, [this] { return ds_.data(); }), rowHeight_(rowHeight) {
    setObjectName(name);
    // The panels' fields take the focus; the column of panels is no stop of its own.
    setFocusPolicy(Qt::NoFocus);
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
            connect(ds_, reset, this, [this] { remake(); });
        connect(ds_, &Dataset::RowsReset, this, [this] {
            remake();
            shownRows_.ReadSoon();
        });
        connect(ds_, &Dataset::RowChanged, this, [this](int row) { showRow(row); });
        connect(ds_, &Dataset::CurrentChanged, this, [this] { showCurrent(); });
    }
    remake();
    shownRows_.Read();
}

void TDatasetPanels::remake() {
    rebuild();
    // The new panels' fields take their places in the window's Tab order.
    TabOrder::FollowLayouts(window());
}

const Dataset* TDatasetPanels::readDataset() const {
    return ds_ && !ds_->RowsPending() ? ds_.data() : nullptr;
}

void TDatasetPanels::showEvent(QShowEvent* event) {
    QScrollArea::showEvent(event);
    shownRows_.Read();
}

void TDatasetPanels::SetVisibleRows(int rows) {
    visibleRows_ = qMax(1, rows);
    setFixedHeight(visibleRows_ * rowHeight_ + 2 * frameWidth());
}
