// The decoders of the call-panel sections 0, 2, 4, 5, 6 and 7 on arbitrary
// section texts, with what must hold of their output: the editor's records
// stay within what the section holds, what the editor decoded it can always
// write back, and no encoder of the editor's lists grows past a file.

#include "PanelSectionsFuzz.h"
#include "FuzzSupport.h"

#include "config/ConfigImage.h"
#include "config/FlagSection.h"
#include "config/PanelEntranceSection.h"
#include "config/PanelKeySections.h"
#include "config/TBvParams.h"

namespace {

using fuzz::Check;

// A section an editor encoder built: at most one slot (of up to 255 + 24
// bits) and its framing more than a whole file.
void CheckBounded(const QString& section) {
    Check(section.size() <= ConfigSizeLimitBits(kKindCallPanel) + 1024);
}

void PanelParams(const QString& text) {
    TBvParams p;
    BvParamsFromBits(text, p);
    Check(DecodeBvSection0(text).size() == 24);
    const qsizetype payload = text.size() - 8;
    if (payload >= kBvParamsFixedBits) Check(BvParamsToBits(p) == text.left(payload));
    // Decoded codes are always codes the editor can write again.
    QString section, error;
    Check(EncodeBvParams(DecodeBvParams(text), section, nullptr, &error));
}

void PanelEntrances(const QString& text) {
    int total = -1;
    DecodeBvSection2(text, 63, &total);
    Check(total >= 0);
    const BvEntranceGrid g = DecodeBvEntranceMask(text, 63);
    Check(g.columns.size() == 63 && g.servedEntrances <= 63);
    QString section, error;
    Check(EncodeBvEntranceMask(g, g.reserveBit, 63, section, nullptr, &error));
}

void PanelFlags(const QString& text, int announced) {
    DecodeFlagMasks(text, announced);
    const FlagSectionValues v = DecodeFlagSection(text);
    qsizetype groupBits = 0;
    for (const QString& g : v.groups) groupBits += g.size();
    Check(groupBits <= text.size());
    QList<CallCodeRecord> records(announced);
    DecodeFlagRecords(text, records);
}

void PanelKeys(const QString& text) {
    DecodeBvSection5(text);
    DecodeBvSection6(text);
    DecodeBvSection7(text);
    const Keys5List k5 = DecodeBvKeys5(text);
    const Keys6List k6 = DecodeBvKeys6(text);
    const Keys7List k7 = DecodeBvKeys7(text);
    Check(k5.rows.size() <= qMax<qint64>(k5.kolSl5, text.size() / 24));
    Check(k6.rows.size() <= qMax<qint64>(k6.kolSl6, text.size() / 24));
    Check(k7.keys.size() <= qMax<qint64>(k7.kolSl7, text.size() / 24));
    ConfigLogs logs;
    QStringList leftover;
    CheckBounded(EncodeBvKeys5(k5, k6, logs));
    CheckBounded(EncodeBvKeys6(k6, logs, leftover));
    CheckBounded(EncodeBvKeys7(k7, leftover, logs));
}

}  // namespace

void FuzzPanelSections(const QString& sectionText, int announced) {
    PanelParams(sectionText);
    PanelEntrances(sectionText);
    PanelFlags(sectionText, announced);
    PanelKeys(sectionText);
}
