// Times the key register and the key imports on an object that already
// holds 20,000 keys (10 entrances of 150 apartments with 13 keys each and
// 50 common keys, a switch and an entrance panel each), every figure against
// a floor measured in the same run:
// - BM_PourBekuDump: a БЭКУ dump of 64 KiB (15,722 keys) and its first half
//   poured into the common keys of an entrance, as "Залить ключи" does.
//   Floor: the bare SQLite C API: the entrance's codes read by one SELECT,
//   each new key written by one prepared INSERT, the entrance's counters and
//   its panels' marks by one UPDATE each, in one transaction.
// - BM_EnterPanelFileKeys: the keys of an entrance panel's file (1,950
//   apartment keys, 50 common keys) entered into a register that lost them,
//   as "Внести ключи" does. Floor: the bare C API: the panel's apartments and
//   keys read by one SELECT each, each key written by one prepared INSERT,
//   each apartment's counters, the entrance's and the panels' marks by one
//   UPDATE each, in one transaction.
// - BM_ConfirmKeys: 1,000 keys confirmed one after another in the apartment
//   mode, each followed by the counters the keys screen refreshes; BM_CountKeys:
//   the counters alone. Floor: a raw replay of the statements they ran.
// - BM_ReadBekuDump: the dump read and parsed with its parse console. Floor:
//   the file read and its keys taken out by a plain loop over the bytes.
//   bench_keys [--benchmark_filter=...]

#include "BenchSupport.h"
#include "Floors.h"
#include "foundation/BitAndStr.h"
#include "keys/BekuDumpFile.h"
#include "keys/ConfigKeyEntry.h"
#include "keys/DumpFileReader.h"
#include "keys/DumpKeyPour.h"
#include "keys/KeyRegister.h"

#include <QDate>
#include <QFile>
#include <QTemporaryDir>

#include <map>
#include <unordered_map>
#include <unordered_set>

