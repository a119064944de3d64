// The terminal distribution of every switch of an object in one run: by each
// switch's own rule or by one rule for all, all or nothing, also when the
// program is killed half-way.
#include "SwitchRecordsDb.h"
#include "site/TerminalRuleRun.h"
#include "support/KilledChild.h"

#include <cstdio>

namespace TerminalRuleRunTestUnit {
namespace {

const QString kDoneMark = QStringLiteral("switches done: ");

class TerminalRuleRun : public SwitchRecordsDb {
  protected:
    TerminalRunResult Run(bool individual, int kind) {
        return RedistributeObjectTerminals(Db(), idNet_, {individual, kind});
    }
    void SetUp() override {
        SwitchRecordsDb::SetUp();
        SetUpObject();
        ASSERT_EQ(3, pks_.size());
    }
};

TEST_F(TerminalRuleRun, EachSwitchByItsOwnRuleWhateverCommonRuleIsSet) {
    SetSwitch(pks_[0], "type_f=3, type_k='Lusk'");
    SetSwitch(pks_[1], "type_f=1, p_fc=41");
    SetSwitch(pks_[2], "type_f=0, p_fc=5");
    const TerminalRunResult r = Run(true, TerminalRuleKind::kModulo100);
    ASSERT_TRUE(r.ok) << r.error.toStdString();
    EXPECT_EQ(3, r.switches);
    EXPECT_EQ(QList<int>(41, 0), Terminals(pods_[0]));
    EXPECT_EQ(42, Switch(pks_[0], "n_xl").toInt());
    EXPECT_EQ(Range(41, 81), Terminals(pods_[1]));
    EXPECT_EQ(Range(5, 45), Terminals(pods_[2]));
}

TEST_F(TerminalRuleRun, OneCommonRuleForEverySwitch) {
    SetSwitch(pks_[1], "type_f=1, p_fc=41");
    ASSERT_TRUE(Run(false, TerminalRuleKind::kIncrementOne).ok);
    for (int i = 0; i < 3; ++i) {
        EXPECT_EQ(Range(1, 41), Terminals(pods_[i])) << i;
        EXPECT_EQ(0, Switch(pks_[i], "type_f").toInt());
        EXPECT_EQ(1, Switch(pks_[i], "p_fc").toInt());
    }

    ASSERT_TRUE(Run(false, TerminalRuleKind::kFloorSwitch).ok);
    for (int i = 0; i < 3; ++i) {
        EXPECT_EQ(QList<int>(41, 0), Terminals(pods_[i]));
        EXPECT_EQ(QStringLiteral("Lusk"), Switch(pks_[i], "type_k").toString());
        EXPECT_EQ(3, Switch(pks_[i], "type_f").toInt());
    }
}

TEST_F(TerminalRuleRun, ModuloHundredIsDecidedPerSwitchAHotelEntranceCountsFromOne) {
    // The second switch's entrance numbers its apartments floor by floor.
    Sql("UPDATE k_pod SET type_n=1 WHERE id_pod=?", {pods_[1]});
    ASSERT_TRUE(Run(false, TerminalRuleKind::kModulo100).ok);
    EXPECT_EQ(1, Switch(pks_[0], "type_f").toInt());
    EXPECT_EQ(0, Switch(pks_[1], "type_f").toInt());
    EXPECT_EQ(Range(1, 41), Terminals(pods_[1]));
    EXPECT_EQ(1, Switch(pks_[2], "type_f").toInt());

    // The hotel entrance first in the list changes nothing for the others.
    Sql("UPDATE k_pod SET type_n=0 WHERE id_pod=?", {pods_[1]});
    Sql("UPDATE k_pod SET type_n=1 WHERE id_pod=?", {pods_[0]});
    ASSERT_TRUE(Run(false, TerminalRuleKind::kModulo100).ok);
    EXPECT_EQ(0, Switch(pks_[0], "type_f").toInt());
    EXPECT_EQ(1, Switch(pks_[1], "type_f").toInt());
    EXPECT_EQ(Range(41, 81), Terminals(pods_[1]));
}

TEST_F(TerminalRuleRun, NoRuleChosenNeverReachesTheSwitches) {
    const QStringList before = TerminalState(idNet_);
    const TerminalRunResult r = Run(false, TerminalRuleKind::kNoRule);
    EXPECT_FALSE(r.ok);
    EXPECT_EQ(0, r.switches);
    EXPECT_EQ(before, TerminalState(idNet_));
}

TEST_F(TerminalRuleRun, AFailureHalfWayLeavesEveryTerminalAsItWas) {
    SetSwitch(pks_[0], "type_f=3, type_k='Lusk'");
    const QStringList before = TerminalState(idNet_);
    // The second switch's apartments cannot be written.
    Sql(QStringLiteral("CREATE TEMP TRIGGER refuse BEFORE UPDATE OF p_pk ON k_kvr "
                       "WHEN NEW.id_pod=%1 BEGIN SELECT RAISE(ABORT, 'locked'); END")
            .arg(pods_[1]));
    const TerminalRunResult r = Run(false, TerminalRuleKind::kIncrementOne);
    EXPECT_FALSE(r.ok);
    EXPECT_TRUE(
        r.error.endsWith(QStringLiteral("Запись отклонена триггером самого файла базы данных.")))
        << r.error.toStdString();
    EXPECT_EQ(1, r.switches);
    EXPECT_EQ(before, TerminalState(idNet_));
    Sql("DROP TRIGGER refuse");
    EXPECT_TRUE(Run(false, TerminalRuleKind::kIncrementOne).ok);
}

TEST_F(TerminalRuleRun, AnObjectWithoutSwitchesRunsEmpty) {
    const qint64 other = BuildApartments({QStringLiteral("Пустой"), QStringLiteral("адрес")});
    const TerminalRunResult r = RedistributeObjectTerminals(Db(), other, {true, -1});
    EXPECT_TRUE(r.ok);
    EXPECT_EQ(0, r.switches);
}

// The child: the run of the reference object stopped for good after its
// second switch, before the transaction ends.
TEST(TerminalRuleKillChild, Body) {
    if (!KilledChild::InChild()) GTEST_SKIP() << "runs only as the child of the kill test";
    TFDM dm;
    QString error;
    ASSERT_TRUE(dm.Connect(KilledChild::Value("db"), &error)) << error.toStdString();
    RedistributeObjectTerminals(dm.ConnectionDB(), KilledChild::Value("object").toLongLong(),
                                {false, TerminalRuleKind::kFloorSwitch}, [](int done) {
                                    if (done < 2) return;
                                    std::printf("%s%d\n", qPrintable(kDoneMark), done);
                                    std::fflush(stdout);
                                    KilledChild::ReachedKillPoint();
                                });
    FAIL() << "the run ended before it was killed";
}

TEST_F(TerminalRuleRun, AKillHalfWayLeavesEveryTerminalAsItWas) {
    const QStringList before = TerminalState(idNet_);
    dm_.Disconnect();
    KilledChild child("TerminalRuleKillChild.Body");
    child.Set("db", db_.dbPath());
    child.Set("object", QString::number(idNet_));
    ASSERT_TRUE(child.RunUntilKilled()) << child.Output().toStdString();
    EXPECT_TRUE(child.Output().contains(kDoneMark + "2")) << child.Output().toStdString();

    QString error;
    ASSERT_TRUE(dm_.Connect(db_.dbPath(), &error)) << error.toStdString();
    EXPECT_EQ(before, TerminalState(idNet_));
    ASSERT_TRUE(
        RedistributeObjectTerminals(Db(), idNet_, {false, TerminalRuleKind::kFloorSwitch}).ok);
    EXPECT_EQ(QList<int>(41, 0), Terminals(pods_[2]));
}
}  // namespace
}  // namespace TerminalRuleRunTestUnit
