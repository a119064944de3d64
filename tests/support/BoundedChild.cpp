#include "support/BoundedChild.h"

#include "support/TestTempFolder.h"

#include <gtest/gtest.h>
#include <QDateTime>
#include <QDir>
#include <QFile>

#include <cerrno>
#include <csignal>
#include <cstdio>
#include <cstring>
#include <exception>
#include <iostream>
#include <string>
#include <vector>

#include <fcntl.h>
#include <poll.h>
#include <spawn.h>
#include <sys/prctl.h>
#include <sys/resource.h>
#include <sys/wait.h>
#include <unistd.h>

extern char** environ;

namespace {

// Set in a child's environment: "<parent's pid> <k> <Suite.Name>", the
// child runs the work of the k-th Start of that test.
const char kChildVariable[] = "ARM_BOUNDED_CHILD";
// Lines the child prints for the parent, each on a line of its own.
const QByteArray kStepMark = "@bounded-child-step@ ";
const QByteArray kWorkMark = "@bounded-child-work@ ";
// A child whose test ended before its work began.
constexpr int kWorkNeverBegan = 3;

qint64 nowMs() {
    return QDateTime::currentMSecsSinceEpoch();
}

// The process's virtual size and resident memory, in bytes (0 when unknown).
struct Memory {
    qint64 virtualBytes = 0;
    qint64 residentBytes = 0;
};
Memory memoryOf(pid_t pid) {
    QFile statm(QStringLiteral("/proc/%1/statm").arg(pid));
    Memory m;
    if (!statm.open(QIODevice::ReadOnly)) return m;
    const QList<QByteArray> pages = statm.readAll().split(' ');
    const qint64 page = ::sysconf(_SC_PAGESIZE);
    if (pages.size() > 1) {
        m.virtualBytes = pages[0].toLongLong() * page;
        m.residentBytes = pages[1].toLongLong() * page;
    }
    return m;
}

// The CPU time the process has used (user and system), in ms; -1 when unknown.
qint64 cpuMsOf(pid_t pid) {
    QFile stat(QStringLiteral("/proc/%1/stat").arg(pid));
    if (!stat.open(QIODevice::ReadOnly)) return -1;
    const QByteArray line = stat.readAll();
    // The name in parentheses may hold blanks; the fields after it are
    // state, ppid, ... utime (the 14th of the line) and stime.
    const QList<QByteArray> fields = line.mid(line.lastIndexOf(')') + 2).split(' ');
    if (fields.size() < 13) return -1;
    const qint64 ticks = fields[11].toLongLong() + fields[12].toLongLong();
    return ticks * 1000 / ::sysconf(_SC_CLK_TCK);
}

std::string currentTest() {
    const testing::TestInfo* test = testing::UnitTest::GetInstance()->current_test_info();
    return test ? std::string(test->test_suite_name()) + "." + test->name() : std::string();
}

// The failed parts of the test running now, as gtest counts them.
int failedParts() {
    const testing::TestInfo* test = testing::UnitTest::GetInstance()->current_test_info();
    if (!test) return 0;
    int failed = 0;
    for (int i = 0; i < test->result()->total_part_count(); ++i)
        if (test->result()->GetTestPartResult(i).failed()) ++failed;
    return failed;
}

// What this process is: the test program, or a child started for the k-th
// Start of one of its tests.
struct ChildRole {
    bool child = false;
    pid_t parent = 0;
    int start = 0;
    std::string test;
};
const ChildRole& role() {
    static const ChildRole r = [] {
        ChildRole r;
        const QByteArray value = qgetenv(kChildVariable);
        const qsizetype first = value.indexOf(' ');
        const qsizetype second = value.indexOf(' ', first + 1);
        if (first <= 0 || second <= first) return r;
        r.parent = pid_t(value.left(first).toLongLong());
        r.start = value.mid(first + 1, second - first - 1).toInt();
        r.test = value.mid(second + 1).toStdString();
        r.child = r.parent > 0 && r.start > 0 && !r.test.empty();
        return r;
    }();
    return r;
}

// The Starts of the test running now; counted again from each test's start.
int startsInTest = 0;
class StartCounter : public testing::EmptyTestEventListener {
    void OnTestStart(const testing::TestInfo&) override { startsInTest = 0; }
};

void flushAll() {
    std::cout.flush();
    std::cerr.flush();
    std::fflush(nullptr);
}

void printMark(const QByteArray& mark, const QByteArray& value) {
    flushAll();
    std::printf("\n%s%s\n", mark.constData(), value.constData());
    std::fflush(stdout);
}

// In the child: its CPU time from now and its address space are bounded.
void limitTheWork(const BoundedChild::Limits& limits) {
    const qint64 now = memoryOf(::getpid()).virtualBytes;
    rlimit space{};
    ::getrlimit(RLIMIT_AS, &space);
    space.rlim_cur = rlim_t(now + limits.growthBytes);
    if (now <= 0 || ::setrlimit(RLIMIT_AS, &space) != 0)
        std::printf("no address-space limit could be set\n");
    rusage used{};
    ::getrusage(RUSAGE_SELF, &used);
    const rlim_t usedSeconds = rlim_t(used.ru_utime.tv_sec + used.ru_stime.tv_sec + 1);
    // SIGXCPU at the soft limit ends it; the hard one, a little later,
    // kills a child that caught the signal.
    const rlimit cpu{usedSeconds + rlim_t(limits.seconds), usedSeconds + rlim_t(limits.seconds) + 5};
    if (::setrlimit(RLIMIT_CPU, &cpu) != 0) std::printf("no CPU time limit could be set\n");
    const rlimit noCore{0, 0};
    ::setrlimit(RLIMIT_CORE, &noCore);
}

// In the child: the work under its limits, then the child ends with its
// result; never returns.
[[noreturn]] void runWork(const std::function<void()>& work, const BoundedChild::Limits& limits) {
    limitTheWork(limits);
    printMark(kWorkMark, QByteArray::number(memoryOf(::getpid()).residentBytes));
    const int failedBefore = failedParts();
    int code = 0;
    try {
        work();
        if (failedParts() != failedBefore) code = 1;
    } catch (const std::exception& e) {
        std::printf("the child threw: %s\n", e.what());
        code = 2;
    } catch (...) {
        std::printf("the child threw\n");
        code = 2;
    }
    flushAll();
    // The test's clean-up never runs here: its temporary files go now.
    QDir(TestTempFolder::Root() + QLatin1Char('/') + QString::number(::getpid()))
        .removeRecursively();
    ::_exit(code);
}

// The environment of a child: this one's, without what would make gtest
// run another test or write a report, with the child's role.
std::vector<std::string> childEnvironment(const std::string& test, int start) {
    std::vector<std::string> env;
    for (char** e = environ; *e; ++e) {
        const std::string entry = *e;
        if (entry.rfind("GTEST_", 0) == 0 || entry.rfind(kChildVariable, 0) == 0) continue;
        env.push_back(entry);
    }
    std::string own = kChildVariable;
    own += '=';
    own += std::to_string(::getpid());
    own += ' ';
    own += std::to_string(start);
    own += ' ';
    own += test;
    env.push_back(own);
    return env;
}

std::vector<char*> pointers(std::vector<std::string>& strings) {
    std::vector<char*> p;
    for (std::string& s : strings) p.push_back(s.data());
    p.push_back(nullptr);
    return p;
}

}  // namespace

