#include "config/ConfigFileReader.h"
#include "config/ConfigHeader.h"
#include "foundation/BitAndStr.h"
#include "support/QtPrinters.h"
#include "support/ScriptedDialogs.h"
#include "support/TempProgramDir.h"

#include <gtest/gtest.h>

namespace ConfigFileReaderTestUnit {

namespace {

const QString kTooLarge = "Файл слишком велик для конфигурационного файла.";

// A file as the workstation writes it: header, section 0, section 1, end mark.
QByteArray WorkstationFile(int deviceNo, const QString& section0Payload = "10110") {
    QString payload = section0Payload;
    ConfigIdent id{deviceNo, 0, 12, 34, 56};
    const QStringList sections = {WrapSection(payload, 0, 1, nullptr),
                                  EncodeIdentSection(kKindSwitch, id, QString(), nullptr, nullptr)};
    return ConfigFileBytes(BuildConfigHeader(deviceNo, 56, 63), sections);
}

class ConfigFileReaderTest : public ::testing::Test {
  protected:
    QString Write(const QByteArray& bytes, const QString& name = "Data/FlWrite/ckm05.bin") {
        dir.writeFile(name, bytes);
        return dir.file(name);
    }
    ConfigReadStatus Read(const QByteArray& bytes) {
        messages.clear();
        header.clear();
        return ReadConfigFile(Write(bytes), out, &messages, &header, 63);
    }

