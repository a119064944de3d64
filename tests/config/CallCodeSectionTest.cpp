#include "config/CallCodeSection.h"
#include "foundation/BitAndStr.h"
#include "support/ScriptedDialogs.h"

#include "SectionBytes.h"

#include <gtest/gtest.h>

#include <QRandomGenerator>

namespace CallCodeSectionTestUnit {
namespace {

using namespace cfgtest;

namespace {

CallCodeApartmentRow Row(const QString& code, const QString& prefix = {},
                         const QString& origin = {}) {
    CallCodeApartmentRow r;
    r.pKvr = code;
    r.kodD = prefix;
    r.stKvr = origin;
    return r;
}

CallCodePass Pass(const QStringList& codes, bool packed, int incr = 0) {
    CallCodePass p;
    p.packed = packed;
    p.incr = incr;
    for (const QString& c : codes) p.apartments << Row(c);
    return p;
}

// The payload bits after the first byte, in payload order (bit 8 first).
QString StreamBits(const QString& payload) {
    return ReverseStr(payload).mid(8);
}

QString Encode(const QStringList& codes, bool packed, int incr = 0, ConfigLogs* logsOut = nullptr) {
    ConfigLogs logs;
    const CallCodeResult r = EncodeCallCodes(Pass(codes, packed, incr), logs);
    EXPECT_TRUE(r.ok);
    if (logsOut) *logsOut = logs;
    return r.payload;
}

QStringList Codes(const CallCodeUnpack& u) {
    QStringList codes;
    for (const CallCodeRecord& r : u.records) codes << r.code;
    return codes;
}

// The section text a reader gets for a payload written as section 3.
QString ReadBack(const QString& payload) {
    QString p = payload;
    return Taken(WrapSection(p, 3, 1, nullptr));
}

QStringList Decoded(const QString& payload, int count) {
    return Codes(UnpackCallCodes(count, ReadBack(payload)));
}

TEST(CallCodes, ValuesOfCodeTexts) {
    qint64 v = 0;
    const std::pair<const char*, qint64> cases[] = {
        {"", 111111}, {"0", 111110}, {"0123", 110123}, {"5", 5}, {"12345", 12345}, {"00", 111100}};
    for (auto [text, value] : cases) {
        ASSERT_TRUE(CallCodeValue(text, v)) << text;
        EXPECT_EQ(v, value) << text;
        EXPECT_EQ(CallCodeText(value), QString(text));
    }
    EXPECT_FALSE(CallCodeValue("12a", v));
    EXPECT_FALSE(CallCodeValue("1234567", v));
    EXPECT_FALSE(CallCodeValue("131071", v));  // the end marker is never a code
}

TEST(CallCodes, UnpackedStream) {
    ConfigLogs logs;
    const QString payload = Encode({"1", "2", "3"}, false, 0, &logs);
    EXPECT_EQ(payload.size(), 76);
    QString p = payload;
    const QString section = WrapSection(p, 3, 1, nullptr);
    EXPECT_EQ(LengthWord(section), 11);
    EXPECT_EQ(Payload(section).at(0), 0x00);
    EXPECT_EQ(StreamBits(payload), ReverseStr(BitField(1, 17)) + ReverseStr(BitField(2, 17)) +
                                       ReverseStr(BitField(3, 17)) + Ones(17));
    ASSERT_FALSE(logs.result.isEmpty());
    EXPECT_EQ(logs.result.first(), "Неупакованные коды вызова.");
    EXPECT_EQ(logs.detail, (QStringList{"неупак ww:=0", "кв = 1", "кв = 2", "кв = 3"}));
}

TEST(CallCodes, PackedRunOfConsecutiveCodes) {
    QStringList codes;
    for (int c = 101; c <= 110; ++c) codes << QString::number(c);
    ConfigLogs logs;
    const QString payload = Encode(codes, true, 0, &logs);
    EXPECT_EQ(payload.size(), 57);
    QString p = payload;
    const QString section = WrapSection(p, 3, 1, nullptr);
    EXPECT_EQ(LengthWord(section), 9);
    EXPECT_EQ(Payload(section).at(0), 0x01);
    EXPECT_EQ(StreamBits(payload), "111" + ReverseStr(BitField(101, 17)) + Zeros(9) + Ones(20));
    EXPECT_EQ(logs.detail.mid(0, 3), (QStringList{"упак ", "1 кв. = 101", "кв = 102"}));
    EXPECT_EQ(Decoded(payload, 10), codes);
}

TEST(CallCodes, PackedEntryKinds) {
    const QString head = "111" + ReverseStr(BitField(19, 17));
    // Difference 2: the step-2 entry.
    EXPECT_EQ(StreamBits(Encode({"19", "21"}, true, 1)), head + "1000" + Ones(20));
    // Difference 3: the step-3 entry.
    EXPECT_EQ(StreamBits(Encode({"19", "22"}, true)), head + "1001" + Ones(20));
    // 108 then 201 with increment 1: round up to the next hundred plus 1 (k = 2).
    const QString roundUp = Encode({"108", "201"}, true, 1);
    EXPECT_EQ(StreamBits(roundUp), "111" + ReverseStr(BitField(108, 17)) + "11010" + Ones(20));
    EXPECT_EQ(quint8(BitStringToBytes(roundUp).at(0)), 0x03);
    EXPECT_EQ(Decoded(roundUp, 2), (QStringList{"108", "201"}));
    // A difference of 93 without the rule: w = 4, r = 93 - 64.
    const QString diff = StreamBits(Encode({"108", "201"}, true, 0));
    EXPECT_EQ(diff.mid(20, 1 + 2 + 3 + 6),
              "1" + QString("01") + ReverseStr(BitField(4, 3)) + ReverseStr(BitField(29, 6)));
    // A code below the previous one: the absolute entry.
    EXPECT_EQ(StreamBits(Encode({"120", "100"}, true)).mid(20, 20),
              "111" + ReverseStr(BitField(100, 17)));
    // Differences of 4 and 1023 are the shortest and longest difference entries.
    EXPECT_EQ(Decoded(Encode({"1000", "1004", "2027", "3051"}, true), 4),
              (QStringList{"1000", "1004", "2027", "3051"}));
}

TEST(CallCodes, EmptyAndZeroCodes) {
    // Neither an empty code nor "0" is too long: they are stored as 111111 and 111110.
    const QString payload = Encode({"0", "", "7"}, false);
    EXPECT_EQ(StreamBits(payload).left(34),
              ReverseStr(BitField(111110, 17)) + ReverseStr(BitField(111111, 17)));
    EXPECT_EQ(Decoded(payload, 3), (QStringList{"0", "", "7"}));
    EXPECT_EQ(Decoded(Encode({"0", "", "0123"}, true), 3), (QStringList{"0", "", "0123"}));
}

TEST(CallCodes, PackedStreamWithoutCodesIsTheUnpackedEmptyForm) {
    ConfigLogs logs;
    const QString payload = Encode({}, true, 1, &logs);
    EXPECT_EQ(payload, Ones(17) + Zeros(8));
    ASSERT_FALSE(logs.result.isEmpty());
    EXPECT_EQ(logs.result.first(), "Неупакованные коды вызова.");
    CallCodePack pack;
    ASSERT_TRUE(PackCallCodes(true, kCallCodesPanel, {}, 1, pack));
    EXPECT_EQ(pack.payload, payload);
    EXPECT_EQ(UnpackCallCodes(0, ReadBack(pack.payload)).error, " ");
}

TEST(CallCodes, IncrementIsClampedToOneBit) {
    const QString payload = Encode({"108", "201"}, true, 7);
    EXPECT_EQ(quint8(BitStringToBytes(payload).at(0)), 0x03);
    EXPECT_EQ(Decoded(payload, 2), (QStringList{"108", "201"}));
    const QString negative = Encode({"100", "200"}, true, -1);
    EXPECT_EQ(quint8(BitStringToBytes(negative).at(0)), 0x01);
    EXPECT_EQ(Decoded(negative, 2), (QStringList{"100", "200"}));
}

TEST(CallCodes, HousePrefixOfGatePanels) {
    CallCodePass p;
    p.withPrefix = true;
    p.prefixWidth = 3;
    p.apartments << Row("5", "2") << Row("900", "2", "СПО") << Row("0123", "1") << Row("7");
    ConfigLogs logs;
    const CallCodeResult r = EncodeCallCodes(p, logs);
    ASSERT_TRUE(r.ok);
    // A code longer than the width keeps every digit; the console handset and
    // a house without a prefix get none.
    EXPECT_EQ(Decoded(r.payload, 4), (QStringList{"2005", "900", "10123", "7"}));

    QList<CallCodeApartmentRow> object{Row("12"), Row("9999", {}, "СПО"), Row("0777"),
                                       Row(" 345 ")};
    EXPECT_EQ(CallCodePrefixWidth(object), 3);
}

TEST(CallCodes, ATooLongCodeStopsTheFile) {
    ScriptedDialogs dialogs;
    const QString text =
        "Длина кода вызова с префиксом дома превышает 5 символов! Операция прервана.";
    CallCodePass p;
    p.withPrefix = true;
    p.prefixWidth = 5;
    p.apartments << Row("5", "12");

    dialogs.Expect("ОШИБКА!!!", text);
    ConfigLogs unpacked;
    EXPECT_FALSE(EncodeCallCodes(p, unpacked).ok);
    ASSERT_FALSE(unpacked.detail.isEmpty());
    EXPECT_EQ(unpacked.detail.last(), "ошибка в кв = 1200005");

    dialogs.Expect("ОШИБКА!!!", text);
    p.packed = true;
    ConfigLogs first;
    EXPECT_FALSE(EncodeCallCodes(p, first).ok);
    ASSERT_FALSE(first.detail.isEmpty());
    EXPECT_EQ(first.detail.last(), "ошибка в кв. = 1200005");
    EXPECT_EQ(first.result.mid(1),
              (QStringList{"ОШИБКА!!!",
                           "Длина кода вызова с префиксом дома превышает 5 "
                           "символов! Операция по записи кодов вызова прервана."}));

    dialogs.Expect("ОШИБКА!!!", text);
    p.apartments.prepend(Row("1"));
    ConfigLogs later;
    EXPECT_FALSE(EncodeCallCodes(p, later).ok);
    ASSERT_FALSE(later.result.isEmpty());
    EXPECT_EQ(later.result.last(), text);

    dialogs.Expect("ОШИБКА!!!", "Код вызова \"1-2\" содержит не только цифры! Операция прервана.");
    ConfigLogs bad;
    EXPECT_FALSE(EncodeCallCodes(Pass({"1-2"}, false), bad).ok);
}

TEST(CallCodes, FlagsAndTimesOfThePass) {
    CallCodePass panel;
    panel.flagSelection = "1010" + Zeros(28);  // flags 1 and 3
    CallCodeApartmentRow a = Row("1"), b = Row("2");
    a.panelFlags[0] = true;
    b.panelFlags[2] = true;
    panel.apartments << a << b;
    panel.consoleHandsetOrdinal = 0;  // the console's handset is apartment 1, which it is not
    ConfigLogs logs;
    const CallCodeResult r = EncodeCallCodes(panel, logs);
    EXPECT_EQ(r.callFlagText, "1001");  // apartment 1 last: flag 1 set; apartment 2: flag 3
    EXPECT_TRUE(r.poTimeMask.isEmpty());
    EXPECT_EQ(logs.summary,
              QStringList{"Предупреждение, индекс трубки ППО не совпадает с трубкой ППО."});

    CallCodePass console = panel;
    console.kind = kCallCodesConsole;
    console.flagSelection = "11" + Zeros(30);
    console.apartments[0].consoleFlags[1] = true;
    console.apartments[0].mtdy = 480;
    console.apartments[0].mtnt = 1320;
    console.apartments << Row("3");
    console.apartments[2].mtdy = 60;
    console.apartments[2].mtnt = 120;
    ConfigLogs clog;
    const CallCodeResult c = EncodeCallCodes(console, clog);
    EXPECT_EQ(c.callFlagText, "000010");
    EXPECT_EQ(c.poTimeMask, "101");
    EXPECT_EQ(c.poTimeWords, (QList<qint64>{480, 1320, 1, 60, 120, 2}));
    EXPECT_TRUE(clog.summary.isEmpty());
}

TEST(CallCodes, EditorRecordsAndCountErrors) {
    const QList<CallCodeRecord> records{{"101", "01", "08:00", "22:00"}, {"102", "10", "", ""}};
    CallCodeSections out;
    ASSERT_TRUE(
        EncodeCallCodeSections(kCallCodesConsole, true, 0, records, "11", "01", out, nullptr));
    EXPECT_EQ(out.poTimeMask, "10");
    EXPECT_EQ(out.poTimeWords,
              (QList<qint64>{TimeTextToSteps("08:00"), TimeTextToSteps("22:00"), 1}));
    EXPECT_EQ(Payload(out.section4).left(4), Bytes({0x03, 0x00, 0x02, 0x00}));
    EXPECT_EQ(FileBytes(out.section4).at(7), 0x09);  // record 1's flag text "01" lowest

    // Ten announced, eight there.
    QStringList eight;
    for (int i = 1; i <= 8; ++i) eight << QString::number(i * 7);
    const QString payload = Encode(eight, true);
    const CallCodeUnpack u = UnpackCallCodes(10, ReadBack(payload));
    EXPECT_EQ(u.error, "Ошибка в количестве:= 2");
    EXPECT_EQ(u.records.size(), 10);
    EXPECT_EQ(u.records[7].code, "56");
    EXPECT_EQ(u.records[8].code, "");
    EXPECT_TRUE(u.packed);
    EXPECT_EQ(u.incrementChar, "0");

    CallCodePack pack;
    EXPECT_FALSE(PackCallCodes(false, kCallCodesPanel, {{"12x", "", "", ""}}, 0, pack));
    EXPECT_EQ(pack.error, "Код вызова \"12x\" в строке 1: нужно число не длиннее 5 цифр.");
}

TEST(CallCodes, WrongStartMarkIsReportedAndDecodingGoesOn) {
    QString payload = Encode({"5", "6"}, true);
    payload[payload.size() - 9] = '0';  // the start mark's first bit
    const QString text = ReadBack(payload);
    const CallCodeUnpack u = UnpackCallCodes(2, text);
    EXPECT_EQ(u.error, "Ошибка упаковки кодов вызова 110");
    EXPECT_EQ(Codes(u), (QStringList{"5", "6"}));
    EXPECT_EQ(UnpackCallCodes(3, text).error, "Ошибка в количестве:= 1");
}

TEST(CallCodes, ReadScreenLines) {
    const QString text = ReadBack(Encode({"5", "6", "20"}, true, 1));
    EXPECT_EQ(DecodeCallCodes(text, 3),
              (QStringList{"-------------------------- БВ,ПО СЕКЦИЯ 3", " Упакованные коды ",
                           "инкрементация 1", "X1:= 5", "+1 X:= 6", "X:= 20", "X:= 131071",
                           "Количество трубок:= 3"}));
    ASSERT_FALSE(DecodeCallCodes(text, 5).isEmpty());
    EXPECT_EQ(DecodeCallCodes(text, 5).last(), "Ошибка в количестве:= 2");
    const QStringList over = DecodeCallCodes(text, 1);
    EXPECT_EQ(over.at(over.size() - 2),
              "Количество квартир, представленных далее, превышает сумму квартир подъездов!");
}

TEST(CallCodes, RandomCodesComeBackFromEitherForm) {
    QRandomGenerator rng(20240611);
    for (int round = 0; round < 300; ++round) {
        QList<CallCodeRecord> records;
        const int n = int(rng.bounded(1, 60));
        int next = int(rng.bounded(1, 2000));
        for (int i = 0; i < n; ++i) {
            switch (rng.bounded(6)) {
                case 0:
                    next += 1;
                    break;
                case 1:
                    next += int(rng.bounded(2, 1100));
                    break;
                case 2:
                    next = int(rng.bounded(0, 99999));
                    break;
                default:
                    next = (next / 10 + 1) * 10 + int(rng.bounded(2));
                    break;
            }
            next %= 100000;
            QString code = QString::number(next);
            if (rng.bounded(12) == 0) code = "0" + code.left(3);
            if (rng.bounded(20) == 0) code.clear();
            records << CallCodeRecord{code, {}, {}, {}};
        }
        const bool packed = rng.bounded(2) == 1;
        const int incr = int(rng.bounded(2));
        CallCodePack pack;
        ASSERT_TRUE(PackCallCodes(packed, kCallCodesPanel, records, incr, pack));
        const CallCodeUnpack u = UnpackCallCodes(n, ReadBack(pack.payload));
        QStringList want;
        for (const CallCodeRecord& r : records) want << r.code;
        ASSERT_EQ(Codes(u), want) << "round " << round;
        ASSERT_EQ(u.error, " ");
        ASSERT_EQ(u.packed, packed);
    }
}

}  // namespace
}  // namespace
}  // namespace CallCodeSectionTestUnit
