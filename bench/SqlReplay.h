#pragma once
// The floor of the data module's benchmarks, for work that opens its
// connection anew or keeps its statements prepared, where StatementLog
// (Floors.h) does not reach: the statements an operation sent to SQLite on
// any connection it opened, recorded with their bound values written in, run
// again through the bare C API on a connection of their own to the same file.

#include "Floors.h"

#include <map>

// While it lives, every statement SQLite starts on the given connection, and
// on every connection opened meanwhile (a reopen of the data module), is
// recorded. Statements the dataset layer runs for its own bookkeeping (the
// schema version it checks its column lists against) are left out: a bare
// program would not run them.
class StatementRecorder {
  public:
    explicit StatementRecorder(const QSqlDatabase& db) : db_(db) {
        static const bool registered =
            sqlite3_auto_extension(reinterpret_cast<void (*)()>(&attachToNew)) == SQLITE_OK;
        if (!registered) qFatal("sqlite3_auto_extension failed");
        current() = this;
        attach(HandleOf(db_));
    }
    ~StatementRecorder() {
        current() = nullptr;
        sqlite3_trace_v2(HandleOf(db_), 0, nullptr, nullptr);
    }
    StatementRecorder(const StatementRecorder&) = delete;
    StatementRecorder& operator=(const StatementRecorder&) = delete;

    const std::vector<std::string>& Statements() const { return statements_; }

  private:
    static StatementRecorder*& current() {
        static StatementRecorder* recorder = nullptr;
        return recorder;
    }
    static void attach(sqlite3* handle) {
        if (handle) sqlite3_trace_v2(handle, SQLITE_TRACE_STMT, &traced, nullptr);
    }
    static int attachToNew(sqlite3* handle, const char**, const sqlite3_api_routines*) {
        if (current()) attach(handle);
        return SQLITE_OK;
    }
    static int traced(unsigned, void*, void* stmt, void* text) {
        StatementRecorder* recorder = current();
        const std::string sql = static_cast<const char*>(text);
        // Trigger bodies report themselves as comments; they run inside their statement.
        if (!recorder || sql.rfind("--", 0) == 0 || sql == "PRAGMA schema_version") return 0;
        char* expanded = sqlite3_expanded_sql(static_cast<sqlite3_stmt*>(stmt));
        recorder->statements_.push_back(expanded ? expanded : sql);
        sqlite3_free(expanded);
        return 0;
    }

    QSqlDatabase db_;
    std::vector<std::string> statements_;
};

// Runs recorded statements on a connection of its own to the database file.
class RawReplay {
  public:
    explicit RawReplay(const QString& path) : path_(path.toStdString()) { Reconnect(); }
    ~RawReplay() {
        finalizeKept();
        sqlite3_close(db_);
    }
    RawReplay(const RawReplay&) = delete;
    RawReplay& operator=(const RawReplay&) = delete;

    // Closes and opens the connection, as a reopen of the data module does.
    void Reconnect() {
        finalizeKept();
        if (db_) sqlite3_close(db_);
        db_ = nullptr;
        // The flags QtSql's driver opens its connections with.
        const int flags = SQLITE_OPEN_READWRITE | SQLITE_OPEN_CREATE | SQLITE_OPEN_PRIVATECACHE |
                          SQLITE_OPEN_NOMUTEX;
        if (sqlite3_open_v2(path_.c_str(), &db_, flags, nullptr) != SQLITE_OK)
            qFatal("raw open: %s", sqlite3_errmsg(db_));
        sqlite3_busy_timeout(db_, 3000);
    }

    // Every statement prepared, stepped through every row with every column
    // read, finalized. Empty on success, else the failing statement and why.
    std::string Run(const std::vector<std::string>& statements) {
        for (const std::string& sql : statements) {
            sqlite3_stmt* stmt = nullptr;
            if (sqlite3_prepare_v2(db_, sql.c_str(), int(sql.size()), &stmt, nullptr) != SQLITE_OK)
                return sql + ": " + sqlite3_errmsg(db_);
            const std::string error = stepThrough(stmt, sql);
            sqlite3_finalize(stmt);
            if (!error.empty()) return error;
        }
        return {};
    }
    // The same with every statement prepared once, at its first run, and
    // kept: the floor of a program that never prepares a text twice.
    std::string RunPrepared(const std::vector<std::string>& statements) {
        for (const std::string& sql : statements) {
            sqlite3_stmt*& stmt = kept_[sql];
            if (!stmt &&
                sqlite3_prepare_v2(db_, sql.c_str(), int(sql.size()), &stmt, nullptr) != SQLITE_OK)
                return sql + ": " + sqlite3_errmsg(db_);
            const std::string error = stepThrough(stmt, sql);
            sqlite3_reset(stmt);
            if (!error.empty()) return error;
        }
        return {};
    }
    qint64 Rows() const { return rows_; }

  private:
    void finalizeKept() {
        for (auto& [sql, stmt] : kept_) sqlite3_finalize(stmt);
        kept_.clear();
    }
    std::string stepThrough(sqlite3_stmt* stmt, const std::string& sql) {
        int rc;
        while ((rc = sqlite3_step(stmt)) == SQLITE_ROW) readRow(stmt);
        return rc == SQLITE_DONE ? std::string() : sql + ": " + sqlite3_errmsg(db_);
    }
    void readRow(sqlite3_stmt* stmt) {
        ++rows_;
        const int columns = sqlite3_column_count(stmt);
        for (int i = 0; i < columns; ++i) {
            switch (sqlite3_column_type(stmt, i)) {
                case SQLITE_INTEGER:
                    sink_ += sqlite3_column_int64(stmt, i);
                    break;
                case SQLITE_FLOAT:
                    sink_ += qint64(sqlite3_column_double(stmt, i));
                    break;
                case SQLITE_TEXT:
                    sink_ += *sqlite3_column_text(stmt, i) + sqlite3_column_bytes(stmt, i);
                    break;
                case SQLITE_BLOB:
                    sink_ += sqlite3_column_bytes(stmt, i) + (sqlite3_column_blob(stmt, i) != nullptr);
                    break;
                default:
                    break;
            }
        }
    }

    std::string path_;
    sqlite3* db_ = nullptr;
    std::map<std::string, sqlite3_stmt*> kept_;
    qint64 rows_ = 0;
    qint64 sink_ = 0;  // keeps the reads from being optimised away
};
