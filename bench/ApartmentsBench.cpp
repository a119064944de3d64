// Times the apartment generation of the entrance screen on an object of 40
// entrances with 100 apartments each (4,000 apartments and 40 console
// handsets): the first generation, which appends every row, and a second one
// over the rows there are, which renumbers them all.
//   bench_apartments [--benchmark_filter=...]

#include <QElapsedTimer>

#include "BenchSupport.h"
#include "platform/Dialogs.h"
#include "site/ApartmentGenerator.h"

namespace {

constexpr int kHouses = 4;
constexpr int kEntrancesPerHouse = 10;
constexpr int kApartments = 100;  // per entrance

// Ten entrances a house, numbered on through the house.
void buildObject(QSqlDatabase& db) {
    const QString half = QStringLiteral("1100000000000000");
    Inserter net(db,
                 "INSERT INTO k_net (ident, l_pok, p_kvr, v_key, v_pod, st_net, flbv, flpo)"
                 " VALUES ('Объект', 1, '000', 4, ?, 'сохранено', ?, ?)");
    const qint64 idNet = net({kHouses * kEntrancesPerHouse, half + half, half + half});
    Inserter dom(db, "INSERT INTO k_dom (id_net, kod_d, v_pod) VALUES (?, ?, ?)");
    Inserter pod(db,
                 "INSERT INTO k_pod (id_net, id_dom, n_pod, n1kvr, npkvr, v_kvr, nm_pod)"
                 " VALUES (?, ?, ?, ?, ?, ?, 'Л')");
    for (int h = 1; h <= kHouses; ++h) {
        const qint64 idDom = dom({idNet, QString::number(h), kEntrancesPerHouse});
        for (int e = 0; e < kEntrancesPerHouse; ++e)
            pod({idNet, idDom, e + 1, e * kApartments + 1, (e + 1) * kApartments, kApartments});
    }
}

struct ApartmentObject : BenchDatabase {
    ApartmentObject() : BenchDatabase(buildObject) { dm->Q_Net->First(); }
    void clearRows() {
        QSqlQuery q(dm->ConnectionDB());
        if (!q.exec("DELETE FROM k_kvr")) qFatal("reset: %s", qPrintable(q.lastError().text()));
    }
    int rows() {
        QSqlQuery q(dm->ConnectionDB());
        return q.exec("SELECT COUNT(*) FROM k_kvr") && q.next() ? q.value(0).toInt() : -1;
    }
};

ApartmentObject* theObject = nullptr;

void run(benchmark::State& state, bool fromEmpty) {
    YesAnswers answers;
    ApartmentGenerator generator;
    qint64 elapsedNs = 0;
    if (!fromEmpty && theObject->rows() == 0) generator.Run(4);
    for (auto _ : state) {
        if (fromEmpty) {
            state.PauseTiming();
            theObject->clearRows();
            state.ResumeTiming();
        }
        QElapsedTimer timer;
        timer.start();
        if (generator.Run(4) != GenerationResult::Done) state.SkipWithError("not generated");
        elapsedNs += timer.nsecsElapsed();
    }
    Dialogs::SetBackend(nullptr);
    state.counters["rows"] = theObject->rows();
    state.counters["ms_per_run"] = double(elapsedNs) / 1e6 / double(state.iterations());
}

void BM_GenerateNewObject(benchmark::State& state) {
    run(state, true);
}
BENCHMARK(BM_GenerateNewObject)->Unit(benchmark::kMillisecond)->Iterations(5);

void BM_RegenerateObject(benchmark::State& state) {
    run(state, false);
}
BENCHMARK(BM_RegenerateObject)->Unit(benchmark::kMillisecond)->Iterations(5);

}  // namespace

int main(int argc, char** argv) {
    return RunBenchmarks<ApartmentObject>(argc, argv, theObject,
                                          [] { return std::make_unique<ApartmentObject>(); });
}
