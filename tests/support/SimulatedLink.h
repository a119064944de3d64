#pragma once
// The link started on the simulated device bus's pty, without the
// one-second settling pauses of its start and stop; the waits between read
// attempts stay real, so the bus has time to answer.

#include "netlink/TNetLink.h"
#include "support/PtyPair.h"

class SimulatedLink {
  public:
    SimulatedLink() : link(Hooks()) {}
    SimulatedLink(const SimulatedLink&) = delete;
    SimulatedLink& operator=(const SimulatedLink&) = delete;

    bool Start(const PtyPair& pty) {
        return link.StartNet(
            [&pty] { return std::optional<NetPortChoice>({pty.SlavePath(), "0403", "6001"}); });
    }

    TNetLink link;

  private:
    NetLinkHooks Hooks() {
        NetLinkHooks hooks;
        hooks.sleep = [this](int ms) {
            if (ms < 1000) link.AlertableSleep(ms);
        };
        return hooks;
    }
};
