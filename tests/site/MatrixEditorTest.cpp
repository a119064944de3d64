// Editing the matrix of the saved reference object as the matrix screen does:
// clicks, typed keys, door counts, gates, renumbering and the checks of the
// save command.
#include "MatrixDb.h"
#include "site/MatrixEditor.h"

#include <gtest/gtest.h>

namespace MatrixEditorTestUnit {
namespace {

using namespace MatrixTexts;

class MatrixEditorDb : public MatrixDb {
  protected:
    void SetUp() override {
        MatrixDb::SetUp();
        id_ = Build();
        ASSERT_EQ(QStringLiteral("сохранено"), State(id_));
        ASSERT_TRUE(dm_.Q_Matr->IsOpen());
    }
    MatrixEdit Type(const QString& row, const QString& field, const QString& keys) {
        MatrixEdit last;
        for (QChar key : keys) last = editor_.KeyPress(MatrixRow(row), field, key);
        return last;
    }
    int Doors(int column) { return Cell(id_, kDoors, MatrSwitchColumnName(column)).toInt(); }
    int PanelRows() { return dm_.Q_Matr->RecordCount() - 5; }
    QString Door(int column, int door) {
        return QStringLiteral("БВ подъезда %1. %2 вход")
            .arg(column, 2, 10, QLatin1Char('0'))
            .arg(door, 2, 10, QLatin1Char('0'));
    }

