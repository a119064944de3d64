#pragma once
// Small helpers for statements whose values are always bound, and for an
// all-or-nothing block of writes.

#include <QSqlDatabase>
#include <QSqlQuery>
#include <QString>
#include <QVariantList>

// Prepares sql, binds values in order and runs it; false with the reason
// (error may be null).
bool ExecBound(QSqlQuery& q, const QString& sql, const QVariantList& values, QString* error);

// A savepoint that is rolled back unless committed. Unlike a plain
// transaction it also works inside one the caller already holds (the schema
// upgrade opens the matrix table from within its own).
class SqlTransaction {
  public:
    explicit SqlTransaction(QSqlDatabase db);
    ~SqlTransaction();
    SqlTransaction(const SqlTransaction&) = delete;
    SqlTransaction& operator=(const SqlTransaction&) = delete;

    bool started() const { return open_; }
    bool Commit();
    QString LastError() const { return error_; }

  private:
    bool run(const QString& sql);

    QSqlDatabase db_;
    QString name_;
    QString error_;
    bool open_ = false;
};
