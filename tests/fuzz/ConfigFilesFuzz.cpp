// Feeds arbitrary bytes, written as a real file, to the readers that open
// files: the file reader must give what it gives for the same bytes in
// memory. The decoders behind them have targets of their own, so the slower
// parts run for a share of the inputs each, chosen by the bytes: the read
// screen's reader against memory (one in four), its whole read, decoded and
// raw, which must name the kind its parse names (one in sixteen), and the
// editor (one in sixteen): opened from the file as from memory, saved over
// the file (the bytes on disk are the bytes built) and opened again.
//
// One in four inputs starting with 0xA5 is repeated up to a length between
// the file reader's limit and the read screen's, which mutation alone seldom
// reaches; the others stay as they are.

#include "FuzzSupport.h"
#include "config/ConfigEditorFile.h"
#include "config/ConfigFileReader.h"
#include "config/ConfigReadScreen.h"

#include <QByteArray>
#include <QDir>
#include <QFile>

#include <unistd.h>
#include <cstdint>

namespace {

using fuzz::Check;

constexpr quint8 kGrowMark = 0xA5;
constexpr unsigned kGrowEvery = 4;
constexpr unsigned kScreenReaderEvery = 4;
constexpr unsigned kWholeReadEvery = 16;
constexpr unsigned kEditorEvery = 16;

QByteArray Grown(QByteArrayView data) {
    const qsizetype target = 18000 + ((quint8(data[1]) << 8 | quint8(data[2])) % 15000);
    QByteArray out;
    out.reserve(target);
    while (out.size() < target) out.append(data.first(qMin(data.size(), target - out.size())));
    return out;
}

// A folder of this process, in memory where the system has one: the editor's
// save flushes its file to the disk.
QString FileName() {
    static const QString name = [] {
        const QString base = QDir(QStringLiteral("/dev/shm")).exists() ? QStringLiteral("/dev/shm")
                                                                       : QDir::tempPath();
        const QString folder = base + QStringLiteral("/fuzz_config_files_%1").arg(::getpid());
        QDir().mkpath(folder);
        return folder + QStringLiteral("/c.bin");
    }();
    return name;
}

bool WriteFile(QByteArrayView data) {
    QFile file(FileName());
    if (!file.open(QIODevice::WriteOnly | QIODevice::Truncate)) return false;
    return file.write(data.data(), data.size()) == data.size();
}

QByteArray ReadBack() {
    QFile file(FileName());
    return file.open(QIODevice::ReadOnly) ? file.readAll() : QByteArray();
}

void FileReader(QByteArrayView data) {
    ConfigReadOutput fromMemory, fromFile;
    QStringList messages, header, fileMessages, fileHeader;
    const ConfigReadStatus st = ReadConfigBytes(data, fromMemory, &messages, &header, 63);
    Check(ReadConfigFile(FileName(), fromFile, &fileMessages, &fileHeader, 63) == st);
    Check(fromFile.image == fromMemory.image && fromFile.deviceByte == fromMemory.deviceByte &&
          fromFile.deviceNumber == fromMemory.deviceNumber && fileMessages == messages &&
          fileHeader == header);
}

void ScreenReader(QByteArrayView data) {
    ScreenReadOutput fromMemory, fromFile;
    QStringList detail, steps, fileDetail, fileSteps;
    const ConfigReadStatus st =
        ReadConfigBytesForScreen(data, FileName(), fromMemory, &detail, &steps, 63);
    Check(ReadConfigForScreen(FileName(), fromFile, &fileDetail, &fileSteps, 63) == st);
    Check(fromFile.image == fromMemory.image && fromFile.jDev == fromMemory.jDev &&
          fileDetail == detail && fileSteps == steps);
}

void WholeRead(QByteArrayView data, const ConfigScreenSettings& settings) {
    ScreenReadOutput out;
    const ConfigReadStatus st =
        ReadConfigBytesForScreen(data, FileName(), out, nullptr, nullptr, 63);
    const ReadScreenResult whole = ReadScreenFile(FileName(), false, kKindUnknown, settings);
    Check(whole.status == st);
    if (st == ConfigReadStatus::Ok)
        Check(whole.kind == ParseConfigFile(out.image, out.jDev, kKindUnknown, settings).kind);
    const ReadScreenResult raw = ReadScreenFile(FileName(), true, kKindUnknown, settings);
    Check(raw.status == ConfigReadStatus::Ok && raw.kind == kKindUnknown);
}

void Editor(QByteArrayView data, const ConfigScreenSettings& settings) {
    const EditorFile fromFile = LoadEditorFile(FileName(), settings);
    const EditorFile fromMemory = LoadEditorBytes(data, FileName(), settings);
    Check(fromFile.status == fromMemory.status && fromFile.kind == fromMemory.kind &&
          fromFile.warnings == fromMemory.warnings && fromFile.memo4 == fromMemory.memo4);
    if (!fromFile.Parsed()) return;
    const EditorSaveResult saved = SaveEditorFile(fromFile, 7, settings);
    if (saved.bytes.isEmpty()) {
        Check(ReadBack() == data.toByteArray());  // a refused save leaves the file alone
        return;
    }
    Check(ReadBack() == saved.bytes);
    Check(LoadEditorFile(FileName(), settings).Parsed());
}

}  // namespace

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* bytes, size_t size) {
    fuzz::SilenceDialogs();
    QByteArray grown;
    QByteArrayView data = fuzz::View(bytes, size);
    if (data.size() >= 3 && quint8(data[0]) == kGrowMark && fuzz::Sampled(data, kGrowEvery, 4)) {
        grown = Grown(data);
        data = grown;
    }
    if (!WriteFile(data)) return 0;
    const ConfigScreenSettings settings = fuzz::ScreenSettings(data);
    FileReader(data);
    if (fuzz::Sampled(data, kScreenReaderEvery, 1)) ScreenReader(data);
    if (fuzz::Sampled(data, kWholeReadEvery, 2)) WholeRead(data, settings);
    if (fuzz::Sampled(data, kEditorEvery, 3)) Editor(data, settings);
    return 0;
}
