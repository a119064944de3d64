#pragma once
// What the benchmark programs share: bound inserts to build a large database
// quickly, a database file built once in a temporary folder with a data module
// opened on it, and the program's entry.

#include <benchmark/benchmark.h>
#include <QCoreApplication>
#include <QSqlDatabase>
#include <QSqlError>
#include <QSqlQuery>
#include <QTemporaryDir>

#include <cstdio>
#include <functional>
#include <memory>
#include <string>

#include "foundation/DbSchema.h"
#include "foundation/TFDM.h"
#include "platform/Dialogs.h"

// One prepared INSERT, run with a row of values; returns the new row's id.
struct Inserter {
    QSqlQuery q;
    Inserter(QSqlDatabase& db, const QString& sql) : q(db) {
        if (!q.prepare(sql)) qFatal("%s: %s", qPrintable(sql), qPrintable(q.lastError().text()));
    }
    qint64 operator()(const QVariantList& values) {
        for (int i = 0; i < values.size(); ++i) q.bindValue(i, values[i]);
        if (!q.exec()) qFatal("insert: %s", qPrintable(q.lastError().text()));
        return q.lastInsertId().toLongLong();
    }
};

// While it lives, every question is answered "Да" and every message "OK", as
// the engineer answers them on the road a benchmark runs.
class YesAnswers : public DialogBackend {
  public:
    YesAnswers() : previous_(Dialogs::SetBackend(this)) {}
    ~YesAnswers() override { Dialogs::SetBackend(previous_); }
    DlgAnswer Message(const QString&, const QString&, DlgButtons buttons, DlgIcon) override {
        const bool question = buttons == DlgButtons::YesNo || buttons == DlgButtons::YesNoCancel;
        return question ? DlgAnswer::Yes : DlgAnswer::Ok;
    }
    QString OpenFile(const QString&, const QString&, const QString&) override { return {}; }
    QString SaveFile(const QString&, const QString&, const QString&) override { return {}; }
    QString ChooseFolder(const QString&, const QString&) override { return {}; }

  private:
    DialogBackend* previous_;
};

// A new database at path, filled by fill in one transaction.
inline void BuildDatabase(const QString& path, const std::function<void(QSqlDatabase&)>& fill) {
    QString error;
    if (!CreateNewDatabase(path, &error)) qFatal("%s", qPrintable(error));
    {
        QSqlDatabase db = QSqlDatabase::addDatabase("QSQLITE", "bench_build");
        db.setDatabaseName(path);
        if (!db.open()) qFatal("open");
        db.transaction();
        fill(db);
        db.commit();
        db.close();
    }
    QSqlDatabase::removeDatabase("bench_build");
}

// A new database filled by fill in one transaction, then opened through a
// data module with its datasets open.
struct BenchDatabase {
    QTemporaryDir dir;
    std::unique_ptr<TFDM> dm;

    explicit BenchDatabase(const std::function<void(QSqlDatabase&)>& fill) {
        const QString path = dir.filePath("db_arm_vesk.mdb");
        QString error;
        BuildDatabase(path, fill);
        dm = std::make_unique<TFDM>();
        if (!dm->Connect(path, &error)) qFatal("connect: %s", qPrintable(error));
        if (!dm->OpenAllTables()) qFatal("open: %s", qPrintable(dm->LastError()));
    }
};

// Wire time of one 30-byte frame at 9600 baud 8N1 (10 bits a byte).
constexpr double kFrameWireMs = 30 * 10 / 9600.0 * 1000;

// Runs the registered benchmarks inside an application object of type App (a
// QGuiApplication where fonts are needed); around gets the run to wrap it in
// what the benchmarks share.
template <class App = QCoreApplication>
int RunBenchmarks(int argc, char** argv,
                  const std::function<void(const std::function<void()>&)>& around = {}) {
    App app(argc, argv);
    benchmark::Initialize(&argc, argv);
    if (benchmark::ReportUnrecognizedArguments(argc, argv)) return 1;
    const auto run = [] { benchmark::RunSpecifiedBenchmarks(); };
    around ? around(run) : run();
    benchmark::Shutdown();
    return 0;
}

// Runs the registered benchmarks on the database that make builds; the
// benchmarks reach it through the pointer, which lives while they run.
template <class Database, class App = QCoreApplication>
int RunBenchmarks(int argc, char** argv, Database*& current,
                  const std::function<std::unique_ptr<Database>()>& make) {
    return RunBenchmarks<App>(argc, argv, [&](const std::function<void()>& run) {
        std::unique_ptr<Database> database = make();
        current = database.get();
        run();
        current = nullptr;
    });
}
