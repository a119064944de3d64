#include "foundation/StoredCounts.h"

#include "foundation/BoundSql.h"
#include "foundation/CountLimits.h"
#include "foundation/MatrTable.h"
#include "platform/DatabaseErrorText.h"

#include <QHash>
#include <QSqlError>
#include <QSqlQuery>
#include <QStringList>
#include <QVariant>

#include <cmath>

const QList<StoredCountLimit>& StoredCountLimits() {
    static const QList<StoredCountLimit> limits = {
        // The global parameters: KolTractPK is 8 once the upgrade ran; F5
        // reads the file again without it.
        {"t_global", "KolTractPK", CountLimits::kMaxTracts},
        {"t_global", "MaxDevice", CountLimits::kMaxDevices},
        {"t_global", "SepDevice", CountLimits::kMaxAddress},
        {"t_global", "MaskBvEnabled", CountLimits::kMaxFlags},
        {"t_global", "MaskPoEnabled", CountLimits::kMaxFlags},
        // The matrix grid's header rows and its first switch column.
        {"t_global", "Shapka", kMatrMostRows},
        {"t_global", "Colstp", kMatrMostColumns},
        {"k_net", "v_pod", CountLimits::kMaxDevices},
        {"k_net", "v_kal", CountLimits::kMaxDevices},
        {"k_net", "v_dom", CountLimits::kMaxHouses},
        {"k_net", "v_key", CountLimits::kMaxKeys},
        {"k_dom", "v_pod", CountLimits::kMaxHouseEntrances},
        {"k_pod", "v_dvr", CountLimits::kMaxDevices},
        {"k_pod", "v_kvr", CountLimits::kMaxApartmentNumber, CountLimits::kLeastApartmentValue},
        {"k_pod", "n1kvr", CountLimits::kMaxApartmentNumber},
        {"k_pod", "npkvr", CountLimits::kMaxApartmentNumber, CountLimits::kLeastApartmentValue},
        {"k_pod", "d_key", CountLimits::kMaxKeys},
        {"k_pod", "o_key", CountLimits::kMaxKeys},
        {"k_pod", "o_rky", CountLimits::kMaxKeys},
        {"k_kvr", "x_key", CountLimits::kMaxKeys},
        {"k_kvr", "y_key", CountLimits::kMaxKeys},
        {"m_pk", "v_dvr", CountLimits::kMaxDevices},
        {"k_pk", "p_fc", CountLimits::kMaxTerminals},
        {"t_dip", "n_nul", CountLimits::kMaxTerminals},
        {"t_dip", "n_ful", CountLimits::kMaxTerminals},
        {"t_bp", "leng", CountLimits::kMaxNoteValue},
        {"t_bp", "gerc", CountLimits::kMaxNoteValue},
    };
    return limits;
}

