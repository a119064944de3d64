// Times the site registry's editors on the large installation: 200 objects,
// the largest with 50 switches and 63 call panels; 39,820 apartments (80 in
// each of the largest object's entrances, 36 elsewhere) with three keys each
// and 30 common keys per entrance, about 150,000 keys. The terminal
// distribution rule dialog's run over every switch of the largest object,
// and one keystroke of the residents screen's selection, which requeries the
// residents of that object. Floor: a raw replay of the statements each ran.
//   bench_site_editors [--benchmark_filter=...]

#include "Floors.h"
#include "LargeInstallation.h"
#include "site/Subscribers.h"
#include "site/TerminalRuleRun.h"

namespace {

constexpr int kLargestApartments = 80;  // per entrance: 4,000
constexpr int kApartments = 36;         // per entrance of the other objects
constexpr int kKeysPerApartment = 3;
constexpr int kCommonKeys = 30;  // per entrance

const char* const kSurnames[] = {"Иванов",  "Иваненко", "Ивлев",   "Петров",     "Сидоров",
                                 "Смирнов", "Кузнецов", "Попов",   "Васильев",   "Зайцев",
                                 "Павлов",  "Семенов",  "Голубев", "Виноградов", "Богданов"};

qint64 largestObject = 0;

// The residents and keys of every entrance, and its switch's rule.
struct Residents {
    explicit Residents(QSqlDatabase& db)
        : range(db, "UPDATE k_pod SET n1kvr=?, npkvr=?, v_kvr=? WHERE id_pod=?"),
          rule(db, "UPDATE k_pk SET type_k='Торвин', type_f=?, p_fc=1, ai=? WHERE id_pod=?"),
          kvr(db,
              "INSERT INTO k_kvr (id_net, id_pod, p_nom, n_kvr, p_kvr, p_pk, x_key, y_key, Fam)"
              " VALUES (?, ?, ?, ?, ?, ?, 3, 3, ?)"),
          key(db,
              "INSERT INTO k_key (un_key, id_pod, bv_key, id_kvr, id_net) VALUES (?, ?, ?, ?, ?)") {
    }
    void addKey(qint64 idPod, qint64 idKvr, qint64 idNet) {
        const QString un = QString("%1").arg(++keyNo, 12, 16, QChar('0')).toUpper();
        key({un, idPod, un.right(6), idKvr, idNet});
    }
    void entrance(qint64 idPod, qint64 idNet, int nPod, int count) {
        const int first = (nPod - 1) * count + 1;
        range({first, first + count - 1, count, idPod});
        rule({nPod % 3 == 0 ? 1 : 0, first % 100, idPod});
        for (int a = 0; a < count; ++a) {
            const QString n = QString::number(first + a);
            const qint64 idKvr = kvr({idNet, idPod, a + 1, n, n, a + 1,
                                      QString::fromUtf8(kSurnames[a % std::size(kSurnames)])});
            for (int k = 0; k < kKeysPerApartment; ++k) addKey(idPod, idKvr, idNet);
        }
        for (int k = 0; k < kCommonKeys; ++k) addKey(idPod, -1, idNet);
    }
    Inserter range, rule, kvr, key;
    qint64 keyNo = 0;
};

void buildInstallation(QSqlDatabase& db) {
    largestObject = LargeInstallation::Build(db);
    struct Pod {
        qint64 id, net;
        int nPod;
    };
    QList<Pod> pods;
    QSqlQuery q(db);
    if (!q.exec("SELECT id_pod, id_net, n_pod FROM k_pod ORDER BY id_pod")) qFatal("entrances");
    while (q.next())
        pods.append({q.value(0).toLongLong(), q.value(1).toLongLong(), q.value(2).toInt()});
    Residents residents(db);
    for (const Pod& p : pods)
        residents.entrance(p.id, p.net, p.nPod,
                           p.net == largestObject ? kLargestApartments : kApartments);
}

struct Installation : BenchDatabase {
    Installation() : BenchDatabase(buildInstallation) {
        if (!dm->Q_Net->Locate("id_net", largestObject)) qFatal("no largest object");
        idNet = largestObject;
    }
    qint64 idNet = 0;
};

Installation* theInstallation = nullptr;

void terminalRun(benchmark::State& state, const TerminalRuleChoice& choice, const char* what) {
    Installation& db = *theInstallation;
    FloorRatio ratio(what, "raw replay of the same statements");
    qint64 worstNs = 0;
    int switches = 0;
    for (auto _ : state) {
        const double ms = TimeWithReplay(ratio, db.dm->ConnectionDB(), [&] {
            const TerminalRunResult r =
                RedistributeObjectTerminals(db.dm->ConnectionDB(), db.idNet, choice);
            if (!r.ok) state.SkipWithError(qPrintable(r.error));
            switches = r.switches;
        });
        worstNs = std::max(worstNs, qint64(ms * 1e6));
        state.SetIterationTime(ms / 1000);
    }
    state.counters["switches"] = switches;
    state.counters["worst_ms"] = double(worstNs) / 1e6;
    ratio.Report(state);
}

// Each switch by its own rule, as the dialog starts.
void BM_TerminalRunOwnRules(benchmark::State& state) {
    terminalRun(state, {true, TerminalRuleKind::kNoRule}, "terminals_own_rules");
}
BENCHMARK(BM_TerminalRunOwnRules)->Unit(benchmark::kMillisecond)->Iterations(5)->UseManualTime();

void BM_TerminalRunModulo100(benchmark::State& state) {
    terminalRun(state, {false, TerminalRuleKind::kModulo100}, "terminals_modulo_100");
}
BENCHMARK(BM_TerminalRunModulo100)->Unit(benchmark::kMillisecond)->Iterations(5)->UseManualTime();

// The selection's keystrokes "И", "Ив", "Ива", "Иван", each a requery of the
// largest object's residents.
void BM_ResidentFilterKeystroke(benchmark::State& state) {
    Installation& db = *theInstallation;
    const QStringList typed = {"И", "Ив", "Ива", "Иван"};
    SubscriberList list;
    FloorRatio ratio("resident_keystroke", "raw replay of the same statements");
    qint64 worstNs = 0;
    int i = 0, rows = 0;
    for (auto _ : state) {
        SubscriberFilterTexts texts;
        texts.fam = typed[i++ % typed.size()];
        const double ms = TimeWithReplay(ratio, db.dm->ConnectionDB(), [&] {
            list.SetFilter(texts);
            if (!list.Requery(db.dm->Q_Ppl)) state.SkipWithError("requery failed");
        });
        worstNs = std::max(worstNs, qint64(ms * 1e6));
        rows = db.dm->Q_Ppl->RecordCount();
        state.SetIterationTime(ms / 1000);
    }
    state.counters["rows_last"] = rows;
    state.counters["worst_ms"] = double(worstNs) / 1e6;
    ratio.Report(state);
}
BENCHMARK(BM_ResidentFilterKeystroke)
    ->Unit(benchmark::kMillisecond)
    ->Iterations(40)
    ->UseManualTime();

// The selection ended: the whole list of the largest object again.
void BM_ResidentListWhole(benchmark::State& state) {
    Installation& db = *theInstallation;
    SubscriberList list;
    FloorRatio ratio("resident_list", "raw replay of the same statements");
    for (auto _ : state) {
        const double ms = TimeWithReplay(ratio, db.dm->ConnectionDB(), [&] {
            if (!list.Requery(db.dm->Q_Ppl)) state.SkipWithError("requery failed");
        });
        state.SetIterationTime(ms / 1000);
    }
    state.counters["rows"] = db.dm->Q_Ppl->RecordCount();
    ratio.Report(state);
}
BENCHMARK(BM_ResidentListWhole)->Unit(benchmark::kMillisecond)->Iterations(10)->UseManualTime();

}  // namespace

int main(int argc, char** argv) {
    return RunBenchmarks<Installation>(argc, argv, theInstallation,
                                       [] { return std::make_unique<Installation>(); });
}
