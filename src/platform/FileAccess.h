#pragma once
// Whether this process may write: a file's contents, or new files in a
// folder. Permissions, read-only mounts and immutable files all count, for
// the superuser too.

#include <QString>

bool MayWrite(const QString& path);

// Writes a few bytes into a new file in folder and removes it again: the
// system's reason when that fails ("На диске нет места."), empty when it
// works. For a write that failed without saying why.
QString NewFileFailure(const QString& folder);
