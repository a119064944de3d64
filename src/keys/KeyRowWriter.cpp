#include "keys/KeyRowWriter.h"

#include "foundation/BoundSql.h"
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

bool PostKeyRow(Dataset* list) {
    SqlTransaction savepoint(list->Database());
    if (!savepoint.started() || !list->Post()) {
        list->Cancel();
        return false;
    }
    if (savepoint.Commit()) return true;
    list->Reopen();  // the rollback took back what the list shows
    return false;
}
