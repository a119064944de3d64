// Times the data module on a large installation: 200 objects, 40,000
// apartments, 150,000 keys, 1,000 switches and 2,000 call panels. Each
// operation runs side by side with its floor, in CPU time: the statements it
// sent to SQLite, recorded once, run again through the bare C API on the same
// file, each prepared, stepped and finalized (bench/SqlReplay.h); where the
// program keeps its statements prepared, also against the same statements
// prepared once ("_prepared"). The operations: opening every table, moving to
// another object (with the datasets OpenAllTables opens, and with every
// detail dataset open), reopening the keys of one object, and the key owner
// search.
//   bench_data [--benchmark_filter=...] [--benchmark_repetitions=5]

#include <cstdio>
#include <functional>
#include <string>
#include <vector>

#include "BenchSupport.h"
#include "KeyedInstallation.h"
#include "SqlReplay.h"
#include "keys/KeyOwnerSearch.h"

namespace {

using KeyedInstallation::kObjects;

// Built once in main and gone before the application object.
BenchDatabase* theInstallation = nullptr;
BenchDatabase& installation() {
    return *theInstallation;
}

// The statements run sends to SQLite.
template <class Run>
std::vector<std::string> recorded(Run&& run) {
    StatementRecorder recorder(installation().dm->ConnectionDB());
    run();
    return recorder.Statements();
}

// An operation of the data module in one or more variants (a move to one
// object and back to the other, a search for one code and the next); each
// iteration runs the next variant. run says whether the variant did its work.
struct Operation {
    const char* what;
    std::function<bool(int variant)> run;
    int variants = 1;
    // It opens its connection anew, and so does the floor; no statement
    // outlives a run then, so there is no stricter floor.
    bool reconnects = false;
    const char* failure = "the operation failed";
};

// Times op beside the raw replay of the statements each variant sent,
// recorded once after every variant ran.
void timeAgainstReplay(benchmark::State& state, const Operation& op) {
    bool ok = true;
    for (int v = 0; v < op.variants; ++v) ok &= op.run(v);
    std::vector<std::vector<std::string>> statements(op.variants);
    for (int v = 0; v < op.variants; ++v) statements[v] = recorded([&] { ok &= op.run(v); });
    RawReplay raw(installation().dm->DatabasePath());
    const std::string replay =
        "raw C API replay of its " + std::to_string(statements[0].size()) + " statements";
    FloorRatio ratio(op.what, replay);
    FloorRatio prepared(std::string(op.what) + "_prepared", "the same prepared once");
    std::string error;
    int i = 0;
    for (auto _ : state) {
        const int v = i++ % op.variants;
        state.PauseTiming();
        const double floorMs = CpuTimeMs([&] {
            if (op.reconnects) raw.Reconnect();
            error += raw.Run(statements[v]);
        });
        const double preparedMs =
            op.reconnects ? 0 : CpuTimeMs([&] { error += raw.RunPrepared(statements[v]); });
        state.ResumeTiming();
        const double ms = CpuTimeMs([&] { ok &= op.run(v); });
        ratio.Add(ms, floorMs);
        prepared.Add(ms, preparedMs);
    }
    if (!ok) state.SkipWithError(op.failure);
    if (!error.empty()) state.SkipWithError(error.c_str());
    ratio.Report(state);
    if (!op.reconnects) prepared.Report(state);
}

void BM_OpenAllTables(benchmark::State& state) {
    TFDM& dm = *installation().dm;
    dm.Q_Net->SetRecNo(kObjects / 2);
    timeAgainstReplay(state, {"open_all_tables", [&](int) { return dm.OpenAllTables(); }, 1,
                              true, "OpenAllTables failed"});
    state.counters["objects"] = dm.Q_Net->RecordCount();
}
BENCHMARK(BM_OpenAllTables)->Unit(benchmark::kMillisecond);

// Moves the current object back and forth between two objects; every open
// detail follows.
void moveObject(benchmark::State& state, bool everyDetailOpen) {
    TFDM& dm = *installation().dm;
    if (!dm.OpenAllTables()) state.SkipWithError("OpenAllTables failed");
    if (everyDetailOpen)
        for (Dataset* ds : dm.AllDatasets())
            if (ds->Master()) ds->Open();
    int open = 0, rows = 0;
    for (Dataset* ds : dm.AllDatasets())
        if (ds->IsOpen()) ++open;
    const int objects[2] = {10, 150};
    timeAgainstReplay(state, {everyDetailOpen ? "move_every_detail_open" : "move_to_object",
                              [&](int k) {
                                  dm.Q_Net->SetRecNo(objects[k]);
                                  return dm.Q_Net->RecNo() == objects[k];
                              },
                              2, false, "the object list did not move"});
    for (Dataset* ds : dm.AllDatasets())
        if (ds->IsOpen()) rows += ds->RecordCount();
    state.counters["open_datasets"] = open;
    state.counters["rows_cached"] = rows;
}

void BM_MoveObject(benchmark::State& state) {
    moveObject(state, false);
}
BENCHMARK(BM_MoveObject)->Unit(benchmark::kMillisecond);

void BM_MoveObjectEveryDetailOpen(benchmark::State& state) {
    moveObject(state, true);
}
BENCHMARK(BM_MoveObjectEveryDetailOpen)->Unit(benchmark::kMillisecond);

// The key screen's refresh of one object: its apartments, entrances and gates
// with the keys of the current ones.
void BM_KeysOfOneObject(benchmark::State& state) {
    TFDM& dm = *installation().dm;
    const bool opened = dm.OpenAllTables();
    dm.Q_Net->SetRecNo(kObjects / 2);
    timeAgainstReplay(state, {"keys_of_one_object",
                              [&](int) { return opened && dm.ReopenKeys(); }, 1, false,
                              "ReopenKeys failed"});
    state.counters["apartments"] = dm.QForKey->RecordCount();
}
BENCHMARK(BM_KeysOfOneObject)->Unit(benchmark::kMillisecond);

// The key screen's "Найти": every owner of a panel code over all objects,
// each search a different code (the target is under 50 ms).
void BM_KeyOwnerSearch(benchmark::State& state) {
    KeyOwnerSearch search(*installation().dm);
    QStringList codes;
    qint64 code = 1;
    for (int c = 0; c < 64; ++c) {
        code = code * 7919 % 150000 + 1;
        codes << QString("%1").arg(code, 6, 16, QChar('0')).toUpper();
    }
    timeAgainstReplay(state, {"key_owner_search",
                              [&](int c) { return search.Run(codes[c]) > 0; }, int(codes.size()),
                              false, "a key was not found"});
    state.counters["keys"] = 150000;
}
BENCHMARK(BM_KeyOwnerSearch)->Unit(benchmark::kMillisecond);

}  // namespace

int main(int argc, char** argv) {
    return RunBenchmarks<BenchDatabase>(argc, argv, theInstallation, [] {
        return std::make_unique<BenchDatabase>(KeyedInstallation::Build);
    });
}
