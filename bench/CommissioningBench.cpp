// Times the link steps of the commissioning road on the simulated device bus
// paced at 9600 baud 8N1: the reference object is entered, its device records,
// keys and files made as the commissioning test does it (unpaced), then the
// link is started and the devices found, every file written into its device
// and every device read back. The figure to hold is the ratio of the wall time
// of those three steps to the wire time of the frames exchanged (every request
// and its answer, 30 bytes each): at most 1.3.
//   bench_commissioning [--benchmark_filter=...]

#include <benchmark/benchmark.h>
#include <QApplication>

#include <chrono>
#include <cstdio>

#include "CommissioningRoad.h"

namespace {

class PacedRoad : public CommissioningRoad {
  public:
    void TestBody() override {}

    // Steps 1 to 5 unpaced, then 6 to 8 on the paced bus; false when the road
    // did not get through them.
    bool Run(double& wallMs, double& wireMs, int& frames) {
        SetUp();
        if (Stopped() || !RunSteps(1, 5)) return false;
        bus_->bus.SetPacing(true);
        const auto wire0 = bus_->WireTime();
        const qsizetype frames0 = bus_->bus.Received().size();
        const auto start = std::chrono::steady_clock::now();
        const bool through = RunSteps(6, 8);
        wallMs = std::chrono::duration<double, std::milli>(std::chrono::steady_clock::now() - start)
                     .count();
        wireMs = std::chrono::duration<double, std::milli>(bus_->WireTime() - wire0).count();
        frames = int(bus_->bus.Received().size() - frames0);
        return through;
    }
    void Finish() { TearDown(); }
};

void BM_CommissioningLinkStepsAt9600Baud(benchmark::State& state) {
    for (auto _ : state) {
        PacedRoad road;
        double wallMs = 0, wireMs = 0;
        int frames = 0;
        const bool through = road.Run(wallMs, wireMs, frames);
        road.Finish();
        if (!through || wireMs <= 0) {
            state.SkipWithError("the road did not get through the link steps");
            return;
        }
        state.counters["wall_ms"] = wallMs;
        state.counters["wire_ms"] = wireMs;
        state.counters["requests"] = frames;
        state.counters["ratio"] = wallMs / wireMs;
        std::printf("steps 6-8: %d requests, wall %.0f ms, wire time %.0f ms, ratio %.3f (goal "
                    "<= 1.3)\n",
                    frames, wallMs, wireMs, wallMs / wireMs);
    }
}
BENCHMARK(BM_CommissioningLinkStepsAt9600Baud)
    ->Iterations(1)
    ->Unit(benchmark::kMillisecond)
    ->UseRealTime();

}  // namespace

int main(int argc, char** argv) {
    if (qEnvironmentVariableIsEmpty("QT_QPA_PLATFORM")) qputenv("QT_QPA_PLATFORM", "offscreen");
    QApplication app(argc, argv);
    benchmark::Initialize(&argc, argv);
    if (benchmark::ReportUnrecognizedArguments(argc, argv)) return 1;
    benchmark::RunSpecifiedBenchmarks();
    benchmark::Shutdown();
    return 0;
}
