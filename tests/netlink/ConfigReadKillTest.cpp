// A program killed while it saves a configuration image read from a device
// leaves no file under a device's name: the image is written under a
// temporary name and takes its name only when complete.

#include "netlink/NetConfigTransfer.h"
#include "netlink/TNetLink.h"
#include "support/DeviceBusSimulator.h"
#include "platform/DurableFile.h"
#include "support/KilledChild.h"
#include "support/PtyPair.h"
#include "support/SimulatedLink.h"
#include "support/TempProgramDir.h"

#include <gtest/gtest.h>
#include <QDir>
#include <QFile>

namespace ConfigReadKillTestUnit {
namespace {

const QByteArray kOldFile = "the file of an earlier read";

// The child: a switch's image is read and saved; it dies with the image on
// the disk under the temporary name, before that takes the device's name.
TEST(ConfigReadKillChild, Body) {
    if (!KilledChild::InChild()) GTEST_SKIP() << "runs only as the child of the kill test";
    PtyPair pty;
    DeviceBusSimulator bus(pty);
    SimDevice device = SimDevice::Switch(5);
    device.memory = QByteArray::fromHex("8000") + QByteArray::fromHex("2C00") +
                    QByteArray(44, '\x5A') + QByteArray::fromHex("FFFF");
    bus.AddDevice(device);
    SimulatedLink sim(bus);
    TNetLink& link = sim.link;
    ASSERT_TRUE(sim.Start(pty));
    ASSERT_EQ(link.RequestClass(5), 1);
    link.ParseClassReply(5);
    NetOpContext ctx(link, nullptr);
    ctx.dbFolder = KilledChild::Value("db");
    NetConfigTransfer transfer(ctx);
    transfer.commitFile = [](const QString& temp, const QString&, QString*) {
        std::printf("temporary file: %s\n", qPrintable(temp));
        KilledChild::ReachedKillPoint();
        return false;
    };
    transfer.ReadCnf(5);
    FAIL() << "the read ended before it was killed";
}

TEST(ConfigReadKill, AKillWhileSavingLeavesNoPartialFileUnderADevicesName) {
    TempProgramDir dir;
    const QString folder = dir.path() + "DB_ARM/Data/FlRead/Fl_0/";
    dir.writeFile("DB_ARM/Data/FlRead/Fl_0/ckm05.bin", kOldFile);
    KilledChild child("ConfigReadKillChild.Body");
    child.Set("db", dir.path() + "DB_ARM/");
    ASSERT_TRUE(child.RunUntilKilled()) << child.Output().toStdString();
    EXPECT_TRUE(child.Output().contains(".tmp")) << child.Output().toStdString();
    // Only the earlier file carries the device's name, and it is as it was.
    EXPECT_EQ(QDir(folder).entryList({"ckm*"}, QDir::Files | QDir::Hidden),
              QStringList{"ckm05.bin"});
    QFile old(folder + "ckm05.bin");
    ASSERT_TRUE(old.open(QIODevice::ReadOnly));
    EXPECT_EQ(old.readAll(), kOldFile);
    // The next file saved into the folder clears the dead writer's temporary.
    ASSERT_TRUE(DurableFile::Write(folder + "ckm06.bin", kOldFile));
    EXPECT_EQ(QDir(folder).entryList(QDir::Files | QDir::Hidden),
              (QStringList{"ckm05.bin", "ckm06.bin"}));
}
}  // namespace
}  // namespace ConfigReadKillTestUnit
