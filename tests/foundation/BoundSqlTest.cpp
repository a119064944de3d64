// Statements prepared once on the connection's SQLite handle: the rows they
// store are those QtSql stores for the same values, a refused row writes
// nothing, and they run inside the caller's transaction.

#include "foundation/BoundSql.h"
#include "platform/SqlTransaction.h"
#include "platform/SqliteSelect.h"
#include "support/QtPrinters.h"
#include "support/TestDatabase.h"

#include <gtest/gtest.h>
#include <QFile>
#include <QSqlQuery>
#include <QSqlRecord>

#include <sqlite3.h>

namespace BoundSqlTestUnit {
namespace {

class BoundSql : public ::testing::Test {
  protected:
    void SetUp() override {
        db_ = tdb_.open();
        ASSERT_TRUE(db_.isOpen());
        Exec("CREATE TABLE t (n INTEGER, s TEXT, u, r REAL, b BLOB, k TEXT UNIQUE NOT NULL)");
    }
    void Exec(const QString& sql) {
        QSqlQuery q(db_);
        ASSERT_TRUE(q.exec(sql)) << sql.toStdString();
    }
    // Each row as its values and their storage types.
    QStringList Rows() {
        QSqlQuery q(db_);
        EXPECT_TRUE(
            q.exec("SELECT typeof(n), n, typeof(s), s, typeof(u), u, typeof(r), r,"
                   " typeof(b), hex(b) FROM t ORDER BY rowid"));
        QStringList rows;
        while (q.next()) {
            QStringList cells;
            for (int i = 0; i < q.record().count(); ++i) cells << q.value(i).toString();
            rows << cells.join(QLatin1Char('|'));
        }
        return rows;
    }

