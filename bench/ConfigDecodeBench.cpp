// Times the decoding of a configuration file as large as a device's memory
// (64 KB) and of smaller ones (4 to 32 KB): call-panel files whose key
// sections grow with their apartments. Two decoders read each file from
// memory: the editor's (every section into the values of its tab) and the
// read screen's (every section into its lines).
//
// The floor, measured in the same iterations, is the reader's turning the
// file's bytes into the bit image: a pass over every bit that any decoder
// makes first. Each benchmark reports the decode time, the floor and their
// ratio; a decoder whose time grows linearly with the file keeps the same
// ratio from 4 KB to 64 KB. After the run one line per decoder prints the
// ratio at 4 KB and at 64 KB, and how much longer the 16 times larger file
// took to decode and to turn into bits.
//   bench_config_decode [--benchmark_filter=...]

#include "BenchSupport.h"
#include "PanelFiles.h"
#include "config/ConfigEditorFile.h"
#include "config/ConfigReadScreen.h"

#include <QElapsedTimer>

#include <cstdio>
#include <map>
#include <string>

namespace {

constexpr qint64 kKiB = 1024;
constexpr qint64 kSmallest = 4 * kKiB;
constexpr qint64 kDeviceMemory = 64 * kKiB;
constexpr int kRepetitions = 3;

// The files by their size limit, built once.
const QByteArray& fileOfSize(qint64 maxBytes) {
    static std::map<qint64, QByteArray> files;
    QByteArray& file = files[maxBytes];
    if (file.isEmpty()) file = bench::LargestPanelFile(maxBytes);
    return file;
}

// The image a reader makes of a file with a header: from its date word on.
QString imageOf(const QByteArray& file) {
    return ImageFromBytes(QByteArrayView(file).sliced(kConfigDateWordOffset));
}

ConfigScreenSettings settings() {
    ConfigScreenSettings s;
    s.sizes = ConfigSection0Sizes{176, 232, 1088};
    return s;
}

struct Measured {
    double decodeUs = 0;
    double floorUs = 0;
};
// Per decoder and file size, for the lines after the run: the fastest of
// the repetitions, which the other programs on the machine disturbed least.
std::map<std::string, std::map<qint64, Measured>> results;

// One decode of the image; false when the decoder did not read the whole file.
using Decode = bool (*)(const QString& image);

bool editorDecode(const QString& image) {
    EditorFile f;
    f.jDev = 65;
    ParseEditorImage(image, f, settings());
    return f.kind == kKindCallPanel && f.warnings.isEmpty() && f.keptHex.isEmpty() &&
           !f.bv.keys5.rows.isEmpty() && f.bv.records.size() == f.bv.entrances.apartmentTotal;
}

bool readScreenDecode(const QString& image) {
    QString withoutDate = image;
    QString dateText;
    CheckConfigTrailer(withoutDate, dateText);
    const ReadScreenParse p = ParseConfigFile(withoutDate, 65, kKindCallPanel, settings());
    return p.kind == kKindCallPanel && p.detail.size() > 1000;
}

void runDecode(benchmark::State& state, const char* name, Decode decode) {
    const QByteArray& file = fileOfSize(state.range(0));
    if (file.isEmpty()) {
        state.SkipWithError("the file was not built");
        return;
    }
    double floorNs = 0, decodeNs = 0;
    QElapsedTimer timer;
    for (auto _ : state) {
        timer.start();
        const QString image = imageOf(file);
        const qint64 floor = timer.nsecsElapsed();
        const bool whole = decode(image);
        const qint64 total = timer.nsecsElapsed();
        if (!whole) {
            state.SkipWithError("the decoder did not read the whole file");
            return;
        }
        floorNs += double(floor);
        decodeNs += double(total - floor);
        state.SetIterationTime(double(total - floor) / 1e9);
    }
    const double n = double(state.iterations());
    const Measured m{decodeNs / n / 1e3, floorNs / n / 1e3};
    Measured& best = results[name][state.range(0)];
    if (best.decodeUs == 0 || m.decodeUs < best.decodeUs) best = m;
    state.SetComplexityN(file.size());
    state.counters["file_bytes"] = double(file.size());
    state.counters["decode_us"] = m.decodeUs;
    state.counters["floor_us"] = m.floorUs;
    state.counters["ratio"] = m.decodeUs / m.floorUs;
    state.counters["ns_per_byte"] = m.decodeUs * 1e3 / double(file.size());
}

// Every decoder on the files from 4 KB to 64 KB, doubling.
void fileSizes(benchmark::internal::Benchmark* b) {
    b->RangeMultiplier(2)
        ->Range(kSmallest, kDeviceMemory)
        ->UseManualTime()
        ->Repetitions(kRepetitions)
        ->Unit(benchmark::kMicrosecond)
        ->Complexity(benchmark::oN);
}

void BM_EditorDecode(benchmark::State& state) {
    runDecode(state, "editor", editorDecode);
}
BENCHMARK(BM_EditorDecode)->Apply(fileSizes);

void BM_ReadScreenDecode(benchmark::State& state) {
    runDecode(state, "read screen", readScreenDecode);
}
BENCHMARK(BM_ReadScreenDecode)->Apply(fileSizes);

// Per decoder: the ratios to the floor at the smallest and the largest file,
// and how much longer the largest took than the smallest, beside the same
// for the floor. Both pay alike for memory that a larger file no longer
// finds in the caches, so a decoder that grows linearly keeps its ratio.
void printGrowth() {
    const double sizeGrowth =
        double(fileOfSize(kDeviceMemory).size()) / double(fileOfSize(kSmallest).size());
    for (const auto& [name, bySize] : results) {
        const auto small = bySize.find(kSmallest), large = bySize.find(kDeviceMemory);
        if (small == bySize.end() || large == bySize.end()) continue;
        const Measured& s = small->second;
        const Measured& l = large->second;
        std::printf(
            "%s decode: ratio to the floor %.2f at 4 KB, %.2f at 64 KB (%.2f times); "
            "%.1f times the bytes took %.1f times as long, the floor %.1f times "
            "(%.0f us at 64 KB)\n",
            name.c_str(), s.decodeUs / s.floorUs, l.decodeUs / l.floorUs,
            (l.decodeUs / l.floorUs) / (s.decodeUs / s.floorUs), sizeGrowth,
            l.decodeUs / s.decodeUs, l.floorUs / s.floorUs, l.decodeUs);
    }
}

}  // namespace

int main(int argc, char** argv) {
    return RunBenchmarks(argc, argv, [](const std::function<void()>& run) {
        run();
        printGrowth();
    });
}
