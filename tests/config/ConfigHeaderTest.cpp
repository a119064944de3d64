#include "config/ConfigHeader.h"
#include "foundation/BitAndStr.h"
#include "foundation/Globals.h"
#include "support/QtPrinters.h"

#include <gtest/gtest.h>

namespace ConfigHeaderTestUnit {

namespace {

QByteArray Bytes(std::initializer_list<int> values) {
    QByteArray out;
    for (int v : values) out.append(char(v));
    return out;
}

// The image the byte reader makes of a date word stored as bytes 29 (high), 30 (low).
QString DateWordImage(int word, const QString& before = QString()) {
    return before + ImageFromBytes(Bytes({(word >> 8) & 0xFF, word & 0xFF}));
}

TEST(ConfigHeader, ClassSignatureAndKindFollowTheDeviceNumber) {
    const QByteArray sw = BuildConfigHeaderBytes(5, 0, 63);
    EXPECT_EQ(sw.left(9), Bytes({0x05, 0x0F, 0, 0, 0, 0, 0, 0, 0x90}));
    EXPECT_EQ(sw.mid(12, 2), Bytes({0x02, 0x00}));

    const QByteArray console = BuildConfigHeaderBytes(63, 0, 63);
    EXPECT_EQ(console.left(9), Bytes({0x3F, 0x64, 0x01, 0, 0, 0, 0, 0, 0x90}));
    EXPECT_EQ(console.mid(12, 2), Bytes({0x04, 0x00}));

    const QByteArray panel = BuildConfigHeaderBytes(70, 0, 63);
    EXPECT_EQ(panel.left(9), Bytes({0x46, 0xF0, 0, 0, 0, 0, 0, 0, 0xC0}));
    EXPECT_EQ(panel.mid(12, 2), Bytes({0x01, 0x00}));

    EXPECT_EQ(BuildConfigHeaderBytes(-4, 0, 63).at(0), 0);
    EXPECT_EQ(quint8(BuildConfigHeaderBytes(300, 0, 63).at(0)), 44);
}

TEST(ConfigHeader, WholeHeaderAndItsBitText) {
    const QByteArray h = BuildConfigHeaderBytes(5, 1193046, 63);
    EXPECT_EQ(h, Bytes({0x05, 0x0F, 0, 0, 0,    0, 0, 0, 0x90, 0x56, 0x34, 0x12, 0x02, 0,    0, 0,
                        0,    0,    0, 0, 0x80, 0, 0, 0, 0,    0,    0,    0xFF, 0xFF, 0x80, 0}));
    // Only the low 24 bits of a larger identifier; a negative one counts as 0.
    EXPECT_EQ(BuildConfigHeaderBytes(5, 0x7A123456, 63).mid(9, 3), Bytes({0x56, 0x34, 0x12}));
    EXPECT_EQ(BuildConfigHeaderBytes(5, -1, 63).mid(9, 3), Bytes({0, 0, 0}));

    // Built by prepending: the byte writer puts the text out in the table's order.
    const QString text = BuildConfigHeader(5, 1193046, 63);
    EXPECT_EQ(text.size(), kConfigHeaderBits);
    qint64 bits = 0;
    EXPECT_EQ(BitStringToBytes(text, &bits), h);
    EXPECT_EQ(bits, 248);

    Globals().SepDevice = 40;  // the program-wide value decides without an argument
    EXPECT_EQ(quint8(BuildConfigHeaderBytes(63, 0, Globals().SepDevice).at(8)), 0xC0);
    EXPECT_EQ(BitStringToBytes(BuildConfigHeader(40, 0)).at(1), 0x64);
    Globals().SepDevice = 63;
}

TEST(ConfigHeader, DateWord) {
    EXPECT_EQ(BitStringToBytes(BuildConfigTrailer()), Bytes({0x80, 0x00}));

    QString text;
    QString image = DateWordImage(0x8000, "1010");
    EXPECT_EQ(CheckConfigTrailer(image, text), kTrailerUnchanged);
    EXPECT_EQ(text, "  Файл не изменен.");
    EXPECT_EQ(image, "1010");

    image = DateWordImage(0x0001);
    EXPECT_EQ(CheckConfigTrailer(image, text), kTrailerChanged);
    EXPECT_EQ(text, " от 31.12.2000  Файл изменен!");
    EXPECT_EQ(ConfigDateFromDays(1), QDate(2000, 12, 31));
    EXPECT_EQ(image, "");

    image = DateWordImage(0x8000 | 366);
    EXPECT_EQ(CheckConfigTrailer(image, text), kTrailerUnchanged);
    EXPECT_EQ(text, " от 31.12.2001  Файл не изменен.");

    image = DateWordImage(0x0000);
    EXPECT_EQ(CheckConfigTrailer(image, text), kTrailerChanged);
    EXPECT_EQ(text, "  Файл изменен!");

    image = DateWordImage(0xFFFF, "01");
    EXPECT_EQ(CheckConfigTrailer(image, text), kTrailerNone);
    EXPECT_EQ(text, "");
    EXPECT_EQ(image, "01");

    image = QString(15, QLatin1Char('1'));
    EXPECT_EQ(CheckConfigTrailer(image, text), kTrailerTooShort);
    EXPECT_EQ(text, "Не хватает длины заголовка.");
    EXPECT_EQ(image.size(), 15);
}

TEST(ConfigHeader, IdentificationSectionBytesAndLogs) {
    ConfigIdent id;
    id.nNet = 0x345;
    id.type = 1;
    id.idNet = 0x11223344;
    id.recordId = 7;
    id.idNom = 0xFFFFFFFFLL;
    QStringList detail, result;
    const QString section = EncodeIdentSection(kKindCallPanel, id, "Подъезд 1", &detail, &result);
    EXPECT_EQ(BitStringToBytes(section), Bytes({0x0F, 0x00, 0x01, 0x45, 0x13, 0x44, 0x33, 0x22,
                                                0x11, 0x07, 0, 0, 0, 0xFF, 0xFF, 0xFF, 0xFF}));
    EXPECT_EQ(detail,
              (QStringList{"----------------------------------- бв сек 1",
                           DeviceAddrName(0x345, 63) + "  Подъезд 1", "длина 1 sec бит 112"}));
    EXPECT_EQ(result, QStringList{"Размер секции 1:=15 байт"});

    detail.clear();
    EncodeIdentSection(kKindConsole, ConfigIdent{}, QString(), &detail, nullptr);
    EXPECT_EQ(detail, (QStringList{"----------------------------------- ППО сек 1",
                                   "длина 1 sec бит  112"}));
    detail.clear();
    EncodeIdentSection(kKindSwitch, ConfigIdent{}, QString(), &detail, nullptr);
    ASSERT_FALSE(detail.isEmpty());
    EXPECT_EQ(detail.first(), "----------------------------------- КМ сек 1");

    // Read back as a reader sees it: the 32-bit all-ones identifier stays positive.
    QString image = ImageFromBytes(BitStringToBytes(section));
    QString taken;
    ASSERT_EQ(TakeSection(image, taken), 120);
    const ConfigIdent back = DecodeIdentSection(taken);
    EXPECT_EQ(back.nNet, 0x345);
    EXPECT_EQ(back.type, 1);
    EXPECT_EQ(back.idNet, 0x11223344);
    EXPECT_EQ(back.recordId, 7);
    EXPECT_EQ(back.idNom, 4294967295LL);
}

TEST(ConfigHeader, ShortIdentificationLeavesMissingFieldsUnset) {
    ConfigIdent id{9, 0, 100, 200, 300};
    const QString full = IdentPayload(id) + BitField(1, 8);

    const ConfigIdent partial = DecodeIdentSection(full.right(8 + 12 + 4 + 20));
    EXPECT_EQ(partial.nNet, 9);
    EXPECT_EQ(partial.type, 0);
    EXPECT_EQ(partial.idNet, -1);
    EXPECT_EQ(partial.recordId, -1);
    EXPECT_EQ(partial.idNom, -1);

    const ConfigIdent none = DecodeIdentSection("101");
    EXPECT_EQ(none.nNet, -1);
    EXPECT_EQ(DecodeIdentSection(QString()).idNet, -1);
}

TEST(ConfigHeader, KindByLengthOfSection0) {
    const ConfigSection0Sizes rising{100, 200, 300};
    EXPECT_EQ(ConfigKindByLength(100, rising), kKindSwitch);
    EXPECT_EQ(ConfigKindByLength(200, rising), kKindCallPanel);
    EXPECT_EQ(ConfigKindByLength(316, rising), kKindConsole);
    EXPECT_EQ(ConfigKindByLength(284, rising), kKindConsole);
    EXPECT_EQ(ConfigKindByLength(317, rising), kKindUnknown);
    EXPECT_EQ(ConfigKindByLength(150, rising), kKindUnknown);
    EXPECT_EQ(ConfigKindByLength(QString(200, QLatin1Char('0')), rising), kKindCallPanel);

    const ConfigSection0Sizes bop{300, 100, 200};  // B < O < P: thresholds
    EXPECT_EQ(ConfigKindByLength(99, bop), kKindUnknown);
    EXPECT_EQ(ConfigKindByLength(150, bop), kKindCallPanel);
    EXPECT_EQ(ConfigKindByLength(250, bop), kKindConsole);
    EXPECT_EQ(ConfigKindByLength(5000, bop), kKindSwitch);

    const ConfigSection0Sizes opb{200, 300, 100};  // O < P < B
    EXPECT_EQ(ConfigKindByLength(100, opb), kKindConsole);
    EXPECT_EQ(ConfigKindByLength(299, opb), kKindSwitch);
    EXPECT_EQ(ConfigKindByLength(300, opb), kKindCallPanel);

    EXPECT_EQ(ConfigKindByLength(100, ConfigSection0Sizes{100, 100, 300}), kKindUnknown);
    // Hostile sizes from the database must not overflow the distance test.
    EXPECT_EQ(
        ConfigKindByLength(0, ConfigSection0Sizes{-9000000000000000000LL, -8000000000000000000LL,
                                                  9000000000000000000LL}),
        kKindUnknown);
}

TEST(ConfigHeader, KindByDeviceNumber) {
    EXPECT_EQ(ConfigKindByDeviceNumber(5, 50, 63), kKindSwitch);
    EXPECT_EQ(ConfigKindByDeviceNumber(63, 50, 63), kKindConsole);
    EXPECT_EQ(ConfigKindByDeviceNumber(70, 50, 63), kKindCallPanel);
    EXPECT_EQ(ConfigKindByDeviceNumber(55, 50, 63), kKindUnknown);
    EXPECT_EQ(ConfigKindByDeviceNumber(-1, 50, 63), kKindUnknown);
}

TEST(ConfigHeader, DesignationToAddress) {
    EXPECT_EQ(DesignationToAddress("СКМ05", 63), 5);
    EXPECT_EQ(DesignationToAddress("СБВ03", 63), 67);
    EXPECT_EQ(DesignationToAddress("СПОxy", 63), 63);
    EXPECT_EQ(DesignationToAddress("СПО  ", 40), 40);
    EXPECT_EQ(DesignationToAddress("СПО", 63), -1);
    EXPECT_EQ(DesignationToAddress("СКМ5", 63), -1);
    EXPECT_EQ(DesignationToAddress("СКМ0а", 63), -1);
    EXPECT_EQ(DesignationToAddress("СКМ12 дом 3", 63), 12);
    EXPECT_EQ(DesignationToAddress("XКМ07", 63), 7);  // the first character is not examined
    EXPECT_EQ(DesignationToAddress("СУС99", 63), -1);
    EXPECT_EQ(DesignationToAddress("", 63), -1);
    EXPECT_EQ(DesignationToAddress("СКМ٠٥", 63), -1);  // only ASCII digits count
    EXPECT_EQ(DesignationToAddress("СПО12"), Globals().SepDevice);
}

}  // namespace
}  // namespace ConfigHeaderTestUnit
