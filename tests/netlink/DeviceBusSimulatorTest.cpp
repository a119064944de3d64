#include "netlink/TBComPort.h"
#include "support/DeviceBusSimulator.h"
#include "support/PtyPair.h"
#include "support/QtPrinters.h"

#include <gtest/gtest.h>

namespace DeviceBusSimulatorTestUnit {
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

    // What the bus answered to what was sent.
    QByteArray Receive() {
        EXPECT_TRUE(bus.Settle());
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
    ASSERT_TRUE(bus.Settle());
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
    ASSERT_TRUE(bus.Settle());
    ASSERT_TRUE(Send(second));
    EXPECT_EQ(Receive(), DeviceBusSimulator::Frame({0x41, 0x7F, 0x06, 0x80}));
    EXPECT_EQ(bus.Received(), (QList<QByteArray>{first, second}));
    EXPECT_EQ(port.InputCount(), 0);  // the silent turn sent nothing
}

TEST_F(DeviceBusTest, FrameIsCutFromBytesThatComeInPieces) {
    const QByteArray request = DeviceBusSimulator::Frame({0x7F, 0x10, 0x06, 0x02});
    ASSERT_EQ(port.Write(request.constData(), 7), 7);
    ASSERT_EQ(port.Write(request.constData() + 7, 23), 23);
    ASSERT_TRUE(bus.Settle());
    EXPECT_EQ(bus.Received().first(), request);
}

namespace {

class SimulatedBusTest : public DeviceBusTest {
  protected:
    void SetUp() override {
        DeviceBusTest::SetUp();
        // Answers come at once; a silent turn need not wait long.
        port.Timeouts().SetReadTotalMultiplier(0);
        port.Timeouts().SetReadTotalConstant(300);
    }

