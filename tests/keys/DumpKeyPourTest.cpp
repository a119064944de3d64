// Dump keys poured into an entrance: БЭКУ keys as common keys, Мирель keys
// as common keys or index by index into apartments; what is logged, what is
// not entered twice, and the panels marked for new files.

#include "KeyObjectFixture.h"
#include "keys/DumpKeyPour.h"
#include "support/QtPrinters.h"
#include "support/ScriptedDialogs.h"

#include <QDate>

namespace DumpKeyPourTestUnit {

namespace {

QString today() {
    return QDate::currentDate().toString(QStringLiteral("dd.MM.yyyy"));
}

class DumpKeyPourTest : public KeyObjectFixture {
  protected:
    DumpEntrance Entrance(int e) {
        QList<DumpEntrance> all;
        QString error;
        EXPECT_TRUE(ReadDumpEntrances(*dm_, objectId_, all, &error)) << error.toStdString();
        return all.value(e);
    }
    int CommonWithMark(int e, const QString& mark) {
        return Count("SELECT COUNT(*) FROM k_key WHERE id_kvr=-1 AND id_pod=? AND status=?",
                     {entranceIds_[e], mark + today()});
    }

    ScriptedDialogs dialogs_;
};

TEST_F(DumpKeyPourTest, EntranceLinesKeepTheirEntrance) {
    Exec("UPDATE k_dom SET house='' , kod_d='7'");  // both houses read alike now
    QList<DumpEntrance> all;
    ASSERT_TRUE(ReadDumpEntrances(*dm_, objectId_, all, nullptr));
    ASSERT_EQ(all.size(), 3);
    EXPECT_EQ(all[0].line, "дом 7 пд.№ 01");
    EXPECT_EQ(all[2].line, "дом 7 пд.№ 01");
    EXPECT_EQ(all[0].idPod.toInt(), entranceIds_[0]);
    EXPECT_EQ(all[2].idPod.toInt(), entranceIds_[2]);
    EXPECT_EQ(all[2].idDom.toInt(), houseIds_[1]);
    Exec("UPDATE k_dom SET house='', kod_d=''");
    ASSERT_TRUE(ReadDumpEntrances(*dm_, objectId_, all, nullptr));
    EXPECT_EQ(all[1].line, "пд.№ 02");
}

TEST_F(DumpKeyPourTest, BekuKeysBecomeCommonKeysOnce) {
    Exec("UPDATE k_bv SET kf_pr=3");
    Reload();
    // An apartment key of the entrance (1A000E), a new 8-digit key, an empty
    // slot, a key twice.
    const QStringList keys{"001A000E", "AB0B0C0D", "FFFFFF", "0E0F10", "0E0F10", ""};
    const DumpPourResult first = PourBekuKeys(*dm_, Entrance(1).idPod, keys);
    EXPECT_EQ(first.entered, 2);
    EXPECT_EQ(first.console, QStringList({"1A000E  стр=0001 найден", "0B0C0D  стр=0002 вписан",
                                          "0E0F10  стр=0004 вписан", "0E0F10  стр=0005 найден"}));
    EXPECT_EQ(CommonWithMark(1, "БЭКУ об "), 2);
    EXPECT_EQ(Count("SELECT COUNT(*) FROM k_key WHERE un_key='0000AB0B0C0D' AND bv_key='0B0C0D'"
                    " AND s_met='0001' AND l_ob=1"),
              1);
    EXPECT_EQ(Count("SELECT s_met FROM k_key WHERE bv_key='0E0F10'"), 2);
    EXPECT_EQ(Count("SELECT o_rky FROM k_pod WHERE id_pod=?", {entranceIds_[1]}), 5);
    EXPECT_EQ(PanelState(EntrancePanelNet(1)), 4);
    EXPECT_EQ(PanelState(EntrancePanelNet(0)), 3);

    // The same dump again enters nothing and changes no file.
    Exec("UPDATE k_bv SET kf_pr=3");
    Reload();
    const DumpPourResult second = PourBekuKeys(*dm_, Entrance(1).idPod, keys);
    EXPECT_EQ(second.entered, 0);
    EXPECT_EQ(second.console.filter("найден").size(), 4);
    EXPECT_EQ(PanelState(EntrancePanelNet(1)), 3);
}

// A pour marks every panel that rings the entrance's switch, also one that
// only rings it (plus 3); the key screen's marks leave such a panel alone.
TEST_F(DumpKeyPourTest, APourMarksThePanelsThatOnlyRingTheSwitchToo) {
    Exec("UPDATE m_bv SET plus=3 WHERE bv_type=1 AND n_pk=2");
    Exec("UPDATE k_bv SET kf_pr=3");
    Reload();
    EXPECT_EQ(PourBekuKeys(*dm_, Entrance(1).idPod, {"0B0C0D"}).entered, 1);
    EXPECT_EQ(PanelState(kGateNet), 4);
    EXPECT_EQ(PanelState(EntrancePanelNet(1)), 4);
    EXPECT_EQ(PanelState(EntrancePanelNet(0)), 3);
}

TEST_F(DumpKeyPourTest, AKeyOfAnApartmentOfTheEntranceIsNotACommonKey) {
    // 1A0001 is the first key of the first apartment of entrance 0.
    const DumpPourResult r = PourBekuKeys(*dm_, Entrance(0).idPod, {"1A0001"});
    EXPECT_EQ(r.entered, 0);
    EXPECT_EQ(Count("SELECT COUNT(*) FROM k_key WHERE bv_key='1A0001'"), 1);
}

TEST_F(DumpKeyPourTest, MirelSourceCountsTheLastIndexToo) {
    const QList<MirelKeyRow> rows{{"000001", 1}, {"000002", 1}, {"000003", 4}};
    const MirelPourSource source = MirelPourSourceOf(rows);
    EXPECT_EQ(source.indexCount, 5);
    EXPECT_EQ(source.keyCount, 3);
    EXPECT_EQ(source.firstIndex, 1);
}

TEST_F(DumpKeyPourTest, MirelIndexOneGoesToTheFifthApartment) {
    const QList<MirelKeyRow> rows{{"0A0001", 0}, {"0A0002", 1}, {"0A0003", 1},
                                  {"0A0004", 2}, {"FFFFFF", 2}, {"0A0005", 3}};
    const DumpEntrance entrance = Entrance(0);
    ASSERT_TRUE(PositionDumpEntrance(*dm_, entrance));
    const DumpPourResult r = PourMirelKeys(*dm_, entrance, rows, {false, 1, 3, 5});
    EXPECT_EQ(r.entered, 4);
    const int fifth = ApartmentId(0, 5);
    EXPECT_EQ(Count("SELECT COUNT(*) FROM k_key WHERE id_kvr=? AND status=? AND l_ob=0",
                    {fifth, QStringLiteral("Мирель кв ") + today()}),
              2);
    // Labels count what this pour entered into the apartment.
    EXPECT_EQ(Scalar("SELECT s_met FROM k_key WHERE bv_key='0A0003'").toString(), "0002");
    EXPECT_EQ(
        Count("SELECT COUNT(*) FROM k_key WHERE bv_key='0A0004' AND id_kvr=?", {ApartmentId(0, 6)}),
        1);
    EXPECT_EQ(
        Count("SELECT COUNT(*) FROM k_key WHERE bv_key='0A0005' AND id_kvr=?", {ApartmentId(0, 7)}),
        1);
    EXPECT_EQ(Count("SELECT COUNT(*) FROM k_key WHERE bv_key='0A0001'"), 0);  // below Ind_1
    EXPECT_TRUE(r.console.contains("0A0002  стр=0002 инд=1 кв=5 вписан"));
    EXPECT_EQ(Count("SELECT y_key FROM k_kvr WHERE id_kvr=?", {fifth}), 4);

    // A key the apartment holds is not entered again.
    Reload();
    ASSERT_TRUE(PositionDumpEntrance(*dm_, entrance));
    const DumpPourResult again = PourMirelKeys(*dm_, entrance, rows, {false, 1, 3, 5});
    EXPECT_EQ(again.entered, 0);
    EXPECT_TRUE(again.console.contains("0A0002  стр=0002 инд=1 кв=5 найден"));
}

// An apartment whose counters cannot be written takes no key: the pour stops,
// says so, and leaves the register as it was.
TEST_F(DumpKeyPourTest, APourWhoseCountersAreRefusedEntersNothing) {
    const QList<MirelKeyRow> rows{{"0D0001", 1}, {"0D0002", 2}};
    const DumpEntrance entrance = Entrance(0);
    ASSERT_TRUE(PositionDumpEntrance(*dm_, entrance));
    const int keys = Count("SELECT COUNT(*) FROM k_key");
    Exec(
        "CREATE TRIGGER refuse_counts BEFORE UPDATE OF y_key ON k_kvr"
        " BEGIN SELECT RAISE(ABORT, 'disk full'); END");
    dialogs_.ExpectContaining(QStringLiteral("Ошибка"), QStringLiteral("Ключи не залиты.\n"));
    const DumpPourResult r = PourMirelKeys(*dm_, entrance, rows, {false, 1, 2, 5});
    EXPECT_TRUE(r.failed);
    EXPECT_EQ(r.entered, 0);
    EXPECT_EQ(Count("SELECT COUNT(*) FROM k_key"), keys);
}

TEST_F(DumpKeyPourTest, MirelRowsOfAnIndexWithoutApartmentArePassedOver) {
    // The pour starts at index 1 while the rows start at index 2; apartment
    // 41 (the handset) is the entrance's last, 42 does not exist.
    const QList<MirelKeyRow> rows{{"0B0001", 2}, {"0B0002", 3}, {"0B0003", 4}};
    const DumpEntrance entrance = Entrance(0);
    const DumpPourResult r = PourMirelKeys(*dm_, entrance, rows, {false, 1, 4, 39});
    // Index 1 -> 39 (no rows), 2 -> 40, 3 -> 41, 4 -> 42 (none).
    EXPECT_EQ(r.entered, 2);
    EXPECT_EQ(Count("SELECT COUNT(*) FROM k_key WHERE bv_key='0B0001' AND id_kvr=?",
                    {ApartmentId(0, 40)}),
              1);
    EXPECT_TRUE(r.console.contains("0B0003  стр=0003 инд=4 кв=42 нет квартиры"));
}

TEST_F(DumpKeyPourTest, MirelCommonPourReadsTheRowsThereAre) {
    const QList<MirelKeyRow> rows{{"0C0001", 0}, {"0C0002", 0}, {"0C0003", 1}};
    const DumpEntrance entrance = Entrance(2);
    const DumpPourResult r = PourMirelKeys(*dm_, entrance, rows, {true, 0, 9, 1});
    EXPECT_EQ(r.entered, 3);
    EXPECT_EQ(CommonWithMark(2, "Мирель об "), 3);
    EXPECT_EQ(Scalar("SELECT s_met FROM k_key WHERE bv_key='0C0003'").toString(), "0003");
    EXPECT_EQ(PourMirelKeys(*dm_, entrance, rows, {true, 0, 9, 1}).entered, 0);
}

}  // namespace
}  // namespace DumpKeyPourTestUnit
