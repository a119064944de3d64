#pragma once
// The raw table viewer's choice of tables: ten list entries, each naming one
// database table whose rows are shown unfiltered, for inspection.

#include <QList>
#include <QString>

#include "platform/Dataset.h"

namespace RawTables {

struct Entry {
    QString caption;
    QString table;
};

// The list entries in their order.
const QList<Entry>& Entries();
// The table the viewer starts on, closed.
QString StartTable();

// Points table at the table of list position (a position outside the list
// keeps its previous table) and opens it with all its columns and rows.
// False with the reason when it cannot be read.
bool OpenEntry(Dataset& table, int position, QString* error);

}  // namespace RawTables
