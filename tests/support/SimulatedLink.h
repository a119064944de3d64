#pragma once
// The link started on the simulated device bus's pty. Its pauses and clock
// are the bus's (SimulatedBusClock), or on the real clock its own alertable
// sleeps, as on a real port: what tests and benchmarks of the link's real
// waiting use, on the bus paced at 9600 baud.

#include "netlink/TNetLink.h"
#include "support/PtyPair.h"
#include "support/SimulatedBusClock.h"

enum class LinkClock { Simulated, Real };

// The link's one-second settling pauses, at its start and its stop, are no
// part of the request and answer times the real clock is used to see.
inline void PauseButSettling(TNetLink& link, int ms) {
    if (ms < 1000) link.AlertableSleep(ms);
}

class SimulatedLink {
  public:
    explicit SimulatedLink(DeviceBusSimulator& bus, LinkClock clock = LinkClock::Simulated)
        : clock_(bus), link(Hooks(clock)) {}
    SimulatedLink(const SimulatedLink&) = delete;
    SimulatedLink& operator=(const SimulatedLink&) = delete;

    bool Start(const PtyPair& pty) {
        return link.StartNet(
            [&pty] { return std::optional<NetPortChoice>({pty.SlavePath(), "0403", "6001"}); });
    }

  private:
    NetLinkHooks Hooks(LinkClock clock) {
        NetLinkHooks hooks;
        if (clock == LinkClock::Simulated)
            clock_.Install(hooks);
        else
            hooks.sleep = [this](int ms) { PauseButSettling(link, ms); };
        return hooks;
    }

    SimulatedBusClock clock_;  // made before the link that uses it

  public:
    TNetLink link;
};
