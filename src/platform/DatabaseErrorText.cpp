#include "platform/DatabaseErrorText.h"

#include "platform/SystemErrorText.h"

#include <QSqlError>

#include <cerrno>
#include <sqlite3.h>

namespace {

// The extended codes carry their primary code in the low byte.
int primaryCode(int resultCode) {
    return resultCode & 0xff;
}

}  // namespace

QString DatabaseReason(int resultCode) {
    switch (primaryCode(resultCode)) {
        case SQLITE_FULL:
            return SystemReason(ENOSPC);
        case SQLITE_READONLY:
            return QStringLiteral("База данных доступна только для чтения.");
        case SQLITE_NOTADB:
            return QStringLiteral("Файл не является базой данных или повреждён.");
        case SQLITE_CORRUPT:
            return QStringLiteral("Файл базы данных повреждён.");
        case SQLITE_BUSY:
        case SQLITE_LOCKED:
            return QStringLiteral("База данных занята другой программой.");
        case SQLITE_CANTOPEN:
            return QStringLiteral("Файл базы данных не открывается.");
        case SQLITE_IOERR:
            return QStringLiteral("Ошибка ввода-вывода при работе с файлом базы данных.");
        case SQLITE_PERM:
            return SystemReason(EACCES);
        case SQLITE_NOMEM:
            return SystemReason(ENOMEM);
        case SQLITE_OK:
            return QStringLiteral("Ошибка базы данных.");
        default:
            return QStringLiteral("Ошибка базы данных (код %1).").arg(primaryCode(resultCode));
    }
}

int DatabaseResultCode(const QSqlError& error) {
    bool ok = false;
    const int code = error.nativeErrorCode().toInt(&ok);
    return ok ? code : SQLITE_OK;
}

QString DatabaseReason(const QSqlError& error) {
    return DatabaseReason(DatabaseResultCode(error));
}

bool IsDatabaseWideFailure(int resultCode) {
    switch (primaryCode(resultCode)) {
        case SQLITE_FULL:
        case SQLITE_READONLY:
        case SQLITE_NOTADB:
        case SQLITE_CORRUPT:
        case SQLITE_BUSY:
        case SQLITE_LOCKED:
        case SQLITE_CANTOPEN:
        case SQLITE_IOERR:
        case SQLITE_PERM:
        case SQLITE_NOMEM:
            return true;
        default:
            return false;
    }
}

QString LoggedDatabaseReason(int resultCode, const QString& engineText, const QString& statement) {
    if (statement.isEmpty())
        qWarning("Database error %d: %s", resultCode, qPrintable(engineText));
    else
        qWarning("Database error %d: %s; statement: %s", resultCode, qPrintable(engineText),
                 qPrintable(statement));
    return DatabaseReason(resultCode);
}

QString LoggedDatabaseReason(const QSqlError& error, const QString& statement) {
    return LoggedDatabaseReason(DatabaseResultCode(error), error.text(), statement);
}
