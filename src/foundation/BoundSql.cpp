#include "foundation/BoundSql.h"

#include <QSqlError>
#include <QVariant>

bool ExecBound(QSqlQuery& q, const QString& sql, const QVariantList& values, QString* error) {
    bool ok = q.prepare(sql);
    if (ok) {
        for (const QVariant& v : values) q.addBindValue(v);
        ok = q.exec();
    }
    if (!ok && error) *error = q.lastError().text();
    return ok;
}

SqlTransaction::SqlTransaction(QSqlDatabase db) : db_(db) {
    static int counter = 0;
    name_ = QStringLiteral("arm_sp_") + QString::number(++counter);
    open_ = run(QStringLiteral("SAVEPOINT ") + name_);
}

SqlTransaction::~SqlTransaction() {
    if (!open_) return;
    run(QStringLiteral("ROLLBACK TO SAVEPOINT ") + name_);
    run(QStringLiteral("RELEASE SAVEPOINT ") + name_);
}

bool SqlTransaction::Commit() {
    if (!open_) return false;
    open_ = !run(QStringLiteral("RELEASE SAVEPOINT ") + name_);
    return !open_;
}

bool SqlTransaction::run(const QString& sql) {
    QSqlQuery q(db_);
    if (q.exec(sql)) return true;
    error_ = q.lastError().text();
    return false;
}
