#include "foundation/TFDM.h"

#include <QDir>
#include <QFile>
#include <QFileInfo>
#include <QSet>
#include <QSqlError>
#include <QSqlQuery>
#include <QtEndian>

#include <sqlite3.h>
#include <utility>

#include "foundation/BoundSql.h"
#include "foundation/CheckedDatabases.h"
#include "foundation/DatabaseShape.h"
#include "foundation/DbSchema.h"
#include "foundation/StoredCounts.h"
#include "platform/AppPaths.h"
#include "platform/DatabaseErrorText.h"
#include "platform/FileAccess.h"
#include "platform/SqliteSelect.h"
#include "platform/SystemErrorText.h"

TFDM* FDM = nullptr;

namespace {

using S = Dataset::Source;

// The join of a switch with its entrance, house, matrix column and object.
const QList<S> kSwitchJoin = {
    {"k", "k_pk"}, {"p", "k_pod"}, {"d", "k_dom"}, {"m", "m_pk"}, {"n", "k_net"}};
const char* kSwitchJoinWhere =
    "WHERE m.n_net = k.n_net AND p.id_dom = d.id_dom AND p.id_pod = k.id_pod"
    " AND n.id_net = d.id_net AND m.id_net = n.id_net AND n.id_net =:id_net ";

// The wiring of a call panel to the switches of its matrix row.
const QList<S> kPanelJoin = {
    {"v", "m_bv"}, {"m", "m_pk"}, {"k", "k_pk"}, {"p", "k_pod"}, {"d", "k_dom"}};
const char* kPanelJoinWhere =
    "WHERE m.n_pk = v.n_pk AND v.id_net = m.id_net AND k.id_pk = m.id_pk"
    " AND p.id_pod = k.id_pod AND p.id_dom = d.id_dom ";

// Indexes the datasets' filters and joins need on a large installation.
// Only columns no upgrade ever drops.
const char* kIndexes[] = {
    "CREATE INDEX IF NOT EXISTS ix_k_dom_net ON k_dom (id_net)",
    "CREATE INDEX IF NOT EXISTS ix_k_pod_net ON k_pod (id_net)",
    "CREATE INDEX IF NOT EXISTS ix_k_pod_dom ON k_pod (id_dom, n_pod)",
    "CREATE INDEX IF NOT EXISTS ix_k_kvr_pod ON k_kvr (id_pod, p_nom)",
    "CREATE INDEX IF NOT EXISTS ix_k_kvr_net ON k_kvr (id_net, id_pod, p_nom)",
    "CREATE INDEX IF NOT EXISTS ix_k_key_kvr ON k_key (id_kvr)",
    "CREATE INDEX IF NOT EXISTS ix_k_key_pod ON k_key (id_pod, id_kvr)",
    "CREATE INDEX IF NOT EXISTS ix_k_key_net ON k_key (id_net)",
    "CREATE INDEX IF NOT EXISTS ix_k_key_bv ON k_key (bv_key)",
    "CREATE INDEX IF NOT EXISTS ix_k_pk_net ON k_pk (id_net, n_net)",
    "CREATE INDEX IF NOT EXISTS ix_k_pk_pod ON k_pk (id_pod)",
    "CREATE INDEX IF NOT EXISTS ix_k_bv_net ON k_bv (id_net, bv_type, n_net)",
    "CREATE INDEX IF NOT EXISTS ix_k_po_net ON k_po (id_net)",
    "CREATE INDEX IF NOT EXISTS ix_m_pk_net ON m_pk (id_net, n_pk)",
    "CREATE INDEX IF NOT EXISTS ix_m_bv_net ON m_bv (id_net, n_pk)",
    "CREATE INDEX IF NOT EXISTS ix_m_bv_bv ON m_bv (id_bv)",
    "CREATE INDEX IF NOT EXISTS ix_t_dip_pk ON t_dip (id_pk)",
    "CREATE INDEX IF NOT EXISTS ix_t_bp_mel ON t_bp (id_mel, nom)",
};

const QString kNotOpen = QStringLiteral("База данных не открыта");
constexpr int kSqliteHeaderSize = 100;

// Empty when the file starts as an SQLite database of a format this program
// reads and writes, else why not. An empty file would open as a new
// database, and the upgrade would fail on its missing tables; it is refused
// as it is, and never filled: it may be a copy that went wrong, and whoever
// looks into it finds it as it was.
QString headerReason(const QString& path) {
    QFile f(path);
    if (!f.open(QIODevice::ReadOnly))
        return DbFileTexts::Unreadable(path, SystemReason(f.errorString()));
    if (f.size() == 0) return DbFileTexts::Empty(path);
    const QByteArray header = f.read(kSqliteHeaderSize);
    if (!header.startsWith(QByteArray("SQLite format 3\0", 16)))
        return DbFileTexts::NotADatabase(path);
    if (header.size() < kSqliteHeaderSize) return QString();  // the engine tells what is wrong
    // The versions to write and to read (1 journal, 2 write-ahead log) and
    // the schema format (1 to 4): a higher one is a newer engine's, which
    // this one opens read-only or not at all.
    const int writeVersion = quint8(header[18]);
    const int readVersion = quint8(header[19]);
    const quint32 schemaFormat = qFromBigEndian<quint32>(header.constData() + 44);
    if (writeVersion > 2 || readVersion > 2 || schemaFormat > 4)
        return DbFileTexts::NewerFormat(path);
    return QString();
}

// The engine could not write or open a file: where nothing may be written,
// that is the cause, which its own words ("attempt to write a readonly
// database") do not say. Any other reason, a damaged file's among them,
// stands as the engine gave it.
bool refusedToWrite(const QString& reason) {
    for (int code : {SQLITE_READONLY, SQLITE_CANTOPEN, SQLITE_PERM})
        if (reason == DatabaseReason(code)) return true;
    return false;
}

QString explainOpenFailure(const QFileInfo& file, const QString& reason) {
    if (IsGeneralDatabaseReason(reason)) return DbFileTexts::NotPrepared(file.absoluteFilePath());
    if (!refusedToWrite(reason)) return reason;
    // The open writes only what the upgrade must: a file refused a write
    // needs it.
    if (!MayWrite(file.absolutePath()))
        return DbFileTexts::UpgradeInReadOnlyFolder(file.absoluteFilePath());
    if (!MayWrite(file.absoluteFilePath()))
        return DbFileTexts::UpgradeOfReadOnlyFile(file.absoluteFilePath());
    return reason;
}

}  // namespace

