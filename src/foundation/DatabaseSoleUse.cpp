#include "foundation/DatabaseSoleUse.h"

#include "platform/AppPaths.h"
#include "platform/FileAccess.h"
#include "platform/SystemErrorText.h"

#include <QFileInfo>

DatabaseSoleUse::Outcome DatabaseSoleUse::Take(const QString& dbFile) {
    Release();
    why_.clear();
    const QString folder = QFileInfo(dbFile).absolutePath();
    const QString lockPath = folder + QLatin1Char('/') + QLatin1String(AppPaths::kDbLockName);
    lock_ = std::make_unique<QLockFile>(lockPath);
    lock_->setStaleLockTime(0);
    if (!lock_->tryLock(0)) {
        const QLockFile::LockError error = lock_->error();
        lock_.reset();
        if (error == QLockFile::LockFailedError) return Outcome::Busy;
        why_ = WithReason(QStringLiteral("Не удалось создать файл блокировки ") + lockPath,
                          NewFileFailure(folder));
        return Outcome::Failed;
    }
    if (!use_.LockExclusive(dbFile)) {
        Release();
        return Outcome::Busy;
    }
    return Outcome::Taken;
}

void DatabaseSoleUse::Release() {
    use_.Release();
    if (lock_) lock_->unlock();
    lock_.reset();
}
