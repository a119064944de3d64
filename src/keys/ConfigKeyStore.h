#pragma once
// The key register as the entry of a panel file's keys writes it: each key
// list the entry touches (the keys of an entrance's apartments, an entrance's
// common keys, a gate's keys) read once, in the order the data module's key
// lists show it; each key entered or confirmed by a statement prepared once;
// and the counters the data module keeps on every post of a key (the
// apartment's quota and count, the entrance's common-key counts) written once
// at the end, with the values those posts would have left.
//
// A key is looked for only in its own list: an apartment's, an entrance's
// common keys, a gate's. A key found is confirmed: its status gets the mark
// of an existing key and the date.

#include "keys/KeyRowWriter.h"

#include <QDate>
#include <QHash>
#include <QSet>
#include <QSqlDatabase>
#include <QString>
#include <QVariant>
#include <QVector>

class ConfigKeyStore {
  public:
    enum class Stored { Entered, Confirmed, Failed };

    // objectKeyQuota: the object's key quota (k_net.v_key).
    ConfigKeyStore(const QSqlDatabase& db, int objectKeyQuota, const QDate& today);

    bool Prepared() const { return keys_.Prepared() && confirm_.Prepared(); }

    // The key of a row into its list (row.idKvr: an apartment of entrance
    // row.idPod, -1 a common key of it, -2 a key of gate row.idPod); row.status
    // is the mark of a new key.
    Stored Store(const NewKeyRow& row);
    // The reason a store failed when the failure was the database's as a
    // whole (a full disk, a damaged file...) rather than its key's: the
    // entry stops there and rolls back. Empty otherwise.
    QString DatabaseFailure() const;
    // The entrance whose common-key counts the data module takes again after
    // a gate key's post: the one its common-key list stands on.
    void RecountCommonKeys(const QVariant& idPod) { recounts_.insert(idPod.toLongLong()); }

    // The counters after the keys stored; false with the reason when the
    // database refuses.
    bool WriteCounters(QString* error);

  private:
    struct Key {
        QString code;
        qint64 rowid = 0;
        QString status;
    };
    using KeyList = QVector<Key>;
    struct Counts {
        qint64 quota = 0;  // x_key
        qint64 keys = 0;   // y_key
    };

    KeyList* listOf(const NewKeyRow& row);
    bool readEntranceApartments(qint64 idPod);
    bool readList(KeyList& list, const QString& sql, qint64 id);
    void countApartment(qint64 idKvr, qint64 keys);

    QSqlDatabase db_;
    int objectKeyQuota_;
    QDate today_;
    KeyRowInserter keys_;
    BoundStatement confirm_;
    QSet<qint64> entrancesRead_;
    QHash<qint64, KeyList> apartments_;  // by id_kvr
    QHash<qint64, Counts> counts_;       // by id_kvr, as read
    QSet<qint64> counted_;               // apartments whose counters follow
    QHash<qint64, KeyList> commons_;     // by id_pod
    QHash<qint64, KeyList> gates_;       // by id_bv
    QSet<qint64> recounts_;              // entrances whose common counts follow
    QString error_;
    QString databaseFailure_;
};
