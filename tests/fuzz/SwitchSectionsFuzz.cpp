// Feeds arbitrary bytes to every decoder of the switch sections, of the
// call-code section, of the call-panel sections (PanelSectionsFuzz) and of the
// console sections (ConsoleSectionsFuzz), as the bytes of one section after
// its length word (version byte first, then the payload), and checks what
// comes out: the editor's records stay within their room, the decoders that
// can write back give the payload back, and call codes derived from the bytes
// survive a pack and unpack. Byte 0 is the apartment count the call-code
// decoders are told.

#include "ConsoleSectionsFuzz.h"
#include "FuzzSupport.h"
#include "PanelSectionsFuzz.h"
#include "config/CallCodeSection.h"
#include "config/ConfigImage.h"
#include "config/SwitchSections.h"
#include "config/TPkParams.h"
#include "foundation/BitAndStr.h"

#include <QByteArray>

#include <cstdint>
#include <cstdlib>

namespace {

using fuzz::Check;

// The section text TakeSection gives for these bytes: payload + version field.
QString SectionText(QByteArrayView bytes) {
    return ImageFromBytes(bytes);
}

void SwitchParams(const QString& text) {
    TPkParams p;
    PkParamsFromBits(text, p);
    Check(DecodePkSection0(text).size() == 19);
    const qsizetype payload = text.size() - 8;
    // A whole record and its tail give the payload back unchanged.
    if (payload >= kPkParamsFixedBits) Check(PkParamsToBits(p) == text.left(payload));
}

void SwitchSections(const QString& text) {
    const PkTractGrid grid = DecodePkTract(text);
    QString section, error;
    Check(EncodePkTract(grid, 63, section, nullptr, &error));  // shown numbers always fit
    DecodePkSection2(text);

    const QString mask = DecodePkCallbackMask(text);
    Check(mask.isEmpty() || mask.size() == text.size() - 8);
    DecodePkSection3(text);

    const PkMelodies m = DecodePkMelodies(text);
    Check(m.present <= 2 && (m.call.size() + m.ringBack.size()) * 16 <= text.size());
    DecodePkSection4(text);

    const PkHandsetRanges r = DecodePkHandsetRanges(text);
    Check(r.rows.size() * 8 <= text.size());
    DecodePkSection5(text);

    const PkBlocking b = DecodePkBlocking(text);
    DecodePkSection6(text);
    const qsizetype payload = text.size() - 8;
    if (payload >= 32) {
        // The editor writes the blocking section back as it read it.
        const QString back = EncodePkBlocking(b, nullptr);
        Check(back.left(back.size() - 24) == text.left(payload));
    }

    const PkVideo v = DecodePkVideo(text);
    Check(v.input == -1 || (v.input >= 1 && v.input <= 255));
    DecodePkSection7(text);
}

void CallCodeDecoders(const QString& text, int announced) {
    const CallCodeUnpack u = UnpackCallCodes(announced, text);
    Check(u.records.size() == announced);
    Check(!u.error.isEmpty());
    DecodeCallCodes(text, announced);
}

// Codes made of the bytes, three a code, packed and unpacked again.
void CallCodeRoundTrip(QByteArrayView bytes, bool packed, int incr) {
    QList<CallCodeRecord> records;
    for (qsizetype i = 0; i + 2 < bytes.size() && records.size() < 200; i += 3) {
        const quint32 raw =
            quint8(bytes[i]) << 16 | quint8(bytes[i + 1]) << 8 | quint8(bytes[i + 2]);
        QString code = QString::number(raw % 100000);
        if (raw & 0x800000) code = QStringLiteral("0") + code.left(3);
        if ((raw & 0x7F) == 0x7F) code.clear();
        records << CallCodeRecord{code, {}, {}, {}};
    }
    CallCodePack pack;
    Check(PackCallCodes(packed, kCallCodesPanel, records, incr, pack));
    QString payload = pack.payload;
    QString image = ImageFromBytes(BitStringToBytes(WrapSection(payload, 3, 1, nullptr)));
    QString text;
    TakeSection(image, text);
    const CallCodeUnpack u = UnpackCallCodes(int(records.size()), text);
    Check(u.error == QStringLiteral(" "));
    for (qsizetype i = 0; i < records.size(); ++i) Check(u.records[i].code == records[i].code);
}

}  // namespace

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* bytes, size_t size) {
    if (size < 1) return 0;
    const QByteArrayView data(reinterpret_cast<const char*>(bytes), qsizetype(size));
    const int announced = quint8(data[0]);
    const QString text = SectionText(data.sliced(1));
    SwitchParams(text);
    SwitchSections(text);
    CallCodeDecoders(text, announced);
    CallCodeRoundTrip(data.sliced(1), announced & 1, (announced >> 1) & 1);
    FuzzPanelSections(text, announced);
    FuzzConsoleSections(data.sliced(1), text, announced);
    return 0;
}
