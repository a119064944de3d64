#include "foundation/MatrTable.h"
#include "matrix/MatrDb.h"
#include "support/QtPrinters.h"
#include "support/TestDatabase.h"

#include <gtest/gtest.h>

namespace MatrTableDbTestUnit {
namespace {

using namespace matrtest;

namespace {

const QString kGate = S("БВ калитки ");
const QString kDoor1 = S("БВ подъезда 01. 01 вход");
const QString kDoor2 = S("БВ подъезда 02. 01 вход");

class MatrTableDb : public ::testing::Test {
  protected:
    void SetUp() override { db = fixture.open(); }
    QString State(qint64 id) {
        return One(db, "SELECT st_net FROM k_net WHERE id_net=?", {id}).toString();
    }

    QString DeclaredType(const QString& table, const QString& column) {
        QSqlQuery q =
            Sql(db, "SELECT type FROM pragma_table_info(?) WHERE name=?", {table, column});
        return q.next() ? q.value(0).toString() : QString();
    }

    // Object 17 with two entrances, one gate linked, one gate without rows.
    void TwoEntrancesTwoGates() {
        AddObject(db, 17, 2, 2, S("пусто"));
        AddSwitchColumn(db, 17, 1, 3, S("Первый"));
        AddSwitchColumn(db, 17, 2, 14);
        AddLink(db, 17, kGate + "01", 1, 1, 1, 1, 0);
        AddLink(db, 17, kGate + "01", 2, 1, 1, 3, 2);
        AddLink(db, 17, kDoor1, 1, 0, 3, 1, 0);
        AddLink(db, 17, kDoor2, 2, 0, 4, 1, 5, S("Дверь"));
    }

