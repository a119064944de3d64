#include "netlink/TBComPort.h"

#include "netlink/TComThread.h"
#include "netlink/TerminalLine.h"
#include "platform/Dialogs.h"

#include <QThread>
#include <QtDebug>

#include <fcntl.h>
#include <linux/serial.h>
#include <poll.h>
#include <sys/eventfd.h>
#include <sys/file.h>
#include <sys/ioctl.h>
#include <termios.h>
#include <unistd.h>
#include <algorithm>
#include <cerrno>
#include <climits>
#include <cstring>

namespace {

using Clock = std::chrono::steady_clock;
using Ms = std::chrono::milliseconds;

// Longest wait of an operation whose time-outs set no limit of their own.
// Kept well below "forever" so the user-interface thread comes back.
int gUnlimitedWaitMs = 5000;

// Longer limits than this are treated as none (and cannot overflow the clock).
constexpr qint64 kLongestLimitMs = qint64(1) << 40;

// Input the port queues on its own; beyond it bytes wait in the driver.
constexpr qsizetype kInputQueueLimit = 1 << 16;

std::optional<qint64> TotalLimit(quint32 multiplier, quint32 constant, int count) {
    if (multiplier == 0 && constant == 0) return std::nullopt;
    if (multiplier == kNoTimeoutLimit || constant == kNoTimeoutLimit) return std::nullopt;
    const qint64 total = qint64(multiplier) * std::max(count, 0) + qint64(constant);
    if (total > kLongestLimitMs) return std::nullopt;
    return total;
}

int PollTimeoutUntil(Clock::time_point end) {
    const auto left = std::chrono::ceil<Ms>(end - Clock::now()).count();
    return int(std::clamp<qint64>(left, 0, INT_MAX));
}

}  // namespace

// ---- time-outs ----

void TComTimeouts::Store(int& field, int value) {
    if (field == value) return;
    field = value;
    if (owner_) owner_->ApplyTimeouts();
}

void TComTimeouts::AssignTo(TComTimeouts& dest) const {
    dest.readInterval_ = readInterval_;
    dest.readTotalMultiplier_ = readTotalMultiplier_;
    dest.readTotalConstant_ = readTotalConstant_;
    dest.writeTotalMultiplier_ = writeTotalMultiplier_;
    dest.writeTotalConstant_ = writeTotalConstant_;
    if (dest.owner_) dest.owner_->ApplyTimeouts();
}

quint32 DriverTimeout(int value) {
    return value < 0 ? kNoTimeoutLimit : quint32(value);
}

ReadLimits ReadLimitsFor(const TComTimeouts& timeouts, int count) {
    const quint32 interval = DriverTimeout(timeouts.ReadInterval());
    const quint32 multiplier = DriverTimeout(timeouts.ReadTotalMultiplier());
    const quint32 constant = DriverTimeout(timeouts.ReadTotalConstant());
    ReadLimits limits;
    if (interval == kNoTimeoutLimit && multiplier == 0 && constant == 0) {
        limits.returnAtOnce = true;
        return limits;
    }
    if (interval == kNoTimeoutLimit && multiplier == kNoTimeoutLimit && constant > 0 &&
        constant < kNoTimeoutLimit) {
        limits.returnOnFirstBytes = true;
        limits.totalMs = constant;
        return limits;
    }
    limits.totalMs = TotalLimit(multiplier, constant, count);
    if (interval != 0 && interval != kNoTimeoutLimit) limits.intervalMs = interval;
    return limits;
}

std::optional<qint64> WriteLimitFor(const TComTimeouts& timeouts, int count) {
    return TotalLimit(DriverTimeout(timeouts.WriteTotalMultiplier()),
                      DriverTimeout(timeouts.WriteTotalConstant()), count);
}

// ---- asynchronous records ----

void InitAsync(TAsyncRecord*& record) {
    record = new TAsyncRecord;
}

void DoneAsync(TAsyncRecord*& record) {
    if (!record) return;
    if (record->port_) record->port_->Forget(*record);
    delete record;
    record = nullptr;
}

// ---- the port ----

TBComPort::TBComPort(QObject* owner) : QObject(owner) {}

TBComPort::~TBComPort() {
    Close();
}

QString TBComPort::DeviceLostText(const QString& port) {
    return QStringLiteral("Устройство на порту %1 отключено. Порт закрыт.").arg(port);
}

int TBComPort::UnlimitedWaitMs() {
    return gUnlimitedWaitMs;
}

