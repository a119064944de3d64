#include "MainWindowFixture.h"
#include "foundation/MainWindowLogic.h"
#include "app/TFMainVesk.h"
#include "platform/SingleInstance.h"
#include "support/QtPrinters.h"
#include "support/ScriptedDialogs.h"
#include "support/TempProgramDir.h"
#include "support/TestDatabase.h"

#include <gtest/gtest.h>
#include <QDir>
#include <QElapsedTimer>
#include <QFile>
#include <QLocalServer>
#include <QLocalSocket>
#include <QProcess>
#include <QSignalSpy>
#include <QSqlQuery>
#include <QTest>

#include <cstdio>
#include <cstdlib>

#include <sys/stat.h>
#include <unistd.h>

namespace SingleInstanceTestUnit {
namespace {

// The built program, copied into a program folder of its own, run with the
// private folders of this process (see PrivateSocketDir) so that parallel
// test runs do not meet.
class ProgramRun {
  public:
    explicit ProgramRun(const QString& programDir) {
        const QString exe = programDir + QStringLiteral("arm");
        if (!QFile::exists(exe)) QFile::copy(QStringLiteral(ARM_BIN_DIR "/arm"), exe);
        QProcessEnvironment env = QProcessEnvironment::systemEnvironment();
        env.insert(QStringLiteral("QT_QPA_PLATFORM"), QStringLiteral("offscreen"));
        process_.setProcessEnvironment(env);
        process_.setProgram(exe);
        process_.setProcessChannelMode(QProcess::ForwardedErrorChannel);
    }
    ~ProgramRun() {
        if (process_.state() != QProcess::NotRunning) {
            process_.kill();
            process_.waitForFinished(5000);
        }
    }
    bool Start() {
        process_.start();
        return process_.waitForStarted(5000);
    }
    bool EndsWithin(int ms) { return process_.waitForFinished(ms); }
    // Waits while this process goes on answering (a first copy living in this
    // process must answer the second's request).
    bool EndsWhileServing(int ms) {
        QElapsedTimer t;
        t.start();
        while (process_.state() != QProcess::NotRunning && t.elapsed() < ms) QTest::qWait(50);
        return process_.state() == QProcess::NotRunning;
    }
    int ExitCode() const { return process_.exitCode(); }

  private:
    QProcess process_;
};

// Waits until a program holds the program's place (its start-up may be slow
// under a sanitizer).
bool waitForListener(int ms) {
    QElapsedTimer t;
    t.start();
    while (t.elapsed() < ms) {
        if (SingleInstanceGuard::IsRunning()) return true;
        QTest::qWait(100);
    }
    return false;
}

// A folder of its own under the system's temporary folder, removed with
// everything in it. Not under the build: a socket's path may not pass 107
// bytes, and the build may lie as deep as its user likes.
class ShortFolder {
  public:
    ShortFolder() {
        QByteArray pattern = "/tmp/arm-XXXXXX";
        if (::mkdtemp(pattern.data())) path_ = QFile::decodeName(pattern);
    }
    ~ShortFolder() {
        if (!path_.isEmpty()) QDir(path_).removeRecursively();
    }
    ShortFolder(const ShortFolder&) = delete;
    ShortFolder& operator=(const ShortFolder&) = delete;
    QString path() const { return path_; }

  private:
    QString path_;  // made closed to others; empty when it could not be made
};

// A runtime folder and a temporary folder of this test's own, so the sockets
// this process makes and looks for are the ones the started programs see,
// whatever the session's XDG_RUNTIME_DIR is.
class PrivateSocketDir {
  public:
    PrivateSocketDir() : runtimeBefore_(qgetenv("XDG_RUNTIME_DIR")), tmpBefore_(qgetenv("TMPDIR")) {
        EXPECT_FALSE(root_.path().isEmpty()) << "no folder under /tmp";
        QDir(root_.path()).mkdir(QStringLiteral("tmp"));
        qputenv("XDG_RUNTIME_DIR", QFile::encodeName(runtime()));
        qputenv("TMPDIR", QFile::encodeName(tmp()));
    }
    ~PrivateSocketDir() {
        restore("XDG_RUNTIME_DIR", runtimeBefore_);
        restore("TMPDIR", tmpBefore_);
    }
    QString runtime() const { return root_.path(); }
    QString tmp() const { return root_.path() + QStringLiteral("/tmp"); }

