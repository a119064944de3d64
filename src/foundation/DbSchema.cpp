#include "foundation/DbSchema.h"

#include "foundation/BitAndStr.h"
#include "foundation/BoundSql.h"
#include "foundation/ColumnDefault.h"
#include "foundation/Globals.h"
#include "platform/DatabaseErrorText.h"
#include "platform/DurableFile.h"
#include "platform/SystemErrorText.h"

#include <QDir>
#include <QFile>
#include <QFileInfo>
#include <QList>
#include <QPair>
#include <QSqlError>
#include <QSqlQuery>
#include <QVariant>
#include <atomic>

// The schema and reference rows are compiled in from db/db.qrc; a static
// library needs the explicit init, or the linker drops the resource.
static void InitDbResources() {
    Q_INIT_RESOURCE(db);
}

namespace {

// SQLite spelling of the column types the upgrade adds.
const QString kLogicalFalse = QStringLiteral("INTEGER NOT NULL DEFAULT 0");
const QString kLogicalTrue = QStringLiteral("INTEGER NOT NULL DEFAULT 1");
const QString kIntZero = QStringLiteral("INTEGER DEFAULT 0");
const QString kTextEmpty = QStringLiteral("TEXT DEFAULT ''");

const int kFlagMaskLength = 32;

bool Fail(QString* error, const QString& text) {
    if (error) *error = text;
    return false;
}

// The reason goes to the operator; the statement that failed, to the log.
bool FailOn(QString* error, const QSqlQuery& q, const QString& sql) {
    return Fail(error, LoggedDatabaseReason(q.lastError(), sql));
}

bool Exec(QSqlDatabase& db, const QString& sql, QString* error) {
    QSqlQuery q(db);
    return q.exec(sql) || FailOn(error, q, sql);
}

QString Quoted(const QString& identifier) {
    return QLatin1Char('"') +
           QString(identifier).replace(QLatin1Char('"'), QStringLiteral("\"\"")) + QLatin1Char('"');
}

// Stored flags may come as 0/1, Jet's -1 or a text; anything non-zero is true.
bool IsTrue(const QVariant& v) {
    if (v.isNull()) return false;
    if (v.typeId() == QMetaType::QString) {
        const QString s = v.toString().trimmed();
        if (s.compare(QStringLiteral("true"), Qt::CaseInsensitive) == 0) return true;
        bool ok = false;
        const double n = s.toDouble(&ok);
        return ok && n != 0;
    }
    return v.toDouble() != 0;
}

// prefix + i as two digits for i = from..to ("f_m03".."f_m16").
QStringList NumberedNames(const QString& prefix, int from, int to) {
    QStringList names;
    for (int i = from; i <= to; ++i) names << prefix + IntToStrZ(i, 2);
    return names;
}

bool RowExists(QSqlDatabase& db, const QString& sql, const QVariantList& values, bool* exists,
               QString* error) {
    QSqlQuery q(db);
    q.setForwardOnly(true);
    if (!::ExecBound(q, sql, values, error)) return false;
    *exists = q.next();
    return true;
}

// A write the upgrade makes at every open runs only when a row of table
// needs it (where, its values bound): the engine refuses any write statement
// on a read-only file, even one that would change no row, and a file that
// needs nothing opens on a read-only medium.
bool WriteWhereDue(QSqlDatabase& db, const QString& table, const QString& where,
                   const QVariantList& whereValues, const QString& write,
                   const QVariantList& writeValues, QString* error) {
    bool due = false;
    if (!RowExists(db, QStringLiteral("SELECT 1 FROM %1 WHERE %2 LIMIT 1").arg(table, where),
                   whereValues, &due, error))
        return false;
    return !due || ExecBound(db, write, writeValues + whereValues, error);
}

// The column itself, or 0 when the file lacks it, so an old file that misses a
// column the conversion reads still opens.
QString ColumnOrZero(QSqlDatabase& db, const QString& table, const QString& column) {
    return FieldExists(db, table, column) ? Quoted(column) : QStringLiteral("0");
}

// The upgrade's steps are all-or-nothing, also inside a caller's transaction.
bool Begun(const SqlTransaction& t, QString* error) {
    return t.started() || Fail(error, t.LastError());
}
bool Committed(SqlTransaction& t, QString* error) {
    return t.Commit() || Fail(error, t.LastError());
}

// Adds a column when the table lacks it; *added tells whether it did.
bool AddColumn(QSqlDatabase& db, const QString& table, const QString& column,
               const QString& typeAndDefault, QString* error, bool* added = nullptr) {
    if (added) *added = false;
    if (FieldExists(db, table, column)) return true;
    if (!Exec(db,
              QStringLiteral("ALTER TABLE %1 ADD COLUMN %2 %3").arg(table, column, typeAndDefault),
              error))
        return false;
    if (added) *added = true;
    return true;
}

// Adds a column and, only when it was added, runs the follow-up statement.
bool AddColumnThen(QSqlDatabase& db, const QString& table, const QString& column,
                   const QString& typeAndDefault, const QString& followUp, QString* error) {
    bool added = false;
    if (!AddColumn(db, table, column, typeAndDefault, error, &added)) return false;
    return !added || Exec(db, followUp, error);
}

// Drops those of the columns the table has; a missing one is no error.
bool DropColumns(QSqlDatabase& db, const QString& table, const QStringList& columns,
                 QString* error) {
    for (const QString& column : columns) {
        if (!FieldExists(db, table, column)) continue;
        if (!Exec(db, QStringLiteral("ALTER TABLE %1 DROP COLUMN %2").arg(table, column), error))
            return false;
    }
    return true;
}

// Drops the numbered flag columns when the first of them is present.
bool DropOldFlags(QSqlDatabase& db, const QString& table, const QStringList& flags,
                  QString* error) {
    if (!FieldExists(db, table, flags.first())) return true;
    return DropColumns(db, table, flags, error);
}

// Every object's mask: "1", one digit per flag column, padded with "0" to 32.
bool FillFlagMask(QSqlDatabase& db, const QString& maskColumn, const QStringList& flagColumns,
                  QString* error) {
    QStringList exprs;
    for (const QString& column : flagColumns)
        exprs << ColumnOrZero(db, QStringLiteral("k_net"), column);

    QList<QPair<qint64, QString>> masks;
    {
        QSqlQuery q(db);
        q.setForwardOnly(true);
        const QString sql = QStringLiteral("SELECT rowid, ") + exprs.join(QStringLiteral(", ")) +
                            QStringLiteral(" FROM k_net");
        if (!q.exec(sql)) return FailOn(error, q, sql);
        while (q.next()) {
            QString mask = QStringLiteral("1");
            for (int i = 1; i <= exprs.size(); ++i) mask += IsTrue(q.value(i)) ? u'1' : u'0';
            masks.append({q.value(0).toLongLong(), PadRight(mask, u'0', kFlagMaskLength)});
        }
    }

    QSqlQuery u(db);
    const QString sql = QStringLiteral("UPDATE k_net SET %1 = ? WHERE rowid = ?").arg(maskColumn);
    if (!u.prepare(sql)) return FailOn(error, u, sql);
    for (const auto& [rowid, mask] : masks) {
        u.bindValue(0, mask);
        u.bindValue(1, rowid);
        if (!u.exec()) return FailOn(error, u, sql);
    }
    return true;
}

// t_global: SepDevice exists, and KolTractPK is 8 after every open.
bool ForceGlobalCounts(QSqlDatabase& db, QString* error) {
    const QString table = QStringLiteral("t_global");
    const bool hadSepDevice = FieldExists(db, table, QStringLiteral("SepDevice"));
    const bool hasKolTractPK = FieldExists(db, table, QStringLiteral("KolTractPK"));
    if (!hadSepDevice &&
        !Exec(db, QStringLiteral("ALTER TABLE t_global ADD COLUMN SepDevice INTEGER DEFAULT 63"),
              error))
        return false;

    QStringList assignments{QStringLiteral("SepDevice = %1").arg(Globals().SepDevice)};
    if (FieldExists(db, table, QStringLiteral("MaxDevice")))
        assignments << QStringLiteral("MaxDevice = %1").arg(Globals().MaxDevice);
    if (hasKolTractPK) assignments << QStringLiteral("KolTractPK = 8");
    const QString sql =
        QStringLiteral("UPDATE t_global SET ") + assignments.join(QStringLiteral(", "));
    // A missing KolTractPK reads as 0, which differs from 8: the values are
    // written as for any other tract count.
    if (!hadSepDevice || !hasKolTractPK) return Exec(db, sql, error);
    const QString differs = QStringLiteral("KolTractPK IS NOT 8");
    return WriteWhereDue(db, table, differs, {}, sql + QStringLiteral(" WHERE ") + differs, {},
                         error);
}

// Objects: the added columns, the flag masks built from the old flag columns.
bool UpgradeObjects(QSqlDatabase& db, QString* error) {
    const QString t = QStringLiteral("k_net");
    const QStringList callFlags = NumberedNames(QStringLiteral("f_m"), 3, 16);
    const QStringList consoleFlags = NumberedNames(QStringLiteral("f_p"), 2, 16);
    bool added = false;

    if (!AddColumn(db, t, QStringLiteral("p_dop"), kIntZero, error)) return false;
    if (!AddColumn(db, t, QStringLiteral("v_dom"), QStringLiteral("INTEGER DEFAULT 1"), error))
        return false;

    if (!AddColumn(db, t, QStringLiteral("flbv"), kTextEmpty, error, &added)) return false;
    if (added && !FillFlagMask(db, QStringLiteral("flbv"),
                               QStringList{QStringLiteral("l_otz")} + callFlags, error))
        return false;
    if (!DropOldFlags(db, t, callFlags, error)) return false;

    if (!AddColumn(db, t, QStringLiteral("flpo"), kTextEmpty, error, &added)) return false;
    if (added && !FillFlagMask(db, QStringLiteral("flpo"), consoleFlags, error)) return false;
    if (!DropOldFlags(db, t, consoleFlags, error)) return false;

    return DropColumns(db, t, {QStringLiteral("n_dir")}, error) &&
           SetColumnDefault(db, t, QStringLiteral("v_key"),
                            QString::number(kDefaultKeysPerApartment), error);
}

// Matrix links, houses, entrances, switches.
bool UpgradeSiteAndSwitches(QSqlDatabase& db, QString* error) {
    return AddColumn(db, QStringLiteral("m_pk"), QStringLiteral("nm_pod"), kTextEmpty, error) &&
           AddColumn(db, QStringLiteral("m_pk"), QStringLiteral("l_del"), kLogicalFalse, error) &&
           AddColumn(db, QStringLiteral("m_bv"), QStringLiteral("nm_bv"), kTextEmpty, error) &&
           AddColumn(db, QStringLiteral("m_bv"), QStringLiteral("l_del"), kLogicalFalse, error) &&
           AddColumn(db, QStringLiteral("k_dom"), QStringLiteral("p_dop"), kIntZero, error) &&
           AddColumnThen(db, QStringLiteral("k_dom"), QStringLiteral("kvv_t"), kIntZero,
                         QStringLiteral("UPDATE k_dom SET kvv_t=0"), error) &&
           AddColumn(db, QStringLiteral("k_pod"), QStringLiteral("p_dop"), kIntZero, error) &&
           AddColumn(db, QStringLiteral("k_pod"), QStringLiteral("nm_pod"), kTextEmpty, error) &&
           AddColumnThen(db, QStringLiteral("k_pod"), QStringLiteral("kvv_t"), kIntZero,
                         QStringLiteral("UPDATE k_pod SET kvv_t=0"), error) &&
           AddColumnThen(db, QStringLiteral("k_pk"), QStringLiteral("kf_pr"), kIntZero,
                         QStringLiteral("UPDATE k_pk SET kf_pr=0"), error) &&
           AddColumn(db, QStringLiteral("k_pk"), QStringLiteral("p_dop"), kIntZero, error) &&
           AddColumn(db, QStringLiteral("k_pk"), QStringLiteral("n_vid"),
                     QStringLiteral("INTEGER DEFAULT -1"), error) &&
           AddColumn(db, QStringLiteral("k_pk"), QStringLiteral("rsrv"), kIntZero, error) &&
           AddColumn(db, QStringLiteral("k_pk"), QStringLiteral("passw"), kIntZero, error);
}

// Call panels; l_pok follows the panel's object.
bool UpgradeCallPanels(QSqlDatabase& db, QString* error) {
    const QString t = QStringLiteral("k_bv");
    if (!AddColumnThen(db, t, QStringLiteral("kf_pr"), kIntZero,
                       QStringLiteral("UPDATE k_bv SET kf_pr=0"), error) ||
        !AddColumn(db, t, QStringLiteral("p_dop"), kIntZero, error) ||
        !AddColumn(db, t, QStringLiteral("rsrv"), kIntZero, error) ||
        !AddColumn(db, t, QStringLiteral("scud"), kLogicalFalse, error) ||
        !AddColumn(db, t, QStringLiteral("lrez"), kLogicalFalse, error) ||
        !AddColumn(db, t, QStringLiteral("passw"), kIntZero, error) ||
        !DropOldFlags(db, t, NumberedNames(QStringLiteral("f_m"), 3, 16), error))
        return false;
    const QString objectConsole = FieldExists(db, QStringLiteral("k_net"), QStringLiteral("l_pok"))
                                      ? QStringLiteral("n.l_pok")
                                      : QStringLiteral("0");
    return AddColumnThen(db, t, QStringLiteral("l_pok"), kLogicalFalse,
                         QStringLiteral("UPDATE k_bv SET l_pok = COALESCE((SELECT CASE WHEN %1 "
                                        "<> 0 THEN 1 ELSE 0 END FROM k_net n WHERE n.id_net = "
                                        "k_bv.id_net), 0)")
                             .arg(objectConsole),
                         error);
}

// Parameter sets; a call timeout below 66 becomes 95 at every open.
bool UpgradeParameterSets(QSqlDatabase& db, QString* error) {
    const QString t = QStringLiteral("t_ke");
    QString fillWait = QStringLiteral("UPDATE t_ke SET t_wt=66");
    if (FieldExists(db, t, QStringLiteral("t_st"))) fillWait += QStringLiteral(", t_st=1");
    if (!AddColumnThen(db, t, QStringLiteral("t_wt"), QStringLiteral("INTEGER DEFAULT 66"),
                       fillWait, error) ||
        !AddColumn(db, t, QStringLiteral("p_dop"), kIntZero, error))
        return false;
    if (!FieldExists(db, t, QStringLiteral("t_dl"))) return true;
    const QString shortWait = QStringLiteral("t_dl < 66");
    return WriteWhereDue(db, t, shortWait, {},
                         QStringLiteral("UPDATE t_ke SET t_dl=95 WHERE ") + shortWait, {}, error);
}

// Apartments.
bool UpgradeApartments(QSqlDatabase& db, QString* error) {
    const QString t = QStringLiteral("k_kvr");
    for (const QString& flag : NumberedNames(QStringLiteral("f_k"), 3, 9))
        if (!AddColumn(db, t, flag, kLogicalFalse, error)) return false;
    if (!AddColumnThen(db, t, QStringLiteral("l_vid"), kLogicalTrue,
                       QStringLiteral("UPDATE k_kvr SET l_vid=1"), error) ||
        !AddColumnThen(db, t, QStringLiteral("m_blk"), kLogicalTrue,
                       QStringLiteral("UPDATE k_kvr SET m_blk=1"), error) ||
        !AddColumn(db, t, QStringLiteral("p_dop"), kIntZero, error))
        return false;
    for (const QString& name :
         {QStringLiteral("Fam"), QStringLiteral("Nam"), QStringLiteral("Och")})
        if (!AddColumn(db, t, name, kTextEmpty, error)) return false;

    if (FieldExists(db, t, QStringLiteral("x_key"))) return true;
    // The key quota and count move from the old byte columns. A count column
    // that is already there holds the registered keys and is kept.
    const QString quota = ColumnOrZero(db, t, QStringLiteral("v_key"));
    const QString count = ColumnOrZero(db, t, QStringLiteral("r_key"));
    bool countAdded = false;
    if (!AddColumn(db, t, QStringLiteral("x_key"), kIntZero, error) ||
        !AddColumn(db, t, QStringLiteral("y_key"), kIntZero, error, &countAdded))
        return false;
    QString sql = QStringLiteral("UPDATE k_kvr SET x_key=COALESCE(%1, 0)").arg(quota);
    if (countAdded) sql += QStringLiteral(", y_key=COALESCE(%1, 0)").arg(count);
    return Exec(db, sql, error);
}

// The console.
bool UpgradeConsoles(QSqlDatabase& db, QString* error) {
    const QString t = QStringLiteral("k_po");
    return AddColumnThen(db, t, QStringLiteral("kf_pr"), kIntZero,
                         QStringLiteral("UPDATE k_po SET kf_pr=0"), error) &&
           AddColumn(db, t, QStringLiteral("p_dop"), kIntZero, error) &&
           DropOldFlags(db, t, NumberedNames(QStringLiteral("f_p"), 2, 16), error) &&
           AddColumn(db, t, QStringLiteral("lrez"), kLogicalFalse, error) &&
           AddColumn(db, t, QStringLiteral("passw"), kIntZero, error);
}

bool UpgradeColumns(QSqlDatabase& db, QString* error) {
    return ForceGlobalCounts(db, error) && UpgradeObjects(db, error) &&
           UpgradeSiteAndSwitches(db, error) && UpgradeCallPanels(db, error) &&
           UpgradeParameterSets(db, error) && UpgradeApartments(db, error) &&
           UpgradeConsoles(db, error);
}

struct FixedFlag {
    const char16_t* tabl;
    int nomf;
    const char16_t* namf;
};

bool UpgradeFlagTableSteps(QSqlDatabase& db, QString* error) {
    const QString t = QStringLiteral("t_fl");
    // New columns first: SQLite refuses to drop the last column of a table, and
    // an old table holds nothing but the obsolete ones.
    if (!AddColumn(db, t, QStringLiteral("tabl"), kTextEmpty, error) ||
        !AddColumn(db, t, QStringLiteral("nomf"), kIntZero, error) ||
        !AddColumn(db, t, QStringLiteral("namf"), kTextEmpty, error) ||
        !DropColumns(db, t,
                     {QStringLiteral("f_nm"), QStringLiteral("id_net"), QStringLiteral("n_net"),
                      QStringLiteral("f_sz")},
                     error))
        return false;

    // The row left over from the old layout. Added columns read their default
    // in SQLite rather than NULL, so an empty type with number 0 counts too.
    const QString leftOver =
        QStringLiteral("(nomf IS NULL OR nomf = 0) AND (tabl IS NULL OR tabl = '')");
    if (!WriteWhereDue(db, t, leftOver, {},
                       QStringLiteral("DELETE FROM t_fl WHERE rowid = (SELECT rowid FROM t_fl "
                                      "WHERE %1 ORDER BY rowid LIMIT 1)")
                           .arg(leftOver),
                       {}, error))
        return false;

    static const FixedFlag kFixed[] = {
        {u"БВ", 1, u"Прямой вызов"},
        {u"БВ", 2, u"Отзвонка"},
        {u"ППО", 1, u"Перенаправление вызова"},
    };
    for (const FixedFlag& flag : kFixed) {
        const QString tabl = QString::fromUtf16(flag.tabl);
        bool exists = false;
        if (!RowExists(db, QStringLiteral("SELECT 1 FROM t_fl WHERE nomf = ? AND tabl = ?"),
                       {flag.nomf, tabl}, &exists, error))
            return false;
        if (!exists &&
            !ExecBound(db, QStringLiteral("INSERT INTO t_fl (tabl, nomf, namf) VALUES (?, ?, ?)"),
                       {tabl, flag.nomf, QString::fromUtf16(flag.namf)}, error))
            return false;
    }
    const QString oldName = QStringLiteral("tabl = ? AND nomf = 1 AND namf = ?");
    return WriteWhereDue(db, t, oldName, {QStringLiteral("ППО"), QStringLiteral("Обратный вызов")},
                         QStringLiteral("UPDATE t_fl SET namf = ? WHERE ") + oldName,
                         {QStringLiteral("Перенаправление вызова")}, error);
}

// A file that is no database, or whose schema cannot be read through, is
// refused before any upgrade statement is tried on it. The count reads every
// page of the schema table, and preparing it parses the whole schema.
bool SchemaReadable(QSqlDatabase& db, QString* error) {
    QSqlQuery q(db);
    q.setForwardOnly(true);
    const QString sql = QStringLiteral("SELECT COUNT(*) FROM sqlite_master");
    return (q.exec(sql) && q.next()) || FailOn(error, q, sql);
}

bool RunHook(const std::function<bool(QSqlDatabase&, QString*)>& hook, QSqlDatabase& db,
             QString* error) {
    return !hook || hook(db, error);
}

QString ReadResource(const QString& path, QString* error) {
    InitDbResources();
    QFile f(path);
    if (!f.open(QIODevice::ReadOnly)) {
        Fail(error, QStringLiteral("Нет ресурса %1").arg(path));
        return QString();
    }
    return QString::fromUtf8(f.readAll());
}

// Builds the schema and reference rows into an empty file.
bool FillNewDatabase(const QString& path, QString* error) {
    static std::atomic<int> counter{0};
    const QString connection = QStringLiteral("arm_new_database_%1").arg(++counter);
    bool ok = false;
    {
        QSqlDatabase db = QSqlDatabase::addDatabase(QStringLiteral("QSQLITE"), connection);
        db.setDatabaseName(path);
        if (!db.open()) {
            Fail(error, WithReason(QStringLiteral("Не удалось открыть ") + path,
                                   LoggedDatabaseReason(db.lastError())));
        } else {
            const QString schema = NewDatabaseSchema(error);
            const QString reference = ReadResource(QStringLiteral(":/db/reference.sql"), error);
            ok = !schema.isEmpty() && !reference.isEmpty() &&
                 RunSqlScript(db, schema + QStringLiteral("\n") + reference, error);
            db.close();
        }
    }
    QSqlDatabase::removeDatabase(connection);
    return ok;
}

}  // namespace

