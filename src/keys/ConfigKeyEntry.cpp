#include "keys/ConfigKeyEntry.h"

#include "config/EditorCell.h"
#include "foundation/BitAndStr.h"
#include "foundation/BoundSql.h"
#include "keys/ConfigKeyStore.h"
#include "keys/KeyChangeFlags.h"
#include "keys/KeyNumber.h"
#include "keys/KeyRegister.h"
#include "keys/KeyRowWriter.h"
#include "foundation/ProgressSteps.h"
#include "platform/DatabaseErrorText.h"
#include "platform/Dialogs.h"

#include <QDate>
#include <QSqlError>

#include <limits>

using KeyData::HasRow;

namespace ConfigKeyMarks {
QString Section5() {
    return QStringLiteral("CNF ");
}
QString Confirmed() {
    return QStringLiteral("АРМ+CNF ");
}
QString Section6() {
    return QStringLiteral("CNF 6c ");
}
QString NoApartment() {
    return QStringLiteral("CNF несущ.кв. ");
}
QString Common7() {
    return QStringLiteral("CNF 7с o ");
}
QString Gate7() {
    return QStringLiteral("CNF 7с k ");
}
QString ForExisting(const QString& oldStatus) {
    return oldStatus.startsWith(QStringLiteral("АРМ")) ? Confirmed() : Section5();
}
}  // namespace ConfigKeyMarks

QString ConfigKeyEntryResult::FoundText() const {
    return entered > 0 ? QStringLiteral("Внесено ключей: %1.").arg(entered) : QString();
}

QString ConfigKeyEntryResult::KeysText() const {
    return confirmed > 0 ? QStringLiteral("Подтверждено ключей: %1.").arg(confirmed) : QString();
}

// ---------------------------------------------------------------- the plan

namespace {

const QString kKeyEntryError = QStringLiteral("Ошибка");

// The key of a cell when it is one to store: never a blank, a malformed
// cell or the empty-slot mark.
QString storableKey(const QString& cell) {
    const QString key = KeyNumber::CellPanelKey(cell);
    return key == EmptyKeyText() ? QString() : key;
}

QString badIndexText(int section, int row, const QString& cell) {
    return QStringLiteral(
               "Секция %1, строка %2: индекс квартиры \"%3\" не является целым числом. "
               "Ключи не внесены.")
        .arg(section)
        .arg(row)
        .arg(cell.trimmed());
}

// Every index cell is read before anything is written, so a mistyped one
// cannot leave half an entry behind.
QString firstBadIndex(const Keys5List& keys5, const Keys6List& keys6) {
    qint64 value = 0;
    for (int i = 0; i < keys5.rows.size(); ++i)
        if (CellNumber(keys5.rows[i].apartment, value) == Cell::Bad)
            return badIndexText(5, i + 1, keys5.rows[i].apartment);
    for (int i = 0; i < keys6.rows.size(); ++i)
        if (CellNumber(keys6.rows[i].apartment, value) == Cell::Bad)
            return badIndexText(6, i + 1, keys6.rows[i].apartment);
    return QString();
}

class Planner {
  public:
    Planner(const QList<int>& counts, ConfigKeyPlan& plan) : plan_(plan) {
        for (int c : counts) apartments_ += c;
        entrances_ = int(counts.size());
    }

    // Rows are taken by their apartment index in walk order: a smaller index
    // than the apartment's is passed over, a larger one waits for its
    // apartment, a blank one is passed over.
    void Section5(const Keys5List& keys5, bool leftoversToLast) {
        const auto& rows = keys5.rows;
        int i = 0;
        for (qint64 n = 1; n <= apartments_; ++n) {
            while (i < rows.size()) {
                qint64 idx = 0;
                if (CellNumber(rows[i].apartment, idx) != Cell::Number) {
                    ++i;
                    continue;
                }
                if (idx > n) break;
                if (idx == n) add(ImportedKeyKind::Section5, rows[i].key, n, -1, 5, i);
                ++i;
            }
        }
        // Rows beyond the walk go to its last apartment, their indexes unread.
        if (!leftoversToLast || apartments_ == 0) return;
        for (; i < rows.size(); ++i)
            add(ImportedKeyKind::Section5, rows[i].key, apartments_, -1, 5, i);
    }

