// The console record of the data module's current object.

#include "devices/SecurityPost.h"
#include "foundation/TFDM.h"

SecurityPostLoad LoadSecurityPost() {
    if (!FDM || !HasCurrentRow(FDM->Q_Net)) {
        SecurityPostLoad nothing;
        nothing.ok = true;
        return nothing;
    }
    const qint64 idNet = FDM->Q_Net->FieldByName(QStringLiteral("id_net")).AsLargeInt();
    const SecurityPostLoad load =
        LoadSecurityPost(FDM->ConnectionDB(), idNet, QDate::currentDate(), !FDM->ReadOnly());
    if (!load.ok) ReportFailure(load.error);
    if (load.loaded) FDM->Q_PO->Reopen();
    return load;
}

bool SetCurrentObjectFlag(const QString& field, bool on) {
    if (!FDM || !HasCurrentRow(FDM->Q_Net)) return false;
    Dataset* object = FDM->Q_Net;
    if (object->FieldByName(field).AsBool() == on) return true;
    object->FieldByName(field).SetValue(int(on));
    if (object->Post()) return true;
    const QString error = object->LastError();
    object->Cancel();
    ReportFailure(error);
    return false;
}
