#pragma once
// The database engine's reason for a failed operation, told to the operator
// in Russian and as a sentence of its own ("На диске нет места."), the way
// SystemErrorText tells a file's: never the statement that failed nor the
// driver's English words. Those go to the program's log, for whoever looks
// into the failure.

#include <QString>

class QSqlError;

// The reason for SQLite's result code, primary or extended.
QString DatabaseReason(int resultCode);
// The reason for an error of QtSql's SQLite driver, by its native code; an
// error that has none (no connection, no driver) gets the general reason.
QString DatabaseReason(const QSqlError& error);

// The reason names no cause, only that the engine failed (with its code):
// what a statement met is not the file's or the disk's doing.
bool IsGeneralDatabaseReason(const QString& reason);

// SQLite's result code of a QtSql error; 0 when it has none.
int DatabaseResultCode(const QSqlError& error);

// The failure is the file's or the disk's, not the statement's: a full disk,
// a read-only, damaged or foreign file, an input/output error, a lock held
// by another program, no memory. A bulk write that meets one stops and
// rolls back; nothing it would write afterwards could be trusted to stay.
bool IsDatabaseWideFailure(int resultCode);

// The reason as DatabaseReason gives it, with the engine's own text and the
// statement written to the log.
QString LoggedDatabaseReason(const QSqlError& error, const QString& statement = {});
QString LoggedDatabaseReason(int resultCode, const QString& engineText,
                             const QString& statement = {});
