// Feeds arbitrary bytes to the card reader's line assembler, whole and in
// pieces of varying size as the port delivers them: every number taken is a
// full key number, a line never grows past its limit, and the pieces give
// the same numbers as the whole.

#include "FuzzSupport.h"
#include "keys/KeyNumber.h"
#include "keys/RfidLineAssembler.h"

#include <cstdint>

namespace {

using fuzz::Check;

QStringList NumbersOf(const QList<RfidReaderOutput>& out) {
    QStringList numbers;
    for (const RfidReaderOutput& line : out) {
        Check(!line.log.isEmpty());
        if (line.number.isEmpty()) continue;
        Check(line.number.size() == KeyNumber::kFullDigits);
        for (QChar c : line.number) Check(KeyNumber::IsHexDigit(c));
        Check(!KeyNumber::IsEmptySlot(line.number));
        numbers << line.number;
    }
    return numbers;
}

}  // namespace

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* bytes, size_t size) {
    const QByteArray data(reinterpret_cast<const char*>(bytes), qsizetype(size));
    RfidLineAssembler whole;
    const QStringList all = NumbersOf(whole.Feed(data));
    Check(whole.PendingLine().size() < RfidLineAssembler::kMaxLineLength);

    RfidLineAssembler pieces;
    QStringList inPieces;
    const int step = data.isEmpty() ? 1 : quint8(data[0]) % 42 + 1;
    for (qsizetype at = 0; at < data.size(); at += step) {
        inPieces += NumbersOf(pieces.Feed(data.mid(at, step)));
        Check(pieces.PendingLine().size() < RfidLineAssembler::kMaxLineLength);
    }
    Check(inPieces == all);
    Check(pieces.PendingLine() == whole.PendingLine());
    return 0;
}
