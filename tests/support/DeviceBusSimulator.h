#pragma once
// A simulated device network on the master side of a PtyPair: the USB
// adapter (address 127) and the devices behind it, answering the link's
// 30-byte packets the way the real ones do. It is a peer on the other end of
// the line, not a mock of the link layer: the program under test talks to it
// only through its serial port.
//
// A thread cuts what the program sends into 30-byte frames and records each.
// A frame is answered, in this order of precedence, by:
//   1. the next scripted answer (ScriptAnswer, ScriptSilence), sent as it is;
//   2. the raw handler (SetHandler), when one is set;
//   3. the bus: the adapter for frames to 127, else every device at the
//      frame's destination, one answer after the other (two devices at one
//      address answer twice). A command the bus does not know goes to the
//      handler registered for it (SetCommandHandler), else it gets no answer.
// Injected faults (InjectFault) then change what the bus sends.
//
// Answers of the bus, as the link layer relies on them:
// - a positive answer is the request with bytes 0 and 1 exchanged (source the
//   device, destination 7F) and 0x80 added to the command byte; a refusal keeps
//   the command byte. Key fields stay where the request had them.
// - class reply: length code = format + 2; command 0x80, or 0xC0 for a device
//   with the internal selector, whose selector byte then follows at byte 4;
//   from p = 4 + selector: 8 class-mask bytes, the network identifier (low 16
//   bits, then its high byte; two high bytes in the alpha format 30 without
//   selector), then at q: BIOS version, class word (LE), configuration start
//   and end address (LE), the CNF word (big-endian: top bit "not changed", 15
//   bits days after 2000-12-30), APP version (LE), ATG identity (byte, LE word).
// - serial number (command 01, function 03): bytes 8+s.. the letter minus 55,
//   then nine digits as seven-segment patterns + 0x80; with a DTG identity
//   three more bytes (length code 23 + s), without it length code 20 + s.
// - select (function 80) with the device's password: positive, and the device
//   is selected; with another password: a refusal. Deselect (02): positive.
//
// Answers of the bus that a handler registered for their command overrides:
// - configuration memory, between configStart and configEnd of the class
//   reply (SimDevice::memory holds it from configStart on; bytes never
//   written read as FF). Read (03, 43 with the selector): s = 4 + selector,
//   bytes s, s+1 the address (LE), s+2 the count; the answer echoes the
//   request with n = the bytes there are (at most 22) at s+2, the bytes
//   from s+3 and the length code 9 + selector + n. Write (04, 44): the same address and count, the
//   bytes from s+3; the device keeps them (for the whole test, also when its address changes) and
//   echoes the request. Across a bound of the memory, or a count of 0 or more than 22: a refusal.
// - firmware memory: a write wholly outside the configuration memory is a
//   firmware packet; the device (or the adapter, for frames to 127) keeps
//   its bytes in SimFirmware::memory and echoes it. When every byte of the
//   awaited image is there, the device takes the awaited APP version: its
//   class reply tells it from then on.
// - BDS identity: the DTG bytes of the serial-number answer (DtgForBds).
// - network identifier (01, function 01): bytes 8+s.. (three, four in the
//   alpha format) become the identifier the class reply carries; echoed.
// - address by serial number (01, function 04): bytes s+4..s+6 the password
//   digits 3, 2, 1, s+7..s+15 serial characters 2..10 as seven-segment
//   patterns + 0x80, s+16 the new address (FF: the jumpers'). Only the device
//   with that serial number takes it: another password gets a refusal,
//   another serial number no answer. The device echoes the request from its
//   address and then moves; a device in programming mode (no valid address)
//   answers at 128 (switch), 136 (call panel) or 144 (console) and echoes
//   from its new address.
// - the adapter's version reply (class request to 127): 7F 7F L 80 H M 00 00 R,
//   H and M the version's high and low byte, R a third part; L = meaningful
//   bytes + 2 (default 9 bytes, 11). A reply of 8 meaningful bytes or fewer
//   carries no third part. Driver on (01/00): positive the first time, a
//   refusal while the driver is on; reception mode (01/FE m): positive with
//   byte 8 = m; restart (01/FF): positive; USB identity (01/01, VID and PID
//   little-endian from byte 8): positive, and the adapter keeps it.
//
// Pacing (SetPacing) holds the wire at 9600 baud 8N1, 1.04 ms a byte: a
// request is taken only when its last byte would have arrived, and answers go
// out byte by byte at that rate.
//
// Unpaced, the answers to one frame go out in one write, so the link finds
// them together however the machine schedules the bus.
//
// Settle makes the bus answer without a race against the clock: it returns
// once the bus took every byte sent to it before the call and sent what it
// answers at once. The bus keeps a clock of its own, which only PassTime
// moves (SimulatedBusClock does at each of the link's pauses): an answer held
// back by BusFault::Late comes once that clock moved delayMs on, while the
// bus goes on answering other frames. How busy the machine is never makes it
// early or late; a bus whose clock nobody moves never sends it.

