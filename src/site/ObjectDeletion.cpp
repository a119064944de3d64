#include "site/ObjectDeletion.h"

#include <QDir>
#include <QFile>
#include <QFileInfo>
#include <QSqlError>
#include <QSqlQuery>

#include "foundation/BoundSql.h"
#include "foundation/Compaction.h"
#include "foundation/DatabaseSoleUse.h"
#include "foundation/MatrTable.h"
#include "platform/AppPaths.h"
#include "platform/DatabaseErrorText.h"
#include "platform/Dialogs.h"
#include "platform/DurableFile.h"

namespace ObjectDeletion {

namespace {

// The copy is built under a temporary name in the target folder and renamed
// when complete, so a failed split never leaves a half-pruned database there.
const QString kSplitCaption = QStringLiteral("Запрос на создание БД одного объекта");

bool failWhy(QString* error, const QString& text) {
    if (error) *error = text;
    return false;
}

void report(const ProgressFn& progress, int step, bool visible = true) {
    if (progress) progress(step, kGaugeMax, visible);
}

// Runs statements with idNet bound, then an optional unbound last statement,
// all or nothing; the gauge steps after each.
bool runAllOrNothing(QSqlDatabase db, const QStringList& statements, qint64 idNet,
                     const QString& lastStatement, const ProgressFn& progress, QString* error) {
    SqlTransaction transaction(db);
    if (!transaction.started()) return failWhy(error, transaction.LastError());
    int step = 0;
    {
        QSqlQuery q(db);
        for (const QString& sql : statements) {
            if (!ExecBound(q, sql, {idNet}, error)) return false;
            report(progress, ++step);
        }
        if (!lastStatement.isEmpty()) {
            if (!q.exec(lastStatement))
                return failWhy(error, LoggedDatabaseReason(q, lastStatement));
            report(progress, ++step);
        }
    }
    return transaction.Commit() || failWhy(error, transaction.LastError());
}

bool hasCurrentObject(TFDM& dm) {
    return !dm.Q_Net->IsEmpty() && dm.Q_Net->RecNo() > 0;
}

qint64 currentObjectId(TFDM& dm) {
    return dm.Q_Net->FieldByName(QStringLiteral("id_net")).AsLargeInt();
}

bool sameFile(const QString& a, const QString& b) {
    const QFileInfo fa(a), fb(b);
    if (fa.exists() && fb.exists()) return fa.canonicalFilePath() == fb.canonicalFilePath();
    return fa.absoluteFilePath() == fb.absoluteFilePath();
}

// Opens path on the data module's second connection, leaves only idNet in it
// and closes it again.
bool pruneFile(TFDM& dm, const QString& path, qint64 idNet, const ProgressFn& progress,
               QString* error) {
    dm.CRab->Close();
    QSqlDatabase copy = dm.ConnectCopy();
    copy.close();
    copy.setDatabaseName(path);
    report(progress, 0);
    if (!copy.open()) return failWhy(error, LoggedDatabaseReason(copy.lastError()));
    const bool ok = KeepOnlyObject(copy, idNet, progress, error);
    copy.close();
    return ok;
}

SplitResult splitFailed(SplitFailure failure, const QString& reason) {
    return SplitResult{failure, reason};
}

SplitResult writeNewCopy(TFDM& dm, const SplitTarget& target, const ProgressFn& progress) {
    // Never overwritten: the operator was not asked about a file that
    // appeared after the question.
    if (QFileInfo::exists(target.file))
        return splitFailed(SplitFailure::Copy,
                           QStringLiteral("Файл %1 уже существует").arg(target.file));
    // Built under the durable writes' temporary name: what a crash leaves of
    // it is cleared by a later write into the folder.
    const QString temp = DurableFile::TemporaryPath(target.file);
    QString why;
    if (!CompactDatabase(dm.DatabasePath(), temp, &why)) {
        QFile::remove(temp);
        return splitFailed(SplitFailure::Copy, why);
    }
    if (!pruneFile(dm, temp, target.idNet, progress, &why)) {
        QFile::remove(temp);
        return splitFailed(SplitFailure::Prune, why);
    }
    // Flushed before it takes its name, and never over a file that appeared meanwhile.
    if (!DurableFile::Commit(temp, target.file, DurableFile::Existing::Keep, &why))
        return splitFailed(SplitFailure::Copy, why);
    return {};
}

SplitResult pruneExisting(TFDM& dm, const SplitTarget& target, const ProgressFn& progress) {
    // Another copy of the program working on that database would lose the
    // rows under its hands.
    DatabaseSoleUse soleUse;
    switch (soleUse.Take(target.file)) {
        case DatabaseSoleUse::Outcome::Busy:
            return splitFailed(SplitFailure::InUse, QString());
        case DatabaseSoleUse::Outcome::Failed:
            return splitFailed(SplitFailure::Lock, soleUse.Why());
        case DatabaseSoleUse::Outcome::Taken:
            break;
    }
    QString why;
    // pruneFile closes the connection before the locks go.
    if (!pruneFile(dm, target.file, target.idNet, progress, &why))
        return splitFailed(SplitFailure::Prune, why);
    return {};
}

}  // namespace

const QStringList& DeleteStatements() {
    static const QStringList statements = {
        QStringLiteral("DELETE FROM k_bv WHERE id_net=?"),
        QStringLiteral("DELETE FROM k_pod WHERE id_net=?"),
        QStringLiteral("DELETE FROM k_dom WHERE id_net=?"),
        QStringLiteral("DELETE FROM k_pk WHERE id_net=?"),
        QStringLiteral("DELETE FROM m_pk WHERE id_net=?"),
        QStringLiteral("DELETE FROM m_bv WHERE id_net=?"),
        QStringLiteral("DELETE FROM t_dip WHERE id_net=?"),
        QStringLiteral("DELETE FROM k_kvr WHERE id_net=?"),
        QStringLiteral("DELETE FROM k_po  WHERE id_net=?"),
        QStringLiteral("DELETE FROM k_key WHERE id_net=?"),
        QStringLiteral("DELETE FROM k_net WHERE id_net=?"),
    };
    return statements;
}

const QStringList& KeepOnlyStatements() {
    static const QStringList statements = {
        QStringLiteral("DELETE FROM k_net WHERE id_net <> ?"),
        QStringLiteral("DELETE FROM m_bv WHERE id_net <> ?"),
        QStringLiteral("DELETE FROM m_pk WHERE id_net <> ?"),
        QStringLiteral("DELETE FROM k_bv WHERE id_net <> ?"),
        QStringLiteral("DELETE FROM k_pk WHERE id_net <> ?"),
        QStringLiteral("DELETE FROM k_dom WHERE id_net <> ?"),
        QStringLiteral("DELETE FROM k_pod WHERE id_net <> ?"),
        QStringLiteral("DELETE FROM k_kvr WHERE id_net <> ?"),
        QStringLiteral("DELETE FROM k_key WHERE id_net <> ?"),
        QStringLiteral("DELETE FROM k_po WHERE id_net <> ?"),
        QStringLiteral("DELETE FROM t_dip WHERE id_net <> ?"),
    };
    return statements;
}

bool DeleteObjectRows(QSqlDatabase db, qint64 idNet, const ProgressFn& progress, QString* error) {
    // A table name cannot be bound; it is built from the number alone.
    const QString matrix = MatrTableName(idNet);
    const QString drop =
        IsValidMatrTableName(matrix) ? QStringLiteral("DROP TABLE IF EXISTS ") + matrix : QString();
    return runAllOrNothing(db, DeleteStatements(), idNet, drop, progress, error);
}

bool KeepOnlyObject(QSqlDatabase db, qint64 idNet, const ProgressFn& progress, QString* error) {
    return runAllOrNothing(db, KeepOnlyStatements(), idNet, QString(), progress, error);
}

// ---------------------------------------------------------------- deletion

std::optional<qint64> AskDeleteCurrentObject(TFDM& dm) {
    if (!hasCurrentObject(dm)) {
        Dialogs::Error(QStringLiteral("ОШИБКА!"), QStringLiteral("Нет объектов для удаления!"));
        return std::nullopt;
    }
    const qint64 idNet = currentObjectId(dm);
    if (Dialogs::Message(QStringLiteral("Удаление объекта!"),
                         QStringLiteral("Будут удалены все дома и устройства, относящиеся к "
                                        "данному объекту! Удаляем?"),
                         DlgButtons::YesNo, DlgIcon::Question) != DlgAnswer::Yes)
        return std::nullopt;
    return idNet;
}

bool DeleteObject(TFDM& dm, qint64 idNet, const ProgressFn& progress, QString* error) {
    report(progress, 0);
    const bool ok = DeleteObjectRows(dm.ConnectionDB(), idNet, progress, error);
    // The matrix grid reads the current object's table, which is gone now.
    if (ok) dm.Q_Matr->Close();
    if (dm.Q_Net->IsOpen() && !dm.Q_Net->Reopen())
        qWarning("Object list after a deletion: %s", qPrintable(dm.Q_Net->LastError()));
    report(progress, kGaugeMax, false);
    return ok;
}

void ReportDeletionFailure(const QString& error) {
    Dialogs::Error(QStringLiteral("Ошибка"),
                   QStringLiteral("Объект не удален, данные остались без изменений.\n") + error);
}

// ---------------------------------------------------------------- split

SplitTarget SplitTargetFor(qint64 idNet, int idNom) {
    SplitTarget target;
    target.idNet = idNet;
    target.folder = AppPaths::UnderProgram(QStringLiteral("DB_ARM") + QString::number(idNom));
    target.file = target.folder + QLatin1Char('/') + QString::fromLatin1(AppPaths::kDbFileName);
    return target;
}

std::optional<SplitTarget> AskSplitCurrentObject(TFDM& dm) {
    if (!hasCurrentObject(dm)) {
        Dialogs::Error(QStringLiteral("ОШИБКА!"), QStringLiteral("Нет объектов для выделения!"));
        return std::nullopt;
    }
    SplitTarget target = SplitTargetFor(currentObjectId(dm),
                                        dm.Q_Net->FieldByName(QStringLiteral("id_nom")).AsInt());
    if (!Dialogs::AskYesNo(kSplitCaption, QStringLiteral("Создать новую базу данных в каталоге ") +
                                              target.folder + QLatin1Char('?')))
        return std::nullopt;
    // Pruning the database in use would delete every other object in it.
    if (sameFile(target.file, dm.DatabasePath())) {
        Dialogs::Error(QStringLiteral("Невозможно !"),
                       QStringLiteral("В каталоге ") + target.folder +
                           QStringLiteral(" находится база данных, открытая в программе. "
                                          "Выделить объект в нее нельзя."));
        return std::nullopt;
    }
    if (QFileInfo::exists(target.file)) {
        if (!Dialogs::AskYesNo(kSplitCaption, QStringLiteral("В каталоге ") + target.folder +
                                                  QStringLiteral(" уже есть база данных. Удалить "
                                                                 "из нее данные всех объектов, "
                                                                 "кроме выделяемого?")))
            return std::nullopt;
        target.pruneExisting = true;
    }
    return target;
}

SplitResult SplitObject(TFDM& dm, const SplitTarget& target, const ProgressFn& progress) {
    SplitResult result;
    if (!QDir().mkpath(target.folder))
        result = splitFailed(SplitFailure::Copy,
                             QStringLiteral("Не удалось создать каталог %1").arg(target.folder));
    else if (target.pruneExisting)
        result = pruneExisting(dm, target, progress);
    else
        result = writeNewCopy(dm, target, progress);
    report(progress, kGaugeMax, false);
    return result;
}

void ReportSplit(const SplitTarget& target, const SplitResult& result) {
    switch (result.failure) {
        case SplitFailure::None:
            return;
        case SplitFailure::Copy:
            Dialogs::Error(QStringLiteral("Ошибка"),
                           QStringLiteral("Не удалось создать копию базы данных в каталоге ") +
                               target.folder + QStringLiteral(".\n") + result.reason);
            return;
        case SplitFailure::Prune:
            qWarning("Split of object %lld: %s", target.idNet, qPrintable(result.reason));
            Dialogs::Error(QStringLiteral("Невозможно !"),
                           QStringLiteral("Призошел сбой при выделении объекта."));
            return;
        case SplitFailure::InUse:
            Dialogs::Warning(QStringLiteral("Отмена действия"),
                             QStringLiteral("База данных занята другим пользователем!"));
            return;
        case SplitFailure::Lock:
            Dialogs::Warning(QStringLiteral("Отмена действия"), result.reason);
            return;
    }
}

}  // namespace ObjectDeletion
