// Times the tract report of the largest object of the large installation: 50
// switches in one house, each with its entrance panel, and 13 gates wired to
// every switch (63 panels, 700 rows), among 199 smaller objects. One iteration
// reads the report from the database and writes it to a PDF file, as printing
// it from the switch list does. Floor: a raw replay of the statements the
// report ran, and the same texts drawn line under line into a PDF file by a
// bare QPainter on a QPdfWriter, without the report's layout.
//   bench_reports [--benchmark_filter=...]

#include "Floors.h"
#include "LargeInstallation.h"
#include "devices/SwitchReports.h"
#include "devices/ui/ReportRenderer.h"

#include <QGuiApplication>
#include <QPainter>
#include <QPdfWriter>

namespace {

qint64 largestObject = 0;
BenchDatabase* theInstallation = nullptr;

void buildInstallation(QSqlDatabase& db) {
    largestObject = LargeInstallation::Build(db);
}

// Every text of the model drawn one line under the other, page after page.
void drawPlainly(const ReportModel& model, const QString& path) {
    QPdfWriter writer(path);
    SetReportPage(writer);
    QPainter painter(&writer);
    const int line = painter.fontMetrics().height();
    const int bottom = writer.height() - line;
    int y = line;
    auto draw = [&](const QString& text) {
        if (y > bottom) {
            writer.newPage();
            y = line;
        }
        painter.drawText(0, y, text);
        y += line;
    };
    draw(model.pageHeader.Text());
    for (const ReportField& f : model.title) draw(f.Text());
    for (const ReportGroup& g : model.groups) {
        for (const ReportField& f : g.fields) draw(f.Text());
        draw(g.rowsLabel);
        for (const QStringList& row : g.rows) draw(row.join(QLatin1Char(' ')));
    }
}

void BM_TractReportToPdf(benchmark::State& state) {
    TFDM& dm = *theInstallation->dm;
    // The switch list follows the current object, as on the screen.
    if (!dm.Q_Net->Locate(QStringLiteral("id_net"), largestObject)) {
        state.SkipWithError("largest object not found");
        return;
    }
    const QString pdf = theInstallation->dir.filePath(QStringLiteral("tracts.pdf"));
    const QString plain = theInstallation->dir.filePath(QStringLiteral("plain.pdf"));
    FloorRatio ratio("tract_report", "raw replay of its statements, its texts drawn plainly");
    ReportPages pages;
    for (auto _ : state) {
        StatementLog log(dm.ConnectionDB());
        std::optional<ReportModel> model;
        QString error;
        const double measured = TimeMs([&] {
            model = BuildTractReport(dm, &error);
            if (!model || !WriteReportPdf(*model, pdf, &error, &pages))
                state.SkipWithError(qPrintable(error));
        });
        log.Stop();
        if (!model) return;
        const double floor = log.Replay() + TimeMs([&] { drawPlainly(*model, plain); });
        ratio.Add(measured, floor);
        state.SetIterationTime(measured / 1000);
    }
    state.counters["switches"] = dm.Q_MNpk->RecordCount();
    state.counters["rows"] = double(pages.rows.size());
    state.counters["pages"] = pages.pages;
    ratio.Report(state);
}
BENCHMARK(BM_TractReportToPdf)->Unit(benchmark::kMillisecond)->Iterations(5)->UseManualTime();

}  // namespace

int main(int argc, char** argv) {
    // Text is laid out with the fonts of a GUI application, which needs no display.
    if (qEnvironmentVariableIsEmpty("QT_QPA_PLATFORM")) qputenv("QT_QPA_PLATFORM", "offscreen");
    return RunBenchmarks<BenchDatabase, QGuiApplication>(argc, argv, theInstallation, [] {
        return std::make_unique<BenchDatabase>(buildInstallation);
    });
}
