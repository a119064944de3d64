// The apartment editor without its window: showing, checking and saving a
// row with the marks of the devices it changes, adding and deleting handsets,
// and the commands for a whole entrance.
#include "SwitchRecordsDb.h"
#include "site/ApartmentEditor.h"
#include "site/ApartmentList.h"

namespace ApartmentEditorTestUnit {
namespace {

using namespace ApartmentEditorTexts;

class ApartmentEditing : public SwitchRecordsDb {
  protected:
    void SetUp() override {
        SwitchRecordsDb::SetUp();
        SetUpObject();
        ctx_ = CurrentSwitchContext();
        ASSERT_EQ(pks_[0], ctx_.idPk);
        ASSERT_EQ(pods_[0], ctx_.idPod);
    }
    ApartmentValues Shown(qint64 idKvr) {
        ApartmentValues v;
        EXPECT_TRUE(editor_.ShowApartment(ctx_, idKvr, &v));
        return v;
    }
    QString Row(qint64 idKvr, const QString& columns) {
        return Rows(QStringLiteral("SELECT %1 FROM k_kvr WHERE id_kvr=?").arg(columns), {idKvr})
            .join("");
    }
    void ExpectFileStates(const QString& switches, const QString& panels, const QString& console) {
        EXPECT_EQ(switches, FileStates("k_pk", idNet_).join(""));
        EXPECT_EQ(panels, FileStates("k_bv", idNet_).join(""));
        EXPECT_EQ(console, FileStates("k_po", idNet_).join(""));
    }