#include "support/PtyPair.h"

#include <QByteArray>
#include <QList>
#include <QString>

#include <array>
#include <chrono>
#include <condition_variable>
#include <deque>
#include <functional>
#include <initializer_list>
#include <map>
#include <mutex>
#include <optional>
#include <thread>

// Firmware written by upload packets, by address.
struct SimFirmware {
    std::map<int, quint8> memory;
    // What a complete upload brings: sections by start address, and the APP
    // version the device has once all of them are in memory (-1: none).
    std::map<int, QByteArray> awaited;
    int awaitedAppVersion = -1;
    // The bytes from at on, as far as they were written.
    QByteArray Read(int at, int count) const;
    bool HoldsAwaited() const;
};

// One device on the simulated network.
struct SimDevice {
    int address = 0;
    QByteArray serial = "B123456789";  // a letter A..J and nine digits
    QString password = QStringLiteral("000");
    int format = 29;        // class reply format: 29, 30, 24 or 25
    bool selector = false;  // the internal selector
    int selectorByte = 1;
    std::array<quint8, 8> classMask{};
    quint32 nid = 0;    // network identifier
    int bios = 5;       // BIOS version (first byte of the PTG identity)
    int classWord = 2;  // device kind: switch 2, call panel 1, console 4
    int configStart = 0x2800;
    int configEnd = 0x3000;
    int cnfDays = 0;  // days after 2000-12-30
    bool cnfUnchanged = true;
    int appVersion = 0x0105;
    int atg1 = 0, atg2 = 0;
    QByteArray dtg;                // three bytes of the DTG identity; empty: none
    QByteArray memory;             // configuration memory from configStart on
    bool selected = false;         // entered programming mode with its password
    int jumperAddress = -1;        // where a jumper reset sends it; -1: its first address
    bool programmingMode = false;  // no valid address: answers at its kind's class address
    SimFirmware firmware;

    // DTG bytes that report a BDS version (hex digits 2-3 of the DTG text);
    // patched: digits 3-6 are not "0000", so no patch is due.
    static QByteArray DtgForBds(int bds, bool patched);

    // Devices of each kind, with the class mask and kind word of that kind.
    static SimDevice Switch(int address);
    static SimDevice Console(int address);
    static SimDevice CallPanel(int number);  // address 64 + number
};

struct SimAdapter {
    int versionHigh = 0x01, versionLow = 0x02, versionThird = 0x03;
    int versionPayload = 9;  // meaningful bytes of the version reply
    bool driverOn = false;
    int receptionMode = 0;
    int usbVid = -1, usbPid = -1;  // the USB identity last written into it
    bool answers = true;           // false: the adapter is silent
    SimFirmware firmware;
};

// A fault the bus commits on frames for one address (-1: any) and command
// (byte 3 without the selector bit; -1: any). The first `after` such frames
// pass untouched; the fault then acts on `times` frames.
struct BusFault {
    enum Kind {
        Silence,    // no answer at all (the device did act on the frame)
        Late,       // the answer comes delayMs late (by the bus's clock, see PassTime)
        Fragment,   // only the first bytes of the answer are sent
        ZeroFrame,  // 30 zero bytes go out before the answer
        HangUp,     // the device end of the line closes; nothing more is answered
        Ignore,     // the frame never reaches the device: no action, no answer
        Refuse,     // the device refuses the frame: no action, a refusal
        Stale,      // a memory-read answer for the packet before comes first
        EmptyRead,  // a memory-read answer brings n = 0 and no bytes
    };
    Kind kind = Silence;
    int address = -1;
    int delayMs = 0;
    int bytes = 10;
    int times = 1;
    int command = -1;
    int after = 0;
};

class DeviceBusSimulator {
  public:
    static constexpr int kFrameSize = 30;
    static constexpr int kAdapterAddress = 0x7F;
    // Far beyond any answer on a loaded machine: reached only by a bus that is stuck.
    static constexpr int kSettleLimitMs = 20000;
    // The frames (or any bytes) to send back for one received frame.
    using Handler = std::function<QList<QByteArray>(const QByteArray& frame)>;
    // Answers of one device to a command the bus does not know itself.
    using CommandHandler =
        std::function<QList<QByteArray>(SimDevice& device, const QByteArray& frame)>;

    explicit DeviceBusSimulator(PtyPair& pty);
    ~DeviceBusSimulator();
    DeviceBusSimulator(const DeviceBusSimulator&) = delete;
    DeviceBusSimulator& operator=(const DeviceBusSimulator&) = delete;

    // A frame of the given bytes, filled up with zeros to 30 bytes.
    static QByteArray Frame(std::initializer_list<int> bytes);
    // A frame from hexadecimal digits ("7F7F0600"), filled up with zeros.
    static QByteArray FrameFromHex(const QByteArray& hex);

