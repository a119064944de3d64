// Feeds arbitrary bytes to the key dump reader of the Мирель door panels:
// every key listed stands in a record of the variant's range, in record
// order, and is never the empty slot; a bad variant lists none. The parse
// console, a line a data byte, is built for one input in sixteen and must not
// change the keys.

#include "DumpKeys.h"
#include "FuzzSupport.h"
#include "keys/MirelDumpFile.h"

#include <cstdint>

using fuzz::Check;

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* bytes, size_t size) {
    const QByteArray data(reinterpret_cast<const char*>(bytes), qsizetype(size));
    const MirelDump mirel = ReadMirelDump(data, false);
    Check(!mirel.badVariant || mirel.rows.isEmpty());
    int previous = 0;
    for (const MirelKeyRow& row : mirel.rows) {
        Check(fuzz::HexDigits(row.key, 6) && row.key != QStringLiteral("FFFFFF"));
        Check(row.index >= previous && row.index <= mirel.apartments);
        previous = row.index;
    }
    Check(mirel.rows.size() <= 7 * (mirel.apartments + 1));
    if (fuzz::Sampled(data, fuzz::kDumpConsoleEvery)) {
        const MirelDump echoed = ReadMirelDump(data, true);
        Check(echoed.rows.size() == mirel.rows.size() && echoed.apartments == mirel.apartments);
        for (qsizetype i = 0; i < mirel.rows.size(); ++i)
            Check(echoed.rows[i].key == mirel.rows[i].key &&
                  echoed.rows[i].index == mirel.rows[i].index);
    }
    return 0;
}
