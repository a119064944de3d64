#include "netlink/TNetLink.h"

#include "config/ConfigHeader.h"
#include "foundation/BitAndStr.h"
#include "foundation/Globals.h"
#include "platform/Dialogs.h"

#include <QCoreApplication>
#include <QThread>

#include <chrono>
#include <utility>

namespace {

const QString kWriteCaption = QStringLiteral("Ошибка записи");
const QString kPortClosedText = QStringLiteral("Аварийное закрытие порта!");
const QString kShortWriteText =
    QStringLiteral("Ошибка записи. Перезапустите АРМ и передерните СУС!");
const QString kReplugText = QStringLiteral("Передерните СУС!");
const QString kReadErrorText = QStringLiteral("Ошибка чтения");

// The rest of a frame takes 31 ms at 9600 baud; a part that stays alone longer is a fragment.
constexpr int kFragmentGraceMs = 100;
// A few byte times: long enough to see a second answer begin right after the first.
constexpr int kFollowingAnswerMs = 3;
// Frames already waiting are taken in one go, up to this many.
constexpr int kFramesPerRead = 16;
// How long the adapter may take to confirm its reception mode.
constexpr int kAdapterAnswerMs = 3000;
constexpr int kLinkSettleMs = 1000;
constexpr int kRestartPauseMs = 7000;
constexpr int kSendTimeoutMs = 10000;
constexpr int kReadTimeoutMs = 5000;
constexpr int kFirstReceiveTickMs = 10;
// Taken answers kept for the operations; older ones are of no use to anyone.
constexpr int kTakenAnswersKept = 256;

int TimerIndex(NetTimer timer) {
    return int(timer);
}

}  // namespace

TNetLink::TNetLink(NetLinkHooks hooks) : hooks_(std::move(hooks)) {
    // The adapter's line: 9600 baud 8N1, small driver queues, reads that end
    // 20 ms a byte plus 200 ms after they start.
    BComNet.SetPort(QStringLiteral("COM4"));
    BComNet.SetBaudRate(br9600);
    BComNet.SetByteSize(bs8);
    BComNet.SetParity(paNone);
    BComNet.SetStopBits(sb1);
    BComNet.SetInBufSize(32);
    BComNet.SetOutBufSize(32);
    TComTimeouts& t = BComNet.Timeouts();
    t.SetReadInterval(-1);
    t.SetReadTotalMultiplier(20);
    t.SetReadTotalConstant(200);
    t.SetWriteTotalMultiplier(50);
    t.SetWriteTotalConstant(500);
    InitAsync(rxRecord_);
}

TNetLink::~TNetLink() {
    DoneAsync(rxRecord_);
    snifferLog_.Close();
    BComNet.Close();
}

int TNetLink::SepDevice() const {
    return Globals().SepDevice;
}

// ---- hooks ----

qint64 TNetLink::NowMs() const {
    if (hooks_.nowMs) return hooks_.nowMs();
    using namespace std::chrono;
    return duration_cast<milliseconds>(steady_clock::now().time_since_epoch()).count();
}

void TNetLink::Pause(int ms) {
    if (hooks_.sleep)
        hooks_.sleep(ms);
    else
        AlertableSleep(ms);
}

void TNetLink::AlertableSleep(int ms) {
    if (ms <= 0) return;
    if (rxArmed_ && BComNet.Connected()) {
        try {
            BComNet.AwaitAsync(rxRecord_, ms);
            return;
        } catch (const EComPort&) {
            // A failed read has nothing to wait for; sleep the rest plainly.
        }
    }
    QThread::msleep(ulong(ms));
}

void TNetLink::ProcessEvents() {
    if (hooks_.processEvents)
        hooks_.processEvents();
    else
        QCoreApplication::processEvents();
}

NetTimerState TNetLink::Timer(NetTimer timer) const {
    return timers_[TimerIndex(timer)];
}

void TNetLink::SetTimer(NetTimer timer, bool enabled, int intervalMs) {
    NetTimerState& state = timers_[TimerIndex(timer)];
    const NetTimerState before = state;
    state.enabled = enabled;
    if (intervalMs >= 0) state.intervalMs = intervalMs;
    if ((state.enabled != before.enabled || state.intervalMs != before.intervalMs) &&
        hooks_.timerChanged)
        hooks_.timerChanged(timer, state);
}

void TNetLink::ResumeReceiveTimer() {
    if (!receiveHeld_ && !receiveSuspended_ && BComNet.Connected())
        SetTimer(NetTimer::Asinc, true);
}

