#include "config/ConfigEditorFile.h"
#include "config/EditorValueChecks.h"

#include "config/ConfigImage.h"
#include "foundation/BitAndStr.h"
#include "support/EditorRoundTrip.h"
#include "support/ReadOnlyPath.h"
#include "support/ScriptedDialogs.h"

#include "ConfigFilesFixture.h"
#include "SectionBytes.h"

#include <QDir>

#include <gtest/gtest.h>

namespace ConfigEditorFileTestUnit {
namespace {

using namespace cfgtest;

namespace {

ConfigScreenSettings Settings() {
    return ConfigFilesFixture::ScreenSettings();
}

class EditorFileTest : public ConfigFilesFixture {
  protected:
    EditorFile Load(const QByteArray& bytes, const QString& name = QStringLiteral("c.bin")) {
        return LoadEditorFile(Write(name, bytes), Settings());
    }

    // Loads and saves the file unchanged; returns what was written.
    QByteArray RoundTrip(const QByteArray& bytes) {
        const EditorFile f = Load(bytes);
        EXPECT_TRUE(f.Parsed());
        const EditorSaveResult r = SaveEditorFile(f, kIdNom, Settings());
        EXPECT_EQ(r.status, EditorSaveStatus::Saved) << r.error.toStdString();
        EXPECT_EQ(Read(f.fileName), r.bytes);
        return r.bytes;
    }
};

TEST_F(EditorFileTest, UnchangedFilesOfEachKindAreSavedByteForByte) {
    Sql("UPDATE k_pk SET n_vid = 3, rsrv = 2 WHERE n_net = 1");
    Sql("UPDATE k_kvr SET m_obr = 1, l_vid = 1 WHERE id_pod = 1 AND p_nom IN (2, 41)");
    Sql("UPDATE k_kvr SET m_blk = 1 WHERE id_pod = 2 AND p_nom = 7");
    for (int n = 1; n <= 3; ++n) {
        const QByteArray file = SwitchFile(n);
        ASSERT_FALSE(file.isEmpty());
        EXPECT_EQ(RoundTrip(file), file) << "switch " << n;
    }
    Sql("UPDATE k_kvr SET mtdy = 420, mtnt = 1380 WHERE id_pod = 2 AND p_nom IN (3, 4)");
    Sql("UPDATE k_kvr SET mtdy = 425, mtnt = 1200 WHERE id_pod = 3 AND p_nom = 9");
    const QByteArray console = ConsoleFile();
    ASSERT_FALSE(console.isEmpty());
    EXPECT_EQ(RoundTrip(console), console);
    Sql("UPDATE k_bv SET farc = 1, adrpk = ?, adrcs = 3, ocode0 = '0123', auto = 1"
        " WHERE n_net = 65",
        {IdPk(1)});
    Sql("UPDATE k_kvr SET call = 1, l_otz = 1 WHERE id_pod = 1 AND p_nom < 5");
    for (int nNet : {65, 66, 68}) {
        const QByteArray panel = PanelFile(nNet);
        ASSERT_FALSE(panel.isEmpty());
        SCOPED_TRACE(nNet);
        ExpectPanelSavedUnchanged(RoundTrip(panel), panel);
    }
}

// The write screen leaves section 6 empty without spare slots; the editor
// writes its slot count and index width, both 0.
TEST_F(EditorFileTest, APanelWithoutSpareSlotsGetsSectionSixWithItsCounts) {
    Sql("UPDATE k_bv SET auto = 0");
    ConfigRepository repo(Db());
    std::optional<PanelFileInput> in;
    ASSERT_TRUE(repo.ReadPanelFileInput(kIdNet, 66, in) && in);
    in->reserveSlots = false;
    const QByteArray file = BuildCallPanelFile(*in, "f").bytes;
    ASSERT_EQ(Split(file).sections[6], Zeros(16));
    const FileParts saved = Split(RoundTrip(file));
    ASSERT_EQ(saved.sections.size(), 8);
    QString payload = Zeros(24);
    EXPECT_EQ(saved.sections[6], WrapSection(payload, 6, 1, nullptr));
}

TEST_F(EditorFileTest, ALoadedCallPanelFileFillsTheTabValues) {
    const EditorFile f = Load(PanelFile(68));
    EXPECT_EQ(f.kind, kKindCallPanel);
    EXPECT_EQ(f.jDev, 68);
    ASSERT_TRUE(f.ident.has_value());
    EXPECT_EQ(f.ident->nNet, 68);
    EXPECT_EQ(f.ident->type, 1);
    EXPECT_EQ(f.bv.entrances.servedEntrances, 3);
    EXPECT_EQ(PanelEntranceCounts(f.bv.entrances).mid(0, 5), (QList<int>{0, 41, 41, 41, 0}));
    EXPECT_EQ(f.bv.records.size(), 123);
    ASSERT_FALSE(f.bv.records.isEmpty());
    EXPECT_EQ(f.bv.records[0].code, "101");
    EXPECT_FALSE(f.bv.keys5.rows.isEmpty());
    EXPECT_EQ(f.bv.keys7.keys.size(), f.bv.keys7.kolSl7);
}

TEST_F(EditorFileTest, ALoadedSwitchFileFillsTheTabValues) {
    Sql("UPDATE k_pk SET n_vid = 3 WHERE n_net = 1");
    Sql("UPDATE k_kvr SET m_obr = 1 WHERE id_pod = 1 AND p_nom = 2");
    const EditorFile f = Load(SwitchFile(1));
    EXPECT_EQ(f.kind, kKindSwitch);
    EXPECT_EQ(f.jDev, 1);
    EXPECT_EQ(f.title.size(), 29);
    ASSERT_FALSE(f.title.isEmpty());
    EXPECT_EQ(f.title.first(), "01");
    EXPECT_EQ(f.memo4.mid(0, 2), (QStringList{"СКМ01", "Файл создан в АРМ Kiro-2"}));
    EXPECT_EQ(f.memo4[2], "10000000");  // the image from the first byte read: the date word
    EXPECT_EQ(f.trailerText, "  Файл не изменен.");
    ASSERT_TRUE(f.ident.has_value());
    EXPECT_EQ(f.ident->nNet, 1);
    EXPECT_EQ(f.identHex.size(), 30);
    EXPECT_TRUE(f.keptHex.isEmpty());
    EXPECT_EQ(f.pk.params.WAIT, 66);
    EXPECT_EQ(f.pk.params.ChMskPo, "11" + Zeros(14));
    EXPECT_EQ(f.pk.tracts.cells[0][0], "1");
    EXPECT_EQ(f.pk.callback.left(3), "010");
    EXPECT_EQ(f.pk.callMelody.size(), 6);
    EXPECT_TRUE(f.pk.videoOn);
    EXPECT_EQ(f.pk.videoInput, 3);
    EXPECT_EQ(f.pk.video.size(), f.pk.callback.size());
}

TEST_F(EditorFileTest, SwitchSectionFiveIsAlwaysSavedEmpty) {
    FileParts p = Split(SwitchFile(2));
    ASSERT_EQ(p.sections.size(), 8);
    // Handset ranges as a device keeps them: 40 apartments from terminal 3, linear, switch 2.
    p.sections[5] = SectionOf(Bytes({40, 0x03, 0x02}), 2);
    const EditorFile f = Load(Join(p));
    ASSERT_TRUE(f.pk.ranges.enabled);
    ASSERT_EQ(f.pk.ranges.rows.size(), 1);
    EXPECT_EQ(f.pk.ranges.rows[0].count, 40);
    const EditorSaveResult r = SaveEditorFile(f, kIdNom, Settings());
    EXPECT_EQ(r.status, EditorSaveStatus::Saved);
    EXPECT_EQ(r.bytes, SwitchFile(2));
}

TEST_F(EditorFileTest, SectionOneAndTheSectionsAfterTheTabsAreKept) {
    FileParts p = Split(SwitchFile(3));
    p.sections << SectionOf(Bytes({1, 2, 3})) << Zeros(16) << SectionOf(Bytes({9}), 3);
    const EditorFile f = Load(Join(p));
    EXPECT_EQ(f.keptHex, (QStringList{"03020101", "", "0903"}));
    const QByteArray saved = SaveEditorFile(f, kIdNom, Settings()).bytes;
    // Kept sections come back with version 1.
    p.sections.last() = SectionOf(Bytes({9}));
    EXPECT_EQ(saved, Join(p));

    // A file without section 1 gets the empty section (00 00).
    p.sections[1] = Zeros(16);
    const EditorFile none = Load(Join(p));
    EXPECT_FALSE(none.ident.has_value());
    EXPECT_EQ(none.identHex, "");
    const EditorSaveResult r = SaveEditorFile(none, kIdNom, Settings());
    EXPECT_EQ(r.bytes, Join(p));
    EXPECT_TRUE(r.memo4.contains("Размер секции 1 КМ := 2"));
    EXPECT_TRUE(r.memo4.contains("Размер секции 9 КМ := 2"));
}

TEST_F(EditorFileTest, TheSavedHeaderNamesTheDeviceOfTheTab) {
    QByteArray file = SwitchFile(1);
    file[0] = char(0x85);  // a header numbered 5 with the top bit set
    const EditorFile f = Load(file);
    EXPECT_EQ(f.jDev, 5);
    EXPECT_EQ(f.kind, kKindSwitch);
    const QByteArray saved = SaveEditorFile(f, kIdNom, Settings()).bytes;
    EXPECT_EQ(saved.left(14), Bytes({0x85, 0x0F, 0, 0, 0, 0, 0, 0, 0x90, 0x56, 0x34, 0x12, 2, 0}));
    EXPECT_EQ(saved.mid(14), file.mid(14));

    // The header carries the current object's id_nom.
    EXPECT_EQ(SaveEditorFile(f, 7, Settings()).bytes.mid(9, 3), Bytes({7, 0, 0}));
}

TEST_F(EditorFileTest, AConsoleFileNumberedByAnotherSepDeviceIsTheConsole) {
    Sql("UPDATE t_global SET SepDevice = 60");
    Sql("UPDATE k_po SET n_net = 60");
    const QByteArray file = ConsoleFile();
    ASSERT_EQ(file.at(0), char(60));
    ConfigScreenSettings s = Settings();
    s.sepDevice = 60;
    const EditorFile f = LoadEditorFile(Write("cpo00.bin", file), s);
    EXPECT_EQ(f.kind, kKindConsole);
    const EditorSaveResult r = SaveEditorFile(f, kIdNom, s);
    EXPECT_EQ(r.status, EditorSaveStatus::Saved) << r.error.toStdString();
    EXPECT_EQ(r.bytes, file);
}

TEST_F(EditorFileTest, WithoutAHeaderSectionOneGivesTheDeviceNumber) {
    const QByteArray withHeader = SwitchFile(2);
    const QByteArray bare = withHeader.mid(29);  // the date word, the sections and the end mark
    const EditorFile f = Load(bare);
    EXPECT_EQ(f.jDev, -1);
    EXPECT_EQ(f.kind, kKindSwitch);
    EXPECT_EQ(f.title, QStringList{"80"});
    const EditorSaveResult r = SaveEditorFile(f, kIdNom, Settings());
    EXPECT_EQ(r.status, EditorSaveStatus::Saved);
    EXPECT_EQ(r.bytes, withHeader);

    // A network number outside the switches' addresses gives no header.
    FileParts p = Split(bare, 2);
    ConfigIdent id = DecodeIdentSection(p.sections[1].chopped(16));
    id.nNet = 55;
    QString payload = IdentPayload(id);
    p.sections[1] = WrapSection(payload, 1, 1, nullptr);
    const EditorFile odd = Load(Join(p), "odd.bin");
    EXPECT_TRUE(
        odd.warnings.contains("Файл нельзя сохранить: не определен сетевой номер устройства."));
    ScriptedDialogs dialogs;
    dialogs.Expect("Ошибка", "Не определен сетевой номер устройства. Сохранение отменено.");
    const EditorSaveResult refused = SaveEditorFile(odd, kIdNom, Settings());
    EXPECT_EQ(refused.status, EditorSaveStatus::NoDevice);
    EXPECT_EQ(Read(odd.fileName), Join(p));
}

TEST_F(EditorFileTest, FilesThatDoNotParseAreNeverSaved) {
    ScriptedDialogs dialogs;
    dialogs.Expect("Ошибка", "Неопределенный формат файла.");
    QByteArray file = SwitchFile(1);
    file[0] = char(55);
    const EditorFile f = Load(file);
    EXPECT_FALSE(f.Parsed());
    EXPECT_EQ(SaveEditorFile(f, kIdNom, Settings()).status, EditorSaveStatus::Refused);
    EXPECT_EQ(Read(f.fileName), file);

    dialogs.Expect("Ошибка", "Не удалось открыть файл " + Path("none.bin"));
    EXPECT_EQ(LoadEditorFile(Path("none.bin"), Settings()).status, ConfigReadStatus::OpenFailed);
    dialogs.Expect("Отказ", "Файл слишком велик для конфигурационного файла.");
    EXPECT_EQ(Load(QByteArray(18432, '\0')).status, ConfigReadStatus::TooLarge);
}

TEST_F(EditorFileTest, ABadCellStopsTheSaveAndNamesTheCell) {
    const QByteArray file = SwitchFile(1);
    EditorFile f = Load(file);
    f.pk.tracts.cells[2][1] = "7x";
    ScriptedDialogs dialogs;
    dialogs.ExpectContaining("Ошибка",
                             "\"7x\" в таблице \"Блоки вызова по трактам\" (столбец 2, строка 3)");
    const EditorSaveResult r = SaveEditorFile(f, kIdNom, Settings());
    EXPECT_EQ(r.status, EditorSaveStatus::BadCell);
    ASSERT_TRUE(r.fault.has_value());
    EXPECT_EQ(r.fault->control, "TractDev");
    EXPECT_EQ(r.fault->column, 2);
    EXPECT_EQ(r.fault->row, 3);
    EXPECT_EQ(Read(f.fileName), file);

    f = Load(file);
    f.pk.ringBackMelody[0].gerc = "300";
    const auto melody = CheckEditorValues(f, Settings());
    ASSERT_TRUE(melody.has_value());
    EXPECT_EQ(melody->control, "MelOt");
    EXPECT_EQ(melody->column, 2);
    EXPECT_EQ(melody->row, 1);
}

TEST_F(EditorFileTest, BadConsoleCellsNameTheirEntrance) {
    EditorFile f = Load(ConsoleFile());
    ASSERT_EQ(f.po.records.size(), 123);
    f.po.records[45].dayTime = "25:00";
    f.po.records[45].nightTime = "06:00";
    auto fault = CheckEditorValues(f, Settings());
    ASSERT_TRUE(fault.has_value());
    EXPECT_EQ(fault->control, "KodVv");
    EXPECT_EQ(fault->record, 45);
    // Switch 1's entrance holds records 0 to 40; switch n has column n + 1.
    EXPECT_EQ(fault->entrance, 3);
    EXPECT_EQ(fault->column, 5);
    EXPECT_EQ(fault->row, 3);
    EXPECT_TRUE(fault->message.contains("подъезд КМ 2")) << fault->message.toStdString();

    f = Load(ConsoleFile());
    f.po.params.frmc = "-";
    EXPECT_EQ(CheckEditorValues(f, Settings())->control, "E_Raz");
    f = Load(ConsoleFile());
    f.po.handsets.entries = {PoHandsetCells{"1", "0"}};
    fault = CheckEditorValues(f, Settings());
    ASSERT_TRUE(fault.has_value());
    EXPECT_EQ(fault->control, "SysAdr");
    EXPECT_EQ(fault->row, 2);
}

TEST_F(EditorFileTest, ADamagedApartmentCountMakesNoMoreRecordsThanCodesFit) {
    const QByteArray file = ConsoleFileWithDamagedCounts();
    const EditorFile f = Load(file);
    const qsizetype codeBits = Taken(Split(file).sections[3]).size();
    EXPECT_EQ(f.po.records.size(), codeBits);
    ASSERT_FALSE(f.warnings.isEmpty());
    EXPECT_TRUE(f.warnings.first().startsWith("Секция 2 объявляет 196605 квартир"));
    ASSERT_FALSE(f.po.records.isEmpty());
    EXPECT_EQ(f.po.records[0].code, "101");
}

TEST_F(EditorFileTest, KeptSectionsPastTheLimitAreSkippedWithALine) {
    FileParts p = Split(ConsoleFile());
    const int room = 12288 - (BitStringToBytes(p.sections.join(QString())).size());
    p.sections << SectionOf(QByteArray(room - 3 - 10, '\x11')) << SectionOf(QByteArray(20, '\x22'))
               << SectionOf(Bytes({5}));
    const EditorFile f = Load(Join(p));
    ASSERT_EQ(f.keptHex.size(), 3);
    const EditorSaveResult r = SaveEditorFile(f, kIdNom, Settings());
    EXPECT_EQ(r.status, EditorSaveStatus::Saved);
    EXPECT_TRUE(
        r.memo4.contains("Размер файла превышает допустимый при добавлении неизвестной "
                         "секции на 13 байт"));
    FileParts expected = p;
    expected.sections.removeAt(expected.sections.size() - 2);
    EXPECT_EQ(r.bytes, Join(expected));
    EXPECT_TRUE(r.memo4.contains("Размер секции 7 ППО := " + QString::number(room - 10)));
    EXPECT_TRUE(r.memo4.contains("Размер секции 9 ППО := 4"));
}

TEST_F(EditorFileTest, SectionsPastTheLimitWriteNothing) {
    const QByteArray file = SwitchFile(1);
    EditorFile f = Load(file);
    f.pk.callback = QString(140000, '1');
    const EditorSaveResult r = SaveEditorFile(f, kIdNom, Settings());
    EXPECT_EQ(r.status, EditorSaveStatus::TooLarge);
    EXPECT_TRUE(r.memo4.contains("* Формирование файла прекращено!  *"));
    EXPECT_EQ(Read(f.fileName), file);
}

TEST_F(EditorFileTest, AFileTheDiskRefusesKeepsItsOldBytes) {
    const QByteArray file = SwitchFile(1);
    const EditorFile f = Load(file);
    ReadOnlyPath locked(QFileInfo(f.fileName).absolutePath());
    if (!locked.Active()) GTEST_SKIP() << "no way to make the folder read-only here";
    ScriptedDialogs dialogs;
    dialogs.ExpectContaining("Ошибка", "не сохранен");
    const EditorSaveResult r = SaveEditorFile(f, kIdNom, Settings());
    EXPECT_EQ(r.status, EditorSaveStatus::WriteFailed);
    // The failure, and its reason in Russian as a sentence of its own.
    ASSERT_FALSE(r.memo4.isEmpty());
    EXPECT_TRUE(r.memo4.last().startsWith("Файл " + f.fileName + " не сохранен. Не удалось "))
        << r.memo4.last().toStdString();
    EXPECT_TRUE(r.memo4.last().endsWith(". Нет прав доступа.") ||
                r.memo4.last().endsWith(". Операция не разрешена."))
        << r.memo4.last().toStdString();
    EXPECT_EQ(Read(f.fileName), file);
}

TEST(EditorKindTest, TheEditorsNumberRanges) {
    const ConfigScreenSettings s = Settings();
    EXPECT_EQ(EditorKind(0, 0, s), kKindSwitch);
    EXPECT_EQ(EditorKind(49, 0, s), kKindSwitch);
    EXPECT_EQ(EditorKind(50, 176, s), kKindUnknown);
    EXPECT_EQ(EditorKind(62, 0, s), kKindUnknown);
    EXPECT_EQ(EditorKind(63, 0, s), kKindConsole);
    ConfigScreenSettings moved = s;
    moved.sepDevice = 60;
    EXPECT_EQ(EditorKind(60, 0, moved), kKindConsole);
    EXPECT_EQ(EditorKind(63, 0, moved), kKindConsole);
    EXPECT_EQ(EditorKind(61, 0, moved), kKindUnknown);
    EXPECT_EQ(EditorKind(64, 0, s), kKindCallPanel);
    EXPECT_EQ(EditorKind(113, 0, s), kKindCallPanel);
    EXPECT_EQ(EditorKind(114, 0, s), kKindUnknown);
    EXPECT_EQ(EditorKind(-1, 1088 + 16, s), kKindConsole);
}

TEST(EditorCallCodesTest, RepeatedCodesAreFoundInTheEntranceAndItsNeighbours) {
    // Three entrances of two, zero and three apartments: columns 1, 2 and 3.
    const QList<int> counts{2, 0, 3};
    QList<CallCodeRecord> records(5);
    const char* codes[] = {"1", "2", "3", "4", "5"};
    for (int i = 0; i < 5; ++i) records[i].code = codes[i];
    EXPECT_EQ(EntranceFirstRecord(counts, 1), 0);
    EXPECT_EQ(EntranceFirstRecord(counts, 3), 2);
    EXPECT_EQ(FindRepeatedCode(records, counts, 3, 0, "4"), RepeatedCode::SameEntrance);
    EXPECT_EQ(FindRepeatedCode(records, counts, 3, 1, "4"), RepeatedCode::None);  // itself
    EXPECT_EQ(FindRepeatedCode(records, counts, 3, 0, " 2 "), RepeatedCode::PreviousEntrance);
    EXPECT_EQ(FindRepeatedCode(records, counts, 1, 0, "5"), RepeatedCode::NextEntrance);
    EXPECT_EQ(FindRepeatedCode(records, counts, 1, 0, "9"), RepeatedCode::None);
    EXPECT_EQ(FindRepeatedCode(records, counts, 1, 0, ""), RepeatedCode::None);
    EXPECT_EQ(RepeatedCodeText(RepeatedCode::NextEntrance),
              "Восстанавливаю код вызова из-за повторения в следующем подъезде!");

    EXPECT_EQ(EditorFlagText("1a01x", 3), "100");
    EXPECT_EQ(EditorFlagText("1", 0), "");
    EXPECT_TRUE(EditorUnlocks("kQ39@.t"));
    EXPECT_FALSE(EditorUnlocks("kQ39@.tt"));
    EXPECT_FALSE(EditorUnlocks("kQ39@."));
}

}  // namespace
}  // namespace
}  // namespace ConfigEditorFileTestUnit
