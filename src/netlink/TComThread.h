#pragma once
// The reader thread of an open TBComPort. It waits for port events (received
// bytes, output drained, modem line changes, line errors) and hands them to
// the port's owning thread as its SyncMethod asks. Destroying it stops it and
// never hangs, even while it waits for a delivery.

#include "netlink/ComPortTypes.h"

#include <QtGlobal>

#include <condition_variable>
#include <memory>
#include <mutex>
#include <thread>

class TBComPort;

class TComThread {
  public:
    TComThread(TBComPort* port, quint64 session);
    ~TComThread();
    TComThread(const TComThread&) = delete;
    TComThread& operator=(const TComThread&) = delete;

    // Wakes the thread to look at the port again (after a write).
    void Poke();

  private:
    struct Shared {
        std::mutex mutex;
        std::condition_variable changed;
        bool stop = false;
    };
    struct LineState;

    void Execute();
    bool WaitForWakeUp(bool waitForData, bool tick);
    TComEvents Collect(LineState& state);
    void Deliver(TComEvents events, bool hungUp);
    void DeliverAndWait(TComEvents events);
    bool StopRequested() const;

    TBComPort* port_;
    quint64 session_;
    int fd_;
    int wakeFd_ = -1;
    std::unique_ptr<LineState> state_;  // touched only by the thread once it runs
    std::shared_ptr<Shared> shared_;
    std::thread thread_;
};
