#include "SectionBytes.h"
#include "config/DayNightSection.h"
#include "foundation/BitAndStr.h"

#include <gtest/gtest.h>

#include <QRandomGenerator>
#include <QSet>

namespace DayNightSectionTestUnit {
namespace {

using namespace cfgtest;

namespace {

// Entries of a console's call-code list: -1 for one without times of its own.
struct Times {
    qint64 day = -1;
    qint64 night = -1;
};

// The mask and words the call-code pass collects for these entries.
void MaskAndWords(const QList<Times>& entries, QString& mask, QList<qint64>& words) {
    mask.clear();
    words.clear();
    for (const Times& t : entries) {
        const bool has = t.day >= 0 && t.night >= 0;
        mask += has ? QLatin1Char('1') : QLatin1Char('0');
        if (has) words << t.day << t.night << words.size() / 3 + 1;
    }
}

QString Section(const QList<Times>& entries, ConfigLogs* logsOut = nullptr) {
    QString mask;
    QList<qint64> words;
    MaskAndWords(entries, mask, words);
    ConfigLogs logs;
    const QString section = EncodePoSection5(mask, words, logs);
    if (logsOut) *logsOut = logs;
    EXPECT_EQ(section, EncodePoCodeTimes(mask, words, nullptr));  // the editor's twin
    return section;
}

QList<Times> Only(int n, const QList<std::pair<int, Times>>& set) {
    QList<Times> entries(n);
    for (const auto& [i, t] : set) entries[i] = t;
    return entries;
}

// The records the editor's decoder fills from a written section.
QList<CallCodeRecord> Decoded(const QString& section, int count, QStringList* rejected = nullptr) {
    QList<CallCodeRecord> records(count);
    const QStringList lines = DecodePoCodeTimes(Taken(section), records);
    if (rejected) *rejected = lines;
    return records;
}

void ExpectTimesBack(const QList<Times>& entries, const QString& section, const QString& what) {
    const QList<CallCodeRecord> records = Decoded(section, int(entries.size()));
    for (int i = 0; i < entries.size(); ++i) {
        const bool has = entries[i].day >= 0 && entries[i].night >= 0;
        ASSERT_EQ(records[i].dayTime, has ? PoTimeText(entries[i].day) : QString())
            << what.toStdString() << " entry " << i;
        ASSERT_EQ(records[i].nightTime, has ? PoTimeText(entries[i].night) : QString())
            << what.toStdString() << " entry " << i;
    }
}

QStringList ReadLines(const QString& section, int entries = 0) {
    return DecodePoSection5(Taken(section), entries);
}

TEST(DayNightSection, OneEntryIsListed) {
    ConfigLogs logs;
    const QString section = Section(Only(10, {{3, {420, 1320}}}), &logs);
    EXPECT_EQ(FileBytes(section), Bytes({0x07, 0x00, 0x01, 0x30, 0x00, 0x14, 0xA3, 0x42, 0xF8}));
    EXPECT_EQ(logs.detail,
              (QStringList{"----------------------------------- ППО сек 5",
                           "Переключения день-ночь:", "Размеры: ", "диапазон 12", "список 4",
                           "маска 10", "- выбран список", "длина 5 sec 48"}));
    EXPECT_EQ(logs.result, QStringList{"Размер секции 5:=7 байт"});
    EXPECT_EQ(ReadLines(section),
              (QStringList{"-------------------------- ПО    СЕКЦИЯ 5", "FM0:= 0", "VRF:= 1",
                           "VLF:= 1", "VSZ:= 0", "BPI:= 4", "BPV:= 1", "kv N:= 3", "1:= 42",
                           "2:= 132", "ln(so): 4"}));  // the end mark is not read
    const QList<CallCodeRecord> r = Decoded(section, 10);
    EXPECT_EQ(r[3].dayTime, "07:00");
    EXPECT_EQ(r[3].nightTime, "22:00");
    EXPECT_EQ(r[2].dayTime, "");
}

TEST(DayNightSection, NoEntryWithTimesGivesAnEmptySection) {
    ConfigLogs logs;
    EXPECT_EQ(Section(QList<Times>(7), &logs), Zeros(16));
    ASSERT_FALSE(logs.detail.isEmpty());
    EXPECT_EQ(logs.detail.last(), "длина 5 sec 0");
    EXPECT_EQ(Section({}), Zeros(16));
}

TEST(DayNightSection, SharedPairsGoIntoTheTable) {
    // Two entries with the same pair: both refer to pair 0.
    ConfigLogs logs;
    const QString shared = Section(Only(2, {{0, {420, 1320}}, {1, {420, 1320}}}), &logs);
    EXPECT_TRUE(logs.detail.contains("i:=0Вариант 420"));
    EXPECT_TRUE(logs.detail.contains("i:=1Вариант 1320"));
    const QStringList lines = ReadLines(shared);
    EXPECT_EQ(lines.mid(4, 3), (QStringList{"VSZ:= 1", "BPI:= 2", "BPV:= 1"}));
    EXPECT_EQ(lines.count("PFX:= 0"), 2);
    EXPECT_EQ(lines.count(": день 42"), 2);  // in tens of minutes, as stored
    EXPECT_EQ(lines.count(": ночь 132"), 2);

    // Four different pairs: no table, no prefix bits, explicit values only.
    const QList<Times> four{{480, 1320}, {490, 1330}, {500, 1340}, {510, 1350}};
    const QStringList plain = ReadLines(Section(four));
    EXPECT_EQ(plain.mid(4, 3), (QStringList{"VSZ:= 0", "BPI:= 3", "BPV:= 1"}));
    EXPECT_FALSE(plain.contains("PFX:= 0") || plain.contains("PFX:= 1"));
    ExpectTimesBack(four, Section(four), "four pairs");
}

TEST(DayNightSection, MinutesSwitchOnlyTheirOwnGroupToElevenBits) {
    const QList<Times> entries{{420, 1320}, {420, 1320}, {425, 1320}};
    const QString section = Section(entries);
    const QStringList lines = ReadLines(section);
    EXPECT_EQ(lines.mid(1, 3), (QStringList{"FM0:= 2", "VRF:= 1", "VLF:= 0"}));
    EXPECT_TRUE(lines.contains("1 := 425"));  // 11 bits, minutes
    EXPECT_TRUE(lines.contains(": день 42"));
    const QList<CallCodeRecord> r = Decoded(section, 3);
    EXPECT_EQ(r[2].dayTime, "07:05");
    ASSERT_FALSE(r.isEmpty());
    EXPECT_EQ(r[0].dayTime, "07:00");
}

TEST(DayNightSection, RunsOfOneUseTheMaskLayout) {
    QList<Times> entries(10);
    for (int i = 0; i < 10; i += 2) entries[i] = {480 + i, 1320};
    ConfigLogs logs;
    const QString section = Section(entries, &logs);
    EXPECT_TRUE(logs.detail.contains("- выбрана маска"));
    const QStringList lines = ReadLines(section);
    EXPECT_EQ(lines[1], "FM0:= 1");
    EXPECT_EQ(lines.count("ms:= 1"), 5);
    EXPECT_TRUE(lines.contains("1 := 488"));
    ExpectTimesBack(entries, section, "mask");
}

TEST(DayNightSection, RunsThenListForAFarEntry) {
    // Short runs at the start and one entry far behind them: the runs stop
    // before the long gap and the far entry is listed.
    QList<Times> entries(2000);
    for (int i = 0; i < 21; ++i)
        if (i % 3 != 2) entries[i] = {480, 1320};
    entries[1999] = {430, 1330};
    ConfigLogs logs;
    const QString section = Section(entries, &logs);
    EXPECT_TRUE(logs.detail.contains("- выбран диапазон + список"));
    EXPECT_TRUE(logs.detail.contains("диапазон + список 54"));
    const QStringList lines = ReadLines(section);
    EXPECT_EQ(lines[1], "FM0:= 2");
    EXPECT_EQ(lines.count("Диапазон := 0"), 3);  // closing a run with times
    EXPECT_TRUE(lines.contains("kv N:= 1999"));
    EXPECT_TRUE(lines.contains("1 := 43"));
    ExpectTimesBack(entries, section, "runs then list");
}

TEST(DayNightSection, RandomWriteReadRoundTrips) {
    QRandomGenerator rng(20250601);
    const QList<Times> common{{420, 1320}, {480, 1380}, {0, 720}, {1430, 5}};
    QSet<QString> layouts;
    for (int round = 0; round < 400; ++round) {
        const int n = 1 + int(rng.bounded(round < 200 ? 40 : 700));
        const int density = int(rng.bounded(1, 100));
        const bool clustered = rng.bounded(2) == 0;
        QList<Times> entries(n);
        for (int i = 0; i < n; ++i) {
            const bool on = clustered ? (i / 17) % 3 == 0 : int(rng.bounded(100)) < density;
            if (!on) continue;
            if (rng.bounded(3) == 0)
                entries[i] = {qint64(rng.bounded(1440)), qint64(rng.bounded(1440))};
            else if (rng.bounded(2) == 0)
                entries[i] = {qint64(rng.bounded(144)) * 10, qint64(rng.bounded(144)) * 10};
            else
                entries[i] = common[rng.bounded(4)];
        }
        const QString section = Section(entries);
        ExpectTimesBack(entries, section, QStringLiteral("round %1").arg(round));
        if (section.size() > 16) layouts << ReadLines(section).value(1);
    }
    // Every layout was exercised: list, mask and runs of several widths.
    EXPECT_TRUE(layouts.contains("FM0:= 0"));
    EXPECT_TRUE(layouts.contains("FM0:= 1"));
    EXPECT_GE(layouts.size(), 4);
}

TEST(DayNightSection, TheTableHoldsAtMost255Pairs) {
    QList<Times> entries;
    for (int p = 0; p < 256; ++p) entries << Times{p, 1000 + p} << Times{p, 1000 + p};
    entries << Times{7, 8};  // used once: explicit
    const QString section = Section(entries);
    const QStringList lines = ReadLines(section);
    EXPECT_EQ(lines[4], "VSZ:= 255");
    EXPECT_EQ(lines[6], "BPV:= 8");
    ExpectTimesBack(entries, section, "255 pairs");
}

// A section built field by field, the first field lowest.
QString Handmade(const QList<std::pair<qint64, int>>& fields) {
    QString payload;
    for (const auto& [value, width] : fields) PrependField(payload, value, width);
    return WrapSection(payload, 5, 1, nullptr);
}

TEST(DayNightSection, ReadersRejectWhatIsOutsideTheirArrays) {
    // List layout, one pair in tens, BPI 2, BPV 2: entry 1 names pair 3, entry
    // 2 is past the two records, entry 0 is fine.
    const QString section = Handmade({{0, 4},
                                      {1, 1},
                                      {1, 1},
                                      {1, 10},
                                      {2, 4},
                                      {2, 4},  // header
                                      {42, 8},
                                      {132, 8},  // pair 0
                                      {1, 2},
                                      {0, 1},
                                      {3, 2},  // kv 1
                                      {2, 2},
                                      {0, 1},
                                      {0, 2},  // kv 2
                                      {0, 2},
                                      {0, 1},
                                      {0, 2},    // kv 0
                                      {3, 2}});  // end
    QStringList rejected;
    const QList<CallCodeRecord> r = Decoded(section, 2, &rejected);
    EXPECT_EQ(rejected, (QStringList{"Индекс таблицы 3 вне таблицы из 1 пар, время пропущено.",
                                     "Запись 2 вне списка из 2 записей, время пропущено."}));
    ASSERT_FALSE(r.isEmpty());
    EXPECT_EQ(r[0].dayTime, "07:00");
    EXPECT_EQ(r[0].nightTime, "22:00");
    EXPECT_EQ(r[1].dayTime, "");

    const QStringList lines = ReadLines(section, 2);
    EXPECT_TRUE(lines.contains("Индекс таблицы 3 вне таблицы из 1 пар, время пропущено."));
    EXPECT_TRUE(lines.contains("Запись 2 вне списка из 2 записей, время пропущено."));
    ASSERT_FALSE(lines.isEmpty());
    EXPECT_EQ(lines.last(), "ln(so): 7");
    EXPECT_FALSE(ReadLines(section).contains("Запись 2 вне списка из 2 записей, время пропущено."));
}

TEST(DayNightSection, ManyRejectionsAreToldByTheirNumberPastTheFirstTwenty) {
    // Thirty entries with times, five records: 25 entries past the list.
    QList<Times> entries;
    for (int i = 0; i < 30; ++i) entries << Times{420 + i, 1320};
    const QString section = Section(entries);
    QStringList rejected;
    const QList<CallCodeRecord> r = Decoded(section, 5, &rejected);
    ASSERT_EQ(rejected.size(), 21);
    EXPECT_EQ(rejected.first(), "Запись 5 вне списка из 5 записей, время пропущено.");
    EXPECT_EQ(rejected[19], "Запись 24 вне списка из 5 записей, время пропущено.");
    EXPECT_EQ(rejected.last(), "Пропущено ещё времён вне списка или таблицы: 5");
    EXPECT_EQ(r[4].dayTime, "07:04");  // the entries inside the list keep their times

    const QStringList lines = ReadLines(section, 5);
    EXPECT_EQ(lines.count("Пропущено ещё времён вне списка или таблицы: 5"), 1);
    EXPECT_FALSE(lines.contains("Запись 25 вне списка из 5 записей, время пропущено."));
}

TEST(DayNightSection, PaddingIsNeverReadAsEntries) {
    // Runs of width 2 ending on a run without times, 6 bits short of a byte:
    // the padding would read as two zero runs and then as list entry 0.
    const QString section = Handmade(
        {{2, 4}, {1, 1}, {0, 1}, {0, 10}, {1, 4}, {1, 4}, {1, 2}, {425, 11}, {1320, 11}, {1, 2}});
    EXPECT_EQ(section.size(), 56 + 8 + 16);
    const QStringList lines = ReadLines(section);
    EXPECT_EQ(lines.count("Диапазон := 0"), 0);
    EXPECT_FALSE(lines.contains("kv N:= 0"));
    ASSERT_FALSE(lines.isEmpty());
    EXPECT_EQ(lines.last(), "ln(so): 6");
    QStringList rejected;
    const QList<CallCodeRecord> r = Decoded(section, 1, &rejected);
    EXPECT_TRUE(rejected.isEmpty());
    EXPECT_EQ(r[0].dayTime, "07:05");

    // Sections cut short anywhere decode without reading past their start.
    const QString full = Section(Only(300, {{5, {420, 1320}}, {6, {420, 1320}}, {250, {1, 2}}}));
    for (int cut = 0; cut <= full.size(); ++cut) ReadLines(full.right(cut));
}

}  // namespace
}  // namespace
}  // namespace DayNightSectionTestUnit
