#include "foundation/Compaction.h"

#include <QFile>
#include <QFileInfo>
#include <QSqlDatabase>
#include <QSqlError>
#include <QSqlQuery>

#include "foundation/DatabaseSoleUse.h"
#include "platform/AppPaths.h"
#include "platform/DatabaseErrorText.h"
#include "platform/Dialogs.h"
#include "platform/DurableFile.h"
#include "platform/FileAccess.h"
#include "platform/SystemErrorText.h"

namespace {

constexpr int kGaugeMax = 10;

// A private connection that is closed and removed on every way out.
class ScratchConnection {
  public:
    ScratchConnection(const QString& name, const QString& path) : name_(name) {
        QSqlDatabase db = QSqlDatabase::addDatabase("QSQLITE", name_);
        db.setDatabaseName(path);
    }
    ~ScratchConnection() {
        {
            QSqlDatabase db = QSqlDatabase::database(name_, false);
            if (db.isOpen()) db.close();
        }
        QSqlDatabase::removeDatabase(name_);
    }
    QSqlDatabase db() const { return QSqlDatabase::database(name_, false); }

  private:
    QString name_;
};

bool setError(QString* error, const QString& text) {
    if (error) *error = text;
    return false;
}

// The engine refused to make or read the compacted copy.
bool copyFailed(QString* error, const QSqlError& why, const QString& statement = {}) {
    return setError(error, WithReason(QStringLiteral("Сжатая копия БД не создана"),
                                      LoggedDatabaseReason(why, statement)));
}

}  // namespace

bool CompactDatabase(const QString& sourcePath, const QString& targetPath, QString* error) {
    if (QFile::exists(targetPath))
        return setError(error, QStringLiteral("Файл %1 уже существует").arg(targetPath));
    {
        ScratchConnection source("CompactSource", sourcePath);
        QSqlDatabase db = source.db();
        if (!db.open()) return copyFailed(error, db.lastError());
        QSqlQuery q(db);
        if (!q.prepare("VACUUM INTO ?")) return copyFailed(error, q.lastError(), q.lastQuery());
        q.bindValue(0, targetPath);
        if (!q.exec()) return copyFailed(error, q.lastError(), q.lastQuery());
    }
    ScratchConnection copy("CompactCheck", targetPath);
    QSqlDatabase db = copy.db();
    if (!db.open()) return copyFailed(error, db.lastError());
    QSqlQuery q(db);
    if (!q.exec("PRAGMA integrity_check") || !q.next())
        return copyFailed(error, q.lastError(), q.lastQuery());
    if (q.value(0).toString() != "ok") {
        qWarning("Integrity check of the compacted copy: %s", qPrintable(q.value(0).toString()));
        return setError(error, QStringLiteral("Сжатая копия БД повреждена."));
    }
    return true;
}

bool NCompactClick(TFDM& dm, const ProgressFn& progress) {
    if (!Dialogs::AskYesNo("Подтверждение", "Сжать БД на диске?")) return false;
    const QString livePath = dm.DatabasePath();
    if (livePath.isEmpty()) {
        Dialogs::Error("Ошибка", "База данных не открыта");
        return false;
    }
    const QString dir = QFileInfo(livePath).absolutePath() + '/';
    const QString copyPath = dir + AppPaths::kDbCompactName;
    // Neither the lock file nor the compacted copy could be made there; say
    // so before anything is closed.
    if (!MayWrite(dir)) {
        Dialogs::Message(
            "Отмена действия",
            DbFileTexts::ReadOnlyFolder(dir) + QStringLiteral("\nСжатие БД невозможно."),
            DlgButtons::Ok, DlgIcon::Warning);
        return false;
    }

    int step = 0;
    auto gauge = [&](bool visible = true) {
        if (progress) progress(step, kGaugeMax, visible);
    };
    gauge();
    const int objectRecNo = dm.Q_Net->IsOpen() && !dm.Q_Net->IsEmpty() ? dm.Q_Net->RecNo() : -1;
    dm.Disconnect();
    for (int i = 0; i < 4; ++i) {
        ++step;
        gauge();
    }

    // Opens the live file again with everything on it; false with a reason.
    auto reopen = [&](QString* why) {
        if (!dm.Connect(livePath, why)) return false;
        if (!dm.OpenAllTables()) return setError(why, dm.LastError());
        if (objectRecNo <= 0) return true;
        // OpenAllTables opened the matrix of the first object; the matrix
        // screen edits the current object's.
        dm.Q_Net->SetRecNo(objectRecNo);
        return dm.ReopenMatrTable() || setError(why, dm.LastError());
    };
    auto finish = [&](bool compacted, const QString& failure) {
        QString why;
        const bool reopened = reopen(&why);
        step = compacted ? kGaugeMax : 0;
        gauge();
        gauge(false);
        QString text = failure;
        if (!reopened) text += (text.isEmpty() ? QString() : QStringLiteral("\n")) + why;
        if (!text.isEmpty()) Dialogs::Error("Ошибка", text);
        return compacted && reopened;
    };

    // Another copy of the program that has the database open holds the lock
    // file when it opened it first, and a use lock on the file in any case.
    // The live file is replaced below, so nobody else may be working on it.
    DatabaseSoleUse soleUse;
    if (const auto taken = soleUse.Take(livePath); taken != DatabaseSoleUse::Outcome::Taken) {
        Dialogs::Message("Отмена действия",
                         taken == DatabaseSoleUse::Outcome::Busy
                             ? QStringLiteral("База данных занята другим пользователем!")
                             : soleUse.Why(),
                         DlgButtons::Ok, DlgIcon::Warning);
        return finish(false, QString());
    }
    // Both locks go before the database is opened again.
    auto release = [&] { soleUse.Release(); };

    if (QFile::exists(copyPath) && !QFile::remove(copyPath)) {
        release();
        return finish(false, QStringLiteral("Не удалось удалить старую копию %1").arg(copyPath));
    }
    QString why;
    if (!CompactDatabase(livePath, copyPath, &why)) {
        QFile::remove(copyPath);
        release();
        return finish(false, why);
    }
    ++step;
    gauge();
    // The live file is replaced in one step: either the old file or the
    // compacted one is there, never a half-copied one, even after a power cut.
    if (!DurableFile::Commit(copyPath, livePath, DurableFile::Existing::Replace, &why)) {
        release();
        return finish(false, why);
    }
    release();
    return finish(true, QString());
}
