// The console record of the data module's current object.

#include "devices/SecurityPost.h"
#include "foundation/TFDM.h"

SecurityPostLoad LoadSecurityPost() {
    if (!FDM || !HasCurrentRow(FDM->Q_Net)) return SecurityPostLoad{true, false, false, {}, {}};
    const qint64 idNet = FDM->Q_Net->FieldByName(QStringLiteral("id_net")).AsLargeInt();
    const SecurityPostLoad load =
        LoadSecurityPost(FDM->ConnectionDB(), idNet, QDate::currentDate());
    if (!load.ok) ReportFailure(load.error);
    if (load.created) FDM->Q_PO->Reopen();
    return load;
}
