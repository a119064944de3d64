#include "support/DeviceBusSimulator.h"

#include "foundation/BitAndStr.h"

#include <poll.h>
#include <sys/eventfd.h>
#include <unistd.h>
#include <algorithm>
#include <stdexcept>

namespace {

using namespace std::chrono_literals;

// 10 bits a byte (start, 8 data, stop) at 9600 baud.
constexpr auto kByteTime = std::chrono::nanoseconds(1'000'000'000LL * 10 / 9600);

constexpr int kCmdClass = 0x00;
constexpr int kCmdParameter = 0x01;
constexpr int kCmdDeselect = 0x02;
constexpr int kCmdMemoryRead = 0x03;
constexpr int kCmdMemoryWrite = 0x04;
constexpr int kBusSelectorBit = 0x40;
constexpr int kAnswerBit = 0x80;
constexpr int kMemoryPacket = 22;
constexpr int kJumpers = 0xFF;

int At(const QByteArray& frame, int i) {
    return i >= 0 && i < frame.size() ? quint8(frame[i]) : 0;
}

void Put(QByteArray& frame, int i, int value) {
    if (i >= 0 && i < frame.size()) frame[i] = char(value);
}

void PutLe16(QByteArray& frame, int i, int value) {
    Put(frame, i, value & 0xFF);
    Put(frame, i + 1, (value >> 8) & 0xFF);
}

// The request turned into its answer from address a: positive adds 0x80 to the command.
QByteArray AnswerTo(const QByteArray& request, int a, bool positive) {
    QByteArray answer = request;
    Put(answer, 0, a);
    Put(answer, 1, DeviceBusSimulator::kAdapterAddress);
    if (positive) Put(answer, 3, At(request, 3) | kAnswerBit);
    return answer;
}

SimDevice WithMask(int address, int classWord, std::array<quint8, 8> mask) {
    SimDevice d;
    d.address = address;
    d.classWord = classWord;
    d.classMask = mask;
    return d;
}

int CommandOf(const QByteArray& frame) {
    return At(frame, 3) & ~kBusSelectorBit;
}

// The class address of a device without a valid address, by its kind.
int ProgrammingAddressOf(const SimDevice& d) {
    if (d.classWord == 4) return 144;
    if (d.classWord == 1) return 136;
    return 128;
}

QString PasswordOf(const QByteArray& request, int s) {
    // The digits travel third, second, first.
    return QString::number(At(request, 10 + s)) + QString::number(At(request, 9 + s)) +
           QString::number(At(request, 8 + s));
}

}  // namespace

SimDevice SimDevice::Switch(int address) {
    return WithMask(address, 2, {0x0F, 0, 0, 0, 0, 0, 0, 0x90});
}

SimDevice SimDevice::Console(int address) {
    return WithMask(address, 4, {0x64, 0x01, 0, 0, 0, 0, 0, 0x90});
}

SimDevice SimDevice::CallPanel(int number) {
    return WithMask(64 + number, 1, {0xF0, 0, 0, 0, 0, 0, 0, 0xC0});
}

DeviceBusSimulator::DeviceBusSimulator(PtyPair& pty) : pty_(pty) {
    stopFd_ = eventfd(0, EFD_CLOEXEC | EFD_NONBLOCK);
    settleFd_ = eventfd(0, EFD_CLOEXEC | EFD_NONBLOCK);
    if (stopFd_ < 0 || settleFd_ < 0) throw std::runtime_error("eventfd failed");
    thread_ = std::thread([this] { Run(); });
}

DeviceBusSimulator::~DeviceBusSimulator() {
    const quint64 one = 1;
    [[maybe_unused]] const ssize_t n = ::write(stopFd_, &one, sizeof one);
    thread_.join();
    ::close(stopFd_);
    ::close(settleFd_);
}

QByteArray DeviceBusSimulator::Frame(std::initializer_list<int> bytes) {
    QByteArray frame(kFrameSize, '\0');
    int i = 0;
    for (int b : bytes) {
        if (i < kFrameSize) frame[i++] = char(b);
    }
    return frame;
}

QByteArray DeviceBusSimulator::FrameFromHex(const QByteArray& hex) {
    QByteArray frame = QByteArray::fromHex(hex).left(kFrameSize);
    frame.append(QByteArray(kFrameSize - frame.size(), '\0'));
    return frame;
}

void DeviceBusSimulator::ScriptAnswer(const QList<QByteArray>& answer) {
    std::lock_guard lock(mutex_);
    script_.push_back(answer);
}

void DeviceBusSimulator::SetHandler(Handler handler) {
    std::lock_guard lock(mutex_);
    handler_ = std::move(handler);
}

int DeviceBusSimulator::AddDevice(const SimDevice& device) {
    std::lock_guard lock(mutex_);
    devices_.append(device);
    if (devices_.last().jumperAddress < 0) devices_.last().jumperAddress = device.address;
    return int(devices_.size()) - 1;
}

SimDevice DeviceBusSimulator::Device(int index) const {
    std::lock_guard lock(mutex_);
    return devices_.value(index);
}

void DeviceBusSimulator::UpdateDevice(int index, const std::function<void(SimDevice&)>& change) {
    std::lock_guard lock(mutex_);
    if (index >= 0 && index < devices_.size()) change(devices_[index]);
}

SimAdapter DeviceBusSimulator::Adapter() const {
    std::lock_guard lock(mutex_);
    return adapter_;
}

void DeviceBusSimulator::SetAdapter(const SimAdapter& adapter) {
    std::lock_guard lock(mutex_);
    adapter_ = adapter;
}

void DeviceBusSimulator::SetCommandHandler(int command, CommandHandler handler) {
    std::lock_guard lock(mutex_);
    commandHandlers_[command] = std::move(handler);
}

void DeviceBusSimulator::InjectFault(const BusFault& fault) {
    std::lock_guard lock(mutex_);
    faults_.append(fault);
}

void DeviceBusSimulator::SetPacing(bool paced) {
    std::lock_guard lock(mutex_);
    paced_ = paced;
}

void DeviceBusSimulator::SendUnsolicited(const QByteArray& bytes) {
    bool paced;
    {
        std::lock_guard lock(mutex_);
        paced = paced_;
    }
    paced ? SendPaced(bytes) : Send(bytes);
}

QList<QByteArray> DeviceBusSimulator::Received() const {
    std::lock_guard lock(mutex_);
    return received_;
}

int DeviceBusSimulator::FramesTo(int address) const {
    std::lock_guard lock(mutex_);
    return int(
        std::count_if(received_.begin(), received_.end(),
                      [address](const QByteArray& frame) { return At(frame, 1) == address; }));
}

bool DeviceBusSimulator::Settle(int timeoutMs) {
    std::unique_lock lock(mutex_);
    const quint64 request = ++settleAsked_;
    const quint64 one = 1;
    [[maybe_unused]] const ssize_t n = ::write(settleFd_, &one, sizeof one);
    return settled_.wait_for(lock, std::chrono::milliseconds(timeoutMs),
                             [&] { return settleDone_ >= request || !running_; });
}

bool DeviceBusSimulator::PassTime(int ms, int timeoutMs) {
    {
        std::lock_guard lock(mutex_);
        busMs_ += std::max(ms, 0);
    }
    return Settle(timeoutMs);
}

QByteArray DeviceBusSimulator::EncodeSerial(const QByteArray& serial) {
    QByteArray out(10, '\0');
    out[0] = char(At(serial, 0) - 55);
    for (int i = 1; i < 10; ++i) out[i] = char(DigitToSegments(At(serial, i) - '0') + 0x80);
    return out;
}

QByteArray DeviceBusSimulator::ClassReply(const SimDevice& d) {
    QByteArray r(kFrameSize, '\0');
    const int s = d.selector ? 1 : 0;
    const int alpha = d.format == 30 && !d.selector ? 1 : 0;
    Put(r, 0, d.address);
    Put(r, 1, kAdapterAddress);
    Put(r, 2, d.format + 2);
    Put(r, 3, kAnswerBit | (d.selector ? kBusSelectorBit : 0));
    if (s) Put(r, 4, d.selectorByte);
    const int p = 4 + s;
    for (int i = 0; i < 8; ++i) Put(r, p + i, d.classMask[size_t(i)]);
    PutLe16(r, p + 8, int(d.nid & 0xFFFF));
    if (alpha)
        PutLe16(r, p + 10, int(d.nid >> 16));
    else
        Put(r, p + 10, int((d.nid >> 16) & 0xFF));
    const int q = p + 11 + alpha;
    Put(r, q, d.bios);
    PutLe16(r, q + 1, d.classWord);
    PutLe16(r, q + 3, d.configStart);
    PutLe16(r, q + 5, d.configEnd);
    const int cnf = (d.cnfUnchanged ? 0x8000 : 0) | (d.cnfDays & 0x7FFF);
    Put(r, q + 7, cnf >> 8);
    Put(r, q + 8, cnf & 0xFF);
    PutLe16(r, q + 9, d.appVersion);
    Put(r, q + 11, d.atg1);
    PutLe16(r, q + 12, d.atg2);
    return r;
}

// ---- the bus thread ----

void DeviceBusSimulator::Run() {
    for (;;) {
        const int master = pty_.MasterFd();
        if (master < 0) break;
        pollfd fds[3] = {{stopFd_, POLLIN, 0}, {settleFd_, POLLIN, 0}, {master, POLLIN, 0}};
        if (poll(fds, 3, -1) < 0) {
            if (errno == EINTR) continue;
            break;
        }
        if (fds[0].revents != 0) break;
        if (fds[2].revents & (POLLERR | POLLNVAL)) break;
        // Taken before the line is read and the late answers are looked at:
        // every byte sent, and every move of the clock, before the Settle
        // call is then seen below.
        const quint64 request = SettleRequests(fds[1].revents != 0);
        if (!SendDueLateAnswers()) break;
        if (!ReadWhatCame(master)) break;
        if (request != 0) MarkSettled(request);
    }
    {
        std::lock_guard lock(mutex_);
        running_ = false;
    }
    settled_.notify_all();
}

// A read of the terminal first waits for the bytes still on their way to it,
// so this takes everything sent before it began.
bool DeviceBusSimulator::ReadWhatCame(int master) {
    for (;;) {
        char chunk[256];
        const ssize_t n = ::read(master, chunk, sizeof chunk);
        if (n > 0) {
            Receive(chunk, n);
            std::lock_guard lock(mutex_);
            if (hungUp_) return false;
            continue;
        }
        if (n < 0 && errno == EINTR) continue;
        return n < 0 && errno == EAGAIN;
    }
}

quint64 DeviceBusSimulator::SettleRequests(bool woken) {
    if (woken) {
        quint64 calls = 0;
        [[maybe_unused]] const ssize_t n = ::read(settleFd_, &calls, sizeof calls);
    }
    std::lock_guard lock(mutex_);
    return settleAsked_ > settleDone_ ? settleAsked_ : 0;
}

void DeviceBusSimulator::MarkSettled(quint64 request) {
    {
        std::lock_guard lock(mutex_);
        settleDone_ = std::max(settleDone_, request);
    }
    settled_.notify_all();
}

bool DeviceBusSimulator::SendDueLateAnswers() {
    qint64 now;
    {
        std::lock_guard lock(mutex_);
        now = busMs_;
    }
    for (auto it = late_.begin(); it != late_.end();) {
        if (it->due > now) {
            ++it;
            continue;
        }
        const LateAnswer answer = *it;
        it = late_.erase(it);
        if (!SendAnswers(answer.answers, answer.paced)) return false;
    }
    return true;
}

bool DeviceBusSimulator::SendAnswers(const QList<QByteArray>& answers, bool paced) {
    if (!paced) return answers.isEmpty() || Send(answers.join());
    for (const QByteArray& bytes : answers) {
        if (!SendPaced(bytes)) return false;
    }
    return true;
}

// Cuts frames from the bytes; when paced, a frame is taken when its last byte
// would have come over the wire.
void DeviceBusSimulator::Receive(const char* bytes, qsizetype n) {
    bool paced;
    {
        std::lock_guard lock(mutex_);
        paced = paced_;
    }
    Clock::time_point start;
    if (paced) {
        std::lock_guard lock(sendMutex_);
        start = std::max(Clock::now(), wireFreeAt_);
        wireFreeAt_ = start + n * kByteTime;
    }
    for (qsizetype i = 0; i < n; ++i) {
        pending_.append(bytes[i]);
        if (pending_.size() < kFrameSize) continue;
        const QByteArray frame = pending_.left(kFrameSize);
        pending_.remove(0, kFrameSize);
        if (paced && !SleepUntil(start + (i + 1) * kByteTime)) return;
        Answer(frame);
    }
}

void DeviceBusSimulator::Answer(const QByteArray& frame) {
    QList<QByteArray> answers;
    Handler handler;
    std::optional<BusFault> fault;
    bool paced;
    {
        std::lock_guard lock(mutex_);
        received_.append(frame);
        paced = paced_;
        if (!script_.empty()) {
            answers = script_.front();
            script_.pop_front();
        } else if (handler_) {
            handler = handler_;
        } else {
            fault = TakeFault(frame);
            answers = BusAnswers(frame, fault ? &*fault : nullptr);
        }
    }
    if (handler) answers = handler(frame);
    if (fault && fault->kind == BusFault::Late) {
        std::lock_guard lock(mutex_);
        late_.push_back({busMs_ + fault->delayMs, answers, paced});
        return;
    }
    if (fault && !ApplyFault(*fault, answers)) return;
    SendAnswers(answers, paced);
}

// Call with mutex_ held.
bool DeviceBusSimulator::IsAt(const SimDevice& device, int destination) const {
    return device.programmingMode ? ProgrammingAddressOf(device) == destination
                                  : device.address == destination;
}

// Call with mutex_ held. The fault that acts on this frame, if any.
std::optional<BusFault> DeviceBusSimulator::TakeFault(const QByteArray& frame) {
    const auto it = std::find_if(faults_.begin(), faults_.end(), [&](const BusFault& f) {
        return (f.address < 0 || f.address == At(frame, 1)) &&
               (f.command < 0 || f.command == CommandOf(frame));
    });
    if (it == faults_.end()) return std::nullopt;
    if (it->after > 0) {
        --it->after;
        return std::nullopt;
    }
    const BusFault fault = *it;
    if (--it->times <= 0) faults_.erase(it);
    return fault;
}

// Call with mutex_ held.
QList<QByteArray> DeviceBusSimulator::BusAnswers(const QByteArray& frame, const BusFault* fault) {
    const int destination = At(frame, 1);
    if (destination == kAdapterAddress)
        return adapter_.answers ? AdapterAnswers(frame) : QList<QByteArray>{};
    QList<QByteArray> answers;
    // The list may not change under the loop: a device that moves stays in it.
    for (SimDevice& device : devices_)
        if (IsAt(device, destination))
            answers +=
                fault ? FaultyDeviceAnswers(device, frame, *fault) : DeviceAnswers(device, frame);
    return answers;
}

// Call with mutex_ held. The faults that change what the device does.
QList<QByteArray> DeviceBusSimulator::FaultyDeviceAnswers(SimDevice& device,
                                                          const QByteArray& frame,
                                                          const BusFault& fault) {
    const int s = (At(frame, 3) & kBusSelectorBit) ? 1 : 0;
    switch (fault.kind) {
        case BusFault::Ignore:
            return {};
        case BusFault::Refuse:
            return {AnswerTo(frame, device.address, false)};
        case BusFault::Stale: {
            if (CommandOf(frame) != kCmdMemoryRead) break;
            // The answer to the packet before: the same count, the address before.
            QByteArray before = frame;
            const int at = (At(frame, 4 + s) | (At(frame, 5 + s) << 8)) - At(frame, 6 + s);
            PutLe16(before, 4 + s, qMax(at, device.configStart));
            return DeviceAnswers(device, before) + DeviceAnswers(device, frame);
        }
        case BusFault::EmptyRead: {
            QList<QByteArray> answers = DeviceAnswers(device, frame);
            for (QByteArray& answer : answers)
                for (int i = 6 + s; i < answer.size(); ++i) answer[i] = 0;
            return answers;
        }
        default:
            break;
    }
    return DeviceAnswers(device, frame);
}

QList<QByteArray> DeviceBusSimulator::AdapterAnswers(const QByteArray& frame) {
    const int command = At(frame, 3);
    if (command == kCmdClass) {
        QByteArray r(kFrameSize, '\0');
        Put(r, 0, kAdapterAddress);
        Put(r, 1, kAdapterAddress);
        Put(r, 2, adapter_.versionPayload + 2);
        Put(r, 3, kAnswerBit);
        Put(r, 4, adapter_.versionHigh);
        Put(r, 5, adapter_.versionLow);
        if (adapter_.versionPayload > 8) Put(r, 8, adapter_.versionThird);
        return {r};
    }
    if (command == kCmdMemoryWrite) {
        const bool taken = FirmwareWrite(adapter_.firmware, frame, 0);
        if (taken && adapter_.firmware.awaitedAppVersion >= 0 && adapter_.firmware.HoldsAwaited()) {
            adapter_.versionHigh = adapter_.firmware.awaitedAppVersion >> 8;
            adapter_.versionLow = adapter_.firmware.awaitedAppVersion & 0xFF;
            adapter_.firmware.awaitedAppVersion = -1;
        }
        return {AnswerTo(frame, kAdapterAddress, taken)};
    }
    if (command != kCmdParameter) return {};
    switch (At(frame, 7)) {
        case 0x00: {
            const bool wasOn = adapter_.driverOn;
            adapter_.driverOn = true;
            return {AnswerTo(frame, kAdapterAddress, !wasOn)};
        }
        case 0xFE: {
            adapter_.receptionMode = At(frame, 8);
            QByteArray r = AnswerTo(frame, kAdapterAddress, true);
            Put(r, 8, At(frame, 8) & 1);
            return {r};
        }
        case 0xFF:
            adapter_.driverOn = false;
            adapter_.receptionMode = 0;
            return {AnswerTo(frame, kAdapterAddress, true)};
        case 0x01:
            adapter_.usbVid = At(frame, 8) | (At(frame, 9) << 8);
            adapter_.usbPid = At(frame, 10) | (At(frame, 11) << 8);
            return {AnswerTo(frame, kAdapterAddress, true)};
        default:
            return {};
    }
}

QList<QByteArray> DeviceBusSimulator::DeviceAnswers(SimDevice& device, const QByteArray& frame) {
    const int s = (At(frame, 3) & kBusSelectorBit) ? 1 : 0;
    const int command = At(frame, 3) & ~kBusSelectorBit;
    if (command == kCmdClass) return {ClassReply(device)};
    if (command == kCmdDeselect) {
        device.selected = false;
        return {AnswerTo(frame, device.address, true)};
    }
    if (command == kCmdParameter && At(frame, 7 + s) == 0x80) {
        const QString expected =
            device.password.isEmpty() ? QStringLiteral("000") : device.password;
        device.selected = PasswordOf(frame, s) == expected;
        return {AnswerTo(frame, device.address, device.selected)};
    }
    if (command == kCmdParameter && At(frame, 7 + s) == 0x03) {
        QByteArray r = AnswerTo(frame, device.address, true);
        const bool dtg = device.dtg.size() == 3;
        Put(r, 2, (dtg ? 21 : 18) + s + 2);
        const QByteArray serial = EncodeSerial(device.serial);
        for (int i = 0; i < 10; ++i) Put(r, 8 + s + i, At(serial, i));
        if (dtg) {
            // Shown as byte 18, byte 20, byte 19.
            Put(r, 18 + s, At(device.dtg, 0));
            Put(r, 20 + s, At(device.dtg, 1));
            Put(r, 19 + s, At(device.dtg, 2));
        }
        return {r};
    }
    const auto handler = commandHandlers_.find(command);
    if (handler != commandHandlers_.end()) return handler->second(device, frame);
    if (command == kCmdMemoryRead) return MemoryRead(device, frame, s);
    if (command == kCmdMemoryWrite) return MemoryWrite(device, frame, s);
    if (command == kCmdParameter && At(frame, 7 + s) == 0x01)
        return WriteNetworkId(device, frame, s);
    if (command == kCmdParameter && At(frame, 7 + s) == 0x04) return MoveBySerial(device, frame, s);
    return {};
}

QList<QByteArray> DeviceBusSimulator::MemoryRead(SimDevice& device, const QByteArray& frame,
                                                 int s) {
    const int at = At(frame, 4 + s) | (At(frame, 5 + s) << 8);
    const int asked = At(frame, 6 + s);
    if (at < device.configStart || at >= device.configEnd || asked < 1 || asked > kMemoryPacket)
        return {AnswerTo(frame, device.address, false)};
    const int n = qMin(asked, device.configEnd - at);
    QByteArray answer = AnswerTo(frame, device.address, true);
    Put(answer, 2, 9 + s + n);
    Put(answer, 6 + s, n);
    const int offset = at - device.configStart;
    for (int i = 0; i < n; ++i)
        Put(answer, 7 + s + i,
            offset + i < device.memory.size() ? At(device.memory, offset + i) : 0xFF);
    return {answer};
}

QByteArray SimFirmware::Read(int at, int count) const {
    QByteArray bytes;
    for (int i = 0; i < count; ++i) {
        const auto it = memory.find(at + i);
        if (it == memory.end()) break;
        bytes.append(char(it->second));
    }
    return bytes;
}

bool SimFirmware::HoldsAwaited() const {
    if (awaited.empty()) return false;
    for (const auto& [start, bytes] : awaited)
        if (Read(start, int(bytes.size())) != bytes) return false;
    return true;
}

QByteArray SimDevice::DtgForBds(int bds, bool patched) {
    QByteArray dtg(3, '\0');
    dtg[0] = char((bds >> 4) & 0x0F);
    dtg[1] = char((bds & 0x0F) << 4);
    dtg[2] = char(patched ? 1 : 0);
    return dtg;
}

bool DeviceBusSimulator::FirmwareWrite(SimFirmware& firmware, const QByteArray& frame, int s) {
    const int at = At(frame, 4 + s) | (At(frame, 5 + s) << 8);
    const int n = At(frame, 6 + s);
    if (n < 1 || n > kMemoryPacket) return false;
    for (int i = 0; i < n; ++i) firmware.memory[at + i] = quint8(At(frame, 7 + s + i));
    return true;
}

QList<QByteArray> DeviceBusSimulator::MemoryWrite(SimDevice& device, const QByteArray& frame,
                                                  int s) {
    const int at = At(frame, 4 + s) | (At(frame, 5 + s) << 8);
    const int n = At(frame, 6 + s);
    if ((at >= device.configEnd || at + n <= device.configStart) &&
        FirmwareWrite(device.firmware, frame, s)) {
        if (device.firmware.awaitedAppVersion >= 0 && device.firmware.HoldsAwaited()) {
            device.appVersion = device.firmware.awaitedAppVersion;
            device.firmware.awaitedAppVersion = -1;
        }
        return {AnswerTo(frame, device.address, true)};
    }
    if (at < device.configStart || at + n > device.configEnd || n < 1 || n > kMemoryPacket)
        return {AnswerTo(frame, device.address, false)};
    const int offset = at - device.configStart;
    if (device.memory.size() < offset + n) device.memory.resize(offset + n, char(0xFF));
    for (int i = 0; i < n; ++i) device.memory[offset + i] = char(At(frame, 7 + s + i));
    return {AnswerTo(frame, device.address, true)};
}

QList<QByteArray> DeviceBusSimulator::WriteNetworkId(SimDevice& device, const QByteArray& frame,
                                                     int s) {
    const int bytes = device.format == 30 && !device.selector ? 4 : 3;
    quint32 nid = 0;
    for (int i = bytes - 1; i >= 0; --i) nid = nid * 256 + quint32(At(frame, 8 + s + i));
    device.nid = nid;
    return {AnswerTo(frame, device.address, true)};
}

QList<QByteArray> DeviceBusSimulator::MoveBySerial(SimDevice& device, const QByteArray& frame,
                                                   int s) {
    const int p = 4 + s;  // where the request's fields start
    const QByteArray serial = EncodeSerial(device.serial);
    for (int i = 1; i < 10; ++i)
        if (At(frame, p + 6 + i) != At(serial, i)) return {};  // another device's order
    const QString password = QString::number(At(frame, p + 6)) + QString::number(At(frame, p + 5)) +
                             QString::number(At(frame, p + 4));
    const QString expected = device.password.isEmpty() ? QStringLiteral("000") : device.password;
    if (password != expected) return {AnswerTo(frame, device.address, false)};
    const int to = At(frame, p + 16);
    const int from = device.address;
    device.address = to == kJumpers ? device.jumperAddress : to;
    // A device asked at its class address answers from the address it took.
    QByteArray answer = AnswerTo(frame, device.programmingMode ? device.address : from, true);
    device.programmingMode = false;
    return {answer};
}

// Call without mutex_ held. The faults that change what goes on the wire;
// false when the line hung up.
bool DeviceBusSimulator::ApplyFault(const BusFault& fault, QList<QByteArray>& answers) {
    switch (fault.kind) {
        case BusFault::Silence:
            answers.clear();
            return true;
        case BusFault::Fragment:
            for (QByteArray& answer : answers) answer = answer.left(fault.bytes);
            return true;
        case BusFault::ZeroFrame:
            answers.prepend(QByteArray(kFrameSize, '\0'));
            return true;
        case BusFault::HangUp: {
            std::lock_guard lock(sendMutex_);
            pty_.CloseMaster();
            std::lock_guard state(mutex_);
            hungUp_ = true;
            return false;
        }
        default:
            return true;  // acted before the device answered
    }
}

bool DeviceBusSimulator::SleepUntil(Clock::time_point when) {
    for (;;) {
        const auto left = when - Clock::now();
        if (left <= Clock::duration::zero()) return true;
        const auto ns = std::chrono::duration_cast<std::chrono::nanoseconds>(left).count();
        const timespec ts{time_t(ns / 1'000'000'000), long(ns % 1'000'000'000)};
        pollfd stop{stopFd_, POLLIN, 0};
        const int r = ppoll(&stop, 1, &ts, nullptr);
        if (r > 0) return false;
        if (r < 0 && errno != EINTR) return false;
    }
}

bool DeviceBusSimulator::Send(const QByteArray& bytes) {
    std::lock_guard lock(sendMutex_);
    qsizetype done = 0;
    while (done < bytes.size()) {
        const int master = pty_.MasterFd();
        if (master < 0) return false;
        const ssize_t n = ::write(master, bytes.constData() + done, size_t(bytes.size() - done));
        if (n > 0) {
            done += n;
            continue;
        }
        if (n < 0 && errno != EAGAIN && errno != EINTR) return false;
        pollfd fds[2] = {{stopFd_, POLLIN, 0}, {master, POLLOUT, 0}};
        poll(fds, 2, -1);
        if (fds[0].revents != 0) return false;
    }
    return true;
}

// One byte at a time at the wire's rate, after whatever is on the wire now.
bool DeviceBusSimulator::SendPaced(const QByteArray& bytes) {
    std::lock_guard lock(sendMutex_);
    Clock::time_point at = std::max(Clock::now(), wireFreeAt_);
    for (char byte : bytes) {
        at += kByteTime;
        if (!SleepUntil(at)) return false;
        const int master = pty_.MasterFd();
        if (master < 0 || ::write(master, &byte, 1) != 1) return false;
    }
    wireFreeAt_ = at;
    return true;
}