    TestDatabase tdb_;
    QSqlDatabase db_;
};

const QString kInsert =
    QStringLiteral("INSERT INTO t (n, s, u, r, b, k) VALUES (?, ?, ?, ?, ?, ?)");

TEST_F(BoundSql, RowsAreStoredAsQtSqlStoresThem) {
    const QList<QVariantList> rows = {
        {5, QStringLiteral("пять"), true, 1.5, QByteArray("\x01\x02", 2), QStringLiteral("a")},
        {qint64(1) << 40, QString(), QStringLiteral("007"), 2, QByteArray(), QStringLiteral("b")},
        {QVariant(), QStringLiteral("12"), 12u, QVariant(), QStringLiteral("x"),
         QStringLiteral("c")},
    };
    for (const QVariantList& values : rows) {
        QSqlQuery q(db_);
        q.prepare(kInsert);
        for (const QVariant& v : values) q.addBindValue(v);
        ASSERT_TRUE(q.exec());
    }
    const QStringList byQtSql = Rows();
    Exec("DELETE FROM t");
    BoundStatement insert(db_, kInsert);
    ASSERT_TRUE(insert.Prepared()) << insert.LastError().toStdString();
    for (const QVariantList& values : rows) ASSERT_TRUE(insert.Exec(values));
    EXPECT_EQ(Rows(), byQtSql);
}

TEST_F(BoundSql, ARefusedRowWritesNothingAndTheNextOneGoesIn) {
    BoundStatement insert(db_, kInsert);
    ASSERT_TRUE(insert.Exec({1, "x", 0, 0, QVariant(), "same"}));
    EXPECT_FALSE(insert.Exec({2, "y", 0, 0, QVariant(), "same"}));
    EXPECT_FALSE(insert.LastError().isEmpty());
    EXPECT_TRUE(insert.Exec({3, "z", 0, 0, QVariant(), "other"}));
    EXPECT_TRUE(insert.LastError().isEmpty());
    EXPECT_EQ(Rows().size(), 2);
    EXPECT_EQ(insert.LastInsertId(), 2);
}

TEST_F(BoundSql, AQueryGivesItsRowsTypedAndRunsAgainAfterTheLast) {
    Exec("INSERT INTO t (n, s, u, k) VALUES (7, 'семь', NULL, 'a'), (8, 'восемь', 2.5, 'b')");
    BoundStatement q(db_, QStringLiteral("SELECT n, s, u FROM t WHERE n >= ? ORDER BY n"));
    for (int run = 0; run < 2; ++run) {
        q.Bind(0, qint64(7));
        QStringList seen;
        while (q.Next()) {
            EXPECT_EQ(q.Value(0).typeId(), QMetaType::LongLong);
            seen << q.Value(1).toString() +
                        (q.Value(2).isNull() ? "" : "=" + q.Value(2).toString());
        }
        EXPECT_TRUE(q.LastError().isEmpty());
        EXPECT_EQ(seen, QStringList({"семь", "восемь=2.5"})) << run;
    }
}

TEST_F(BoundSql, WritesStayInTheCallersTransaction) {
    {
        SqlTransaction tr(db_);
        ASSERT_TRUE(tr.started());
        BoundStatement insert(db_, kInsert);
        ASSERT_TRUE(insert.Exec({1, "x", 0, 0, QVariant(), "a"}));
        // No commit: the savepoint is rolled back.
    }
    EXPECT_TRUE(Rows().isEmpty());
}

// A block that fails leaves the file as it was, header included (releasing
// the outermost savepoint would commit and rewrite it), whether it is rolled
// back at once or left to go out of scope; inside a caller's transaction it
// undoes only its own writes.
TEST_F(BoundSql, AFailedBlockLeavesTheFileAsItWas) {
    Exec("INSERT INTO t (n, k) VALUES (1, 'kept')");
    for (const bool atOnce : {true, false}) {
        const auto before = [&] {
            QFile f(tdb_.dbPath());
            return f.open(QIODevice::ReadOnly) ? f.readAll() : QByteArray();
        };
        const QByteArray bytes = before();
        ASSERT_FALSE(bytes.isEmpty());
        {
            SqlTransaction tr(db_);
            ASSERT_TRUE(tr.started());
            Exec("INSERT INTO t (n, k) VALUES (2, 'undone')");
            if (atOnce) {
                tr.Rollback();
                EXPECT_EQ(Rows().size(), 1) << "undone before the block ends";
            }
        }
        EXPECT_EQ(Rows().size(), 1) << atOnce;
        EXPECT_EQ(before(), bytes) << atOnce;
    }
    Exec("BEGIN");
    Exec("INSERT INTO t (n, k) VALUES (3, 'callers')");
    {
        SqlTransaction inner(db_);
        Exec("INSERT INTO t (n, k) VALUES (4, 'inner')");
    }
    Exec("COMMIT");
    EXPECT_EQ(Rows().size(), 2) << "the caller's own row stays";
}

// A trigger of the file that drops the row lets the statement through
// without it: an insert the caller relies on fails then, both ways.
TEST_F(BoundSql, AnInsertWhoseRowATriggerDropsFails) {
    Exec(
        "CREATE TRIGGER drop_row BEFORE INSERT ON t WHEN NEW.k LIKE 'dropped%' "
        "BEGIN SELECT RAISE(IGNORE); END");
    BoundStatement bound(db_, QStringLiteral("INSERT INTO t (n, k) VALUES (1, ?)"));
    for (const QString& k : {QStringLiteral("kept"), QStringLiteral("dropped")}) {
        SCOPED_TRACE(k.toStdString());
        const bool in = k == QStringLiteral("kept");
        const QString reason = in ? QString() : QStringLiteral("Новая запись не получила номера.");
        EXPECT_EQ(in, bound.Bind(0, k).ExecInsert());
        EXPECT_EQ(reason, bound.LastError());
        QSqlQuery q(db_);
        QString error;
        EXPECT_EQ(in, ExecInsert(q, QStringLiteral("INSERT INTO t (n, k) VALUES (2, ?)"),
                                 {k + QStringLiteral("2")}, &error));
        EXPECT_EQ(reason, error);
    }
    EXPECT_EQ(Rows().size(), 2);
}

// A failure that made the engine undo the whole transaction (a trigger's
// RAISE(ROLLBACK), a full disk) took the savepoint with it: the commit says
// the write was undone, not that a savepoint is missing.
TEST_F(BoundSql, ABlockTheEngineUndidSaysSoOnCommit) {
    Exec(
        "CREATE TRIGGER undo BEFORE INSERT ON t WHEN NEW.k='undo' "
        "BEGIN SELECT RAISE(ROLLBACK, 'undone'); END");
    SqlTransaction tr(db_);
    ASSERT_TRUE(tr.started());
    Exec("INSERT INTO t (n, k) VALUES (1, 'a')");
    QSqlQuery q(db_);
    EXPECT_FALSE(q.exec("INSERT INTO t (n, k) VALUES (2, 'undo')"));
    EXPECT_FALSE(tr.Commit());
    EXPECT_EQ(QStringLiteral("База данных отменила запись после сбоя."), tr.LastError());
    EXPECT_TRUE(Rows().isEmpty());
}

// The connection's own refusals, as the file's owner may set them up: the
// first end of a block (its commit) is refused outright, and undoing it fails
// as the engine fails on a fault of its own.
int RefuseTheEndOfABlock(void* refusals, int action, const char* what, const char*, const char*,
                         const char*) {
    const QByteArray operation(what ? what : "");
    int& left = *static_cast<int*>(refusals);
    if (action == SQLITE_SAVEPOINT && operation == "RELEASE" && left > 0) {
        --left;
        return SQLITE_DENY;
    }
    const bool undoing =
        (action == SQLITE_SAVEPOINT || action == SQLITE_TRANSACTION) && operation == "ROLLBACK";
    return undoing ? -1 : SQLITE_OK;  // a value no authorizer may give: the engine fails
}

// A block whose commit fails and whose undoing fails as well tells why the
// commit failed, not why the undoing did: outermost and inside a caller's
// transaction.
TEST_F(BoundSql, AFailedRollbackKeepsTheReasonOfTheFailure) {
    sqlite3* handle = SqliteConnection(db_);
    ASSERT_TRUE(handle);
    for (const bool nested : {false, true}) {
        SCOPED_TRACE(nested ? "inside a transaction" : "outermost");
        if (nested) Exec("BEGIN");
        {
            SqlTransaction tr(db_);
            ASSERT_TRUE(tr.started());
            Exec("INSERT INTO t (n, k) VALUES (1, 'a')");
            int refusals = 1;
            sqlite3_set_authorizer(handle, RefuseTheEndOfABlock, &refusals);
            EXPECT_FALSE(tr.Commit());
            const QString refused = tr.LastError();
            EXPECT_EQ(QStringLiteral("Доступ к базе данных запрещён."), refused);
            tr.Rollback();
            EXPECT_EQ(refused, tr.LastError());
            sqlite3_set_authorizer(handle, nullptr, nullptr);
        }
        Exec("ROLLBACK");
        EXPECT_TRUE(Rows().isEmpty());
    }
}

TEST_F(BoundSql, AStatementThatCannotBePreparedRunsNothing) {
    BoundStatement bad(db_, QStringLiteral("INSERT INTO nowhere VALUES (?)"));
    EXPECT_FALSE(bad.Prepared());
    EXPECT_FALSE(bad.LastError().isEmpty());
    EXPECT_FALSE(bad.Bind(0, qint64(1)).Exec());
    EXPECT_FALSE(bad.Next());
    BoundStatement closed(QSqlDatabase(), kInsert);
    EXPECT_FALSE(closed.Prepared());
    EXPECT_FALSE(closed.Exec());
}

// The key of a new row is what its key column holds, which is the row number
// only where the key column is the row key.
TEST_F(BoundSql, ANewRowsKeyIsTheKeyColumnsNotItsRowNumber) {
    Exec("CREATE TABLE keyed (id INTEGER PRIMARY KEY, s TEXT)");
    Exec("CREATE TABLE plain (id INT, s TEXT)");
    Exec("INSERT INTO plain (id, s) VALUES (1, 'первый')");
    const struct {
        const char* insert;
        qint64 key;
        QString error;
    } cases[] = {
        {"INSERT INTO keyed (s) VALUES (?)", 1, {}},
        {"INSERT INTO plain (id, s) VALUES (42, ?)", 42, {}},  // row number 2
        // No key, though a row number.
        {"INSERT INTO plain (s) VALUES (?)", 0, QStringLiteral("Новая запись не получила номера.")},
    };
    for (const auto& c : cases) {
        SCOPED_TRACE(c.insert);
        QSqlQuery q(db_);
        qint64 key = -1;
        QString error;
        EXPECT_EQ(c.error.isEmpty(),
                  InsertReturningKey(q, QString::fromLatin1(c.insert), {QStringLiteral("x")},
                                     QStringLiteral("id"), &key, &error));
        EXPECT_EQ(c.key, key);
        EXPECT_EQ(c.error, error);
    }
}
}  // namespace
}  // namespace BoundSqlTestUnit
