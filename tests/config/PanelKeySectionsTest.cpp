// The key sections 5, 6 and 7 of call-panel files and the editor's key lists.

#include "config/ConfigImage.h"
#include "config/PanelKeySections.h"
#include "foundation/BitAndStr.h"

#include "SectionBytes.h"

#include <gtest/gtest.h>

namespace PanelKeySectionsTestUnit {
namespace {

using namespace cfgtest;

namespace {

PanelApartmentRow Apartment(qint64 xKey, const QStringList& keys = {}) {
    PanelApartmentRow a;
    a.xKey = xKey;
    a.yKey = keys.size();
    a.keys = keys;
    return a;
}

PanelEntranceRow Entrance(const QList<PanelApartmentRow>& apartments, int plus = 1) {
    PanelEntranceRow e;
    e.plus = plus;
    e.apartments = apartments;
    return e;
}

PanelFileInput Input(const QList<PanelEntranceRow>& entrances, qint64 vKey = 0, bool spare = true) {
    PanelFileInput in;
    in.device.nNet = 65;
    in.device.nBv = "БВ подъезда";
    in.object.vKey = vKey;
    in.entrances = entrances;
    in.reserveSlots = spare;
    return in;
}

// The last n bits of a section's payload, as they stand in its text.
QString PayloadBits(const QString& section, int n) {
    const QString text = Taken(section);
    return text.mid(text.size() - 8 - n, n);
}

QString Slot(const QString& hex) {
    return HexToBin(hex);
}

TEST(PanelKeys, Section5Records) {
    // RMin 2: the apartment without quota is a single 1 bit; the one with quota 3
    // and one key gets the key, an empty main slot and an empty extra slot.
    ConfigLogs logs;
    const PanelFileInput in = Input({Entrance({Apartment(0), Apartment(3, {"a1b2c3"})})}, 2);
    const QString section = EncodeBvSection5(in, logs);
    const QString record = "1" + Ones(24) + "0" + Ones(24) + Slot("A1B2C3") + "0";
    EXPECT_EQ(PayloadBits(section, 75 + 1 + 32), record + "1" + BitField(2, 16) + BitField(3, 16));
    EXPECT_EQ(LengthWord(section), 15);
    EXPECT_TRUE(logs.detail.contains("A1B2C3"));
    ASSERT_FALSE(logs.result.isEmpty());
    EXPECT_EQ(logs.result.first(), "Cлотов ключей в 5 секции 3");
    EXPECT_TRUE(logs.detail.contains("количество слотов ключей 3"));
    ASSERT_FALSE(logs.detail.isEmpty());
    EXPECT_EQ(logs.detail.last(), "длина 5 sec 108");

    const QStringList lines = DecodeBvSection5(Taken(section));
    EXPECT_EQ(lines, (QStringList{"-------------------------- БВ    СЕКЦИЯ 5", " БВ    СЕКЦИЯ 5",
                                  "RSum: " + BitField(3, 16) + " := 3",
                                  "RMin: " + BitField(2, 16) + " := 2", "пропущено 1 квартир ",
                                  " основной slot1: A1B2C3", " основной slot2: FFFFFF",
                                  "dop slot: FFFFFF", "осталось слотов RSum: 0"}));
}

TEST(PanelKeys, Section5QuotasAndLinks) {
    // Without spare slots the count of registered keys decides; an entrance
    // wired with plus 3 gets no slots at all.
    PanelApartmentRow stale = Apartment(4, {"000001", "000002"});
    stale.yKey = 0;  // a count that lags behind never drops a key
    PanelApartmentRow blank = Apartment(3, {" "});
    blank.yKey = 0;
    const PanelFileInput in =
        Input({Entrance({Apartment(2, {"0000AA"})}, 3), Entrance({stale, blank})}, 0, false);
    ConfigLogs logs;
    const QString section = EncodeBvSection5(in, logs);
    // RMin 0: both keys are extra slots, each behind its 0 bit.
    const QString expected = "1" + ("1" + Slot("000002") + "0" + Slot("000001") + "0" + "0") + "1" +
                             BitField(0, 16) + BitField(2, 16);
    EXPECT_EQ(PayloadBits(section, int(expected.size())), expected);

    // Nothing to keep: an empty section, and the read screen only heads it.
    ConfigLogs none;
    const QString empty = EncodeBvSection5(Input({Entrance({Apartment(0)})}), none);
    EXPECT_EQ(empty, Zeros(16));
    EXPECT_EQ(DecodeBvSection5(Taken(empty)).size(), 2);
}

TEST(PanelKeys, Section6ReservesSlotsPerEntrance) {
    QList<PanelEntranceRow> entrances{Entrance(QList<PanelApartmentRow>(40)),
                                      Entrance(QList<PanelApartmentRow>(30)),
                                      Entrance(QList<PanelApartmentRow>(20))};
    entrances[0].dKey = 5;
    entrances[2].dKey = 2;
    ConfigLogs logs;
    const QString section = EncodeBvSection6(Input(entrances), logs);
    const Keys6List keys = DecodeBvKeys6(Taken(section));
    EXPECT_EQ(keys.kolSl6, 7);
    EXPECT_EQ(keys.bitSl, 6);
    ASSERT_EQ(keys.rows.size(), 7);
    EXPECT_EQ(keys.rows[6].apartment, "0");
    EXPECT_EQ(keys.rows[6].key, "FFFFFF");
    EXPECT_TRUE(logs.detail.contains("Максимальный индекс квартиры 60"));
    EXPECT_TRUE(logs.detail.contains("Длина индекса кв. в битах := 6"));
    EXPECT_TRUE(logs.detail.contains("Резерв слотов под ключи 7"));
    EXPECT_EQ(PayloadBits(section, 24), BitField(6, 8) + BitField(7, 16));

    const QStringList lines = DecodeBvSection6(Taken(section));
    EXPECT_EQ(lines.mid(1, 3), (QStringList{"RSum:= 7", "LBit:= 6", "id kv:= 63 slot:= FFFFFF 1"}));

    // Spare slots not wanted: the section is empty.
    ConfigLogs off;
    EXPECT_EQ(EncodeBvSection6(Input(entrances, 0, false), off), Zeros(16));
}

TEST(PanelKeys, Section7CommonAndGateKeys) {
    PanelFileInput in = Input({Entrance({Apartment(1, {"A1B2C3"})})}, 0, false);
    in.entrances[0].commonKeys = {"111111", "222222"};
    in.entrances[0].oKey = 5;
    in.linkedEntrances = {PanelLinkedEntranceRow{9, 1, {"333333"}}};
    in.device.rsrv = 7;
    ConfigLogs logs;
    QString section = EncodeBvSection7(in, logs);
    Keys7List keys = DecodeBvKeys7(Taken(section));
    EXPECT_EQ(keys.kolSl7, 3);  // exactly the keys found
    EXPECT_EQ(keys.reservKey, 7);
    EXPECT_EQ(keys.keys, (QStringList{"111111", "222222", "333333"}));
    EXPECT_TRUE(logs.detail.contains("Внесено ключей 3"));
    EXPECT_EQ(DecodeBvSection7(Taken(section)),
              (QStringList{"-------------------------- БВ    СЕКЦИЯ 7", "ASum:= 3", "резерв: 7",
                           "1 слот:= 111111", "2 слот:= 222222", "3 слот:= 333333"}));

    // A gate panel: its own keys after the others, never an apartment key of
    // its entrances again; spare slots up to the quotas (5 + 1).
    in.device.bvType = 1;
    in.device.rsrv = 300;
    in.reserveSlots = true;
    in.gateKeys = {"a1b2c3", "0F0F0F"};
    ConfigLogs gateLogs;
    section = EncodeBvSection7(in, gateLogs);
    keys = DecodeBvKeys7(Taken(section));
    EXPECT_EQ(keys.keys, (QStringList{"111111", "222222", "333333", "0F0F0F", "FFFFFF", "FFFFFF"}));
    EXPECT_EQ(keys.reservKey, 0);
    EXPECT_TRUE(gateLogs.detail.contains("Калиточные ключи:"));
    EXPECT_TRUE(gateLogs.detail.contains("Резерв слотов под ключи 2"));

    ConfigLogs none;
    EXPECT_EQ(EncodeBvSection7(Input({}, 0, false), none), Zeros(16));
    EXPECT_TRUE(none.result.contains("Общих слотов для ключей нет!"));
}

TEST(PanelKeys, KeysThatCannotBeWrittenAreLogged) {
    PanelFileInput in =
        Input({Entrance({Apartment(2, {"12G456", "1234567", "00ABCD"})})}, 0, false);
    ConfigLogs logs;
    const Keys5List keys = DecodeBvKeys5(Taken(EncodeBvSection5(in, logs)));
    ASSERT_EQ(keys.rows.size(), 3);  // its quota of 3 slots stands
    EXPECT_EQ(keys.rows[0].key, "00ABCD");
    EXPECT_EQ(keys.rows[1].key, "FFFFFF");
    EXPECT_TRUE(logs.result.contains(
        "Ключ \"12G456\" не записан: номер ключа - от 1 до 6 шестнадцатеричных цифр."));
    EXPECT_TRUE(logs.result.contains(
        "Ключ \"1234567\" не записан: номер ключа - от 1 до 6 шестнадцатеричных цифр."));
}

TEST(PanelKeys, HugeQuotasStopAtTheFileLimit) {
    ConfigLogs logs;
    const QString section =
        EncodeBvSection5(Input({Entrance({Apartment(1), Apartment(1)})}, 1000000), logs);
    EXPECT_GT(section.size(), ConfigSizeLimitBits(kKindCallPanel));
    EXPECT_LT(section.size(), ConfigSizeLimitBits(kKindCallPanel) + 200);
    EXPECT_TRUE(
        logs.result.contains("Слотов ключей больше, чем помещается в файл: секция 5 не дописана."));
}

// ---- the editor ----

TEST(PanelKeyLists, Keys5FromASection) {
    PanelFileInput in =
        Input({Entrance({Apartment(3, {"A1B2C3"}), Apartment(0), Apartment(1, {"0F0F0F"})})}, 2);
    ConfigLogs logs;
    const QString read = Taken(EncodeBvSection5(in, logs));
    const Keys5List keys = DecodeBvKeys5(read);
    EXPECT_EQ(keys.kolSl5, 5);
    EXPECT_EQ(keys.minSl, 2);
    ASSERT_EQ(keys.rows.size(), 5);
    EXPECT_EQ(keys.rows[0].apartment, "1");
    EXPECT_EQ(keys.rows[0].key, "A1B2C3");
    EXPECT_EQ(keys.rows[0].kind, "осн.");
    EXPECT_EQ(keys.rows[2].kind, "доп.");
    EXPECT_EQ(keys.rows[3].apartment, "3");  // apartment 2 has no slots but is counted
    EXPECT_EQ(keys.rows[4].key, "FFFFFF");
    EXPECT_TRUE(keys.unplaced.isEmpty());

    // Saved unchanged, the section comes back bit for bit, spare slots included.
    ConfigLogs save;
    EXPECT_EQ(Taken(EncodeBvKeys5(keys, Keys6List(), save)), read);
    EXPECT_EQ(save.detail, (QStringList{"Cлотов ключей в 5 секции 5", "длина 5 sec 158"}));

    // A count that promises more slots than the section holds.
    QString text = read;
    text.replace(text.size() - 8 - 16, 16, BitField(7, 16));
    // The list holds the five slots; the grid shows the two missing ones blank.
    const Keys5List more = DecodeBvKeys5(text);
    EXPECT_EQ(more.rows.size(), 5);
    EXPECT_EQ(more.blankRows, 2);
    EXPECT_EQ(more.unplaced, "осталось слотов RSum: 2");

    // A count below the slots the section holds: every slot still gets its row.
    text.replace(text.size() - 8 - 16, 16, BitField(2, 16));
    const Keys5List fewer = DecodeBvKeys5(text);
    ASSERT_EQ(fewer.rows.size(), 5);
    EXPECT_EQ(fewer.rows[3].apartment, "3");
    EXPECT_EQ(fewer.rows[4].key, "FFFFFF");
    EXPECT_TRUE(fewer.unplaced.isEmpty());
}

TEST(PanelKeyLists, Keys6And7ListEverySlotHeldWhateverTheCount) {
    // Section 6, index width 2: two slots held, one announced; all ones is no apartment.
    const QString held6 = Slot("222222") + "11" + Slot("111111") + "01";
    const Keys6List fewer6 = DecodeBvKeys6(held6 + BitField(2, 8) + BitField(1, 16) + "00000001");
    ASSERT_EQ(fewer6.rows.size(), 2);
    EXPECT_EQ(fewer6.rows[0].apartment, "2");
    EXPECT_EQ(fewer6.rows[0].key, "111111");
    EXPECT_EQ(fewer6.rows[1].apartment, "0");
    EXPECT_EQ(fewer6.rows[1].key, "222222");
    // Four announced: the two slots held, and a grid of four rows.
    const Keys6List more6 = DecodeBvKeys6(held6 + BitField(2, 8) + BitField(4, 16) + "00000001");
    ASSERT_EQ(more6.rows.size(), 2);
    EXPECT_EQ(more6.rows[1].key, "222222");
    EXPECT_EQ(more6.blankRows, 2);
    EXPECT_EQ(fewer6.blankRows, 0);

    // Section 7 the same way.
    const QString held7 = Slot("333333") + Ones(24) + Slot("111111") + BitField(9, 8);
    EXPECT_EQ(DecodeBvKeys7(held7 + BitField(1, 16) + "00000001").keys,
              (QStringList{"111111", "FFFFFF", "333333"}));
    const Keys7List more7 = DecodeBvKeys7(held7 + BitField(5, 16) + "00000001");
    EXPECT_EQ(more7.keys, (QStringList{"111111", "FFFFFF", "333333"}));
    EXPECT_EQ(more7.blankRows, 2);
    // Saved as decoded, the blank rows add nothing, as they do from the grid;
    // the held empty slot goes last.
    ConfigLogs logs;
    EXPECT_EQ(DecodeBvKeys7(Taken(EncodeBvKeys7(more7, {}, logs))).keys,
              (QStringList{"111111", "333333", "FFFFFF"}));

    // A damaged count gives no more blank rows than a whole file could hold.
    const Keys7List huge = DecodeBvKeys7(held7 + BitField(65535, 16) + "00000001");
    EXPECT_EQ(huge.keys.size() + huge.blankRows, ConfigSizeLimitBits(kKindCallPanel) / 24);
}

TEST(PanelKeyLists, Keys5EndsWithTheLastApartmentThatHasARow) {
    const QList<PanelApartmentRow> listed{Apartment(1, {"A1B2C3"}), Apartment(0),
                                          Apartment(1, {"0F0F0F"})};
    ConfigLogs logs;
    const QString read = Taken(
        EncodeBvSection5(Input({Entrance(listed + QList{Apartment(0), Apartment(0)})}), logs));
    const Keys5List keys = DecodeBvKeys5(read);
    ASSERT_EQ(keys.rows.size(), 2);
    EXPECT_EQ(keys.rows[1].apartment, "3");
    // Apartments 4 and 5 had no slots and no row: they are not written again.
    const QString saved = Taken(EncodeBvKeys5(keys, Keys6List(), logs));
    EXPECT_EQ(saved, Taken(EncodeBvSection5(Input({Entrance(listed)}), logs)));
    EXPECT_NE(saved, read);
}

TEST(PanelKeyLists, Keys6WithoutSlotsKeepsItsCountAndIndexWidth) {
    ConfigLogs logs;
    QStringList leftover;
    const QString section = EncodeBvKeys6(Keys6List(), logs, leftover);
    EXPECT_EQ(Taken(section), Zeros(24) + BitField(1, 8));  // n 0, BitSl 0, version 1
    const Keys6List six = DecodeBvKeys6(Taken(section));
    EXPECT_EQ(six.kolSl6, 0);
    EXPECT_EQ(six.bitSl, 0);
    EXPECT_TRUE(six.rows.isEmpty());
    EXPECT_TRUE(leftover.isEmpty());
}

TEST(PanelKeyLists, EnrolledKeysMoveToSections5And7) {
    Keys5List keys5;
    keys5.minSl = 1;
    keys5.kolSl5 = 2;
    keys5.rows = {{"1", "111111", "осн."}, {"2", "222222", "осн."}};
    Keys6List keys6;
    keys6.kolSl6 = 3;
    keys6.bitSl = 2;
    keys6.rows = {{"2", "333333"}, {"0", "444444"}, {"1", "FFFFFF"}};
    ConfigLogs logs;
    const Keys5List five = DecodeBvKeys5(Taken(EncodeBvKeys5(keys5, keys6, logs)));
    ASSERT_EQ(five.rows.size(), 3);
    EXPECT_EQ(five.rows[2].apartment, "2");
    EXPECT_EQ(five.rows[2].key, "333333");
    EXPECT_EQ(five.rows[2].kind, "доп.");

    QStringList leftover;
    const Keys6List six = DecodeBvKeys6(Taken(EncodeBvKeys6(keys6, logs, leftover)));
    EXPECT_EQ(six.kolSl6, 3);
    EXPECT_EQ(six.bitSl, 2);
    for (const Keys6Row& row : six.rows) EXPECT_EQ(row.key, "FFFFFF");
    EXPECT_EQ(leftover, QStringList{"444444"});

    Keys7List keys7;
    keys7.keys = {"555555"};
    keys7.kolSl7 = 1;
    keys7.reservKey = 9;
    const Keys7List seven = DecodeBvKeys7(Taken(EncodeBvKeys7(keys7, leftover, logs)));
    EXPECT_EQ(seven.keys, (QStringList{"444444", "555555"}));
    EXPECT_EQ(seven.reservKey, 9);
}

TEST(PanelKeyLists, Keys7WithEmptySlots) {
    Keys7List keys7;
    keys7.keys = {"A1B2C3", "FFFFFF", "0F0F0F"};
    keys7.kolSl7 = 3;
    ConfigLogs logs;
    const QString section = EncodeBvKeys7(keys7, {}, logs);
    EXPECT_EQ(DecodeBvKeys7(Taken(section)).keys, (QStringList{"A1B2C3", "0F0F0F", "FFFFFF"}));
    EXPECT_EQ(logs.detail, QStringList{"длина 7 sec бит 96"});

    // A blank cell adds nothing; rows past the list up to KolSl7 are empty slots.
    keys7.keys = {"", "A1B2C3"};
    keys7.kolSl7 = 4;
    EXPECT_EQ(DecodeBvKeys7(Taken(EncodeBvKeys7(keys7, {}, logs))).keys,
              (QStringList{"A1B2C3", "FFFFFF", "FFFFFF"}));
    EXPECT_EQ(EncodeBvKeys7(Keys7List(), {}, logs), Zeros(16));
}

TEST(PanelKeyLists, BadAndBlankRows) {
    Keys5List keys5;
    keys5.minSl = 1;
    keys5.rows = {{"1", "111111", "осн."},
                  {"", "", ""},
                  {"2", "ZZ", "осн."},
                  {"x", "333333", "осн."},
                  {"3", "444444", "осн."}};
    ConfigLogs logs;
    const Keys5List five = DecodeBvKeys5(Taken(EncodeBvKeys5(keys5, Keys6List(), logs)));
    // The blank row shifts nothing: apartment 3 keeps its key.
    ASSERT_EQ(five.rows.size(), 2);
    EXPECT_EQ(five.rows[0].apartment, "1");
    EXPECT_EQ(five.rows[1].apartment, "3");
    EXPECT_EQ(five.rows[1].key, "444444");
    EXPECT_TRUE(logs.detail.contains(
        "Ключ \"ZZ\" не записан: номер ключа - от 1 до 6 шестнадцатеричных цифр."));
    EXPECT_TRUE(logs.detail.contains("Keys5, строка 4: номер квартиры \"x\" не записан."));
}

TEST(PanelKeyLists, DecodersStayInsideShortSections) {
    // Section 5 announcing two main slots, then cut inside the second.
    const QString cut = Ones(10) + Slot("ABCDEF") + "0" + BitField(2, 16) + BitField(2, 16);
    const QString text = Zeros(8 - int(cut.size() % 8)) + cut + "00000001";
    const Keys5List keys = DecodeBvKeys5(text);
    EXPECT_EQ(keys.rows[0].key, "ABCDEF");
    EXPECT_EQ(keys.unplaced, "осталось слотов RSum: 1");
    EXPECT_TRUE(
        DecodeBvSection5(text).contains("Секция обрывается: данных меньше, чем указано в ней."));

    EXPECT_TRUE(DecodeBvKeys6("00000001").rows.isEmpty());
    const Keys6List six = DecodeBvKeys6(BitField(2, 16) + "00000001");
    EXPECT_TRUE(six.rows.isEmpty());
    EXPECT_EQ(six.blankRows, 2);  // the count still read, for the grid's blank rows
    const Keys7List seven = DecodeBvKeys7(BitField(5, 8) + BitField(1, 16) + "00000001");
    EXPECT_TRUE(seven.keys.isEmpty());
    EXPECT_EQ(seven.blankRows, 1);
}

}  // namespace
}  // namespace
}  // namespace PanelKeySectionsTestUnit
