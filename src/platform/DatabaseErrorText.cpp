#include "platform/DatabaseErrorText.h"

#include "platform/SystemErrorText.h"

#include <QSqlError>

#include <sqlite3.h>
#include <cerrno>

namespace {

// The failures that are the file's or the disk's, each with its sentence;
// those a file operation meets too read as the system's own reason.
struct Reason {
    int code;  // a primary result code
    const char16_t* text;
    int err;  // where text is null
};

constexpr Reason kReasons[] = {
    {SQLITE_FULL, nullptr, ENOSPC},
    {SQLITE_READONLY, u"База данных доступна только для чтения.", 0},
    {SQLITE_NOTADB, u"Файл не является базой данных или повреждён.", 0},
    {SQLITE_CORRUPT, u"Файл базы данных повреждён.", 0},
    {SQLITE_BUSY, u"База данных занята другой программой.", 0},
    {SQLITE_LOCKED, u"База данных занята другой программой.", 0},
    {SQLITE_CANTOPEN, u"Файл базы данных не открывается.", 0},
    {SQLITE_IOERR, u"Ошибка ввода-вывода при работе с файлом базы данных.", 0},
    {SQLITE_PERM, nullptr, EACCES},
    {SQLITE_NOMEM, nullptr, ENOMEM},
};

// The extended codes carry their primary code in the low byte.
int primaryCode(int resultCode) {
    return resultCode & 0xff;
}

const Reason* reasonOf(int resultCode) {
    for (const Reason& r : kReasons)
        if (r.code == primaryCode(resultCode)) return &r;
    return nullptr;
}

}  // namespace

QString DatabaseReason(int resultCode) {
    if (const Reason* r = reasonOf(resultCode))
        return r->text ? QString::fromUtf16(r->text) : SystemReason(r->err);
    if (resultCode == SQLITE_OK) return QStringLiteral("Ошибка базы данных.");
    return QStringLiteral("Ошибка базы данных (код %1).").arg(primaryCode(resultCode));
}

bool IsGeneralDatabaseReason(const QString& reason) {
    for (int code = SQLITE_OK; code <= 0xff; ++code)
        if (!reasonOf(code) && reason == DatabaseReason(code)) return true;
    return false;
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
    return reasonOf(resultCode) != nullptr;
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
