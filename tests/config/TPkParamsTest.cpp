#include "SectionBytes.h"
#include "config/PanelEntranceSection.h"
#include "config/TPkParams.h"
#include "foundation/BitAndStr.h"
#include "support/ScriptedDialogs.h"

#include <gtest/gtest.h>

#include <limits>

namespace TPkParamsTestUnit {
namespace {

using namespace cfgtest;

namespace {

PkParamSetRow RecommendedSet() {
    PkParamSetRow s;
    s.idKe = 1;
    s.t_dl = 95;
    s.t_st = 1;
    s.t_po = 5;
    s.t_ed = 1;
    s.t_de = 1;
    s.acp1 = 64;
    s.acp2 = 128;
    s.acp3 = 192;
    s.t_wt = 66;
    return s;
}

SwitchRow Switch() {
    SwitchRow sw;
    sw.nNet = 5;
    sw.typeK = QStringLiteral("Торвин");
    sw.mVo = QStringLiteral("11000000");
    sw.mVb = QStringLiteral("11000000");
    sw.nXl = 41;
    sw.pFc = 1;
    return sw;
}

QString Section0(const PkParamSetRow& set, const SwitchRow& sw, ConfigLogs* logsOut = nullptr) {
    ConfigLogs logs;
    QString section;
    EXPECT_TRUE(EncodePkSection0(set, sw, section, logs));
    if (logsOut) *logsOut = logs;
    return section;
}

// The switch's FC and the panels' AI of one entrance come from its p_fc:
// FC within its range 0..99, AI the number before it (99 before 0), so
// that the two files agree whatever number the file holds.
TEST(SwitchSection0, TheFirstApartmentIncrementAgreesWithThePanelsAi) {
    const struct {
        qint64 pFc;
        int fc;
    } cases[] = {{0, 0},
                 {1, 1},
                 {5, 5},
                 {99, 99},
                 {100, 0},
                 {255, 55},
                 {256, 56},
                 {65535, 35},
                 {-1, 99},
                 {2147483647, 47},
                 {std::numeric_limits<qint64>::max(), 7},
                 {std::numeric_limits<qint64>::min(), 92}};
    for (const auto& c : cases) {
        SCOPED_TRACE(c.pFc);
        SwitchRow sw = Switch();
        sw.pFc = c.pFc;
        EXPECT_EQ(quint8(Payload(Section0(RecommendedSet(), sw)).at(11)), c.fc);
        PanelEntranceRow e;
        e.pFc = c.pFc;
        e.apartments.resize(1);
        PanelRow panel;
        panel.nNet = 66;
        ConfigLogs logs;
        const QByteArray ai = Payload(EncodeBvSection2(panel, {e}, 63, logs)).mid(10, 1);
        EXPECT_EQ(quint8(ai.at(0)), c.fc == 0 ? 99 : c.fc - 1);
    }
}

TEST(SwitchSection0, FieldsLandInTheirPayloadBytes) {
    PkParamSetRow set = RecommendedSet();
    set.t_cm = 300;
    SwitchRow sw = Switch();
    sw.mVo = QStringLiteral("1000000000000001");  // cameras 1 and 16
    sw.mVb.clear();                               // NULL mask: sixteen zeros
    sw.nXl = 6200;
    const QString section = Section0(set, sw);

    EXPECT_EQ(LengthWord(section), 22);
    const QByteArray p = Payload(section);
    ASSERT_EQ(p.size(), 21);
    EXPECT_EQ(p.mid(0, 2), Bytes({0x2C, 0x01}));
    EXPECT_EQ(p.mid(5, 2), Bytes({0x01, 0x80}));
    EXPECT_EQ(p.mid(7, 2), Bytes({0x00, 0x00}));
    EXPECT_EQ(p.mid(9, 2), Bytes({6200 & 0xFF, 6200 >> 8}));
    EXPECT_EQ(p.mid(11), Bytes({1, 1, 64, 128, 192, 0, 0, 0, 0, 66}));
    EXPECT_EQ(p.at(3), 95);
    EXPECT_EQ(FileBytes(section).at(2), 1);  // version
}

TEST(SwitchSection0, ValuesWiderThanTheirFieldKeepTheirLowBits) {
    PkParamSetRow set = RecommendedSet();
    set.t_cl = 300;  // 8 bits: 44
    set.t_cm = -1;   // taken unsigned: 65535
    SwitchRow sw = Switch();
    sw.mVo = QStringLiteral("10000000000000000001");  // longer than 16: its first 16 count
    const QByteArray p = Payload(Section0(set, sw));
    EXPECT_EQ(p.at(2), 44);
    EXPECT_EQ(p.mid(0, 2), Bytes({0xFF, 0xFF}));
    EXPECT_EQ(p.mid(5, 2), Bytes({0x01, 0x00}));
}

TEST(SwitchSection0, WriteLogNamesEveryField) {
    ConfigLogs logs;
    Section0(RecommendedSet(), Switch(), &logs);
    ASSERT_EQ(logs.detail.size(), 20);
    EXPECT_EQ(logs.detail[0], "----------------------------------- КМ сек 0");
    EXPECT_EQ(logs.detail[1], "Основные параметры:");
    EXPECT_EQ(logs.detail[2], "TCM:= 0");
    EXPECT_EQ(logs.detail[4], "TDL:= 95");
    EXPECT_EQ(logs.detail[6], "MVC0:=1100000000000000");
    EXPECT_EQ(logs.detail[8], "MXL:= 41");
    EXPECT_EQ(logs.detail[9], "FC:=  1");
    EXPECT_EQ(logs.detail[18], "WAIT:=66");
    EXPECT_EQ(logs.detail[19], "длина 0 sec бит 168");
    EXPECT_EQ(logs.result, QStringList{"Размер секции 0:=22 байт"});
}

TEST(SwitchSection0, WithoutParameterSetTheSwitchGetsNoFile) {
    ScriptedDialogs dialogs;
    dialogs.Expect("Ошибка", "Общие параметры КМ не определены!");
    ConfigLogs logs;
    QString section = "x";
    EXPECT_FALSE(EncodePkSection0(std::nullopt, Switch(), section, logs));
    EXPECT_TRUE(section.isEmpty());

    // A NULL value would silently become 0 in the device.
    PkParamSetRow set = RecommendedSet();
    set.nullColumns << "t_cm";
    SwitchRow sw = Switch();
    sw.nullColumns << "n_xl";
    dialogs.Expect("Ошибка", "Общие параметры КМ заданы не полностью, нет значений: t_cm, n_xl");
    EXPECT_FALSE(EncodePkSection0(set, sw, section, logs));
}

TEST(SwitchSection0, DecodingRestoresTheRecordAndKeepsUnknownBits) {
    TPkParams written;
    PkParamsFromDB(written, RecommendedSet(), Switch());
    const QString section = EncodePkParams(written, nullptr);
    TPkParams read;
    PkParamsFromBits(Taken(section), read);
    EXPECT_EQ(read.m_vo, "1100000000000000");
    EXPECT_EQ(BinToInt(read.n_xl), 41);
    EXPECT_EQ(BinToInt(read.acp3), 192);
    EXPECT_TRUE(read.Tail.isEmpty());
    EXPECT_EQ(EncodePkParams(read, nullptr), section);  // written back byte for byte

    // 24 payload bits more than the fields, as a device may send: kept and written back.
    read.Tail = "101010101111000011001100";
    const QString longer = EncodePkParams(read, nullptr);
    EXPECT_EQ(LengthWord(longer), 25);
    TPkParams again;
    PkParamsFromBits(Taken(longer), again);
    EXPECT_EQ(again.Tail, read.Tail);
    EXPECT_EQ(Payload(longer).right(3), Bytes({0xCC, 0xF0, 0xAA}));
}

TEST(SwitchSection0, ShortSectionsLeaveFieldsBlank) {
    TPkParams p;
    PkParamsFromBits("00000001", p);  // a version field and nothing else
    EXPECT_EQ(p.t_cm, "                ");
    EXPECT_EQ(BinToInt(p.t_wt), 0);
    EXPECT_TRUE(p.Tail.isEmpty());

    const QStringList lines = DecodePkSection0("00000001");
    ASSERT_EQ(lines.size(), 19);
    EXPECT_EQ(lines[0], "-------------------------- КМ    СЕКЦИЯ 0");
    EXPECT_EQ(lines[1], " TCM:= 0");
    EXPECT_EQ(lines[5], " MVC0:=                 ");
    EXPECT_EQ(lines[17], " WAIT:= 0");
    EXPECT_EQ(lines[18], "");

    // t_cm does not fit behind the version field: it stays blank.
    PkParamsFromBits(BitField(300, 16) + "0000", p);
    EXPECT_EQ(p.t_cm, "                ");
    PkParamsFromBits(BitField(300, 16) + "00000001", p);
    EXPECT_EQ(BinToInt(p.t_cm), 300);
    EXPECT_EQ(p.t_cl, "        ");
}

TEST(SwitchSection0, ReadScreenLines) {
    PkParamSetRow set = RecommendedSet();
    set.t_cm = 300;
    const QStringList lines = DecodePkSection0(Taken(Section0(set, Switch())));
    EXPECT_EQ(lines[1], " TCM:= 300");
    EXPECT_EQ(lines[5], " MVC0:= 1100000000000000");
    EXPECT_EQ(lines[7], " MxL:= 41");
    EXPECT_EQ(lines[8], " FC := 1");
    EXPECT_EQ(lines[9], " ST := 1");
    EXPECT_EQ(lines[17], " WAIT:= 66");
}

}  // namespace
}  // namespace
}  // namespace TPkParamsTestUnit