    qint64 id_ = 0;
    MatrixEditor editor_;
};

TEST_F(MatrixEditorDb, TypedNumbersKeepTheLastTwoDigitsAndMarkTheMatrixEdited) {
    SetCell(id_, kNumbers, "pk_02", "00");
    EXPECT_TRUE(Type(kNumbers, "pk_02", "123").changed);
    EXPECT_EQ(QStringLiteral("23"), Cell(id_, kNumbers, "pk_02"));
    EXPECT_EQ(QStringLiteral("сохр+ввод"), State(id_));
    EXPECT_EQ(QStringLiteral("сохр+ввод"), dm_.Q_Net->FieldByName("st_net").AsString());
    Type(Door(1, 1), "sys_n", "7");
    EXPECT_EQ(QStringLiteral("27"), Cell(id_, Door(1, 1), "sys_n"));
    // Space and Enter leave a number alone.
    EXPECT_FALSE(Type(kNumbers, "pk_02", " \r").changed);
}

TEST_F(MatrixEditorDb, EntranceNamesKeepTheirLastFiveAndAnApostropheIsSavedSafely) {
    Type(kNames, "pk_01", "абвгде");
    EXPECT_EQ(QStringLiteral("бвгде"), Cell(id_, kNames, "pk_01"));
    editor_.KeyDown(MatrixRow(kNames), "pk_01", Qt::Key_Delete);
    Type(kNames, "pk_01", "O'Ne");
    EXPECT_EQ(QStringLiteral("O'Ne"), Cell(id_, kNames, "pk_01"));
    ASSERT_TRUE(editor_.SaveMatrix());
    EXPECT_EQ(QStringLiteral("O'Ne"),
              One("SELECT nm_pod FROM m_pk WHERE id_net=? AND n_pk=1", {id_}).toString());
    EXPECT_EQ(QStringLiteral("O'Ne"), Entrances(HouseIds(id_)[0]).first().mid(2));
    // A display name takes blanks and keeps its first 25 characters.
    Type(Door(2, 1), "nm_bv", QStringLiteral("Вход со двора ") + QString(20, QLatin1Char('x')));
    EXPECT_EQ(25, Cell(id_, Door(2, 1), "nm_bv").size());
    EXPECT_TRUE(Cell(id_, Door(2, 1), "nm_bv").startsWith(QStringLiteral("Вход со двора x")));
}

TEST_F(MatrixEditorDb, BackspaceAndDeleteWorkOnNamesOnlyAndLeaveTheState) {
    editor_.KeyDown(MatrixRow(kNames), "pk_03", Qt::Key_Backspace);
    EXPECT_EQ(QStringLiteral("Л-0"), Cell(id_, kNames, "pk_03"));
    SetCell(id_, kGate1, "nm_bv", "Калитка");
    editor_.KeyDown(MatrixRow(kGate1), "nm_bv", Qt::Key_Delete);
    EXPECT_EQ(QString(), Cell(id_, kGate1, "nm_bv"));
    EXPECT_FALSE(editor_.KeyDown(MatrixRow(kNumbers), "pk_01", Qt::Key_Delete));
    EXPECT_FALSE(editor_.KeyDown(MatrixRow(kNames), "nm_bv", Qt::Key_Delete));
    EXPECT_EQ(QStringLiteral("01"), Cell(id_, kNumbers, "pk_01"));
    EXPECT_EQ(QStringLiteral("сохранено"), State(id_));
}

TEST_F(MatrixEditorDb, DoubleClicksChangeOnlyGateCellsAndDoorCounts) {
    const QStringList before = Matrix(id_);
    for (const QString& row :
         {kNames, QStringLiteral("1 "), QStringLiteral("2 "), kNumbers, Door(1, 1)})
        for (const char* field : {"name", "sys_n", "pk_01", "nm_bv"})
            EXPECT_FALSE(editor_.DblClick(MatrixRow(row), field).changed) << row.toStdString();
    EXPECT_EQ(before, Matrix(id_));
    EXPECT_EQ(QStringLiteral("сохранено"), State(id_));

    // The gate cell goes on from "+" by the cycle; a stored tract shows.
    Sql("UPDATE m_bv SET tract=3 WHERE id_net=? AND n_bv=? AND n_pk=2", {id_, kGate1});
    QStringList seen;
    for (int i = 0; i < 4; ++i) {
        editor_.DblClick(MatrixRow(kGate1), "pk_02");
        seen << Cell(id_, kGate1, "pk_02");
    }
    EXPECT_EQ(QStringList({"--", "-3-", "", "3"}), seen);
    EXPECT_EQ(QStringLiteral("сохр+ввод"), State(id_));
}

TEST_F(MatrixEditorDb, GateClickWritesOneTextFromTheColumnOnAndLeavesTheState) {
    SetCell(id_, kGate1, "pk_03", "-+-");
    EXPECT_TRUE(editor_.GateClick(MatrixRow(kGate1), "pk_02"));
    EXPECT_EQ(QStringLiteral("+"), Cell(id_, kGate1, "pk_01"));
    EXPECT_EQ(QStringLiteral("--"), Cell(id_, kGate1, "pk_02"));
    EXPECT_EQ(QStringLiteral("--"), Cell(id_, kGate1, "pk_03"));
    EXPECT_FALSE(editor_.GateClick(MatrixRow(Door(1, 1)), "pk_01"));
    EXPECT_EQ(QStringLiteral("сохранено"), State(id_));
}

TEST_F(MatrixEditorDb, DoorCountsByDoubleClickCycleUpToTheLimit) {
    editor_.SetEmax(2);
    EXPECT_TRUE(editor_.DblClick(MatrixRow(kDoors), "pk_02").reopened);
    EXPECT_EQ(2, Doors(2));
    ASSERT_GE(MatrixRow(Door(2, 2)), 0);
    EXPECT_EQ(QStringLiteral("+"), Cell(id_, Door(2, 2), "pk_02"));
    // The lowest free number: 1..4 are the gate's and the doors'.
    EXPECT_EQ(QStringLiteral("05"), Cell(id_, Door(2, 2), "sys_n"));
    EXPECT_EQ(5, editor_.Secret());
    editor_.DblClick(MatrixRow(kDoors), "pk_02");
    EXPECT_EQ(1, Doors(2));
    EXPECT_EQ(-1, MatrixRow(Door(2, 2)));

    Globals().KolTractPK = 8;
    editor_.SetEmax(8);
    for (int i = 0; i < 7; ++i) editor_.DblClick(MatrixRow(kDoors), "pk_01");
    EXPECT_EQ(8, Doors(1));
    EXPECT_EQ(11, PanelRows());
    // The ninth door is never made: the next click starts again at 1.
    editor_.DblClick(MatrixRow(kDoors), "pk_01");
    EXPECT_EQ(1, Doors(1));
    EXPECT_EQ(-1, MatrixRow(Door(1, 9)));
    EXPECT_EQ(4, PanelRows());
}

TEST_F(MatrixEditorDb, TypedDoorCountsAreCutBackToTheObjectsLimit) {
    Globals().MaxDevice = 8;
    dialogs_.Expect(kTooManyPanelsCaption, kTooManyPanels);
    Type(kDoors, "pk_03", "9");
    EXPECT_EQ(5, Doors(3));
    EXPECT_EQ(8, PanelRows());
    // At the limit a click adds nothing.
    dialogs_.Expect(kTooManyPanelsCaption, kTooManyPanels);
    EXPECT_FALSE(editor_.DblClick(MatrixRow(kDoors), "pk_01").changed);
    // Fewer doors remove the rows above the count.
    Type(kDoors, "pk_03", "2");
    EXPECT_EQ(2, Doors(3));
    EXPECT_EQ(5, PanelRows());
    EXPECT_EQ(-1, MatrixRow(Door(3, 3)));
    ASSERT_TRUE(editor_.SaveMatrix());
    EXPECT_EQ(2, One("SELECT v_dvr FROM k_pod WHERE id_dom=?", {HouseIds(id_)[1]}).toInt());
    EXPECT_EQ(
        2, One("SELECT COUNT(*) FROM m_bv WHERE id_net=? AND n_pk=3 AND bv_type=0", {id_}).toInt());
}

TEST_F(MatrixEditorDb, AGateIsAddedWithAFreeNumberAndAsksToBeSaved) {
    EXPECT_EQ(1, editor_.AddGates(1));
    EXPECT_EQ(2, One("SELECT v_kal FROM k_net WHERE id_net=?", {id_}).toInt());
    EXPECT_EQ(QStringLiteral("БВ калитки 02|05|+|+|+|"), Matrix(id_).filter(kGate2).value(0));
    EXPECT_EQ(QStringLiteral("сохр+ввод"), State(id_));
    EXPECT_EQ(5, PanelRows());
    // With no number left (0..4 in use), nothing is added.
    SetCell(id_, kGate2, "sys_n", "00");
    Globals().MaxDevice = 5;
    dialogs_.Expect(kTooManyPanelsCaption, kTooManyPanels);
    EXPECT_EQ(0, editor_.AddGates(1));
    EXPECT_EQ(2, One("SELECT v_kal FROM k_net WHERE id_net=?", {id_}).toInt());
}

TEST_F(MatrixEditorDb, RenumberingPanelsWrapsAndReachesLinksAndRecords) {
    Globals().MaxDevice = 64;
    const qint64 record = Insert(
        "INSERT INTO k_bv (id_net, n_net, n_nt0, n_bv, kf_pr) "
        "VALUES (?, 66, 2, 'БВ02 дом', 1)",
        {id_});
    Sql("UPDATE m_bv SET id_bv=? WHERE id_net=? AND n_nt0=2", {record, id_});
    SetCell(id_, Door(1, 1), "nm_bv", "БВ02 главный");
    ASSERT_TRUE(editor_.RenumberCallBlocks(62));
    EXPECT_EQ(
        QStringList({"62", "63", "00", "01"}),
        Rows("SELECT sys_n FROM " + MatrTableName(id_) + " WHERE name LIKE 'БВ%' ORDER BY name"));
    EXPECT_EQ(QStringLiteral("БВ63 главный"), Cell(id_, Door(1, 1), "nm_bv"));
    EXPECT_EQ(QStringList({"62|126", "63|127", "0|64", "1|65"}),
              Rows("SELECT DISTINCT n_nt0, n_net FROM m_bv WHERE id_net=? ORDER BY n_bv", {id_}));
    EXPECT_EQ(QStringList({"127|63|БВ63 главный|2"}),
              Rows("SELECT n_net, n_nt0, n_bv, kf_pr FROM k_bv WHERE id_bv=?", {record}));
    EXPECT_EQ(QStringLiteral("сохранено"), State(id_));
}

TEST_F(MatrixEditorDb, RenumberingSwitchesReachesTheColumnsAndRecords) {
    const qint64 record = Insert("INSERT INTO k_pk (id_net, n_net, kf_pr) VALUES (?, 2, 3)", {id_});
    Sql("UPDATE m_pk SET id_pk=? WHERE id_net=? AND n_pk=2", {record, id_});
    ASSERT_TRUE(editor_.RenumberSwitches(5));
    EXPECT_EQ(QStringLiteral("4      сетевой номер КМ||05|06|07|"), Matrix(id_).value(4));
    EXPECT_EQ(QStringList({"5", "6", "7"}),
              Rows("SELECT n_net FROM m_pk WHERE id_net=? ORDER BY n_pk", {id_}));
    EXPECT_EQ(QStringList({"6|4"}), Rows("SELECT n_net, kf_pr FROM k_pk WHERE id_pk=?", {record}));
    EXPECT_EQ(QStringLiteral("сохранено"), State(id_));
}

TEST_F(MatrixEditorDb, TheSaveRefusesRepeatedAndTooLargeNumbers) {
    SetCell(id_, kNumbers, "pk_01", "05");
    SetCell(id_, kNumbers, "pk_03", "05");
    SetState(id_, "сохр+ввод");
    dialogs_.Expect(kError, kSwitchNumberRepeated);
    EXPECT_FALSE(editor_.SaveMatrix());

    Globals().MaxDevice = 64;
    SetCell(id_, kNumbers, "pk_03", "64");
    dialogs_.Expect(kErrorExcl, QStringLiteral("Cетевой номер 64 больше допустимого 63!"));
    EXPECT_FALSE(editor_.SaveMatrix());

    SetCell(id_, kNumbers, "pk_03", "03");
    SetCell(id_, Door(2, 1), "sys_n", "01");
    dialogs_.Expect(kError, kPanelNumberRepeated);
    EXPECT_FALSE(editor_.SaveMatrix());
    EXPECT_EQ(QStringLiteral("сохр+ввод"), State(id_));
    EXPECT_EQ(QStringList({"1", "2", "3"}),
              Rows("SELECT n_net FROM m_pk WHERE id_net=? ORDER BY n_pk", {id_}));
}
}  // namespace
}  // namespace MatrixEditorTestUnit
