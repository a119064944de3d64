// The change marks of the key screen and what they do to the call panels'
// configuration-file states.

#include "KeyObjectFixture.h"
#include "keys/KeyListEditor.h"
#include "keys/KeyRegister.h"
#include "support/RecordingTones.h"
#include "support/ScriptedDialogs.h"

namespace KeyChangeFlagsTestUnit {

namespace {

class KeyChangeFlagsTest : public KeyObjectFixture {
  protected:
    void SetUp() override {
        KeyObjectFixture::SetUp();
        keys_ = std::make_unique<KeyRegister>(*dm_);
        editor_ = std::make_unique<KeyListEditor>(*keys_);
    }
    void TearDown() override {
        editor_.reset();
        keys_.reset();
        KeyObjectFixture::TearDown();
    }

    // The first entrance's switch takes network number 5 and three new
    // panels 64, 65, 66 in the given states are wired to it with plus 1; the
    // object's other panels move out of their way.
    void WireThreePanelsToSwitchFive(const int states[3]) {
        Exec("UPDATE k_pk SET n_net=5 WHERE id_pk=?", {switchIds_[0]});
        Exec("UPDATE m_pk SET n_net=5 WHERE id_pk=?", {switchIds_[0]});
        Exec("UPDATE k_bv SET n_net=n_net+20, n_nt0=n_nt0+20");
        Exec("UPDATE m_bv SET n_net=n_net+20, n_nt0=n_nt0+20");
        for (int i = 0; i < 3; ++i) {
            QSqlQuery q(dm_->ConnectionDB());
            q.prepare(
                "INSERT INTO k_bv (id_net, n_net, n_nt0, n_bv, bv_type, kf_pr, l_use)"
                " VALUES (?, ?, ?, 'БВ', 0, ?, 1)");
            q.addBindValue(objectId_);
            q.addBindValue(64 + i);
            q.addBindValue(i);
            q.addBindValue(states[i]);
            ASSERT_TRUE(q.exec());
            Exec(
                "INSERT INTO m_bv (id_net, n_bv, n_pk, bv_type, n_net, n_nt0, plus, id_bv)"
                " VALUES (?, 'БВ', 1, 0, ?, ?, 1, ?)",
                {objectId_, 64 + i, i, q.lastInsertId()});
        }
        Reload();
    }
    bool Apply(int sepDevice = 63) { return keys_->ChangeFlags().Apply(*dm_, sepDevice); }

