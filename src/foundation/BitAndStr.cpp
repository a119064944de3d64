#include "foundation/BitAndStr.h"

#include <QtEndian>

#include <algorithm>
#include <cmath>
#include <cstring>
#include <limits>

namespace {

const QChar kZero = QLatin1Char('0');
const QChar kOne = QLatin1Char('1');

constexpr char kHexDigits[] = "0123456789ABCDEF";

int hexDigitValue(QChar c) {
    const char16_t u = c.toUpper().unicode();
    if (u >= u'0' && u <= u'9') return u - u'0';
    if (u >= u'A' && u <= u'F') return u - u'A' + 10;
    return -1;
}

// The value of a text of decimal digits; an empty text is 0.
qint64 digitsValue(const QString& digits) {
    qint64 v = 0;
    for (QChar c : digits) v = v * 10 + (c.unicode() - u'0');
    return v;
}

// Class names by index of the 64-bit device class mask.
struct ClassName {
    int index;
    const char* name;
};
constexpr ClassName kClassNames[] = {
    {0, "СКМ"},
    {1, "Импульсный СКМ"},
    {2, "СКМ+СПО"},
    {3, "Есть внутренняя сеть"},
    {4, "СБВ"},
    {5, "Клавиатура"},
    {6, "Трубка"},
    {7, "Дверь"},
    {8, "СПО"},
    {59, "Стенд"},
    {60, "Внешнее устройство"},
    {61, "Внутреннее устройство"},
    {62, "Комбинированное устройство"},
    {63, "Любое устройство, кроме СУС"},
};

}  // namespace

bool IsBinaryText(QStringView text) {
    for (QChar c : text)
        if (c != kZero && c != kOne) return false;
    return true;
}

QString IntToBin(qint64 n) {
    if (n < 0) return QString();
    if (n == 0) return QStringLiteral("0");
    QChar digits[64];
    int first = 64;
    for (quint64 v = quint64(n); v != 0; v >>= 1) digits[--first] = v & 1 ? kOne : kZero;
    return QString(digits + first, 64 - first);
}

qint64 BinToInt(const QString& text) {
    return BinToInt(QStringView(text));
}

namespace {

// The value of a text of at most 64 characters that are all '0' or '1', the
// form of every field the decoders cut from an image; false for any other.
bool plainBits(QStringView text, quint64& value) {
    const qsizetype n = text.size();
    if (n == 0 || n > 64) return false;
    const char16_t* c = text.utf16();
    quint64 v = 0;
    qsizetype i = 0;
    // Four characters a step, read as one word: '0' and '1' differ only in
    // the lowest bit of each.
    constexpr quint64 kLowBits = 0x0001000100010001ULL;
    constexpr quint64 kOnes = 0x0031003100310031ULL;
    for (; i + 4 <= n; i += 4) {
        quint64 word;
        std::memcpy(&word, c + i, sizeof word);
        word = qFromLittleEndian(word);  // the first character in the lowest bits
        if ((word | kLowBits) != kOnes) return false;
        v = v << 4 | (word & 1) << 3 | (word >> 16 & 1) << 2 | (word >> 32 & 1) << 1 |
            (word >> 48 & 1);
    }
    for (; i < n; ++i) {
        if ((c[i] | 1) != u'1') return false;  // neither '0' nor '1'
        v = v << 1 | (c[i] & 1);
    }
    value = v;
    return true;
}

}  // namespace

qint64 BinToInt(QStringView text) {
    // Every field of an image takes this way, so it is kept short.
    if (quint64 v = 0; plainBits(text, v)) return qint64(v);
    // A text that begins and ends with a binary digit needs no trimming, and
    // its comparison with "0" cannot turn a value to 0: the fields of every
    // image take this way.
    const auto bit = [](QChar c) { return c == kZero || c == kOne; };
    const bool bare = !text.isEmpty() && bit(text.front()) && bit(text.back());
    const QStringView t = bare ? text : text.trimmed();
    if (!bare && !(t.compare(u"0") > 0)) return 0;
    quint64 v = 0;
    const qsizetype n = t.size();
    const QChar* digits = t.data();
    for (qsizetype i = 0; i < n && i < 64; ++i)
        if (digits[n - 1 - i] == kOne) v |= quint64(1) << i;
    return qint64(v);
}

