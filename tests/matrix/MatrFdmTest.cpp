// The matrix and terminal operations run through the data module, as the
// screens call them: on the current object and switch, with the datasets
// refreshed afterwards.

#include "foundation/MatrTable.h"
#include "foundation/TFDM.h"
#include "foundation/TerminalDistribution.h"
#include "matrix/MatrDb.h"
#include "support/QtPrinters.h"
#include "support/ScriptedDialogs.h"
#include "support/TestDatabase.h"

#include <gtest/gtest.h>

#include <memory>

namespace MatrFdmTestUnit {
namespace {

using namespace matrtest;

namespace {

const QString kDoor1 = S("БВ подъезда 01. 01 вход");

class MatrFdm : public ::testing::Test {
  protected:
    // Object 17: one house, two entrances with three apartments each, their
    // switches on columns 1 and 2, a door panel per entrance and one gate.
    void Start(const QString& state, bool withMatrTable = false) {
        dm = std::make_unique<TFDM>();
        InstallMatrTableHook();
        QString error;
        ASSERT_TRUE(dm->Connect(tdb.dbPath(), &error)) << error.toStdString();
        db = dm->ConnectionDB();
        AddObject(db, 17, 2, 1, state);
        Sql(db, "INSERT INTO k_dom (id_dom, id_net, house, kod_d) VALUES (1, 17, 'Дом', '3')");
        for (int pod = 1; pod <= 2; ++pod) {
            Sql(db,
                "INSERT INTO k_pod (id_pod, id_net, id_dom, n_pod, n1kvr, npkvr, v_kvr) "
                "VALUES (?, 17, 1, ?, 1, 3, 3)",
                {pod, pod});
            for (int n = 1; n <= 3; ++n)
                Sql(db, "INSERT INTO k_kvr (id_net, id_pod, p_nom, n_kvr) VALUES (17, ?, ?, ?)",
                    {pod, n, QString::number(n)});
            Sql(db,
                "INSERT INTO k_pk (id_pk, id_pod, id_net, n_net, kf_pr) VALUES (?, ?, 17, ?, 0)",
                {pod, pod, pod});
            Sql(db,
                "INSERT INTO m_pk (id_net, n_pk, n_pod, n_net, id_pk, id_dom, v_dvr) "
                "VALUES (17, ?, ?, ?, ?, 1, 1)",
                {pod, pod, pod, pod});
        }
        AddLink(db, 17, kDoor1, 1, 0, 2, 1, 0);
        AddLink(db, 17, S("БВ подъезда 02. 01 вход"), 2, 0, 3, 1, 4);
        AddLink(db, 17, S("БВ калитки 01"), 1, 1, 1, 1, 0);
        AddLink(db, 17, S("БВ калитки 01"), 2, 1, 1, 2, 0);
        if (withMatrTable)
            Sql(db, "CREATE TABLE matr_17 (name VARCHAR(25) PRIMARY KEY, pk_01 TEXT)");
        ASSERT_TRUE(dm->OpenAllTables()) << dm->LastError().toStdString();
    }
    void TearDown() override {
        db = QSqlDatabase();  // let the data module remove its connection
        dm.reset();
    }

    QString StateInDb() { return One(db, "SELECT st_net FROM k_net WHERE id_net=17").toString(); }