    TestDatabase fixture;
    QSqlDatabase db;
};

TEST_F(MatrTableDb, CreateMakesTheColumnsAndMovesEmptyToCreated) {
    AddObject(db, 17, 2, 0, S("пусто"));
    AddObject(db, 18, 0, 0, S("сохранено"));
    ASSERT_TRUE(CreateMatrTable(db, 17, "matr_17").ok);
    EXPECT_EQ(MatrTableColumns(db, "matr_17"),
              (QStringList{"name", "sys_n", "pk_01", "pk_02", "nm_bv"}));
    EXPECT_EQ(State(17), S("создано"));

    // No entrances: only name, sys_n and nm_bv; another state stays.
    ASSERT_TRUE(CreateMatrTable(db, 18, "matr_18").ok);
    EXPECT_EQ(MatrTableColumns(db, "matr_18"), (QStringList{"name", "sys_n", "nm_bv"}));
    EXPECT_EQ(State(18), S("сохранено"));
}

TEST_F(MatrTableDb, CreateReplacesAnOldTableAndRefusesOddNames) {
    AddObject(db, 17, 1, 0, S("создано"));
    Sql(db, "CREATE TABLE matr_17 (name TEXT PRIMARY KEY, old TEXT)");
    Sql(db, "INSERT INTO matr_17 (name) VALUES ('x')");
    ASSERT_TRUE(CreateMatrTable(db, 17, "matr_17").ok);
    EXPECT_EQ(MatrTableColumns(db, "matr_17"), (QStringList{"name", "sys_n", "pk_01", "nm_bv"}));
    EXPECT_TRUE(MatrRows(db, "matr_17").isEmpty());

    const MatrResult bad = CreateMatrTable(db, 17, "matr_17; DROP TABLE k_net");
    EXPECT_FALSE(bad.ok);
    EXPECT_FALSE(bad.error.isEmpty());
    EXPECT_TRUE(MatrTableExists(db, "k_net"));
    EXPECT_FALSE(CreateMatrTable(db, 99, "matr_99").ok);  // no such object
}

TEST_F(MatrTableDb, RebuildFillsHeaderGateAndEntranceRows) {
    TwoEntrancesTwoGates();
    ASSERT_TRUE(CreateMatrTable(db, 17, "matr_17").ok);
    const MatrResult r = RebuildMatrTable(db, 17, kGate);
    ASSERT_TRUE(r.ok) << r.error.toStdString();
    const QStringList expected{
        S("0      подъезд по порядку|С№|Первый|Л-02|Наименование БВ"),
        S("1      подъезд в доме||1|2|"),
        S("2      префикс дома||7|7|"),
        S("3      количество БВ в пд||1|1|"),
        S("4      сетевой номер КМ||03|14|"),
        S("БВ калитки 01|01|+|-2-|"),
        kDoor1 + "|03|+|<null>|",
        kDoor2 + S("|04|<null>|5|Дверь"),
    };
    EXPECT_EQ(MatrRows(db, "matr_17"), expected);
    // Gate 02 has no rows in m_bv: the object's gate count follows.
    EXPECT_EQ(One(db, "SELECT v_kal FROM k_net WHERE id_net=17").toInt(), 1);
}

// A refill writes only where the table no longer holds what the saved matrix
// gives it: showing the matrix of a file no other screen changed writes
// nothing, not even the file's change counter.
TEST_F(MatrTableDb, ARefillWritesOnlyWhereTheTableDiffers) {
    TwoEntrancesTwoGates();
    ASSERT_TRUE(CreateMatrTable(db, 17, "matr_17").ok);
    ASSERT_TRUE(RebuildMatrTable(db, 17, kGate).ok);
    const QStringList rows = MatrRows(db, "matr_17");
    auto bytes = [this] {
        QFile f(fixture.dbPath());
        return f.open(QIODevice::ReadOnly) ? f.readAll() : QByteArray();
    };
    const struct {
        const char* what;
        QString change;  // none: the table as the refill left it
    } cases[] = {
        {"as refilled", {}},
        {"a cell changed", S("UPDATE matr_17 SET pk_01='5' WHERE name='БВ калитки 01'")},
        {"a cell emptied where the refill leaves none",
         "UPDATE matr_17 SET pk_02='' WHERE name='" + kDoor1 + "'"},
        {"a name of a panel changed", "UPDATE matr_17 SET nm_bv='x' WHERE name='" + kDoor2 + "'"},
        {"a row gone", "DELETE FROM matr_17 WHERE name='" + kDoor2 + "'"},
        {"a row more", S("INSERT INTO matr_17 (name) VALUES ('БВ калитки 09')")},
        {"the gate count", S("UPDATE k_net SET v_kal=3 WHERE id_net=17")},
    };
    for (const auto& c : cases) {
        SCOPED_TRACE(c.what);
        if (!c.change.isEmpty()) Sql(db, c.change);
        const QByteArray before = bytes();
        const MatrResult r = RebuildMatrTable(db, 17, kGate);
        ASSERT_TRUE(r.ok) << r.error.toStdString();
        EXPECT_EQ(c.change.isEmpty(), before == bytes()) << "written";
        EXPECT_EQ(MatrRows(db, "matr_17"), rows);
        EXPECT_EQ(One(db, "SELECT v_kal FROM k_net WHERE id_net=17").toInt(), 1);
    }
}

// After a write to the links, the table of a saved matrix follows them; one
// being edited keeps the operator's cells, and an object without a table
// gets none.
TEST_F(MatrTableDb, TheTableOfASavedMatrixFollowsItsLinks) {
    TwoEntrancesTwoGates();
    ASSERT_TRUE(CreateMatrTable(db, 17, "matr_17").ok);
    ASSERT_TRUE(RebuildMatrTable(db, 17, kGate).ok);
    Sql(db, "UPDATE m_bv SET tract=4 WHERE id_net=17 AND n_pk=1 AND n_bv=?", {kGate + "01"});
    const QString gateCell = S("SELECT pk_01 FROM matr_17 WHERE name='БВ калитки 01'");
    for (const char* state : {"закр+ввод", "создано"}) {
        Sql(db, "UPDATE k_net SET st_net=? WHERE id_net=17", {S(state)});
        ASSERT_TRUE(FollowSavedMatrix(db, 17, kGate).ok);
        EXPECT_EQ(One(db, gateCell).toString(), "+") << state;
    }
    Sql(db, "UPDATE k_net SET st_net=? WHERE id_net=17", {S("закрыто")});
    ASSERT_TRUE(FollowSavedMatrix(db, 17, kGate).ok);
    EXPECT_EQ(One(db, gateCell).toString(), "4");

    AddObject(db, 18, 1, 0, S("сохранено"));
    ASSERT_TRUE(FollowSavedMatrix(db, 18, kGate).ok);
    EXPECT_FALSE(MatrTableExists(db, "matr_18"));
}

TEST_F(MatrTableDb, RebuildWithoutSwitchColumnsOrWithStaleOnes) {
    AddObject(db, 17, 2, 0, S("создано"));
    ASSERT_TRUE(CreateMatrTable(db, 17, "matr_17").ok);
    // No m_pk rows at all: the header rows still go in.
    ASSERT_TRUE(RebuildMatrTable(db, 17, kGate).ok);
    EXPECT_EQ(MatrRows(db, "matr_17").size(), 5);

    // m_pk names a third column the table does not have (v_pod changed).
    AddSwitchColumn(db, 17, 1, 1);
    AddSwitchColumn(db, 17, 3, 2);
    AddLink(db, 17, S("БВ подъезда 03. 01 вход"), 3, 0, 5, 1, 0);
    const MatrResult r = RebuildMatrTable(db, 17, kGate);
    ASSERT_TRUE(r.ok) << r.error.toStdString();
    const QStringList rows = MatrRows(db, "matr_17");
    ASSERT_EQ(rows.size(), 6);
    EXPECT_EQ(rows[4], S("4      сетевой номер КМ||01|<null>|"));
    EXPECT_EQ(rows[5], S("БВ подъезда 03. 01 вход|05|<null>|<null>|"));
}

TEST_F(MatrTableDb, DuplicateEntrancePanelKeepsTheTable) {
    TwoEntrancesTwoGates();
    ASSERT_TRUE(CreateMatrTable(db, 17, "matr_17").ok);
    ASSERT_TRUE(RebuildMatrTable(db, 17, kGate).ok);
    const QStringList before = MatrRows(db, "matr_17");
    Sql(db, "UPDATE k_net SET v_kal=2 WHERE id_net=17");
    AddLink(db, 17, kDoor1, 2, 0, 6, 1, 0);

    const MatrResult r = RebuildMatrTable(db, 17, kGate);
    EXPECT_FALSE(r.ok);
    EXPECT_TRUE(r.error.contains(kDoor1)) << r.error.toStdString();
    EXPECT_EQ(MatrRows(db, "matr_17"), before);
    EXPECT_EQ(One(db, "SELECT v_kal FROM k_net WHERE id_net=17").toInt(), 2);
}

TEST_F(MatrTableDb, OldTableGetsItsNameColumn) {
    AddObject(db, 17, 1, 0, S("сохранено"));
    Sql(db,
        "CREATE TABLE matr_17 (name VARCHAR(25) NOT NULL PRIMARY KEY, "
        "sys_n VARCHAR(2) DEFAULT '', pk_01 VARCHAR(5))");
    AddSwitchColumn(db, 17, 1, 1);
    ASSERT_TRUE(RebuildMatrTable(db, 17, kGate).ok);
    EXPECT_EQ(DeclaredType("matr_17", "nm_bv"), "VARCHAR(25)");
    ASSERT_FALSE(MatrRows(db, "matr_17").isEmpty());
    EXPECT_EQ(MatrRows(db, "matr_17").first(),
              S("0      подъезд по порядку|С№|Л-01|Наименование БВ"));

    Sql(db, "CREATE TABLE matr_18 (name VARCHAR(25) NOT NULL PRIMARY KEY, sys_n VARCHAR(2))");
    ASSERT_TRUE(AddMatrNameColumn(db, "matr_18", "VARCHAR(30)").ok);
    ASSERT_TRUE(AddMatrNameColumn(db, "matr_18", "VARCHAR(30)").ok);  // only once
    EXPECT_EQ(MatrTableColumns(db, "matr_18"), (QStringList{"name", "sys_n", "nm_bv"}));
    EXPECT_EQ(DeclaredType("matr_18", "nm_bv"), "VARCHAR(30)");
}

}  // namespace
}  // namespace
}  // namespace MatrTableDbTestUnit
