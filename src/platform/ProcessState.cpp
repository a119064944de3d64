#include "platform/ProcessState.h"

#include <cerrno>
#include <csignal>
#include <limits>

#include <sys/types.h>

bool ProcessGone(qint64 pid) {
    // Zero and negative numbers name process groups, not one process.
    if (pid <= 0 || pid > std::numeric_limits<pid_t>::max()) return false;
    return ::kill(pid_t(pid), 0) != 0 && errno == ESRCH;
}
