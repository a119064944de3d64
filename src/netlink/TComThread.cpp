#include "netlink/TComThread.h"

#include "netlink/TBComPort.h"

#include <QMetaObject>

#include <poll.h>
#include <sys/eventfd.h>
#include <sys/ioctl.h>
#include <termios.h>
#include <unistd.h>
#include <cerrno>
#include <system_error>

namespace {

// How often the thread looks at things the kernel cannot wake it for: modem
// lines, error counters, the output queue, and a full input queue.
constexpr int kTickMs = 10;

}  // namespace

struct TComThread::LineState {
    quint64 received = 0;  // bytes queued by the port since it opened
    int waiting = 0;       // bytes in the port's queue
    bool modemKnown = false;
    int modem = 0;
    bool countersKnown = false;
    LineErrorCounters counters;
};

TComThread::TComThread(TBComPort* port, quint64 session)
    : port_(port),
      session_(session),
      fd_(port->fd_),
      state_(std::make_unique<LineState>()),
      shared_(std::make_shared<Shared>()) {
    wakeFd_ = eventfd(0, EFD_CLOEXEC | EFD_NONBLOCK);
    if (wakeFd_ < 0) throw std::system_error(errno, std::generic_category(), "eventfd");
    // The starting point is taken before Open returns: only what comes after
    // it counts as new.
    LineState& state = *state_;
    port_->Drain();
    state.received = port_->arrived_;
    state.waiting = port_->QueuedInput();
    state.modemKnown = ioctl(fd_, TIOCMGET, &state.modem) == 0;
    state.countersKnown = port_->ReadErrorCounters(state.counters);
    thread_ = std::thread([this] { Execute(); });
}

TComThread::~TComThread() {
    {
        std::lock_guard lock(shared_->mutex);
        shared_->stop = true;
    }
    shared_->changed.notify_all();
    Poke();
    if (thread_.joinable()) {
        // A handler running in this very thread closed the port: it ends on its own.
        if (thread_.get_id() == std::this_thread::get_id())
            thread_.detach();
        else
            thread_.join();
    }
    ::close(wakeFd_);
}

void TComThread::Poke() {
    const quint64 one = 1;
    [[maybe_unused]] const ssize_t written = ::write(wakeFd_, &one, sizeof one);
}

bool TComThread::StopRequested() const {
    std::lock_guard lock(shared_->mutex);
    return shared_->stop;
}

void TComThread::Execute() {
    const std::shared_ptr<Shared> shared = shared_;
    LineState& state = *state_;

    for (;;) {
        const bool queueFull = port_->QueueFull();
        const bool tick = state.modemKnown || state.countersKnown || queueFull || port_->txPending_;
        if (!WaitForWakeUp(!queueFull, tick)) break;
        const TComEvents events = Collect(state);
        const bool hungUp = port_->hungUp_;
        if (events || hungUp) Deliver(events, hungUp);
        // After a stop nothing of this object may be touched: a handler in
        // this thread may have closed the port and freed it.
        std::lock_guard lock(shared->mutex);
        if (shared->stop) return;
        // A device that hung up sends nothing more; the port gives it up.
        if (hungUp) return;
    }
}

// False when the loop must end: a stop, or a device that cannot be waited on.
// A hang-up wakes the thread like new bytes do: what came first is still queued.
bool TComThread::WaitForWakeUp(bool waitForData, bool tick) {
    pollfd fds[2] = {{wakeFd_, POLLIN, 0}, {fd_, short(waitForData ? POLLIN : 0), 0}};
    const int ready = poll(fds, 2, tick ? kTickMs : -1);
    if (ready < 0) return errno == EINTR;
    if (fds[0].revents != 0) {
        quint64 pokes = 0;
        [[maybe_unused]] const ssize_t n = ::read(wakeFd_, &pokes, sizeof pokes);
        if (StopRequested()) return false;
    }
    return (fds[1].revents & POLLNVAL) == 0;
}

TComEvents TComThread::Collect(LineState& state) {
    TComEvents events;
    port_->Drain();
    const quint64 received = port_->arrived_;
    if (received > state.received) events |= evRxChar;
    state.received = received;
    const int waiting = port_->QueuedInput();

    const int threshold = port_->inBufSize_ * 8 / 10;
    if (threshold > 0 && waiting >= threshold && state.waiting < threshold) events |= evRx80Full;
    state.waiting = waiting;

    if (port_->txPending_) {
        int unsent = 0;
        if (ioctl(fd_, TIOCOUTQ, &unsent) != 0 || unsent == 0) {
            port_->txPending_ = false;
            events |= evTxEmpty;
        }
    }

    int modem = 0;
    if (state.modemKnown && ioctl(fd_, TIOCMGET, &modem) == 0) {
        const int changed = modem ^ state.modem;
        if (changed & TIOCM_CTS) events |= evCTS;
        if (changed & TIOCM_DSR) events |= evDSR;
        if (changed & TIOCM_CAR) events |= evRLSD;
        if ((changed & TIOCM_RNG) && (modem & TIOCM_RNG)) events |= evRing;
        state.modem = modem;
    }

    LineErrorCounters counters;
    if (state.countersKnown && port_->ReadErrorCounters(counters) &&
        !(counters == state.counters)) {
        events |= evError;
        state.counters = counters;
    }
    return events;
}

void TComThread::Deliver(TComEvents events, bool hungUp) {
    switch (port_->SyncMethod()) {
        case smNone:
            port_->DispatchEvents(events, session_);
            // Giving up the device belongs to the port's own thread.
            if (hungUp)
                QMetaObject::invokeMethod(
                    port_,
                    [port = port_, session = session_] { port->DispatchEvents({}, session); },
                    Qt::QueuedConnection);
            break;
        case smWindowSync:
            // One call per event, posted in the dispatch order; the thread runs on at once.
            for (TComEvent event : kComEventDispatchOrder) {
                if (!events.testFlag(event)) continue;
                QMetaObject::invokeMethod(
                    port_,
                    [port = port_, event, session = session_] {
                        port->DispatchEvents(event, session);
                    },
                    Qt::QueuedConnection);
            }
            if (hungUp)
                QMetaObject::invokeMethod(
                    port_,
                    [port = port_, session = session_] { port->DispatchEvents({}, session); },
                    Qt::QueuedConnection);
            break;
        case smThreadSync:
            DeliverAndWait(events);
            break;
    }
}

// Runs the handlers on the port's thread and waits for them. A stop ends the
// wait at once, so closing the port from that thread can never deadlock; the
// abandoned call then does nothing.
void TComThread::DeliverAndWait(TComEvents events) {
    struct Call {
        bool done = false;
        bool abandoned = false;
    };
    auto call = std::make_shared<Call>();
    QMetaObject::invokeMethod(
        port_,
        [shared = shared_, call, port = port_, events, session = session_] {
            {
                std::lock_guard lock(shared->mutex);
                if (call->abandoned || shared->stop) return;
            }
            port->DispatchEvents(events, session);
            {
                std::lock_guard lock(shared->mutex);
                call->done = true;
            }
            shared->changed.notify_all();
        },
        Qt::QueuedConnection);
    std::unique_lock lock(shared_->mutex);
    shared_->changed.wait(lock, [&] { return call->done || shared_->stop; });
    call->abandoned = !call->done;
}
