#include "platform/SqlTransaction.h"

#include "platform/DatabaseErrorText.h"
#include "platform/SqliteSelect.h"

#include <QSqlError>
#include <QSqlQuery>

#include <sqlite3.h>

SqlTransaction::SqlTransaction(QSqlDatabase db) : db_(db) {
    static int counter = 0;
    name_ = QStringLiteral("arm_sp_") + QString::number(++counter);
    sqlite3* handle = SqliteConnection(db_);
    outermost_ = handle && sqlite3_get_autocommit(handle);
    open_ = run(QStringLiteral("SAVEPOINT ") + name_);
}

SqlTransaction::~SqlTransaction() {
    Rollback();
}

void SqlTransaction::Rollback() {
    if (!open_) return;
    open_ = false;
    // A rollback that fails too does not replace the reason of the failure
    // that called for it.
    const QString failure = error_;
    undo();
    if (!failure.isEmpty()) error_ = failure;
}

void SqlTransaction::undo() {
    // After some failures (a full disk among them) SQLite has rolled the
    // whole transaction back by itself: there is nothing left to undo.
    if (undoneByEngine()) return;
    if (outermost_) {
        // Releasing the outermost savepoint is a commit, and even an empty
        // one rewrites the file's header: a refused write must not touch it.
        run(QStringLiteral("ROLLBACK"));
        return;
    }
    run(QStringLiteral("ROLLBACK TO SAVEPOINT ") + name_);
    run(QStringLiteral("RELEASE SAVEPOINT ") + name_);
}

bool SqlTransaction::Commit() {
    if (!open_) return false;
    // A failure that made SQLite undo the whole transaction took this
    // savepoint with it: releasing it would only fail for want of it, and
    // tell that instead of what happened.
    if (undoneByEngine()) {
        open_ = false;
        error_ = QStringLiteral("База данных отменила запись после сбоя.");
        qWarning("Savepoint %s: the transaction was rolled back by the engine", qPrintable(name_));
        return false;
    }
    open_ = !run(QStringLiteral("RELEASE SAVEPOINT ") + name_);
    return !open_;
}

bool SqlTransaction::undoneByEngine() const {
    sqlite3* handle = SqliteConnection(db_);
    return handle && sqlite3_get_autocommit(handle);
}

bool SqlTransaction::run(const QString& sql) {
    QSqlQuery q(db_);
    if (q.exec(sql)) return true;
    error_ = LoggedDatabaseReason(q, sql);
    return false;
}
