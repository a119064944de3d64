#include "config/ConfigImage.h"

#include "foundation/BitAndStr.h"

#include <algorithm>
#include <limits>

namespace {

const QChar kZeroBit = QLatin1Char('0');
const QChar kOneBit = QLatin1Char('1');

constexpr qint64 kMaxLengthWord = 65535;  // a length of this size cannot be stored

quint8 byteOfBits(const QString& text, qsizetype from, qsizetype count) {
    return quint8(BinToInt(QStringView(text).mid(from, count)) & 0xFF);
}

}  // namespace

QString BitField(qint64 value, int width) {
    if (width <= 0) return QString();
    // The low bits of the value, the lowest last; a negative value is all zeros.
    QString field(width, kZeroBit);
    QChar* bits = field.data();
    for (int i = 0; value > 0 && i < width && i < 64; ++i)
        if ((quint64(value) >> i) & 1) bits[width - 1 - i] = kOneBit;
    return field;
}

QString EmptySlot(int width) {
    return width > 0 ? QString(width, kOneBit) : QString();
}

void PrependField(QString& text, qint64 value, int width) {
    text.prepend(BitField(value, width));
}

qint64 CutField(QString& text, int width) {
    if (width <= 0) return 0;
    const qsizetype take = qMin<qsizetype>(width, text.size());
    const qint64 v = BinToInt(QStringView(text).right(take));
    text.chop(take);
    return v;
}

QString MaskPayload(const QString& mask, qsizetype length) {
    if (length <= 0) return QString();
    // Set in place, item i at length - 1 - i: a mask may be a section long.
    QString bits(length, kZeroBit);
    QChar* out = bits.data();
    const qsizetype items = qMin(length, mask.size());
    for (qsizetype i = 0; i < items; ++i)
        if (mask.at(i) == kOneBit) out[length - 1 - i] = kOneBit;
    return bits;
}

QString MaskPayload(const QString& mask) {
    return MaskPayload(mask, mask.size());
}

void BitsLowFirst::Add(qint64 value, int width) {
    if (width <= 0) return;
    const qsizetype at = bits_.size();
    bits_.resize(at + width);
    QChar* bits = bits_.data() + at;
    for (int i = 0; i < width; ++i)
        bits[i] = i < 64 && (quint64(value) >> i) & 1 ? kOneBit : kZeroBit;
}

void BitsLowFirst::AddOnes(int width) {
    if (width <= 0) return;
    const qsizetype at = bits_.size();
    bits_.resize(at + width);
    std::fill_n(bits_.data() + at, width, kOneBit);
}

QString BitsLowFirst::Text() const {
    QString text(bits_.size(), Qt::Uninitialized);
    // One pass: a key section may hold 139264 bits.
    std::reverse_copy(bits_.cbegin(), bits_.cend(), text.begin());
    return text;
}

QString WrapSection(QString& payload, int sectionNumber, int version, QStringList* log) {
    qint64 lengthWord = 0;
    QString tail;
    if (!payload.isEmpty()) {
        const qsizetype r = payload.size() % 8;
        if (r > 0) payload.prepend(QString(8 - r, kZeroBit));
        tail = BitField(version, 8);
        const qint64 n = payload.size() / 8 + 1;  // payload bytes + the version byte
        if (n >= kMaxLengthWord) {
            if (log)
                log->append(QStringLiteral(
                    "Длина секции превышает допустимое численное ограничение Word!"));
        } else {
            lengthWord = n;
        }
    }
    if (log)
        log->append(QStringLiteral("Размер секции ") + QString::number(sectionNumber) +
                    QStringLiteral(":=") + QString::number(lengthWord) + QStringLiteral(" байт"));
    tail += BitField(lengthWord, kSectionLengthBits);
    return payload + tail;
}

qint64 TakeSection(QString& image, QString& sectionText) {
    sectionText.clear();
    qsizetype rest = image.size();
    if (rest < kSectionLengthBits) return 0;
    const qint64 lengthWord = BinToInt(QStringView(image).right(kSectionLengthBits));
    rest -= kSectionLengthBits;
    const qint64 bits = lengthWord * 8;
    if (bits >= 1 && bits > rest) return 0;  // reaches past the start: not a section
    sectionText = image.mid(rest - bits, bits);
    image.truncate(rest - bits);
    return bits;
}

QList<ConfigSection> TakeAllSections(QString& image) {
    QList<ConfigSection> sections;
    for (;;) {
        const qsizetype before = image.size();
        ConfigSection s;
        s.bits = TakeSection(image, s.text);
        if (image.size() == before) break;  // each taken section shortens the image
        sections.append(s);
    }
    return sections;
}

