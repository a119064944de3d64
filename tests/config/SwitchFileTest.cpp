#include "config/CallCodeSection.h"
#include "config/ConfigFileReader.h"
#include "config/ConfigHeader.h"
#include "config/ConfigRepository.h"
#include "config/SwitchFile.h"
#include "config/SwitchSections.h"
#include "config/TPkParams.h"
#include "foundation/BitAndStr.h"
#include "support/ScriptedDialogs.h"

#include "ConfigObjectFixture.h"
#include "SectionBytes.h"

#include <gtest/gtest.h>

namespace SwitchFileTestUnit {
namespace {

using namespace cfgtest;

namespace {

class SwitchFileTest : public ConfigObjectFixture {
  protected:
    SwitchFileInput Input(int nNet) {
        ConfigRepository repo(Db());
        std::optional<SwitchFileInput> in;
        EXPECT_TRUE(repo.ReadSwitchFileInput(kIdNet, nNet, in)) << repo.LastError().toStdString();
        EXPECT_TRUE(in.has_value());
        return in.value_or(SwitchFileInput());
    }

    QList<ConfigSection> ReadBack(const QByteArray& file) {
        return ReadBackFile(file, 1, {"СКМ01", "Файл создан в АРМ Kiro-2"});
    }
};

TEST_F(SwitchFileTest, RepositoryReadsTheSwitchAsTheWriteScreenSeesIt) {
    const SwitchFileInput in = Input(2);
    EXPECT_EQ(in.object.idNom, kIdNom);
    EXPECT_EQ(in.sepDevice, 63);
    EXPECT_EQ(in.device.idPk, IdPk(2));
    EXPECT_EQ(in.device.typeK, "Торвин");
    EXPECT_EQ(in.device.nXl, 41);
    EXPECT_EQ(in.device.nVid, -1);
    ASSERT_TRUE(in.paramSet.has_value());
    EXPECT_EQ(in.paramSet->t_wt, 66);
    EXPECT_TRUE(in.paramSet->nullColumns.isEmpty());
    EXPECT_EQ(in.tractPanels.size(), 15);
    ASSERT_FALSE(in.tractPanels.isEmpty());
    EXPECT_EQ(in.tractPanels[0], QList<int>{66});
    EXPECT_EQ(in.tractPanels[1], QList<int>{68});
    EXPECT_EQ(in.apartments.size(), 41);
    ASSERT_TRUE(in.callMelody && in.ringBackMelody);
    EXPECT_EQ(in.callMelody->notes.size(), 6);
    EXPECT_EQ(in.ringBackMelody->name, "Стандарт отзвонки Darvo");

    // A switch outside the matrix, a missing parameter set and a console
    // melody offered as a switch melody are all "not found".
    ConfigRepository repo(Db());
    std::optional<SwitchFileInput> none;
    EXPECT_TRUE(repo.ReadSwitchFileInput(kIdNet, 9, none));
    EXPECT_FALSE(none.has_value());
    std::optional<MelodyRow> melody;
    EXPECT_TRUE(repo.ReadSwitchMelody(3, melody));
    EXPECT_FALSE(melody.has_value());
    Sql("UPDATE t_ke SET t_cm = NULL");
    std::optional<PkParamSetRow> set;
    EXPECT_TRUE(repo.ReadParamSet(1, set));
    EXPECT_EQ(set->nullColumns, QStringList{"t_cm"});
}

TEST_F(SwitchFileTest, WholeFileReadsBackSectionBySection) {
    Sql("UPDATE k_pk SET n_vid = 3, rsrv = 2 WHERE n_net = 1");
    Sql("UPDATE k_kvr SET m_obr = 1 WHERE id_pod = 1 AND p_nom IN (2, 41)");
    Sql("UPDATE k_kvr SET l_vid = 0, m_blk = 0 WHERE id_pod = 1 AND p_nom > 3");
    const SwitchFileInput in = Input(1);
    const ConfigFileBuild b = BuildSwitchFile(in, "/w/ckm01.bin");
    ASSERT_EQ(b.status, ConfigBuildStatus::Built);
    EXPECT_EQ(b.resultLine, "Файл /w/ckm01.bin сохранен.");
    EXPECT_EQ(b.bytes.left(13), Bytes({1, 0x0F, 0, 0, 0, 0, 0, 0, 0x90, 0x56, 0x34, 0x12, 2}));
    EXPECT_EQ(b.bytes.right(2), Bytes({0xFF, 0xFF}));

    const QList<ConfigSection> s = ReadBack(b.bytes);
    ASSERT_EQ(s.size(), 8);

    TPkParams p;
    PkParamsFromBits(s[0].text, p);
    EXPECT_EQ(BinToInt(p.t_dl), 95);
    EXPECT_EQ(BinToInt(p.t_wt), 66);
    EXPECT_EQ(BinToInt(p.acp2), 128);
    EXPECT_EQ(BinToInt(p.n_xl), 41);
    EXPECT_EQ(p.m_vo, "1100000000000000");
    EXPECT_EQ(p.m_vb, "1100000000000000");

    const ConfigIdent id = DecodeIdentSection(s[1].text);
    EXPECT_EQ(id.nNet, 1);
    EXPECT_EQ(id.idNet, kIdNet);
    EXPECT_EQ(id.recordId, IdPk(1));
    EXPECT_EQ(id.idNom, kIdNom);

    const PkTractGrid tracts = DecodePkTract(s[2].text);
    EXPECT_EQ(tracts.cells[0][0], "1");
    EXPECT_EQ(tracts.cells[1][0], "4");
    EXPECT_EQ(tracts.cells[2][0], "");

    const QString callback = DecodePkCallbackMask(s[3].text);
    EXPECT_EQ(callback, "01" + Zeros(38) + "1" + Zeros(7));

    const PkMelodies m = DecodePkMelodies(s[4].text);
    ASSERT_EQ(m.call.size(), 6);
    EXPECT_EQ(m.call[2].gerc, 39);
    ASSERT_EQ(m.ringBack.size(), 3);
    EXPECT_EQ(m.ringBack[2].leng, 7);  // the closing pause

    EXPECT_EQ(s[5].bits, 0);

    const PkBlocking blocking = DecodePkBlocking(s[6].text);
    EXPECT_EQ(blocking.pto, 5);
    EXPECT_EQ(blocking.reserve, 2);
    EXPECT_EQ(blocking.edt, 1);
    EXPECT_EQ(blocking.mask, "111" + Zeros(45));

    const PkVideo video = DecodePkVideo(s[7].text);
    EXPECT_EQ(video.input, 3);
    EXPECT_EQ(video.mask, "111" + Zeros(45));
}

TEST_F(SwitchFileTest, LogsOfOneFile) {
    const ConfigFileBuild b = BuildSwitchFile(Input(3), "/w/ckm03.bin");
    ASSERT_TRUE(b.HasFile());
    const QStringList& r = b.logs.result;
    EXPECT_TRUE(r.contains("Слияние в файл"));
    EXPECT_TRUE(r.contains("Размер заголовка := 31"));
    EXPECT_TRUE(r.contains("Размер секции 0 КМ03 := 24"));
    EXPECT_TRUE(r.contains("Размер секции 5 КМ03 := 2"));
    EXPECT_TRUE(r.contains("Размер секции 7 КМ03 := 2"));  // n_vid -1: no video section
    EXPECT_TRUE(r.contains("Нет списка квартир для записи маски трубок, видеопросмотра."));
    EXPECT_EQ(r.last(), "Длина файла:=" + QString::number(b.bytes.size() - 31));
    ASSERT_FALSE(b.logs.detail.isEmpty());
    EXPECT_EQ(b.logs.detail.first(), "----------------------------------- КМ сек 0");
}

TEST_F(SwitchFileTest, SwitchesThatGetNoFile) {
    Sql("UPDATE k_pk SET type_k = ' ' WHERE n_net = 1");
    const ConfigFileBuild notSetUp = BuildSwitchFile(Input(1), "/w/ckm01.bin");
    EXPECT_EQ(notSetUp.status, ConfigBuildStatus::NotSetUp);
    EXPECT_EQ(notSetUp.resultLine, "/w/ckm01.bin");
    EXPECT_TRUE(notSetUp.bytes.isEmpty());

    Sql("UPDATE k_pk SET id_ke = 99 WHERE n_net = 2");
    ScriptedDialogs dialogs;
    dialogs.Expect("Ошибка", "Общие параметры КМ не определены!");
    const ConfigFileBuild noSet = BuildSwitchFile(Input(2), "/w/ckm02.bin");
    EXPECT_EQ(noSet.status, ConfigBuildStatus::Failed);
    EXPECT_EQ(noSet.stopSection, 0);
    EXPECT_EQ(noSet.resultLine, "Файл /w/ckm02.bin НЕ СОЗДАН! Ошибка. ");
    EXPECT_FALSE(noSet.HasFile());
}

TEST(SwitchFileSize, SectionsPastTheLimitStopTheFile) {
    SwitchFileInput in;
    in.device.typeK = "Торвин";
    in.device.nNet = 4;
    in.paramSet = PkParamSetRow();
    in.apartments = QList<SwitchApartmentRow>(140000);
    const ConfigFileBuild b = BuildSwitchFile(in, "/w/ckm04.bin");
    EXPECT_EQ(b.status, ConfigBuildStatus::TooLarge);
    EXPECT_EQ(b.stopSection, 3);
    EXPECT_TRUE(b.bytes.isEmpty());
    EXPECT_EQ(b.resultLine,
              "ФАЙЛ  ******** /w/ckm04.bin ОБНУЛЕН на этапе формирования секции 3 из-за превышения "
              "длины!");
    EXPECT_EQ(b.logs.summary, QStringList{"* Формирование файла прекращено!  *"});
    EXPECT_TRUE(b.logs.result.contains("* Формирование файла прекращено!  *"));
}

TEST(SwitchFileSize, AnEndMarkPastTheLimitIsWrittenWithAWarning) {
    // Sections of exactly 139264 bits: 656 + 16 bits per 8 apartments.
    SwitchFileInput in;
    in.device.typeK = "Торвин";
    in.paramSet = PkParamSetRow();
    in.apartments = QList<SwitchApartmentRow>(8663 * 8);
    in.callMelody = MelodyRow{1, "М", {MelodyNoteRow{5, 0}}};
    const ConfigFileBuild b = BuildSwitchFile(in, "/w/ckm00.bin");
    EXPECT_EQ(b.status, ConfigBuildStatus::BuiltOverLimit);
    EXPECT_TRUE(b.HasFile());
    EXPECT_EQ(b.bytes.size(), 31 + 17408 + 2);
    EXPECT_EQ(b.resultLine, "/w/ckm00.bin");
    EXPECT_EQ(b.logs.summary, QStringList{"Превышение длины на 2 байт!"});

    in.apartments.resize(in.apartments.size() - 8);  // one byte less in sections 3 and 6
    EXPECT_EQ(BuildSwitchFile(in, "f").status, ConfigBuildStatus::Built);
}

TEST_F(SwitchFileTest, CallCodeListsOfPanelsAndTheConsole) {
    ConfigRepository repo(Db());
    std::optional<ConfigObjectRow> object;
    std::optional<PanelRow> gate, door;
    ASSERT_TRUE(repo.ReadObject(kIdNet, object) && repo.ReadPanel(kIdNet, 68, gate) &&
                repo.ReadPanel(kIdNet, 65, door));
    ASSERT_TRUE(object && gate && door);
    QList<CallCodeApartmentRow> all, gateRows, doorRows, consoleRows;
    ASSERT_TRUE(repo.ReadObjectCallCodes(kIdNet, all));
    ASSERT_TRUE(repo.ReadPanelCallApartments(gate->idBv, gateRows));
    ASSERT_TRUE(repo.ReadPanelCallApartments(door->idBv, doorRows));
    ASSERT_TRUE(repo.ReadConsoleCallApartments(kIdNet, consoleRows));
    EXPECT_EQ(all.size(), 123);
    EXPECT_EQ(gateRows.size(), 123);
    EXPECT_EQ(doorRows.size(), 41);
    EXPECT_EQ(consoleRows.size(), 123);
    const int width = CallCodePrefixWidth(all);
    EXPECT_EQ(width, 2);

    // The gate: house prefixes in front of codes padded to two digits; the
    // console handsets keep the object's code.
    ConfigLogs logs;
    const CallCodeResult g = EncodeBvSection3(*object, *gate, gateRows, width, 65535, 63, logs);
    ASSERT_TRUE(g.ok);
    EXPECT_EQ(logs.detail.mid(0, 3), (QStringList{"----------------------------------- бв сек 3",
                                                  "СБВ04  БВ04 калитка ", "Коды вызова квартир:"}));
    const CallCodeUnpack u = UnpackCallCodes(123, Taken(g.section));
    EXPECT_EQ(u.error, " ");
    ASSERT_FALSE(u.records.isEmpty());
    EXPECT_EQ(u.records[0].code, "101");
    EXPECT_EQ(u.records[40].code, "900");
    EXPECT_EQ(u.records[41].code, "141");
    EXPECT_EQ(u.records[82].code, "201");
    EXPECT_EQ(g.callFlagText.size(), 123 * 2);  // flags 1 and 2 of flbv

    // A door panel: its own codes, no prefix.
    ConfigLogs doorLogs;
    const CallCodeResult d = EncodeBvSection3(*object, *door, doorRows, width, 65535, 63, doorLogs);
    EXPECT_EQ(UnpackCallCodes(41, Taken(d.section)).records[39].code, "40");

    // The console: every switch's entrance, with prefixes, and one flag each.
    ConfigLogs consoleLogs;
    const CallCodeResult c = EncodePoSection3(*object, consoleRows, width, consoleLogs);
    ASSERT_TRUE(c.ok);
    EXPECT_EQ(c.callFlagText.size(), 123);
    EXPECT_EQ(c.poTimeMask, QString(123, '0'));
    EXPECT_EQ(consoleLogs.detail.mid(0, 2),
              (QStringList{"----------------------------------- ППО сек 3", "Коды вызова:"}));

    // Identification sections of the three kinds.
    std::optional<ConsoleRow> console;
    ASSERT_TRUE(repo.ReadConsole(kIdNet, console) && console);
    ConfigLogs ident;
    const ConfigIdent pid = DecodeIdentSection(Taken(EncodeBvSection1(*object, *gate, ident)));
    EXPECT_EQ(pid.type, 1);
    EXPECT_EQ(pid.nNet, 68);
    EXPECT_EQ(pid.recordId, gate->idBv);
    const ConfigIdent cid = DecodeIdentSection(Taken(EncodePoSection1(*object, *console, ident)));
    EXPECT_EQ(cid.nNet, 63);
    EXPECT_EQ(cid.recordId, console->idPo);
    EXPECT_EQ(cid.idNom, kIdNom);
    EXPECT_TRUE(ident.detail.contains("----------------------------------- ППО сек 1"));
}

}  // namespace
}  // namespace
}  // namespace SwitchFileTestUnit
