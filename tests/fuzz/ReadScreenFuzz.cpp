// Feeds arbitrary bytes, as a file in memory, to the read screen's reader and
// its parse: the section decoders of the kind the header or the length of
// section 0 names print their lines, and an unknown kind is dumped.

#include "FuzzSupport.h"
#include "config/ConfigFileReader.h"
#include "config/ConfigReadScreen.h"

#include <cstdint>

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* bytes, size_t size) {
    fuzz::SilenceDialogs();
    const QByteArrayView data = fuzz::View(bytes, size);
    ScreenReadOutput out;
    QStringList detail, steps;
    if (ReadConfigBytesForScreen(data, QStringLiteral("f"), out, &detail, &steps, 63) !=
        ConfigReadStatus::Ok)
        return 0;
    fuzz::Check(out.jDev >= -1 && out.jDev < 128);
    const ReadScreenParse p =
        ParseConfigFile(out.image, out.jDev, kKindUnknown, fuzz::ScreenSettings(data));
    fuzz::Check(p.kind >= kKindUnknown && p.kind <= kKindConsole);
    return 0;
}