QString NewDatabaseSchema(QString* error) {
    return ReadResource(QStringLiteral(":/db/schema.sql"), error);
}

bool FieldExists(QSqlDatabase& db, const QString& table, const QString& field) {
    QSqlQuery q(db);
    q.setForwardOnly(true);
    if (!q.prepare(QStringLiteral("SELECT name FROM pragma_table_info(?)"))) return false;
    q.bindValue(0, table);
    if (!q.exec()) return false;
    while (q.next())
        if (q.value(0).toString().compare(field, Qt::CaseInsensitive) == 0) return true;
    return false;
}

bool DropTable(QSqlDatabase& db, const QString& table) {
    QString ignored;
    return Exec(db, QStringLiteral("DROP TABLE ") + Quoted(table), &ignored);
}

bool UpgradeSchema(QSqlDatabase& db, QString* error) {
    return UpgradeSchema(db, SchemaUpgradeHooks{}, error);
}

bool UpgradeSchema(QSqlDatabase& db, const SchemaUpgradeHooks& hooks, QString* error) {
    if (!db.isOpen() && !db.open()) return Fail(error, LoggedDatabaseReason(db.lastError()));
    if (!SchemaReadable(db, error)) return false;
    // One transaction for the whole upgrade: a file it fails on, damaged or
    // not, is left as it was.
    SqlTransaction upgrade(db);
    return Begun(upgrade, error) && UpgradeColumns(db, error) &&
           RunHook(hooks.openMatrTable, db, error) && UpgradeFlagTable(db, error) &&
           RunHook(hooks.afterFlagTable, db, error) && Committed(upgrade, error);
}

