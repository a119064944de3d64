#include "netlink/NetDeviceTables.h"

#include "support/DeviceBusSimulator.h"
#include "support/QtPrinters.h"

#include <gtest/gtest.h>

namespace NetDeviceTablesTestUnit {

namespace {

constexpr int kSep = 63;

TNetFrame FrameOf(const QByteArray& bytes) {
    return TNetFrame::FromBytes(reinterpret_cast<const quint8*>(bytes.constData()),
                                int(bytes.size()));
}

// A serial-number answer of switch 5 with the given bytes from byte 8+s on.
TNetFrame SerialAnswer(const QByteArray& serialBytes, int s, int lengthCode) {
    TNetFrame frame{0x05, 0x7F, lengthCode, 0x81 | (s ? 0x40 : 0)};
    frame.Set(7 + s, 0x03);
    for (int i = 0; i < serialBytes.size(); ++i) frame.Set(8 + s + i, quint8(serialBytes[i]));
    return frame;
}

TEST(NetSerialNumber, SevenSegmentBytesGiveLetterAndNineDigits) {
    const QByteArray bytes = QByteArray::fromHex("0B86DBCFE6EDFD87FFEF");
    EXPECT_EQ(DecodeSerialNumber(SerialAnswer(bytes, 0, 20), 0), "B123456789");
    EXPECT_EQ(DecodeSerialNumber(SerialAnswer(bytes, 1, 21), 1), "B123456789");
    EXPECT_EQ(DeviceBusSimulator::EncodeSerial("B123456789"), bytes);

    // 0x13 + 55 is 'J', the last letter; 0x14 + 55 is 'K'.
    EXPECT_EQ(
        DecodeSerialNumber(SerialAnswer(QByteArray::fromHex("13BFBFBFBFBFBFBFBFBF"), 0, 20), 0),
        "J000000000");
    EXPECT_EQ(DecodeSerialNumber(SerialAnswer(QByteArray::fromHex("14BF"), 0, 20), 0),
              "Не доступно.");
    EXPECT_EQ(DecodeSerialNumber(SerialAnswer(QByteArray::fromHex("00"), 0, 20), 0),
              "Не доступно.");
}

TEST(NetSerialNumber, DtgIdentityOnlyFromLongAnswers) {
    TNetFrame answer = SerialAnswer(QByteArray::fromHex("0B86DBCFE6EDFD87FFEF"), 0, 23);
    answer.Set(18, 0x12);
    answer.Set(19, 0x56);
    answer.Set(20, 0x34);
    EXPECT_EQ(DecodeDtgIdentity(answer, 0), "123456");
    answer.Set(2, 22);
    EXPECT_EQ(DecodeDtgIdentity(answer, 0), "");
    EXPECT_TRUE(LooksLikeSerialNumber("B123456789"));
    EXPECT_FALSE(LooksLikeSerialNumber("K123456789"));
    EXPECT_FALSE(LooksLikeSerialNumber("B12345678x"));
    EXPECT_FALSE(LooksLikeSerialNumber("Не доступно."));
}

class ClassReplyTest : public ::testing::Test {
  protected:
    // Stores the simulated device's class reply and decodes it.
    const TNetDeviceInfo& Parse(const SimDevice& device) {
        tables.StoreReply(device.address, FrameOf(DeviceBusSimulator::ClassReply(device)), 1);
        tables.ParseClassReply(device.address);
        return tables.NetDevices[size_t(device.address)];
    }

    static SimDevice Sample(int format, bool selector) {
        SimDevice d = SimDevice::Switch(5);
        d.format = format;
        d.selector = selector;
        d.nid = 0x123456;
        d.bios = 7;
        d.configStart = 0x2800;
        d.configEnd = 0x3FFF;
        d.cnfDays = 8000;
        d.cnfUnchanged = false;
        d.appVersion = 0x0203;
        d.atg1 = 0xAA;
        d.atg2 = 0xBBCC;
        return d;
    }

