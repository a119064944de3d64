// Times the apartment generation of the entrance screen ("Сохранить квартиры
// для КМ") against its floor, on two objects of one database: 20 entrances
// of 100 apartments (2,000 apartments and 20 console handsets) and twice
// that (4,000 and 40). Each object is generated from no rows, which appends
// every row, and again over the rows there are, which renumbers them all.
// The program's time is what the engineer waits for on the entrance screen:
// the run, the data module's datasets brought up to date after the commit,
// and what the screen reads to show itself again (the object, every row of
// its house and entrance panels, the totals). The lists of the whole object
// that the screen does not show read their rows on first use, on another
// screen; that read is timed apart after each run and printed, never left
// out of the work: the next run starts with every dataset read.
//
// Floor: the same rows written on the bare SQLite C API in one transaction:
// the object and its entrances read, one prepared INSERT per row (or the
// rows read by one SELECT and one prepared UPDATE per row), then each
// entrance's count and the object's state.
//   bench_apartments [--benchmark_filter=...]

#include "BenchSupport.h"
#include "Floors.h"
#include "platform/Dialogs.h"
#include "site/ApartmentFlags.h"
#include "site/ApartmentGenerator.h"
#include "site/EntranceScreen.h"
#include "site/SiteData.h"

#include <map>

