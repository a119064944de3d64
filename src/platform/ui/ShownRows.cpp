#include "platform/ui/ShownRows.h"

#include "platform/Dataset.h"

#include <QTimer>

void ShownRows::Read() {
    Dataset* ds = dataset_();
    if (ds && view_ && view_->isVisible() && ds->RowsPending()) ds->EnsureRead();
}

void ShownRows::ReadSoon() {
    if (queued_ || !view_ || !view_->isVisible() || !dataset_()) return;
    queued_ = true;
    QTimer::singleShot(0, view_, [this] {
        queued_ = false;
        Read();
    });
}
