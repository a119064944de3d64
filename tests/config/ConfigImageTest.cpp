#include "config/ConfigImage.h"
#include "config/SectionReader.h"
#include "foundation/BitAndStr.h"
#include "support/QtPrinters.h"

#include <gtest/gtest.h>

namespace ConfigImageTestUnit {

namespace {

QByteArray Bytes(std::initializer_list<int> values) {
    QByteArray out;
    for (int v : values) out.append(char(v));
    return out;
}

QString Ones(int n) {
    return QString(n, QLatin1Char('1'));
}
QString Zeros(int n) {
    return QString(n, QLatin1Char('0'));
}

TEST(ConfigImage, FieldsKeepTheirWidthAndLowBits) {
    EXPECT_EQ(BitField(300, 8), "00101100");  // 300 keeps its low 8 bits: 44
    EXPECT_EQ(BitField(-1, 8), "00000000");
    EXPECT_EQ(BitField(5, 4), "0101");
    EXPECT_EQ(BitField(0xFFFFFFFFLL, 32), Ones(32));
    EXPECT_EQ(EmptySlot(8), "11111111");

    // Builders prepend, decoders cut from the end in build order.
    QString text;
    PrependField(text, 3, 4);
    PrependField(text, 200, 8);
    EXPECT_EQ(text, "110010000011");
    EXPECT_EQ(CutField(text, 4), 3);
    EXPECT_EQ(CutField(text, 8), 200);
    EXPECT_EQ(text, "");
    EXPECT_EQ(CutField(text, 8), 0);  // nothing left reads as 0

    QString shortText = "101";
    EXPECT_EQ(CutField(shortText, 8), 5);
    EXPECT_EQ(shortText, "");
}

TEST(ConfigImage, MasksAndFieldsReadInPlace) {
    // Item 1 of a mask is payload bit 0, the last character; a short mask is
    // filled with '0', a long one cut.
    EXPECT_EQ(MaskPayload("1101", 6), "001011");
    EXPECT_EQ(MaskPayload("1101", 2), "11");
    EXPECT_EQ(MaskPayload("x1", 2), "10");
    EXPECT_EQ(MaskPayload("1", 0), "");

    // A field taken as a view holds what the copy holds, and neither reads
    // before the start of the text.
    SectionReader copies(QStringLiteral("0110") + BitField(1, 8));
    SectionReader views(QStringLiteral("0110") + BitField(1, 8));
    QString bits;
    QStringView view;
    ASSERT_TRUE(copies.TakeBits(3, bits));
    ASSERT_TRUE(views.TakeView(3, view));
    EXPECT_EQ(view, bits);
    EXPECT_EQ(view, u"110");
    EXPECT_FALSE(views.TakeView(2, view));
    EXPECT_TRUE(views.TakeView(1, view));
    EXPECT_EQ(view, u"0");
    EXPECT_EQ(views.Remaining(), 0);
}

TEST(ConfigImage, WrapSectionFramesPayload) {
    QStringList log;
    QString payload = "0000000100000010";
    const QString section = WrapSection(payload, 4, 1, &log);
    EXPECT_EQ(section, payload + "00000001" + "0000000000000011");
    EXPECT_EQ(BitStringToBytes(section), Bytes({0x03, 0x00, 0x01, 0x02, 0x01}));
    EXPECT_EQ(log, QStringList{"Размер секции 4:=3 байт"});

    // A 13-bit payload is padded in place to two bytes.
    log.clear();
    QString odd = "1111111111111";
    const QString oddSection = WrapSection(odd, 2, 1, &log);
    EXPECT_EQ(odd, "000" + Ones(13));
    EXPECT_EQ(oddSection.right(16), BitField(3, 16));
    EXPECT_EQ(log, QStringList{"Размер секции 2:=3 байт"});

    // An empty payload is the length word 0 alone: bytes 00 00.
    log.clear();
    QString empty;
    const QString emptySection = WrapSection(empty, 5, 2, &log);
    EXPECT_EQ(emptySection, Zeros(16));
    EXPECT_EQ(BitStringToBytes(emptySection), Bytes({0, 0}));
    EXPECT_EQ(log, QStringList{"Размер секции 5:=0 байт"});
}

TEST(ConfigImage, WrapSectionRefusesLengthsAboveWord) {
    QStringList log;
    QString fits = Zeros(65533 * 8);  // 65533 payload bytes + version = 65534
    EXPECT_EQ(BinToInt(WrapSection(fits, 3, 1, &log).right(16)), 65534);
    ASSERT_FALSE(log.isEmpty());
    EXPECT_EQ(log.last(), "Размер секции 3:=65534 байт");

    log.clear();
    QString tooLong = Zeros(65534 * 8);
    const QString section = WrapSection(tooLong, 3, 1, &log);
    EXPECT_EQ(section.right(16), Zeros(16));
    EXPECT_EQ(log, (QStringList{"Длина секции превышает допустимое численное ограничение Word!",
                                "Размер секции 3:=0 байт"}));
}

TEST(ConfigImage, ByteWriterAndReader) {
    qint64 bits = 0;
    EXPECT_EQ(BitStringToBytes("101", &bits), Bytes({0x05}));
    EXPECT_EQ(bits, 8);
    // Whole bytes from the end first, then the leftover bits at the start.
    EXPECT_EQ(BitStringToBytes("1" + Zeros(7) + "00000011", &bits), Bytes({0x03, 0x80}));
    EXPECT_EQ(bits, 16);
    EXPECT_EQ(BitStringToBytes("11" + Ones(8), &bits), Bytes({0xFF, 0x03}));
    EXPECT_EQ(bits, 16);
    EXPECT_EQ(BitStringToBytes("", &bits), QByteArray());
    EXPECT_EQ(bits, 0);

    // The reader puts each byte in front, so one written text reads back unchanged.
    const QString text = "0000000111111110" + BitField(0xA5, 8);
    EXPECT_EQ(ImageFromBytes(BitStringToBytes(text)), text);
    // Texts written one after another come back in reverse order.
    const QByteArray both = BitStringToBytes("00000001") + BitStringToBytes("00000010");
    EXPECT_EQ(ImageFromBytes(both), "0000001000000001");
    QString image = "11110000";
    PrependBytesToImage(image, Bytes({0x01}));
    EXPECT_EQ(image, "0000000111110000");
    // Every byte value reads as its eight bits, the highest first.
    QByteArray every;
    QString everyImage;
    for (int b = 0; b < 256; ++b) {
        every += char(b);
        everyImage.prepend(BitField(b, 8));
    }
    EXPECT_EQ(ImageFromBytes(every), everyImage);
}

TEST(ConfigImage, TakeSectionStopsAtEndMarkAndConsumesEmptySections) {
    QString sectionText = "stale";
    QString image = "1010" + Ones(16);
    EXPECT_EQ(TakeSection(image, sectionText), 0);
    EXPECT_EQ(image, "1010" + Ones(16));
    EXPECT_EQ(sectionText, "");

    image = "1010" + Zeros(16);
    EXPECT_EQ(TakeSection(image, sectionText), 0);
    EXPECT_EQ(image, "1010");
    EXPECT_EQ(sectionText, "");

    image = Ones(15);  // shorter than a length word
    EXPECT_EQ(TakeSection(image, sectionText), 0);
    EXPECT_EQ(image, Ones(15));

    // Length 2 asks for 16 bits where only 8 stand before it: not taken.
    image = "10101010" + BitField(2, 16);
    EXPECT_EQ(TakeSection(image, sectionText), 0);
    EXPECT_EQ(image.size(), 24);

    image = QString("1111") + "0000000100000010" + BitField(2, 16);
    EXPECT_EQ(TakeSection(image, sectionText), 16);
    EXPECT_EQ(sectionText, "0000000100000010");
    EXPECT_EQ(image, "1111");
}

TEST(ConfigImage, FileLayoutReadsBackSectionBySection) {
    QString s0 = "101", s1 = "", s2 = Ones(20);
    const QStringList sections = {WrapSection(s0, 0, 1, nullptr), WrapSection(s1, 1, 1, nullptr),
                                  WrapSection(s2, 2, 1, nullptr)};
    const QString header = Zeros(31 * 8);
    const QByteArray file = ConfigFileBytes(header, sections);
    // 31 + (2+1+1) + 2 + (2+1+3) + 2
    ASSERT_EQ(file.size(), 31 + 4 + 2 + 6 + 2);
    EXPECT_EQ(file.right(2), Bytes({0xFF, 0xFF}));
    EXPECT_EQ(file.mid(31, 4), Bytes({0x02, 0x00, 0x01, 0x05}));

    // Read from byte 31 on (no date word here): section 0 comes first.
    QString image = ImageFromBytes(QByteArrayView(file).sliced(31));
    const QList<ConfigSection> taken = TakeAllSections(image);
    ASSERT_EQ(taken.size(), 3);
    EXPECT_EQ(taken[0].bits, 16);
    EXPECT_EQ(taken[0].text, "00000101" + BitField(1, 8));
    EXPECT_EQ(taken[1].bits, 0);
    EXPECT_EQ(taken[2].text, "0000" + Ones(20) + BitField(1, 8));
    EXPECT_EQ(image, ConfigEndMark());
}

TEST(ConfigImage, CountHexSectionsWalksPartialInput) {
    int index = 0, count = 0;
    EXPECT_EQ(CountHexSections("0300010201FFFF00", index, count), -1);
    EXPECT_EQ(index, 5);
    EXPECT_EQ(count, 1);

    index = 0, count = 0;
    EXPECT_EQ(CountHexSections("0300010201FFFF", index, count), 1);
    EXPECT_EQ(index, 5);
    EXPECT_EQ(count, 1);

    // The text arrives in pieces; each call continues where the last stopped.
    const QString whole =
        "0300010201"
        "0000"
        "010001"
        "FFFF00";
    index = 0, count = 0;
    EXPECT_EQ(CountHexSections(whole.left(4), index, count), 0);  // word not examined yet
    EXPECT_EQ(index, 0);
    EXPECT_EQ(CountHexSections(whole.left(12), index, count), 1);
    EXPECT_EQ(index, 5);
    EXPECT_EQ(CountHexSections(whole.left(16), index, count), 1);  // the empty section
    EXPECT_EQ(index, 7);
    EXPECT_EQ(count, 2);
    EXPECT_EQ(CountHexSections(whole.left(22), index, count), 1);
    EXPECT_EQ(index, 10);
    EXPECT_EQ(count, 3);
    EXPECT_EQ(CountHexSections(whole, index, count), -1);
    EXPECT_EQ(index, 10);
    EXPECT_EQ(count, 3);

    // A length past the end leaves the index beyond the text: nothing more is walked.
    index = 0, count = 0;
    EXPECT_EQ(CountHexSections("FF7F00000000", index, count), 1);
    EXPECT_EQ(index, 0x7FFF + 2);
    EXPECT_EQ(CountHexSections("FF7F00000000", index, count), 0);

    // Lower-case hexadecimal text stops at the end mark as well.
    index = 0, count = 0;
    EXPECT_EQ(CountHexSections("0300010201ffff00", index, count), -1);
    EXPECT_EQ(index, 5);
    EXPECT_EQ(count, 1);

    index = -3, count = 0;
    EXPECT_EQ(CountHexSections("0300010201FFFF00", index, count), 0);
    EXPECT_EQ(count, 0);
}

TEST(ConfigImage, SizeLimitsPerKind) {
    QStringList log;
    EXPECT_FALSE(ConfigSizeExceeded(kKindSwitch, 139264, &log));
    EXPECT_TRUE(ConfigSizeExceeded(kKindCallPanel, 139265, nullptr));
    EXPECT_TRUE(log.isEmpty());
    EXPECT_FALSE(ConfigSizeExceeded(kKindConsole, 98304, &log));
    EXPECT_TRUE(ConfigSizeExceeded(kKindConsole, 98304 + 800, &log));
    const QString stars(50, QLatin1Char('*'));
    EXPECT_EQ(log, (QStringList{"Размер файла превышает допустимый на этом этапе на 100 байт",
                                stars, "* Формирование файла прекращено!  *", stars}));
}

}  // namespace
}  // namespace ConfigImageTestUnit
