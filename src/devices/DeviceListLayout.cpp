#include "devices/DeviceListLayout.h"

#include "foundation/BitAndStr.h"
#include "foundation/TFDM.h"

GridHeights SplitGridHeights(int frameHeight, int headerHeight, int totalsHeight) {
    const double h = frameHeight - headerHeight - totalsHeight;
    return {int(RoundHalfAway(h * 0.75)), int(RoundHalfAway(h / 4))};
}

DeviceTotals ReadDeviceTotals() {
    DeviceTotals t;
    if (!FDM) return t;
    t.switches = FDM->Q_MNpk->RecordCount();
    t.panels = FDM->Q_bv->RecordCount();
    if (FDM->Q_Net->RecNo() > 0) t.gates = FDM->Q_Net->FieldByName(QStringLiteral("v_kal")).AsInt();
    return t;
}