namespace DbFileTexts {
QString Missing(const QString& file) {
    return QStringLiteral("Файл базы данных не найден: %1").arg(file);
}
QString Unreadable(const QString& file, const QString& why) {
    return WithReason(QStringLiteral("Файл %1 не читается").arg(file), why);
}
QString NotADatabase(const QString& file) {
    return QStringLiteral("Файл %1 не является базой данных.").arg(file);
}
QString Empty(const QString& file) {
    return QStringLiteral("Файл %1 пуст, базы данных в нём нет.").arg(file);
}
QString ReadOnlyFile(const QString& file) {
    return QStringLiteral("Файл базы данных доступен только для чтения: %1").arg(file);
}
QString ReadOnlyFolder(const QString& folder) {
    return QStringLiteral("Папка базы данных доступна только для чтения: %1").arg(folder);
}
QString UpgradeInReadOnlyFolder(const QString& file) {
    return QStringLiteral(
               "Файл %1 нужно обновить до формата программы, а папка базы данных доступна "
               "только для чтения.")
        .arg(file);
}
QString UpgradeOfReadOnlyFile(const QString& file) {
    return QStringLiteral(
               "Файл %1 нужно обновить до формата программы, а он доступен только для чтения.")
        .arg(file);
}
QString NewerFormat(const QString& file) {
    return QStringLiteral("Файл %1 записан в более новом формате базы данных, чем знает программа.")
        .arg(file);
}
QString NotProgramsDatabase(const QString& file) {
    return QStringLiteral(
               "Файл %1 не является базой данных программы или в нём недостаёт части её "
               "таблиц и полей.")
        .arg(file);
}
QString CountsBeyondLimits(const QString& file) {
    return QStringLiteral("В файле %1 есть количества вне пределов, которые допускает программа.")
        .arg(file);
}
QString NotPrepared(const QString& file) {
    return QStringLiteral(
               "Файл %1 не удалось подготовить к работе: его устройство отличается от "
               "базы данных программы.")
        .arg(file);
}
}  // namespace DbFileTexts

TFDM::TFDM(QObject* parent) : QObject(parent) {
    QSqlDatabase::addDatabase("QSQLITE", kConnectionName);
    QSqlDatabase::addDatabase("QSQLITE", kCopyConnectionName);
    defineDatasets();
    wireKeyCounters();
    ground_.FollowObjectList(Q_Net);
    if (!FDM) FDM = this;
}

TFDM::~TFDM() {
    Disconnect();
    qDeleteAll(all_);
    all_.clear();
    if (FDM == this) FDM = nullptr;
    ConnectCopy().close();
    QSqlDatabase::removeDatabase(kConnectionName);
    QSqlDatabase::removeDatabase(kCopyConnectionName);
}

Dataset* TFDM::make(const char* name, const QString& connection) {
    auto* ds = new Dataset(name, connection);
    all_ << ds;
    return ds;
}

