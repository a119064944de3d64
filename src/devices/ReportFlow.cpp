#include "devices/ReportFlow.h"

namespace {

// The column being filled.
class Cursor {
  public:
    explicit Cursor(const FlowArea& area) : area_(area) {}

    double Room() const { return (page_ == 0 ? area_.firstPageHeight : area_.pageHeight) - top_; }
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
        if (!chained && !at.Empty() && chainHeight(blocks, i) > at.Room()) at.NextColumn();
        // A block that still does not fit (a chain taller than a column) goes
        // on alone; one taller than a column stands alone in its column.
        if (!at.Empty() && blocks[i].height > at.Room()) at.NextColumn();
        flow.places << at.Place(blocks[i].height);
        chained = blocks[i].keepWithNext;
    }
    flow.pages = at.Page() + 1;
    return flow;
}