bool SectionLengthMatches(const QString& section, qint64* bytes, qint64* word) {
    const qint64 w = BinToInt(QStringView(section).right(kSectionLengthBits));
    const qint64 b = RoundDiv(qMax<qint64>(section.size() - kSectionLengthBits, 0), 8);
    if (bytes) *bytes = b;
    if (word) *word = w;
    return w == b;
}

QString ConfigWriteHeading(const QString& title) {
    return QString(35, QLatin1Char('-')) + QLatin1Char(' ') + title;
}

QString ConfigReadHeading(const QString& title) {
    return QString(26, QLatin1Char('-')) + QLatin1Char(' ') + title;
}

QByteArray BitStringToBytes(const QString& text, qint64* bitCount) {
    QByteArray out;
    qsizetype l = text.size();
    qint64 bits = l;
    out.reserve(l / 8 + 1);
    for (; l >= 8; l -= 8) out.append(char(byteOfBits(text, l - 8, 8)));
    if (l > 0) {
        out.append(char(byteOfBits(text, 0, l)));
        bits += 8 - l;
    }
    if (bitCount) *bitCount = bits;
    return out;
}

bool WriteBitString(QIODevice& out, const QString& text, qint64* bitCount) {
    const QByteArray bytes = BitStringToBytes(text, bitCount);
    return out.write(bytes) == bytes.size();
}

namespace {

// The eight characters of each byte value, highest bit first: a file's image
// is made a byte at a time, and every decoder starts with one.
struct ByteBits {
    char16_t chars[256][8];
    constexpr ByteBits() : chars() {
        for (int b = 0; b < 256; ++b)
            for (int bit = 0; bit < 8; ++bit) chars[b][bit] = (b >> (7 - bit)) & 1 ? u'1' : u'0';
    }
};
constexpr ByteBits kByteBitTable;

}  // namespace

QString ImageFromBytes(QByteArrayView bytes) {
    QString image(bytes.size() * 8, Qt::Uninitialized);
    char16_t* bits = reinterpret_cast<char16_t*>(image.data());
    const char* data = bytes.data();
    // The last byte read ends up first in the image.
    for (qsizetype i = bytes.size() - 1; i >= 0; --i, bits += 8)
        std::copy_n(kByteBitTable.chars[quint8(data[i])], 8, bits);
    return image;
}

void PrependBytesToImage(QString& image, QByteArrayView bytes) {
    image.prepend(ImageFromBytes(bytes));
}

QString ConfigEndMark() {
    return EmptySlot(kSectionLengthBits);
}

QByteArray ConfigFileBytes(const QString& headerText, const QStringList& sectionTexts) {
    QByteArray file = BitStringToBytes(headerText);
    for (const QString& s : sectionTexts) file += BitStringToBytes(s);
    file += BitStringToBytes(ConfigEndMark());
    return file;
}

int CountHexSections(const QString& hex, int& index, int& count) {
    int result = 0;
    if (index < 0) return result;
    // 64-bit positions: an index near the int range must not overflow when doubled.
    qint64 i = index;
    while (i * 2 + 4 < hex.size()) {
        result = -1;
        const QString word = hex.mid(i * 2 + 2, 2) + hex.mid(i * 2, 2);
        // Lower-case digits end the walk too: read as a length, the end mark would
        // send the index 65537 bytes on and the caller would wait for text that
        // never comes. The device texts are upper-case, so they walk the same.
        if (word.compare(QStringLiteral("FFFF"), Qt::CaseInsensitive) == 0) break;
        i += (HexToInt(word) & 0xFFFF) + 2;
        ++count;
        result = 1;
    }
    index = int(qMin<qint64>(i, std::numeric_limits<int>::max()));
    return result;
}

qint64 ConfigSizeLimitBits(int kind) {
    switch (kind) {
        case kKindSwitch:
        case kKindCallPanel:
            return 0x22000;
        case kKindConsole:
            return 0x18000;
        default:
            return 0;
    }
}

int ConfigSectionCount(int kind) {
    switch (kind) {
        case kKindSwitch:
        case kKindCallPanel:
            return 8;
        case kKindConsole:
            return 7;
        default:
            return 0;
    }
}

QStringList ConfigSizeStopLines(qint64 excessBits) {
    const QString stars(50, QLatin1Char('*'));
    return {QStringLiteral("Размер файла превышает допустимый на этом этапе на ") +
                QString::number(RoundDiv(excessBits, 8)) + QStringLiteral(" байт"),
            stars, QStringLiteral("* Формирование файла прекращено!  *"), stars};
}

bool ConfigSizeExceeded(int kind, qint64 runningBits, QStringList* log) {
    const qint64 limit = ConfigSizeLimitBits(kind);
    if (runningBits <= limit) return false;
    if (log) log->append(ConfigSizeStopLines(runningBits - limit));
    return true;
}
