// Feeds arbitrary bytes to the configuration-file readers and walks what they
// make of them: the file reader (through a real file and from memory, which
// must agree), the read screen's reader and its parse, the editor's parse and
// the file it would save, the date word, the section walk, the identification
// decoder, and the hexadecimal section counter given the bytes in pieces as a
// device delivers them.

#include "FuzzSupport.h"
#include "config/ConfigEditorFile.h"
#include "config/ConfigFileReader.h"
#include "config/ConfigHeader.h"
#include "config/ConfigImage.h"
#include "config/ConfigReadScreen.h"

#include <QByteArray>
#include <QDir>
#include <QFile>

#include <unistd.h>
#include <cstdint>
#include <cstdlib>

namespace {

using fuzz::Check;

QString TempFileName() {
    static const QString name =
        QDir::tempPath() + QStringLiteral("/fuzz_config_%1.bin").arg(::getpid());
    return name;
}

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
        ConfigKindByLength(sections.first().text, ConfigSection0Sizes{2000, 1000, 1500});
        ConfigKindByLength(sections.first().text, ConfigSection0Sizes{1000, 2000, 3000});
    }
}

// The program's own section-0 sizes, or sizes in another order that the
// length rules read differently; one byte of the input chooses.
ConfigScreenSettings Settings(QByteArrayView data) {
    ConfigScreenSettings s;
    s.sizes = ConfigSection0Sizes{176, 232, 1088};
    if (!data.isEmpty() && quint8(data.back()) % 2) s.sizes = ConfigSection0Sizes{1088, 176, 232};
    return s;
}

bool IsKind(int kind) {
    return kind >= kKindUnknown && kind <= kKindConsole;
}

// The editor's parse, and the file its save would write: a file it builds
// from what it showed opens again as the same kind.
void EditorParse(const ConfigReadOutput& read, const ConfigScreenSettings& settings) {
    EditorFile f;
    f.jDev = read.deviceNumber;
    ParseEditorImage(read.image, f, settings);
    Check(IsKind(f.kind));
    if (!f.Parsed()) return;
    const EditorSaveResult built = BuildEditorFile(f, 7, settings);
    if (built.bytes.isEmpty()) return;
    ConfigReadOutput again;
    Check(ReadConfigBytes(built.bytes, again, nullptr, nullptr, settings.sepDevice) ==
          ConfigReadStatus::Ok);
    EditorFile reopened;
    reopened.jDev = again.deviceNumber;
    ParseEditorImage(again.image, reopened, settings);
    Check(reopened.kind == f.kind);
}

void FileReader(QByteArrayView data) {
    ConfigReadOutput fromMemory;
    QStringList messages, header;
    const ConfigReadStatus st = ReadConfigBytes(data, fromMemory, &messages, &header, 63);
    if (st != ConfigReadStatus::Ok) {
        Check(fromMemory.image.isEmpty() && fromMemory.deviceNumber == -1);
        return;
    }
    Check(header.size() == 1 || header.size() == 29);
    Check(fromMemory.deviceNumber >= -1 && fromMemory.deviceNumber < 128);
    WalkImage(fromMemory.image);
    EditorParse(fromMemory, Settings(data));

    QFile file(TempFileName());
    if (!file.open(QIODevice::WriteOnly | QIODevice::Truncate)) return;
    file.write(data.data(), data.size());
    file.close();
    ConfigReadOutput fromFile;
    QStringList fileMessages, fileHeader;
    Check(ReadConfigFile(TempFileName(), fromFile, &fileMessages, &fileHeader, 63) ==
          ConfigReadStatus::Ok);
    Check(fromFile.image == fromMemory.image && fromFile.deviceByte == fromMemory.deviceByte &&
          fromFile.deviceNumber == fromMemory.deviceNumber && fileMessages == messages &&
          fileHeader == header);
}

void ScreenReader(QByteArrayView data) {
    ScreenReadOutput out;
    QStringList detail, steps;
    if (ReadConfigBytesForScreen(data, QStringLiteral("f"), out, &detail, &steps, 63) !=
        ConfigReadStatus::Ok)
        return;
    WalkImage(out.image + BuildConfigTrailer());
    Check(IsKind(ParseConfigFile(out.image, out.jDev, kKindUnknown, Settings(data)).kind));
}

void HexCounter(QByteArrayView data) {
    const QString hex = QString::fromLatin1(data.toByteArray().toHex().toUpper());
    int index = 0, count = 0;
    // The text arrives in pieces of varying size; the walk continues each time.
    // The pieces are appended to one text, as a reader of the device does: a
    // fresh copy of the whole prefix per piece would make long inputs quadratic.
    QString received;
    received.reserve(hex.size());
    const int step = data.isEmpty() ? 1 : (quint8(data[0]) % 13) + 1;
    while (received.size() < hex.size()) {
        received.append(QStringView(hex).mid(received.size(), 2 * step));
        const int before = count;
        const int r = CountHexSections(received, index, count);
        Check(index >= 0 && count >= before);
        if (r < 0) break;
    }
    int wholeIndex = 0, wholeCount = 0;
    CountHexSections(hex, wholeIndex, wholeCount);
    // Pieces or all at once, the walk ends in the same place.
    Check(wholeIndex == index && wholeCount == count);
}

// Inputs starting with this byte are repeated up to a length between the file
// reader's limit and the read screen's, which mutation alone seldom reaches.
constexpr quint8 kGrowMark = 0xA5;

QByteArray Grown(QByteArrayView data) {
    const qsizetype target = 18000 + ((quint8(data[1]) << 8 | quint8(data[2])) % 15000);
    QByteArray out;
    out.reserve(target);
    while (out.size() < target) out.append(data.first(qMin(data.size(), target - out.size())));
    return out;
}

}  // namespace

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* bytes, size_t size) {
    fuzz::SilenceDialogs();
    QByteArray grown;
    QByteArrayView data(reinterpret_cast<const char*>(bytes), qsizetype(size));
    if (data.size() >= 3 && quint8(data[0]) == kGrowMark) {
        grown = Grown(data);
        data = grown;
    }
    FileReader(data);
    ScreenReader(data);
    HexCounter(data);
    return 0;
}
