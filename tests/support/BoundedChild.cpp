#include "support/BoundedChild.h"

#include <gtest/gtest.h>
#include <QDateTime>
#include <QFile>

#include <cerrno>
#include <csignal>
#include <cstdio>
#include <exception>
#include <iostream>

#include <fcntl.h>
#include <poll.h>
#include <sys/prctl.h>
#include <sys/resource.h>
#include <sys/wait.h>
#include <unistd.h>

namespace {

const QByteArray kStepMark = "\n@bounded-child-step@ ";

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

// The failed parts of the test running now, as gtest counts them.
int failedParts() {
    const testing::TestInfo* test = testing::UnitTest::GetInstance()->current_test_info();
    if (!test) return 0;
    int failed = 0;
    for (int i = 0; i < test->result()->total_part_count(); ++i)
        if (test->result()->GetTestPartResult(i).failed()) ++failed;
    return failed;
}

// In the child: the work under the address-space limit; never returns.
[[noreturn]] void runChild(const std::function<void()>& work, qint64 growthBytes, int output) {
    ::prctl(PR_SET_PDEATHSIG, SIGKILL);  // a test killed from outside takes its child along
    ::dup2(output, STDOUT_FILENO);
    ::dup2(output, STDERR_FILENO);
    ::close(output);
    const qint64 now = memoryOf(::getpid()).virtualBytes;
    rlimit limit{};
    ::getrlimit(RLIMIT_AS, &limit);
    limit.rlim_cur = rlim_t(now + growthBytes);
    if (now <= 0 || ::setrlimit(RLIMIT_AS, &limit) != 0)
        std::printf("no address-space limit could be set\n");
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
    std::cout.flush();
    std::cerr.flush();
    std::fflush(nullptr);
    ::_exit(code);
}

}  // namespace

void BoundedChild::Step(const QString& what) {
    std::cout.flush();
    std::fflush(nullptr);
    std::printf("%s%s\n", kStepMark.constData(), what.toUtf8().constData());
    std::fflush(stdout);
}

BoundedChild::~BoundedChild() {
    if (pid_ > 0 && !ended_) {
        ::kill(pid_, SIGKILL);
        ::waitpid(pid_, nullptr, 0);
    }
    if (output_ >= 0) ::close(output_);
}

bool BoundedChild::Start(const std::function<void()>& work) {
    int pipe[2];
    if (::pipe2(pipe, O_CLOEXEC) != 0) {
        why_ = QStringLiteral("no pipe for the child");
        return false;
    }
    std::cout.flush();
    std::cerr.flush();
    std::fflush(nullptr);
    baseResident_ = memoryOf(::getpid()).residentBytes;
    pid_ = ::fork();
    if (pid_ == 0) {
        ::close(pipe[0]);
        runChild(work, limits_.growthBytes, pipe[1]);
    }
    ::close(pipe[1]);
    if (pid_ < 0) {
        ::close(pipe[0]);
        why_ = QStringLiteral("no child process");
        return false;
    }
    output_ = pipe[0];
    ::fcntl(output_, F_SETFL, ::fcntl(output_, F_GETFL) | O_NONBLOCK);
    startedMs_ = stepStartedMs_ = nowMs();
    return true;
}

void BoundedChild::readOutput() {
    if (output_ < 0) return;
    char buffer[65536];
    for (;;) {
        const ssize_t n = ::read(output_, buffer, sizeof buffer);
        if (n > 0) {
            const qsizetype seen = qMax<qsizetype>(0, printed_.size() - kStepMark.size());
            printed_.append(buffer, n);
            const qsizetype mark = printed_.lastIndexOf(kStepMark);
            if (mark >= seen) {
                const qsizetype from = mark + kStepMark.size();
                step_ = QString::fromUtf8(printed_.mid(from, printed_.indexOf('\n', from) - from));
                stepStartedMs_ = nowMs();
            }
            continue;
        }
        if (n < 0 && errno == EINTR) continue;
        return;
    }
}

void BoundedChild::stop(const QString& why) {
    why_ = why;
    ::kill(pid_, SIGKILL);
}

bool BoundedChild::ended(int status) {
    ended_ = true;
    readOutput();
    ::close(output_);
    output_ = -1;
    passed_ = why_.isEmpty() && WIFEXITED(status) && WEXITSTATUS(status) == 0;
    if (!passed_ && why_.isEmpty())
        why_ = WIFSIGNALED(status)
                   ? QStringLiteral("the child died of signal %1").arg(WTERMSIG(status))
                   : QStringLiteral("the child ended with %1").arg(WEXITSTATUS(status));
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
    const QString in = step_.isEmpty() ? QString() : QStringLiteral(" in step \"%1\"").arg(step_);
    const qint64 grown = memoryOf(pid_).residentBytes - baseResident_;
    const qint64 now = nowMs();
    if (grown > limits_.growthBytes)
        stop(QStringLiteral("the child grew by %1 MB, past its limit of %2 MB%3")
                 .arg(grown >> 20)
                 .arg(limits_.growthBytes >> 20)
                 .arg(in));
    else if (now - stepStartedMs_ > qint64(limits_.stepSeconds) * 1000)
        stop(QStringLiteral("the child ran past %1 s%2").arg(limits_.stepSeconds).arg(in));
    else if (now - startedMs_ > qint64(limits_.seconds) * 1000)
        stop(QStringLiteral("the child ran past its %1 s%2").arg(limits_.seconds).arg(in));
}

bool BoundedChild::Run(const std::function<void()>& work) {
    if (!Start(work)) return false;
    while (Running()) {
    }
    return Passed();
}

QString BoundedChild::Output() const {
    const QString printed = QString::fromLocal8Bit(printed_);
    return why_.isEmpty() ? printed : why_ + QLatin1Char('\n') + printed;
}
