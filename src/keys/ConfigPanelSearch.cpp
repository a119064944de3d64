#include "keys/ConfigPanelSearch.h"

#include "config/ConfigImage.h"
#include "config/PanelEntranceSection.h"
#include "foundation/TFDM.h"
#include "keys/KeyRegister.h"
#include "keys/PanelKeyWalk.h"

using KeyData::HasRow;

namespace PanelSearchTexts {
QString NoObject() {
    return QStringLiteral("Объект не определен в КФ.");
}
QString Found() {
    return QStringLiteral("БВ найден.");
}
QString NotFound() {
    return QStringLiteral("БВ не найден.");
}
QString Searching() {
    return QStringLiteral("Поиск...");
}
}  // namespace PanelSearchTexts

namespace {

qint64 largeField(Dataset* ds, const char* name) {
    return ds->FieldByName(QLatin1String(name)).AsLargeInt();
}

// The entrance mask of the panel's walk: switch n in character n + 1.
QString walkMask(const PanelKeyWalk& walk, int sepDevice) {
    QString mask(qMax(sepDevice, 0), QLatin1Char('0'));
    for (const WalkEntrance& e : walk.entrances)
        if (e.switchNet >= 0 && e.switchNet < mask.size()) mask[e.switchNet] = QLatin1Char('1');
    return mask;
}

QString walkStructure(const PanelKeyWalk& walk) {
    QString text;
    for (const WalkEntrance& e : walk.entrances) {
        if (e.apartments.isEmpty()) continue;  // the writer gives it no block
        PrependField(text, e.apartments.size(), 16);
        PrependField(text, BvEntranceAi(e.pFc), 8);
        PrependField(text, e.ah & 0xFF, 8);
    }
    return text;
}

}  // namespace

PanelSearchResult FindPanelByIdent(TFDM& dm, const ConfigFileIdent& ident) {
    PanelSearchResult r;
    r.ident = ident;
    if (ident.idNet <= 0) {
        r.text = PanelSearchTexts::NoObject();
        return r;
    }
    Dataset* objects = dm.Q_Net;
    const bool hadObject = HasRow(objects);
    const QVariant remembered =
        hadObject ? objects->FieldByName(QStringLiteral("id_net")).Value() : QVariant();
    r.checks.idNet = (hadObject && remembered.toLongLong() == ident.idNet) ||
                     objects->Locate(QStringLiteral("id_net"), ident.idNet);
    r.checks.idNom = HasRow(objects) && largeField(objects, "id_nom") == ident.idNom;
    Dataset* panels = dm.Q_bv;
    r.checks.idBv = panels->Locate(QStringLiteral("id_bv"), ident.idBv);
    r.checks.typeBv = r.checks.idBv && largeField(panels, "bv_type") == ident.typeBv;
    r.checks.nNet = HasRow(panels) && largeField(panels, "n_net") == ident.nNet;
    r.found = r.checks.All();
    r.text = r.found ? PanelSearchTexts::Found() : PanelSearchTexts::NotFound();
    if (!r.found && hadObject) objects->Locate(QStringLiteral("id_net"), remembered);
    return r;
}

QString PanelStructureText(TFDM& dm) {
    return walkStructure(ReadPanelKeyWalk(dm));
}

PanelSearchResult FindPanelByStructure(TFDM& dm, const ConfigFileIdent& ident, const QString& mpd,
                                       const QString& mpp, int sepDevice) {
    PanelSearchResult r;
    r.ident = ident;
    r.ident.idBv = 0;
    Dataset* panels = dm.Q_bv;
    QString lastStructure;
    for (panels->First(); !panels->Eof(); panels->Next()) {
        const PanelKeyWalk walk = ReadPanelKeyWalk(dm);
        if (walkMask(walk, sepDevice) != mpd) continue;
        lastStructure = walkStructure(walk);
        if (!mpp.endsWith(lastStructure)) continue;
        r.found = true;
        r.ident.idBv = largeField(panels, "id_bv");
        r.ident.typeBv = largeField(panels, "bv_type");
        r.ident.nNet = largeField(panels, "n_net");
        r.text = PanelSearchTexts::Found();
        return r;
    }
    // An object without panels, or none that fits: never reported as found.
    r.text = PanelSearchTexts::NotFound();
    r.mppLine = lastStructure;
    return r;
}