// Every named dataset with its SQL, master and writable tables. Joined
// selects list their columns explicitly (see Dataset::SetSelect): a column
// found in one table keeps its name, a shared one is read as "k.id_pk".
void TFDM::defineDatasets() {
    auto one = [this](const char* name, const char* table, const QString& tail,
                      Dataset* master = nullptr) {
        Dataset* ds = make(name);
        ds->SetSelect({{"", table}}, tail);
        if (master) ds->SetMaster(master);
        return ds;
    };
    auto joined = [this](const char* name, const QList<S>& tables, const QString& tail,
                         const QString& primary, Dataset* master = nullptr) {
        Dataset* ds = make(name);
        ds->SetSelect(tables, tail, primary);
        if (master) ds->SetMaster(master);
        return ds;
    };

    Q_Net = one("Q_Net", "k_net", "WHERE NOT st_net LIKE 'восст%' ORDER BY id_net DESC");
    Q_Pod = one("Q_Pod", "k_pod", "WHERE id_net=:id_net", Q_Net);
    Q_MNpk = joined("Q_MNpk", kSwitchJoin, QString(kSwitchJoinWhere) + "ORDER BY d.id_dom, p.n_pod",
                    "k", Q_Net);
    Q_Matr = make("Q_Matr");
    Q_mpk = one("Q_mpk", "m_pk", "WHERE id_net=:id_net ORDER BY n_pk", Q_Net);
    Q_mbv = one("Q_mbv", "m_bv", "WHERE id_net=:id_net", Q_Net);
    Q_Tmp = make("Q_Tmp");
    Q_Dom = one("Q_Dom", "k_dom", "WHERE id_net=:id_net ORDER BY id_dom", Q_Net);
    Q_DPd = one("Q_DPd", "k_pod", "WHERE id_dom=:id_dom ORDER BY n_pod", Q_Dom);
    Q_pk = one("Q_pk", "k_pk", "WHERE id_net=:id_net ORDER BY n_net", Q_Net);
    Q_bv = one("Q_bv", "k_bv", "WHERE id_net=:id_net ORDER BY bv_type, n_net", Q_Net);
    Q_MNbv = joined("Q_MNbv", {{"m", "m_bv"}, {"k", "k_pk"}, {"b", "k_bv"}, {"p", "m_pk"}},
                    "WHERE m.id_bv = b.id_bv AND m.n_pk = p.n_pk AND m.id_net = p.id_net"
                    " AND k.id_pk = p.id_pk AND (m.plus=1 OR m.plus=3) AND k.id_pk = :k.id_pk"
                    " ORDER BY m.n_pk, m.n_bv",
                    "m", Q_MNpk);
    QRab = make("QRab");
    Q_Bpk = joined(
        "Q_Bpk", kPanelJoin,
        QString(kPanelJoinWhere) + "AND (v.plus=1 OR v.plus=3) AND v.id_bv =:id_bv ORDER BY m.n_pk",
        "v", Q_bv);
    Q_Kbv = joined("Q_Kbv",
                   {{"m", "m_bv"}, {"k", "k_pk"}, {"b", "k_bv"}, {"p", "m_pk"}, {"n", "k_net"}},
                   "WHERE n.id_net=m.id_net AND m.id_bv = b.id_bv AND m.n_pk = p.n_pk"
                   " AND m.id_net = p.id_net AND k.id_pk = p.id_pk AND m.plus = 1"
                   " AND m.bv_type = 1 AND b.id_net = :id_net ORDER BY m.n_bv, m.n_pk",
                   "m", Q_Net);
    Q_ke = one("Q_ke", "t_ke", "ORDER BY id_net DESC, name");
    Q_Mel = one("Q_Mel", "t_mel", "WHERE forr='отзвонка' OR forr='вызов' ORDER BY name");
    Q_Beep = one("Q_Beep", "t_bp", "WHERE id_mel=:id_mel ORDER BY nom", Q_Mel);
    Global = one("Global", "t_global", "");
    Q_Diap = one("Q_Diap", "t_dip", "WHERE id_pk=:k.id_pk ORDER BY id_dip", Q_MNpk);
    Q_bvk = one("Q_bvk", "m_bv",
                "WHERE bv_type=1 AND n_pk=:n_pk AND id_net=:m.id_net ORDER BY n_bv", Q_MNpk);
    Q_bvp = one("Q_bvp", "m_bv",
                "WHERE bv_type=0 AND n_pk=:n_pk AND id_net=:m.id_net ORDER BY n_bv", Q_MNpk);
    Q_Kvr = one("Q_Kvr", "k_kvr", "WHERE id_pod=:p.id_pod ORDER BY p_nom", Q_Bpk);
    Q_bvp0 = one("Q_bvp0", "m_bv",
                 "WHERE (plus=1 OR plus=3) AND bv_type=0 AND n_pk=:n_pk AND id_net=:m.id_net"
                 " ORDER BY n_bv",
                 Q_MNpk);
    Q_bvk1 = one("Q_bvk1", "m_bv",
                 "WHERE (plus=1 OR plus=3) AND bv_type=1 AND n_pk=:n_pk AND id_net=:m.id_net"
                 " ORDER BY n_bv",
                 Q_MNpk);
    Q_MelP = one("Q_MelP", "t_mel", "WHERE forr='посетитель' OR forr='абонент' ORDER BY name");
    Q_Bepo = one("Q_Bepo", "t_bp", "WHERE id_mel=:id_mel ORDER BY nom", Q_MelP);
    Q_PO = one("Q_PO", "k_po", "WHERE id_net=:id_net", Q_Net);
    Q_Kvp = one("Q_Kvp", "k_kvr", "WHERE id_pod=:id_pod ORDER BY p_nom", Q_DPd);
    Q_kv = one("Q_kv", "k_kvr", "WHERE id_net=:id_net ORDER BY id_pod, p_nom", Q_Net);
    Q_KvN = one("Q_KvN", "k_kvr", "WHERE id_pod=:p.id_pod ORDER BY p_nom", Q_MNpk);
    Q_Bpo = joined(
        "Q_Bpo", kPanelJoin,
        QString(kPanelJoinWhere) + "AND id_bv =:id_bv AND (v.plus=1 OR v.plus=3) ORDER BY k.n_net",
        "v", Q_bv);
    Q_key = one("Q_key", "k_key", "WHERE id_kvr=:id_kvr", Q_Kvr);
    Q_Pack = one("Q_Pack", "t_pack", "");
    Q_pkrd = one("Q_pkrd", "t_pkrd", "ORDER BY n_pk, s_pk");
    Q_pkwt = one("Q_pkwt", "t_pkwt", "ORDER BY n_pk, t_pk");
    QForKey = joined("QForKey", {{"d", "k_dom"}, {"p", "k_pod"}, {"v", "k_kvr"}},
                     "WHERE d.id_dom=p.id_dom AND p.id_pod=v.id_pod AND d.id_net=:id_net"
                     " ORDER BY d.id_dom, p.n_pod, v.p_nom",
                     "v", Q_Net);
    QKeys = one("QKeys", "k_key", "WHERE id_kvr=:id_kvr ORDER BY s_met", QForKey);
    QPodKey = joined("QPodKey", {{"d", "k_dom"}, {"p", "k_pod"}},
                     "WHERE d.id_dom=p.id_dom AND d.id_net=:id_net ORDER BY d.id_dom, p.n_pod", "p",
                     Q_Net);
    QOKeys =
        one("QOKeys", "k_key", "WHERE id_kvr=-1 AND id_pod=:id_pod ORDER BY s_met DESC", QPodKey);
    QSect = one("QSect", "t_sec", "WHERE id_net=:id_net ORDER BY id_net, n_net, n_sec", Q_Net);
    SPK_All = one("SPK_All", "k_pk", "");
    // Keys joined to their entrance: gate keys (id_kvr -2) hold a panel's id_bv in id_pod.
    HavKeys = joined(
        "HavKeys", {{"y", "k_key"}, {"k", "k_kvr"}, {"p", "k_pod"}, {"d", "k_dom"}, {"n", "k_net"}},
        "WHERE y.id_pod = p.id_pod AND y.id_kvr > -2 AND (k.id_kvr = y.id_kvr OR (y.id_kvr<0"
        " AND k.id_kvr=1)) AND p.id_dom = d.id_dom AND d.id_net = n.id_net ORDER BY bv_key",
        "y");
    Q_Kvr1 = one("Q_Kvr1", "k_kvr", "WHERE id_pod=:p.id_pod ORDER BY p_nom", Q_Bpo);
    QKvv = make("QKvv");
    Q_KvD =
        joined("Q_KvD", {{"k", "k_kvr"}, {"p", "k_pod"}},
               "WHERE k.id_pod=p.id_pod AND p.id_dom=:id_dom ORDER BY n_pod, p_nom", "k", Q_Dom);
    Q_Kvpk = one("Q_Kvpk", "k_kvr", "WHERE NOT l_trub AND id_pod=:id_pod ORDER BY p_nom", Q_Pod);
    SPO_All = one("SPO_All", "k_po", "");
    Q_Kvpt = one("Q_Kvpt", "k_kvr", "WHERE id_pod=:id_pod ORDER BY p_nom", Q_Pod);
    QKalKey = one("QKalKey", "k_bv", "WHERE bv_type=1 AND id_net=:id_net", Q_Net);
    QKKeys = one("QKKeys", "k_key", "WHERE id_kvr=-2 AND id_pod=:id_bv ORDER BY s_met", QKalKey);
    Q_JKey = joined("Q_JKey",
                    {{"v", "m_bv"}, {"m", "m_pk"}, {"k", "k_pk"}, {"p", "k_pod"}, {"y", "k_key"}},
                    "WHERE v.n_pk=m.n_pk AND v.id_net=m.id_net AND m.id_pk=k.id_pk"
                    " AND k.id_pod=p.id_pod AND p.id_pod=y.id_pod AND v.id_bv=:id_bv"
                    " AND y.id_kvr > -2",
                    "y", QKalKey);
    QAKeys = one("QAKeys", "k_key", "WHERE id_kvr > -2 AND id_pod=:id_pod", QPodKey);
    QWOKKey = make("QWOKKey");
    Q_bv_key = joined("Q_bv_key",
                      {{"v", "m_bv"},
                       {"m", "m_pk"},
                       {"k", "k_pk"},
                       {"p", "k_pod"},
                       {"d", "k_dom"},
                       {"y", "k_key"},
                       {"r", "k_kvr"}},
                      QString(kPanelJoinWhere) +
                          "AND v.plus =1 AND y.id_kvr=r.id_kvr AND r.id_pod=p.id_pod"
                          " AND v.id_bv =:id_bv",
                      "y", Q_bv);
    Q_Ppl =
        joined("Q_Ppl", {{"v", "k_kvr"}, {"d", "k_dom"}, {"p", "k_pod"}},
               "WHERE p.id_pod=v.id_pod AND p.id_dom=d.id_dom AND v.id_net=:id_net", "v", Q_Net);
    Q_Flg = make("Q_Flg");
    showAllFlags();
    CRab = make("CRab", kCopyConnectionName);
    Q_Bkk = joined("Q_Bkk", kPanelJoin,
                   QString(kPanelJoinWhere) + "AND v.plus = 2 AND v.id_bv =:id_bv ORDER BY m.n_net",
                   "v", Q_bv);
    Q_Kkk = make("Q_Kkk");
    // Gate keys hold a panel's id in id_pod, which may equal an entrance's.
    Q_Kkk->SetSql(
        "SELECT DISTINCT bv_key, id_pod FROM k_key WHERE id_pod=:p.id_pod AND id_kvr > -2");
    Q_Kkk->SetMaster(Q_Bkk);
    Q_kvv = one("Q_kvv", "k_kvr", "WHERE id_net=:id_net AND st_kvr='ввод' ORDER BY id_pod, p_nom",
                Q_Net);
    QNet = one("QNet", "k_net", "ORDER BY id_net DESC");
    SBV_ALL = one("SBV_ALL", "k_bv", "");
    Q_pk_po =
        joined("Q_pk_po", kSwitchJoin, QString(kSwitchJoinWhere) + "ORDER BY k.n_net", "k", Q_Net);
    Q_kv_pk = one("Q_kv_pk", "k_kvr", "WHERE id_pod=:p.id_pod ORDER BY p_nom", Q_pk_po);
    QwBpo = joined(
        "QwBpo", kPanelJoin,
        QString(kPanelJoinWhere) + "AND id_bv =:id_bv AND (plus=1 OR plus=3) ORDER BY k.n_net", "v",
        Q_bv);
    QwKvr = one("QwKvr", "k_kvr", "WHERE id_pod=:p.id_pod ORDER BY p_nom", QwBpo);
    QwKey = one("QwKey", "k_key", "WHERE id_kvr=:id_kvr", QwKvr);
    QWOKKey->SetSql(
        "SELECT DISTINCT bv_key, id_pod FROM k_key WHERE id_pod=:p.id_pod AND id_kvr = -1");
    QWOKKey->SetMaster(QwBpo);
    Q_key1 = one("Q_key1", "k_key", "WHERE id_kvr=:id_kvr", Q_Kvr1);
    readOnDemand();
}

