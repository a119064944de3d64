// The editor's round trip on the files the tests make and on the kept seed
// files, and files whose section 2 announces more apartments than section 3
// holds codes: they open with a warning and are saved consistent.

#include "config/CallCodeSection.h"
#include "config/ConfigEditorFile.h"
#include "config/ConsoleSections.h"
#include "support/EditorRoundTrip.h"
#include "support/ScriptedDialogs.h"

#include "ConfigFilesFixture.h"
#include "SectionBytes.h"

#include <QFile>

#include <algorithm>

#include <gtest/gtest.h>

namespace EditorRoundTripTestUnit {
namespace {

using namespace cfgtest;

namespace {

ConfigScreenSettings Settings() {
    return ConfigFilesFixture::ScreenSettings();
}

// Section 3 cut to its first `keep` codes, packed as the file had them.
QString ShortCodeSection(const QString& section3, int announced, int keep) {
    const CallCodeUnpack u = UnpackCallCodes(announced, Taken(section3));
    CallCodePack pack;
    EXPECT_TRUE(PackCallCodes(u.packed, kCallCodesPanel, u.records.mid(0, keep),
                              u.incrementChar.toInt(), pack));
    return WrapSection(pack.payload, 3, 1, nullptr);
}

QStringList Codes(const QList<CallCodeRecord>& records) {
    QStringList codes;
    for (const CallCodeRecord& r : records) codes << r.code;
    return codes;
}

class EditorRoundTripTest : public ConfigFilesFixture {
  protected:
    // Every file of the fixture object the write screen builds.
    QList<std::pair<QString, QByteArray>> FixtureFiles() {
        QList<std::pair<QString, QByteArray>> files;
        for (int n = 1; n <= kEntrances; ++n) files << std::pair{"switch " + num(n), SwitchFile(n)};
        for (int nNet = 65; nNet <= 68; ++nNet)
            files << std::pair{"panel " + num(nNet), PanelFile(nNet)};
        files << std::pair{QStringLiteral("console"), ConsoleFile()};
        return files;
    }

    static QString num(int n) { return QString::number(n); }

    EditorFile Load(const QByteArray& bytes) {
        return LoadEditorFile(Write(QStringLiteral("c.bin"), bytes), Settings());
    }

    // Opens the file, saves it and opens the saved file: the round trip. A
    // file in the editor's own forms (those of the write screen) the first
    // save writes as it was (a panel's section 5 ending with its last
    // apartment that has slots).
    void ExpectRoundTrip(const QString& what, const QByteArray& file, bool savedAsItWas) {
        SCOPED_TRACE(what.toStdString());
        ASSERT_FALSE(file.isEmpty());
        const EditorRoundTrip rt = RunEditorRoundTrip(file, Settings(), kIdNom);
        EXPECT_TRUE(rt.opened.Parsed());
        EXPECT_EQ(rt.opened.warnings, QStringList());
        EXPECT_EQ(rt.broken, QString());
        EXPECT_EQ(rt.saved.status, EditorSaveStatus::Saved);
        if (!savedAsItWas) return;
        if (rt.opened.kind == kKindCallPanel)
            ExpectPanelSavedUnchanged(rt.saved.bytes, file);
        else
            EXPECT_EQ(rt.saved.bytes, file);
    }

    // A file that opens with a warning holding warningPart and whose save is
    // refused with a message holding dialogPart (none told when empty), the
    // file left as it was.
    void ExpectToldAndRefused(const EditorFile& f, const QString& warningPart,
                              const QString& dialogPart, EditorSaveStatus status) {
        EXPECT_TRUE(std::any_of(f.warnings.cbegin(), f.warnings.cend(), [&](const QString& w) {
            return w.contains(warningPart);
        })) << f.warnings.join('\n').toStdString();
        const QByteArray before = Read(f.fileName);
        ScriptedDialogs dialogs;
        if (!dialogPart.isEmpty()) dialogs.ExpectContaining("Ошибка", dialogPart);
        EXPECT_EQ(SaveEditorFile(f, kIdNom, Settings()).status, status);
        EXPECT_EQ(Read(f.fileName), before);
    }

    // Switch 1's file with melodies of so many notes in section 4, call first.
    QByteArray SwitchWithMelodies(int callNotes, int ringBackNotes) {
        FileParts p = Split(SwitchFile(1));
        p.sections[4] = MelodySection(callNotes, ringBackNotes);
        return Join(p);
    }

