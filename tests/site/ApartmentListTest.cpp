// The apartment screen's work without its window: hotel numbering, codes from
// numbers, the call-code checks, inserting and deleting rows.
#include "ApartmentDb.h"
#include "site/ApartmentList.h"
#include "site/CallCodes.h"

#include <gtest/gtest.h>

namespace ApartmentListTestUnit {
namespace {

using namespace ApartmentListTexts;

namespace {

QVector<NumberingRow> Fresh(int n) {
    return QVector<NumberingRow>(n, NumberingRow{QStringLiteral("0"), false, false});
}

QStringList Numbers(const QVector<NumberingRow>& rows) {
    QStringList out;
    for (const NumberingRow& r : rows) out << r.number;
    return out;
}

}  // namespace

TEST(HotelNumbering, FloorAfterFloorWithTwoDigitPositions) {
    QVector<NumberingRow> rows = Fresh(8);
    const HotelNumbering n{2, 1, 4};
    FloorStep step = NumberOneFloor(rows, 0, n);
    EXPECT_EQ(4, step.cursor);
    step = NumberOneFloor(rows, step.cursor, n);
    EXPECT_EQ(8, step.cursor);
    EXPECT_EQ(QStringList({"101", "102", "103", "104", "201", "202", "203", "204"}), Numbers(rows));
    // The same in one run.
    rows = Fresh(8);
    EXPECT_EQ(8, NumberAllFloors(rows, 0, n).cursor);
    EXPECT_EQ(QStringList({"101", "102", "103", "104", "201", "202", "203", "204"}), Numbers(rows));
}

TEST(HotelNumbering, PositionsFromZeroAndCutToTheirDigits) {
    QVector<NumberingRow> rows = Fresh(4);
    NumberOneFloor(rows, 0, HotelNumbering{2, 0, 3});
    EXPECT_EQ(QStringList({"100", "101", "102", "0"}), Numbers(rows));
    rows = Fresh(11);
    NumberOneFloor(rows, 0, HotelNumbering{1, 1, 10});
    EXPECT_EQ("19", rows[8].number);
    EXPECT_EQ("10", rows[9].number);  // position 10 cut to its last digit
    // The last of nine rows is not forgotten by the floors before it.
    rows = Fresh(9);
    NumberAllFloors(rows, 0, HotelNumbering{2, 1, 4});
    EXPECT_EQ("301", rows[8].number);
}

TEST(HotelNumbering, HandsetsAndManualRowsTakeNoPositionAndCarryNoFloor) {
    QVector<NumberingRow> rows = Fresh(6);
    rows[2] = {QStringLiteral("трубка"), true, false};
    rows[4] = {QStringLiteral("104а"), true, false};
    const HotelNumbering n{2, 1, 3};
    FloorStep step = NumberOneFloor(rows, 0, n);
    EXPECT_EQ(QStringList({"101", "102", "трубка", "103", "104а", "0"}), Numbers(rows));
    // The next floor reads past the manual row to 103.
    step = NumberOneFloor(rows, step.cursor, n);
    EXPECT_EQ("201", rows[5].number);
    EXPECT_FALSE(rows[2].changed);
}

TEST(HotelNumbering, ADoubleClickOnANumberedRowRenumbersFromIt) {
    QVector<NumberingRow> rows = Fresh(8);
    const HotelNumbering n{2, 1, 4};
    NumberAllFloors(rows, 0, n);
    NumberOneFloor(rows, 2, n);
    EXPECT_EQ(QStringList({"101", "102", "201", "202", "203", "204", "203", "204"}), Numbers(rows));
    // A short number is on floor 0; a number that is not one stops the run.
    rows = Fresh(3);
    rows[0].number = QStringLiteral("7");
    NumberOneFloor(rows, 1, n);
    EXPECT_EQ("101", rows[1].number);
    rows[0].number = QStringLiteral("А12");
    const FloorStep bad = NumberOneFloor(rows, 1, HotelNumbering{1, 1, 4});
    EXPECT_FALSE(bad.ok);
    EXPECT_EQ("А12", bad.badNumber);
    EXPECT_EQ("101", rows[1].number);
}

TEST(HotelNumbering, NothingIsNumberedWithoutApartmentsOnAFloor) {
    QVector<NumberingRow> rows = Fresh(3);
    EXPECT_EQ(1, NumberOneFloor(rows, 1, HotelNumbering{2, 1, 0}).cursor);
    EXPECT_EQ(QStringList({"0", "0", "0"}), Numbers(rows));
}

TEST(CallCodeText, DigitsOfANumberAndWhatACodeMayHold) {
    EXPECT_EQ("12", CallCodes::DigitsOf("12а"));
    EXPECT_EQ("101", CallCodes::DigitsOf("1-01"));
    EXPECT_TRUE(CallCodes::IsCodeText("12.5"));
    EXPECT_FALSE(CallCodes::IsCodeText("123456"));
    EXPECT_FALSE(CallCodes::IsCodeText("1 2"));
    EXPECT_EQ("ввод", CallCodes::OriginAfterCodeChange("ввод"));
    EXPECT_EQ("код", CallCodes::OriginAfterCodeChange("нет"));
}

// ---------------------------------------------------------------- on the database

class ApartmentListDb : public ApartmentDb {
  protected:
    // A hotel entrance of eight generated rows in a one-entrance object.
    qint64 HotelEntrance() {
        ReferenceObjectOptions o;
        o.console = false;
        o.houses = {{QStringLiteral("1"), 1}};
        idNet_ = BuildReference(o);
        const qint64 pod = FirstEntranceId(idNet_);
        Sql("UPDATE k_pod SET type_n=1, n1kvr=0, npkvr=0, v_kvr=8 WHERE id_pod=?", {pod});
        EXPECT_EQ(GenerationResult::Done, generator_.Run(4));
        return pod;
    }
    QStringList Numbers(qint64 idPod) {
        return Rows("SELECT n_kvr || '/' || p_kvr FROM k_kvr WHERE id_pod=? ORDER BY p_nom",
                    {idPod});
    }
    QStringList Marks() {
        return Rows("SELECT kvv_t FROM k_pod ORDER BY id_pod") +
               Rows("SELECT kvv_t FROM k_dom ORDER BY id_dom");
    }
    ApartmentList list_;
    qint64 idNet_ = 0;
};

TEST_F(ApartmentListDb, HotelFloorsAreWrittenAsNumbersAndCodes) {
    const qint64 pod = HotelEntrance();
    const HotelNumbering n{2, 1, 4};
    EXPECT_EQ(4, list_.NumberFloors(pod, 0, n, false));
    EXPECT_EQ(8, list_.NumberFloors(pod, 4, n, false));
    EXPECT_EQ(QStringList({"101/101", "102/102", "103/103", "104/104", "201/201", "202/202",
                           "203/203", "204/204"}),
              Numbers(pod));
    Sql("UPDATE k_kvr SET n_kvr='Б201' WHERE id_pod=? AND p_nom=4", {pod});
    dialogs_.Expect(kError, kNoFloor + "Б201»!");
    EXPECT_EQ(-1, list_.NumberFloors(pod, 4, n, true));
    EXPECT_EQ("201/201", Numbers(pod)[4]);
}

TEST_F(ApartmentListDb, CodesFromNumbersStopAtARepeatAndMarkTheEntrance) {
    const qint64 pod = HotelEntrance();
    Sql("UPDATE k_kvr SET n_kvr='1' || p_nom || 'а' WHERE id_pod=?", {pod});
    Sql("UPDATE k_kvr SET n_kvr='12' WHERE id_pod=? AND p_nom=5", {pod});
    dialogs_.Expect(kError, kCodeRepeated);
    EXPECT_FALSE(list_.CodesFromNumbers(pod));
    EXPECT_EQ(
        QStringList({"11а/11", "12а/12", "13а/13", "14а/14", "12/5", "16а/6", "17а/7", "18а/8"}),
        Numbers(pod));
    EXPECT_EQ(QStringList({"код", "код", "код", "код", "нет"}),
              Rows("SELECT st_kvr FROM k_kvr WHERE id_pod=? AND p_nom<=5 ORDER BY p_nom", {pod}));
    EXPECT_EQ(QStringList({"1", "1"}), Marks());
}

TEST_F(ApartmentListDb, TheChecksFindEmptyAndTakenCodesAndMarkWhatFails) {
    const qint64 idNet = BuildApartments();
    const QList<qint64> pods = EntranceIds(idNet);
    ASSERT_FALSE(pods.isEmpty());
    EXPECT_TRUE(list_.CheckEntranceCallCodes(pods[0]).ok);
    Sql("UPDATE k_kvr SET p_kvr='' WHERE id_pod=? AND p_nom=3", {pods[0]});
    const CodeCheck empty = list_.CheckEntranceCallCodes(pods[0]);
    EXPECT_EQ(kEmptyCode, empty.text);
    EXPECT_EQ(2, empty.row);
    dialogs_.Expect(kError, kEmptyCode);
    EXPECT_EQ(2, list_.CheckAndMarkEntrance(pods[0]));
    EXPECT_EQ(QStringList({"1", "0", "0", "1", "0"}), Marks());

    // A code the second entrance shares with the first: both fail.
    Sql("UPDATE k_kvr SET p_kvr='1' WHERE id_pod=? AND p_nom=3", {pods[1]});
    dialogs_.Expect(kError, kTestFailed);
    EXPECT_EQ(pods[1], list_.CheckObject());
    EXPECT_EQ(QStringList({"1", "1", "0", "2", "0"}), Marks());

    Sql("UPDATE k_kvr SET p_kvr=n_kvr WHERE NOT l_trub");
    dialogs_.Expect(kSuccess, kTestPassed);
    EXPECT_EQ(0, list_.CheckObject());
    EXPECT_EQ(QStringList({"0", "0", "0", "0", "0"}), Marks());
}

TEST_F(ApartmentListDb, InsertPutsAManualRowAfterTheNumberGivenAndMarksTheDevices) {
    const qint64 idNet = BuildApartments();
    const qint64 pod = FirstEntranceId(idNet);
    Sql("INSERT INTO k_pk (id_pod, id_net, n_net, kf_pr) VALUES (?, ?, 1, 3)", {pod, idNet});
    SetState(idNet, "закрыто");

    const qint64 id = list_.Insert(pod, " 12 ", "12а", "120");
    ASSERT_NE(0, id);
    EXPECT_EQ(QStringList({"13|12а|120|ввод|4|-1|-1|1|1|0|0"}),
              Rows("SELECT p_nom, n_kvr, p_kvr, st_kvr, x_key, mtdy, mtnt, l_otz, l_pnp, l_trub, "
                   "l_vid FROM k_kvr WHERE id_kvr=?",
                   {id}));
    EXPECT_EQ("14 13 13 нет", Rows(pod)[13]);
    ASSERT_FALSE(Rows(pod).isEmpty());
    EXPECT_EQ("42 пост охраны 000 СПО", Rows(pod).last());
    EXPECT_EQ(QStringList({"41|1"}), Rows("SELECT v_kvr, kvv_t FROM k_pod WHERE id_pod=?", {pod}));
    EXPECT_EQ(4, One("SELECT kf_pr FROM k_pk").toInt());
    EXPECT_EQ("закр+сохр", State(idNet));

    // After "0": first; refusals change nothing.
    EXPECT_NE(0, list_.Insert(pod, "0", "0а", "99"));
    ASSERT_FALSE(Rows(pod).isEmpty());
    EXPECT_EQ("1 0а 99 ввод", Rows(pod).first());
    dialogs_.Expect(kError, CallCodeTexts::kTakenInHouse);
    EXPECT_EQ(0, list_.Insert(pod, "5", "5а", "45"));  // apartment 45 of entrance 2
    dialogs_.Expect(kSearchCaption, kNumberNotFound);
    EXPECT_EQ(0, list_.Insert(pod, "300", "300а", "3001"));
    EXPECT_EQ(0, list_.Insert(pod, "5", "", "3001"));
    EXPECT_EQ(43, Rows(pod).size());
}

TEST_F(ApartmentListDb, DeleteAsksFirstAndTakesTheRowsKeysWithIt) {
    const qint64 idNet = BuildApartments();
    const qint64 pod = FirstEntranceId(idNet);
    const qint64 manual = list_.Insert(pod, "2", "2а", "200");
    AddKey(pod, manual, "00000000002A");
    AddKey(pod, RowId(pod, 1), "000000000001");
    // A generated apartment is not deleted here, the console handset never.
    EXPECT_FALSE(list_.Delete(RowId(pod, 1)));
    dialogs_.Expect(kForbidden, kConsoleHandset);
    EXPECT_FALSE(list_.Delete(RowId(pod, 42)));
    dialogs_.Expect(kDeleteCaption, kDeleteApartment, DlgAnswer::No);
    EXPECT_FALSE(list_.Delete(manual));

    dialogs_.Expect(kDeleteCaption, kDeleteApartment, DlgAnswer::Yes);
    EXPECT_TRUE(list_.Delete(manual));
    EXPECT_EQ(Keys(), QStringList({"000000000001"}));
    EXPECT_EQ(40, One("SELECT v_kvr FROM k_pod WHERE id_pod=?", {pod}).toInt());
    EXPECT_EQ("3 3 3 нет", Rows(pod)[2]);

    // Without a console its handset is an ordinary one.
    Sql("UPDATE k_net SET l_pok=0");
    dialogs_.Expect(kDeleteCaption, kDeleteHandset, DlgAnswer::Yes);
    EXPECT_TRUE(list_.Delete(RowId(pod, 41)));
    EXPECT_EQ(40, Rows(pod).size());
    EXPECT_EQ(40, One("SELECT v_kvr FROM k_pod WHERE id_pod=?", {pod}).toInt());
}

TEST_F(ApartmentListDb, TheFloorStartIsStoredOnTheObject) {
    const qint64 idNet = BuildReference();
    EXPECT_TRUE(list_.SetFloorStart(1));
    EXPECT_EQ(1, One("SELECT incr FROM k_net WHERE id_net=?", {idNet}).toInt());
    EXPECT_TRUE(list_.SetFloorStart(7));
    EXPECT_EQ(1, One("SELECT incr FROM k_net WHERE id_net=?", {idNet}).toInt());
}
}  // namespace
}  // namespace ApartmentListTestUnit
