#include "support/KillTest.h"

#include <poll.h>
#include <signal.h>
#include <sys/wait.h>
#include <unistd.h>

namespace {

// The child's end: tell the parent, then wait for the end that is coming.
[[noreturn]] void StopHere(int fd) {
    const char mark = 'h';
    (void)!write(fd, &mark, 1);
    for (;;) pause();
}

}  // namespace

bool KillWhenHalfWay(const HalfWayWork& work, QString* why, int timeoutMs) {
    int fds[2];
    if (pipe(fds) != 0) {
        *why = QStringLiteral("pipe failed");
        return false;
    }
    const pid_t pid = fork();
    if (pid < 0) {
        close(fds[0]);
        close(fds[1]);
        *why = QStringLiteral("fork failed");
        return false;
    }
    if (pid == 0) {
        close(fds[0]);
        const int fd = fds[1];
        work([fd] { StopHere(fd); });
        _exit(3);  // the work ended without reaching the middle
    }
    close(fds[1]);
    pollfd ready{fds[0], POLLIN, 0};
    char mark = 0;
    const bool reached = poll(&ready, 1, timeoutMs) == 1 && read(fds[0], &mark, 1) == 1;
    close(fds[0]);
    kill(pid, SIGKILL);
    int status = 0;
    waitpid(pid, &status, 0);
    if (!reached)
        *why = WIFEXITED(status)
                   ? QStringLiteral("the child ended on its own (exit %1)").arg(WEXITSTATUS(status))
                   : QStringLiteral("the child did not get half-way in time");
    return reached;
}

QSqlDatabase OpenInChild(const QString& dbPath) {
    QSqlDatabase db =
        QSqlDatabase::addDatabase(QStringLiteral("QSQLITE"), QStringLiteral("KilledChild"));
    db.setDatabaseName(dbPath);
    db.open();
    return db;
}
