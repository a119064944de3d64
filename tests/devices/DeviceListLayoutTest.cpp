#include "devices/DeviceListLayout.h"

#include <gtest/gtest.h>

namespace DeviceListLayoutTestUnit {
namespace {

TEST(DeviceListLayout, TheUpperGridTakesThreeQuartersOfWhatIsLeft) {
    const GridHeights h = SplitGridHeights(400, 60, 40);
    EXPECT_EQ(h.upper, 225);
    EXPECT_EQ(h.lower, 75);
    const GridHeights odd = SplitGridHeights(402, 60, 40);  // 226.5 and 75.5 round away
    EXPECT_EQ(odd.upper, 227);
    EXPECT_EQ(odd.lower, 76);
}
}  // namespace
}  // namespace DeviceListLayoutTestUnit
