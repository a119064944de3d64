#include "netlink/TNetLink.h"

#include "support/DeviceBusSimulator.h"
#include "support/PtyPair.h"
#include "support/QtPrinters.h"
#include "support/ScriptedDialogs.h"
#include "support/SimulatedBusClock.h"
#include "support/TempProgramDir.h"

#include <gtest/gtest.h>
#include <QFile>
#include <QRegularExpression>
#include <QTest>

namespace NetLinkTestUnit {

namespace {

class NetLinkTest : public ::testing::Test {
  protected:
    NetLinkTest() : link(Hooks()) {}

    NetLinkHooks Hooks() {
        NetLinkHooks hooks;
        hooks.sleep = [this](int ms) {
            sleeps.append(ms);
            busClock.Pause(ms);
        };
        hooks.timerChanged = [this](NetTimer timer, const NetTimerState& state) {
            timerEvents.append({timer, state});
        };
        hooks.restartLink = [this] { ++restarts; };
        // The bus's clock, or one that moves a second a look once a test sets it going.
        hooks.nowMs = [this] {
            ++clockLooks;
            return fakeNow < 0 ? busClock.NowMs() : fakeNow += 1000;
        };
        return hooks;
    }

    std::optional<NetPortChoice> FoundPort() const {
        return NetPortChoice{pty.SlavePath(), "0403", "6001"};
    }

    void Start() {
        ASSERT_TRUE(link.StartNet([this] { return FoundPort(); }));
        ASSERT_TRUE(link.BComNet.Connected());
        sleeps.clear();
    }

    int SleptMs() const {
        int total = 0;
        for (int ms : sleeps) total += ms;
        return total;
    }

