// Times the building of the configuration files of the largest object of an
// installation: 50 switches, each with an entrance of 40 apartments (three
// keys each) and the console handset, 50 entrance panels and 13 gates wired
// to every switch, and the security-post console.
// BM_BuildSwitchFilesOfAnObject reads every switch's records and builds its
// file; BM_WriteAllFilesOfAnObject is the write screen's "select all" and
// "Создать файлы конфигурации": every file built, logged and written, and
// every device's state advanced.
//   bench_config [--benchmark_filter=...]

#include "BenchSupport.h"
#include "config/ConfigRepository.h"
#include "config/ConfigWriteScreen.h"
#include "config/SwitchFile.h"

#include <QDir>

namespace {

constexpr int kSwitches = 50;
constexpr int kApartments = 40;
constexpr int kGates = 13;
constexpr int kKeysPerApartment = 3;
constexpr int kCommonKeys = 3;
constexpr qint64 kIdNet = 1;

// The n-th key of the object as the keys screen stores it.
QVariantList keyRow(int n, qint64 idPod, qint64 idKvr) {
    const QString number =
        QStringLiteral("%1").arg(0xB00000 + n, 12, 16, QLatin1Char('0')).toUpper();
    return {number,
            idPod,
            number.right(6),
            idKvr,
            idKvr < 0 ? 1 : 0,
            QStringLiteral("%1").arg(n % 10000, 4, 10, QLatin1Char('0'))};
}

void addEntrances(QSqlDatabase& db) {
    Inserter pod(db,
                 "INSERT INTO k_pod (id_pod, id_net, id_dom, n_pod, v_dvr, v_kvr)"
                 " VALUES (?, 1, 1, ?, 1, ?)");
    Inserter kvr(db,
                 "INSERT INTO k_kvr (id_net, id_pod, p_nom, n_kvr, p_kvr, m_obr, st_kvr, l_trub,"
                 " x_key, y_key) VALUES (1, ?, ?, ?, ?, ?, ?, ?, ?, ?)");
    Inserter key(db,
                 "INSERT INTO k_key (un_key, id_pod, bv_key, id_kvr, id_net, l_ob, s_met, status)"
                 " VALUES (?, ?, ?, ?, 1, ?, ?, 'АРМ 01.02.2024')");
    int keys = 0;
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
            const qint64 idKvr =
                kvr({e, a, n, n, a % 7 == 0, QString(), 0, kKeysPerApartment, kKeysPerApartment});
            for (int k = 0; k < kKeysPerApartment; ++k) key(keyRow(++keys, e, idKvr));
        }
        for (int k = 0; k < kCommonKeys; ++k) key(keyRow(++keys, e, -1));
        kvr({e, kApartments + 1, QStringLiteral("пост охраны"), QStringLiteral("900"), 0,
             QStringLiteral("СПО"), 1, 0, 0});
        pk({e, e, kApartments + 1, e});
        mpk({e, e, e, e});
    }
}

void addPanels(QSqlDatabase& db) {
    Inserter bv(db,
                "INSERT INTO k_bv (id_bv, id_net, n_net, n_nt0, n_bv, bv_type, l_use, nrcs, l_pok)"
                " VALUES (?, 1, ?, ?, ?, ?, 1, 1, 1)");
    for (int e = 1; e <= kSwitches; ++e) bv({e, 63 + e, e - 1, QStringLiteral("БВ подъезда"), 0});
    for (int g = 0; g < kGates; ++g)
        bv({kSwitches + 1 + g, 64 + kSwitches + g, kSwitches + g, QStringLiteral("БВ калитка"), 1});
    Inserter key(db,
                 "INSERT INTO k_key (un_key, id_pod, bv_key, id_kvr, id_net, l_ob, s_met, status)"
                 " VALUES (?, ?, ?, -2, 1, 1, ?, 'АРМ 01.02.2024')");
    for (int g = 0; g < kGates; ++g)
        for (int k = 0; k < 2; ++k) {
            const QVariantList row = keyRow(900000 + g * 2 + k, kSwitches + 1 + g, -2);
            key({row[0], row[1], row[2], row[5]});
        }
    Inserter mbv(db,
                 "INSERT INTO m_bv (id_net, n_pk, bv_type, n_net, n_nt0, plus, id_bv, tract)"
                 " VALUES (1, ?, ?, ?, ?, 1, ?, ?)");
    for (int e = 1; e <= kSwitches; ++e) mbv({e, 0, 63 + e, e - 1, e, 1});
    for (int g = 0; g < kGates; ++g)
        for (int e = 1; e <= kSwitches; ++e)
            mbv({e, 1, 64 + kSwitches + g, kSwitches + g, kSwitches + 1 + g, 2});
}

