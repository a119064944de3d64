#pragma once
// The floors the benchmarks measure the program against, in the same run:
// the same work written straight on the SQLite C API (on the connection the
// program uses, so the same file, cache and settings), a raw replay of the
// very statements the program ran, and the report of a time against its
// floor.

#include <benchmark/benchmark.h>
#include <sqlite3.h>

#include <QByteArray>
#include <QElapsedTimer>
#include <QSqlDatabase>
#include <QSqlDriver>
#include <QString>
#include <QVariant>

#include <algorithm>
#include <cstdio>
#include <ctime>
#include <functional>
#include <string>
#include <vector>

// The SQLite handle under a QtSql connection.
inline sqlite3* HandleOf(const QSqlDatabase& db) {
    const QVariant v = db.driver()->handle();
    if (!v.isValid() || qstrcmp(v.typeName(), "sqlite3*") != 0) qFatal("no SQLite handle");
    sqlite3* handle = *static_cast<sqlite3* const*>(v.data());
    if (!handle) qFatal("the connection is closed");
    return handle;
}

// One prepared statement, bound and stepped by hand; any failure ends the
// benchmark, which would otherwise time work that was not done.
class Statement {
  public:
    Statement(sqlite3* db, const char* sql) : db_(db) {
        if (sqlite3_prepare_v2(db, sql, -1, &s_, nullptr) != SQLITE_OK)
            qFatal("%s: %s", sql, sqlite3_errmsg(db));
    }
    ~Statement() { sqlite3_finalize(s_); }
    Statement(const Statement&) = delete;
    Statement& operator=(const Statement&) = delete;

    Statement& Bind(int i, qint64 v) {
        sqlite3_bind_int64(s_, i, v);
        return *this;
    }
    Statement& Bind(int i, const std::string& text) {
        sqlite3_bind_text(s_, i, text.data(), int(text.size()), SQLITE_TRANSIENT);
        return *this;
    }
    // True while there is a row.
    bool Step() {
        const int rc = sqlite3_step(s_);
        if (rc == SQLITE_ROW) return true;
        if (rc != SQLITE_DONE) qFatal("%s: %s", sqlite3_sql(s_), sqlite3_errmsg(db_));
        sqlite3_reset(s_);
        return false;
    }
    // Runs a statement without rows and makes it ready for the next values.
    void Run() {
        while (Step()) {
        }
    }
    // Reads every column of the row, as a program taking the row would.
    void TakeRow() const {
        for (int i = 0, n = sqlite3_column_count(s_); i < n; ++i)
            benchmark::DoNotOptimize(sqlite3_column_text(s_, i));
    }
    qint64 Int(int i) const { return sqlite3_column_int64(s_, i); }
    std::string Text(int i) const {
        const auto* p = reinterpret_cast<const char*>(sqlite3_column_text(s_, i));
        return p ? std::string(p, size_t(sqlite3_column_bytes(s_, i))) : std::string();
    }

  private:
    sqlite3* db_;
    sqlite3_stmt* s_ = nullptr;
};

inline void ExecRaw(sqlite3* db, const char* sql) {
    char* error = nullptr;
    if (sqlite3_exec(db, sql, nullptr, nullptr, &error) != SQLITE_OK) qFatal("%s: %s", sql, error);
}

// The statements a piece of work ran on a connection, each with its values
// written in (as SQLite expands them), in the order they began.
class StatementLog {
  public:
    explicit StatementLog(const QSqlDatabase& db) : db_(HandleOf(db)) {
        sqlite3_trace_v2(db_, SQLITE_TRACE_STMT, &StatementLog::trace, this);
    }
    ~StatementLog() { Stop(); }
    StatementLog(const StatementLog&) = delete;
    StatementLog& operator=(const StatementLog&) = delete;

    void Stop() { sqlite3_trace_v2(db_, 0, nullptr, nullptr); }
    const std::vector<std::string>& Statements() const { return statements_; }

    // Runs every statement again, straight on the C API: prepared from its
    // text, stepped through every row with every column read. Milliseconds.
    double Replay() const {
        QElapsedTimer timer;
        timer.start();
        for (const std::string& sql : statements_) replayOne(sql);
        return double(timer.nsecsElapsed()) / 1e6;
    }