    // Answers the next received frame with these bytes, sent as they are.
    void ScriptAnswer(const QList<QByteArray>& answer);
    void ScriptAnswer(const QByteArray& answer) { ScriptAnswer(QList<QByteArray>{answer}); }
    // The next received frame gets no answer.
    void ScriptSilence() { ScriptAnswer(QList<QByteArray>{}); }
    void SetHandler(Handler handler);

    // ---- the bus ----
    // Adds a device; returns its index for Device and UpdateDevice.
    int AddDevice(const SimDevice& device);
    SimDevice Device(int index) const;
    void UpdateDevice(int index, const std::function<void(SimDevice&)>& change);
    SimAdapter Adapter() const;
    void SetAdapter(const SimAdapter& adapter);
    // command is byte 3 without the selector bit.
    void SetCommandHandler(int command, CommandHandler handler);
    void InjectFault(const BusFault& fault);
    void SetPacing(bool paced);
    // Sends bytes on the bus now, as another station would (queued behind answers).
    void SendUnsolicited(const QByteArray& bytes);

    // Every frame received so far, in order.
    QList<QByteArray> Received() const;
    // How many of them went to the address.
    int FramesTo(int address) const;
    // Waits until the bus took every byte sent to it before the call and sent
    // the answers that are due at once. True at once once the line is closed;
    // false when the bus did not get there within timeoutMs.
    bool Settle(int timeoutMs = kSettleLimitMs);
    // Moves the bus's clock on by ms and settles: the late answers due by
    // then went out when it returns.
    bool PassTime(int ms, int timeoutMs = kSettleLimitMs);

    // The serial number as the bus encodes it (10 bytes from the letter on).
    static QByteArray EncodeSerial(const QByteArray& serial);
    static QByteArray ClassReply(const SimDevice& device);

  private:
    using Clock = std::chrono::steady_clock;

    // An answer held back by BusFault::Late until the bus's clock reaches due.
    struct LateAnswer {
        qint64 due = 0;
        QList<QByteArray> answers;
        bool paced = false;
    };

    void Run();
    // Takes what the line holds; false when the line is gone.
    bool ReadWhatCame(int master);
    // The newest Settle call to be answered by this round (0: none).
    quint64 SettleRequests(bool woken);
    void MarkSettled(quint64 request);
    bool SendDueLateAnswers();
    bool SendAnswers(const QList<QByteArray>& answers, bool paced);
    void Receive(const char* bytes, qsizetype n);
    void Answer(const QByteArray& frame);
    QList<QByteArray> BusAnswers(const QByteArray& frame, const BusFault* fault);
    QList<QByteArray> AdapterAnswers(const QByteArray& frame);
    QList<QByteArray> DeviceAnswers(SimDevice& device, const QByteArray& frame);
    QList<QByteArray> FaultyDeviceAnswers(SimDevice& device, const QByteArray& frame,
                                          const BusFault& fault);
    QList<QByteArray> MemoryRead(SimDevice& device, const QByteArray& frame, int s);
    QList<QByteArray> MemoryWrite(SimDevice& device, const QByteArray& frame, int s);
    // A firmware packet into firmware; false when the frame is no such packet.
    static bool FirmwareWrite(SimFirmware& firmware, const QByteArray& frame, int s);
    QList<QByteArray> WriteNetworkId(SimDevice& device, const QByteArray& frame, int s);
    QList<QByteArray> MoveBySerial(SimDevice& device, const QByteArray& frame, int s);
    bool IsAt(const SimDevice& device, int destination) const;
    std::optional<BusFault> TakeFault(const QByteArray& frame);
    bool ApplyFault(const BusFault& fault, QList<QByteArray>& answers);
    bool Send(const QByteArray& bytes);
    bool SendPaced(const QByteArray& bytes);
    bool SleepUntil(Clock::time_point when);

    PtyPair& pty_;
    int stopFd_ = -1;
    int settleFd_ = -1;  // an eventfd: a Settle call waits for the bus thread
    mutable std::mutex mutex_;
    std::condition_variable settled_;
    quint64 settleAsked_ = 0;  // Settle calls so far
    quint64 settleDone_ = 0;   // the last of them the bus answered
    bool running_ = true;      // false once the bus thread ended
    qint64 busMs_ = 0;         // the bus's clock (PassTime)
    std::deque<QList<QByteArray>> script_;
    Handler handler_;
    QList<QByteArray> received_;
    QList<SimDevice> devices_;
    SimAdapter adapter_;
    std::map<int, CommandHandler> commandHandlers_;
    QList<BusFault> faults_;
    bool paced_ = false;
    bool hungUp_ = false;

    // Used by the bus thread only.
    QByteArray pending_;
    std::deque<LateAnswer> late_;
    Clock::time_point wireFreeAt_{};

    std::mutex sendMutex_;  // one sender on the line at a time
    std::thread thread_;
};
