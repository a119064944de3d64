// Times the link steps of the commissioning road on the simulated device bus
// paced at 9600 baud 8N1: the reference object is entered, its device records,
// keys and files made as the commissioning test does it (unpaced), then the
// link is started and the devices found, every file written into its device
// and every device read back. Floor: the time the link cannot do without: the
// frames exchanged on the wire (every request and, where a device is there,
// its answer, 30 bytes each) and the waits the link must make, CountRead
// waits of SWaitNet for each request to an address where no device answers
// (the poll of an empty address) and 2 × SWaitNet after each request to the
// adapter, the frames that go over the wire meanwhile taken in by the wait.
// The poll and the transfers are reported apart as well.
//   bench_commissioning [--benchmark_filter=...]

#include <benchmark/benchmark.h>
#include <QApplication>

#include <chrono>
#include <cstdio>

#include "BenchSupport.h"
#include "CommissioningRoad.h"
#include "Floors.h"
#include "netlink/TNetLink.h"
#include "netlink/ui/TFNetTime.h"

namespace {

// Wall time and floor of some steps of the road.
struct StepTimes {
    double wallMs = 0, floorMs = 0;
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
        const qsizetype sent0 = bus_->bus.Received().size();
        const auto start = std::chrono::steady_clock::now();
        const bool through = RunSteps(first, last);
        times.wallMs =
            std::chrono::duration<double, std::milli>(std::chrono::steady_clock::now() - start)
                .count();
        const double wireMs =
            std::chrono::duration<double, std::milli>(bus_->WireTime() - wire0).count();
        times.floorMs = wireMs + WaitsMs(sent0);
        return through;
    }

    // What the waits the link must make add to the wire time of the requests
    // sent since the first sent0. An address without a device is read
    // CountRead times, SWaitNet apart, from the moment its request is sent;
    // the adapter's answer is read 2 × SWaitNet after its request. Each wait
    // takes in the frames sent and answered during it.
    double WaitsMs(qsizetype sent0) const {
        const NetLinkSettings& settings = FNetTime->Link().Settings;
        const QList<QByteArray> sent = bus_->bus.Received();
        double ms = 0;
        for (qsizetype i = sent0; i < sent.size(); ++i) {
            const int to = quint8(sent[i].size() > 1 ? sent[i][1] : 0);
            if (to == DeviceBusSimulator::kAdapterAddress)
                ms += qMax(0.0, 2 * settings.SWaitNet - 2 * kFrameWireMs);
            else if (!bus_->Addresses().contains(to))
                ms += qMax(0.0, settings.CountRead * settings.SWaitNet - kFrameWireMs);
        }
        return ms;
    }
};

void ReportFloor(benchmark::State& state, const std::string& what, const StepTimes& times) {
    FloorRatio ratio(what, "the frames on the wire and the waits the link must make");
    ratio.Add(times.wallMs, times.floorMs);
    ratio.Report(state);
}

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
        const StepTimes all{poll.wallMs + transfer.wallMs, poll.floorMs + transfer.floorMs};
        ReportFloor(state, "steps_6_8", all);
        ReportFloor(state, "step_6_poll", poll);
        ReportFloor(state, "steps_7_8_transfer", transfer);
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
