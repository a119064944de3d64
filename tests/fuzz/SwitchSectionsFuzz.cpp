// Feeds arbitrary bytes to the decoders of one switch section (FUZZ_SECTION,
// set by the build: one target a section), as the bytes of the section after
// its length word (version byte first, then the payload; the input's first
// two bytes are left for the section targets' common layout). The read
// screen's and the editor's decoder of the section both read it, and what
// must hold of their output is checked: the decoders that can write back give
// the payload back, and the editor's records stay within the section.

#include "FuzzSupport.h"
#include "config/SwitchSections.h"
#include "config/TPkParams.h"

#include <cstdint>

namespace {

using fuzz::Check;

void Section0(const QString& text) {
    TPkParams p;
    PkParamsFromBits(text, p);
    Check(DecodePkSection0(text).size() == 19);
    const qsizetype payload = text.size() - 8;
    // A whole record and its tail give the payload back unchanged.
    if (payload >= kPkParamsFixedBits) Check(PkParamsToBits(p) == text.left(payload));
}

void Section2(const QString& text) {
    const PkTractGrid grid = DecodePkTract(text);
    QString section, error;
    Check(EncodePkTract(grid, 63, section, nullptr, &error));  // shown numbers always fit
    DecodePkSection2(text);
}

void Section3(const QString& text) {
    const QString mask = DecodePkCallbackMask(text);
    Check(mask.isEmpty() || mask.size() == text.size() - 8);
    DecodePkSection3(text);
}

void Section4(const QString& text) {
    const PkMelodies m = DecodePkMelodies(text);
    Check(m.present <= 2 && (m.call.size() + m.ringBack.size()) * 16 <= text.size());
    DecodePkSection4(text);
}

void Section5(const QString& text) {
    const PkHandsetRanges r = DecodePkHandsetRanges(text);
    Check(r.rows.size() * 8 <= text.size());
    DecodePkSection5(text);
}

void Section6(const QString& text) {
    const PkBlocking b = DecodePkBlocking(text);
    DecodePkSection6(text);
    const qsizetype payload = text.size() - 8;
    if (payload >= 32) {
        // The editor writes the blocking section back as it read it.
        const QString back = EncodePkBlocking(b, nullptr);
        Check(back.left(back.size() - 24) == text.left(payload));
    }
}

void Section7(const QString& text) {
    const PkVideo v = DecodePkVideo(text);
    Check(v.input == -1 || (v.input >= 1 && v.input <= 255));
    DecodePkSection7(text);
}

}  // namespace

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* bytes, size_t size) {
    fuzz::SectionInput in;
    if (!fuzz::ReadSectionInput(fuzz::View(bytes, size), in)) return 0;
    constexpr void (*kDecoders[])(const QString&) = {Section0, nullptr,  Section2, Section3,
                                                     Section4, Section5, Section6, Section7};
    static_assert(FUZZ_SECTION >= 0 && FUZZ_SECTION <= 7 && FUZZ_SECTION != 1);
    kDecoders[FUZZ_SECTION](in.text);
    return 0;
}
