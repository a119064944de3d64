#include "platform/DatasetSchema.h"

#include "platform/SqliteSelect.h"

#include <QHash>
#include <QSqlQuery>

#include <map>

namespace DatasetSchema {

namespace {

struct SchemaCache {
    qint64 version = -1;
    QHash<QString, TableInfo> tables;
    // Every open of a dataset asks for the version: the question stays prepared.
    SqliteSelect versionQuery;
};

// One cache per database file and connection.
SchemaCache& cacheOf(const QSqlDatabase& db) {
    static std::map<QString, SchemaCache> caches;
    return caches[db.connectionName() + '|' + db.databaseName()];
}

}  // namespace

qint64 Version(const QSqlDatabase& db) {
    QVector<SqliteSelect::Row> rows;
    QString error;
    if (!cacheOf(db).versionQuery.Run(db, QStringLiteral("PRAGMA schema_version"), {}, &rows,
                                      &error) ||
        rows.isEmpty())
        return -1;
    return rows.first().value(0).toLongLong();
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
