// Feeds arbitrary bytes to the decoders of the flag section (section 4 of
// call-panel and console files), as the bytes of the section after its
// length word, the input's first two bytes being the apartment count they
// are told: the groups stay within the section and every record gets a whole
// group of at most the sixteen flags.

#include "FuzzSupport.h"
#include "config/FlagSection.h"

#include <cstdint>

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* bytes, size_t size) {
    fuzz::SectionInput in;
    if (!fuzz::ReadSectionInput(fuzz::View(bytes, size), in)) return 0;
    DecodeFlagMasks(in.text, in.announced);
    // The editor's decoder gives what the section decoder read, so one call checks both.
    QList<CallCodeRecord> records(in.announced);
    const FlagSectionValues v = DecodeFlagRecords(in.text, records);
    qsizetype groupBits = 0;
    for (const QString& g : v.groups) groupBits += g.size();
    fuzz::Check(groupBits <= in.text.size());
    for (const CallCodeRecord& r : records) fuzz::Check(r.flags.size() <= kFlagCount);
    return 0;
}
