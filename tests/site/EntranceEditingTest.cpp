// The entrance screen's editing without its window: the range recount rules,
// the recount of a house on the database, the totals, the field edits and the
// flag masks.
#include "ApartmentDb.h"
#include "site/ApartmentFlags.h"
#include "site/EntranceScreen.h"

#include <gtest/gtest.h>

namespace EntranceEditingTestUnit {
namespace {

using namespace EntranceTexts;

namespace {

QList<EntranceRange> Ranges(const QList<QList<int>>& values) {
    QList<EntranceRange> out;
    for (const QList<int>& v : values) out.append({v[0], v[1], v[2]});
    return out;
}

QList<QList<int>> Values(const QList<EntranceRange>& ranges) {
    QList<QList<int>> out;
    for (const EntranceRange& r : ranges) out.append({r.first, r.last, r.count});
    return out;
}

QList<QList<int>> Recounted(const QList<QList<int>>& values, bool first, bool last, bool count) {
    QList<EntranceRange> ranges = Ranges(values);
    RecountRanges(ranges, RangeInputs{first, last, count});
    return Values(ranges);
}

}  // namespace

TEST(RangeRecount, EachEnteredValueGivesTheOthers) {
    // Lasts entered (the default).
    EXPECT_EQ(QList<QList<int>>({{1, 20, 20}, {21, 40, 20}, {41, 55, 15}}),
              Recounted({{1, 20, 0}, {1, 40, 0}, {1, 55, 0}}, false, true, false));
    // Counts entered.
    EXPECT_EQ(QList<QList<int>>({{1, 10, 10}, {11, 22, 12}}),
              Recounted({{1, 0, 10}, {1, 0, 12}}, false, false, true));
    // Firsts entered: the last entrance's last is one past the numbers given.
    EXPECT_EQ(QList<QList<int>>({{1, 30, 30}, {31, 60, 30}, {61, 61, 1}}),
              Recounted({{1, 0, 0}, {31, 0, 0}, {61, 0, 0}}, true, false, false));
    // ... or its own last, when it has one.
    EXPECT_EQ(QList<QList<int>>({{1, 30, 30}, {31, 70, 40}}),
              Recounted({{1, 0, 0}, {31, 70, 0}}, true, false, false));
    // Lasts and counts: the first goes back from the last.
    EXPECT_EQ(QList<QList<int>>({{26, 40, 15}, {0, 40, 50}}),
              Recounted({{1, 40, 15}, {1, 40, 50}}, false, true, true));
    // Firsts and counts; firsts and lasts; nothing entered; everything entered.
    EXPECT_EQ(QList<QList<int>>({{5, 14, 10}}), Recounted({{5, 0, 10}}, true, false, true));
    EXPECT_EQ(QList<QList<int>>({{5, 14, 10}, {20, 19, 0}}),
              Recounted({{5, 14, 3}, {20, 19, 3}}, true, true, false));
    EXPECT_EQ(QList<QList<int>>({{5, 14, 10}, {0, 7, 3}}),
              Recounted({{5, 14, 3}, {0, 7, 3}}, false, false, false));
    EXPECT_EQ(QList<QList<int>>({{5, 14, 3}}), Recounted({{5, 14, 3}}, true, true, true));
}

TEST(RangeRecount, OnlyEnteredNumbersMustKeepTheirOrder) {
    const QList<EntranceRange> lasts = Ranges({{1, 40, 0}, {1, 30, 0}});
    EXPECT_FALSE(RangesInOrder(lasts, RangeInputs{false, true, false}));
    EXPECT_TRUE(RangesInOrder(lasts, RangeInputs{false, false, true}));
    const QList<EntranceRange> firsts = Ranges({{31, 0, 0}, {1, 0, 0}});
    EXPECT_FALSE(RangesInOrder(firsts, RangeInputs{true, false, false}));
    EXPECT_TRUE(RangesInOrder(Ranges({{1, 40, 0}, {41, 40, 0}}), RangeInputs{true, true, false}));
}

TEST(FlagMasks, NewRowsTakeTheDefaultHalfOfBothMasks) {
    QString bv(32, QLatin1Char('0'));
    bv[17] = bv[20] = QLatin1Char('1');  // defaults of flags 2 and 5
    const auto flags = NewApartmentFlags(bv, QStringLiteral("1"));
    ASSERT_EQ(31, flags.size());
    QStringList on;
    for (const auto& f : flags)
        if (f.second) on << f.first;
    // A short console mask reads padded with "0": no default is on.
    EXPECT_EQ(QStringList({"l_otz", "f_m05"}), on);
    EXPECT_EQ(QStringLiteral("f_m16"), flags[14].first);
    EXPECT_EQ(QStringLiteral("l_pnp"), flags[15].first);
    EXPECT_EQ(QStringLiteral("f_p16"), flags[30].first);
}

TEST(FlagMasks, StoredAndDefaultChecksEncodeIntoTheirHalves) {
    FlagMaskList bv(FlagMaskKind::CallPanel);
    QStringList names;
    for (int k = 1; k <= 18; ++k) names << QStringLiteral("флаг %1").arg(k);
    bv.Load(names, QString());
    // Only the first 16 flag names take part.
    ASSERT_EQ(16, bv.Count());
    bv.SetStored(2, true);
    bv.SetDefault(4, true);
    QString expected(32, QLatin1Char('0'));
    expected[2] = expected[20] = QLatin1Char('1');
    EXPECT_EQ(expected, bv.Mask());
}

TEST(FlagMasks, AStoredFlagLocksItsDefaultAndTheFirstCallPanelDefaultIsAlwaysLocked) {
    FlagMaskList bv(FlagMaskKind::CallPanel);
    bv.Load({"Прямой вызов", "Отзвонка", "третий"},
            QStringLiteral("01000000000000000010000000000000"));
    ASSERT_EQ(bv.Items().size(), 3);
    EXPECT_FALSE(bv.Items()[0].defaultEnabled);
    EXPECT_FALSE(bv.Items()[1].defaultEnabled);  // stored
    EXPECT_TRUE(bv.Items()[2].defaultEnabled);
    EXPECT_TRUE(bv.Items()[2].byDefault);
    // A locked default cannot be ticked.
    bv.SetDefault(1, true);
    EXPECT_FALSE(bv.Items()[1].byDefault);
    // Clearing a stored flag frees its default and keeps its mark.
    bv.SetStored(1, false);
    EXPECT_TRUE(bv.Items()[1].defaultEnabled);
    // Clearing the first one switches its default on, still locked.
    bv.SetStored(0, true);
    bv.SetStored(0, false);
    EXPECT_TRUE(bv.Items()[0].byDefault);
    EXPECT_FALSE(bv.Items()[0].defaultEnabled);

    FlagMaskList po(FlagMaskKind::Console);
    po.Load({"Перенаправление вызова"}, QString());
    ASSERT_EQ(po.Items().size(), 1);
    EXPECT_TRUE(po.Items()[0].defaultEnabled);
    po.SetStored(0, true);
    po.SetStored(0, false);
    EXPECT_FALSE(po.Items()[0].byDefault);
}

// ---------------------------------------------------------------- on the database

class EntranceEditing : public ApartmentDb {
  protected:
    qint64 FirstHouse(qint64 idNet) { return HouseIds(idNet)[0]; }
    QStringList RangesOf(qint64 idDom) {
        return Rows("SELECT n1kvr, npkvr, v_kvr FROM k_pod WHERE id_dom=? ORDER BY n_pod", {idDom});
    }
    RangeRecountOutcome Recount(qint64 idDom, RangeInputs inputs = {}) {
        dialogs_.Expect(kRecountCaption, kRecountQuestion, DlgAnswer::Yes);
        return screen_.RecountHouseRanges(idDom, inputs);
    }
    EntranceScreen screen_;
};

TEST_F(EntranceEditing, TheRecountWritesTheHouseAndMovesTheStateWhenCountsNoLongerMatch) {
    const qint64 idNet = BuildReference();
    const qint64 idDom = FirstHouse(idNet);
    const QList<qint64> pods = EntranceIds(idNet);
    ASSERT_FALSE(pods.isEmpty());
    EXPECT_TRUE(screen_.SetEntranceField(pods[0], "npkvr", "20"));
    EXPECT_TRUE(screen_.SetEntranceField(pods[1], "npkvr", "55"));
    SetState(idNet, "закрыто");
    const RangeRecountOutcome out = Recount(idDom);
    EXPECT_TRUE(out.ran);
    EXPECT_TRUE(out.countsDiffer);
    EXPECT_EQ(QStringList({"1|20|20", "21|55|35"}), RangesOf(idDom));
    EXPECT_EQ("закр+сохр", State(idNet));
    EXPECT_EQ("закр+сохр", dm_.Q_Net->FieldByName("st_net").AsString());
    // The other house is not touched.
    EXPECT_EQ(QStringList({"0|0|0"}), RangesOf(HouseIds(idNet)[1]));
}

TEST_F(EntranceEditing, NoAtTheQuestionAndAnOrderViolationLeaveTheRangesAlone) {
    const qint64 idNet = BuildApartments();
    const qint64 idDom = FirstHouse(idNet);
    const QList<qint64> pods = EntranceIds(idNet);
    dialogs_.Expect(kRecountCaption, kRecountQuestion, DlgAnswer::No);
    EXPECT_FALSE(screen_.RecountHouseRanges(idDom, {}).ran);

    Sql("UPDATE k_pod SET npkvr=30 WHERE id_pod=?", {pods[1]});
    SetState(idNet, "введено");
    dialogs_.Expect(kRecountCaption, kRecountQuestion, DlgAnswer::Yes);
    dialogs_.Expect(kOrderCaption, kOrderViolation);
    const RangeRecountOutcome out = screen_.RecountHouseRanges(idDom, {});
    EXPECT_TRUE(out.orderViolated);
    EXPECT_EQ(QStringList({"1|40|40", "41|30|40"}), RangesOf(idDom));
    EXPECT_EQ("введено", State(idNet));
}

TEST_F(EntranceEditing, AHotelEntranceLosesItsRangeAndKeepsItsCount) {
    ReferenceObjectOptions o;
    o.houses = {{QStringLiteral("1"), 1}};
    const qint64 idNet = BuildReference(o);
    const qint64 pod = FirstEntranceId(idNet);
    Sql("UPDATE k_pod SET type_n=1, n1kvr=3, npkvr=9, v_kvr=6 WHERE id_pod=?", {pod});
    const RangeRecountOutcome out = Recount(FirstHouse(idNet));
    EXPECT_TRUE(out.countsDiffer);  // six apartments, no rows yet
    EXPECT_EQ(QStringList({"0|0|6"}), RangesOf(FirstHouse(idNet)));
}

TEST_F(EntranceEditing, CountsFollowTheRowsAndTotalsSumThem) {
    const qint64 idNet = BuildApartments();
    const qint64 idDom = FirstHouse(idNet);
    EXPECT_EQ("80", screen_.Totals(idDom).house);
    EXPECT_EQ("120", screen_.Totals(idDom).object);
    Sql("UPDATE k_pod SET v_kvr=3");
    EXPECT_TRUE(screen_.RecountApartmentCounts());
    EXPECT_EQ(QStringList({"40", "40", "40"}), Rows("SELECT v_kvr FROM k_pod ORDER BY id_pod"));
    // A house without entrances sums to nothing.
    EXPECT_EQ(QString(), screen_.Totals(-5).house);
}

TEST_F(EntranceEditing, FieldEditsAreCheckedAndKeepTheCurrentEntrance) {
    const qint64 idNet = BuildReference();
    const QList<qint64> pods = EntranceIds(idNet);
    dm_.Q_DPd->First();
    EXPECT_TRUE(screen_.SetEntranceField(pods[1], "nm_pod", QString(40, QChar(u'Щ'))));
    EXPECT_EQ(1, dm_.Q_DPd->RecNo());
    EXPECT_EQ(QString(30, QChar(u'Щ')),
              One("SELECT nm_pod FROM k_pod WHERE id_pod=?", {pods[1]}).toString());
    ASSERT_FALSE(pods.isEmpty());
    EXPECT_FALSE(screen_.SetEntranceField(pods[0], "n1kvr", "-3"));
    EXPECT_FALSE(screen_.SetEntranceField(pods[0], "n1kvr", "40000"));
    EXPECT_FALSE(screen_.SetEntranceField(pods[0], "id_net", "1"));
    EXPECT_TRUE(screen_.SetEntranceField(pods[0], "n1kvr", ""));
    EXPECT_TRUE(One("SELECT n1kvr FROM k_pod WHERE id_pod=?", {pods[0]}).isNull());
    EXPECT_TRUE(screen_.SetHouseName(FirstHouse(idNet), "Корпус 'А'"));
    EXPECT_EQ("Корпус 'А'", One("SELECT house FROM k_dom WHERE id_dom=?", {FirstHouse(idNet)}));
}

TEST_F(EntranceEditing, MasksAreStoredPaddedAndTheQuotaDefaultsToFour) {
    const qint64 idNet = BuildReference();
    EXPECT_EQ(4, screen_.KeysPerApartment());  // a new object's
    Sql("UPDATE k_net SET v_key=0 WHERE id_net=?", {idNet});
    dm_.Q_Net->Reopen();
    EXPECT_EQ(0, screen_.KeysPerApartment());
    Sql("UPDATE k_net SET v_key=NULL WHERE id_net=?", {idNet});
    dm_.Q_Net->Reopen();
    EXPECT_EQ(4, screen_.KeysPerApartment());
    EXPECT_EQ(QStringList({"Прямой вызов", "Отзвонка"}), screen_.FlagNames("БВ"));
    EXPECT_TRUE(screen_.SaveFlagMasks("001", "1"));
    EXPECT_EQ(QStringList({"00100000000000000000000000000000|10000000000000000000000000000000"}),
              Rows("SELECT flbv, flpo FROM k_net WHERE id_net=?", {idNet}));
}
}  // namespace
}  // namespace EntranceEditingTestUnit
