#include "SectionBytes.h"
#include "config/ConsoleSections.h"
#include "config/FlagSection.h"
#include "config/SwitchSections.h"
#include "foundation/BitAndStr.h"
#include "support/ScriptedDialogs.h"

#include <gtest/gtest.h>

#include <iterator>
#include <limits>

namespace ConsoleSectionsTestUnit {
namespace {

using namespace cfgtest;

namespace {

ConsoleSwitchRow Switch(int nNet, int apartments, QList<qint64> panels = {}) {
    ConsoleSwitchRow s;
    s.nNet = nNet;
    s.panels = panels;
    for (int i = 0; i < apartments; ++i) s.apartments << CallCodeApartmentRow();
    return s;
}

QString Section2(const QList<ConsoleSwitchRow>& switches, bool lrez, int sep = 63,
                 ConfigLogs* logsOut = nullptr) {
    ConfigLogs logs;
    const QString section = EncodePoSection2(switches, lrez, sep, logs);
    if (logsOut) *logsOut = logs;
    return section;
}

TEST(ConsoleSection2, EveryEntranceGetsABlock) {
    ConfigLogs logs;
    const QString section = Section2({Switch(0, 30, {64}), Switch(1, 0)}, false, 63, &logs);
    EXPECT_EQ(LengthWord(section), 29);
    const QByteArray p = Payload(section);
    EXPECT_EQ(p.left(8), Bytes({0x03, 0, 0, 0, 0, 0, 0, 0}));
    EXPECT_EQ(p.mid(8, 10), Bytes({30, 0, 0x01, 0, 0, 0, 0, 0, 0, 0}));
    EXPECT_EQ(p.mid(18), QByteArray(10, '\0'));
    ASSERT_FALSE(logs.result.isEmpty());
    EXPECT_EQ(logs.result.first(), "Нет квартир в подъезде.");
    EXPECT_EQ(
        logs.detail,
        (QStringList{"----------------------------------- ППО сек 2",
                     "Описание подъездов:", "Маска подъездов: 11" + Zeros(61), "Резервный бит: 0",
                     "к-во квартир:=30", "- маска блока вызова: 1" + Zeros(62), "к-во квартир:=0",
                     "- маска блока вызова: " + Zeros(63), "длина 2 sec po бит 224"}));

    int total = -1;
    EXPECT_EQ(DecodePoSection2(Taken(section), 63, &total),
              (QStringList{"-------------------------- ПО    СЕКЦИЯ 2", "PMSK: 11" + Zeros(61),
                           "Резервный бит: 0", "FNUM:= 30", "FMSK: 1" + Zeros(63), "FNUM:= 0",
                           "FMSK: " + Zeros(64)}));
    EXPECT_EQ(total, 30);

    // The reserve bit is the top bit of byte 7 with the default SepDevice.
    EXPECT_EQ(quint8(Payload(Section2({Switch(0, 1)}, true)).at(7)), 0x80);
}

TEST(ConsoleSection2, EditorKeepsEmptyEntrancesInPlace) {
    const QString section =
        Section2({Switch(0, 30, {64, 70}), Switch(1, 0), Switch(5, 12, {65})}, true);
    const PoEntranceGrid g = DecodePoEntranceMask(Taken(section), 63);
    EXPECT_EQ(g.switchMask, "110001" + Zeros(57));
    EXPECT_TRUE(g.reserve);
    EXPECT_EQ(g.apartments.mid(0, 6), (QList<int>{30, 0, 0, 0, 0, 12}));
    ASSERT_FALSE(g.panelMasks.isEmpty());
    EXPECT_EQ(g.panelMasks[0], "100000100" + Zeros(55));
    EXPECT_EQ(g.panelMasks[5], "01" + Zeros(62));
    EXPECT_EQ(g.apartmentTotal, 42);
    EXPECT_TRUE(g.warnings.isEmpty());
    QStringList log;
    EXPECT_EQ(EncodePoEntranceMask(g, 63, &log), section);
    EXPECT_EQ(log, QStringList{"Размер секции 2:=39 байт"});

    // More blocks than switches in the mask: the extra one has no column.
    const PoEntranceGrid extra =
        DecodePoEntranceMask(Taken(Section2({Switch(0, 30), Switch(0, 5)}, false)), 63);
    ASSERT_FALSE(extra.apartments.isEmpty());
    EXPECT_EQ(extra.apartments[0], 30);
    EXPECT_EQ(extra.apartmentTotal, 30);
    EXPECT_EQ(extra.warnings.size(), 1);
}

TEST(ConsoleSection2, AnotherSepDeviceSetsTheWidths) {
    const QString section = Section2({Switch(3, 7, {21, 40})}, false, 20);
    int total = 0;
    const QStringList lines = DecodePoSection2(Taken(section), 20, &total);
    EXPECT_EQ(lines,
              (QStringList{"-------------------------- ПО    СЕКЦИЯ 2", "PMSK: 00010" + Zeros(15),
                           "Резервный бит: 0", "FNUM:= 7", "FMSK: 1" + Zeros(18) + "10"}));
    EXPECT_EQ(total, 7);
    const PoEntranceGrid g = DecodePoEntranceMask(Taken(section), 20);
    EXPECT_EQ(g.apartments[3], 7);
    EXPECT_EQ(EncodePoEntranceMask(g, 20, nullptr), section);

    // A panel outside the mask is left out with a line.
    ConfigLogs logs;
    Section2({Switch(0, 1, {200})}, false, 63, &logs);
    EXPECT_TRUE(
        logs.result.contains("БВ с сетевым номером 200 не помещается в маску блоков "
                             "вызова КМ 0."));
}

// A panel's number of any size has its line, or its bit when it has one:
// the bit is never found by a difference past what a number holds.
TEST(ConsoleSection2, PanelNumbersOfAnySizeAreToldAndLeftOut) {
    const qint64 outside[] = {std::numeric_limits<qint32>::min(),
                              std::numeric_limits<qint64>::min(), qint64(1) << 32 | 65, 63, -1};
    ConfigLogs logs;
    QList<qint64> panels(std::begin(outside), std::end(outside));
    panels << 65;
    const PoEntranceGrid g =
        DecodePoEntranceMask(Taken(Section2({Switch(0, 1, panels)}, false, 63, &logs)), 63);
    ASSERT_FALSE(g.panelMasks.isEmpty());
    EXPECT_EQ(g.panelMasks[0], "01" + Zeros(62));
    for (qint64 n : outside)
        EXPECT_TRUE(logs.result.contains(QStringLiteral("БВ с сетевым номером %1 не помещается в "
                                                        "маску блоков вызова КМ 0.")
                                             .arg(n)))
            << n;
}

TEST(ConsoleSection4, GroupsComeBackToTheirApartments) {
    // Flags 1 and 3 carried, flag 1 on by default. Apartment 1: flag 1; apartment 2: flag 3.
    const QString flpo = "101" + Zeros(13) + "1" + Zeros(15);
    ConfigLogs logs;
    const QString section = EncodePoSection4(flpo, "1001", logs);
    EXPECT_EQ(FileBytes(section), Bytes({0x06, 0x00, 0x01, 0x05, 0x00, 0x01, 0x00, 0x09}));
    EXPECT_EQ(logs.detail, (QStringList{"----------------------------------- ППО сек 4",
                                        "Поквартирные флаги:", "Маска данных 101" + Zeros(13),
                                        "Маска значений по умолчанию 1" + Zeros(15),
                                        "длина маски флагов := 4", "длина 4 sec бит 36"}));
    EXPECT_EQ(DecodeFlagMasks(Taken(section), 2).mid(0, 6),
              (QStringList{"-------------------------- БВ,ПО СЕКЦИЯ 4", "маска для 2 квартир.",
                           "FMSK: 101" + Zeros(13), "FVAL: 1" + Zeros(15), "п № 1 маска кв.: 10",
                           "п № 2 маска кв.: 01"}));

    // The editor gives apartment 1's group to record 1, as stored, and saving
    // the records writes the same section.
    QList<CallCodeRecord> records{{"1", "", "", ""}, {"2", "", "", ""}};
    const FlagSectionValues m = DecodeFlagRecords(Taken(section), records);
    EXPECT_EQ(m.dataMask, "101" + Zeros(13));
    EXPECT_EQ(m.defaultMask, "1" + Zeros(15));
    ASSERT_FALSE(records.isEmpty());
    EXPECT_EQ(records[0].flags, "01");
    EXPECT_EQ(records[1].flags, "10");
    CallCodeSections out;
    ASSERT_TRUE(EncodeCallCodeSections(kCallCodesConsole, false, 0, records, m.dataMask,
                                       m.defaultMask, out, nullptr));
    EXPECT_EQ(out.section4, section);

    // No carried flag: no groups.
    QList<CallCodeRecord> none{{"1", "x", "", ""}};
    DecodeFlagRecords(Taken(EncodePoSection4(Zeros(32), "", logs)), none);
    ASSERT_FALSE(none.isEmpty());
    EXPECT_EQ(none[0].flags, "x");
}

QString Section6(const QList<ConsoleSwitchRow>& switches, ConfigLogs* logsOut = nullptr) {
    ConfigLogs logs;
    QString section;
    EXPECT_TRUE(EncodePoSection6(switches, section, logs));
    if (logsOut) *logsOut = logs;
    return section;
}

TEST(ConsoleSection6, HandsetsOnSwitches) {
    ConsoleSwitchRow five = Switch(5, 5);
    five.apartments[2].stKvr = QStringLiteral("СПО");
    ConfigLogs logs;
    const QString section = Section6({Switch(1, 3), five}, &logs);
    EXPECT_EQ(FileBytes(section), Bytes({0x04, 0x00, 0x01, 0x01, 0x02, 0x14}));
    EXPECT_EQ(logs.detail,
              (QStringList{"----------------------------------- спо сек 6",
                           "Индекы трубок для ПО с КМ:", "КМ 5 индекс 2", "длина 6 sec 24"}));
    EXPECT_EQ(DecodePoSection6(Taken(section)),
              (QStringList{"-------------------------- ПО    СЕКЦИЯ 6", "NUM:= 1", "N CКМ:= 5",
                           "индекс трубки:= 2"}));

    // The editor shows the third apartment as 3 and writes 2 back.
    const PoHandsets h = DecodePoSysAddr(Taken(section));
    EXPECT_EQ(h.count, 1);
    ASSERT_EQ(h.entries.size(), 1);
    EXPECT_EQ(h.entries[0].switchNo, "5");
    EXPECT_EQ(h.entries[0].handset, "3");
    QString back, error;
    QStringList log;
    ASSERT_TRUE(EncodePoSysAddr(h.entries, back, &log, &error));
    EXPECT_EQ(back, section);
    EXPECT_EQ(log, (QStringList{"длина 6 sec 24", "Размер секции 6:=4 байт"}));

    // No console handset: the single byte NUM = 0.
    EXPECT_EQ(FileBytes(Section6({Switch(0, 4)})), Bytes({0x02, 0x00, 0x01, 0x00}));
}

TEST(ConsoleSection6, WhatDoesNotFitIsRefused) {
    ConsoleSwitchRow big = Switch(2, 256);
    for (CallCodeApartmentRow& r : big.apartments) r.stKvr = QStringLiteral("СПО");
    ScriptedDialogs dialogs;
    dialogs.Expect("Ошибка",
                   "Трубок ППО на коммутаторах 256, в файл ППО помещается не больше 255. Файл ППО "
                   "не создан.");
    QString section = "x";
    ConfigLogs logs;
    EXPECT_FALSE(EncodePoSection6({big}, section, logs));
    EXPECT_TRUE(section.isEmpty());
    big.apartments.removeLast();
    EXPECT_EQ(Payload(Section6({big})).at(0), char(255));

    QString error;
    EXPECT_FALSE(EncodePoSysAddr({{"5", "0"}}, section, nullptr, &error));
    EXPECT_EQ(error,
              "Трубка ППО 1: нужен сетевой № КМ 0..63 и индекс трубки 1..1024 (\"5\", \"0\").");
    EXPECT_FALSE(EncodePoSysAddr({{"64", "1"}}, section, nullptr, &error));
    EXPECT_FALSE(EncodePoSysAddr({{"", "1"}}, section, nullptr, &error));
    EXPECT_TRUE(EncodePoSysAddr({{"63", "1024"}}, section, nullptr, &error));
    EXPECT_FALSE(EncodePoSysAddr(QList<PoHandsetCells>(256, {"1", "1"}), section, nullptr, &error));

    // A section announcing more entries than it holds.
    QString payload = "0000000000000101" + QStringLiteral("00000011");  // NUM 3, one entry
    const QString shortOne = Taken(WrapSection(payload, 6, 1, nullptr));
    ASSERT_FALSE(DecodePoSection6(shortOne).isEmpty());
    EXPECT_EQ(DecodePoSection6(shortOne).last(), ConfigShortSectionText());
    const PoHandsets h = DecodePoSysAddr(shortOne);
    EXPECT_EQ(h.count, 3);
    ASSERT_EQ(h.entries.size(), 3);
    EXPECT_EQ(h.entries[0].handset, "6");
    EXPECT_EQ(h.entries[2].switchNo, "");
}

}  // namespace
}  // namespace
}  // namespace ConsoleSectionsTestUnit