    void Section6(const Keys6List& keys6) {
        const auto& rows = keys6.rows;
        if (rows.isEmpty() || rows[0].apartment.trimmed().isEmpty()) return;
        for (int i = 0; i < rows.size(); ++i) {
            qint64 idx = 0;
            if (CellNumber(rows[i].apartment, idx) != Cell::Number) continue;
            if (idx >= 1 && idx <= apartments_)
                add(ImportedKeyKind::Section6, rows[i].key, idx, -1, 6, i);
            else if (entrances_ > 0)
                add(ImportedKeyKind::NoApartment, rows[i].key, 0, entrances_ - 1, 6, i);
        }
    }

    void Section7(const Keys7List& keys7, bool gatePanel) {
        const QStringList& keys = keys7.keys;
        if (gatePanel) {
            if (keys.isEmpty() || keys[0].trimmed().isEmpty()) return;
            for (int i = 0; i < keys.size(); ++i) add(ImportedKeyKind::Gate, keys[i], 0, -1, 7, i);
            return;
        }
        if (entrances_ == 0) return;
        for (int i = 0; i < keys.size(); ++i)
            add(ImportedKeyKind::Common, keys[i], 0, entrances_ - 1, 7, i);
    }

  private:
    void add(ImportedKeyKind kind, const QString& cell, qint64 apartment, int entrance, int section,
             int index) {
        const QString key = storableKey(cell);
        if (key.isEmpty()) return;
        plan_.keys << ImportedKey{kind, key, apartment, entrance, section, index + 1};
    }

    ConfigKeyPlan& plan_;
    qint64 apartments_ = 0;
    int entrances_ = 0;
};

}  // namespace

ConfigKeyPlan PlanConfigKeyEntry(const QList<int>& apartmentCounts, const Keys5List& keys5,
                                 const Keys6List& keys6, const Keys7List& keys7,
                                 const ConfigKeyEntryOptions& options, bool gatePanel) {
    ConfigKeyPlan plan;
    if (options.apartments) {
        plan.error = firstBadIndex(keys5, keys6);
        if (!plan.error.isEmpty()) return plan;
    }
    Planner planner(apartmentCounts, plan);
    if (options.apartments) {
        planner.Section5(keys5, options.common);
        planner.Section6(keys6);
    }
    if (options.common) planner.Section7(keys7, gatePanel);
    return plan;
}

// ---------------------------------------------------------------- the entry

namespace {

using Stored = ConfigKeyStore::Stored;

// Where each key of the plan goes, and the data module's lists put where the
// entry leaves them: the key screen's entrance on the entrance of the last
// common key, its gate on the gate, the panel's entrance list on the entrance
// of the last apartment key.
class ConfigKeyWriter {
  public:
    ConfigKeyWriter(TFDM& dm, const ConfigFileIdent& ident, const PanelKeyWalk& walk)
        : dm_(dm),
          ident_(ident),
          walk_(walk),
          today_(QDate::currentDate()),
          idNet_(dm.Q_Net->FieldByName(QStringLiteral("id_net")).Value()),
          store_(dm.ConnectionDB(), dm.Q_Net->FieldByName(QStringLiteral("v_key")).AsInt(),
                 today_) {}

    bool Open() { return store_.Prepared(); }
    QString DatabaseFailure() const { return store_.DatabaseFailure(); }

    Stored Store(const ImportedKey& key) {
        switch (key.kind) {
            case ImportedKeyKind::Section5:
            case ImportedKeyKind::Section6:
                return apartmentKey(key);
            case ImportedKeyKind::NoApartment:
            case ImportedKeyKind::Common:
                return commonKey(key);
            case ImportedKeyKind::Gate:
                return gateKey(key);
        }
        return Stored::Failed;
    }

