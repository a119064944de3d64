#pragma once
// The link layer of the device network: the adapter's port, the two packet
// journals with their counters, the per-address tables and the selected
// device, the request/answer cycle, the adapter's own commands, the start and
// stop of the link and the work of the four timers of the network settings
// form. It runs on the user-interface thread; the clock, the pauses and the
// event pump come in through NetLinkHooks, questions go through Dialogs, so
// tests drive it without a window.

#include "netlink/NetAnswerInterpreter.h"
#include "netlink/NetDeviceTables.h"
#include "netlink/NetPortDiscovery.h"
#include "netlink/NetSnifferLog.h"
#include "netlink/TBComPort.h"
#include "netlink/TNetFrame.h"

#include <QString>
#include <QStringList>

#include <functional>
#include <optional>

// The four timers of the network settings form.
enum class NetTimer { Asinc, Send, Read, Restart };

struct NetTimerState {
    bool enabled = false;
    int intervalMs = 0;
};

// What the form that shows the link learns and lends it.
struct NetLinkHooks {
    std::function<qint64()> nowMs;        // a monotonic clock; default: the steady clock
    std::function<void(int ms)> sleep;    // a pause; default: AlertableSleep
    std::function<void()> processEvents;  // one pass of the event loop
    // A timer was switched or given a new interval.
    std::function<void(NetTimer, const NetTimerState&)> timerChanged;
    // The restart timer fired: the start button may be used again.
    std::function<void()> restartLink;
};

// The settings of the link, as the network settings form holds them.
struct NetLinkSettings {
    int SWaitNet = 100;        // ms between read attempts (30..60000)
    int CountRead = 3;         // read attempts per request (3..10)
    bool SnifferMode = false;  // "Принимать любые пакеты на сети"
    bool AppendLog = false;    // "Дописывать в существующий"
    QString LogFileName;       // the packet log file; blank: LOG/log1.log
};

// How one request fared in the request/answer cycle.
struct NetCycleResult {
    bool sent = false;
    bool answered = false;
};

class TNetLink {
  public:
    explicit TNetLink(NetLinkHooks hooks = {});
    ~TNetLink();
    TNetLink(const TNetLink&) = delete;
    TNetLink& operator=(const TNetLink&) = delete;

    // ---- state the screens show ----
    TBComPort BComNet;
    NetDeviceTables Tables;
    QStringList MemoSend, MemoRead;
    int ESend = 0, ERead = 0;
    int SelectedAddr = -1;
    NetLinkSettings Settings;
    QStringList RequestLog;       // the network devices screen's request log
    QStringList AnswerLog;        // its result log
    QStringList DeviceList;       // its found-device list
    QStringList FormLog;          // the network settings form's log (adapter results)
    QString AdapterVersion;       // "$HH$HH$HH" once the adapter told it
    bool SnifferAllowed = false;  // the adapter's version allows sniffer mode
    NetPortChoice Adapter;        // port, VID and PID of the running link
    // The packets interpretation took, with what they were to their requests,
    // most recent last; the device operations look here for their answers.
    QList<NetTakenAnswer> TakenAnswers;

    // The link runs from a successful start to its stop.
    bool LinkRunning() const { return running_; }
    // 0 the adapter passes its own packets, 1 every packet, 2 the log file is open.
    int ReceptionMode() const { return receptionMode_; }
    NetTimerState Timer(NetTimer timer) const;

    // ---- packets ----
    // Sends the bytes (at most 30, the rest 0) and journals the request.
    bool SendFrame(const TNetFrame& frame, QStringList& log);
    // Takes a completed receive: true when a packet was journalled.
    bool ReadFrame(QString& errorText);
    bool IsRequestPending(const QString& hexText) const { return MemoSend.contains(hexText); }
    // Interprets the journal (see InterpretAnswers) and then asks again what
    // moved: the devices that changed their address.
    void InterpretNetAnswers(QString& modeText, QString& status, QStringList& answerLog,
                             QStringList& deviceList);

