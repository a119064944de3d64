#include "platform/Cp1251.h"
#include "support/QtPrinters.h"

#include <gtest/gtest.h>
#include <iconv.h>

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

}  // namespace
