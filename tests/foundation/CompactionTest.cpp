#include "foundation/Compaction.h"
#include "platform/AppPaths.h"
#include "platform/FileUseLock.h"
#include "support/QtPrinters.h"
#include "support/ReadOnlyPath.h"
#include "support/ScriptedDialogs.h"

#include "SiteFixture.h"

#include <gtest/gtest.h>
#include <QCoreApplication>
#include <QCryptographicHash>
#include <QDir>
#include <QFile>
#include <QSysInfo>

#include <fcntl.h>
#include <sys/file.h>
#include <sys/wait.h>
#include <unistd.h>

namespace CompactionTestUnit {

namespace {

// Another process holding the database's lock file, the way a copy of the
// program that opened it first does, or (SharedUse) a shared use lock on the
// database file, as every copy of the program does; until this object ends.
class ForeignLock {
  public:
    enum class Kind { LockFile, SharedUse };
    explicit ForeignLock(const QString& lockPath, Kind kind = Kind::LockFile) {
        const QByteArray path = QFile::encodeName(lockPath);
        int ready[2], release[2];
        if (pipe(ready) != 0 || pipe(release) != 0) return;
        const QByteArray app = QCoreApplication::applicationName().toUtf8();
        const QByteArray host = QSysInfo::machineHostName().toUtf8();
        pid_ = fork();
        if (pid_ == 0) {
            // Only async-signal-safe calls from here on.
            close(ready[0]);
            close(release[1]);
            char ok = 0;
            if (kind == Kind::SharedUse) {
                const int fd = open(path.constData(), O_RDONLY);
                ok = fd >= 0 && flock(fd, LOCK_SH | LOCK_NB) == 0;
                (void)!write(ready[1], &ok, 1);
                char c;
                while (read(release[0], &c, 1) > 0) {
                }
                _exit(0);
            }
            const int fd = open(path.constData(), O_RDWR | O_CREAT | O_EXCL, 0666);
            if (fd >= 0 && flock(fd, LOCK_EX | LOCK_NB) == 0) {
                char pid[16];
                int n = 0;
                for (long v = getpid(); v > 0; v /= 10) pid[n++] = char('0' + v % 10);
                for (int i = n - 1; i >= 0; --i) (void)!write(fd, &pid[i], 1);
                (void)!write(fd, "\n", 1);
                (void)!write(fd, app.constData(), app.size());
                (void)!write(fd, "\n", 1);
                (void)!write(fd, host.constData(), host.size());
                (void)!write(fd, "\n", 1);
                ok = 1;
            }
            (void)!write(ready[1], &ok, 1);
            char c;
            while (read(release[0], &c, 1) > 0) {
            }
            if (ok) unlink(path.constData());
            _exit(0);
        }
        close(ready[1]);
        close(release[0]);
        release_ = release[1];
        char ok = 0;
        held_ = read(ready[0], &ok, 1) == 1 && ok == 1;
        close(ready[0]);
    }
    ~ForeignLock() {
        if (release_ >= 0) close(release_);
        if (pid_ > 0) waitpid(pid_, nullptr, 0);
    }
    bool held() const { return held_; }