void TNetLink::PrepareUpload() {
    sendSnapshot_ = MemoSend;
    TmSendTick();
    MemoSend.clear();
    MemoRead.clear();
    SetTimer(NetTimer::Send, false);
    SetTimer(NetTimer::Read, false);
    SetTimer(NetTimer::Asinc, false);
}

void TNetLink::RearmReceive() {
    DisarmReceive();
    ArmReceive();
}

void TNetLink::SuspendReceiveUntilStart() {
    receiveSuspended_ = true;
    SetTimer(NetTimer::Asinc, false);
}

void TNetLink::HoldReceiveTimer(bool hold) {
    receiveHeld_ = hold;
    if (hold)
        SetTimer(NetTimer::Asinc, false);
    else
        ResumeReceiveTimer();
}

// ---- sending ----

bool TNetLink::SendFrame(const TNetFrame& frame, QStringList& log) {
    if (!BComNet.Connected()) {
        // A device that hung up was reported by the port already.
        if (!BComNet.DeviceLost()) Dialogs::Error(kWriteCaption, kPortClosedText);
        return false;
    }
    bool sent = false;
    try {
        const QString hex = frame.ToHex();
        if (BComNet.Write(frame.data(), kNetFrameSize) < kNetFrameSize) {
            log.append(kShortWriteText);
            SetTimer(NetTimer::Restart, true, kRestartPauseMs);
        } else {
            sent = true;
            ++ESend;
            // One pending line per identical request.
            if (!MemoSend.contains(hex)) MemoSend.append(hex);
            LogPacket(QLatin1Char('>'), hex);
        }
    } catch (const EComPort&) {
        if (!BComNet.DeviceLost()) Dialogs::Error(kWriteCaption, kReplugText);
    }
    ProcessEvents();
    return sent;
}

void TNetLink::LogPacket(QChar direction, const QString& hex) {
    if (receptionMode_ == 2) snifferLog_.Write(direction, hex, QDateTime::currentDateTime());
}

// ---- receiving ----

void TNetLink::ArmReceive() {
    if (rxArmed_ || !BComNet.Connected()) return;
    RxFrame = TNetFrame();
    BComNet.ReadAsync(RxFrame.data(), kNetFrameSize, rxRecord_);
    rxArmed_ = true;
    rxSeenBytes_ = 0;
}

// Takes a receive that completed (journalling it) and abandons one still
// waiting, so that a blocking read after it gets the next bytes.
void TNetLink::DisarmReceive() {
    if (!rxArmed_) return;
    try {
        if (BComNet.IsAsyncCompleted(rxRecord_)) {
            rxArmed_ = false;
            if (BComNet.WaitForAsync(rxRecord_) == kNetFrameSize) JournalReceived(RxFrame);
            return;
        }
    } catch (const EComPort&) {
    }
    DoneAsync(rxRecord_);
    InitAsync(rxRecord_);
    rxArmed_ = false;
}

// Packets for the workstation are journalled; in sniffer mode every packet
// of the network is written to the log file as well.
bool TNetLink::JournalReceived(const TNetFrame& frame) {
    if (frame.EmptyHead()) return false;
    const QString hex = frame.ToHex();
    LogPacket(QLatin1Char('<'), hex);
    if (!frame.ForWorkstation()) return false;
    MemoRead.append(hex);
    ++ERead;
    return true;
}

// A read that ended with part of a frame waits briefly for the rest: a
// deadline that falls inside a frame must not cut it in two.
int TNetLink::CompleteFragment(int have) {
    TAsyncRecord* rest = nullptr;
    InitAsync(rest);
    int got = have;
    try {
        int n = BComNet.ReadAsync(RxFrame.data() + have, kNetFrameSize - have, rest);
        if (n == 0 && BComNet.AwaitAsync(rest, kFragmentGraceMs)) n = BComNet.WaitForAsync(rest);
        got += n;
    } catch (const EComPort&) {
    }
    DoneAsync(rest);
    return got;
}