    // ---- devices ----
    int SelectDevice(int address, const QString& password, QStringList& requestLog,
                     QStringList& answerLog, QStringList& deviceList);
    int SelectDevice(int address, const QString& password) {
        return SelectDevice(address, password, RequestLog, AnswerLog, DeviceList);
    }
    int DeselectDevice(int address, QStringList& requestLog, QStringList& answerLog,
                       QStringList& deviceList);
    int DeselectDevice(int address) {
        return DeselectDevice(address, RequestLog, AnswerLog, DeviceList);
    }
    // The answer count of the address after its class request (0: no answer).
    int RequestClass(int address);
    void ParseClassReply(int address) { Tables.ParseClassReply(address); }
    void BuildDeviceList(QStringList& list) const { Tables.BuildDeviceList(list, SepDevice()); }
    NetClassInfo ShowClassInfo(int address) const {
        return Tables.ShowClassInfo(address, SepDevice());
    }
    // The class information of the device a found-device line names; empty
    // when the line names no device.
    std::optional<NetClassInfo> ShowDeviceClass(const QString& line);
    // Sends the request and reads until it is answered or the attempts are
    // used up. pending tells whether it still waits (default: its line is
    // still in MemoSend); an answer that came on the last attempt counts.
    NetCycleResult RunRequestCycle(const TNetFrame& request, QStringList& requestLog,
                                   QStringList& answerLog, QStringList& deviceList,
                                   std::function<bool()> pending = {});

    // ---- the adapter and the link ----
    // Sets the adapter's reception mode (0 own packets, 1 every packet); mode
    // becomes what the adapter confirmed, or 2 when it confirmed nothing.
    void SendAdapterCommand(int& mode);
    bool OpenNetLog(const QString& fileName);
    // Sends one request to the adapter on the open port and interprets its
    // answer; marker receives what the answer marked ("*" driver on). False
    // when nothing was sent.
    bool AskAdapter(const TNetFrame& request, QString* marker = nullptr);
    // Finds the port, opens it and wakes the adapter; false when no port was found.
    bool StartNet(const std::function<std::optional<NetPortChoice>()>& findNetPort);
    bool StopNet(int& mode);
    bool StopNet() { return StopNet(receptionMode_); }
    // Restarts the adapter and closes the port, in every case; false when the
    // restart could not be sent.
    bool CloseNetPort(bool readAnswer);
    // Closes a port opened only to ask the adapter (the link is stopped),
    // without a word to the adapter.
    void ReleasePort();

    // ---- timers of the network settings form ----
    void TimerAsincTick();
    void TmSendTick();
    void TmReadTick();
    void TimerRestartTick();
    // Keeps the receive timer off across a transfer: no other reader takes its answers.
    void HoldReceiveTimer(bool hold);
    // Before a firmware upload: the pending requests handled once as on the
    // send time-out, both journals emptied, the send, read and receive
    // timers off.
    void PrepareUpload();
    // The receive read armed afresh on the open port.
    void RearmReceive();
    // The adapter restarts into new firmware: the background receive stays
    // off until the link is started again.
    void SuspendReceiveUntilStart();
    bool ReceiveSuspended() const { return receiveSuspended_; }

    // ---- waits and the stop request ----
    // A pause that ends early when a packet is complete in the receive buffer.
    void AlertableSleep(int ms);
    void Pause(int ms);
    void RequestStop() { stopRequested_ = true; }
    void ClearStop() { stopRequested_ = false; }
    bool StopRequested() const { return stopRequested_; }

    int SepDevice() const;

  private:
    void SetTimer(NetTimer timer, bool enabled, int intervalMs = -1);
    void ResumeReceiveTimer();
    void ProcessEvents();
    qint64 NowMs() const;

    // Receiving.
    void ArmReceive();
    void DisarmReceive();
    bool JournalReceived(const TNetFrame& frame);
    bool TakeCompletedFrame(QString& errorText);
    int CompleteFragment(int have);
    void DropStalledFragment(QString& errorText);
    bool AnotherFrameComing();
    // Blocking read of one adapter answer; journals it when it is one.
    bool ReadAdapterAnswer(int waitMs);
    void InterpretFor(const QString& mode, QString* modeOut = nullptr);

    // Interpretation follow-ups: devices that moved are asked again.
    void RunFollowUps(QString& modeText, QStringList& deviceList);
    void AskAgainAfterMove(const NetAddressChange& change, QString& modeText,
                           QStringList& deviceList);
    void AskAgain(int address, QString& modeText);

    void LogPacket(QChar direction, const QString& hex);
    // One request of the send time-out's snapshot that is still waiting.
    void TimeOutRequest(const QString& line);

    NetLinkHooks hooks_;
    NetTimerState timers_[4];
    bool receiveHeld_ = false;
    bool receiveSuspended_ = false;
    bool running_ = false;
    int receptionMode_ = 0;
    bool stopRequested_ = false;
    QStringList sendSnapshot_;       // the requests waiting when the send time-out was armed
    QList<NetAddressChange> moves_;  // address changes still to be asked about
    bool followingUp_ = false;

    TAsyncRecord* rxRecord_ = nullptr;
    bool rxArmed_ = false;
    int rxSeenBytes_ = 0;  // bytes of the pending receive when last looked at
    qint64 rxSeenAt_ = 0;
    TNetFrame RxFrame;
    NetSnifferLog snifferLog_;
};
