#pragma once
// A select on a QtSql SQLite connection, prepared once and run again with new
// values. The values are bound and the rows read straight through SQLite's
// handle, typed as QtSql's driver types them (integers as qint64, reals as
// double, texts as QString, blobs as QByteArray, NULL as a null QString
// variant). A failure's reason is told as DatabaseErrorText tells it; the
// driver's own texts go to the log. QtSql keeps owning the statement:
// a connection that closes finalizes it, and the next run prepares it again.

#include <QPointer>
#include <QSqlDatabase>
#include <QSqlDriver>
#include <QString>
#include <QVariant>
#include <QVector>

#include <memory>

class QSqlResult;
struct sqlite3;
struct sqlite3_stmt;

class SqliteSelect {
  public:
    using Row = QVector<QVariant>;

    SqliteSelect();
    ~SqliteSelect();
    SqliteSelect(const SqliteSelect&) = delete;
    SqliteSelect& operator=(const SqliteSelect&) = delete;

    // Runs text, its parameters written '?', with one value per parameter,
    // and fills rows. A text that returns no columns is still run. False
    // with error set when the text does not prepare or a step fails.
    bool Run(const QSqlDatabase& db, const QString& text, const QVariantList& values,
             QVector<Row>* rows, QString* error);
    // SQLite prepared the statement again during the last run, as it does
    // when the schema changed since the statement was prepared.
    bool Reprepared() const { return reprepared_; }
    // The statement is prepared on db's open connection (a close finalizes it).
    bool IsPreparedOn(const QSqlDatabase& db) const;
    // The columns of the text last run, by the names SQLite gives them.
    int ColumnCount() const;
    QString ColumnName(int column) const;
    // Finalizes the statement; the next run prepares it again.
    void Release();

  private:
    sqlite3_stmt* statementFor(const QSqlDatabase& db, const QString& text, QString* error);
    bool bind(sqlite3_stmt* stmt, const QVariantList& values, QString* error);

    std::unique_ptr<QSqlResult> result_;
    QPointer<QSqlDriver> driver_;  // the driver result_ was made by
    QString text_;
    int columns_ = 0;
    bool reprepared_ = false;
};

// The SQLite handle under db while it is an open connection of QtSql's
// SQLite driver; null otherwise.
sqlite3* SqliteConnection(const QSqlDatabase& db);
// The same for the driver a query ran on.
sqlite3* SqliteConnection(const QSqlDriver* driver);

// Binds value at the 1-based position as QtSql's SQLite driver binds it:
// null variants and null texts, byte arrays and dates as NULL, integers and
// logicals as integers, reals as reals, byte arrays as blobs, everything
// else as its text. SQLite's result code.
int SqliteBind(sqlite3_stmt* stmt, int at, const QVariant& value);

// SQLite holds db's main file read-only: it opens a file that refuses writes
// that way. False when db is not an open SQLite connection.
bool SqliteReadOnly(const QSqlDatabase& db);

// SQLite's data version of db's open connection: it moves with every change
// to the file, by this connection or, once this connection has noticed it,
// by another. False when db is not an open SQLite connection.
bool SqliteDataVersion(const QSqlDatabase& db, quint32* version);