bool TNetLink::TakeCompletedFrame(QString& errorText) {
    if (!rxArmed_) {
        ArmReceive();
        return false;
    }
    if (!BComNet.IsAsyncCompleted(rxRecord_)) {
        DropStalledFragment(errorText);
        return false;
    }
    int n = BComNet.WaitForAsync(rxRecord_);
    rxArmed_ = false;
    bool journalled = false, whole = false;
    for (int frames = 1;; ++frames) {
        if (n > 0 && n < kNetFrameSize) n = CompleteFragment(n);
        if (n == kNetFrameSize) {
            whole = true;
            journalled = JournalReceived(RxFrame) || journalled;
        } else if (n > 0) {
            // A fragment: drop what follows it too, so the next read starts a frame.
            errorText = kReadErrorText;
            if (BComNet.Connected()) BComNet.ClearBuffer(true, false);
        }
        RxFrame = TNetFrame();
        if (!BComNet.Connected()) break;
        n = BComNet.ReadAsync(RxFrame.data(), kNetFrameSize, rxRecord_);
        rxArmed_ = true;
        rxSeenBytes_ = 0;
        // Frames already waiting are taken now, so answers that came together
        // are interpreted together.
        if (n == 0 || frames >= kFramesPerRead) break;
        rxArmed_ = false;
    }
    if (whole) ProcessEvents();
    return journalled;
}

bool TNetLink::ReadFrame(QString& errorText) {
    errorText.clear();
    SetTimer(NetTimer::Asinc, false);
    bool journalled = false;
    try {
        journalled = TakeCompletedFrame(errorText);
    } catch (const EComPort&) {
        // Dropped: the next read starts afresh; a lost device was reported by the port.
        rxArmed_ = false;
    }
    ResumeReceiveTimer();
    return journalled;
}

// Part of a frame that got no more bytes for a while will not be completed:
// it is dropped with what follows it, so the next read starts a frame.
void TNetLink::DropStalledFragment(QString& errorText) {
    const int done = rxRecord_->BytesDone();
    if (done != rxSeenBytes_) {
        rxSeenBytes_ = done;
        rxSeenAt_ = NowMs();
        return;
    }
    if (done == 0 || NowMs() - rxSeenAt_ < kFragmentGraceMs) return;
    errorText = kReadErrorText;
    DoneAsync(rxRecord_);
    InitAsync(rxRecord_);
    rxArmed_ = false;
    BComNet.ClearBuffer(true, false);
    ArmReceive();
}

// Answers that follow one another closely (two devices at one address) are
// read together, so that one interpretation pass sees them all.
bool TNetLink::AnotherFrameComing() {
    if (!rxArmed_ || !BComNet.Connected()) return false;
    try {
        BComNet.AwaitAsync(rxRecord_, kFollowingAnswerMs);
    } catch (const EComPort&) {
        return false;
    }
    return rxRecord_->BytesDone() > 0;
}

// ---- interpretation ----

void TNetLink::InterpretNetAnswers(QString& modeText, QString& status, QStringList& answerLog,
                                   QStringList& deviceList) {
    NetInterpretation io{
        MemoSend,          MemoRead,    Tables,
        SelectedAddr,      answerLog,   deviceList,
        FormLog,           SepDevice(), NetSnifferLog::ResolvePath(Settings.LogFileName),
        Settings.AppendLog};
    const NetInterpretResult result = InterpretAnswers(io, modeText, status);
    if (result.adapterVersion) {
        AdapterVersion = *result.adapterVersion;
        SnifferAllowed = AdapterVersion != QLatin1String("$00$00$00");
    }
    moves_ += result.addressChanges;
    TakenAnswers += result.taken;
    if (TakenAnswers.size() > kTakenAnswersKept)
        TakenAnswers.remove(0, TakenAnswers.size() - kTakenAnswersKept);
    // Asking again goes through this very function; those calls only collect.
    if (!followingUp_) RunFollowUps(modeText, deviceList);
}

void TNetLink::RunFollowUps(QString& modeText, QStringList& deviceList) {
    followingUp_ = true;
    while (!moves_.isEmpty()) AskAgainAfterMove(moves_.takeFirst(), modeText, deviceList);
    followingUp_ = false;
}

void TNetLink::AskAgainAfterMove(const NetAddressChange& change, QString& modeText,
                                 QStringList& deviceList) {
    for (int address : {change.oldAddress, change.newAddress}) {
        if (address < 0 || address >= kNetAddressCount) continue;
        if (address == change.newAddress && change.newAddress == change.oldAddress) continue;
        AskAgain(address, modeText);
    }
    // A device left for a class address: the devices listed without a serial
    // number may be the ones that moved.
    if (change.oldAddress >= 129 || change.newAddress >= 129) {
        const QStringList lines = deviceList;
        for (const QString& line : lines) {
            if (line.size() >= 10) continue;
            const int address = DesignationToAddress(line, SepDevice());
            if (address >= 0) AskAgain(address, modeText);
        }
    }
    BuildDeviceList(deviceList);
}

