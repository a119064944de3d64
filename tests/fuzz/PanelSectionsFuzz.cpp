// Feeds arbitrary bytes to the decoders of one call-panel section
// (FUZZ_SECTION, set by the build: one target a section), as the bytes of
// the section after its length word (the input's first two bytes are left
// for the section targets' common layout), with what must hold of their
// output: the editor's records stay within what the section holds, what the
// editor decoded it can always write back, and no encoder of the editor's key
// lists grows past a file.

#include "FuzzSupport.h"

#include "config/ConfigImage.h"
#include "config/PanelEntranceSection.h"
#include "config/PanelKeySections.h"
#include "config/TBvParams.h"

#include <cstdint>
#include <limits>

namespace {

using fuzz::Check;

// The editor's key lists are written back for one input in kWriteBackEvery:
// the encoders are not what this target is about. A list whose count asks
// for more slots than the section holds, or whose apartment index lies far
// beyond it, makes the editor write a section as large as a file, which
// takes a hundred times as long as the rest; those are written back for one
// input in kWholeFileEvery.
constexpr unsigned kWriteBackEvery = 8;
constexpr unsigned kWholeFileEvery = 32;

// A section an editor encoder built: at most one slot (of up to 255 + 24
// bits) and its framing more than a whole file.
void CheckBounded(const QString& section) {
    Check(section.size() <= ConfigSizeLimitBits(kKindCallPanel) + 1024);
}

// bitsAsked: the bits the write-back asks for at least.
bool WriteBack(const fuzz::SectionInput& in, qint64 bitsAsked) {
    const bool wholeFile = bitsAsked > in.text.size();
    return fuzz::Sampled(in.bytes, wholeFile ? kWholeFileEvery : kWriteBackEvery);
}

// Section 5 gets a bit for every apartment up to the largest index of Keys6.
qint64 largestApartment(const Keys6List& k6) {
    qint64 largest = 0;
    for (const Keys6Row& row : k6.rows) {
        bool ok = false;
        const qint64 a = row.apartment.toLongLong(&ok);
        largest = qMax(largest, ok ? a : std::numeric_limits<qint64>::max());
    }
    return largest;
}

void Section0(const fuzz::SectionInput& in) {
    const QString& text = in.text;
    TBvParams p;
    BvParamsFromBits(text, p);
    Check(DecodeBvSection0(text).size() == 24);
    const qsizetype payload = text.size() - 8;
    if (payload >= kBvParamsFixedBits) Check(BvParamsToBits(p) == text.left(payload));
    // Decoded codes are always codes the editor can write again.
    QString section, error;
    Check(EncodeBvParams(DecodeBvParams(text), section, nullptr, &error));
}

void Section2(const fuzz::SectionInput& in) {
    int total = -1;
    DecodeBvSection2(in.text, 63, &total);
    Check(total >= 0);
    const BvEntranceGrid g = DecodeBvEntranceMask(in.text, 63);
    Check(g.columns.size() == 63 && g.servedEntrances <= 63);
    QString section, error;
    Check(EncodeBvEntranceMask(g, g.reserveBit, 63, section, nullptr, &error));
}

void Section5(const fuzz::SectionInput& in) {
    DecodeBvSection5(in.text);
    const Keys5List k5 = DecodeBvKeys5(in.text);
    Check(k5.rows.size() <= in.text.size() / 24);  // only the slots the section holds
    if (!WriteBack(in, k5.kolSl5 * kKeySlotBits)) return;
    ConfigLogs logs;
    CheckBounded(EncodeBvKeys5(k5, Keys6List(), logs));
}

void Section6(const fuzz::SectionInput& in) {
    DecodeBvSection6(in.text);
    const Keys6List k6 = DecodeBvKeys6(in.text);
    Check(k6.rows.size() <= in.text.size() / 24);
    if (!WriteBack(in, qMax(k6.kolSl6 * kKeySlotBits, largestApartment(k6)))) return;
    // Its keys move into section 5, those without an apartment into section 7.
    ConfigLogs logs;
    QStringList leftover;
    CheckBounded(EncodeBvKeys6(k6, logs, leftover));
    CheckBounded(EncodeBvKeys5(Keys5List(), k6, logs));
    CheckBounded(EncodeBvKeys7(Keys7List(), leftover, logs));
}

void Section7(const fuzz::SectionInput& in) {
    DecodeBvSection7(in.text);
    const Keys7List k7 = DecodeBvKeys7(in.text);
    Check(k7.keys.size() <= in.text.size() / 24);
    if (!WriteBack(in, k7.kolSl7 * kKeySlotBits)) return;
    ConfigLogs logs;
    CheckBounded(EncodeBvKeys7(k7, {}, logs));
}

}  // namespace

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* bytes, size_t size) {
    fuzz::SectionInput in;
    if (!fuzz::ReadSectionInput(fuzz::View(bytes, size), in)) return 0;
    constexpr void (*kDecoders[])(const fuzz::SectionInput&) = {
        Section0, nullptr, Section2, nullptr, nullptr, Section5, Section6, Section7};
    static_assert(FUZZ_SECTION >= 0 && FUZZ_SECTION <= 7 && kDecoders[FUZZ_SECTION]);
    kDecoders[FUZZ_SECTION](in);
    return 0;
}
