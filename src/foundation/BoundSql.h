#pragma once
// Small helpers for statements whose values are always bound, and for an
// all-or-nothing block of writes.

#include "platform/SqlTransaction.h"

#include <QSqlDatabase>
#include <QSqlQuery>
#include <QString>
#include <QVariantList>

struct sqlite3;
struct sqlite3_stmt;

// Prepares sql, binds values in order and runs it; false with the reason
// (error may be null).
bool ExecBound(QSqlQuery& q, const QString& sql, const QVariantList& values, QString* error);
// The same on a query of its own on db, for a statement whose rows are not read.
bool ExecBound(const QSqlDatabase& db, const QString& sql, const QVariantList& values,
               QString* error);

// Ends a statement the database refused: the reason into *error (error must
// not be null), the statement into the log; returns false.
bool QueryFailed(const QSqlQuery& q, const QString& sql, QString* error);

// Runs an INSERT with values bound in order; false with the reason also when
// the statement went through but no row went in, as a trigger of the file
// that ignores the row (RAISE(IGNORE)) lets it through: a caller that relies
// on the new row must not go on without it.
bool ExecInsert(QSqlQuery& q, const QString& insertSql, const QVariantList& values, QString* error);

// Runs an INSERT (written without RETURNING) with values bound in order and
// gives the new row's key as its key column holds it, never its row number:
// the two differ in a file whose key column is not the row key. False with
// the reason.
bool InsertReturningKey(QSqlQuery& q, const QString& insertSql, const QVariantList& values,
                        const QString& keyColumn, qint64* key, QString* error);

// A statement prepared once on the connection's own SQLite handle and run
// for many rows, for bulk work: values are bound straight, without the
// per-value cost of QtSql's binding, inside whatever transaction the
// connection holds. Values are bound as QtSql binds them (integers and
// logicals as integers, texts as texts, null as NULL), so the rows stored
// are the same.
class BoundStatement {
  public:
    BoundStatement(const QSqlDatabase& db, const QString& sql);
    ~BoundStatement();
    BoundStatement(const BoundStatement&) = delete;
    BoundStatement& operator=(const BoundStatement&) = delete;

    bool Prepared() const { return stmt_ != nullptr; }
    // Why the last prepare or run failed, as the operator reads it; empty
    // after one that did not.
    QString LastError() const { return error_; }
    // SQLite's extended result code of that failure; 0 after none.
    int LastResultCode() const { return code_; }

    // Placeholders count from 0.
    BoundStatement& Bind(int index, const QVariant& value);
    BoundStatement& Bind(int index, qint64 value);
    BoundStatement& Bind(int index, const QString& value);

    // Runs a statement without rows with the values bound last; false with
    // LastError() when the database refuses it, which then wrote nothing.
    bool Exec();
    // The same for an INSERT, which also fails (with no result code) when
    // the file's own rules let no row in.
    bool ExecInsert();
    // The same, with the values given in placeholder order.
    bool Exec(const QVariantList& values);
    // Steps a query: true while it stands on a row. After the last row, or
    // a failure (LastError() not empty), it is ready to run again.
    bool Next();
    // A column of the row Next() stands on, typed as QtSql reads it.
    QVariant Value(int column) const;
    qint64 LastInsertId() const;

  private:
    bool fail(const QString& statement = {});
    void clearError() {
        error_.clear();
        code_ = 0;
    }

    sqlite3* db_ = nullptr;
    sqlite3_stmt* stmt_ = nullptr;
    QString error_;
    int code_ = 0;
};
