#pragma once
// Who has a file open: every user holds a shared lock on it, and one that
// needs the file for itself (compaction) asks for an exclusive one. The
// lock file beside the database names only the program that opened it first;
// this one also counts the programs that opened it later.
//
// These are flock() locks, apart from SQLite's own record locks. A release
// closes a descriptor of the file, which drops this process's record locks on
// it: release only while no connection in this process has the file open.

#include <QString>

class FileUseLock {
  public:
    FileUseLock() = default;
    ~FileUseLock() { Release(); }
    FileUseLock(const FileUseLock&) = delete;
    FileUseLock& operator=(const FileUseLock&) = delete;

    // Neither waits. False only when another holder stands in the way; where
    // the file cannot be opened or locked at all, nothing is held.
    bool LockShared(const QString& path);
    bool LockExclusive(const QString& path);
    void Release();
    bool Held() const { return fd_ >= 0; }

  private:
    bool lock(const QString& path, int operation);

    int fd_ = -1;
};
