#include "platform/DatabaseErrorText.h"

#include "platform/SqliteSelect.h"
#include "platform/SystemErrorText.h"

#include <QFileInfo>
#include <QRegularExpression>
#include <QSqlError>
#include <QSqlQuery>
#include <QStorageInfo>

#include <sqlite3.h>
#include <cerrno>
#include <limits>

namespace {

// The failures that are the file's or the disk's, each with its sentence;
// those a file operation meets too read as the system's own reason.
struct Reason {
    int code;  // a primary result code
    const char16_t* text;
    int err;  // where text is null
};

constexpr Reason kWideReasons[] = {
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

// What a statement met, by the primary code or, for the rules of the file,
// by the extended one.
struct StatementReason {
    int code;
    const char16_t* text;
};

constexpr StatementReason kStatementReasons[] = {
    {SQLITE_ERROR, u"Устройство базы данных отличается от того, которое ждёт программа."},
    {SQLITE_INTERNAL, u"Внутренняя ошибка ядра базы данных."},
    {SQLITE_ABORT, u"Операция с базой данных прервана."},
    {SQLITE_INTERRUPT, u"Операция с базой данных прервана."},
    {SQLITE_PROTOCOL, u"Сбой блокировки файла базы данных."},
    {SQLITE_SCHEMA, u"Устройство базы данных изменилось во время операции."},
    {SQLITE_TOOBIG, u"Значение слишком велико для базы данных."},
    {SQLITE_CONSTRAINT_UNIQUE,
     u"Значение повторяется, а сам файл базы данных не допускает повторения."},
    {SQLITE_CONSTRAINT_PRIMARYKEY,
     u"Значение повторяется, а сам файл базы данных не допускает повторения."},
    {SQLITE_CONSTRAINT_ROWID,
     u"Значение повторяется, а сам файл базы данных не допускает повторения."},
    {SQLITE_CONSTRAINT_NOTNULL, u"Поле осталось пустым, а сам файл базы данных требует его."},
    {SQLITE_CONSTRAINT_CHECK, u"Запись не прошла проверку, которую задаёт сам файл базы данных."},
    {SQLITE_CONSTRAINT_TRIGGER, u"Запись отклонена триггером самого файла базы данных."},
    {SQLITE_CONSTRAINT_FOREIGNKEY,
     u"Запись нарушает связь таблиц, которую задаёт сам файл базы данных."},
    {SQLITE_CONSTRAINT, u"Запись нарушает ограничение, которое задаёт сам файл базы данных."},
    {SQLITE_MISMATCH, u"Значение не подходит к типу поля в базе данных."},
    {SQLITE_MISUSE, u"Ошибка программы при обращении к базе данных."},
    {SQLITE_NOLFS, u"Файл базы данных слишком велик для этой системы."},
    {SQLITE_AUTH, u"Доступ к базе данных запрещён."},
    {SQLITE_RANGE, u"Ошибка программы при обращении к базе данных."},
};

// A statement that named a table or a field the file lacks: the engine's
// words (its pattern) and ours, with the names in their places.
struct NamedCause {
    const char* engine;
    const char16_t* text;
};

constexpr NamedCause kNamedCauses[] = {
    {R"(^no such table: (?:\w+\.)?(\S+))", u"В базе данных нет таблицы %1."},
    {R"(^no such column: (\S+))", u"В базе данных нет поля %1."},
    {R"(^table (\S+) has no column named (\S+))", u"В таблице %1 нет поля %2."},
    {R"(^table (\S+) has \d+ columns but \d+ values were supplied)",
     u"В таблице %1 не те поля, которые ждёт программа."},
    {R"(^too many columns on (\S+))", u"В таблице %1 слишком много полей."},
};

const char16_t kCounterRanOut[] = u"Номера новых записей в таблице %1 исчерпаны.";

// A disk with less room than this is full for a write of the program.
constexpr qint64 kRoomForAWrite = 1024 * 1024;

// The extended codes carry their primary code in the low byte.
int primaryCode(int resultCode) {
    return resultCode & 0xff;
}

const Reason* wideReasonOf(int resultCode) {
    for (const Reason& r : kWideReasons)
        if (r.code == primaryCode(resultCode)) return &r;
    return nullptr;
}

// The extended code's own sentence first, then its primary code's.
const char16_t* statementReasonOf(int resultCode) {
    for (const StatementReason& r : kStatementReasons)
        if (r.code == resultCode) return r.text;
    for (const StatementReason& r : kStatementReasons)
        if (r.code == primaryCode(resultCode)) return r.text;
    return nullptr;
}

QString namedCause(const QString& engineText) {
    static const QList<QRegularExpression> patterns = [] {
        QList<QRegularExpression> list;
        for (const NamedCause& cause : kNamedCauses)
            list << QRegularExpression(QString::fromLatin1(cause.engine));
        return list;
    }();
    for (qsizetype i = 0; i < patterns.size(); ++i) {
        const QRegularExpressionMatch m = patterns[i].match(engineText);
        if (!m.hasMatch()) continue;
        // In one pass, so that a name holding "%2" stays as it is.
        const QString text = QString::fromUtf16(kNamedCauses[i].text);
        return m.lastCapturedIndex() > 1 ? text.arg(m.captured(1), m.captured(2))
                                         : text.arg(m.captured(1));
    }
    return {};
}

// A text made from template, whatever names stand in its places.
bool madeFrom(const char16_t* templ, const QString& reason) {
    QString pattern = QRegularExpression::escape(QString::fromUtf16(templ));
    pattern.replace(QRegularExpression(QStringLiteral(R"(\\%\d)")), QStringLiteral(".+"));
    return QRegularExpression(QRegularExpression::anchoredPattern(pattern))
        .match(reason)
        .hasMatch();
}

// The largest row number of a table; 0 when it cannot be read.
qint64 lastRowNumber(sqlite3* db, const QByteArray& quotedTable) {
    const QByteArray sql = "SELECT max(rowid) FROM " + quotedTable;
    sqlite3_stmt* st = nullptr;
    const bool read =
        sqlite3_prepare_v2(db, sql.constData(), int(sql.size()), &st, nullptr) == SQLITE_OK &&
        sqlite3_step(st) == SQLITE_ROW;
    const qint64 value = read ? sqlite3_column_int64(st, 0) : 0;
    sqlite3_finalize(st);
    return value;
}

QByteArray quotedName(const QString& name) {
    QString quoted = name;
    quoted.replace(QLatin1Char('"'), QStringLiteral("\"\""));
    return '"' + quoted.toUtf8() + '"';
}

// The table whose counter (AUTOINCREMENT) has given out the largest row
// number there is: the engine refuses every new row of it as it refuses a
// write to a full disk. Empty when no counter has run out.
QString exhaustedCounter(sqlite3* db) {
    constexpr qint64 kLastRowNumber = std::numeric_limits<qint64>::max();
    sqlite3_stmt* st = nullptr;
    if (sqlite3_prepare_v2(db, "SELECT name, seq FROM sqlite_sequence", -1, &st, nullptr) !=
        SQLITE_OK) {
        sqlite3_finalize(st);
        return {};
    }
    QString found;
    while (found.isEmpty() && sqlite3_step(st) == SQLITE_ROW) {
        const QString name = QString::fromUtf8(
            reinterpret_cast<const char*>(sqlite3_column_text(st, 0)), sqlite3_column_bytes(st, 0));
        if (sqlite3_column_int64(st, 1) == kLastRowNumber ||
            lastRowNumber(db, quotedName(name)) == kLastRowNumber)
            found = name;
    }
    sqlite3_finalize(st);
    return found;
}

bool diskHasRoom(sqlite3* db) {
    const char* file = sqlite3_db_filename(db, "main");
    if (!file || !*file) return false;
    const QStorageInfo disk(QFileInfo(QString::fromUtf8(file)).absolutePath());
    return disk.isValid() && disk.bytesAvailable() >= kRoomForAWrite;
}

// The engine says "full" both for a full disk and for a counter that has
// run out; the disk is told only when it has no room.
QString fullReason(sqlite3* connection) {
    if (connection && diskHasRoom(connection))
        if (const QString table = exhaustedCounter(connection); !table.isEmpty())
            return QString::fromUtf16(kCounterRanOut).arg(table);
    return SystemReason(ENOSPC);
}

void logFailure(int resultCode, const QString& engineText, const QString& statement) {
    if (statement.isEmpty())
        qWarning("Database error %d: %s", resultCode, qPrintable(engineText));
    else
        qWarning("Database error %d: %s; statement: %s", resultCode, qPrintable(engineText),
                 qPrintable(statement));
}

}  // namespace

QString DatabaseReason(int resultCode, const QString& engineText, sqlite3* connection) {
    if (primaryCode(resultCode) == SQLITE_FULL) return fullReason(connection);
    if (const Reason* r = wideReasonOf(resultCode))
        return r->text ? QString::fromUtf16(r->text) : SystemReason(r->err);
    if (resultCode == SQLITE_OK) return QStringLiteral("Ошибка базы данных.");
    if (primaryCode(resultCode) == SQLITE_ERROR)
        if (const QString named = namedCause(engineText); !named.isEmpty()) return named;
    if (const char16_t* text = statementReasonOf(resultCode)) return QString::fromUtf16(text);
    return QStringLiteral("Ошибка базы данных (код %1).").arg(primaryCode(resultCode));
}

bool IsGeneralDatabaseReason(const QString& reason) {
    for (const StatementReason& r : kStatementReasons)
        if (reason == QString::fromUtf16(r.text)) return true;
    for (const NamedCause& cause : kNamedCauses)
        if (madeFrom(cause.text, reason)) return true;
    for (int code = SQLITE_OK; code <= 0xff; ++code)
        if (!wideReasonOf(code) && reason == DatabaseReason(code)) return true;
    return false;
}

QString NoNewRowReason() {
    return QStringLiteral("Новая запись не получила номера.");
}

int DatabaseResultCode(const QSqlError& error) {
    bool ok = false;
    const int code = error.nativeErrorCode().toInt(&ok);
    return ok ? code : SQLITE_OK;
}

QString DatabaseReason(const QSqlError& error, sqlite3* connection) {
    return DatabaseReason(DatabaseResultCode(error), error.databaseText(), connection);
}

bool IsDatabaseWideFailure(int resultCode) {
    return wideReasonOf(resultCode) != nullptr;
}

QString LoggedDatabaseReason(int resultCode, const QString& engineText, const QString& statement,
                             sqlite3* connection) {
    logFailure(resultCode, engineText, statement);
    return DatabaseReason(resultCode, engineText, connection);
}

QString LoggedDatabaseReason(const QSqlError& error, const QString& statement,
                             sqlite3* connection) {
    logFailure(DatabaseResultCode(error), error.text(), statement);
    return DatabaseReason(error, connection);
}

QString LoggedDatabaseReason(const QSqlQuery& failed, const QString& statement) {
    return LoggedDatabaseReason(failed.lastError(), statement, SqliteConnection(failed.driver()));
}
