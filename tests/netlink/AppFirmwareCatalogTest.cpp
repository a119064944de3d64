// The firmware files of the APP folder with the version log: what is read
// from each header, what the result log says, and which file is offered as
// the newer firmware of a device.

#include "netlink/AppFirmwareCatalog.h"

#include "support/QtPrinters.h"
#include "support/TempProgramDir.h"

#include <gtest/gtest.h>
#include <QDir>

namespace AppFirmwareCatalogTestUnit {

namespace {

QByteArray LatinFile(int format, int app, int bios, int classWord, int minBios = -1,
                     int minBds = -1) {
    QByteArray bytes = QByteArray::fromHex("C4C050C2CE");
    bytes.append(char(format));
    bytes.append(char(app & 0xFF)).append(char(app >> 8));
    bytes.append(char(bios));
    bytes.append(char(classWord & 0xFF)).append(char(classWord >> 8));
    if (minBios >= 0) bytes.append(char(minBios)).append(char(minBds));
    return bytes + QByteArray::fromHex("0200002800AA55");  // one section
}

QByteArray CyrillicFile(int bios, int classWord) {
    QByteArray bytes = QByteArray::fromHex("C4C0D0C2CE");
    bytes.append(char(bios));
    bytes.append(char(classWord & 0xFF)).append(char(classWord >> 8));
    return bytes + QByteArray::fromHex("0000");
}

class AppFirmwareCatalogTest : public ::testing::Test {
  protected:
    QString App(const QString& name) { return dir.path() + "APP/" + name; }

