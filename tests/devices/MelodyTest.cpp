#include "DeviceFixture.h"
#include "devices/Melody.h"
#include "support/QtPrinters.h"
#include "support/RecordingTones.h"
#include "support/ScriptedDialogs.h"

#include <gtest/gtest.h>

namespace MelodyTestUnit {
namespace {

const QString kProtected = QStringLiteral("Данная мелодия защищена от редактирования!");

class Melodies : public DeviceFixture {
  protected:
    qint64 AddMelody(const QString& name, const QString& purpose, bool closed = false) {
        Exec("INSERT INTO t_mel (name, forr, l_edit) VALUES (?, ?, ?)",
             {name, purpose, int(closed)});
        return Scalar("SELECT MAX(id_mel) FROM t_mel").toLongLong();
    }
    void AddNote(qint64 idMel, int nom, int leng, int gerc) {
        Exec("INSERT INTO t_bp (id_mel, nom, leng, gerc) VALUES (?, ?, ?, ?)",
             {idMel, nom, leng, gerc});
    }
    QList<int> Noms(qint64 idMel) {
        QList<MelodyNote> notes;
        EXPECT_TRUE(ReadNotes(Db(), idMel, &notes));
        QList<int> noms;
        for (const MelodyNote& n : notes) noms << n.nom;
        return noms;
    }
    qint64 NoteRowid(qint64 idMel, int nom) {
        return Scalar("SELECT rowid FROM t_bp WHERE id_mel=? AND nom=?", {idMel, nom}).toLongLong();
    }
    int KfPr(qint64 idPk) { return Int("SELECT kf_pr FROM k_pk WHERE id_pk=?", {idPk}); }
};

TEST(MelodyTones, FrequencyAndLengthOfANote) {
    EXPECT_NEAR(175.56, ToneFrequency(88), 0.01);
    EXPECT_EQ(176, ToneHz(88));
    EXPECT_EQ(224, NoteMs(7));
    EXPECT_DOUBLE_EQ(7812.5, ToneFrequency(1));
    EXPECT_EQ(7813, ToneHz(1));  // half away from zero
    EXPECT_EQ(15625, ToneHz(0));
    EXPECT_EQ(65, ToneHz(238));
    EXPECT_EQ(0, NoteMs(0));
}

TEST_F(Melodies, PlayingSoundsEachNoteForItsLengthAndStoresWhatItSounded) {
    const qint64 id = AddMelody(QStringLiteral("Проба"), kCallPurpose);
    AddNote(id, 2, 7, 0);  // nom order, not insertion order
    AddNote(id, 1, 7, 88);
    AddNote(id, 3, 7, 1);
    RecordingTones tones;
    ASSERT_TRUE(PlayMelody(Db(), id, tones));
    EXPECT_EQ((QStringList{"176/224", "pause/224", "7813/224"}), tones.Heard());
    EXPECT_EQ(176, Int("SELECT gercbeep FROM t_bp WHERE id_mel=? AND nom=1", {id}));
    EXPECT_EQ(7813, Int("SELECT gercbeep FROM t_bp WHERE id_mel=? AND nom=3", {id}));
    EXPECT_EQ(0, Int("SELECT gercbeep FROM t_bp WHERE id_mel=? AND nom=2", {id}));

    tones.Clear();
    const qint64 empty = AddMelody(QStringLiteral("Пустая"), kCallPurpose);
    ASSERT_TRUE(PlayMelody(Db(), empty, tones));
    EXPECT_TRUE(tones.Heard().isEmpty());
}

TEST_F(Melodies, StandardMelodiesAreFoundByNamePrefixAmongSwitchMelodies) {
    EXPECT_EQ(1, FindSwitchMelody(Db(), kStandardCallMelody));
    EXPECT_EQ(2, FindSwitchMelody(Db(), kStandardRingBackMelody));
    EXPECT_EQ(1, FindSwitchMelody(Db(), QStringLiteral("Стандарт вызова")));
    EXPECT_EQ(0, FindSwitchMelody(Db(), QStringLiteral("Вызов от посетителя")));  // console
    Exec("DELETE FROM t_mel WHERE id_mel=1");
    EXPECT_EQ(0, FindSwitchMelody(Db(), kStandardCallMelody));
}

TEST_F(Melodies, NamesAndPurposesAreStoredUnlessTheMelodyIsClosed) {
    qint64 id = 0;
    EXPECT_EQ(DeviceChange::Done,
              SaveMelody(Db(), 0, QStringLiteral("  Моя  "), kRingBackPurpose, &id));
    EXPECT_EQ(QStringLiteral("Моя"), Scalar("SELECT name FROM t_mel WHERE id_mel=?", {id}));
    EXPECT_EQ(kRingBackPurpose, MelodyPurpose(Db(), id));
    EXPECT_EQ(DeviceChange::Done, SaveMelody(Db(), id, QStringLiteral("Твоя"), kCallPurpose, &id));
    EXPECT_EQ(kCallPurpose, MelodyPurpose(Db(), id));
    EXPECT_EQ(DeviceChange::Refused,
              SaveMelody(Db(), id, QStringLiteral("   "), kCallPurpose, &id));
    EXPECT_EQ(QStringLiteral("Твоя"), Scalar("SELECT name FROM t_mel WHERE id_mel=?", {id}));

    ScriptedDialogs dialogs;
    dialogs.Expect(QStringLiteral("Запрет"), kProtected);
    EXPECT_EQ(DeviceChange::Refused, SaveMelody(Db(), 1, QStringLiteral("Х"), kCallPurpose, &id));
    EXPECT_EQ(kStandardCallMelody, Scalar("SELECT name FROM t_mel WHERE id_mel=1"));
}

TEST_F(Melodies, NoteNumbersStayUniqueAfterADeletion) {
    const qint64 id = AddMelody(QStringLiteral("Гамма"), kCallPurpose);
    for (int gerc : {59, 52, 46}) ASSERT_EQ(DeviceChange::Done, AppendNote(Db(), id, 7, gerc));
    EXPECT_EQ((QList<int>{1, 2, 3}), Noms(id));
    {
        ScriptedDialogs dialogs;
        dialogs.Expect(QStringLiteral("Удаление строки"), QStringLiteral("Удалить ноту?"),
                       DlgAnswer::No);
        EXPECT_EQ(DeviceChange::Declined, DeleteNote(Db(), id, NoteRowid(id, 2)));
        dialogs.Expect(QStringLiteral("Удаление строки"), QStringLiteral("Удалить ноту?"),
                       DlgAnswer::Yes);
        EXPECT_EQ(DeviceChange::Done, DeleteNote(Db(), id, NoteRowid(id, 2)));
    }
    EXPECT_EQ((QList<int>{1, 3}), Noms(id));
    ASSERT_EQ(DeviceChange::Done, AppendNote(Db(), id, 5, 0));
    EXPECT_EQ((QList<int>{1, 3, 4}), Noms(id));
    EXPECT_EQ(DeviceChange::Done, ReplaceNote(Db(), id, NoteRowid(id, 3), 9, 88));
    EXPECT_EQ(88, Int("SELECT gerc FROM t_bp WHERE id_mel=? AND nom=3", {id}));
    EXPECT_EQ(9, Int("SELECT leng FROM t_bp WHERE id_mel=? AND nom=3", {id}));
}

TEST_F(Melodies, TheNotesOfAClosedMelodyCannotBeChanged) {
    const QList<int> before = Noms(1);
    ScriptedDialogs dialogs;
    dialogs.Expect(QStringLiteral("Запрет"), kProtected);
    EXPECT_EQ(DeviceChange::Refused, AppendNote(Db(), 1, 7, 88));
    dialogs.Expect(QStringLiteral("Запрет"), kProtected);
    EXPECT_EQ(DeviceChange::Refused, ReplaceNote(Db(), 1, NoteRowid(1, 1), 7, 88));
    dialogs.Expect(QStringLiteral("Запрет"), kProtected);  // no question first
    EXPECT_EQ(DeviceChange::Refused, DeleteNote(Db(), 1, NoteRowid(1, 1)));
    EXPECT_EQ(before, Noms(1));
    EXPECT_EQ(23, Int("SELECT gerc FROM t_bp WHERE id_mel=1 AND nom=1"));
}

TEST_F(Melodies, AMelodyGoesWithItsNotesOnlyWhenOpenUnusedAndConfirmed) {
    const qint64 used = AddMelody(QStringLiteral("Соседская"), kRingBackPurpose);
    AddNote(used, 1, 4, 88);
    Exec("UPDATE k_pk SET id_mot=? WHERE id_pk=4", {used});  // object 2
    const qint64 console = AddMelody(QStringLiteral("Для поста"), kCallPurpose);
    Exec("UPDATE k_po SET id_mel1=?", {console});
    const qint64 spare = AddMelody(QStringLiteral("Лишняя"), kCallPurpose);
    AddNote(spare, 1, 4, 88);
    AddNote(spare, 2, 4, 0);

    ScriptedDialogs dialogs;
    dialogs.Expect(QStringLiteral("Ограничение"), QStringLiteral("Мелодия закрыта для удаления"));
    EXPECT_EQ(DeviceChange::Refused, DeleteMelody(Db(), 1));
    for (qint64 id : {used, console}) {
        dialogs.Expect(QStringLiteral("Удаление"), QStringLiteral("Удалить мелодию безвозвратно?"),
                       DlgAnswer::Yes);
        dialogs.Expect(QStringLiteral("Ограничение"),
                       QStringLiteral("Мелодия используется, удаление запрещено."));
        EXPECT_EQ(DeviceChange::Refused, DeleteMelody(Db(), id));
    }
    dialogs.Expect(QStringLiteral("Удаление"), QStringLiteral("Удалить мелодию безвозвратно?"),
                   DlgAnswer::No);
    EXPECT_EQ(DeviceChange::Declined, DeleteMelody(Db(), spare));
    dialogs.Expect(QStringLiteral("Удаление"), QStringLiteral("Удалить мелодию безвозвратно?"),
                   DlgAnswer::Yes);
    EXPECT_EQ(DeviceChange::Done, DeleteMelody(Db(), spare));
    EXPECT_EQ(0, Int("SELECT COUNT(*) FROM t_mel WHERE id_mel=?", {spare}));
    EXPECT_EQ(0, Int("SELECT COUNT(*) FROM t_bp WHERE id_mel=?", {spare}));
    EXPECT_EQ(1, Int("SELECT COUNT(*) FROM t_bp WHERE id_mel=?", {used}));
}

TEST_F(Melodies, AssignmentWritesTheFieldOfThePurposeAndMarksEverySwitchItReaches) {
    Exec("UPDATE k_pk SET kf_pr=1 WHERE id_pk=1");
    Exec("UPDATE k_pk SET kf_pr=3 WHERE id_pk=2");
    Exec("UPDATE k_pk SET kf_pr=5 WHERE id_pk=3");
    Exec("UPDATE k_pk SET kf_pr=1 WHERE id_pk=4");
    const qint64 call = AddMelody(QStringLiteral("Звонок"), kCallPurpose);
    const qint64 ring = AddMelody(QStringLiteral("Отзвон"), kRingBackPurpose);

    ASSERT_EQ(DeviceChange::Done, AssignMelody(Db(), call, MelodyScope::Switch, 1));
    EXPECT_EQ(call, Int("SELECT id_mvv FROM k_pk WHERE id_pk=1"));
    EXPECT_EQ(2, Int("SELECT id_mot FROM k_pk WHERE id_pk=1"));
    EXPECT_EQ(2, KfPr(1));
    EXPECT_EQ(3, KfPr(2));

    // House 1 holds switches 1 and 2; house save marks them as the others do.
    ASSERT_EQ(DeviceChange::Done, AssignMelody(Db(), ring, MelodyScope::House, 1));
    EXPECT_EQ(ring, Int("SELECT id_mot FROM k_pk WHERE id_pk=1"));
    EXPECT_EQ(ring, Int("SELECT id_mot FROM k_pk WHERE id_pk=2"));
    EXPECT_EQ(2, Int("SELECT id_mot FROM k_pk WHERE id_pk=3"));
    EXPECT_EQ(call, Int("SELECT id_mvv FROM k_pk WHERE id_pk=1"));
    EXPECT_EQ(2, KfPr(1));
    EXPECT_EQ(4, KfPr(2));
    EXPECT_EQ(5, KfPr(3));

    ASSERT_EQ(DeviceChange::Done, AssignMelody(Db(), call, MelodyScope::Object, 1));
    EXPECT_EQ(3, Int("SELECT COUNT(*) FROM k_pk WHERE id_mvv=? AND id_net=1", {call}));
    EXPECT_EQ(4, KfPr(3));
    EXPECT_EQ(1, Int("SELECT id_mvv FROM k_pk WHERE id_pk=4"));  // another object
    EXPECT_EQ(1, KfPr(4));

    EXPECT_EQ(DeviceChange::Failed, AssignMelody(Db(), 999, MelodyScope::Object, 1));
}

TEST_F(Melodies, TheDataModuleAssignsTheCurrentMelodyAfterTheQuestion) {
    SelectObject(1);
    ASSERT_TRUE(dm_->Q_MNpk->Locate("k.id_pk", 3));
    const qint64 ring = AddMelody(QStringLiteral("Отзвон"), kRingBackPurpose);
    ASSERT_TRUE(dm_->ReopenMelodies());
    ASSERT_TRUE(dm_->Q_Mel->Locate("id_mel", ring));
    ScriptedDialogs dialogs;
    dialogs.Expect(QStringLiteral("Дом"), QStringLiteral("Сохранить для всего дома?"),
                   DlgAnswer::No);
    EXPECT_EQ(DeviceChange::Declined,
              AssignCurrentMelody(MelodyScope::House, 1, QStringLiteral("Дом")));
    dialogs.Expect(QStringLiteral("КМ"), QStringLiteral("Сохранить для данного КМ?"),
                   DlgAnswer::Yes);
    EXPECT_EQ(DeviceChange::Done, AssignCurrentMelody(MelodyScope::Switch, 3, QStringLiteral("КМ")));
    EXPECT_EQ(ring, Int("SELECT id_mot FROM k_pk WHERE id_pk=3"));
    EXPECT_EQ(2, Int("SELECT id_mot FROM k_pk WHERE id_pk=2"));
    EXPECT_EQ(3, dm_->Q_MNpk->FieldByName("k.id_pk").AsLargeInt());
    EXPECT_EQ(ring, dm_->Q_MNpk->FieldByName("id_mot").AsLargeInt());
    EXPECT_EQ(ring, CurrentMelodyId());
    EXPECT_EQ(QStringLiteral("Отзвон"), SwitchMelodyName(ring));
    EXPECT_EQ(kMelodyNotDefined, SwitchMelodyName(4));  // a console melody
    EXPECT_EQ(kMelodyNotDefined, SwitchMelodyName(0));
}
}  // namespace
}  // namespace MelodyTestUnit