void TBComPort::SetUnlimitedWaitMsForTests(int ms) {
    gUnlimitedWaitMs = ms;
}

QString TBComPort::DevicePath() const {
    return port_.startsWith('/') ? port_ : QStringLiteral("/dev/") + port_;
}

void TBComPort::RequireClosed() const {
    if (connected_) throw EComPort(ComFault::PropertyWhileOpen);
}

// A line setting the device refuses leaves the stored value as it was, so the
// property always tells what is in force.
template <typename T>
void TBComPort::StoreLineSetting(T& field, T value) {
    if (field == value) return;
    const T previous = field;
    field = value;
    if (!connected_) return;
    try {
        ApplyLineSettings();
    } catch (const EComPort&) {
        field = previous;
        throw;
    }
}

void TBComPort::SetBaudRate(TBaudRate value) {
    StoreLineSetting(baudRate_, value);
}

void TBComPort::SetByteSize(TByteSize value) {
    StoreLineSetting(byteSize_, value);
}

void TBComPort::SetParity(TParity value) {
    StoreLineSetting(parity_, value);
}

void TBComPort::SetStopBits(TStopBits value) {
    StoreLineSetting(stopBits_, value);
}

void TBComPort::SetInBufSize(int value) {
    if (value > 0 && value % 2 != 0) --value;
    if (inBufSize_ == value) return;
    inBufSize_ = value;
    if (connected_) ApplyBufferSizes();
}

void TBComPort::SetOutBufSize(int value) {
    if (value > 0 && value % 2 != 0) --value;
    if (outBufSize_ == value) return;
    outBufSize_ = value;
    if (connected_) ApplyBufferSizes();
}

void TBComPort::SetPort(const QString& value) {
    RequireClosed();
    port_ = value;
}

void TBComPort::SetSyncMethod(TSyncMethod value) {
    if (syncMethod_ == value) return;
    RequireClosed();
    syncMethod_ = value;
}

void TBComPort::SetTimeouts(const TComTimeouts& value) {
    value.AssignTo(timeouts_);
}

// ---- settings ----

void TBComPort::ApplySettings() {
    ApplyBufferSizes();
    ApplyLineSettings();
    ApplyTimeouts();
}

// The terminal driver keeps its own queue sizes; what can fail here is a
// device that is no terminal at all, or sizes no driver could take. The input
// size still sets the "80 % full" mark.
void TBComPort::ApplyBufferSizes() {
    if (!connected_) return;
    if (!isatty(fd_) || inBufSize_ < 0 || outBufSize_ < 0)
        throw EComPort(ComFault::BufferSizesFailed);
}

void TBComPort::ApplyLineSettings() {
    if (!connected_) return;
    // No nearby rate or stop-bit count is put in silently: the device would talk nonsense.
    if (!ApplyTerminalLine(fd_, {baudRate_, byteSize_, parity_, stopBits_}))
        throw EComPort(ComFault::LineSettingsFailed);
    RaiseLinesBestEffort();
}

// Nothing reaches the driver: every read and write computes its deadlines
// from the current values.
void TBComPort::ApplyTimeouts() {}

// DTR and RTS are on while the port is open. A device without modem lines
// (a pseudo-terminal) has nothing to raise.
void TBComPort::RaiseLinesBestEffort() {
    SetModemLine(TIOCM_DTR, true);
    SetModemLine(TIOCM_RTS, true);
}

bool TBComPort::SetModemLine(int line, bool on) {
    return ioctl(fd_, on ? TIOCMBIS : TIOCMBIC, &line) == 0;
}

// ---- open and close ----

