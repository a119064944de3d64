#include "config/SwitchSections.h"
#include "foundation/BitAndStr.h"

#include "SectionBytes.h"

#include <limits>

#include <gtest/gtest.h>

namespace SwitchSectionsTestUnit {
namespace {

using namespace cfgtest;

namespace {

QList<SwitchApartmentRow> Rows(const QString& obr, const QString& blk = {},
                               const QString& vid = {}) {
    QList<SwitchApartmentRow> rows;
    for (int i = 0; i < obr.size(); ++i)
        rows << SwitchApartmentRow{obr[i] == '1', blk.mid(i, 1) == "1", vid.mid(i, 1) == "1"};
    return rows;
}

MelodyRow Melody(const QString& name, std::initializer_list<std::pair<int, int>> notes) {
    MelodyRow m;
    m.name = name;
    for (auto [leng, gerc] : notes) m.notes << MelodyNoteRow{leng, gerc};
    return m;
}

// ---- section 2 ----

TEST(SwitchSection2, PanelsByTract) {
    ConfigLogs logs;
    QList<QList<int>> tracts(15);
    tracts[0] = {65, 70};
    tracts[2] = {66};
    const QString section = EncodePkSection2(tracts, 63, logs);
    EXPECT_EQ(LengthWord(section), 19);
    EXPECT_EQ(Payload(section),
              Bytes({0x41, 0x46, 0xFF, 0xFF, 0x42, 0xFF}) + QByteArray(12, '\xFF'));
    EXPECT_EQ(logs.detail,
              (QStringList{"----------------------------------- КМ сек 2",
                           "Список устройств, подключенных к трактам :", "тракт1:= БВ 1",
                           "тракт1:= БВ 6", "тракт3:= БВ 2", "длина 2 sec бит 144"}));

    const QStringList read = DecodePkSection2(Taken(section));
    EXPECT_EQ(read.mid(0, 6), (QStringList{"-------------------------- КМ    СЕКЦИЯ 2",
                                           " tract 1:= БВ01", " tract 1:= БВ06", " tract 1:= $FF",
                                           " tract 2:= $FF", " tract 3:= БВ02"}));
    EXPECT_EQ(read.size(), 1 + 3 + 15);

    // No panels at all: fifteen closed, empty tracts.
    ConfigLogs none;
    EXPECT_EQ(Payload(EncodePkSection2({}, 63, none)), QByteArray(15, '\xFF'));
}

TEST(SwitchSection2, EveryLineNamesItsOwnTract) {
    // The same bytes in two tracts, panel numbers below 64 among them.
    QString payload;
    for (int b : {0x41, 0x00, 0x41, 0xFF, 0x00, 0x41, 0x3F, 0xFF}) PrependField(payload, b, 8);
    const QStringList read = DecodePkSection2(Taken(WrapSection(payload, 2, 1, nullptr)));
    EXPECT_EQ(read.mid(1), (QStringList{" tract 1:= БВ01", " tract 1:= БВ-64", " tract 1:= БВ01",
                                        " tract 1:= $FF", " tract 2:= БВ-64", " tract 2:= БВ01",
                                        " tract 2:= БВ-1", " tract 2:= $FF"}));

    // Past the fifteen tracts a switch has.
    payload.clear();
    for (int t = 0; t < 15; ++t) PrependField(payload, 0xFF, 8);
    PrependField(payload, 0x41, 8);
    const QStringList past = DecodePkSection2(Taken(WrapSection(payload, 2, 1, nullptr)));
    EXPECT_EQ(past.mid(15), (QStringList{" tract 15:= $FF", " tract 16:= БВ01"}));
}

TEST(SwitchSection2, ANumberThatWouldEndTheTractIsLeftOut) {
    ConfigLogs logs;
    QList<QList<int>> tracts(15);
    tracts[0] = {255, 65};
    EXPECT_EQ(Payload(EncodePkSection2(tracts, 63, logs)).left(2), Bytes({0x41, 0xFF}));
    ASSERT_FALSE(logs.result.isEmpty());
    EXPECT_EQ(logs.result.first(),
              "БВ с сетевым номером 255 не записан в тракт 1: номер вне 0..254.");
}

TEST(SwitchSection2, EditorGridStaysInItsRoom) {
    // Tract 1 with ten panels, then seventeen tracts in all.
    QString payload;
    for (int i = 0; i < 10; ++i) PrependField(payload, 65 + i, 8);
    for (int t = 0; t < 17; ++t) PrependField(payload, 0xFF, 8);
    PrependField(payload, 70, 8);  // an unclosed 18th tract
    const QString section = WrapSection(payload, 2, 1, nullptr);
    const PkTractGrid grid = DecodePkTract(Taken(section));
    EXPECT_EQ(grid.cells[0][0], "1");
    EXPECT_EQ(grid.cells[0][7], "8");
    EXPECT_EQ(grid.cells[1][0], "");
    EXPECT_EQ(grid.warnings, (QStringList{"Тракт 1: блоков вызова больше 8, лишние не показаны.",
                                          "В секции больше 15 трактов, лишние не показаны."}));

    // Written back: the grid's room, panel numbers turned into network numbers.
    QString back;
    QString error;
    ASSERT_TRUE(EncodePkTract(grid, 63, back, nullptr, &error));
    EXPECT_EQ(Payload(back).left(9), Bytes({65, 66, 67, 68, 69, 70, 71, 72, 0xFF}));
    EXPECT_EQ(LengthWord(back), 8 + 15 + 1);
}

TEST(SwitchSection2, EditorRefusesCellsThatAreNoPanel) {
    PkTractGrid grid;
    grid.cells[2][1] = "x1";
    QString section, error;
    EXPECT_FALSE(EncodePkTract(grid, 63, section, nullptr, &error));
    EXPECT_EQ(error, "Тракт 3: неверный номер БВ \"x1\".");
    grid.cells[2][1] = "191";  // 191 + 64 = 255 would end the tract
    EXPECT_FALSE(EncodePkTract(grid, 63, section, nullptr, &error));
    grid.cells[2][1] = " 2 ";
    EXPECT_TRUE(EncodePkTract(grid, 63, section, nullptr, &error));
    EXPECT_EQ(Payload(section).mid(2, 2), Bytes({66, 0xFF}));
}

// ---- sections 3 and 7 ----

TEST(SwitchSection3, CallbackMaskAndTheVideoMaskBuiltWithIt) {
    ConfigLogs logs;
    QString video;
    const QString section = EncodePkSection3(Rows("1000000001", "", "0100000000"), video, logs);
    EXPECT_EQ(LengthWord(section), 3);
    EXPECT_EQ(Payload(section), Bytes({0x01, 0x02}));
    EXPECT_EQ(video, "0000000010");
    EXPECT_EQ(logs.detail.mid(2), (QStringList{"длина маски:= 10", "длина 3 sec бит 10"}));
    EXPECT_EQ(DecodePkCallbackMask(Taken(section)), "1000000001000000");
    EXPECT_EQ(DecodePkSection3(Taken(section)).last(), " mask:= 1000000001000000");

    ConfigLogs empty;
    EXPECT_EQ(EncodePkSection3({}, video, empty), Zeros(16));
    EXPECT_TRUE(video.isEmpty());
    ASSERT_FALSE(empty.result.isEmpty());
    EXPECT_EQ(empty.result.first(),
              "Нет списка квартир для записи маски трубок, обратного вызова!");
}

TEST(SwitchSection7, VideoTractAndMask) {
    ConfigLogs logs;
    QString video;
    EncodePkSection3(Rows("0000", "", "0100"), video, logs);
    SwitchRow sw;
    sw.nVid = 3;
    const QString section = EncodePkSection7(sw, video, logs);
    EXPECT_EQ(FileBytes(section).mid(3), Bytes({0x02, 0x02}));
    const PkVideo v = DecodePkVideo(Taken(section));
    EXPECT_EQ(v.input, 3);
    EXPECT_EQ(v.mask, "01000000");
    EXPECT_EQ(DecodePkSection7(Taken(section)).mid(1),
              (QStringList{"NUL:= 3", " mask:= 01000000"}));

    // No video tract (NULL), or one below 1: the empty section.
    ConfigLogs none;
    sw.nVid.reset();
    EXPECT_EQ(EncodePkSection7(sw, video, none), Zeros(16));
    ASSERT_FALSE(none.result.isEmpty());
    EXPECT_TRUE(none.result.last().startsWith("Размер секции 7:=0"));
    sw.nVid = 0;
    EncodePkSection7(sw, video, none);
    EXPECT_TRUE(
        none.result.contains("Нет списка квартир для записи маски трубок, видеопросмотра."));

    // A byte of 255 shows as 255, not 256.
    EXPECT_EQ(DecodePkVideo(Taken(EncodePkVideo("", 0, nullptr))).input, -1);
    EXPECT_EQ(DecodePkVideo(BitField(255, 8) + "00000001").input, 255);
}

TEST(SwitchSection7, EditorWritesVideoOnlyWhenChosen) {
    QString video;
    const QString section3 = EncodePkCallbackMask("101", true, "11", video, nullptr);
    EXPECT_EQ(Payload(section3), Bytes({0x05}));
    EXPECT_EQ(video, "011");  // as many items as the callback mask
    EXPECT_EQ(Payload(EncodePkVideo(video, 2, nullptr)), Bytes({0x01, 0x03}));
    EXPECT_EQ(EncodePkVideo(video, 0, nullptr), Zeros(16));
    EncodePkCallbackMask("101", false, "11", video, nullptr);
    EXPECT_TRUE(video.isEmpty());
}

// ---- section 4 ----

TEST(SwitchSection4, CallAndRingBackMelodies) {
    ConfigLogs logs;
    const QString section =
        EncodePkSection4(Melody("Вызов", {{10, 60}, {10, 0}}), Melody("Отзвонка", {{5, 50}}), logs);
    EXPECT_EQ(Payload(section),
              Bytes({0x02, 0x0A, 0x3C, 0x0A, 0x00, 0x02, 0x05, 0x32, 0x07, 0x00}));
    EXPECT_EQ(logs.detail,
              (QStringList{"----------------------------------- КМ сек 4",
                           "Описание мелодий:", "Вызов", "длина :=10", "нота :=60", "длина :=10",
                           "нота :=0", "количество нот:=2", "Отзвонка", "длина :=5", "нота :=50",
                           "длина :=7", "нота :=0", "количество нот:=2", "длина 4 sec 80"}));

    const PkMelodies m = DecodePkMelodies(Taken(section));
    EXPECT_EQ(m.present, 2);
    ASSERT_EQ(m.ringBack.size(), 2);
    EXPECT_EQ(m.ringBack[1].leng, 7);
    EXPECT_TRUE(m.error.isEmpty());
    EXPECT_EQ(
        DecodePkSection4(Taken(section)).mid(1, 5),
        (QStringList{"Количество нот 2", "Долгота 10", "Высота  60", "Долгота 10", "Высота  0"}));
}

TEST(SwitchSection4, MissingAndEmptyMelodies) {
    const MelodyRow ring = Melody("Отзвонка", {{5, 50}});
    // An empty call melody keeps its place with a zero count.
    ConfigLogs a;
    EXPECT_EQ(Payload(EncodePkSection4(Melody("Пусто", {}), ring, a)),
              Bytes({0x00, 0x02, 0x05, 0x32, 0x07, 0x00}));
    // No ring-back melody: the call melody twice.
    ConfigLogs b;
    EXPECT_EQ(Payload(EncodePkSection4(ring, std::nullopt, b)),
              Bytes({0x02, 0x05, 0x32, 0x07, 0x00, 0x02, 0x05, 0x32, 0x07, 0x00}));
    ASSERT_FALSE(b.result.isEmpty());
    EXPECT_EQ(b.result.first(), "Не определена мелодия отзвонки.");
    // No call melody: the empty section.
    ConfigLogs c;
    EXPECT_EQ(EncodePkSection4(std::nullopt, ring, c), Zeros(16));
    ASSERT_FALSE(c.result.isEmpty());
    EXPECT_EQ(c.result.first(), "Не определена мелодия вызова.");
    // Neither melody has notes: nothing at all.
    ConfigLogs d;
    EXPECT_EQ(EncodePkSection4(Melody("Пусто", {}), Melody("Пусто", {}), d), Zeros(16));
}

TEST(SwitchSection4, ATooLongMelodyIsDroppedAlone) {
    MelodyRow longOne;
    longOne.name = "Длинная";
    for (int i = 0; i < 254; ++i) longOne.notes << MelodyNoteRow{1, 10};  // + pause = 255
    ConfigLogs logs;
    const QString section = EncodePkSection4(longOne, Melody("Отзвонка", {{5, 0}}), logs);
    EXPECT_EQ(Payload(section), Bytes({0x00, 0x01, 0x05, 0x00}));
    EXPECT_TRUE(
        logs.result.contains("Мелодия \"Длинная\": 255 нот, больше 254. Мелодия не записана."));

    longOne.notes.removeLast();  // 254 with the pause: written
    ConfigLogs fits;
    EXPECT_EQ(LengthWord(EncodePkSection4(longOne, std::nullopt, fits)), 2 * (1 + 254 * 2) + 1);
}

TEST(SwitchSection4, DecodersStopAtAMissingByte) {
    // The count promises three notes, one and a half are there.
    const QString text =
        BitField(0x11, 8) + BitField(20, 8) + BitField(10, 8) + BitField(3, 8) + "00000001";
    const PkMelodies m = DecodePkMelodies(text);
    EXPECT_EQ(m.call.size(), 1);
    EXPECT_EQ(m.error, ConfigShortSectionText());
    const QStringList read = DecodePkSection4(text);
    ASSERT_FALSE(read.isEmpty());
    EXPECT_EQ(read.last(), ConfigShortSectionText());
    EXPECT_EQ(read[1], "Количество нот 3");
}

TEST(SwitchSection4, EditorMelodies) {
    QString section, error;
    ASSERT_TRUE(
        EncodePkMelodies({{"10", "60"}, {"", "5"}, {"10", "0"}}, {}, section, nullptr, &error));
    EXPECT_EQ(Payload(section), Bytes({0x02, 0x0A, 0x3C, 0x0A, 0x00, 0x00}));
    EXPECT_FALSE(EncodePkMelodies({{"300", "1"}}, {}, section, nullptr, &error));
    EXPECT_EQ(error, "Мелодия вызова: длительность и нота - числа от 0 до 255 (300, 1).");
    EXPECT_FALSE(EncodePkMelodies({}, {{"a", "1"}}, section, nullptr, &error));
    EXPECT_TRUE(error.startsWith("Мелодия отзвонки"));
}

// ---- section 5 ----

TEST(SwitchSection5, AlwaysEmptyAndReadBothWays) {
    ConfigLogs logs;
    EXPECT_EQ(FileBytes(EncodePkSection5(logs)), Bytes({0, 0}));
    EXPECT_EQ(logs.detail, QStringList{"длина 5 sec бит 0"});
    EXPECT_EQ(FileBytes(EncodePkHandsetRanges(nullptr)), Bytes({0, 0}));

    // Read screen: a count of 2 gives two pairs.
    const QString two = BitField(4, 8) + BitField(3, 8) + BitField(2, 8) + BitField(1, 8) +
                        BitField(2, 8) + "00000001";
    const QStringList lines = DecodePkSection5(two);
    EXPECT_EQ(lines.mid(1),
              (QStringList{" Количество байт диапазонов 2:= 00000010", " пустые  00000001",
                           " занятые 00000010", " пустые  00000011", " занятые 00000100"}));
    // A count of 4 asks for three pairs: a missing byte is said, not read as 0.
    const QString cut = BitField(4, 8) + "00000001";
    ASSERT_FALSE(DecodePkSection5(cut).isEmpty());
    EXPECT_EQ(DecodePkSection5(cut).last(), ConfigShortSectionText());
}

TEST(SwitchSection5, EditorRangesOnlyFromVersionTwo) {
    // Entry 1: 5 apartments, terminal 9, cyclic, switch 3. Entry 2: long count 300.
    QString payload;
    PrependField(payload, 5, 8);
    PrependField(payload, 9, 7);
    PrependField(payload, 1, 1);
    PrependField(payload, 3, 4);
    PrependField(payload, 0, 8);
    PrependField(payload, 300, 12);
    PrependField(payload, 1, 7);
    PrependField(payload, 0, 1);
    PrependField(payload, 2, 4);
    const QString v2 = payload + BitField(2, 8);
    const PkHandsetRanges r = DecodePkHandsetRanges(v2);
    EXPECT_TRUE(r.enabled);
    ASSERT_EQ(r.rows.size(), 2);
    EXPECT_EQ(r.rows[0].count, 5);
    EXPECT_EQ(r.rows[0].terminal, 9);
    EXPECT_EQ(r.rows[0].mode, 1);
    EXPECT_EQ(r.rows[0].switchNo, 3);
    EXPECT_EQ(r.rows[1].count, 300);
    EXPECT_EQ(r.rows[1].switchNo, 2);
    EXPECT_FALSE(DecodePkHandsetRanges(payload + BitField(1, 8)).enabled);

    // A long count that is not all there, and fields cut short, are never
    // read past the start of the section.
    const PkHandsetRanges cut = DecodePkHandsetRanges("101" + BitField(0, 8) + BitField(2, 8));
    EXPECT_TRUE(cut.rows.isEmpty());
    const PkHandsetRanges part = DecodePkHandsetRanges("11" + BitField(7, 8) + BitField(2, 8));
    ASSERT_EQ(part.rows.size(), 1);
    EXPECT_EQ(part.rows[0].count, 7);
    EXPECT_EQ(part.rows[0].terminal, -1);
}

// ---- section 6 ----

TEST(SwitchSection6, BlockingParametersAndMask) {
    PkParamSetRow set;
    set.t_po = 5;
    set.edge = 5;
    set.t_ed = 12;
    set.t_de = 300;  // as a byte: 44
    SwitchRow sw;
    sw.rsrv = 2;
    ConfigLogs logs;
    const QString section = EncodePkSection6(set, sw, Rows("000", "101"), logs);
    EXPECT_EQ(Payload(section), Bytes({0x05, 0x25, 0x0C, 0x2C, 0x05}));
    EXPECT_EQ(logs.detail.mid(2, 5),
              (QStringList{"PTO wb:=5", "edge wb:=5", "Резерв :=2", "EDT wb:=12", "DTE wb:=44"}));
    EXPECT_EQ(DecodePkSection6(Taken(section)).mid(1),
              (QStringList{"PTO:= 5", "Edge:= 5", "Резерв:= 2", "EDT:= 12", "DET:= 44",
                           "Маска  - 10100000"}));
    const PkBlocking b = DecodePkBlocking(Taken(section));
    EXPECT_EQ(b.reserve, 2);
    EXPECT_EQ(b.mask, "10100000");
    EXPECT_EQ(EncodePkBlocking(b, nullptr), section);  // the editor writes it back unchanged

    // NULL reserve: no high nibble. No parameter set: the empty section.
    sw.rsrv.reset();
    ConfigLogs noReserve;
    EXPECT_EQ(Payload(EncodePkSection6(set, sw, {}, noReserve)).at(1), 0x05);
    EXPECT_TRUE(noReserve.result.contains("Нет списка квартир для списка заблокированных трубок."));
    ConfigLogs noSet;
    EXPECT_EQ(EncodePkSection6(std::nullopt, sw, Rows("1"), noSet), Zeros(16));
}

// The reserve reaches the high nibble with its low four bits, whatever
// number the file holds: the byte the reserve's low bits give.
TEST(SwitchSection6, AReserveOfAnySizeGivesItsLowFourBits) {
    PkParamSetRow set;
    set.edge = 5;
    const struct {
        qint64 rsrv;
        int byte;
    } cases[] = {{15, 0xF5},
                 {16, 0x05},
                 {-1, 0xF5},
                 {std::numeric_limits<qint64>::max(), 0xF5},
                 {std::numeric_limits<qint64>::min(), 0x05},
                 {std::numeric_limits<qint32>::min(), 0x05}};
    for (const auto& c : cases) {
        SCOPED_TRACE(c.rsrv);
        SwitchRow sw;
        sw.rsrv = c.rsrv;
        ConfigLogs logs;
        EXPECT_EQ(quint8(Payload(EncodePkSection6(set, sw, {}, logs)).at(1)), c.byte);
    }
}

TEST(SwitchSection6, ShortSectionsReadWhatIsThere) {
    const QStringList lines = DecodePkSection6(BitField(3, 4) + BitField(9, 8) + "00000001");
    EXPECT_EQ(lines.mid(1), (QStringList{"PTO:= 9", "Edge:= 3", "Маска  - "}));
    const PkBlocking b = DecodePkBlocking("00000001");
    EXPECT_EQ(b.pto, -1);
    EXPECT_TRUE(b.mask.isEmpty());
}

}  // namespace
}  // namespace
}  // namespace SwitchSectionsTestUnit