bool UpgradeFlagTable(QSqlDatabase& db, QString* error) {
    SqlTransaction flags(db);
    return Begun(flags, error) && UpgradeFlagTableSteps(db, error) && Committed(flags, error);
}

QStringList SplitSqlStatements(const QString& script) {
    QStringList statements;
    QString current;
    bool inQuote = false;
    for (qsizetype i = 0; i < script.size(); ++i) {
        const QChar c = script[i];
        if (inQuote) {
            current += c;
            if (c == u'\'') inQuote = false;  // a doubled quote reopens at once
            continue;
        }
        if (c == u'-' && i + 1 < script.size() && script[i + 1] == u'-') {
            while (i < script.size() && script[i] != u'\n') ++i;
            current += u'\n';
            continue;
        }
        if (c == u';') {
            if (!current.trimmed().isEmpty()) statements << current.trimmed();
            current.clear();
            continue;
        }
        if (c == u'\'') inQuote = true;
        current += c;
    }
    if (!current.trimmed().isEmpty()) statements << current.trimmed();
    return statements;
}

bool RunSqlScript(QSqlDatabase& db, const QString& script, QString* error) {
    SqlTransaction all(db);
    if (!Begun(all, error)) return false;
    for (const QString& statement : SplitSqlStatements(script))
        if (!Exec(db, statement, error)) return false;
    return Committed(all, error);
}

bool CreateNewDatabase(const QString& filePath, QString* error) {
    const QFileInfo target(filePath);
    if (target.exists())
        return Fail(error, QStringLiteral("Файл БД уже существует: %1").arg(filePath));
    // A mistyped path is refused rather than made, parent folders and all.
    if (!QFileInfo(target.absolutePath()).isDir())
        return Fail(error, QStringLiteral("Нет папки %1").arg(target.absolutePath()));

    // Build under a temporary name beside the target; only a complete file is
    // renamed into place, and the rename never replaces an existing file. The
    // name is the durable writes' own, so that a build cut short by a crash is
    // removed by a later write into the folder.
    const QString tempPath = DurableFile::TemporaryPath(filePath);
    if (!QFile(tempPath).open(QIODevice::WriteOnly | QIODevice::NewOnly))
        return Fail(error, QStringLiteral("Не удалось создать временный файл в %1")
                               .arg(target.absolutePath()));
    if (!FillNewDatabase(tempPath, error)) {
        QFile::remove(tempPath);
        return false;
    }
    return DurableFile::Commit(tempPath, filePath, DurableFile::Existing::Keep, error);
}
