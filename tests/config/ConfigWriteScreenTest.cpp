// The write screen's work on the fixture object: the device list with its
// marks, the pass that builds and writes the files, what it logs, and how
// it keeps the previous files and the database state when a device fails.

#include "config/ConfigFileReader.h"
#include "config/ConfigImage.h"
#include "support/ReadOnlyPath.h"
#include "support/RecordedRows.h"
#include "support/ScriptedDialogs.h"

#include "SectionBytes.h"
#include "WriteScreenFixture.h"

#include <QFileInfo>
#include <QTemporaryDir>

#include <stdexcept>

namespace ConfigWriteScreenTestUnit {
namespace {

using namespace cfgtest;

namespace {

using namespace WriteScreenTexts;

class WriteScreen : public WriteScreenFixture {
  protected:
    QString SavedLine(const QString& name) {
        return QStringLiteral("Файл ") + FileOf(name) + QStringLiteral(" сохранен.");
    }
    QString NotCreatedLine(const QString& name) {
        return QStringLiteral("Файл ") + FileOf(name) + QStringLiteral(" НЕ СОЗДАН! Ошибка. ");
    }
    // The file reads back as one this workstation made for the device named.
    void ExpectMadeHere(const QString& name, const QString& device) {
        ConfigReadOutput out;
        QStringList messages, header;
        ASSERT_EQ(ReadConfigFile(FileOf(name), out, &messages, &header, 63), ConfigReadStatus::Ok);
        EXPECT_EQ(messages, (QStringList{device, "Файл создан в АРМ Kiro-2"}))
            << name.toStdString();
    }
    // A switch file whose sections are given, built the shared way.
    static ConfigFileBuild FileOfSections(const SwitchFileInput& in, const QString& path,
                                          const QStringList& sections) {
        ConfigFileRecipe recipe;
        recipe.kind = kKindSwitch;
        recipe.headerText = BuildConfigHeader(in.device.nNet, in.object.idNom, 63);
        recipe.deviceLabel =
            QStringLiteral(" КМ") + QString::number(in.device.nNet).rightJustified(2, '0');
        recipe.overflowPrefix = QStringLiteral("ФАЙЛ  ******** ");
        recipe.encodeSection = [sections](int i, QString& text, ConfigLogs&) {
            text = i < sections.size() ? sections[i] : QString(16, QLatin1Char('0'));
            return true;
        };
        return BuildConfigFile(recipe, path);
    }
};

TEST_F(WriteScreen, ListsEverySwitchTheConsoleAndEachPanelWithItsStateMark) {
    Sql("UPDATE k_pk SET kf_pr = n_net - 1");  // 0, 1, 2
    Sql("UPDATE k_po SET kf_pr = 3");
    Sql("UPDATE k_bv SET kf_pr = n_net - 61");  // 4, 5, 6, 7
    Sql("UPDATE k_bv SET n_bv = 'Вход 1' WHERE n_net = 65");
    auto s = NewScreen();
    EXPECT_EQ(RowTexts(*s), (QStringList{" КМ01 д.1 под.1", "+КМ02 д.1 под.2", "-КМ03 д.2 под.1",
                                         "wПO  пульт охраны", "~БВ01 Вход 1", "*БВ подъезда",
                                         " БВ подъезда", " БВ04 калитка "}));
    EXPECT_EQ(s->RowOfAddress(63), 3);
    EXPECT_EQ(s->RowOfAddress(68), 7);
    EXPECT_EQ(s->RowOfAddress(4), -1);
    // Without a file, with changed data, or written but changed since.
    EXPECT_EQ(s->ChangedRows(), (QList<int>{0, 2, 4, 6, 7}));

    Sql("UPDATE k_net SET l_pok = 0");
    ASSERT_TRUE(s->RefreshDeviceList());
    EXPECT_FALSE(RowTexts(*s).contains("wПO  пульт охраны"));
    EXPECT_EQ(s->RowOfAddress(63), -1);
}

TEST_F(WriteScreen, ASwitchRowDescribesItsEntranceAsFarAsItIsKnown) {
    Sql("UPDATE k_pod SET nm_pod = 'Левый' WHERE id_pod = 1");
    Sql("UPDATE k_dom SET house = '' WHERE id_dom = 2");
    Sql("INSERT INTO k_pod (id_pod, id_net, id_dom, n_pod, nm_pod) VALUES (4, 1, 9, 4, ''),"
        " (5, 1, 9, 5, 'Угловой')");
    Sql("INSERT INTO k_pk (id_pod, id_net, n_net, type_k, kf_pr) VALUES (4, 1, 4, 'Торвин', 0),"
        " (5, 1, 5, 'Торвин', 0), (77, 1, 6, 'Торвин', 0), (1, 1, 200, 'Торвин', 0)");
    auto s = NewScreen();
    const QStringList rows = RowTexts(*s);
    EXPECT_EQ(rows.mid(0, 7),
              (QStringList{" КМ01 д.1 Левый", " КМ02 д.1 под.2", " КМ03 под.1", " КМ04 подъезд 4",
                           " КМ05 Угловой", " КМ06", " КМ200 д.1 Левый"}));
    // An address past the tables is listed but cannot be chosen for a file.
    EXPECT_EQ(s->Rows()[6].address, -1);
}

TEST_F(WriteScreen, BuildingAllMakesFilesLikeTheBuildersAndMarksThemCreated) {
    Sql("UPDATE k_pk SET kf_pr = 3 WHERE n_net = 2");
    Sql("UPDATE k_po SET kf_pr = 2");
    auto s = NewScreen();
    QList<int> states;
    s->SetAfterStateChange([&](int kind) { states << kind; });
    const WritePassResult pass = s->BitCreateClick(AllRows(*s));
    EXPECT_FALSE(pass.stopped);
    EXPECT_EQ(pass.driversRun, 8);

    for (int n = 1; n <= 3; ++n) {
        const QString name = QStringLiteral("ckm0%1.bin").arg(n);
        EXPECT_EQ(ReadFile(FileOf(name)), SwitchBytes(n)) << n;
        ExpectMadeHere(name, QStringLiteral("СКМ0%1").arg(n));
    }
    EXPECT_EQ(ReadFile(FileOf("cpo00.bin")), ConsoleBytes());
    ExpectMadeHere("cpo00.bin", "СПО  ");
    for (int a = 65; a <= 68; ++a) {
        const QString name = QStringLiteral("cbv0%1.bin").arg(a - 64);
        EXPECT_EQ(ReadFile(FileOf(name)), PanelBytes(a)) << a;
        ExpectMadeHere(name, QStringLiteral("СБВ0%1").arg(a - 64));
        EXPECT_EQ(State("k_bv", a), 1);
    }
    EXPECT_EQ(State("k_pk", 1), 1);
    EXPECT_EQ(State("k_pk", 2), 5);
    EXPECT_EQ(State("k_po", 63), 1);
    EXPECT_TRUE(states.contains(kKindSwitch) && states.contains(kKindConsole));

    // One line per device in the summary, after its label; the list shows the new marks.
    const QStringList summary = s->Logs().summary;
    EXPECT_EQ(summary,
              (QStringList{"КМ01 :", SavedLine("ckm01.bin"), "КМ02 :", SavedLine("ckm02.bin"),
                           "КМ03 :", SavedLine("ckm03.bin"), "ППО00 :", SavedLine("cpo00.bin"),
                           "БВ01 :", SavedLine("cbv01.bin"), "БВ02 :", SavedLine("cbv02.bin"),
                           "БВ03 :", SavedLine("cbv03.bin"), "БВ04 :", SavedLine("cbv04.bin")}));
    EXPECT_TRUE(states.contains(kKindCallPanel));
    EXPECT_TRUE(s->Logs().detail.contains("***** БВ04 *****"));
    EXPECT_TRUE(s->Logs().result.contains("---------------БВ04----------------"));
    EXPECT_FALSE(s->Logs().result.filter("Размер секции 7 БВ04 := ").isEmpty());
    EXPECT_EQ(SummaryTail(*s), summary);
    const QStringList& r = s->Logs().result;
    EXPECT_EQ(r.mid(0, 2), (QStringList{"", "---------------КМ01----------------"}));
    EXPECT_TRUE(r.contains("Размер секции 7 КМ03 := 2"));
    EXPECT_EQ(
        s->Logs().detail.mid(0, 3),
        (QStringList{"", "***** КМ01 *****", "----------------------------------- КМ сек 0"}));
    EXPECT_TRUE(s->Logs().detail.contains("***** ППО00 *****"));
    EXPECT_EQ(RowTexts(*s).mid(0, 4), (QStringList{"+КМ01 д.1 под.1", "*КМ02 д.1 под.2",
                                                   "+КМ03 д.2 под.1", "+ПO  пульт охраны"}));
    // Nothing but the files: no temporary file is left behind.
    EXPECT_EQ(FilesInFolder().filter(QStringLiteral(".tmp")), QStringList());
}

TEST_F(WriteScreen, SelectingNothingPrintsAnEmptySummaryAndHowToChoose) {
    auto s = NewScreen();
    const WritePassResult pass = s->BitCreateClick({});
    EXPECT_EQ(pass.driversRun, 0);
    EXPECT_EQ(s->Logs().result, (QStringList{kSummaryRule, kSummaryTitle, kNoDeviceChosen}));
    EXPECT_TRUE(s->Logs().summary.isEmpty());
    EXPECT_TRUE(FilesInFolder().isEmpty());
}

TEST_F(WriteScreen, ASwitchWithoutTypeKeepsItsPathAsResultAndItsState) {
    Sql("UPDATE k_pk SET type_k = '  ', kf_pr = 2 WHERE n_net = 2");
    auto s = NewScreen();
    s->BitCreateClick({s->RowOfAddress(1), s->RowOfAddress(2)});
    // The path is its result line; the line before it says why there is no file.
    EXPECT_EQ(s->Logs().summary,
              (QStringList{"КМ01 :", SavedLine("ckm01.bin"),
                           "КМ02 :", "Файл для КМ02 д.1 под.2 НЕ СОЗДАН: не задан тип коммутатора.",
                           FileOf("ckm02.bin"), "Не создано файлов: 1 из 2."}));
    EXPECT_FALSE(QFileInfo::exists(FileOf("ckm02.bin")));
    EXPECT_EQ(State("k_pk", 2), 2);
}

TEST_F(WriteScreen, AFileWhoseEndMarkPassesTheLimitIsStillWrittenAndMarked) {
    auto s = NewScreen();
    // Sections of exactly the limit, 139264 bits; the end mark is 2 bytes over.
    QString payload(139264 - 24 - 7 * 16, QLatin1Char('1'));
    const QString big = WrapSection(payload, 0, 1, nullptr);
    QByteArray written;
    s->Makers().switchFile = [&](const SwitchFileInput& in, const QString& path) {
        const ConfigFileBuild b = FileOfSections(in, path, {big});
        written = b.bytes;
        return b;
    };
    s->BitCreateClick({s->RowOfAddress(1)});
    EXPECT_EQ(s->Logs().summary,
              (QStringList{"КМ01 :", "Превышение длины на 2 байт!", FileOf("ckm01.bin")}));
    EXPECT_EQ(ReadFile(FileOf("ckm01.bin")), written);
    EXPECT_EQ(written.size(), 31 + 139264 / 8 + 2);
    EXPECT_EQ(State("k_pk", 1), 1);
}

TEST_F(WriteScreen, ALengthWordMismatchLeavesThePreviousFileAndTheState) {
    auto s = NewScreen();
    s->BitCreateClick({s->RowOfAddress(1)});
    const QByteArray previous = ReadFile(FileOf("ckm01.bin"));
    ASSERT_FALSE(previous.isEmpty());
    Sql("UPDATE k_pk SET kf_pr = 2 WHERE n_net = 1");

    // Section 0 says 5 bytes follow its length word, but 2 do.
    const QString badLength =
        QStringLiteral("00000001") + QStringLiteral("00000001") + BitField(5, 16);
    s->Makers().switchFile = [&](const SwitchFileInput& in, const QString& path) {
        return FileOfSections(in, path, {badLength});
    };
    s->Logs() = ConfigLogs();
    s->BitCreateClick({s->RowOfAddress(1)});
    const QStringList& summary = s->Logs().summary;
    ASSERT_EQ(summary.size(), 4);
    EXPECT_EQ(summary[1], "Секция 0 КМ01 не добавлена в файл из-за неверной длины. 2 5");
    EXPECT_TRUE(summary[2].endsWith("НЕ СОЗДАН! Ошибка. "));
    EXPECT_EQ(summary[2], NotCreatedLine("ckm01.bin"));
    EXPECT_EQ(summary[3], "Не создано файлов: 1 из 1.");
    EXPECT_EQ(ReadFile(FileOf("ckm01.bin")), previous);
    EXPECT_EQ(State("k_pk", 1), 2);
}

TEST_F(WriteScreen, AFileThatCannotBeWrittenKeepsTheOldOneAndTheState) {
    auto s = NewScreen();
    s->BitCreateClick({s->RowOfAddress(1)});
    const QByteArray previous = ReadFile(FileOf("ckm01.bin"));
    Sql("UPDATE k_pk SET kf_pr = 2, n_xl = 7 WHERE n_net = 1");
    ReadOnlyPath locked(Folder());
    if (!locked.Active()) GTEST_SKIP() << "the folder cannot be made read-only here";
    s->Logs() = ConfigLogs();
    s->BitCreateClick({s->RowOfAddress(1)});
    const QStringList& r = s->Logs().result;
    const qsizetype failed = r.indexOf(kSaveFailed);
    ASSERT_GE(failed, 0);
    EXPECT_FALSE(r.value(failed + 1).isEmpty());  // the system's reason follows
    const QStringList& summary = s->Logs().summary;
    ASSERT_EQ(summary.size(), 5);
    EXPECT_EQ(summary.mid(1, 2), r.mid(failed, 2));  // the summary says it too
    EXPECT_EQ(summary[3], NotCreatedLine("ckm01.bin"));
    EXPECT_EQ(ReadFile(FileOf("ckm01.bin")), previous);
    EXPECT_EQ(State("k_pk", 1), 2);
}

TEST_F(WriteScreen, ADeviceThatCannotBeEncodedFailsAloneAndThePassGoesOn) {
    Sql("UPDATE t_ke SET t_cm = NULL WHERE id_ke = 1");
    Sql("INSERT INTO t_ke (name, t_cm, t_cl, t_dl, t_vc, t_st, acp1, acp2, acp3, acp4, t_dx, t_mo,"
        " t_bo, t_wt, t_po, edge, t_ed, t_de) SELECT 'копия', 10, t_cl, t_dl, t_vc, t_st, acp1,"
        " acp2, acp3, acp4, t_dx, t_mo, t_bo, t_wt, t_po, edge, t_ed, t_de FROM t_ke WHERE id_ke = "
        "1");
    Sql("UPDATE k_pk SET id_ke = (SELECT MAX(id_ke) FROM t_ke) WHERE n_net <> 1");
    const QString missing =
        QStringLiteral("Общие параметры КМ заданы не полностью, нет значений: t_cm");
    ScriptedDialogs dialogs;
    dialogs.Expect(QStringLiteral("Ошибка"), missing);
    auto s = NewScreen();
    // The console's builder breaks down on its own.
    s->Makers().consoleFile = [](const ConsoleFileInput&, const QString&) -> ConfigFileBuild {
        throw std::runtime_error("bad value");
    };
    s->BitCreateClick({0, 1, 2, s->RowOfAddress(63)});
    EXPECT_TRUE(s->Logs().result.contains(missing));
    EXPECT_TRUE(s->Logs().result.contains("Ошибка формирования файла: bad value"));
    EXPECT_EQ(s->Logs().summary,
              (QStringList{"КМ01 :", missing, NotCreatedLine("ckm01.bin"),
                           "КМ02 :", SavedLine("ckm02.bin"), "КМ03 :", SavedLine("ckm03.bin"),
                           "ППО00 :", "Ошибка формирования файла: bad value",
                           NotCreatedLine("cpo00.bin"), "Не создано файлов: 2 из 4."}));
    EXPECT_EQ(SummaryTail(*s), s->Logs().summary);
    EXPECT_EQ(State("k_pk", 1), 0);
    EXPECT_EQ(State("k_po", 63), 0);
}

TEST_F(WriteScreen, RepeatedCallCodesInAHouseStopTheConsoleAndEverythingAfterIt) {
    Sql("UPDATE k_dom SET kvv_t = 2 WHERE id_dom = 2");
    ScriptedDialogs dialogs;
    dialogs.Expect(kRepeatedCodesCaption, kRepeatedCodes);
    auto s = NewScreen();
    const WritePassResult pass = s->BitCreateClick(AllRows(*s));
    EXPECT_TRUE(pass.stopped);
    ASSERT_FALSE(s->Logs().result.isEmpty());
    EXPECT_EQ(s->Logs().result.last(), kRepeatedCodesLog);
    EXPECT_FALSE(s->Logs().result.contains(kSummaryTitle));
    EXPECT_FALSE(QFileInfo::exists(FileOf("cpo00.bin")));
    EXPECT_TRUE(QFileInfo::exists(FileOf("ckm03.bin")));
    // The pass's list has each device, those after the stop with the stop line.
    ASSERT_EQ(s->LastPass().size(), 8);
    for (const WriteDeviceResult& d : s->LastPass().mid(3)) {
        EXPECT_FALSE(d.fileMade) << d.device.toStdString();
        EXPECT_EQ(d.lines, QStringList{kRepeatedCodesLog}) << d.device.toStdString();
    }
    // The switches built before the stop show their new state.
    ASSERT_FALSE(RowTexts(*s).isEmpty());
    EXPECT_EQ(RowTexts(*s).first(), "+КМ01 д.1 под.1");
    EXPECT_EQ(State("k_po", 63), 0);
}

TEST_F(WriteScreen, SpareKeySlotsFollowTheCheckBox) {
    auto s = NewScreen();
    s->SetReserveSlots(false);
    s->BitCreateClick({s->RowOfAddress(66)});
    const QByteArray without = ReadFile(FileOf("cbv02.bin"));
    EXPECT_EQ(without, PanelBytes(66, false));
    s->SetReserveSlots(true);
    s->BitCreateClick({s->RowOfAddress(66)});
    EXPECT_EQ(ReadFile(FileOf("cbv02.bin")), PanelBytes(66, true));
    EXPECT_NE(ReadFile(FileOf("cbv02.bin")), without);
}

TEST_F(WriteScreen, APanelWhoseKeysPassTheLimitGetsNoFileAndKeepsItsState) {
    Sql("UPDATE k_net SET v_key = 200");
    Sql("UPDATE k_bv SET kf_pr = 4 WHERE n_net = 66");
    auto s = NewScreen();
    s->BitCreateClick({s->RowOfAddress(66)});
    EXPECT_EQ(s->Logs().summary,
              (QStringList{"БВ02 :", "* Формирование файла прекращено!  *",
                           "ФАЙЛ  ******** " + FileOf("cbv02.bin") +
                               " ОБНУЛЕН на этапе формирования секции 5 из-за превышения длины! "
                               "Следует уменьшить количество ключей на квартиру или количество "
                               "резервных ключей на квартиры подъезда. ",
                           "Не создано файлов: 1 из 1."}));
    EXPECT_FALSE(QFileInfo::exists(FileOf("cbv02.bin")));
    EXPECT_EQ(State("k_bv", 66), 4);
}

TEST_F(WriteScreen, RepeatedCodesInAGatesHouseSkipOnlyThatPanel) {
    Sql("UPDATE k_dom SET kvv_t = 1 WHERE id_dom = 2");
    ScriptedDialogs dialogs;
    dialogs.Expect(kRepeatedCodesCaption, kRepeatedCodes);
    auto s = NewScreen();
    const QList<int> panels{s->RowOfAddress(65), s->RowOfAddress(66), s->RowOfAddress(67),
                            s->RowOfAddress(68)};
    s->BitCreateClick(panels);
    // An entrance panel checks its entrances only; the gate checks the houses too.
    const QString gateSkipped = QStringLiteral(
        "Файл для БВ04 калитка НЕ СОЗДАН: двойные или непроверенные коды вызова в доме или "
        "подъезде.");
    EXPECT_EQ(s->Logs().summary,
              (QStringList{"БВ01 :", SavedLine("cbv01.bin"), "БВ02 :", SavedLine("cbv02.bin"),
                           "БВ03 :", SavedLine("cbv03.bin"), "БВ04 :", gateSkipped,
                           "Не создано файлов: 1 из 4."}));
    EXPECT_TRUE(s->Logs().result.contains(kRepeatedCodesLog));
    EXPECT_FALSE(QFileInfo::exists(FileOf("cbv04.bin")));

    // Repeated codes in an entrance skip every panel wired to it.
    Sql("UPDATE k_pod SET kvv_t = 3 WHERE id_pod = 1");
    dialogs.Expect(kRepeatedCodesCaption, kRepeatedCodes);
    dialogs.Expect(kRepeatedCodesCaption, kRepeatedCodes);
    s->BitCreateClick(panels);
    EXPECT_EQ(s->Logs().summary,
              (QStringList{"БВ01 :",
                           "Файл для БВ01 БВ подъезда НЕ СОЗДАН: двойные или непроверенные коды "
                           "вызова в доме или подъезде.",
                           "БВ02 :", SavedLine("cbv02.bin"), "БВ03 :", SavedLine("cbv03.bin"),
                           "БВ04 :", gateSkipped, "Не создано файлов: 2 из 4."}));
}

TEST_F(WriteScreen, AnotherConsoleAddressNamesTheConsoleByItAndMovesThePanels) {
    Sql("UPDATE t_global SET SepDevice = 60");
    Sql("UPDATE k_po SET n_net = 60");
    auto s = NewScreen();
    EXPECT_EQ(s->RowOfAddress(60), 3);
    EXPECT_EQ(s->RowOfAddress(65), 4);
    EXPECT_EQ(s->RowOfAddress(68), 7);
    s->BitCreateClick({s->RowOfAddress(60), s->RowOfAddress(65)});
    // A panel's file is numbered from address 64 whatever the console's address.
    EXPECT_EQ(ReadFile(FileOf("cbv01.bin")), PanelBytes(65));
    const QByteArray file = ReadFile(FileOf("cpo00.bin"));
    ASSERT_GE(file.size(), 14);
    EXPECT_EQ(file.left(14), Bytes({60, 0x64, 0x01, 0, 0, 0, 0, 0, 0x90, 0x56, 0x34, 0x12, 4, 0}));
    ConfigReadOutput out;
    QStringList messages, header;
    ASSERT_EQ(ReadConfigFile(FileOf("cpo00.bin"), out, &messages, &header, 60),
              ConfigReadStatus::Ok);
    EXPECT_EQ(out.deviceNumber, 60);
    EXPECT_EQ(messages.first(), "СПО  ");
    EXPECT_EQ(ConfigKindByDeviceNumber(out.deviceNumber, 50, 60), kKindConsole);
    EXPECT_EQ(State("k_po", 60), 1);
}

TEST_F(WriteScreen, APassWritesTheFilesAndLogsItAlwaysWrote) {
    Sql("UPDATE k_pk SET kf_pr = 3 WHERE n_net = 2");
    auto s = NewScreen();
    ASSERT_FALSE(s->BitCreateClick(AllRows(*s)).stopped);
    QStringList written;
    for (const QString& name : FilesInFolder())
        written << name + QLatin1Char(' ') + QString::fromLatin1(ReadFile(FileOf(name)).toHex());
    const ConfigLogs& logs = s->Logs();
    for (const QStringList* log : {&logs.detail, &logs.result, &logs.summary})
        for (const QString& line : *log)
            written << WithoutToday(QString(line).replace(Folder(), QStringLiteral("<папка>")));
    written << RowTexts(*s);
    ExpectRecordedRows("write_pass_files", written);
}

// A pass reads the object's entrances once for all its panels; each file is
// still the one the panel's own reads make, for every kind of link, and for
// an entrance whose house another object holds.
TEST_F(WriteScreen, EveryPanelFileOfAPassIsTheFileOfThePanelAlone) {
    Sql("UPDATE m_bv SET plus = 3 WHERE id_bv = 4 AND n_pk = 2");
    Sql("UPDATE m_bv SET plus = 2 WHERE id_bv = 4 AND n_pk = 3");
    Sql("INSERT INTO m_bv (id_net, n_bv, n_pk, bv_type, n_net, n_nt0, plus, id_bv, tract)"
        " VALUES (1, 'БВ.1', 2, 0, 65, 1, 2, 1, 1)");
    Sql("INSERT INTO k_net (id_net, ident) VALUES (2, 'Другой')");
    Sql("UPDATE k_dom SET id_net = 2 WHERE id_dom = 2");
    QList<QByteArray> alone;
    for (int a = 65; a <= 68; ++a) alone << PanelBytes(a);
    auto s = NewScreen();
    ASSERT_FALSE(s->BitCreateClick(AllRows(*s)).stopped);
    for (int a = 65; a <= 68; ++a) {
        EXPECT_FALSE(alone[a - 65].isEmpty()) << a;
        EXPECT_EQ(ReadFile(FileOf(QStringLiteral("cbv0%1.bin").arg(a - 64))), alone[a - 65]) << a;
    }
}

TEST(WriteScreenIdent, TheIdentifierIsAWholeNumberBroughtBelowTwentyFourBits) {
    EXPECT_EQ(IdNomFromText("16777216"), 1);
    EXPECT_EQ(IdNomFromText("33554431"), 1);
    EXPECT_EQ(IdNomFromText(" 16777215 "), 16777215);
    EXPECT_EQ(IdNomFromText("0012"), 12);
    EXPECT_EQ(IdNomFromText("999999999999999999"), 999999999999999999LL % 16777215);
    for (const char* bad : {"", "  ", "12.5", "-3", "1e5", "1234567890123456789"})
        EXPECT_EQ(IdNomFromText(QString::fromLatin1(bad)), std::nullopt) << bad;
    // The same as subtracting 16777215 while the value is above it.
    for (qint64 n : {0LL, 1LL, 16777214LL, 16777215LL, 16777216LL, 33554430LL, 33554431LL,
                     33554432LL, 50331645LL, 50331646LL, 123456789012LL}) {
        qint64 slow = n;
        while (slow > 16777215) slow -= 16777215;
        EXPECT_EQ(ReduceIdNom(n), slow) << n;
    }
}

TEST(WriteScreenFolder, TheFolderIsUnderTheDatabaseFolderOrTheDefaultOne) {
    EXPECT_EQ(WriteFolderFor("/base/db", 12), "/base/db/Data/FlWrite/Fl_12");
    EXPECT_EQ(WriteFolderFor("/base/db/", 12), "/base/db/Data/FlWrite/Fl_12");
    EXPECT_TRUE(WriteFolderFor("  ", 3).endsWith("/DB_ARM/Data/FlWrite/Fl_3"));
    QTemporaryDir dir;
    ConfigWriteScreen s{QSqlDatabase()};
    ASSERT_TRUE(s.BuildWriteFolder(dir.path(), 5));
    EXPECT_TRUE(QFileInfo(dir.path() + "/Data/FlWrite/Fl_5").isDir());
}

}  // namespace
}  // namespace
}  // namespace ConfigWriteScreenTestUnit
