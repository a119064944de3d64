// Feeds arbitrary bytes to the decoders of the call-code section (section 3
// of call-panel and console files), as the bytes of one section after its
// length word, the input's first two bytes being the apartment count they
// are told; and packs codes made of the bytes, packed or not, and unpacks
// them again.

#include "FuzzSupport.h"
#include "config/CallCodeSection.h"
#include "foundation/BitAndStr.h"

#include <cstdint>

namespace {

using fuzz::Check;

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
    fuzz::SectionInput in;
    if (!fuzz::ReadSectionInput(fuzz::View(bytes, size), in)) return 0;
    CallCodeDecoders(in.text, in.announced);
    CallCodeRoundTrip(in.bytes, in.announced & 1, (in.announced >> 1) & 1);
    return 0;
}
