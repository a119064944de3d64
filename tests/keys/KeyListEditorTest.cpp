// Deletions, selection marks, order, labels and slots of the key list.

#include "KeyObjectFixture.h"
#include "keys/KeyListEditor.h"
#include "keys/KeyNumber.h"
#include "keys/KeyRegister.h"
#include "support/QtPrinters.h"
#include "support/ScriptedDialogs.h"

namespace KeyListEditorTestUnit {

namespace {

class KeyListEditorTest : public KeyObjectFixture {
  protected:
    void SetUp() override {
        KeyObjectFixture::SetUp();
        keys_ = std::make_unique<KeyRegister>(*dm_);
        editor_ = std::make_unique<KeyListEditor>(*keys_);
        keys_->SetMode(KeyGroup::Apartment);
    }
    void TearDown() override {
        editor_.reset();
        keys_.reset();
        KeyObjectFixture::TearDown();
    }

    // Gives apartment 6 of the first entrance keys with these labels.
    int ApartmentWithLabels(const QStringList& labels) {
        const int idKvr = ApartmentId(0, 6);
        int n = 0;
        for (const QString& label : labels)
            Exec(
                "INSERT INTO k_key (un_key, id_pod, bv_key, id_kvr, id_net, s_met)"
                " VALUES (?, ?, ?, ?, ?, ?)",
                {QStringLiteral("00000050000%1").arg(++n), entranceIds_[0],
                 QStringLiteral("50000%1").arg(n), idKvr, objectId_, label});
        Exec("UPDATE k_kvr SET x_key=?, y_key=? WHERE id_kvr=?",
             {int(labels.size()), int(labels.size()), idKvr});
        Reload();
        EXPECT_TRUE(dm_->QForKey->Locate("id_kvr", idKvr));
        return idKvr;
    }
    QStringList Labels(Dataset* list) {
        QStringList labels;
        for (int row = 0; row < list->RecordCount(); ++row)
            labels << list->Value(row, list->FieldIndex("s_met")).toString();
        return labels;
    }
    // A trigger that refuses to delete one key, to see a bulk deletion fail.
    void RefuseToDelete(const QString& code) {
        Exec(QStringLiteral("CREATE TRIGGER keep_key BEFORE DELETE ON k_key WHEN old.bv_key='%1'"
                            " BEGIN SELECT RAISE(ABORT, 'ключ защищён'); END")
                 .arg(code));
    }

