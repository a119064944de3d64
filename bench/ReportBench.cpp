// Times the tract report of the largest object of an installation: 50
// switches in one house, each with its entrance panel, and 13 gates wired to
// every switch (63 panels, 700 rows). One iteration reads the report from the
// database and writes it to a PDF file, as printing it from the switch list
// does (the target is under 2 s).
//   bench_reports [--benchmark_filter=...]

#include "BenchSupport.h"
#include "devices/SwitchReports.h"
#include "devices/ui/ReportRenderer.h"
#include "foundation/BitAndStr.h"

#include <QGuiApplication>

namespace {

constexpr int kSwitches = 50;
constexpr int kGates = 13;

void addSwitches(QSqlDatabase& db) {
    Inserter pod(db,
                 "INSERT INTO k_pod (id_pod, id_net, id_dom, n_pod, v_dvr, v_kvr, n1kvr, npkvr)"
                 " VALUES (?, 1, 1, ?, 1, 40, ?, ?)");
    Inserter pk(db,
                "INSERT INTO k_pk (id_pk, id_pod, id_net, n_net, type_k) VALUES (?, ?, 1, ?,"
                " 'Торвин')");
    Inserter mpk(db,
                 "INSERT INTO m_pk (id_net, n_pk, n_pod, n_net, id_pk, id_dom, kod_d)"
                 " VALUES (1, ?, ?, ?, ?, 1, '1')");
    for (int e = 1; e <= kSwitches; ++e) {
        pod({e, e, (e - 1) * 40 + 1, e * 40});
        pk({e, e, e});
        mpk({e, e, e, e});
    }
}

void addPanels(QSqlDatabase& db) {
    Inserter bv(db,
                "INSERT INTO k_bv (id_bv, id_net, n_net, n_nt0, n_bv, bv_type) VALUES (?, 1, ?, ?,"
                " ?, ?)");
    Inserter mbv(db,
                 "INSERT INTO m_bv (id_net, n_bv, n_pk, bv_type, n_net, n_nt0, plus, id_bv, tract)"
                 " VALUES (1, ?, ?, ?, ?, ?, 1, ?, ?)");
    for (int e = 1; e <= kSwitches; ++e) {
        const QString row = "БВ подъезда " + IntToStrZ(e, 2) + ". 01 вход";
        bv({e, 64 + e, e, "БВ" + IntToStrZ(e, 2) + " дом 1 - " + QString::number(e) + ". 01 вх",
            0});
        mbv({row, e, 0, 64 + e, e, e, 1});
    }
    for (int g = 1; g <= kGates; ++g) {
        const int n = kSwitches + g;
        bv({n, 64 + n, n, "БВ" + IntToStrZ(n, 2) + " калитка ", 1});
        for (int e = 1; e <= kSwitches; ++e)
            mbv({"БВ калитки " + IntToStrZ(g, 2), e, 1, 64 + n, n, n, 1 + g % 7});
    }
}

void buildObject(QSqlDatabase& db) {
    Inserter(db,
             "INSERT INTO k_net (id_net, ident, id_nom, v_pod, v_kal, st_net)"
             " VALUES (1, ?, 7, ?, ?, ?)")(
        {QStringLiteral("Большой"), kSwitches, kGates, QStringLiteral("закрыто")});
    Inserter(db, "INSERT INTO k_dom (id_dom, id_net, house, kod_d) VALUES (1, 1, '1', '1')")({});
    addSwitches(db);
    addPanels(db);
}

struct LargestObject : BenchDatabase {
    LargestObject() : BenchDatabase(buildObject) {}
};
LargestObject* theObject = nullptr;

void BM_TractReportToPdf(benchmark::State& state) {
    TFDM& dm = *theObject->dm;
    const QString pdf = theObject->dir.filePath(QStringLiteral("tracts.pdf"));
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
    return RunBenchmarks<LargestObject, QGuiApplication>(
        argc, argv, theObject, [] { return std::make_unique<LargestObject>(); });
}
