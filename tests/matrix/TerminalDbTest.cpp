#include "foundation/TerminalDistribution.h"
#include "matrix/MatrDb.h"
#include "support/QtPrinters.h"
#include "support/TestDatabase.h"

#include <gtest/gtest.h>

namespace TerminalDbTestUnit {
namespace {

using namespace matrtest;

namespace {

class TerminalDb : public ::testing::Test {
  protected:
    void SetUp() override {
        db = fixture.open();
        AddObject(db, 5, 1, 0, S("сохранено"));
        idPod = Sql(db,
                    "INSERT INTO k_pod (id_net, id_dom, n_pod, n1kvr, npkvr, v_kvr) "
                    "VALUES (5, 1, 1, 1, 0, 0)")
                    .lastInsertId()
                    .toLongLong();
        idPk = Sql(db,
                   "INSERT INTO k_pk (id_pod, id_net, n_net, kf_pr, ah, type_k) "
                   "VALUES (?, 5, 1, 1, 7, 'x')",
                   {idPod})
                   .lastInsertId()
                   .toLongLong();
    }

    void AddApartments(int count, int handsets = 0) {
        for (int i = 1; i <= count + handsets; ++i)
            Sql(db,
                "INSERT INTO k_kvr (id_net, id_pod, p_nom, n_kvr, l_trub, p_pk) "
                "VALUES (5, ?, ?, ?, ?, -1)",
                {idPod, i, QString::number(i), i > count ? 1 : 0});
    }
    void AddRange(int nNul, int nFul) {
        Sql(db, "INSERT INTO t_dip (id_pk, id_net, n_nul, n_ful) VALUES (?, 5, ?, ?)",
            {idPk, nNul, nFul});
    }
    QList<int> Terminals() {
        QList<int> out;
        QSqlQuery q = Sql(db, "SELECT p_pk FROM k_kvr WHERE id_pod=? ORDER BY p_nom", {idPod});
        while (q.next()) out << q.value(0).toInt();
        return out;
    }
    QVariant Switch(const char* column) {
        return One(db, QString("SELECT %1 FROM k_pk WHERE id_pk=?").arg(column), {idPk});
    }
    int Ranges() { return One(db, "SELECT COUNT(*) FROM t_dip WHERE id_pk=?", {idPk}).toInt(); }

