// The database engine's reasons as the operator reads them: Russian, a
// sentence of their own, without the statement or the driver's words; taken
// from failures the engine really reports through QtSql.

#include "platform/DatabaseErrorText.h"
#include "support/QtPrinters.h"

#include <gtest/gtest.h>
#include <QFile>
#include <QRegularExpression>
#include <QSqlDatabase>
#include <QSqlError>
#include <QSqlQuery>
#include <QTemporaryDir>

#include <sqlite3.h>

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

TEST_F(DatabaseErrorText, ARowTheTableRefusesIsNoFailureOfTheDatabaseAndKeepsItsCode) {
    Connection db(path_);
    const QSqlError twice = db.Failing("INSERT INTO t (name) VALUES ('один')");
    EXPECT_EQ(SQLITE_CONSTRAINT, DatabaseResultCode(twice) & 0xff);
    EXPECT_FALSE(IsDatabaseWideFailure(DatabaseResultCode(twice)));
    EXPECT_EQ(QStringLiteral("Ошибка базы данных (код 19)."), DatabaseReason(twice));
    const QSqlError noTable = db.Failing("SELECT * FROM no_such_table");
    EXPECT_EQ(QStringLiteral("Ошибка базы данных (код 1)."), DatabaseReason(noTable));
    // An error without the engine's code: no connection at all.
    EXPECT_EQ(QStringLiteral("Ошибка базы данных."), DatabaseReason(QSqlError()));
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
