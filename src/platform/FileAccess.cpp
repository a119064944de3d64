#include "platform/FileAccess.h"

#include "platform/SystemErrorText.h"

#include <QFile>

#include <cerrno>

#include <fcntl.h>
#include <unistd.h>

bool MayWrite(const QString& path) {
    // access() asks the kernel, which knows about mounts and file flags that
    // the permission bits do not show.
    return ::access(QFile::encodeName(path).constData(), W_OK) == 0;
}

QString NewFileFailure(const QString& folder) {
    const QByteArray path =
        QFile::encodeName(folder + QStringLiteral("/.arm-write-probe-%1").arg(::getpid()));
    const int fd = ::open(path.constData(), O_WRONLY | O_CREAT | O_EXCL | O_CLOEXEC, 0600);
    if (fd < 0) return SystemReason(errno);
    // As much as a lock file holds: its number, program and host names.
    const QByteArray bytes(64, '\n');
    const ssize_t written = ::write(fd, bytes.constData(), size_t(bytes.size()));
    // A short write to a file is a full disk.
    const int err = written < 0 ? errno : ENOSPC;
    ::close(fd);
    ::unlink(path.constData());
    return written == bytes.size() ? QString() : SystemReason(err);
}
