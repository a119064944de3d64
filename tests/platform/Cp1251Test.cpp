#include "platform/Cp1251.h"
#include "support/QtPrinters.h"

#include <gtest/gtest.h>
#include <iconv.h>

namespace Cp1251TestUnit {

namespace {

// glibc's converter is an independent reference for every defined byte.
QString iconvReference(unsigned char b) {
    iconv_t cd = iconv_open("UTF-8", "CP1251");
    char in[1] = {char(b)};
    char out[8] = {};
    char* pin = in;
    char* pout = out;
    size_t inLeft = 1, outLeft = sizeof out;
    const size_t r = iconv(cd, &pin, &inLeft, &pout, &outLeft);
    iconv_close(cd);
    return r == size_t(-1) ? QString() : QString::fromUtf8(out, int(pout - out));
}

TEST(Cp1251, EveryHighByteMatchesReferenceAndRoundTrips) {
    for (int b = 0x80; b <= 0xFF; ++b) {
        SCOPED_TRACE(b);
        const QByteArray one(1, char(b));
        const QString decoded = FromCp1251(one);
        ASSERT_EQ(decoded.size(), 1);
        const QString reference = iconvReference(uchar(b));
        if (!reference.isEmpty()) {
            EXPECT_EQ(decoded, reference);
        }
        EXPECT_EQ(ToCp1251(decoded), one);
    }
}

TEST(Cp1251, TextsAndUnmappable) {
    const QString text = QString::fromUtf8("СКМ05 ёЁ №1");
    const QByteArray bytes = ToCp1251(text);
    EXPECT_EQ(bytes, QByteArray("\xD1\xCA\xCC"
                                "05 \xB8\xA8 \xB9"
                                "1"));
    EXPECT_EQ(FromCp1251(bytes), text);
    EXPECT_EQ(ToCp1251(QString::fromUtf8("a\u4E2Db")), QByteArray("a?b"));
}

// What a device's display text does with one character: its byte, or '?'
// standing for it and the character named in the message that tells it.
TEST(Cp1251, ADisplayTextCarriesWhatHasAByteAndShows) {
    struct Case {
        const char* what;
        QString text;
        QByteArray bytes;
        QString named;  // empty: carried
    };
    const QString house = QStringLiteral("\U0001F3E0");
    const Case cases[] = {
        {"a Cyrillic letter", QStringLiteral("Ж"), "\xC6", {}},
        {"the euro sign, which has a byte", QStringLiteral("€"), "\x88", {}},
        {"the number sign", QStringLiteral("№"), "\xB9", {}},
        {"a no-break space", QStringLiteral("\u00A0"), "\xA0", {}},
        {"a Latin letter with an accent", QStringLiteral("é"), "?", QStringLiteral("\"é\"")},
        {"a Chinese character", QStringLiteral("\u4E2D"), "?", QStringLiteral("\"\u4E2D\"")},
        {"a character beyond the plane, one", house, "?", QStringLiteral("\"") + house + "\""},
        {"a lone half of a pair", house.left(1), "?", QStringLiteral("U+D83C")},
        {"NUL", QString(QChar(0)), "?", QStringLiteral("U+0000")},
        {"a tab", QStringLiteral("\t"), "?", QStringLiteral("U+0009")},
        {"a newline", QStringLiteral("\n"), "?", QStringLiteral("U+000A")},
        {"DEL", QStringLiteral("\x7F"), "?", QStringLiteral("U+007F")},
        {"the control character of byte 0x98", QString(QChar(0x98)), "?", QStringLiteral("U+0098")},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.what);
        const QString text = QStringLiteral("a") + c.text + QStringLiteral("b");
        EXPECT_EQ(Cp1251DisplayBytes(text), QByteArray("a") + c.bytes + QByteArray("b"));
        const QList<char32_t> refused = Cp1251UncarriedChars(text + c.text);
        if (c.named.isEmpty()) {
            EXPECT_TRUE(refused.isEmpty());
            continue;
        }
        ASSERT_EQ(refused.size(), 1);  // named once, however often it stands
        EXPECT_EQ(CharNameForMessage(refused.first()).toStdString(), c.named.toStdString());
    }
    EXPECT_EQ(CharNamesForMessage({U'é', U'\t'}), QStringLiteral("\"é\", U+0009"));
}

}  // namespace
}  // namespace Cp1251TestUnit
