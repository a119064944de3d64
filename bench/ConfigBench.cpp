// Times the building of configuration files on two objects of one database,
// the larger twice the smaller: 25 (and 50) switches, each with an entrance
// of 40 apartments (three keys each, three common keys) and the console
// handset, an entrance panel per switch, 13 gates wired to every switch
// (each keeping the keys of two switches and ringing the others) with two
// keys each, and the security-post console. Every file of both objects fits;
// a file not built fails the benchmark.
// - BM_BuildSwitchFilesOfAnObject: every switch's records read and its file
//   built in memory. Floor: a raw replay of the statements it ran.
// - BM_WriteAllFilesOfAnObject: the write screen's "select all" and "Создать
//   файлы конфигурации": every file built, logged and written, and every
//   device's state advanced. Floor: the bare C API reading each table the
//   files come from once, and writing the same bytes into as many files,
//   each durably (written, flushed, renamed, its folder flushed) and followed
//   by its device's state, committed, as the pass keeps them in step.
//   bench_config [--benchmark_filter=...]

#include "BenchSupport.h"
#include "Floors.h"
#include "config/ConfigRepository.h"
#include "config/ConfigWriteScreen.h"
#include "config/SwitchFile.h"

#include <QDir>
#include <QFile>

#include <fcntl.h>
#include <unistd.h>

namespace {

constexpr int kSwitches = 25;  // the smaller object; the larger has twice as many
constexpr int kApartments = 40;
constexpr int kGates = 13;
constexpr int kKeysPerApartment = 3;
constexpr int kCommonKeys = 3;
constexpr qint64 kSmall = 1;  // id_net of the objects
constexpr qint64 kLarge = 2;

// The n-th key of the database as the keys screen stores it.
QVariantList keyRow(int n, qint64 idPod, qint64 idKvr, qint64 idNet) {
    const QString number =
        QStringLiteral("%1").arg(0xB00000 + n, 12, 16, QLatin1Char('0')).toUpper();
    return {number,
            idPod,
            number.right(6),
            idKvr,
            idNet,
            idKvr < 0 ? 1 : 0,
            QStringLiteral("%1").arg(n % 10000, 4, 10, QLatin1Char('0'))};
}

// Row ids of an object's rows: apart by object, so each object's are its own.
struct Ids {
    qint64 idNet;
    int switches;
    qint64 firstPod() const { return idNet * 1000; }
    qint64 firstPanel() const { return idNet * 1000; }
};

class Builder {
  public:
    explicit Builder(QSqlDatabase& db)
        : db_(db),
          pod_(db,
               "INSERT INTO k_pod (id_pod, id_net, id_dom, n_pod, v_dvr, v_kvr)"
               " VALUES (?, ?, ?, ?, 1, ?)"),
          kvr_(db,
               "INSERT INTO k_kvr (id_net, id_pod, p_nom, n_kvr, p_kvr, m_obr, st_kvr, l_trub,"
               " x_key, y_key) VALUES (?, ?, ?, ?, ?, ?, ?, ?, ?, ?)"),
          key_(db,
               "INSERT INTO k_key (un_key, id_pod, bv_key, id_kvr, id_net, l_ob, s_met, status)"
               " VALUES (?, ?, ?, ?, ?, ?, ?, 'АРМ 01.02.2024')"),
          pk_(db,
              "INSERT INTO k_pk (id_pk, id_pod, id_net, id_ke, id_mvv, id_mot, m_vo, m_vb,"
              " n_xl, p_fc, n_net, type_k, n_vid, rsrv) VALUES (?, ?, ?, 1, 1, 2, '11000000',"
              " '11000000', ?, 1, ?, 'Торвин', 2, 1)"),
          mpk_(db,
               "INSERT INTO m_pk (id_net, n_pk, n_pod, n_net, id_pk, id_dom)"
               " VALUES (?, ?, ?, ?, ?, ?)"),
          bv_(db,
              "INSERT INTO k_bv (id_bv, id_net, n_net, n_nt0, n_bv, bv_type, l_use, nrcs, l_pok)"
              " VALUES (?, ?, ?, ?, ?, ?, 1, 1, 1)"),
          mbv_(db,
               "INSERT INTO m_bv (id_net, n_pk, bv_type, n_net, n_nt0, plus, id_bv, tract)"
               " VALUES (?, ?, ?, ?, ?, ?, ?, ?)") {}