// The one rule for the shared datasets: whatever reads one finds its rows
// for the current master records, whichever road led there, as a closed
// dataset opens when read. Left out are the work datasets whose text each
// user writes before opening them, and the search results, which hold rows
// only after a search. The matrix table's text follows the current object
// and is written out by its own opener.
void TFDM::readOnDemand() {
    const QList<Dataset*> ownText = {Q_Tmp, QRab, QKvv, CRab, HavKeys};
    for (Dataset* ds : std::as_const(all_)) ds->SetOpensWhenRead(!ownText.contains(ds));
    Q_Matr->SetOpener([this] { return ReopenMatrTable(); });
}

void TFDM::wireKeyCounters() {
    auto both = [](Dataset* ds, std::function<void()> fn) {
        ds->SetAfterPost([fn](Dataset&) { fn(); });
        ds->SetAfterDelete([fn](Dataset&) { fn(); });
    };
    both(Q_key, [this] { Q_keyAfterPost(); });
    both(QKeys, [this] { QKeysCount(); });
    for (Dataset* ds : {QOKeys, QKKeys, Q_JKey}) both(ds, [this] { QOKeysCount(); });
    for (Dataset* ds : {HavKeys, Q_bv_key, QwKey}) both(ds, [this] { Q_keyAfterPost(); });
    both(Q_key1, [this] { Q_key1AfterPost(); });
}

