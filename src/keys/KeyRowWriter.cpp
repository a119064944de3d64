#include "keys/KeyRowWriter.h"

#include "foundation/BoundSql.h"
#include "foundation/HeldRows.h"
#include "foundation/TFDM.h"
#include "keys/KeyRegister.h"
#include "platform/DatabaseErrorText.h"
#include "platform/Dataset.h"

namespace {

// The owners of a key row the file must hold, from the object down: its
// object, its gate panel (a gate key's id_pod) or entrance, and its
// apartment. Named only when one is gone (see keyOwnerGoneText).
enum KeyOwnerKind { kKeyObject, kKeyPlace, kKeyApartment };
constexpr qint64 kGateKey = -2;  // id_kvr of a gate key

QList<HeldRow> keyOwnerRows(const QVariant& idPod, qint64 idKvr, const QVariant& idNet) {
    QList<HeldRow> rows{
        {QStringLiteral("k_net"), QStringLiteral("id_net"), idNet.toLongLong(), {}}};
    if (idKvr == kGateKey)
        rows << HeldRow{QStringLiteral("k_bv"), QStringLiteral("id_bv"), idPod.toLongLong(), {}};
    else
        rows << HeldRow{QStringLiteral("k_pod"), QStringLiteral("id_pod"), idPod.toLongLong(), {}};
    if (idKvr > 0) rows << HeldRow{QStringLiteral("k_kvr"), QStringLiteral("id_kvr"), idKvr, {}};
    return rows;
}

// A value of the row of one of the data module's lists whose key field
// holds id, read without moving or reading the list: the lists still hold
// the rows the file has lost since they were read.
QString listed(Dataset* list, const char* key, const QVariant& id, const char* field) {
    if (!list || !list->IsOpen() || list->RowsPending()) return {};
    const int row = KeyData::FindRow(list, QLatin1String(key), id);
    const int column = list->FieldIndex(QLatin1String(field));
    return row < 0 || column < 0 ? QString() : list->Value(row, column).toString().trimmed();
}

QString keyObjectGoneText(const QVariant& idNet) {
    const QString ident = listed(FDM ? FDM->Q_Net : nullptr, "id_net", idNet, "ident");
    return ident.isEmpty() ? QStringLiteral("Объект удалён.")
                           : HeldRowTexts::Object(ident) + QLatin1Char('.');
}

QString keyGateGoneText(const QVariant& idBv) {
    const QString name = listed(FDM ? FDM->QKalKey : nullptr, "id_bv", idBv, "n_bv");
    return name.isEmpty() ? QStringLiteral("Блок вызова калитки удалён.")
                          : HeldRowTexts::Panel(name) + QLatin1Char('.');
}

// An entrance goes with its house when the whole house went: then the house
// is named.
QString keyEntranceGoneText(HeldRowCheck& check, const QVariant& idPod) {
    Dataset* entrances = FDM ? FDM->QPodKey : nullptr;
    const QString number = listed(entrances, "id_pod", idPod, "n_pod");
    const QString name = listed(entrances, "id_pod", idPod, "house");
    const QString prefix = listed(entrances, "id_pod", idPod, "kod_d");
    const qint64 idDom = listed(entrances, "id_pod", idPod, "d.id_dom").toLongLong();
    const QList<HeldRow> house{{QStringLiteral("k_dom"), QStringLiteral("id_dom"), idDom, {}}};
    if (idDom > 0 && check.FirstGone(house) == 0 && check.LastError().isEmpty())
        return HeldRowTexts::House(name, prefix) + QLatin1Char('.');
    if (number.isEmpty()) return QStringLiteral("Подъезд удалён.");
    if (name.isEmpty() && prefix.isEmpty()) return QStringLiteral("Подъезд %1 удалён.").arg(number);
    return HeldRowTexts::Entrance(number.toInt(), name, prefix) + QLatin1Char('.');
}

QString keyApartmentGoneText(qint64 idKvr) {
    const QString number = listed(FDM ? FDM->QForKey : nullptr, "id_kvr", idKvr, "n_kvr");
    return number.isEmpty() ? QStringLiteral("Квартира удалена.")
                            : HeldRowTexts::Apartment(number) + QLatin1Char('.');
}

// Empty when the file holds every owner of the key row; else what is gone,
// named as the key screen's lists showed it, or why the file could not say.
QString goneOwner(HeldRowCheck& check, const QVariant& idPod, qint64 idKvr, const QVariant& idNet) {
    const int gone = check.FirstGone(keyOwnerRows(idPod, idKvr, idNet));
    if (gone < 0) return {};
    if (!check.LastError().isEmpty()) return check.LastError();
    switch (gone) {
        case kKeyObject:
            return keyObjectGoneText(idNet);
        case kKeyPlace:
            return idKvr == kGateKey ? keyGateGoneText(idPod) : keyEntranceGoneText(check, idPod);
        case kKeyApartment:
            return keyApartmentGoneText(idKvr);
    }
    return {};
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
    HeldRowCheck owners(list->Database());
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
    : db_(db), labelled_(db, kInsertKey), owners_(db) {}

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