QString BinToHex(const QString& bits) {
    const QStringView t = QStringView(bits).trimmed();
    if (t.isEmpty() || !IsBinaryText(t)) return QString();
    // Whole digits from the end; the first digit takes what is left over.
    const qsizetype digits = (t.size() + 3) / 4;
    QString out(digits, Qt::Uninitialized);
    QChar* hex = out.data();
    qsizetype end = t.size();
    for (qsizetype d = digits - 1; d >= 0; --d, end -= 4) {
        int v = 0;
        for (qsizetype i = qMax<qsizetype>(end - 4, 0); i < end; ++i) v = v * 2 + (t[i] == kOne);
        hex[d] = QLatin1Char(kHexDigits[v]);
    }
    return out;
}

QString BinToHexBytes(const QString& bits) {
    const QString t = bits.trimmed();
    if (t.isEmpty()) return QStringLiteral("null");
    if (!IsBinaryText(t)) return QStringLiteral("error");
    QString hex = BinToHex(t);
    if (hex.size() % 2) hex.prepend(kZero);
    QString out;
    for (int i = 0; i < hex.size(); i += 2) out += QLatin1Char('$') + hex.mid(i, 2);
    return out;
}

QString ByteToHex(qint64 n) {
    QString text;
    AppendByteHex(text, n);
    return text;
}

void AppendByteHex(QString& text, qint64 n) {
    // The low byte; a negative number is 00.
    const int b = n < 0 ? 0 : int(n & 0xFF);
    const QChar digits[2] = {QLatin1Char(kHexDigits[b >> 4]), QLatin1Char(kHexDigits[b & 0xF])};
    text.append(digits, 2);
}

QString IntToHexBytes(qint64 n) {
    if (n < 0) return QStringLiteral("null");  // no binary digits to show
    // The hexadecimal digits, a '0' in front of an odd count, "$" before each pair.
    char hex[16];
    int first = sizeof hex;
    quint64 v = quint64(n);
    do hex[--first] = kHexDigits[v & 0xF];
    while ((v >>= 4) != 0);
    if ((sizeof hex - first) % 2) hex[--first] = '0';
    QString out;
    out.reserve((int(sizeof hex) - first) / 2 * 3);
    for (int i = first; i < int(sizeof hex); i += 2) {
        out += QLatin1Char('$');
        out += QLatin1Char(hex[i]);
        out += QLatin1Char(hex[i + 1]);
    }
    return out;
}

qint64 HexToInt(const QString& text) {
    // Unsigned accumulation keeps the low 64 bits of a longer text, defined.
    quint64 v = 0;
    for (QChar c : text.trimmed()) {
        const int d = hexDigitValue(c);
        if (d >= 0) v = (v << 4) | quint64(d);
    }
    return qint64(v);
}

QString HexDigitToBin(QChar c) {
    const int d = hexDigitValue(c);
    return d < 0 ? QString() : IntToBin(d);
}

QString HexToBin(const QString& text) {
    const QStringView t = QStringView(text).trimmed();
    QString out(t.size() * 4, kZero);
    QChar* bits = out.data();
    for (QChar c : t) {
        // A character that is no hexadecimal digit stands for four '0'.
        const int d = qMax(hexDigitValue(c), 0);
        for (int b = 3; b >= 0; --b) *bits++ = (d >> b) & 1 ? kOne : kZero;
    }
    return out;
}

namespace {

// The decimal digits of a number (a minus sign first when it is negative).
struct Decimal {
    char digits[24];
    int first = sizeof digits;

    explicit Decimal(qint64 n) {
        quint64 v = n < 0 ? 0 - quint64(n) : quint64(n);
        do digits[--first] = char('0' + v % 10);
        while ((v /= 10) != 0);
        if (n < 0) digits[--first] = '-';
    }
    int Length() const { return int(sizeof digits) - first; }
    QLatin1String Text() const { return QLatin1String(digits + first, Length()); }
};

}  // namespace