// ---------------------------------------------------------------- connection

QSqlDatabase TFDM::ConnectionDB() const {
    return QSqlDatabase::database(kConnectionName, false);
}

QSqlDatabase TFDM::ConnectCopy() const {
    return QSqlDatabase::database(kCopyConnectionName, false);
}

bool TFDM::Connected() const {
    return ConnectionDB().isOpen();
}

bool TFDM::ReadOnly() const {
    if (!Connected() || SqliteReadOnly(ConnectionDB())) return true;
    return !MayWrite(QFileInfo(dbPath_).absolutePath()) || !MayWrite(dbPath_);
}

bool TFDM::openDatabase(QString* error) {
    QSqlDatabase db = ConnectionDB();
    db.setDatabaseName(dbPath_);
    db.setConnectOptions("QSQLITE_BUSY_TIMEOUT=3000");
    if (!db.open()) {
        if (error) *error = LoggedDatabaseReason(db.lastError());
        return false;
    }
    ground_.WatchRemovals(db);
    return true;
}

bool TFDM::Connect(const QString& dbFilePath, QString* error) {
    const DataGround::FileReading reading(ground_);
    Disconnect();
    const QFileInfo info(dbFilePath);
    if (!info.isFile()) {
        if (error) *error = DbFileTexts::Missing(dbFilePath);
        return false;
    }
    if (const QString refused = headerReason(dbFilePath); !refused.isEmpty()) {
        if (error) *error = refused;
        return false;
    }
    // Every copy of the program counts as a user, whichever opened it first.
    // One that holds the file for itself (compaction) is about to replace
    // it: what another copy wrote now would be lost with the old file.
    if (!use_.LockShared(info.absoluteFilePath())) {
        if (error) *error = DatabaseReason(SQLITE_BUSY);
        return false;
    }
    dbPath_ = info.absoluteFilePath();

    // Another copy of the program may hold the lock; the file is shared then,
    // and only compaction needs it for itself.
    lock_ = std::make_unique<QLockFile>(info.absolutePath() + '/' + AppPaths::kDbLockName);
    lock_->setStaleLockTime(0);
    if (!lock_->tryLock(0)) lock_.reset();

    QString why;
    if (!openDatabase(&why) || !prepareForWork(&why)) {
        Disconnect();
        if (error) *error = explainOpenFailure(info, why);
        return false;
    }
    whole_ = true;
    return true;
}

