// Times the tract numbering of the largest object of the large installation:
// 50 switches, 50 entrance panels and 13 gate panels wired to every switch
// (700 matrix cells), among 199 smaller objects. Floor: a raw replay of the
// statements each ran.
//   bench_tracts [--benchmark_filter=...]

#include "Floors.h"
#include "LargeInstallation.h"
#include "devices/SwitchTracts.h"

namespace {

using namespace LargeInstallation;

qint64 largestObject = 0;

void buildInstallation(QSqlDatabase& db) {
    largestObject = Build(db);
}

BenchDatabase* theInstallation = nullptr;

QSqlDatabase db() {
    return theInstallation->dm->ConnectionDB();
}

// Alternating ranges, so that every run changes every tract.
void BM_NumberTractsByRanges(benchmark::State& state) {
    const TractRanges ranges[] = {{2, 8, 1, 1}, {1, 7, 8, 8}};
    FloorRatio ratio("number_tracts", "raw replay of the same statements");
    int i = 0, marked = 0;
    for (auto _ : state) {
        const double ms = TimeWithReplay(ratio, db(), [&] {
            const TractSave r = NumberTractsByRanges(db(), largestObject, ranges[++i % 2]);
            if (!r.ok) state.SkipWithError(qPrintable(r.error));
            marked = r.switchesMarked;
        });
        state.SetIterationTime(ms / 1000);
    }
    state.counters["switches"] = kLargestSwitches;
    state.counters["switches_changed"] = marked;
    ratio.Report(state);
}
BENCHMARK(BM_NumberTractsByRanges)->Unit(benchmark::kMillisecond)->Iterations(10)->UseManualTime();

void BM_ReassignTractsForObject(benchmark::State& state) {
    FloorRatio ratio("reassign_tracts", "raw replay of the same statements");
    for (auto _ : state) {
        const double ms = TimeWithReplay(ratio, db(), [&] {
            const TractSave r = ReassignTractsForObject(db(), largestObject);
            if (!r.ok) state.SkipWithError(qPrintable(r.error));
        });
        state.SetIterationTime(ms / 1000);
    }
    state.counters["switches"] = kLargestSwitches;
    ratio.Report(state);
}
BENCHMARK(BM_ReassignTractsForObject)
    ->Unit(benchmark::kMillisecond)
    ->Iterations(10)
    ->UseManualTime();

}  // namespace

int main(int argc, char** argv) {
    return RunBenchmarks<BenchDatabase>(argc, argv, theInstallation, [] {
        return std::make_unique<BenchDatabase>(buildInstallation);
    });
}
