#include "keys/ConfigKeyStore.h"

#include "foundation/CountLimits.h"
#include "foundation/KeyCounters.h"
#include "keys/ConfigKeyEntry.h"
#include "keys/KeyNumber.h"
#include "keys/KeyRegister.h"
#include "platform/DatabaseErrorText.h"

namespace {

// The lists in the order the data module's datasets show them: an
// apartment's keys as they were entered, an entrance's common keys by label
// from the last, a gate's by label.
const QString kCommonKeys = QStringLiteral(
    "SELECT bv_key, rowid, status FROM k_key WHERE id_kvr=-1 AND id_pod=? ORDER BY s_met DESC");
const QString kGateKeys = QStringLiteral(
    "SELECT bv_key, rowid, status FROM k_key WHERE id_kvr=-2 AND id_pod=? ORDER BY s_met");

}  // namespace

ConfigKeyStore::ConfigKeyStore(const QSqlDatabase& db, int objectKeyQuota, const QDate& today)
    : db_(db),
      objectKeyQuota_(objectKeyQuota),
      today_(today),
      keys_(db),
      confirm_(db, QStringLiteral("UPDATE k_key SET status=? WHERE rowid=?")) {}

QString ConfigKeyStore::DatabaseFailure() const {
    if (!keys_.Prepared()) return keys_.DatabaseFailure();
    if (!confirm_.Prepared()) return confirm_.LastError();
    return databaseFailure_;
}

ConfigKeyStore::Stored ConfigKeyStore::Store(const NewKeyRow& row) {
    KeyList* list = listOf(row);
    if (!list) return Stored::Failed;
    Stored stored = Stored::Entered;
    const auto found =
        std::find_if(list->begin(), list->end(), [&](const Key& k) { return k.code == row.code; });
    if (found != list->end()) {
        const QString status = KeyLabel::Dated(ConfigKeyMarks::ForExisting(found->status), today_);
        if (status != found->status && !confirm_.Bind(0, status).Bind(1, found->rowid).Exec()) {
            if (IsDatabaseWideFailure(confirm_.LastResultCode()))
                databaseFailure_ = confirm_.LastError();
            return Stored::Failed;
        }
        found->status = status;
        stored = Stored::Confirmed;
    } else {
        if (!keys_.Insert(row)) {
            databaseFailure_ = keys_.DatabaseFailure();
            return Stored::Failed;
        }
        list->append(Key{row.code, keys_.LastInsertId(), row.status});
    }
    // The counters the data module takes on every post of the list.
    if (row.idKvr > 0)
        countApartment(row.idKvr, list->size());
    else if (row.idKvr == KeyRegister::kCommonOwner)
        RecountCommonKeys(row.idPod);
    return stored;
}

ConfigKeyStore::KeyList* ConfigKeyStore::listOf(const NewKeyRow& row) {
    const qint64 owner = row.idPod.toLongLong();
    if (row.idKvr > 0) {
        if (!entrancesRead_.contains(owner) && !readEntranceApartments(owner)) return nullptr;
        return &apartments_[row.idKvr];
    }
    const bool common = row.idKvr == KeyRegister::kCommonOwner;
    QHash<qint64, KeyList>& lists = common ? commons_ : gates_;
    auto at = lists.find(owner);
    if (at == lists.end()) {
        KeyList list;
        if (!readList(list, common ? kCommonKeys : kGateKeys, owner)) return nullptr;
        at = lists.insert(owner, list);
    }
    return &*at;
}

// The keys and counters of every apartment of the entrance at once.
bool ConfigKeyStore::readEntranceApartments(qint64 idPod) {
    BoundStatement counts(db_,
                          QStringLiteral("SELECT id_kvr, x_key, y_key FROM k_kvr WHERE id_pod=?"));
    counts.Bind(0, idPod);
    while (counts.Next())
        counts_.insert(counts.Value(0).toLongLong(),
                       Counts{counts.Value(1).toLongLong(), counts.Value(2).toLongLong()});
    BoundStatement keys(db_, QStringLiteral("SELECT y.id_kvr, y.bv_key, y.rowid, y.status"
                                            " FROM k_key y, k_kvr r WHERE y.id_kvr = r.id_kvr"
                                            " AND r.id_pod = ? ORDER BY y.rowid"));
    keys.Bind(0, idPod);
    while (keys.Next())
        apartments_[keys.Value(0).toLongLong()].append(
            Key{keys.Value(1).toString(), keys.Value(2).toLongLong(), keys.Value(3).toString()});
    if (!counts.LastError().isEmpty() || !keys.LastError().isEmpty()) return false;
    entrancesRead_.insert(idPod);
    return true;
}

bool ConfigKeyStore::readList(KeyList& list, const QString& sql, qint64 id) {
    BoundStatement q(db_, sql);
    q.Bind(0, id);
    while (q.Next())
        list.append(Key{q.Value(0).toString(), q.Value(1).toLongLong(), q.Value(2).toString()});
    return q.LastError().isEmpty();
}

// The apartment's quota follows its count, never below it; a count below
// the object's quota raises the quota to that.
void ConfigKeyStore::countApartment(qint64 idKvr, qint64 keys) {
    const qint64 n = CountLimits::CountedKeys(keys);
    Counts& c = counts_[idKvr];
    if (n >= c.quota)
        c.quota = n;
    else if (n < objectKeyQuota_)
        c.quota = objectKeyQuota_;
    c.keys = n;
    counted_.insert(idKvr);
}

bool ConfigKeyStore::WriteCounters(QString* error) {
    BoundStatement apartments(db_,
                              QStringLiteral("UPDATE k_kvr SET x_key=?, y_key=? WHERE id_kvr=?"));
    for (qint64 idKvr : std::as_const(counted_)) {
        const Counts& c = counts_[idKvr];
        if (!apartments.Bind(0, c.quota).Bind(1, c.keys).Bind(2, idKvr).Exec()) {
            if (error) *error = apartments.LastError();
            return false;
        }
    }
    for (qint64 idPod : std::as_const(recounts_))
        if (!KeyCounters::RecountCommon(db_, idPod, error)) return false;
    return true;
}