    // The panel of gate 68 (123 apartments in three entrances) and the
    // console (123 as well), each with section 3 made by damage.
    struct Damaged {
        QString what;
        QByteArray file;
        int codesLeft;
    };
    QList<Damaged> DamagedFiles(const QByteArray& file, int announced) {
        const FileParts p = Split(file);
        FileParts shortCodes = p, empty = p, missing = p;
        shortCodes.sections[3] = ShortCodeSection(p.sections[3], announced, 100);
        empty.sections[3] = Zeros(16);
        missing.sections = p.sections.mid(0, 3);
        return {{QStringLiteral("short"), Join(shortCodes), 100},
                {QStringLiteral("empty"), Join(empty), 0},
                {QStringLiteral("missing"), Join(missing), 0}};
    }

    // A damaged file opens with the warning, saves consistent (telling what
    // the save added when the records did not reach section 2's count), and
    // the saved file opens clean with the first codes of the original.
    void ExpectSavedConsistent(const Damaged& d, const QStringList& originalCodes) {
        SCOPED_TRACE(d.what.toStdString());
        const QString name = QStringLiteral("damaged_") + d.what + QStringLiteral(".bin");
        const EditorFile opened = LoadEditorFile(Write(name, d.file), Settings());
        ASSERT_TRUE(opened.Parsed());
        const QString warning =
            QStringLiteral("Секция 2 объявляет 123 квартир, а в секции 3 ") +
            QStringLiteral("кодов вызова ") + num(d.codesLeft) +
            (d.codesLeft ? QStringLiteral(": коды вызова остальных квартир пусты.")
                         : QStringLiteral(": коды вызова всех квартир пусты."));
        EXPECT_TRUE(opened.warnings.contains(warning)) << opened.warnings.join('\n').toStdString();
        ScriptedDialogs dialogs;
        // A short section 3 opens as many records as section 2 announces, the
        // missing ones empty; an empty or missing one opens none.
        if (d.codesLeft == 0)
            dialogs.Expect("ВНИМАНИЕ",
                           "Секция 2 объявляет 123 квартир, а кодов вызова 0: недостающие коды "
                           "вызова (123) записаны в файл пустыми.");
        const EditorSaveResult saved = SaveEditorFile(opened, kIdNom, Settings());
        ASSERT_EQ(saved.status, EditorSaveStatus::Saved) << saved.error.toStdString();
        dialogs.VerifyDone();
        const EditorFile reopened = LoadEditorFile(opened.fileName, Settings());
        EXPECT_EQ(reopened.warnings, QStringList());
        const QList<CallCodeRecord>& records =
            reopened.kind == kKindConsole ? reopened.po.records : reopened.bv.records;
        ASSERT_EQ(records.size(), 123);
        QStringList expected = originalCodes.mid(0, d.codesLeft);
        while (expected.size() < 123) expected << QString();
        EXPECT_EQ(Codes(records), expected);
        EXPECT_EQ(RunEditorRoundTrip(saved.bytes, Settings(), kIdNom).broken, QString());
    }
};

TEST_F(EditorRoundTripTest, EveryFileTheFixturesMakeOpensCleanAndRoundTrips) {
    for (const auto& [what, file] : FixtureFiles()) ExpectRoundTrip(what, file, true);

    // The options the other tests set: packed codes with the increment,
    // call-back, video and blocking marks, day/night times, open codes.
    Sql("UPDATE k_net SET farc = 1, incr = 1");
    Sql("UPDATE k_bv SET farc = 1, adrpk = ?, adrcs = 3, ocode0 = '0123', auto = 1", {IdPk(1)});
    Sql("UPDATE k_pk SET n_vid = 3, rsrv = 2 WHERE n_net = 1");
    Sql("UPDATE k_kvr SET m_obr = 1, l_vid = 1, call = 1, l_otz = 1 WHERE p_nom IN (2, 5)");
    Sql("UPDATE k_kvr SET m_blk = 1, mtdy = 420, mtnt = 1380 WHERE id_pod = 2 AND p_nom = 7");
    for (const auto& [what, file] : FixtureFiles()) ExpectRoundTrip(what + " packed", file, true);

    // A file read from a device carries another producer mark, which a save
    // writes as the workstation's own; a file without a header gets one.
    QByteArray fromDevice = PanelFile(66);
    fromDevice[27] = char(0xC3);
    ExpectRoundTrip(QStringLiteral("read from a device"), fromDevice, false);
    ExpectRoundTrip(QStringLiteral("without a header"), SwitchFile(2).mid(29), false);
}

TEST_F(EditorRoundTripTest, TheKeptSeedFilesRoundTrip) {
    const std::pair<const char*, int> seeds[] = {{"ckm05.bin", kKindSwitch},
                                                 {"dated.bin", kKindSwitch},
                                                 {"earlier.bin", kKindSwitch},
                                                 {"cbv03.bin", kKindCallPanel},
                                                 {"cpo00.bin", kKindConsole},
                                                 {"fixture_ckm01.bin", kKindSwitch},
                                                 {"fixture_cbv65_packed.bin", kKindCallPanel},
                                                 {"fixture_cbv68.bin", kKindCallPanel},
                                                 {"fixture_cpo00_packed.bin", kKindConsole}};
    for (const auto& [name, kind] : seeds) {
        QFile f(QStringLiteral(ARM_FUZZ_SEEDS_DIR "/config_reader/") + QLatin1String(name));
        ASSERT_TRUE(f.open(QIODevice::ReadOnly)) << name;
        const QByteArray file = f.readAll();
        ExpectRoundTrip(QLatin1String(name), file, false);
        EXPECT_EQ(RunEditorRoundTrip(file, Settings(), kIdNom).opened.kind, kind) << name;
    }
}

// A file another writer made: whatever a field the editor shows as text
// holds, a save that did not edit it writes the file's bytes back, though its
// text would encode to others (a byte the slide shows as a mark, a code whose
// digits give another value) or take a default (a blank slide).
TEST_F(EditorRoundTripTest, TextFieldsNobodyEditedKeepTheFileBytes) {
    const QByteArray console = ConsoleFile(), panel = PanelFile(68);
    const struct {
        const char* what;
        QByteArray file;
        bool editorsForms;  // the file is in the forms the editor writes
    } files[] = {
        {"sus1 with 0x98, which has no character", WithSlide(console, 2, Hex("41 42 98 43 44")),
         true},
        {"sus1 with control bytes", WithSlide(console, 2, Hex("41 01 1B 42 7F 43")), true},
        {"sus1 with a NUL inside", WithSlide(console, 2, Hex("41 42 00 43 44")), true},
        {"sobj1 with a line break", WithSlide(console, 0, Hex("41 42 0A 43 44")), true},
        {"sobj2 all NULs", WithSlide(console, 1, QByteArray(16, '\0')), true},
        {"sus4 all blanks", WithSlide(console, 5, ""), true},
        {"sus3 behind blanks", WithSlide(console, 4, Hex("20 20 20 CE EF")), true},
        {"a door-open code of 0", WithOpenCode(panel, 0, 0), true},
        {"a door-open code of 123456", WithOpenCode(panel, 4, 123456), true},
        {"a door-open code of 111112", WithOpenCode(panel, 5, 111112), true},
        {"a door-open code of 17 ones", WithOpenCode(panel, 9, 131071), true},
        {"a panel's call code of 0", WithCallCode(panel, 1, 0, false), true},
        {"a panel's call code of 123456", WithCallCode(panel, 2, 123456, false), true},
        {"the console's call code of 131070", WithCallCode(console, 0, 131070, false), true},
        {"a packed call code of 123456", WithCallCode(console, 5, 123456, true), false},
    };
    for (const auto& f : files) ExpectRoundTrip(QLatin1String(f.what), f.file, f.editorsForms);
}

TEST_F(EditorRoundTripTest, APanelWithTooFewCodesOpensWithAWarningAndSavesConsistent) {
    const QByteArray file = PanelFile(68);
    const QStringList codes = Codes(Load(file).bv.records);
    ASSERT_EQ(codes.size(), 123);
    for (const Damaged& d : DamagedFiles(file, 123)) ExpectSavedConsistent(d, codes);
}

TEST_F(EditorRoundTripTest, AConsoleWithTooFewCodesOpensWithAWarningAndSavesConsistent) {
    Sql("UPDATE k_net SET farc = 1");  // the console's codes packed
    const QByteArray file = ConsoleFile();
    const QStringList codes = Codes(Load(file).po.records);
    ASSERT_EQ(codes.size(), 123);
    for (const Damaged& d : DamagedFiles(file, 123)) ExpectSavedConsistent(d, codes);
}

TEST_F(EditorRoundTripTest, AConsoleWhoseHandsetSectionEndsEarlyOpensWithAWarning) {
    FileParts p = Split(ConsoleFile());
    QByteArray handsets = Payload(p.sections[6]);
    ASSERT_EQ(quint8(handsets[0]), 3);  // one console handset per entrance
    handsets[0] = char(5);
    p.sections[6] = SectionOf(handsets);
    const EditorFile f = Load(Join(p));
    EXPECT_EQ(f.po.handsets.entries.size(), 5);
    ExpectToldAndRefused(f,
                         "Секция 6 объявляет 5 трубок ППО, а содержит 3: остальные пусты, перед "
                         "сохранением их нужно заполнить.",
                         "Трубка ППО 4: нужен сетевой № КМ 0..63", EditorSaveStatus::Refused);
}

TEST_F(EditorRoundTripTest, WhatTheSaveRefusesIsToldWhenTheFileOpens) {
    Sql("UPDATE k_kvr SET mtdy = 1740, mtnt = 1380 WHERE id_pod = 2 AND p_nom = 3");
    FileParts wide = Split(SwitchFile(1));
    wide.sections[3] = SectionOf(QByteArray(17500, '\x55'));  // the call-back mask
    const struct {
        const char* what;
        QByteArray file;
        QString warning, dialog;
        EditorSaveStatus status;
    } refused[] = {
        {"a time past the end of a day", ConsoleFile(),
         "Файл нельзя сохранить, пока не исправлено: Неверное значение \"29:00\" в таблице "
         "\"Коды вызова, подъезд КМ 2\" (столбец 3, строка 3). Нужно время чч:мм.",
         "Неверное значение \"29:00\"", EditorSaveStatus::BadCell},
        {"a call melody of 255 notes", SwitchWithMelodies(255, 2),
         "Файл нельзя сохранить, пока не исправлено: Мелодия вызова: больше 254 нот.",
         "Мелодия вызова: больше 254 нот.", EditorSaveStatus::BadCell},
        {"a ring-back melody of 255 notes", SwitchWithMelodies(2, 255),
         "Файл нельзя сохранить, пока не исправлено: Мелодия отзвонки: больше 254 нот.",
         "Мелодия отзвонки: больше 254 нот.", EditorSaveStatus::BadCell},
        {"sections past the size limit", Join(wide),
         "Файл нельзя сохранить, пока не исправлено: Размер файла превышает допустимый на ", "",
         EditorSaveStatus::TooLarge},
    };
    for (const auto& r : refused) {
        SCOPED_TRACE(r.what);
        ExpectToldAndRefused(Load(r.file), r.warning, r.dialog, r.status);
    }
    // The longest melodies a file holds open without a word and save as they were.
    ExpectRoundTrip(QStringLiteral("254 notes each"), SwitchWithMelodies(254, 254), true);
}

TEST_F(EditorRoundTripTest, CodesPastTheLastEntranceAreLeftOutAndSaid) {
    EditorFile f = Load(PanelFile(68));
    // The operator makes the last entrance one apartment shorter.
    BvEntranceColumn& last = f.bv.entrances.columns[3];
    ASSERT_EQ(last.count, "41");
    last.count = QStringLiteral("40");
    ScriptedDialogs dialogs;
    dialogs.Expect("ВНИМАНИЕ",
                   "Секция 2 объявляет 122 квартир, а кодов вызова 123: лишние коды вызова (1) "
                   "не относятся ни к одному подъезду и в файл не записаны.");
    const EditorSaveResult r = SaveEditorFile(f, kIdNom, Settings());
    EXPECT_EQ(r.status, EditorSaveStatus::Saved);
    EXPECT_TRUE(r.memo4.contains(dialogs.Shown().value(0).section('|', 1)));
    const EditorFile reopened = LoadEditorFile(f.fileName, Settings());
    EXPECT_EQ(reopened.warnings, QStringList());
    EXPECT_EQ(Codes(reopened.bv.records), Codes(f.bv.records).mid(0, 122));
}

TEST_F(EditorRoundTripTest, MoreApartmentsThanAFileHoldsCodesAreNotSaved) {
    const QByteArray file = ConsoleFileWithDamagedCounts();
    const EditorFile f = Load(file);
    EXPECT_TRUE(f.warnings.contains(
        "Файл нельзя сохранить, пока не исправлено: Секция 2 объявляет 196605 квартир, а кодов "
        "вызова " +
        num(int(f.po.records.size())) + ": коды стольких квартир не поместятся в файл."));
    ScriptedDialogs dialogs;
    dialogs.ExpectContaining("Ошибка",
                             "Секция 2 объявляет 196605 квартир, а кодов вызова " +
                                 num(int(f.po.records.size())) +
                                 ": коды стольких квартир не поместятся в файл. Файл не сохранен.");
    const EditorSaveResult r = SaveEditorFile(f, kIdNom, Settings());
    EXPECT_EQ(r.status, EditorSaveStatus::TooLarge);
    EXPECT_EQ(Read(f.fileName), file);
}

}  // namespace
}  // namespace
}  // namespace EditorRoundTripTestUnit
