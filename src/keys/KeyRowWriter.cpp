#include "keys/KeyRowWriter.h"

#include "foundation/BoundSql.h"
#include "foundation/HeldRows.h"
#include "foundation/TFDM.h"
#include "keys/KeyRegister.h"
#include "platform/DatabaseErrorText.h"
#include "platform/Dataset.h"

namespace {

// Which of a key row's owners the file lacks, from the object down: 0 none,
// 1 the object, 2 the gate panel (a gate key's id_pod), 3 the entrance, 4
// the apartment.
const QString kGoneOwner = QStringLiteral(
    "SELECT CASE"
    " WHEN NOT EXISTS (SELECT 1 FROM k_net WHERE id_net=?1) THEN 1"
    " WHEN ?3=-2 AND NOT EXISTS (SELECT 1 FROM k_bv WHERE id_bv=?2) THEN 2"
    " WHEN ?3<>-2 AND NOT EXISTS (SELECT 1 FROM k_pod WHERE id_pod=?2) THEN 3"
    " WHEN ?3>0 AND NOT EXISTS (SELECT 1 FROM k_kvr WHERE id_kvr=?3) THEN 4"
    " ELSE 0 END");
enum GoneOwner { kNoneGone, kObjectGone, kGateGone, kEntranceGone, kApartmentGone };

// A value of the row of one of the data module's lists whose key field
// holds id, read without moving or reading the list: the lists still hold
// the rows the file has lost since they were read.
QString listed(Dataset* list, const char* key, const QVariant& id, const char* field) {
    if (!list || !list->IsOpen() || list->RowsPending()) return {};
    const int row = KeyData::FindRow(list, QLatin1String(key), id);
    const int column = list->FieldIndex(QLatin1String(field));
    return row < 0 || column < 0 ? QString() : list->Value(row, column).toString().trimmed();
}

// A name in quotes.
QString quoted(const QString& name) {
    return QStringLiteral("«") + name + QStringLiteral("»");
}

// What is gone, named as the key screen's lists showed it.
QString goneText(GoneOwner gone, const QVariant& idPod, qint64 idKvr, const QVariant& idNet) {
    switch (gone) {
        case kObjectGone: {
            const QString ident = listed(FDM ? FDM->Q_Net : nullptr, "id_net", idNet, "ident");
            return ident.isEmpty() ? QStringLiteral("Объект удалён.")
                                   : QStringLiteral("Объект %1 удалён.").arg(quoted(ident));
        }
        case kGateGone: {
            const QString name = listed(FDM ? FDM->QKalKey : nullptr, "id_bv", idPod, "n_bv");
            return name.isEmpty() ? QStringLiteral("Блок вызова калитки удалён.")
                                  : QStringLiteral("Блок вызова %1 удалён.").arg(quoted(name));
        }
        case kEntranceGone: {
            Dataset* entrances = FDM ? FDM->QPodKey : nullptr;
            const QString number = listed(entrances, "id_pod", idPod, "n_pod");
            QString house = listed(entrances, "id_pod", idPod, "house");
            if (house.isEmpty()) house = listed(entrances, "id_pod", idPod, "kod_d");
            if (!house.isEmpty() && !house.at(0).isDigit()) house = quoted(house);
            if (number.isEmpty()) return QStringLiteral("Подъезд удалён.");
            return house.isEmpty()
                       ? QStringLiteral("Подъезд %1 удалён.").arg(number)
                       : QStringLiteral("Подъезд %1 дома %2 удалён.").arg(number, house);
        }
        case kApartmentGone: {
            const QString number = listed(FDM ? FDM->QForKey : nullptr, "id_kvr", idKvr, "n_kvr");
            return number.isEmpty() ? QStringLiteral("Квартира удалена.")
                                    : HeldRowTexts::Apartment(number) + QLatin1Char('.');
        }
        case kNoneGone:
            break;
    }
    return {};
}

// Empty when the file holds every owner of the key row; else what is gone,
// or why the file could not say.
QString goneOwner(BoundStatement& owners, const QVariant& idPod, qint64 idKvr,
                  const QVariant& idNet) {
    if (!owners.Prepared()) return owners.LastError();
    owners.Bind(0, idNet).Bind(1, idPod).Bind(2, idKvr);
    if (!owners.Next()) return owners.LastError();
    const auto gone = GoneOwner(owners.Value(0).toInt());
    owners.Next();  // past the one row: the statement lets go of the file
    return goneText(gone, idPod, idKvr, idNet);
}

}  // namespace