  private:
    static void restore(const char* name, const QByteArray& value) {
        if (value.isEmpty())
            qunsetenv(name);
        else
            qputenv(name, value);
    }

    QByteArray runtimeBefore_;
    QByteArray tmpBefore_;
    ShortFolder root_;  // the runtime folder itself, closed to others
};

// The folder holding path: its owner and its permission bits.
struct FolderOwner {
    uid_t uid = 0;
    mode_t mode = 0;
};
FolderOwner folderOf(const QString& path) {
    struct stat st {};
    ::stat(QFile::encodeName(QFileInfo(path).absolutePath()).constData(), &st);
    return {st.st_uid, mode_t(st.st_mode & 0777)};
}

// A listener of another account at the place the guard used before: the
// shared temporary folder, open to all, answering every request as shown.
class ForeignListener {
  public:
    ForeignListener() {
        server_.setSocketOptions(QLocalServer::WorldAccessOption);
        QObject::connect(&server_, &QLocalServer::newConnection, [this] {
            while (QLocalSocket* s = server_.nextPendingConnection()) {
                ++requests_;
                QObject::connect(s, &QLocalSocket::readyRead, s, [s] {
                    s->readAll();
                    s->write("shown\n");
                    s->flush();
                });
            }
        });
    }
    bool Listen() { return server_.listen(QStringLiteral("arm-vesk-%1").arg(::getuid())); }
    int Requests() const { return requests_; }

