#include "platform/DatasetSchema.h"

#include "platform/SqliteSelect.h"

#include <QHash>
#include <QSqlQuery>

#include <map>

namespace DatasetSchema {

namespace {

struct SchemaCache {
    qint64 version = -1;  // of the tables
    QHash<QString, TableInfo> tables;
    // Every open of a dataset asks for the version. The answer stands while
    // the connection stays open (the question stays prepared on it) and
    // nothing changed the file (its data version stands).
    SqliteSelect versionQuery;
    qint64 answer = -1;
    quint32 answeredAt = 0;
};

qint64 askVersion(const QSqlDatabase& db, SqliteSelect& query) {
    QVector<SqliteSelect::Row> rows;
    QString error;
    if (!query.Run(db, QStringLiteral("PRAGMA schema_version"), {}, &rows, &error) ||
        rows.isEmpty())
        return -1;
    return rows.first().value(0).toLongLong();
}

// One cache per database file and connection.
SchemaCache& cacheOf(const QSqlDatabase& db) {
    static std::map<QString, SchemaCache> caches;
    return caches[db.connectionName() + '|' + db.databaseName()];
}

}  // namespace

qint64 Version(const QSqlDatabase& db) {
    SchemaCache& cache = cacheOf(db);
    quint32 now = 0;
    if (cache.answer >= 0 && cache.versionQuery.IsPreparedOn(db) && SqliteDataVersion(db, &now) &&
        now == cache.answeredAt)
        return cache.answer;
    const qint64 version = askVersion(db, cache.versionQuery);
    cache.answer = SqliteDataVersion(db, &cache.answeredAt) ? version : -1;
    return version;
}

TableInfo Table(const QSqlDatabase& db, const QString& table, qint64 version) {
    SchemaCache& cache = cacheOf(db);
    if (cache.version != version) {
        cache.tables.clear();
        cache.version = version;
    }
    const QString key = table.toLower();
    auto it = cache.tables.constFind(key);
    if (it != cache.tables.constEnd()) return *it;

    TableInfo info;
    QSqlQuery q(db);
    QStringList keys;
    if (q.exec(QStringLiteral("PRAGMA table_info(\"%1\")").arg(table))) {
        while (q.next()) {
            info.columns << q.value(1).toString();
            if (q.value(5).toInt() > 0) keys << q.value(1).toString();
        }
    }
    info.exists = !info.columns.isEmpty();
    info.keyColumn = keys.size() == 1 ? keys.first() : QStringLiteral("rowid");
    cache.tables.insert(key, info);
    return info;
}

}  // namespace DatasetSchema
