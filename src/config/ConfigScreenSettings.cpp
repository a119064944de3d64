#include "config/ConfigScreenSettings.h"

#include "foundation/CountLimits.h"
#include "foundation/Globals.h"
#include "foundation/TFDM.h"

namespace {

// A positive value of the row, or the fallback.
int positive(Dataset* global, const char* column, int fallback) {
    const int v = global->FieldByName(QString::fromLatin1(column)).AsInt();
    return v > 0 ? v : fallback;
}

}  // namespace

ConfigScreenSettings LoadConfigScreenSettings() {
    ConfigScreenSettings s;
    s.maxDevice = Globals().MaxDevice;
    s.sepDevice = Globals().SepDevice;
    Dataset* global = FDM ? FDM->Global : nullptr;
    if (!global || global->IsEmpty()) return s;
    s.maxDevice = positive(global, "MaxDevice", s.maxDevice);
    s.sepDevice = positive(global, "SepDevice", s.sepDevice);
    Globals().SepDevice = s.sepDevice;
    s.sizes.pk = global->FieldByName(QStringLiteral("APP_pk")).AsLargeInt();
    s.sizes.bv = global->FieldByName(QStringLiteral("APP_bv")).AsLargeInt();
    s.sizes.po = global->FieldByName(QStringLiteral("APP_po")).AsLargeInt();
    s.cameraCount = CountLimits::Cameras(global->FieldByName(QStringLiteral("CamPO")).AsLargeInt());
    return s;
}

ConfigCurrentObject CurrentConfigObject() {
    ConfigCurrentObject o;
    Dataset* net = FDM ? FDM->Q_Net : nullptr;
    if (!net || net->IsEmpty()) return o;
    o.idNet = net->FieldByName(QStringLiteral("id_net")).AsLargeInt();
    o.idNom = net->FieldByName(QStringLiteral("id_nom")).AsLargeInt();
    return o;
}