    TestDatabase tdb;
    std::unique_ptr<TFDM> dm;
    QSqlDatabase db;
};

TEST_F(MatrFdm, OpeningAnEmptyObjectCreatesItsTable) {
    Start(S("пусто"));
    EXPECT_EQ(StateInDb(), S("создано"));
    EXPECT_EQ(dm->Q_Net->FieldByName("st_net").AsString(), S("создано"));
    ASSERT_TRUE(dm->Q_Matr->IsOpen());
    EXPECT_EQ(dm->Q_Matr->FieldNames(), (QStringList{"name", "sys_n", "pk_01", "pk_02", "nm_bv"}));
    EXPECT_EQ(dm->Q_Matr->RecordCount(), 0);
    EXPECT_TRUE(MatrTableError().isEmpty());

    ASSERT_TRUE(RebuildMatrTable());
    ASSERT_TRUE(OpenMatrTable());
    ASSERT_EQ(dm->Q_Matr->RecordCount(), 8);
    dm->Q_Matr->First();
    EXPECT_EQ(dm->Q_Matr->FieldByName("sys_n").AsString(), S("С№"));
    EXPECT_EQ(dm->Q_Matr->FieldByName("pk_02").AsString(), S("Л-02"));
    ASSERT_TRUE(dm->Q_Matr->Locate("name", kDoor1));
    EXPECT_EQ(dm->Q_Matr->FieldByName("pk_01").AsString(), "+");

    // Re-creating it while Q_Matr shows it (as a rebuild after an entrance
    // change does) starts it over.
    ASSERT_TRUE(CreateMatrTable("matr_17")) << MatrTableError().toStdString();
    EXPECT_FALSE(dm->Q_Matr->IsOpen());
    EXPECT_TRUE(MatrRows(db, "matr_17").isEmpty());
}

TEST_F(MatrFdm, AMissingTableIsMadeFromTheSavedMatrix) {
    Start(S("сохранено"));
    EXPECT_EQ(StateInDb(), S("сохранено"));
    ASSERT_TRUE(dm->Q_Matr->IsOpen());
    EXPECT_EQ(dm->Q_Matr->RecordCount(), 8);
    ASSERT_TRUE(dm->Q_Matr->Locate("name", S("БВ калитки 01")));
    EXPECT_EQ(dm->Q_Matr->FieldByName("pk_02").AsString(), "--");

    // Edits go back into the table by the row name.
    dm->Q_Matr->FieldByName("pk_02").SetValue("-+-");
    ASSERT_TRUE(dm->Q_Matr->Post()) << dm->Q_Matr->LastError().toStdString();
    EXPECT_EQ(One(db, "SELECT pk_02 FROM matr_17 WHERE name=?", {S("БВ калитки 01")}).toString(),
              "-+-");
}

TEST_F(MatrFdm, ABrokenTableDoesNotStopTheDatabaseAndIsReportedLater) {
    Start(S("сохранено"), true);  // old table lacks pk_02 and sys_n
    EXPECT_TRUE(dm->Connected());
    EXPECT_FALSE(dm->Q_Matr->IsOpen());
    EXPECT_FALSE(MatrTableError().isEmpty());
    EXPECT_TRUE(dm->Q_Net->IsOpen());
    {
        ScriptedDialogs dialogs;
        dialogs.ExpectContaining(S("Ошибка"), S("Ошибка матрицы!"));
        EXPECT_TRUE(ReportMatrTableError());
        EXPECT_FALSE(ReportMatrTableError());  // once only
    }
    EXPECT_FALSE(OpenMatrTable());
    // The old table got its name column all the same.
    EXPECT_TRUE(MatrTableColumns(db, "matr_17").contains("nm_bv"));
}

TEST_F(MatrFdm, RefillShowsTheNewRowsInTheOpenMatrix) {
    Start(S("сохранено"));
    ASSERT_EQ(dm->Q_Matr->RecordCount(), 8);
    AddLink(db, 17, S("БВ подъезда 01. 02 вход"), 1, 0, 5, 1, 0);
    ASSERT_TRUE(RebuildMatrTable());
    ASSERT_TRUE(dm->Q_Matr->IsOpen());
    EXPECT_EQ(dm->Q_Matr->RecordCount(), 9);
    EXPECT_TRUE(dm->Q_Matr->Locate("name", S("БВ подъезда 01. 02 вход")));
}

TEST_F(MatrFdm, RefillRefusesADuplicatePanelName) {
    Start(S("сохранено"));
    AddLink(db, 17, kDoor1, 2, 0, 5, 1, 0);
    const QStringList before = MatrRows(db, "matr_17");
    {
        ScriptedDialogs dialogs;
        dialogs.ExpectContaining(S("Ошибка"), kDoor1);
        EXPECT_FALSE(RebuildMatrTable());
    }
    EXPECT_EQ(MatrRows(db, "matr_17"), before);
    // The matrix on the screen still shows the kept rows.
    ASSERT_TRUE(dm->Q_Matr->IsOpen());
    EXPECT_EQ(dm->Q_Matr->RecordCount(), before.size());

    // A missing table is still made and opened; the refused refill waits
    // for the matrix screen.
    Sql(db, "DROP TABLE matr_17");
    EXPECT_TRUE(OpenMatrTable());
    EXPECT_EQ(dm->Q_Matr->RecordCount(), 0);
    EXPECT_TRUE(MatrTableError().contains(kDoor1));
}

TEST_F(MatrFdm, NoHousesNoMatrix) {
    Start(S("создано"));
    Sql(db, "DELETE FROM k_dom");
    EXPECT_FALSE(OpenMatrTable());
    EXPECT_TRUE(MatrTableError().isEmpty());
}

TEST_F(MatrFdm, TerminalsOfTheCurrentSwitch) {
    Start(S("сохранено"));
    ASSERT_EQ(dm->Q_MNpk->RecordCount(), 2);
    dm->Q_MNpk->SetRecNo(2);
    const TerminalResult r = RecountTerminals(2, 3);
    ASSERT_TRUE(r.ok) << r.error.toStdString();
    EXPECT_EQ(dm->Q_MNpk->RecNo(), 2);
    EXPECT_EQ(dm->Q_MNpk->FieldByName("n_xl").AsInt(), 4);
    EXPECT_EQ(dm->Q_MNpk->FieldByName("type_k").AsString(), "Lusk");
    dm->Q_KvN->First();
    while (!dm->Q_KvN->Eof()) {
        EXPECT_EQ(dm->Q_KvN->FieldByName("p_pk").AsInt(), 0);
        dm->Q_KvN->Next();
    }
    // The other switch is untouched.
    EXPECT_EQ(One(db, "SELECT n_xl FROM k_pk WHERE id_pk=1").toInt(), 0);

    ASSERT_TRUE(AssignTerminals(0, 1).ok);
    EXPECT_EQ(dm->Q_MNpk->FieldByName("type_k").AsString(), S("Торвин"));
    EXPECT_EQ(dm->Q_MNpk->FieldByName("kf_pr").AsInt(), 0);

    EXPECT_TRUE(CheckApartmentNumbering());
    EXPECT_TRUE(CheckApartmentCounts(1, false));
    Sql(db, "UPDATE k_pod SET v_kvr=9 WHERE id_pod=2");
    EXPECT_FALSE(CheckApartmentCounts(1, false));
    EXPECT_TRUE(CheckApartmentCounts(2, true));
    EXPECT_EQ(One(db, "SELECT v_kvr FROM k_pod WHERE id_pod=2").toInt(), 3);
}

TEST_F(MatrFdm, ChecksFindNoFaultWithoutAnObject) {
    Start(S("сохранено"));
    Sql(db, "UPDATE k_kvr SET p_nom=p_nom+1");
    Sql(db, "UPDATE k_pod SET v_kvr=9");
    EXPECT_FALSE(CheckApartmentNumbering());
    EXPECT_FALSE(CheckApartmentCounts(1, false));
    // The object list emptied: no entrances are walked.
    Sql(db, "DELETE FROM k_net");
    ASSERT_TRUE(dm->Q_Net->Reopen());
    ASSERT_TRUE(dm->Q_Net->IsEmpty());
    EXPECT_TRUE(CheckApartmentNumbering());
    EXPECT_TRUE(CheckApartmentCounts(1, false));
}

}  // namespace
}  // namespace
}  // namespace MatrFdmTestUnit
