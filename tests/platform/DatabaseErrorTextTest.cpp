// The database engine's reasons as the operator reads them: Russian, a
// sentence of their own, without the statement or the driver's words; taken
// from failures the engine really reports through QtSql.

#include "platform/DatabaseErrorText.h"
#include "platform/SqliteSelect.h"
#include "support/QtPrinters.h"

#include <gtest/gtest.h>
#include <QFile>
#include <QRegularExpression>
#include <QSqlDatabase>
#include <QSqlError>
#include <QSqlQuery>
#include <QTemporaryDir>

#include <sqlite3.h>

namespace DatabaseErrorTextTestUnit {

namespace {

// A QtSql connection of its own on a file of the temporary folder.
class Connection {
  public:
    Connection(const QString& path, const QString& options = {}) {
        static int counter = 0;
        name_ = QStringLiteral("db_error_text_%1").arg(++counter);
        QSqlDatabase db = QSqlDatabase::addDatabase(QStringLiteral("QSQLITE"), name_);
        db.setDatabaseName(path);
        db.setConnectOptions(options);
        db.open();
    }
    ~Connection() { QSqlDatabase::removeDatabase(name_); }
    QSqlDatabase db() const { return QSqlDatabase::database(name_, false); }
    // The error of a statement that should fail.
    QSqlError Failing(const QString& sql) const {
        QSqlQuery q(db());
        EXPECT_FALSE(q.exec(sql) && q.next()) << sql.toStdString();
        return q.lastError();
    }

