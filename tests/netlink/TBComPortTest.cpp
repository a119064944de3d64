#include "netlink/TBComPort.h"
#include "support/PtyPair.h"
#include "support/QtPrinters.h"
#include "support/ScriptedDialogs.h"

#include <gtest/gtest.h>
#include <QDir>
#include <QElapsedTimer>
#include <QTemporaryFile>
#include <QTest>
#include <QThread>

#include <fcntl.h>
#include <poll.h>
#include <sys/file.h>
#include <sys/wait.h>
#include <termios.h>
#include <unistd.h>

namespace TBComPortTestUnit {

namespace {

const QString kNoSuchPort = "Попытка открыть несуществующий COM-порт";
const QString kPortBusy = "Порт занят другой программой";
const QString kWriteFailed = "Ошибка записи в порт";
const QString kReadFailed = "Ошибка чтения из порта";
const QString kBadAsync = "Недопустимый параметр Async";
const QString kPurgeFailed = "Ошибка функции PurgeComm";
const QString kBufferSizes = "Ошибка функции SetupComm";
const QString kLineSettings = "Ошибка функции SetCommState";
const QString kInputState = "Ошибка функции ClearCommError";
const QString kModemStatus = "Ошибка функции GetCommModemStatus";
const QString kLineControl = "Ошибка функции EscapeCommFunction";
const QString kWhileOpen = "Нельзя менять свойство, пока порт открыт";

// The operator's text of the EComPort that f raises; empty when none.
template <typename F>
QString FaultText(F&& f) {
    try {
        f();
    } catch (const EComPort& e) {
        return e.Message();
    }
    return QString();
}

QByteArray AllByteValues() {
    QByteArray bytes(256, '\0');
    for (int i = 0; i < 256; ++i) bytes[i] = char(i);
    return bytes;
}

class ComPortTest : public ::testing::Test {
  protected:
    void SetUp() override { port.SetPort(pty.SlavePath()); }

    void SetReadTimeouts(int interval, int multiplier, int constant) {
        port.Timeouts().SetReadInterval(interval);
        port.Timeouts().SetReadTotalMultiplier(multiplier);
        port.Timeouts().SetReadTotalConstant(constant);
    }

    // Opens the port and starts an asynchronous read of one 30-byte frame.
    TAsyncRecord* OpenAndStartFrameRead(QByteArray& frame) {
        SetReadTimeouts(-1, 20, 5000);
        EXPECT_TRUE(port.Open());
        TAsyncRecord* record = nullptr;
        InitAsync(record);
        frame = QByteArray(30, '\0');
        EXPECT_EQ(port.ReadAsync(frame.data(), 30, record), 0);
        return record;
    }

    bool WaitForInput(int count) {
        return QTest::qWaitFor([&] { return port.InputCount() >= count; }, 2000);
    }

    // Takes what the device sent into the port's own queue and says whether
    // that is count bytes. A read of the terminal waits for the bytes still on
    // their way to it, so InputCount, which reads, gets all of them however
    // late the port's reader thread runs; a hang-up discards in the kernel
    // whatever nobody had read.
    bool PortHolds(int count) { return port.InputCount() == count; }