    TestDatabase fixture;
    QSqlDatabase db;
    qint64 idPod = 0;
    qint64 idPk = 0;
};

TEST_F(TerminalDb, HundredsModeWritesTerminalsAndTheSwitchRow) {
    AddApartments(120);
    AddRange(0, 10);
    const TerminalResult r = AssignTerminals(db, idPk, 0, 1);
    ASSERT_TRUE(r.ok) << r.error.toStdString();
    const QList<int> t = Terminals();
    ASSERT_EQ(t.size(), 120);
    EXPECT_EQ(t[0], 1);
    EXPECT_EQ(t[98], 99);
    EXPECT_EQ(t[99], 0);
    EXPECT_EQ(t[100], 101);
    EXPECT_EQ(t[119], 120);
    EXPECT_EQ(Switch("n_xl").toInt(), 121);
    EXPECT_EQ(Switch("p_fc").toInt(), 1);
    EXPECT_EQ(Switch("type_f").toInt(), 0);
    EXPECT_EQ(Switch("type_k").toString(), S("Торвин"));
    EXPECT_EQ(Switch("kf_pr").toInt(), 2);  // edited after its file was made
    EXPECT_EQ(Switch("ah").toInt(), 7);
    EXPECT_EQ(Ranges(), 0);
}

TEST_F(TerminalDb, FloorSwitchModeClearsEveryTerminal) {
    AddApartments(6, 2);
    AddRange(0, 10);
    ASSERT_TRUE(AssignTerminals(db, idPk, 3, 1).ok);
    EXPECT_EQ(Terminals(), QList<int>(8, 0));
    EXPECT_EQ(Switch("n_xl").toInt(), 9);
    EXPECT_EQ(Switch("type_k").toString(), "Lusk");
    EXPECT_EQ(Switch("ah").toInt(), 0);
    EXPECT_EQ(Switch("type_f").toInt(), 3);
    EXPECT_EQ(Ranges(), 1);  // only modes 0 and 1 drop the ranges
}

TEST_F(TerminalDb, RangesThenRecountFromOwnSettingsDropsThem) {
    AddApartments(5);
    AddRange(2, 2);
    AddRange(3, 1);
    ASSERT_TRUE(AssignTerminals(db, idPk, 2, 1).ok);
    EXPECT_EQ(Terminals(), (QList<int>{3, 4, 8, 9, 10}));
    EXPECT_EQ(Switch("n_xl").toInt(), 11);
    EXPECT_EQ(Switch("type_f").toInt(), 2);
    EXPECT_EQ(Ranges(), 2);

    // Kind 1 turns mode 2 into mode 1 and so numbers by hundreds from p_fc.
    ASSERT_TRUE(RecountTerminals(db, idPk, 1, 0).ok);
    EXPECT_EQ(Switch("type_f").toInt(), 1);
    EXPECT_EQ(Terminals(), (QList<int>{1, 2, 3, 4, 5}));
    EXPECT_EQ(Ranges(), 0);
}

TEST_F(TerminalDb, RecountChoosesTheFirstTerminal) {
    AddApartments(3);
    Sql(db, "UPDATE k_pod SET n1kvr=150 WHERE id_pod=?", {idPod});
    // Kind 1 without a stored first terminal: the entrance's first apartment, last two digits.
    ASSERT_TRUE(RecountTerminals(db, idPk, 1, 3).ok);
    EXPECT_EQ(Terminals(), (QList<int>{50, 51, 52}));
    EXPECT_EQ(Switch("p_fc").toInt(), 50);

    // Kind 2, mode 1: the switch's ai when set.
    Sql(db, "UPDATE k_pk SET ai=20 WHERE id_pk=?", {idPk});
    ASSERT_TRUE(RecountTerminals(db, idPk, 2, 1).ok);
    EXPECT_EQ(Terminals(), (QList<int>{20, 21, 22}));
    // Kind 2, mode 0: always from 1.
    ASSERT_TRUE(RecountTerminals(db, idPk, 2, 0).ok);
    EXPECT_EQ(Terminals(), (QList<int>{1, 2, 3}));
}

// A hotel recount starts at the switch's ai: of any number the file holds,
// the first terminal stays within those a switch counts.
TEST_F(TerminalDb, AHotelRecountFromAnAiOfAnyNumberStartsWithinTheTerminals) {
    AddApartments(2);
    for (const char* stored : {"2147483647", "9223372036854775807", "65535"}) {
        SCOPED_TRACE(stored);
        Sql(db, QStringLiteral("UPDATE k_pk SET ai=%1 WHERE id_pk=?").arg(QLatin1String(stored)),
            {idPk});
        ASSERT_TRUE(RecountTerminals(db, idPk, 2, 1).ok);
        EXPECT_EQ(Terminals(), (QList<int>{65535, 65536}));
    }
}

TEST_F(TerminalDb, RecountByRangesMakesOneRangeOverTheEntrance) {
    AddApartments(4, 1);
    AddRange(7, 1);
    ASSERT_TRUE(RecountTerminals(db, idPk, 2, 2).ok);
    EXPECT_EQ(Ranges(), 1);
    EXPECT_EQ(One(db, "SELECT n_ful FROM t_dip WHERE id_pk=?", {idPk}).toInt(), 5);
    EXPECT_EQ(One(db, "SELECT n_nul FROM t_dip WHERE id_pk=?", {idPk}).toInt(), 0);
    EXPECT_EQ(Terminals(), (QList<int>{1, 2, 3, 4, 5}));
}

TEST_F(TerminalDb, BadArgumentsChangeNothing) {
    AddApartments(2);
    EXPECT_FALSE(AssignTerminals(db, idPk, 4, 1).ok);
    EXPECT_FALSE(AssignTerminals(db, idPk + 100, 0, 1).ok);
    EXPECT_FALSE(RecountTerminals(db, idPk, 3, 0).ok);
    EXPECT_FALSE(RecountTerminals(db, idPk, 2, -1).ok);  // no rule chosen
    EXPECT_EQ(Terminals(), (QList<int>{-1, -1}));
    EXPECT_EQ(Switch("kf_pr").toInt(), 1);
}

TEST_F(TerminalDb, NumberingAndCountChecks) {
    AddApartments(3, 1);
    // n1kvr 1 and npkvr 0 (set up so) forgive a broken numbering.
    Sql(db, "UPDATE k_kvr SET p_nom=7 WHERE p_nom=2 AND id_pod=?", {idPod});
    EXPECT_TRUE(CheckApartmentNumbering(db, 5));
    Sql(db, "UPDATE k_pod SET npkvr=3 WHERE id_pod=?", {idPod});
    EXPECT_FALSE(CheckApartmentNumbering(db, 5));
    Sql(db, "UPDATE k_kvr SET p_nom=2 WHERE p_nom=7 AND id_pod=?", {idPod});
    EXPECT_TRUE(CheckApartmentNumbering(db, 5));

    // v_kvr 0, three apartments and a handset.
    EXPECT_FALSE(CheckApartmentCounts(db, 5, 1, false));
    EXPECT_TRUE(CheckApartmentCounts(db, 5, 1, true));
    EXPECT_EQ(One(db, "SELECT v_kvr FROM k_pod WHERE id_pod=?", {idPod}).toInt(), 3);
    EXPECT_TRUE(CheckApartmentCounts(db, 5, 1, false));
    // By the apartment range 1..3 it is right too; 1..5 is not, and is fixed.
    EXPECT_TRUE(CheckApartmentCounts(db, 5, 2, false));
    Sql(db, "UPDATE k_pod SET npkvr=5 WHERE id_pod=?", {idPod});
    EXPECT_FALSE(CheckApartmentCounts(db, 5, 2, false));
    EXPECT_TRUE(CheckApartmentCounts(db, 5, 2, true));
    EXPECT_EQ(One(db, "SELECT v_kvr FROM k_pod WHERE id_pod=?", {idPod}).toInt(), 5);
}

}  // namespace
}  // namespace
}  // namespace TerminalDbTestUnit
