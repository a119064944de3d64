// Feeds arbitrary bytes to the decoders of one console section (FUZZ_SECTION,
// set by the build: one target a section), as the bytes of the section after
// its length word (version byte first, then the payload; the input's first
// two bytes are the apartment count they are told). Checks that the editor's
// records stay what the section can hold, that what the editor decodes it
// writes back the same, and that day/night times made of the bytes survive a
// write and a read. The flag section has a target of its own.

#include "FuzzSupport.h"

#include "config/CallCodeSection.h"
#include "config/ConfigImage.h"
#include "config/ConsoleSections.h"
#include "config/DayNightSection.h"
#include "config/TPoParams.h"

#include <cstdint>

namespace {

using fuzz::Check;

constexpr unsigned kTimesRoundTripEvery = 16;

void ConsoleParams(const QString& text) {
    TPoParams p;
    PoParamsFromBits(text, p);
    Check(DecodePoSection0(text).size() == 55);
    const qsizetype payload = text.size() - 8;
    if (payload >= kPoParamsFixedBits) Check(PoParamsToBits(p) == text.left(payload));
    QString section, error;
    Check(EncodePoParams(DecodePoParams(text), section, nullptr, &error));
}

void Entrances(const QString& text, int sep) {
    int total = 0;
    DecodePoSection2(text, sep, &total);
    const PoEntranceGrid g = DecodePoEntranceMask(text, sep);
    Check(g.apartments.size() == sep && g.panelMasks.size() == sep);
    QString image = ImageFromBytes(BitStringToBytes(EncodePoEntranceMask(g, sep, nullptr)));
    QString again;
    TakeSection(image, again);
    const PoEntranceGrid back = DecodePoEntranceMask(again, sep);
    Check(back.switchMask == g.switchMask && back.apartments == g.apartments &&
          back.panelMasks == g.panelMasks && back.reserve == g.reserve);
}

void Times(const QString& text, int announced) {
    QList<CallCodeRecord> records(announced);
    DecodePoSection5(text, announced);
    DecodePoCodeTimes(text, records);
}

void Handsets(const QString& text) {
    DecodePoSection6(text);
    const PoHandsets h = DecodePoSysAddr(text);
    Check(h.entries.size() == h.count && h.count <= 255);
    for (const PoHandsetCells& c : h.entries)
        if (c.switchNo.isEmpty()) return;  // the section ended early
    QString section, error;
    Check(EncodePoSysAddr(h.entries, section, nullptr, &error));
    QString image = ImageFromBytes(BitStringToBytes(section));
    QString again;
    TakeSection(image, again);
    Check(DecodePoSysAddr(again).count == h.count);
}

// Entries made of the bytes, two a time: the first says whether the entry has
// times and which of a few, the second varies them.
void TimesRoundTrip(QByteArrayView bytes) {
    QString mask;
    QList<qint64> words;
    for (qsizetype i = 0; i + 1 < bytes.size(); i += 2) {
        const quint8 a = quint8(bytes[i]), b = quint8(bytes[i + 1]);
        if (a & 1) {
            mask += QLatin1Char('0');
            continue;
        }
        mask += QLatin1Char('1');
        const qint64 day = (a & 2) ? (a >> 2) * 10 : qint64(a) * 5 + b % 5;
        words << day << qint64(b) * 5 << words.size() / 3 + 1;
    }
    QString image = ImageFromBytes(BitStringToBytes(EncodePoCodeTimes(mask, words, nullptr)));
    QString text;
    TakeSection(image, text);
    QList<CallCodeRecord> records(mask.size());
    Check(DecodePoCodeTimes(text, records).isEmpty());
    qsizetype w = 0;
    for (qsizetype i = 0; i < mask.size(); ++i) {
        const bool has = mask.at(i) == QLatin1Char('1');
        Check(records[i].dayTime == (has ? PoTimeText(words[w]) : QString()));
        Check(records[i].nightTime == (has ? PoTimeText(words[w + 1]) : QString()));
        if (has) w += 3;
    }
}

}  // namespace

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* bytes, size_t size) {
    fuzz::SectionInput in;
    if (!fuzz::ReadSectionInput(fuzz::View(bytes, size), in)) return 0;
    switch (FUZZ_SECTION) {
        case 0:
            ConsoleParams(in.text);
            break;
        case 2:
            Entrances(in.text, 63);
            Entrances(in.text, 1 + in.announced % 63);
            break;
        case 5:
            Times(in.text, in.announced);
            // The times made of the bytes go through the encoder too, which
            // is not what this target is about: for a share of the inputs.
            if (fuzz::Sampled(in.bytes, kTimesRoundTripEvery)) TimesRoundTrip(in.bytes);
            break;
        case 6:
            Handsets(in.text);
            break;
        default:
            static_assert(FUZZ_SECTION == 0 || FUZZ_SECTION == 2 || FUZZ_SECTION == 5 ||
                          FUZZ_SECTION == 6);
    }
    return 0;
}