// Everything the open writes (the upgrade, the indexes) and every check that
// may still refuse the file (its shape, the first reads of the global
// parameters and the object list) in one block of writes: a file refused at
// any step is left byte for byte as it was.
bool TFDM::prepareForWork(QString* why) {
    QSqlDatabase db = ConnectionDB();
    SqlTransaction open(db);
    if (!open.started()) {
        *why = open.LastError();
        return false;
    }
    SchemaUpgradeHooks hooks;
    // The counts are checked once the upgrade has set those it sets, and
    // before the first reader uses one (the matrix table's columns).
    hooks.openMatrTable = [this](QSqlDatabase&, QString* e) {
        return countsWithinLimits(e) && openUpgradeDatasets(e);
    };
    hooks.afterFlagTable = [this](QSqlDatabase&, QString* e) {
        if (reopenFlagList() && openListed({Q_Bkk, Q_Kkk}, true)) return true;
        if (e) *e = lastError_;
        return false;
    };
    const bool ready = isWhole(why) && hasProgramShape(why) && UpgradeSchema(db, hooks, why) &&
                       ensureIndexes(why) && readFirstLists(why);
    if (ready && open.Commit()) return true;
    if (ready) *why = open.LastError();
    open.Rollback();
    return false;
}

// A file that fits passes; else the engine's reason when it could not be
// read, the refusal when it differs (and what differs to the log).
bool TFDM::passes(const DatabaseFileCheck& check, const QString& refusal, QString* why) const {
    if (check.Fits()) return true;
    if (!check.read) {
        *why = check.error;
        return false;
    }
    qWarning("Database %s: %s", qPrintable(dbPath_), qPrintable(check.difference));
    *why = refusal;
    return false;
}

bool TFDM::hasProgramShape(QString* why) {
    return passes(CheckDatabaseShape(ConnectionDB()), DbFileTexts::NotProgramsDatabase(dbPath_),
                  why);
}

// The engine's quick check reads every page of the file before anything is
// written into it: a write into a damaged file can spread the damage. A
// file as the program left it after such a check is not read through again.
bool TFDM::isWhole(QString* why) {
    if (CheckedDatabases::Unchanged(dbPath_)) return true;
    QSqlQuery q(ConnectionDB());
    q.setForwardOnly(true);
    const QString sql = QStringLiteral("PRAGMA quick_check(1)");
    DatabaseFileCheck pages;
    pages.read = q.exec(sql);
    if (!pages.read) pages.error = LoggedDatabaseReason(q.lastError(), sql);
    const QString verdict = q.next() ? q.value(0).toString() : QStringLiteral("no verdict");
    if (pages.read && verdict != QLatin1String("ok")) pages.difference = verdict;
    return passes(pages, DatabaseReason(SQLITE_CORRUPT), why);
}

bool TFDM::countsWithinLimits(QString* why) {
    return passes(CheckStoredCounts(ConnectionDB()), DbFileTexts::CountsBeyondLimits(dbPath_), why);
}

// The global parameters and the object list are read right after the open:
// a database whose lists cannot be read is not taken.
bool TFDM::readFirstLists(QString* why) {
    if (EnsureRead({Global, Q_Net})) return true;
    *why = lastError_;
    return false;
}

void TFDM::Disconnect() {
    ground_.FileChanging();
    for (Dataset* ds : std::as_const(all_)) ds->Close();
    QSqlDatabase db = ConnectionDB();
    if (db.isOpen()) db.close();
    // Checked at its open, written since only through the engine: the next
    // open finds it as the program left it, unless another writer came.
    if (std::exchange(whole_, false)) CheckedDatabases::Remember(dbPath_);
    use_.Release();  // after the close: see FileUseLock
    lock_.reset();
    dbPath_.clear();
}

