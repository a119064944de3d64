#include "foundation/MatrTable.h"

#include "foundation/BitAndStr.h"
#include "foundation/BoundSql.h"
#include "foundation/ScreenNavigation.h"

#include <QHash>
#include <QPair>
#include <QSet>
#include <QRegularExpression>
#include <QSqlError>
#include <QSqlQuery>
#include <QVariant>

#include <optional>

namespace {

const QString kStateCreated = QStringLiteral("создано");

MatrResult MatrFail(const QString& error) {
    return {false, error};
}

}  // namespace

QString MatrTableName(qint64 idNet) {
    return QStringLiteral("matr_") + QString::number(idNet);
}

bool IsValidMatrTableName(const QString& name) {
    static const QRegularExpression re(QStringLiteral("^matr_[0-9]{1,18}$"));
    return re.match(name).hasMatch();
}

QString MatrSwitchColumnName(int nPk) {
    return QStringLiteral("pk_") + IntToStrZ(nPk, 2);
}

QStringList MatrTableDdlLines(const QString& name, int switchCount) {
    QStringList lines;
    lines << QStringLiteral("create table ") + name + QStringLiteral(" (")
          << QStringLiteral("name VARCHAR(25) NOT NULL PRIMARY KEY, ")
          << QStringLiteral("sys_n VARCHAR(2) DEFAULT '', ");
    for (int i = 1; i <= switchCount; ++i)
        lines << MatrSwitchColumnName(i) + QStringLiteral(" VARCHAR(5), ");
    lines << QStringLiteral("nm_bv VARCHAR(25) DEFAULT '')");
    return lines;
}

QString MatrTableDdl(const QString& name, int switchCount) {
    return MatrTableDdlLines(name, switchCount).join(QLatin1Char('\n'));
}

QString MatrHeaderRowName(int row) {
    static const char* const kWords[kMatrHeaderRows] = {"подъезд по порядку", "подъезд в доме",
                                                        "префикс дома", "количество БВ в пд",
                                                        "сетевой номер КМ"};
    if (row < 0 || row >= kMatrHeaderRows) return QString();
    return QString::number(row) + QString(6, QLatin1Char(' ')) + QString::fromUtf8(kWords[row]);
}

QString MatrHeaderSysN() {
    return QStringLiteral("С№");
}
QString MatrHeaderNmBv() {
    return QStringLiteral("Наименование БВ");
}

QString GateLinkMark(int plus, int tract) {
    switch (plus) {
        case 1:
            return tract > 0 ? QString::number(tract) : QStringLiteral("+");
        case 2:
            return QStringLiteral("--");
        case 3:
            return tract > 0 ? QStringLiteral("-") + QString::number(tract) + QStringLiteral("-")
                             : QStringLiteral("-+-");
        default:
            return QString();
    }
}

QString EntranceLinkMark(int tract) {
    return tract > 0 ? QString::number(tract) : QStringLiteral("+");
}

QList<MatrRow> BuildMatrHeaderRows(const QList<MatrSwitchColumn>& columns) {
    QList<MatrRow> rows;
    for (int r = 0; r < kMatrHeaderRows; ++r)
        rows.append(MatrRow{MatrHeaderRowName(r), {}, {}, {}});
    rows[0].sysN = MatrHeaderSysN();
    rows[0].nmBv = MatrHeaderNmBv();
    for (const MatrSwitchColumn& c : columns) {
        const QString name =
            c.nmPod.trimmed().isEmpty() ? QStringLiteral("Л-") + IntToStrZ(c.nPk, 2) : c.nmPod;
        rows[0].cells[c.nPk] = name;
        rows[1].cells[c.nPk] = QString::number(c.nPod);
        rows[2].cells[c.nPk] = c.kodD;
        rows[3].cells[c.nPk] = QString::number(c.vDvr);
        rows[4].cells[c.nPk] = IntToStrZ(c.nNet, 2);
    }
    return rows;
}

