#include "platform/FileUseLock.h"

#include <QFile>

#include <cerrno>

#include <fcntl.h>
#include <sys/file.h>
#include <unistd.h>

bool FileUseLock::LockShared(const QString& path) {
    return lock(path, LOCK_SH);
}

bool FileUseLock::LockExclusive(const QString& path) {
    return lock(path, LOCK_EX);
}

bool FileUseLock::lock(const QString& path, int operation) {
    Release();
    const int fd = ::open(QFile::encodeName(path).constData(), O_RDONLY | O_CLOEXEC);
    if (fd < 0) return true;  // nothing to hold; whoever opens the file reports why
    if (::flock(fd, operation | LOCK_NB) == 0) {
        fd_ = fd;
        return true;
    }
    // A file system without such locks refuses nobody.
    const bool busy = errno == EWOULDBLOCK;
    ::close(fd);
    return !busy;
}

void FileUseLock::Release() {
    if (fd_ < 0) return;
    ::close(fd_);
    fd_ = -1;
}
