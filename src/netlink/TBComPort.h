#pragma once
// The program's serial port component on a POSIX terminal device in raw mode.
// Reads and writes run on the caller's thread and are bounded by deadlines
// computed from the time-outs; a reader thread waits for port events and
// hands them to the thread that owns the port.
//
// Received bytes are moved from the device into the port's own input queue as
// soon as they arrive, by whichever thread sees them first: a device that hangs
// up takes the bytes still in the driver with it, and those in the queue are
// then still read. The loss of the device is reported once, on the owning
// thread, and leaves the port closed.

#include "netlink/ComPortTypes.h"
#include "netlink/EComPort.h"

#include <QByteArray>
#include <QObject>
#include <QString>

#include <atomic>
#include <chrono>
#include <cstdint>
#include <deque>
#include <functional>
#include <memory>
#include <mutex>
#include <optional>

class TBComPort;
class TComThread;

// Five driver time-outs in milliseconds; a negative value means "no limit"
// (all 32 bits set, as the driver reads it).
class TComTimeouts {
  public:
    explicit TComTimeouts(TBComPort* owner = nullptr) : owner_(owner) {}
    TComTimeouts(const TComTimeouts&) = delete;
    TComTimeouts& operator=(const TComTimeouts&) = delete;

    int ReadInterval() const { return readInterval_; }
    int ReadTotalMultiplier() const { return readTotalMultiplier_; }
    int ReadTotalConstant() const { return readTotalConstant_; }
    int WriteTotalMultiplier() const { return writeTotalMultiplier_; }
    int WriteTotalConstant() const { return writeTotalConstant_; }

    void SetReadInterval(int value) { Store(readInterval_, value); }
    void SetReadTotalMultiplier(int value) { Store(readTotalMultiplier_, value); }
    void SetReadTotalConstant(int value) { Store(readTotalConstant_, value); }
    void SetWriteTotalMultiplier(int value) { Store(writeTotalMultiplier_, value); }
    void SetWriteTotalConstant(int value) { Store(writeTotalConstant_, value); }

    // Copies the five values into dest (which re-applies its own port's time-outs).
    void AssignTo(TComTimeouts& dest) const;

  private:
    void Store(int& field, int value);

    TBComPort* owner_;
    int readInterval_ = -1;
    int readTotalMultiplier_ = 0;
    int readTotalConstant_ = 0;
    int writeTotalMultiplier_ = 100;
    int writeTotalConstant_ = 1000;
};

// A time-out value as the driver reads it: negative values become all ones.
constexpr quint32 kNoTimeoutLimit = 0xFFFFFFFFu;
quint32 DriverTimeout(int value);

// How the time-outs bound one read.
struct ReadLimits {
    bool returnAtOnce = false;         // hand back what is waiting, never wait
    bool returnOnFirstBytes = false;   // wait (at most totalMs) for the first bytes only
    std::optional<qint64> totalMs;     // the whole operation, from its start
    std::optional<qint64> intervalMs;  // the gap after the last byte, once one came
};
ReadLimits ReadLimitsFor(const TComTimeouts& timeouts, int count);
// The whole write of count bytes; empty means no limit.
std::optional<qint64> WriteLimitFor(const TComTimeouts& timeouts, int count);

// One read started with TBComPort::ReadAsync. Made by InitAsync, freed by DoneAsync.
// A fresh record counts as completed with 0 bytes.
class TAsyncRecord {
  public:
    enum Kind { Write = 0, Read = 1 };
    Kind OperationKind() const { return kind_; }
    // Bytes the read has taken so far (all of them once it completed).
    int BytesDone() const { return done_; }

  private:
    friend class TBComPort;
    friend void DoneAsync(TAsyncRecord*& record);
    using Clock = std::chrono::steady_clock;

    Kind kind_ = Write;
    TBComPort* port_ = nullptr;  // set while the read is queued on a port
    quint8* buffer_ = nullptr;
    int count_ = 0;
    int done_ = 0;
    bool pending_ = false;
    bool failed_ = false;
    Clock::time_point start_;
    Clock::time_point lastByte_;
    ReadLimits limits_;
};

void InitAsync(TAsyncRecord*& record);
// Frees the record (a pending read is abandoned) and sets the variable to nullptr.
void DoneAsync(TAsyncRecord*& record);

class TBComPort : public QObject {
  public:
    using TComSignalEvent = std::function<void(TBComPort* sender, bool state)>;
    using TComErrorEvent = std::function<void(TBComPort* sender, TComErrors errors)>;
    using TNotifyEvent = std::function<void(TBComPort* sender)>;
    using TRxCharEvent = std::function<void(TBComPort* sender, int count)>;

    explicit TBComPort(QObject* owner = nullptr);
    ~TBComPort() override;

    // Published properties. Line settings, buffer sizes and time-outs take
    // effect at once while open; Port and SyncMethod cannot change while open.
    TBaudRate BaudRate() const { return baudRate_; }
    void SetBaudRate(TBaudRate value);
    TByteSize ByteSize() const { return byteSize_; }
    void SetByteSize(TByteSize value);
    int InBufSize() const { return inBufSize_; }
    void SetInBufSize(int value);
    int OutBufSize() const { return outBufSize_; }
    void SetOutBufSize(int value);
    TParity Parity() const { return parity_; }
    void SetParity(TParity value);
    // A device name ("ttyUSB0", looked up under /dev/) or a full path.
    QString Port() const { return port_; }
    void SetPort(const QString& value);
    TSyncMethod SyncMethod() const { return syncMethod_; }
    void SetSyncMethod(TSyncMethod value);
    TStopBits StopBits() const { return stopBits_; }
    void SetStopBits(TStopBits value);
    TComTimeouts& Timeouts() { return timeouts_; }
    const TComTimeouts& Timeouts() const { return timeouts_; }
    void SetTimeouts(const TComTimeouts& value);

