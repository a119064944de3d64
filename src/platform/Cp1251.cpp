#include "platform/Cp1251.h"

#include <QHash>
#include <QStringList>

namespace {

// Characters of bytes 0x80..0xBF; 0xC0..0xFF are U+0410..U+044F in order.
// 0x98 has no character of its own and maps to U+0098, so every byte survives.
constexpr char16_t kHigh[64] = {
    0x0402, 0x0403, 0x201A, 0x0453, 0x201E, 0x2026, 0x2020, 0x2021,  // 80
    0x20AC, 0x2030, 0x0409, 0x2039, 0x040A, 0x040C, 0x040B, 0x040F,  // 88
    0x0452, 0x2018, 0x2019, 0x201C, 0x201D, 0x2022, 0x2013, 0x2014,  // 90
    0x0098, 0x2122, 0x0459, 0x203A, 0x045A, 0x045C, 0x045B, 0x045F,  // 98
    0x00A0, 0x040E, 0x045E, 0x0408, 0x00A4, 0x0490, 0x00A6, 0x00A7,  // A0
    0x0401, 0x00A9, 0x0404, 0x00AB, 0x00AC, 0x00AD, 0x00AE, 0x0407,  // A8
    0x00B0, 0x00B1, 0x0406, 0x0456, 0x0491, 0x00B5, 0x00B6, 0x00B7,  // B0
    0x0451, 0x2116, 0x0454, 0x00BB, 0x0458, 0x0405, 0x0455, 0x0457,  // B8
};

const QHash<char16_t, char>& reverseTable() {
    static const QHash<char16_t, char> table = [] {
        QHash<char16_t, char> t;
        for (int b = 0x80; b <= 0xFF; ++b) t.insert(Cp1251ByteToChar(uchar(b)).unicode(), char(b));
        return t;
    }();
    return table;
}

}  // namespace

QChar Cp1251ByteToChar(unsigned char b) {
    if (b < 0x80) return QChar(char16_t(b));
    if (b >= 0xC0) return QChar(char16_t(0x0410 + (b - 0xC0)));
    return QChar(kHigh[b - 0x80]);
}

QString FromCp1251(const QByteArray& bytes) {
    QString out;
    out.reserve(bytes.size());
    for (char c : bytes) out.append(Cp1251ByteToChar(uchar(c)));
    return out;
}

QString FromCp1251Visible(const QByteArray& bytes) {
    constexpr char16_t kControlPictures = 0x2400;  // "␀" for 0x00, on to "␟" for 0x1F
    constexpr char16_t kDeletePicture = 0x2421;    // "␡"
    QString out;
    out.reserve(bytes.size());
    for (char c : bytes) {
        const uchar b = uchar(c);
        if (b < 0x20)
            out.append(QChar(char16_t(kControlPictures + b)));
        else if (b == 0x7F)
            out.append(QChar(kDeletePicture));
        else if (Cp1251ByteToChar(b).category() == QChar::Other_Control)
            out.append(QChar(QChar::ReplacementCharacter));
        else
            out.append(Cp1251ByteToChar(b));
    }
    return out;
}

QByteArray ToCp1251(const QString& text) {
    QByteArray out;
    out.reserve(text.size());
    const auto& table = reverseTable();
    for (QChar c : text) {
        const char16_t u = c.unicode();
        if (u < 0x80) {
            out.append(char(u));
            continue;
        }
        auto it = table.constFind(u);
        out.append(it == table.constEnd() ? '?' : it.value());
    }
    return out;
}

namespace {

// The characters of text, a surrogate pair as one, a lone half as itself.
template <class Visit>
void forEachChar(QStringView text, Visit visit) {
    for (qsizetype i = 0; i < text.size(); ++i) {
        const QChar c = text[i];
        if (c.isHighSurrogate() && i + 1 < text.size() && text[i + 1].isLowSurrogate()) {
            visit(QChar::surrogateToUcs4(c, text[i + 1]));
            ++i;
            continue;
        }
        visit(char32_t(c.unicode()));
    }
}

}  // namespace

bool Cp1251CarriesChar(char32_t c) {
    if (c < 0x20 || c == 0x7F) return false;
    if (c < 0x80) return true;
    if (c > 0xFFFF || QChar::category(c) == QChar::Other_Control) return false;
    return reverseTable().contains(char16_t(c));
}

QList<char32_t> Cp1251UncarriedChars(QStringView text) {
    QList<char32_t> out;
    forEachChar(text, [&](char32_t c) {
        if (!Cp1251CarriesChar(c) && !out.contains(c)) out << c;
    });
    return out;
}

QByteArray Cp1251DisplayBytes(QStringView text) {
    QByteArray out;
    out.reserve(text.size());
    const auto& table = reverseTable();
    forEachChar(text, [&](char32_t c) {
        if (!Cp1251CarriesChar(c))
            out.append('?');
        else
            out.append(c < 0x80 ? char(c) : table.value(char16_t(c)));
    });
    return out;
}

QString CharNameForMessage(char32_t c) {
    if (QChar::isPrint(c) && c != 0x20)
        return QLatin1Char('"') + QString::fromUcs4(&c, 1) + QLatin1Char('"');
    return QStringLiteral("U+%1").arg(uint(c), 4, 16, QLatin1Char('0')).toUpper();
}

QString CharNamesForMessage(const QList<char32_t>& chars) {
    QStringList names;
    for (char32_t c : chars) names << CharNameForMessage(c);
    return names.join(QStringLiteral(", "));
}
