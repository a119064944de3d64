// Times the start of the whole program on the keyed installation (200
// objects, 40,000 apartments, 150,000 keys): AppForms::CreateAll on its
// folder, the main window shown at 1280 x 800 on the screen the settings
// saved, and the events that follow processed (a grid on screen reads its
// rows then). Three saved screens, on the middle object: the object screen,
// the keys screen and the residents' screen; each iteration starts on each.
// Floor: a raw replay of the statements the start sent to SQLite, on a
// connection of its own to the file, opened anew as the start opens its own.
// In CPU time, as bench_data.
//   bench_startup [--benchmark_filter=...] [--benchmark_repetitions=5]

#include "KeyedInstallation.h"
#include "SqlReplay.h"
#include "app/AppForms.h"
#include "app/TFMainVesk.h"
#include "foundation/TFDM.h"
#include "platform/AppPaths.h"

#include <QApplication>
#include <QDir>
#include <QFile>
#include <QTemporaryDir>

#include <memory>

namespace {

struct SavedScreen {
    int number;
    const char* what;
};
const SavedScreen kScreens[] = {
    {1, "start_on_objects"}, {9, "start_on_keys"}, {14, "start_on_residents"}};

// The program's folder, its database holding the keyed installation.
struct Program {
    QTemporaryDir dir;
    QString folder;
    QString dbPath;
    qint64 middleObject = 0;

    Program() : folder(dir.path() + '/') {
        AppPaths::SetProgramDirForTests(folder);
        QDir().mkpath(folder + QStringLiteral("DB_ARM"));
        QDir().mkpath(folder + QStringLiteral("Ini"));
        dbPath = folder + QStringLiteral("DB_ARM/") + AppPaths::kDbFileName;
        BuildDatabase(dbPath, KeyedInstallation::Build);
        QSqlDatabase db = QSqlDatabase::addDatabase("QSQLITE", "startup_probe");
        db.setDatabaseName(dbPath);
        QSqlQuery q(db.open() ? db : QSqlDatabase());
        if (!q.exec("SELECT id_net FROM k_net ORDER BY id_net") || !q.seek(KeyedInstallation::kObjects / 2))
            qFatal("no middle object");
        middleObject = q.value(0).toLongLong();
    }

    void saveScreen(int screen) const {
        QFile ini(folder + QStringLiteral("Ini/save.ini"));
        const QByteArray text = QStringLiteral("[Object]\nid=%1\nnf=%2\n[Size]\nsw=1280\nsh=800\n")
                                    .arg(middleObject)
                                    .arg(screen)
                                    .toUtf8();
        if (!ini.open(QIODevice::WriteOnly | QIODevice::Truncate) || ini.write(text) < 0)
            qFatal("settings file not written");
    }

    // The start itself; true when the saved screen shows on the saved object.
    bool start(int screen) const {
        AppForms::CreateAll();
        FMainVesk->show();
        QCoreApplication::processEvents();
        return FDM && FDM->Connected() && FMainVesk->VisibleScreen() == screen &&
               FDM->Q_Net->FieldByName(QStringLiteral("id_net")).AsLargeInt() == middleObject;
    }
    static void stop() { AppForms::DestroyAll(); }

    // The statements one start sent, on every connection it opened.
    std::vector<std::string> recordStart(int screen, bool* ok) const {
        QSqlDatabase probe = QSqlDatabase::database("startup_probe");
        std::vector<std::string> statements;
        {
            StatementRecorder recorder(probe);
            *ok &= start(screen);
            statements = recorder.Statements();
        }
        stop();
        return statements;
    }
};
Program* theProgram = nullptr;

void BM_StartUp(benchmark::State& state) {
    const Program& p = *theProgram;
    bool ok = true;
    std::vector<std::vector<std::string>> statements;
    for (const SavedScreen& s : kScreens) {
        p.saveScreen(s.number);
        ok &= p.start(s.number);  // a first start may still write the object's matrix
        Program::stop();
        statements.push_back(p.recordStart(s.number, &ok));
    }
    std::vector<FloorRatio> ratios;
    for (const SavedScreen& s : kScreens) ratios.emplace_back(s.what, "a raw replay of its statements");
    RawReplay raw(p.dbPath);
    std::string error;
    for (auto _ : state) {
        for (size_t k = 0; k < std::size(kScreens); ++k) {
            state.PauseTiming();
            p.saveScreen(kScreens[k].number);
            const double floorMs = CpuTimeMs([&] {
                raw.Reconnect();
                error += raw.Run(statements[k]);
            });
            state.ResumeTiming();
            const double ms = CpuTimeMs([&] { ok &= p.start(kScreens[k].number); });
            state.PauseTiming();
            Program::stop();
            state.ResumeTiming();
            ratios[k].Add(ms, floorMs);
        }
    }
    if (!ok) state.SkipWithError("the program did not start on the saved screen and object");
    if (!error.empty()) state.SkipWithError(error.c_str());
    for (const FloorRatio& r : ratios) r.Report(state);
    state.counters["statements_on_keys"] = double(statements[1].size());
}
BENCHMARK(BM_StartUp)->Unit(benchmark::kMillisecond);

}  // namespace

int main(int argc, char** argv) {
    qputenv("QT_QPA_PLATFORM", "offscreen");
    return RunBenchmarks<Program, QApplication>(argc, argv, theProgram,
                                                [] { return std::make_unique<Program>(); });
}
