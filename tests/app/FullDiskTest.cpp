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

namespace FullDiskTestUnit {

namespace {

TEST(FullDisk, CompactionSaysTheDiskIsFullAndLeavesTheDatabaseOpenAsItWas) {
    ProgramOnASmallDisk place;
    if (!place.disk.Mounted()) GTEST_SKIP() << place.disk.WhyNot().toStdString();
    const QString folder = place.Folder();
    const QString file = place.File();
    QString error;
    ASSERT_TRUE(CreateNewDatabase(file, &error)) << error.toStdString();
    {
        TFDM opened;  // once, as the program leaves it: with its indexes
        ASSERT_TRUE(opened.Connect(file, &error)) << error.toStdString();
    }
    ASSERT_TRUE(place.disk.Fill());
    const QByteArray before = fileBytes(file);

    ScriptedDialogs dialogs;
    TheWholeProgram program;  // the start goes on without its own lock file
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
    program.End();
    EXPECT_EQ(before, fileBytes(file));
    EXPECT_FALSE(QFile::exists(folder + QLatin1String(AppPaths::kDbCompactName)));
}

}  // namespace
}  // namespace FullDiskTestUnit
