// Times the configuration-file editor on a call-panel file as large as a
// file may grow: opening it into the grids of the editor's tabs, and saving
// it from them. Each has to stay well under half a second.
//   bench_config_editor [--benchmark_filter=...]

#include "BenchSupport.h"
#include "PanelFiles.h"
#include "app/AppForms.h"
#include "config/CallPanelFile.h"
#include "config/ui/EditorGrid.h"
#include "config/ui/EditorKeysTab.h"
#include "config/ui/EditorPanelTab.h"
#include "config/ui/TFrRedact.h"
#include "foundation/BitAndStr.h"
#include "platform/Dialogs.h"

#include <benchmark/benchmark.h>

#include <QApplication>
#include <QFile>
#include <QTemporaryDir>

#include <memory>

namespace {

using bench::kHeaderAndEndMark;
using bench::PanelWith;

// The panel file with the most apartments whose sections still fit a file.
QByteArray fullSizeFile() {
    int lo = 1, hi = 4000;
    QByteArray best;
    while (lo <= hi) {
        const int mid = (lo + hi) / 2;
        const ConfigFileBuild b = BuildCallPanelFile(PanelWith(mid), QStringLiteral("cbv01.bin"));
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
    for (auto _ : state) theEditor->frame->OpenConfigFile(theEditor->path);
    if (!theEditor->frame->SaveArmed()) state.SkipWithError("the file did not open");
    counters(state);
}
BENCHMARK(BM_OpenFullSizePanelFileIntoTheGrids)->Unit(benchmark::kMillisecond);

void BM_SaveFullSizePanelFileFromTheGrids(benchmark::State& state) {
    theEditor->frame->OpenConfigFile(theEditor->path);
    YesAnswers yes;
    for (auto _ : state) theEditor->frame->BitSaveBvClick();
    QFile saved(theEditor->path);
    if (!saved.open(QIODevice::ReadOnly) || saved.readAll() != theEditor->file)
        state.SkipWithError("the saved file differs from the opened one");
    counters(state);
}
BENCHMARK(BM_SaveFullSizePanelFileFromTheGrids)->Unit(benchmark::kMillisecond);

}  // namespace

int main(int argc, char** argv) {
    qputenv("QT_QPA_PLATFORM", "offscreen");
    return RunBenchmarks<Editor, QApplication>(argc, argv, theEditor,
                                               [] { return std::make_unique<Editor>(); });
}