// The console row as its screen first saves it.
void addConsole(QSqlDatabase& db) {
    Inserter(db,
             "INSERT INTO k_po (id_net, n_net, klvl, clvl, mtdy, mtnt, kf_pr, mcam, id_mel0,"
             " id_mel1, ncam, scam, rmto, dpto, clha, cldp, talk, frmi, sobj1, sobj2, sus1, sus2,"
             " sus3, sus4, busy, blato, npce, adccl, adccm, adcch, adchl, adchm, adchh, frmc, exec,"
             " cbto, lrez) VALUES (1, 63, 8, 8, 480, 1320, 0, '00000000', 3, 4, 5, 60, 90, 60, 40,"
             " 30, 60, 3, 'Пульт ПО', 'конф.', 'Оператор 1', 'Оператор 2', 'Оператор 3',"
             " 'Оператор 4', 31, 152, 915, 25, 110, 200, 32, 64, 150, 45, 10, 120, 0)")({});
}

void buildObject(QSqlDatabase& db) {
    Inserter(db,
             "INSERT INTO k_net (id_net, ident, id_nom, st_net, l_pok, v_key, p_kvr)"
             " VALUES (1, ?, 7, ?, 1, 3, '900')")(
        {QStringLiteral("Большой"), QStringLiteral("закрыто")});
    Inserter(db, "INSERT INTO k_dom (id_dom, id_net, house, kod_d) VALUES (1, 1, '1', '1')")({});
    addEntrances(db);
    addPanels(db);
    addConsole(db);
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

void BM_WriteAllFilesOfAnObject(benchmark::State& state) {
    ConfigWriteScreen screen(theObject->dm->ConnectionDB());
    const QString dbFolder = theObject->dir.path() + QStringLiteral("/");
    if (!screen.BuildWriteFolder(dbFolder, kIdNet) || !screen.RefreshDeviceList()) {
        state.SkipWithError("write screen not prepared");
        return;
    }
    QList<int> all;
    for (int i = 0; i < screen.Rows().size(); ++i) all << i;
    qsizetype lines = 0, saved = 0;
    for (auto _ : state) {
        screen.Logs() = ConfigLogs();
        if (screen.BitCreateClick(all).stopped) {
            state.SkipWithError("the pass stopped");
            return;
        }
        const ConfigLogs& logs = screen.Logs();
        lines = logs.detail.size() + logs.result.size();
        saved = logs.summary.filter(QStringLiteral(" сохранен.")).size();
    }
    const QStringList files = QDir(screen.WriteFolder()).entryList(QDir::Files);
    state.counters["devices"] = double(all.size());
    state.counters["files"] = double(files.size());
    state.counters["saved"] = double(saved);
    state.counters["log_lines"] = double(lines);
}
BENCHMARK(BM_WriteAllFilesOfAnObject)->Unit(benchmark::kMillisecond);

}  // namespace

int main(int argc, char** argv) {
    return RunBenchmarks<LargeObject>(argc, argv, theObject,
                                      [] { return std::make_unique<LargeObject>(); });
}
