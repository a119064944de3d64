// The apartment generation of the entrance screen on a real database: the
// rows it writes, keeps and deletes, the operator's answers, the console
// handsets, repeated codes and what it refuses.
#include "ApartmentDb.h"
#include "foundation/MainWindowData.h"
#include "site/CallCodes.h"

#include <gtest/gtest.h>

namespace ApartmentGeneratorTestUnit {
namespace {

using namespace GenerationTexts;

namespace {

QStringList Numbered(int from, int to, const QString& origin = RowOrigin::kGenerated,
                     int firstPosition = 1) {
    QStringList rows;
    for (int n = from; n <= to; ++n)
        rows << QStringLiteral("%1 %2 %2 %3").arg(firstPosition + n - from).arg(n).arg(origin);
    return rows;
}

QString ConsoleRow(int position) {
    return QStringLiteral("%1 пост охраны 000 СПО").arg(position);
}

}  // namespace

class Generation : public ApartmentDb {};

TEST_F(Generation, TheReferenceObjectGetsItsApartmentsAndOneConsoleHandsetPerEntrance) {
    const qint64 idNet = BuildApartments();
    const QList<qint64> pods = EntranceIds(idNet);
    ASSERT_EQ(3, pods.size());
    EXPECT_EQ(Numbered(1, 40) << ConsoleRow(41), Rows(pods[0]));
    EXPECT_EQ(Numbered(41, 80) << ConsoleRow(41), Rows(pods[1]));
    EXPECT_EQ(Numbered(1, 40) << ConsoleRow(41), Rows(pods[2]));
    EXPECT_EQ(QStringList({"1|40|40|0", "41|80|40|0", "1|40|40|0"}),
              Rows("SELECT n1kvr, npkvr, v_kvr, kvv_t FROM k_pod WHERE id_net=? ORDER BY id_pod",
                   {idNet}));
    // The console handset: a handset following the console's times, no keys.
    EXPECT_EQ(QStringList({"1|-1|-1|0|0", "1|-1|-1|0|0", "1|-1|-1|0|0"}),
              Rows("SELECT l_trub, mtdy, mtnt, x_key, l_del FROM k_kvr WHERE st_kvr='СПО' "
                   "ORDER BY id_pod"));
    // Apartments: the quota typed, the flags of the object's masks (the flag
    // names give "Отзвонка" and "Перенаправление вызова" on by default).
    EXPECT_EQ(QStringList({"4|1|1|0|0|1|0|0|0"}),
              Rows("SELECT DISTINCT x_key, l_otz, l_pnp, f_m03, f_p02, f_k03, l_vid, l_trub, p_pk "
                   "FROM k_kvr WHERE st_kvr='нет'"));
    EXPECT_EQ(4, One("SELECT v_key FROM k_net WHERE id_net=?", {idNet}).toInt());
    EXPECT_EQ(QStringList({"0", "0"}), Rows("SELECT kvv_t FROM k_dom ORDER BY id_dom"));
}

TEST_F(Generation, TheListsOfTheWholeObjectReadTheNewRowsOnFirstUse) {
    const qint64 idNet = BuildApartments();
    // What the entrance screen and the current entrance show is read at once.
    for (Dataset* ds : {dm_.Q_Net, dm_.Q_Dom, dm_.Q_DPd, dm_.Q_Kvp})
        EXPECT_FALSE(ds->IsStale()) << ds->Name().toStdString();
    EXPECT_TRUE(dm_.Q_kv->IsStale());
    EXPECT_TRUE(dm_.QForKey->IsStale());
    EXPECT_TRUE(dm_.QKeys->IsStale());
    EXPECT_TRUE(MainWindowData::HasApartments());
    EXPECT_TRUE(dm_.Q_kv->IsStale());  // answered without the whole list

    EXPECT_EQ(One("SELECT COUNT(*) FROM k_kvr WHERE id_net=?", {idNet}).toInt(),
              dm_.Q_kv->RecordCount());
    EXPECT_EQ(1, dm_.Q_kv->RecNo());
    EXPECT_EQ(One("SELECT v.id_kvr FROM k_kvr v JOIN k_pod p ON p.id_pod=v.id_pod "
                  "JOIN k_dom d ON d.id_dom=p.id_dom WHERE d.id_net=? "
                  "ORDER BY d.id_dom, p.n_pod, v.p_nom LIMIT 1",
                  {idNet})
                  .toLongLong(),
              dm_.QForKey->FieldByName("id_kvr").AsLargeInt());
    EXPECT_FALSE(dm_.QKeys->IsStale());
}

TEST_F(Generation, ASecondRunKeepsEveryRowAndAddsNoSecondConsoleHandset) {
    const qint64 idNet = BuildApartments();
    const QStringList before = Rows("SELECT * FROM k_kvr ORDER BY id_kvr");
    EXPECT_EQ(GenerationResult::Done, Generate(DlgAnswer::Ok));
    EXPECT_EQ(before, Rows("SELECT * FROM k_kvr ORDER BY id_kvr"));
    EXPECT_EQ(3,
              One("SELECT COUNT(*) FROM k_kvr WHERE st_kvr='СПО' AND id_net=?", {idNet}).toInt());
}

TEST_F(Generation, AHotelEntranceWithoutAConsoleGetsRowsNumberedZeroWithTheirPositionsAsCodes) {
    ReferenceObjectOptions o;
    o.console = false;
    o.houses = {{QStringLiteral("1"), 1}};
    const qint64 idNet = BuildReference(o);
    const qint64 pod = FirstEntranceId(idNet);
    Sql("UPDATE k_pod SET type_n=1, n1kvr=0, npkvr=0, v_kvr=6 WHERE id_pod=?", {pod});
    EXPECT_EQ(GenerationResult::Done, generator_.Run(4));
    EXPECT_EQ(
        QStringList({"1 0 1 нет", "2 0 2 нет", "3 0 3 нет", "4 0 4 нет", "5 0 5 нет", "6 0 6 нет"}),
        Rows(pod));
}

TEST_F(Generation, CancelAtTheQuestionChangesNothingAtAll) {
    BuildApartments();
    QSqlDatabase db = Db();
    const QString before = TestDatabase::Dump(db);
    EXPECT_EQ(GenerationResult::Cancelled, Generate(DlgAnswer::Cancel, 9));
    EXPECT_EQ(before, TestDatabase::Dump(db));

    // With a manual row the question has three answers; Cancel is still nothing.
    Sql("UPDATE k_kvr SET st_kvr='ввод', n_kvr='12а' WHERE p_nom=12");
    const QString withManual = TestDatabase::Dump(db);
    EXPECT_EQ(GenerationResult::Cancelled, Generate(DlgAnswer::Cancel, 9, true));
    EXPECT_EQ(withManual, TestDatabase::Dump(db));
}

TEST_F(Generation, YesKeepsManualRowsBesideTheNumbersAndNoDropsThem) {
    const qint64 idNet = BuildApartments();
    const qint64 pod = FirstEntranceId(idNet);
    // A manual "12а" after 12, and a manual row holding the next number.
    Sql("UPDATE k_kvr SET p_nom=p_nom+1 WHERE id_pod=? AND p_nom>12", {pod});
    Sql("INSERT INTO k_kvr (id_net, id_pod, p_nom, n_kvr, p_kvr, st_kvr) "
        "VALUES (?, ?, 13, '12а', '120', 'ввод')",
        {idNet, pod});
    Sql("UPDATE k_kvr SET st_kvr='ввод' WHERE id_pod=? AND n_kvr='20'", {pod});

    EXPECT_EQ(GenerationResult::Done, Generate(DlgAnswer::Yes, 4, true));
    QStringList expected = Numbered(1, 12);
    expected << "13 12а 120 ввод";
    expected << Numbered(13, 40, RowOrigin::kGenerated, 14) << ConsoleRow(42);
    EXPECT_EQ(expected, Rows(pod));
    EXPECT_EQ(41, One("SELECT v_kvr FROM k_pod WHERE id_pod=?", {pod}).toInt());

    EXPECT_EQ(GenerationResult::Done, Generate(DlgAnswer::No, 4, true));
    EXPECT_EQ(Numbered(1, 40) << ConsoleRow(41), Rows(pod));
    EXPECT_EQ(40, One("SELECT v_kvr FROM k_pod WHERE id_pod=?", {pod}).toInt());
}

TEST_F(Generation, HandsetsInsideTheRangeTakeNoApartmentsPlace) {
    const qint64 idNet = BuildApartments();
    const qint64 pod = FirstEntranceId(idNet);
    // A handset added by hand between apartments 2 and 3, and the range grown.
    Sql("UPDATE k_kvr SET p_nom=p_nom+1 WHERE id_pod=? AND p_nom>2", {pod});
    Sql("INSERT INTO k_kvr (id_net, id_pod, p_nom, n_kvr, p_kvr, st_kvr, l_trub) "
        "VALUES (?, ?, 3, 'трубка', '77', 'ввод', 1)",
        {idNet, pod});
    SetRange(pod, 1, 42, 42);
    for (DlgAnswer answer : {DlgAnswer::Yes, DlgAnswer::No}) {
        EXPECT_EQ(GenerationResult::Done, Generate(answer, 4, true));
        EXPECT_EQ(Numbered(1, 42) << "43 трубка 77 ввод" << ConsoleRow(44), Rows(pod));
        EXPECT_EQ(42, One("SELECT v_kvr FROM k_pod WHERE id_pod=?", {pod}).toInt());
    }
}

TEST_F(Generation, AShrinkingRangeDeletesExactlyItsLastRowsWithTheirKeys) {
    ReferenceObjectOptions o;
    o.console = false;
    o.houses = {{QStringLiteral("1"), 1}};
    o.apartmentsPerEntrance = 10;
    const qint64 idNet = BuildApartments(o);
    const qint64 pod = FirstEntranceId(idNet);
    for (int n : {8, 9, 10})
        AddKey(pod, RowId(pod, n), QStringLiteral("00000000000%1").arg(n % 10));
    // A key the key screen marked for its own reasons, and a common key.
    AddKey(pod, RowId(pod, 1), QStringLiteral("0000000000A1"), true);
    AddKey(pod, -1, QStringLiteral("0000000000C1"));
    const qint64 nine = RowId(pod, 9);

    SetRange(pod, 1, 8, 8);
    EXPECT_EQ(GenerationResult::Done, Generate(DlgAnswer::Ok));
    EXPECT_EQ(Numbered(1, 8), Rows(pod));
    EXPECT_EQ(QStringList({"000000000008", "0000000000A1", "0000000000C1"}), Keys());
    EXPECT_EQ(0, One("SELECT COUNT(*) FROM k_kvr WHERE id_kvr=?", {nine}).toInt());

    // Raised again: new rows with the default flags and the object's quota.
    Sql("UPDATE k_net SET flbv=? WHERE id_net=?",
        {QStringLiteral("00000000000000000110000000000000"), idNet});
    SetRange(pod, 1, 10, 10);
    EXPECT_EQ(GenerationResult::Done, Generate(DlgAnswer::Ok, 5));
    EXPECT_EQ(Numbered(1, 10), Rows(pod));
    EXPECT_EQ(QStringList({"9|5|1|1|0", "10|5|1|1|0"}),
              Rows("SELECT n_kvr, x_key, l_otz, f_m03, f_m04 FROM k_kvr WHERE id_pod=? AND "
                   "p_nom>8 ORDER BY p_nom",
                   {pod}));
}

TEST_F(Generation, AShrinkingRangeWithAConsoleKeepsTheHandsetAndDeletesTheApartments) {
    const qint64 idNet = BuildApartments();
    const qint64 pod = FirstEntranceId(idNet);
    const qint64 console = RowId(pod, 41);
    for (int n : {38, 39, 40}) AddKey(pod, RowId(pod, n), QStringLiteral("0000000000%1").arg(n));
    SetRange(pod, 1, 38, 38);
    EXPECT_EQ(GenerationResult::Done, Generate(DlgAnswer::Ok));
    EXPECT_EQ(Numbered(1, 38) << ConsoleRow(39), Rows(pod));
    EXPECT_EQ(console, RowId(pod, 39));
    EXPECT_EQ(QStringList({"000000000038"}), Keys());
}

TEST_F(Generation, AKeptRowHoldsAtLeastTheKeysItHas) {
    const qint64 idNet = BuildApartments();
    const qint64 pod = FirstEntranceId(idNet);
    Sql("UPDATE k_kvr SET y_key=7 WHERE id_pod=? AND p_nom=3", {pod});
    EXPECT_EQ(GenerationResult::Done, Generate(DlgAnswer::Ok, 4));
    EXPECT_EQ(QStringList({"4", "4", "7", "4"}),
              Rows("SELECT x_key FROM k_kvr WHERE id_pod=? AND p_nom<=4 ORDER BY p_nom", {pod}));
}

TEST_F(Generation, AHandCodedRowKeepsItsNumberAndCodeWhenEverythingIsOverwritten) {
    const qint64 idNet = BuildApartments();
    const qint64 pod = FirstEntranceId(idNet);
    Sql("UPDATE k_kvr SET n_kvr='5б', p_kvr='505', st_kvr='код' WHERE id_pod=? AND p_nom=5", {pod});
    EXPECT_EQ(GenerationResult::Done, Generate(DlgAnswer::Ok));
    EXPECT_EQ("5 5б 505 код", Rows(pod)[4]);
    EXPECT_EQ("6 6 6 нет", Rows(pod)[5]);
}

TEST_F(Generation, MasksWithoutDefaultsGiveNewRowsNoFlags) {
    ReferenceObjectOptions o;
    o.houses = {{QStringLiteral("1"), 1}};
    const qint64 idNet = BuildReference(o);
    const QString stored = QString(16, QLatin1Char('1')) + QString(16, QLatin1Char('0'));
    Sql("UPDATE k_net SET flbv=?, flpo=? WHERE id_net=?", {stored, stored, idNet});
    SetRange(FirstEntranceId(idNet), 1, 3, 3);
    EXPECT_EQ(GenerationResult::Done, generator_.Run(4));
    QStringList flags;
    for (const char* prefix : {"f_m", "f_p"})
        for (int n = prefix[2] == 'm' ? 3 : 2; n <= 16; ++n)
            flags << QStringLiteral("%1%2")
                         .arg(QLatin1String(prefix))
                         .arg(n, 2, 10, QLatin1Char('0'));
    flags << "l_otz"
          << "l_pnp";
    EXPECT_EQ(0, One("SELECT SUM(" + flags.join('+') + ") FROM k_kvr").toInt());
}

TEST_F(Generation, AnEntranceWithoutItsRangeStopsTheRunAfterTheQuotaIsStored) {
    const qint64 idNet = BuildReference();
    dialogs_.Expect(kRangesCaption, kRangesMissing);
    EXPECT_EQ(GenerationResult::Refused, generator_.Run(7));
    EXPECT_EQ(0, One("SELECT COUNT(*) FROM k_kvr").toInt());
    EXPECT_EQ(7, One("SELECT v_key FROM k_net WHERE id_net=?", {idNet}).toInt());
    // An entrance entered as having no apartments (first 1, last 0) is fine.
    for (qint64 pod : EntranceIds(idNet)) SetRange(pod, 1, 0, 0);
    EXPECT_EQ(GenerationResult::Done, generator_.Run(7));
    EXPECT_EQ(3, One("SELECT COUNT(*) FROM k_kvr WHERE st_kvr='СПО'").toInt());
}

TEST_F(Generation, AnObjectWithoutEntrancesIsSavedWithoutFailing) {
    const qint64 idNet = BuildReference();
    Sql("DELETE FROM k_pod");
    SetState(idNet, "создано");
    EXPECT_EQ(GenerationResult::Done, generator_.Run(4));
    EXPECT_EQ("сохранено", State(idNet));
}

TEST_F(Generation, TheObjectStateMovesOnlyWhereItHasNotBeenSaved) {
    const qint64 idNet = BuildApartments();
    for (const auto& [before, after] : QList<QPair<QString, QString>>{
             {"закрыто", "закр+сохр"}, {"введено", "сохранено"}, {"сохр+ввод", "сохр+ввод"}}) {
        SetState(idNet, before);
        EXPECT_EQ(GenerationResult::Done, Generate(DlgAnswer::Ok));
        EXPECT_EQ(after, State(idNet)) << before.toStdString();
    }
}

TEST_F(Generation, ALongPrefixWithALongCodeAnywhereInTheObjectIsReported) {
    ReferenceObjectOptions o;
    o.houses = {{QStringLiteral("12"), 1}, {QStringLiteral("3"), 1}};
    o.apartmentsPerEntrance = 20;
    const qint64 idNet = BuildApartments(o);
    // A four-digit code in the second house, a two-digit prefix in the first.
    SetRange(EntranceIds(idNet)[1], 1000, 1019, 20);
    dialogs_.Expect(kCaption, kOverwrite, DlgAnswer::Ok);
    dialogs_.Expect(kLengthCaption, kCodeTooLong);
    EXPECT_EQ(GenerationResult::Done, generator_.Run(4));
    EXPECT_EQ(QStringList({"1000", "1019"}),
              Rows("SELECT MIN(n_kvr), MAX(n_kvr) FROM k_kvr WHERE id_pod=? AND NOT l_trub",
                   {EntranceIds(idNet)[1]})
                  .first()
                  .split('|'));
    EXPECT_EQ(4 + 2, generator_.CodeAndPrefixLength());
}

// ---------------------------------------------------------------- repeated codes

class RepeatedCodes : public ApartmentDb {
  protected:
    // Apartment 5 of house 1 and two apartments of its second entrance share
    // a code set by hand.
    void ShareCode(const QList<qint64>& pods) {
        Sql("UPDATE k_kvr SET p_kvr='5', st_kvr='код' WHERE id_pod=? AND p_nom IN (3, 4)",
            {pods[1]});
    }
    QList<CallCodeRepeat> shown_;
};

TEST_F(RepeatedCodes, IgnoreAllAtTheFirstRepeatCountsEveryRepeatOfTheHouse) {
    const qint64 idNet = BuildApartments();
    const QList<qint64> pods = EntranceIds(idNet);
    ShareCode(pods);
    generator_.SetCorrector([this](const CallCodeRepeat& r) {
        shown_ << r;
        return CorrectionMark::IgnoreAll;
    });
    EXPECT_EQ(GenerationResult::Done, Generate(DlgAnswer::Ok));
    ASSERT_EQ(1, shown_.size());
    EXPECT_EQ("5", shown_[0].nKvr);
    EXPECT_EQ("5", shown_[0].pKvr);
    EXPECT_EQ("43", shown_[0].otherNKvr);
    EXPECT_EQ(QStringList({"3", "0"}), Rows("SELECT kvv_t FROM k_dom ORDER BY id_dom"));
    // Each entrance counts its own rows: one in the first, two in the second.
    EXPECT_EQ(QStringList({"1", "2", "0"}), Rows("SELECT kvv_t FROM k_pod ORDER BY id_pod"));

    // The codes made unique again: every count goes back to 0.
    Sql("UPDATE k_kvr SET p_kvr=n_kvr WHERE st_kvr='код'");
    EXPECT_EQ(GenerationResult::Done, Generate(DlgAnswer::Ok));
    EXPECT_EQ(QStringList({"0", "0", "0"}), Rows("SELECT kvv_t FROM k_pod ORDER BY id_pod"));
}

TEST_F(RepeatedCodes, EachIgnoredRepeatIsOfferedAndACorrectedCodeIsKeptNextTime) {
    const qint64 idNet = BuildApartments();
    const QList<qint64> pods = EntranceIds(idNet);
    ShareCode(pods);
    generator_.SetCorrector([this](const CallCodeRepeat& r) {
        shown_ << r;
        // The first offer corrects the other apartment; later ones are ignored.
        if (shown_.size() > 1) return CorrectionMark::Ignored;
        EXPECT_EQ(CallCodes::SaveResult::Saved,
                  CallCodes::SaveCorrectedCode(r.idDom, r.otherIdKvr, QStringLiteral("143")));
        return CorrectionMark::Saved;
    });
    EXPECT_EQ(GenerationResult::Done, Generate(DlgAnswer::Ok));
    // 5 with 43 (corrected to 143), then 44 with 5, which is still a repeat.
    ASSERT_EQ(2, shown_.size());
    EXPECT_EQ("44", shown_[1].nKvr);
    EXPECT_EQ("5", shown_[1].otherNKvr);
    EXPECT_EQ("3 43 143 код", Rows(pods[1])[2]);
    EXPECT_EQ("2", One("SELECT kvv_t FROM k_dom ORDER BY id_dom").toString());

    // The corrected code survives the next generation.
    generator_.SetCorrector([](const CallCodeRepeat&) { return CorrectionMark::Ignored; });
    EXPECT_EQ(GenerationResult::Done, Generate(DlgAnswer::Ok));
    EXPECT_EQ("3 43 143 код", Rows(pods[1])[2]);
}

TEST_F(RepeatedCodes, NoSkipsTheCheckAndKeepsTheCounts) {
    const qint64 idNet = BuildApartments();
    const QList<qint64> pods = EntranceIds(idNet);
    ShareCode(pods);
    Sql("UPDATE k_kvr SET st_kvr='ввод', n_kvr='7а' WHERE id_pod=? AND p_nom=7", {pods[2]});
    Sql("UPDATE k_dom SET kvv_t=9");
    generator_.SetCorrector([this](const CallCodeRepeat& r) {
        shown_ << r;
        return CorrectionMark::Ignored;
    });
    EXPECT_EQ(GenerationResult::Done, Generate(DlgAnswer::No, 4, true));
    EXPECT_TRUE(shown_.isEmpty());
    EXPECT_EQ(QStringList({"9", "9"}), Rows("SELECT kvv_t FROM k_dom ORDER BY id_dom"));
}

TEST_F(RepeatedCodes, ACorrectionToACodeTheHouseHoldsIsRefusedAndChangesNothing) {
    const qint64 idNet = BuildApartments();
    const QList<qint64> pods = EntranceIds(idNet);
    const qint64 idDom = HouseIds(idNet)[0];
    const qint64 row = RowId(pods[1], 3);
    dialogs_.Expect(CallCodeTexts::kError, CallCodeTexts::kTakenInHouse);
    EXPECT_EQ(CallCodes::SaveResult::Refused, CallCodes::SaveCorrectedCode(idDom, row, "7"));
    // A code held only in the other house is free here; a manual row stays manual.
    Sql("UPDATE k_kvr SET st_kvr='ввод' WHERE id_kvr=?", {row});
    EXPECT_EQ(CallCodes::SaveResult::Saved, CallCodes::SaveCorrectedCode(idDom, row, " 99.1 "));
    EXPECT_EQ(QStringList({"99.1|ввод"}),
              Rows("SELECT p_kvr, st_kvr FROM k_kvr WHERE id_kvr=?", {row}));
    EXPECT_EQ(CallCodes::SaveResult::Empty, CallCodes::SaveCorrectedCode(idDom, row, "  "));
    dialogs_.Expect(CallCodeTexts::kError, CallCodeTexts::kBadCode);
    EXPECT_EQ(CallCodes::SaveResult::Refused, CallCodes::SaveCorrectedCode(idDom, row, "1a"));
}
}  // namespace
}  // namespace ApartmentGeneratorTestUnit
