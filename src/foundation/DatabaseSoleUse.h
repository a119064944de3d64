#pragma once
// The database file for work that replaces or prunes it (compaction, the
// pruning of a one-object copy): the lock file beside it and the file's
// exclusive use, both taken or neither, given back on release or at the end.
// Another program holding either makes the database busy; a lock file that
// cannot be written is no other program's doing, and is told as it is.

#include <QLockFile>
#include <QString>

#include <memory>

#include "platform/FileUseLock.h"

class DatabaseSoleUse {
  public:
    enum class Outcome { Taken, Busy, Failed };

    DatabaseSoleUse() = default;
    ~DatabaseSoleUse() { Release(); }
    DatabaseSoleUse(const DatabaseSoleUse&) = delete;
    DatabaseSoleUse& operator=(const DatabaseSoleUse&) = delete;

    // Busy when another program holds the lock file or has the file open;
    // Failed, with Why(), when the lock file could not be written.
    Outcome Take(const QString& dbFile);
    // "Не удалось создать файл блокировки …. На диске нет места."
    QString Why() const { return why_; }
    void Release();

  private:
    std::unique_ptr<QLockFile> lock_;
    FileUseLock use_;
    QString why_;
};
