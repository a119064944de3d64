#pragma once
// The link started on the simulated device bus's pty, its pauses and clock
// the bus's (SimulatedBusClock).

#include "netlink/TNetLink.h"
#include "support/PtyPair.h"
#include "support/SimulatedBusClock.h"

class SimulatedLink {
  public:
    explicit SimulatedLink(DeviceBusSimulator& bus) : clock_(bus), link(Hooks()) {}
    SimulatedLink(const SimulatedLink&) = delete;
    SimulatedLink& operator=(const SimulatedLink&) = delete;

    bool Start(const PtyPair& pty) {
        return link.StartNet(
            [&pty] { return std::optional<NetPortChoice>({pty.SlavePath(), "0403", "6001"}); });
    }

  private:
    NetLinkHooks Hooks() {
        NetLinkHooks hooks;
        clock_.Install(hooks);
        return hooks;
    }

    SimulatedBusClock clock_;  // made before the link that uses it

  public:
    TNetLink link;
};