  private:
    QLocalServer server_;
    int requests_ = 0;
};

TEST(SingleInstanceGuard, OneHolderAtATimeWhateverItsCaption) {
    PrivateSocketDir sockets;
    EXPECT_FALSE(SingleInstanceGuard::IsRunning());
    {
        SingleInstanceGuard first;
        ASSERT_TRUE(first.Claim());
        EXPECT_TRUE(first.Held());
        EXPECT_TRUE(SingleInstanceGuard::IsRunning());
        SingleInstanceGuard second;
        EXPECT_FALSE(second.Claim());
        EXPECT_FALSE(second.Held());
        EXPECT_TRUE(first.Claim()) << "claiming again changes nothing";
    }
    // The place is free once its holder ends.
    EXPECT_FALSE(SingleInstanceGuard::IsRunning());
    SingleInstanceGuard later;
    EXPECT_TRUE(later.Claim());
}

TEST(SingleInstanceGuard, TakesOverASocketLeftByACrashedProgram) {
    PrivateSocketDir sockets;
    QFile stale(SingleInstanceGuard::SocketName());
    ASSERT_TRUE(stale.open(QIODevice::WriteOnly));
    stale.close();
    SingleInstanceGuard guard;
    EXPECT_TRUE(guard.Claim());
    EXPECT_TRUE(guard.Held());
}

TEST(SingleInstanceProgram, SecondStartEndsWhileTheFirstShowsItsStartUpCaption) {
    PrivateSocketDir sockets;
    TempProgramDir first;
    TempProgramDir second;
    // The first program has no database: it stays up behind its error message
    // with its start-up caption.
    ProgramRun one(first.path());
    ASSERT_TRUE(one.Start());
    ASSERT_TRUE(waitForListener(30000));
    ProgramRun two(second.path());
    ASSERT_TRUE(two.Start());
    EXPECT_TRUE(two.EndsWithin(15000));
    EXPECT_EQ(0, two.ExitCode());
    EXPECT_FALSE(one.EndsWithin(0));
    EXPECT_FALSE(QFile::exists(second.path() + QStringLiteral("Ini")))
        << "the second start must create nothing";
}

TEST(SingleInstanceProgram, ASecondStartBringsTheFirstWindowForwardAlsoFromTheMenuScreen) {
    PrivateSocketDir sockets;
    TempProgramDir program;
    TempProgramDir windowDir;  // the in-process window's program folder
    // The first instance is a main window in this process, guarded as the
    // program guards its own, and brought forward as the program does.
    ScriptedDialogs dialogs;
    ExpectAStartWithoutDatabase(dialogs, windowDir.path());
    SingleInstanceGuard guard;
    ASSERT_TRUE(guard.Claim());
    TFMainVesk window;
    QObject::connect(&guard, &SingleInstanceGuard::ShowRequested, &window,
                     &TFMainVesk::BringToFront);
    QSignalSpy asked(&guard, &SingleInstanceGuard::ShowRequested);
    window.ButEndClick();
    window.showMinimized();
    ASSERT_EQ(QStringLiteral("АРМ DUZAVIZOR"), window.windowTitle());
    EXPECT_TRUE(guard.Held());
    ProgramRun blocked(program.path());
    ASSERT_TRUE(blocked.Start());
    EXPECT_TRUE(blocked.EndsWhileServing(15000));
    EXPECT_EQ(0, blocked.ExitCode());
    EXPECT_EQ(1, asked.count());
    EXPECT_FALSE(window.isMinimized());
    EXPECT_TRUE(window.isVisible());
    EXPECT_FALSE(QFile::exists(program.path() + QStringLiteral("Ini")));
}

// A copy that holds the place but does not answer is not taken for one that
// showed its window: the later start then tells the operator.
TEST(SingleInstanceGuard, OnlyAnAnsweringCopyCountsAsShown) {
    PrivateSocketDir sockets;
    QLocalServer mute;
    ASSERT_TRUE(mute.listen(SingleInstanceGuard::SocketName()));
    EXPECT_TRUE(SingleInstanceGuard::IsRunning());
    EXPECT_FALSE(SingleInstanceGuard::AskRunningToShow(300));
    mute.close();
    EXPECT_FALSE(SingleInstanceGuard::AskRunningToShow(300));
}

TEST(SingleInstanceProgram, AFirstProgramThatStartsOnTheMenuScreenKeepsASecondOut) {
    PrivateSocketDir sockets;
    // The first program opens a database with an object and returns to the
    // saved menu screen, which changes its caption at start-up.
    TestDatabase database;
    {
        QSqlDatabase db = database.open();
        QSqlQuery q(db);
        ASSERT_TRUE(q.exec(QStringLiteral("INSERT INTO k_net (ident) VALUES ('Объект')")));
    }
    database.programDir().writeFile(QStringLiteral("Ini/save.ini"), "[Object]\nnf=0\n");
    ProgramRun first(database.programDir().path());
    ASSERT_TRUE(first.Start());
    ASSERT_TRUE(waitForListener(30000));
    // Settled on its menu screen: the database is open (its lock file is there).
    QElapsedTimer t;
    t.start();
    const QString lock = database.dbDir() + QStringLiteral("db_arm_vesk.ldb");
    while (!QFile::exists(lock) && t.elapsed() < 30000) QTest::qWait(100);
    ASSERT_TRUE(QFile::exists(lock));
    QTest::qWait(500);
    ASSERT_FALSE(first.EndsWithin(0));

    // A second copy on the same database ends at once.
    ProgramRun second(database.programDir().path());
    ASSERT_TRUE(second.Start());
    EXPECT_TRUE(second.EndsWithin(15000));
    EXPECT_EQ(0, second.ExitCode());
    EXPECT_FALSE(first.EndsWithin(0));
}

// Wherever the session's runtime folder points, the guard's socket lies in a
// folder of the user's own that nobody else may enter: another account can
// neither put a listener there nor take the place first.
TEST(SingleInstanceGuard, ItsSocketLiesInAFolderOnlyItsUserMayEnter) {
    PrivateSocketDir sockets;
    const struct {
        const char* what;
        QString runtime;
        QFile::Permissions permissions;
    } cases[] = {
        {"a private runtime folder", sockets.runtime(),
         QFile::ReadOwner | QFile::WriteOwner | QFile::ExeOwner},
        {"one open to everybody", sockets.tmp() + QStringLiteral("/open"),
         QFile::Permissions(0x7777)},
        {"one that is not there", sockets.tmp() + QStringLiteral("/missing"), {}},
    };
    for (const auto& c : cases) {
        SCOPED_TRACE(c.what);
        if (c.permissions != QFile::Permissions()) {
            QDir().mkpath(c.runtime);
            ASSERT_TRUE(QFile::setPermissions(c.runtime, c.permissions));
        }
        qputenv("XDG_RUNTIME_DIR", QFile::encodeName(c.runtime));
        SingleInstanceGuard guard;
        ASSERT_TRUE(guard.Claim());
        ASSERT_TRUE(guard.Held());
        const FolderOwner folder = folderOf(SingleInstanceGuard::SocketName());
        EXPECT_EQ(::getuid(), folder.uid);
        EXPECT_EQ(0700, folder.mode) << std::oct << folder.mode;
    }
}

// The guard's own check of the folder it is handed, whatever Qt made of the
// session's runtime folder: only a folder of the user's own, closed to
// everybody else, takes the socket.
TEST(SingleInstanceGuard, TakesARuntimeFolderOnlyWhenItIsTheUsersOwnAndClosed) {
    ShortFolder base;
    ASSERT_FALSE(base.path().isEmpty());
    constexpr uid_t kSomebodyElse = 65534;
    const struct {
        const char* what;
        const char* name;
        int mode;      // -1: a plain file; 0: nothing there
        bool foreign;  // owned by another user (only root can make one)
        bool taken;
    } cases[] = {
        {"the user's own, closed", "own", 0700, false, true},
        {"writable by others", "open", 0777, false, false},
        {"writable by others only", "others", 0703, false, false},
        {"open to the group", "group", 0770, false, false},
        {"readable by others", "readable", 0704, false, false},
        {"another user's, closed", "foreign", 0700, true, false},
        {"a file", "file", -1, false, false},
        {"not there", "missing", 0, false, false},
    };
    for (const auto& c : cases) {
        SCOPED_TRACE(c.what);
        if (c.foreign && ::getuid() != 0) {
            std::printf("[ SKIPPED  ] %s: only root can give a folder away\n", c.what);
            continue;
        }
        const QString folder = base.path() + QLatin1Char('/') + QLatin1String(c.name);
        const QByteArray native = QFile::encodeName(folder);
        if (c.mode > 0) {
            ASSERT_EQ(0, ::mkdir(native.constData(), 0700));
            ASSERT_EQ(0, ::chmod(native.constData(), mode_t(c.mode)));  // past the umask
        } else if (c.mode < 0) {
            QFile file(folder);
            ASSERT_TRUE(file.open(QIODevice::WriteOnly));
        }
        if (c.foreign) {
            ASSERT_EQ(0, ::chown(native.constData(), kSomebodyElse, kSomebodyElse));
        }
        EXPECT_EQ(SingleInstanceGuard::SocketNameIn(folder),
                  c.taken ? folder + QStringLiteral("/arm-vesk") : QString());
    }
    EXPECT_EQ(SingleInstanceGuard::SocketNameIn(QString()), QString()) << "no runtime folder";
}

// What another account measured: a socket at the old shared place, open to
// all, answering "shown". A start neither ends on it nor sends it anything.
TEST(SingleInstanceProgram, AListenerAtTheOldSharedPlaceNeitherStopsAStartNorHearsIt) {
    PrivateSocketDir sockets;
    ForeignListener foreign;
    ASSERT_TRUE(foreign.Listen());
    TempProgramDir program;
    ProgramRun run(program.path());
    ASSERT_TRUE(run.Start());
    // Served meanwhile, until the start goes past the guard (it reads its
    // settings, making their folder) or ends.
    const QString settings = program.path() + QStringLiteral("Ini");
    QElapsedTimer t;
    t.start();
    while (!QFile::exists(settings) && !run.EndsWithin(0) && t.elapsed() < 30000) QTest::qWait(50);
    EXPECT_TRUE(QFile::exists(settings));
    EXPECT_FALSE(run.EndsWithin(0));
    EXPECT_EQ(0, foreign.Requests());
}
}  // namespace
}  // namespace SingleInstanceTestUnit
