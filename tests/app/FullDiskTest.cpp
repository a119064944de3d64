// Compaction on a disk filled to its last byte: the lock file it needs
// cannot be written, which is told as it is, not as a database in use by
// another, and the database stays as it was and open.

#include "MainWindowFixture.h"
#include "app/AppForms.h"
#include "app/TFMainVesk.h"
#include "foundation/DbSchema.h"
#include "foundation/Globals.h"
#include "foundation/TFDM.h"
#include "platform/AppPaths.h"
#include "support/QtPrinters.h"

#include <gtest/gtest.h>
#include <QAction>

namespace {

TEST(FullDisk, CompactionSaysTheDiskIsFullAndLeavesTheDatabaseOpenAsItWas) {
    SmallDisk disk(1024 * 1024);
    if (!disk.Mounted()) GTEST_SKIP() << disk.WhyNot().toStdString();
    TempProgramDir program;
    const QString folder = DatabaseFolderOn(disk, program);
    const QString file = folder + QLatin1String(AppPaths::kDbFileName);
    QString error;
    ASSERT_TRUE(CreateNewDatabase(file, &error)) << error.toStdString();
    {
        TFDM opened;  // once, as the program leaves it: with its indexes
        ASSERT_TRUE(opened.Connect(file, &error)) << error.toStdString();
    }
    ASSERT_TRUE(disk.Fill());
    const QByteArray before = fileBytes(file);

    const NavigationHooks hooks = Hooks();
    const ArmGlobals globals = Globals();
    ScriptedDialogs dialogs;
    AppForms::CreateAll();  // the start goes on without its own lock file
    ASSERT_TRUE(FDM && FDM->Connected());
    dialogs
        .Expect(QStringLiteral("Подтверждение"), QStringLiteral("Сжать БД на диске?"),
                DlgAnswer::Yes)
        .Expect(QStringLiteral("Отмена действия"),
                QStringLiteral("Не удалось создать файл блокировки ") + folder +
                    QLatin1String(AppPaths::kDbLockName) + QStringLiteral(". На диске нет места."));
    FMainVesk->MenuItem(QStringLiteral("NCompact"))->trigger();
    dialogs.VerifyDone();
    EXPECT_TRUE(FDM->Connected());
    AppForms::DestroyAll();
    Hooks() = hooks;
    Globals() = globals;
    EXPECT_EQ(before, fileBytes(file));
    EXPECT_FALSE(QFile::exists(folder + QLatin1String(AppPaths::kDbCompactName)));
}

}  // namespace