MatrContents BuildMatrContents(const QList<MatrSwitchColumn>& columns,
                               const QList<MatrPanelLink>& links, int vKal,
                               const QString& gatePrefix) {
    MatrContents out;
    out.rows = BuildMatrHeaderRows(columns);

    // Each panel's first link to each switch column, found once: a gate
    // wired to every switch of a large object has as many links as switches.
    QHash<QPair<QString, int>, const MatrPanelLink*> firstLink;
    QSet<QString> panels;
    for (const MatrPanelLink& l : links) {
        panels.insert(l.nBv);
        if (!firstLink.contains({l.nBv, l.nPk})) firstLink.insert({l.nBv, l.nPk}, &l);
    }

    // Gates: one row each when at least one switch column holds a link.
    const int switchCount = int(columns.size());
    for (int k = 1; k <= vKal; ++k) {
        const QString gate = gatePrefix + IntToStrZ(k, 2);
        if (!panels.contains(gate)) continue;
        ++out.gatesFound;
        MatrRow row{gate, {}, {}, {}};
        const MatrPanelLink* last = nullptr;
        bool linked = false;
        for (int j = 1; j <= switchCount; ++j) {
            const MatrPanelLink* it = firstLink.value({gate, j});
            if (!it) {
                row.cells[j] = QString();
                continue;
            }
            last = it;
            row.cells[j] = GateLinkMark(it->plus, it->tract);
            if (it->plus >= 1 && it->plus <= 3) linked = true;
        }
        if (!linked) continue;
        row.sysN = IntToStrZ(last->nNt0, 2);
        row.nmBv = last->nmBv;
        out.rows.append(row);
    }

    // Entrance panels: their own switch column only.
    for (const MatrPanelLink& l : links) {
        if (l.bvType != 0) continue;
        MatrRow row{l.nBv, IntToStrZ(l.nNt0, 2), l.nmBv, {}};
        row.cells[l.nPk] = EntranceLinkMark(l.tract);
        out.rows.append(row);
    }

    QHash<QString, int> seen;
    for (const MatrRow& r : out.rows)
        if (++seen[r.name] == 2) out.duplicates.append(r.name);
    return out;
}

// ---- database writes -----------------------------------------------------

QStringList MatrTableColumns(QSqlDatabase db, const QString& name) {
    QStringList columns;
    if (!IsValidMatrTableName(name)) return columns;
    QSqlQuery q(db);
    if (!q.exec(QStringLiteral("PRAGMA table_info(") + name + QLatin1Char(')'))) return columns;
    while (q.next()) columns << q.value(1).toString();
    return columns;
}

bool MatrTableExists(QSqlDatabase db, const QString& name) {
    QSqlQuery q(db);
    q.prepare(
        QStringLiteral("SELECT 1 FROM sqlite_master WHERE type='table' AND lower(name)=lower(?)"));
    q.addBindValue(name);
    return q.exec() && q.next();
}

