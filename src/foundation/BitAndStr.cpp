#include "foundation/BitAndStr.h"

#include <cmath>
#include <limits>

namespace {

const QChar kZero = QLatin1Char('0');
const QChar kOne = QLatin1Char('1');

bool isBinaryText(const QString& t) {
    for (QChar c : t)
        if (c != kZero && c != kOne) return false;
    return true;
}

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

QString IntToBin(qint64 n) {
    if (n < 0) return QString();
    if (n == 0) return QStringLiteral("0");
    QString out;
    while (n > 0) {
        out.prepend(n % 2 ? kOne : kZero);
        n /= 2;
    }
    return out;
}

qint64 BinToInt(const QString& text) {
    const QString t = text.trimmed();
    if (!(t > QStringLiteral("0"))) return 0;
    quint64 v = 0;
    const int n = t.size();
    for (int i = 0; i < n && i < 64; ++i)
        if (t.at(n - 1 - i) == kOne) v |= quint64(1) << i;
    return qint64(v);
}

QString BinToHex(const QString& bits) {
    QString t = bits.trimmed();
    if (t.isEmpty() || !isBinaryText(t)) return QString();
    const int padded = (t.size() + 3) / 4 * 4;
    t = PadLeft(t, kZero, padded);
    QString out;
    for (int i = 0; i < t.size(); i += 4) {
        int v = 0;
        for (int j = 0; j < 4; ++j) v = v * 2 + (t.at(i + j) == kOne ? 1 : 0);
        out.append(QLatin1Char("0123456789ABCDEF"[v]));
    }
    return out;
}

QString BinToHexBytes(const QString& bits) {
    const QString t = bits.trimmed();
    if (t.isEmpty()) return QStringLiteral("null");
    if (!isBinaryText(t)) return QStringLiteral("error");
    QString hex = BinToHex(t);
    if (hex.size() % 2) hex.prepend(kZero);
    QString out;
    for (int i = 0; i < hex.size(); i += 2) out += QLatin1Char('$') + hex.mid(i, 2);
    return out;
}

QString ByteToHex(qint64 n) {
    return BinToHex(PadLeft(IntToBin(n), kZero, 8));
}

QString IntToHexBytes(qint64 n) {
    return BinToHexBytes(IntToBin(n));
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
    QString out;
    for (QChar c : text.trimmed()) out += PadLeft(HexDigitToBin(c), kZero, 4);
    return out;
}

QString IntToStrZ(qint64 n, int width) {
    QString s = QString::number(n);
    if (s.size() < width) s.prepend(QString(width - s.size(), kZero));
    return s;
}

QString BoolToBit(bool b) {
    return b ? QStringLiteral("1") : QStringLiteral("0");
}

QString PadLeft(const QString& text, QChar fill, int length) {
    if (length <= 0) return QString();
    if (text.size() > length) return text.right(length);
    return QString(length - text.size(), fill) + text;
}

QString PadRight(const QString& text, QChar fill, int length) {
    if (length <= 0) return QString();
    if (text.size() > length) return text.left(length);
    return text + QString(length - text.size(), fill);
}

QString PrependChars(const QString& text, QChar c, int count) {
    return count <= 0 ? text : QString(count, c) + text;
}

QString ReverseStr(const QString& text) {
    QString out;
    out.reserve(text.size());
    for (int i = text.size() - 1; i >= 0; --i) out.append(text.at(i));
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
