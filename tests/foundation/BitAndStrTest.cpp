#include "foundation/BitAndStr.h"
#include "support/QtPrinters.h"

#include <gtest/gtest.h>

#include <limits>

namespace BitAndStrTestUnit {

namespace {

QString S(const char* utf8) {
    return QString::fromUtf8(utf8);
}

TEST(BitAndStr, BinaryTexts) {
    EXPECT_EQ(IntToBin(0), "0");
    EXPECT_EQ(IntToBin(-3), "");
    EXPECT_EQ(IntToBin(6), "110");

    EXPECT_EQ(BinToInt(""), 0);
    EXPECT_EQ(BinToInt("  101 "), 5);
    EXPECT_EQ(BinToInt("1x1"), 5);
    EXPECT_EQ(BinToInt("0"), 0);
    EXPECT_EQ(BinToInt("-11"), 0);                           // compares below "0"
    EXPECT_EQ(BinToInt(QString(64, QLatin1Char('1'))), -1);  // all 64 bits, no overflow trap

    EXPECT_TRUE(IsBinaryText(u"0110") && IsBinaryText(u""));
    EXPECT_FALSE(IsBinaryText(u"01 0") || IsBinaryText(u"012"));

    EXPECT_EQ(BoolToBit(true), "1");
    EXPECT_EQ(BoolToBit(false), "0");
}

TEST(BitAndStr, BinaryFieldsOfALongerText) {
    // A field read in place from an image gives what the copy of it gives.
    const QString image = QStringLiteral("0110 1011 10");
    EXPECT_EQ(BinToInt(QStringView(image).mid(5, 4)), BinToInt(image.mid(5, 4)));
    EXPECT_EQ(BinToInt(QStringView(image).mid(5, 4)), 11);
    // Blanks around it are trimmed; a text that does not sort above "0" is 0.
    EXPECT_EQ(BinToInt(QStringView(image).mid(4, 5)), 11);
    EXPECT_EQ(BinToInt(QStringView(u"-1")), 0);
    EXPECT_EQ(BinToInt(QStringView(u"0")), 0);
    EXPECT_EQ(BinToInt(QStringView()), 0);
    // Past 64 digits only the last 64 count, whether the text is all digits or not.
    EXPECT_EQ(BinToInt(QStringLiteral("1") + QString(64, QLatin1Char('0'))), 0);
    EXPECT_EQ(BinToInt(QStringLiteral("1") + QString(63, QLatin1Char('0')) + QStringLiteral("1")),
              1);
    EXPECT_EQ(BinToInt(QStringLiteral("x") + QString(63, QLatin1Char('0')) + QStringLiteral("1")),
              1);
}

TEST(BitAndStr, LinesMadeInPlace) {
    // Masks are shown item 1 first, the reverse of their bits in the image.
    EXPECT_EQ(WithReversed(u"FMSK: ", u"0011"), "FMSK: 1100");
    EXPECT_EQ(WithReversed(u"FMSK: ", u""), "FMSK: ");
    QString line = QStringLiteral("$");
    AppendReversed(line, u"01");
    AppendByteHex(line, 0x1AB);
    AppendByteHex(line, -1);
    AppendNumber(line, -5, 3);
    EXPECT_EQ(line, "$10AB000-5");
}

TEST(BitAndStr, HexTexts) {
    EXPECT_EQ(BinToHex("101"), "5");
    EXPECT_EQ(BinToHex("10010"), "12");
    EXPECT_EQ(BinToHex("11111111"), "FF");
    EXPECT_EQ(BinToHex(""), "");
    EXPECT_EQ(BinToHex("102"), "");

    EXPECT_EQ(BinToHexBytes(""), "null");
    EXPECT_EQ(BinToHexBytes("12"), "error");
    EXPECT_EQ(BinToHexBytes("1"), "$01");
    EXPECT_EQ(BinToHexBytes("111111111"), "$01$FF");
    EXPECT_EQ(BinToHexBytes(" 1010101111001101 "), "$AB$CD");

    EXPECT_EQ(ByteToHex(0x1AB), "AB");
    EXPECT_EQ(ByteToHex(-1), "00");
    EXPECT_EQ(ByteToHex(7), "07");
    EXPECT_EQ(IntToHexBytes(0), "$00");
    EXPECT_EQ(IntToHexBytes(-1), "null");
    EXPECT_EQ(IntToHexBytes(0x1234), "$12$34");

    EXPECT_EQ(HexToInt("1f"), 31);
    EXPECT_EQ(HexToInt("G1"), 1);
    EXPECT_EQ(HexToInt(""), 0);
    EXPECT_EQ(HexToInt("xyz"), 0);
    EXPECT_EQ(HexToInt(" $12$34 "), 0x1234);
    EXPECT_EQ(HexToInt("123456789A"), 0x123456789ALL);
    EXPECT_EQ(HexToInt("1FFFFFFFFFFFFFFFF"), -1);  // low 64 bits kept, defined

    EXPECT_EQ(HexDigitToBin(QLatin1Char('a')), "1010");
    EXPECT_EQ(HexDigitToBin(QLatin1Char('1')), "1");  // not padded
    EXPECT_EQ(HexDigitToBin(QLatin1Char('g')), "");
    EXPECT_EQ(HexToBin(" 1f "), "00011111");
    EXPECT_EQ(HexToBin("z"), "0000");
}

TEST(BitAndStr, PaddingAndDecimal) {
    EXPECT_EQ(PadLeft("12345", QLatin1Char('0'), 3), "345");
    EXPECT_EQ(PadRight("12345", QLatin1Char('0'), 3), "123");
    EXPECT_EQ(PadLeft("7", QLatin1Char('0'), 3), "007");
    EXPECT_EQ(PadRight("7", QLatin1Char('1'), 3), "711");
    EXPECT_EQ(PadLeft(" 7", QLatin1Char('0'), 2), " 7");  // no trimming
    EXPECT_EQ(PadLeft("abc", QLatin1Char('0'), 0), "");

    EXPECT_EQ(IntToStrZ(7, 2), "07");
    EXPECT_EQ(IntToStrZ(123, 2), "123");
    EXPECT_EQ(IntToStrZ(-5, 3), "0-5");
    EXPECT_EQ(IntToStrZ(std::numeric_limits<qint64>::min(), 2), "-9223372036854775808");

    // A line made of a label and a number, or a number appended in place.
    EXPECT_EQ(WithNumber(u"ключ := ", 0), S("ключ := 0"));
    EXPECT_EQ(WithNumber(u"", -12), "-12");
    QString line = QStringLiteral("bt");
    AppendNumber(line, 42, 8);
    AppendNumber(line, 7);
    EXPECT_EQ(line, "bt000000427");
    // Shared lines are WithNumber's, within their blocks, past them and below 0.
    NumberTexts lines = NumberTexts::Lines(u"ms:= ");
    for (qint64 n : {qint64(300), 0LL, 255LL, 256LL, 4095LL, 4096LL, 1LL << 40, -1LL, 300LL})
        EXPECT_EQ(lines(n), WithNumber(u"ms:= ", n)) << n;

    EXPECT_EQ(PrependChars("ab", QLatin1Char('x'), 2), "xxab");
    EXPECT_EQ(PrependChars("ab", QLatin1Char('x'), -1), "ab");
    EXPECT_EQ(ReverseStr(S("абв1")), S("1вба"));
}

TEST(BitAndStr, TextsCutByWholeCharacters) {
    const QString pair = QStringLiteral("\U0001F3E0");  // one character, two units
    const QString high = pair.left(1);
    EXPECT_EQ(CharCount(QStringLiteral("аб") + pair), 3);
    EXPECT_EQ(CharCount(high + QStringLiteral("а")), 2);  // a lone half counts as one
    EXPECT_EQ(LeftChars(QStringLiteral("аб") + pair + QStringLiteral("в"), 3),
              QStringLiteral("аб") + pair);
    EXPECT_EQ(LeftChars(QStringLiteral("аб") + pair, 2), S("аб"));
    EXPECT_EQ(LeftChars(S("аб"), -1), "");

    // An edit field's text within 4 characters: what was typed or pasted last
    // (just before the cursor) is left out first, whole; then the end.
    struct Fit {
        QString text;
        int cursor;
        QString fitted;
        int cursorAfter;
    };
    const Fit fits[] = {
        {S("абвг"), 4, S("абвг"), 4},                          // within: as it was
        {S("абвгд"), 5, S("абвг"), 4},                         // typed at the end
        {S("абвдг"), 4, S("абвг"), 3},                         // typed in the middle
        {S("абв") + pair + S("г"), 5, S("абвг"), 3},           // the pair before the cursor
        {S("аб") + pair + pair, 6, S("аб") + pair + pair, 6},  // four characters, six units
        {S("аб") + pair + pair + S("в"), 7, S("аб") + pair + pair, 6},
        {S("аб") + pair + pair + S("в"), 3, S("аб") + pair + S("в"), 2},  // cursor inside a pair
        {S("абвгде"), 1, S("бвгд"), 0},  // more than before the cursor
    };
    for (const Fit& f : fits) {
        int cursor = f.cursor;
        EXPECT_EQ(FitChars(f.text, 4, &cursor), f.fitted) << f.text.toStdString();
        EXPECT_EQ(cursor, f.cursorAfter) << f.text.toStdString();
    }
}

TEST(BitAndStr, SevenSegments) {
    const quint8 codes[] = {0x3F, 0x06, 0x5B, 0x4F, 0x66, 0x6D, 0x7D, 0x07, 0x7F, 0x6F};
    for (int d = 0; d <= 9; ++d) {
        EXPECT_EQ(DigitToSegments(d), codes[d]);
        EXPECT_EQ(SegmentsToDigit(codes[d]), d);
    }
    EXPECT_EQ(DigitToSegments(10), 0);
    EXPECT_EQ(DigitToSegments(-1), 0);
    EXPECT_EQ(SegmentsToDigit(65), 0);
    EXPECT_EQ(SegmentsToDigit(70), 5);
    EXPECT_EQ(SegmentsToDigit(64), 255);
}

TEST(BitAndStr, TimeTexts) {
    EXPECT_EQ(StepsToTimeText(7), "01:01");
    EXPECT_EQ(StepsToTimeText(0), "");
    EXPECT_EQ(StepsToTimeText(-4), "");
    EXPECT_EQ(StepsToTimeText(600), "100:00");

    EXPECT_EQ(TimeTextToSteps("01:25"), 60 + 3 * 100);  // 25/10 rounds to 3
    EXPECT_EQ(TimeTextToSteps("02:04"), 120);
    EXPECT_EQ(TimeTextToSteps("00:00"), 0);
    EXPECT_EQ(TimeTextToSteps(""), 0);
    // Not the inverse of StepsToTimeText.
    EXPECT_NE(TimeTextToSteps(StepsToTimeText(7)), 7);
    // Short digit texts: missing digits count as 0.
    EXPECT_EQ(TimeTextToSteps("1"), 60);
    EXPECT_EQ(TimeTextToSteps("12"), 720);
    EXPECT_EQ(TimeTextToSteps("125"), 720 + 100);
}

TEST(BitAndStr, Rounding) {
    EXPECT_EQ(RoundHalfAway(2.5), 3);
    EXPECT_EQ(RoundHalfAway(-2.5), -3);
    EXPECT_EQ(RoundHalfAway(-0.7), -1);
    EXPECT_EQ(RoundHalfAway(0.49), 0);
    EXPECT_EQ(RoundHalfAway(-0.49), 0);
    EXPECT_EQ(RoundDiv(7, 2), 4);
    EXPECT_EQ(RoundDiv(-7, 2), -4);
    EXPECT_EQ(RoundDiv(6, 4), 2);
    EXPECT_EQ(RoundDiv(5, 0), 0);
}

TEST(BitAndStr, KfPrTransitions) {
    struct Row {
        int state, afterEdit, afterFile;
        char mark;
    };
    const Row rows[] = {
        {0, 0, 1, ' '}, {1, 2, 1, '+'}, {2, 2, 1, '-'}, {3, 4, 5, 'w'},
        {4, 4, 5, '~'}, {5, 4, 5, '*'}, {9, 9, 9, ' '}, {-1, -1, -1, ' '},
    };
    for (const Row& r : rows) {
        SCOPED_TRACE(r.state);
        EXPECT_EQ(KfPrAfterEdit(r.state), r.afterEdit);
        EXPECT_EQ(KfPrAfterFileMade(r.state), r.afterFile);
        EXPECT_EQ(KfPrMark(r.state), QLatin1Char(r.mark));
    }
}

TEST(BitAndStr, DeviceAddrName) {
    EXPECT_EQ(DeviceAddrName(5, 63), S("СКМ05"));
    EXPECT_EQ(DeviceAddrName(62, 63), S("СКМ62"));
    EXPECT_EQ(DeviceAddrName(63, 63), S("СПО  "));
    EXPECT_EQ(DeviceAddrName(64, 63), S("СБВ00"));
    EXPECT_EQ(DeviceAddrName(126, 63), S("СБВ62"));
    EXPECT_EQ(DeviceAddrName(127, 63), S("СУС  "));
    EXPECT_EQ(DeviceAddrName(127, 20), S("СУС  "));
    EXPECT_EQ(DeviceAddrName(30, 20), S(""));  // beyond twice the console address
    EXPECT_EQ(DeviceAddrName(-1, 63), S(""));
    EXPECT_EQ(DeviceAddrName(130, 63), S("класса Импульсный СКМ, "));
    EXPECT_EQ(DeviceAddrName(129, 63), S("класса устройства в режиме программирования СКМ, "));
    EXPECT_EQ(DeviceAddrName(128 + 2 * 20, 63), S("класса "));  // class 20 has no name
    EXPECT_EQ(DeviceAddrName(256, 63), S(""));
}

TEST(BitAndStr, DeviceClassList) {
    QString mask(64, QLatin1Char('0'));
    EXPECT_EQ(DeviceClassList(mask), S(""));
    // Index i is the character i+1 of the reversed text, i.e. 64-i of the text.
    auto set = [&](int index) { mask[63 - index] = QLatin1Char('1'); };
    set(0);
    set(4);
    set(63);
    EXPECT_EQ(DeviceClassList(mask), S("СКМ; СБВ; Любое устройство, кроме СУС."));
    set(20);  // no name
    EXPECT_EQ(DeviceClassList(mask), S("СКМ; СБВ; Любое устройство, кроме СУС."));
    EXPECT_EQ(DeviceClassList(mask.mid(1)), S(""));
}

}  // namespace
}  // namespace BitAndStrTestUnit