void AppendNumber(QString& text, qint64 n, int width) {
    // Zeros in front of the number up to width, in front of a minus sign too.
    const Decimal d(n);
    const int zeros = qMax(width - d.Length(), 0);
    // Written in place: a decoder appends a number to every line it makes.
    const qsizetype at = text.size();
    text.resize(at + zeros + d.Length());
    QChar* out = text.data() + at;
    out = std::fill_n(out, zeros, kZero);
    for (int i = d.first; i < int(sizeof d.digits); ++i) *out++ = QLatin1Char(d.digits[i]);
}

QString IntToStrZ(qint64 n, int width) {
    QString out;
    AppendNumber(out, n, width);
    return out;
}

QString WithNumber(QStringView label, qint64 n) {
    const Decimal d(n);
    QString out;
    out.reserve(label.size() + d.Length());
    out += label;
    out += d.Text();
    return out;
}

QString NumberTexts::operator()(qint64 n) {
    if (n < 0 || n >= kShared) return make_(n);
    // Made a block at a time, so that the texts stop being made after a few
    // calls rather than a few thousand.
    constexpr qint64 kBlock = 256;
    if (n >= made_.size()) {
        const qsizetype from = made_.size();
        made_.resize((n / kBlock + 1) * kBlock);
        for (qsizetype i = from; i < made_.size(); ++i) made_[i] = make_(i);
    }
    return made_[n];
}

QString BoolToBit(bool b) {
    return b ? QStringLiteral("1") : QStringLiteral("0");
}

QString PadLeft(const QString& text, QChar fill, int length) {
    if (length <= 0) return QString();
    if (text.size() > length) return text.right(length);
    QString out(length, fill);
    std::copy(text.cbegin(), text.cend(), out.begin() + (length - text.size()));
    return out;
}

QString PadRight(const QString& text, QChar fill, int length) {
    if (length <= 0) return QString();
    if (text.size() > length) return text.left(length);
    return text + QString(length - text.size(), fill);
}

namespace {

// Whether a surrogate pair, one character, begins at unit i.
bool pairAt(QStringView text, qsizetype i) {
    return i >= 0 && i + 1 < text.size() && text[i].isHighSurrogate() &&
           text[i + 1].isLowSurrogate();
}

// The units of the first count characters.
qsizetype unitsOfChars(QStringView text, qsizetype count) {
    qsizetype i = 0;
    for (; count > 0 && i < text.size(); --count) i += pairAt(text, i) ? 2 : 1;
    return i;
}

}  // namespace

qsizetype CharCount(QStringView text) {
    qsizetype n = 0;
    for (qsizetype i = 0; i < text.size(); ++n) i += pairAt(text, i) ? 2 : 1;
    return n;
}

QString LeftChars(const QString& text, qsizetype count) {
    return text.left(unitsOfChars(text, qMax<qsizetype>(count, 0)));
}

QString FitChars(const QString& text, qsizetype limit, int* cursor) {
    qsizetype excess = CharCount(text) - qMax<qsizetype>(limit, 0);
    if (excess <= 0) return text;
    qsizetype end = qBound(qsizetype(0), qsizetype(*cursor), text.size());
    if (pairAt(text, end - 1)) ++end;  // never between the halves of one
    qsizetype start = end;
    for (; excess > 0 && start > 0; --excess) start -= pairAt(text, start - 2) ? 2 : 1;
    const QString fitted = LeftChars(text.left(start) + text.mid(end), limit);
    *cursor = int(qMin(start, fitted.size()));
    return fitted;
}

QString PrependChars(const QString& text, QChar c, int count) {
    return count <= 0 ? text : QString(count, c) + text;
}

QString ReverseStr(QStringView text) {
    QString out(text.size(), Qt::Uninitialized);
    std::reverse_copy(text.cbegin(), text.cend(), out.begin());
    return out;
}

void AppendReversed(QString& text, QStringView bits) {
    const qsizetype at = text.size();
    text.resize(at + bits.size());
    std::reverse_copy(bits.cbegin(), bits.cend(), text.begin() + at);
}

QString WithReversed(QStringView label, QStringView bits) {
    QString out;
    out.reserve(label.size() + bits.size());
    out += label;
    AppendReversed(out, bits);
    return out;
}

