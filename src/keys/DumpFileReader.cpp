#include "keys/DumpFileReader.h"

#include "foundation/BitAndStr.h"
#include "platform/SystemErrorText.h"

#include <QFile>

#include <array>
#include <limits>

DumpFileStatus ReadDumpFileBytes(const QString& path, QByteArray& bytes, QString* error) {
    bytes.clear();
    QFile file(path);
    if (!file.open(QIODevice::ReadOnly)) {
        if (error) *error = SystemReason(file.errorString());
        return DumpFileStatus::Unreadable;
    }
    // One byte more than allowed tells a file that is too large, whatever
    // its reported size.
    bytes = file.read(kMaxDumpFileBytes + 1);
    if (file.error() != QFileDevice::NoError) {
        if (error) *error = SystemReason(file.errorString());
        bytes.clear();
        return DumpFileStatus::Unreadable;
    }
    if (bytes.size() > kMaxDumpFileBytes) {
        bytes.clear();
        return DumpFileStatus::TooLarge;
    }
    return DumpFileStatus::Ok;
}

QString DumpFilesFolder(const QString& dbFolder, bool writtenFolder, std::optional<qint64> idNom) {
    QString folder = dbFolder;
    if (!folder.isEmpty() && !folder.endsWith(QLatin1Char('/'))) folder += QLatin1Char('/');
    folder +=
        writtenFolder ? QStringLiteral("Data/FlWrite/Fl_") : QStringLiteral("Data/FlRead/Fl_");
    return folder + QString::number(idNom.value_or(0));
}

namespace DumpConsole {

namespace {

// A dump of 64 KiB writes a line per byte; the texts of the 256 values are
// made once.
struct ByteTexts {
    std::array<QString, 256> bits;
    std::array<QString, 256> hex;
    ByteTexts() {
        for (int b = 0; b < 256; ++b) {
            bits[b] = PadLeft(IntToBin(b), QLatin1Char('0'), 8);
            hex[b] = ByteToHex(b);
        }
    }
};

const ByteTexts& texts() {
    static const ByteTexts t;
    return t;
}

}  // namespace

QString NotThisStructure() {
    return QStringLiteral("! Возможно файл не соответствует структуре !");
}

QString Bits(quint8 byte) {
    return texts().bits[byte];
}

QString ByteLine(qint64 address, quint8 byte, bool withHex, const QString& separator) {
    QString line;
    line.reserve(48);
    line += QLatin1String("bt");
    AppendNumber(line, address, 8);
    if (withHex) {
        static constexpr char kDigits[] = "0123456789ABCDEF";
        line += QLatin1String(" $");
        for (int shift = 28; shift >= 0; shift -= 4)
            line += QLatin1Char(kDigits[(quint64(address) >> shift) & 0xF]);
    }
    line += QLatin1String(":  ");
    line += texts().bits[byte];
    line += separator;
    line += texts().hex[byte];
    return line;
}

QString SlotKey(const char* bytes, int width) {
    QString key;
    key.reserve(2 * width);
    for (int i = width - 1; i >= 0; --i) key += texts().hex[quint8(bytes[i])];
    return key;
}

}  // namespace DumpConsole

namespace {
constexpr qint64 kGaugeStride = 4096;  // bytes between two reports
}

DumpGauge::DumpGauge(const ProgressFn& progress, qint64 maximum)
    : progress_(progress), maximum_(maximum) {
    report(true);
}

DumpGauge::~DumpGauge() {
    if (progress_) report(false);
}

void DumpGauge::SetMaximum(qint64 maximum) {
    maximum_ = maximum;
    report(true);
}

void DumpGauge::At(qint64 position) {
    position_ = position;
    if (position_ - reported_ >= kGaugeStride) report(true);
}

void DumpGauge::report(bool visible) {
    reported_ = position_;
    if (!progress_) return;
    const qint64 top = qMin<qint64>(maximum_, std::numeric_limits<int>::max());
    progress_(int(qMin(position_, top)), int(top), visible);
}
