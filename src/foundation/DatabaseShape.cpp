#include "foundation/DatabaseShape.h"

#include "foundation/BoundSql.h"
#include "foundation/DbSchema.h"
#include "platform/DatabaseErrorText.h"

#include <QHash>
#include <QSet>
#include <QSqlError>
#include <QSqlQuery>
#include <QVariant>

namespace {

struct TableShape {
    QString name;
    QString key;  // the key column, empty for a table edited by row number
    QStringList columns;
};

// What the schema upgrade adds to an older file (UpgradeSchema): a file may
// lack these and still be the program's.
const QHash<QString, QStringList>& addedByUpgrade() {
    static const QHash<QString, QStringList> added = {
        {"t_global", {"SepDevice"}},
        {"k_net", {"p_dop", "v_dom", "flbv", "flpo"}},
        {"m_pk", {"nm_pod", "l_del"}},
        {"m_bv", {"nm_bv", "l_del"}},
        {"k_dom", {"p_dop", "kvv_t"}},
        {"k_pod", {"p_dop", "nm_pod", "kvv_t"}},
        {"k_pk", {"kf_pr", "p_dop", "n_vid", "rsrv", "passw"}},
        {"k_bv", {"kf_pr", "p_dop", "rsrv", "scud", "lrez", "passw", "l_pok"}},
        {"t_ke", {"t_wt", "p_dop"}},
        {"k_kvr",
         {"f_k03", "f_k04", "f_k05", "f_k06", "f_k07", "f_k08", "f_k09", "l_vid", "m_blk", "p_dop",
          "Fam", "Nam", "Och", "x_key", "y_key"}},
        {"k_po", {"kf_pr", "p_dop", "lrez", "passw"}},
        {"t_fl", {"tabl", "nomf", "namf"}},
    };
    return added;
}

// A table as the file has it.
struct FoundTable {
    QStringList columns;
    QStringList keyColumns;  // those of its primary key
    // Only a key column that is not the row key has an index of its own.
    bool keyIndex = false;
};

bool readTableNames(const QSqlDatabase& db, QSet<QString>* names, QString* error) {
    QSqlQuery q(db);
    q.setForwardOnly(true);
    const QString sql = QStringLiteral("SELECT name FROM sqlite_master WHERE type = 'table'");
    if (!q.exec(sql)) return QueryFailed(q, sql, error);
    while (q.next()) names->insert(q.value(0).toString().toLower());
    return true;
}

bool readTable(const QSqlDatabase& db, const QString& table, FoundTable* found, QString* error) {
    QSqlQuery q(db);
    q.setForwardOnly(true);
    const QString columns = QStringLiteral("SELECT name, pk FROM pragma_table_info(?)");
    if (!q.prepare(columns)) return QueryFailed(q, columns, error);
    q.addBindValue(table);
    if (!q.exec()) return QueryFailed(q, columns, error);
    while (q.next()) {
        found->columns << q.value(0).toString();
        if (q.value(1).toInt() > 0) found->keyColumns << q.value(0).toString();
    }
    const QString indexes =
        QStringLiteral("SELECT 1 FROM pragma_index_list(?) WHERE origin = 'pk'");
    if (!q.prepare(indexes)) return QueryFailed(q, indexes, error);
    q.addBindValue(table);
    if (!q.exec()) return QueryFailed(q, indexes, error);
    found->keyIndex = q.next();
    return true;
}

// A table without a key column is edited by its row numbers, which a table
// made WITHOUT ROWID does not have.
bool hasRowNumbers(const QSqlDatabase& db, const QString& table) {
    QSqlQuery q(db);
    return q.prepare(QStringLiteral("SELECT rowid FROM \"%1\" LIMIT 0").arg(table));
}

bool containsName(const QStringList& names, const QString& name) {
    return names.contains(name, Qt::CaseInsensitive);
}

// The tables of a new database, built in memory from the schema script.
QList<TableShape> readNewDatabaseShape() {
    QList<TableShape> shape;
    const QString connection = QStringLiteral("arm_new_database_shape");
    {
        QSqlDatabase db = QSqlDatabase::addDatabase(QStringLiteral("QSQLITE"), connection);
        db.setDatabaseName(QStringLiteral(":memory:"));
        QString error;
        const QString schema = NewDatabaseSchema(&error);
        QSet<QString> names;
        if (!db.open() || schema.isEmpty() || !RunSqlScript(db, schema, &error) ||
            !readTableNames(db, &names, &error)) {
            qWarning("The new database's shape is unknown: %s", qPrintable(error));
            names.clear();
        }
        QStringList ordered = names.values();
        ordered.sort();
        for (const QString& name : std::as_const(ordered)) {
            if (name.startsWith(QLatin1String("sqlite_"))) continue;
            FoundTable table;
            if (!readTable(db, name, &table, &error)) continue;
            shape << TableShape{name,
                                table.keyColumns.size() == 1 ? table.keyColumns.first() : QString(),
                                table.columns};
        }
        db.close();
    }
    QSqlDatabase::removeDatabase(connection);
    return shape;
}

// The new database's tables less what the upgrade adds; read once.
const QList<TableShape>& programShape() {
    static const QList<TableShape> shape = [] {
        QList<TableShape> tables = readNewDatabaseShape();
        for (TableShape& t : tables)
            for (const QString& added : addedByUpgrade().value(t.name))
                t.columns.removeIf(
                    [&](const QString& c) { return c.compare(added, Qt::CaseInsensitive) == 0; });
        return tables;
    }();
    return shape;
}

// What differs in one table, empty when it fits.
QString tableDifference(const QSqlDatabase& db, const TableShape& want, const FoundTable& found) {
    for (const QString& column : want.columns)
        if (!containsName(found.columns, column))
            return QStringLiteral("no column %1.%2").arg(want.name, column);
    if (want.key.isEmpty())
        return hasRowNumbers(db, want.name)
                   ? QString()
                   : QStringLiteral("%1 has no row numbers").arg(want.name);
    if (found.keyColumns.size() != 1 ||
        found.keyColumns.first().compare(want.key, Qt::CaseInsensitive) != 0 || found.keyIndex)
        return QStringLiteral("%1.%2 is not the row key").arg(want.name, want.key);
    return QString();
}

}  // namespace

DatabaseFileCheck CheckDatabaseShape(const QSqlDatabase& db) {
    DatabaseFileCheck check;
    QSet<QString> tables;
    if (!readTableNames(db, &tables, &check.error)) return check;
    for (const TableShape& want : programShape()) {
        if (!tables.contains(want.name)) {
            check.difference = QStringLiteral("no table %1").arg(want.name);
            break;
        }
        FoundTable found;
        if (!readTable(db, want.name, &found, &check.error)) return check;
        check.difference = tableDifference(db, want, found);
        if (!check.difference.isEmpty()) break;
    }
    check.read = true;
    return check;
}
