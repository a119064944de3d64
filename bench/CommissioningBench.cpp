// Times the link steps of the commissioning road on the simulated device bus
// paced at 9600 baud 8N1: the reference object is entered, its device records,
// keys and files made as the commissioning test does it (unpaced), then the
// link is started and the devices found, every file written into its device
// and every device read back. The figure to hold is the ratio of the wall time
// of those three steps to the wire time of the frames exchanged (every request
// and, where a device is there, its answer, 30 bytes each): at most 1.3. The
// poll and the transfers are reported apart as well.
//   bench_commissioning [--benchmark_filter=...]

#include <benchmark/benchmark.h>
#include <QApplication>

#include <chrono>
#include <cstdio>

#include "BenchSupport.h"
#include "CommissioningRoad.h"

namespace {

// Wall time and wire time of some steps of the road.
struct StepTimes {
    double wallMs = 0, wireMs = 0;
};

class PacedRoad : public CommissioningRoad {
  public:
    void TestBody() override {}

    // Steps 1 to 5 unpaced, then 6 to 8 on the paced bus; false when the road
    // did not get through them.
    bool Run(StepTimes& poll, StepTimes& transfer) {
        SetUp();
        if (Stopped() || !RunSteps(1, 5)) return false;
        paced_ = true;
        bus_->bus.SetPacing(true);
        return Timed(6, 6, poll) && Timed(7, 8, transfer);
    }
    void Finish() { TearDown(); }

  private:
    bool Timed(int first, int last, StepTimes& times) {
        const auto wire0 = bus_->WireTime();
        const auto start = std::chrono::steady_clock::now();
        const bool through = RunSteps(first, last);
        times.wallMs =
            std::chrono::duration<double, std::milli>(std::chrono::steady_clock::now() - start)
                .count();
        times.wireMs = std::chrono::duration<double, std::milli>(bus_->WireTime() - wire0).count();
        return through;
    }
};

void BM_CommissioningLinkStepsAt9600Baud(benchmark::State& state) {
    for (auto _ : state) {
        PacedRoad road;
        StepTimes poll, transfer;
        const bool through = road.Run(poll, transfer);
        road.Finish();
        if (!through) {
            state.SkipWithError("the road did not get through the link steps");
            return;
        }
        const StepTimes all{poll.wallMs + transfer.wallMs, poll.wireMs + transfer.wireMs};
        // The poll waits out every empty address; the transfers are what the
        // wire time bounds. Goal: ratio <= 1.3.
        ReportWireRatio(state, "steps_6_8", all.wallMs, all.wireMs);
        ReportWireRatio(state, "step_6_poll", poll.wallMs, poll.wireMs);
        ReportWireRatio(state, "steps_7_8_transfer", transfer.wallMs, transfer.wireMs);
    }
}
BENCHMARK(BM_CommissioningLinkStepsAt9600Baud)
    ->Iterations(1)
    ->Unit(benchmark::kMillisecond)
    ->UseRealTime();

}  // namespace

int main(int argc, char** argv) {
    // The road runs the program's windows, offscreen unless told otherwise.
    if (qEnvironmentVariableIsEmpty("QT_QPA_PLATFORM")) qputenv("QT_QPA_PLATFORM", "offscreen");
    return RunBenchmarks<QApplication>(argc, argv);
}
