#include "platform/DurableFile.h"

#include "platform/SystemErrorText.h"

#include <QAtomicInt>
#include <QFile>
#include <QFileInfo>
#include <QRandomGenerator>

#include <cerrno>
#include <cstdio>
#include <cstring>
#include <functional>

#include <fcntl.h>
#include <sys/stat.h>
#include <unistd.h>

namespace DurableFile {

namespace {

QByteArray native(const QString& path) {
    return QFile::encodeName(path);
}

bool fail(QString* error, const QString& text, int err) {
    if (error) *error = WithReason(text, SystemReason(err));
    return false;
}

int retryOnSignal(const std::function<int()>& call) {
    int rc;
    do rc = call();
    while (rc < 0 && errno == EINTR);
    return rc;
}

bool writeAll(int fd, const QByteArray& bytes) {
    const char* p = bytes.constData();
    qsizetype left = bytes.size();
    while (left > 0) {
        const ssize_t n = ::write(fd, p, size_t(left));
        if (n < 0) {
            if (errno == EINTR) continue;
            return false;
        }
        p += n;
        left -= n;
    }
    return true;
}

// Flushes the folder's entry list, so that a rename in it is on the disk.
// Some file systems cannot flush a folder; the rename has happened anyway,
// so this is as good as it gets there.
void syncFolder(const QString& folder) {
    const int fd = ::open(native(folder).constData(), O_RDONLY | O_DIRECTORY | O_CLOEXEC);
    if (fd < 0) return;
    ::fsync(fd);
    ::close(fd);
}

bool syncFile(const QString& path, QString* error) {
    const int fd = ::open(native(path).constData(), O_RDONLY | O_CLOEXEC);
    if (fd < 0) return fail(error, QStringLiteral("Не удалось открыть файл %1").arg(path), errno);
    const int rc = retryOnSignal([fd] { return ::fsync(fd); });
    const int err = errno;
    ::close(fd);
    if (rc != 0) return fail(error, QStringLiteral("Не удалось записать файл %1").arg(path), err);
    return true;
}

// A name in the target's folder nobody else uses: the process, a counter and
// a random part; a leftover after a crash starts with a dot and names the target.
QString temporaryName(const QFileInfo& target) {
    static QAtomicInt counter;
    return target.absolutePath() + QStringLiteral("/.") + target.fileName() +
           QStringLiteral(".%1-%2-%3.tmp")
               .arg(::getpid())
               .arg(counter.fetchAndAddRelaxed(1))
               .arg(QRandomGenerator::global()->generate(), 8, 16, QLatin1Char('0'));
}

// Renames without replacing: fails with EEXIST when target is there.
int renameKeeping(const QByteArray& from, const QByteArray& to) {
    const int rc =
        ::renameat2(AT_FDCWD, from.constData(), AT_FDCWD, to.constData(), RENAME_NOREPLACE);
    if (rc == 0 || (errno != EINVAL && errno != ENOSYS)) return rc;
    // A file system without the no-replace rename: check, then rename.
    if (::access(to.constData(), F_OK) == 0) {
        errno = EEXIST;
        return -1;
    }
    return ::rename(from.constData(), to.constData());
}

}  // namespace

bool Write(const QString& path, const QByteArray& bytes, QString* error) {
    const QFileInfo target(path);
    const QString temp = temporaryName(target);
    const int fd = retryOnSignal([&] {
        return ::open(native(temp).constData(), O_WRONLY | O_CREAT | O_EXCL | O_CLOEXEC, 0666);
    });
    if (fd < 0)
        return fail(error, QStringLiteral("Не удалось создать файл в папке %1").arg(target.path()),
                    errno);
    // A replaced file keeps its permissions.
    struct stat old {};
    if (::stat(native(path).constData(), &old) == 0) ::fchmod(fd, old.st_mode & 07777);

    bool written = writeAll(fd, bytes) && retryOnSignal([fd] { return ::fsync(fd); }) == 0;
    int err = errno;
    if (::close(fd) != 0 && written) {
        written = false;
        err = errno;
    }
    if (!written) {
        ::unlink(native(temp).constData());
        return fail(error, QStringLiteral("Не удалось записать файл %1").arg(path), err);
    }
    if (::rename(native(temp).constData(), native(path).constData()) != 0) {
        const int renameErr = errno;
        ::unlink(native(temp).constData());
        return fail(error, QStringLiteral("Не удалось заменить файл %1").arg(path), renameErr);
    }
    syncFolder(target.absolutePath());
    return true;
}

bool Commit(const QString& tempPath, const QString& path, Existing existing, QString* error) {
    auto dropTemp = [&] { ::unlink(native(tempPath).constData()); };
    if (!syncFile(tempPath, error)) {
        dropTemp();
        return false;
    }
    const int rc = existing == Existing::Keep
                       ? renameKeeping(native(tempPath), native(path))
                       : ::rename(native(tempPath).constData(), native(path).constData());
    if (rc != 0) {
        const int err = errno;
        dropTemp();
        if (err == EEXIST) {
            if (error) *error = QStringLiteral("Файл %1 уже существует").arg(path);
            return false;
        }
        return fail(error, QStringLiteral("Не удалось заменить файл %1").arg(path), err);
    }
    syncFolder(QFileInfo(path).absolutePath());
    return true;
}

}  // namespace DurableFile
