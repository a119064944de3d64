#include "config/TBvParams.h"
#include "foundation/BitAndStr.h"
#include "support/ScriptedDialogs.h"

#include "SectionBytes.h"

#include <gtest/gtest.h>

#include <limits>

namespace TBvParamsTestUnit {
namespace {

using namespace cfgtest;

namespace {

PanelRow Panel() {
    PanelRow p;
    p.nNet = 65;
    p.nBv = "БВ подъезда";
    p.sl = 5;
    p.ot = 3;
    p.bell = true;
    p.scud = true;
    p.kfilt = 0;
    p.blato = 10;
    return p;
}

PanelEntranceRow Entrance(qint64 idPk, int nPk, int apartments) {
    PanelEntranceRow e;
    e.idPk = idPk;
    e.nPk = nPk;
    e.nNet = nPk;
    e.apartments.resize(apartments);
    return e;
}

QString Section0(const PanelRow& panel, const QList<PanelEntranceRow>& entrances = {},
                 ConfigLogs* logsOut = nullptr, qint64* ordinal = nullptr) {
    ConfigLogs logs;
    QString section;
    qint64 handset = -1;
    EXPECT_TRUE(EncodeBvSection0(panel, entrances, 63, section, handset, logs));
    if (logsOut) *logsOut = logs;
    if (ordinal) *ordinal = handset;
    return section;
}

TEST(BvParams, SectionFromThePanelRow) {
    ConfigLogs logs;
    qint64 ordinal = 0;
    const QString section = Section0(Panel(), {}, &logs, &ordinal);
    EXPECT_EQ(LengthWord(section), 29);
    const QByteArray payload = Payload(section);
    ASSERT_EQ(payload.size(), 28);
    EXPECT_EQ(payload.left(6), Bytes({0x25, 0x41, 0x00, 0x0A, 0xFF, 0xFF}));
    EXPECT_EQ(ordinal, kBvNoHandset);

    TBvParams p;
    BvParamsFromBits(Taken(section), p);
    for (const QString& code : p.ocode) EXPECT_EQ(BinToInt(code), 111111);
    EXPECT_EQ(p.Tail, Zeros(6));  // the padding to whole bytes

    EXPECT_EQ(logs.detail.mid(0, 6), (QStringList{"----------------------------------- бв сек 0",
                                                  "Основные параметры: СБВ01", "БВ подъезда",
                                                  "SL:=5", "OT:=2", "BELL:=1"}));
    EXPECT_TRUE(logs.detail.contains("Resv:=0"));
    EXPECT_TRUE(logs.detail.contains("ADRCS:=65535"));
    EXPECT_TRUE(logs.detail.contains("111111  ocode9"));
    ASSERT_FALSE(logs.detail.isEmpty());
    EXPECT_EQ(logs.detail.last(), "длина 0 sec бит 218");
    EXPECT_EQ(logs.result, QStringList{"Размер секции 0:=29 байт"});
}

TEST(BvParams, OddColumnValues) {
    PanelRow p = Panel();
    p.blato = -1;
    p.sl = 17;  // keeps its low bits
    p.ot = 0;
    EXPECT_EQ(Payload(Section0(p)).left(4), Bytes({0x01, 0x41, 0x00, 31}));
}

TEST(BvParams, ConsoleHandsetOrdinal) {
    PanelRow p = Panel();
    p.adrpk = 12;
    p.adrcs = 3;
    // The console counts the entrances by matrix column, whatever their order here.
    const QList<PanelEntranceRow> entrances{Entrance(12, 2, 30), Entrance(11, 1, 40)};
    qint64 ordinal = 0;
    ConfigLogs logs;
    const QByteArray payload = Payload(Section0(p, entrances, &logs, &ordinal));
    EXPECT_EQ(ordinal, 42);
    EXPECT_EQ(payload.mid(4, 2), Bytes({42, 0}));
    EXPECT_EQ(logs.result.size(), 1);  // only the size line

    // A switch of none of the entrances: the count of all apartments, with a warning.
    p.adrpk = 99;
    bool matched = true;
    EXPECT_EQ(BvConsoleHandsetOrdinal(p, entrances, &matched), 70);
    EXPECT_FALSE(matched);
    Section0(p, entrances, &logs);
    ASSERT_FALSE(logs.result.isEmpty());
    EXPECT_EQ(logs.result.first(),
              "Предупреждение: коммутатор трубки ППО не обслуживает подъезды этого БВ, индекс "
              "трубки ППО := 70");

    p.adrcs = 0;
    EXPECT_EQ(BvConsoleHandsetOrdinal(p, entrances), kBvNoHandset);

    // An index of any size in the second entrance: the sum stops at its top,
    // and the field says no handset.
    p.adrpk = 12;
    p.adrcs = std::numeric_limits<qint64>::max();
    EXPECT_EQ(BvConsoleHandsetOrdinal(p, entrances), std::numeric_limits<qint64>::max());
    EXPECT_EQ(Payload(Section0(p, entrances)).mid(4, 2), Bytes({0xFF, 0xFF}));
}

TEST(BvParams, DoorOpenCodes) {
    PanelRow p = Panel();
    p.ocode[0] = "0123";
    p.ocode[1] = "12345";
    p.ocode[2] = "0";
    p.ocode[9] = " 7 ";
    const QString section = Section0(p);
    TBvParams r;
    BvParamsFromBits(Taken(section), r);
    EXPECT_EQ(BinToInt(r.ocode[0]), 110123);
    EXPECT_EQ(BinToInt(r.ocode[1]), 12345);
    const BvParamsValues v = DecodeBvParams(Taken(section));
    EXPECT_EQ(v.Ocode[0], "0123");
    EXPECT_EQ(v.Ocode[1], "12345");
    EXPECT_EQ(v.Ocode[2], "0");
    EXPECT_EQ(v.Ocode[3], "");
    EXPECT_EQ(v.Ocode[9], "7");
    const QStringList lines = DecodeBvSection0(Taken(section));
    EXPECT_TRUE(lines.contains("OCODE0:= 0123"));
    EXPECT_TRUE(lines.contains("OCODE3:= "));

    // A code that is not a number that fits gets no file.
    p.ocode[4] = "12a";
    ScriptedDialogs dialogs;
    dialogs.Expect("Ошибка",
                   "Код открытия двери 4 \"12a\": нужно число не длиннее 6 цифр и не больше "
                   "131070.");
    ConfigLogs logs;
    QString out = "old";
    qint64 ordinal = 0;
    EXPECT_FALSE(EncodeBvSection0(p, {}, 63, out, ordinal, logs));
    EXPECT_TRUE(out.isEmpty());
}

// Six-digit codes as older databases hold them: "111111" is no code, a padded
// code led by '0' and any other six digits are written as their value.
TEST(BvParams, SixDigitDoorOpenCodes) {
    const QList<std::pair<QString, qint64>> written{
        {"111111", 111111}, {"110123", 110123}, {"123456", 123456}, {"131070", 131070}};
    for (const auto& [code, value] : written) {
        QString field;
        ASSERT_TRUE(BvOpenCodeField(code, field)) << code.toStdString();
        EXPECT_EQ(field, BitField(value, 17));
    }
    PanelRow p = Panel();
    p.ocode[0] = "111111";
    p.ocode[1] = "110123";
    p.ocode[2] = "123456";
    const BvParamsValues v = DecodeBvParams(Taken(Section0(p)));
    EXPECT_EQ(v.Ocode[0], "");
    EXPECT_EQ(v.Ocode[1], "0123");
    EXPECT_EQ(v.Ocode[2], "23456");  // leading 1 digits of a six-digit value are padding

    // All 17 ones is an empty slot to the panel; more does not fit.
    for (const QString& code : QStringList{"131071", "999999", "1234567", "0000001"}) {
        QString field = "kept";
        EXPECT_FALSE(BvOpenCodeField(code, field)) << code.toStdString();
        EXPECT_EQ(field, "kept");
    }
}

TEST(BvParams, ReadScreenLines) {
    PanelRow p = Panel();
    p.dsoc = true;
    const QStringList lines = DecodeBvSection0(Taken(Section0(p)));
    ASSERT_EQ(lines.size(), 24);
    EXPECT_EQ(lines.mid(0, 3), (QStringList{"SL:=   5", "OT:=   2", "BELL:= 1"}));
    EXPECT_EQ(lines[5], "DSOC:= 1");
    EXPECT_EQ(lines.mid(10, 4),
              (QStringList{"KFilt:=0", "BLATO:=10", "ADRCS:=65535", "OCODE0:= "}));
    EXPECT_EQ(lines.last(), Zeros(6));  // Tail: the padding
}

TEST(BvParams, ShortSectionsLeaveFieldsBlank) {
    TBvParams p;
    // sl, ot, the switches, kfilt, blato and adrcs: the codes are not there.
    const QString text = Zeros(16) + Ones(8) + Zeros(8) + "10000001" + "0011" + "0101" + "00000001";
    BvParamsFromBits(text, p);
    EXPECT_EQ(p.sl, "0101");
    EXPECT_EQ(p.bell, "1");
    EXPECT_EQ(p.lrez, "1");
    EXPECT_EQ(p.adrcs, Zeros(16));
    EXPECT_EQ(p.ocode[0], QString(17, ' '));
    EXPECT_TRUE(p.Tail.isEmpty());
    const QStringList lines = DecodeBvSection0(text);
    EXPECT_EQ(lines[13], "OCODE0:= ");
    EXPECT_EQ(lines.last(), "");

    // Too short for the switches: they stay empty and the rest goes to Tail.
    BvParamsFromBits(
        "1111"
        "0011"
        "0101"
        "00000001",
        p);
    EXPECT_EQ(p.ot, "0011");
    EXPECT_EQ(p.bell, "");
    EXPECT_EQ(p.Tail, "1111");
    const BvParamsValues v = DecodeBvParams(
        "0101"
        "00000001");
    EXPECT_EQ(v.SL, 5);
    EXPECT_EQ(v.OT, 1);  // a blank field reads as 0
    EXPECT_FALSE(v.DSoc);
}

TEST(BvParams, EditorRoundTrip) {
    PanelRow p = Panel();
    p.ocode[3] = "0099";
    p.adrcs = -1;
    // Bits beyond the ten codes, as a newer panel might have them.
    QString payload;
    TBvParams r;
    ASSERT_TRUE(BvParamsFromDB(r, p, {}));
    r.Tail = "101";
    payload = BvParamsToBits(r);
    const QString read = Taken(WrapSection(payload, 0, 1, nullptr));

    BvParamsValues v = DecodeBvParams(read);
    EXPECT_EQ(v.SL, 5);
    EXPECT_EQ(v.OT, 3);
    EXPECT_TRUE(v.Bell && v.Scud && !v.Auto);
    EXPECT_TRUE(v.DSoc);  // the dsoc bit is 0: secret display on
    EXPECT_EQ(v.ADRCS, -1);
    EXPECT_EQ(v.BlatoBv, 10);
    EXPECT_EQ(v.MBv0, "000101");  // the tail with the padding above it

    QString section, error;
    ASSERT_TRUE(EncodeBvParams(v, section, nullptr, &error)) << error.toStdString();
    EXPECT_EQ(Taken(section), read);

    v.OT = 1;
    v.BlatoBv = -5;
    v.DSoc = false;
    v.Ocode[7] = "abc";
    EXPECT_FALSE(EncodeBvParams(v, section, nullptr, &error));
    EXPECT_EQ(error,
              "Код открытия двери 7 \"abc\": нужно число не длиннее 6 цифр и не больше 131070.");
    v.Ocode[7] = " ";
    ASSERT_TRUE(EncodeBvParams(v, section, nullptr, &error));
    EXPECT_EQ(Payload(section).left(4), Bytes({0x05, 0x49, 0x00, 31}));

    EXPECT_EQ(DecodeBvParams(Taken(section)).OT, 1);
    EXPECT_EQ(DecodeBvParams(Zeros(8) + "1111" + Zeros(4) + "00000001").OT, 16);
}

}  // namespace
}  // namespace
}  // namespace TBvParamsTestUnit
