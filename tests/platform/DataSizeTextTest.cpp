// File sizes in Russian words and units, whatever the process's locale.

#include "platform/DataSizeText.h"

#include <gtest/gtest.h>
#include <QLocale>

namespace DataSizeTextTestUnit {
namespace {

TEST(DataSizeText, BytesTakeTheirRussianPluralAndLargerSizesRussianUnits) {
    const QLocale before;
    QLocale::setDefault(QLocale::c());
    const QChar groupSpace(0x00A0);
    EXPECT_EQ(DataSizeText(0), QStringLiteral("0 байт"));
    EXPECT_EQ(DataSizeText(1), QStringLiteral("1 байт"));
    EXPECT_EQ(DataSizeText(2), QStringLiteral("2 байта"));
    EXPECT_EQ(DataSizeText(4), QStringLiteral("4 байта"));
    EXPECT_EQ(DataSizeText(12), QStringLiteral("12 байт"));
    EXPECT_EQ(DataSizeText(22), QStringLiteral("22 байта"));
    EXPECT_EQ(DataSizeText(428), QStringLiteral("428 байт"));
    EXPECT_EQ(DataSizeText(1023), QStringLiteral("1") + groupSpace + QStringLiteral("023 байта"));
    EXPECT_EQ(DataSizeText(1024), QStringLiteral("1,00 КБ"));
    EXPECT_EQ(DataSizeText(2090), QStringLiteral("2,04 КБ"));
    EXPECT_EQ(DataSizeText(3000), QStringLiteral("2,93 КБ"));
    EXPECT_EQ(DataSizeText((1LL << 30) - (1LL << 20) / 100),
              QStringLiteral("1") + groupSpace + QStringLiteral("023,99 МБ"));
    EXPECT_EQ(DataSizeText(5LL << 30), QStringLiteral("5,00 ГБ"));
    QLocale::setDefault(before);
}
}  // namespace
}  // namespace DataSizeTextTestUnit
