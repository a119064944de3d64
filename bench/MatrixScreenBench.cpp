// Times the matrix screen of the whole program, as the engineer opens it from
// the object screen: the matrix table refilled and reopened, the grid laid
// out with its columns fitted to their texts, and the window painted at
// 1280 x 800. Two objects of the large installation side by side in the same
// iterations, the second one twice the first (100 switches against 50, each
// with an entrance panel, and 13 gate panels wired to every switch): the
// screen grows no faster than the object while the larger one takes at most
// twice the time. Each size also against a raw replay of its statements.
//   bench_matrix_screen [--benchmark_filter=...] [--benchmark_repetitions=5]

#include "BenchSupport.h"
#include "Floors.h"
#include "LargeInstallation.h"
#include "app/AppForms.h"
#include "app/TFMainVesk.h"
#include "foundation/MainWindowData.h"
#include "foundation/TFDM.h"
#include "platform/AppPaths.h"

#include <QApplication>
#include <QDir>
#include <QFile>
#include <QTableView>
#include <QTemporaryDir>

#include <memory>

namespace {

constexpr int kSmall = LargeInstallation::kLargestSwitches;  // 50
constexpr int kLarge = 2 * kSmall;
constexpr int kGates = LargeInstallation::kLargestGates;

// The program on a folder of its own, its database holding the large
// installation and one object twice the size of its largest.
struct Program {
    QTemporaryDir dir;
    qint64 smallObject = 0;
    qint64 largeObject = 0;

    Program() {
        const QString folder = dir.path() + '/';
        AppPaths::SetProgramDirForTests(folder);
        QDir().mkpath(folder + QStringLiteral("DB_ARM"));
        QDir().mkpath(folder + QStringLiteral("Ini"));
        QFile ini(folder + QStringLiteral("Ini/save.ini"));
        if (!ini.open(QIODevice::WriteOnly) ||
            ini.write("[Object]\nnf=1\n[Size]\nsw=1280\nsh=800\n") < 0)
            qFatal("settings file not written");
        ini.close();
        build(folder + QStringLiteral("DB_ARM/") + AppPaths::kDbFileName);
        AppForms::CreateAll();
        FMainVesk->show();
        QCoreApplication::processEvents();
    }
    ~Program() { AppForms::DestroyAll(); }

    void build(const QString& path) {
        BuildDatabase(path, [this](QSqlDatabase& db) {
            smallObject = LargeInstallation::Build(db);
            largeObject = LargeInstallation::AddObject(db, LargeInstallation::kObjects + 1,
                                                       kLarge, kGates);
        });
    }

    // The object screen on the object, as the engineer leaves it for the matrix.
    void onObjectScreen(qint64 idNet) {
        FMainVesk->ShowScreen(1);
        MainWindowData::LocateObjectOrFirst(int(idNet));
        QCoreApplication::processEvents();
    }

    // The matrix screen opened and shown; the grid's rows and columns.
    QSize openMatrixScreen() {
        FMainVesk->ShowScreen(2);
        QCoreApplication::processEvents();
        benchmark::DoNotOptimize(FMainVesk->grab());
        const auto* grid = FMainVesk->findChild<QTableView*>(QStringLiteral("DBGrid3"));
        if (FMainVesk->VisibleScreen() != 2 || !grid || !grid->model()) return {};
        return {grid->model()->columnCount(), grid->model()->rowCount()};
    }
};
Program* theProgram = nullptr;

// Rows: five header rows, an entrance panel per switch and the gates;
// columns: name, number, a column per switch and the panel's name.
QSize matrixOf(int switches) {
    return {switches + 3, 5 + switches + kGates};
}

void BM_MatrixScreenAtTwoSizes(benchmark::State& state) {
    Program& p = *theProgram;
    YesAnswers yes;
    QSize shown[2];
    const qint64 objects[2] = {p.smallObject, p.largeObject};
    for (int k : {0, 1}) {  // the first visit creates the object's matrix table
        p.onObjectScreen(objects[k]);
        p.openMatrixScreen();
    }
    const std::string floor = "a raw replay of its statements";
    FloorRatio sizes[2] = {{"matrix_screen_50", floor}, {"matrix_screen_100", floor}};
    for (auto _ : state) {
        for (int k : {0, 1}) {
            state.PauseTiming();
            p.onObjectScreen(objects[k]);
            state.ResumeTiming();
            TimeWithReplay(sizes[k], FDM->ConnectionDB(), [&] { shown[k] = p.openMatrixScreen(); });
        }
    }
    if (shown[0] != matrixOf(kSmall) || shown[1] != matrixOf(kLarge))
        state.SkipWithError("the matrix screen did not show the whole matrix");
    ReportSizes(state, "matrix_screen", sizes[0], sizes[1]);
}
BENCHMARK(BM_MatrixScreenAtTwoSizes)->Unit(benchmark::kMillisecond);

}  // namespace

int main(int argc, char** argv) {
    qputenv("QT_QPA_PLATFORM", "offscreen");
    return RunBenchmarks<Program, QApplication>(argc, argv, theProgram,
                                                [] { return std::make_unique<Program>(); });
}
