// Times the link layer's request/answer cycle against the simulated device
// bus paced at 9600 baud 8N1: 100 class requests to one switch, each a
// 30-byte request and a 30-byte answer on the wire. The figure to hold is the
// ratio of the measured time to that wire time (at most 1.3).
//   bench_netlink [--benchmark_filter=...]

#include <benchmark/benchmark.h>
#include <QCoreApplication>

#include <chrono>
#include <cstdio>

#include "BenchSupport.h"
#include "netlink/TNetLink.h"
#include "support/DeviceBusSimulator.h"
#include "support/PtyPair.h"
#include "support/SimulatedLink.h"

namespace {

constexpr int kCycles = 100;
constexpr double kBitsPerByte = 10;  // start, 8 data, stop
constexpr double kBaud = 9600;
constexpr double kWireMsPerCycle = 2 * 30 * kBitsPerByte / kBaud * 1000;

void BM_ClassRequestCyclesAt9600Baud(benchmark::State& state) {
    PtyPair pty;
    DeviceBusSimulator bus(pty);
    bus.AddDevice(SimDevice::Switch(5));
    bus.SetPacing(true);
    // The one-second settling pauses of the link start are no part of a cycle.
    SimulatedLink sim;
    TNetLink& link = sim.link;
    if (!sim.Start(pty)) {
        state.SkipWithError("the link did not start");
        return;
    }
    double measuredMs = 0;
    int answered = 0;
    for (auto _ : state) {
        const auto start = std::chrono::steady_clock::now();
        for (int i = 0; i < kCycles; ++i) answered += link.RequestClass(5);
        measuredMs +=
            std::chrono::duration<double, std::milli>(std::chrono::steady_clock::now() - start)
                .count();
    }
    const double wireMs = kWireMsPerCycle * kCycles * double(state.iterations());
    state.counters["wire_ms"] = wireMs;
    state.counters["measured_ms"] = measuredMs;
    state.counters["ratio"] = measuredMs / wireMs;
    state.counters["answered"] = answered;
    std::printf("%d class request/answer cycles: %.0f ms, wire time %.0f ms, ratio %.3f\n",
                kCycles * int(state.iterations()), measuredMs, wireMs, measuredMs / wireMs);
    link.StopNet();
}
BENCHMARK(BM_ClassRequestCyclesAt9600Baud)
    ->Iterations(1)
    ->Unit(benchmark::kMillisecond)
    ->UseRealTime();

}  // namespace

int main(int argc, char** argv) {
    return RunBenchmarks(argc, argv);
}
