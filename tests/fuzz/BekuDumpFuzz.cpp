// Feeds arbitrary bytes to the БЭКУ key dump reader: every key listed is a
// whole slot's digits of a key width of 3 or 4 bytes, at most seven a page,
// and the parse console, a line a byte, does not change the keys. The console
// is where most of the time goes, so it is built for one input in sixteen.

#include "DumpKeys.h"
#include "FuzzSupport.h"
#include "keys/BekuDumpFile.h"

#include <cstdint>

using fuzz::Check;

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* bytes, size_t size) {
    const QByteArray data(reinterpret_cast<const char*>(bytes), qsizetype(size));
    const BekuDump beku = ReadBekuDump(data, false);
    Check(beku.keyBytes == 3 || beku.keyBytes == 4);
    for (const QString& key : beku.keys) Check(fuzz::HexDigits(key, 2 * beku.keyBytes));
    if (fuzz::Sampled(data, fuzz::kDumpConsoleEvery))
        Check(beku.keys == ReadBekuDump(data, true).keys);
    Check(beku.keys.size() <=
          7 * (qMax<qsizetype>(0, qsizetype(size) - 32) / (2 + 7 * beku.keyBytes + 2) + 1));
    return 0;
}
