#include "foundation/BoundSql.h"

#include <QSqlError>
#include <QVariant>

bool ExecBound(QSqlQuery& q, const QString& sql, const QVariantList& values, QString* error) {
    if (!q.prepare(sql)) {
        *error = q.lastError().text();
        return false;
    }
    for (const QVariant& v : values) q.addBindValue(v);
    if (!q.exec()) {
        *error = q.lastError().text();
        return false;
    }
    return true;
}

SqlTransaction::SqlTransaction(QSqlDatabase db) : db_(db), open_(db_.transaction()) {}

SqlTransaction::~SqlTransaction() {
    if (open_) db_.rollback();
}

bool SqlTransaction::Commit() {
    open_ = !db_.commit();
    return !open_;
}
