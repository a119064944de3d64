// The synchronisation as the switch and call-panel screens run it: on the
// current object, the console screen's load first, and the data module's
// datasets brought in line with what it wrote.

#include "devices/DeviceRecordSync.h"
#include "foundation/NavigationHooks.h"
#include "foundation/TFDM.h"

namespace {

// The object list read again on the object; its houses, entrances, link
// tables, devices and apartments follow it.
void ShowObjectAgain(qint64 idNet) {
    Dataset* net = FDM->Q_Net;
    net->Reopen();
    if (net->FieldByName(QStringLiteral("id_net")).AsLargeInt() != idNet)
        net->Locate(QStringLiteral("id_net"), idNet);
    if (FDM->Q_ke->IsOpen()) FDM->Q_ke->Reopen();
    if (FDM->Q_MNpk->IsOpen()) FDM->Q_MNpk->First();
}

}  // namespace

DeviceSyncOutcome SyncPkRecords(const ProgressFn& progress) {
    if (!FDM || !HasCurrentRow(FDM->Q_Net)) return {DeviceChange::Refused, {}};
    const qint64 idNet = FDM->Q_Net->FieldByName(QStringLiteral("id_net")).AsLargeInt();
    DeviceRecordSync sync(FDM->ConnectionDB(), idNet);
    sync.SetLoadSecurityPost([] { Hooks().LoadSecurityPost(); });
    sync.SetProgress(progress);
    const DeviceSyncOutcome done = sync.SyncPkRecords();
    Reported(done.result, done.error);
    ShowObjectAgain(idNet);
    return done;
}
