// Adding and rewriting keys through the key register: numbers, duplicate
// scopes, quotas and the move on, sounds, counters.

#include "KeyObjectFixture.h"
#include "keys/KeyRegister.h"
#include "support/QtPrinters.h"
#include "support/RecordingTones.h"
#include "support/ScriptedDialogs.h"

#include <QDate>

namespace KeyRegisterTestUnit {

namespace {

class KeyRegisterTest : public KeyObjectFixture {
  protected:
    void SetUp() override {
        KeyObjectFixture::SetUp();
        keys_ = std::make_unique<KeyRegister>(*dm_);
    }
    void TearDown() override {
        keys_.reset();
        KeyObjectFixture::TearDown();
    }

    void GoToEntrance(int entrance) {
        ASSERT_TRUE(dm_->QPodKey->Locate("id_pod", entranceIds_[entrance]));
    }
    void Use(KeyGroup mode, KeyOptions options = {}) {
        keys_->SetMode(mode);
        keys_->SetOptions(options);
    }
    // The stored row of a key code, as "un_key|id_pod|id_kvr|l_ob|s_met".
    QString Row(const QString& code) {
        return Scalar(
                   "SELECT un_key || '|' || id_pod || '|' || id_kvr || '|' || l_ob || '|' || s_met"
                   " FROM k_key WHERE bv_key=? ORDER BY rowid DESC",
                   {code})
            .toString();
    }
    int KeysWithCode(const QString& code) {
        return Count("SELECT COUNT(*) FROM k_key WHERE bv_key=?", {code});
    }
    QString Quota(int idKvr) {
        return Scalar("SELECT x_key || '/' || y_key FROM k_kvr WHERE id_kvr=?", {idKvr}).toString();
    }

    // The question asked before a key goes over its owner's quota.
    void AnswerOverQuota(DlgAnswer answer) {
        dialogs_.Expect(QStringLiteral("Превышение"), QStringLiteral("Добавить ключ сверх нормы?!"),
                        answer);
    }
    // A confirmation that stops at the quota: nothing stored, the fields kept.
    void ExpectDeclined(const QString& number) {
        const ConfirmResult r = keys_->Confirm(number, QStringLiteral("m"));
        EXPECT_EQ(r.outcome, ConfirmOutcome::Declined);
        EXPECT_FALSE(r.finished);
        EXPECT_EQ(KeysWithCode(number), 0);
    }