// The datasets the schema upgrade opens once the columns are in place; any
// other is read on its first use.
bool TFDM::openUpgradeDatasets(QString* error) {
    const bool ok = openListed({Q_pk, Q_PO, Q_bv, Q_MNpk, Q_MNbv, Q_Bpk, Q_Bpo, Q_Kbv, Q_Diap,
                                Q_key, QForKey, QKeys, QPodKey, QOKeys, QKalKey, QKKeys, Q_Mel,
                                Q_Beep, Q_MelP, Q_Bepo},
                               true) &&
                    (!openMatrTableHook_ || openMatrTableHook_(&lastError_));
    if (!ok && error) *error = lastError_;
    return ok;
}

// Only the missing indexes are made. A file without them opens also where
// nothing can be written, only slower: they are the program's, not the
// file's.
bool TFDM::ensureIndexes(QString* error) {
    QSqlQuery q(ConnectionDB());
    q.setForwardOnly(true);
    const QString names = QStringLiteral("SELECT name FROM sqlite_master WHERE type = 'index'");
    if (!q.exec(names)) {
        if (error) *error = LoggedDatabaseReason(q.lastError(), names);
        return false;
    }
    QSet<QString> present;
    while (q.next()) present.insert(q.value(0).toString().toLower());
    QStringList statements = StoredCountIndexes();
    for (const char* sql : kIndexes) statements << QString::fromLatin1(sql);
    for (const QString& sql : std::as_const(statements)) {
        const QString index = sql.section(QLatin1Char(' '), 5, 5);
        if (present.contains(index.toLower())) continue;
        if (q.exec(sql)) continue;
        if (refusedToWrite(DatabaseReason(q.lastError()))) return true;
        if (error) *error = LoggedDatabaseReason(q.lastError(), sql);
        return false;
    }
    return true;
}

// The flag-table upgrade leaves the names of both types ordered by table,
// then number, whatever type the global parameters form was showing.
void TFDM::showAllFlags() {
    Q_Flg->SetSelect({{"", "t_fl"}}, "ORDER BY tabl, nomf");
}

bool TFDM::reopenFlagList() {
    showAllFlags();
    return Q_Flg->Open() || failWith(Q_Flg);
}

// The operator reads the reason; which dataset failed is for the log.
bool TFDM::failWith(const Dataset* ds) {
    lastError_ = ds->LastError();
    qWarning("Dataset %s: %s", qPrintable(ds->Name()), qPrintable(lastError_));
    return false;
}

bool TFDM::openListed(const QList<Dataset*>& list, bool onlyClosed) {
    for (Dataset* ds : list) {
        if (onlyClosed && ds->IsOpen()) continue;
        if (!ds->Open()) return failWith(ds);
    }
    return true;
}

bool TFDM::reopenListed(const QList<Dataset*>& list) {
    for (Dataset* ds : list) {
        ds->Close();
        if (!ds->Open()) return failWith(ds);
    }
    return true;
}

// ---------------------------------------------------------------- refresh groups

bool TFDM::ReopenMelodies() {
    return reopenListed({Q_Mel, Q_Beep, Q_MelP, Q_Bepo});
}

bool TFDM::ReopenCallBlocks() {
    return reopenListed({Q_bv, Q_MNbv, Q_Kbv, Q_bvp0, Q_bvk1, Q_bvp, Q_bvk});
}

bool TFDM::ReopenSwitches() {
    const int recNo = Q_MNpk->RecNo();
    const bool ok = reopenListed({Q_MNpk, Q_Bpk, Q_pk, Q_Bpo});
    if (recNo > 0) Q_MNpk->SetRecNo(recNo);
    return ok;
}

bool TFDM::EnsureRead(const QList<Dataset*>& datasets) {
    for (Dataset* ds : datasets)
        if (!ds->EnsureRead()) {
            if (!Connected())
                lastError_ = kNotOpen;
            else
                failWith(ds);
            return false;
        }
    return true;
}

bool TFDM::ReopenApartments() {
    return reopenListed({Q_Kvp, Q_Kvr, Q_KvN, Q_kv, Q_key});
}

bool TFDM::ReopenKeys() {
    for (Dataset* ds : {QForKey, QPodKey, QKalKey}) {
        const int recNo = ds->IsOpen() ? ds->RecNo() : 0;
        if (!reopenListed({ds})) return false;
        if (recNo > 0) ds->SetRecNo(recNo);
    }
    return reopenListed({QKeys, QOKeys, QKKeys, Q_key});
}

