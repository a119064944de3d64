// Times the configuration-file editor on a call-panel file as large as a
// file may grow: opening it into the grids of the editor's tabs, and saving
// it from them. Floors: for the opening, the file read and decoded into its
// values by the editor's core, with no window; for the saving, the same bytes
// written as durably as the editor writes them.
//   bench_config_editor [--benchmark_filter=...]

#include "BenchSupport.h"
#include "Floors.h"
#include "PanelFiles.h"
#include "app/AppForms.h"
#include "config/CallPanelFile.h"
#include "config/ConfigEditorFile.h"
#include "config/ConfigScreenSettings.h"
#include "config/ui/EditorGrid.h"
#include "config/ui/EditorKeysTab.h"
#include "config/ui/EditorPanelTab.h"
#include "config/ui/TFrRedact.h"
#include "foundation/BitAndStr.h"
#include "platform/Dialogs.h"
#include "platform/DurableFile.h"

#include <benchmark/benchmark.h>

#include <QApplication>
#include <QFile>
#include <QTemporaryDir>

#include <memory>

namespace {

using bench::kHeaderAndEndMark;
using bench::PanelWith;

// The panel file with the most apartments whose sections still fit a file.
// Spare slots are asked for, as the write screen does by default: without
// them section 6 is written empty, and the editor always writes its header,
// so the file would not save back as it was opened.
QByteArray fullSizeFile() {
    int lo = 1, hi = 4000;
    QByteArray best;
    while (lo <= hi) {
        const int mid = (lo + hi) / 2;
        PanelFileInput in = PanelWith(mid);
        in.reserveSlots = true;
        const ConfigFileBuild b = BuildCallPanelFile(in, QStringLiteral("cbv01.bin"));
        if (b.HasFile() && b.bytes.size() - kHeaderAndEndMark <= 17408) {
            best = b.bytes;
            lo = mid + 1;
        } else {
            hi = mid - 1;
        }
    }
    return best;
}

struct Editor {
    QTemporaryDir dir;
    QString path;
    QByteArray file;
    std::unique_ptr<TFrRedact> frame;

    Editor() : path(dir.filePath(QStringLiteral("cbv01.bin"))), file(fullSizeFile()) {
        QFile f(path);
        if (file.isEmpty() || !f.open(QIODevice::WriteOnly) || f.write(file) != file.size())
            qFatal("the file was not written");
        f.close();
        AppForms::ComposeParts();  // the editor as the program shows it, key parts in
        frame = std::make_unique<TFrRedact>();
        frame->resize(1280, 900);
        frame->show();
    }
};
Editor* theEditor = nullptr;

void counters(benchmark::State& state) {
    state.counters["section_bytes"] = double(theEditor->file.size() - kHeaderAndEndMark);
    state.counters["keys5_rows"] = double(theEditor->frame->TabCBV2->Keys5->RowCount() - 1);
}

void BM_OpenFullSizePanelFileIntoTheGrids(benchmark::State& state) {
    FloorRatio ratio("open_into_grids", "the file read and decoded by the core");
    for (auto _ : state) {
        const double measured = TimeMs([] { theEditor->frame->OpenConfigFile(theEditor->path); });
        const double floor = TimeMs([] {
            benchmark::DoNotOptimize(
                LoadEditorFile(theEditor->path, LoadConfigScreenSettings()).Parsed());
        });
        ratio.Add(measured, floor);
        state.SetIterationTime(measured / 1000);
    }
    if (!theEditor->frame->SaveArmed()) state.SkipWithError("the file did not open");
    counters(state);
    ratio.Report(state);
}
BENCHMARK(BM_OpenFullSizePanelFileIntoTheGrids)
    ->Unit(benchmark::kMillisecond)
    ->Iterations(10)
    ->UseManualTime();

void BM_SaveFullSizePanelFileFromTheGrids(benchmark::State& state) {
    theEditor->frame->OpenConfigFile(theEditor->path);
    YesAnswers yes;
    FloorRatio ratio("save_from_grids", "the same bytes written durably");
    const QString copy = theEditor->dir.filePath(QStringLiteral("floor.bin"));
    for (auto _ : state) {
        const double measured = TimeMs([] { theEditor->frame->BitSaveBvClick(); });
        const double floor = TimeMs([&] {
            if (!DurableFile::Write(copy, theEditor->file, nullptr)) state.SkipWithError("no copy");
        });
        ratio.Add(measured, floor);
        state.SetIterationTime(measured / 1000);
    }
    QFile saved(theEditor->path);
    if (!saved.open(QIODevice::ReadOnly) || saved.readAll() != theEditor->file)
        state.SkipWithError("the saved file differs from the opened one");
    counters(state);
    ratio.Report(state);
}
BENCHMARK(BM_SaveFullSizePanelFileFromTheGrids)
    ->Unit(benchmark::kMillisecond)
    ->Iterations(10)
    ->UseManualTime();

}  // namespace

int main(int argc, char** argv) {
    qputenv("QT_QPA_PLATFORM", "offscreen");
    return RunBenchmarks<Editor, QApplication>(argc, argv, theEditor,
                                               [] { return std::make_unique<Editor>(); });
}
