// The pour conditions' fields and their cascading rules, without a window.

#include "keys/KeyPourConditions.h"
#include "support/QtPrinters.h"

#include <gtest/gtest.h>

namespace KeyPourConditionsTestUnit {

namespace {

using F = PourField;

// An entrance whose first handsets rows are handsets, then apartments
// numbered from 41.
PourEntrance entrance(int apartments, int handsets = 0) {
    PourEntrance e;
    e.apartments = apartments;
    e.firstNumber = 41;
    e.lastNumber = 40 + apartments;
    for (int i = 0; i < handsets + apartments; ++i) {
        const bool handset = i < handsets;
        e.rows << PourApartment{
            i + 1, handset ? QStringLiteral("трубка") : QString::number(41 + i - handsets),
            handset};
    }
    return e;
}

class PourConditionsTest : public ::testing::Test {
  protected:
    // The caller's order: the file's counts and the first index, then the showing.
    void Show(int indexes, int keys, int firstIndex, const PourEntrance& pod) {
        pour_.SetEntrance(pod);
        pour_.Set(F::KolIndIsx, indexes);
        pour_.Set(F::KolKeys, keys);
        pour_.Set(F::Ind_1, firstIndex);
        pour_.Activate();
    }
    int V(PourField f) const { return pour_.Value(f); }

    KeyPourConditions pour_;
};

TEST_F(PourConditionsTest, MoreIndexesThanApartmentsFillTheEntrance) {
    Show(30, 25, 1, entrance(20));
    EXPECT_EQ(V(F::Ind_po), 20);
    EXPECT_EQ(V(F::KolIndItog), 20);
    EXPECT_EQ(V(F::Kv_n1), 1);
    EXPECT_EQ(V(F::Kv_np), 20);
    EXPECT_EQ(V(F::KolKvItog), 20);
    EXPECT_EQ(V(F::KolKvIsx), 20);
    EXPECT_EQ(V(F::Kv_c), 41);
    EXPECT_EQ(V(F::Kv_po), 60);
    EXPECT_EQ(pour_.KvEn1(), QStringLiteral("41"));
    EXPECT_EQ(pour_.KvEnp(), QStringLiteral("60"));
    EXPECT_TRUE(pour_.Computed());
}

TEST_F(PourConditionsTest, FewerIndexesLeaveRoomToMoveTheFirstApartment) {
    Show(10, 8, 0, entrance(20));
    EXPECT_EQ(V(F::Ind_po), 9);
    EXPECT_EQ(V(F::KolIndItog), 10);
    EXPECT_EQ(V(F::Kv_n1), 1);
    EXPECT_EQ(V(F::Kv_np), 10);
    EXPECT_EQ(pour_.Maximum(F::Kv_n1), 11);

    pour_.Set(F::Kv_n1, 4);
    EXPECT_EQ(V(F::Kv_np), 13);
    EXPECT_EQ(V(F::Ind_po), 9);
    EXPECT_EQ(pour_.KvEn1(), QStringLiteral("44"));
    EXPECT_EQ(pour_.KvEnp(), QStringLiteral("53"));

    pour_.Set(F::Kv_n1, 15);  // typed beyond the room left
    EXPECT_EQ(V(F::Kv_n1), 11);
    EXPECT_EQ(V(F::Kv_np), 20);
    EXPECT_EQ(V(F::KolKvItog), 10);
}

TEST_F(PourConditionsTest, HandsetsAreNotCountedAsApartmentsToWrite) {
    Show(10, 8, 0, entrance(20, 2));
    EXPECT_EQ(V(F::KolKvItog), 8);
    EXPECT_EQ(V(F::Ind_po), 7);
    EXPECT_EQ(V(F::KolIndItog), 8);
    EXPECT_EQ(pour_.KvEn1(), QStringLiteral("трубка"));
}

TEST_F(PourConditionsTest, IndexesKeepTheirOrderAndLeavingThemMovesTheApartments) {
    Show(10, 8, 0, entrance(20));
    pour_.Set(F::Ind_po, 0);  // not above the first: becomes the first
    EXPECT_EQ(V(F::Ind_po), 0);
    EXPECT_EQ(V(F::KolIndItog), 1);
    pour_.Set(F::Ind_po, 5);
    pour_.IndexLeft();
    EXPECT_EQ(V(F::KolIndItog), 6);
    EXPECT_EQ(pour_.Maximum(F::Kv_n1), 15);
    EXPECT_EQ(V(F::Kv_np), 6);

    // A new first index takes the last as far as the file allows.
    pour_.Set(F::Ind_1, 4);
    EXPECT_EQ(V(F::Ind_po), 9);
    EXPECT_EQ(V(F::KolIndItog), 6);
}

TEST_F(PourConditionsTest, CommonKeysCountTheFileKeysOnly) {
    Show(30, 25, 1, entrance(20));
    pour_.SetCommon(true);
    EXPECT_TRUE(pour_.Common());
    EXPECT_EQ(V(F::Ind_po), 25);
    EXPECT_EQ(V(F::KolIndItog), 25);
    EXPECT_EQ(pour_.Maximum(F::Ind_1), 25);

    // The rows run 1..KolKeys: the last row stays within reach.
    pour_.Set(F::Ind_1, 2);
    EXPECT_EQ(V(F::Ind_po), 25);
    EXPECT_EQ(V(F::KolIndItog), 24);
    pour_.Set(F::Ind_1, 1);
    EXPECT_EQ(V(F::Ind_po), 25);
    EXPECT_EQ(V(F::KolIndItog), 25);

    // Every showing computes again from the caller's values; the box stays.
    pour_.Finish();
    Show(12, 10, 1, entrance(20));
    EXPECT_TRUE(pour_.Common());
    EXPECT_EQ(V(F::Ind_po), 10);
    pour_.SetCommon(false);
    EXPECT_EQ(V(F::Ind_po), 11);
    EXPECT_EQ(V(F::KolIndItog), 11);
}

TEST_F(PourConditionsTest, AnEntranceWithoutApartmentsComputesWithoutThem) {
    Show(10, 8, 0, PourEntrance{});
    EXPECT_EQ(V(F::KolKvIsx), 0);
    EXPECT_EQ(V(F::KolKvItog), 0);
    EXPECT_EQ(pour_.KvEn1(), QString());
}

}  // namespace
}  // namespace KeyPourConditionsTestUnit
