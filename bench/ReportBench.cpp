// Times the tract report of the largest object of the large installation: 50
// switches in one house, each with its entrance panel, and 13 gates wired to
// every switch (63 panels, 700 rows), among 199 smaller objects. One iteration
// reads the report from the database and writes it to a PDF file, as printing
// it from the switch list does (the target is under 2 s).
//   bench_reports [--benchmark_filter=...]

#include "LargeInstallation.h"
#include "devices/SwitchReports.h"
#include "devices/ui/ReportRenderer.h"

#include <QGuiApplication>

namespace {

qint64 largestObject = 0;
BenchDatabase* theInstallation = nullptr;

void buildInstallation(QSqlDatabase& db) {
    largestObject = LargeInstallation::Build(db);
}

void BM_TractReportToPdf(benchmark::State& state) {
    TFDM& dm = *theInstallation->dm;
    // The switch list follows the current object, as on the screen.
    if (!dm.Q_Net->Locate(QStringLiteral("id_net"), largestObject)) {
        state.SkipWithError("largest object not found");
        return;
    }
    const QString pdf = theInstallation->dir.filePath(QStringLiteral("tracts.pdf"));
    ReportPages pages;
    for (auto _ : state) {
        QString error;
        const auto model = BuildTractReport(dm, &error);
        if (!model || !WriteReportPdf(*model, pdf, &error, &pages)) {
            state.SkipWithError(qPrintable(error));
            return;
        }
    }
    state.counters["switches"] = dm.Q_MNpk->RecordCount();
    state.counters["rows"] = double(pages.rows.size());
    state.counters["pages"] = pages.pages;
}
BENCHMARK(BM_TractReportToPdf)->Unit(benchmark::kMillisecond);

}  // namespace

int main(int argc, char** argv) {
    // Text is laid out with the fonts of a GUI application, which needs no display.
    if (qEnvironmentVariableIsEmpty("QT_QPA_PLATFORM")) qputenv("QT_QPA_PLATFORM", "offscreen");
    return RunBenchmarks<BenchDatabase, QGuiApplication>(argc, argv, theInstallation, [] {
        return std::make_unique<BenchDatabase>(buildInstallation);
    });
}