    ApartmentEditor editor_;
    ApartmentEditorContext ctx_;
};

TEST(ApartmentQuota, IsAtLeastTheDefaultAndTheKeysHeld) {
    EXPECT_EQ(4, ApartmentKeyQuota(2, 4, 0));
    EXPECT_EQ(7, ApartmentKeyQuota(5, 4, 7));
    EXPECT_EQ(0, ApartmentKeyQuota(0, 4, 0));
    EXPECT_EQ(2, ApartmentKeyQuota(0, 4, 2));
    EXPECT_EQ(6, ApartmentKeyQuota(6, 4, 1));
}

TEST_F(ApartmentEditing, ShowsARowThatFollowsTheConsoleWithTheConsoleTimes) {
    const qint64 id = RowId(pods_[0], 5);
    const ApartmentValues v = Shown(id);
    EXPECT_EQ(QStringLiteral("5"), v.number);
    EXPECT_EQ(QStringLiteral("5"), v.code);
    EXPECT_EQ(5, v.terminal);
    EXPECT_TRUE(v.followsConsole);
    EXPECT_EQ(480, v.dayMinutes);
    EXPECT_EQ(1320, v.nightMinutes);
    Sql("UPDATE k_kvr SET mtdy=430, mtnt=1000 WHERE id_kvr=?", {id});
    const ApartmentValues own = Shown(id);
    EXPECT_FALSE(own.followsConsole);
    EXPECT_EQ(430, own.dayMinutes);
}

TEST_F(ApartmentEditing, ShowingNeverMakesAConsoleRowForAnObjectWithoutOne) {
    int loads = 0;
    Hooks().LoadSecurityPost = [&] {
        ++loads;
        Sql("INSERT INTO k_po (id_net, mtdy, mtnt) VALUES (?, 420, 1260)", {idNet_});
    };
    Sql("DELETE FROM k_po");
    Shown(RowId(pods_[0], 1));
    EXPECT_EQ(1, loads);
    EXPECT_EQ(420, Shown(RowId(pods_[0], 1)).dayMinutes);
    EXPECT_EQ(1, loads);

    Sql("DELETE FROM k_po");
    ctx_.hasConsole = false;
    Shown(RowId(pods_[0], 1));
    EXPECT_EQ(1, loads);
    EXPECT_EQ(0, One("SELECT COUNT(*) FROM k_po").toInt());
}

TEST_F(ApartmentEditing, OnlyTheBlockBoxChangedIsSavedAndMarksTheSwitch) {
    SetFileStates(idNet_, 1);
    const qint64 id = RowId(pods_[0], 2);
    ApartmentValues v = Shown(id);
    v.blocked = !v.blocked;
    const ApartmentSaveOutcome out = editor_.Save(ctx_, id, &v);
    EXPECT_TRUE(out.written);
    EXPECT_EQ(QString::number(int(v.blocked)), Row(id, "m_blk"));
    ExpectFileStates("211", "1111", "1");
    EXPECT_TRUE(editor_.Marks().switchMark);

    // Nothing changed: nothing written and the marks are dropped.
    ApartmentValues same = Shown(id);
    EXPECT_FALSE(editor_.Save(ctx_, id, &same).written);
    EXPECT_FALSE(editor_.Marks().Any());
}

TEST_F(ApartmentEditing, AnEnabledFlagAloneIsAChangeFlagsAboveTheCountAreCleared) {
    SetFileStates(idNet_, 3);
    ctx_.maskBv = 4;
    ctx_.maskPo = 2;
    const qint64 id = RowId(pods_[0], 7);
    ApartmentValues v = Shown(id);
    v.panelFlags[4] = true;
    ASSERT_TRUE(editor_.Save(ctx_, id, &v).written);
    EXPECT_EQ(QStringLiteral("0|1"),
              Rows("SELECT f_m03, f_m04 FROM k_kvr WHERE id_kvr=?", {id}).join(""));
    ExpectFileStates("333", "4444", "3");

    v = Shown(id);
    v.consoleFlags[2] = true;
    ASSERT_TRUE(editor_.Save(ctx_, id, &v).written);
    ExpectFileStates("333", "4444", "4");

    // A stored flag above the usable count is cleared by the next save.
    Sql("UPDATE k_kvr SET f_m09=1 WHERE id_kvr=?", {id});
    v = Shown(id);
    ASSERT_TRUE(editor_.Save(ctx_, id, &v).written);
    EXPECT_EQ(QStringLiteral("0"), Row(id, "f_m09"));
}

TEST_F(ApartmentEditing, TimesFollowingTheConsoleSaveMinusOneOthersTheirMinutes) {
    const qint64 id = RowId(pods_[0], 8);
    ApartmentValues v = Shown(id);
    v.followsConsole = false;
    v.dayMinutes = RoundToTenMinutes(7 * 60 + 15);
    v.nightMinutes = RoundToTenMinutes(23 * 60 + 56);
    EXPECT_EQ(440, v.dayMinutes);
    EXPECT_EQ(0, v.nightMinutes);
    ASSERT_TRUE(editor_.Save(ctx_, id, &v).written);
    EXPECT_EQ(QStringLiteral("440|0"),
              Rows("SELECT mtdy, mtnt FROM k_kvr WHERE id_kvr=?", {id}).join(""));
    v = Shown(id);
    v.followsConsole = true;
    ASSERT_TRUE(editor_.Save(ctx_, id, &v).written);
    EXPECT_EQ(QStringLiteral("-1|-1"),
              Rows("SELECT mtdy, mtnt FROM k_kvr WHERE id_kvr=?", {id}).join(""));
}

TEST_F(ApartmentEditing, ATakenCodeIsRefusedThenTheEmptyCode) {
    const qint64 id = RowId(pods_[0], 3);
    ApartmentValues v = Shown(id);
    v.code = QStringLiteral("44");  // apartment 44 of the same house
    v.video = !v.video;
    dialogs_.Expect(ApartmentRowTexts::kError, ApartmentRowTexts::kCodeTaken);
    dialogs_.Expect(ApartmentRowTexts::kError, kEmptyCode);
    EXPECT_FALSE(editor_.Save(ctx_, id, &v).written);
    EXPECT_TRUE(v.code.isEmpty());
    EXPECT_EQ(QStringLiteral("3"), Row(id, "p_kvr"));
    // House 2 may hold the same code.
    v = Shown(id);
    v.code = QStringLiteral("99");
    ASSERT_TRUE(editor_.Save(ctx_, id, &v).written);
    EXPECT_EQ(QStringLiteral("99"), Row(id, "p_kvr"));
}

TEST_F(ApartmentEditing, AddingToAnEmptyEntranceStartsAtTerminalOne) {
    Sql("DELETE FROM k_kvr WHERE id_pod=?", {pods_[0]});
    ctx_.hasConsole = false;
    ApartmentValues v;
    v.call = false;
    editor_.BeginAdd(ctx_, 0, &v);
    EXPECT_TRUE(editor_.RowAdding());
    EXPECT_EQ(AddKind::kHandset, editor_.Kind());
    EXPECT_EQ(1, v.terminal);
    EXPECT_EQ(1, editor_.NewPNom());
    EXPECT_TRUE(v.call);
    EXPECT_TRUE(v.handset);
    EXPECT_EQ(kNewHandset, v.number);
    v.code = QStringLiteral("500");
    const ApartmentSaveOutcome out = editor_.Save(ctx_, 0, &v);
    ASSERT_TRUE(out.written);
    EXPECT_EQ(QStringLiteral("1|трубка|500|1|ввод|1"),
              Row(out.idKvr, "p_nom, n_kvr, p_kvr, p_pk, st_kvr, l_trub"));
    EXPECT_EQ(2, Switch(pks_[0], "n_xl").toInt());
    EXPECT_FALSE(editor_.RowAdding());
}

TEST_F(ApartmentEditing, AHandsetIsAddedAfterTheLastRowAndItsTerminalMustBeFree) {
    SetState(idNet_, QStringLiteral("закрыто"));
    // The console handset is there already: no second one is offered.
    ApartmentValues v = Shown(RowId(pods_[0], 1));
    editor_.BeginAdd(ctx_, RowId(pods_[0], 1), &v);
    EXPECT_EQ(42, v.terminal);
    EXPECT_EQ(42, editor_.NewPNom());
    v.code = QStringLiteral("501");
    v.number = QStringLiteral("40");  // taken
    dialogs_.Expect(ApartmentRowTexts::kError, kNumberTaken);
    EXPECT_FALSE(editor_.Save(ctx_, 0, &v).written);
    EXPECT_TRUE(editor_.RowAdding());
    v.number = QStringLiteral("трубка");
    const ApartmentSaveOutcome out = editor_.Save(ctx_, 0, &v);
    ASSERT_TRUE(out.written);
    EXPECT_EQ(QStringLiteral("42|42"), Row(out.idKvr, "p_nom, p_pk"));
    EXPECT_EQ(43, Switch(pks_[0], "n_xl").toInt());
    EXPECT_EQ(QStringLiteral("закр+сохр"), State(idNet_));
}

// The last row's terminal and position give the new handset's, each within
// its range whatever number the file holds.
TEST_F(ApartmentEditing, TheNextTerminalAndPositionStayWithinTheirRanges) {
    const struct {
        const char* stored;
        int next;
    } cases[] = {
        {"2147483647", 65536}, {"9223372036854775807", 65536}, {"65535", 65536}, {"'x'", 1}};
    const qint64 last = RowId(pods_[0], 41);
    const qint64 first = RowId(pods_[0], 1);
    for (const auto& c : cases) {
        SCOPED_TRACE(c.stored);
        Sql(QStringLiteral("UPDATE k_kvr SET p_pk=%1, p_nom=%1 WHERE id_kvr=?")
                .arg(QLatin1String(c.stored)),
            {last});
        ApartmentValues v = Shown(first);
        editor_.BeginAdd(ctx_, first, &v);
        EXPECT_EQ(c.next, v.terminal);
        EXPECT_EQ(c.next, editor_.NewPNom());
    }
}

TEST_F(ApartmentEditing, AConsoleHandsetIsOfferedOnlyWhereNoneIs) {
    Sql("UPDATE k_net SET p_kvr='900' WHERE id_net=?", {idNet_});
    Sql("DELETE FROM k_kvr WHERE id_pod=? AND st_kvr='СПО'", {pods_[0]});
    ApartmentValues v = Shown(RowId(pods_[0], 1));
    dialogs_.Expect(kConsoleHandsetCaption, kConsoleHandsetQuestion, DlgAnswer::Yes);
    editor_.BeginAdd(ctx_, RowId(pods_[0], 1), &v);
    EXPECT_EQ(AddKind::kConsole, editor_.Kind());
    EXPECT_EQ(QStringLiteral("900"), v.code);
    const ApartmentSaveOutcome out = editor_.Save(ctx_, 0, &v);
    ASSERT_TRUE(out.written);
    EXPECT_EQ(QStringLiteral("пост охраны|900|СПО"), Row(out.idKvr, "n_kvr, p_kvr, st_kvr"));

    // It cannot be deleted while the object has its console.
    dialogs_.Expect(ApartmentListTexts::kForbidden, ApartmentListTexts::kConsoleHandset);
    EXPECT_FALSE(editor_.Delete(ctx_, out.idKvr));
    editor_.BeginAdd(ctx_, out.idKvr, &v);
    EXPECT_EQ(AddKind::kHandset, editor_.Kind());
}

TEST_F(ApartmentEditing, DeletingTheHighestHandsetLowersThePollRangeAndKeepsPositions) {
    SetFileStates(idNet_, 1);
    ApartmentValues v = Shown(RowId(pods_[0], 41));
    editor_.BeginAdd(ctx_, RowId(pods_[0], 41), &v);
    v.code = QStringLiteral("600");
    const qint64 id = editor_.Save(ctx_, 0, &v).idKvr;
    ASSERT_NE(0, id);
    EXPECT_EQ(43, Switch(pks_[0], "n_xl").toInt());
    AddKey(pods_[0], id, QStringLiteral("0000000000AA"));
    SetFileStates(idNet_, 1);

    dialogs_.Expect(ApartmentListTexts::kDeleteCaption, ApartmentListTexts::kDeleteHandset,
                    DlgAnswer::Yes);
    ASSERT_TRUE(editor_.Delete(ctx_, id));
    EXPECT_EQ(42, Switch(pks_[0], "n_xl").toInt());
    ASSERT_FALSE(FileStates("k_pk", idNet_).isEmpty());
    EXPECT_EQ(QStringLiteral("2"), FileStates("k_pk", idNet_).first());
    EXPECT_EQ(0, One("SELECT COUNT(*) FROM k_key WHERE id_kvr=?", {id}).toInt());

    // A manual apartment in the middle: its keys go, the count drops, the
    // positions of the others stay.
    const qint64 manual = RowId(pods_[0], 10);
    Sql("UPDATE k_kvr SET st_kvr='ввод' WHERE id_kvr=?", {manual});
    AddKey(pods_[0], manual, QStringLiteral("0000000000BB"));
    const int count = One("SELECT v_kvr FROM k_pod WHERE id_pod=?", {pods_[0]}).toInt();
    dialogs_.Expect(ApartmentListTexts::kDeleteCaption, ApartmentListTexts::kDeleteApartment,
                    DlgAnswer::Yes);
    ASSERT_TRUE(editor_.Delete(ctx_, manual));
    EXPECT_EQ(count - 1, One("SELECT v_kvr FROM k_pod WHERE id_pod=?", {pods_[0]}).toInt());
    EXPECT_EQ(0, One("SELECT COUNT(*) FROM k_key WHERE id_kvr=?", {manual}).toInt());
    EXPECT_EQ(11, One("SELECT p_nom FROM k_kvr WHERE id_pod=? AND n_kvr='11'", {pods_[0]}).toInt());

    // A generated apartment is not deleted; No deletes nothing.
    EXPECT_FALSE(editor_.Delete(ctx_, RowId(pods_[0], 2)));
    dialogs_.Expect(ApartmentListTexts::kDeleteCaption, ApartmentListTexts::kDeleteHandset,
                    DlgAnswer::No);
    ctx_.hasConsole = false;
    EXPECT_FALSE(editor_.Delete(ctx_, RowId(pods_[0], 41)));
}

TEST_F(ApartmentEditing, BulkCommandsAndTogglesMarkTheirDevicesAtOnce) {
    SetFileStates(idNet_, 1);
    dialogs_.Expect(kBulkCaption, QStringLiteral("Разрешить отзвонку всем?"), DlgAnswer::Yes);
    ASSERT_TRUE(editor_.Bulk(ctx_, RowFlag::RingBack, BulkChange::Set));
    EXPECT_EQ(QStringList{"41"}, Rows("SELECT SUM(l_otz) FROM k_kvr WHERE id_pod=?", {pods_[0]}));
    // The door panel of the entrance and the gate.
    ExpectFileStates("111", "2211", "1");

    dialogs_.Expect(kBulkCaption, QStringLiteral("Обратить блокировку на противоположную?"),
                    DlgAnswer::No);
    EXPECT_FALSE(editor_.Bulk(ctx_, RowFlag::Block, BulkChange::Invert));

    const qint64 id = RowId(pods_[0], 4);
    const QString before = Row(id, "l_pnp");
    ASSERT_TRUE(editor_.Toggle(ctx_, id, RowFlag::Redirect));
    EXPECT_NE(before, Row(id, "l_pnp"));
    ExpectFileStates("111", "2211", "2");

    // Call-back needs the console.
    ctx_.hasConsole = false;
    EXPECT_FALSE(editor_.Toggle(ctx_, id, RowFlag::CallBack));
    EXPECT_FALSE(editor_.Bulk(ctx_, RowFlag::CallBack, BulkChange::Set));
    dialogs_.Expect(kBulkCaption, QStringLiteral("Запретить обратный вызов всем?"), DlgAnswer::Yes);
    EXPECT_TRUE(editor_.Bulk(ctx_, RowFlag::CallBack, BulkChange::Clear));
    ExpectFileStates("211", "2211", "2");
}
}  // namespace
}  // namespace ApartmentEditorTestUnit