bool TBComPort::Open() {
    if (connected_) return connected_;
    const QByteArray path = DevicePath().toLocal8Bit();
    const int fd = ::open(path.constData(), O_RDWR | O_NOCTTY | O_NONBLOCK | O_CLOEXEC);
    if (fd < 0) {
        const int error = errno;
        if (error == ENOENT || error == ENODEV || error == ENXIO || error == ENOTDIR)
            throw EComPort(ComFault::NoSuchPort);
        if (error == EACCES || error == EPERM || error == EBUSY) throw EComPort(ComFault::PortBusy);
        throw EComPort(ComFault::BufferSizesFailed);
    }
    // An exclusive lock, because the terminal's own exclusive mode does not stop root.
    if (flock(fd, LOCK_EX | LOCK_NB) != 0 && errno == EWOULDBLOCK) {
        ::close(fd);
        throw EComPort(ComFault::PortBusy);
    }
    const int signalFd = eventfd(0, EFD_CLOEXEC | EFD_NONBLOCK);
    if (signalFd < 0) {
        ::close(fd);
        throw EComPort(ComFault::BufferSizesFailed);
    }
    {
        std::lock_guard lock(inputMutex_);
        fd_ = fd;
        inputSignalFd_ = signalFd;
        inbox_.clear();
    }
    connected_ = true;
    lost_ = false;
    ++session_;
    arrived_ = 0;
    hungUp_ = false;
    txPending_ = false;
    try {
        ApplySettings();
        ReadErrorCounters(errorBaseline_);
        thread_ = std::make_unique<TComThread>(this, session_);
    } catch (...) {
        CloseDevice();
        throw;
    }
    return connected_;
}

bool TBComPort::Close() {
    if (!connected_) return true;
    // Each step may fail on a vanished device; none of them keeps the port open.
    SetModemLine(TIOCM_DTR, false);
    SetModemLine(TIOCM_RTS, false);
    tcflush(fd_, TCIOFLUSH);
    thread_.reset();
    CloseDevice();
    return true;
}

void TBComPort::CloseDevice() {
    thread_.reset();
    AbortReads();
    {
        std::lock_guard lock(inputMutex_);
        inbox_.clear();
        if (fd_ >= 0) ::close(fd_);
        if (inputSignalFd_ >= 0) ::close(inputSignalFd_);
        fd_ = -1;
        inputSignalFd_ = -1;
    }
    connected_ = false;
}

// ---- the input queue ----

int TBComPort::DrainLocked() {
    if (fd_ < 0 || hungUp_) return 0;
    int got = 0;
    while (inbox_.size() < kInputQueueLimit) {
        char chunk[512];
        const size_t room =
            size_t(std::min<qsizetype>(sizeof chunk, kInputQueueLimit - inbox_.size()));
        const ssize_t n = ::read(fd_, chunk, room);
        if (n > 0) {
            inbox_.append(chunk, n);
            got += int(n);
            continue;
        }
        if (n < 0 && errno == EINTR) continue;
        if (n < 0 && (errno == EAGAIN || errno == EWOULDBLOCK)) break;
        // End of file or an I/O error: the other end is gone.
        hungUp_ = true;
        break;
    }
    if (got > 0) arrived_ += quint64(got);
    return got;
}

int TBComPort::Drain() {
    int got;
    {
        std::lock_guard lock(inputMutex_);
        got = DrainLocked();
    }
    if (got > 0 || hungUp_) SignalInput();
    return got;
}

void TBComPort::SignalInput() {
    const quint64 one = 1;
    [[maybe_unused]] const ssize_t n = ::write(inputSignalFd_, &one, sizeof one);
}

int TBComPort::QueuedInput() {
    std::lock_guard lock(inputMutex_);
    return int(inbox_.size());
}

bool TBComPort::QueueFull() {
    return QueuedInput() >= kInputQueueLimit;
}

void TBComPort::LoseDeviceIfHungUp() {
    if (hungUp_ && connected_ && !lost_) LoseDevice();
}

void TBComPort::LoseDevice() {
    // Reads still waiting take what arrived before the hang-up.
    ProgressReads();
    CloseDevice();
    lost_ = true;
    Dialogs::ShowMessage(DeviceLostText(port_));
}

// ---- writing ----

int TBComPort::Write(const void* buffer, int count) {
    if (!connected_) throw EComPort(ComFault::WriteFailed);
    if (count <= 0) return 0;
    const auto limit = WriteLimitFor(timeouts_, count);
    const auto end = Clock::now() + Ms(limit ? *limit : gUnlimitedWaitMs);
    const auto* bytes = static_cast<const quint8*>(buffer);
    int done = 0;
    while (done < count) {
        const ssize_t n = ::write(fd_, bytes + done, size_t(count - done));
        if (n > 0) {
            done += int(n);
            txPending_ = true;
            if (thread_) thread_->Poke();
            continue;
        }
        if (n < 0 && errno == EINTR) continue;
        if (n < 0 && errno != EAGAIN && errno != EWOULDBLOCK) WriteFailed();
        if (Clock::now() >= end) break;
        pollfd pfd{fd_, POLLOUT, 0};
        if (poll(&pfd, 1, PollTimeoutUntil(end)) < 0 && errno != EINTR) WriteFailed();
        if (pfd.revents & (POLLERR | POLLHUP | POLLNVAL)) WriteFailed();
    }
    return done;
}