    TempProgramDir dir;
    QList<TAppFile> files;
    QList<AppVersionEntry> versionLog;
    AppFirmwareCatalog catalog{files, versionLog};
    QStringList log;
};

TEST(AppHeader, BothLayoutsAndTheirBounds) {
    const std::optional<AppFileHeader> old = ParseAppHeader(CyrillicFile(3, 1));
    ASSERT_TRUE(old);
    EXPECT_EQ(old->formatVersion, -1);
    EXPECT_FALSE(old->appVersion);
    EXPECT_EQ(old->bios, 3);
    EXPECT_EQ(old->classWord, 1);
    EXPECT_EQ(old->sectionsOffset, 8);
    EXPECT_FALSE(old->minBios);

    const std::optional<AppFileHeader> plain = ParseAppHeader(LatinFile(0, 0x0105, 5, 0xFFFE));
    ASSERT_TRUE(plain);
    EXPECT_EQ(plain->appVersion, 0x0105);
    EXPECT_EQ(plain->classWord, 0xFFFE);
    EXPECT_EQ(plain->sectionsOffset, 11);
    EXPECT_FALSE(plain->minBds);

    const std::optional<AppFileHeader> bounded =
        ParseAppHeader(LatinFile(1, 0x0105, 5, 2, 4, 0x10));
    ASSERT_TRUE(bounded);
    EXPECT_EQ(bounded->minBios, 4);
    EXPECT_EQ(bounded->minBds, 0x10);
    EXPECT_EQ(bounded->sectionsOffset, 13);

    // A file that ends inside its header is as foreign as a wrong magic.
    EXPECT_FALSE(ParseAppHeader(LatinFile(1, 0x0105, 5, 2).left(12)));
    EXPECT_FALSE(ParseAppHeader(CyrillicFile(3, 1).left(7)));
    EXPECT_FALSE(ParseAppHeader(QByteArray::fromHex("C4C0D1C2CE050200")));
    EXPECT_FALSE(ParseAppHeader(QByteArray()));
}

TEST_F(AppFirmwareCatalogTest, AMissingVersionLogIsSaidAndKeepsTheTable) {
    versionLog.append({"05", "0100", "0002", "1"});
    catalog.ListAppFiles(log);
    EXPECT_EQ(log, QStringList{"Файл \"APP\\fVer.log\" не существует!"});
    EXPECT_EQ(versionLog.size(), 1);
    EXPECT_TRUE(files.isEmpty());
}

TEST_F(AppFirmwareCatalogTest, EachFileIsReadAndMatchedWithTheLog) {
    // Lower-case hex in the log still matches: the log is upper-cased when read.
    dir.writeFile("APP/fVer.log", "05010a00021 switch\r\nshort\r\n0301000001 \r\n");
    dir.writeFile("APP/a.usb", LatinFile(1, 0x010A, 5, 2, 4, 0x10));
    dir.writeFile("APP/b.usb", CyrillicFile(3, 1));
    dir.writeFile("APP/c.usb", "HELLO, not firmware");
    dir.writeFile("APP/d.usb", LatinFile(1, 0x010A, 5, 2).left(11));
    QDir().mkpath(dir.path() + "APP/folder.usb");
    catalog.ListAppFiles(log);

    ASSERT_EQ(files.size(), 4);
    ASSERT_FALSE(versionLog.isEmpty());
    EXPECT_EQ(versionLog.first().Joined(), "05010A00021");
    const QString sep = " - - - - - - - - - - - - - - - ";
    const QStringList expected = {
        sep,
        "Чтение файла " + App("a.usb"),
        "ДАPВО",
        "Версия формата файла: $01. Версия APP:=$01$0A.",
        "версия BIOS:=$05",
        "Идентификатор устройства:=$00$02",
        "Версия минимально совместимого BIOS:=04.",
        "Версия минимально совместимого BDS:=10.",
        "Cовместим с предыдущей версией BIOS.",
        sep,
        "Чтение файла " + App("b.usb"),
        "ДАРВО",
        "версия BIOS:=$03",
        "Идентификатор устройства:=$00$01",
        sep,
        "Чтение файла " + App("c.usb"),
        "HELLO",
        "Чужой файл: " + App("c.usb"),
        sep,
        "Чтение файла " + App("d.usb"),
        "ДАPВО",
        "Чужой файл: " + App("d.usb"),
    };
    EXPECT_EQ(log, expected);

    const auto& a = files[0].f;
    EXPECT_EQ(a[kAfFileName], App("a.usb"));
    EXPECT_EQ(a[kAfBios], "$05");
    EXPECT_EQ(a[kAfClassWord], "0002");
    EXPECT_EQ(a[kAfApp], "$01$0A");
    EXPECT_EQ(a[kAfLogMatch], "05010A00021");
    EXPECT_EQ(a[kAfMinBios], "04");
    EXPECT_EQ(a[kAfMinBds], "10");
    EXPECT_EQ(a[kAfMark], "");

    // No APP version: the identity is short, and the file gets an entry of its own.
    const auto& b = files[1].f;
    EXPECT_EQ(b[kAfApp], "0");
    EXPECT_EQ(b[kAfMinBios], "00");
    EXPECT_EQ(b[kAfMark], "N");
    EXPECT_EQ(b[kAfLogMatch], "030001");
    EXPECT_EQ(versionLog.last().Joined(), "030001");

    EXPECT_EQ(files[2].f[kAfMark], "S");
    EXPECT_EQ(files[3].f[kAfMark], "S");
    EXPECT_EQ(files[3].f[kAfLogMatch], "");
}

TEST_F(AppFirmwareCatalogTest, AFileNoLineDescribesGetsAnEntryWithItsFlag) {
    dir.writeFile("APP/fVer.log", "");
    dir.writeFile("APP/new.usb", LatinFile(1, 0x0200, 5, 2, 6, 0xFF));
    catalog.ListAppFiles(log);
    ASSERT_EQ(files.size(), 1);
    EXPECT_EQ(files[0].f[kAfLogMatch],
              "0502000002"
              "0");
    ASSERT_FALSE(log.isEmpty());
    EXPECT_EQ(log.last(), "Не совместим с предыдущей версией BIOS.");
    EXPECT_TRUE(catalog.MatchAppVersion(0));  // the new entry describes it now

    // The list shows what the folder holds now.
    QFile::remove(App("new.usb"));
    catalog.ListAppFiles(log);
    EXPECT_TRUE(files.isEmpty());
}

TEST_F(AppFirmwareCatalogTest, TheNewerFirmwareOfADevice) {
    versionLog = {{"05", "0200", "0002", "1"},
                  {"06", "0300", "0002", "0"},
                  {"05", "0150", "0002", "1"},
                  {"04", "0400", "0001", "1"}};
    files.resize(3);
    files[0].f[kAfLogMatch] =
        "0502000002"
        "1";
    files[1].f[kAfLogMatch] =
        "0501500002"
        "1";
    files[2].f[kAfLogMatch] =
        "0501500002"
        "1";  // the last such file is taken

    // A newer BIOS without the flag drops the choice; an entry for the
    // device's BIOS is taken only while there is none.
    EXPECT_EQ(catalog.FindAppForDevice("0501000002"), 2);
    EXPECT_EQ(catalog.FindAppForDevice("05fffe0002"), 2);  // no firmware counts as 0000
    EXPECT_EQ(catalog.FindAppForDevice("0503000002"), -2);
    EXPECT_EQ(catalog.FindAppForDevice("0301000001"), -1);  // named by the log, not on disk
    EXPECT_EQ(catalog.FindAppForDevice("050100000"), -2);
    EXPECT_EQ(catalog.FindAppForDevice(""), -2);

    // With the flag the newer BIOS's firmware stays chosen.
    versionLog[1].flag = "1";
    EXPECT_EQ(catalog.FindAppForDevice("0501000002"), -1);
}

}  // namespace
}  // namespace AppFirmwareCatalogTestUnit
