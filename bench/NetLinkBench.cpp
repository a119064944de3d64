// Times the link layer's request/answer cycle against the simulated device
// bus paced at 9600 baud 8N1: 100 class requests to one switch, the link's
// waits between read attempts real alertable sleeps, as on a real port, so a
// link that sleeps past its answer shows. Floor: the wire time of a 30-byte
// request and a 30-byte answer each, 10 bits a byte.
//   bench_netlink [--benchmark_filter=...]

#include <benchmark/benchmark.h>
#include <QCoreApplication>

#include <chrono>
#include <cstdio>

#include "BenchSupport.h"
#include "Floors.h"
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
    SimulatedLink sim(bus, LinkClock::Real);
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
    state.counters["answered"] = answered;
    FloorRatio ratio("class_request_cycles", "a request and its answer on the wire");
    ratio.Add(measuredMs, wireMs);
    ratio.Report(state);
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