bool TFDM::OpenAllTables(const ProgressFn& progress) {
    constexpr int kSteps = 33;
    int step = 0;
    auto gauge = [&](bool visible = true) {
        if (progress) progress(step, kSteps, visible);
    };
    auto advance = [&] {
        ++step;
        gauge();
    };
    // The gauge is hidden on every way out.
    struct HideGauge {
        std::function<void()> hide;
        ~HideGauge() { hide(); }
    } hideGauge{[&] {
        step = kSteps;
        gauge(false);
    }};
    gauge();
    lastError_.clear();
    if (dbPath_.isEmpty()) {
        lastError_ = kNotOpen;
        return false;
    }

    const QList<Dataset*> kept = {Q_Net,   Q_Dom, Q_Pod,   Q_DPd,  Q_pk,    Q_bv,
                                  Q_MNpk,  Q_Kvr, Q_Kvp,   Q_KvN,  Q_kv,    Q_key,
                                  QForKey, QKeys, QPodKey, QOKeys, QKalKey, QKKeys};
    QHash<Dataset*, int> recNos;
    for (Dataset* ds : kept) recNos[ds] = ds->IsOpen() ? ds->RecNo() : 0;
    if (!Q_Net->IsOpen() || Q_Net->IsEmpty()) recNos[Q_Net] = -1;

    const DataGround::FileReading reading(ground_);
    ground_.FileChanging();
    // Closing the connection closes every dataset on it.
    for (Dataset* ds : std::as_const(all_))
        if (ds->ConnectionName() == kConnectionName) ds->Close();
    ConnectionDB().close();
    // The file may have changed under the program since it was opened: one
    // that no longer reads is checked in full at its next open.
    whole_ = false;
    QString why;
    if (!openDatabase(&why) || !hasProgramShape(&why) || !countsWithinLimits(&why)) {
        lastError_ = why;
        return false;
    }
    advance();

    const QList<Dataset*> order = {Global,  Q_Net,  Q_mpk,   Q_mbv,  Q_Dom, Q_Pod, Q_DPd,   Q_pk,
                                   Q_bv,    Q_MNpk, Q_MNbv,  Q_Bpk,  Q_Bpo, Q_Kbv, Q_ke,    Q_Diap,
                                   Q_PO,    Q_Kvr,  Q_Kvp,   Q_KvN,  Q_kv,  Q_key, QForKey, QKeys,
                                   QPodKey, QOKeys, QKalKey, QKKeys, Q_Flg};
    for (Dataset* ds : order) {
        if (!ds->IsOpen() && !ds->Open()) return failWith(ds);
        if (recNos.contains(ds)) ds->SetRecNo(recNos.value(ds));
        advance();
    }

    if (openMatrTableHook_ && !openMatrTableHook_(&lastError_)) return false;
    advance();
    if (!ReopenMelodies()) return false;
    advance();
    QSqlDatabase db = ConnectionDB();
    if (!UpgradeFlagTable(db, &why)) {
        lastError_ = why;
        return false;
    }
    if (!reopenFlagList()) return false;
    advance();
    whole_ = openListed({Q_Bkk, Q_Kkk}, true);
    return whole_;
}

// ---------------------------------------------------------------- counters

int TFDM::CountCallCodeInHouse(const QString& code, int houseId) {
    QKvv->SetSelect({{"k", "k_kvr"}, {"d", "k_dom"}, {"p", "k_pod"}},
                    "WHERE k.id_net=:id_net AND k.id_pod=p.id_pod AND p.id_dom=d.id_dom"
                    " AND NOT k.l_trub AND k.p_kvr=:code AND d.id_dom=:id_dom",
                    "k");
    QKvv->SetParam("id_net", Q_Net->FieldByName("id_net").Value());
    QKvv->SetParam("code", code);
    QKvv->SetParam("id_dom", houseId);
    if (!QKvv->Open()) {
        failWith(QKvv);
        return -1;
    }
    return QKvv->RecordCount();
}

namespace {

bool hasCurrentRow(const Dataset* ds) {
    return ds->RecNo() > 0;
}

// The owner's counters taken from the key rows by write, then its row in the
// list read again; a failure is kept in *failure for the key's writer.
void recount(Dataset* owner, const char* table, const char* key,
             const std::function<bool(qint64, QString*)>& write, QString* failure) {
    if (!hasCurrentRow(owner)) return;
    QString error;
    if (!write(owner->FieldByName(QLatin1String(key)).AsLargeInt(), &error)) {
        *failure = error;
        qWarning("Key counter on %s: %s", qPrintable(owner->Name()), qPrintable(error));
        return;
    }
    owner->RereadCurrentRow(QLatin1String(table));
}

}  // namespace

void TFDM::recountApartment(Dataset* apartment, KeyCounters::Quota rule) {
    QSqlDatabase db = ConnectionDB();
    recount(
        apartment, "k_kvr", "id_kvr",
        [&](qint64 id, QString* error) {
            return KeyCounters::RecountApartment(db, id, rule, error);
        },
        &counterFailure_);
}

// Keys of the current key-screen apartment: the quota follows the count,
// never below it, and falls back to the object's default at most.
void TFDM::QKeysCount() {
    recountApartment(QForKey, KeyCounters::Quota::FollowsCount);
}

// The apartment lists keep a quota above the count, unless the count is
// below the object's default, which then becomes the quota.
void TFDM::Q_keyAfterPost() {
    recountApartment(Q_Kvr, KeyCounters::Quota::KeptAbove);
}

void TFDM::Q_key1AfterPost() {
    recountApartment(Q_Kvr1, KeyCounters::Quota::KeptAbove);
}

// Common keys of the current entrance.
void TFDM::QOKeysCount() {
    QSqlDatabase db = ConnectionDB();
    recount(
        QPodKey, "k_pod", "id_pod",
        [&](qint64 id, QString* error) { return KeyCounters::RecountCommon(db, id, error); },
        &counterFailure_);
}

QString TFDM::TakeCounterFailure() {
    return std::exchange(counterFailure_, QString());
}