    TempProgramDir dir;
    ConfigReadOutput out;
    QStringList messages, header;
};

TEST_F(ConfigFileReaderTest, WorkstationFileOfASwitch) {
    ASSERT_EQ(Read(WorkstationFile(5)), ConfigReadStatus::Ok);
    EXPECT_EQ(out.deviceNumber, 5);
    EXPECT_EQ(out.deviceByte, "00000101");
    EXPECT_EQ(messages, (QStringList{DeviceAddrName(5, 63), "Файл создан в АРМ Kiro-2"}));
    ASSERT_EQ(header.size(), 29);
    EXPECT_EQ(header.mid(0, 2), (QStringList{"05", "0F"}));
    EXPECT_EQ(header.mid(20), (QStringList{"80", "00", "00", "00", "00", "00", "00", "FF", "FF"}));
    // Date word 00 (first) and 80 (last) ends the image; then section 0, section 1.
    EXPECT_EQ(out.image.right(16), "0000000010000000");

    QString text;
    EXPECT_EQ(CheckConfigTrailer(out.image, text), kTrailerUnchanged);
    QString s0, s1;
    EXPECT_EQ(TakeSection(out.image, s0), 16);
    EXPECT_EQ(s0, "00010110" + BitField(1, 8));
    EXPECT_EQ(TakeSection(out.image, s1), 120);
    EXPECT_EQ(DecodeIdentSection(s1).recordId, 34);
    EXPECT_EQ(out.image, ConfigEndMark());
}

TEST_F(ConfigFileReaderTest, ProducerMarks) {
    QByteArray file = WorkstationFile(0x85);
    ASSERT_EQ(Read(file), ConfigReadStatus::Ok);
    EXPECT_EQ(out.deviceNumber, 5);  // top bit dropped
    EXPECT_EQ(out.deviceByte, "10000101");

    file[27] = char(0xC3);  // a file read from a device
    ASSERT_EQ(Read(file), ConfigReadStatus::Ok);
    ASSERT_FALSE(messages.isEmpty());
    EXPECT_EQ(messages.last(), "Файл считан с устройства в АРМ Kiro-2");

    file[27] = 0x11;  // unknown producer: the device name alone
    ASSERT_EQ(Read(file), ConfigReadStatus::Ok);
    EXPECT_EQ(messages, QStringList{DeviceAddrName(5, 63)});

    file[20] = char(0x80);  // either mark byte will do
    file[21] = 0;
    file[29] = char(0xFF);
    file[30] = char(0xFF);
    ASSERT_EQ(Read(file), ConfigReadStatus::Ok);
    EXPECT_EQ(messages.last(), "Файл создан в АРМ Kiro-1");

    // Without the 0x80 mark, bytes 28 and 29 both FF are an earlier workstation's file.
    QByteArray earlier(40, '\0');
    earlier[0] = 7;
    earlier[28] = char(0xFF);
    earlier[29] = char(0xFF);
    earlier[39] = 0x42;
    ASSERT_EQ(Read(earlier), ConfigReadStatus::Ok);
    EXPECT_EQ(messages, QStringList{"Файл создан в АРМ Kiro-1"});
    EXPECT_EQ(out.deviceNumber, 7);
    EXPECT_EQ(header.size(), 29);
    EXPECT_EQ(out.image.size(), (40 - 29) * 8);
    EXPECT_EQ(out.image.left(8), "01000010");  // the last byte stands first
}

TEST_F(ConfigFileReaderTest, FilesWithoutHeaderAreReadWhole) {
    const QByteArray plain("\x03\x00\x01\x02\x01\xFF\xFF", 7);
    ASSERT_EQ(Read(plain), ConfigReadStatus::Ok);
    EXPECT_EQ(out.deviceNumber, -1);
    EXPECT_EQ(out.deviceByte, "00000011");
    EXPECT_TRUE(messages.isEmpty());
    EXPECT_EQ(header, QStringList{"03"});
    EXPECT_EQ(out.image, ImageFromBytes(plain));

    ASSERT_EQ(Read(QByteArray()), ConfigReadStatus::Ok);
    EXPECT_EQ(out.image, "");
    EXPECT_EQ(out.deviceByte, "00000000");
    EXPECT_EQ(header, QStringList{"00"});
}

TEST_F(ConfigFileReaderTest, SizeLimitAndClearedOutputs) {
    QByteArray big = WorkstationFile(5);
    big.append(QByteArray(kConfigFileSizeLimit - 1 - big.size(), '\0'));
    ASSERT_EQ(big.size(), 18431);
    ASSERT_EQ(Read(big), ConfigReadStatus::Ok);
    EXPECT_EQ(out.image.size(), (18431 - 29) * 8);
    EXPECT_EQ(out.deviceNumber, 5);

    // The refusal must not leave the previous file's image for the caller to parse.
    big.append('\0');
    ScriptedDialogs dialogs;
    dialogs.Expect("Отказ", kTooLarge);
    EXPECT_EQ(Read(big), ConfigReadStatus::TooLarge);
    EXPECT_TRUE(out.image.isEmpty());
    EXPECT_TRUE(out.deviceByte.isEmpty());
    EXPECT_EQ(out.deviceNumber, -1);
    EXPECT_TRUE(messages.isEmpty());
    EXPECT_TRUE(header.isEmpty());

    dialogs.Expect("Отказ", kTooLarge);
    EXPECT_EQ(ReadConfigBytes(big, out, nullptr, nullptr, 63), ConfigReadStatus::TooLarge);
}

TEST_F(ConfigFileReaderTest, MissingFileIsReportedAndClears) {
    ASSERT_EQ(Read(WorkstationFile(5)), ConfigReadStatus::Ok);
    const QString missing = dir.file("Data/none.bin");
    EXPECT_EQ(ReadConfigFile(missing, out, &messages, &header, 63), ConfigReadStatus::OpenFailed);
    EXPECT_TRUE(out.image.isEmpty());
    EXPECT_EQ(out.deviceNumber, -1);
    EXPECT_EQ(ConfigReadErrorText(ConfigReadStatus::OpenFailed, missing),
              "Не удалось открыть файл " + missing);
}

class ScreenReaderTest : public ConfigFileReaderTest {
  protected:
    ConfigReadStatus ReadScreen(const QByteArray& bytes) {
        detail.clear();
        steps.clear();
        path = Write(bytes, "Data/FlRead/f.bin");
        return ReadConfigForScreen(path, screen, &detail, &steps, 63);
    }
    QString path;
    ScreenReadOutput screen;
    QStringList detail, steps;
};

TEST_F(ScreenReaderTest, WorkstationFileIsReadyForTheWalk) {
    ASSERT_EQ(ReadScreen(WorkstationFile(5)), ConfigReadStatus::Ok);
    EXPECT_EQ(screen.jDev, 5);
    EXPECT_EQ(screen.trailerResult, kTrailerUnchanged);
    EXPECT_EQ(steps, QStringList{"Чтение файла " + path});
    EXPECT_EQ(detail, (QStringList{"* * * * * * * * * * * * * * * * * * *", "Считывание... ", "",
                                   DeviceAddrName(5, 63), "Файл создан в АРМ Kiro-2", path,
                                   "Разбор CNF", "  Файл не изменен."}));
    const QList<ConfigSection> sections = TakeAllSections(screen.image);
    ASSERT_EQ(sections.size(), 2);
    EXPECT_EQ(DecodeIdentSection(sections[1].text).idNom, 56);
}

TEST_F(ScreenReaderTest, ItsOwnProducerRules) {
    QByteArray file = WorkstationFile(70);
    file[27] = char(0xC3);
    ASSERT_EQ(ReadScreen(file), ConfigReadStatus::Ok);
    EXPECT_EQ(detail.at(4), "Файл создан и считан с устройства в АРМ Kiro-2");

    file[29] = char(0xFF);  // byte 29 alone means the earlier workstation here
    ASSERT_EQ(ReadScreen(file), ConfigReadStatus::Ok);
    EXPECT_EQ(detail.at(4), "Файл создан в АРМ Kiro-1");

    // The earlier header without the 0x80 mark is read without a producer line.
    QByteArray earlier(40, '\0');
    earlier[0] = 7;
    earlier[28] = char(0xFF);
    earlier[29] = char(0xFF);
    ASSERT_EQ(ReadScreen(earlier), ConfigReadStatus::Ok);
    EXPECT_EQ(screen.jDev, 7);
    EXPECT_EQ(detail.at(3), path);

    ASSERT_EQ(ReadScreen(QByteArray()), ConfigReadStatus::Ok);
    EXPECT_EQ(screen.jDev, -1);
    EXPECT_EQ(screen.trailerResult, kTrailerTooShort);
    ASSERT_FALSE(detail.isEmpty());
    EXPECT_EQ(detail.last(), "Не хватает длины заголовка.");
}

TEST_F(ScreenReaderTest, StopsAtItsReadLimit) {
    QByteArray file = WorkstationFile(5);
    file.append(QByteArray(29 + kScreenReadLimit - 1 - file.size(), '\0'));
    ASSERT_EQ(ReadScreen(file), ConfigReadStatus::Ok);  // 32767 bytes after the header
    EXPECT_EQ(screen.jDev, 5);

    file.append('\0');
    EXPECT_EQ(ReadScreen(file), ConfigReadStatus::TooLarge);
    ASSERT_FALSE(steps.isEmpty());
    EXPECT_EQ(steps.last(), "Превышение допустимой длины КФ.");
    EXPECT_TRUE(screen.image.isEmpty());
    EXPECT_EQ(screen.jDev, -1);

    // Without a header the count starts at byte 0.
    EXPECT_EQ(ReadScreen(QByteArray(kScreenReadLimit, '\x01')), ConfigReadStatus::TooLarge);
    EXPECT_EQ(ReadScreen(QByteArray(kScreenReadLimit - 1, '\x01')), ConfigReadStatus::Ok);
}

}  // namespace
}  // namespace ConfigFileReaderTestUnit
