#pragma once
// The database engine's reason for a failed operation, told to the operator
// in Russian and as a sentence of its own ("На диске нет места."), the way
// SystemErrorText tells a file's: never the statement that failed nor the
// driver's English words. Those go to the program's log, for whoever looks
// into the failure.

#include <QString>

class QSqlError;
class QSqlQuery;
struct sqlite3;

// The reason for SQLite's result code, primary or extended. The engine's own
// words, where given, name the table or field a statement did not find. The
// connection the statement failed on, where given, tells a full file apart:
// a counter of the file that has run out of row numbers is told as such, and
// the disk only when the database's disk has no room.
QString DatabaseReason(int resultCode, const QString& engineText = {},
                       sqlite3* connection = nullptr);
// The reason for an error of QtSql's SQLite driver, by its native code; an
// error that has none (no connection, no driver) gets the general reason.
QString DatabaseReason(const QSqlError& error, sqlite3* connection = nullptr);

// The reason tells what a statement met, not a failure of the file or the
// disk as a whole: a field or table the file lacks, a rule the file imposes,
// a value that does not fit, or only that the engine failed.
bool IsGeneralDatabaseReason(const QString& reason);

// An INSERT went through without its row: a trigger of the file ignored it.
QString NoNewRowReason();

// SQLite's result code of a QtSql error; 0 when it has none.
int DatabaseResultCode(const QSqlError& error);

// The failure is the file's or the disk's, not the statement's: a full disk,
// a read-only, damaged or foreign file, an input/output error, a lock held
// by another program, no memory. A bulk write that meets one stops and
// rolls back; nothing it would write afterwards could be trusted to stay.
bool IsDatabaseWideFailure(int resultCode);

// The reason as DatabaseReason gives it, with the engine's own text and the
// statement written to the log.
QString LoggedDatabaseReason(const QSqlError& error, const QString& statement = {},
                             sqlite3* connection = nullptr);
QString LoggedDatabaseReason(int resultCode, const QString& engineText,
                             const QString& statement = {}, sqlite3* connection = nullptr);
// The reason of the query's last failure, on the connection it ran on.
QString LoggedDatabaseReason(const QSqlQuery& failed, const QString& statement);
