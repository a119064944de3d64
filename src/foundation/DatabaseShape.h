#pragma once
// Whether a database file has the shape the program relies on, checked before
// anything is written to it: every table the program reads is there, a table
// with a key column has it as its row key (INTEGER PRIMARY KEY, so a new row
// gets its key), a table without one has row numbers to be edited by, and
// every column the program reads is there but those the schema upgrade adds.
// A file of another program, one converted by another tool or one that lost
// a table or a column fails it, and is refused as it is.

#include <QSqlDatabase>
#include <QString>

// The outcome of a check of what a database file holds (its shape, its
// counts, its pages).
struct DatabaseFileCheck {
    // The file could be read; else error holds the engine's reason.
    bool read = false;
    QString error;
    // The first thing that differs, for the log ("k_net.id_net is not the row
    // key"); empty when the file fits.
    QString difference;

    bool Fits() const { return read && difference.isEmpty(); }
};

// The shape is that of a new database (the schema script) less the columns
// the upgrade adds to an older file.
DatabaseFileCheck CheckDatabaseShape(const QSqlDatabase& db);