  private:
    static int trace(unsigned type, void* self, void* stmt, void* text) {
        if (type != SQLITE_TRACE_STMT) return 0;
        // A trigger's part of a statement is named by a comment; it runs again
        // with the statement.
        if (static_cast<const char*>(text)[0] == '-') return 0;
        char* expanded = sqlite3_expanded_sql(static_cast<sqlite3_stmt*>(stmt));
        if (!expanded) qFatal("a statement could not be expanded");
        static_cast<StatementLog*>(self)->statements_.emplace_back(expanded);
        sqlite3_free(expanded);
        return 0;
    }
    void replayOne(const std::string& sql) const {
        sqlite3_stmt* s = nullptr;
        if (sqlite3_prepare_v2(db_, sql.c_str(), int(sql.size()), &s, nullptr) != SQLITE_OK)
            qFatal("replay %s: %s", sql.c_str(), sqlite3_errmsg(db_));
        int rc;
        while ((rc = sqlite3_step(s)) == SQLITE_ROW)
            for (int i = 0, n = sqlite3_column_count(s); i < n; ++i)
                benchmark::DoNotOptimize(sqlite3_column_text(s, i));
        if (rc != SQLITE_DONE) qFatal("replay %s: %s", sql.c_str(), sqlite3_errmsg(db_));
        sqlite3_finalize(s);
    }

    sqlite3* db_;
    std::vector<std::string> statements_;
};

// Milliseconds a piece of work takes.
inline double TimeMs(const std::function<void()>& work) {
    QElapsedTimer timer;
    timer.start();
    work();
    return double(timer.nsecsElapsed()) / 1e6;
}

// Milliseconds of the calling thread's CPU a piece of work takes: steadier
// than the wall clock on a machine other programs load, where the work and
// its floor would otherwise be charged for each other's waits.
inline double CpuTimeMs(const std::function<void()>& work) {
    auto now = [] {
        timespec t{};
        clock_gettime(CLOCK_THREAD_CPUTIME_ID, &t);
        return t.tv_sec * 1e3 + t.tv_nsec / 1e6;
    };
    const double start = now();
    work();
    return now() - start;
}

// The times of one piece of work and of its floor over the iterations of a
// benchmark, reported as medians: a loaded machine stalls single runs.
class FloorRatio {
  public:
    FloorRatio(std::string what, std::string floor)
        : what_(std::move(what)), floor_(std::move(floor)) {}

    void Add(double measuredMs, double floorMs) {
        measured_.push_back(measuredMs);
        floors_.push_back(floorMs);
    }
    double MeasuredMs() const { return median(measured_); }
    double FloorMs() const { return median(floors_); }
    double Ratio() const { return FloorMs() > 0 ? MeasuredMs() / FloorMs() : 0; }

    // The counters <what>_ms, <what>_floor_ms and <what>_ratio, and one line.
    void Report(benchmark::State& state) const {
        state.counters[what_ + "_ms"] = MeasuredMs();
        state.counters[what_ + "_floor_ms"] = FloorMs();
        state.counters[what_ + "_ratio"] = Ratio();
        std::printf("%s: %.2f ms, floor %.2f ms (%s), ratio %.2f\n", what_.c_str(), MeasuredMs(),
                    FloorMs(), floor_.c_str(), Ratio());
        std::fflush(stdout);
    }

  private:
    static double median(std::vector<double> v) {
        if (v.empty()) return 0;
        std::sort(v.begin(), v.end());
        const size_t n = v.size();
        return n % 2 ? v[n / 2] : (v[n / 2 - 1] + v[n / 2]) / 2;
    }

    std::string what_;
    std::string floor_;
    std::vector<double> measured_;
    std::vector<double> floors_;
};

// Times work, then replays the statements it ran raw, and adds both to the
// ratio; the work's milliseconds. For work that leaves the data as the replay
// finds it, or that the caller puts back before the replay.
inline double TimeWithReplay(FloorRatio& ratio, const QSqlDatabase& db,
                             const std::function<void()>& work,
                             const std::function<void()>& before = {}) {
    StatementLog log(db);
    const double measured = TimeMs(work);
    log.Stop();
    if (before) before();
    ratio.Add(measured, log.Replay());
    return measured;
}

// The same work at a size and at twice that size: how much longer the
// larger one takes, which stays near 2 when nothing grows faster than the
// work.
inline void ReportDoubling(benchmark::State& state, const std::string& what, const FloorRatio& size,
                           const FloorRatio& twice) {
    const double growth = size.MeasuredMs() > 0 ? twice.MeasuredMs() / size.MeasuredMs() : 0;
    const double floorGrowth = size.FloorMs() > 0 ? twice.FloorMs() / size.FloorMs() : 0;
    state.counters[what + "_doubled"] = growth;
    std::printf("%s at twice the size: %.2f times the time (floor %.2f times)\n", what.c_str(),
                growth, floorGrowth);
    std::fflush(stdout);
}

// Both sizes against their floors, and the growth from one to the other.
inline void ReportSizes(benchmark::State& state, const std::string& what, const FloorRatio& size,
                        const FloorRatio& twice) {
    size.Report(state);
    twice.Report(state);
    ReportDoubling(state, what, size, twice);
}
