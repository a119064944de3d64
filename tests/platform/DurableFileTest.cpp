#include "platform/DurableFile.h"
#include "support/KilledChild.h"
#include "support/QtPrinters.h"

#include <gtest/gtest.h>
#include <QDir>
#include <QFile>
#include <QRegularExpression>
#include <QTemporaryDir>

#include <unistd.h>

#include <sys/stat.h>

namespace DurableFileTestUnit {
namespace {

QByteArray readAll(const QString& path) {
    QFile f(path);
    return f.open(QIODevice::ReadOnly) ? f.readAll() : QByteArray("<unreadable>");
}

void writePlain(const QString& path, const QByteArray& bytes) {
    QFile f(path);
    ASSERT_TRUE(f.open(QIODevice::WriteOnly));
    f.write(bytes);
}

mode_t modeOf(const QString& path) {
    struct stat st {};
    ::stat(QFile::encodeName(path).constData(), &st);
    return st.st_mode & 07777;
}

// Everything in the folder, hidden files included: a leftover temporary
// file would show here.
QStringList entries(const QString& dir) {
    return QDir(dir).entryList(QDir::AllEntries | QDir::Hidden | QDir::NoDotAndDotDot, QDir::Name);
}

TEST(DurableFile, WritesANewFileAndReplacesAnOldOneKeepingItsPermissions) {
    QTemporaryDir dir;
    const QString path = dir.filePath(QStringLiteral("save.ini"));
    ASSERT_TRUE(DurableFile::Write(path, "[Size]\nsw=800\n"));
    EXPECT_EQ(QByteArray("[Size]\nsw=800\n"), readAll(path));
    // A new file gets what any new file in the folder gets.
    const QString plain = dir.filePath(QStringLiteral("plain"));
    writePlain(plain, "x");
    EXPECT_EQ(modeOf(plain), modeOf(path));

    ::chmod(QFile::encodeName(path).constData(), 0640);
    QString error;
    ASSERT_TRUE(DurableFile::Write(path, QByteArray(), &error)) << error.toStdString();
    EXPECT_EQ(QByteArray(), readAll(path));
    EXPECT_EQ(mode_t(0640), modeOf(path));
    EXPECT_EQ(QStringList({QStringLiteral("plain"), QStringLiteral("save.ini")}),
              entries(dir.path()));
}

TEST(DurableFile, AFailedWriteLeavesTheOldFileAndNoTemporaryFile) {
    QTemporaryDir dir;
    QString error;
    EXPECT_FALSE(DurableFile::Write(dir.filePath(QStringLiteral("no/such/x.ini")), "x", &error));
    EXPECT_TRUE(error.contains(QStringLiteral("no/such"))) << error.toStdString();

    // A folder in the way cannot be replaced by a file.
    const QString blocked = dir.filePath(QStringLiteral("blocked"));
    ASSERT_TRUE(QDir().mkpath(blocked + QStringLiteral("/inside")));
    error.clear();
    EXPECT_FALSE(DurableFile::Write(blocked, "new", &error));
    EXPECT_FALSE(error.isEmpty());
    EXPECT_TRUE(QFileInfo(blocked).isDir());
    EXPECT_EQ(QStringList({QStringLiteral("blocked")}), entries(dir.path()));
}

TEST(DurableFile, CommitPutsAFinishedFileInPlaceAndCanRefuseToReplace) {
    QTemporaryDir dir;
    const QString target = dir.filePath(QStringLiteral("db_arm_vesk.mdb"));
    const QString copy = dir.filePath(QStringLiteral("db_arm_vesk1.mdb"));
    writePlain(target, "old");
    writePlain(copy, "compacted");

    QString error;
    EXPECT_FALSE(DurableFile::Commit(copy, target, DurableFile::Existing::Keep, &error));
    EXPECT_TRUE(error.contains(QStringLiteral("уже существует"))) << error.toStdString();
    EXPECT_EQ(QByteArray("old"), readAll(target));
    EXPECT_FALSE(QFile::exists(copy)) << "a refused file is removed";

    writePlain(copy, "compacted");
    ASSERT_TRUE(DurableFile::Commit(copy, target, DurableFile::Existing::Replace, &error))
        << error.toStdString();
    EXPECT_EQ(QByteArray("compacted"), readAll(target));
    EXPECT_EQ(QStringList({QStringLiteral("db_arm_vesk.mdb")}), entries(dir.path()));

    const QString fresh = dir.filePath(QStringLiteral("new.mdb"));
    writePlain(copy, "new");
    ASSERT_TRUE(DurableFile::Commit(copy, fresh, DurableFile::Existing::Keep, &error));
    EXPECT_EQ(QByteArray("new"), readAll(fresh));

    // Nothing to commit.
    EXPECT_FALSE(DurableFile::Commit(copy, fresh, DurableFile::Existing::Replace, &error));
    EXPECT_EQ(QByteArray("new"), readAll(fresh));
}

// A writer killed between its temporary file and the rename; in the same
// process a new database was half built under its temporary name, journal
// and all.
TEST(DurableFileKilledWriter, DiesBeforeTheRename) {
    if (!KilledChild::InChild()) GTEST_SKIP() << "runs only as a child";
    const QString folder = KilledChild::Value(QStringLiteral("folder"));
    const QString building = DurableFile::TemporaryPath(folder + QStringLiteral("/db.mdb"));
    writePlain(building, "SQLite format 3");
    writePlain(building + QStringLiteral("-journal"), "journal");
    DurableFile::BeforeRenameForTests = &KilledChild::ReachedKillPoint;
    DurableFile::Write(folder + QStringLiteral("/settings.ini"), "new");
    ADD_FAILURE() << "the write ended without reaching its kill point";
}

TEST(DurableFile, TheNextWriteRemovesTheTemporaryFilesOfKilledWritersOnly) {
    QTemporaryDir dir;
    const QString settings = dir.filePath(QStringLiteral("settings.ini"));
    ASSERT_TRUE(DurableFile::Write(settings, "old"));
    KilledChild child(QStringLiteral("DurableFileKilledWriter.DiesBeforeTheRename"));
    child.Set(QStringLiteral("folder"), dir.path());
    ASSERT_TRUE(child.RunUntilKilled()) << child.Output().toStdString();

    EXPECT_EQ(QByteArray("old"), readAll(settings));
    const QStringList left = entries(dir.path());
    ASSERT_EQ(4, left.size()) << left.join(' ').toStdString();
    const QRegularExpressionMatch temp =
        QRegularExpression(QStringLiteral("^\\.settings\\.ini\\.(\\d+)-\\d+-[0-9a-f]{8}\\.tmp$"))
            .match(left.filter(QStringLiteral(".settings.ini.")).value(0));
    ASSERT_TRUE(temp.hasMatch()) << left.join(' ').toStdString();
    const QString gone = temp.captured(1);

    // What stays: the temporary files of running processes (this one, and the
    // first process of the system), names only alike, and a leftover that
    // cannot be removed.
    const QStringList kept = {
        QFileInfo(DurableFile::TemporaryPath(dir.filePath(QStringLiteral("report.txt")))).fileName(),
        QStringLiteral(".report.txt.1-0-0123abcd.tmp"),
        QStringLiteral(".settings.ini.%1.tmp").arg(gone),
        QStringLiteral(".settings.ini.%1-0-ABCDEF01.tmp").arg(gone),
        QStringLiteral(".settings.ini.%1-0-abcdef0.tmp").arg(gone),
        QStringLiteral(".settings.ini.%1-x-abcdef01.tmp").arg(gone),
        QStringLiteral(".settings.ini.%1-0-abcdef01.tmp.bak").arg(gone),
        QStringLiteral("settings.ini.%1-0-abcdef01.tmp").arg(gone),
        QStringLiteral("..%1-0-abcdef01.tmp").arg(gone),
    };
    for (const QString& name : kept) writePlain(dir.filePath(name), "kept");
    const QString stuck = QStringLiteral(".old.ini.%1-5-abcdef01.tmp").arg(gone);
    ASSERT_TRUE(QDir(dir.path()).mkpath(stuck + QStringLiteral("/inside")));

    QString error;
    ASSERT_TRUE(DurableFile::Write(settings, "new", &error)) << error.toStdString();
    EXPECT_EQ(QByteArray("new"), readAll(settings));
    QStringList expected = kept;
    expected << QStringLiteral("settings.ini") << stuck;
    expected.sort();
    EXPECT_EQ(expected, entries(dir.path()));

    // A commit tidies the folder the same way.
    const QString another = QStringLiteral(".x.ini.%1-1-00000000.tmp").arg(gone);
    writePlain(dir.filePath(another), "left");
    const QString built = DurableFile::TemporaryPath(dir.filePath(QStringLiteral("x.ini")));
    writePlain(built, "x");
    ASSERT_TRUE(DurableFile::Commit(built, dir.filePath(QStringLiteral("x.ini")),
                                    DurableFile::Existing::Keep, &error))
        << error.toStdString();
    EXPECT_FALSE(QFileInfo::exists(dir.filePath(another)));
}
}  // namespace
}  // namespace DurableFileTestUnit
