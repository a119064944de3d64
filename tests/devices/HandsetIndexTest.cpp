#include "DeviceFixture.h"
#include "devices/HandsetIndex.h"
#include "support/QtPrinters.h"

#include <gtest/gtest.h>

namespace HandsetIndexTestUnit {
namespace {

class HandsetIndexes : public DeviceFixture {
  protected:
    // "nrcs l_kns l_pok adrpk adrcs kf_pr" of a panel.
    QString Panel(qint64 idBv) {
        QSqlQuery q(Db());
        q.prepare("SELECT nrcs, l_kns, l_pok, adrpk, adrcs, kf_pr FROM k_bv WHERE id_bv=?");
        q.addBindValue(idBv);
        if (!q.exec() || !q.next()) return QString();
        QStringList values;
        for (int i = 0; i < 6; ++i) values << q.value(i).toString();
        return values.join(' ');
    }
    void SetPanel(qint64 idBv, const QString& assignments) {
        Exec("UPDATE k_bv SET " + assignments + " WHERE id_bv=?", {idBv});
    }
};

TEST_F(HandsetIndexes, Mode0PointsAConsoleCallAtTheHandsetOfTheSwitchsEntrance) {
    SetPanel(2, "kf_pr=1");
    const HandsetIndexResult r = DBkvEdit(Db(), 2);
    ASSERT_TRUE(r.ok) << r.error.toStdString();
    EXPECT_TRUE(r.written);
    EXPECT_EQ(41, r.adrcs);
    EXPECT_EQ(1, r.switchId);
    EXPECT_EQ("1 0 1 1 41 2", Panel(2));
    // The stored values equal the computed ones: nothing is written, kf_pr stays.
    SetPanel(2, "kf_pr=3");
    EXPECT_FALSE(DBkvEdit(Db(), 2).written);
    EXPECT_EQ("1 0 1 1 41 3", Panel(2));
}

TEST_F(HandsetIndexes, Mode0WithoutAConsoleOrAHandsetRowRingsNothing) {
    SetPanel(3, "l_pok=0, adrcs=7");
    EXPECT_EQ(-1, DBkvEdit(Db(), 3).adrcs);
    EXPECT_EQ("1 0 0 2 -1 0", Panel(3));

    Exec("DELETE FROM k_kvr WHERE id_pod=3 AND st_kvr='СПО'");
    EXPECT_EQ(-1, DBkvEdit(Db(), 4).adrcs);
    EXPECT_EQ("1 0 0 3 -1 0", Panel(4));

    Exec("UPDATE k_net SET l_pok=0 WHERE id_net=1");
    EXPECT_EQ(-1, DBkvEdit(Db(), 2).adrcs);
    EXPECT_EQ("1 0 0 1 -1 0", Panel(2));

    // An entrance without rows: the index is computed, nothing is written.
    Exec("DELETE FROM k_kvr WHERE id_pod=2");
    SetPanel(3, "l_pok=1, adrcs=5");
    const HandsetIndexResult r = DBkvEdit(Db(), 3);
    EXPECT_FALSE(r.written);
    EXPECT_EQ(-1, r.adrcs);
    EXPECT_EQ("1 0 1 2 5 0", Panel(3));
}

TEST_F(HandsetIndexes, AConciergeKeepsItsIndexAndNeverRingsTheConsole) {
    SetPanel(2, "l_kns=1, adrcs=5, adrpk=1");
    EXPECT_EQ(5, DBkvEdit(Db(), 2).adrcs);
    EXPECT_EQ("1 1 0 1 5 0", Panel(2));
    SetPanel(2, "l_pok=1");
    EXPECT_EQ(5, IndexKeepConcierge(Db(), 2).adrcs);
    EXPECT_EQ("1 1 0 1 5 0", Panel(2));
}

TEST_F(HandsetIndexes, TheSwitchWorkedThroughFollowsTheCallerAndMode3KeepsThePanelsOwn) {
    // The gate is wired to switches 1, 2, 3 (network numbers 1, 2, 3).
    EXPECT_EQ(1, DBkvEdit(Db(), 1).switchId);
    EXPECT_EQ("1 0 1 1 41 0", Panel(1));
    EXPECT_EQ(2, DBkvEdit(Db(), 1, 2).switchId);
    EXPECT_EQ("1 0 1 2 41 0", Panel(1));
    EXPECT_EQ(1, DBkvEdit(Db(), 1, 4).switchId);  // switch 4 is not wired to it

    SetPanel(1, "adrpk=3, l_pok=0");
    EXPECT_EQ(3, IndexKeepConcierge(Db(), 1, 2).switchId);
    EXPECT_EQ("1 0 1 3 41 0", Panel(1));
    SetPanel(1, "adrpk=99");
    EXPECT_EQ(2, IndexKeepConcierge(Db(), 1, 2).switchId);
}

TEST_F(HandsetIndexes, Mode1RingsTheConsoleFromEveryPanelThatCan) {
    SetPanel(2, "nrcs=0, l_kns=1, l_pok=0, adrcs=5, kf_pr=5");
    const HandsetIndexResult r = IndexToSecurityPost(Db(), 2);
    EXPECT_EQ(41, r.adrcs);
    EXPECT_EQ("1 0 1 1 41 4", Panel(2));

    // No handset row: the index is cleared, the flags stay.
    Exec("DELETE FROM k_kvr WHERE id_pod=2 AND st_kvr='СПО'");
    SetPanel(3, "l_kns=1, adrcs=5, adrpk=0");
    EXPECT_EQ(-1, IndexToSecurityPost(Db(), 3).adrcs);
    EXPECT_EQ("1 1 1 2 -1 0", Panel(3));
    EXPECT_FALSE(IndexToSecurityPost(Db(), 3).written);

    // No wired switch: nothing at all.
    Exec("DELETE FROM m_bv WHERE id_bv=4");
    SetPanel(4, "adrcs=7");
    EXPECT_FALSE(IndexToSecurityPost(Db(), 4).written);
    EXPECT_EQ("1 0 1 0 7 0", Panel(4));
}

TEST_F(HandsetIndexes, Mode2ClearsEvenAPanelWithoutAWiredSwitch) {
    SetPanel(1, "l_kns=1, adrcs=5, adrpk=3, kf_pr=1");
    EXPECT_EQ(1, IndexClear(Db(), 1).switchId);  // the lowest address, whatever was stored
    EXPECT_EQ("1 0 0 1 -1 2", Panel(1));

    Exec("DELETE FROM m_bv WHERE id_bv=4");
    SetPanel(4, "adrcs=7, adrpk=3");
    const HandsetIndexResult r = IndexClear(Db(), 4);
    ASSERT_TRUE(r.ok);
    EXPECT_EQ(-1, r.adrcs);
    EXPECT_EQ("1 0 0 0 -1 0", Panel(4));
}

TEST_F(HandsetIndexes, RecountAppliesOneModeToEveryPanelOfTheObjectOnly) {
    QList<int> gauge;
    bool hidden = false;
    const RecountResult r =
        RecountIndices(Db(), 1, HandsetIndexMode::KeepConcierge, [&](int value, int max, bool v) {
            EXPECT_EQ(4, max);
            if (v)
                gauge << value;
            else
                hidden = true;
        });
    ASSERT_TRUE(r.ok) << r.error.toStdString();
    EXPECT_EQ(4, r.written);
    EXPECT_EQ((QList<int>{0, 1, 2, 3, 4}), gauge);
    EXPECT_TRUE(hidden);
    EXPECT_EQ("1 0 1 1 41 0", Panel(1));
    EXPECT_EQ("1 0 1 2 41 0", Panel(3));
    EXPECT_EQ("0 0 0 0 -1 0", Panel(5));  // object 2 untouched

    EXPECT_EQ(0, RecountIndices(Db(), 1, HandsetIndexMode::KeepConcierge).written);
    EXPECT_EQ(4, RecountIndices(Db(), 1, HandsetIndexMode::Clear).written);
    EXPECT_EQ("1 0 0 1 -1 0", Panel(1));
}

TEST_F(HandsetIndexes, RecountToTheConsoleOnAnObjectWithoutOneChangesNothing) {
    SetPanel(5, "adrcs=2, adrpk=4, l_pok=1");
    const QString before = Panel(5);
    const RecountResult r = RecountIndices(Db(), 2, HandsetIndexMode::SecurityPost);
    EXPECT_TRUE(r.ok);
    EXPECT_EQ(0, r.written);
    EXPECT_EQ(before, Panel(5));
}

TEST_F(HandsetIndexes, TheDataModuleWorksOnTheCurrentPanelThroughTheCurrentSwitch) {
    SelectObject(1);
    ASSERT_TRUE(dm_->Q_bv->Locate("id_bv", 1));
    ASSERT_TRUE(dm_->Q_Bpo->IsOpen());
    ASSERT_TRUE(dm_->Q_Bpo->Locate("k.id_pk", 3));
    const HandsetIndexResult r = ApplyHandsetIndex(HandsetIndexMode::Individual);
    EXPECT_EQ(3, r.switchId);
    EXPECT_EQ("1 0 1 3 41 0", Panel(1));
    EXPECT_EQ(1, dm_->Q_bv->FieldByName("id_bv").AsLargeInt());
    EXPECT_EQ(41, dm_->Q_bv->FieldByName("adrcs").AsInt());
    EXPECT_EQ(3, dm_->Q_Bpo->FieldByName("k.id_pk").AsLargeInt());

    const RecountResult all = RecountObjectIndices(1, HandsetIndexMode::Clear);
    EXPECT_EQ(4, all.written);
    EXPECT_EQ(1, dm_->Q_bv->FieldByName("id_bv").AsLargeInt());
    EXPECT_EQ(-1, dm_->Q_bv->FieldByName("adrcs").AsInt());
}
}  // namespace
}  // namespace HandsetIndexTestUnit
