// Rows a dataset has not read yet: stale after a deferred refresh, or closed
// where the dataset opens when read; each reader reads them first.

#include "platform/Dataset.h"

// The rows are out of date until first use; the details follow, as their
// master's row is unknown until then. Views reset to no rows and read
// nothing. Every reader reads first, so the old rows are never seen again;
// the read that replaces them lets them go (a large list takes a while).
void Dataset::markStale() {
    if (stale_) return;
    stale_ = true;
    cur_ = -1;
    eof_ = bof_ = true;
    movedWhileDisabled_ = false;
    emit RowsReset();
    for (Dataset* d : std::as_const(details_)) {
        if (!d->IsOpen()) continue;
        if ((d->state_ == DsState::Insert || d->state_ == DsState::Edit) && !d->Post()) d->Cancel();
        d->markStale();
    }
}

// What the deferred reopen would have done: the master's current row (read
// first when it is stale too), the rows, the first row, the details after it.
bool Dataset::readStale() {
    if (master_) master_->readIfPending();
    if (!stale_) return IsOpen();  // the master's read read this one too
    stale_ = false;
    state_ = DsState::Inactive;
    DisableControls();
    const bool ok = Open();
    EnableControls();
    return ok;
}

bool Dataset::EnsureRead() {
    if (stale_) return readStale();
    if (IsOpen()) return true;
    if (!opensWhenRead_ || openRefused_ || settling_) return false;
    // Before a database is open (the screens are made before the first one
    // is) there is nothing to read: no rows, and no failure for the log.
    if (!Database().isOpen()) {
        clearError();
        lastError_ = QStringLiteral("База данных не открыта.");
        return false;
    }
    return openOnRead();
}

// Opened as a reader finds it: on the master's current row, the master read
// first; with controls disabled, so that the details follow once.
bool Dataset::openOnRead() {
    settling_ = true;
    if (master_) master_->readIfPending();
    DisableControls();
    if (opener_)
        opener_();
    else
        Open();
    EnableControls();
    settling_ = false;
    // An opener reports its own failures; whatever it left closed stays so
    // for readers until it is opened or closed again.
    openRefused_ = !IsOpen();
    return IsOpen();
}

Dataset::DeferredRefresh::DeferredRefresh(const QList<Dataset*>& datasets) {
    for (Dataset* ds : datasets) {
        if (!ds) continue;
        ++ds->deferring_;
        datasets_ << ds;
    }
}

Dataset::DeferredRefresh::~DeferredRefresh() {
    for (const QPointer<Dataset>& ds : std::as_const(datasets_))
        if (ds) --ds->deferring_;
}
