#include "devices/DeviceListLayout.h"

#include "foundation/BitAndStr.h"

GridHeights SplitGridHeights(int frameHeight, int headerHeight, int totalsHeight) {
    const double h = frameHeight - headerHeight - totalsHeight;
    return {int(RoundHalfAway(h * 0.75)), int(RoundHalfAway(h / 4))};
}
