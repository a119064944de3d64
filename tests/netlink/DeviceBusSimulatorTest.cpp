#include "netlink/TBComPort.h"
#include "support/DeviceBusSimulator.h"
#include "support/PtyPair.h"
#include "support/QtPrinters.h"

#include <gtest/gtest.h>

namespace {

class DeviceBusTest : public ::testing::Test {
  protected:
    void SetUp() override {
        port.SetPort(pty.SlavePath());
        port.Timeouts().SetReadTotalMultiplier(20);
        port.Timeouts().SetReadTotalConstant(1000);
        ASSERT_TRUE(port.Open());
    }

    bool Send(const QByteArray& frame) { return port.Write(frame.constData(), 30) == 30; }

    QByteArray Receive() {
        QByteArray frame(30, '\0');
        frame.resize(port.Read(frame.data(), 30));
        return frame;
    }

    PtyPair pty;
    DeviceBusSimulator bus{pty};
    TBComPort port;
};

TEST_F(DeviceBusTest, AnswersAFrameFromItsScriptAndRecordsIt) {
    const QByteArray request = DeviceBusSimulator::Frame({0x7F, 0x7F, 0x06, 0x00});
    const QByteArray answer = DeviceBusSimulator::FrameFromHex("7F7F0C80");
    bus.ScriptAnswer(answer);

    ASSERT_TRUE(Send(request));
    EXPECT_EQ(Receive(), answer);
    ASSERT_TRUE(bus.WaitForFrames(1, 1000));
    EXPECT_EQ(bus.Received(), QList<QByteArray>{request});
}

TEST_F(DeviceBusTest, HandlerAnswersOnceTheScriptIsUsedUp) {
    bus.ScriptSilence();
    bus.SetHandler([](const QByteArray& frame) {
        QByteArray reply = frame;
        std::swap(reply[0], reply[1]);
        reply[3] = char(reply[3] | 0x80);
        return QList<QByteArray>{reply};
    });
    const QByteArray first = DeviceBusSimulator::Frame({0x7F, 0x05, 0x06, 0x00});
    const QByteArray second = DeviceBusSimulator::Frame({0x7F, 0x41, 0x06, 0x00});

    ASSERT_TRUE(Send(first));
    ASSERT_TRUE(bus.WaitForFrames(1, 1000));
    ASSERT_TRUE(Send(second));
    EXPECT_EQ(Receive(), DeviceBusSimulator::Frame({0x41, 0x7F, 0x06, 0x80}));
    EXPECT_EQ(bus.Received(), (QList<QByteArray>{first, second}));
    EXPECT_EQ(port.InputCount(), 0);  // the silent turn sent nothing
}

TEST_F(DeviceBusTest, FrameIsCutFromBytesThatComeInPieces) {
    const QByteArray request = DeviceBusSimulator::Frame({0x7F, 0x10, 0x06, 0x02});
    ASSERT_EQ(port.Write(request.constData(), 7), 7);
    ASSERT_EQ(port.Write(request.constData() + 7, 23), 23);
    ASSERT_TRUE(bus.WaitForFrames(1, 1000));
    EXPECT_EQ(bus.Received().first(), request);
}

}  // namespace