    void AddObject(const Ids& o) {
        Inserter(
            db_,
            "INSERT INTO k_net (id_net, ident, id_nom, st_net, l_pok, v_key, p_kvr)"
            " VALUES (?, ?, ?, ?, 1, 3, '900')")({o.idNet, QStringLiteral("Объект %1").arg(o.idNet),
                                                  6 + o.idNet, QStringLiteral("закрыто")});
        Inserter(db_, "INSERT INTO k_dom (id_dom, id_net, house, kod_d) VALUES (?, ?, '1', '1')")(
            {o.idNet, o.idNet});
        for (int e = 1; e <= o.switches; ++e) addEntrance(o, e);
        addPanels(o);
        addConsole(o.idNet);
    }

  private:
    void addEntrance(const Ids& o, int e) {
        const qint64 idPod = o.firstPod() + e;
        pod_({idPod, o.idNet, o.idNet, e, kApartments});
        for (int a = 1; a <= kApartments; ++a) {
            const QString n = QString::number(e * 100 + a);
            const qint64 idKvr = kvr_({o.idNet, idPod, a, n, n, a % 7 == 0, QString(), 0,
                                       kKeysPerApartment, kKeysPerApartment});
            for (int k = 0; k < kKeysPerApartment; ++k)
                key_(keyRow(++keys_, idPod, idKvr, o.idNet));
        }
        for (int k = 0; k < kCommonKeys; ++k) key_(keyRow(++keys_, idPod, -1, o.idNet));
        kvr_({o.idNet, idPod, kApartments + 1, QStringLiteral("пост охраны"), QStringLiteral("900"),
              0, QStringLiteral("СПО"), 1, 0, 0});
        pk_({idPod, idPod, o.idNet, kApartments + 1, e});
        mpk_({o.idNet, e, e, e, idPod, o.idNet});
    }

    // An entrance panel per switch; the gates ring every switch and keep
    // the keys of two of them, so that every file fits.
    void addPanels(const Ids& o) {
        for (int e = 1; e <= o.switches; ++e)
            bv_({o.firstPanel() + e, o.idNet, 63 + e, e - 1, QStringLiteral("БВ подъезда"), 0});
        for (int g = 0; g < kGates; ++g)
            bv_({o.firstPanel() + o.switches + 1 + g, o.idNet, 64 + o.switches + g, o.switches + g,
                 QStringLiteral("БВ калитка"), 1});
        for (int g = 0; g < kGates; ++g)
            for (int k = 0; k < 2; ++k) {
                const QVariantList row =
                    keyRow(900000 + ++gateKeys_, o.firstPanel() + o.switches + 1 + g, -2, o.idNet);
                key_({row[0], row[1], row[2], row[3], row[4], 1, row[6]});
            }
        for (int e = 1; e <= o.switches; ++e)
            mbv_({o.idNet, e, 0, 63 + e, e - 1, 1, o.firstPanel() + e, 1});
        for (int g = 0; g < kGates; ++g)
            for (int e = 1; e <= o.switches; ++e) {
                const bool keepsKeys = (e - 1) / 2 == g;
                mbv_({o.idNet, e, 1, 64 + o.switches + g, o.switches + g, keepsKeys ? 1 : 3,
                      o.firstPanel() + o.switches + 1 + g, 2});
            }
    }

