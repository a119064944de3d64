// Times the console screen's object-wide writes on the large installation:
// 200 objects, about 40,000 apartments and 150,000 keys, the largest object
// with 50 switches (one an entrance) and 63 call panels: "Переписать всем
// квартирам обратный вызов" there. Floor: a raw replay of the statements it
// ran.
//   bench_devices [--benchmark_filter=...]

#include "BenchSupport.h"
#include "Floors.h"
#include "devices/SecurityPost.h"
#include "platform/Dialogs.h"

namespace {

constexpr int kSmallObjects = 199;
constexpr int kSmallEntrances = 5;
constexpr int kSmallApartments = 38;  // per entrance
constexpr int kLargeEntrances = 50;   // one switch each
constexpr int kLargeApartments = 40;
constexpr int kLargePanels = 63;  // 50 doors and 13 gates
constexpr int kKeysPerApartment = 3;
constexpr int kCommonKeys = 30;  // per entrance

struct Builder {
    Inserter net, dom, pod, kvr, key, pk, mpk, bv, po;
    qint64 keyNo = 0;

    explicit Builder(QSqlDatabase& db)
        : net(db,
              "INSERT INTO k_net (ident, id_nom, v_pod, v_kal, v_key, l_pok, st_net, p_kvr)"
              " VALUES (?, ?, ?, ?, 3, 1, 'закрыто', '000')"),
          dom(db, "INSERT INTO k_dom (id_net, house, kod_d) VALUES (?, ?, ?)"),
          pod(db, "INSERT INTO k_pod (id_net, id_dom, n_pod, v_kvr) VALUES (?, ?, ?, ?)"),
          kvr(db,
              "INSERT INTO k_kvr (id_net, id_pod, p_nom, n_kvr, p_kvr, st_kvr, l_trub, x_key)"
              " VALUES (?, ?, ?, ?, ?, ?, ?, 3)"),
          key(db,
              "INSERT INTO k_key (un_key, id_pod, bv_key, id_kvr, id_net) VALUES (?, ?, ?, ?, ?)"),
          pk(db, "INSERT INTO k_pk (id_pod, id_net, n_net, type_k) VALUES (?, ?, ?, 'КМ')"),
          mpk(db,
              "INSERT INTO m_pk (id_net, n_pk, n_pod, n_net, id_pk, id_dom) VALUES (?, ?, ?, ?, ?, "
              "?)"),
          bv(db,
             "INSERT INTO k_bv (id_net, n_net, n_nt0, n_bv, bv_type, kf_pr) VALUES (?, ?, ?, ?, ?, "
             "1)"),
          po(db, "INSERT INTO k_po (id_net, kf_pr) VALUES (?, 1)") {}

    void addKey(qint64 idNet, qint64 idPod, qint64 idKvr) {
        const QString un = QString("%1").arg(++keyNo, 12, 16, QChar('0')).toUpper();
        key({un, idPod, un.right(6), idKvr, idNet});
    }

    // One entrance with its switch, apartments, console handset and keys.
    void addEntrance(qint64 idNet, qint64 idDom, int n, int apartments) {
        const qint64 idPod = pod({idNet, idDom, n, apartments});
        for (int a = 1; a <= apartments; ++a) {
            const QString no = QString::number(n * 100 + a);
            const qint64 idKvr = kvr({idNet, idPod, a, no, no, "нет", 0});
            for (int k = 0; k < kKeysPerApartment; ++k) addKey(idNet, idPod, idKvr);
        }
        kvr({idNet, idPod, apartments + 1, "пост охраны", "000", "СПО", 1});
        for (int k = 0; k < kCommonKeys; ++k) addKey(idNet, idPod, -1);
        const qint64 idPk = pk({idPod, idNet, n});
        mpk({idNet, n, n, n, idPk, idDom});
    }

    qint64 addObject(int no, int entrances, int apartments, int panels) {
        const qint64 idNet = net({QString("Объект %1").arg(no), no, entrances, panels - entrances});
        const qint64 houses[2] = {dom({idNet, "1", "1"}), dom({idNet, "2", "2"})};
        for (int e = 1; e <= entrances; ++e) addEntrance(idNet, houses[e % 2], e, apartments);
        for (int b = 1; b <= panels; ++b)
            bv({idNet, 64 + b, b, QString("БВ %1").arg(b), b > entrances ? 1 : 0});
        po({idNet});
        return idNet;
    }
};

qint64 largestObject = 0;

void buildInstallation(QSqlDatabase& db) {
    Builder b(db);
    for (int o = 1; o <= kSmallObjects; ++o)
        b.addObject(o, kSmallEntrances, kSmallApartments, kSmallEntrances + 5);
    largestObject = b.addObject(kSmallObjects + 1, kLargeEntrances, kLargeApartments, kLargePanels);
}

BenchDatabase* theInstallation = nullptr;

// Every apartment row of the largest object changes at each run: the flag
// goes on and off in turn.
void BM_RewriteCallBackLargestObject(benchmark::State& state) {
    YesAnswers yes;
    QSqlDatabase db = theInstallation->dm->ConnectionDB();
    FloorRatio ratio("rewrite_call_back", "raw replay of the same statements");
    bool on = false;
    for (auto _ : state) {
        on = !on;
        const double ms = TimeWithReplay(ratio, db, [&] {
            if (RewriteCallBack(db, largestObject, on) != DeviceChange::Done)
                state.SkipWithError("RewriteCallBack failed");
        });
        state.SetIterationTime(ms / 1000);
    }
    state.counters["apartment_rows"] = kLargeEntrances * (kLargeApartments + 1);
    state.counters["call_panels"] = kLargePanels;
    ratio.Report(state);
}
BENCHMARK(BM_RewriteCallBackLargestObject)
    ->Unit(benchmark::kMillisecond)
    ->Iterations(10)
    ->UseManualTime();

}  // namespace

int main(int argc, char** argv) {
    return RunBenchmarks<BenchDatabase>(argc, argv, theInstallation, [] {
        return std::make_unique<BenchDatabase>(buildInstallation);
    });
}