    ScriptedDialogs dialogs_;
    std::unique_ptr<KeyRegister> keys_;
    std::unique_ptr<KeyListEditor> editor_;
};

TEST_F(KeyListEditorTest, DeletingOneKeyLowersAQuotaAboveTheDefault) {
    const int idKvr =
        ApartmentWithLabels({"0001", "0002", "0003", "0004", "0005", "0006"});  // x_key 6
    ASSERT_TRUE(editor_->DeleteCurrentKey());
    // The data module's count keeps 5; the frame lowers it to the default 4.
    EXPECT_EQ(Scalar("SELECT x_key || '/' || y_key FROM k_kvr WHERE id_kvr=?", {idKvr}).toString(),
              "4/5");
    ASSERT_TRUE(editor_->DeleteCurrentKey());
    EXPECT_EQ(Scalar("SELECT x_key || '/' || y_key FROM k_kvr WHERE id_kvr=?", {idKvr}).toString(),
              "4/4");

    // Common and gate lists: the current row only.
    keys_->SetMode(KeyGroup::Gate);
    ASSERT_TRUE(editor_->DeleteCurrentKey());
    EXPECT_EQ(Count("SELECT COUNT(*) FROM k_key WHERE id_kvr=-2"), 1);
    EXPECT_EQ(KeysOf(ApartmentId(0, 1)), 2);
}

TEST_F(KeyListEditorTest, DeletingAllKeysOfAnApartmentResetsItsQuota) {
    const int idKvr = ApartmentWithLabels({"1", "2", "3", "4", "5", "6"});
    keys_->SetMode(KeyGroup::Ter);
    ASSERT_TRUE(editor_->DeleteApartmentKeys());
    EXPECT_EQ(KeysOf(idKvr), 0);
    EXPECT_EQ(Scalar("SELECT x_key || '/' || y_key FROM k_kvr WHERE id_kvr=?", {idKvr}).toString(),
              "4/0");
    EXPECT_EQ(KeysOf(ApartmentId(0, 1)), 2);
}

TEST_F(KeyListEditorTest, DeletingAnEntrancesCommonKeysStepsTheGauge) {
    keys_->SetMode(KeyGroup::Entrance);
    ASSERT_TRUE(dm_->QPodKey->Locate("id_pod", entranceIds_[1]));
    QList<int> values;
    bool hidden = false;
    ASSERT_TRUE(editor_->DeleteEntranceKeys([&](int value, int maximum, bool visible) {
        EXPECT_EQ(maximum, 5);
        if (visible) values << value;
        hidden = !visible;
    }));
    EXPECT_EQ(values, (QList<int>{0, 1, 2, 3, 4}));
    EXPECT_TRUE(hidden);
    EXPECT_EQ(CommonKeysOf(1), 0);
    EXPECT_EQ(CommonKeysOf(0), 3);
    EXPECT_EQ(Count("SELECT o_rky FROM k_pod WHERE id_pod=?", {entranceIds_[1]}), 0);
    EXPECT_EQ(dm_->QPodKey->FieldByName("id_pod").AsInt(), entranceIds_[1]);
    EXPECT_TRUE(keys_->ChangeFlags().IsSet(2));
}

// The gate's id is the first entrance's: only the gate keys go.
TEST_F(KeyListEditorTest, DeletingAGatesKeysLeavesTheEntranceWithTheSameIdAlone) {
    keys_->SetMode(KeyGroup::Gate);
    ASSERT_TRUE(editor_->DeleteGateKeys());
    EXPECT_EQ(Count("SELECT COUNT(*) FROM k_key WHERE id_pod=?", {gateId_}), 13);
    EXPECT_EQ(Count("SELECT COUNT(*) FROM k_key WHERE id_kvr=-2"), 0);
    EXPECT_TRUE(keys_->ChangeFlags().IsSet(kGateNet));
}

TEST_F(KeyListEditorTest, AFailedBulkDeletionLeavesEveryKey) {
    keys_->SetMode(KeyGroup::Entrance);
    ASSERT_TRUE(dm_->QPodKey->Locate("id_pod", entranceIds_[0]));
    RefuseToDelete(QStringLiteral("1A000C"));  // the second of three
    dialogs_.ExpectContaining(QStringLiteral("Ошибка"), QStringLiteral("Ключи не удалены."));
    EXPECT_FALSE(editor_->DeleteEntranceKeys());
    EXPECT_EQ(CommonKeysOf(0), 3);
    EXPECT_EQ(dm_->QOKeys->RecordCount(), 3);  // the list shows what is stored
    EXPECT_EQ(Count("SELECT o_rky FROM k_pod WHERE id_pod=?", {entranceIds_[0]}), 3);
    EXPECT_FALSE(keys_->ChangeFlags().Any());

    keys_->SetMode(KeyGroup::Apartment);
    const int idKvr = ApartmentWithLabels({"a", "b", "c"});
    Exec("DROP TRIGGER keep_key");
    RefuseToDelete(QStringLiteral("500003"));
    // The refusal is told as the database's, not in the trigger's words.
    dialogs_.ExpectContaining(
        QStringLiteral("Ошибка"),
        QStringLiteral("Ключи не удалены.\nЗапись отклонена триггером самого файла базы данных."));
    EXPECT_EQ(editor_->DeleteSelectedKeys({1, 2, 3}), -1);
    EXPECT_EQ(KeysOf(idKvr), 3);
    EXPECT_EQ(Count("SELECT COUNT(*) FROM k_key WHERE l_del<>0"), 0);
}

TEST_F(KeyListEditorTest, SelectedAndEarlierMarkedRowsAreDeletedTogether) {
    const int idKvr = ApartmentWithLabels({"a", "b", "c", "d", "e"});
    Exec("UPDATE k_key SET l_del=1 WHERE bv_key='500005'");
    Reload();
    ASSERT_TRUE(dm_->QForKey->Locate("id_kvr", idKvr));
    dm_->QKeys->SetRecNo(4);
    EXPECT_EQ(editor_->DeleteSelectedKeys({1, 3}), 3);
    EXPECT_EQ(Labels(dm_->QKeys), (QStringList{"b", "d"}));
    EXPECT_EQ(dm_->QKeys->RecNo(), 2);  // the former row number was 4: too far now
    EXPECT_TRUE(keys_->ChangeFlags().IsSet(1));
    EXPECT_EQ(Scalar("SELECT y_key FROM k_kvr WHERE id_kvr=?", {idKvr}).toInt(), 2);
}

TEST_F(KeyListEditorTest, ClearingTheMarksKeepsTheRows) {
    const int idKvr = ApartmentWithLabels({"a", "b", "c"});
    Exec("UPDATE k_key SET l_del=1 WHERE id_kvr=?", {idKvr});
    Reload();
    ASSERT_TRUE(dm_->QForKey->Locate("id_kvr", idKvr));
    dm_->QKeys->SetRecNo(2);
    editor_->ClearDeleteMarks();
    EXPECT_EQ(Count("SELECT COUNT(*) FROM k_key WHERE l_del<>0"), 0);
    EXPECT_EQ(KeysOf(idKvr), 3);
    EXPECT_EQ(dm_->QKeys->RecNo(), 2);
}

TEST_F(KeyListEditorTest, TitleClicksSortAscendingThenDescending) {
    ApartmentWithLabels({"b", "c", "a"});
    int state = KeySort::kInitial;
    state = editor_->SortByColumn(state, 1);
    EXPECT_EQ(state, 4);
    EXPECT_EQ(dm_->QKeys->Sql(), "SELECT * FROM k_key WHERE id_kvr=:id_kvr ORDER BY s_met DESC");
    EXPECT_EQ(Labels(dm_->QKeys), (QStringList{"c", "b", "a"}));
    state = editor_->SortByColumn(state, 1);
    EXPECT_EQ(state, 3);
    EXPECT_EQ(Labels(dm_->QKeys), (QStringList{"a", "b", "c"}));
    state = editor_->SortByColumn(state, 0);
    EXPECT_EQ(dm_->QKeys->Sql(), "SELECT * FROM k_key WHERE id_kvr=:id_kvr ORDER BY un_key");

    keys_->SetMode(KeyGroup::Entrance);
    EXPECT_EQ(editor_->SortByColumn(6, 2), 5);
    EXPECT_EQ(dm_->QOKeys->Sql(),
              "SELECT * FROM k_key WHERE id_kvr=-1 AND id_pod=:id_pod ORDER BY status");
    EXPECT_EQ(dm_->QOKeys->RecordCount(), 3);
    keys_->SetMode(KeyGroup::Gate);
    EXPECT_EQ(editor_->SortByColumn(5, 2), 6);
    EXPECT_EQ(dm_->QKKeys->Sql(),
              "SELECT * FROM k_key WHERE id_kvr=-2 AND id_pod=:id_bv ORDER BY status DESC");
    EXPECT_EQ(dm_->QKKeys->RecordCount(), 2);

    // Adding into a re-sorted list still fills the owner's columns.
    keys_->SetMode(KeyGroup::Apartment);
    keys_->SetOptions({.autoMove = false, .noLimitQuestion = true});
    EXPECT_EQ(keys_->Confirm(QStringLiteral("600001"), {}).outcome, ConfirmOutcome::Stored);
    EXPECT_EQ(dm_->QKeys->RecordCount(), 4);
}

TEST_F(KeyListEditorTest, LabelsAreWidenedToTheLabelDigits) {
    const int idKvr = ApartmentWithLabels({"7", "", "ABCD", " 12345 "});
    ASSERT_TRUE(editor_->WidenLabels(4));
    EXPECT_EQ(Scalar("SELECT group_concat(s_met, '|') FROM (SELECT s_met FROM k_key"
                     " WHERE id_kvr=? ORDER BY rowid)",
                     {idKvr})
                  .toString(),
              "0007|0000|ABCD| 12345 ");
    EXPECT_EQ(Labels(dm_->QKeys).size(), 4);
}

TEST_F(KeyListEditorTest, CommonKeySlotsNeverFallBelowTheCommonKeys) {
    keys_->SetMode(KeyGroup::Entrance);
    ASSERT_TRUE(dm_->QPodKey->Locate("id_pod", entranceIds_[2]));
    EXPECT_EQ(editor_->SetCommonSlots(40), 40);
    EXPECT_EQ(Count("SELECT o_key FROM k_pod WHERE id_pod=?", {entranceIds_[2]}), 40);
    EXPECT_EQ(editor_->SetCommonSlots(0), 3);
    EXPECT_EQ(Count("SELECT o_key FROM k_pod WHERE id_pod=?", {entranceIds_[2]}), 3);
    EXPECT_EQ(dm_->QPodKey->FieldByName("id_pod").AsInt(), entranceIds_[2]);

    // A refused write is told over the count the file holds, not the one refused.
    Exec(
        "CREATE TRIGGER refuse_slots BEFORE UPDATE OF o_key ON k_pod"
        " BEGIN SELECT RAISE(ABORT, 'disk full'); END");
    dialogs_
        .ExpectContaining(QStringLiteral("Ошибка"),
                          QStringLiteral("Количество слотов не изменено."))
        .WhenShown([&] { EXPECT_EQ(dm_->QPodKey->FieldByName("o_key").AsInt(), 3); });
    EXPECT_EQ(editor_->SetCommonSlots(20), 3);
}

TEST_F(KeyListEditorTest, ApartmentsAreFoundByTheBeginningOfTheirNumber) {
    ASSERT_TRUE(editor_->FindApartment(houseIds_[0], QStringLiteral(" 4 ")));
    EXPECT_EQ(dm_->QForKey->FieldByName("id_kvr").AsInt(), ApartmentId(0, 4));
    ASSERT_TRUE(editor_->FindApartment(houseIds_[0], QStringLiteral("41")));
    EXPECT_EQ(dm_->QForKey->FieldByName("id_kvr").AsInt(), ApartmentId(1, 1));
    ASSERT_TRUE(editor_->FindApartment(houseIds_[1], QStringLiteral("4")));
    EXPECT_EQ(dm_->QForKey->FieldByName("id_kvr").AsInt(), ApartmentId(2, 4));
    EXPECT_FALSE(editor_->FindApartment(houseIds_[1], QStringLiteral("41")));

    ASSERT_TRUE(editor_->PositionResidents());
    EXPECT_EQ(dm_->Q_Ppl->FieldByName("id_kvr").AsInt(), ApartmentId(2, 4));
}

}  // namespace
}  // namespace KeyListEditorTestUnit
