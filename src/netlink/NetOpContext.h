#pragma once
// What the device operations of the network devices screen work with: the
// link (its request log is the screen's Memo1, its answer log Memo2, its
// device list the found-device list ListCdev, its stop flag the stop button),
// the data module with the current object, the database folder, the
// password field, and a few hooks into the screen. The operations are core
// code: a screen lends them its state through this, tests build one by hand.

#include <QString>
#include <QStringList>

#include <functional>

class TFDM;
class TNetLink;

// How a device operation ended, for the command dispatcher and the chain.
enum class NetOpOutcome {
    Done,     // went through
    Stopped,  // the operator stopped it
    Failed,   // a packet went unanswered or refused, the port was lost, a file failed
    Refused,  // a check refused it before anything was changed
};

// The screen's side; every hook may be left empty.
struct NetOpView {
    // The hourglass and "Ждите..." on (true) and off.
    std::function<void(bool busy)> busy;
    // The logs and lists shown again at once (a repaint).
    std::function<void()> refresh;
    // The configured-device list filled again (FillDeviceList).
    std::function<void()> fillDeviceList;
    // The screen prepared again for the current object (ShowFrNetDev).
    std::function<void()> showScreen;
    // The found-device line that holds this serial number selected.
    std::function<void(const QString& serial)> selectFoundLine;
    // The class information of the device shown (ShowClassInfo).
    std::function<void(int address)> showClassInfo;
};

struct NetOpContext {
    NetOpContext(TNetLink& link, TFDM* dm) : link(link), dm(dm) {}

    TNetLink& link;
    TFDM* dm = nullptr;  // the current object is dm->Q_Net's record
    QString dbFolder;    // the database folder; blank: DB_ARM/ under the program
    QString password;    // the device password as typed (EPassw)
    NetOpView view;

    QStringList& RequestLog() const;  // Memo1
    QStringList& AnswerLog() const;   // Memo2
    QStringList& DeviceList() const;  // ListCdev
    int SepDevice() const;
    int MaxDevice() const;
    QString Name(int address) const;  // DeviceAddrName
    bool StopRequested() const;
    void Refresh() const;
};

// Selects the device for a change unless it is selected already. Only a
// refusal is logged, by the interpretation of the device's answer ("Нет
// входа в РП."); a device that never answered is not said to have refused.
bool SelectForChange(NetOpContext& ctx, int address);

// Holds the hourglass while an operation runs; off again on every way out.
class NetBusyScope {
  public:
    explicit NetBusyScope(const NetOpContext& ctx);
    ~NetBusyScope();
    NetBusyScope(const NetBusyScope&) = delete;
    NetBusyScope& operator=(const NetBusyScope&) = delete;

  private:
    const NetOpContext& ctx_;
};

// Keeps the background receive off while the packets of one transfer are
// exchanged, so that no other reader takes their answers; on again on every
// way out.
class NetReceiveHold {
  public:
    explicit NetReceiveHold(TNetLink& link);
    ~NetReceiveHold();
    NetReceiveHold(const NetReceiveHold&) = delete;
    NetReceiveHold& operator=(const NetReceiveHold&) = delete;

  private:
    TNetLink& link_;
};