void TNetLink::AskAgain(int address, QString& modeText) {
    Tables.ClearAddress(address);
    Pause(100);
    const int answers = RequestClass(address);
    Tables.ParseClassReply(address);
    if (answers > 0) modeText = QStringLiteral("sn") + IntToStrZ(address, 2);
}

void TNetLink::InterpretFor(const QString& mode, QString* modeOut) {
    QString modeText = mode, status;
    InterpretNetAnswers(modeText, status, AnswerLog, DeviceList);
    if (modeOut) *modeOut = modeText;
}

// ---- the request/answer cycle ----

NetCycleResult TNetLink::RunRequestCycle(const TNetFrame& request, QStringList& requestLog,
                                         QStringList& answerLog, QStringList& deviceList,
                                         std::function<bool()> pending) {
    NetCycleResult result;
    const QString hex = request.ToHex();
    if (!pending) pending = [this, hex] { return IsRequestPending(hex); };
    result.sent = SendFrame(request, requestLog);
    if (!result.sent) return result;
    for (int attempt = 0; attempt < Settings.CountRead && pending(); ++attempt) {
        QString errorText;
        const bool received = ReadFrame(errorText);
        if (!errorText.trimmed().isEmpty()) answerLog.append(errorText);
        for (int more = 0; received && more < kFramesPerRead && AnotherFrameComing(); ++more) {
            AlertableSleep(kFragmentGraceMs);
            ReadFrame(errorText);
            if (!errorText.trimmed().isEmpty()) answerLog.append(errorText);
        }
        if (received) {
            QString modeText = QStringLiteral("1"), status;
            InterpretNetAnswers(modeText, status, answerLog, deviceList);
        } else {
            // Nothing more can come from a port that is gone.
            if (!BComNet.Connected()) break;
            Pause(Settings.SWaitNet);
        }
    }
    result.answered = !pending();
    return result;
}

int TNetLink::SelectDevice(int address, const QString& password, QStringList& requestLog,
                           QStringList& answerLog, QStringList& deviceList) {
    if (address == kAdapterAddress) return kAdapterAddress;
    const std::optional<std::array<int, 3>> digits = PasswordDigits(password);
    if (address >= 0 && !digits) {
        Dialogs::Error(QStringLiteral("Ошибка"),
                       QStringLiteral("Пароль устройства - три цифры. Вход в РП не выполнен."));
        return SelectedAddr;
    }
    if (SelectedAddr >= 0 && SelectedAddr != address)
        SelectedAddr = DeselectDevice(SelectedAddr, requestLog, answerLog, deviceList);
    if (address < 0) return -1;
    // The device's "Вход в РП" answer selects it; a refusal leaves it as it was.
    RunRequestCycle(NetRequest::Select(address, Tables.Selector(address) == 1, *digits), requestLog,
                    answerLog, deviceList);
    return SelectedAddr;
}

int TNetLink::DeselectDevice(int address, QStringList& requestLog, QStringList& answerLog,
                             QStringList& deviceList) {
    if (address == kAdapterAddress || address < 0) return -1;
    const NetCycleResult result =
        RunRequestCycle(NetRequest::Deselect(address), requestLog, answerLog, deviceList);
    return result.sent ? -1 : address;
}

std::optional<NetClassInfo> TNetLink::ShowDeviceClass(const QString& line) {
    const int address = DesignationToAddress(line.left(5), SepDevice());
    if (address < 0) return std::nullopt;
    Tables.ParseClassReply(address);
    return ShowClassInfo(address);
}

int TNetLink::RequestClass(int address) {
    if (address < 0 || address > 0xFF) return 0;
    RequestLog.append(QStringLiteral("Запрос класса устройства ") +
                      DeviceAddrName(address, SepDevice()));
    Tables.ClearReply(address);
    RunRequestCycle(NetRequest::Class(address), RequestLog, AnswerLog, DeviceList,
                    [this, address] { return Tables.AnswerCount(address) == 0; });
    return Tables.AnswerCount(address);
}

// ---- the adapter ----

// One blocking read of an adapter answer; journals it when it is one.
bool TNetLink::ReadAdapterAnswer(int waitMs) {
    const qint64 deadline = NowMs() + waitMs;
    TNetFrame frame;
    int n = 0;
    do {
        frame = TNetFrame();
        n = BComNet.Read(frame.data(), kNetFrameSize);
    } while (frame.EmptyHead() && NowMs() < deadline && BComNet.Connected());
    if (n != kNetFrameSize) return false;
    if (frame.EmptyHead() || frame[0] != kAdapterAddress || frame[1] != kAdapterAddress)
        return false;
    const QString hex = frame.ToHex();
    MemoRead.append(hex);
    ++ERead;
    LogPacket(QLatin1Char('<'), hex);
    return true;
}

