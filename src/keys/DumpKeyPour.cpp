#include "keys/DumpKeyPour.h"

#include "config/EditorEntranceLists.h"
#include "foundation/BitAndStr.h"
#include "foundation/BoundSql.h"
#include "foundation/Globals.h"
#include "foundation/KeyCounters.h"
#include "foundation/ProgressSteps.h"
#include "keys/KeyChangeFlags.h"
#include "keys/KeyNumber.h"
#include "keys/KeyRegister.h"
#include "keys/KeyRowWriter.h"
#include "platform/DatabaseErrorText.h"
#include "platform/Dialogs.h"

#include <QDate>
#include <QSet>
#include <QSqlError>
#include <QSqlQuery>

#include <optional>

using KeyData::HasRow;

bool ReadDumpEntrances(TFDM& dm, qint64 idNet, QList<DumpEntrance>& entrances, QString* error) {
    entrances.clear();
    QSqlQuery q(dm.ConnectionDB());
    if (!ExecBound(
            q,
            QStringLiteral("SELECT d.house, d.kod_d, p.n_pod, p.id_pod, d.id_dom FROM k_dom d"
                           " JOIN k_pod p ON p.id_dom = d.id_dom"
                           " WHERE d.id_net = ? ORDER BY d.id_dom, p.n_pod"),
            {idNet}, error))
        return false;
    while (q.next())
        entrances << DumpEntrance{
            EntranceListLine(q.value(0).toString(), q.value(1).toString(), q.value(2).toInt()),
            q.value(3), q.value(4)};
    return true;
}

MirelPourSource MirelPourSourceOf(const QList<MirelKeyRow>& rows) {
    MirelPourSource source;
    source.keyCount = int(rows.size());
    if (rows.isEmpty()) return source;
    // Indexes run 0 .. KolIndIsx − 1 in the dialog: counting from the last
    // row's index + 1 lets its record be poured too.
    source.indexCount = rows.last().index + 1;
    source.firstIndex = rows.first().index;
    return source;
}

bool PositionDumpEntrance(TFDM& dm, const DumpEntrance& entrance) {
    if (!dm.Q_Dom->Locate(QStringLiteral("id_dom"), entrance.idDom)) return false;
    return dm.Q_DPd->Locate(QStringLiteral("id_pod"), entrance.idPod);
}

namespace {

const QString kFound = QStringLiteral(" найден");
const QString kWritten = QStringLiteral(" вписан");
const QString kRepeated = QStringLiteral(" повтор");
const QString kNoApartment = QStringLiteral(" нет квартиры");

QString rowText(int row) {
    return QStringLiteral("  стр=") + IntToStrZ(row, 4);
}

// The panel's code of a dump key: its last 6 digits; empty for a blank key
// or an empty slot.
QString codeOf(const QString& key) {
    const QString code = KeyNumber::PanelCode(key.trimmed());
    return code.isEmpty() || KeyNumber::IsEmptySlot(code) ? QString() : code;
}

// One pour into one entrance: its transaction, its console, the marks of
// the panels that carry its keys, and the datasets it leaves as it found them.
class EntrancePour {
  public:
    EntrancePour(TFDM& dm, const QVariant& idPod)
        : dm_(dm), idPod_(idPod), today_(QDate::currentDate()) {
        transaction_.emplace(dm.ConnectionDB());
    }
    ~EntrancePour() {
        dm_.QAKeys->Close();
        for (Dataset* list : {dm_.QOKeys, dm_.QKKeys, dm_.QKeys})
            if (list->State() == DsState::Edit || list->State() == DsState::Insert) list->Cancel();
    }
    EntrancePour(const EntrancePour&) = delete;
    EntrancePour& operator=(const EntrancePour&) = delete;

    DumpPourResult& Result() { return result_; }
    // A write failed for the database as a whole (a full disk, a damaged
    // file...): nothing more is tried, and Finish rolls the pour back.
    bool Stopped() const { return !stopReason_.isEmpty(); }
    void Log(const QString& line) { result_.console << line; }
    QVariant IdNet() const { return dm_.Q_Net->FieldByName(QStringLiteral("id_net")).Value(); }

