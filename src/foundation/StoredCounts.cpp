#include "foundation/StoredCounts.h"

#include "foundation/CountLimits.h"
#include "foundation/MatrTable.h"
#include "platform/DatabaseErrorText.h"

#include <QSqlError>
#include <QSqlQuery>
#include <QStringList>
#include <QVariant>

#include <cmath>

using namespace CountLimits;

const QList<StoredCountLimit>& StoredCountLimits() {
    static const QList<StoredCountLimit> limits = {
        // The global parameters: KolTractPK is 8 once the upgrade ran; F5
        // reads the file again without it.
        {"t_global", "KolTractPK", kMaxTracts},
        {"t_global", "MaxDevice", kMaxDevices},
        {"t_global", "SepDevice", kMaxAddress},
        {"t_global", "MaskBvEnabled", kMaxFlags},
        {"t_global", "MaskPoEnabled", kMaxFlags},
        // The matrix grid's header rows and its first switch column.
        {"t_global", "Shapka", kMatrMostRows},
        {"t_global", "Colstp", kMatrMostColumns},
        {"k_net", "v_pod", kMaxDevices},
        {"k_net", "v_kal", kMaxDevices},
        {"k_net", "v_dom", kMaxHouses},
        {"k_net", "v_key", kMaxKeys},
        {"k_dom", "v_pod", kMaxHouseEntrances},
        {"k_pod", "v_dvr", kMaxDevices},
        {"k_pod", "v_kvr", kMaxApartmentNumber},
        {"k_pod", "n1kvr", kMaxApartmentNumber},
        {"k_pod", "npkvr", kMaxApartmentNumber},
        {"k_pod", "d_key", kMaxKeys},
        {"k_pod", "o_key", kMaxKeys},
        {"k_pod", "o_rky", kMaxKeys},
        {"k_kvr", "x_key", kMaxKeys},
        {"k_kvr", "y_key", kMaxKeys},
        {"m_pk", "v_dvr", kMaxDevices},
        {"k_pk", "p_fc", kMaxTerminals},
        {"t_dip", "n_nul", kMaxTerminals},
        {"t_dip", "n_ful", kMaxTerminals},
        {"t_bp", "leng", kMaxNoteValue},
        {"t_bp", "gerc", kMaxNoteValue},
    };
    return limits;
}

namespace {

QString quoted(const QString& identifier) {
    return QLatin1Char('"') + identifier + QLatin1Char('"');
}

bool failed(const QSqlQuery& q, const QString& sql, QString* error) {
    *error = LoggedDatabaseReason(q.lastError(), sql);
    return false;
}

bool readColumns(const QSqlDatabase& db, const QString& table, QStringList* columns,
                 QString* error) {
    QSqlQuery q(db);
    q.setForwardOnly(true);
    const QString sql = QStringLiteral("SELECT name FROM pragma_table_info(?)");
    if (!q.prepare(sql)) return failed(q, sql, error);
    q.addBindValue(table);
    if (!q.exec()) return failed(q, sql, error);
    while (q.next()) *columns << q.value(0).toString();
    return true;
}

// Beyond 0..most as the program reads it: a text that is no number reads
// as 0.
bool beyond(const QVariant& value, qint64 most) {
    if (value.isNull()) return false;
    if (value.typeId() == QMetaType::Double) {
        const double d = value.toDouble();
        return !(d >= 0 && d <= double(most));
    }
    bool number = false;
    const qint64 n = value.toLongLong(&number);
    return number && (n < 0 || n > most);
}

// The table's columns that the file has, with their limits.
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

// Only rows where some count is not a whole number within its limit reach
// the judgement of beyond(); a file within its limits returns none.
bool checkTable(const QSqlDatabase& db, const TableCounts& t, StoredCountCheck* check) {
    QStringList present;
    if (!readColumns(db, t.table, &present, &check->error)) return false;
    QList<StoredCountLimit> counts;
    QStringList names, doubtful;
    for (const StoredCountLimit& c : t.counts) {
        const QString column = QString::fromLatin1(c.column);
        if (!present.contains(column, Qt::CaseInsensitive)) continue;
        counts << c;
        names << quoted(column);
        doubtful << QStringLiteral("(%1 IS NOT NULL AND NOT (typeof(%1) = 'integer' AND %1 "
                                   "BETWEEN 0 AND %2))")
                        .arg(quoted(column))
                        .arg(c.most);
    }
    if (counts.isEmpty()) return true;
    const QString sql = QStringLiteral("SELECT %1 FROM %2 WHERE %3")
                            .arg(names.join(QStringLiteral(", ")), quoted(t.table),
                                 doubtful.join(QStringLiteral(" OR ")));
    QSqlQuery q(db);
    q.setForwardOnly(true);
    if (!q.exec(sql)) return failed(q, sql, &check->error);
    while (q.next())
        for (int i = 0; i < counts.size(); ++i)
            if (beyond(q.value(i), counts[i].most)) {
                check->beyond = QStringLiteral("%1.%2 = %3, not 0..%4")
                                    .arg(t.table, QLatin1String(counts[i].column),
                                         q.value(i).toString())
                                    .arg(counts[i].most);
                return true;
            }
    return true;
}

}  // namespace

StoredCountCheck CheckStoredCounts(const QSqlDatabase& db) {
    StoredCountCheck check;
    for (const TableCounts& t : byTable())
        if (!checkTable(db, t, &check) || !check.beyond.isEmpty()) break;
    check.read = check.error.isEmpty();
    return check;
}
