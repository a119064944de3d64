#pragma once
// Small helpers for statements whose values are always bound, and for a
// transaction that rolls back unless it is committed.

#include <QSqlDatabase>
#include <QSqlQuery>
#include <QString>
#include <QVariantList>

// Prepares sql, binds values in order and runs it; false with the reason.
bool ExecBound(QSqlQuery& q, const QString& sql, const QVariantList& values, QString* error);

class SqlTransaction {
  public:
    explicit SqlTransaction(QSqlDatabase db);
    ~SqlTransaction();
    SqlTransaction(const SqlTransaction&) = delete;
    SqlTransaction& operator=(const SqlTransaction&) = delete;

    bool started() const { return open_; }
    bool Commit();

  private:
    QSqlDatabase db_;
    bool open_;
};