    // The entrance's common keys, with the codes its apartment and common
    // keys hold (QAKeys). The keys screen is put on the entrance.
    bool OpenCommonKeys() {
        if (!transaction_->started() || !HasRow(dm_.Q_Net)) return false;
        if (!dm_.QPodKey->Locate(QStringLiteral("id_pod"), idPod_)) return false;
        BoundStatement taken(
            dm_.ConnectionDB(),
            QStringLiteral("SELECT bv_key FROM k_key WHERE id_kvr > -2 AND id_pod=?"));
        taken.Bind(0, idPod_);
        while (taken.Next()) taken_.insert(taken.Value(0).toString());
        stopReason_ = taken.LastError();
        if (Stopped()) return false;
        commonKeys_.emplace(dm_.ConnectionDB());
        if (!commonKeys_->Prepared()) stopReason_ = commonKeys_->DatabaseFailure();
        return !Stopped();
    }

    // The object's apartments with the keys of the current one. Lists that
    // cannot be read stop the pour with their reason: they are not an
    // entrance without apartments.
    bool OpenApartments() {
        if (!transaction_->started() || !HasRow(dm_.Q_Net)) return false;
        if (!dm_.EnsureRead({dm_.QForKey, dm_.QKeys})) stopReason_ = dm_.LastError();
        return !Stopped();
    }

    // A common key: not again when the entrance holds its code already (as
    // an apartment or a common key, or earlier in this dump).
    void CommonKey(int row, const QString& key, const QString& label, const QString& mark) {
        const QString code = codeOf(key);
        if (code.isEmpty()) return;
        const QString head = code + rowText(row);
        if (taken_.contains(code)) {
            Log(head + kFound);
            return;
        }
        if (!commonKeys_->Insert(NewKeyRow{number(key), code, idPod_, KeyRegister::kCommonOwner,
                                           true, IdNet(), label, KeyLabel::Dated(mark, today_)})) {
            stopReason_ = commonKeys_->DatabaseFailure();
            if (!Stopped()) Log(head + kRepeated);
            return;
        }
        taken_.insert(code);
        ++result_.entered;
        ++commonEntered_;
        Log(head + kWritten);
    }

    // A key of the apartment QForKey stands on, labelled by the count entered
    // into it by this pour; not again when the apartment holds its code.
    void ApartmentKey(int row, const QString& key, const QString& tail, int* enteredHere) {
        const QString code = codeOf(key);
        if (code.isEmpty()) return;
        const QString head = code + rowText(row) + tail;
        Dataset* list = dm_.QKeys;
        if (KeyData::FindRow(list, QStringLiteral("bv_key"), code) >= 0) {
            Log(head + kFound);
            return;
        }
        const QString label = IntToStrZ(*enteredHere + 1, 4);
        AppendKeyRow(list, NewKeyRow{number(key), code, idPod_, apartmentId(), false, IdNet(),
                                     label, KeyLabel::Dated(QStringLiteral("Мирель кв "), today_)});
        if (!PostKeyRow(list, &stopReason_)) {
            if (!Stopped()) Log(head + kRepeated);
            return;
        }
        ++*enteredHere;
        ++result_.entered;
        Log(head + kWritten);
    }

    // Marks the panels of the entrance's switch when keys were entered, and
    // commits. On failure nothing of the pour stays and the operator is told.
    DumpPourResult Finish() {
        if (Stopped()) return fail(stopReason_);
        QString why;
        if (commonEntered_ > 0 &&
            !KeyCounters::RecountCommon(dm_.ConnectionDB(), idPod_.toLongLong(), &why))
            return fail(why);
        if (result_.entered > 0) {
            KeyChangeFlags marks;
            marks.SetPanelsOfEntrance(dm_, idPod_);
            if (!marks.Apply(dm_, Globals().SepDevice, &why)) return fail(why);
        }
        if (!transaction_->Commit()) return fail(transaction_->LastError());
        ReopenKeyListsOnce(dm_);
        return result_;
    }

  private:
    DumpPourResult fail(QString why) {
        if (why.isEmpty()) why = LoggedDatabaseReason(dm_.ConnectionDB().lastError());
        result_.failed = true;
        result_.error = QStringLiteral("Ключи не залиты.\n") + why;
        result_.entered = 0;
        transaction_.reset();  // rolls the whole pour back
        dm_.ReopenKeys();
        dm_.ReopenCallBlocks();
        Dialogs::Message(QStringLiteral("Ошибка"), result_.error, DlgButtons::Ok, DlgIcon::Error);
        return result_;
    }

    static QString number(const QString& key) {
        return PadLeft(key.trimmed(), QLatin1Char('0'), KeyNumber::kFullDigits);
    }
    qint64 apartmentId() const {
        return dm_.QForKey->FieldByName(QStringLiteral("id_kvr")).AsLargeInt();
    }