namespace {
constexpr quint8 kSegments[10] = {0x3F, 0x06, 0x5B, 0x4F, 0x66, 0x6D, 0x7D, 0x07, 0x7F, 0x6F};
}

quint8 DigitToSegments(int digit) {
    return digit >= 0 && digit <= 9 ? kSegments[digit] : 0;
}

quint8 SegmentsToDigit(quint8 segments) {
    for (int d = 0; d <= 9; ++d)
        if (kSegments[d] == segments) return quint8(d);
    return segments >= 65 ? quint8(segments - 65) : quint8(255);
}

QString StepsToTimeText(qint64 n) {
    if (n <= 0) return QString();
    return IntToStrZ(n / 6, 2) + QLatin1Char(':') + IntToStrZ(n - 6 * (n / 6), 2);
}

qint64 TimeTextToSteps(const QString& text) {
    QString digits;
    for (QChar c : text)
        if (c >= kZero && c <= QLatin1Char('9')) digits.append(c);
    if (!(digits > QStringLiteral("0"))) return 0;
    // Missing digits count as 0 rather than failing on a short text.
    return RoundDiv(digitsValue(digits.mid(2, 2)), 10) * 100 + digitsValue(digits.left(2)) * 60;
}

qint64 RoundHalfAway(double value) {
    if (std::isnan(value)) return 0;
    constexpr double kLimit = 9.2e18;  // stays inside qint64
    if (value >= kLimit) return std::numeric_limits<qint64>::max();
    if (value <= -kLimit) return std::numeric_limits<qint64>::min();
    const double whole = std::trunc(value);
    qint64 r = qint64(whole);
    if (std::fabs(value - whole) >= 0.5) r += value > 0 ? 1 : -1;
    return r;
}

qint64 RoundDiv(qint64 a, qint64 b) {
    if (b == 0) return 0;  // no device value is meaningful here; never trap
    return RoundHalfAway(double(a) / double(b));
}

int KfPrAfterEdit(int state) {
    switch (state) {
        case 1:
            return 2;
        case 3:
        case 5:
            return 4;
        default:
            return state;
    }
}

int KfPrAfterFileMade(int state) {
    switch (state) {
        case 0:
        case 2:
            return 1;
        case 3:
        case 4:
            return 5;
        default:
            return state;
    }
}

QChar KfPrMark(int state) {
    static const char kMarks[] = " +-w~*";
    return QLatin1Char(state >= 0 && state <= 5 ? kMarks[state] : ' ');
}

QString DeviceClassName(int index) {
    for (const ClassName& c : kClassNames)
        if (c.index == index) return QString::fromUtf8(c.name);
    return QString();
}

QString DeviceAddrName(int addr, int consoleAddr) {
    QString result;
    if (addr >= 0 && addr <= 2 * consoleAddr) {
        if (addr == 127)
            result = QStringLiteral("СУС  ");
        else if (addr < consoleAddr)
            result = QStringLiteral("СКМ") + IntToStrZ(addr, 2);
        else if (addr == consoleAddr)
            result = QStringLiteral("СПО  ");
        else if (addr >= 64)
            result = QStringLiteral("СБВ") + IntToStrZ(addr - 64, 2);
    }
    if (addr == 127) result = QStringLiteral("СУС  ");
    if (addr > 127 && addr < 256) {
        const QString b = IntToBin(addr);
        if (b.at(0) == kOne) result = QStringLiteral("класса ");
        if (b.at(7) == kOne) result += QStringLiteral("устройства в режиме программирования ");
        const QString name = DeviceClassName(int(BinToInt(b.mid(1, 6))));
        if (!name.isEmpty()) result += name + QStringLiteral(", ");
    }
    return result;
}

QString DeviceClassList(const QString& mask) {
    // The class mask is 64 bits whatever console address the site uses.
    const QString r = ReverseStr(mask);
    if (r.size() != 64) return QString();
    QString out;
    for (const ClassName& c : kClassNames) {
        if (r.at(c.index) != kOne) continue;
        out += QString::fromUtf8(c.name) +
               (c.index == 63 ? QStringLiteral(".") : QStringLiteral("; "));
    }
    return out;
}