    ScriptedDialogs dialogs_;
    RecordingTones tones_;
    std::unique_ptr<KeyRegister> keys_;
};

TEST_F(KeyRegisterTest, FixtureGateSharesItsIdWithAnEntrance) {
    EXPECT_EQ(gateId_, entranceIds_[1]);
    EXPECT_EQ(Count("SELECT COUNT(*) FROM k_key WHERE id_net=?", {objectId_}), 41);
}

TEST_F(KeyRegisterTest, TypedNumberIsPaddedAndStoredWithItsPanelCode) {
    Use(KeyGroup::Apartment);
    GoToApartment(0, 6);
    const ConfirmResult r = keys_->Confirm(QStringLiteral(" 1A2B3C "), QString());
    EXPECT_EQ(r.outcome, ConfirmOutcome::Stored);
    EXPECT_TRUE(r.finished);
    EXPECT_EQ(r.number, QString());
    EXPECT_EQ(r.label, QString());
    const int idKvr = ApartmentId(0, 6);
    EXPECT_EQ(Row("1A2B3C"),
              QStringLiteral("0000001A2B3C|%1|%2|0|0001").arg(entranceIds_[0]).arg(idKvr));
    EXPECT_EQ(Scalar("SELECT status FROM k_key WHERE bv_key='1A2B3C'").toString(),
              QStringLiteral("АРМ ") + QDate::currentDate().toString("dd.MM.yyyy"));
    EXPECT_EQ(Scalar("SELECT id_net FROM k_key WHERE bv_key='1A2B3C'").toInt(), objectId_);
    EXPECT_EQ(Quota(idKvr), "4/1");         // the data module's counter ran
    EXPECT_TRUE(tones_.Heard().isEmpty());  // the sound box is clear

    // A typed label is used when labels are not numbered automatically; a
    // full number of 12 digits is taken as it is.
    Use(KeyGroup::Apartment, {.autoLabel = false, .beep = true});
    keys_->Confirm(QStringLiteral("ABCDEF123456"), QStringLiteral("  Иванов  "));
    EXPECT_EQ(Row("123456"),
              QStringLiteral("ABCDEF123456|%1|%2|0|Иванов").arg(entranceIds_[0]).arg(idKvr));
    EXPECT_EQ(tones_.Heard(), QStringList{"512/20"});
}

// The key and its owner's counters are one write: when the counters are
// refused, the key is not stored either.
TEST_F(KeyRegisterTest, AKeyWhoseCountersCannotBeWrittenIsNotStored) {
    Use(KeyGroup::Apartment);
    GoToApartment(0, 6);
    const QString before = Quota(ApartmentId(0, 6));
    Exec(
        "CREATE TRIGGER refuse_counts BEFORE UPDATE OF y_key ON k_kvr"
        " BEGIN SELECT RAISE(ABORT, 'disk full'); END");
    dialogs_.ExpectContaining(QStringLiteral("Ошибка"), QStringLiteral("Ключ не записан.\n"));
    EXPECT_EQ(keys_->Confirm(QStringLiteral("1A2B3C"), QString()).outcome, ConfirmOutcome::Refused);
    EXPECT_EQ(KeysWithCode("1A2B3C"), 0);
    EXPECT_EQ(Quota(ApartmentId(0, 6)), before);
    EXPECT_EQ(dm_->QKeys->Locate("bv_key", "1A2B3C"), false) << "the list shows the file";
}

TEST_F(KeyRegisterTest, ShortOrEmptyNumbersStoreNothingAndMarkNothing) {
    Use(KeyGroup::Apartment);
    GoToApartment(0, 6);
    dialogs_.Expect(QStringLiteral("Ошибка"), QStringLiteral("Неверная длина номера!"));
    const ConfirmResult r = keys_->Confirm(QStringLiteral("12345"), QStringLiteral("x"));
    EXPECT_EQ(r.outcome, ConfirmOutcome::ShortNumber);
    EXPECT_TRUE(r.finished);
    EXPECT_EQ(r.number, QString());
    EXPECT_EQ(r.label, QString());
    EXPECT_EQ(KeysOf(ApartmentId(0, 6)), 0);

    EXPECT_EQ(keys_->Confirm(QStringLiteral("   "), QString()).outcome, ConfirmOutcome::Empty);
    EXPECT_FALSE(keys_->ChangeFlags().Any());
}

// FFFFFF marks an empty slot in files and grids: whatever brings it, it is
// refused like a key that cannot be stored.
TEST_F(KeyRegisterTest, TheEmptySlotMarkIsNeverStored) {
    Use(KeyGroup::Apartment);
    GoToApartment(0, 6);
    for (const char* typed : {"FFFFFF", "12345FFFFFF"}) {
        const ConfirmResult r = keys_->Confirm(QString::fromLatin1(typed), QString());
        EXPECT_EQ(r.outcome, ConfirmOutcome::Refused);
        EXPECT_FALSE(r.number.isEmpty());
    }
    EXPECT_EQ(KeysOf(ApartmentId(0, 6)), 0);
    EXPECT_EQ(tones_.Heard(), (QStringList{"120/100", "120/100"}));
    EXPECT_FALSE(keys_->ChangeFlags().Any());
}

TEST_F(KeyRegisterTest, ApartmentKeysAreUniqueWithinTheirApartmentOnly) {
    Use(KeyGroup::Apartment, {.beep = true});
    GoToApartment(0, 1);  // holds 1A0001 and 1A0002
    ConfirmResult r = keys_->Confirm(QStringLiteral("1A0001"), QStringLiteral("5"));
    EXPECT_EQ(r.outcome, ConfirmOutcome::Refused);
    EXPECT_EQ(r.number, QStringLiteral("0000001A0001"));  // kept for correcting
    EXPECT_EQ(r.label, QString());
    EXPECT_EQ(KeysOf(ApartmentId(0, 1)), 2);
    EXPECT_EQ(tones_.Heard(), QStringList{"120/100"});
    EXPECT_FALSE(keys_->ChangeFlags().Any());

    // Case counts: the stored codes are upper case.
    tones_.Clear();
    GoToApartment(0, 6);
    EXPECT_EQ(keys_->Confirm(QStringLiteral("1A0001"), {}).outcome, ConfirmOutcome::Stored);
    EXPECT_EQ(KeysWithCode("1A0001"), 2);
    EXPECT_EQ(tones_.Heard(), QStringList{"512/20"});
}

TEST_F(KeyRegisterTest, CommonKeysAreUniqueAmongTheEntrancesCommonKeys) {
    Use(KeyGroup::Entrance, {.autoMove = false, .noLimitQuestion = true});
    GoToEntrance(0);  // common keys 1A000B..1A000D
    EXPECT_EQ(keys_->Confirm(QStringLiteral("1A000B"), {}).outcome, ConfirmOutcome::Refused);
    // An apartment key of the entrance, or another entrance's common key, may
    // also be a common key here.
    EXPECT_EQ(keys_->Confirm(QStringLiteral("1A0001"), {}).outcome, ConfirmOutcome::Stored);
    EXPECT_EQ(keys_->Confirm(QStringLiteral("1A0018"), {}).outcome, ConfirmOutcome::Stored);
    EXPECT_EQ(CommonKeysOf(0), 5);
    EXPECT_EQ(Row("1A0018"), QStringLiteral("0000001A0018|%1|-1|1|0005").arg(entranceIds_[0]));
    // The list stands on the stored key.
    EXPECT_EQ(dm_->QOKeys->FieldByName("bv_key").AsString(), QStringLiteral("1A0018"));
    EXPECT_EQ(Scalar("SELECT o_key || '/' || o_rky FROM k_pod WHERE id_pod=?", {entranceIds_[0]})
                  .toString(),
              "5/5");
}

TEST_F(KeyRegisterTest, GateKeysAreUniqueAgainstTheEntrancesWiredToTheGate) {
    Use(KeyGroup::Gate);
    ASSERT_TRUE(dm_->QKalKey->Locate("id_bv", gateId_));
    for (const char* taken : {"1A0001", "1A000B", "1A001B", "1A0028"})  // apartment, common, gate
        EXPECT_EQ(keys_->Confirm(QLatin1String(taken), {}).outcome, ConfirmOutcome::Refused)
            << taken;
    EXPECT_FALSE(dm_->Q_JKey->IsOpen());  // closed again after each confirmation

    // Entrance 3 no longer reaches the gate: its keys may be gate keys.
    Exec("DELETE FROM m_bv WHERE id_bv=? AND n_pk=3", {gateId_});
    EXPECT_EQ(keys_->Confirm(QStringLiteral("1A001B"), {}).outcome, ConfirmOutcome::Stored);
    EXPECT_EQ(Row("1A001B"), QStringLiteral("0000001A001B|%1|-2|1|0003").arg(gateId_));
    EXPECT_EQ(dm_->QKKeys->FieldByName("bv_key").AsString(), QStringLiteral("1A001B"));
}

TEST_F(KeyRegisterTest, GateModeWithoutGatePanelsRefuses) {
    Exec("UPDATE k_bv SET bv_type=0 WHERE id_bv=?", {gateId_});
    Reload();
    Use(KeyGroup::Gate);
    dialogs_.Expect(QStringLiteral("Ошибка"), QStringLiteral("Калиток на объекте нет!"));
    const ConfirmResult r = keys_->Confirm(QStringLiteral("ABCDEF"), QStringLiteral("1"));
    EXPECT_EQ(r.outcome, ConfirmOutcome::NoGate);
    EXPECT_EQ(r.number, QStringLiteral("000000ABCDEF"));
    EXPECT_EQ(r.label, QString());
    EXPECT_EQ(KeysWithCode("ABCDEF"), 0);
}

TEST_F(KeyRegisterTest, EditingRewritesTheRowAndChecksDuplicatesOfTheOtherRows) {
    Use(KeyGroup::Apartment);
    GoToApartment(0, 1);
    ASSERT_TRUE(dm_->QKeys->Locate("bv_key", QStringLiteral("1A0001")));
    QString number, label;
    ASSERT_TRUE(keys_->BeginEdit(&number, &label));
    EXPECT_EQ(number, QStringLiteral("0000001A0001"));
    EXPECT_EQ(label, QStringLiteral("0001"));
    EXPECT_EQ(keys_->EditMode(), 1);

    // The apartment's other key is a duplicate, even while editing.
    ConfirmResult r = keys_->Confirm(QStringLiteral("1A0002"), label);
    EXPECT_EQ(r.outcome, ConfirmOutcome::Refused);
    EXPECT_EQ(keys_->EditMode(), 0);
    EXPECT_EQ(KeysWithCode("1A0002"), 1);

    // Its own number is no duplicate: the label and the status are rewritten.
    ASSERT_TRUE(dm_->QKeys->Locate("bv_key", QStringLiteral("1A0001")));
    ASSERT_TRUE(keys_->BeginEdit(&number, &label));
    r = keys_->Confirm(QStringLiteral("1A0001"), QStringLiteral("Петров"));
    EXPECT_EQ(r.outcome, ConfirmOutcome::Stored);
    EXPECT_EQ(KeysOf(ApartmentId(0, 1)), 2);
    EXPECT_EQ(Scalar("SELECT s_met || '|' || status FROM k_key WHERE bv_key='1A0001'").toString(),
              QStringLiteral("Петров|АРМ ") + QDate::currentDate().toString("dd.MM.yyyy"));

    // A new number for the row.
    ASSERT_TRUE(dm_->QKeys->Locate("bv_key", QStringLiteral("1A0001")));
    ASSERT_TRUE(keys_->BeginEdit(&number, &label));
    EXPECT_EQ(keys_->Confirm(QStringLiteral("77AA77"), label).outcome, ConfirmOutcome::Stored);
    EXPECT_EQ(KeysWithCode("1A0001"), 0);
    EXPECT_EQ(KeysOf(ApartmentId(0, 1)), 2);
}

// A change holds the row it began on by its key: the list moved to another
// row of the apartment still rewrites that row; a list that no longer shows
// it (another apartment) rewrites nothing and says so.
TEST_F(KeyRegisterTest, AChangeRewritesTheKeyItBeganOnOrNothing) {
    Use(KeyGroup::Apartment);
    GoToApartment(0, 2);
    ASSERT_TRUE(dm_->QKeys->Locate("bv_key", QStringLiteral("1A0003")));
    QString number, label;
    ASSERT_TRUE(keys_->BeginEdit(&number, &label));
    ASSERT_TRUE(dm_->QKeys->Locate("bv_key", QStringLiteral("1A0004")));
    EXPECT_EQ(keys_->Confirm(QStringLiteral("77AA77"), label).outcome, ConfirmOutcome::Stored);
    EXPECT_EQ(KeysWithCode("1A0003"), 0);
    EXPECT_EQ(KeysWithCode("1A0004"), 1);
    EXPECT_EQ(
        Row("77AA77"),
        QStringLiteral("00000077AA77|%1|%2|0|0001").arg(entranceIds_[0]).arg(ApartmentId(0, 2)));

    ASSERT_TRUE(dm_->QKeys->Locate("bv_key", QStringLiteral("1A0004")));
    ASSERT_TRUE(keys_->BeginEdit(&number, &label));
    GoToApartment(0, 3);
    dialogs_.Expect(QStringLiteral("Ошибка"),
                    QStringLiteral("Ключ 0000001A0004 не в списке на экране; изменения не "
                                   "сохранены."));
    EXPECT_EQ(keys_->Confirm(QStringLiteral("88BB88"), label).outcome, ConfirmOutcome::Refused);
    EXPECT_EQ(keys_->EditMode(), 0);
    EXPECT_EQ(KeysWithCode("88BB88"), 0);
    EXPECT_EQ(KeysWithCode("1A0004"), 1);
    EXPECT_EQ(KeysOf(ApartmentId(0, 3)), 2);
}

TEST_F(KeyRegisterTest, FullApartmentPassesTheKeyToTheNextWithRoom) {
    Use(KeyGroup::Apartment, {.beep = true});
    Exec("UPDATE k_kvr SET x_key=2 WHERE id_kvr=?", {ApartmentId(0, 1)});  // 2 of 2: full
    Reload();
    GoToApartment(0, 1);
    EXPECT_EQ(keys_->Confirm(QStringLiteral("100001"), {}).outcome, ConfirmOutcome::Stored);
    EXPECT_EQ(KeysOf(ApartmentId(0, 1)), 2);
    EXPECT_EQ(KeysOf(ApartmentId(0, 2)), 3);
    EXPECT_EQ(dm_->QForKey->FieldByName("id_kvr").AsInt(), ApartmentId(0, 2));
    EXPECT_EQ(tones_.Heard(), (QStringList{"512/50", "512/20"}));

    // A first new apartment planned for one key moves silently, and so does
    // every later move of the same confirmation.
    tones_.Clear();
    Exec("UPDATE k_kvr SET x_key=y_key WHERE id_pod=?", {entranceIds_[0]});
    Exec("UPDATE k_kvr SET x_key=1, y_key=1 WHERE id_kvr=?", {ApartmentId(0, 3)});
    Reload();
    GoToApartment(0, 2);
    EXPECT_EQ(keys_->Confirm(QStringLiteral("100002"), {}).outcome, ConfirmOutcome::Stored);
    EXPECT_EQ(tones_.Heard(), QStringList{"512/20"});
}

// The move on never carries a key off to an apartment the operator did not
// choose: with every apartment full it stays with the chosen one, over its
// quota, as the operator decides.
TEST_F(KeyRegisterTest, WhenEveryApartmentIsFullTheKeyStaysWithTheChosenOneIfAllowed) {
    Exec("UPDATE k_kvr SET x_key=y_key");
    Reload();
    Use(KeyGroup::Apartment, {.beep = true});
    GoToApartment(0, 1);
    const int chosen = ApartmentId(0, 1);
    AnswerOverQuota(DlgAnswer::No);
    ExpectDeclined(QStringLiteral("100003"));
    EXPECT_EQ(dm_->QForKey->FieldByName("id_kvr").AsInt(), chosen);
    EXPECT_TRUE(tones_.Heard().isEmpty()) << "no move, no move sound";

    AnswerOverQuota(DlgAnswer::Yes);
    EXPECT_EQ(keys_->Confirm(QStringLiteral("100003"), {}).outcome, ConfirmOutcome::Stored);
    EXPECT_EQ(Scalar("SELECT id_kvr FROM k_key WHERE bv_key='100003'").toInt(), chosen);
    EXPECT_EQ(tones_.Heard(), QStringList{"512/20"});
    dialogs_.VerifyDone();
}

TEST_F(KeyRegisterTest, WithoutKeysPerApartmentTheMoveOnRefusesWithAMessage) {
    Exec("UPDATE k_kvr SET x_key=y_key");
    Exec("UPDATE k_net SET v_key=0");
    Reload();
    Use(KeyGroup::Apartment);
    GoToApartment(0, 1);
    dialogs_.Expect(QStringLiteral("Ошибка"),
                    QStringLiteral("Норма ключей на квартиру равна 0, ключ не записан! Задайте "
                                   "\"Ключей в квартире\" в фрейме \"Подъездная структура "
                                   "объекта\" или снимите \"Автоматический переход на следующую "
                                   "квартиру\"."));
    ExpectDeclined(QStringLiteral("100004"));
    EXPECT_FALSE(keys_->ChangeFlags().Any());
    dialogs_.VerifyDone();
}

TEST_F(KeyRegisterTest, OverTheQuotaTheOperatorDecides) {
    Exec("UPDATE k_kvr SET x_key=2 WHERE id_kvr=?", {ApartmentId(0, 1)});
    Reload();
    Use(KeyGroup::Apartment, {.autoMove = false});
    GoToApartment(0, 1);
    AnswerOverQuota(DlgAnswer::No);
    ExpectDeclined(QStringLiteral("200001"));
    EXPECT_EQ(KeysOf(ApartmentId(0, 1)), 2);

    AnswerOverQuota(DlgAnswer::Yes);
    EXPECT_EQ(keys_->Confirm(QStringLiteral("200001"), {}).outcome, ConfirmOutcome::Stored);
    EXPECT_EQ(Quota(ApartmentId(0, 1)), "3/3");

    // Without the question when allowed; the lost-key replacement always asks.
    Use(KeyGroup::Apartment, {.autoMove = false, .noLimitQuestion = true});
    EXPECT_EQ(keys_->Confirm(QStringLiteral("200002"), {}).outcome, ConfirmOutcome::Stored);
    Use(KeyGroup::Ter, {.autoMove = true});
    AnswerOverQuota(DlgAnswer::Yes);
    EXPECT_EQ(keys_->Confirm(QStringLiteral("200003"), {}).outcome, ConfirmOutcome::Stored);
    EXPECT_EQ(KeysOf(ApartmentId(0, 1)), 5);
}

TEST_F(KeyRegisterTest, FullEntrancePassesCommonKeysOnAndEveryMoveSounds) {
    Exec("UPDATE k_pod SET o_key=5 WHERE id_pod=?", {entranceIds_[2]});
    Reload();
    Use(KeyGroup::Entrance, {.beep = true});
    GoToEntrance(0);  // 3 of 3, and so is the second entrance
    EXPECT_EQ(keys_->Confirm(QStringLiteral("300001"), {}).outcome, ConfirmOutcome::Stored);
    EXPECT_EQ(CommonKeysOf(2), 4);
    EXPECT_EQ(tones_.Heard(), (QStringList{"512/50", "512/50", "512/20"}));

    // Without the move, the over-quota question.
    Use(KeyGroup::Entrance, {.autoMove = false});
    GoToEntrance(0);
    AnswerOverQuota(DlgAnswer::No);
    ExpectDeclined(QStringLiteral("300002"));
}

// An entrance without common-key slots has nothing to pass its keys on
// from: a common key typed for it is its own, over the quota, or none.
TEST_F(KeyRegisterTest, CommonKeysOfAnEntranceWithoutSlotsStayThereOrNowhere) {
    Exec("UPDATE k_pod SET o_key=0 WHERE id_pod=?", {entranceIds_[0]});
    Exec("UPDATE k_pod SET o_key=9 WHERE id_pod<>?", {entranceIds_[0]});  // room further on
    Reload();
    Use(KeyGroup::Entrance, {.beep = true});
    GoToEntrance(0);
    AnswerOverQuota(DlgAnswer::No);
    ExpectDeclined(QStringLiteral("300003"));

    AnswerOverQuota(DlgAnswer::Yes);
    EXPECT_EQ(keys_->Confirm(QStringLiteral("300003"), {}).outcome, ConfirmOutcome::Stored);
    EXPECT_EQ(Row("300003").section('|', 1, 2), QStringLiteral("%1|-1").arg(entranceIds_[0]));
    EXPECT_EQ(tones_.Heard(), QStringList{"512/20"});
    dialogs_.VerifyDone();
}

TEST_F(KeyRegisterTest, WhenEveryEntranceIsFullTheCommonKeyStaysWithTheChosenOneIfAllowed) {
    Exec("UPDATE k_pod SET o_key=o_rky");
    Reload();
    Use(KeyGroup::Entrance, {.beep = true});
    GoToEntrance(0);
    AnswerOverQuota(DlgAnswer::Yes);
    EXPECT_EQ(keys_->Confirm(QStringLiteral("300004"), {}).outcome, ConfirmOutcome::Stored);
    EXPECT_EQ(Row("300004").section('|', 1, 2), QStringLiteral("%1|-1").arg(entranceIds_[0]));
    EXPECT_EQ(tones_.Heard(), QStringList{"512/20"});
    dialogs_.VerifyDone();
}

TEST_F(KeyRegisterTest, AutomaticLabelIsTheNextNumberOfTheList) {
    Use(KeyGroup::Apartment, {.labelDigits = 6});
    GoToApartment(0, 1);
    EXPECT_EQ(keys_->AutoLabel(), QStringLiteral("000003"));
    keys_->Confirm(QStringLiteral("400001"), QStringLiteral("typed"));
    EXPECT_EQ(Scalar("SELECT s_met FROM k_key WHERE bv_key='400001'").toString(), "000003");
}

TEST_F(KeyRegisterTest, CountersBindTheEntranceAndLeaveGateKeysOut) {
    Use(KeyGroup::Apartment);
    GoToApartment(1, 1);
    std::optional<KeyCounts> c = keys_->CountKeys();
    ASSERT_TRUE(c.has_value());
    // 10 apartment keys and 3 common keys; the two gate keys share the id.
    EXPECT_EQ(c->entranceKeys, 13);
    EXPECT_EQ(c->objectKeys, 41);
    EXPECT_EQ(c->entrancePlanned, 160);  // 40 apartments of 4, the console handset 0
    Exec("UPDATE k_pod SET d_key=7, o_key=9 WHERE id_pod=?", {entranceIds_[0]});
    Reload();
    Use(KeyGroup::Entrance);
    GoToEntrance(0);
    c = keys_->CountKeys();
    ASSERT_TRUE(c.has_value());
    EXPECT_EQ(c->extraSlots, 7);
    EXPECT_EQ(c->commonSlots, 9);

    Use(KeyGroup::Gate);
    EXPECT_FALSE(keys_->CountKeys().has_value());
}

// The object's keys outside the entrance are counted once per entrance; the
// screen's own changes stay inside it.
TEST_F(KeyRegisterTest, TheObjectCountFollowsChangesAndEntrances) {
    Use(KeyGroup::Apartment);
    GoToApartment(0, 6);
    EXPECT_EQ(keys_->CountKeys()->objectKeys, 41);
    keys_->Confirm(QStringLiteral("700001"), {});
    keys_->Confirm(QStringLiteral("700002"), {});
    EXPECT_EQ(keys_->CountKeys()->objectKeys, 43);
    GoToApartment(2, 6);
    keys_->Confirm(QStringLiteral("700003"), {});
    EXPECT_EQ(keys_->CountKeys()->objectKeys, 44);
    EXPECT_EQ(keys_->CountKeys()->entranceKeys, 14);
    Use(KeyGroup::Entrance, {.autoMove = false, .noLimitQuestion = true});
    GoToEntrance(1);
    keys_->Confirm(QStringLiteral("700004"), {});
    EXPECT_EQ(keys_->CountKeys()->objectKeys, 45);

    // Keys written elsewhere show once the counts are taken afresh.
    Exec("DELETE FROM k_key WHERE id_kvr=-2");
    keys_->ForgetCounts();
    EXPECT_EQ(keys_->CountKeys()->objectKeys, 43);
}

// The data module's lists of keys by entrance leave gate keys out even when
// the gate panel's id equals the entrance's.
TEST_F(KeyRegisterTest, EntranceKeyListsOfTheDataModuleLeaveGateKeysOut) {
    ASSERT_TRUE(dm_->Q_bv->Locate("id_bv", gateId_));
    ASSERT_TRUE(dm_->Q_Bkk->IsOpen());
    Exec("UPDATE m_bv SET plus=2 WHERE id_bv=? AND n_pk=2", {gateId_});
    ASSERT_TRUE(dm_->Q_Bkk->Reopen());
    ASSERT_TRUE(dm_->Q_Bkk->Locate("p.id_pod", entranceIds_[1]));
    ASSERT_TRUE(dm_->Q_Kkk->IsOpen());
    EXPECT_EQ(dm_->Q_Kkk->RecordCount(), 13);
    EXPECT_FALSE(dm_->Q_Kkk->Locate("bv_key", QStringLiteral("1A0028")));

    ASSERT_TRUE(dm_->HavKeys->Open()) << dm_->HavKeys->LastError().toStdString();
    EXPECT_FALSE(dm_->HavKeys->Locate("bv_key", QStringLiteral("1A0028")));
    EXPECT_TRUE(dm_->HavKeys->Locate("bv_key", QStringLiteral("1A000E")));
}

}  // namespace
}  // namespace KeyRegisterTestUnit
