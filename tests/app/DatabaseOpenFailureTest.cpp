// A database file that cannot be used is named at start-up in Russian, with
// no statement and none of the engine's English words, and is never changed:
// not a file that is no database at all, and not a damaged one, whether the
// upgrade would have had something to write to it or not.

#include "MainWindowFixture.h"
#include "app/TFMainVesk.h"
#include "foundation/DbSchema.h"
#include "foundation/TFDM.h"
#include "platform/AppPaths.h"
#include "support/QtPrinters.h"
#include "support/ScriptedDialogs.h"
#include "support/TempProgramDir.h"
#include "support/TestDatabase.h"

#include <gtest/gtest.h>
#include <QFile>
#include <QRegularExpression>

namespace {

// What the operator reads, less the paths it names: no Latin letter is left.
QString latinOutsidePaths(QString text, const QString& folder) {
    text.remove(folder + QLatin1String(AppPaths::kDbFileName)).remove(folder);
    QStringList runs;
    for (const QRegularExpressionMatch& m :
         QRegularExpression(QStringLiteral("[A-Za-z]+")).globalMatch(text))
        runs << m.captured();
    return runs.join(QLatin1Char(' '));
}

// Starts the program on folder, which holds an unusable database file, and
// returns the open error it shows; the ways out are declined.
QString startAndTellWhy(const QString& folder) {
    TFDM fdm;
    ScriptedDialogs dialogs;
    dialogs.ExpectContaining(QStringLiteral("Ошибка"),
                             QStringLiteral("Ошибка открытия БД ") + folder + QStringLiteral("!\n"));
    DeclineTheWaysOut(dialogs, folder, false);  // nothing new over a file that is there
    TFMainVesk window;
    dialogs.VerifyDone();
    EXPECT_EQ(0, window.VisibleScreen());
    EXPECT_FALSE(fdm.Connected());
    return dialogs.Shown().value(0).section(QLatin1Char('|'), 1);
}

// The open error names the folder on its first line and says why in Russian
// sentences of their own below it; the file is as it was, and no journal of
// an upgrade is left beside it.
void expectToldAndUntouched(const QString& folder, const QByteArray& before) {
    const QString text = startAndTellWhy(folder);
    SCOPED_TRACE(text.toStdString());
    const QString head = QStringLiteral("Ошибка открытия БД ") + folder + QStringLiteral("!\n");
    ASSERT_TRUE(text.startsWith(head));
    EXPECT_TRUE(text.endsWith(QLatin1Char('.')));
    EXPECT_EQ(QString(), latinOutsidePaths(text, folder));
    const QString file = folder + QLatin1String(AppPaths::kDbFileName);
    EXPECT_EQ(before, fileBytes(file));
    EXPECT_FALSE(QFile::exists(file + QStringLiteral("-journal")));
}

// The file's first page as it is; every page after it overwritten.
QByteArray damagedAfterFirstPage(const QByteArray& database) {
    const int pageSize = (quint8(database[16]) << 8) | quint8(database[17]);
    EXPECT_GE(pageSize, 512);
    QByteArray damaged = database;
    for (qsizetype i = pageSize; i < damaged.size(); ++i) damaged[i] = char(0x5A ^ (i & 0x3F));
    return damaged;
}

TEST(DatabaseOpenFailure, AFileThatIsNoDatabaseIsToldInRussianAndLeftAsItWas) {
    const struct {
        const char* what;
        QByteArray bytes;
    } files[] = {
        {"a text file", "Это список квартир, а не база данных.\nkv 1 - 5\n"},
        // A new database to SQLite; to the program a file that holds none.
        {"an empty file", QByteArray()},
        {"an SQLite header and then text",
         QByteArray("SQLite format 3\0", 16) + QByteArray(200, 'x')},
    };
    for (const auto& file : files) {
        SCOPED_TRACE(file.what);
        TempProgramDir dir;
        const QString folder = dir.path() + QStringLiteral("DB_ARM/");
        dir.writeFile(QStringLiteral("DB_ARM/db_arm_vesk.mdb"), file.bytes);
        expectToldAndUntouched(folder, file.bytes);
    }
}

TEST(DatabaseOpenFailure, ADatabaseDamagedAfterItsFirstPageIsToldAndNeverChanged) {
    // A current file, and one whose upgrade would add columns and convert rows.
    for (TestDatabase::Kind kind : {TestDatabase::Kind::New, TestDatabase::Kind::OldFormat}) {
        SCOPED_TRACE(kind == TestDatabase::Kind::New ? "a current database" : "an old database");
        TestDatabase database(kind);
        const QByteArray damaged = damagedAfterFirstPage(fileBytes(database.dbPath()));
        database.programDir().writeFile(QStringLiteral("DB_ARM/db_arm_vesk.mdb"), damaged);
        expectToldAndUntouched(database.dbDir(), damaged);
    }
}

}  // namespace
