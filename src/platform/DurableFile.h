#pragma once
// Durable replacement of a file. Every file the program writes goes through
// here: the new contents are written under a temporary name in the target's
// own folder, flushed to the disk (fsync), renamed over the target in one
// step, and then the folder itself is flushed so that the rename survives a
// power cut too. Whatever happens, the target holds either its old contents
// or the complete new ones, never a truncated or empty file.
//
// - Write: for contents held in memory (the settings file, configuration
//   files, read device files, text exports, reports written whole).
// - Commit: for a file another writer has produced and closed under a
//   temporary name beside the target (a database built or compacted by
//   SQLite); it does the flush, the rename and the folder flush.
//
// A new file gets the usual permissions (0666 less the umask); a replaced
// file keeps the permissions it had.
//
// A writer killed between writing its temporary file and the rename leaves
// that file behind. Every Write and Commit first removes, from the target's
// folder, the temporary files whose process no longer runs; those of running
// processes (this one's other writes included) and every other file stay. A
// leftover that cannot be removed stays too, and the write goes on. On a
// network file system the process numbers may be another machine's, so
// nothing is removed there.

#include <QByteArray>
#include <QString>

namespace DurableFile {

// Writes bytes to path. The folder must exist. On failure the old file is
// untouched, no temporary file is left behind, and error says why.
bool Write(const QString& path, const QByteArray& bytes, QString* error = nullptr);

enum class Existing {
    Replace,  // an existing target is replaced
    Keep,     // an existing target stays and the commit fails
};

// A free temporary name beside path, of the shape a later write removes once
// this process is gone: for a file another writer builds and then hands to
// Commit (a new database).
QString TemporaryPath(const QString& path);

// Puts the finished file tempPath (in the same folder as path) in place of
// path. On failure tempPath is removed and path is as it was.
bool Commit(const QString& tempPath, const QString& path, Existing existing,
            QString* error = nullptr);

// For tests only, null otherwise: called by Write when its temporary file is
// complete and not yet renamed, the moment a crash test kills the writer at.
extern void (*BeforeRenameForTests)();

}  // namespace DurableFile