// A write fails for good when the device hung up; then its loss is reported first.
void TBComPort::WriteFailed() {
    Drain();
    LoseDeviceIfHungUp();
    throw EComPort(ComFault::WriteFailed);
}

// ---- reading ----

void TBComPort::Enqueue(TAsyncRecord& record, void* buffer, int count) {
    if (record.port_) record.port_->Forget(record);
    record.kind_ = TAsyncRecord::Read;
    record.buffer_ = static_cast<quint8*>(buffer);
    record.count_ = std::max(count, 0);
    record.done_ = 0;
    record.failed_ = false;
    record.pending_ = true;
    record.start_ = record.lastByte_ = Clock::now();
    record.limits_ = ReadLimitsFor(timeouts_, record.count_);
    record.port_ = this;
    reads_.push_back(&record);
}

void TBComPort::Forget(TAsyncRecord& record) {
    reads_.erase(std::remove(reads_.begin(), reads_.end(), &record), reads_.end());
    record.port_ = nullptr;
    record.pending_ = false;
}

void TBComPort::Complete(TAsyncRecord& record, bool failed) {
    record.pending_ = false;
    record.failed_ = failed;
    record.port_ = nullptr;
    record.buffer_ = nullptr;
}

// Takes what is waiting, up to what the record still needs. DeviceGone when
// the device hung up and nothing it sent before is left.
TBComPort::Pull TBComPort::PullWaiting(TAsyncRecord& record) {
    std::lock_guard lock(inputMutex_);
    DrainLocked();
    const int take = int(std::min<qsizetype>(record.count_ - record.done_, inbox_.size()));
    if (take > 0) {
        std::memcpy(record.buffer_ + record.done_, inbox_.constData(), size_t(take));
        inbox_.remove(0, take);
        record.done_ += take;
        record.lastByte_ = Clock::now();
    }
    if (record.done_ < record.count_ && inbox_.isEmpty() && hungUp_) return Pull::DeviceGone;
    return Pull::Ok;
}

namespace {

bool ReadFinished(const ReadLimits& limits, int done, int count, Clock::time_point start,
                  Clock::time_point lastByte, Clock::time_point now) {
    if (done >= count || limits.returnAtOnce) return true;
    if (limits.returnOnFirstBytes && done > 0) return true;
    if (limits.totalMs && now >= start + Ms(*limits.totalMs)) return true;
    return limits.intervalMs && done > 0 && now >= lastByte + Ms(*limits.intervalMs);
}

}  // namespace

// Only the oldest read takes bytes; any read may end by its own deadline.
void TBComPort::ProgressReads() {
    for (auto it = reads_.begin(); it != reads_.end();) {
        TAsyncRecord& record = **it;
        const bool head = it == reads_.begin();
        if (head && PullWaiting(record) == Pull::DeviceGone) {
            // What came before the hang-up completes the read; nothing at all fails it.
            Complete(record, record.done_ == 0);
            it = reads_.erase(it);
            continue;
        }
        if (ReadFinished(record.limits_, record.done_, record.count_, record.start_,
                         record.lastByte_, Clock::now())) {
            Complete(record, false);
            it = reads_.erase(it);
            continue;
        }
        ++it;
    }
}

void TBComPort::FailReadsUpTo(TAsyncRecord& record) {
    while (!reads_.empty()) {
        TAsyncRecord* first = reads_.front();
        reads_.pop_front();
        Complete(*first, true);
        if (first == &record) return;
    }
}

void TBComPort::AbortReads() {
    for (TAsyncRecord* record : reads_) Complete(*record, true);
    reads_.clear();
}

