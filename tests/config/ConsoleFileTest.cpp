#include "config/CallCodeSection.h"
#include "config/ConfigFileReader.h"
#include "config/ConfigHeader.h"
#include "config/ConfigRepository.h"
#include "config/ConsoleFile.h"
#include "config/ConsoleSections.h"
#include "config/DayNightSection.h"
#include "config/FlagSection.h"
#include "config/TPoParams.h"
#include "support/ScriptedDialogs.h"

#include "ConfigObjectFixture.h"
#include "SectionBytes.h"

#include <gtest/gtest.h>

namespace ConsoleFileTestUnit {
namespace {

using namespace cfgtest;

namespace {

class ConsoleFileTest : public ConfigObjectFixture {
  protected:
    ConsoleFileInput Input() {
        ConfigRepository repo(Db());
        std::optional<ConsoleFileInput> in;
        EXPECT_TRUE(repo.ReadConsoleFileInput(kIdNet, in)) << repo.LastError().toStdString();
        EXPECT_TRUE(in.has_value());
        return in.value_or(ConsoleFileInput());
    }

    QList<ConfigSection> ReadBack(const QByteArray& file) {
        return ReadBackFile(file, 63, {"СПО  ", "Файл создан в АРМ Kiro-2"});
    }
};

TEST_F(ConsoleFileTest, RepositoryReadsTheConsoleAsTheWriteScreenSeesIt) {
    const ConsoleFileInput in = Input();
    ASSERT_TRUE(in.console.has_value());
    EXPECT_EQ(in.console->nNet, 63);
    EXPECT_EQ(in.console->busy, 31);
    EXPECT_EQ(in.console->mcam, "00000000");
    EXPECT_EQ(in.console->sus4, "Оператор 4");
    EXPECT_TRUE(in.console->nullColumns.isEmpty());
    ASSERT_TRUE(in.visitorMelody && in.subscriberMelody);
    EXPECT_EQ(in.visitorMelody->name, "Вызов от посетителя");
    ASSERT_EQ(in.visitorMelody->notes.size(), 5);
    EXPECT_EQ(in.visitorMelody->notes[1].noot, 3);
    EXPECT_EQ(in.subscriberMelody->notes.size(), 4);
    ASSERT_EQ(in.switches.size(), 3);
    EXPECT_EQ(in.switches[1].nNet, 2);
    EXPECT_EQ(in.switches[1].panels, (QList<qint64>{66, 68}));
    EXPECT_EQ(in.switches[1].apartments.size(), 41);
    EXPECT_EQ(in.switches[1].apartments[40].stKvr, "СПО");
    EXPECT_EQ(in.objectCallCodes.size(), 123);

    // A switch melody is not a console melody; a NULL parameter is named.
    ConfigRepository repo(Db());
    std::optional<MelodyRow> melody;
    EXPECT_TRUE(repo.ReadConsoleMelody(1, melody));
    EXPECT_FALSE(melody.has_value());
    Sql("UPDATE k_po SET npce = NULL");
    std::optional<ConsoleRow> console;
    EXPECT_TRUE(repo.ReadConsole(kIdNet, console));
    EXPECT_EQ(console->nullColumns, QStringList{"npce"});
}

TEST_F(ConsoleFileTest, WholeFileReadsBackToTheSameValues) {
    Sql("UPDATE k_kvr SET mtdy = 420, mtnt = 1320 WHERE id_pod = 1 AND p_nom IN (1, 2)");
    Sql("UPDATE k_kvr SET mtdy = 425, mtnt = 1320 WHERE id_pod = 2 AND p_nom = 7");
    Sql("UPDATE k_kvr SET l_pnp = 1 WHERE id_pod = 3 AND p_nom = 5");
    Sql("UPDATE k_po SET mcam = '01000000', lrez = 1");
    const ConsoleFileInput in = Input();
    const ConfigFileBuild b = BuildConsoleFile(in, "/w/cpo00.bin");
    ASSERT_EQ(b.status, ConfigBuildStatus::Built);
    EXPECT_EQ(b.resultLine, "Файл /w/cpo00.bin сохранен.");
    EXPECT_EQ(b.bytes.left(14),
              Bytes({0x3F, 0x64, 0x01, 0, 0, 0, 0, 0, 0x90, 0x56, 0x34, 0x12, 0x04, 0x00}));
    EXPECT_EQ(b.bytes.right(2), Bytes({0xFF, 0xFF}));

    const QList<ConfigSection> s = ReadBack(b.bytes);
    ASSERT_EQ(s.size(), 7);

    const PoParamValues params = DecodePoParams(s[0].text);
    EXPECT_EQ(s[0].bits, 1088);
    EXPECT_EQ(params.klvl, 8);
    EXPECT_EQ(params.mtnt, 1320);
    EXPECT_EQ(params.npce, 915);
    EXPECT_EQ(params.cameras, "01" + Zeros(14));
    EXPECT_EQ(params.visitor[1].noot, "3");
    EXPECT_EQ(params.subscriber[4].leng, "0");  // a four-note melody
    EXPECT_EQ(params.sobj1, "Пульт ПО ДАРВО  ");
    EXPECT_EQ(params.sobj2, "01.06.2025 конф.");
    EXPECT_EQ(params.sus1, "Оператор 1      ");

    const ConfigIdent id = DecodeIdentSection(s[1].text);
    EXPECT_EQ(id.nNet, 63);
    EXPECT_EQ(id.idNet, kIdNet);
    EXPECT_EQ(id.recordId, in.console->idPo);
    EXPECT_EQ(id.idNom, kIdNom);

    const PoEntranceGrid entrances = DecodePoEntranceMask(s[2].text, 63);
    EXPECT_EQ(entrances.switchMask, "0111" + Zeros(59));
    EXPECT_TRUE(entrances.reserve);
    EXPECT_EQ(entrances.apartments.mid(0, 4), (QList<int>{0, 41, 41, 41}));
    EXPECT_EQ(entrances.panelMasks[2], "00101" + Zeros(59));
    EXPECT_EQ(entrances.panelMasks[3].left(5), "00011");
    EXPECT_EQ(entrances.apartmentTotal, 123);

    const CallCodeUnpack codes = UnpackCallCodes(entrances.apartmentTotal, s[3].text);
    EXPECT_EQ(codes.error, " ");
    QList<CallCodeRecord> records = codes.records;
    ASSERT_FALSE(records.isEmpty());
    EXPECT_EQ(records[0].code, "101");
    EXPECT_EQ(records[40].code, "900");
    EXPECT_EQ(records[82].code, "201");

    const FlagSectionValues flags = DecodeFlagRecords(s[4].text, records);
    EXPECT_EQ(flags.dataMask, "1" + Zeros(15));
    EXPECT_EQ(records[86].flags, "1");  // house 2, apartment 5
    EXPECT_EQ(records[85].flags, "0");

    EXPECT_TRUE(DecodePoCodeTimes(s[5].text, records).isEmpty());
    EXPECT_EQ(records[0].dayTime, "07:00");
    EXPECT_EQ(records[1].nightTime, "22:00");
    EXPECT_EQ(records[47].dayTime, "07:05");
    EXPECT_EQ(records[2].dayTime, "");

    const PoHandsets handsets = DecodePoSysAddr(s[6].text);
    ASSERT_EQ(handsets.count, 3);
    EXPECT_EQ(handsets.entries[2].switchNo, "3");
    EXPECT_EQ(handsets.entries[2].handset, "41");

    // The editor saves what it showed as the same sections.
    QString section, error;
    ASSERT_TRUE(EncodePoParams(params, section, nullptr, &error));
    EXPECT_EQ(Taken(section), s[0].text);
    EXPECT_EQ(Taken(EncodePoEntranceMask(entrances, 63, nullptr)), s[2].text);
    CallCodeSections cs;
    ASSERT_TRUE(EncodeCallCodeSections(kCallCodesConsole, codes.packed, 0, records, flags.dataMask,
                                       flags.defaultMask, cs, nullptr));
    EXPECT_EQ(Taken(cs.section3), s[3].text);
    EXPECT_EQ(Taken(cs.section4), s[4].text);
    EXPECT_EQ(Taken(EncodePoCodeTimes(cs.poTimeMask, cs.poTimeWords, nullptr)), s[5].text);
    ASSERT_TRUE(EncodePoSysAddr(handsets.entries, section, nullptr, &error));
    EXPECT_EQ(Taken(section), s[6].text);
}

TEST_F(ConsoleFileTest, LogsOfTheFile) {
    const ConfigFileBuild b = BuildConsoleFile(Input(), "/w/cpo00.bin");
    ASSERT_TRUE(b.HasFile());
    const QStringList& r = b.logs.result;
    EXPECT_TRUE(r.contains("Слияние в файл"));
    EXPECT_TRUE(r.contains("Размер заголовка := 31"));
    EXPECT_TRUE(r.contains("Размер секции 0 ППО63 := 138"));
    EXPECT_TRUE(r.contains("Размер секции 5 ППО63 := 2"));  // nobody has times of their own
    EXPECT_TRUE(r.contains("Неупакованные коды вызова."));
    EXPECT_EQ(r.last(), "Длина файла:=" + QString::number(b.bytes.size() - 31));
    const QStringList& d = b.logs.detail;
    EXPECT_EQ(d.first(), "----------------------------------- ППО сек 0");
    EXPECT_TRUE(d.contains("----------------------------------- спо сек 6"));
    EXPECT_TRUE(d.contains("КМ 3 индекс 40"));
    EXPECT_TRUE(d.contains("SOBJ1:=Пульт ПО ДАРВО  "));
}

TEST_F(ConsoleFileTest, ConsolesThatGetNoFile) {
    // An object without a console still gets a file, with an empty section 0.
    Sql("UPDATE k_net SET l_pok = 0");
    const ConfigFileBuild noPost = BuildConsoleFile(Input(), "/w/cpo00.bin");
    ASSERT_EQ(noPost.status, ConfigBuildStatus::Built);
    ASSERT_FALSE(ReadBack(noPost.bytes).isEmpty());
    EXPECT_EQ(ReadBack(noPost.bytes)[0].bits, 0);

    ConsoleFileInput in = Input();
    in.console.reset();
    const ConfigFileBuild noRow = BuildConsoleFile(in, "/w/cpo00.bin");
    EXPECT_EQ(noRow.status, ConfigBuildStatus::Failed);
    EXPECT_EQ(noRow.resultLine, "Файл /w/cpo00.bin НЕ СОЗДАН! Ошибка. ");
    EXPECT_TRUE(noRow.bytes.isEmpty());

    // A code too long with its house prefix stops at section 3.
    Sql("UPDATE k_net SET l_pok = 1");
    Sql("UPDATE k_kvr SET p_kvr = '12345' WHERE id_pod = 1 AND p_nom = 3");
    ScriptedDialogs dialogs;
    dialogs.Expect("ОШИБКА!!!",
                   "Длина кода вызова с префиксом дома превышает 5 символов! Операция прервана.");
    const ConfigFileBuild tooLong = BuildConsoleFile(Input(), "/w/cpo00.bin");
    EXPECT_EQ(tooLong.status, ConfigBuildStatus::Failed);
    EXPECT_EQ(tooLong.stopSection, 3);
}

TEST(ConsoleFileSize, SectionsPastTheLimitStopTheFile) {
    ConsoleFileInput in;
    in.console = ConsoleRow();
    in.object.lPok = true;
    ConsoleSwitchRow s;
    s.nNet = 1;
    s.apartments = QList<CallCodeApartmentRow>(6000);  // 17 bits a code
    in.switches << s;
    const ConfigFileBuild b = BuildConsoleFile(in, "/w/cpo00.bin");
    EXPECT_EQ(b.status, ConfigBuildStatus::TooLarge);
    EXPECT_EQ(b.stopSection, 3);
    EXPECT_EQ(b.resultLine,
              "ФАЙЛ ******** /w/cpo00.bin ОБНУЛЕН на этапе формирования секции 3 из-за превышения "
              "длины!");
    EXPECT_EQ(b.logs.summary, QStringList{"* Формирование файла прекращено!  *"});

    s.apartments.resize(5000);
    in.switches = {s};
    EXPECT_EQ(BuildConsoleFile(in, "f").status, ConfigBuildStatus::Built);
}

}  // namespace
}  // namespace
}  // namespace ConsoleFileTestUnit
