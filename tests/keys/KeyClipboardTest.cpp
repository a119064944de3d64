// Keys copied, cut and pasted between lists: the pasted text as records, the
// copy buffer with labels, the system clipboard with bare numbers, the
// duplicates a list refuses, and a paste interrupted by a killed process.

#include "KeyObjectFixture.h"
#include "keys/KeyClipboard.h"
#include "keys/KeyListEditor.h"
#include "keys/KeyRegister.h"
#include "support/FakeClipboard.h"
#include "support/KilledChild.h"
#include "support/QtPrinters.h"
#include "support/ScriptedDialogs.h"

#include <QDate>

namespace KeyClipboardTestUnit {

namespace {

QStringList numbersOf(const QList<PastedKey>& keys) {
    QStringList numbers;
    for (const PastedKey& key : keys) numbers << key.number;
    return numbers;
}

TEST(PastedKeysTest, RecordsAreRunsOfHexadecimalDigits) {
    EXPECT_EQ(numbersOf(ParsePastedKeys("12345\r\n1a2b3c\r\nABCDEF123456\r\n", false)),
              (QStringList{"000000012345", "0000001A2B3C", "ABCDEF123456"}));
    // A short run keeps its first six digits; text between the numbers and
    // runs that start without a digit separate records.
    EXPECT_EQ(numbersOf(ParsePastedKeys("Ключ: 1A2B3C4D5\r\nключ\r\n", false)),
              QStringList{"0000001A2B3C"});
    // The empty-slot mark and numbers no list can hold are left out.
    EXPECT_EQ(
        numbersOf(ParsePastedKeys("FFFFFF\r\n012345FFFFFFABCD\r\n1234567890ABCDEF01\r\n", false)),
        QStringList());
    // A 16-digit number stays whole; its panel code is characters 7 to 12.
    const QList<PastedKey> long16 = ParsePastedKeys("0123456789ABCDEF\r\n", false);
    ASSERT_EQ(long16.size(), 1);
    EXPECT_EQ(long16[0].number, QStringLiteral("0123456789ABCDEF"));
    EXPECT_EQ(PastedPanelCode(long16[0].number), QStringLiteral("6789AB"));
}

TEST(PastedKeysTest, OnlyTheCopyBufferHasLabelsAndShortTextsPasteNothing) {
    const QString buffer = KeyClipboardText("0000001A0001", "0001") +
                           KeyClipboardText("0000001A0002", QString()) +
                           KeyClipboardText("0000001A0003", "кв 5");
    const QList<PastedKey> labelled = ParsePastedKeys(buffer, true);
    ASSERT_EQ(labelled.size(), 3);
    EXPECT_EQ(labelled[0].label, QStringLiteral("0001"));
    EXPECT_EQ(labelled[1].label, QString());
    EXPECT_EQ(labelled[2].label, QStringLiteral("кв 5"));
    EXPECT_EQ(labelled[2].end, buffer.size());
    // Without labels "0001" is a record of its own ("5" at the end is too short).
    EXPECT_EQ(numbersOf(ParsePastedKeys(buffer, false)),
              (QStringList{"0000001A0001", "000000000001", "0000001A0002", "0000001A0003"}));

    EXPECT_TRUE(ParsePastedKeys("12345", false).isEmpty());  // 5 characters or fewer
    EXPECT_EQ(ParsePastedKeys("1A2B3C\r\n1234", false).size(), 1);
    EXPECT_TRUE(ParsePastedKeys(QString(65535, 'A'), false).isEmpty());
}

class KeyClipboardTest : public KeyObjectFixture {
  protected:
    void SetUp() override {
        KeyObjectFixture::SetUp();
        keys_ = std::make_unique<KeyRegister>(*dm_);
        editor_ = std::make_unique<KeyListEditor>(*keys_);
        clip_ = std::make_unique<KeyClipboard>(*keys_, *editor_);
        keys_->SetMode(KeyGroup::Apartment);
    }
    void TearDown() override {
        clip_.reset();
        editor_.reset();
        keys_.reset();
        KeyObjectFixture::TearDown();
    }
    // The apartment's keys as "un_key/s_met", in label order.
    QStringList KeysIn(int entrance, int pNom) {
        QSqlQuery q(dm_->ConnectionDB());
        q.prepare("SELECT un_key || '/' || s_met FROM k_key WHERE id_kvr=? ORDER BY s_met, un_key");
        q.addBindValue(ApartmentId(entrance, pNom));
        q.exec();
        QStringList rows;
        while (q.next()) rows << q.value(0).toString();
        return rows;
    }