    // The counters and the panel's entrance list after the last key.
    bool Finish(QString* error) {
        if (lastEntrance_ >= 0) dm_.Q_Bpo->SetRecNo(lastEntrance_ + 1);
        return store_.WriteCounters(error);
    }

    KeyChangeFlags& Marks() { return marks_; }

  private:
    Stored apartmentKey(const ImportedKey& key) {
        const WalkApartment at = walk_.At(key.apartment);
        if (at.entrance < 0) return Stored::Failed;
        lastEntrance_ = at.entrance;
        const WalkEntrance& entrance = walk_.entrances[at.entrance];
        const QString mark = key.kind == ImportedKeyKind::Section6 ? ConfigKeyMarks::Section6()
                                                                   : ConfigKeyMarks::Section5();
        const Stored stored = store_.Store(
            newRow(key.key, entrance.idPod, entrance.apartments[at.position], false, mark));
        if (stored == Stored::Entered) marks_.SetSwitchOfEntrance(dm_, entrance.idPod);
        return stored;
    }

    Stored commonKey(const ImportedKey& key) {
        const WalkEntrance& entrance = walk_.entrances[key.entrance];
        if (!dm_.QPodKey->Locate(QStringLiteral("id_pod"), entrance.idPod)) return Stored::Failed;
        const QString mark = key.kind == ImportedKeyKind::Common ? ConfigKeyMarks::Common7()
                                                                 : ConfigKeyMarks::NoApartment();
        const Stored stored =
            store_.Store(newRow(key.key, entrance.idPod, KeyRegister::kCommonOwner, true, mark));
        if (stored == Stored::Entered) marks_.SetSwitchOfEntrance(dm_, entrance.idPod);
        return stored;
    }

    Stored gateKey(const ImportedKey& key) {
        if (!dm_.QKalKey->Locate(QStringLiteral("id_bv"), ident_.idBv)) return Stored::Failed;
        const Stored stored = store_.Store(
            newRow(key.key, ident_.idBv, KeyRegister::kGateOwner, true, ConfigKeyMarks::Gate7()));
        if (stored == Stored::Failed) return stored;
        // A gate key's post takes the counts of the entrance the key
        // screen stands on again.
        if (HasRow(dm_.QPodKey))
            store_.RecountCommonKeys(dm_.QPodKey->FieldByName(QStringLiteral("id_pod")).Value());
        if (stored == Stored::Entered)
            marks_.Set(dm_.QKalKey->FieldByName(QStringLiteral("n_net")).AsInt());
        return stored;
    }

    NewKeyRow newRow(const QString& key, const QVariant& idPod, qint64 idKvr, bool common,
                     const QString& mark) const {
        return NewKeyRow{PadLeft(key, QLatin1Char('0'), KeyNumber::kFullDigits),
                         key,
                         idPod,
                         idKvr,
                         common,
                         idNet_,
                         QString(),
                         KeyLabel::Dated(mark, today_)};
    }

    TFDM& dm_;
    const ConfigFileIdent& ident_;
    const PanelKeyWalk& walk_;
    const QDate today_;
    const QVariant idNet_;
    ConfigKeyStore store_;
    KeyChangeFlags marks_;
    int lastEntrance_ = -1;  // the walk entrance of the last apartment key
};

// Where a key stands on the gauge: sections 5, 6 and 7 one after another.
class EntryGauge {
  public:
    EntryGauge(const ProgressFn& progress, const Keys5List& k5, const Keys6List& k6,
               const Keys7List& k7)
        : size5_(qMax<qint64>(k5.kolSl5, k5.rows.size())),
          size6_(qMax<qint64>(k6.kolSl6, k6.rows.size())),
          steps_(progress,
                 int(qMin<qint64>(size5_ + size6_ + qMax<qint64>(k7.kolSl7, k7.keys.size()),
                                  std::numeric_limits<int>::max()))) {}