    NetDeviceTables tables;
};

TEST_F(ClassReplyTest, FullFormatDecodesEveryField) {
    const TNetDeviceInfo& d = Parse(Sample(29, false));
    EXPECT_EQ(d[kNdAddress], 5);
    EXPECT_EQ(d[kNdFormat], 29);
    EXPECT_EQ(d[kNdSelector], 0);
    EXPECT_EQ(d[kNdAlpha], 0);
    EXPECT_EQ(d[kNdNidHigh], 0x12);
    EXPECT_EQ(d[kNdNidLow], 0x3456);
    EXPECT_EQ(d.Nid(), 0x123456);
    EXPECT_EQ(d[kNdPtg1], 7);
    EXPECT_EQ(d[kNdPtg2], 2);
    EXPECT_EQ(d[kNdConfigStart], 0x2800);
    EXPECT_EQ(d[kNdConfigEnd], 0x3FFF);
    EXPECT_EQ(d[kNdCnfVersion], 8000);
    EXPECT_EQ(d[kNdCnfUnchanged], 0);
    EXPECT_EQ(d[kNdAppVersion], 0x0203);
    EXPECT_EQ(d[kNdAtg1], 0xAA);
    EXPECT_EQ(d[kNdAtg2], 0xBBCC);
    const auto& texts = tables.NetDeviceTexts[5];
    EXPECT_EQ(texts[kTextPtg], "070002");     // BIOS version, then the class word high byte first
    EXPECT_EQ(texts[kTextFormat], "AABBCC");  // the ATG identity replaces the format text
    // The last mask byte first: 90 .. 0F.
    EXPECT_EQ(texts[kTextClassMask], "10010000" + QString(48, '0') + "00001111");
}

TEST_F(ClassReplyTest, SelectorAndAlphaFormatsShiftTheFields) {
    const TNetDeviceInfo& sel = Parse(Sample(30, true));
    EXPECT_EQ(sel[kNdSelector], 1);
    EXPECT_EQ(sel[kNdAlpha], 0);
    EXPECT_EQ(sel.Nid(), 0x123456);
    EXPECT_EQ(sel[kNdAtg2], 0xBBCC);

    SimDevice alpha = Sample(30, false);
    alpha.nid = 0x01234567;
    const TNetDeviceInfo& a = Parse(alpha);
    EXPECT_EQ(a[kNdAlpha], 1);
    EXPECT_EQ(a[kNdNidHigh], 0x0123);
    EXPECT_EQ(a[kNdNidLow], 0x4567);
    EXPECT_EQ(a[kNdPtg1], 7);
    EXPECT_EQ(a[kNdAtg2], 0xBBCC);  // the last field ends on byte 29
}

TEST_F(ClassReplyTest, ShortFormatIsBrokenButStillDecoded) {
    const TNetDeviceInfo& d = Parse(Sample(20, false));  // length code 22
    EXPECT_EQ(d[kNdFormat], 20);
    EXPECT_EQ(tables.NetDeviceTexts[5][kTextFormat], "Пакет нарушен!");
    EXPECT_EQ(d[kNdAppVersion], 0);
    EXPECT_EQ(d[kNdAtg1], 0);
    EXPECT_EQ(d[kNdAtg2], 0);
    EXPECT_EQ(d.Nid(), 0x123456);
    EXPECT_EQ(d[kNdConfigEnd], 0x3FFF);
}

TEST_F(ClassReplyTest, DtgFieldsComeFromTheSerialAnswerText) {
    tables.NetDeviceTexts[5][kTextDtg] = "12ABCD";
    const TNetDeviceInfo& d = Parse(Sample(29, false));
    EXPECT_EQ(d[kNdDtg1], 0x12);
    EXPECT_EQ(d[kNdDtg2], 0xABCD);
}

TEST_F(ClassReplyTest, AddressesOutsideTheDevicesAreIgnored) {
    tables.ParseClassReply(127);
    tables.ParseClassReply(-1);
    tables.ParseClassReply(500);
    tables.StoreReply(200, TNetFrame{1}, 1);
    EXPECT_EQ(tables.AnswerCount(200), 0);
    EXPECT_EQ(tables.NetDevices[127][kNdAddress], 0);
}

TEST_F(ClassReplyTest, DeviceListHasOneLinePerAnswer) {
    tables.StoreReply(5, FrameOf(DeviceBusSimulator::ClassReply(SimDevice::Switch(5))), 2);
    tables.StoreReply(70, FrameOf(DeviceBusSimulator::ClassReply(SimDevice::CallPanel(6))), 1);
    tables.StoreReply(63, FrameOf(DeviceBusSimulator::ClassReply(SimDevice::Console(63))), 1);
    tables.NetDeviceTexts[70][kTextSerial] = "C000000001";
    QStringList list{"Порт:=/dev/x Vid:= Pid:="};
    tables.AddDeviceListLine(5, list, kSep);
    EXPECT_EQ(list, (QStringList{"Порт:=/dev/x Vid:= Pid:=", "СКМ05  ", "СКМ05 2"}));

    tables.BuildDeviceList(list, kSep);
    EXPECT_EQ(list, (QStringList{"СКМ05  ", "СКМ05 2", "СПО    ", "СБВ06   SN C000000001"}));

    // A line with the same first 7 characters is replaced.
    tables.NetDeviceTexts[5][kTextSerial] = "B123456789";
    tables.AddDeviceListLine(5, list, kSep);
    ASSERT_FALSE(list.isEmpty());
    EXPECT_EQ(list.first(), "СКМ05   SN B123456789");
    EXPECT_EQ(list.at(1), "СКМ05 2 SN B123456789");
    EXPECT_EQ(list.size(), 4);
}

TEST_F(ClassReplyTest, ClassInfoListsTheDevice) {
    SimDevice d = Sample(29, false);
    d.appVersion = 4;
    d.bios = 5;
    d.cnfDays = 1;
    d.cnfUnchanged = true;
    Parse(d);
    tables.NetDeviceTexts[5][kTextSerial] = "B123456789";
    const NetClassInfo info = tables.ShowClassInfo(5, kSep);
    ASSERT_GE(info.lines.size(), 16);
    EXPECT_EQ(info.lines[0], "СКМ05");
    EXPECT_EQ(info.lines[1], "Получен ответ на запрос класса.");
    EXPECT_EQ(info.lines[2], "Маска класса: 11110000" + QString(48, '0') + "00001001");
    EXPECT_EQ(info.lines[4], "Идентификатор сети NID:=1193046  $12$34$56");
    EXPECT_EQ(info.lines[5], "A\\C:=10240  $28$00");
    EXPECT_EQ(info.lines[7], "Номер версии CNF: 31.12.2000");
    EXPECT_EQ(info.lines[8], "CNF не изменен.");
    EXPECT_EQ(info.lines[9], "Номер версии переменной части программы (APP): $04");
    EXPECT_EQ(info.lines[10], "SN: B123456789");
    EXPECT_EQ(info.lines[11], "UID PTG:= $05$02");
    EXPECT_EQ(info.lines[12], "UID ATG:= $AA$BB$CC");
    EXPECT_EQ(info.lines[14], "Обнаружен СКМ с ошибочным АРР ");
    EXPECT_EQ(info.lines[15], "Залейте новую версию АРР!");
    EXPECT_EQ(info.serial, "B123456789");
    EXPECT_EQ(info.serialAddress, 5);

    const NetClassInfo none = tables.ShowClassInfo(9, kSep);
    EXPECT_EQ(none.lines[1], "Ответ на запрос класса не получен!");
    EXPECT_EQ(none.serialAddress, -1);
}

}  // namespace
}  // namespace NetDeviceTablesTestUnit