void BoundedChild::Step(const QString& what) {
    printMark(kStepMark, what.toUtf8());
}

int BoundedChild::RunAllTests() {
    testing::UnitTest::GetInstance()->listeners().Append(new StartCounter);
    if (!role().child) return RUN_ALL_TESTS();
    // A test killed from outside takes its child along.
    ::prctl(PR_SET_PDEATHSIG, SIGKILL);
    if (::getppid() != role().parent) return kWorkNeverBegan;
    [[maybe_unused]] const int result = RUN_ALL_TESTS();  // the work's result is the child's
    flushAll();
    std::printf("the child's test %s ended before its work %d began\n", role().test.c_str(),
                role().start);
    std::fflush(stdout);
    return kWorkNeverBegan;
}

BoundedChild::~BoundedChild() {
    if (pid_ > 0 && !ended_) {
        ::kill(pid_, SIGKILL);
        ::waitpid(pid_, nullptr, 0);
    }
    if (output_ >= 0) ::close(output_);
}

bool BoundedChild::Start(const std::function<void()>& work) {
    const int start = ++startsInTest;
    if (role().child && role().test == currentTest()) {
        if (start == role().start) runWork(work, limits_);
        // Another child's work: done there.
        ended_ = passed_ = true;
        return true;
    }
    return spawn(start);
}

// The test program started again, running the test now with the number of
// this Start, its output into a pipe.
bool BoundedChild::spawn(int start) {
    const std::string test = currentTest();
    if (test.empty()) {
        why_ = QStringLiteral("a child is started only within a test");
        return false;
    }
    int pipe[2];
    if (::pipe2(pipe, O_CLOEXEC) != 0) {
        why_ = QStringLiteral("no pipe for the child");
        return false;
    }
    std::vector<std::string> args{"/proc/self/exe", "--gtest_filter=" + test,
                                  "--gtest_also_run_disabled_tests", "--gtest_brief=1",
                                  "--gtest_color=no"};
    std::vector<std::string> env = childEnvironment(test, start);
    posix_spawn_file_actions_t actions;
    posix_spawn_file_actions_init(&actions);
    posix_spawn_file_actions_addopen(&actions, STDIN_FILENO, "/dev/null", O_RDONLY, 0);
    posix_spawn_file_actions_adddup2(&actions, pipe[1], STDOUT_FILENO);
    posix_spawn_file_actions_adddup2(&actions, pipe[1], STDERR_FILENO);
    flushAll();
    const int failed = ::posix_spawn(&pid_, "/proc/self/exe", &actions, nullptr,
                                     pointers(args).data(), pointers(env).data());
    posix_spawn_file_actions_destroy(&actions);
    ::close(pipe[1]);
    if (failed != 0) {
        ::close(pipe[0]);
        pid_ = -1;
        why_ = QStringLiteral("no child process: %1").arg(QString::fromLocal8Bit(std::strerror(failed)));
        return false;
    }
    output_ = pipe[0];
    ::fcntl(output_, F_SETFL, ::fcntl(output_, F_GETFL) | O_NONBLOCK);
    startedMs_ = nowMs();
    return true;
}

