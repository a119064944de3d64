#pragma once
// The database files whose engine check (the quick check, which reads every
// page) passed, each as the program left it when it closed it: its size,
// its time of change and the change counter in its header. A file found so
// at its next open was written since only by the program, through the
// engine, and is not read through again: on a large installation the check
// costs as much as the rest of a start. Anything else that wrote to it
// (another program, a copy put in its place, a log of writes left beside
// it) changes what is kept, and the next open checks it in full.
//
// Kept in "Ini/db_check.ini" under the program folder, one line a file;
// where that cannot be written every open checks in full.

#include <QString>

namespace CheckedDatabases {

// True when file is as the program left it after a passed check.
bool Unchanged(const QString& file);
// The file, closed by the program, is remembered as it is now.
void Remember(const QString& file);

}  // namespace CheckedDatabases