void AppendKeyRow(Dataset* list, const NewKeyRow& row) {
    auto set = [list](const char* field, const QVariant& value) {
        list->FieldByName(QLatin1String(field)).SetValue(value);
    };
    list->Append();
    set("un_key", row.number);
    set("bv_key", row.code);
    set("id_pod", row.idPod);
    set("id_kvr", row.idKvr);
    set("l_ob", row.common ? 1 : 0);
    set("id_net", row.idNet);
    if (!row.label.isEmpty()) set("s_met", row.label);
    set("status", row.status);
}

bool PostKeyRow(Dataset* list, QString* databaseFailure) {
    // A list that cannot be read takes no row: nothing is pending to post.
    if (list->State() != DsState::Insert && list->State() != DsState::Edit) {
        if (databaseFailure) *databaseFailure = list->LastError();
        return false;
    }
    SqlTransaction savepoint(list->Database());
    if (!savepoint.started()) {
        list->Cancel();
        if (databaseFailure) *databaseFailure = savepoint.LastError();
        return false;
    }
    BoundStatement owners(list->Database(), kGoneOwner);
    const QString gone = goneOwner(owners, list->FieldByName(QStringLiteral("id_pod")).Value(),
                                   list->FieldByName(QStringLiteral("id_kvr")).AsLargeInt(),
                                   list->FieldByName(QStringLiteral("id_net")).Value());
    if (!gone.isEmpty()) {
        list->Cancel();
        if (databaseFailure) *databaseFailure = gone;
        return false;
    }
    if (FDM) FDM->TakeCounterFailure();
    if (!list->Post()) {
        if (databaseFailure && IsDatabaseWideFailure(list->LastResultCode()))
            *databaseFailure = list->LastError();
        list->Cancel();
        return false;
    }
    // A key whose owner's counters could not be written is not entered: the
    // counters would no longer count the keys.
    const QString counters = FDM ? FDM->TakeCounterFailure() : QString();
    if (counters.isEmpty() && savepoint.Commit()) return true;
    if (databaseFailure) *databaseFailure = counters.isEmpty() ? savepoint.LastError() : counters;
    savepoint.Rollback();
    list->Reopen();  // the rollback took back what the list shows
    return false;
}

namespace {

const QString kInsertKey = QStringLiteral(
    "INSERT INTO k_key (un_key, id_pod, bv_key, id_kvr, id_net, l_ob, s_met, status)"
    " VALUES (?, ?, ?, ?, ?, ?, ?, ?)");
const QString kInsertUnlabelledKey = QStringLiteral(
    "INSERT INTO k_key (un_key, id_pod, bv_key, id_kvr, id_net, l_ob, status)"
    " VALUES (?, ?, ?, ?, ?, ?, ?)");

}  // namespace

KeyRowInserter::KeyRowInserter(const QSqlDatabase& db)
    : db_(db), labelled_(db, kInsertKey), owners_(db, kGoneOwner) {}

bool KeyRowInserter::Insert(const NewKeyRow& row) {
    ownerGone_ = goneOwner(owners_, row.idPod, row.idKvr, row.idNet);
    if (!ownerGone_.isEmpty()) return false;
    BoundStatement* q = &labelled_;
    if (row.label.isEmpty()) {
        if (!unlabelled_) unlabelled_.emplace(db_, kInsertUnlabelledKey);
        q = &*unlabelled_;
    }
    last_ = q;
    q->Bind(0, row.number)
        .Bind(1, row.idPod)
        .Bind(2, row.code)
        .Bind(3, row.idKvr)
        .Bind(4, row.idNet)
        .Bind(5, qint64(row.common ? 1 : 0));
    if (row.label.isEmpty())
        q->Bind(6, row.status);
    else
        q->Bind(6, row.label).Bind(7, row.status);
    return q->ExecInsert();
}

QString KeyRowInserter::DatabaseFailure() const {
    if (!labelled_.Prepared()) return labelled_.LastError();
    if (!owners_.Prepared()) return owners_.LastError();
    if (!ownerGone_.isEmpty()) return ownerGone_;
    if (!last_ || !last_->Prepared() || IsDatabaseWideFailure(last_->LastResultCode()))
        return last_ ? last_->LastError() : QString();
    return QString();
}

void ReopenKeyListsOnce(TFDM& dm) {
    for (Dataset* owners : {dm.QForKey, dm.QPodKey, dm.QKalKey}) owners->Reopen();
    dm.Q_key->Close();
    dm.Q_key->Open();
}
