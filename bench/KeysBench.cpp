// Times the key register on an object that already holds 20,000 keys: 1,000
// keys confirmed one after another in the apartment mode, each followed by the
// counters the keys screen refreshes, as a reader feeding the screen does.
// Also the reading of a 64 KiB БЭКУ dump with its parse console, as the
// editor's tab reads one.
//   bench_keys [--benchmark_filter=...]

#include <QElapsedTimer>

#include "BenchSupport.h"
#include "keys/BekuDumpFile.h"
#include "keys/DumpFileReader.h"
#include "keys/KeyRegister.h"

#include <QFile>
#include <QTemporaryDir>

namespace {

constexpr int kEntrances = 10;
constexpr int kApartments = 150;       // per entrance: 1,500 in all
constexpr int kKeysPerApartment = 13;  // 19,500 apartment keys
constexpr int kCommonKeys = 50;        // per entrance: 500 common keys
constexpr int kAdded = 1000;           // keys confirmed per run

QString keyNumber(qint64 n) {
    return QStringLiteral("%1").arg(n, 12, 16, QLatin1Char('0')).toUpper();
}

// One object: entrances with a switch each, apartments planned for one key
// more than they hold, and common keys.
void buildObject(QSqlDatabase& db) {
    Inserter net(db,
                 "INSERT INTO k_net (ident, v_pod, v_kal, v_key, st_net)"
                 " VALUES ('Объект', ?, 0, ?, 'закрыто')");
    const qint64 idNet = net({kEntrances, kKeysPerApartment + 1});
    Inserter dom(db, "INSERT INTO k_dom (id_net, house, kod_d) VALUES (?, '1', '1')");
    const qint64 idDom = dom({idNet});
    Inserter pod(db,
                 "INSERT INTO k_pod (id_net, id_dom, n_pod, v_kvr, o_key, o_rky)"
                 " VALUES (?, ?, ?, ?, ?, ?)");
    Inserter kvr(db,
                 "INSERT INTO k_kvr (id_net, id_pod, p_nom, n_kvr, p_kvr, x_key, y_key)"
                 " VALUES (?, ?, ?, ?, ?, ?, ?)");
    Inserter key(db,
                 "INSERT INTO k_key (un_key, id_pod, bv_key, id_kvr, id_net, l_ob, s_met)"
                 " VALUES (?, ?, ?, ?, ?, ?, '0001')");
    Inserter pk(db, "INSERT INTO k_pk (id_pod, id_net, n_net, type_k) VALUES (?, ?, ?, 'КМ')");
    Inserter mpk(db,
                 "INSERT INTO m_pk (id_net, n_pk, n_pod, n_net, id_pk, id_dom)"
                 " VALUES (?, ?, ?, ?, ?, ?)");
    qint64 keyNo = 0x100000;
    for (int e = 1; e <= kEntrances; ++e) {
        const qint64 idPod = pod({idNet, idDom, e, kApartments, kCommonKeys, kCommonKeys});
        for (int a = 1; a <= kApartments; ++a) {
            const QString n = QString::number((e - 1) * kApartments + a);
            const qint64 idKvr =
                kvr({idNet, idPod, a, n, n, kKeysPerApartment + 1, kKeysPerApartment});
            for (int k = 0; k < kKeysPerApartment; ++k) {
                const QString number = keyNumber(++keyNo);
                key({number, idPod, number.right(6), idKvr, idNet, 0});
            }
        }
        for (int k = 0; k < kCommonKeys; ++k) {
            const QString number = keyNumber(++keyNo);
            key({number, idPod, number.right(6), -1, idNet, 1});
        }
        const qint64 idPk = pk({idPod, idNet, e});
        mpk({idNet, e, e, e, idPk, idDom});
    }
}

// The object, and the way back to it after a run.
struct KeyObject : BenchDatabase {
    KeyObject() : BenchDatabase(buildObject) {}
    // Takes the added keys out again, so every run starts from 20,000 keys.
    void reset() {
        QSqlQuery q(dm->ConnectionDB());
        if (!q.exec("DELETE FROM k_key WHERE un_key LIKE 'BE%'") ||
            !q.exec(QStringLiteral("UPDATE k_kvr SET x_key=%1, y_key=%2")
                        .arg(kKeysPerApartment + 1)
                        .arg(kKeysPerApartment)))
            qFatal("reset: %s", qPrintable(q.lastError().text()));
        if (!dm->ReopenKeys()) qFatal("reopen: %s", qPrintable(dm->LastError()));
        dm->QForKey->First();
    }
};

KeyObject* theObject = nullptr;

void BM_ConfirmKeys(benchmark::State& state) {
    TFDM& dm = *theObject->dm;
    KeyRegister keys(dm);
    keys.SetMode(KeyGroup::Apartment);
    keys.SetOptions(KeyOptions{});
    QSqlQuery count(dm.ConnectionDB());
    count.exec("SELECT COUNT(*) FROM k_key");
    count.next();
    state.counters["keys_before"] = count.value(0).toDouble();
    qint64 number = 0xBE0000000000;
    int stored = 0;
    qint64 elapsedNs = 0;
    for (auto _ : state) {
        state.PauseTiming();
        theObject->reset();
        state.ResumeTiming();
        QElapsedTimer timer;
        timer.start();
        for (int i = 0; i < kAdded; ++i) {
            const ConfirmResult r = keys.Confirm(keyNumber(++number), QString());
            if (r.outcome == ConfirmOutcome::Stored) ++stored;
            benchmark::DoNotOptimize(keys.CountKeys());
        }
        elapsedNs += timer.nsecsElapsed();
    }
    if (stored != kAdded * int(state.iterations())) state.SkipWithError("a key was not stored");
    const double keysAdded = double(kAdded) * double(state.iterations());
    state.counters["ms_per_key"] = double(elapsedNs) / 1e6 / keysAdded;
}
BENCHMARK(BM_ConfirmKeys)->Unit(benchmark::kMillisecond)->Iterations(3);

// The counters alone, as every confirmation and every move in a grid
// refreshes them.
void BM_CountKeys(benchmark::State& state) {
    TFDM& dm = *theObject->dm;
    KeyRegister keys(dm);
    keys.SetMode(KeyGroup::Apartment);
    dm.QForKey->First();
    for (auto _ : state) benchmark::DoNotOptimize(keys.CountKeys());
}
BENCHMARK(BM_CountKeys)->Unit(benchmark::kMicrosecond);

// A 64 KiB dump of 3-byte keys, every slot but the last of a page holding one.
QByteArray bekuDump() {
    QByteArray dump(32, char(0));
    dump[24] = char(0x10);
    quint32 key = 0x100000;
    while (dump.size() + 25 <= 64 * 1024) {
        dump += char(0x40);  // slot 7 empty
        dump += char(0);
        for (int j = 0; j < 7; ++j, ++key) {
            dump += char(key & 0xFF);
            dump += char((key >> 8) & 0xFF);
            dump += char((key >> 16) & 0xFF);
        }
        dump += QByteArray(2, char(0));
    }
    return dump + QByteArray(64 * 1024 - dump.size(), char(0xFF));
}

// The file read whole, parsed, and its console joined into the text the
// console shows.
void BM_ReadBekuDump(benchmark::State& state) {
    QTemporaryDir dir;
    const QString path = dir.filePath("beku.bin");
    QFile file(path);
    if (!file.open(QIODevice::WriteOnly) || file.write(bekuDump()) != 64 * 1024) {
        state.SkipWithError("no dump file");
        return;
    }
    file.close();
    qint64 keys = 0, lines = 0, elapsedNs = 0;
    for (auto _ : state) {
        QElapsedTimer timer;
        timer.start();
        QByteArray bytes;
        ReadDumpFileBytes(path, bytes, nullptr);
        const BekuDump dump = ReadBekuDump(bytes, true);
        const QString console = dump.console.join(QLatin1Char('\n'));
        benchmark::DoNotOptimize(console.size());
        elapsedNs += timer.nsecsElapsed();
        keys = dump.keys.size();
        lines = dump.console.size();
    }
    state.counters["keys"] = double(keys);
    state.counters["console_lines"] = double(lines);
    state.counters["s_per_dump"] = double(elapsedNs) / 1e9 / double(state.iterations());
}
BENCHMARK(BM_ReadBekuDump)->Unit(benchmark::kMillisecond);

}  // namespace

int main(int argc, char** argv) {
    return RunBenchmarks<KeyObject>(argc, argv, theObject,
                                    [] { return std::make_unique<KeyObject>(); });
}
