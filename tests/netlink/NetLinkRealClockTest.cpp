// The link on the machine's own clock, as on a real port: its waits between
// read attempts are real alertable sleeps, and the simulated bus keeps to
// 9600 baud, so an answer comes only a wire time after its request. The
// tests look only at what a busy machine cannot change: answers that come
// are all taken, and a wait lasts at least as long as it should. They never
// bound a time from above.

#include "netlink/NetConfigTransfer.h"
#include "netlink/NetOpContext.h"
#include "netlink/TNetLink.h"
#include "support/DeviceBusSimulator.h"
#include "support/PtyPair.h"
#include "support/ScriptedDialogs.h"
#include "support/SimulatedLink.h"
#include "support/TempProgramDir.h"

#include <gtest/gtest.h>
#include <QElapsedTimer>
#include <QFile>

namespace NetLinkRealClockTestUnit {

namespace {

constexpr int kSwitch = 5;

// The link started on the real clock on a bus paced at 9600 baud.
struct PacedLine {
    PacedLine() { bus.SetPacing(true); }

    bool Start() { return sim.Start(pty); }

    // Waits a loaded machine does not outlast: each ends at the answer it
    // waits for, so it costs nothing while answers come. (Waits of a second
    // and more are taken for the link's settling pauses and skipped.)
    void Patient() {
        link.Settings.CountRead = 10;
        link.Settings.SWaitNet = 900;
        link.BComNet.Timeouts().SetReadTotalConstant(20000);
    }

    PtyPair pty;
    DeviceBusSimulator bus{pty};
    SimulatedLink sim{bus, LinkClock::Real};
    TNetLink& link = sim.link;
};

TEST(NetLinkRealClock, ARunOfClassRequestsIsAnsweredInFull) {
    PacedLine line;
    line.bus.AddDevice(SimDevice::Switch(kSwitch));
    line.Patient();
    ASSERT_TRUE(line.Start());
    constexpr int kRequests = 20;
    int answered = 0;
    for (int i = 0; i < kRequests; ++i) answered += line.link.RequestClass(kSwitch);
    EXPECT_EQ(answered, kRequests);
    EXPECT_EQ(line.bus.FramesTo(kSwitch), kRequests);  // each asked once
    EXPECT_TRUE(line.link.MemoSend.isEmpty());
}

// A silent address is given up only after CountRead attempts with a wait of
// SWaitNet after each. On the first request of a fresh link, whose receive
// that request arms, no read armed earlier ends a wait at its own deadline.
TEST(NetLinkRealClock, ASilentAddressCostsItsWaits) {
    struct Waits {
        int countRead, sWaitNet;
    };
    for (const Waits waits : {Waits{3, 100}, Waits{5, 150}}) {
        SCOPED_TRACE(waits.countRead);
        PacedLine line;
        line.link.Settings.CountRead = waits.countRead;
        line.link.Settings.SWaitNet = waits.sWaitNet;
        ASSERT_TRUE(line.Start());
        QElapsedTimer clock;
        clock.start();
        EXPECT_EQ(line.link.RequestClass(9), 0);
        EXPECT_GE(clock.elapsed(), waits.countRead * waits.sWaitNet);
        ASSERT_TRUE(line.bus.Settle());
        EXPECT_EQ(line.bus.FramesTo(9), 1);
        EXPECT_EQ(line.link.MemoSend, QStringList{NetRequest::Class(9).ToHex()});
    }
}

TEST(NetLinkRealClock, AFileIsWrittenIntoADeviceAndReadBackWhole) {
    TempProgramDir dir;
    ScriptedDialogs dialogs;  // nothing is asked
    PacedLine line;
    SimDevice device = SimDevice::Switch(kSwitch);
    device.configEnd = device.configStart + 1024;
    const int index = line.bus.AddDevice(device);
    line.Patient();
    ASSERT_TRUE(line.Start());
    ASSERT_EQ(line.link.RequestClass(kSwitch), 1);
    line.link.ParseClassReply(kSwitch);

    // A file without a header, its first byte naming the device: the date
    // word, a section of 100 bytes that fills five packets, the end mark.
    QByteArray file = QByteArray::fromHex("8000") + QByteArray::fromHex("6400");
    for (int i = 0; i < 100; ++i) file.append(char(i));
    file += QByteArray::fromHex("FFFF");
    file[0] = char(0x80 | kSwitch);
    const QString path = dir.file("ckm05.bin");
    QFile out(path);
    ASSERT_TRUE(out.open(QIODevice::WriteOnly) && out.write(file) == file.size());
    out.close();

    NetOpContext ctx(line.link, nullptr);
    NetConfigTransfer transfer(ctx);
    const NetWriteResult written = transfer.WriteCnf(kSwitch, false, path);
    EXPECT_EQ(written.outcome, NetOpOutcome::Done);
    EXPECT_EQ(written.skipped, 0);
    EXPECT_EQ(line.bus.Device(index).memory.left(file.size()), file);

    const NetReadResult read = transfer.ReadCnf(kSwitch);
    ASSERT_EQ(read.outcome, NetOpOutcome::Done);
    QFile back(read.savedFile);
    ASSERT_TRUE(back.open(QIODevice::ReadOnly));
    EXPECT_EQ(back.readAll().mid(29, file.size()), file);
}

}  // namespace
}  // namespace NetLinkRealClockTestUnit