// Waits until the read completes, at the latest by its own total limit. At
// cap it ends the read with what came when endAtCap, else only stops waiting.
void TBComPort::WaitForRead(TAsyncRecord& record, Clock::time_point cap, bool endAtCap) {
    const bool ownLimit = record.limits_.totalMs.has_value();
    const auto end = ownLimit ? std::min(record.start_ + Ms(*record.limits_.totalMs), cap) : cap;
    for (;;) {
        ProgressReads();
        if (!record.pending_) return;
        const auto now = Clock::now();
        if (now >= end) {
            // A read past its own limit was ended by ProgressReads already.
            if (!endAtCap) return;
            // Reads ahead of this one end with what they have as well.
            while (!reads_.empty()) {
                TAsyncRecord* first = reads_.front();
                reads_.pop_front();
                Complete(*first, false);
                if (first == &record) return;
            }
            return;
        }
        auto wakeUp = end;
        const TAsyncRecord& head = *reads_.front();
        if (head.limits_.totalMs)
            wakeUp = std::min(wakeUp, head.start_ + Ms(*head.limits_.totalMs));
        if (head.limits_.intervalMs && head.done_ > 0)
            wakeUp = std::min(wakeUp, head.lastByte_ + Ms(*head.limits_.intervalMs));
        if (!WaitForInput(wakeUp)) {
            FailReadsUpTo(record);
            return;
        }
    }
}

// Sleeps until the device or the reader thread has new input, or until wakeUp.
// False when the device cannot be waited on.
bool TBComPort::WaitForInput(Clock::time_point wakeUp) {
    pollfd fds[2] = {{fd_, POLLIN, 0}, {inputSignalFd_, POLLIN, 0}};
    if (poll(fds, 2, PollTimeoutUntil(wakeUp)) < 0 && errno != EINTR) return false;
    if (fds[1].revents != 0) {
        quint64 wakeUps = 0;
        [[maybe_unused]] const ssize_t n = ::read(inputSignalFd_, &wakeUps, sizeof wakeUps);
    }
    // A hang-up is seen by the next look at the queue, which reads what is left first.
    if (fds[0].revents & (POLLERR | POLLHUP)) Drain();
    return (fds[0].revents & POLLNVAL) == 0;
}

// A failed read: the device may have hung up, which is then reported first.
void TBComPort::ReadFailed(ComFault fault) {
    LoseDeviceIfHungUp();
    throw EComPort(fault);
}

int TBComPort::Read(void* buffer, int count) {
    if (!connected_) throw EComPort(ComFault::ReadFailed);
    TAsyncRecord record;
    Enqueue(record, buffer, count);
    try {
        WaitForRead(record, Clock::now() + Ms(gUnlimitedWaitMs), true);
    } catch (...) {
        if (record.port_) Forget(record);
        throw;
    }
    if (record.port_) Forget(record);
    if (record.failed_) ReadFailed(ComFault::ReadFailed);
    return record.done_;
}

int TBComPort::ReadStr(QByteArray& s, int count) {
    if (count < 1) {
        s.clear();
        return 0;
    }
    s.resize(count);
    const int n = Read(s.data(), count);
    s.resize(n);
    return n;
}

int TBComPort::ReadAsync(void* buffer, int count, TAsyncRecord* record) {
    if (!record) throw EComPort(ComFault::BadAsyncRecord);
    if (!connected_) throw EComPort(ComFault::ReadFailed);
    Enqueue(*record, buffer, count);
    ProgressReads();
    if (record->failed_) ReadFailed(ComFault::ReadFailed);
    return record->pending_ ? 0 : record->done_;
}

int TBComPort::WaitForAsync(TAsyncRecord* record) {
    if (!record) throw EComPort(ComFault::BadAsyncRecord);
    if (record->pending_ && record->port_ == this)
        WaitForRead(*record, Clock::now() + Ms(gUnlimitedWaitMs), true);
    if (record->failed_) ReadFailed(ComFault::ReadFailed);
    return record->done_;
}

bool TBComPort::AwaitAsync(TAsyncRecord* record, int timeoutMs) {
    if (!record) throw EComPort(ComFault::BadAsyncRecord);
    if (record->pending_ && record->port_ == this)
        WaitForRead(*record, Clock::now() + Ms(std::max(timeoutMs, 0)), false);
    if (record->failed_) LoseDeviceIfHungUp();
    return !record->pending_;
}

bool TBComPort::IsAsyncCompleted(TAsyncRecord* record) {
    if (!record) throw EComPort(ComFault::BadAsyncRecord);
    if (record->pending_ && record->port_ == this) ProgressReads();
    if (record->failed_) ReadFailed(ComFault::AsyncStatusFailed);
    return !record->pending_;
}

// ---- queues and lines ----

void TBComPort::ClearBuffer(bool input, bool output) {
    if (!connected_) throw EComPort(ComFault::PurgeFailed);
    if (!input && !output) return;
    std::lock_guard lock(inputMutex_);
    const int queue = input && output ? TCIOFLUSH : input ? TCIFLUSH : TCOFLUSH;
    // A device that hung up has nothing left to purge.
    if (tcflush(fd_, queue) != 0 && !hungUp_) throw EComPort(ComFault::PurgeFailed);
    // Purged bytes never count as arrived, so nothing announces them later.
    if (input) inbox_.clear();
}

