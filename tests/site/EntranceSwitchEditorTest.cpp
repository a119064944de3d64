// The entrance switch parameters without their window: what showing a switch
// corrects, the type and method choices, the distribution and the question
// before leaving, the key slots and the hundreds increment.
#include "SwitchRecordsDb.h"
#include "site/EntranceSwitchEditor.h"

namespace EntranceSwitchEditorTestUnit {
namespace {

using namespace EntranceSwitchTexts;

class EntranceSwitch : public SwitchRecordsDb {
  protected:
    void SetUp() override {
        SwitchRecordsDb::SetUp();
        SetUpObject();
    }
    // The rows of the first entrance begin at apartment first.
    void StartEntranceAt(int first) {
        Sql("UPDATE k_pod SET n1kvr=? WHERE id_pod=?", {first, pods_[0]});
    }

    EntranceSwitchEditor editor_;
};

TEST_F(EntranceSwitch, ShowsTheSwitchAsStored) {
    ASSERT_TRUE(editor_.ShowEntrance(pks_[1]));
    const EntranceSwitchView& v = editor_.View();
    EXPECT_EQ(SwitchType::Apartment, v.type);
    EXPECT_TRUE(v.methodEnabled);
    EXPECT_EQ(FillMethod::kFirstHandset, v.method);
    EXPECT_EQ(1, v.firstHandset);
    EXPECT_EQ(41, v.increment);
    EXPECT_EQ(42, v.maxHandset);
    EXPECT_EQ(1, v.gates);  // the door panel and the gate are wired to it
    EXPECT_EQ(kDistribute, v.portsCaption);
    EXPECT_TRUE(v.warning.isEmpty());
    EXPECT_EQ(FillMethod::kFirstHandset, editor_.DistributedMethod());
    EXPECT_FALSE(editor_.Pending());
    EXPECT_FALSE(editor_.ShowEntrance(999999));
    EXPECT_EQ(0, editor_.ShownSwitch());
}

TEST_F(EntranceSwitch, ChoosingTheFloorSwitchStoresItsFixedValuesOnce) {
    ASSERT_TRUE(editor_.ShowEntrance(pks_[0]));
    SetSwitch(pks_[0], "ah=7, p_fc=12");
    ASSERT_TRUE(editor_.ShowEntrance(pks_[0]));
    ASSERT_TRUE(editor_.ChooseFloorSwitch());
    EXPECT_EQ(
        QStringLiteral("Lusk|0|1|3|42"),
        Rows("SELECT type_k, ah, p_fc, type_f, n_xl FROM k_pk WHERE id_pk=?", {pks_[0]}).join(""));
    EXPECT_EQ(SwitchType::Floor, editor_.View().type);
    EXPECT_FALSE(editor_.View().methodEnabled);
    EXPECT_FALSE(editor_.View().hundredsEnabled);
    EXPECT_EQ(FillMethod::kNoMethod, editor_.View().method);

    const QStringList before = TerminalState(idNet_);
    ASSERT_TRUE(editor_.ChooseFloorSwitch());
    EXPECT_EQ(before, TerminalState(idNet_));
}

TEST_F(EntranceSwitch, ShowingAStoredFloorSwitchCorrectsItsOffsets) {
    SetSwitch(pks_[0], "type_k='Lusk', type_f=3, ah=5, p_fc=1, kf_pr=1");
    ASSERT_TRUE(editor_.ShowEntrance(pks_[0]));
    EXPECT_EQ(QStringLiteral("0|1|2"),
              Rows("SELECT ah, p_fc, kf_pr FROM k_pk WHERE id_pk=?", {pks_[0]}).join(""));
    EXPECT_EQ(0, editor_.View().hundreds);
    EXPECT_EQ(1, editor_.View().firstHandset);
    // The terminals still stand for an apartment switch.
    EXPECT_EQ(kWarnFloor, editor_.View().warning);
}

TEST_F(EntranceSwitch, AnEntranceFromApartment100ShowsIncrementZeroAndStoresIt) {
    StartEntranceAt(100);
    SetSwitch(pks_[0], "ai=100, kf_pr=1");
    ASSERT_TRUE(editor_.ShowEntrance(pks_[0]));
    EXPECT_EQ(0, editor_.View().increment);
    EXPECT_EQ(QStringLiteral("0|2"),
              Rows("SELECT ai, kf_pr FROM k_pk WHERE id_pk=?", {pks_[0]}).join(""));

    // Modulo 100 lays the apartments from terminal 0, and stores that first.
    StartEntranceAt(250);
    ASSERT_TRUE(editor_.ShowEntrance(pks_[0]));
    ASSERT_TRUE(editor_.ChooseMethod(FillMethod::kModulo100));
    EXPECT_EQ(50, editor_.View().firstHandset);
    EXPECT_FALSE(editor_.View().firstHandsetShown);
    EXPECT_EQ(QStringLiteral("1|50"),
              Rows("SELECT type_f, p_fc FROM k_pk WHERE id_pk=?", {pks_[0]}).join(""));
    ASSERT_TRUE(editor_.Distribute());
    EXPECT_EQ(Range(50, 90), Terminals(pods_[0]));
    EXPECT_TRUE(editor_.View().warning.isEmpty());
}

TEST_F(EntranceSwitch, AHotelEntranceCannotKeepModulo100) {
    Sql("UPDATE k_pod SET type_n=1 WHERE id_pod=?", {pods_[2]});
    ASSERT_TRUE(editor_.ShowEntrance(pks_[2]));
    ASSERT_TRUE(editor_.ChooseMethod(FillMethod::kModulo100));
    EXPECT_EQ(FillMethod::kFirstHandset, editor_.View().method);
    EXPECT_TRUE(editor_.View().firstHandsetShown);
    EXPECT_EQ(0, Switch(pks_[2], "type_f").toInt());

    // A hotel switch stored in mode 3 with the apartment type shows method 0.
    SetSwitch(pks_[2], "type_f=3");
    ASSERT_TRUE(editor_.ShowEntrance(pks_[2]));
    EXPECT_EQ(FillMethod::kFirstHandset, editor_.View().method);
    EXPECT_EQ(0, Switch(pks_[2], "type_f").toInt());
}

TEST_F(EntranceSwitch, UnsetAndOddModesCountAsMethodZero) {
    for (const QVariant& typeF : {QVariant(), QVariant(-2), QVariant(9)}) {
        SetSwitch(pks_[1], "type_f=?", {typeF});
        ASSERT_TRUE(editor_.ShowEntrance(pks_[1]));
        EXPECT_EQ(FillMethod::kFirstHandset, editor_.View().method)
            << typeF.toString().toStdString();
        EXPECT_EQ(0, Switch(pks_[1], "type_f").toInt());
    }
    // Ranges go with a mode above 1.
    SetSwitch(pks_[1], "type_f=2");
    Sql("INSERT INTO t_dip (id_pk, id_net, n_nul, n_ful) VALUES (?, ?, 0, 41)", {pks_[1], idNet_});
    ASSERT_TRUE(editor_.ShowEntrance(pks_[1]));
    EXPECT_EQ(FillMethod::kModulo100, editor_.View().method);
    EXPECT_EQ(0, One("SELECT COUNT(*) FROM t_dip").toInt());
}

TEST_F(EntranceSwitch, AnUntypedSwitchOfAnEmptyEntranceTakesTheApartmentType) {
    Sql("DELETE FROM k_kvr WHERE id_pod=?", {pods_[0]});
    SetSwitch(pks_[0], "type_k='', type_f=NULL, n_xl=0");
    ASSERT_TRUE(editor_.ShowEntrance(pks_[0]));
    EXPECT_EQ(SwitchType::None, editor_.View().type);
    EXPECT_FALSE(editor_.View().methodEnabled);
    EXPECT_FALSE(editor_.Distribute());
    ASSERT_TRUE(editor_.ChooseApartmentSwitch());
    // No rows: the largest terminal counts as 0.
    EXPECT_EQ(QStringLiteral("Торвин|0|1"),
              Rows("SELECT type_k, type_f, n_xl FROM k_pk WHERE id_pk=?", {pks_[0]}).join(""));
    EXPECT_EQ(1, editor_.View().maxHandset);
}

// The switch polls up to one past the entrance's highest terminal, within
// the terminals a switch counts whatever number the file holds.
TEST_F(EntranceSwitch, ThePollRangeFromAnyHighestTerminalStaysWithinTheSwitchs) {
    for (const char* stored : {"2147483647", "9223372036854775807", "65535"}) {
        SCOPED_TRACE(stored);
        Sql(QStringLiteral("UPDATE k_kvr SET p_pk=%1 WHERE id_pod=?").arg(QLatin1String(stored)),
            {pods_[0]});
        SetSwitch(pks_[0], "type_k='', type_f=NULL, n_xl=0");
        ASSERT_TRUE(editor_.ShowEntrance(pks_[0]));
        ASSERT_TRUE(editor_.ChooseApartmentSwitch());
        EXPECT_EQ(65536, editor_.View().maxHandset);
        EXPECT_EQ(65536, Switch(pks_[0], "n_xl").toInt());
    }
}

TEST_F(EntranceSwitch, LeavingAfterAMethodChangeAsksAndNoPutsTheMethodBack) {
    ASSERT_TRUE(editor_.ShowEntrance(pks_[0]));
    ASSERT_TRUE(editor_.ChooseMethod(FillMethod::kModulo100));
    EXPECT_EQ(1, Switch(pks_[0], "type_f").toInt());
    dialogs_.Expect(kError, kMethodNotDistributed, DlgAnswer::No);
    editor_.ConfirmDistribution(idNet_);
    EXPECT_EQ(FillMethod::kFirstHandset, editor_.View().method);
    EXPECT_EQ(0, Switch(pks_[0], "type_f").toInt());
    EXPECT_EQ(Range(1, 41), Terminals(pods_[0]));

    // Yes distributes by the method chosen.
    ASSERT_TRUE(editor_.ChooseMethod(FillMethod::kModulo100));
    dialogs_.Expect(kError, kMethodNotDistributed, DlgAnswer::Yes);
    editor_.ConfirmDistribution(idNet_);
    EXPECT_EQ(1, Switch(pks_[0], "type_f").toInt());
    EXPECT_EQ(FillMethod::kModulo100, editor_.DistributedMethod());
    // Nothing changed since: no question.
    editor_.ConfirmDistribution(idNet_);
}

TEST_F(EntranceSwitch, AChangedFirstHandsetIsDistributedOnLeavingATypedTerminalIsKept) {
    ASSERT_TRUE(editor_.ShowEntrance(pks_[0]));
    editor_.FirstHandsetLeft(1);
    EXPECT_FALSE(editor_.Pending());
    ASSERT_TRUE(editor_.TypeTerminal(RowId(pods_[0], 3), 60));
    EXPECT_FALSE(editor_.Pending());
    EXPECT_EQ(61, Switch(pks_[0], "n_xl").toInt());
    editor_.ConfirmDistribution(idNet_);
    EXPECT_EQ(60, Terminals(pods_[0])[2]);

    editor_.FirstHandsetLeft(10);
    EXPECT_TRUE(editor_.Pending());
    editor_.ConfirmDistribution(idNet_);
    EXPECT_EQ(Range(10, 50), Terminals(pods_[0]));
    EXPECT_EQ(10, Switch(pks_[0], "p_fc").toInt());
    EXPECT_FALSE(editor_.Pending());
}

TEST_F(EntranceSwitch, APendingDistributionOfAnotherObjectIsForgotten) {
    ASSERT_TRUE(editor_.ShowEntrance(pks_[0]));
    editor_.FirstHandsetLeft(10);
    ASSERT_TRUE(editor_.ChooseMethod(FillMethod::kModulo100));
    const QStringList before = TerminalState(idNet_);
    editor_.ConfirmDistribution(idNet_ + 1);
    EXPECT_EQ(before, TerminalState(idNet_));
    EXPECT_EQ(0, editor_.ShownSwitch());
}

TEST_F(EntranceSwitch, CommonKeySlotsNeverFallBelowTheKeysOfEachEntrance) {
    ASSERT_TRUE(editor_.ShowEntrance(pks_[0]));
    for (int i = 0; i < 3; ++i)
        AddKey(pods_[1], -1, QStringLiteral("0000000001%1").arg(i, 2, 10, QLatin1Char('0')));
    ASSERT_TRUE(editor_.SaveCommonKeys(2, true));
    EXPECT_EQ(QStringList({"2", "3", "2"}),
              Rows("SELECT o_key FROM k_pod WHERE id_net=? ORDER BY id_pod", {idNet_}));
    ASSERT_TRUE(editor_.ShowEntrance(pks_[1]));
    ASSERT_TRUE(editor_.SaveCommonKeys(1, false));
    EXPECT_EQ(3, editor_.View().commonKeys);
    EXPECT_FALSE(editor_.SaveCommonKeys(7001, false));

    ASSERT_TRUE(editor_.SaveKeysPerApartment(5, KeySlotScope::House));
    EXPECT_EQ(QStringList({"5", "5", "0"}),
              Rows("SELECT d_key FROM k_pod WHERE id_net=? ORDER BY id_pod", {idNet_}));
    ASSERT_TRUE(editor_.SaveKeysPerApartment(6, KeySlotScope::Object));
    ASSERT_TRUE(editor_.SaveKeysPerApartment(7, KeySlotScope::Entrance));
    EXPECT_EQ(QStringList({"6", "7", "6"}),
              Rows("SELECT d_key FROM k_pod WHERE id_net=? ORDER BY id_pod", {idNet_}));
}

TEST_F(EntranceSwitch, TheHundredsIncrementMarksThePanelsNotTheSwitch) {
    SetFileStates(idNet_, 1);
    ASSERT_TRUE(editor_.ShowEntrance(pks_[2]));
    ASSERT_TRUE(editor_.SaveHundreds(3));
    EXPECT_EQ(3, Switch(pks_[2], "ah").toInt());
    EXPECT_EQ(QStringList({"1", "1", "1"}), FileStates("k_pk", idNet_));
    // The gate and the door panel of house 2 ring this switch.
    EXPECT_EQ(QStringList({"2", "1", "1", "2"}), FileStates("k_bv", idNet_));
    EXPECT_FALSE(editor_.SaveHundreds(51));
}
}  // namespace
}  // namespace EntranceSwitchEditorTestUnit