void TNetLink::SendAdapterCommand(int& mode) {
    const int wait = 3 * Settings.SWaitNet;
    if (Timer(NetTimer::Asinc).enabled) {
        SetTimer(NetTimer::Asinc, false);
        Pause(wait);
        const int before = MemoRead.size();
        DisarmReceive();
        if (MemoRead.size() > before) InterpretFor(QStringLiteral("1"));
    }
    DisarmReceive();
    Pause(wait);
    RxFrame = TNetFrame();
    if (!SendFrame(NetRequest::AdapterReceptionMode(mode), RequestLog)) return;
    mode = 2;
    try {
        if (!ReadAdapterAnswer(kAdapterAnswerMs)) return;
    } catch (const EComPort&) {
        if (!BComNet.DeviceLost()) throw;
        return;
    }
    QString marker;
    InterpretFor(QStringLiteral("1"), &marker);
    if (marker == QLatin1String("#")) mode = 1;
    if (marker == QLatin1String("%")) mode = 0;
}

bool TNetLink::OpenNetLog(const QString& fileName) {
    SetTimer(NetTimer::Asinc, false);
    if (receptionMode_ == 2) snifferLog_.Close();
    receptionMode_ = 0;
    if (!fileName.isEmpty()) Settings.LogFileName = fileName;
    if (Settings.SnifferMode && running_) {
        int mode = 1;
        SendAdapterCommand(mode);
        if (mode == 1) {
            if (snifferLog_.Open(Settings.LogFileName, Settings.AppendLog)) {
                receptionMode_ = 2;
            } else {
                Dialogs::Error(QStringLiteral("Ошибка"),
                               QStringLiteral("Ошибка открытия файла сохранения."));
                Settings.SnifferMode = false;
            }
        }
    } else if (running_) {
        int mode = 0;
        SendAdapterCommand(mode);
    }
    if (BComNet.Connected() && !receiveSuspended_) {
        ArmReceive();
        SetTimer(NetTimer::Asinc, true, kFirstReceiveTickMs);
    }
    return receptionMode_ == 2;
}

bool TNetLink::StartNet(const std::function<std::optional<NetPortChoice>()>& findNetPort) {
    Pause(kLinkSettleMs);
    if (BComNet.Connected()) return false;
    const std::optional<NetPortChoice> choice = findNetPort ? findNetPort() : std::nullopt;
    if (!choice) return false;
    receiveSuspended_ = false;
    DoneAsync(rxRecord_);
    InitAsync(rxRecord_);
    rxArmed_ = false;
    Adapter = *choice;
    DeviceList.append(QStringLiteral("Порт:=") + Adapter.port + QStringLiteral(" Vid:=") +
                      Adapter.vid + QStringLiteral(" Pid:=") + Adapter.pid);
    BComNet.SetPort(Adapter.port);
    BComNet.Open();
    SetTimer(NetTimer::Asinc, false);
    running_ = true;

    // The adapter tells its version, then switches its driver on.
    QString marker;
    if (AskAdapter(NetRequest::Class(kAdapterAddress)))
        AskAdapter(NetRequest::AdapterDriverOn(), &marker);
    Tables.ClearDeviceReplies();
    if (marker == QLatin1String("*") && Settings.SnifferMode) {
        if (!Settings.LogFileName.isEmpty()) OpenNetLog(Settings.LogFileName);
        if (Settings.SnifferMode && !Timer(NetTimer::Asinc).enabled) {
            ArmReceive();
            SetTimer(NetTimer::Asinc, true, kFirstReceiveTickMs);
        }
    }
    return true;
}

bool TNetLink::AskAdapter(const TNetFrame& request, QString* marker) {
    // The answer is read here, not by the background receive.
    const bool receiving = Timer(NetTimer::Asinc).enabled;
    SetTimer(NetTimer::Asinc, false);
    if (BComNet.Connected()) DisarmReceive();
    const bool sent = SendFrame(request, RequestLog);
    if (sent) {
        Pause(2 * Settings.SWaitNet);
        if (ReadAdapterAnswer(0)) InterpretFor(QStringLiteral("1"), marker);
    }
    if (receiving) ResumeReceiveTimer();
    return sent;
}