    // The console row as its screen first saves it.
    void addConsole(qint64 idNet) {
        Inserter(db_,
                 "INSERT INTO k_po (id_net, n_net, klvl, clvl, mtdy, mtnt, kf_pr, mcam, id_mel0,"
                 " id_mel1, ncam, scam, rmto, dpto, clha, cldp, talk, frmi, sobj1, sobj2, sus1,"
                 " sus2, sus3, sus4, busy, blato, npce, adccl, adccm, adcch, adchl, adchm, adchh,"
                 " frmc, exec, cbto, lrez) VALUES (?, 63, 8, 8, 480, 1320, 0, '00000000', 3, 4, 5,"
                 " 60, 90, 60, 40, 30, 60, 3, 'Пульт ПО', 'конф.', 'Оператор 1', 'Оператор 2',"
                 " 'Оператор 3', 'Оператор 4', 31, 152, 915, 25, 110, 200, 32, 64, 150, 45, 10,"
                 " 120, 0)")({idNet});
    }

    QSqlDatabase& db_;
    Inserter pod_, kvr_, key_, pk_, mpk_, bv_, mbv_;
    int keys_ = 0;
    int gateKeys_ = 0;
};

void buildObjects(QSqlDatabase& db) {
    Builder b(db);
    b.AddObject({kSmall, kSwitches});
    b.AddObject({kLarge, 2 * kSwitches});
}

struct TwoObjects : BenchDatabase {
    TwoObjects() : BenchDatabase(buildObjects) {}
};
TwoObjects* theObjects = nullptr;

int switchesOf(qint64 idNet) {
    return idNet == kSmall ? kSwitches : 2 * kSwitches;
}

// ---------------------------------------------------------------- switch files

// Every switch file of the object built in memory; its bytes, -1 when one
// was not built.
qint64 buildSwitchFiles(qint64 idNet) {
    ConfigRepository repo(theObjects->dm->ConnectionDB());
    qint64 bytes = 0;
    for (int nNet = 1; nNet <= switchesOf(idNet); ++nNet) {
        std::optional<SwitchFileInput> in;
        if (!repo.ReadSwitchFileInput(idNet, nNet, in) || !in) return -1;
        const ConfigFileBuild b = BuildSwitchFile(*in, QStringLiteral("ckm.bin"));
        if (!b.HasFile()) return -1;
        bytes += b.bytes.size();
    }
    return bytes;
}

void BM_BuildSwitchFilesOfAnObject(benchmark::State& state) {
    FloorRatio small("switch_files_25", "raw replay of the same statements");
    FloorRatio large("switch_files_50", "raw replay of the same statements");
    for (auto _ : state) {
        double ms = 0;
        for (qint64 idNet : {kSmall, kLarge}) {
            StatementLog log(theObjects->dm->ConnectionDB());
            qint64 bytes = 0;
            const double measured = TimeMs([&] { bytes = buildSwitchFiles(idNet); });
            log.Stop();
            if (bytes <= 0) state.SkipWithError("a switch file was not built");
            (idNet == kSmall ? small : large).Add(measured, log.Replay());
            ms += measured;
        }
        state.SetIterationTime(ms / 1000);
    }
    ReportSizes(state, "switch_files", small, large);
}
BENCHMARK(BM_BuildSwitchFilesOfAnObject)
    ->Unit(benchmark::kMillisecond)
    ->Iterations(10)
    ->UseManualTime();

// ---------------------------------------------------------------- the write pass

// Each table the files are built from, read once with every column.
void readObjectTables(sqlite3* db, qint64 idNet) {
    for (const char* table :
         {"k_net", "k_dom", "k_pod", "k_kvr", "k_key", "k_pk", "k_bv", "k_po", "m_pk", "m_bv"}) {
        Statement q(db, (std::string("SELECT * FROM ") + table + " WHERE id_net=?").c_str());
        q.Bind(1, idNet);
        while (q.Step()) q.TakeRow();
    }
    for (const char* table : {"t_ke", "t_mel", "t_bp", "t_global"}) {
        Statement q(db, (std::string("SELECT * FROM ") + table).c_str());
        while (q.Step()) q.TakeRow();
    }
}

// The bytes into a file as durably as the pass writes it.
void writeDurably(const QString& folder, const QString& name, const QByteArray& bytes) {
    const QByteArray temp = QFile::encodeName(folder + "/.floor-" + name);
    const QByteArray target = QFile::encodeName(folder + "/floor-" + name);
    const int fd = ::open(temp.constData(), O_WRONLY | O_CREAT | O_TRUNC | O_CLOEXEC, 0644);
    if (fd < 0 || ::write(fd, bytes.constData(), size_t(bytes.size())) != bytes.size() ||
        ::fsync(fd) != 0 || ::close(fd) != 0 || ::rename(temp.constData(), target.constData()) != 0)
        qFatal("floor file %s", target.constData());
    const int dir = ::open(QFile::encodeName(folder).constData(), O_RDONLY | O_DIRECTORY);
    ::fsync(dir);
    ::close(dir);
}

// The floor of a pass that made these files: the tables read once, then
// each file written and its device's state looked at (a state that says
// "created" already is not written again).
void writeFloor(qint64 idNet, const QString& folder, const QStringList& names) {
    sqlite3* db = HandleOf(theObjects->dm->ConnectionDB());
    readObjectTables(db, idNet);
    Statement state(db, "SELECT kf_pr FROM k_bv WHERE id_net=? AND n_net=?");
    for (const QString& name : names) {
        QFile file(folder + QLatin1Char('/') + name);
        if (!file.open(QIODevice::ReadOnly)) qFatal("no file %s", qPrintable(name));
        writeDurably(folder, name, file.readAll());
        state.Bind(1, idNet).Bind(2, 64 + name.mid(3, 2).toInt());
        while (state.Step()) state.TakeRow();
    }
}

struct PassOn {
    std::unique_ptr<ConfigWriteScreen> screen;
    QList<int> rows;
};

PassOn prepare(qint64 idNet, benchmark::State& state) {
    PassOn p{std::make_unique<ConfigWriteScreen>(theObjects->dm->ConnectionDB()), {}};
    const QString dbFolder = theObjects->dir.path() + QStringLiteral("/");
    if (!p.screen->BuildWriteFolder(dbFolder, idNet) || !p.screen->RefreshDeviceList())
        state.SkipWithError("write screen not prepared");
    for (int i = 0; i < p.screen->Rows().size(); ++i) p.rows << i;
    return p;
}

void BM_WriteAllFilesOfAnObject(benchmark::State& state) {
    FloorRatio small("write_pass_25", "each table read once, the files written durably");
    FloorRatio large("write_pass_50", "each table read once, the files written durably");
    PassOn passes[] = {prepare(kSmall, state), prepare(kLarge, state)};
    qsizetype lines = 0;
    for (auto _ : state) {
        double ms = 0;
        for (PassOn& p : passes) {
            ConfigWriteScreen& screen = *p.screen;
            screen.Logs() = ConfigLogs();
            bool stopped = true;
            const double measured =
                TimeMs([&] { stopped = screen.BitCreateClick(p.rows).stopped; });
            const ConfigLogs& logs = screen.Logs();
            const QStringList saved = logs.summary.filter(QStringLiteral(" сохранен."));
            if (stopped || saved.size() != p.rows.size())
                state.SkipWithError("a file was not built");
            lines += logs.detail.size() + logs.result.size();
            QStringList names = QDir(screen.WriteFolder()).entryList({"c*.bin"}, QDir::Files);
            const double floor =
                TimeMs([&] { writeFloor(screen.IdNet(), screen.WriteFolder(), names); });
            (screen.IdNet() == kSmall ? small : large).Add(measured, floor);
            ms += measured;
        }
        state.SetIterationTime(ms / 1000);
    }
    state.counters["devices"] = double(passes[0].rows.size() + passes[1].rows.size());
    state.counters["log_lines"] = double(lines) / double(state.iterations());
    ReportSizes(state, "write_pass", small, large);
}
BENCHMARK(BM_WriteAllFilesOfAnObject)
    ->Unit(benchmark::kMillisecond)
    ->Iterations(3)
    ->UseManualTime();

}  // namespace

int main(int argc, char** argv) {
    return RunBenchmarks<TwoObjects>(argc, argv, theObjects,
                                     [] { return std::make_unique<TwoObjects>(); });
}
