// The configuration screens' settings on a data module just connected, as a
// first start or a change of database folder and back leaves it, and on an
// object list closed: the global parameters and the current object are read
// by their first use, never taken for missing.

#include "config/ConfigScreenSettings.h"
#include "foundation/Globals.h"

#include "ConfigScreenFixture.h"

namespace ConfigOnAFreshConnectionTestUnit {

namespace {

class ConfigOnAFreshConnection : public ConfigScreenFixture {
  protected:
    void SetUp() override {
        ConfigScreenFixture::SetUp();
        Sql("UPDATE t_global SET MaxDevice=100, SepDevice=60, CamPO=10");
        dm_->Disconnect();
        QString error;
        ASSERT_TRUE(dm_->Connect(DbPath(), &error)) << error.toStdString();
    }
    void TearDown() override {
        Globals() = savedGlobals_;
        ConfigScreenFixture::TearDown();
    }

    ArmGlobals savedGlobals_ = Globals();
};

TEST_F(ConfigOnAFreshConnection, TheGlobalParametersAreReadByTheScreens) {
    dm_->Global->Close();  // read by the open; closed since
    const ConfigScreenSettings s = LoadConfigScreenSettings();
    EXPECT_EQ(s.maxDevice, 100);
    EXPECT_EQ(s.sepDevice, 60);
    EXPECT_EQ(s.cameraCount, 10);
    EXPECT_EQ(Globals().SepDevice, 60);
}

TEST_F(ConfigOnAFreshConnection, TheCurrentObjectIsReadWithTheObjectList) {
    dm_->Q_Net->Close();
    const ConfigCurrentObject o = CurrentConfigObject();
    EXPECT_EQ(o.idNet, kIdNet);
    EXPECT_EQ(o.idNom, kIdNom);
}

}  // namespace
}  // namespace ConfigOnAFreshConnectionTestUnit