    PtyPair pty;  // declared first: outlives the port
    TBComPort port;
};

TEST_F(ComPortTest, MissingPathGivesNoSuchPortAndStaysClosed) {
    port.SetPort("/dev/ttyArmNoSuchPort42");
    EXPECT_EQ(FaultText([&] { port.Open(); }), kNoSuchPort);
    EXPECT_FALSE(port.Connected());
    port.SetPort("ttyArmNoSuchPort42");
    EXPECT_EQ(port.DevicePath(), "/dev/ttyArmNoSuchPort42");
    EXPECT_EQ(FaultText([&] { port.Open(); }), kNoSuchPort);

    QTemporaryFile plainFile;  // there, but no terminal
    ASSERT_TRUE(plainFile.open());
    port.SetPort(plainFile.fileName());
    EXPECT_EQ(FaultText([&] { port.Open(); }), kBufferSizes);
    EXPECT_FALSE(port.Connected());
}

TEST_F(ComPortTest, PortHeldByAnotherProcessIsBusyUntilReleased) {
    int ready[2], release[2];
    ASSERT_EQ(pipe(ready), 0);
    ASSERT_EQ(pipe(release), 0);
    const QByteArray path = pty.SlavePath().toLocal8Bit();
    const pid_t child = fork();
    ASSERT_GE(child, 0);
    if (child == 0) {
        // Only async-signal-safe calls in the child. It lets go of the
        // parent's ends, so it never outlives a parent that stopped early.
        ::close(ready[0]);
        ::close(release[1]);
        const int fd = ::open(path.constData(), O_RDWR | O_NOCTTY);
        const char ok = (fd >= 0 && flock(fd, LOCK_EX | LOCK_NB) == 0) ? '1' : '0';
        [[maybe_unused]] ssize_t n = ::write(ready[1], &ok, 1);
        char c;
        n = ::read(release[0], &c, 1);
        _exit(0);
    }
    char ok = '0';
    pollfd pfd{ready[0], POLLIN, 0};
    ASSERT_EQ(poll(&pfd, 1, 5000), 1);
    ASSERT_EQ(::read(ready[0], &ok, 1), 1);
    ASSERT_EQ(ok, '1');

    EXPECT_EQ(FaultText([&] { port.Open(); }), kPortBusy);
    EXPECT_FALSE(port.Connected());

    ASSERT_EQ(::write(release[1], "x", 1), 1);
    int status = 0;
    ASSERT_EQ(waitpid(child, &status, 0), child);
    for (int fd : {ready[0], ready[1], release[0], release[1]}) ::close(fd);
    EXPECT_TRUE(port.Open());
}

TEST_F(ComPortTest, BufferSizesAreEvenAndTimeoutsAreAssigned) {
    port.SetInBufSize(33);
    EXPECT_EQ(port.InBufSize(), 32);
    port.SetInBufSize(32);
    EXPECT_EQ(port.InBufSize(), 32);
    port.SetOutBufSize(2049);
    EXPECT_EQ(port.OutBufSize(), 2048);

    TComTimeouts wanted;
    wanted.SetReadTotalMultiplier(20);
    wanted.SetReadTotalConstant(200);
    port.SetTimeouts(wanted);
    EXPECT_EQ(port.Timeouts().ReadTotalMultiplier(), 20);
    EXPECT_EQ(port.Timeouts().ReadTotalConstant(), 200);
    EXPECT_EQ(port.Timeouts().ReadInterval(), -1);
}

TEST_F(ComPortTest, PortAndSyncMethodCannotChangeWhileOpen) {
    EXPECT_TRUE(port.Close());  // closing a closed port does nothing
    ASSERT_TRUE(port.Open());
    EXPECT_TRUE(port.Open());  // opening an open port does nothing
    EXPECT_EQ(FaultText([&] { port.SetPort(pty.SlavePath()); }), kWhileOpen);
    EXPECT_EQ(FaultText([&] { port.SetPort("ttyUSB0"); }), kWhileOpen);
    EXPECT_EQ(FaultText([&] { port.SetSyncMethod(smNone); }), kWhileOpen);
    EXPECT_EQ(FaultText([&] { port.SetSyncMethod(smThreadSync); }), QString());
    EXPECT_EQ(port.Port(), pty.SlavePath());

    port.SetInBufSize(33);  // other properties change while open
    EXPECT_EQ(port.InBufSize(), 32);
    port.SetBaudRate(br115200);
    EXPECT_EQ(port.BaudRate(), br115200);

    EXPECT_TRUE(port.Close());
    EXPECT_FALSE(port.Connected());
    port.SetSyncMethod(smNone);
    EXPECT_EQ(port.SyncMethod(), smNone);
}

// Rates with a standard terminal speed and those without one alike. The rates are
// written out here, not taken from the port's own table, so a wrong entry shows.
TEST_F(ComPortTest, OpensAtEveryRateOfItsTableAndTheTerminalHoldsIt) {
    struct Case {
        TBaudRate rate;
        int bitsPerSecond;
    };
    const Case cases[] = {
        {br110, 110},       {br300, 300},       {br600, 600},       {br1200, 1200},
        {br2400, 2400},     {br4800, 4800},     {br9600, 9600},     {br14400, 14400},
        {br19200, 19200},   {br38400, 38400},   {br56000, 56000},   {br57600, 57600},
        {br115200, 115200}, {br128000, 128000}, {br256000, 256000},
    };
    ASSERT_EQ(std::size(cases), size_t(br256000) + 1);  // every rate of the enumeration
    for (const Case& c : cases) {
        port.SetBaudRate(c.rate);
        ASSERT_TRUE(port.Open()) << c.bitsPerSecond;
        EXPECT_EQ(BaudRateValue(c.rate), c.bitsPerSecond);
        EXPECT_EQ(pty.SlaveRate(), c.bitsPerSecond);
        EXPECT_TRUE(port.Close());
    }
}

// One stop-bit setting serves the line: 1.5 stop bits with 5-bit bytes, 2 with
// longer ones. (A pseudo-terminal keeps that setting, but always 8-bit bytes.)
TEST_F(ComPortTest, StopBitsTheLineCannotExpressAreRefused) {
    struct Case {
        TByteSize size;
        TStopBits stop;
        bool opens;
        bool stopSetting;  // the terminal then holds the setting for more than one stop bit
    };
    const Case cases[] = {
        {bs5, sb1_5, true, true}, {bs5, sb2, false, false}, {bs8, sb1_5, false, false},
        {bs8, sb2, true, true},   {bs5, sb1, true, false},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(testing::Message() << "size " << c.size << ", stop bits " << c.stop);
        port.SetByteSize(c.size);
        port.SetStopBits(c.stop);
        if (!c.opens) {
            EXPECT_EQ(FaultText([&] { port.Open(); }), kLineSettings);
            EXPECT_FALSE(port.Connected());
            continue;
        }
        ASSERT_TRUE(port.Open());
        EXPECT_EQ((pty.SlaveControlFlags() & CSTOPB) != 0, c.stopSetting);
        port.Close();
    }

    // While open, the setting in force stays when another is refused.
    port.SetByteSize(bs8);
    port.SetStopBits(sb2);
    ASSERT_TRUE(port.Open());
    EXPECT_EQ(FaultText([&] { port.SetStopBits(sb1_5); }), kLineSettings);
    EXPECT_EQ(FaultText([&] { port.SetByteSize(bs5); }), kLineSettings);
    EXPECT_EQ(port.StopBits(), sb2);
    EXPECT_EQ(port.ByteSize(), bs8);
    EXPECT_TRUE(port.Connected());
}

TEST_F(ComPortTest, AllByteValuesPassBothWaysUnchanged) {
    SetReadTimeouts(0, 0, 2000);
    port.SetParity(paNone);
    ASSERT_TRUE(port.Open());
    const QByteArray bytes = AllByteValues();

    EXPECT_EQ(port.Write(bytes.constData(), int(bytes.size())), 256);
    EXPECT_EQ(pty.ReadMaster(256, 2000), bytes);

    ASSERT_TRUE(pty.WriteMaster(bytes));
    QByteArray back(256, '\0');
    EXPECT_EQ(port.Read(back.data(), 256), 256);
    EXPECT_EQ(back, bytes);
}

TEST_F(ComPortTest, DefaultTimeoutsReturnWhatIsWaitingAtOnce) {
    ASSERT_TRUE(port.Open());
    QByteArray text;
    EXPECT_EQ(port.ReadStr(text, 30), 0);
    EXPECT_TRUE(text.isEmpty());

    ASSERT_TRUE(pty.WriteMaster("12345"));
    ASSERT_TRUE(WaitForInput(5));
    QElapsedTimer timer;
    timer.start();
    EXPECT_EQ(port.ReadStr(text, 30), 5);
    EXPECT_EQ(text, "12345");
    EXPECT_LT(timer.elapsed(), 500);
    EXPECT_EQ(port.ReadStr(text, 0), 0);
    EXPECT_TRUE(text.isEmpty());
}

TEST_F(ComPortTest, ReadEndsAtTotalDeadlineWithWhatCame) {
    SetReadTimeouts(-1, 1, 40);  // 30 bytes: 70 ms
    ASSERT_TRUE(port.Open());
    ASSERT_TRUE(pty.WriteMaster("abc"));
    QElapsedTimer timer;
    timer.start();
    char buffer[30];
    EXPECT_EQ(port.Read(buffer, 30), 3);
    EXPECT_GE(timer.elapsed(), 60);
    EXPECT_EQ(QByteArray(buffer, 3), "abc");
}

TEST_F(ComPortTest, AsyncReadCompletesOnThirtyBytes) {
    SetReadTimeouts(-1, 20, 5000);
    ASSERT_TRUE(port.Open());
    TAsyncRecord* record = nullptr;
    InitAsync(record);
    EXPECT_TRUE(port.IsAsyncCompleted(record));  // a fresh record has nothing pending
    EXPECT_EQ(port.WaitForAsync(record), 0);

    QByteArray frame(30, '\0');
    EXPECT_EQ(port.ReadAsync(frame.data(), 30, record), 0);
    EXPECT_FALSE(port.IsAsyncCompleted(record));
    EXPECT_EQ(record->OperationKind(), TAsyncRecord::Read);

    QElapsedTimer timer;
    timer.start();
    const QByteArray sent = AllByteValues().mid(200, 30);
    ASSERT_TRUE(pty.WriteMaster(sent.left(12)));
    ASSERT_TRUE(pty.WriteMaster(sent.mid(12)));
    ASSERT_TRUE(QTest::qWaitFor([&] { return port.IsAsyncCompleted(record); }, 4000));
    EXPECT_LT(timer.elapsed(), 4000);  // the data, not the 5.6 s deadline, ended it
    EXPECT_EQ(port.WaitForAsync(record), 30);
    EXPECT_EQ(frame, sent);
    DoneAsync(record);
    EXPECT_EQ(record, nullptr);
}

TEST_F(ComPortTest, AsyncReadCompletesAtItsDeadline) {
    SetReadTimeouts(-1, 1, 30);  // 30 bytes: 60 ms
    ASSERT_TRUE(port.Open());
    TAsyncRecord* record = nullptr;
    InitAsync(record);
    QByteArray frame(30, '\0');

    QElapsedTimer timer;
    timer.start();
    EXPECT_EQ(port.ReadAsync(frame.data(), 30, record), 0);
    ASSERT_TRUE(QTest::qWaitFor([&] { return port.IsAsyncCompleted(record); }, 2000));
    EXPECT_GE(timer.elapsed(), 55);
    EXPECT_EQ(port.WaitForAsync(record), 0);

    // A part of a frame ends the same way, with the bytes that came.
    ASSERT_TRUE(pty.WriteMaster(QByteArray::fromHex("7f7f06")));
    timer.restart();
    EXPECT_EQ(port.ReadAsync(frame.data(), 30, record), 0);
    EXPECT_EQ(port.WaitForAsync(record), 3);
    EXPECT_GE(timer.elapsed(), 55);
    EXPECT_EQ(frame.left(3), QByteArray::fromHex("7f7f06"));
    DoneAsync(record);
}

TEST_F(ComPortTest, WaitForAsyncNeverWaitsWithoutLimit) {
    const int saved = TBComPort::UnlimitedWaitMs();
    TBComPort::SetUnlimitedWaitMsForTests(80);
    SetReadTimeouts(0, 0, 0);  // the driver would wait for all 30 bytes forever
    ASSERT_TRUE(port.Open());
    TAsyncRecord* record = nullptr;
    InitAsync(record);
    QByteArray frame(30, '\0');
    port.ReadAsync(frame.data(), 30, record);
    ASSERT_TRUE(pty.WriteMaster("xy"));
    QElapsedTimer timer;
    timer.start();
    EXPECT_EQ(port.WaitForAsync(record), 2);  // nothing that came is lost
    EXPECT_LT(timer.elapsed(), 2000);
    EXPECT_TRUE(port.IsAsyncCompleted(record));
    EXPECT_EQ(frame.left(2), "xy");
    DoneAsync(record);
    TBComPort::SetUnlimitedWaitMsForTests(saved);
}

TEST_F(ComPortTest, ReadsAreServedInTheOrderTheyStarted) {
    SetReadTimeouts(-1, 0, 2000);
    ASSERT_TRUE(port.Open());
    TAsyncRecord* record = nullptr;
    InitAsync(record);
    QByteArray first(4, '\0');
    port.ReadAsync(first.data(), 4, record);
    ASSERT_TRUE(pty.WriteMaster("ABCDEFGH"));
    char second[4];
    EXPECT_EQ(port.Read(second, 4), 4);
    EXPECT_EQ(QByteArray(second, 4), "EFGH");
    EXPECT_TRUE(port.IsAsyncCompleted(record));
    EXPECT_EQ(first, "ABCD");
    DoneAsync(record);
}

TEST_F(ComPortTest, MissingRecordAndClosedPortGiveTheirTexts) {
    ASSERT_TRUE(port.Open());
    char buffer[4];
    EXPECT_EQ(FaultText([&] { port.ReadAsync(buffer, 4, nullptr); }), kBadAsync);
    EXPECT_EQ(FaultText([&] { port.WaitForAsync(nullptr); }), kBadAsync);
    EXPECT_EQ(FaultText([&] { port.IsAsyncCompleted(nullptr); }), kBadAsync);
    // A pseudo-terminal has no modem lines.
    EXPECT_EQ(FaultText([&] { port.SetDTR(true); }), kLineControl);
    EXPECT_EQ(FaultText([&] { port.Signals(); }), kModemStatus);
    port.ClearBuffer(true, true);
    port.Close();

    EXPECT_EQ(FaultText([&] { port.Write("a", 1); }), kWriteFailed);
    EXPECT_EQ(FaultText([&] { port.Read(buffer, 4); }), kReadFailed);
    EXPECT_EQ(FaultText([&] { port.InputCount(); }), kInputState);
    EXPECT_EQ(FaultText([&] { port.ClearBuffer(true, false); }), kPurgeFailed);
    EXPECT_EQ(FaultText([&] { port.SetRTS(false); }), kLineControl);
}

TEST_F(ComPortTest, CloseAbortsAPendingAsyncRead) {
    QByteArray frame;
    TAsyncRecord* record = OpenAndStartFrameRead(frame);
    EXPECT_TRUE(port.Close());
    // An aborted read has no status to give, and waiting for it reads nothing.
    EXPECT_EQ(FaultText([&] { port.IsAsyncCompleted(record); }),
              "Не удалось получить статус асинхронной операции");
    EXPECT_EQ(FaultText([&] { port.WaitForAsync(record); }), kReadFailed);

    // The record serves the next read once the port is open again.
    ASSERT_TRUE(port.Open());
    EXPECT_EQ(port.ReadAsync(frame.data(), 30, record), 0);
    ASSERT_TRUE(pty.WriteMaster(QByteArray(30, 'z')));
    EXPECT_EQ(port.WaitForAsync(record), 30);
    EXPECT_EQ(frame, QByteArray(30, 'z'));
    DoneAsync(record);
}

TEST_F(ComPortTest, WriteTheOtherEndDoesNotTakeEndsAtItsDeadline) {
    port.Timeouts().SetWriteTotalMultiplier(0);
    port.Timeouts().SetWriteTotalConstant(100);
    ASSERT_TRUE(port.Open());
    const QByteArray lot(1 << 20, 'w');  // far more than the terminal queues hold
    QElapsedTimer timer;
    timer.start();
    const int written = port.Write(lot.constData(), int(lot.size()));
    EXPECT_GT(written, 0);
    EXPECT_LT(written, lot.size());
    EXPECT_GE(timer.elapsed(), 90);
    EXPECT_LT(timer.elapsed(), 3000);
}

TEST_F(ComPortTest, ClearBufferDropsWaitingInput) {
    ASSERT_TRUE(port.Open());
    ASSERT_TRUE(pty.WriteMaster("stale"));
    ASSERT_TRUE(WaitForInput(5));
    port.ClearBuffer(true, false);
    EXPECT_EQ(port.InputCount(), 0);
}

TEST_F(ComPortTest, ReceivedCharEventsArriveOnTheUserInterfaceThread) {
    QThread* seenOn = nullptr;
    int counted = 0;
    port.OnRxChar = [&](TBComPort* sender, int count) {
        EXPECT_EQ(sender, &port);
        seenOn = QThread::currentThread();
        counted = count;
    };
    ASSERT_TRUE(port.Open());
    ASSERT_TRUE(pty.WriteMaster("hello"));
    ASSERT_TRUE(QTest::qWaitFor([&] { return counted >= 5; }, 2000));
    EXPECT_EQ(seenOn, QThread::currentThread());

    // Bytes that stay unread still announce new ones.
    counted = 0;
    ASSERT_TRUE(pty.WriteMaster("!"));
    ASSERT_TRUE(QTest::qWaitFor([&] { return counted == 6; }, 2000));
}

TEST_F(ComPortTest, BytesAfterAClearedInputStillAnnounceThemselves) {
    int counted = 0;
    port.OnRxChar = [&](TBComPort*, int count) { counted = count; };
    ASSERT_TRUE(port.Open());
    for (int round = 0; round < 3; ++round) {
        ASSERT_TRUE(pty.WriteMaster("stale"));
        ASSERT_TRUE(QTest::qWaitFor([&] { return counted == 5; }, 2000));
        // Let the reader thread look at the waiting bytes a few times.
        QTest::qWait(30);
        port.ClearBuffer(true, false);
        counted = 0;
        ASSERT_TRUE(pty.WriteMaster("n"));
        ASSERT_TRUE(QTest::qWaitFor([&] { return counted == 1; }, 2000)) << "round " << round;
        char drop;
        ASSERT_EQ(port.Read(&drop, 1), 1);
        counted = 0;
    }
}

TEST_F(ComPortTest, WindowSyncPostsAndNoneRunsInTheReaderThread) {
    std::atomic<QThread*> seenOn{nullptr};
    port.OnRxChar = [&](TBComPort*, int) { seenOn = QThread::currentThread(); };

    port.SetSyncMethod(smWindowSync);
    ASSERT_TRUE(port.Open());
    ASSERT_TRUE(pty.WriteMaster("a"));
    ASSERT_TRUE(QTest::qWaitFor([&] { return seenOn != nullptr; }, 2000));
    EXPECT_EQ(seenOn, QThread::currentThread());
    port.Close();

    seenOn = nullptr;
    port.SetSyncMethod(smNone);
    ASSERT_TRUE(port.Open());
    ASSERT_TRUE(pty.WriteMaster("b"));
    ASSERT_TRUE(QTest::qWaitFor([&] { return seenOn != nullptr; }, 2000));
    EXPECT_NE(seenOn, QThread::currentThread());
    port.Close();
}

TEST_F(ComPortTest, TransmitEmptyFollowsAWrite) {
    bool empty = false;
    port.OnTxEmpty = [&](TBComPort*) { empty = true; };
    ASSERT_TRUE(port.Open());
    ASSERT_EQ(port.Write("ping", 4), 4);
    EXPECT_TRUE(QTest::qWaitFor([&] { return empty; }, 2000));
}

TEST_F(ComPortTest, CloseWhileADeliveryWaitsDoesNotHang) {
    int calls = 0;
    port.OnRxChar = [&](TBComPort*, int) { ++calls; };
    ASSERT_TRUE(port.Open());
    ASSERT_TRUE(pty.WriteMaster("x"));
    // Give the reader thread time to post its delivery and wait for this
    // thread, which runs no events meanwhile. Should it not have got there
    // yet, Close stops it earlier; either way Close must come back.
    QThread::msleep(50);
    EXPECT_TRUE(port.Close());
    QCoreApplication::processEvents();
    EXPECT_EQ(calls, 0);  // a delivery of a closed port is dropped
}

TEST_F(ComPortTest, CloseAfterTheOtherEndVanishedClosesThePort) {
    ScriptedDialogs dialogs;
    dialogs.Expect(Dialogs::ApplicationTitle(), TBComPort::DeviceLostText(pty.SlavePath()));
    ASSERT_TRUE(port.Open());
    pty.CloseMaster();
    char buffer[4];
    EXPECT_EQ(FaultText([&] { port.Read(buffer, 4); }), kReadFailed);
    EXPECT_FALSE(port.Connected());  // the failed read gave the device up
    EXPECT_EQ(FaultText([&] { port.Write("a", 1); }), kWriteFailed);
    EXPECT_TRUE(port.Close());
    EXPECT_FALSE(port.Connected());
}

TEST_F(ComPortTest, BytesBeforeAHangUpArriveThenTheLossIsReportedOnce) {
    ScriptedDialogs dialogs;
    dialogs.Expect(Dialogs::ApplicationTitle(), TBComPort::DeviceLostText(pty.SlavePath()));
    QByteArray got;
    int events = 0;
    port.OnRxChar = [&](TBComPort* sender, int count) {
        ++events;
        QByteArray bytes;
        sender->ReadStr(bytes, count);
        got += bytes;
    };
    ASSERT_TRUE(port.Open());
    ASSERT_TRUE(pty.WriteMaster("abc"));
    ASSERT_TRUE(PortHolds(3));
    pty.CloseMaster();  // before the user-interface thread had the event
    ASSERT_TRUE(QTest::qWaitFor([&] { return !port.Connected(); }, 2000));
    QTest::qWait(30);  // nothing more is reported afterwards
    EXPECT_EQ(got, "abc");
    EXPECT_EQ(events, 1);
    EXPECT_TRUE(port.DeviceLost());
    EXPECT_EQ(dialogs.Shown().size(), 1);
    EXPECT_TRUE(port.Close());
}

TEST_F(ComPortTest, PendingReadTakesWhatCameBeforeAHangUp) {
    ScriptedDialogs dialogs;
    dialogs.Expect(Dialogs::ApplicationTitle(), TBComPort::DeviceLostText(pty.SlavePath()));
    QByteArray frame;
    TAsyncRecord* record = OpenAndStartFrameRead(frame);
    ASSERT_TRUE(pty.WriteMaster("part"));
    ASSERT_TRUE(PortHolds(4));
    pty.CloseMaster();
    // No event handler runs here: the waiting read itself meets the hang-up.
    EXPECT_EQ(port.WaitForAsync(record), 4);
    EXPECT_EQ(frame.left(4), "part");
    char more[4];
    EXPECT_EQ(FaultText([&] { port.Read(more, 4); }), kReadFailed);
    EXPECT_FALSE(port.Connected());
    QTest::qWait(30);  // the reader thread's view of the hang-up adds nothing
    EXPECT_EQ(dialogs.Shown().size(), 1);
    DoneAsync(record);
}

// Descriptors open in this process.
int OpenDescriptors() {
    return int(QDir("/proc/self/fd").entryList(QDir::Files | QDir::System).size());
}

TEST_F(ComPortTest, SecondPortOnTheSameDeviceIsBusyAndNothingLeaks) {
    const int before = OpenDescriptors();
    ASSERT_TRUE(port.Open());
    TBComPort other;
    other.SetPort(pty.SlavePath());
    EXPECT_EQ(FaultText([&] { other.Open(); }), kPortBusy);
    EXPECT_FALSE(other.Connected());
    EXPECT_TRUE(port.Connected());
    EXPECT_TRUE(port.Close());
    EXPECT_TRUE(other.Open());  // free once the first one let go
    EXPECT_TRUE(other.Close());

    other.SetStopBits(sb1_5);  // opens the device, then refuses the settings
    EXPECT_EQ(FaultText([&] { other.Open(); }), kLineSettings);
    other.SetPort("/dev/ttyArmNoSuchPort42");
    EXPECT_EQ(FaultText([&] { other.Open(); }), kNoSuchPort);
    for (int round = 0; round < 3; ++round) {
        ASSERT_TRUE(port.Open());
        EXPECT_TRUE(port.Close());
    }
    EXPECT_EQ(OpenDescriptors(), before);
}

TEST_F(ComPortTest, PortOpensAgainAfterClose) {
    SetReadTimeouts(0, 0, 2000);
    for (int round = 0; round < 3; ++round) {
        ASSERT_TRUE(port.Open());
        ASSERT_TRUE(pty.WriteMaster("ok"));
        char buffer[2];
        ASSERT_EQ(port.Read(buffer, 2), 2);
        EXPECT_EQ(QByteArray(buffer, 2), "ok");
        EXPECT_TRUE(port.Close());
    }
}

TEST(ComTimeoutRules, NegativeMeansNoLimitAndPicksTheReadMode) {
    EXPECT_EQ(DriverTimeout(-1), 0xFFFFFFFFu);
    EXPECT_EQ(DriverTimeout(200), 200u);

    TComTimeouts t;  // interval -1, totals 0: what is waiting, at once
    EXPECT_TRUE(ReadLimitsFor(t, 30).returnAtOnce);

    t.SetReadTotalMultiplier(20);
    t.SetReadTotalConstant(200);
    ReadLimits adapter = ReadLimitsFor(t, 30);
    EXPECT_FALSE(adapter.returnAtOnce);
    EXPECT_EQ(adapter.totalMs, 800);
    EXPECT_FALSE(adapter.intervalMs.has_value());

    t.SetReadTotalMultiplier(-1);
    ReadLimits firstBytes = ReadLimitsFor(t, 30);
    EXPECT_TRUE(firstBytes.returnOnFirstBytes);
    EXPECT_EQ(firstBytes.totalMs, 200);

    t.SetReadInterval(15);
    t.SetReadTotalMultiplier(0);
    t.SetReadTotalConstant(0);
    ReadLimits gap = ReadLimitsFor(t, 30);
    EXPECT_FALSE(gap.totalMs.has_value());
    EXPECT_EQ(gap.intervalMs, 15);

    EXPECT_EQ(WriteLimitFor(t, 30), 100 * 30 + 1000);
    t.SetWriteTotalMultiplier(0);
    t.SetWriteTotalConstant(0);
    EXPECT_FALSE(WriteLimitFor(t, 30).has_value());
}

TEST(ComLineErrors, ParityErrorsCountOnlyWithParity) {
    LineErrorCounters before;
    LineErrorCounters after;
    after.parity = 2;
    after.frame = 1;
    EXPECT_EQ(ErrorsBetween(before, after, paNone), TComErrors(ceFrame));
    EXPECT_EQ(ErrorsBetween(before, after, paEven), TComErrors(ceFrame | ceRxParity));
    after = before;
    after.bufferOverrun = 1;
    after.overrun = 1;
    after.brk = 1;
    EXPECT_EQ(ErrorsBetween(before, after, paNone), TComErrors(ceRxOver | ceOverrun | ceBreak));
    EXPECT_EQ(ErrorsBetween(after, after, paOdd), TComErrors());
}

}  // namespace
}  // namespace TBComPortTestUnit
