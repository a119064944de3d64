#include "foundation/BoundSql.h"

#include "platform/DatabaseErrorText.h"
#include "platform/SqliteSelect.h"

#include <QSqlError>
#include <QVariant>

#include <sqlite3.h>

bool ExecBound(QSqlQuery& q, const QString& sql, const QVariantList& values, QString* error) {
    bool ok = q.prepare(sql);
    if (ok) {
        for (const QVariant& v : values) q.addBindValue(v);
        ok = q.exec();
    }
    if (!ok && error) *error = LoggedDatabaseReason(q, sql);
    return ok;
}

bool ExecBound(const QSqlDatabase& db, const QString& sql, const QVariantList& values,
               QString* error) {
    QSqlQuery q(db);
    return ExecBound(q, sql, values, error);
}

bool QueryFailed(const QSqlQuery& q, const QString& sql, QString* error) {
    *error = LoggedDatabaseReason(q.lastError(), sql);
    return false;
}

bool ExecInsert(QSqlQuery& q, const QString& insertSql, const QVariantList& values,
                QString* error) {
    if (!ExecBound(q, insertSql, values, error)) return false;
    if (q.numRowsAffected() > 0) return true;
    qWarning("No row inserted: %s", qPrintable(insertSql));
    if (error) *error = NoNewRowReason();
    return false;
}

bool InsertReturningKey(QSqlQuery& q, const QString& insertSql, const QVariantList& values,
                        const QString& keyColumn, qint64* key, QString* error) {
    if (!ExecBound(q, insertSql + QStringLiteral(" RETURNING ") + keyColumn, values, error))
        return false;
    const QVariant value = q.next() ? q.value(0) : QVariant();
    q.finish();
    bool isNumber = false;
    *key = value.toLongLong(&isNumber);
    if (isNumber) return true;
    if (error) *error = NoNewRowReason();
    return false;
}

BoundStatement::BoundStatement(const QSqlDatabase& db, const QString& sql) : db_(SqliteConnection(db)) {
    if (!db_) {
        error_ = QStringLiteral("Нет соединения с базой данных.");
        return;
    }
    if (sqlite3_prepare16_v2(db_, sql.utf16(), int(sql.size() * sizeof(char16_t)), &stmt_,
                             nullptr) != SQLITE_OK)
        fail(sql);
}

BoundStatement::~BoundStatement() {
    sqlite3_finalize(stmt_);
}

BoundStatement& BoundStatement::Bind(int index, qint64 value) {
    if (stmt_) sqlite3_bind_int64(stmt_, index + 1, value);
    return *this;
}

BoundStatement& BoundStatement::Bind(int index, const QString& value) {
    if (!stmt_) return *this;
    if (value.isNull())
        sqlite3_bind_null(stmt_, index + 1);
    else
        sqlite3_bind_text16(stmt_, index + 1, value.utf16(), int(value.size() * sizeof(char16_t)),
                            SQLITE_TRANSIENT);
    return *this;
}

BoundStatement& BoundStatement::Bind(int index, const QVariant& value) {
    if (stmt_) SqliteBind(stmt_, index + 1, value);
    return *this;
}

bool BoundStatement::fail(const QString& statement) {
    code_ = sqlite3_extended_errcode(db_);
    error_ = LoggedDatabaseReason(code_, QString::fromUtf8(sqlite3_errmsg(db_)),
                                  stmt_ ? QString::fromUtf8(sqlite3_sql(stmt_)) : statement, db_);
    if (stmt_) sqlite3_reset(stmt_);
    return false;
}

bool BoundStatement::Exec() {
    if (!stmt_) return false;
    clearError();
    const int rc = sqlite3_step(stmt_);
    if (rc != SQLITE_DONE && rc != SQLITE_ROW) return fail();
    sqlite3_reset(stmt_);
    return true;
}

bool BoundStatement::ExecInsert() {
    if (!Exec()) return false;
    if (sqlite3_changes(db_) > 0) return true;
    qWarning("No row inserted: %s", sqlite3_sql(stmt_));
    error_ = NoNewRowReason();
    return false;
}

bool BoundStatement::Exec(const QVariantList& values) {
    for (int i = 0; i < values.size(); ++i) Bind(i, values[i]);
    return Exec();
}

bool BoundStatement::Next() {
    if (!stmt_) return false;
    clearError();
    const int rc = sqlite3_step(stmt_);
    if (rc == SQLITE_ROW) return true;
    if (rc != SQLITE_DONE) return fail();
    sqlite3_reset(stmt_);
    return false;
}

QVariant BoundStatement::Value(int column) const {
    switch (sqlite3_column_type(stmt_, column)) {
        case SQLITE_INTEGER:
            return qlonglong(sqlite3_column_int64(stmt_, column));
        case SQLITE_FLOAT:
            return sqlite3_column_double(stmt_, column);
        case SQLITE_NULL:
            return QVariant();
        case SQLITE_BLOB:
            return QByteArray(static_cast<const char*>(sqlite3_column_blob(stmt_, column)),
                              sqlite3_column_bytes(stmt_, column));
        default:
            return QString(reinterpret_cast<const QChar*>(sqlite3_column_text16(stmt_, column)),
                           sqlite3_column_bytes16(stmt_, column) / int(sizeof(QChar)));
    }
}

qint64 BoundStatement::LastInsertId() const {
    return db_ ? sqlite3_last_insert_rowid(db_) : 0;
}
