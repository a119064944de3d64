// A program killed half-way through the report of the devices found leaves
// the report written before whole: the new one takes the file's name only
// when complete.

#include "netlink/NetDeviceCommands.h"
#include "netlink/TNetLink.h"
#include "support/DeviceBusSimulator.h"
#include "support/KilledChild.h"
#include "support/PtyPair.h"
#include "support/SimulatedLink.h"
#include "support/TempProgramDir.h"

#include <gtest/gtest.h>
#include <QDir>
#include <QFile>

namespace DeviceReportKillTestUnit {
namespace {

const QByteArray kOldReport = "СПИСОК ВСЕХ НАЙДЕННЫХ УСТРОЙСТВ 01.02.2026 10:00:00\nСКМ01\n";

// The child: three devices answer; it dies when the report has gone through
// half the addresses, between the switches and the call panels.
TEST(DeviceReportKillChild, Body) {
    if (!KilledChild::InChild()) GTEST_SKIP() << "runs only as the child of the kill test";
    PtyPair pty;
    DeviceBusSimulator bus(pty);
    for (const SimDevice& device :
         {SimDevice::Switch(1), SimDevice::Console(63), SimDevice::CallPanel(2)})
        bus.AddDevice(device);
    SimulatedLink sim(bus);
    ASSERT_TRUE(sim.Start(pty));
    for (int a : {1, 63, 66}) ASSERT_EQ(sim.link.RequestClass(a), 1);
    NetOpContext ctx(sim.link, nullptr);
    NetDeviceCommands commands(ctx, {});
    commands.progress = [](int value, int, bool visible) {
        if (visible && value == 64) KilledChild::ReachedKillPoint();
    };
    commands.WriteReport(KilledChild::Value("report"));
    FAIL() << "the report ended before it was killed";
}

TEST(DeviceReportKill, AKillWhileWritingLeavesThePreviousReportWhole) {
    TempProgramDir dir;
    dir.writeFile("TXT/Устройства.txt", kOldReport);
    KilledChild child("DeviceReportKillChild.Body");
    child.Set("report", dir.path() + "TXT/Устройства.txt");
    ASSERT_TRUE(child.RunUntilKilled()) << child.Output().toStdString();
    EXPECT_EQ(QDir(dir.path() + "TXT").entryList(QDir::Files | QDir::Hidden),
              QStringList{"Устройства.txt"});
    QFile old(dir.path() + "TXT/Устройства.txt");
    ASSERT_TRUE(old.open(QIODevice::ReadOnly));
    EXPECT_EQ(old.readAll(), kOldReport);
}
}  // namespace
}  // namespace DeviceReportKillTestUnit
