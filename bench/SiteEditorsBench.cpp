// Times the site registry's editors on the large installation: 200 objects,
// 39,820 apartments and about 150,000 keys, the largest object with 50
// switches and 63 call panels (4,000 apartments). The terminal distribution
// rule dialog's run over every switch of the largest object (the target is
// under 1 s), and one keystroke of the residents screen's selection, which
// requeries the residents of that object (the target is under 50 ms).
//   bench_site_editors [--benchmark_filter=...]

#include <QElapsedTimer>

#include "BenchSupport.h"
#include "site/Subscribers.h"
#include "site/TerminalRuleRun.h"

namespace {

constexpr int kObjects = 200;
constexpr int kLargeHouses = 5;
constexpr int kLargeEntrancesPerHouse = 10;  // 50 switches
constexpr int kLargeApartments = 80;         // per entrance: 4,000
constexpr int kLargeGates = 13;              // 50 door panels + 13 gates = 63 panels
constexpr int kEntrances = 5;                // the other objects: one house
constexpr int kApartments = 36;              // per entrance: 180 per object
constexpr int kKeysPerApartment = 3;
constexpr int kCommonKeys = 30;  // per entrance

const char* const kSurnames[] = {"Иванов",  "Иваненко", "Ивлев",   "Петров",     "Сидоров",
                                 "Смирнов", "Кузнецов", "Попов",   "Васильев",   "Зайцев",
                                 "Павлов",  "Семенов",  "Голубев", "Виноградов", "Богданов"};

struct Builder {
    explicit Builder(QSqlDatabase& db)
        : net(db,
              "INSERT INTO k_net (ident, id_nom, v_pod, v_kal, v_key, l_pok, st_net)"
              " VALUES (?, ?, ?, ?, 2, 1, 'закрыто')"),
          dom(db, "INSERT INTO k_dom (id_net, house, kod_d) VALUES (?, ?, ?)"),
          pod(db,
              "INSERT INTO k_pod (id_net, id_dom, n_pod, n1kvr, npkvr, v_kvr, v_dvr)"
              " VALUES (?, ?, ?, ?, ?, ?, 1)"),
          kvr(db,
              "INSERT INTO k_kvr (id_net, id_pod, p_nom, n_kvr, p_kvr, p_pk, x_key, y_key, Fam)"
              " VALUES (?, ?, ?, ?, ?, ?, 3, 3, ?)"),
          key(db,
              "INSERT INTO k_key (un_key, id_pod, bv_key, id_kvr, id_net) VALUES (?, ?, ?, ?, ?)"),
          pk(db,
             "INSERT INTO k_pk (id_pod, id_net, n_net, type_k, type_f, p_fc, ai)"
             " VALUES (?, ?, ?, 'Торвин', ?, 1, ?)"),
          mpk(db,
              "INSERT INTO m_pk (id_net, n_pk, n_pod, n_net, id_pk, id_dom, v_dvr)"
              " VALUES (?, ?, ?, ?, ?, ?, 1)"),
          bv(db, "INSERT INTO k_bv (id_net, n_net, n_nt0, n_bv, bv_type) VALUES (?, ?, ?, ?, ?)"),
          mbv(db,
              "INSERT INTO m_bv (id_net, n_bv, n_pk, bv_type, n_net, n_nt0, plus, id_bv)"
              " VALUES (?, ?, ?, ?, ?, ?, 1, ?)"),
          po(db, "INSERT INTO k_po (id_net) VALUES (?)") {}

    QString nextKey() { return QString("%1").arg(++keyNo, 12, 16, QChar('0')).toUpper(); }

    // One entrance with its switch, door panel, apartments and keys.
    void entrance(qint64 idNet, qint64 idDom, int column, int nPod, int first, int count) {
        const qint64 idPod = pod({idNet, idDom, nPod, first, first + count - 1, count});
        for (int a = 0; a < count; ++a) {
            const QString n = QString::number(first + a);
            const qint64 idKvr = kvr({idNet, idPod, a + 1, n, n, a + 1,
                                      QString::fromUtf8(kSurnames[a % std::size(kSurnames)])});
            for (int k = 0; k < kKeysPerApartment; ++k) {
                const QString un = nextKey();
                key({un, idPod, un.right(6), idKvr, idNet});
            }
        }
        for (int k = 0; k < kCommonKeys; ++k) {
            const QString un = nextKey();
            key({un, idPod, un.right(6), -1, idNet});
        }
        const qint64 idPk = pk({idPod, idNet, column, column % 3 == 0 ? 1 : 0, first % 100});
        mpk({idNet, column, nPod, column, idPk, idDom});
        const qint64 idBv = bv({idNet, 64 + column, column, QString("БВ %1").arg(column), 0});
        mbv({idNet, QString("БВ %1").arg(column), column, 0, 64 + column, column, idBv});
    }