int TBComPort::InputCount() {
    if (!connected_) throw EComPort(ComFault::InputStateFailed);
    std::lock_guard lock(inputMutex_);
    DrainLocked();
    int waiting = int(inbox_.size());
    // Only a full queue leaves bytes in the driver; a hung-up device holds none.
    if (hungUp_) return waiting;
    int inDriver = 0;
    if (ioctl(fd_, FIONREAD, &inDriver) != 0) throw EComPort(ComFault::InputStateFailed);
    return waiting + inDriver;
}

TComSignals TBComPort::Signals() {
    int lines = 0;
    if (!connected_ || ioctl(fd_, TIOCMGET, &lines) != 0)
        throw EComPort(ComFault::ModemStatusFailed);
    TComSignals result;
    if (lines & TIOCM_CTS) result |= csCTS;
    if (lines & TIOCM_DSR) result |= csDSR;
    if (lines & TIOCM_RNG) result |= csRing;
    if (lines & TIOCM_CAR) result |= csRLSD;
    return result;
}

void TBComPort::SetDTR(bool on) {
    if (!connected_ || !SetModemLine(TIOCM_DTR, on)) throw EComPort(ComFault::LineControlFailed);
}

void TBComPort::SetRTS(bool on) {
    if (!connected_ || !SetModemLine(TIOCM_RTS, on)) throw EComPort(ComFault::LineControlFailed);
}

bool TBComPort::ReadErrorCounters(LineErrorCounters& counters) const {
    serial_icounter_struct icount{};
    if (ioctl(fd_, TIOCGICOUNT, &icount) != 0) return false;
    counters.frame = quint64(icount.frame);
    counters.overrun = quint64(icount.overrun);
    counters.parity = quint64(icount.parity);
    counters.brk = quint64(icount.brk);
    counters.bufferOverrun = quint64(icount.buf_overrun);
    return true;
}

// Reads and clears the errors since the last call.
TComErrors TBComPort::ReadLineErrors() {
    LineErrorCounters now;
    if (!connected_ || !ReadErrorCounters(now)) throw EComPort(ComFault::InputStateFailed);
    const TComErrors errors = ErrorsBetween(errorBaseline_, now, parity_);
    errorBaseline_ = now;
    return errors;
}

// ---- events ----

void TBComPort::DispatchEvents(TComEvents events, quint64 session) {
    const bool owningThread = QThread::currentThread() == thread();
    for (TComEvent event : kComEventDispatchOrder) {
        // A handler may close the port; the rest of a closed session is dropped.
        if (!connected_ || session != session_) return;
        if (!events.testFlag(event)) continue;
        try {
            FireEvent(event);
        } catch (const EComPort& e) {
            // After the loss of the device its own report is all the operator needs.
            if (lost_) return;
            if (owningThread)
                Dialogs::ShowMessage(e.Message());
            else
                qWarning("serial port event: %s", e.what());
        } catch (const std::exception& e) {
            qWarning("serial port event: %s", e.what());
        }
    }
    // The handlers had what came before a hang-up; now the port gives up the device.
    if (owningThread && session == session_ && hungUp_) LoseDeviceIfHungUp();
}

void TBComPort::FireEvent(TComEvent event) {
    switch (event) {
        case evError:
            if (OnError) {
                const TComErrors errors = ReadLineErrors();
                if (errors) OnError(this, errors);
            }
            break;
        case evRxChar:
            if (OnRxChar) {
                const int count = InputCount();
                if (count >= 1) OnRxChar(this, count);
            }
            break;
        case evTxEmpty:
            if (OnTxEmpty) OnTxEmpty(this);
            break;
        case evRing:
            if (OnRing) OnRing(this);
            break;
        case evCTS:
            if (OnCTSChange) OnCTSChange(this, Signals().testFlag(csCTS));
            break;
        case evDSR:
            if (OnDSRChange) OnDSRChange(this, Signals().testFlag(csDSR));
            break;
        case evRLSD:
            if (OnRLSDChange) OnRLSDChange(this, Signals().testFlag(csRLSD));
            break;
        case evRx80Full:
            if (OnRx80Full) OnRx80Full(this);
            break;
    }
}
