#pragma once
// What the datasets know of the database's tables: the columns of each and
// the column that finds one of its rows, read once per connection and kept
// until SQLite's schema version moves (a column added, a table created).

#include <QSqlDatabase>
#include <QString>
#include <QStringList>

namespace DatasetSchema {

struct TableInfo {
    bool exists = false;
    QStringList columns;
    QString keyColumn;  // single-column primary key, or "rowid"
};

// The schema version of db's database; -1 when it cannot be read.
qint64 Version(const QSqlDatabase& db);
// The table as it is at that version.
TableInfo Table(const QSqlDatabase& db, const QString& table, qint64 version);

}  // namespace DatasetSchema
