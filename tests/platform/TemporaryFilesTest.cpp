// Where the tests' temporary files go: a folder of each test process under
// the build tree, never /tmp, and a killed test's folder does not stay.
#include "support/KilledChild.h"
#include "support/TestTempFolder.h"

#include <gtest/gtest.h>
#include <QDir>
#include <QFileInfo>
#include <QRegularExpression>
#include <QTemporaryFile>

#include <cstdio>

namespace TemporaryFilesTestUnit {
namespace {

const QString kFileMark = QStringLiteral("TEMPORARY-FILE ");

TEST(TemporaryFilesChild, MakesAFileAndIsKilled) {
    if (!KilledChild::InChild()) GTEST_SKIP() << "runs only as a child";
    QTemporaryFile file;
    ASSERT_TRUE(file.open());
    std::printf("\n%s%s\n", qPrintable(kFileMark), qPrintable(file.fileName()));
    std::fflush(stdout);
    KilledChild::ReachedKillPoint();
}

TEST(TemporaryFiles, GoUnderTheBuildTreeAndAKilledTestLeavesNothing) {
    const QString root = TestTempFolder::Root() + QLatin1Char('/');
    EXPECT_TRUE(QDir::tempPath().startsWith(root)) << QDir::tempPath().toStdString();

    KilledChild child(QStringLiteral("TemporaryFilesChild.MakesAFileAndIsKilled"));
    ASSERT_TRUE(child.RunUntilKilled()) << child.Output().toStdString();
    const QRegularExpressionMatch made =
        QRegularExpression(QRegularExpression::escape(kFileMark) + QStringLiteral("(\\S+)"))
            .match(child.Output());
    ASSERT_TRUE(made.hasMatch()) << child.Output().toStdString();
    const QString file = made.captured(1);
    // The child's own folder, not this process's.
    EXPECT_TRUE(file.startsWith(root)) << file.toStdString();
    EXPECT_FALSE(file.startsWith(QDir::tempPath() + QLatin1Char('/'))) << file.toStdString();

    // Whichever test process comes next removes what the killed one left.
    TestTempFolder::RemoveLeftovers();
    EXPECT_FALSE(QFileInfo::exists(file)) << file.toStdString();
    EXPECT_FALSE(QFileInfo::exists(QFileInfo(file).absolutePath()));
    EXPECT_TRUE(QFileInfo::exists(QDir::tempPath()));
}
}  // namespace
}  // namespace TemporaryFilesTestUnit
