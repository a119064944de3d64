// Times the building of the switch configuration files of the largest object
// of an installation: 50 switches, each with an entrance of 40 apartments and
// the console handset, 50 entrance panels and 13 gates wired to every switch.
// One iteration reads every switch's records from the database and builds its
// file, as the write screen does for "select all".
//   bench_config [--benchmark_filter=...]

#include <benchmark/benchmark.h>
#include <QCoreApplication>
#include <QSqlDatabase>
#include <QSqlError>
#include <QSqlQuery>
#include <QTemporaryDir>

#include <memory>

#include "config/ConfigRepository.h"
#include "config/SwitchFile.h"
#include "foundation/DbSchema.h"
#include "foundation/TFDM.h"

namespace {

constexpr int kSwitches = 50;
constexpr int kApartments = 40;
constexpr int kGates = 13;
constexpr qint64 kIdNet = 1;

void exec(QSqlDatabase& db, const QString& sql, const QVariantList& values = {}) {
    QSqlQuery q(db);
    if (!q.prepare(sql)) qFatal("%s: %s", qPrintable(sql), qPrintable(q.lastError().text()));
    for (const QVariant& v : values) q.addBindValue(v);
    if (!q.exec()) qFatal("%s: %s", qPrintable(sql), qPrintable(q.lastError().text()));
}

void addEntrance(QSqlDatabase& db, int e) {
    exec(
        db,
        "INSERT INTO k_pod (id_pod, id_net, id_dom, n_pod, v_dvr, v_kvr) VALUES (?, 1, 1, ?, 1, ?)",
        {e, e, kApartments});
    for (int a = 1; a <= kApartments; ++a)
        exec(db,
             "INSERT INTO k_kvr (id_net, id_pod, p_nom, n_kvr, p_kvr, m_obr) VALUES (1, ?, ?, ?, "
             "?, ?)",
             {e, a, QString::number(e * 100 + a), QString::number(e * 100 + a), a % 7 == 0});
    exec(db,
         "INSERT INTO k_kvr (id_net, id_pod, p_nom, n_kvr, p_kvr, st_kvr, l_trub)"
         " VALUES (1, ?, ?, 'пост охраны', '900', 'СПО', 1)",
         {e, kApartments + 1});
    exec(db,
         "INSERT INTO k_pk (id_pk, id_pod, id_net, id_ke, id_mvv, id_mot, m_vo, m_vb, n_xl, p_fc,"
         " n_net, type_k, n_vid, rsrv) VALUES (?, ?, 1, 1, 1, 2, '11000000', '11000000', ?, 1, ?,"
         " 'Торвин', 2, 1)",
         {e, e, kApartments + 1, e});
    exec(db,
         "INSERT INTO m_pk (id_net, n_pk, n_pod, n_net, id_pk, id_dom) VALUES (1, ?, ?, ?, ?, 1)",
         {e, e, e, e});
}

void addPanels(QSqlDatabase& db) {
    for (int e = 1; e <= kSwitches; ++e)
        exec(db,
             "INSERT INTO m_bv (id_net, n_pk, bv_type, n_net, n_nt0, plus, id_bv, tract)"
             " VALUES (1, ?, 0, ?, ?, 1, ?, 1)",
             {e, 63 + e, e - 1, e});
    for (int g = 0; g < kGates; ++g)
        for (int e = 1; e <= kSwitches; ++e)
            exec(db,
                 "INSERT INTO m_bv (id_net, n_pk, bv_type, n_net, n_nt0, plus, id_bv, tract)"
                 " VALUES (1, ?, 1, ?, ?, 1, ?, 2)",
                 {e, 63 + kSwitches + 1 + g, kSwitches + g, kSwitches + 1 + g});
}

void buildObject(const QString& path) {
    QString error;
    if (!CreateNewDatabase(path, &error)) qFatal("%s", qPrintable(error));
    {
        QSqlDatabase db = QSqlDatabase::addDatabase("QSQLITE", "bench_config_build");
        db.setDatabaseName(path);
        if (!db.open()) qFatal("open");
        db.transaction();
        exec(db,
             "INSERT INTO k_net (id_net, ident, id_nom, st_net) VALUES (1, 'Большой', 7, "
             "'закрыто')");
        exec(db, "INSERT INTO k_dom (id_dom, id_net, house, kod_d) VALUES (1, 1, '1', '1')");
        for (int e = 1; e <= kSwitches; ++e) addEntrance(db, e);
        addPanels(db);
        db.commit();
        db.close();
    }
    QSqlDatabase::removeDatabase("bench_config_build");
}

// Opened through the data module, as the program opens it (with its indexes).
struct Installation {
    QTemporaryDir dir;
    std::unique_ptr<TFDM> dm;
    Installation() {
        const QString path = dir.filePath("db_arm_vesk.mdb");
        buildObject(path);
        dm = std::make_unique<TFDM>();
        QString error;
        if (!dm->Connect(path, &error)) qFatal("connect: %s", qPrintable(error));
    }
};
Installation* theInstallation = nullptr;

void BM_BuildSwitchFilesOfAnObject(benchmark::State& state) {
    ConfigRepository repo(theInstallation->dm->ConnectionDB());
    qint64 bytes = 0;
    for (auto _ : state) {
        bytes = 0;
        for (int nNet = 1; nNet <= kSwitches; ++nNet) {
            std::optional<SwitchFileInput> in;
            if (!repo.ReadSwitchFileInput(kIdNet, nNet, in) || !in) {
                state.SkipWithError("switch not read");
                return;
            }
            const ConfigFileBuild b = BuildSwitchFile(*in, QStringLiteral("ckm.bin"));
            if (!b.HasFile()) {
                state.SkipWithError("file not built");
                return;
            }
            bytes += b.bytes.size();
        }
    }
    state.counters["files"] = kSwitches;
    state.counters["bytes"] = double(bytes);
}
BENCHMARK(BM_BuildSwitchFilesOfAnObject)->Unit(benchmark::kMillisecond);

}  // namespace

int main(int argc, char** argv) {
    QCoreApplication app(argc, argv);
    benchmark::Initialize(&argc, argv);
    if (benchmark::ReportUnrecognizedArguments(argc, argv)) return 1;
    auto inst = std::make_unique<Installation>();
    theInstallation = inst.get();
    benchmark::RunSpecifiedBenchmarks();
    inst.reset();
    benchmark::Shutdown();
    return 0;
}
