#pragma once
// The declared default of a column in a database that already exists.
// SQLite has no statement that changes a default; the table's CREATE text is
// edited instead (the procedure SQLite documents for defaults), after the
// edited text has been tried on a scratch database. The rows stay as they are.

#include <QSqlDatabase>
#include <QString>

// The CREATE TABLE text with column's default set to value (an SQL literal):
// an existing DEFAULT clause has its value replaced, a column without one gets
// " DEFAULT value". Comments and the rest of the text stay as written. Empty
// when the text holds no such column.
QString WithColumnDefault(const QString& createSql, const QString& column, const QString& value);

// Sets the declared default of table.column to value when it differs. A file
// whose table text cannot be edited safely keeps its old default; that is not
// an error. False only when the database could not be read.
bool SetColumnDefault(QSqlDatabase& db, const QString& table, const QString& column,
                      const QString& value, QString* error);
