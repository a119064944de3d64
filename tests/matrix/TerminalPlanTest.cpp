#include "foundation/TerminalDistribution.h"
#include "support/QtPrinters.h"

#include <gtest/gtest.h>

namespace TerminalPlanTestUnit {

namespace {

QList<int> Seq(int from, int to) {
    QList<int> out;
    for (int i = from; i <= to; ++i) out << i;
    return out;
}

TEST(TerminalPlan, HundredsWrapAfterNinetyNine) {
    const TerminalPlan p = DistributeTerminals(0, 1, 120, {});
    EXPECT_EQ(p.terminals.mid(0, 99), Seq(1, 99));
    EXPECT_EQ(p.terminals[99], 0);
    EXPECT_EQ(p.terminals.mid(100), Seq(101, 120));
    EXPECT_EQ(p.count, 121);
    // Mode 1 numbers the same way.
    EXPECT_EQ(DistributeTerminals(1, 1, 120, {}).terminals, p.terminals);
}

TEST(TerminalPlan, SecondHundredEndsOnHundred) {
    const TerminalPlan p = DistributeTerminals(0, 1, 201, {});
    EXPECT_EQ(p.terminals[198], 199);
    EXPECT_EQ(p.terminals[199], 100);
    EXPECT_EQ(p.terminals[200], 201);
    EXPECT_EQ(p.count, 202);
}

TEST(TerminalPlan, NoTerminalsMode) {
    const TerminalPlan p = DistributeTerminals(3, 1, 7, {{0, 3}});
    EXPECT_EQ(p.terminals, QList<int>(7, 0));
    EXPECT_EQ(p.count, 8);
    EXPECT_EQ(SwitchTypeForMode(3), "Lusk");
    EXPECT_EQ(SwitchTypeForMode(0), QString::fromUtf8("Торвин"));
    EXPECT_EQ(SwitchTypeForMode(2), QString::fromUtf8("Торвин"));
}

TEST(TerminalPlan, RangesSkipAndFill) {
    // Skip 2, use 3; skip 10, use 2; the rest follow on.
    const TerminalPlan p = DistributeTerminals(2, 1, 7, {{2, 3}, {10, 2}});
    EXPECT_EQ(p.terminals, (QList<int>{3, 4, 5, 16, 17, 18, 19}));
    EXPECT_EQ(p.count, 20);
    // A range over terminal 100 stores it as 0.
    const TerminalPlan wrap = DistributeTerminals(2, 1, 3, {{98, 5}});
    EXPECT_EQ(wrap.terminals, (QList<int>{99, 0, 101}));
    // Fewer apartments than terminals in the ranges.
    EXPECT_EQ(DistributeTerminals(2, 1, 1, {{0, 5}}).count, 2);
}

// So many ranges of so many skipped terminals that their sum passes what an
// int holds: the terminals stop at its top rather than turn negative.
TEST(TerminalPlan, RangesPastWhatANumberHoldsStopAtItsTop) {
    const QList<TerminalRange> ranges(40000, TerminalRange{65535, 1});
    const TerminalPlan p = DistributeTerminals(2, 1, 40001, ranges);
    ASSERT_EQ(p.terminals.size(), 40001);
    EXPECT_EQ(p.terminals[0], 65536);
    EXPECT_EQ(p.terminals.last(), 2147483647);
    EXPECT_EQ(p.count, 2147483647);
    for (int t : p.terminals) ASSERT_GT(t, 0);
}

TEST(TerminalPlan, UnknownModeGivesNothing) {
    EXPECT_TRUE(DistributeTerminals(-1, 1, 5, {}).terminals.isEmpty());
    EXPECT_EQ(FirstTerminalFromApartment(150), 50);
    EXPECT_EQ(FirstTerminalFromApartment(100), 100);
    EXPECT_EQ(FirstTerminalFromApartment(7), 7);
}

EntranceApartments Entrance(int n1, int np, int vKvr, QList<int> pNoms, int count) {
    return {0, n1, np, vKvr, pNoms, count};
}

TEST(ApartmentChecks, NumberingAndTheEntranceWithoutRange) {
    EXPECT_TRUE(ApartmentNumberingOk({Entrance(1, 3, 3, {1, 2, 3}, 3)}));
    EXPECT_FALSE(ApartmentNumberingOk({Entrance(1, 3, 3, {1, 3, 4}, 3)}));
    // n1kvr 1, npkvr 0 forgives its own numbering ...
    EXPECT_TRUE(ApartmentNumberingOk({Entrance(1, 0, 0, {2, 5}, 2), Entrance(1, 2, 2, {1, 2}, 2)}));
    // ... but not a later entrance's.
    EXPECT_FALSE(ApartmentNumberingOk({Entrance(1, 0, 0, {2}, 1), Entrance(1, 2, 2, {1, 1}, 2)}));
    // A wrong entrance before it stops the walk.
    EXPECT_FALSE(ApartmentNumberingOk({Entrance(1, 2, 2, {2, 1}, 2), Entrance(1, 0, 0, {}, 0)}));
}

TEST(ApartmentChecks, CountsByKind) {
    const QList<EntranceApartments> es{Entrance(1, 10, 10, {}, 9), Entrance(11, 20, 9, {}, 9),
                                       Entrance(1, 0, 0, {}, 0)};
    const auto byRows = ApartmentCountMismatches(es, 1);
    ASSERT_EQ(byRows.size(), 1);
    EXPECT_EQ(byRows[0].count, 9);
    const auto byRange = ApartmentCountMismatches(es, 2);
    ASSERT_EQ(byRange.size(), 1);
    EXPECT_EQ(byRange[0].count, 10);
}

}  // namespace
}  // namespace TerminalPlanTestUnit
