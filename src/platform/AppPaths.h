#pragma once
// The program folder and the fixed folders under it. Paths use '/' and folder
// texts keep a trailing '/'.

#include <QString>

namespace AppPaths {

// Folder of the executable, or the folder a test set.
QString ProgramDir();
void SetProgramDirForTests(const QString& dir);

// ProgramDir() + relative, with a trailing '/' when relative names a folder.
QString UnderProgram(const QString& relative);

// Default database folder "DB_ARM/" under the program folder.
QString DefaultDbDir();

constexpr const char* kDbFileName = "db_arm_vesk.mdb";
constexpr const char* kDbLockName = "db_arm_vesk.ldb";
constexpr const char* kDbCompactName = "db_arm_vesk1.mdb";

// Ensures a trailing '/' and turns '\' into '/'.
QString NormalizeDir(const QString& dir);

}  // namespace AppPaths
