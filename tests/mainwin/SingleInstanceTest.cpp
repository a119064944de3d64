#include "foundation/MainWindowLogic.h"
#include "foundation/ui/TFMainVesk.h"
#include "platform/SingleInstance.h"
#include "support/QtPrinters.h"
#include "support/ScriptedDialogs.h"
#include "support/TempProgramDir.h"
#include "support/TestDatabase.h"

#include <gtest/gtest.h>
#include <QDir>
#include <QElapsedTimer>
#include <QFile>
#include <QProcess>
#include <QSqlQuery>
#include <QTemporaryDir>
#include <QTest>

namespace {

// The built program, copied into a program folder of its own, run with a
// private socket folder so that parallel test runs do not meet.
class ProgramRun {
  public:
    ProgramRun(const QString& programDir, const QString& socketDir) {
        const QString exe = programDir + QStringLiteral("arm");
        if (!QFile::exists(exe)) QFile::copy(QStringLiteral(ARM_BIN_DIR "/arm"), exe);
        QProcessEnvironment env = QProcessEnvironment::systemEnvironment();
        env.insert(QStringLiteral("TMPDIR"), socketDir);
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
    int ExitCode() const { return process_.exitCode(); }

  private:
    QProcess process_;
};

// Waits until a program listens for the start-up caption (its start-up may
// be slow under a sanitizer).
bool waitForListener(int ms) {
    QElapsedTimer t;
    t.start();
    while (t.elapsed() < ms) {
        if (SingleInstanceGuard::IsRunning(MainWindowTexts::kCaption)) return true;
        QTest::qWait(100);
    }
    return false;
}

// Runs body with TMPDIR pointing at a private folder, so the sockets this
// process makes and looks for are the ones the started programs see.
class PrivateSocketDir {
  public:
    PrivateSocketDir() : previous_(qgetenv("TMPDIR")) { qputenv("TMPDIR", dir_.path().toUtf8()); }
    ~PrivateSocketDir() {
        if (previous_.isEmpty())
            qunsetenv("TMPDIR");
        else
            qputenv("TMPDIR", previous_);
    }
    QString path() const { return dir_.path(); }

  private:
    QTemporaryDir dir_;
    QByteArray previous_;
};

}  // namespace

TEST(SingleInstanceGuard, ListensOnlyWhileTheCaptionIsTheGuardedOne) {
    PrivateSocketDir sockets;
    SingleInstanceGuard guard(QStringLiteral("APM ZAZ-Kiro-2"));
    EXPECT_FALSE(SingleInstanceGuard::IsRunning(QStringLiteral("APM ZAZ-Kiro-2")));
    guard.FollowCaption(QStringLiteral("APM ZAZ-Kiro-2"));
    EXPECT_TRUE(guard.Listening());
    EXPECT_TRUE(SingleInstanceGuard::IsRunning(QStringLiteral("APM ZAZ-Kiro-2")));
    EXPECT_FALSE(SingleInstanceGuard::IsRunning(QStringLiteral("АРМ DUZAVIZOR")));
    guard.FollowCaption(QStringLiteral("АРМ DUZAVIZOR"));
    EXPECT_FALSE(guard.Listening());
    EXPECT_FALSE(SingleInstanceGuard::IsRunning(QStringLiteral("APM ZAZ-Kiro-2")));
    guard.FollowCaption(QStringLiteral("APM ZAZ-Kiro-2"));
    EXPECT_TRUE(SingleInstanceGuard::IsRunning(QStringLiteral("APM ZAZ-Kiro-2")));
}

TEST(SingleInstanceGuard, TakesOverASocketLeftByACrashedProgram) {
    PrivateSocketDir sockets;
    const QString name = SingleInstanceGuard::SocketName(QStringLiteral("APM ZAZ-Kiro-2"));
    QFile stale(sockets.path() + QLatin1Char('/') + name);
    ASSERT_TRUE(stale.open(QIODevice::WriteOnly));
    stale.close();
    SingleInstanceGuard guard(QStringLiteral("APM ZAZ-Kiro-2"));
    guard.FollowCaption(QStringLiteral("APM ZAZ-Kiro-2"));
    EXPECT_TRUE(guard.Listening());
}

TEST(SingleInstanceProgram, SecondStartEndsWhileTheFirstShowsItsStartUpCaption) {
    PrivateSocketDir sockets;
    TempProgramDir first;
    TempProgramDir second;
    // The first program has no database: it stays up behind its error message
    // with its start-up caption.
    ProgramRun one(first.path(), sockets.path());
    ASSERT_TRUE(one.Start());
    ASSERT_TRUE(waitForListener(30000));
    ProgramRun two(second.path(), sockets.path());
    ASSERT_TRUE(two.Start());
    EXPECT_TRUE(two.EndsWithin(15000));
    EXPECT_EQ(0, two.ExitCode());
    EXPECT_FALSE(one.EndsWithin(0));
    EXPECT_FALSE(QFile::exists(second.path() + QStringLiteral("Ini")))
        << "the second start must create nothing";
}

TEST(SingleInstanceProgram, ASecondStartRunsOnceTheFirstWentToTheMenuScreen) {
    PrivateSocketDir sockets;
    TempProgramDir program;
    // The first instance is a main window in this process, guarded as the
    // program guards its own.
    ScriptedDialogs dialogs;
    dialogs.ExpectContaining(QStringLiteral("Ошибка"), QStringLiteral("Ошибка открытия БД "));
    SingleInstanceGuard guard(MainWindowTexts::kCaption);
    TFMainVesk window;
    window.SetInstanceGuard(&guard);
    ASSERT_EQ(MainWindowTexts::kCaption, window.windowTitle());
    ASSERT_TRUE(guard.Listening());
    {
        ProgramRun blocked(program.path(), sockets.path());
        ASSERT_TRUE(blocked.Start());
        EXPECT_TRUE(blocked.EndsWithin(15000));
    }
    window.ButEndClick();
    EXPECT_EQ(QStringLiteral("АРМ DUZAVIZOR"), window.windowTitle());
    EXPECT_FALSE(guard.Listening());
    ProgramRun runs(program.path(), sockets.path());
    ASSERT_TRUE(runs.Start());
    // It starts up (and listens for its own caption) instead of ending.
    EXPECT_TRUE(waitForListener(30000));
    EXPECT_FALSE(runs.EndsWithin(0));
}

TEST(SingleInstanceProgram, AFirstProgramThatStartsOnTheMenuScreenLetsASecondRun) {
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
    ProgramRun first(database.programDir().path(), sockets.path());
    ASSERT_TRUE(first.Start());
    // Settled: its settings were read and nobody listens for the start-up caption.
    QElapsedTimer t;
    t.start();
    int quietSince = -1;
    while (t.elapsed() < 30000) {
        const bool quiet = QFile::exists(database.programDir().path() + QStringLiteral("Ini")) &&
                           !SingleInstanceGuard::IsRunning(MainWindowTexts::kCaption);
        if (!quiet)
            quietSince = -1;
        else if (quietSince < 0)
            quietSince = int(t.elapsed());
        else if (t.elapsed() - quietSince > 1500)
            break;
        QTest::qWait(100);
    }
    ASSERT_GE(quietSince, 0);
    ASSERT_FALSE(first.EndsWithin(0));

    TempProgramDir secondDir;
    ProgramRun second(secondDir.path(), sockets.path());
    ASSERT_TRUE(second.Start());
    EXPECT_TRUE(waitForListener(30000));
    EXPECT_FALSE(second.EndsWithin(0));
}
