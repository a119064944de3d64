// Feeds arbitrary bytes, as a file in memory, to the configuration-file
// reader and walks what it makes of them: the producer lines and header
// list, the date word, the section walk, the identification decoder and the
// kind by the length of section 0.

#include "FuzzSupport.h"
#include "config/ConfigFileReader.h"
#include "config/ConfigHeader.h"

#include <cstdint>

namespace {

using fuzz::Check;

void WalkImage(QString image) {
    QString dateText;
    CheckConfigTrailer(image, dateText);
    const qsizetype before = image.size();
    const QList<ConfigSection> sections = TakeAllSections(image);
    qsizetype consumed = 0;
    for (const ConfigSection& s : sections) {
        Check(s.text.size() == s.bits);
        Check(s.bits % 8 == 0);
        consumed += s.bits + 16;
        const ConfigIdent id = DecodeIdentSection(s.text);
        Check(id.idNet >= -1 && id.recordId >= -1 && id.idNom >= -1);
        Check(id.nNet >= -1 && id.nNet < 4096 && id.type >= -1 && id.type < 16);
    }
    Check(before - consumed == image.size());
    if (!sections.isEmpty()) {
        const qint64 bits = sections.first().bits;
        const int kinds[] = {ConfigKindByLength(bits, ConfigSection0Sizes{2000, 1000, 1500}),
                             ConfigKindByLength(bits, ConfigSection0Sizes{1000, 2000, 3000})};
        for (int kind : kinds) Check(kind >= kKindUnknown && kind <= kKindConsole);
    }
}

}  // namespace

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* bytes, size_t size) {
    fuzz::SilenceDialogs();
    const QByteArrayView data = fuzz::View(bytes, size);
    ConfigReadOutput out;
    QStringList messages, header;
    if (ReadConfigBytes(data, out, &messages, &header, 63) != ConfigReadStatus::Ok) {
        Check(out.image.isEmpty() && out.deviceNumber == -1);
        return 0;
    }
    Check(header.size() == 1 || header.size() == 29);
    Check(out.deviceNumber >= -1 && out.deviceNumber < 128);
    Check(out.image.size() % 8 == 0 && out.deviceByte.size() == 8);
    WalkImage(out.image);
    return 0;
}
