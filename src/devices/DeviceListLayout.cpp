#include "devices/DeviceListLayout.h"

#include "foundation/BitAndStr.h"
#include "foundation/TFDM.h"

GridHeights SplitGridHeights(int frameHeight, int headerHeight, int totalsHeight) {
    const double h = frameHeight - headerHeight - totalsHeight;
    return {int(RoundHalfAway(h * 0.75)), int(RoundHalfAway(h / 4))};
}

QString PanelAddressText(int nNt0) {
    return QStringLiteral("БВ") + IntToStrZ(nNt0, 2);
}

QString PanelKindText(int bvType) {
    return bvType == 1 ? QStringLiteral("калитка") : QStringLiteral("вход в подъезд");
}

QString SwitchAddressText(int nNet) {
    return QStringLiteral("КМ") + IntToStrZ(nNet, 2);
}

int CentredTextLeft(int columnWidth, int textWidth) {
    return int(RoundHalfAway((columnWidth - textWidth) / 2.0));
}

DeviceTotals ReadDeviceTotals() {
    DeviceTotals t;
    if (!FDM) return t;
    auto rows = [](const Dataset* ds) { return ds->IsOpen() ? ds->RecordCount() : 0; };
    t.switches = rows(FDM->Q_MNpk);
    t.panels = rows(FDM->Q_bv);
    if (FDM->Q_Net->IsOpen() && FDM->Q_Net->RecNo() > 0)
        t.gates = FDM->Q_Net->FieldByName(QStringLiteral("v_kal")).AsInt();
    return t;
}