    void largeObject() {
        const qint64 idNet =
            net({QString("Объект 1"), 1, kLargeHouses * kLargeEntrancesPerHouse, kLargeGates});
        int column = 0;
        for (int h = 1; h <= kLargeHouses; ++h) {
            const qint64 idDom = dom({idNet, QString("Дом %1").arg(h), QString::number(h)});
            for (int e = 1; e <= kLargeEntrancesPerHouse; ++e)
                entrance(idNet, idDom, ++column, e, (e - 1) * kLargeApartments + 1,
                         kLargeApartments);
        }
        // Gates wired to every switch.
        for (int g = 0; g < kLargeGates; ++g) {
            const int number = column + 1 + g;
            const QString name = QString("Калитка %1").arg(g + 1);
            const qint64 idBv = bv({idNet, 64 + number, number, name, 1});
            for (int c = 1; c <= column; ++c) mbv({idNet, name, c, 1, 64 + number, number, idBv});
        }
        po({idNet});
    }

    void smallObject(int o) {
        const qint64 idNet = net({QString("Объект %1").arg(o), o, kEntrances, 0});
        const qint64 idDom = dom({idNet, QString("Дом"), QString("1")});
        for (int e = 1; e <= kEntrances; ++e)
            entrance(idNet, idDom, e, e, (e - 1) * kApartments + 1, kApartments);
        po({idNet});
    }

    Inserter net, dom, pod, kvr, key, pk, mpk, bv, mbv, po;
    qint64 keyNo = 0;
};

void buildInstallation(QSqlDatabase& db) {
    Builder b(db);
    b.largeObject();
    for (int o = 2; o <= kObjects; ++o) b.smallObject(o);
}

struct Installation : BenchDatabase {
    Installation() : BenchDatabase(buildInstallation) {
        // The largest object is the first one made.
        if (!dm->Q_Net->Locate("ident", QString("Объект 1"))) qFatal("no largest object");
        idNet = dm->Q_Net->FieldByName("id_net").AsLargeInt();
    }
    qint64 idNet = 0;
};

Installation* theInstallation = nullptr;

void terminalRun(benchmark::State& state, const TerminalRuleChoice& choice) {
    Installation& db = *theInstallation;
    qint64 worstNs = 0;
    int switches = 0;
    for (auto _ : state) {
        QElapsedTimer timer;
        timer.start();
        const TerminalRunResult r =
            RedistributeObjectTerminals(db.dm->ConnectionDB(), db.idNet, choice);
        worstNs = std::max(worstNs, timer.nsecsElapsed());
        if (!r.ok) state.SkipWithError(qPrintable(r.error));
        switches = r.switches;
    }
    state.counters["switches"] = switches;
    state.counters["worst_ms"] = double(worstNs) / 1e6;
}

// Each switch by its own rule, as the dialog starts.
void BM_TerminalRunOwnRules(benchmark::State& state) {
    terminalRun(state, {true, TerminalRuleKind::kNoRule});
}
BENCHMARK(BM_TerminalRunOwnRules)->Unit(benchmark::kMillisecond)->Iterations(5);

void BM_TerminalRunModulo100(benchmark::State& state) {
    terminalRun(state, {false, TerminalRuleKind::kModulo100});
}
BENCHMARK(BM_TerminalRunModulo100)->Unit(benchmark::kMillisecond)->Iterations(5);

// The selection's keystrokes "И", "Ив", "Ива", "Иван", each a requery of the
// largest object's residents.
void BM_ResidentFilterKeystroke(benchmark::State& state) {
    Installation& db = *theInstallation;
    const QStringList typed = {"И", "Ив", "Ива", "Иван"};
    SubscriberList list;
    qint64 worstNs = 0;
    int i = 0, rows = 0;
    for (auto _ : state) {
        SubscriberFilterTexts texts;
        texts.fam = typed[i++ % typed.size()];
        QElapsedTimer timer;
        timer.start();
        list.SetFilter(texts);
        if (!list.Requery(db.dm->Q_Ppl)) state.SkipWithError("requery failed");
        worstNs = std::max(worstNs, timer.nsecsElapsed());
        rows = db.dm->Q_Ppl->RecordCount();
    }
    state.counters["rows_last"] = rows;
    state.counters["worst_ms"] = double(worstNs) / 1e6;
}
BENCHMARK(BM_ResidentFilterKeystroke)->Unit(benchmark::kMillisecond)->Iterations(40);

// The selection ended: the whole list of the largest object again.
void BM_ResidentListWhole(benchmark::State& state) {
    Installation& db = *theInstallation;
    SubscriberList list;
    for (auto _ : state)
        if (!list.Requery(db.dm->Q_Ppl)) state.SkipWithError("requery failed");
    state.counters["rows"] = db.dm->Q_Ppl->RecordCount();
}
BENCHMARK(BM_ResidentListWhole)->Unit(benchmark::kMillisecond)->Iterations(10);

}  // namespace

int main(int argc, char** argv) {
    return RunBenchmarks<Installation>(argc, argv, theInstallation,
                                       [] { return std::make_unique<Installation>(); });
}
