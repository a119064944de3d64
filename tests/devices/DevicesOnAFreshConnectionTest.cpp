// The device operations on a data module just connected, as a first start or
// a change of database folder and back leaves it, and on device lists closed
// with the object list: each finds the rows of the current object, never a
// closed list as one without rows.

#include "DeviceFixture.h"
#include "devices/DeviceListLayout.h"
#include "devices/ParamSet.h"
#include "devices/SwitchParams.h"
#include "support/QtPrinters.h"

namespace DevicesOnAFreshConnectionTestUnit {

namespace {

class DevicesOnAFreshConnection : public DeviceFixture {
  protected:
    void SetUp() override {
        DeviceFixture::SetUp();
        dm_->Disconnect();
        QString error;
        ASSERT_TRUE(dm_->Connect(tdb_.dbPath(), &error)) << error.toStdString();
    }
};

TEST_F(DevicesOnAFreshConnection, TheCurrentParameterSetIsReadByItsFirstUse) {
    // Sets of an object come before the common ones.
    Exec("INSERT INTO t_ke (name, t_cm, id_net) VALUES ('набор объекта', 3, 2)");
    const qint64 idKe = Scalar("SELECT MAX(id_ke) FROM t_ke").toLongLong();
    ASSERT_FALSE(dm_->Q_ke->IsOpen());
    EXPECT_EQ(RenameCurrentParamSet(QStringLiteral("новое имя")), DeviceChange::Done);
    EXPECT_EQ(Scalar("SELECT name FROM t_ke WHERE id_ke=?", {idKe}).toString(), "новое имя");
}

// The object list closed: the switch and panel lists close with it and are
// read again, on the first object, by whatever reads them first.
TEST_F(DevicesOnAFreshConnection, TheSwitchListIsReadWithTheObjectList) {
    // The neighbour, object 2, is listed first: its one switch and panel.
    dm_->Q_Net->Close();
    ASSERT_FALSE(dm_->Q_MNpk->IsOpen());
    EXPECT_TRUE(GoToSwitch(4));
    dm_->Q_Net->Close();
    EXPECT_EQ(CurrentSwitchId(), 4);
    EXPECT_FALSE(GoToSwitch(1));  // a switch of the other object
    dm_->Q_Net->Close();
    const DeviceTotals totals = ReadDeviceTotals();
    EXPECT_EQ(totals.switches, 1);
    EXPECT_EQ(totals.panels, 1);
}

}  // namespace
}  // namespace DevicesOnAFreshConnectionTestUnit