    TFDM& dm_;
    QVariant idPod_;
    std::optional<SqlTransaction> transaction_;
    const QDate today_;
    QSet<QString> taken_;
    std::optional<KeyRowInserter> commonKeys_;
    int commonEntered_ = 0;  // the entrance's counters follow once, at the end
    QString stopReason_;
    DumpPourResult result_;
};

}  // namespace

DumpPourResult PourBekuKeys(TFDM& dm, const QVariant& idPod, const QStringList& keys,
                            const ProgressFn& progress) {
    ProgressSteps gauge(progress, int(keys.size()) + 2);
    EntrancePour pour(dm, idPod);
    if (!pour.OpenCommonKeys()) return pour.Stopped() ? pour.Finish() : pour.Result();
    int entered = 0;
    for (int i = 0; i < keys.size() && !pour.Stopped(); ++i) {
        gauge.Step();
        pour.CommonKey(i + 1, keys[i], IntToStrZ(entered + 1, 4), QStringLiteral("БЭКУ об "));
        entered = pour.Result().entered;
    }
    return pour.Finish();
}

namespace {

// Rows Ind_1 .. Ind_po of the list (row numbers from 1), labelled by their
// row number.
void pourRowsAsCommon(EntrancePour& pour, const QList<MirelKeyRow>& rows,
                      const MirelPourChoice& choice, ProgressSteps& gauge) {
    const int first = qMax(choice.ind1, 1);
    const int last = qMin(choice.indPo, int(rows.size()));
    for (int r = first; r <= last && !pour.Stopped(); ++r) {
        gauge.Step();
        pour.CommonKey(r, rows[r - 1].key, IntToStrZ(r, 4), QStringLiteral("Мирель об "));
    }
}

// Source index Ind_1 + t into the apartment of order number Kv_n1 + t.
void pourIndexesIntoApartments(TFDM& dm, EntrancePour& pour, const DumpEntrance& entrance,
                               const QList<MirelKeyRow>& rows, const MirelPourChoice& choice,
                               ProgressSteps& gauge) {
    int pointer = 0;
    while (pointer < rows.size() && rows[pointer].index < choice.ind1) ++pointer;
    for (int t = 0; choice.ind1 + t <= choice.indPo && pointer < rows.size() && !pour.Stopped();
         ++t) {
        const int source = choice.ind1 + t;
        const int pNom = choice.kvN1 + t;
        const bool found = dm.QForKey->Locate(QStringLiteral("d.id_dom;p.id_pod;p_nom"),
                                              {entrance.idDom, entrance.idPod, pNom});
        const QString tail = QStringLiteral(" инд=") + QString::number(source) +
                             QStringLiteral(" кв=") + QString::number(pNom);
        int enteredHere = 0;
        // Rows out of order are passed over; each row is consumed once.
        for (; pointer < rows.size() && rows[pointer].index <= source && !pour.Stopped();
             ++pointer) {
            gauge.Step();
            if (rows[pointer].index < source) continue;
            if (found)
                pour.ApartmentKey(pointer + 1, rows[pointer].key, tail, &enteredHere);
            else if (!codeOf(rows[pointer].key).isEmpty())
                pour.Log(codeOf(rows[pointer].key) + rowText(pointer + 1) + tail + kNoApartment);
        }
    }
}

}  // namespace

DumpPourResult PourMirelKeys(TFDM& dm, const DumpEntrance& entrance, const QList<MirelKeyRow>& rows,
                             const MirelPourChoice& choice, const ProgressFn& progress) {
    if (choice.common) {
        ProgressSteps gauge(progress, qMax(0, choice.indPo - choice.ind1 + 1) + 2);
        EntrancePour pour(dm, entrance.idPod);
        if (!pour.OpenCommonKeys()) return pour.Stopped() ? pour.Finish() : pour.Result();
        pourRowsAsCommon(pour, rows, choice, gauge);
        return pour.Finish();
    }
    ProgressSteps gauge(progress, 7 * qMax(0, choice.indPo - choice.ind1 + 1));
    EntrancePour pour(dm, entrance.idPod);
    if (!pour.OpenApartments()) return pour.Stopped() ? pour.Finish() : pour.Result();
    pourIndexesIntoApartments(dm, pour, entrance, rows, choice, gauge);
    return pour.Finish();
}
