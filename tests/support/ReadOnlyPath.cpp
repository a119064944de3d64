#include "support/ReadOnlyPath.h"

#include "platform/FileAccess.h"

#include <QFile>

#include <fcntl.h>
#include <linux/fs.h>
#include <sys/ioctl.h>
#include <sys/stat.h>
#include <unistd.h>

ReadOnlyPath::ReadOnlyPath(const QString& path) : path_(path) {
    struct stat st {};
    if (::stat(QFile::encodeName(path_).constData(), &st) != 0) return;
    mode_ = st.st_mode & 07777;
    ::chmod(QFile::encodeName(path_).constData(), mode_ & ~mode_t(0222));
    if (MayWrite(path_)) immutable_ = setImmutable(true);
}

ReadOnlyPath::~ReadOnlyPath() {
    if (immutable_) setImmutable(false);
    if (mode_) ::chmod(QFile::encodeName(path_).constData(), mode_);
}

bool ReadOnlyPath::Active() const {
    return !MayWrite(path_);
}

bool ReadOnlyPath::setImmutable(bool on) {
    const int fd = ::open(QFile::encodeName(path_).constData(), O_RDONLY | O_NONBLOCK | O_CLOEXEC);
    if (fd < 0) return false;
    int flags = 0;
    bool ok = ::ioctl(fd, FS_IOC_GETFLAGS, &flags) == 0;
    if (ok) {
        flags = on ? flags | FS_IMMUTABLE_FL : flags & ~FS_IMMUTABLE_FL;
        ok = ::ioctl(fd, FS_IOC_SETFLAGS, &flags) == 0;
    }
    ::close(fd);
    return ok;
}
