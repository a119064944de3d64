// Feeds arbitrary text to the key paste parser, with and without labels:
// every key taken is a number a key list can hold, in the order of the text,
// and no label runs past its line.

#include "FuzzSupport.h"
#include "keys/KeyClipboard.h"
#include "keys/KeyNumber.h"

#include <cstdint>

namespace {

using fuzz::Check;

void Walk(const QString& text, bool withLabels) {
    int previousEnd = 0;
    for (const PastedKey& key : ParsePastedKeys(text, withLabels)) {
        Check(key.number.size() >= KeyNumber::kFullDigits && key.number.size() <= 16);
        for (QChar c : key.number) Check(KeyNumber::IsHexDigit(c));
        Check(!KeyNumber::IsEmptySlot(key.number));
        Check(PastedPanelCode(key.number).size() == KeyNumber::kPanelDigits);
        Check(key.end > previousEnd && key.end <= text.size());
        previousEnd = key.end;
        Check(withLabels || key.label.isEmpty());
        for (QChar c : key.label) Check(c != QChar(0) && c != '\t' && c != '\r' && c != '\n');
    }
}

}  // namespace

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* bytes, size_t size) {
    const QByteArray data(reinterpret_cast<const char*>(bytes), qsizetype(size));
    const QString text = QString::fromUtf8(data);
    Walk(text, true);
    Walk(text, false);
    return 0;
}
