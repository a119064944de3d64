// "Сохранить для всех БВ объекта" stopped dead half-way leaves every panel as
// it was: the batch is one transaction, and the engine rolls an unfinished one
// back when the database is next read.

#include "DeviceFixture.h"
#include "devices/CallPanel.h"
#include "support/KillTest.h"

#include <gtest/gtest.h>

namespace {

class CallPanelCrash : public DeviceFixture {};

}  // namespace

TEST_F(CallPanelCrash, AnObjectSaveKilledHalfWayLeavesEveryPanelAsBefore) {
    // Enough panels that half-way lies between two of them.
    for (int id = 10; id < 20; ++id) AddPanel(id, 1, id, 0, "БВ без КМ", true);
    QSqlDatabase db = Db();
    const QString before = TestDatabase::Dump(db);
    const QString path = tdb_.dbPath();
    PanelCommonParams common;
    common.sl = 1;
    common.ot = 2;
    common.scud = true;

    QString why;
    ASSERT_TRUE(KillWhenHalfWay(
        [&](const std::function<void()>& halfWay) {
            QSqlDatabase child = OpenInChild(path);
            SaveCommonParamsToPanels(child, 1, common, std::nullopt,
                                     [&](int value, int maximum, bool visible) {
                                         if (visible && value == maximum / 2) halfWay();
                                     });
        },
        &why))
        << why.toStdString();

    EXPECT_EQ(before, TestDatabase::Dump(db));
    EXPECT_EQ(0, Int("SELECT COUNT(*) FROM k_bv WHERE sl=1"));
    // The database is whole and takes the save afterwards.
    EXPECT_TRUE(SaveCommonParamsToPanels(db, 1, common, std::nullopt).ok);
    EXPECT_EQ(14, Int("SELECT COUNT(*) FROM k_bv WHERE id_net=1 AND sl=1"));
}