    TComSignalEvent OnCTSChange;
    TComSignalEvent OnDSRChange;
    TComErrorEvent OnError;
    TNotifyEvent OnRing;
    TComSignalEvent OnRLSDChange;
    TNotifyEvent OnRx80Full;
    TRxCharEvent OnRxChar;
    TNotifyEvent OnTxEmpty;

    bool Connected() const { return connected_; }
    // True once the device hung up under the open port (and the port closed
    // itself), until the next Open.
    bool DeviceLost() const { return lost_; }
    // What the operator is told when the device on port vanishes.
    static QString DeviceLostText(const QString& port);
    // The path Open uses for Port.
    QString DevicePath() const;

    // Returns Connected. Does nothing when already open.
    bool Open();
    // Returns true when the port is closed afterwards. Best effort: a line or
    // purge failure (an unplugged adapter) never keeps the port open.
    bool Close();

    int Write(const void* buffer, int count);
    // Fewer than count bytes, also 0, when a time-out ends the read.
    int Read(void* buffer, int count);
    int ReadStr(QByteArray& s, int count);

    // Starts a read into the caller's buffer, which must stay alive until the
    // record completes. Returns the bytes read when it completed at once, else 0.
    int ReadAsync(void* buffer, int count, TAsyncRecord* record);
    // Waits for the read to complete and returns its byte count. It never waits
    // without limit: a read whose time-outs set no total ends after
    // UnlimitedWaitMs() with the bytes it has.
    int WaitForAsync(TAsyncRecord* record);
    // Waits at most timeoutMs for the read to complete; true when it has. A
    // sleep that ends early when the awaited bytes are there.
    bool AwaitAsync(TAsyncRecord* record, int timeoutMs);
    bool IsAsyncCompleted(TAsyncRecord* record);

    void ClearBuffer(bool input, bool output);
    int InputCount();
    TComSignals Signals();
    void SetDTR(bool on);
    void SetRTS(bool on);

    static int UnlimitedWaitMs();
    static void SetUnlimitedWaitMsForTests(int ms);

  private:
    friend class TComThread;
    friend class TComTimeouts;
    friend void DoneAsync(TAsyncRecord*& record);
    using Clock = std::chrono::steady_clock;

    void RequireClosed() const;
    template <typename T>
    void StoreLineSetting(T& field, T value);
    void ApplySettings();
    void ApplyBufferSizes();
    void ApplyLineSettings();
    void ApplyTimeouts();
    void RaiseLinesBestEffort();
    bool SetModemLine(int line, bool on);
    void CloseDevice();

    // Reads (both blocking and asynchronous) are served in the order they were started.
    void Enqueue(TAsyncRecord& record, void* buffer, int count);
    void Forget(TAsyncRecord& record);
    void ProgressReads();
    enum class Pull { Ok, DeviceGone };
    Pull PullWaiting(TAsyncRecord& record);
    void Complete(TAsyncRecord& record, bool failed);
    void FailReadsUpTo(TAsyncRecord& record);
    void WaitForRead(TAsyncRecord& record, Clock::time_point cap, bool endAtCap);
    bool WaitForInput(Clock::time_point wakeUp);
    [[noreturn]] void ReadFailed(ComFault fault);
    [[noreturn]] void WriteFailed();
    void AbortReads();

    // Moves what the device holds into inbox_; call with inputMutex_ held.
    // Returns the number of new bytes; a hang-up sets hungUp_.
    int DrainLocked();
    // Either thread: drains and, when something new came, wakes a waiting reader.
    int Drain();
    void SignalInput();
    int QueuedInput();
    bool QueueFull();
    // Owning thread: the device hung up. Closes the port and tells the operator once.
    void LoseDevice();
    void LoseDeviceIfHungUp();

    // Reader-thread side.
    // Fires the handlers of events; after a hang-up, then gives up the device.
    void DispatchEvents(TComEvents events, quint64 session);
    void FireEvent(TComEvent event);
    TComErrors ReadLineErrors();
    bool ReadErrorCounters(LineErrorCounters& counters) const;

    TBaudRate baudRate_ = br9600;
    TByteSize byteSize_ = bs8;
    std::atomic<int> inBufSize_{2048};
    int outBufSize_ = 2048;
    TParity parity_ = paNone;
    QString port_ = QStringLiteral("COM2");
    TSyncMethod syncMethod_ = smThreadSync;
    TStopBits stopBits_ = sb1;
    TComTimeouts timeouts_{this};

    bool connected_ = false;
    bool lost_ = false;
    int fd_ = -1;
    int inputSignalFd_ = -1;  // an eventfd: the reader thread queued new input
    quint64 session_ = 0;     // grows with every Open; stale events are dropped
    std::unique_ptr<TComThread> thread_;
    std::deque<TAsyncRecord*> reads_;
    LineErrorCounters errorBaseline_;

    // Shared with the reader thread.
    std::mutex inputMutex_;            // guards inbox_ and every read of the device
    QByteArray inbox_;                 // received and not yet read
    std::atomic<quint64> arrived_{0};  // bytes queued into inbox_ since Open
    std::atomic<bool> hungUp_{false};
    std::atomic<bool> txPending_{false};
};
