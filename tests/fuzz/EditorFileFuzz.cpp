// Feeds arbitrary bytes, as a configuration file in memory, to the editor's
// decoder: it decodes every section into the values of its tab. For one input in
// thirty-two it also holds the file to the round trip of the editor tests
// (support/EditorRoundTrip.h): what it opens it saves, a saved file opens
// again without a warning and saves to the same bytes, and a file that opened
// without a warning keeps its kind, section 1 and kept sections.

#include "FuzzSupport.h"
#include "support/EditorRoundTrip.h"

#include <cstdint>
#include <cstdio>

namespace {
constexpr unsigned kRoundTripEvery = 32;
}  // namespace

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* bytes, size_t size) {
    fuzz::SilenceDialogs();
    const QByteArrayView data = fuzz::View(bytes, size);
    const ConfigScreenSettings settings = fuzz::ScreenSettings(data);
    // The reader's lists for the screen are left out: the file reader has a
    // target of its own, and so has the whole open from a real file.
    ConfigReadOutput read;
    if (ReadConfigBytes(data, read, nullptr, nullptr, settings.sepDevice) != ConfigReadStatus::Ok)
        return 0;
    EditorFile opened;
    opened.jDev = read.deviceNumber;
    ParseEditorImage(read.image, opened, settings);
    fuzz::Check(opened.kind >= kKindUnknown && opened.kind <= kKindConsole);
    if (!opened.Parsed() || !fuzz::Sampled(data, kRoundTripEvery)) return 0;
    const EditorRoundTrip rt = RunEditorRoundTrip(data, settings, 7);
    if (!rt.broken.isEmpty()) {
        std::fprintf(stderr, "round trip: %s\n", qPrintable(rt.broken));
        std::abort();
    }
    return 0;
}
