// Times the building of the switch configuration files of the largest object
// of an installation: 50 switches, each with an entrance of 40 apartments and
// the console handset, 50 entrance panels and 13 gates wired to every switch.
// One iteration reads every switch's records from the database and builds its
// file, as the write screen does for "select all".
//   bench_config [--benchmark_filter=...]

#include "BenchSupport.h"
#include "config/ConfigRepository.h"
#include "config/SwitchFile.h"

namespace {

constexpr int kSwitches = 50;
constexpr int kApartments = 40;
constexpr int kGates = 13;
constexpr qint64 kIdNet = 1;

void addEntrances(QSqlDatabase& db) {
    Inserter pod(db,
                 "INSERT INTO k_pod (id_pod, id_net, id_dom, n_pod, v_dvr, v_kvr)"
                 " VALUES (?, 1, 1, ?, 1, ?)");
    Inserter kvr(db,
                 "INSERT INTO k_kvr (id_net, id_pod, p_nom, n_kvr, p_kvr, m_obr, st_kvr, l_trub)"
                 " VALUES (1, ?, ?, ?, ?, ?, ?, ?)");
    Inserter pk(db,
                "INSERT INTO k_pk (id_pk, id_pod, id_net, id_ke, id_mvv, id_mot, m_vo, m_vb,"
                " n_xl, p_fc, n_net, type_k, n_vid, rsrv) VALUES (?, ?, 1, 1, 1, 2, '11000000',"
                " '11000000', ?, 1, ?, 'Торвин', 2, 1)");
    Inserter mpk(db,
                 "INSERT INTO m_pk (id_net, n_pk, n_pod, n_net, id_pk, id_dom)"
                 " VALUES (1, ?, ?, ?, ?, 1)");
    for (int e = 1; e <= kSwitches; ++e) {
        pod({e, e, kApartments});
        for (int a = 1; a <= kApartments; ++a) {
            const QString n = QString::number(e * 100 + a);
            kvr({e, a, n, n, a % 7 == 0, QString(), 0});
        }
        kvr({e, kApartments + 1, QStringLiteral("пост охраны"), QStringLiteral("900"), 0,
             QStringLiteral("СПО"), 1});
        pk({e, e, kApartments + 1, e});
        mpk({e, e, e, e});
    }
}

void addPanels(QSqlDatabase& db) {
    Inserter mbv(db,
                 "INSERT INTO m_bv (id_net, n_pk, bv_type, n_net, n_nt0, plus, id_bv, tract)"
                 " VALUES (1, ?, ?, ?, ?, 1, ?, ?)");
    for (int e = 1; e <= kSwitches; ++e) mbv({e, 0, 63 + e, e - 1, e, 1});
    for (int g = 0; g < kGates; ++g)
        for (int e = 1; e <= kSwitches; ++e)
            mbv({e, 1, 64 + kSwitches + g, kSwitches + g, kSwitches + 1 + g, 2});
}

void buildObject(QSqlDatabase& db) {
    Inserter(db, "INSERT INTO k_net (id_net, ident, id_nom, st_net) VALUES (1, ?, 7, ?)")(
        {QStringLiteral("Большой"), QStringLiteral("закрыто")});
    Inserter(db, "INSERT INTO k_dom (id_dom, id_net, house, kod_d) VALUES (1, 1, '1', '1')")({});
    addEntrances(db);
    addPanels(db);
}

struct LargeObject : BenchDatabase {
    LargeObject() : BenchDatabase(buildObject) {}
};
LargeObject* theObject = nullptr;

void BM_BuildSwitchFilesOfAnObject(benchmark::State& state) {
    ConfigRepository repo(theObject->dm->ConnectionDB());
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
    return RunBenchmarks<LargeObject>(argc, argv, theObject,
                                      [] { return std::make_unique<LargeObject>(); });
}
