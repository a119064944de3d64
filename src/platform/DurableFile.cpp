#include "platform/DurableFile.h"

#include "platform/ProcessState.h"
#include "platform/SystemErrorText.h"

#include <QAtomicInt>
#include <QFile>
#include <QFileInfo>
#include <QRandomGenerator>

#include <algorithm>
#include <cerrno>
#include <charconv>
#include <cstdio>
#include <cstring>
#include <functional>
#include <string_view>

#include <dirent.h>
#include <fcntl.h>
#include <sys/stat.h>
#include <sys/vfs.h>
#include <unistd.h>

namespace DurableFile {

void (*BeforeRenameForTests)() = nullptr;

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
// a random part; a leftover after a crash starts with a dot and names the
// target. writerOf() below reads this shape back.
QString temporaryName(const QFileInfo& target) {
    static QAtomicInt counter;
    return target.absolutePath() + QStringLiteral("/.") + target.fileName() +
           QStringLiteral(".%1-%2-%3.tmp")
               .arg(::getpid())
               .arg(quint32(counter.fetchAndAddRelaxed(1)))
               .arg(QRandomGenerator::global()->generate(), 8, 16, QLatin1Char('0'));
}

bool isNumber(std::string_view s) {
    return !s.empty() && s.size() <= 10 && std::all_of(s.begin(), s.end(), [](char c) {
               return c >= '0' && c <= '9';
           });
}

bool isRandomPart(std::string_view s) {
    return s.size() == 8 && std::all_of(s.begin(), s.end(), [](char c) {
               return (c >= '0' && c <= '9') || (c >= 'a' && c <= 'f');
           });
}

// The process that made a temporary file named by temporaryName(), or by
// SQLite after it for a database built under such a name (its journal); 0 for
// any other name, however alike: only files of that exact shape are ours.
qint64 writerOf(std::string_view name) {
    if (!name.starts_with('.')) return 0;
    for (std::string_view companion : {"-journal", "-wal", "-shm"}) {
        if (name.ends_with(companion)) {
            name.remove_suffix(companion.size());
            break;
        }
    }
    constexpr std::string_view kTail = ".tmp";
    if (!name.ends_with(kTail)) return 0;
    name.remove_suffix(kTail.size());
    // ".<target>.<pid>-<counter>-<random>", the target's name not empty.
    const size_t dot = name.rfind('.');
    if (dot == std::string_view::npos || dot < 2) return 0;
    const std::string_view tag = name.substr(dot + 1);
    const size_t first = tag.find('-');
    const size_t second = first == std::string_view::npos ? first : tag.find('-', first + 1);
    if (second == std::string_view::npos) return 0;
    const std::string_view pid = tag.substr(0, first);
    if (!isNumber(pid) || pid.front() == '0' || !isNumber(tag.substr(first + 1, second - first - 1)) ||
        !isRandomPart(tag.substr(second + 1)))
        return 0;
    qint64 value = 0;
    std::from_chars(pid.data(), pid.data() + pid.size(), value);
    return value;
}

// A process number in a file name on a shared folder may be another
// machine's, where the writer still runs.
bool onNetworkFileSystem(int folderFd) {
    struct statfs fs {};
    if (::fstatfs(folderFd, &fs) != 0) return true;
    switch (quint32(fs.f_type)) {
        case 0x6969:      // NFS
        case 0x517B:      // SMB
        case 0xFF534D42:  // CIFS
        case 0xFE534D42:  // SMB2
        case 0x5346414F:  // AFS
        case 0x00C36400:  // Ceph
        case 0x01021997:  // 9p
        case 0x65735546:  // FUSE (sshfs and the like)
            return true;
        default:
            return false;
    }
}

// Removes the temporary files in folder whose writer is gone. Nothing here
// may fail a write: a file that cannot be removed simply stays.
void removeLeftovers(const QString& folder) {
    DIR* dir = ::opendir(native(folder).constData());
    if (!dir) return;
    const int fd = ::dirfd(dir);
    if (!onNetworkFileSystem(fd)) {
        while (const dirent* entry = ::readdir(dir)) {
            const qint64 writer = writerOf(entry->d_name);
            if (writer != 0 && ProcessGone(writer)) ::unlinkat(fd, entry->d_name, 0);
        }
    }
    ::closedir(dir);
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

QString TemporaryPath(const QString& path) {
    return temporaryName(QFileInfo(path));
}

bool Write(const QString& path, const QByteArray& bytes, QString* error) {
    const QFileInfo target(path);
    removeLeftovers(target.absolutePath());
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
    if (BeforeRenameForTests) BeforeRenameForTests();
    if (::rename(native(temp).constData(), native(path).constData()) != 0) {
        const int renameErr = errno;
        ::unlink(native(temp).constData());
        return fail(error, QStringLiteral("Не удалось заменить файл %1").arg(path), renameErr);
    }
    syncFolder(target.absolutePath());
    return true;
}

bool Commit(const QString& tempPath, const QString& path, Existing existing, QString* error) {
    removeLeftovers(QFileInfo(path).absolutePath());
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
