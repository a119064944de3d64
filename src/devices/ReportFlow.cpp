#include "devices/ReportFlow.h"

#include <algorithm>
#include <numeric>

namespace {

// The column being filled.
class Cursor {
  public:
    explicit Cursor(const FlowArea& area) : area_(area) {}

    double Room() const { return capacity(page_) - top_; }
    // What a fresh column after this one holds.
    double NextCapacity() const {
        return capacity(column_ + 1 < area_.columns ? page_ : page_ + 1);
    }
    bool Empty() const { return top_ == 0; }
    FlowPlace Place(double height) {
        const FlowPlace at{page_, column_, top_};
        top_ += height;
        return at;
    }
    void NextColumn() {
        top_ = 0;
        if (++column_ < area_.columns) return;
        column_ = 0;
        ++page_;
    }
    int Page() const { return page_; }

  private:
    double capacity(int page) const { return page == 0 ? area_.firstPageHeight : area_.pageHeight; }

    const FlowArea& area_;
    int page_ = 0;
    int column_ = 0;
    double top_ = 0;
};

// Height of the block at i together with the blocks it keeps with.
double chainHeight(const QList<FlowBlock>& blocks, int i) {
    double h = blocks[i].height;
    while (blocks[i].keepWithNext && i + 1 < blocks.size()) h += blocks[++i].height;
    return h;
}

}  // namespace

Flow FlowBlocks(const QList<FlowBlock>& blocks, const FlowArea& area) {
    Flow flow;
    Cursor at(area);
    bool chained = false;  // moved together with the block before
    for (int i = 0; i < blocks.size(); ++i) {
        // A chain that fits nowhere whole is not held together: its blocks
        // flow one by one.
        const double chain = chained ? 0 : chainHeight(blocks, i);
        if (!at.Empty() && chain > at.Room() && chain <= at.NextCapacity()) at.NextColumn();
        // A block taller than a column stands alone in one.
        if (!at.Empty() && blocks[i].height > at.Room()) at.NextColumn();
        flow.places << at.Place(blocks[i].height);
        chained = blocks[i].keepWithNext;
    }
    flow.pages = at.Page() + 1;
    return flow;
}

QList<double> FitCellWidths(const QList<double>& weights, const QList<double>& desired,
                            double total) {
    const int n = int(weights.size());
    QList<bool> fitted(n, false);
    QList<double> widths(n, 0);
    // Cells are fitted one round after another: fixing one leaves less for
    // the rest, so a cell that fitted its share may need a later round.
    for (bool changed = true; changed;) {
        changed = false;
        double free = total;
        double weight = 0;
        for (int i = 0; i < n; ++i) {
            if (fitted[i])
                free -= desired.value(i);
            else
                weight += weights[i];
        }
        for (int i = 0; i < n; ++i) {
            if (fitted[i]) continue;
            widths[i] = weight > 0 ? free * weights[i] / weight : 0;
            if (desired.value(i) <= widths[i]) {
                fitted[i] = changed = true;
            }
        }
        if (!changed) break;
        for (int i = 0; i < n; ++i)
            if (fitted[i]) widths[i] = desired.value(i);
    }
    // Every cell fitted: what is left goes to all of them by weight.
    if (std::all_of(fitted.begin(), fitted.end(), [](bool f) { return f; })) {
        const double used = std::accumulate(widths.begin(), widths.end(), 0.0);
        const double weight = std::accumulate(weights.begin(), weights.end(), 0.0);
        for (int i = 0; i < n; ++i)
            widths[i] += weight > 0 ? (total - used) * weights[i] / weight : 0;
    }
    return widths;
}
