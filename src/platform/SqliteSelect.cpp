#include "platform/SqliteSelect.h"

#include "platform/DatabaseErrorText.h"

#include <QCoreApplication>
#include <QDate>
#include <QDateTime>
#include <QSqlDriver>
#include <QSqlError>
#include <QSqlResult>
#include <QTime>
#include <QUuid>

#include <sqlite3.h>

namespace {

// QtSql's own texts, for the log: a failure is logged as it would read
// through QSqlQuery.
QString driverText(const char* text) {
    return QCoreApplication::translate("QSQLiteResult", text);
}

// The reason for the operator; SQLite's message and the driver's, as
// QSqlError::text() joins them, go to the log.
QString engineError(sqlite3_stmt* stmt, const char* what) {
    sqlite3* db = sqlite3_db_handle(stmt);
    const QString database =
        QString::fromUtf16(static_cast<const char16_t*>(sqlite3_errmsg16(db)));
    const QString text = database.isEmpty() ? driverText(what) : database + ' ' + driverText(what);
    return LoggedDatabaseReason(sqlite3_extended_errcode(db), text,
                                QString::fromUtf8(sqlite3_sql(stmt)), db);
}

// A failure that is the caller's, not the engine's.
QString driverFailure(const char* what, const QString& statement) {
    return LoggedDatabaseReason(0, driverText(what), statement);
}

// QtSql binds these as NULL.
bool isNullValue(const QVariant& v) {
    if (v.isNull()) return true;
    switch (v.typeId()) {
        case QMetaType::QString:
            return static_cast<const QString*>(v.constData())->isNull();
        case QMetaType::QByteArray:
            return static_cast<const QByteArray*>(v.constData())->isNull();
        case QMetaType::QDateTime:
            return !static_cast<const QDateTime*>(v.constData())->isValid();
        case QMetaType::QDate:
            return !static_cast<const QDate*>(v.constData())->isValid();
        case QMetaType::QTime:
            return !static_cast<const QTime*>(v.constData())->isValid();
        case QMetaType::QUuid:
            return static_cast<const QUuid*>(v.constData())->isNull();
        default:
            return false;
    }
}

int bindText(sqlite3_stmt* stmt, int at, const QString& text) {
    return sqlite3_bind_text16(stmt, at, text.utf16(), int(text.size() * sizeof(QChar)),
                               SQLITE_TRANSIENT);
}

}  // namespace

int SqliteBind(sqlite3_stmt* stmt, int at, const QVariant& v) {
    if (isNullValue(v)) return sqlite3_bind_null(stmt, at);
    switch (v.typeId()) {
        case QMetaType::QByteArray: {
            const auto* bytes = static_cast<const QByteArray*>(v.constData());
            return sqlite3_bind_blob(stmt, at, bytes->constData(), int(bytes->size()),
                                     SQLITE_TRANSIENT);
        }
        case QMetaType::Int:
        case QMetaType::Bool:
            return sqlite3_bind_int(stmt, at, v.toInt());
        case QMetaType::Double:
            return sqlite3_bind_double(stmt, at, v.toDouble());
        case QMetaType::UInt:
        case QMetaType::LongLong:
            return sqlite3_bind_int64(stmt, at, v.toLongLong());
        case QMetaType::QDateTime:
            return bindText(stmt, at, v.toDateTime().toString(Qt::ISODateWithMs));
        case QMetaType::QTime:
            return bindText(stmt, at, v.toTime().toString(QStringLiteral("hh:mm:ss.zzz")));
        case QMetaType::QString:
            return bindText(stmt, at, *static_cast<const QString*>(v.constData()));
        default:
            return bindText(stmt, at, v.toString());
    }
}

namespace {

// SQLite keeps texts in UTF-8. Valid UTF-8 without a byte-order mark (which
// QString::fromUtf8 would drop) decodes directly; anything else goes through
// SQLite's own UTF-16 conversion, as QtSql reads every text.
QString textValue(sqlite3_stmt* stmt, int column) {
    const auto* utf8 = reinterpret_cast<const char*>(sqlite3_column_text(stmt, column));
    const QByteArrayView bytes(utf8, sqlite3_column_bytes(stmt, column));
    if (!bytes.startsWith("\xEF\xBB\xBF") && bytes.isValidUtf8()) return QString::fromUtf8(bytes);
    const auto* utf16 = static_cast<const QChar*>(sqlite3_column_text16(stmt, column));
    return QString(utf16, sqlite3_column_bytes16(stmt, column) / int(sizeof(QChar)));
}

QVariant columnValue(sqlite3_stmt* stmt, int column) {
    switch (sqlite3_column_type(stmt, column)) {
        case SQLITE_INTEGER:
            return QVariant(qint64(sqlite3_column_int64(stmt, column)));
        case SQLITE_FLOAT:
            return QVariant(sqlite3_column_double(stmt, column));
        case SQLITE_NULL:
            return QVariant(QMetaType::fromType<QString>());
        case SQLITE_BLOB: {
            const auto* blob = static_cast<const char*>(sqlite3_column_blob(stmt, column));
            return QByteArray(blob, sqlite3_column_bytes(stmt, column));
        }
        default:
            return textValue(stmt, column);
    }
}

sqlite3_stmt* handleOf(const QSqlResult& result) {
    const QVariant v = result.handle();
    if (!v.isValid() || qstrcmp(v.typeName(), "sqlite3_stmt*") != 0) return nullptr;
    return *static_cast<sqlite3_stmt* const*>(v.constData());
}

// QSqlQuery::prepare rewrites every placeholder of a text ('?' to a named one
// and back) before the driver sees it, which for the long column lists of the
// datasets costs a third as much as SQLite's own parse. The driver's prepare
// takes the text as it stands; QSqlResult keeps it and its error protected,
// and this class makes them reachable.
struct DriverResult : QSqlResult {
    using QSqlResult::lastError;
    using QSqlResult::prepare;
};

bool driverPrepare(QSqlResult& result, const QString& text) {
    return (result.*(&DriverResult::prepare))(text);
}

QString driverError(const QSqlResult& result, const QString& statement) {
    return LoggedDatabaseReason((result.*(&DriverResult::lastError))(), statement);
}

}  // namespace

