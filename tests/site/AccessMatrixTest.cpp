// The access matrix on a real database: the rebuild after the entrance save,
// the save into m_pk/m_bv, the restore, the entry into the entrances, gates
// removed by a save, and failures that must leave everything as it was.
#include "MatrixDb.h"
#include "foundation/Compaction.h"
#include "site/AccessMatrix.h"
#include "site/MatrixEditor.h"
#include "site/MatrixRules.h"
#include "site/ObjectScreen.h"

#include <gtest/gtest.h>

namespace AccessMatrixTestUnit {
namespace {

using namespace MatrixTexts;

class AccessMatrixDb : public MatrixDb {
  protected:
    bool Save() { return AccessMatrix().BtnSaveClick(); }
    bool Restore() { return AccessMatrix().BtnRetryClick(); }
    // Everything the matrix operations may write, for before/after checks.
    QStringList Everything(qint64 idNet) {
        return Matrix(idNet) + Columns(idNet) + Links(idNet) +
               Rows("SELECT st_net, v_kal FROM k_net WHERE id_net=?", {idNet}) +
               Rows("SELECT id_pod, n_pod, nm_pod, v_dvr FROM k_pod ORDER BY id_pod");
    }
};

TEST_F(AccessMatrixDb, TheFirstRebuildOfANewObjectNumbersSwitchesPanelsAndGates) {
    const qint64 id = Build(ReferenceStep::Entrances);
    EXPECT_EQ(QStringList({"1|1|1|1|1|Л-01", "2|2|1|1|2|Л-02", "3|1|2|1|3|Л-03"}), Columns(id));
    EXPECT_EQ(QStringList({"БВ калитки 01|1|1|1|65|1|0", "БВ калитки 01|2|1|1|65|1|0",
                           "БВ калитки 01|3|1|1|65|1|0", "БВ подъезда 01. 01 вход|1|0|2|66|1|0",
                           "БВ подъезда 02. 01 вход|2|0|3|67|1|0",
                           "БВ подъезда 03. 01 вход|3|0|4|68|1|0"}),
              Links(id));
    EXPECT_EQ(
        QStringList({"0      подъезд по порядку|С№|Л-01|Л-02|Л-03|Наименование БВ",
                     "1      подъезд в доме||1|2|1|", "2      префикс дома||1|1|2|",
                     "3      количество БВ в пд||1|1|1|", "4      сетевой номер КМ||01|02|03|",
                     "БВ калитки 01|01|+|+|+|", "БВ подъезда 01. 01 вход|02|+|<null>|<null>|",
                     "БВ подъезда 02. 01 вход|03|<null>|+|<null>|",
                     "БВ подъезда 03. 01 вход|04|<null>|<null>|+|"}),
        Matrix(id));
    EXPECT_EQ(QStringLiteral("созд+сохр"), State(id));
    // No saved matrix yet: the restore refuses and changes nothing.
    const QStringList before = Everything(id);
    dialogs_.Expect(kError, kNothingSaved);
    EXPECT_FALSE(Restore());
    EXPECT_EQ(before, Everything(id));
}

TEST_F(AccessMatrixDb, AnEntranceInsertedInTheMiddleMovesTheLaterColumnAndItsPanel) {
    const qint64 id = Build();
    ObjectScreen screen;
    ASSERT_TRUE(dm_.Q_Net->Locate("id_net", id));
    screen.BeginEditObject();
    screen.LoadObjectPanel(nullptr);
    ASSERT_TRUE(screen.SetHouseEntrances(HouseIds(id)[0], 3));
    ASSERT_EQ(EntranceSaveResult::Saved, screen.SaveEntrancesAndRebuild().result);
    EXPECT_EQ(QStringList({"1|1|1|1|1|Л-01", "2|2|1|1|2|Л-02", "3|3|1|1|4|Л-03", "4|1|2|1|3|Л-03"}),
              Columns(id));
    const QStringList links = Links(id);
    EXPECT_TRUE(links.contains("БВ подъезда 04. 01 вход|4|0|4|68|1|0"))
        << links.join('\n').toStdString();
    EXPECT_TRUE(links.contains("БВ подъезда 03. 01 вход|3|0|5|69|1|0"))
        << links.join('\n').toStdString();
    EXPECT_EQ(QStringLiteral("сохр+сохр"), State(id));
    // The matrix table follows: four columns, the moved panel in column 4.
    EXPECT_EQ(QStringLiteral("+"), Cell(id, "БВ подъезда 04. 01 вход", "pk_04"));
    EXPECT_EQ(QStringLiteral("04"), Cell(id, kNumbers, "pk_03"));
}

TEST_F(AccessMatrixDb, SaveCodesTheCellsAndShowsStoredTracts) {
    const qint64 id = Build();
    EXPECT_EQ(QStringLiteral("сохранено"), State(id));
    Sql("UPDATE m_bv SET tract=5 WHERE id_net=? AND n_bv=? AND n_pk=1", {id, kGate1});
    Sql("UPDATE m_bv SET tract=4 WHERE id_net=? AND n_bv=? AND n_pk=3", {id, kGate1});
    SetCell(id, kGate1, "pk_01", "--");
    SetCell(id, kGate1, "pk_02", "-+-");
    ASSERT_TRUE(Save());
    EXPECT_EQ(QStringList({"БВ калитки 01|1|1|1|65|2|0", "БВ калитки 01|2|1|1|65|3|0",
                           "БВ калитки 01|3|1|1|65|1|4"}),
              Links(id).mid(0, 3));
    EXPECT_EQ(QStringLiteral("4"), Cell(id, kGate1, "pk_03"));
    EXPECT_EQ(QStringLiteral("--"), Cell(id, kGate1, "pk_01"));
    // An entrance panel with a tract shows it after the next save too.
    Sql("UPDATE m_bv SET tract=2 WHERE id_net=? AND n_bv LIKE 'БВ подъезда 02%'", {id});
    ASSERT_TRUE(Save());
    EXPECT_EQ(QStringLiteral("2"), Cell(id, "БВ подъезда 02. 01 вход", "pk_02"));
    EXPECT_EQ(QStringList({"1|1|1|1|1|Л-01", "2|2|1|1|2|Л-02", "3|1|2|1|3|Л-03"}), Columns(id));
}

TEST_F(AccessMatrixDb, SaveAndRestoreMoveTheState) {
    const qint64 id = Build();
    SetState(id, "закрыто");
    ASSERT_TRUE(Save());
    EXPECT_EQ(QStringLiteral("закр+сохр"), State(id));
    // An edit after the save is undone by the restore.
    SetCell(id, kGate1, "pk_02", "--");
    ASSERT_TRUE(Restore());
    EXPECT_EQ(QStringLiteral("закрыто"), State(id));
    EXPECT_EQ(QStringLiteral("+"), Cell(id, kGate1, "pk_02"));
    SetState(id, "сохр+ввод");
    ASSERT_TRUE(Restore());
    EXPECT_EQ(QStringLiteral("сохранено"), State(id));
    for (const char* state : {"введено", "создано", "пусто"}) {
        SetState(id, QString::fromUtf8(state));
        dialogs_.Expect(kError, kNothingSaved);
        EXPECT_FALSE(Restore());
        EXPECT_EQ(QString::fromUtf8(state), State(id));
    }
}

TEST_F(AccessMatrixDb, ASaveDropsAGateWithoutLinksAndTheLaterGateTakesItsPlace) {
    const qint64 id = Build();
    EXPECT_EQ(1, MatrixEditor().AddGates(1));
    ASSERT_TRUE(Save());
    ASSERT_EQ(2, One("SELECT v_kal FROM k_net WHERE id_net=?", {id}).toInt());
    const QString gate2Number = Cell(id, kGate2, "sys_n");
    SetCell(id, kGate2, "pk_02", "--");
    ASSERT_TRUE(Save());
    for (const char* column : {"pk_01", "pk_02", "pk_03"}) SetCell(id, kGate1, column, "");
    ASSERT_TRUE(Save());

    auto gateRows = [&] {
        return Rows(
            "SELECT n_bv, n_pk, n_nt0, plus FROM m_bv WHERE id_net=? AND bv_type=1 "
            "ORDER BY n_bv, n_pk",
            {id});
    };
    const QString n = QString::number(gate2Number.toInt());
    const QStringList gate = {kGate1 + "|1|" + n + "|1", kGate1 + "|2|" + n + "|2",
                              kGate1 + "|3|" + n + "|1"};
    EXPECT_EQ(gate, gateRows());
    EXPECT_EQ(1, One("SELECT v_kal FROM k_net WHERE id_net=?", {id}).toInt());
    EXPECT_EQ(QStringLiteral("--"), Cell(id, kGate1, "pk_02"));
    EXPECT_EQ(gate2Number, Cell(id, kGate1, "sys_n"));
    EXPECT_EQ(0,
              One("SELECT COUNT(*) FROM " + MatrTableName(id) + " WHERE name=?", {kGate2}).toInt());

    // Neither a restore nor a rebuild after an entrance change brings the
    // dropped gate back, loses the remaining one or its links.
    ASSERT_TRUE(Restore());
    EXPECT_EQ(gate, gateRows());
    EXPECT_EQ(1, One("SELECT v_kal FROM k_net WHERE id_net=?", {id}).toInt());
    ASSERT_TRUE(AccessMatrix().RebuildDevices());
    EXPECT_EQ(gate, gateRows());
    EXPECT_EQ(QStringLiteral("--"), Cell(id, kGate1, "pk_02"));
    ASSERT_TRUE(Save());
    EXPECT_EQ(gate, gateRows());
}

TEST_F(AccessMatrixDb, AFailedSaveOrRebuildLeavesEverythingAsItWas) {
    const qint64 id = Build();
    SetCell(id, kGate1, "pk_02", "--");
    SetCell(id, kDoors, "pk_01", "");
    const QStringList before = Everything(id);
    Sql("CREATE TRIGGER refuse_use BEFORE UPDATE OF l_use ON m_bv WHEN NEW.l_use=1 "
        "BEGIN SELECT RAISE(ABORT, 'refused'); END");
    dialogs_.ExpectContaining(kError, QStringLiteral("Матрица не сохранена."));
    EXPECT_FALSE(Save());
    EXPECT_EQ(before, Everything(id));
    Sql("DROP TRIGGER refuse_use");

    Sql("CREATE TRIGGER refuse_insert BEFORE UPDATE OF l_del ON m_pk WHEN NEW.l_del=0 "
        "BEGIN SELECT RAISE(ABORT, 'refused'); END");
    dialogs_.ExpectContaining(kError, QStringLiteral("Матрица не перестроена."));
    EXPECT_FALSE(AccessMatrix().RebuildDevices());
    EXPECT_EQ(before, Everything(id));
    // The grid still shows the object's matrix.
    EXPECT_TRUE(dm_.Q_Matr->IsOpen());
    EXPECT_EQ(9, dm_.Q_Matr->RecordCount())
        << MatrTableError().toStdString() << " / " << dm_.Q_Matr->LastError().toStdString()
        << dm_.Q_Matr->Sql().toStdString();
}

TEST_F(AccessMatrixDb, ANonNumberInACountCellRefusesTheSaveWithAMessage) {
    const qint64 id = Build();
    SetCell(id, kDoors, "pk_02", "x");
    const QStringList before = Everything(id);
    dialogs_.ExpectContaining(kError, QStringLiteral("\"x\""));
    EXPECT_FALSE(Save());
    EXPECT_EQ(before, Everything(id));
}

TEST_F(AccessMatrixDb, NextEntersNamesAndDoorsIntoTheEntrancesExceptWhenClosed) {
    const qint64 id = Build();
    SetCell(id, kNames, "pk_03", "Юг");
    Sql("UPDATE k_pod SET nm_pod='Подъезд главный' WHERE n_pod=2");
    SetCell(id, kNames, "pk_02", "Север");
    SetCell(id, kDoors, "pk_01", "2");
    SetState(id, "закрыто");
    const QStringList before = Everything(id);
    EXPECT_TRUE(AccessMatrix().VvodObjClick());
    EXPECT_EQ(before, Everything(id));

    SetState(id, "сохранено");
    EXPECT_TRUE(AccessMatrix().VvodObjClick());
    // A short name follows the matrix, a long one stays.
    EXPECT_EQ(QStringList({"1 Л-01", "2 Подъезд главный"}), Entrances(HouseIds(id)[0]));
    EXPECT_EQ(QStringList({"1 Юг"}), Entrances(HouseIds(id)[1]));
    EXPECT_EQ(QStringList({"2", "1", "1"}), Rows("SELECT v_dvr FROM k_pod ORDER BY id_pod"));
}

TEST_F(AccessMatrixDb, AHouseWithoutEntranceRowsGetsThemFromTheMatrix) {
    const qint64 id = Build();
    const qint64 house2 = HouseIds(id)[1];
    Sql("DELETE FROM k_pod WHERE id_dom=?", {house2});
    SetState(id, "сохранено");
    dm_.Q_Dom->Locate("id_dom", house2);
    Hooks().CreateEntrancesFromMatrix();
    EXPECT_EQ(QStringList({"1 Л-03"}), Entrances(house2));
    EXPECT_EQ(1, One("SELECT v_dvr FROM k_pod WHERE id_dom=?", {house2}).toInt());
}

TEST_F(AccessMatrixDb, CompactionLeavesTheMatrixOnTheCurrentObject) {
    InstallMatrTableHook();
    const qint64 first = Build();
    ReferenceObjectOptions other;
    other.name = QStringLiteral("Дом на Луговой");
    const qint64 second = Build(ReferenceStep::Matrix, other);
    // The object list shows the newest first; the older object is current.
    ASSERT_TRUE(dm_.Q_Net->Locate("id_net", first));
    ASSERT_GT(dm_.Q_Net->RecNo(), 1);
    ASSERT_TRUE(OpenMatrTable());
    dialogs_.Expect(QStringLiteral("Подтверждение"), QStringLiteral("Сжать БД на диске?"),
                    DlgAnswer::Yes);
    ASSERT_TRUE(NCompactClick(dm_));
    EXPECT_EQ(first, dm_.Q_Net->FieldByName("id_net").AsLargeInt());
    EXPECT_TRUE(dm_.Q_Matr->Sql().contains(MatrTableName(first) + " "))
        << dm_.Q_Matr->Sql().toStdString();
    // An edit goes into the current object's table, not into the other one.
    const QStringList others = Matrix(second);
    MatrixEditor editor;
    editor.KeyPress(MatrixRow(kNames), "pk_01", QLatin1Char('7'));
    EXPECT_EQ(QStringLiteral("Л-017"), Cell(first, kNames, "pk_01"));
    EXPECT_EQ(others, Matrix(second));
}
}  // namespace
}  // namespace AccessMatrixTestUnit