    // Sends a request and reads what the bus answered to it.
    QByteArray Ask(const QByteArray& request, int bytes = 30) {
        EXPECT_TRUE(Send(request));
        EXPECT_TRUE(bus.Settle());
        QByteArray answer(bytes, '\0');
        answer.resize(port.Read(answer.data(), bytes));
        return answer;
    }
};

TEST_F(SimulatedBusTest, AdapterAnswersItsOwnCommands) {
    EXPECT_EQ(Ask(DeviceBusSimulator::FrameFromHex("7F7F0600")),
              DeviceBusSimulator::FrameFromHex("7F7F0B800102000003"));
    const QByteArray driverOn = DeviceBusSimulator::FrameFromHex("7F7F0A0100000000");
    EXPECT_EQ(Ask(driverOn), DeviceBusSimulator::FrameFromHex("7F7F0A8100000000"));
    EXPECT_EQ(Ask(driverOn), driverOn);  // refused while the driver is on
    EXPECT_EQ(Ask(DeviceBusSimulator::FrameFromHex("7F7F0B01000000FE01")),
              DeviceBusSimulator::FrameFromHex("7F7F0B81000000FE01"));
    EXPECT_EQ(bus.Adapter().receptionMode, 1);

    SimAdapter old = bus.Adapter();
    old.versionPayload = 6;  // too short for the third part
    bus.SetAdapter(old);
    EXPECT_EQ(Ask(DeviceBusSimulator::FrameFromHex("7F7F0600")),
              DeviceBusSimulator::FrameFromHex("7F7F08800102"));
}

TEST_F(SimulatedBusTest, DevicesAnswerAtTheirAddressAndUnknownCommandsGoToHandlers) {
    bus.AddDevice(SimDevice::Switch(5));
    bus.AddDevice(SimDevice::Switch(5));
    const int panel = bus.AddDevice(SimDevice::CallPanel(3));
    EXPECT_EQ(Ask(DeviceBusSimulator::FrameFromHex("7F050600"), 60),
              DeviceBusSimulator::ClassReply(SimDevice::Switch(5)).repeated(2));
    EXPECT_TRUE(Ask(DeviceBusSimulator::FrameFromHex("7F090600")).isEmpty());

    bus.SetCommandHandler(0x03, [](SimDevice& device, const QByteArray& frame) {
        QByteArray answer = frame;
        answer[0] = char(device.address);
        answer[1] = 0x7F;
        answer[3] = char(0x83);
        answer[7] = char(device.memory.size());
        return QList<QByteArray>{answer};
    });
    bus.UpdateDevice(panel, [](SimDevice& d) { d.memory = "abc"; });
    const QByteArray read = DeviceBusSimulator::FrameFromHex("7F4309030028");
    QByteArray expected = read;
    expected[0] = 0x43;
    expected[1] = 0x7F;
    expected[3] = char(0x83);
    expected[7] = 3;
    EXPECT_EQ(Ask(read), expected);
}

TEST_F(SimulatedBusTest, InjectedFaultsChangeTheAnswers) {
    bus.AddDevice(SimDevice::Switch(5));
    const QByteArray request = DeviceBusSimulator::FrameFromHex("7F050600");
    const QByteArray reply = DeviceBusSimulator::ClassReply(SimDevice::Switch(5));

    bus.InjectFault({BusFault::Silence, 5});
    EXPECT_TRUE(Ask(request).isEmpty());
    EXPECT_EQ(Ask(request), reply);  // a fault counts its times

    bus.InjectFault({BusFault::Fragment, -1, 0, 7});
    EXPECT_EQ(Ask(request), reply.left(7));
    bus.InjectFault({BusFault::ZeroFrame, 5});
    EXPECT_EQ(Ask(request, 60), QByteArray(30, '\0') + reply);

    bus.InjectFault({BusFault::HangUp, 5});
    ASSERT_TRUE(Send(request));
    // The frame is recorded before the line closes.
    ASSERT_TRUE(bus.Settle());
    EXPECT_EQ(pty.MasterFd(), -1);
}

// The configuration memory answers within its bounds, keeps what is
// written, and refuses what lies outside; the faults act on the frames of
// their command after the frames they let pass.
TEST_F(DeviceBusTest, ConfigurationMemoryAndItsFaults) {
    SimDevice device = SimDevice::Switch(5);
    device.configEnd = 0x2800 + 30;
    device.memory = QByteArray::fromHex("80000300");
    const int index = bus.AddDevice(device);

    ASSERT_TRUE(Send(DeviceBusSimulator::FrameFromHex("7F050903002805")));
    EXPECT_EQ(Receive(), DeviceBusSimulator::FrameFromHex("057F0E83002805" "80000300FF"));
    ASSERT_TRUE(Send(DeviceBusSimulator::FrameFromHex("7F050C04022803AABBCC")));
    EXPECT_EQ(Receive(), DeviceBusSimulator::FrameFromHex("057F0C84022803AABBCC"));
    EXPECT_EQ(bus.Device(index).memory, QByteArray::fromHex("8000AABBCC"));
    // The last bytes of the memory: fewer than asked.
    ASSERT_TRUE(Send(DeviceBusSimulator::FrameFromHex("7F050903182816")));
    EXPECT_EQ(Receive().left(9), QByteArray::fromHex("057F0F83182806FFFF"));
    // Outside the memory: refused.
    ASSERT_TRUE(Send(DeviceBusSimulator::FrameFromHex("7F050903FF2716")));
    EXPECT_EQ(Receive(), DeviceBusSimulator::FrameFromHex("057F0903FF2716"));
    ASSERT_TRUE(Send(DeviceBusSimulator::FrameFromHex("7F050C041C2803010203")));
    EXPECT_EQ(Receive(), DeviceBusSimulator::FrameFromHex("057F0C041C2803010203"));

    bus.InjectFault({BusFault::Refuse, 5, 0, 0, 1, 0x04, 1});
    const QByteArray write = DeviceBusSimulator::FrameFromHex("7F050A04002801EE");
    ASSERT_TRUE(Send(write));
    EXPECT_EQ(quint8(Receive()[3]), 0x84);  // let pass
    ASSERT_TRUE(Send(DeviceBusSimulator::FrameFromHex("7F050A04012801DD")));
    EXPECT_EQ(quint8(Receive()[3]), 0x04);  // refused, and not written
    EXPECT_EQ(bus.Device(index).memory.left(2), QByteArray::fromHex("EE00"));

    bus.InjectFault({BusFault::EmptyRead, 5, 0, 0, 1, 0x03});
    ASSERT_TRUE(Send(DeviceBusSimulator::FrameFromHex("7F050903002805")));
    EXPECT_EQ(Receive().left(8), QByteArray::fromHex("057F0E8300280000"));
    bus.InjectFault({BusFault::Stale, 5, 0, 0, 1, 0x03});
    ASSERT_TRUE(Send(DeviceBusSimulator::FrameFromHex("7F050903052805")));
    EXPECT_EQ(Receive().left(7), QByteArray::fromHex("057F0E83002805"));
    EXPECT_EQ(Receive().left(7), QByteArray::fromHex("057F0E83052805"));
}

// A device takes a new address by its serial number and password, from its
// address or, without a valid one, from its kind's class address; FF sends
// it back to its jumpers.
TEST_F(DeviceBusTest, AddressBySerialNumber) {
    SimDevice device = SimDevice::Switch(9);
    device.serial = "B123456789";
    device.password = "123";
    device.jumperAddress = 2;
    device.programmingMode = true;
    const int index = bus.AddDevice(device);
    const QByteArray toFive =
        DeviceBusSimulator::FrameFromHex("7F80170100000004030201" "86DBCFE6EDFD87FFEF05");
    QByteArray otherSerial = toFive;
    otherSerial[12] = char(0x86);
    ASSERT_TRUE(Send(otherSerial));
    ASSERT_TRUE(bus.Settle());
    QByteArray wrongPassword = toFive;
    wrongPassword[8] = 9;
    ASSERT_TRUE(Send(wrongPassword));
    EXPECT_EQ(Receive().left(4), QByteArray::fromHex("097F1701"));  // refused
    ASSERT_TRUE(Send(toFive));
    EXPECT_EQ(Receive().left(4), QByteArray::fromHex("057F1781"));
    EXPECT_EQ(bus.Device(index).address, 5);
    EXPECT_FALSE(bus.Device(index).programmingMode);

    QByteArray jumpers = toFive;
    jumpers[1] = 5;
    jumpers[20] = char(0xFF);
    ASSERT_TRUE(Send(jumpers));
    EXPECT_EQ(Receive().left(4), QByteArray::fromHex("057F1781"));
    EXPECT_EQ(bus.Device(index).address, 2);
}

}  // namespace
}  // namespace
}  // namespace DeviceBusSimulatorTestUnit