namespace {

constexpr int kEntrancesPerHouse = 10;
constexpr int kApartments = 100;  // per entrance
constexpr int kKeys = 4;          // the key quota typed on the screen

qint64 smallObject = 0;  // two houses
qint64 largeObject = 0;  // four houses

// Ten entrances a house, numbered on through the house.
qint64 addObject(QSqlDatabase& db, int houses) {
    const QString half = QStringLiteral("1100000000000000");
    Inserter net(db,
                 "INSERT INTO k_net (ident, l_pok, p_kvr, v_key, v_pod, st_net, flbv, flpo)"
                 " VALUES ('Объект', 1, '000', ?, ?, 'сохранено', ?, ?)");
    const qint64 idNet = net({kKeys, houses * kEntrancesPerHouse, half + half, half + half});
    Inserter dom(db, "INSERT INTO k_dom (id_net, kod_d, v_pod) VALUES (?, ?, ?)");
    Inserter pod(db,
                 "INSERT INTO k_pod (id_net, id_dom, n_pod, n1kvr, npkvr, v_kvr, nm_pod)"
                 " VALUES (?, ?, ?, ?, ?, ?, 'Л')");
    for (int h = 1; h <= houses; ++h) {
        const qint64 idDom = dom({idNet, QString::number(h), kEntrancesPerHouse});
        for (int e = 0; e < kEntrancesPerHouse; ++e)
            pod({idNet, idDom, e + 1, e * kApartments + 1, (e + 1) * kApartments, kApartments});
    }
    return idNet;
}

void buildObjects(QSqlDatabase& db) {
    smallObject = addObject(db, 2);
    largeObject = addObject(db, 4);
}

struct TwoObjects : BenchDatabase {
    TwoObjects() : BenchDatabase(buildObjects) {}
    void clearRows(qint64 idNet) {
        QSqlQuery q(dm->ConnectionDB());
        q.prepare("DELETE FROM k_kvr WHERE id_net=?");
        q.addBindValue(idNet);
        if (!q.exec()) qFatal("reset: %s", qPrintable(q.lastError().text()));
    }
    int rows(qint64 idNet) {
        QSqlQuery q(dm->ConnectionDB());
        q.prepare("SELECT COUNT(*) FROM k_kvr WHERE id_net=?");
        q.addBindValue(idNet);
        return q.exec() && q.next() ? q.value(0).toInt() : -1;
    }
    void makeCurrent(qint64 idNet) {
        if (!dm->Q_Net->Locate("id_net", idNet)) qFatal("no object %lld", idNet);
    }
};

TwoObjects* theObjects = nullptr;

std::string text(const QString& s) {
    return s.toStdString();
}

// ---------------------------------------------------------------- the floor

struct FloorObject {
    std::string consoleCode;
    bool callBack = false;
    std::string flbv, flpo;
};

FloorObject readObject(sqlite3* db, qint64 idNet) {
    Statement q(db, "SELECT p_kvr, l_obv, flbv, flpo FROM k_net WHERE id_net=?");
    q.Bind(1, idNet);
    FloorObject o;
    if (q.Step()) o = {q.Text(0), q.Int(1) != 0, q.Text(2), q.Text(3)};
    q.Run();
    return o;
}

struct FloorEntrance {
    qint64 idPod;
    int first, last;
};

std::vector<FloorEntrance> readEntrances(sqlite3* db, qint64 idNet) {
    Statement q(db, "SELECT id_pod, n1kvr, npkvr FROM k_pod WHERE id_net=? ORDER BY id_pod");
    q.Bind(1, idNet);
    std::vector<FloorEntrance> out;
    while (q.Step()) out.push_back({q.Int(0), int(q.Int(1)), int(q.Int(2))});
    return out;
}

// The entrances' counts and the object's state, as a run ends.
void writeCounts(sqlite3* db, qint64 idNet, const std::map<qint64, int>& counts) {
    Statement count(db, "UPDATE k_pod SET v_kvr=? WHERE id_pod=?");
    for (const auto& [idPod, n] : counts) count.Bind(1, n).Bind(2, idPod).Run();
    Statement state(db, "UPDATE k_net SET st_net=? WHERE id_net=?");
    state.Bind(1, std::string("сохранено")).Bind(2, idNet).Run();
}

// An object without rows: every apartment and each entrance's console
// handset appended.
void floorNewRows(sqlite3* db, qint64 idNet) {
    ExecRaw(db, "BEGIN");
    const FloorObject object = readObject(db, idNet);
    const auto flags =
        NewApartmentFlags(QString::fromStdString(object.flbv), QString::fromStdString(object.flpo));
    std::string columns =
        "id_net, id_pod, p_nom, n_kvr, p_kvr, x_key, st_kvr, l_trub, m_obr, p_pk, f_k03, l_vid,"
        " l_del, mtdy, mtnt";
    std::string values = "?, ?, ?, ?, ?, ?, ?, ?, ?, 0, 1, 0, 0, -1, -1";
    for (const auto& flag : flags) {
        columns += ", " + text(flag.first);
        values += flag.second ? ", 1" : ", 0";
    }
    Statement insert(db, ("INSERT INTO k_kvr (" + columns + ") VALUES (" + values + ")").c_str());
    std::map<qint64, int> counts;
    for (const FloorEntrance& e : readEntrances(db, idNet)) {
        int pos = 1;
        for (int n = e.first; n <= e.last; ++n, ++pos) {
            const std::string number = std::to_string(n);
            insert.Bind(1, idNet).Bind(2, e.idPod).Bind(3, pos).Bind(4, number).Bind(5, number);
            insert.Bind(6, kKeys).Bind(7, std::string("нет")).Bind(8, 0).Bind(9, object.callBack);
            insert.Run();
        }
        insert.Bind(1, idNet).Bind(2, e.idPod).Bind(3, pos).Bind(4, std::string("пост охраны"));
        insert.Bind(5, object.consoleCode).Bind(6, 0).Bind(7, std::string("СПО")).Bind(8, 1);
        insert.Bind(9, object.callBack).Run();
        counts[e.idPod] = e.last - e.first + 1;
    }
    writeCounts(db, idNet, counts);
    ExecRaw(db, "COMMIT");
}

// An object with its rows: each read and written again with its number.
void floorRenumberRows(sqlite3* db, qint64 idNet) {
    ExecRaw(db, "BEGIN");
    Statement rows(db,
                   "SELECT id_kvr, id_pod, p_nom, l_trub FROM k_kvr WHERE id_net=?"
                   " ORDER BY id_pod, p_nom");
    Statement update(db,
                     "UPDATE k_kvr SET p_nom=?, n_kvr=?, p_kvr=?, st_kvr=?, x_key=?, l_del=0"
                     " WHERE id_kvr=?");
    std::map<qint64, int> counts;
    std::map<qint64, int> first;
    for (const FloorEntrance& e : readEntrances(db, idNet)) first[e.idPod] = e.first;
    rows.Bind(1, idNet);
    while (rows.Step()) {
        const qint64 idPod = rows.Int(1);
        const int pNom = int(rows.Int(2));
        if (rows.Int(3)) {
            update.Bind(1, pNom).Bind(2, std::string("пост охраны")).Bind(3, std::string("000"));
            update.Bind(4, std::string("СПО")).Bind(5, 0);
        } else {
            const std::string number = std::to_string(first[idPod] + pNom - 1);
            update.Bind(1, pNom).Bind(2, number).Bind(3, number).Bind(4, std::string("нет"));
            update.Bind(5, kKeys);
            ++counts[idPod];
        }
        update.Bind(6, rows.Int(0)).Run();
    }
    writeCounts(db, idNet, counts);
    ExecRaw(db, "COMMIT");
}

// ---------------------------------------------------------------- the runs

// The generation of the current object, in milliseconds.
double generate(ApartmentGenerator& generator, benchmark::State& state) {
    GenerationResult result = GenerationResult::Failed;
    const double ms = TimeMs([&] { result = generator.Run(kKeys); });
    if (result != GenerationResult::Done) state.SkipWithError("not generated");
    return ms;
}

// Every cell of every row of a dataset, as the record panels show them.
void readAllRows(Dataset* ds) {
    for (int row = 0; row < ds->RecordCount(); ++row)
        for (int f = 0; f < ds->FieldCount(); ++f) benchmark::DoNotOptimize(ds->Value(row, f));
}

// What the entrance screen reads to show itself after a run: the object's
// name and address, the house and entrance panels, the totals.
void showEntranceScreen() {
    TFDM* dm = theObjects->dm.get();
    for (const char* field : {"adres", "ident", "l_pok"})
        benchmark::DoNotOptimize(dm->Q_Net->FieldByName(QLatin1String(field)).Value());
    readAllRows(dm->Q_Dom);
    readAllRows(dm->Q_DPd);
    const qint64 idDom = dm->Q_Dom->FieldByName(QStringLiteral("id_dom")).AsLargeInt();
    const ApartmentTotals totals = EntranceScreen().Totals(idDom);
    if (totals.object.isEmpty()) qFatal("no totals shown");
}

// The datasets left to read on first use, read as another screen would:
// milliseconds.
double readLeftForFirstUse() {
    return TimeMs([] {
        for (Dataset* ds : theObjects->dm->AllDatasets())
            if (ds->IsStale()) readAllRows(ds);
    });
}

// One object generated, the entrance screen shown, and its floor written,
// from no rows or over its rows; later takes the time of the reads left for
// first use.
void runOn(benchmark::State& state, qint64 idNet, bool fromEmpty, FloorRatio& ratio,
           double* programMs, std::vector<double>& later) {
    ApartmentGenerator generator;
    sqlite3* db = HandleOf(theObjects->dm->ConnectionDB());
    theObjects->makeCurrent(idNet);
    if (fromEmpty) theObjects->clearRows(idNet);
    const double measured = generate(generator, state) + TimeMs(showEntranceScreen);
    later.push_back(readLeftForFirstUse());
    const int expected = theObjects->rows(idNet);
    if (fromEmpty) theObjects->clearRows(idNet);
    const double floor =
        TimeMs([&] { fromEmpty ? floorNewRows(db, idNet) : floorRenumberRows(db, idNet); });
    if (theObjects->rows(idNet) != expected) state.SkipWithError("the floor wrote other rows");
    ratio.Add(measured, floor);
    *programMs += measured;
}

void run(benchmark::State& state, bool fromEmpty) {
    YesAnswers answers;
    {
        ApartmentGenerator first;  // every object has its rows to begin with
        for (qint64 idNet : {smallObject, largeObject}) {
            theObjects->makeCurrent(idNet);
            if (theObjects->rows(idNet) == 0 && first.Run(kKeys) != GenerationResult::Done)
                state.SkipWithError("not generated");
        }
    }
    const std::string what = fromEmpty ? "new" : "again";
    FloorRatio size(what + "_2020_rows", "one prepared INSERT per row, one transaction");
    FloorRatio twice(what + "_4040_rows", "one prepared INSERT per row, one transaction");
    if (!fromEmpty) {
        size = FloorRatio(what + "_2020_rows", "one SELECT, one prepared UPDATE per row");
        twice = FloorRatio(what + "_4040_rows", "one SELECT, one prepared UPDATE per row");
    }
    std::vector<double> laterSmall, laterLarge;
    for (auto _ : state) {
        double programMs = 0;
        runOn(state, smallObject, fromEmpty, size, &programMs, laterSmall);
        runOn(state, largeObject, fromEmpty, twice, &programMs, laterLarge);
        state.SetIterationTime(programMs / 1000);
    }
    ReportSizes(state, what, size, twice);
    // The lists read on first use after the larger run, on another screen.
    std::sort(laterLarge.begin(), laterLarge.end());
    const double later = laterLarge.empty() ? 0 : laterLarge[laterLarge.size() / 2];
    if (later <= 0) state.SkipWithError("no list was left to read on first use");
    state.counters[what + "_4040_rows_first_use_ms"] = later;
    std::printf("%s_4040_rows: then, on first use, the lists of the whole object: %.2f ms\n",
                what.c_str(), later);
}

void BM_GenerateNewObject(benchmark::State& state) {
    run(state, true);
}
BENCHMARK(BM_GenerateNewObject)->Unit(benchmark::kMillisecond)->Iterations(7)->UseManualTime();

void BM_RegenerateObject(benchmark::State& state) {
    run(state, false);
}
BENCHMARK(BM_RegenerateObject)->Unit(benchmark::kMillisecond)->Iterations(7)->UseManualTime();

}  // namespace

int main(int argc, char** argv) {
    return RunBenchmarks<TwoObjects>(argc, argv, theObjects,
                                     [] { return std::make_unique<TwoObjects>(); });
}
