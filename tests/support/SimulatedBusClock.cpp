#include "support/SimulatedBusClock.h"

#include <QtDebug>

#include <chrono>

namespace {

// A stuck bus leaves the link without its answers, which the test then reports.
void Settled(bool settled) {
    if (!settled) qWarning("the simulated bus did not answer");
}

}  // namespace

void SimulatedBusClock::Pause(int ms) {
    Settled(bus_.Settle());
    if (ms <= 0) return;
    pausedMs_ += ms;
    Settled(bus_.PassTime(ms));
}

qint64 SimulatedBusClock::NowMs() const {
    Settled(bus_.Settle());
    using namespace std::chrono;
    return duration_cast<milliseconds>(steady_clock::now().time_since_epoch()).count() + pausedMs_;
}

void SimulatedBusClock::Install(NetLinkHooks& hooks) {
    hooks.sleep = [this](int ms) { Pause(ms); };
    hooks.nowMs = [this] { return NowMs(); };
}
