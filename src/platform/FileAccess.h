#pragma once
// Whether this process may write: a file's contents, or new files in a
// folder. Permissions, read-only mounts and immutable files all count, for
// the superuser too.

#include <QString>

bool MayWrite(const QString& path);
