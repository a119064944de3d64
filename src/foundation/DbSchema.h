#pragma once
// The database schema: a new database built from the schema and reference rows
// kept in db/, and the upgrade that brings an older file up to date at every
// open. Logical columns hold 0/1 and are read as "non-zero is true".

#include <QSqlDatabase>
#include <QString>
#include <QStringList>
#include <functional>

// Keys per apartment of a new object (k_net.v_key): the table's default, so
// every object made after an upgrade starts with it too.
constexpr int kDefaultKeysPerApartment = 4;

// The schema script of a new database: every table and column the program
// reads. Empty with a message when the resource is missing.
QString NewDatabaseSchema(QString* error);

// Writes a new database file (schema and reference rows) at filePath, whose
// folder must exist. The file is built under a temporary name and renamed
// when complete; an existing file is never overwritten (false with a message).
bool CreateNewDatabase(const QString& filePath, QString* error);

// True when table has a column named field (names compare case-insensitively).
// A missing table has no columns.
bool FieldExists(QSqlDatabase& db, const QString& table, const QString& field);

// "DROP TABLE" on the connection; false when it fails (e.g. no such table).
bool DropTable(QSqlDatabase& db, const QString& table);

// Work that belongs to the data module but runs inside the upgrade's order.
// Each hook is optional; one that returns false stops the upgrade with its
// message.
struct SchemaUpgradeHooks {
    // After the column steps, before the flag table step: the data module
    // opens its datasets, its melodies and the current object's matrix table.
    std::function<bool(QSqlDatabase& db, QString* error)> openMatrTable;
    // After the flag table step: the datasets opened last.
    std::function<bool(QSqlDatabase& db, QString* error)> afterFlagTable;
};

// Adds the columns an older file lacks, converts the old object flag columns
// into the flbv/flpo masks, drops obsolete columns, forces the few values
// the program relies on (KolTractPK 8, t_dl at least 66) and gives new objects
// the default keys per apartment (existing objects keep theirs). Safe to run at every
// open: a second run changes nothing. A file whose schema cannot be read is
// refused before any step; the steps and the hooks run in one transaction, so
// a failure leaves the file as it was. Old columns that the conversion reads
// are read as 0 when a file lacks them. A failure's reason is told as
// DatabaseErrorText tells it.
bool UpgradeSchema(QSqlDatabase& db, QString* error);
bool UpgradeSchema(QSqlDatabase& db, const SchemaUpgradeHooks& hooks, QString* error);

// The flag-name table step: its columns, its three fixed rows and the rename of
// the console's flag 1. Also run when every dataset is reopened.
bool UpgradeFlagTable(QSqlDatabase& db, QString* error);

// Splits an SQL script into statements at ';' outside quotes and comments;
// "--" comments are removed, empty statements skipped.
QStringList SplitSqlStatements(const QString& script);

// Runs every statement of script in one transaction.
bool RunSqlScript(QSqlDatabase& db, const QString& script, QString* error);