sqlite3* SqliteConnection(const QSqlDatabase& db) {
    return db.isOpen() ? SqliteConnection(db.driver()) : nullptr;
}

sqlite3* SqliteConnection(const QSqlDriver* driver) {
    const QVariant v = driver && driver->isOpen() ? driver->handle() : QVariant();
    if (!v.isValid() || qstrcmp(v.typeName(), "sqlite3*") != 0) return nullptr;
    return *static_cast<sqlite3* const*>(v.constData());
}

bool SqliteReadOnly(const QSqlDatabase& db) {
    sqlite3* connection = SqliteConnection(db);
    return connection && sqlite3_db_readonly(connection, "main") == 1;
}

bool SqliteDataVersion(const QSqlDatabase& db, quint32* version) {
    sqlite3* connection = SqliteConnection(db);
    unsigned int value = 0;
    if (!connection ||
        sqlite3_file_control(connection, "main", SQLITE_FCNTL_DATA_VERSION, &value) != SQLITE_OK)
        return false;
    *version = value;
    return true;
}

SqliteSelect::SqliteSelect() = default;
SqliteSelect::~SqliteSelect() = default;

void SqliteSelect::Release() {
    result_.reset();
    driver_ = nullptr;
    text_.clear();
    columns_ = 0;
}

bool SqliteSelect::IsPreparedOn(const QSqlDatabase& db) const {
    return result_ && driver_ == db.driver() && handleOf(*result_);
}

int SqliteSelect::ColumnCount() const {
    return columns_;
}

QString SqliteSelect::ColumnName(int column) const {
    sqlite3_stmt* stmt = result_ ? handleOf(*result_) : nullptr;
    if (!stmt || column < 0 || column >= columns_) return QString();
    // The driver drops double quotes from the names.
    return QString::fromUtf8(sqlite3_column_name(stmt, column)).remove(QLatin1Char('"'));
}

// The statement prepared for text on db: the one kept from the last run while
// it is still alive there, else a new one.
sqlite3_stmt* SqliteSelect::statementFor(const QSqlDatabase& db, const QString& text,
                                         QString* error) {
    if (result_ && text_ == text && driver_ == db.driver())
        if (sqlite3_stmt* kept = handleOf(*result_)) return kept;
    Release();
    if (!db.driver() || !db.isOpen()) {
        *error = QStringLiteral("Нет соединения с базой данных.");
        return nullptr;
    }
    driver_ = db.driver();
    result_.reset(db.driver()->createResult());
    if (!driverPrepare(*result_, text)) {
        *error = driverError(*result_, text);
        Release();
        return nullptr;
    }
    sqlite3_stmt* stmt = handleOf(*result_);
    if (!stmt) {
        *error = driverFailure("Unable to execute statement", text);
        Release();
        return nullptr;
    }
    text_ = text;
    return stmt;
}

bool SqliteSelect::bind(sqlite3_stmt* stmt, const QVariantList& values, QString* error) {
    if (sqlite3_bind_parameter_count(stmt) != values.size()) {
        *error = driverFailure("Parameter count mismatch", QString::fromUtf8(sqlite3_sql(stmt)));
        return false;
    }
    for (int i = 0; i < values.size(); ++i)
        if (SqliteBind(stmt, i + 1, values[i]) != SQLITE_OK) {
            *error = engineError(stmt, "Unable to bind parameters");
            return false;
        }
    return true;
}

bool SqliteSelect::Run(const QSqlDatabase& db, const QString& text, const QVariantList& values,
                       QVector<Row>* rows, QString* error) {
    rows->clear();
    columns_ = 0;
    reprepared_ = false;
    sqlite3_stmt* stmt = statementFor(db, text, error);
    if (!stmt) return false;
    if (sqlite3_reset(stmt) != SQLITE_OK) {
        *error = engineError(stmt, "Unable to reset statement");
        Release();
        return false;
    }
    bool ok = bind(stmt, values, error);
    const int prepares = sqlite3_stmt_status(stmt, SQLITE_STMTSTATUS_REPREPARE, 0);
    int rc = SQLITE_DONE;
    while (ok && (rc = sqlite3_step(stmt)) == SQLITE_ROW) {
        if (columns_ == 0) columns_ = sqlite3_column_count(stmt);
        Row& row = rows->emplace_back(columns_);
        QVariant* cell = row.data();
        // Each cell starts as an empty variant, whose end does nothing: the
        // value is built right in its place, with no variant moved or ended.
        for (int i = 0; i < columns_; ++i) new (&cell[i]) QVariant(columnValue(stmt, i));
    }
    if (ok && rc != SQLITE_DONE) {
        *error = engineError(stmt, "Unable to fetch row");
        ok = false;
    }
    if (ok) columns_ = sqlite3_column_count(stmt);
    reprepared_ = sqlite3_stmt_status(stmt, SQLITE_STMTSTATUS_REPREPARE, 0) != prepares;
    // Ends the read and lets go of the bound values.
    sqlite3_reset(stmt);
    sqlite3_clear_bindings(stmt);
    return ok;
}
