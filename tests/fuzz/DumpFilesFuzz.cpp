// Feeds arbitrary bytes to both key dump readers: every key listed is a whole
// slot's digits, a БЭКУ key width is 3 or 4 bytes, a Мирель key stands in a
// record of the variant's range and is never the empty slot.

#include "FuzzSupport.h"
#include "keys/BekuDumpFile.h"
#include "keys/KeyNumber.h"
#include "keys/MirelDumpFile.h"

#include <cstdint>

namespace {

using fuzz::Check;

bool hexDigits(const QString& key, int size) {
    if (key.size() != size) return false;
    for (QChar c : key)
        if (!KeyNumber::IsHexDigit(c)) return false;
    return true;
}

}  // namespace

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* bytes, size_t size) {
    const QByteArray data(reinterpret_cast<const char*>(bytes), qsizetype(size));
    // The console is built only on every other input: it is where most of the
    // time goes, and the keys must not depend on it.
    const bool console = size % 2 == 0;

    const BekuDump beku = ReadBekuDump(data, console);
    Check(beku.keyBytes == 3 || beku.keyBytes == 4);
    for (const QString& key : beku.keys) Check(hexDigits(key, 2 * beku.keyBytes));
    Check(beku.keys == ReadBekuDump(data, !console).keys);
    // Seven keys at most per page.
    Check(beku.keys.size() <=
          7 * (qMax<qsizetype>(0, size - 32) / (2 + 7 * beku.keyBytes + 2) + 1));

    const MirelDump mirel = ReadMirelDump(data, console);
    Check(!mirel.badVariant || mirel.rows.isEmpty());
    int previous = 0;
    for (const MirelKeyRow& row : mirel.rows) {
        Check(hexDigits(row.key, 6) && row.key != QStringLiteral("FFFFFF"));
        Check(row.index >= previous && row.index <= mirel.apartments);
        previous = row.index;
    }
    Check(mirel.rows.size() <= 7 * (mirel.apartments + 1));
    return 0;
}
