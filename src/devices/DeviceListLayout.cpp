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
    auto rows = [](Dataset* ds) {
        if (!ds->IsOpen()) ds->Open();
        return ds->RecordCount();
    };
    t.switches = rows(FDM->Q_MNpk);
    t.panels = rows(FDM->Q_bv);
    if (FDM->Q_Net->IsOpen() && FDM->Q_Net->RecNo() > 0)
        t.gates = FDM->Q_Net->FieldByName(QStringLiteral("v_kal")).AsInt();
    return t;
}