    FakeClipboard system_;
    ScriptedDialogs dialogs_;
    std::unique_ptr<KeyRegister> keys_;
    std::unique_ptr<KeyListEditor> editor_;
    std::unique_ptr<KeyClipboard> clip_;
};

TEST_F(KeyClipboardTest, CopiedKeysPasteWithTheirLabelsThenFromTheSystemClipboard) {
    GoToApartment(0, 1);
    EXPECT_EQ(clip_->Copy({1, 2}), 2);
    EXPECT_EQ(clip_->CopyBuffer(), QStringLiteral("0000001A0001\t0001\r\n0000001A0002\t0002\r\n"));
    EXPECT_EQ(system_.Text(), QStringLiteral("0000001A0001\r\n0000001A0002\r\n"));
    EXPECT_EQ(KeysOf(ApartmentId(0, 1)), 2);  // copying leaves the keys

    GoToApartment(0, 8);
    keys_->ChangeFlags().Clear();
    PasteResult r = clip_->Paste();
    EXPECT_EQ(r.pasted, 2);
    EXPECT_EQ(KeysIn(0, 8), (QStringList{"0000001A0001/0001", "0000001A0002/0002"}));
    EXPECT_EQ(Scalar("SELECT DISTINCT status FROM k_key WHERE id_kvr=?", {ApartmentId(0, 8)}),
              QStringLiteral("вставка ") + QDate::currentDate().toString("dd.MM.yyyy"));
    EXPECT_EQ(Scalar("SELECT x_key || '/' || y_key FROM k_kvr WHERE id_kvr=?", {ApartmentId(0, 8)}),
              "4/2");
    EXPECT_EQ(dm_->QKeys->RecordCount(), 2);
    EXPECT_TRUE(keys_->ChangeFlags().IsSet(1));  // the entrance's switch
    EXPECT_TRUE(clip_->CopyBuffer().isEmpty());

    // Again: the buffer is empty, so the system clipboard's bare numbers come,
    // labelled from the list's count on.
    GoToApartment(0, 9);
    ASSERT_TRUE(clip_->Paste().pasted == 2);
    EXPECT_EQ(KeysIn(0, 9), (QStringList{"0000001A0001/0001", "0000001A0002/0002"}));
    GoToApartment(0, 1);  // holds 1A0001 and 1A0002 already
    ASSERT_TRUE(clip_->Copy({1}) == 1);
    system_.SetText("0000001A0002\r\n00000000BEEF\r\n");
    clip_->ClearCopyBuffer();
    EXPECT_EQ(clip_->Paste().pasted, 1);
    ASSERT_FALSE(KeysIn(0, 1).isEmpty());
    EXPECT_EQ(KeysIn(0, 1).last(), QStringLiteral("00000000BEEF/0003"));
}

TEST_F(KeyClipboardTest, CutKeysLeaveTheirListAndReachTheBuffer) {
    GoToApartment(1, 2);
    keys_->ChangeFlags().Clear();
    EXPECT_EQ(clip_->Cut({2}), 1);
    EXPECT_EQ(KeysOf(ApartmentId(1, 2)), 1);
    EXPECT_EQ(clip_->CopyBuffer(), QStringLiteral("0000001A0011\t0002\r\n"));
    EXPECT_EQ(system_.Text(), QStringLiteral("0000001A0011\r\n"));
    EXPECT_TRUE(keys_->ChangeFlags().IsSet(2));
    EXPECT_EQ(Count("SELECT COUNT(*) FROM k_key WHERE l_del<>0"), 0);

    keys_->SetMode(KeyGroup::Entrance);
    ASSERT_TRUE(dm_->QPodKey->Locate("id_pod", entranceIds_[2]));
    EXPECT_EQ(clip_->Paste().pasted, 1);
    EXPECT_EQ(
        Scalar("SELECT id_kvr || '/' || l_ob || '/' || s_met FROM k_key WHERE bv_key='1A0011'")
            .toString(),
        "-1/1/0002");
    EXPECT_EQ(Scalar("SELECT o_key || '/' || o_rky FROM k_pod WHERE id_pod=?", {entranceIds_[2]})
                  .toString(),
              "4/4");
}

TEST_F(KeyClipboardTest, PastingSkipsWhatTheListRefusesAndUpperCases) {
    GoToApartment(0, 1);
    system_.SetText("1a0001\r\nffffff\r\n12345\r\n1a2b3c\r\n1A2B3C\r\n");
    EXPECT_EQ(clip_->Paste().pasted, 2);
    EXPECT_EQ(KeysIn(0, 1), (QStringList{"0000001A0001/0001", "0000001A0002/0002",
                                         "000000012345/0003", "0000001A2B3C/0004"}));

    // A gate refuses the keys of the entrances wired to it.
    keys_->SetMode(KeyGroup::Gate);
    ASSERT_TRUE(dm_->QKalKey->Locate("id_bv", gateId_));
    system_.SetText("0000001A0005\r\n0000001A0028\r\n0000005A0005\r\n");
    EXPECT_EQ(clip_->Paste().pasted, 1);
    EXPECT_EQ(Scalar("SELECT id_pod || '/' || id_kvr FROM k_key WHERE bv_key='5A0005'").toString(),
              QStringLiteral("%1/-2").arg(gateId_));
}

TEST_F(KeyClipboardTest, WithoutAnOwnerNothingIsPasted) {
    system_.SetText("0000001A2B3C\r\n");
    Exec("DELETE FROM k_bv WHERE bv_type=1");
    Reload();
    keys_->SetMode(KeyGroup::Gate);
    EXPECT_EQ(clip_->Paste().outcome, PasteOutcome::NoGate);
    Exec("DELETE FROM k_kvr");
    Reload();
    keys_->SetMode(KeyGroup::Apartment);
    EXPECT_EQ(clip_->Paste().outcome, PasteOutcome::NoOwner);
    EXPECT_EQ(Count("SELECT COUNT(*) FROM k_key WHERE bv_key='1A2B3C'"), 0);
}

// ---------------------------------------------------------------- killed while pasting

constexpr int kPastedKeys = 5000;

// One number a line with LF alone: 65,000 characters, within what a paste takes.
QString manyKeys() {
    QString text;
    for (int i = 0; i < kPastedKeys; ++i)
        text += QStringLiteral("%1\n").arg(0xC00000 + i, 12, 16, QLatin1Char('0')).toUpper();
    return text;
}

// Runs only as the child of the test below: pastes 5,000 keys and is killed
// a fifth of the way in.
TEST(KeyPasteChild, PastesSlowly) {
    if (!KilledChild::InChild()) GTEST_SKIP() << "runs only as a child";
    TFDM dm;
    QString error;
    ASSERT_TRUE(dm.Connect(KilledChild::Value("db"), &error)) << error.toStdString();
    ASSERT_TRUE(dm.OpenAllTables());
    ASSERT_TRUE(dm.Q_Net->Locate("id_net", KilledChild::Value("object").toInt()));
    ASSERT_TRUE(dm.QForKey->Locate("id_kvr", KilledChild::Value("apartment").toInt()));
    KeyRegister keys(dm);
    KeyListEditor editor(keys);
    KeyClipboard clip(keys, editor);
    FakeClipboard system;
    system.SetText(manyKeys());
    int steps = 0;
    clip.Paste([&](int, int, bool) {
        if (++steps == 1000) KilledChild::ReachedKillPoint();
    });
    FAIL() << "not killed";
}

TEST_F(KeyClipboardTest, AKilledPasteLeavesAllKeysOrNone) {
    const int idKvr = ApartmentId(0, 10);
    const int before = Count("SELECT COUNT(*) FROM k_key");
    dm_->Disconnect();

    KilledChild child(QStringLiteral("KeyPasteChild.PastesSlowly"));
    child.Set(QStringLiteral("db"), tdb_.dbPath());
    child.Set(QStringLiteral("object"), QString::number(objectId_));
    child.Set(QStringLiteral("apartment"), QString::number(idKvr));
    ASSERT_TRUE(child.RunUntilKilled()) << child.Output().toStdString();

    QString error;
    ASSERT_TRUE(dm_->Connect(tdb_.dbPath(), &error)) << error.toStdString();
    const int after = Count("SELECT COUNT(*) FROM k_key");
    EXPECT_TRUE(after == before || after == before + kPastedKeys) << after;
    EXPECT_EQ(after, before);  // killed long before the end
    EXPECT_EQ(Count("SELECT COUNT(*) FROM k_key WHERE l_del<>0"), 0);
    EXPECT_EQ(Scalar("SELECT y_key FROM k_kvr WHERE id_kvr=?", {idKvr}).toInt(), 0);

    // Left to run, the same paste stores every key.
    ASSERT_TRUE(dm_->OpenAllTables());
    ASSERT_TRUE(dm_->Q_Net->Locate("id_net", objectId_));
    GoToApartment(0, 10);
    system_.SetText(manyKeys());
    EXPECT_EQ(clip_->Paste().pasted, kPastedKeys);
    EXPECT_EQ(Count("SELECT COUNT(*) FROM k_key"), before + kPastedKeys);
    EXPECT_EQ(Scalar("SELECT y_key FROM k_kvr WHERE id_kvr=?", {idKvr}).toInt(), kPastedKeys);
}

}  // namespace
}  // namespace KeyClipboardTestUnit