void BoundedChild::readOutput() {
    if (output_ < 0) return;
    char buffer[65536];
    for (;;) {
        const ssize_t n = ::read(output_, buffer, sizeof buffer);
        if (n > 0) {
            printed_.append(buffer, n);
            continue;
        }
        if (n < 0 && errno == EINTR) continue;
        break;
    }
    // The marks among the whole lines printed since the last look.
    for (qsizetype end; (end = printed_.indexOf('\n', scanned_)) >= 0; scanned_ = end + 1) {
        const QByteArray line = printed_.mid(scanned_, end - scanned_);
        for (const QByteArray& mark : {kStepMark, kWorkMark})
            if (line.startsWith(mark)) seen(mark, line.mid(mark.size()));
    }
}

void BoundedChild::seen(const QByteArray& mark, const QByteArray& value) {
    if (mark == kWorkMark) {
        working_ = true;
        baseResident_ = value.toLongLong();
    } else {
        step_ = QString::fromUtf8(value);
    }
    stepStartedCpuMs_ = cpuMsOf(pid_);
}

void BoundedChild::stop(const QString& why) {
    why_ = why;
    ::kill(pid_, SIGKILL);
}

QString BoundedChild::inStep() const {
    return step_.isEmpty() ? QString() : QStringLiteral(" in step \"%1\"").arg(step_);
}

bool BoundedChild::ended(int status) {
    ended_ = true;
    readOutput();
    ::close(output_);
    output_ = -1;
    passed_ = why_.isEmpty() && WIFEXITED(status) && WEXITSTATUS(status) == 0;
    if (!passed_ && why_.isEmpty()) {
        if (WIFSIGNALED(status) && WTERMSIG(status) == SIGXCPU)
            why_ = QStringLiteral("the child ran past its CPU time of %1 s%2")
                       .arg(limits_.seconds)
                       .arg(inStep());
        else if (WIFSIGNALED(status))
            why_ = QStringLiteral("the child died of signal %1%2").arg(WTERMSIG(status)).arg(inStep());
        else if (WEXITSTATUS(status) == kWorkNeverBegan)
            why_ = QStringLiteral("the child's work never began");
        else
            why_ = QStringLiteral("the child ended with %1").arg(WEXITSTATUS(status));
    }
    return false;
}

bool BoundedChild::Running() {
    if (pid_ <= 0 || ended_) return false;
    pollfd fd{output_, POLLIN, 0};
    ::poll(&fd, 1, 20);
    readOutput();
    int status = 0;
    if (::waitpid(pid_, &status, WNOHANG) == pid_) return ended(status);
    if (why_.isEmpty()) stopWhenPastLimits();  // else killed, and reaped on a later call
    return true;
}

void BoundedChild::stopWhenPastLimits() {
    if (nowMs() - startedMs_ > qint64(limits_.backstopSeconds) * 1000) {
        stop(QStringLiteral("the child ran past its backstop of %1 s of wall-clock time%2")
                 .arg(limits_.backstopSeconds)
                 .arg(inStep()));
        return;
    }
    if (!working_) return;  // the program's start is not the work
    const qint64 grown = memoryOf(pid_).residentBytes - baseResident_;
    const qint64 cpuMs = cpuMsOf(pid_);
    if (grown > limits_.growthBytes)
        stop(QStringLiteral("the child grew by %1 MB, past its limit of %2 MB%3")
                 .arg(grown >> 20)
                 .arg(limits_.growthBytes >> 20)
                 .arg(inStep()));
    else if (cpuMs >= 0 && stepStartedCpuMs_ >= 0 &&
             cpuMs - stepStartedCpuMs_ > qint64(limits_.stepSeconds) * 1000)
        stop(QStringLiteral("the child ran past %1 s of CPU time%2")
                 .arg(limits_.stepSeconds)
                 .arg(inStep()));
}

bool BoundedChild::Run(const std::function<void()>& work) {
    if (!Start(work)) return false;
    while (Running()) {
    }
    return Passed();
}

QString BoundedChild::Output() const {
    QByteArray shown = printed_;
    const qsizetype work = shown.indexOf("\n" + kWorkMark);
    if (work >= 0) shown.remove(work, shown.indexOf('\n', work + 1) - work);
    const QString printed = QString::fromLocal8Bit(shown);
    return why_.isEmpty() ? printed : why_ + QLatin1Char('\n') + printed;
}
