#pragma once
// A temporary program folder holding a database at DB_ARM/db_arm_vesk.mdb:
// a new one made by CreateNewDatabase, one in the old layout, or none.
// Connections opened through the fixture are closed and removed with it;
// keep the QSqlDatabase objects you get inside the fixture's lifetime.

#include "support/TempProgramDir.h"

#include <QSqlDatabase>
#include <QString>
#include <QStringList>

class TestDatabase {
  public:
    enum class Kind { New, OldFormat, None };

    explicit TestDatabase(Kind kind = Kind::New);
    ~TestDatabase();
    TestDatabase(const TestDatabase&) = delete;
    TestDatabase& operator=(const TestDatabase&) = delete;

    TempProgramDir& programDir() { return dir_; }
    // The database folder with a trailing '/' and the database file.
    QString dbDir() const;
    QString dbPath() const;

    // Opens a new, uniquely named connection on the database file.
    QSqlDatabase open();

    // Writes a database in the old layout (tests/data/old_format.sql) at path.
    static bool BuildOldFormatDatabase(const QString& path, QString* error);

    // Every table's rows as text, in rowid order, for before/after comparison;
    // the schema's statements come first.
    static QString Dump(QSqlDatabase& db);

  private:
    TempProgramDir dir_;
    QStringList connections_;
};
