// Where the readers are: the card reader's port from the settings file when
// no device carries its USB description, and the Readers section kept when
// the main window writes the file at exit.

#include "foundation/SettingsFile.h"
#include "keys/ReaderPortLocator.h"
#include "platform/W1SysfsAdapter.h"
#include "support/PtyPair.h"
#include "support/QtPrinters.h"
#include "support/TempProgramDir.h"

#include <gtest/gtest.h>

namespace ReaderPortLocatorTestUnit {

namespace {

class ReaderSettingsTest : public ::testing::Test {
  protected:
    void WriteSettings(const QByteArray& text) { dir_.writeFile("Ini/save.ini", text); }
    ReaderSettings Read() {
        IniFile ini;
        SettingsFile::Open(ini);
        return SettingsFile::ReadReaders(ini);
    }

    TempProgramDir dir_;
};

TEST_F(ReaderSettingsTest, TheCardReaderIsTheNamedPortOnlyWhenItExists) {
    EXPECT_EQ(Read().w1Root, W1SysfsAdapter::DefaultRoot());
    EXPECT_TRUE(ReaderPorts::Find(ReaderPorts::kRfidDescription).port.isEmpty());

    WriteSettings("[Readers]\nrfid=ttyArmNoSuchReader9\n");
    EXPECT_TRUE(ReaderPorts::Find(ReaderPorts::kRfidDescription).port.isEmpty());

    PtyPair pty;
    WriteSettings(("[Readers]\nrfid=" + pty.SlavePath() + "\nw1=/tmp/w1\n").toUtf8());
    const ReaderPort found = ReaderPorts::Find(ReaderPorts::kRfidDescription);
    EXPECT_EQ(found.port, pty.SlavePath());
    EXPECT_EQ(found.vid, QString());
    EXPECT_EQ(Read().w1Root, QStringLiteral("/tmp/w1"));
}

TEST_F(ReaderSettingsTest, TheMainWindowKeepsTheReadersSection) {
    WriteSettings("[Readers]\nrfid=ttyUSB3\nw1=/srv/w1\n");
    IniFile ini;
    ASSERT_TRUE(SettingsFile::Open(ini));
    SettingsFile::WriteClosing(ini, ClosingSettings{});
    ASSERT_TRUE(ini.Save());
    const ReaderSettings kept = Read();
    EXPECT_EQ(kept.rfidPort, QStringLiteral("ttyUSB3"));
    EXPECT_EQ(kept.w1Root, QStringLiteral("/srv/w1"));
}

}  // namespace
}  // namespace ReaderPortLocatorTestUnit