namespace {

bool HasColumn(const QStringList& columns, const QString& column) {
    return columns.contains(column, Qt::CaseInsensitive);
}

bool AddNameColumnIfMissing(QSqlDatabase db, const QString& name, const QString& typeText,
                            QString* error) {
    if (HasColumn(MatrTableColumns(db, name), QStringLiteral("nm_bv"))) return true;
    QSqlQuery q(db);
    return ExecBound(q,
                     QStringLiteral("ALTER TABLE ") + name + QStringLiteral(" ADD COLUMN nm_bv ") +
                         typeText + QStringLiteral(" DEFAULT '' "),
                     {}, error);
}

// Empty texts are stored as '' rather than null, as the readers compare texts.
QVariant TextValue(const QString& s) {
    return s.isNull() ? QVariant(QStringLiteral("")) : QVariant(s);
}

// The table's columns, for a look-up per cell (compared as HasColumn does).
QSet<QString> ColumnSet(const QStringList& columns) {
    QSet<QString> set;
    for (const QString& c : columns) set.insert(c.toCaseFolded());
    return set;
}

// Inserts one row, setting only the switch columns the table really has.
bool InsertMatrRow(QSqlDatabase db, const QString& name, const QSet<QString>& tableColumns,
                   const MatrRow& row, QString* error) {
    QStringList columns{QStringLiteral("name"), QStringLiteral("sys_n"), QStringLiteral("nm_bv")};
    QVariantList values{TextValue(row.name), TextValue(row.sysN), TextValue(row.nmBv)};
    for (auto it = row.cells.begin(); it != row.cells.end(); ++it) {
        const QString column = MatrSwitchColumnName(it.key());
        if (!tableColumns.contains(column.toCaseFolded())) continue;
        columns << column;
        values << TextValue(it.value());
    }
    QStringList marks;
    for (int i = 0; i < columns.size(); ++i) marks << QStringLiteral("?");
    QSqlQuery q(db);
    return ExecInsert(q,
                      QStringLiteral("INSERT INTO ") + name + QStringLiteral(" (") +
                          columns.join(QStringLiteral(", ")) + QStringLiteral(") VALUES (") +
                          marks.join(QStringLiteral(", ")) + QLatin1Char(')'),
                      values, error);
}

// A cell as the refill stores it: a text, or null where the row sets no value.
bool SameCell(const QVariant& stored, const std::optional<QString>& written) {
    if (!written) return stored.isNull();
    return !stored.isNull() && stored.toString() == *written;
}

// Whether the table holds exactly the rows a refill would write: then the
// refill has nothing to do, and a screen that only shows the matrix writes
// nothing. A column the refill does not know (it would take its default)
// counts as a difference.
bool TableHoldsRows(QSqlDatabase db, const QString& name, const QStringList& columns,
                    const QList<MatrRow>& rows, bool* holds, QString* error) {
    *holds = false;
    QHash<QString, const MatrRow*> wanted;
    for (const MatrRow& r : rows) wanted.insert(r.name, &r);
    QList<std::pair<QString, int>> switchColumns;  // name, column number
    for (const QString& c : columns) {
        const QString lower = c.toLower();
        bool number = false;
        const int nPk = lower.mid(3).toInt(&number);
        if (lower.startsWith(QStringLiteral("pk_")) && number && MatrSwitchColumnName(nPk) == lower)
            switchColumns.append({c, nPk});
        else if (lower != QStringLiteral("name") && lower != QStringLiteral("sys_n") &&
                 lower != QStringLiteral("nm_bv"))
            return true;
    }
    QSqlQuery q(db);
    if (!ExecBound(q, QStringLiteral("SELECT * FROM ") + name, {}, error)) return false;
    int seen = 0;
    while (q.next()) {
        const MatrRow* r = wanted.value(q.value(QStringLiteral("name")).toString());
        if (!r || !SameCell(q.value(QStringLiteral("sys_n")), r->sysN) ||
            !SameCell(q.value(QStringLiteral("nm_bv")), r->nmBv))
            return true;
        for (const auto& [column, nPk] : switchColumns) {
            const auto cell = r->cells.constFind(nPk);
            if (!SameCell(q.value(column), cell == r->cells.cend()
                                               ? std::optional<QString>()
                                               : std::optional<QString>(cell.value())))
                return true;
        }
        ++seen;
    }
    *holds = seen == wanted.size() && q.lastError().type() == QSqlError::NoError;
    return true;
}

bool ReadSwitchColumns(QSqlDatabase db, qint64 idNet, QList<MatrSwitchColumn>* out,
                       QString* error) {
    QSqlQuery q(db);
    if (!ExecBound(q,
                   QStringLiteral("SELECT n_pk, n_pod, kod_d, v_dvr, n_net, nm_pod FROM m_pk "
                                  "WHERE id_net=? ORDER BY n_pk"),
                   {idNet}, error))
        return false;
    while (q.next())
        out->append({q.value(0).toInt(), q.value(1).toInt(), q.value(2).toString(),
                     q.value(3).toInt(), q.value(4).toInt(), q.value(5).toString()});
    return true;
}

bool ReadPanelLinks(QSqlDatabase db, qint64 idNet, QList<MatrPanelLink>* out, QString* error) {
    QSqlQuery q(db);
    if (!ExecBound(q,
                   QStringLiteral("SELECT n_bv, n_pk, bv_type, n_nt0, plus, tract, nm_bv FROM m_bv "
                                  "WHERE id_net=? ORDER BY rowid"),
                   {idNet}, error))
        return false;
    while (q.next())
        out->append({q.value(0).toString(), q.value(1).toInt(), q.value(2).toInt(),
                     q.value(3).toInt(), q.value(4).toInt(), q.value(5).toInt(),
                     q.value(6).toString()});
    return true;
}

}  // namespace

MatrResult AddMatrNameColumn(QSqlDatabase db, const QString& name, const QString& typeText) {
    if (!IsValidMatrTableName(name))
        return MatrFail(QStringLiteral("Недопустимое имя таблицы матрицы"));
    QString error;
    if (!AddNameColumnIfMissing(db, name, typeText, &error)) return MatrFail(error);
    return {true, {}, false};
}

