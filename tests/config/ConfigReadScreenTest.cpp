#include "config/ConfigReadScreen.h"

#include "config/ConfigImage.h"
#include "config/TPkParams.h"
#include "support/ScriptedDialogs.h"

#include "ConfigFilesFixture.h"
#include "SectionBytes.h"

#include <gtest/gtest.h>

namespace ConfigReadScreenTestUnit {
namespace {

using namespace cfgtest;

namespace {

ConfigScreenSettings Settings() {
    return ConfigFilesFixture::ScreenSettings();
}

// A file of sections 0, 1, ... after a header for deviceNo, or after the bare
// date word 80 00 when deviceNo is negative.
QByteArray FileOf(int deviceNo, const QStringList& sections) {
    QByteArray file = deviceNo >= 0 ? BuildConfigHeaderBytes(deviceNo, 0, 63) : Bytes({0x80, 0});
    for (const QString& s : sections) file += BitStringToBytes(s);
    return file + Bytes({0xFF, 0xFF});
}

QString Section(int payloadBytes, int number) {
    QString payload = Zeros(payloadBytes * 8);
    return WrapSection(payload, number, 1, nullptr);
}

class ReadScreenTest : public ConfigFilesFixture {
  protected:
    ReadScreenResult Read(const QByteArray& bytes, bool raw = false, int previousKind = 0) {
        return ReadScreenFile(Write("c.bin", bytes), raw, previousKind, Settings());
    }
};

TEST_F(ReadScreenTest, ASwitchFileIsDecodedSectionBySection) {
    Sql("UPDATE k_pk SET n_vid = 2 WHERE n_net = 1");
    const ReadScreenResult r = Read(SwitchFile(1));
    EXPECT_EQ(r.status, ConfigReadStatus::Ok);
    EXPECT_EQ(r.kind, kKindSwitch);
    EXPECT_EQ(r.jDev, 1);
    EXPECT_EQ(r.steps, (QStringList{"Чтение файла " + Path("c.bin"), "Чтение файла закончено."}));
    const QStringList& d = r.detail;
    ASSERT_GE(d.size(), 8);
    EXPECT_EQ(d.mid(0, 8), (QStringList{"* * * * * * * * * * * * * * * * * * *", "Считывание... ",
                                        "", "СКМ01", "Файл создан в АРМ Kiro-2", Path("c.bin"),
                                        "Разбор CNF", "  Файл не изменен."}));
    EXPECT_EQ(d[8], "");  // a new kind after none
    EXPECT_EQ(d[9], "-------------------------- КМ    СЕКЦИЯ 0");
    EXPECT_TRUE(d.contains(" WAIT:= 66"));
    for (const char* heading :
         {"КМ    СЕКЦИЯ 2", "КМ    СЕКЦИЯ 3", "КМ    СЕКЦИЯ 4", "КМ    СЕКЦИЯ 6", "КМ    СЕКЦИЯ 7"})
        EXPECT_TRUE(d.contains("-------------------------- " + QString::fromUtf8(heading)))
            << heading;
    // Sections 0 and 2 to 6 report their length; the empty section 5 is not decoded.
    EXPECT_EQ(d.filter("Dlina:=").size(), 6);
    EXPECT_TRUE(d.contains("Dlina:=0"));
    EXPECT_FALSE(d.contains("-------------------------- КМ    СЕКЦИЯ 5"));
    // The same kind again: no separating line.
    EXPECT_NE(Read(SwitchFile(1), false, kKindSwitch).detail[8], "");
}

TEST_F(ReadScreenTest, TheHeaderNumberDecidesWhateverSectionZeroLooksLike) {
    // Switch 5 with a section 0 three bytes longer than any kind's.
    PkParamValues values;
    values.MKm0 = Zeros(24);
    const QString odd = EncodePkParams(values, nullptr);
    const ReadScreenResult r = Read(FileOf(5, {odd, Section(14, 1)}));
    EXPECT_EQ(r.kind, kKindSwitch);
    EXPECT_EQ(r.jDev, 5);
    EXPECT_TRUE(r.detail.contains("Dlina:=" + QString::number((21 + 3 + 1) * 8)));
    EXPECT_FALSE(r.steps.contains("Данный файл создан в c другой ДБ."));
}

TEST_F(ReadScreenTest, WithoutAHeaderTheLengthOfSectionZeroDecides) {
    const ReadScreenResult panel = Read(FileOf(-1, {Section(28, 0)}));
    EXPECT_EQ(panel.jDev, -1);
    EXPECT_EQ(panel.kind, kKindCallPanel);
    // No section 1 at all: the file names no database.
    EXPECT_TRUE(panel.steps.contains("Данный файл создан в c другой ДБ."));
    EXPECT_EQ(Read(FileOf(-1, {Section(21, 0)})).kind, kKindSwitch);
    EXPECT_EQ(Read(FileOf(-1, {Section(135, 0)})).kind, kKindConsole);
}

TEST_F(ReadScreenTest, AnUnknownKindIsDumpedByteByByte) {
    ScriptedDialogs dialogs;
    dialogs.Expect("Ошибка", "Неопределенный формат файла.");
    const ReadScreenResult r = Read(FileOf(55, {Section(2, 0), Section(1, 1)}));
    EXPECT_EQ(r.kind, kKindUnknown);
    // Section 0 was taken before the kind was known; section 1 and the end mark remain.
    const QStringList dump = r.detail.filter(QRegularExpression("^bt"));
    ASSERT_EQ(dump.size(), 4 + 2);
    EXPECT_EQ(dump[0], "bt00000001:  00000010 - $02");
    EXPECT_EQ(dump[2], "bt00000003:  00000001 - $01");
    EXPECT_EQ(dump[5], "bt00000006:  11111111 - $FF");
}

TEST_F(ReadScreenTest, AnEmptyFileHasNoDateWordAndNoKind) {
    ScriptedDialogs dialogs;
    dialogs.Expect("Ошибка", "Неопределенный формат файла.");
    const ReadScreenResult r = Read(QByteArray());
    EXPECT_EQ(r.status, ConfigReadStatus::Ok);
    EXPECT_EQ(r.kind, kKindUnknown);
    EXPECT_TRUE(r.detail.contains("Не хватает длины заголовка."));
    EXPECT_TRUE(r.detail.filter(QRegularExpression("^bt")).isEmpty());
}

TEST_F(ReadScreenTest, AMissingSectionEndsTheWalk) {
    // Section 2's length word asks for more than the file holds.
    QByteArray file = FileOf(1, {Section(21, 0), Section(14, 1)});
    file.chop(2);
    file += Bytes({0x40, 0x00, 0x01});
    const ReadScreenResult r = Read(file);
    EXPECT_EQ(r.kind, kKindSwitch);
    EXPECT_EQ(r.detail.filter("Dlina:=").size(), 6);
    EXPECT_EQ(r.detail.filter("Dlina:=0").size(), 5);
    EXPECT_FALSE(r.detail.contains("-------------------------- КМ    СЕКЦИЯ 2"));
}

TEST_F(ReadScreenTest, TheConsoleFileIsDecodedWithItsAnnouncedApartments) {
    const ReadScreenResult r = Read(ConsoleFile());
    EXPECT_EQ(r.kind, kKindConsole);
    const QStringList& d = r.detail;
    for (const char* heading :
         {"ПО    СЕКЦИЯ 0", "ПО    СЕКЦИЯ 2", "БВ,ПО СЕКЦИЯ 3", "БВ,ПО СЕКЦИЯ 4", "ПО    СЕКЦИЯ 6"})
        EXPECT_TRUE(d.contains("-------------------------- " + QString::fromUtf8(heading)))
            << heading;
    EXPECT_TRUE(d.contains("Количество трубок:= 123"));
    EXPECT_TRUE(d.contains("маска для 123 квартир."));
    EXPECT_EQ(d.filter("Dlina:=").size(), 6);
    // The console's section 1 is taken without being looked at.
    EXPECT_FALSE(r.steps.contains("Данный файл создан в c другой ДБ."));
}

TEST_F(ReadScreenTest, AConsoleFileNumberedByAnotherSepDeviceIsTheConsole) {
    Sql("UPDATE t_global SET SepDevice = 60");
    Sql("UPDATE k_po SET n_net = 60");
    ConfigScreenSettings s = Settings();
    s.sepDevice = 60;
    const ReadScreenResult r = ReadScreenFile(Write("cpo00.bin", ConsoleFile()), false, 0, s);
    EXPECT_EQ(r.kind, kKindConsole);
    EXPECT_TRUE(r.detail.contains("-------------------------- ПО    СЕКЦИЯ 2"));
}

TEST_F(ReadScreenTest, ACallPanelFileIsDecodedWithItsAnnouncedApartments) {
    const ReadScreenResult r = Read(PanelFile(68));
    EXPECT_EQ(r.kind, kKindCallPanel);
    EXPECT_EQ(r.jDev, 68);
    const QStringList& d = r.detail;
    for (const char* heading :
         {"БВ    СЕКЦИЯ 2", "БВ,ПО СЕКЦИЯ 3", "БВ,ПО СЕКЦИЯ 4", "БВ    СЕКЦИЯ 5", "БВ    СЕКЦИЯ 7"})
        EXPECT_TRUE(d.contains("-------------------------- " + QString::fromUtf8(heading)))
            << heading;
    EXPECT_TRUE(d.contains("Количество трубок:= 123"));
    EXPECT_FALSE(r.steps.contains("Данный файл создан в c другой ДБ."));
}

TEST_F(ReadScreenTest, TheRawDumpShowsEveryByteInBlocksOf32) {
    QByteArray bytes(33, '\0');
    bytes[0] = char(0x85);
    bytes[32] = char(0xFF);
    const ReadScreenResult r = Read(bytes, true);
    EXPECT_EQ(r.steps, (QStringList{"Чтение файла " + Path("c.bin"),
                                    "Чтение файла без анализа закончено."}));
    ASSERT_EQ(r.detail.size(), 34);
    EXPECT_EQ(r.detail[0], "bt00000000 $00000$00:  10000101 - $85");
    EXPECT_EQ(r.detail[1], "bt00000001 $00000$01:  00000000 - $00");
    EXPECT_EQ(r.detail[32], "- - - - - - - - - -00000001");
    EXPECT_EQ(r.detail[33], "bt00000032 $00000$20:  11111111 - $FF");
}

TEST_F(ReadScreenTest, FilesThatCannotBeReadAreToldAndShowNothing) {
    ScriptedDialogs dialogs;
    dialogs.Expect("Ошибка", "Не удалось открыть файл " + Path("none.bin"));
    const ReadScreenResult r = ReadScreenFile(Path("none.bin"), false, kKindConsole, Settings());
    EXPECT_EQ(r.status, ConfigReadStatus::OpenFailed);
    EXPECT_EQ(r.kind, kKindConsole);  // the screen keeps what it showed
    dialogs.VerifyDone();

    // The decoding read gives up at 32768 bytes; the raw dump stops there too.
    const QByteArray huge(40000, '\0');
    const ReadScreenResult big = Read(huge);
    EXPECT_EQ(big.status, ConfigReadStatus::TooLarge);
    ASSERT_FALSE(big.steps.isEmpty());
    EXPECT_EQ(big.steps.last(), "Превышение допустимой длины КФ.");
    const ReadScreenResult raw = Read(huge, true);
    ASSERT_FALSE(raw.steps.isEmpty());
    EXPECT_EQ(raw.steps.last(), "Превышение допустимой длины КФ.");
    EXPECT_EQ(raw.detail.filter(QRegularExpression("^bt")).size(), 32768);
}

TEST(ReadScreenKindTest, ByNumberOrByLength) {
    const ConfigScreenSettings s = Settings();
    EXPECT_EQ(ReadScreenKind(5, 9999, s), kKindSwitch);
    EXPECT_EQ(ReadScreenKind(49, 0, s), kKindSwitch);
    EXPECT_EQ(ReadScreenKind(50, 176, s), kKindUnknown);
    EXPECT_EQ(ReadScreenKind(62, 176, s), kKindUnknown);
    EXPECT_EQ(ReadScreenKind(63, 0, s), kKindConsole);
    EXPECT_EQ(ReadScreenKind(64, 0, s), kKindCallPanel);
    EXPECT_EQ(ReadScreenKind(-1, 232, s), kKindCallPanel);
    EXPECT_EQ(ReadScreenKind(-1, 240, s), kKindUnknown);
}

}  // namespace
}  // namespace
}  // namespace ConfigReadScreenTestUnit