  private:
    pid_t pid_ = -1;
    int release_ = -1;
    bool held_ = false;
};

QByteArray fileHash(const QString& path) {
    QFile f(path);
    if (!f.open(QIODevice::ReadOnly)) return {};
    return QCryptographicHash::hash(f.readAll(), QCryptographicHash::Sha256);
}

class CompactionTest : public SiteFixture {
  protected:
    QString copyPath() const { return tdb_.dbDir() + AppPaths::kDbCompactName; }
    QString lockPath() const { return tdb_.dbDir() + AppPaths::kDbLockName; }
};

TEST_F(CompactionTest, CompactsKeepsTheObjectAndRemovesAStaleCopy) {
    // Bulk that compaction gives back once deleted.
    Exec(
        "WITH RECURSIVE n(i) AS (SELECT 1 UNION ALL SELECT i+1 FROM n WHERE i<20000)"
        " INSERT INTO k_key (un_key, s_met, id_kvr) SELECT printf('%012d', i),"
        " printf('%050d', i), 9999 FROM n");
    Exec("DELETE FROM k_key WHERE id_kvr=9999");
    const qint64 before = QFileInfo(tdb_.dbPath()).size();
    tdb_.programDir().writeFile("DB_ARM/db_arm_vesk1.mdb", "stale copy of an earlier run");
    ASSERT_TRUE(dm_->Q_Net->Locate("id_net", 1));
    const int recNo = dm_->Q_Net->RecNo();

    ScriptedDialogs script;
    script.Expect("Подтверждение", "Сжать БД на диске?", DlgAnswer::Yes);
    QList<int> steps;
    bool hidden = false;
    EXPECT_TRUE(NCompactClick(*dm_, [&](int v, int max, bool visible) {
        EXPECT_EQ(max, 10);
        steps << v;
        hidden = !visible;
    }));
    EXPECT_TRUE(hidden);
    ASSERT_FALSE(steps.isEmpty());
    EXPECT_EQ(steps.last(), 10);
    EXPECT_FALSE(QFile::exists(copyPath()));
    EXPECT_LT(QFileInfo(tdb_.dbPath()).size(), before);
    EXPECT_TRUE(dm_->Connected());
    EXPECT_TRUE(dm_->HoldsLock());
    EXPECT_EQ(dm_->Q_Net->RecNo(), recNo);
    EXPECT_EQ(dm_->Q_Pod->RecordCount(), 3);
    EXPECT_EQ(Scalar("SELECT COUNT(*) FROM k_kvr").toInt(), 13);
}

TEST_F(CompactionTest, RefusesWhileAnotherProcessHoldsTheLock) {
    dm_->Disconnect();
    ForeignLock other(lockPath());
    ASSERT_TRUE(other.held());
    QString error;
    ASSERT_TRUE(dm_->Connect(tdb_.dbPath(), &error)) << error.toStdString();
    EXPECT_FALSE(dm_->HoldsLock());  // the file is shared, not ours
    ASSERT_TRUE(dm_->OpenAllTables());
    ASSERT_TRUE(dm_->Q_Net->Locate("id_net", 1));
    const QByteArray hash = fileHash(tdb_.dbPath());

    ScriptedDialogs script;
    script.Expect("Подтверждение", "Сжать БД на диске?", DlgAnswer::Yes)
        .Expect("Отмена действия", "База данных занята другим пользователем!");
    bool hidden = false;
    EXPECT_FALSE(NCompactClick(*dm_, [&](int, int, bool visible) { hidden = !visible; }));
    EXPECT_TRUE(hidden);
    EXPECT_EQ(fileHash(tdb_.dbPath()), hash);
    EXPECT_FALSE(QFile::exists(copyPath()));
    EXPECT_TRUE(dm_->Connected());
    EXPECT_EQ(dm_->Q_Net->FieldByName("id_net").AsInt(), 1);
}

// This program opened the database first and holds the lock file; another
// copy opened it later and has it open still.
TEST_F(CompactionTest, RefusesWhileAProgramThatOpenedLaterHasTheDatabase) {
    ASSERT_TRUE(dm_->HoldsLock());
    {
        FileUseLock sole;  // the data module counts as a user while connected
        EXPECT_FALSE(sole.LockExclusive(tdb_.dbPath()));
    }
    ForeignLock later(tdb_.dbPath(), ForeignLock::Kind::SharedUse);
    ASSERT_TRUE(later.held());
    ASSERT_TRUE(dm_->Q_Net->Locate("id_net", 1));
    const QByteArray hash = fileHash(tdb_.dbPath());

    ScriptedDialogs script;
    script.Expect("Подтверждение", "Сжать БД на диске?", DlgAnswer::Yes)
        .Expect("Отмена действия", "База данных занята другим пользователем!");
    EXPECT_FALSE(NCompactClick(*dm_));
    EXPECT_EQ(fileHash(tdb_.dbPath()), hash);
    EXPECT_FALSE(QFile::exists(copyPath()));
    EXPECT_TRUE(dm_->Connected());
    EXPECT_TRUE(dm_->HoldsLock());
    EXPECT_EQ(dm_->Q_Net->FieldByName("id_net").AsInt(), 1);
}

TEST_F(CompactionTest, RefusesInAReadOnlyFolderAndSaysSo) {
    ASSERT_TRUE(dm_->Q_Net->Locate("id_net", 1));
    const QByteArray hash = fileHash(tdb_.dbPath());
    ReadOnlyPath readOnly(tdb_.dbDir());
    if (!readOnly.Active()) GTEST_SKIP() << "no way to make a folder read-only here";

    ScriptedDialogs script;
    script.Expect("Подтверждение", "Сжать БД на диске?", DlgAnswer::Yes)
        .Expect("Отмена действия", "Папка базы данных доступна только для чтения: " + tdb_.dbDir() +
                                       "\nСжатие БД невозможно.");
    bool shown = false;
    EXPECT_FALSE(NCompactClick(*dm_, [&](int, int, bool visible) { shown = shown || visible; }));
    EXPECT_FALSE(shown) << "refused before the gauge starts";
    EXPECT_EQ(fileHash(tdb_.dbPath()), hash);
    EXPECT_TRUE(dm_->Connected());
    EXPECT_EQ(dm_->Q_Net->FieldByName("id_net").AsInt(), 1);
}

TEST_F(CompactionTest, DeclinedOrFailedCompactionLeavesTheDatabaseUsable) {
    {
        ScriptedDialogs script;
        script.Expect("Подтверждение", "Сжать БД на диске?", DlgAnswer::No);
        EXPECT_FALSE(NCompactClick(*dm_));
        EXPECT_TRUE(dm_->Connected());
    }
    // A stale copy that cannot be removed stops the command with the reason.
    ASSERT_TRUE(QDir().mkpath(copyPath() + "/blocker"));
    const QByteArray hash = fileHash(tdb_.dbPath());
    ScriptedDialogs script;
    script.Expect("Подтверждение", "Сжать БД на диске?", DlgAnswer::Yes)
        .ExpectContaining("Ошибка", "db_arm_vesk1.mdb");
    EXPECT_FALSE(NCompactClick(*dm_));
    EXPECT_EQ(fileHash(tdb_.dbPath()), hash);
    EXPECT_TRUE(dm_->Connected());
    EXPECT_TRUE(dm_->HoldsLock());
    EXPECT_EQ(dm_->Q_Net->RecordCount(), 2);

    // CompactDatabase itself never writes over an existing file.
    QString error;
    EXPECT_FALSE(CompactDatabase(tdb_.dbPath(), copyPath(), &error));
    EXPECT_FALSE(error.isEmpty());
}

}  // namespace
}  // namespace CompactionTestUnit
