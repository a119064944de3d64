#include "keys/KeyRowWriter.h"

#include "foundation/BoundSql.h"
#include "foundation/TFDM.h"
#include "platform/DatabaseErrorText.h"
#include "platform/Dataset.h"

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

KeyRowInserter::KeyRowInserter(const QSqlDatabase& db) : db_(db), labelled_(db, kInsertKey) {}

bool KeyRowInserter::Insert(const NewKeyRow& row) {
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
    if (!Prepared()) return labelled_.LastError();
    if (!last_ || !last_->Prepared() || IsDatabaseWideFailure(last_->LastResultCode()))
        return last_ ? last_->LastError() : QString();
    return QString();
}

void ReopenKeyListsOnce(TFDM& dm) {
    for (Dataset* owners : {dm.QForKey, dm.QPodKey, dm.QKalKey}) owners->Reopen();
    dm.Q_key->Close();
    dm.Q_key->Open();
}
