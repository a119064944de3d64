#pragma once
// Rows an operation wrote, kept under tests/data as the expected result: a
// bulk operation rewritten for speed is compared row by row with what the
// earlier way of writing left in the same tables.
//
// Today's date (dd.MM.yyyy or ISO), wherever it stands in a value, is written
// as "<дата>", so the kept rows hold on any day. Run a test with
// ARM_RECORD_ROWS=1 to keep what the code writes now instead of comparing
// (only when the rows are meant to change).

#include <QSqlDatabase>
#include <QString>
#include <QStringList>

class TFDM;

// Every row of the tables, table by table in rowid order, as
// "table:|value|value..." (NULL for a null).
QStringList TableRowsOf(QSqlDatabase db, const QStringList& tables);

// What the data module's datasets show: per dataset whether it is open, its
// row count, its record number and a digest of its rows.
QStringList DatasetStates(const TFDM& dm);

// Today's date in a text (dd.MM.yyyy or ISO) made "<дата>".
QString WithoutToday(QString text);

// Compares rows with tests/data/<name>.rows; names the first row that differs.
void ExpectRecordedRows(const QString& name, const QStringList& rows);