namespace {

constexpr int kEntrances = 10;
constexpr int kApartments = 150;       // per entrance: 1,500 in all
constexpr int kKeysPerApartment = 13;  // 19,500 apartment keys
constexpr int kCommonKeys = 50;        // per entrance: 500 common keys
constexpr int kAdded = 1000;           // keys confirmed per run
constexpr qint64 kIdNet = 1;
constexpr qint64 kPouredEntrance = 1;  // id_pod of the first entrance
constexpr qint64 kPanel = 1;           // id_bv of its entrance panel
constexpr int kPanelNet = 65;

QString keyNumber(qint64 n) {
    return QStringLiteral("%1").arg(n, 12, 16, QLatin1Char('0')).toUpper();
}

std::string today() {
    return QDate::currentDate().toString(QStringLiteral("dd.MM.yyyy")).toStdString();
}

// One object: entrances with a switch and an entrance panel each,
// apartments planned for one key more than they hold, and common keys.
void buildObject(QSqlDatabase& db) {
    Inserter(db,
             "INSERT INTO k_net (id_net, ident, id_nom, v_pod, v_kal, v_key, st_net)"
             " VALUES (1, 'Объект', 1, ?, 0, ?, 'закрыто')")({kEntrances, kKeysPerApartment + 1});
    Inserter dom(db, "INSERT INTO k_dom (id_net, house, kod_d) VALUES (1, '1', '1')");
    const qint64 idDom = dom({});
    Inserter pod(db,
                 "INSERT INTO k_pod (id_pod, id_net, id_dom, n_pod, v_kvr, o_key, o_rky)"
                 " VALUES (?, 1, ?, ?, ?, ?, ?)");
    Inserter kvr(db,
                 "INSERT INTO k_kvr (id_net, id_pod, p_nom, n_kvr, p_kvr, x_key, y_key)"
                 " VALUES (1, ?, ?, ?, ?, ?, ?)");
    Inserter key(db,
                 "INSERT INTO k_key (un_key, id_pod, bv_key, id_kvr, id_net, l_ob, s_met, status)"
                 " VALUES (?, ?, ?, ?, 1, ?, '0001', 'АРМ 01.02.2024')");
    Inserter pk(
        db, "INSERT INTO k_pk (id_pk, id_pod, id_net, n_net, type_k) VALUES (?, ?, 1, ?, 'КМ')");
    Inserter mpk(db,
                 "INSERT INTO m_pk (id_net, n_pk, n_pod, n_net, id_pk, id_dom)"
                 " VALUES (1, ?, ?, ?, ?, ?)");
    Inserter bv(db,
                "INSERT INTO k_bv (id_bv, id_net, n_net, n_nt0, n_bv, bv_type, kf_pr)"
                " VALUES (?, 1, ?, ?, 'БВ подъезда', 0, 3)");
    Inserter mbv(db,
                 "INSERT INTO m_bv (id_net, n_bv, n_pk, bv_type, n_net, n_nt0, plus, id_bv, tract)"
                 " VALUES (1, 'БВ подъезда', ?, 0, ?, ?, 1, ?, 1)");
    qint64 keyNo = 0x100000;
    for (int e = 1; e <= kEntrances; ++e) {
        pod({e, idDom, e, kApartments, kCommonKeys, kCommonKeys});
        for (int a = 1; a <= kApartments; ++a) {
            const QString n = QString::number((e - 1) * kApartments + a);
            const qint64 idKvr = kvr({e, a, n, n, kKeysPerApartment + 1, kKeysPerApartment});
            for (int k = 0; k < kKeysPerApartment; ++k) {
                const QString number = keyNumber(++keyNo);
                key({number, e, number.right(6), idKvr, 0});
            }
        }
        for (int k = 0; k < kCommonKeys; ++k) {
            const QString number = keyNumber(++keyNo);
            key({number, e, number.right(6), -1, 1});
        }
        pk({e, e, e});
        mpk({e, e, e, e, idDom});
        bv({e, 64 + e, e});
        mbv({e, 64 + e, e, e});
    }
}

// The object, and the way back to it after a run.
struct KeyObject : BenchDatabase {
    KeyObject() : BenchDatabase(buildObject) {
        exec("CREATE TEMP TABLE kept_keys AS SELECT rowid AS r, * FROM k_key");
        exec("CREATE TEMP TABLE kept_counts AS SELECT id_kvr, x_key, y_key FROM k_kvr");
    }
    void exec(const QString& sql) {
        QSqlQuery q(dm->ConnectionDB());
        if (!q.exec(sql)) qFatal("%s: %s", qPrintable(sql), qPrintable(q.lastError().text()));
    }
    // The 20,000 keys as they were built, every counter and mark as it was.
    void reset() {
        exec("DELETE FROM k_key");
        exec(
            "INSERT INTO k_key (rowid, un_key, id_pod, bv_key, id_kvr, id_net, l_ob, s_met,"
            " status, l_del) SELECT r, un_key, id_pod, bv_key, id_kvr, id_net, l_ob, s_met,"
            " status, l_del FROM kept_keys");
        exec(
            "UPDATE k_kvr SET x_key=(SELECT x_key FROM kept_counts c WHERE c.id_kvr=k_kvr.id_kvr),"
            " y_key=(SELECT y_key FROM kept_counts c WHERE c.id_kvr=k_kvr.id_kvr)");
        exec(QStringLiteral("UPDATE k_pod SET o_key=%1, o_rky=%1").arg(kCommonKeys));
        exec("UPDATE k_bv SET kf_pr=3");
        reopen();
    }
    // The entrance's keys gone, as when its register was lost.
    void loseEntranceKeys() {
        reset();
        exec(QStringLiteral("DELETE FROM k_key WHERE id_pod=%1").arg(kPouredEntrance));
        exec(QStringLiteral("UPDATE k_kvr SET y_key=0 WHERE id_pod=%1").arg(kPouredEntrance));
        exec(QStringLiteral("UPDATE k_pod SET o_rky=0 WHERE id_pod=%1").arg(kPouredEntrance));
        reopen();
    }
    void reopen() {
        if (!dm->ReopenApartments() || !dm->ReopenKeys() || !dm->ReopenCallBlocks())
            qFatal("reopen: %s", qPrintable(dm->LastError()));
        dm->QForKey->First();
    }
    int count(const QString& sql) {
        QSqlQuery q(dm->ConnectionDB());
        return q.exec(sql) && q.next() ? q.value(0).toInt() : -1;
    }
};

KeyObject* theObject = nullptr;

// ---------------------------------------------------------------- the dump

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

// The keys of a dump taken out by a plain loop over its bytes.
std::vector<std::string> plainBekuKeys(const QByteArray& bytes) {
    std::vector<std::string> keys;
    if (bytes.size() < 32) return keys;
    const int width = (quint8(bytes[24]) & 0x10) ? 3 : 4;
    const int page = 2 + 7 * width + 2;
    char text[9];
    for (qsizetype at = 32; at + page <= bytes.size(); at += page) {
        const quint8 mask = quint8(bytes[at]);
        for (int j = 0; j < 7; ++j) {
            if (mask & (1 << j)) continue;
            const char* slot = bytes.constData() + at + 2 + j * width;
            for (int b = 0; b < width; ++b)
                std::snprintf(text + 2 * b, 3, "%02X", quint8(slot[width - 1 - b]));
            keys.emplace_back(text, size_t(2 * width));
        }
    }
    return keys;
}

// ---------------------------------------------------------------- pour floor

// The marks of the panels wired to the entrance's switch, as a change of its
// keys advances them.
void markPanelsOfEntrance(sqlite3* db, qint64 idPod) {
    Statement marks(db,
                    "UPDATE k_bv SET kf_pr = CASE kf_pr WHEN 1 THEN 2 WHEN 3 THEN 4 WHEN 5 THEN 4"
                    " ELSE kf_pr END WHERE id_net=? AND id_bv IN (SELECT m.id_bv FROM m_bv m,"
                    " m_pk p, k_pk k WHERE m.n_pk=p.n_pk AND m.id_net=p.id_net AND"
                    " p.id_pk=k.id_pk AND m.plus=1 AND k.id_pod=?)");
    marks.Bind(1, kIdNet).Bind(2, idPod).Run();
}

void countCommonKeys(sqlite3* db, qint64 idPod) {
    Statement counters(db,
                       "UPDATE k_pod SET o_rky=(SELECT COUNT(*) FROM k_key WHERE id_kvr=-1 AND"
                       " id_pod=?1), o_key=MAX(o_key, (SELECT COUNT(*) FROM k_key WHERE"
                       " id_kvr=-1 AND id_pod=?1)) WHERE id_pod=?1");
    counters.Bind(1, idPod).Run();
}

int pourFloor(sqlite3* db, const std::vector<std::string>& keys) {
    ExecRaw(db, "BEGIN");
    std::unordered_set<std::string> taken;
    Statement codes(db, "SELECT bv_key FROM k_key WHERE id_kvr > -2 AND id_pod=?");
    codes.Bind(1, kPouredEntrance);
    while (codes.Step()) taken.insert(codes.Text(0));
    Statement insert(db,
                     "INSERT INTO k_key (un_key, id_pod, bv_key, id_kvr, id_net, l_ob, s_met,"
                     " status) VALUES (?, ?, ?, -1, ?, 1, ?, ?)");
    const std::string status = "БЭКУ об " + today();
    int entered = 0;
    char label[12];
    for (const std::string& key : keys) {
        if (key.size() < 6) continue;
        const std::string code = key.substr(key.size() - 6);
        if (code == "FFFFFF" || !taken.insert(code).second) continue;
        std::snprintf(label, sizeof label, "%04d", ++entered);
        insert.Bind(1, std::string(12 - key.size(), '0') + key).Bind(2, kPouredEntrance);
        insert.Bind(3, code).Bind(4, kIdNet).Bind(5, std::string(label)).Bind(6, status).Run();
    }
    if (entered > 0) {
        countCommonKeys(db, kPouredEntrance);
        markPanelsOfEntrance(db, kPouredEntrance);
    }
    ExecRaw(db, "COMMIT");
    return entered;
}

// ---------------------------------------------------------------- the pour

void BM_PourBekuDump(benchmark::State& state) {
    const QStringList all = ReadBekuDump(bekuDump(), false).keys;
    const QStringList half = all.mid(0, all.size() / 2);
    std::vector<std::string> plainAll, plainHalf;
    for (const QString& k : all) plainAll.push_back(k.toStdString());
    plainHalf.assign(plainAll.begin(), plainAll.begin() + half.size());
    sqlite3* db = HandleOf(theObject->dm->ConnectionDB());
    FloorRatio halfRatio("pour_7861_keys", "one SELECT, one prepared INSERT per key");
    FloorRatio allRatio("pour_15722_keys", "one SELECT, one prepared INSERT per key");
    auto pour = [&](const QStringList& keys, const std::vector<std::string>& plain,
                    FloorRatio& ratio) {
        theObject->reset();
        int entered = 0;
        const double measured =
            TimeMs([&] { entered = PourBekuKeys(*theObject->dm, kPouredEntrance, keys).entered; });
        theObject->reset();
        int floorEntered = 0;
        const double floor = TimeMs([&] { floorEntered = pourFloor(db, plain); });
        if (entered == 0 || entered != floorEntered)
            state.SkipWithError("the pour and its floor entered different keys");
        ratio.Add(measured, floor);
        return measured;
    };
    for (auto _ : state) {
        const double ms = pour(half, plainHalf, halfRatio) + pour(all, plainAll, allRatio);
        state.SetIterationTime(ms / 1000);
    }
    theObject->reset();
    ReportSizes(state, "pour", halfRatio, allRatio);
}
BENCHMARK(BM_PourBekuDump)->Unit(benchmark::kMillisecond)->Iterations(5)->UseManualTime();

// ---------------------------------------------------------------- a panel file

// The keys a file of the entrance panel holds: each apartment's keys at its
// position in the panel's walk, and the entrance's common keys.
struct PanelFile {
    Keys5List keys5;
    Keys6List keys6;
    Keys7List keys7;
};

PanelFile panelFileKeys() {
    PanelFile file;
    QSqlQuery q(theObject->dm->ConnectionDB());
    q.exec(QStringLiteral("SELECT v.p_nom, y.bv_key FROM k_key y JOIN k_kvr v ON y.id_kvr=v.id_kvr"
                          " WHERE v.id_pod=%1 ORDER BY v.p_nom, y.rowid")
               .arg(kPouredEntrance));
    while (q.next())
        file.keys5.rows << Keys5Row{q.value(0).toString(), q.value(1).toString(), MainSlotMark()};
    file.keys5.kolSl5 = file.keys5.rows.size();
    q.exec(QStringLiteral("SELECT bv_key FROM k_key WHERE id_kvr=-1 AND id_pod=%1 ORDER BY rowid")
               .arg(kPouredEntrance));
    while (q.next()) file.keys7.keys << q.value(0).toString();
    file.keys7.kolSl7 = file.keys7.keys.size();
    return file;
}

struct FloorApartment {
    qint64 id;
    int quota, keys;
};

// Each apartment's counters as the data module keeps them after a post.
void countApartmentKeys(sqlite3* db, const std::vector<FloorApartment>& apartments,
                        int objectQuota) {
    Statement counters(db, "UPDATE k_kvr SET x_key=?, y_key=? WHERE id_kvr=?");
    for (const FloorApartment& a : apartments) {
        const int quota =
            a.keys >= a.quota ? a.keys : (a.keys < objectQuota ? objectQuota : a.quota);
        counters.Bind(1, quota).Bind(2, a.keys).Bind(3, a.id).Run();
    }
}

int entryFloor(sqlite3* db, const PanelFile& file) {
    ExecRaw(db, "BEGIN");
    Statement walk(db, "SELECT id_kvr, x_key, y_key FROM k_kvr WHERE id_pod=? ORDER BY p_nom");
    std::vector<FloorApartment> apartments;
    walk.Bind(1, kPouredEntrance);
    while (walk.Step()) apartments.push_back({walk.Int(0), int(walk.Int(1)), int(walk.Int(2))});
    // The keys the entrance holds: (owner, code) -> rowid and status.
    std::map<std::pair<qint64, std::string>, std::pair<qint64, std::string>> held;
    Statement keys(
        db, "SELECT id_kvr, bv_key, rowid, status FROM k_key WHERE id_pod=? AND id_kvr > -2");
    keys.Bind(1, kPouredEntrance);
    while (keys.Step()) held[{keys.Int(0), keys.Text(1)}] = {keys.Int(2), keys.Text(3)};
    Statement insert(db,
                     "INSERT INTO k_key (un_key, id_pod, bv_key, id_kvr, id_net, l_ob, status)"
                     " VALUES (?, ?, ?, ?, ?, ?, ?)");
    Statement confirm(db, "UPDATE k_key SET status=? WHERE rowid=?");
    const std::string date = today();
    int entered = 0;
    auto store = [&](qint64 owner, const std::string& code, const std::string& mark) {
        const auto at = held.find({owner, code});
        if (at != held.end()) {
            const bool arm = at->second.second.rfind("АРМ", 0) == 0;
            confirm.Bind(1, (arm ? "АРМ+CNF " : "CNF ") + date).Bind(2, at->second.first).Run();
            return;
        }
        insert.Bind(1, "000000" + code).Bind(2, kPouredEntrance).Bind(3, code).Bind(4, owner);
        insert.Bind(5, kIdNet).Bind(6, owner < 0).Bind(7, mark + date).Run();
        held[{owner, code}] = {sqlite3_last_insert_rowid(db), mark + date};
        ++entered;
    };
    for (const Keys5Row& row : file.keys5.rows) {
        FloorApartment& a = apartments[size_t(row.apartment.toInt() - 1)];
        store(a.id, row.key.toStdString(), "CNF ");
        ++a.keys;
    }
    for (const QString& key : file.keys7.keys) store(-1, key.toStdString(), "CNF 7\u0441 o ");
    countApartmentKeys(db, apartments, kKeysPerApartment + 1);
    countCommonKeys(db, kPouredEntrance);
    markPanelsOfEntrance(db, kPouredEntrance);
    ExecRaw(db, "COMMIT");
    return entered;
}

void BM_EnterPanelFileKeys(benchmark::State& state) {
    TFDM& dm = *theObject->dm;
    theObject->reset();
    const PanelFile file = panelFileKeys();
    const ConfigFileIdent ident{kIdNet, 1, kPanel, 0, kPanelNet};
    sqlite3* db = HandleOf(dm.ConnectionDB());
    FloorRatio ratio("entry_2000_keys", "two SELECTs, one prepared INSERT per key");
    for (auto _ : state) {
        theObject->loseEntranceKeys();
        ConfigKeyEntryResult r;
        const double measured = TimeMs([&] {
            r = EnterConfigKeys(dm, ident, file.keys5, file.keys6, file.keys7, {true, true}, 63);
        });
        theObject->loseEntranceKeys();
        int floorEntered = 0;
        const double floor = TimeMs([&] { floorEntered = entryFloor(db, file); });
        if (r.entered != int(file.keys5.rows.size() + file.keys7.keys.size()) ||
            floorEntered != r.entered)
            state.SkipWithError("the entry and its floor entered different keys");
        ratio.Add(measured, floor);
        state.SetIterationTime(measured / 1000);
    }
    theObject->reset();
    ratio.Report(state);
}
BENCHMARK(BM_EnterPanelFileKeys)->Unit(benchmark::kMillisecond)->Iterations(5)->UseManualTime();

// ---------------------------------------------------------------- the key screen

void BM_ConfirmKeys(benchmark::State& state) {
    TFDM& dm = *theObject->dm;
    KeyRegister keys(dm);
    keys.SetMode(KeyGroup::Apartment);
    keys.SetOptions(KeyOptions{});
    FloorRatio ratio("confirm_1000_keys", "raw replay of the same statements");
    qint64 number = 0xBE0000000000;
    for (auto _ : state) {
        theObject->reset();
        int stored = 0;
        StatementLog log(dm.ConnectionDB());
        const double measured = TimeMs([&] {
            for (int i = 0; i < kAdded; ++i) {
                const ConfirmResult r = keys.Confirm(keyNumber(++number), QString());
                if (r.outcome == ConfirmOutcome::Stored) ++stored;
                benchmark::DoNotOptimize(keys.CountKeys());
            }
        });
        log.Stop();
        theObject->reset();
        ratio.Add(measured, log.Replay());
        if (stored != kAdded) state.SkipWithError("a key was not stored");
        state.SetIterationTime(measured / 1000);
    }
    theObject->reset();
    state.counters["ms_per_key"] = ratio.MeasuredMs() / kAdded;
    ratio.Report(state);
}
BENCHMARK(BM_ConfirmKeys)->Unit(benchmark::kMillisecond)->Iterations(3)->UseManualTime();

// The counters alone, as every confirmation and every move in a grid
// refreshes them.
void BM_CountKeys(benchmark::State& state) {
    TFDM& dm = *theObject->dm;
    KeyRegister keys(dm);
    keys.SetMode(KeyGroup::Apartment);
    dm.QForKey->First();
    FloorRatio ratio("count_keys", "raw replay of the same statements");
    for (auto _ : state) {
        StatementLog log(dm.ConnectionDB());
        const double measured = TimeMs([&] { benchmark::DoNotOptimize(keys.CountKeys()); });
        log.Stop();
        ratio.Add(measured, log.Replay());
        state.SetIterationTime(measured / 1000);
    }
    ratio.Report(state);
}
BENCHMARK(BM_CountKeys)->Unit(benchmark::kMicrosecond)->Iterations(200)->UseManualTime();

// ---------------------------------------------------------------- reading a dump

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
    FloorRatio ratio("read_dump", "the file read, its keys taken by a plain loop");
    qint64 keys = 0, lines = 0;
    for (auto _ : state) {
        BekuDump dump;
        const double measured = TimeMs([&] {
            QByteArray bytes;
            ReadDumpFileBytes(path, bytes, nullptr);
            dump = ReadBekuDump(bytes, true);
            const QString console = dump.console.join(QLatin1Char('\n'));
            benchmark::DoNotOptimize(console.size());
        });
        size_t plainKeys = 0;
        const double floor = TimeMs([&] {
            QFile f(path);
            f.open(QIODevice::ReadOnly);
            plainKeys = plainBekuKeys(f.readAll()).size();
        });
        keys = dump.keys.size();
        lines = dump.console.size();
        if (plainKeys != size_t(keys)) state.SkipWithError("the floor read other keys");
        ratio.Add(measured, floor);
        state.SetIterationTime(measured / 1000);
    }
    state.counters["keys"] = double(keys);
    state.counters["console_lines"] = double(lines);
    ratio.Report(state);
}
BENCHMARK(BM_ReadBekuDump)->Unit(benchmark::kMillisecond)->Iterations(20)->UseManualTime();

}  // namespace

int main(int argc, char** argv) {
    return RunBenchmarks<KeyObject>(argc, argv, theObject,
                                    [] { return std::make_unique<KeyObject>(); });
}
