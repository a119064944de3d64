// The adapter's port search on a list of ports: which port becomes the
// adapter's, what the operator is offered, and the card reader's search.

#include "keys/ReaderPortLocator.h"
#include "netlink/NetPortDiscovery.h"
#include "support/FakeComPorts.h"
#include "support/QtPrinters.h"
#include "support/ScriptedDialogs.h"
#include "support/TempProgramDir.h"

#include <gtest/gtest.h>

namespace NetPortDiscoveryTestUnit {

namespace {

class NetPortSearchTest : public ::testing::Test {
  protected:
    NetPortSearchTest() {
        ports.AddAdapter("/dev/ttyUSB0", "0403", "6001")
            .Add("/dev/ttyS0", QString(), QString(), QString())
            .AddAdapter("/dev/ttyUSB1", "1A2B", "3C4D");
    }

    // A search whose choice dialog answers with row and records what it was offered.
    NetPortSearchResult Search(const QString& ecom, bool autoDetect, int row = -1) {
        NetPortSearch search;
        search.ecom = ecom;
        search.autoDetect = autoDetect;
        search.choose = [this, row](const NetPortLists& lists, int preselected) {
            offered = lists.ports;
            this->preselected = preselected;
            ++dialogs;
            return row;
        };
        return FindNetPort(search);
    }

    FakeComPorts ports;
    QStringList offered;
    int preselected = -2;
    int dialogs = 0;
};

TEST_F(NetPortSearchTest, AutomaticDetectionTakesThePortFieldElseTheFirstAdapter) {
    NetPortSearchResult r = Search("/dev/ttyUSB1", true);
    EXPECT_TRUE(r.found);
    EXPECT_EQ(r.chosen, (NetPortChoice{"/dev/ttyUSB1", "1A2B", "3C4D"}));
    EXPECT_TRUE(r.showInFields);
    // Only the adapters are listed; the plain serial port is not one.
    EXPECT_EQ(r.lists.ports, (QStringList{"/dev/ttyUSB0", "/dev/ttyUSB1"}));
    EXPECT_EQ(r.lists.pids, (QStringList{"6001", "3C4D"}));

    for (const QString& ecom : {QString("0"), QString(), QString("/dev/ttyUSB7")}) {
        r = Search(ecom, true);
        EXPECT_EQ(r.chosen.port, "/dev/ttyUSB0") << ecom.toStdString();
    }
    EXPECT_EQ(dialogs, 0);
}

TEST_F(NetPortSearchTest, WithoutAutomaticDetectionTheOperatorChoosesAmongEveryPort) {
    NetPortSearchResult r = Search("/dev/ttyUSB1", false, -1);
    EXPECT_EQ(dialogs, 1);
    EXPECT_EQ(offered, (QStringList{"/dev/ttyUSB0", "/dev/ttyUSB1", "/dev/ttyS0"}));
    EXPECT_EQ(preselected, 1);  // the port field's line
    // "Отмена": the chosen port stays and the fields are left alone.
    EXPECT_TRUE(r.found);
    EXPECT_EQ(r.chosen.port, "/dev/ttyUSB1");
    EXPECT_FALSE(r.showInFields);

    r = Search("0", false, 2);
    EXPECT_EQ(preselected, -1);
    EXPECT_EQ(r.chosen, (NetPortChoice{"/dev/ttyS0", "", ""}));
    EXPECT_TRUE(r.showInFields);
}

TEST_F(NetPortSearchTest, TheOpenSettingsFormOrASinglePortAsksNothing) {
    NetPortSearch search;
    search.autoDetect = false;
    search.formVisible = true;
    search.choose = [this](const NetPortLists&, int) { return ++dialogs, 0; };
    NetPortSearchResult r = FindNetPort(search);
    EXPECT_EQ(dialogs, 0);
    EXPECT_EQ(r.chosen.port, "/dev/ttyUSB0");
    EXPECT_FALSE(r.showInFields);

    ports.ports = {{"/dev/ttyUSB3", "DARVO CWN", "", "0403", "6001"}};
    r = Search("0", false, 0);
    EXPECT_EQ(dialogs, 0);
    EXPECT_EQ(r.chosen.port, "/dev/ttyUSB3");
}

TEST_F(NetPortSearchTest, APortMetTwiceIsListedOnce) {
    ports.AddAdapter("/dev/ttyUSB0", "0403", "6001");
    const NetPortSearchResult r = Search("0", false, -1);
    EXPECT_EQ(r.lists.ports, (QStringList{"/dev/ttyUSB0", "/dev/ttyUSB1", "/dev/ttyS0"}));
}

TEST_F(NetPortSearchTest, NoPortIsAHardwareError) {
    ports.ports.clear();
    ScriptedDialogs script;
    script.Expect("Ошибка оборудования", "Не обнаружены COM порты. Подключите СУС!");
    const NetPortSearchResult r = Search("0", false);
    EXPECT_FALSE(r.found);
    EXPECT_EQ(r.lists.Count(), 0);
    EXPECT_EQ(dialogs, 0);
}

TEST(ComPortByName, TheLastMatchWinsAndNoMatchLeavesTheOutputs) {
    FakeComPorts ports;
    ports.Add("/dev/ttyUSB0", "USB IronLogic RFID Reader", "1111", "2222")
        .Add("/dev/ttyUSB2", "Other", "3333", "4444")
        .Add("/dev/ttyUSB5", "USB IronLogic RFID Reader", "5555", "6666");
    NetPortChoice found{"keep", "k", "k"};
    FindComPortByName(found, "Nothing like it");
    EXPECT_EQ(found, (NetPortChoice{"keep", "k", "k"}));
    FindComPortByName(found, "IronLogic");
    EXPECT_EQ(found, (NetPortChoice{"/dev/ttyUSB5", "5555", "6666"}));
    FindComPortByName(found, kAnySerialPort);
    EXPECT_EQ(found.port, "/dev/ttyUSB5");

    // The card reader is found the same way.
    TempProgramDir dir;
    const ReaderPort reader = ReaderPorts::Find(ReaderPorts::kRfidDescription);
    EXPECT_EQ(reader.port, "/dev/ttyUSB5");
    EXPECT_EQ(reader.vid, "5555");
}

TEST(ComPortByName, PortFieldNamesAPortUnlessBlankOrZero) {
    EXPECT_FALSE(PortFieldNamesPort(""));
    EXPECT_FALSE(PortFieldNamesPort("  "));
    EXPECT_FALSE(PortFieldNamesPort("0"));
    EXPECT_TRUE(PortFieldNamesPort("/dev/ttyUSB1"));
    EXPECT_EQ(ComPorts::Hex4(0x1a2b), "1A2B");
    EXPECT_EQ(ComPorts::Hex4(0x3), "0003");
}

}  // namespace
}  // namespace NetPortDiscoveryTestUnit
