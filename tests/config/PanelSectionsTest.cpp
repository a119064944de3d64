// Sections 2 (entrances) and 4 (apartment flags) of call-panel files.

#include "config/FlagSection.h"
#include "config/PanelEntranceSection.h"
#include "foundation/BitAndStr.h"

#include "SectionBytes.h"

#include <gtest/gtest.h>

namespace PanelSectionsTestUnit {
namespace {

using namespace cfgtest;

namespace {

PanelEntranceRow Entrance(int nNet, int apartments, qint64 pFc = 1, qint64 ah = 0) {
    PanelEntranceRow e;
    e.nNet = nNet;
    e.nPk = nNet;
    e.pFc = pFc;
    e.ah = ah;
    e.apartments.resize(apartments);
    return e;
}

PanelRow Panel(bool lrez = false) {
    PanelRow p;
    p.nNet = 66;
    p.nBv = "БВ подъезда";
    p.lrez = lrez;
    return p;
}

QString Section2(const QList<PanelEntranceRow>& entrances, bool lrez = false,
                 ConfigLogs* logsOut = nullptr) {
    ConfigLogs logs;
    const QString s = EncodeBvSection2(Panel(lrez), entrances, 63, logs);
    if (logsOut) *logsOut = logs;
    return s;
}

TEST(PanelEntrances, WriteScreenSection) {
    ConfigLogs logs;
    const QString section = Section2({Entrance(0, 10, 5, 7), Entrance(2, 0)}, false, &logs);
    EXPECT_EQ(FileBytes(section),
              Bytes({0x0D, 0x00, 0x01, 0x05, 0, 0, 0, 0, 0, 0, 0, 0x0A, 0x00, 0x04, 0x07}));
    EXPECT_EQ(logs.result, (QStringList{"Подъезд без квартир.", "Размер секции 2:=13 байт"}));
    EXPECT_EQ(
        logs.detail,
        (QStringList{"----------------------------------- бв сек 2", "СБВ02  БВ подъезда",
                     "Описание подъездов. Маска подъездов:", "101" + Zeros(60), "Резервный бит 0",
                     "к-во квартир:=10", "AI:=4", "AH:=7", "длина 2 sec бит 96"}));
}

TEST(PanelEntrances, FirstTerminalAndReserveBit) {
    EXPECT_EQ(Payload(Section2({Entrance(1, 3, 0)})).at(10), char(99));
    EXPECT_EQ(Payload(Section2({Entrance(1, 3, 5)})).at(10), char(4));
    EXPECT_EQ(quint8(Payload(Section2({Entrance(1, 3)}, true)).at(7)), 0x80);
}

TEST(PanelEntrances, ReadScreen) {
    int total = -1;
    const QStringList lines = DecodeBvSection2(
        Taken(Section2({Entrance(0, 10, 5, 7), Entrance(5, 20, 0, 1)})), 63, &total);
    EXPECT_EQ(total, 30);
    EXPECT_EQ(lines, (QStringList{"-------------------------- БВ    СЕКЦИЯ 2",
                                  "mask CPO: 100001" + Zeros(57), "резервный бит : 0", "FNUM:= 10",
                                  "AI:= 4", "AH:= 7", "FNUM:= 20", "AI:= 99", "AH:= 1"}));
    EXPECT_EQ(DecodeBvSection2("", 63, &total).size(), 1);
    EXPECT_EQ(total, 0);
}

TEST(PanelEntrances, EditorGrid) {
    const QString read = Taken(Section2({Entrance(0, 10, 5, 7), Entrance(2, 4, 3, 9)}, true));
    const BvEntranceGrid g = DecodeBvEntranceMask(read, 63);
    ASSERT_EQ(g.columns.size(), 63);
    EXPECT_EQ(g.columns[0].served, "1");
    EXPECT_EQ(g.columns[1].served, "0");
    EXPECT_EQ(g.columns[2].count, "4");
    EXPECT_EQ(g.columns[2].ai, "2");
    EXPECT_EQ(g.columns[2].ah, "9");
    EXPECT_EQ(g.columns[1].count, "");
    EXPECT_TRUE(g.hasReserveBit && g.reserveBit);
    EXPECT_EQ(g.apartmentTotal, 14);
    EXPECT_EQ(g.servedEntrances, 2);
    EXPECT_EQ(g.mpd, "101" + Zeros(60));
    EXPECT_EQ(g.mpp.size(), 64);
    EXPECT_TRUE(g.warning.isEmpty());

    QString section, error;
    ASSERT_TRUE(EncodeBvEntranceMask(g, true, 63, section, nullptr, &error));
    EXPECT_EQ(Taken(section), read);
}

TEST(PanelEntrances, EditorCellsOutOfRange) {
    BvEntranceGrid g;
    g.columns.resize(63);
    g.columns[1] = {"1", "5", "150", "255"};
    g.columns[4] = {"1", "", "", ""};  // an entrance without apartments
    g.columns[6] = {"0", "8", "1", "1"};
    QString section, error;
    ASSERT_TRUE(EncodeBvEntranceMask(g, false, 63, section, nullptr, &error));
    // Mask bits 1 and 4, one block: the empty entrance keeps its bit and gets no block,
    // as the write screen writes it.
    EXPECT_EQ(Payload(section), Bytes({0x12, 0, 0, 0, 0, 0, 0, 0, 0x05, 0x00, 0, 0}));

    g.columns[1].count = "70000";
    EXPECT_FALSE(EncodeBvEntranceMask(g, false, 63, section, nullptr, &error));
    EXPECT_EQ(error, "Подъезд 2: количество квартир должно быть от 0 до 65535.");
    g.columns[1].count = "5";
    g.columns[1].ai = "x";
    EXPECT_FALSE(EncodeBvEntranceMask(g, false, 63, section, nullptr, &error));
    EXPECT_EQ(error, "Подъезд 2: AI \"x\" - не целое число.");
}

TEST(PanelEntrances, BlocksBeyondTheMaskStopTheDecoder) {
    // One mask bit, two blocks.
    QString payload =
        BitField(0x020304, 32) + BitField(0x010203, 32) + "0" + PadLeft("1", QLatin1Char('0'), 63);
    const BvEntranceGrid g = DecodeBvEntranceMask(Taken(WrapSection(payload, 2, 1, nullptr)), 63);
    ASSERT_FALSE(g.columns.isEmpty());
    EXPECT_EQ(g.columns[0].count, QString::number(0x0203));
    EXPECT_EQ(g.apartmentTotal, 0x0203);
    EXPECT_EQ(g.warning,
              "В секции 2 блоков подъездов больше, чем подъездов в маске: лишние блоки не "
              "показаны.");

    // A section without a payload shows no entrance at all.
    const BvEntranceGrid empty = DecodeBvEntranceMask("00000001", 63);
    ASSERT_FALSE(empty.columns.isEmpty());
    EXPECT_EQ(empty.columns[0].served, "");
    EXPECT_FALSE(empty.hasReserveBit);
}

// ---- section 4 ----

QString Section4(const QString& flbv, const QString& groups, ConfigLogs* logsOut = nullptr) {
    ConfigLogs logs;
    ConfigObjectRow object;
    object.flbv = flbv;
    const QString s = EncodeBvSection4(object, Panel(), groups, 63, logs);
    if (logsOut) *logsOut = logs;
    return s;
}

TEST(PanelFlags, TwoFlagsOnThreeApartments) {
    // Apartment 1: call only; 2: both; 3: ring-back only (each group highest flag first).
    const QString groups = QString("10") + "11" + "01";
    ConfigLogs logs;
    const QString section = Section4("11" + Zeros(14) + "1" + Zeros(15), groups, &logs);
    EXPECT_EQ(Payload(section), Bytes({0x03, 0x00, 0x01, 0x00, 0x2D}));
    EXPECT_EQ(logs.detail.mid(2),
              (QStringList{"Маска вызова и отзвонки квартир:", "Маска данных 11" + Zeros(14),
                           "Маска значений по умолчанию 1" + Zeros(15), "Длина маски 6 бит",
                           "длина 4 sec бит 38"}));

    const QStringList lines = DecodeFlagMasks(Taken(section), 3);
    EXPECT_EQ(lines,
              (QStringList{"-------------------------- БВ,ПО СЕКЦИЯ 4", "маска для 3 квартир.",
                           "FMSK: 11" + Zeros(14), "FVAL: 1" + Zeros(15), "п № 1 маска кв.: 10",
                           "п № 2 маска кв.: 11", "п № 3 маска кв.: 01", "00"}));

    QList<CallCodeRecord> records(3);
    const FlagSectionValues v = DecodeFlagRecords(Taken(section), records);
    EXPECT_EQ(v.dataMask, "11" + Zeros(14));
    EXPECT_EQ(v.defaultMask, "1" + Zeros(15));
    ASSERT_FALSE(records.isEmpty());
    EXPECT_EQ(records[0].flags, "01");  // as it stands: flag 2, flag 1
    EXPECT_EQ(records[1].flags, "11");
    EXPECT_EQ(records[2].flags, "10");
}

TEST(PanelFlags, GroupsThatComeAgainReadAsTheirOwn) {
    // Apartments 1-5 as they stand: 10, 10, 01, 10, 01; two announced, and
    // the short last byte adds three groups of padding.
    const QString groups = QString("01") + "10" + "01" + "10" + "10";
    const QString section = Section4("11" + Zeros(30), groups);
    EXPECT_EQ(DecodeFlagMasks(Taken(section), 2).mid(4),
              (QStringList{"п № 1 маска кв.: 01", "п № 2 маска кв.: 01", "10", "01", "10", "00",
                           "00", "00"}));
    QList<CallCodeRecord> records(5);
    const FlagSectionValues v = DecodeFlagRecords(Taken(section), records);
    EXPECT_EQ(v.groups, (QStringList{"10", "10", "01", "10", "01", "00", "00", "00"}));

    // A character other than '0' and '1' is read as it stands, not as the
    // group of the same value.
    const QString odd = QString("0x0") + Zeros(16) + "0000000000000001" + "00000001";
    EXPECT_EQ(DecodeFlagMasks(odd, 0).mid(4), (QStringList{"0", "x", "0"}));
    EXPECT_EQ(DecodeFlagSection(odd).groups, (QStringList{"0", "x", "0"}));
}

TEST(PanelFlags, NoCarriedFlagsAndShortSelections) {
    const QString none = Section4(Zeros(32), "");
    EXPECT_EQ(Payload(none), Bytes({0, 0, 0, 0}));
    EXPECT_EQ(DecodeFlagMasks(Taken(none), 5).size(), 4);  // no apartment lines
    EXPECT_TRUE(DecodeFlagSection(Taken(none)).groups.isEmpty());

    // A short selection is filled with '0': flag 1 stays in bit 0.
    EXPECT_EQ(Payload(Section4("1", "")), Bytes({0x01, 0, 0, 0}));
}

TEST(PanelFlags, WideGroupsStayWhole) {
    const QString mask = Ones(7) + Zeros(9);
    const QString groups = QString("1010101") + "0000001";
    QString payload = FlagSectionPayload(mask, "", groups);
    QList<CallCodeRecord> records(2);
    DecodeFlagRecords(Taken(WrapSection(payload, 4, 1, nullptr)), records);
    ASSERT_FALSE(records.isEmpty());
    EXPECT_EQ(records[0].flags, "0000001");
    EXPECT_EQ(records[1].flags, "1010101");
}

}  // namespace
}  // namespace
}  // namespace PanelSectionsTestUnit