    void At(const ImportedKey& key) {
        qint64 offset = 0;
        if (key.section >= 6) offset += size5_;
        if (key.section >= 7) offset += size6_;
        steps_.MoveTo(int(qMin<qint64>(offset + key.row, std::numeric_limits<int>::max())));
    }
    void End() { steps_.MoveTo(std::numeric_limits<int>::max()); }

  private:
    qint64 size5_;
    qint64 size6_;
    ProgressSteps steps_;
};

// Q_key1 and Q_Kvr1 are the entry's own; every way out closes them.
class EntryDatasets {
  public:
    explicit EntryDatasets(TFDM& dm) : dm_(dm) {}
    ~EntryDatasets() {
        dm_.Q_key1->Close();
        dm_.Q_Kvr1->Close();
    }
    EntryDatasets(const EntryDatasets&) = delete;
    EntryDatasets& operator=(const EntryDatasets&) = delete;

  private:
    TFDM& dm_;
};

ConfigKeyEntryResult failure(const QString& why) {
    ConfigKeyEntryResult r;
    r.failed = true;
    r.error = why;
    Dialogs::Message(kKeyEntryError, why, DlgButtons::Ok, DlgIcon::Error);
    return r;
}

// The entry's failure, its reason on the line below.
ConfigKeyEntryResult notEntered(const QString& why) {
    return failure(QStringLiteral("Ключи не внесены.\n") + why);
}

QList<int> apartmentCounts(const PanelKeyWalk& walk) {
    QList<int> counts;
    for (const WalkEntrance& e : walk.entrances) counts << int(e.apartments.size());
    return counts;
}

}  // namespace

ConfigKeyEntryResult EnterConfigKeys(TFDM& dm, const ConfigFileIdent& ident, const Keys5List& keys5,
                                     const Keys6List& keys6, const Keys7List& keys7,
                                     const ConfigKeyEntryOptions& options, int sepDevice,
                                     const ProgressFn& progress) {
    EntryDatasets closing(dm);
    EntryGauge gauge(progress, keys5, keys6, keys7);
    ConfigKeyEntryResult result;
    if (!options.apartments && !options.common) return result;
    // A panel that is not in the current object takes no keys.
    if (ident.idBv <= 0 || !HasRow(dm.Q_Net)) return result;
    if (!dm.EnsureRead({dm.Q_bv})) return notEntered(dm.LastError());
    if (!dm.Q_bv->Locate(QStringLiteral("id_bv"), ident.idBv)) return result;
    const PanelKeyWalk walk = ReadPanelKeyWalk(dm);
    const ConfigKeyPlan plan =
        PlanConfigKeyEntry(apartmentCounts(walk), keys5, keys6, keys7, options, ident.typeBv != 0);
    if (!plan.error.isEmpty()) return failure(plan.error);

    QString why;
    {
        SqlTransaction transaction(dm.ConnectionDB());
        ConfigKeyWriter writer(dm, ident, walk);
        bool ok = transaction.started() && writer.Open();
        if (!ok) why = transaction.started() ? writer.DatabaseFailure() : transaction.LastError();
        for (int i = 0; ok && i < plan.keys.size(); ++i) {
            gauge.At(plan.keys[i]);
            const Stored stored = writer.Store(plan.keys[i]);
            if (stored == Stored::Entered) ++result.entered;
            if (stored == Stored::Confirmed) ++result.confirmed;
            why = writer.DatabaseFailure();
            ok = why.isEmpty();
        }
        if (ok) ok = writer.Finish(&why) && writer.Marks().Apply(dm, sepDevice, &why);
        if (ok && transaction.Commit()) {
            gauge.End();
            ReopenKeyListsOnce(dm);
            return result;
        }
        if (why.isEmpty()) why = transaction.LastError();
        if (why.isEmpty()) why = LoggedDatabaseReason(dm.ConnectionDB().lastError());
    }
    // The rollback took back every key the datasets show.
    dm.ReopenKeys();
    dm.ReopenCallBlocks();
    return notEntered(why);
}
