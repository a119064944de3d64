#include "SectionBytes.h"
#include "config/TPoParams.h"
#include "foundation/BitAndStr.h"
#include "platform/Cp1251.h"
#include "support/ScriptedDialogs.h"

#include <gtest/gtest.h>

namespace TPoParamsTestUnit {
namespace {

using namespace cfgtest;

namespace {

// A console row as the console screen saves a new one, texts left empty.
ConsoleRow Console() {
    ConsoleRow c;
    c.nNet = 63;
    c.klvl = 8;
    c.clvl = 9;
    c.mtdy = 480;
    c.mtnt = 1320;
    c.mcam = QStringLiteral("10000000");
    c.ncam = 5;
    c.scam = 60;
    c.busy = 31;
    c.blato = 152;
    c.npce = 915;
    c.cbto = 120;
    c.rmto = 90;
    c.dpto = 60;
    c.exec = 10;
    c.clha = 40;
    c.cldp = 30;
    c.talk = 60;
    c.frmi = 3;
    c.frmc = 45;
    c.adccl = 25;
    c.adccm = 110;
    c.adcch = 200;
    c.adchl = 32;
    c.adchm = 64;
    c.adchh = 150;
    return c;
}

ConfigObjectRow WithConsole(bool present = true) {
    ConfigObjectRow o;
    o.lPok = present;
    return o;
}

MelodyRow Melody(const QString& name, QList<std::pair<int, int>> nootLeng) {
    MelodyRow m{7, name, {}};
    for (auto [noot, leng] : nootLeng) {
        MelodyNoteRow n;
        n.noot = noot;
        n.leng = leng;
        m.notes << n;
    }
    return m;
}

QString Section0(const ConsoleRow& c, const std::optional<MelodyRow>& visitor = std::nullopt,
                 const std::optional<MelodyRow>& subscriber = std::nullopt,
                 ConfigLogs* logsOut = nullptr, const ConfigObjectRow& object = WithConsole()) {
    ConfigLogs logs;
    QString section;
    EXPECT_TRUE(EncodePoSection0(object, c, visitor, subscriber, section, logs));
    if (logsOut) *logsOut = logs;
    return section;
}

QByteArray TextBytes(const QString& text) {
    return ToCp1251(PadRight(text, QLatin1Char(' '), 16));
}

TEST(ConsoleSection0, FieldsLandInTheirPayloadBytes) {
    const QString section = Section0(Console());
    EXPECT_EQ(section.size(), 1080 + 8 + 16);
    EXPECT_EQ(LengthWord(section), 136);
    EXPECT_EQ(FileBytes(section).size(), 138);
    EXPECT_EQ(FileBytes(section).at(2), 1);  // version

    const QByteArray p = Payload(section);
    ASSERT_EQ(p.size(), 135);
    EXPECT_EQ(p.left(4), Bytes({0x98, 0xE0, 0x81, 0x52}));  // 8 | 9, 480 and 1320 in 12 bits
    EXPECT_EQ(p.mid(4, 2), Bytes({0x80, 0x00}));            // camera item 0 of 8 in bit 7
    EXPECT_EQ(p.mid(6, 8), Bytes({5, 60, 31, 0, 152, 0, 0x93, 0x03}));
    EXPECT_EQ(p.mid(14, 15),
              Bytes({120, 90, 60, 10, 40, 30, 60, 3, 45, 25, 110, 200, 32, 64, 150}));
    // No melody: the notes (0, 0), (1, 2), (3, 4), (5, 6), (7, 8), note in the low nibble.
    EXPECT_EQ(p.mid(29, 5), Bytes({0x00, 0x21, 0x43, 0x65, 0x87}));
    EXPECT_EQ(p.mid(34, 5), Bytes({0x00, 0x21, 0x43, 0x65, 0x87}));
    EXPECT_EQ(p.mid(39, 16), TextBytes(PoDefaultObjectSlide(QDate::currentDate())));
    EXPECT_EQ(p.mid(55, 16), TextBytes("С Добрым утром!"));
    EXPECT_EQ(p.mid(71, 16), TextBytes("ОПЕРАТОР 1"));
    EXPECT_EQ(p.mid(119, 16), TextBytes("ОПЕРАТОР 4"));
    EXPECT_EQ(PoDefaultObjectSlide(QDate(2025, 6, 1)), "01.06.2025 конф.");
}

TEST(ConsoleSection0, MelodiesAndTextsFromTheRow) {
    ConsoleRow c = Console();
    c.sobj1 = QStringLiteral("  Пульт ПО ДАРВО  ");
    c.sobj2 = QStringLiteral("Очень длинный текст слайда");  // 26 characters: the first 16 stay
    c.sus2 = QStringLiteral("Иванов");
    ConfigLogs logs;
    const QByteArray p = Payload(Section0(
        c, Melody("Вызов от посетителя", {{1, 5}, {3, 5}, {5, 5}}),
        Melody("Вызов от абонента", {{9, 4}, {7, 4}, {5, 4}, {7, 4}, {9, 4}, {2, 2}}), &logs));
    // Three notes leave notes 4 and 5 at zero; six keep their first five.
    EXPECT_EQ(p.mid(29, 5), Bytes({0x51, 0x53, 0x55, 0x00, 0x00}));
    EXPECT_EQ(p.mid(34, 5), Bytes({0x49, 0x47, 0x45, 0x47, 0x49}));
    EXPECT_TRUE(
        logs.result.contains("Мелодия \"Вызов от абонента\": нот 6, в файл записаны первые 5."));
    EXPECT_EQ(p.mid(39, 16), TextBytes("Пульт ПО ДАРВО"));
    EXPECT_EQ(p.mid(55, 16), TextBytes("Очень длинный те"));
    EXPECT_EQ(p.mid(87, 16), TextBytes("Иванов"));
    EXPECT_EQ(p.mid(71, 16), TextBytes("ОПЕРАТОР 1"));
    const int noteLines = int(logs.detail.indexOf("Мелодия вызова посетителем"));
    ASSERT_GE(noteLines, 0);
    EXPECT_EQ(logs.detail.mid(noteLines + 1, 10),
              (QStringList{"Нота 1", "Длит.5", "Нота 3", "Длит.5", "Нота 5", "Длит.5", "Нота 0",
                           "Длит.0", "Нота 0", "Длит.0"}));
}

TEST(ConsoleSection0, WideAndNegativeValuesAreCappedNotWrapped) {
    ConsoleRow c = Console();
    c.busy = 65536;
    c.npce = 70000;
    c.klvl = 20;
    c.scam = -5;
    ConfigLogs logs;
    const QByteArray p = Payload(Section0(c, std::nullopt, std::nullopt, &logs));
    EXPECT_EQ(p.mid(8, 2), Bytes({0xFF, 0xFF}));
    EXPECT_EQ(p.mid(12, 2), Bytes({0xFF, 0xFF}));
    EXPECT_EQ(p.at(0) & 0x0F, 0x0F);
    EXPECT_EQ(p.at(7), 0);
    EXPECT_TRUE(logs.result.contains("Значение busy = 65536 больше 65535, записано 65535."));
    EXPECT_TRUE(logs.result.contains("Значение klvl = 20 больше 15, записано 15."));
}

TEST(ConsoleSection0, WriteLogNamesEveryField) {
    ConfigLogs logs;
    Section0(Console(), std::nullopt, std::nullopt, &logs);
    const QStringList& d = logs.detail;
    ASSERT_EQ(d.size(), 57);
    EXPECT_EQ(d.mid(0, 8), (QStringList{"----------------------------------- ППО сек 0",
                                        "Основные параметры:", "KLVL:=8", "CLVL:=9", "MTDY:=480",
                                        "MTNT:=1320", "MCAM:=0000000100000000", "NCAM:=5"}));
    EXPECT_EQ(d.mid(20, 7), (QStringList{"FRMc:=45", "ADCcL:=25", "ADCcM:=110", "ADCcH:=200",
                                         "ADChL:=32", "ADChM:=64", "ADChH:=150"}));
    EXPECT_EQ(d[27], "Мелодия вызова посетителем");
    EXPECT_EQ(d.mid(28, 4), (QStringList{"Нота 0", "Длит.0", "Нота 1", "Длит.2"}));
    EXPECT_EQ(d[38], "Мелодия вызова абонентом");
    EXPECT_EQ(d[50], "SOBJ2:=С Добрым утром! ");
    EXPECT_EQ(d[54], "SUS4:=ОПЕРАТОР 4      ");
    EXPECT_EQ(d[55], "");
    EXPECT_EQ(d[56], "длина 0 sec po бит 1080");
    EXPECT_EQ(logs.result, QStringList{"Размер секции 0:=136 байт"});
}

TEST(ConsoleSection0, WithoutAConsoleOrWithNullsThereIsNothingToWrite) {
    ConfigLogs logs;
    const QString empty =
        Section0(Console(), std::nullopt, std::nullopt, &logs, WithConsole(false));
    EXPECT_EQ(empty, Zeros(16));
    EXPECT_EQ(logs.detail, QStringList{"длина 0 sec po бит 0"});

    ConsoleRow c = Console();
    c.nullColumns << "busy"
                  << "talk";
    ScriptedDialogs dialogs;
    dialogs.Expect("Ошибка", "Параметры ППО заданы не полностью, нет значений: busy, talk");
    QString section = "x";
    ConfigLogs refused;
    EXPECT_FALSE(EncodePoSection0(WithConsole(), c, std::nullopt, std::nullopt, section, refused));
    EXPECT_TRUE(section.isEmpty());
}

TEST(ConsoleSection0, ReadScreenLines) {
    ConsoleRow c = Console();
    c.sobj1 = QStringLiteral("Пульт ПО ДАРВО");
    const QStringList lines = DecodePoSection0(Taken(Section0(c)));
    ASSERT_EQ(lines.size(), 1 + 25 + 22 + 6 + 1);
    EXPECT_EQ(lines.mid(0, 7), (QStringList{"-------------------------- ПО    СЕКЦИЯ 0", "KLVL:= 8",
                                            "CLVL:= 9", "MTDY:= 480", "MTNT:= 1320",
                                            "маска MCAM: 0000000100000000", "NCAM:= 5"}));
    EXPECT_EQ(lines[25], "ADChH:= 150");
    EXPECT_EQ(lines.mid(26, 3),
              (QStringList{"Мелодия вызова посетителем", "Номер ноты   0", "Длительность 0"}));
    EXPECT_EQ(lines[37], "Мелодия вызова абонентом ");
    EXPECT_EQ(lines[48], " Cлайд объекта: Пульт ПО ДАРВО  ");
    EXPECT_EQ(lines[49], " Cлайд объекта: С Добрым утром! ");
    EXPECT_EQ(lines[50], " Слайд оператора 1: ОПЕРАТОР 1      ");
    EXPECT_EQ(lines.last(), "");
}

TEST(ConsoleSection0, ShortSectionsAndExtraBits) {
    // A section that ends after the volumes and the day time: the rest reads as 0.
    QString shortPayload = QStringLiteral("000111100000") + "1001" + "1000";
    const QStringList lines = DecodePoSection0(Taken(WrapSection(shortPayload, 0, 1, nullptr)));
    EXPECT_EQ(lines.mid(1, 4), (QStringList{"KLVL:= 8", "CLVL:= 9", "MTDY:= 480", "MTNT:= 0"}));

    // Eight bits in front of the known fields are kept and written back.
    TPoParams p;
    PoParamsFromDB(p, Console(), std::nullopt, std::nullopt);
    p.extra = QStringLiteral("10100101");
    QString payload = PoParamsToBits(p);
    const QString section = WrapSection(payload, 0, 1, nullptr);
    EXPECT_EQ(LengthWord(section), 137);
    TPoParams back;
    PoParamsFromBits(Taken(section), back);
    EXPECT_EQ(back.extra, "10100101");
    EXPECT_EQ(PoParamsToBits(back), PoParamsToBits(p));

    const PoParamValues v = DecodePoParams(Taken(section));
    EXPECT_EQ(v.extra, "10100101");
    QString again, error;
    ASSERT_TRUE(EncodePoParams(v, again, nullptr, &error)) << error.toStdString();
    EXPECT_EQ(again, section);
}

TEST(ConsoleEditor, DecodeAndEncodeGiveTheSectionBack) {
    ConsoleRow c = Console();
    c.sobj1 = QStringLiteral("Пульт ПО ДАРВО");
    c.mcam = QStringLiteral("01100000");
    const QString section =
        Section0(c, Melody("В", {{1, 5}, {3, 5}, {5, 5}, {3, 5}, {1, 5}}), std::nullopt);
    const PoParamValues v = DecodePoParams(Taken(section));
    EXPECT_EQ(v.klvl, 8);
    EXPECT_EQ(v.mtdy, 480);
    EXPECT_EQ(v.busy, 31);
    EXPECT_EQ(v.frmc, "45");
    // The editor numbers the cameras as the console screen does: item 1 and 2 ticked.
    EXPECT_EQ(v.cameras, "0110000000000000");
    EXPECT_EQ(v.visitor[0].leng, "5");
    EXPECT_EQ(v.visitor[0].noot, "1");
    EXPECT_EQ(v.subscriber[4].leng, "8");
    EXPECT_EQ(v.sobj1, "Пульт ПО ДАРВО  ");
    EXPECT_EQ(v.sus3, "ОПЕРАТОР 3      ");

    QString back, error;
    QStringList log;
    ASSERT_TRUE(EncodePoParams(v, back, &log, &error)) << error.toStdString();
    EXPECT_EQ(back, section);
    EXPECT_EQ(log, QStringList{"Размер секции 0:=136 байт"});

    // A time edited to 7:30 is 450 minutes in the file and 450 again when read.
    PoParamValues edited = v;
    edited.mtdy = 450;
    edited.busy = 65536;  // the spin edit allows it; the field holds 65535
    ASSERT_TRUE(EncodePoParams(edited, back, nullptr, &error));
    const PoParamValues reread = DecodePoParams(Taken(back));
    EXPECT_EQ(reread.mtdy, 450);
    EXPECT_EQ(reread.busy, 65535);
}

TEST(ConsoleEditor, CameraItemsFollowTheWriter) {
    // Eight cameras: item k in bit 7 - k; items 8..15 keep bits 8..15.
    const QString field = PoCameraField("1000000010000001", 8);
    EXPECT_EQ(ReverseStr(field), "1000000110000000");  // bit 15 first
    EXPECT_EQ(PoCameraItems(field, 8), "1000000010000001");
    // Sixteen cameras: the database text is the field, item 0 in bit 15.
    EXPECT_EQ(ReverseStr(PoCameraField("1000000000000000", 16)), "1000000000000000");
    for (int count : {1, 8, 10, 16}) {
        const QString items = "1011001110001101";
        EXPECT_EQ(PoCameraItems(PoCameraField(items, count), count), items) << count;
    }
}

TEST(ConsoleEditor, MelodyCellsAndSeparatorCode) {
    PoParamValues v = DecodePoParams(Taken(Section0(Console())));
    QString section, error;

    // An empty first duration gives the standard pattern; an empty cell is 0.
    v.visitor[0] = {"", "9"};
    v.subscriber[0] = {"3", "2"};
    v.subscriber[1] = {"", "4"};
    ASSERT_TRUE(EncodePoParams(v, section, nullptr, &error));
    const QByteArray p = Payload(section);
    EXPECT_EQ(p.mid(29, 5), Bytes({0x00, 0x21, 0x43, 0x65, 0x87}));
    EXPECT_EQ(p.mid(34, 2), Bytes({0x32, 0x04}));

    v.subscriber[2] = {"x", "1"};
    EXPECT_FALSE(EncodePoParams(v, section, nullptr, &error));
    EXPECT_EQ(error, "Мелодия вызова абонентом: в строке 3 не число (\"x\", \"1\").");

    v.subscriber[2] = {"1", "1"};
    v.frmc = "4 5";
    EXPECT_FALSE(EncodePoParams(v, section, nullptr, &error));
    EXPECT_EQ(error, "Код шаблонного знака \"4 5\" не число.");

    // Empty texts take their defaults, as on the write screen.
    v.frmc = "45";
    v.sobj2.clear();
    v.sus4.clear();
    ASSERT_TRUE(EncodePoParams(v, section, nullptr, &error));
    EXPECT_EQ(Payload(section).mid(55, 16), TextBytes("С Добрым утром!"));
    EXPECT_EQ(Payload(section).mid(119, 16), TextBytes("ОПЕРАТОР 4"));

    // A slide of blanks is kept blank; one that is a control character behind
    // blanks would read back as no text, so it takes the default at once.
    v.sobj2 = QStringLiteral("   ");
    ASSERT_TRUE(EncodePoParams(v, section, nullptr, &error));
    EXPECT_EQ(Payload(section).mid(55, 16), QByteArray(16, ' '));
    v.sobj2 = QStringLiteral("  \x0fV");
    ASSERT_TRUE(EncodePoParams(v, section, nullptr, &error));
    EXPECT_EQ(Payload(section).mid(55, 16), TextBytes("С Добрым утром!"));
}

}  // namespace
}  // namespace
}  // namespace TPoParamsTestUnit