    TempProgramDir programDir;
    PtyPair pty;
    DeviceBusSimulator bus{pty};
    SimulatedBusClock busClock{bus};
    QList<int> sleeps;
    QList<std::pair<NetTimer, NetTimerState>> timerEvents;
    int restarts = 0;
    qint64 fakeNow = -1;
    int clockLooks = 0;
    TNetLink link;
};

TEST_F(NetLinkTest, StartWakesTheAdapterAndStopClosesThePort) {
    Start();
    EXPECT_TRUE(link.LinkRunning());
    ASSERT_FALSE(link.DeviceList.isEmpty());
    EXPECT_EQ(link.DeviceList.first(), "Порт:=" + pty.SlavePath() + " Vid:=0403 Pid:=6001");
    EXPECT_EQ(link.FormLog, (QStringList{"Версия APP СУС = $01$02$03", "Включен драйвер СУС."}));
    EXPECT_EQ(link.AdapterVersion, "$01$02$03");
    EXPECT_TRUE(link.SnifferAllowed);
    EXPECT_EQ(link.ESend, 2);
    EXPECT_EQ(link.ERead, 2);
    EXPECT_TRUE(link.MemoSend.isEmpty());
    EXPECT_TRUE(bus.Adapter().driverOn);
    // Starting again while the port is open does nothing.
    EXPECT_FALSE(link.StartNet([this] { return FoundPort(); }));

    link.MemoSend << NetRequest::Class(40).ToHex();
    EXPECT_TRUE(link.StopNet());
    EXPECT_FALSE(link.BComNet.Connected());
    EXPECT_FALSE(link.LinkRunning());
    ASSERT_FALSE(link.FormLog.isEmpty());
    EXPECT_EQ(link.FormLog.last(), "Произведен рестарт.");
    EXPECT_FALSE(bus.Adapter().driverOn);
    EXPECT_TRUE(link.MemoSend.isEmpty());
    EXPECT_TRUE(link.MemoRead.isEmpty());
    EXPECT_TRUE(link.Timer(NetTimer::Restart).enabled);
    EXPECT_EQ(link.Timer(NetTimer::Restart).intervalMs, 7000);
    link.TimerRestartTick();
    EXPECT_EQ(restarts, 1);
    EXPECT_FALSE(link.Timer(NetTimer::Restart).enabled);
    EXPECT_FALSE(link.StopNet());  // nothing left to stop
}

TEST_F(NetLinkTest, NoAdapterFoundOpensNothing) {
    EXPECT_FALSE(link.StartNet([] { return std::optional<NetPortChoice>(); }));
    EXPECT_FALSE(link.BComNet.Connected());
    EXPECT_TRUE(link.DeviceList.isEmpty());
}

TEST_F(NetLinkTest, ClassRequestsFindDevicesOfEachKind) {
    bus.AddDevice(SimDevice::Switch(5));
    bus.AddDevice(SimDevice::Console(63));
    SimDevice panel = SimDevice::CallPanel(3);
    panel.selector = true;
    bus.AddDevice(panel);
    Start();
    EXPECT_EQ(link.RequestClass(5), 1);
    EXPECT_EQ(link.RequestClass(63), 1);
    EXPECT_EQ(link.RequestClass(67), 1);
    EXPECT_EQ(link.RequestLog.mid(link.RequestLog.size() - 3),
              (QStringList{"Запрос класса устройства СКМ05", "Запрос класса устройства СПО  ",
                           "Запрос класса устройства СБВ03"}));
    EXPECT_EQ(link.AnswerLog,
              (QStringList{" Получен ответ устройства: СКМ05", " Получен ответ устройства: СПО  ",
                           " Получен ответ устройства: СБВ03"}));
    EXPECT_TRUE(link.MemoSend.isEmpty());
    link.ParseClassReply(67);
    EXPECT_EQ(link.Tables.NetDevices[67][kNdSelector], 1);
    EXPECT_EQ(link.Tables.NetDevices[63][kNdPtg2], 0);  // not parsed yet
    link.ParseClassReply(63);
    EXPECT_EQ(link.Tables.NetDevices[63][kNdPtg2], 4);
    link.BuildDeviceList(link.DeviceList);
    EXPECT_EQ(link.DeviceList, (QStringList{"СКМ05  ", "СПО    ", "СБВ03  "}));
}

TEST_F(NetLinkTest, UnansweredAddressGivesUpAndTimesOutWithItsMessage) {
    Start();
    EXPECT_EQ(link.RequestClass(9), 0);
    EXPECT_EQ(bus.FramesTo(9), 1);
    EXPECT_EQ(sleeps, (QList<int>{100, 100, 100}));
    EXPECT_EQ(link.MemoSend, QStringList{NetRequest::Class(9).ToHex()});

    // The receive timer finds the request still waiting and arms the send time-out.
    link.TimerAsincTick();
    EXPECT_TRUE(link.Timer(NetTimer::Send).enabled);
    EXPECT_EQ(link.Timer(NetTimer::Send).intervalMs, 10000);
    EXPECT_EQ(link.Timer(NetTimer::Asinc).intervalMs, 100);
    link.TmSendTick();
    EXPECT_FALSE(link.Timer(NetTimer::Send).enabled);
    ASSERT_FALSE(link.AnswerLog.isEmpty());
    EXPECT_EQ(link.AnswerLog.last(), "Ответ устройства СКМ09 превысил время ожидания!");
    EXPECT_TRUE(link.MemoSend.isEmpty());
}

// The send time-out handles the requests that waited when it was armed. One
// sent since, a packet of a transfer under way, is still on its way: it keeps
// its line, also where an answered request left room in the count.
TEST_F(NetLinkTest, SendTimeOutLeavesRequestsSentSinceItWasArmed) {
    Start();
    ASSERT_EQ(link.RequestClass(7), 0);
    ASSERT_EQ(link.RequestClass(9), 0);
    link.TimerAsincTick();
    ASSERT_TRUE(link.Timer(NetTimer::Send).enabled);
    bus.AddDevice(SimDevice::Switch(9));
    ASSERT_EQ(link.RequestClass(9), 1);  // its line goes with the answer
    const TNetFrame packet = NetRequest::MemoryRead(11, false, 0x2800, 22);
    ASSERT_TRUE(link.SendFrame(packet, link.RequestLog));
    link.TmSendTick();
    EXPECT_EQ(link.MemoSend, QStringList{packet.ToHex()});
    ASSERT_FALSE(link.AnswerLog.isEmpty());
    EXPECT_EQ(link.AnswerLog.last(), "Ответ устройства СКМ07 превысил время ожидания!");

    // Armed again while it waits, the time-out takes it too.
    link.TimerAsincTick();
    link.TmSendTick();
    EXPECT_TRUE(link.MemoSend.isEmpty());
}

// Two silent addresses waiting when the time-out fires: each request waited
// out its ten seconds, and each one ends with its message, the second too.
TEST_F(NetLinkTest, EveryRequestWaitingWhenTheTimeOutFiresTimesOut) {
    Start();
    ASSERT_EQ(link.RequestClass(7), 0);
    ASSERT_EQ(link.RequestClass(8), 0);
    ASSERT_EQ(link.MemoSend,
              (QStringList{NetRequest::Class(7).ToHex(), NetRequest::Class(8).ToHex()}));
    link.AnswerLog.clear();
    link.TimerAsincTick();
    ASSERT_TRUE(link.Timer(NetTimer::Send).enabled);
    link.TmSendTick();
    EXPECT_TRUE(link.MemoSend.isEmpty());
    EXPECT_EQ(link.AnswerLog, (QStringList{"Ответ устройства СКМ07 превысил время ожидания!",
                                           "Ответ устройства СКМ08 превысил время ожидания!"}));
    // Nothing is left for the next round to time out.
    link.TimerAsincTick();
    EXPECT_FALSE(link.Timer(NetTimer::Send).enabled);
}

TEST_F(NetLinkTest, SameRequestTwiceIsJournalledOnceAndCountedTwice) {
    Start();
    const int before = link.ESend;
    QStringList log;
    ASSERT_TRUE(link.SendFrame(NetRequest::Class(40), log));
    ASSERT_TRUE(link.SendFrame(NetRequest::Class(40), log));
    EXPECT_EQ(link.ESend, before + 2);
    EXPECT_EQ(link.MemoSend, QStringList{NetRequest::Class(40).ToHex()});
    EXPECT_TRUE(log.isEmpty());
}

TEST_F(NetLinkTest, TwoDevicesAtOneAddressAreBothListed) {
    bus.AddDevice(SimDevice::Switch(5));
    SimDevice twin = SimDevice::Switch(5);
    twin.serial = "C000000002";
    bus.AddDevice(twin);
    // Both answers are already waiting when the first is read. On the paced wire the second
    // would start a byte time later, and the few milliseconds the link waits for it are not
    // a promise a loaded test machine keeps.
    Start();
    EXPECT_EQ(link.RequestClass(5), 2);
    link.BuildDeviceList(link.DeviceList);
    EXPECT_EQ(link.DeviceList, (QStringList{"СКМ05  ", "СКМ05 2"}));
}

TEST_F(NetLinkTest, ZeroFramesAndFragmentsDoNotBreakTheFraming) {
    bus.AddDevice(SimDevice::Switch(5));
    bus.AddDevice(SimDevice::Switch(7));
    Start();
    const int read = link.ERead;
    bus.InjectFault({BusFault::ZeroFrame, 5});
    EXPECT_EQ(link.RequestClass(5), 1);
    EXPECT_EQ(link.ERead, read + 1);  // the zero frame is neither journalled nor counted

    bus.InjectFault({BusFault::Fragment, 7, 0, 12});
    EXPECT_EQ(link.RequestClass(7), 0);
    EXPECT_TRUE(link.AnswerLog.contains("Ошибка чтения"));
    EXPECT_EQ(link.RequestClass(7), 1);  // the next frame is whole again
    EXPECT_EQ(link.RequestClass(5), 1);
}

TEST_F(NetLinkTest, LateAnswerIsReportedAsLate) {
    bus.AddDevice(SimDevice::Switch(6));
    Start();
    bus.InjectFault({BusFault::Late, 6, 500});
    EXPECT_EQ(link.RequestClass(6), 0);
    link.TimerAsincTick();
    link.TmSendTick();  // the request times out first
    ASSERT_FALSE(link.AnswerLog.isEmpty());
    EXPECT_EQ(link.AnswerLog.last(), "Ответ устройства СКМ06 превысил время ожидания!");

    busClock.Pause(500);  // the answer's delay is over
    link.TimerAsincTick();
    ASSERT_FALSE(link.MemoRead.isEmpty());
    link.TimerAsincTick();
    EXPECT_TRUE(link.Timer(NetTimer::Read).enabled);
    EXPECT_EQ(link.Timer(NetTimer::Read).intervalMs, 5000);
    link.TmReadTick();
    EXPECT_EQ(link.AnswerLog.last(), " Получен ответ устройства: СКМ06 Ответ пришёл с задержкой!");
    EXPECT_EQ(link.Tables.AnswerCount(6), 1);
    EXPECT_TRUE(link.MemoRead.isEmpty());
}

TEST_F(NetLinkTest, SelectWithPasswordAndDeselect) {
    SimDevice device = SimDevice::Switch(5);
    device.password = "123";
    bus.AddDevice(device);
    bus.AddDevice(SimDevice::Switch(6));
    Start();
    EXPECT_EQ(link.SelectDevice(127, "123"), 127);
    const int sent = link.ESend;
    EXPECT_EQ(link.ESend, sent);

    EXPECT_EQ(link.SelectDevice(5, "321"), -1);
    ASSERT_FALSE(link.AnswerLog.isEmpty());
    EXPECT_EQ(link.AnswerLog.last(), "Нет входа в РП. СКМ05");
    EXPECT_EQ(link.SelectDevice(5, "123"), 5);
    EXPECT_EQ(link.AnswerLog.last(), "Вход в РП. СКМ05");
    ASSERT_FALSE(bus.Received().isEmpty());
    EXPECT_EQ(bus.Received().last(), DeviceBusSimulator::FrameFromHex("7F050D0100000080030201"));
    EXPECT_TRUE(bus.Device(0).selected);

    // Another device: the first one is released before.
    EXPECT_EQ(link.SelectDevice(6, ""), 6);
    const QList<QByteArray> frames = bus.Received();
    EXPECT_EQ(frames.at(frames.size() - 2), DeviceBusSimulator::FrameFromHex("7F0506020000"));
    EXPECT_FALSE(bus.Device(0).selected);
    EXPECT_EQ(link.DeselectDevice(6), -1);
    EXPECT_EQ(link.SelectedAddr, -1);
    EXPECT_EQ(link.AnswerLog.last(), "Выход из РП. СКМ06");
}

TEST_F(NetLinkTest, PasswordThatIsNoThreeDigitsIsRefusedBeforeSending) {
    Start();
    ScriptedDialogs dialogs;
    dialogs.Expect("Ошибка", "Пароль устройства - три цифры. Вход в РП не выполнен.");
    const int sent = link.ESend;
    EXPECT_EQ(link.SelectDevice(5, "12"), -1);
    EXPECT_EQ(link.ESend, sent);
}

TEST_F(NetLinkTest, SerialNumberOnTheBus) {
    SimDevice device = SimDevice::Switch(5);
    device.serial = "B123456789";
    device.dtg = QByteArray::fromHex("ABCDEF");
    bus.AddDevice(device);
    Start();
    const TNetFrame request{0x7F, 0x05, 0x0A, 0x01, 0, 0, 0, 0x03};
    const NetCycleResult result =
        link.RunRequestCycle(request, link.RequestLog, link.AnswerLog, link.DeviceList);
    EXPECT_TRUE(result.sent);
    EXPECT_TRUE(result.answered);
    ASSERT_FALSE(link.AnswerLog.isEmpty());
    EXPECT_EQ(link.AnswerLog.last(), "СКМ05 SN:= B123456789");
    EXPECT_EQ(link.Tables.Text(5, kTextDtg), "ABCDEF");
}

TEST_F(NetLinkTest, AdapterReceptionModeAndTheSnifferLog) {
    bus.AddDevice(SimDevice::Switch(5));
    Start();
    int mode = 1;
    link.SendAdapterCommand(mode);
    EXPECT_EQ(mode, 1);
    EXPECT_EQ(bus.Adapter().receptionMode, 1);
    mode = 0;
    link.SendAdapterCommand(mode);
    EXPECT_EQ(mode, 0);
    ASSERT_FALSE(link.FormLog.isEmpty());
    EXPECT_EQ(link.FormLog.last(), "Принимаются пакеты только для СУС .");

    const QString logFile = programDir.path() + "LOG/sniff.log";
    link.Settings.SnifferMode = true;
    EXPECT_TRUE(link.OpenNetLog(logFile));
    EXPECT_EQ(link.ReceptionMode(), 2);
    EXPECT_EQ(link.FormLog.last(), "Принимаются любые пакеты сети, log файл для их сохранения: " +
                                       logFile + ". Файл перезаписан.");
    EXPECT_TRUE(link.Timer(NetTimer::Asinc).enabled);
    EXPECT_EQ(link.RequestClass(5), 1);
    // A packet between two devices is logged, not journalled.
    const int read = link.ERead;
    bus.SendUnsolicited(DeviceBusSimulator::FrameFromHex("0506060000"));
    EXPECT_TRUE(QTest::qWaitFor(
        [&] {
            link.TimerAsincTick();
            QFile f(logFile);
            return f.open(QIODevice::ReadOnly) && f.readAll().contains("< 0506060000");
        },
        2000));
    EXPECT_EQ(link.ERead, read);
    EXPECT_TRUE(link.StopNet());
    EXPECT_EQ(bus.Adapter().receptionMode, 0);  // the adapter passes only its own packets again

    QFile file(logFile);
    ASSERT_TRUE(file.open(QIODevice::ReadOnly));
    const QStringList lines = QString::fromUtf8(file.readAll()).split('\n', Qt::SkipEmptyParts);
    const QRegularExpression shape(
        "^\\d{4}-\\d\\d-\\d\\d \\d\\d:\\d\\d:\\d\\d\\.\\d{3} [<>] [0-9A-F]{60}$");
    ASSERT_GE(lines.size(), 2);
    for (const QString& line : lines)
        EXPECT_TRUE(shape.match(line).hasMatch()) << line.toStdString();
    const auto logged = [&](const QString& part) {
        return std::any_of(lines.begin(), lines.end(),
                           [&](const QString& line) { return line.contains(part); });
    };
    EXPECT_TRUE(logged("> " + NetRequest::Class(5).ToHex()));
    EXPECT_TRUE(logged("< 057F1F80"));
}

TEST_F(NetLinkTest, LogFileThatCannotBeOpenedSwitchesSnifferModeOff) {
    Start();
    programDir.writeFile("LOG/blocked", "x");  // a file where the folder should be
    link.Settings.SnifferMode = true;
    ScriptedDialogs dialogs;
    dialogs.Expect("Ошибка", "Ошибка открытия файла сохранения.");
    EXPECT_FALSE(link.OpenNetLog(programDir.path() + "LOG/blocked/log1.log"));
    EXPECT_FALSE(link.Settings.SnifferMode);
    EXPECT_EQ(link.ReceptionMode(), 0);
}

TEST_F(NetLinkTest, SilentAdapterEndsTheModeCommandWithinSeconds) {
    Start();
    SimAdapter adapter = bus.Adapter();
    adapter.answers = false;
    bus.SetAdapter(adapter);
    int mode = 1;
    fakeNow = 0;
    clockLooks = 0;
    link.SendAdapterCommand(mode);
    EXPECT_EQ(mode, 2);  // nothing confirmed
    // A look at the clock before each blocking read: a few seconds' worth, not a hundred reads.
    EXPECT_GE(clockLooks, 2);
    EXPECT_LE(clockLooks, 4);
    // The restart gets no answer either; the port closes all the same.
    EXPECT_TRUE(link.CloseNetPort(true));
    EXPECT_FALSE(link.BComNet.Connected());
}

TEST_F(NetLinkTest, PortClosedUnderTheCycleGivesOneMessageAndAClosedPort) {
    bus.AddDevice(SimDevice::Switch(5));
    Start();
    ScriptedDialogs dialogs;
    dialogs.Expect(Dialogs::ApplicationTitle(), TBComPort::DeviceLostText(pty.SlavePath()));
    bus.InjectFault({BusFault::HangUp, 6});
    EXPECT_EQ(link.RequestClass(6), 0);
    ASSERT_TRUE(QTest::qWaitFor([&] { return !link.BComNet.Connected(); }, 2000));
    EXPECT_TRUE(link.BComNet.DeviceLost());
    // Nothing more is sent, and nothing more is said.
    EXPECT_EQ(link.RequestClass(5), 0);
    link.TimerAsincTick();
    EXPECT_TRUE(link.StopNet());
    EXPECT_FALSE(link.LinkRunning());
    EXPECT_TRUE(link.Timer(NetTimer::Restart).enabled);
    EXPECT_EQ(dialogs.Shown().size(), 1);
}

TEST_F(NetLinkTest, DeviceThatMovedIsAskedAgainAtBothAddresses) {
    const int device = bus.AddDevice(SimDevice::Switch(5));
    // The address change by serial number: the device answers, then moves.
    bus.SetCommandHandler(0x01, [](SimDevice& d, const QByteArray& frame) {
        QByteArray answer = frame;
        answer[0] = char(d.address);
        answer[1] = 0x7F;
        answer[3] = char(0x81);
        d.address = quint8(frame[20]);
        return QList<QByteArray>{answer};
    });
    Start();
    ASSERT_EQ(link.RequestClass(5), 1);
    TNetFrame change{0x7F, 0x05, 0x19, 0x01, 0, 0, 0, 0x04};
    change.Set(20, 7);
    ASSERT_TRUE(link.SendFrame(change, link.RequestLog));
    ASSERT_TRUE(bus.Settle());  // its answer is there
    QString modeText = "1", status;
    ASSERT_TRUE(QTest::qWaitFor(
        [&] {
            QString error;
            if (link.ReadFrame(error))
                link.InterpretNetAnswers(modeText, status, link.AnswerLog, link.DeviceList);
            return link.AnswerLog.contains(
                "Сетевой адрес СУ СКМ05 изменен на СКМ07. Операция смены выполнена.");
        },
        3000));
    EXPECT_EQ(modeText, "sn07");  // the new address answered its class request
    EXPECT_EQ(link.Tables.AnswerCount(5), 0);
    EXPECT_EQ(link.Tables.AnswerCount(7), 1);
    EXPECT_EQ(bus.Device(device).address, 7);
    EXPECT_EQ(link.DeviceList, QStringList{"СКМ07  "});
    const std::optional<NetClassInfo> info = link.ShowDeviceClass("СКМ07  ");
    ASSERT_TRUE(info);
    EXPECT_EQ(info->lines.at(1), "Получен ответ на запрос класса.");
    EXPECT_FALSE(link.ShowDeviceClass("Порт:=/dev/x"));
}

TEST_F(NetLinkTest, SendingOnAClosedPortSaysSo) {
    ScriptedDialogs dialogs;
    dialogs.Expect("Ошибка записи", "Аварийное закрытие порта!");
    QStringList log;
    EXPECT_FALSE(link.SendFrame(NetRequest::Class(5), log));
    EXPECT_EQ(link.ESend, 0);
    EXPECT_TRUE(link.MemoSend.isEmpty());
}

}  // namespace
}  // namespace NetLinkTestUnit
