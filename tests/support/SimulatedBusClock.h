#pragma once
// The link's pauses and clock on the simulated device bus. A pause costs no
// time: the bus first takes every frame the link sent and sends what it
// answers at once, then the link's clock and the bus's move on by the pause,
// and the late answers due by then go out. A look at the clock lets the bus
// answer first as well, so the link's time never runs ahead of the bus.
// Whether an answer falls within the link's wait therefore never depends on
// how busy the machine is, and an address that stays silent costs nothing.
// The clock runs with the machine's in between, so the link's own time
// limits still end.

#include "netlink/TNetLink.h"
#include "support/DeviceBusSimulator.h"

#include <atomic>

class SimulatedBusClock {
  public:
    explicit SimulatedBusClock(DeviceBusSimulator& bus) : bus_(bus) {}
    SimulatedBusClock(const SimulatedBusClock&) = delete;
    SimulatedBusClock& operator=(const SimulatedBusClock&) = delete;

    // NetLinkHooks::sleep.
    void Pause(int ms);
    // NetLinkHooks::nowMs: the steady clock plus the pauses.
    qint64 NowMs() const;
    // Both into hooks.
    void Install(NetLinkHooks& hooks);

  private:
    DeviceBusSimulator& bus_;
    std::atomic<qint64> pausedMs_{0};
};
