// "Сохранить для всех БВ объекта" stopped dead half-way leaves every panel as
// it was: the batch is one transaction, and the engine rolls an unfinished one
// back when the database is next opened.

#include "DeviceFixture.h"
#include "devices/CallPanel.h"
#include "support/KilledChild.h"

#include <gtest/gtest.h>

namespace CallPanelCrashTestUnit {
namespace {

const QString kChildDb = QStringLiteral("db");

PanelCommonParams SavedParams() {
    PanelCommonParams common;
    common.sl = 1;
    common.ot = 2;
    common.scud = true;
    return common;
}

class CallPanelCrash : public DeviceFixture {
  protected:
    QString Dump() {
        QSqlDatabase db = Db();
        return TestDatabase::Dump(db);
    }
};

// Runs only as the child of the test below: saves the common parameters into
// every panel of the object and is killed half-way through.
TEST(CallPanelCrashChild, SavesEveryPanelOfTheObject) {
    if (!KilledChild::InChild()) GTEST_SKIP() << "runs only as a child";
    QSqlDatabase db = QSqlDatabase::addDatabase(QStringLiteral("QSQLITE"), QStringLiteral("child"));
    db.setDatabaseName(KilledChild::Value(kChildDb));
    ASSERT_TRUE(db.open());
    SaveCommonParamsToPanels(db, 1, SavedParams(), std::nullopt,
                             [](int value, int maximum, bool visible) {
                                 if (visible && value == maximum / 2)
                                     KilledChild::ReachedKillPoint();
                             });
    FAIL() << "not killed";
}

TEST_F(CallPanelCrash, AnObjectSaveKilledHalfWayLeavesEveryPanelAsBefore) {
    // Enough panels that half-way lies between two of them.
    for (int id = 10; id < 20; ++id) AddPanel(id, 1, id, 0, "БВ без КМ", true);
    const QString before = Dump();
    dm_->Disconnect();
    KilledChild child(QStringLiteral("CallPanelCrashChild.SavesEveryPanelOfTheObject"));
    child.Set(kChildDb, tdb_.dbPath());
    ASSERT_TRUE(child.RunUntilKilled()) << child.Output().toStdString();
    QString error;
    ASSERT_TRUE(dm_->Connect(tdb_.dbPath(), &error)) << error.toStdString();
    EXPECT_EQ(before, Dump());

    // Left to run, the same save changes every panel of the object.
    EXPECT_TRUE(SaveCommonParamsToPanels(Db(), 1, SavedParams(), std::nullopt).ok);
    EXPECT_EQ(14, Int("SELECT COUNT(*) FROM k_bv WHERE id_net=1 AND sl=1"));
}
}  // namespace
}  // namespace CallPanelCrashTestUnit
