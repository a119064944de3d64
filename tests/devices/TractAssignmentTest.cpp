#include "DeviceFixture.h"
#include "devices/TractAssignment.h"
#include "support/QtPrinters.h"
#include "support/ScriptedDialogs.h"

#include <gtest/gtest.h>
#include <QRandomGenerator>

namespace TractAssignmentTestUnit {
namespace {

const QString kTooManyDoors =
    QStringLiteral("Не предусмотрено количество дверей в подъезде больше 7 при наличии калиток.");

QList<TractPanel> Panels(int count, int firstNumber, const QList<int>& tracts = {}) {
    QList<TractPanel> panels;
    for (int i = 0; i < count; ++i)
        panels.append({i + 1, firstNumber + i, tracts.value(i, 0), 0, 0});
    return panels;
}

QList<WiredTract> Wired(const QList<TractPanel>& entrances, const QList<TractPanel>& gates) {
    QList<WiredTract> wired;
    for (const TractPanel& p : entrances) wired.append({0, p.tract});
    for (const TractPanel& p : gates) wired.append({1, p.tract});
    return wired;
}

TractPlan Plan(const QList<TractPanel>& entrances, const QList<TractPanel>& gates,
               int kolTractPK = 8) {
    return PlanTracts(entrances, gates, Wired(entrances, gates), kolTractPK);
}

// "tract/mk_bv/mk_po" per panel.
QStringList Shown(const QList<TractPanel>& panels) {
    QStringList shown;
    for (const TractPanel& p : panels)
        shown << QStringLiteral("%1/%2/%3").arg(p.tract).arg(p.mkBv).arg(p.mkPo);
    return shown;
}

TEST(TractPlan, SixDoorsAndFourGatesShareTheSeventhTractAndOnlyTheFirstGateKeepsMasks) {
    const TractPlan plan = Plan(Panels(6, 5), Panels(4, 1));
    ASSERT_FALSE(plan.refused);
    EXPECT_EQ((QStringList{"1/1/1", "2/1/1", "3/1/1", "4/1/1", "5/1/1", "6/1/1"}),
              Shown(plan.entrances));
    EXPECT_EQ((QStringList{"7/1/1", "7/0/0", "7/0/0", "7/0/0"}), Shown(plan.gates));
}

TEST(TractPlan, TwoDoorsAndTwoGatesTakeOneTractEach) {
    const TractPlan plan = Plan(Panels(2, 3), Panels(2, 1));
    EXPECT_EQ((QStringList{"1/1/1", "2/1/1"}), Shown(plan.entrances));
    EXPECT_EQ((QStringList{"3/1/1", "4/1/1"}), Shown(plan.gates));
}

TEST(TractPlan, EightDoorsFillTheSwitchButNotWithAGate) {
    const TractPlan alone = Plan(Panels(8, 2), {});
    EXPECT_FALSE(alone.refused);
    ASSERT_FALSE(alone.entrances.isEmpty());
    EXPECT_EQ(8, alone.entrances.last().tract);

    const TractPlan withGate = Plan(Panels(8, 2), Panels(1, 1));
    EXPECT_TRUE(withGate.refused);
    EXPECT_EQ(QStringLiteral("Для БВ02."), withGate.caption);
    EXPECT_EQ(kTooManyDoors, withGate.text);
    EXPECT_EQ(Shown(Panels(8, 2)), Shown(withGate.entrances));
}

TEST(TractPlan, SevenDoorsAndSeveralGatesStayWithinTheSwitchsTracts) {
    const TractPlan plan = Plan(Panels(7, 3), Panels(3, 1));
    ASSERT_FALSE(plan.entrances.isEmpty());
    EXPECT_EQ(7, plan.entrances.last().tract);
    EXPECT_EQ((QStringList{"8/1/1", "8/0/0", "8/0/0"}), Shown(plan.gates));
}

TEST(TractPlan, PanelsWithTractsKeepThemAndTheirTractsAreSkipped) {
    const TractPlan unchanged = Plan(Panels(2, 3, {2, 1}), Panels(1, 1, {5}));
    EXPECT_EQ((QStringList{"2/0/0", "1/0/0"}), Shown(unchanged.entrances));
    EXPECT_EQ((QStringList{"5/0/0"}), Shown(unchanged.gates));

    // Tract 1 is held by the second door: the first takes 2, and the search
    // moves on one tract for every door, given a tract or not.
    const TractPlan partial = Plan(Panels(3, 3, {0, 1, 0}), Panels(1, 1));
    EXPECT_EQ((QStringList{"2/1/1", "1/0/0", "4/1/1"}), Shown(partial.entrances));
    EXPECT_EQ((QStringList{"5/1/1"}), Shown(partial.gates));
}

TEST(TractPlan, NoTractIsEverAboveTheSwitchsTractCount) {
    QRandomGenerator random(20240607);
    for (int round = 0; round < 3000; ++round) {
        const int kol = random.bounded(1, 17);
        const int doors = random.bounded(0, 10);
        const int gates = random.bounded(0, 6);
        QList<int> held;
        for (int i = 0; i < doors + gates; ++i)
            held << (random.bounded(3) == 0 ? random.bounded(1, 13) : 0);
        const QList<TractPanel> e = Panels(doors, gates + 1, held.mid(0, doors));
        const QList<TractPanel> g = Panels(gates, 1, held.mid(doors));
        const TractPlan plan = Plan(e, g, kol);
        const QList<TractPanel> before = e + g;
        const QList<TractPanel> after = plan.entrances + plan.gates;
        for (int i = 0; i < after.size(); ++i) {
            if (before[i].tract != 0) {
                EXPECT_EQ(before[i].tract, after[i].tract);  // never reassigned
                continue;
            }
            EXPECT_LE(after[i].tract, kol)
                << "kol " << kol << " doors " << doors << " gates " << gates << " panel " << i;
        }
    }
}

namespace {

class Tracts : public DeviceFixture {
  protected:
    QStringList Column(int nPk, qint64 idNet = 1) {
        QStringList shown;
        QSqlQuery q(Db());
        q.prepare(
            "SELECT n_nt0, tract, mk_bv, mk_po FROM m_bv WHERE id_net=? AND n_pk=? "
            "ORDER BY bv_type, n_bv");
        q.addBindValue(idNet);
        q.addBindValue(nPk);
        EXPECT_TRUE(q.exec());
        while (q.next())
            shown << QStringLiteral("%1:%2/%3/%4")
                         .arg(q.value(0).toInt())
                         .arg(q.value(1).toInt())
                         .arg(q.value(2).toInt())
                         .arg(q.value(3).toInt());
        return shown;
    }
    // A fourth column on object 1 with doors and gates of its own.
    void AddBigSwitch(int doors, int gates) {
        Exec("INSERT INTO k_pod (id_pod, id_net, id_dom, n_pod, v_dvr) VALUES (9, 1, 2, 2, ?)",
             {doors});
        AddSwitch(9, 1, 9, 2, 2, 4, 4, 1, doors, gates);
        for (int d = 1; d <= doors; ++d) {
            AddPanel(20 + d, 1, 10 + d, 0, EntranceRow(4, d), true);
            Wire(1, 20 + d, EntranceRow(4, d), 4, 0, 10 + d);
        }
        for (int g = 1; g <= gates; ++g) {
            AddPanel(40 + g, 1, 30 + g, 1, GateRow(g + 1), true);
            Wire(1, 40 + g, GateRow(g + 1), 4, 1, 30 + g);
        }
    }
};

}  // namespace

TEST_F(Tracts, OneSwitchGivesItsDoorTractOneAndTheGateTractTwo) {
    const SwitchColumn sw = SwitchColumnOf(Db(), 2);
    EXPECT_EQ(1, sw.idNet);
    EXPECT_EQ(2, sw.nPk);
    const TractResult r = AssignTracts(Db(), sw);
    ASSERT_TRUE(r.ok) << r.error.toStdString();
    EXPECT_EQ((QStringList{"3:1/1/1", "1:2/1/1"}), Column(2));
    EXPECT_EQ((QStringList{"2:0/0/0", "1:0/0/0"}), Column(1));
    // Again: every panel has its tract, nothing changes.
    ASSERT_TRUE(AssignTracts(Db(), sw).ok);
    EXPECT_EQ((QStringList{"3:1/1/1", "1:2/1/1"}), Column(2));
}

TEST_F(Tracts, EverySwitchOfTheObjectAndNoOther) {
    ASSERT_TRUE(AssignTractsForObject(Db(), 1).ok);
    for (int column = 1; column <= 3; ++column)
        EXPECT_EQ((QStringList{QStringLiteral("%1:1/1/1").arg(column + 1), "1:2/1/1"}),
                  Column(column));
    EXPECT_EQ((QStringList{"1:0/0/0"}), Column(1, 2));
}

TEST_F(Tracts, UnwiredCellsAndKeyOnlyLinksGetNoTract) {
    Exec("UPDATE m_bv SET plus=2 WHERE id_net=1 AND n_pk=1 AND bv_type=1");
    Exec("UPDATE m_bv SET plus=3 WHERE id_net=1 AND n_pk=2 AND bv_type=1");
    ASSERT_TRUE(AssignTractsForObject(Db(), 1).ok);
    EXPECT_EQ((QStringList{"2:1/1/1", "1:0/0/0"}), Column(1));
    EXPECT_EQ((QStringList{"3:1/1/1", "1:2/1/1"}), Column(2));
}

TEST_F(Tracts, EightDoorsWithAGateAreRefusedForThatSwitchOnly) {
    AddBigSwitch(8, 1);
    ScriptedDialogs dialogs;
    dialogs.Expect(QStringLiteral("Для БВ11."), kTooManyDoors);
    const TractResult r = AssignTractsForObject(Db(), 1);
    EXPECT_TRUE(r.ok);
    EXPECT_TRUE(r.refused);
    EXPECT_EQ(0, Int("SELECT COUNT(*) FROM m_bv WHERE n_pk=4 AND tract<>0"));
    EXPECT_EQ((QStringList{"2:1/1/1", "1:2/1/1"}), Column(1));
}

TEST_F(Tracts, SixDoorsAndFourGatesInTheDatabase) {
    AddBigSwitch(6, 4);
    ASSERT_TRUE(AssignTracts(Db(), SwitchColumnOf(Db(), 9)).ok);
    EXPECT_EQ((QStringList{"11:1/1/1", "12:2/1/1", "13:3/1/1", "14:4/1/1", "15:5/1/1", "16:6/1/1",
                           "31:7/1/1", "32:7/0/0", "33:7/0/0", "34:7/0/0"}),
              Column(4));
}

TEST_F(Tracts, TheDataModuleShowsTheTractsOfTheCurrentSwitch) {
    SelectObject(1);
    ASSERT_TRUE(dm_->Q_MNpk->Locate("k.id_pk", 3));
    ASSERT_TRUE(AssignTracts().ok);
    EXPECT_EQ((QStringList{"4:1/1/1", "1:2/1/1"}), Column(3));
    ASSERT_EQ(2, dm_->Q_MNbv->RecordCount());
    dm_->Q_MNbv->First();
    QStringList tracts;
    for (; !dm_->Q_MNbv->Eof(); dm_->Q_MNbv->Next())
        tracts << dm_->Q_MNbv->FieldByName("tract").AsString();
    EXPECT_EQ((QStringList{"2", "1"}), tracts);  // by m.n_bv: the gate row sorts first
    EXPECT_EQ(3, dm_->Q_MNpk->FieldByName("k.id_pk").AsLargeInt());
}
}  // namespace
}  // namespace TractAssignmentTestUnit
