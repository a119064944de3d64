#include "support/SimulatedBusClock.h"

#include <QtDebug>

#include <chrono>

void SimulatedBusClock::Pause(int ms) {
    // A stuck bus leaves the link without its answers, which the test then reports.
    if (!bus_.Settle()) qWarning("the simulated bus did not answer");
    if (ms > 0) pausedMs_ += ms;
}

qint64 SimulatedBusClock::NowMs() const {
    using namespace std::chrono;
    return duration_cast<milliseconds>(steady_clock::now().time_since_epoch()).count() + pausedMs_;
}

void SimulatedBusClock::Install(NetLinkHooks& hooks) {
    hooks.sleep = [this](int ms) { Pause(ms); };
    hooks.nowMs = [this] { return NowMs(); };
}