bool TNetLink::CloseNetPort(bool readAnswer) {
    SetTimer(NetTimer::Asinc, false);
    if (BComNet.Connected()) DisarmReceive();
    const bool sent = SendFrame(NetRequest::AdapterRestart(), RequestLog);
    if (sent) {
        Pause(30);
        try {
            if (ReadAdapterAnswer(0) && readAnswer) InterpretFor(QStringLiteral("1"));
        } catch (const EComPort&) {
            // The port is closed below whatever the adapter did.
        }
    }
    snifferLog_.Close();
    BComNet.Close();
    rxArmed_ = false;
    running_ = false;
    return sent;
}

void TNetLink::ReleasePort() {
    if (running_) return;
    SetTimer(NetTimer::Asinc, false);
    if (BComNet.Connected()) DisarmReceive();
    BComNet.Close();
    rxArmed_ = false;
}

bool TNetLink::StopNet(int& mode) {
    Pause(kLinkSettleMs);
    // A link whose device hung up is stopped all the same.
    if (!BComNet.Connected() && !running_) return false;
    SetTimer(NetTimer::Asinc, false);
    if (BComNet.Connected()) DisarmReceive();
    if (mode == 2) {
        int own = 0;
        if (BComNet.Connected()) SendAdapterCommand(own);
        snifferLog_.Close();
    }
    mode = 0;
    receptionMode_ = 0;
    DoneAsync(rxRecord_);
    InitAsync(rxRecord_);
    rxArmed_ = false;
    SetTimer(NetTimer::Send, false);
    SetTimer(NetTimer::Read, false);
    Adapter.vid.clear();
    Adapter.pid.clear();
    CloseNetPort(true);
    // The port is closed now in every case; the start button comes back after the pause.
    SetTimer(NetTimer::Restart, true, kRestartPauseMs);
    MemoRead.clear();
    MemoSend.clear();
    return true;
}

// ---- timers ----

void TNetLink::TimerAsincTick() {
    SetTimer(NetTimer::Asinc, Timer(NetTimer::Asinc).enabled, Settings.SWaitNet);
    QString errorText;
    const bool received = ReadFrame(errorText);
    if (!errorText.isEmpty()) AnswerLog.append(errorText);
    if (received) {
        InterpretFor(QStringLiteral("1"));
        return;
    }
    if (MemoSend.isEmpty()) {
        SetTimer(NetTimer::Send, false);
    } else if (!Timer(NetTimer::Send).enabled) {
        sendSnapshot_ = MemoSend;
        SetTimer(NetTimer::Send, true, kSendTimeoutMs);
    }
    if (MemoRead.isEmpty())
        SetTimer(NetTimer::Read, false);
    else if (!Timer(NetTimer::Read).enabled)
        SetTimer(NetTimer::Read, true, kReadTimeoutMs);
}

// Only the requests that were waiting when the time-out was armed have waited
// it out. A request sent since, perhaps one packet of a transfer in progress,
// is still on its way and keeps its line.
void TNetLink::TmSendTick() {
    SetTimer(NetTimer::Send, false);
    const QStringList due = std::exchange(sendSnapshot_, {});
    for (const QString& line : due)
        if (MemoSend.contains(line)) TimeOutRequest(line);
}

void TNetLink::TimeOutRequest(const QString& line) {
    const std::optional<TNetFrame> request = TNetFrame::FromHex(line);
    if (!request) {
        MemoSend.removeOne(line);
        return;
    }
    const int base = (*request)[3] & ~kSelectorBit;
    if (base == kCmdMemoryWrite) {
        // A packet write stays for the upload's repeat pass unless its answer is here.
        QString modeText, status;
        InterpretNetAnswers(modeText, status, AnswerLog, DeviceList);
        if (!modeText.trimmed().isEmpty()) RequestLog.append(modeText);
        return;
    }
    if (base == kCmdClass)
        AnswerLog.append(QStringLiteral("Ответ устройства ") +
                         DeviceAddrName((*request)[1], SepDevice()) +
                         QStringLiteral(" превысил время ожидания!"));
    MemoSend.removeOne(line);
}

void TNetLink::TmReadTick() {
    SetTimer(NetTimer::Read, false);
    if (!MemoRead.isEmpty() && MemoRead.first().size() < kNetHexLineSize) MemoRead.removeFirst();
    InterpretFor(QStringLiteral("0"));
}

void TNetLink::TimerRestartTick() {
    SetTimer(NetTimer::Restart, false);
    if (hooks_.restartLink) hooks_.restartLink();
}