    ScriptedDialogs dialogs_;
    RecordingTones tones_;
    std::unique_ptr<KeyRegister> keys_;
    std::unique_ptr<KeyListEditor> editor_;
};

TEST_F(KeyChangeFlagsTest, AnApartmentKeyMarksThePanelsWiredToItsSwitch) {
    const int states[3] = {1, 3, 0};
    WireThreePanelsToSwitchFive(states);
    keys_->SetMode(KeyGroup::Apartment);
    ASSERT_TRUE(dm_->QForKey->Locate("id_kvr", ApartmentId(0, 7)));
    ASSERT_EQ(keys_->Confirm(QStringLiteral("ABC123"), {}).outcome, ConfirmOutcome::Stored);
    EXPECT_TRUE(keys_->ChangeFlags().IsSet(5));
    EXPECT_FALSE(keys_->ChangeFlags().IsSet(64));  // panels are marked when applied

    const int mnpk = dm_->Q_MNpk->RecNo();
    ASSERT_TRUE(Apply());
    EXPECT_EQ(PanelState(64), 2);
    EXPECT_EQ(PanelState(65), 4);
    EXPECT_EQ(PanelState(66), 0);
    EXPECT_EQ(dm_->Q_MNpk->RecNo(), mnpk);  // the switch list keeps its row

    // Applied again (leaving the screen twice), nothing moves further.
    ASSERT_TRUE(Apply());
    EXPECT_EQ(PanelState(64), 2);
    EXPECT_EQ(PanelState(65), 4);
}

TEST_F(KeyChangeFlagsTest, PanelsLinkedWithPlusThreeAreNotMarkedThroughTheSwitch) {
    const int states[3] = {1, 1, 1};
    WireThreePanelsToSwitchFive(states);
    Exec("UPDATE m_bv SET plus=3 WHERE n_net=65");
    Reload();
    keys_->ChangeFlags().Set(5);
    ASSERT_TRUE(Apply());
    EXPECT_EQ(PanelState(64), 2);
    EXPECT_EQ(PanelState(65), 1);
}

TEST_F(KeyChangeFlagsTest, AGateKeyMarksOnlyTheGatePanel) {
    Exec("UPDATE k_bv SET kf_pr=5 WHERE id_net=?", {objectId_});
    Reload();
    keys_->SetMode(KeyGroup::Gate);
    ASSERT_EQ(keys_->Confirm(QStringLiteral("FEDCBA"), {}).outcome, ConfirmOutcome::Stored);
    ASSERT_TRUE(Apply());
    EXPECT_EQ(PanelState(kGateNet), 4);
    for (int e = 0; e < 3; ++e) EXPECT_EQ(PanelState(EntrancePanelNet(e)), 5) << e;
}

TEST_F(KeyChangeFlagsTest, DeletionsMarkLikeEveryOtherChange) {
    Exec("UPDATE k_bv SET kf_pr=3 WHERE id_net=?", {objectId_});
    Reload();
    keys_->SetMode(KeyGroup::Apartment);
    ASSERT_TRUE(dm_->QForKey->Locate("id_kvr", ApartmentId(1, 1)));
    ASSERT_TRUE(editor_->DeleteCurrentKey());
    EXPECT_TRUE(keys_->ChangeFlags().IsSet(2));
    ASSERT_TRUE(Apply());
    EXPECT_EQ(PanelState(EntrancePanelNet(1)), 4);
    EXPECT_EQ(PanelState(kGateNet), 4);  // the gate is wired to its switch too
    EXPECT_EQ(PanelState(EntrancePanelNet(0)), 3);
    EXPECT_EQ(PanelState(EntrancePanelNet(2)), 3);

    keys_->ChangeFlags().Clear();
    ASSERT_TRUE(dm_->QForKey->Locate("id_kvr", ApartmentId(2, 1)));
    ASSERT_TRUE(editor_->DeleteApartmentKeys());
    ASSERT_TRUE(Apply());
    EXPECT_EQ(PanelState(EntrancePanelNet(2)), 4);
}

TEST_F(KeyChangeFlagsTest, TheConsoleAddressIsNeitherASwitchNorAPanel) {
    // A switch and a panel that claim address 63 are left alone.
    Exec("UPDATE k_pk SET n_net=63 WHERE id_pk=?", {switchIds_[0]});
    Exec("UPDATE m_pk SET n_net=63 WHERE id_pk=?", {switchIds_[0]});
    Exec("UPDATE k_bv SET kf_pr=1 WHERE id_net=?", {objectId_});
    Exec("INSERT INTO k_bv (id_net, n_net, kf_pr) VALUES (?, 63, 1)", {objectId_});
    Reload();
    keys_->ChangeFlags().Set(63);
    ASSERT_TRUE(Apply());
    EXPECT_EQ(Count("SELECT COUNT(*) FROM k_bv WHERE kf_pr<>1"), 0);

    // With the console at 70, 64..70 count as switches and 71 up as panels.
    keys_->ChangeFlags().Clear();
    keys_->ChangeFlags().Set(65);
    keys_->ChangeFlags().Set(68);
    ASSERT_TRUE(Apply(70));
    EXPECT_EQ(PanelState(65), 1);
    EXPECT_EQ(PanelState(68), 1);
    keys_->ChangeFlags().Set(71);  // a panel above the console
    Exec("UPDATE k_bv SET n_net=71 WHERE n_net=68");
    Reload();
    ASSERT_TRUE(Apply(70));
    EXPECT_EQ(PanelState(71), 2);
}

TEST_F(KeyChangeFlagsTest, MarksStopAtTheLastNetworkNumber) {
    KeyChangeFlags& flags = keys_->ChangeFlags();
    flags.Set(128);
    flags.Set(-1);
    EXPECT_FALSE(flags.Any());
    Exec("UPDATE k_pk SET n_net=127 WHERE id_pk=?", {switchIds_[0]});
    Exec("UPDATE m_pk SET n_net=127 WHERE id_pk=?", {switchIds_[0]});
    Exec("UPDATE k_bv SET kf_pr=1 WHERE id_net=?", {objectId_});
    Reload();
    flags.Set(127);
    ASSERT_TRUE(Apply(200));  // the switch scan ends at 127 and no panel is above 200
    EXPECT_TRUE(flags.IsSet(kGateNet));
    EXPECT_TRUE(flags.IsSet(EntrancePanelNet(0)));
    EXPECT_EQ(PanelState(kGateNet), 1);
    flags.Clear();
    EXPECT_FALSE(flags.IsSet(127));
}

}  // namespace
}  // namespace KeyChangeFlagsTestUnit