namespace {

// Tables with a row for every apartment: tens of thousands on a city
// installation. An index of their rows beyond the limits (none, in a file
// of the program's) spares the check a read of every row.
const char* const kLargeTables[] = {"k_kvr"};

QString quotedIdentifier(const QString& identifier) {
    return QLatin1Char('"') + identifier + QLatin1Char('"');
}

// A column the file declares as text compares with a number as text: its
// rows are all judged by beyond().
bool textColumn(const QString& declared) {
    const QString type = declared.toUpper();
    if (type.contains(QLatin1String("INT"))) return false;
    return type.contains(QLatin1String("CHAR")) || type.contains(QLatin1String("CLOB")) ||
           type.contains(QLatin1String("TEXT"));
}

// The rows where a count may lie beyond its limit: numbers out of range and
// anything that is no number (a text or a blob compares above every number).
QString doubtful(const StoredCountLimit& c, bool text) {
    const QString column = quotedIdentifier(QString::fromLatin1(c.column));
    if (text) return column + QStringLiteral(" IS NOT NULL");
    return QStringLiteral("%1 < %2 OR %1 > %3").arg(column).arg(c.least).arg(c.most);
}

// Beyond least..most as the program reads it: a text that is no number
// reads as 0.
bool beyond(const QVariant& value, const StoredCountLimit& c) {
    if (value.isNull()) return false;
    if (value.typeId() == QMetaType::Double) {
        const double d = value.toDouble();
        return !(d >= double(c.least) && d <= double(c.most));
    }
    bool number = false;
    const qint64 n = value.toLongLong(&number);
    return number && (n < c.least || n > c.most);
}

struct TableCounts {
    QString table;
    QList<StoredCountLimit> counts;
};

QList<TableCounts> byTable() {
    QList<TableCounts> tables;
    for (const StoredCountLimit& limit : StoredCountLimits()) {
        if (tables.isEmpty() || tables.last().table != QLatin1String(limit.table))
            tables.append({QString::fromLatin1(limit.table), {}});
        tables.last().counts << limit;
    }
    return tables;
}

// The doubtful rows of a table whose counts are all declared as numbers.
QString doubtfulRows(const TableCounts& t) {
    QStringList terms;
    for (const StoredCountLimit& c : t.counts) terms << doubtful(c, false);
    return terms.join(QStringLiteral(" OR "));
}

// The counts the file's table has, in the order of the limits (that of the
// index above), with how it declares each.
bool presentCounts(const QSqlDatabase& db, const TableCounts& t, QList<StoredCountLimit>* counts,
                   QList<bool>* text, QString* error) {
    QSqlQuery q(db);
    q.setForwardOnly(true);
    const QString sql = QStringLiteral("SELECT name, type FROM pragma_table_info(?)");
    if (!q.prepare(sql)) return QueryFailed(q, sql, error);
    q.addBindValue(t.table);
    if (!q.exec()) return QueryFailed(q, sql, error);
    QHash<QString, QString> declared;
    while (q.next()) declared.insert(q.value(0).toString().toLower(), q.value(1).toString());
    for (const StoredCountLimit& c : t.counts) {
        const QString column = QString::fromLatin1(c.column).toLower();
        if (!declared.contains(column)) continue;
        *counts << c;
        *text << textColumn(declared.value(column));
    }
    return true;
}

// Only the doubtful rows reach the judgement of beyond(); a file within its
// limits has none.
bool checkTable(const QSqlDatabase& db, const TableCounts& t, DatabaseFileCheck* check) {
    QList<StoredCountLimit> counts;
    QList<bool> text;
    if (!presentCounts(db, t, &counts, &text, &check->error)) return false;
    if (counts.isEmpty()) return true;
    QStringList names, terms;
    for (int i = 0; i < counts.size(); ++i) {
        names << quotedIdentifier(QString::fromLatin1(counts[i].column));
        terms << doubtful(counts[i], text[i]);
    }
    const QString sql = QStringLiteral("SELECT %1 FROM %2 WHERE %3")
                            .arg(names.join(QStringLiteral(", ")), quotedIdentifier(t.table),
                                 terms.join(QStringLiteral(" OR ")));
    QSqlQuery q(db);
    q.setForwardOnly(true);
    if (!q.exec(sql)) return QueryFailed(q, sql, &check->error);
    while (q.next())
        for (int i = 0; i < counts.size(); ++i)
            if (beyond(q.value(i), counts[i])) {
                check->difference =
                    QStringLiteral("%1.%2 = %3, not %4..%5")
                        .arg(t.table, QLatin1String(counts[i].column), q.value(i).toString())
                        .arg(counts[i].least)
                        .arg(counts[i].most);
                return true;
            }
    return true;
}

}  // namespace

DatabaseFileCheck CheckStoredCounts(const QSqlDatabase& db) {
    DatabaseFileCheck check;
    for (const TableCounts& t : byTable())
        if (!checkTable(db, t, &check) || !check.difference.isEmpty()) break;
    check.read = check.error.isEmpty();
    return check;
}

QStringList StoredCountIndexes() {
    QStringList statements;
    for (const TableCounts& t : byTable())
        for (const char* large : kLargeTables)
            if (t.table == QLatin1String(large))
                statements << QStringLiteral(
                                  "CREATE INDEX IF NOT EXISTS ix_%1_beyond ON %2 "
                                  "(%3) WHERE %4")
                                  .arg(t.table, quotedIdentifier(t.table),
                                       quotedIdentifier(
                                           QString::fromLatin1(t.counts.first().column)),
                                       doubtfulRows(t));
    return statements;
}