MatrResult CreateMatrTable(QSqlDatabase db, qint64 idNet, const QString& name) {
    if (!IsValidMatrTableName(name))
        return MatrFail(QStringLiteral("Недопустимое имя таблицы матрицы: ") + name);
    QString error;
    QSqlQuery q(db);
    if (!ExecBound(q, QStringLiteral("SELECT v_pod, st_net FROM k_net WHERE id_net=?"), {idNet},
                   &error))
        return MatrFail(error);
    if (!q.next()) return MatrFail(QStringLiteral("Объекта нет в базе данных."));
    const int vPod = q.value(0).toInt();
    const bool wasEmpty = q.value(1).toString() == kMatrStateEmpty;
    q.finish();

    // Drop and create together, so a failed create keeps the old table.
    SqlTransaction tr(db);
    if (!tr.started()) return MatrFail(tr.LastError());
    if (!ExecBound(q, QStringLiteral("DROP TABLE IF EXISTS ") + name, {}, &error))
        return MatrFail(error);
    if (!ExecBound(q, MatrTableDdl(name, vPod), {}, &error)) return MatrFail(error);
    if (wasEmpty && !ExecBound(q, QStringLiteral("UPDATE k_net SET st_net=? WHERE id_net=?"),
                               {kStateCreated, idNet}, &error))
        return MatrFail(error);
    if (!tr.Commit()) return MatrFail(tr.LastError());
    return {true, {}, wasEmpty};
}

MatrResult RebuildMatrTable(QSqlDatabase db, qint64 idNet, const QString& gatePrefix) {
    const QString name = MatrTableName(idNet);
    QString error;
    QList<MatrSwitchColumn> columns;
    QList<MatrPanelLink> links;
    if (!ReadSwitchColumns(db, idNet, &columns, &error) ||
        !ReadPanelLinks(db, idNet, &links, &error))
        return MatrFail(error);
    QSqlQuery q(db);
    if (!ExecBound(q, QStringLiteral("SELECT v_kal FROM k_net WHERE id_net=?"), {idNet}, &error))
        return MatrFail(error);
    if (!q.next()) return MatrFail(QStringLiteral("Объекта нет в базе данных."));
    const int vKal = q.value(0).toInt();
    q.finish();

    const MatrContents contents = BuildMatrContents(columns, links, vKal, gatePrefix);
    if (!contents.duplicates.isEmpty())
        return MatrFail(QStringLiteral("Блок вызова \"") + contents.duplicates.first() +
                        QStringLiteral("\" встречается в матрице более одного раза. "
                                       "Матрица не перестроена, исправьте имена БВ."));
    if (!MatrTableExists(db, name))
        return MatrFail(QStringLiteral("В базе данных нет таблицы %1.").arg(name));
    const QStringList stored = MatrTableColumns(db, name);
    bool holds = false;
    if (contents.gatesFound == vKal && HasColumn(stored, QStringLiteral("nm_bv")) &&
        !TableHoldsRows(db, name, stored, contents.rows, &holds, &error))
        return MatrFail(error);
    if (holds) return {true, {}, false};

    SqlTransaction tr(db);
    if (!tr.started()) return MatrFail(tr.LastError());
    if (!AddNameColumnIfMissing(db, name, QStringLiteral("VARCHAR(25)"), &error))
        return MatrFail(error);
    if (!ExecBound(q, QStringLiteral("DELETE FROM ") + name, {}, &error)) return MatrFail(error);
    const QSet<QString> tableColumns = ColumnSet(MatrTableColumns(db, name));
    for (const MatrRow& row : contents.rows)
        if (!InsertMatrRow(db, name, tableColumns, row, &error)) return MatrFail(error);
    if (contents.gatesFound != vKal &&
        !ExecBound(q, QStringLiteral("UPDATE k_net SET v_kal=? WHERE id_net=?"),
                   {contents.gatesFound, idNet}, &error))
        return MatrFail(error);
    if (!tr.Commit()) return MatrFail(tr.LastError());
    return {true, {}, contents.gatesFound != vKal};
}

MatrResult FollowSavedMatrix(QSqlDatabase db, qint64 idNet, const QString& gatePrefix) {
    QSqlQuery q(db);
    QString error;
    if (!ExecBound(q, QStringLiteral("SELECT st_net FROM k_net WHERE id_net=?"), {idNet}, &error))
        return MatrFail(error);
    const QString state = q.next() ? q.value(0).toString() : QString();
    q.finish();
    if (!ScreenRules::MatrixNeedsRebuild(state) || !MatrTableExists(db, MatrTableName(idNet)))
        return {true, {}, false};
    return RebuildMatrTable(db, idNet, gatePrefix);
}

QString MatrSelectSql(const QString& name, int switchCount) {
    QString sql = QStringLiteral("SELECT name, sys_n, ");
    for (int i = 1; i <= switchCount; ++i) sql += MatrSwitchColumnName(i) + QStringLiteral(", ");
    return sql + QStringLiteral("nm_bv FROM ") + name + QStringLiteral(" ORDER BY name");
}
