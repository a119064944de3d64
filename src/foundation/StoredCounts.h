#pragma once
// The counts a database file holds that size the program's loops, lists and
// statements: the entrances of an object make the columns of its matrix
// table, the first and last apartments of an entrance the rows a generation
// walks, a note's length the sound a preview makes. Each is checked against
// the program's own limit (CountLimits) before the file is used; a file that
// holds one beyond it, or below its least (0 but where the program itself
// stores less), is refused as it is, rather than hang the start or fill the
// memory.
//
// A value counts as the program reads it: nothing, and a text that is no
// number, read as 0, which every limit admits.

#include "foundation/DatabaseShape.h"

#include <QList>
#include <QSqlDatabase>
#include <QString>
#include <QStringList>

struct StoredCountLimit {
    const char* table;
    const char* column;
    qint64 most;
    qint64 least = 0;
};

// Every count checked, by table.
const QList<StoredCountLimit>& StoredCountLimits();

// Reads the counts of the tables and columns the file has; the difference
// is the first count beyond its limit ("k_net.v_pod = 300, not 0..255").
DatabaseFileCheck CheckStoredCounts(const QSqlDatabase& db);

// The indexes that keep the check short on a large installation: of the
// rows of a large table where a count may lie beyond its limit.
QStringList StoredCountIndexes();
