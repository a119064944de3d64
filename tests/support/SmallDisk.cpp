#include "support/SmallDisk.h"

#include <QDir>
#include <QFile>
#include <QTemporaryDir>

#include <cerrno>
#include <cstring>

#include <fcntl.h>
#include <sys/mount.h>
#include <sys/statvfs.h>
#include <unistd.h>

SmallDisk::SmallDisk(qint64 bytes) {
    QTemporaryDir dir;
    dir.setAutoRemove(false);
    if (!dir.isValid()) {
        whyNot_ = QStringLiteral("no temporary folder for the small disk");
        return;
    }
    path_ = dir.path();
    if (::geteuid() != 0) {
        whyNot_ = QStringLiteral("a small disk is mounted only by the superuser");
        return;
    }
    options_ = "size=" + QByteArray::number(bytes) + ",mode=0777";
    if (::mount("tmpfs", QFile::encodeName(path_).constData(), "tmpfs", 0, options_.constData()) !=
        0) {
        whyNot_ = QStringLiteral("tmpfs not mounted: ") + QString::fromLocal8Bit(std::strerror(errno));
        return;
    }
    mounted_ = true;
    filler_ = path_ + QStringLiteral("/filler");
}

SmallDisk::~SmallDisk() {
    if (mounted_) ::umount2(QFile::encodeName(path_).constData(), MNT_DETACH);
    if (!path_.isEmpty()) QDir(path_).removeRecursively();
}

qint64 SmallDisk::FreeBytes() const {
    struct statvfs st {};
    if (::statvfs(QFile::encodeName(path_).constData(), &st) != 0) return 0;
    return qint64(st.f_bavail) * qint64(st.f_frsize);
}

bool SmallDisk::Fill(qint64 leave) {
    if (!mounted_) return false;
    const int fd = ::open(QFile::encodeName(filler_).constData(),
                          O_WRONLY | O_CREAT | O_APPEND | O_CLOEXEC, 0600);
    if (fd < 0) return false;
    const QByteArray block(4096, '\0');
    // Written a block at a time until the disk refuses, then a byte at a
    // time, so that not even a tail of a block is left over.
    while (FreeBytes() > leave) {
        const qint64 want = qMin<qint64>(block.size(), qMax<qint64>(1, FreeBytes() - leave));
        if (::write(fd, block.constData(), size_t(want)) <= 0) break;
    }
    if (leave == 0)
        while (::write(fd, block.constData(), 1) == 1) {}
    ::close(fd);
    return true;
}

bool SmallDisk::SetReadOnly(bool readOnly) {
    if (!mounted_) return false;
    const unsigned long flags = MS_REMOUNT | (readOnly ? MS_RDONLY : 0);
    return ::mount("tmpfs", QFile::encodeName(path_).constData(), "tmpfs", flags,
                   options_.constData()) == 0;
}

void SmallDisk::Free() {
    QFile::remove(filler_);
}
