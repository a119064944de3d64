#pragma once
// Compaction of the database file: a compacted copy is written beside the
// live file and renamed over it, so the live file is never half-written.

#include <QString>

#include "foundation/TFDM.h"

// Writes a compacted copy of the database file sourcePath to targetPath
// (which must not exist) and checks it. Nobody may have sourcePath open for
// writing meanwhile.
bool CompactDatabase(const QString& sourcePath, const QString& targetPath, QString* error);

// The main menu's compaction command on dm's open database. Asks first;
// refuses while another process holds the lock file; afterwards the database
// is open again with every main dataset, the current object kept, whatever
// happened. Returns true when the file was compacted.
bool NCompactClick(TFDM& dm, const ProgressFn& progress = {});