  private:
    QString name_;
};

class DatabaseErrorText : public ::testing::Test {
  protected:
    void SetUp() override {
        ASSERT_TRUE(dir_.isValid());
        Connection setup(path_);
        QSqlQuery q(setup.db());
        ASSERT_TRUE(q.exec("CREATE TABLE t (id INTEGER PRIMARY KEY, name TEXT UNIQUE)"));
        ASSERT_TRUE(q.exec("INSERT INTO t (name) VALUES ('один')"));
    }
    QTemporaryDir dir_;
    const QString path_ = dir_.filePath(QStringLiteral("db_arm_vesk.mdb"));
};

TEST_F(DatabaseErrorText, AReadOnlyOrLockedDatabaseIsToldAsSuchAndStopsABulkWrite) {
    Connection readOnly(path_, QStringLiteral("QSQLITE_OPEN_READONLY"));
    const QSqlError refused = readOnly.Failing("INSERT INTO t (name) VALUES ('два')");
    EXPECT_EQ(QStringLiteral("База данных доступна только для чтения."), DatabaseReason(refused));
    EXPECT_TRUE(IsDatabaseWideFailure(DatabaseResultCode(refused)));

    Connection holder(path_);
    QSqlQuery hold(holder.db());
    ASSERT_TRUE(hold.exec("BEGIN EXCLUSIVE"));
    Connection other(path_, QStringLiteral("QSQLITE_BUSY_TIMEOUT=0"));
    const QSqlError busy = other.Failing("INSERT INTO t (name) VALUES ('два')");
    EXPECT_EQ(QStringLiteral("База данных занята другой программой."), DatabaseReason(busy));
    EXPECT_TRUE(IsDatabaseWideFailure(DatabaseResultCode(busy)));
    hold.exec("ROLLBACK");
}

TEST_F(DatabaseErrorText, AFileThatIsNoDatabaseOrIsDamagedIsToldAsSuch) {
    QFile file(path_);
    ASSERT_TRUE(file.open(QIODevice::ReadWrite));
    ASSERT_TRUE(file.seek(16));
    ASSERT_EQ(16, file.write(QByteArray(16, '\x7f')));  // page size and the like
    file.close();
    Connection damaged(path_);
    const QSqlError notADatabase = damaged.Failing("SELECT COUNT(*) FROM t");
    EXPECT_EQ(QStringLiteral("Файл не является базой данных или повреждён."),
              DatabaseReason(notADatabase));
    EXPECT_TRUE(IsDatabaseWideFailure(DatabaseResultCode(notADatabase)));
}

// Each cause a statement can meet in the file, as the engine reports it: a
// rule of the file itself, a value that does not fit, a table or field the
// file lacks. None stops a bulk write, and each reads as the open reads a
// statement's own failure.
TEST_F(DatabaseErrorText, WhatAStatementMetIsToldAsItsOwnCause) {
    Connection db(path_);
    QSqlQuery setup(db.db());
    for (const char* sql :
         {"PRAGMA foreign_keys=ON",
          "CREATE TABLE r (id INTEGER PRIMARY KEY AUTOINCREMENT, code TEXT, "
          "must TEXT NOT NULL DEFAULT 'x', n INTEGER CHECK (n >= 0), ref INTEGER REFERENCES t(id))",
          "CREATE TRIGGER guard BEFORE INSERT ON r WHEN NEW.code='нет' "
          "BEGIN SELECT RAISE(ABORT, 'refused'); END"})
        ASSERT_TRUE(setup.exec(QString::fromUtf8(sql))) << sql;
    const QString repeated =
        QStringLiteral("Значение повторяется, а сам файл базы данных не допускает повторения.");
    const struct {
        const char* sql;
        QString reason;
    } cases[] = {
        {"INSERT INTO t (name) VALUES ('один')", repeated},
        {"INSERT INTO t (id, name) VALUES (1, 'два')", repeated},
        {"INSERT INTO r (must) VALUES (NULL)",
         QStringLiteral("Поле осталось пустым, а сам файл базы данных требует его.")},
        {"INSERT INTO r (n) VALUES (-1)",
         QStringLiteral("Запись не прошла проверку, которую задаёт сам файл базы данных.")},
        {"INSERT INTO r (code) VALUES ('нет')",
         QStringLiteral("Запись отклонена триггером самого файла базы данных.")},
        {"INSERT INTO r (ref) VALUES (99)",
         QStringLiteral("Запись нарушает связь таблиц, которую задаёт сам файл базы данных.")},
        {"INSERT INTO t (id) VALUES ('три')",
         QStringLiteral("Значение не подходит к типу поля в базе данных.")},
        {"SELECT * FROM no_table", QStringLiteral("В базе данных нет таблицы no_table.")},
        {"SELECT absent FROM t", QStringLiteral("В базе данных нет поля absent.")},
        {"INSERT INTO t (absent) VALUES (1)", QStringLiteral("В таблице t нет поля absent.")},
        {"INSERT INTO t VALUES (1)",
         QStringLiteral("В таблице t не те поля, которые ждёт программа.")},
        {"RELEASE SAVEPOINT none",
         QStringLiteral("Устройство базы данных отличается от того, которое ждёт программа.")},
    };
    for (const auto& c : cases) {
        SCOPED_TRACE(c.sql);
        const QSqlError error = db.Failing(QString::fromUtf8(c.sql));
        EXPECT_EQ(c.reason, DatabaseReason(error));
        EXPECT_FALSE(IsDatabaseWideFailure(DatabaseResultCode(error)));
        EXPECT_TRUE(IsGeneralDatabaseReason(c.reason));
    }
    // An error without the engine's code: no connection at all.
    EXPECT_EQ(QStringLiteral("Ошибка базы данных."), DatabaseReason(QSqlError()));
    EXPECT_FALSE(IsGeneralDatabaseReason(QStringLiteral("На диске нет места.")));
}

// The engine refuses a row of a counter that has given out its last number
// as it refuses a write to a full disk; with room on the disk it is told as
// the counter's.
TEST_F(DatabaseErrorText, ACounterThatRanOutIsToldAsSuchAndNotAsAFullDisk) {
    Connection db(path_);
    QSqlQuery setup(db.db());
    ASSERT_TRUE(setup.exec("CREATE TABLE c (id INTEGER PRIMARY KEY AUTOINCREMENT, v INTEGER)"));
    ASSERT_TRUE(setup.exec("INSERT INTO c (id) VALUES (9223372036854775807)"));
    const QSqlError spent = db.Failing("INSERT INTO c (v) VALUES (1)");
    ASSERT_EQ(SQLITE_FULL, DatabaseResultCode(spent) & 0xff);
    EXPECT_EQ(QStringLiteral("Номера новых записей в таблице c исчерпаны."),
              DatabaseReason(spent, SqliteConnection(db.db())));
    EXPECT_TRUE(IsDatabaseWideFailure(DatabaseResultCode(spent)));
}

TEST(DatabaseReasons, EveryFailureOfTheFileOrTheDiskIsARussianSentenceOfItsOwn) {
    for (int code : {SQLITE_FULL, SQLITE_READONLY, SQLITE_NOTADB, SQLITE_CORRUPT, SQLITE_BUSY,
                     SQLITE_LOCKED, SQLITE_CANTOPEN, SQLITE_IOERR, SQLITE_IOERR_WRITE,
                     SQLITE_IOERR_FSYNC, SQLITE_READONLY_DBMOVED, SQLITE_PERM, SQLITE_NOMEM}) {
        SCOPED_TRACE(code);
        EXPECT_TRUE(IsDatabaseWideFailure(code));
        const QString reason = DatabaseReason(code);
        EXPECT_FALSE(reason.contains(QRegularExpression(QStringLiteral("[A-Za-z0-9]"))))
            << reason.toStdString();
        EXPECT_TRUE(reason.endsWith(QLatin1Char('.'))) << reason.toStdString();
        // An extended code reads as its primary one.
        EXPECT_EQ(DatabaseReason(code & 0xff), reason);
    }
    EXPECT_EQ(QStringLiteral("На диске нет места."), DatabaseReason(SQLITE_FULL));
}

}  // namespace
}  // namespace DatabaseErrorTextTestUnit
