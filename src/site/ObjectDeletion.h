#pragma once
// Removal of an object with everything that belongs to it, and the split: a
// copy of the database in the folder "DB_ARM" + id_nom under the program
// folder that holds that one object only. Both run their statements in one
// transaction, so a failure leaves the database as it was.

#include <QSqlDatabase>
#include <QString>
#include <QStringList>

#include <optional>

#include "foundation/TFDM.h"

namespace ObjectDeletion {

// Gauge steps of a deletion and of a split.
constexpr int kGaugeMax = 12;

// The deletion's statements in their order, the object's id_net bound to "?".
const QStringList& DeleteStatements();
// The statements that leave one object in a copy, the kept id_net bound to "?".
const QStringList& KeepOnlyStatements();

// Deletes every row of object idNet and drops its matrix table, in one
// transaction; a missing matrix table is no failure. Steps progress after
// each statement. False with the reason when anything failed; then nothing
// was deleted.
bool DeleteObjectRows(QSqlDatabase db, qint64 idNet, const ProgressFn& progress, QString* error);
// Deletes every row of the other objects in one transaction. Their matrix
// tables stay.
bool KeepOnlyObject(QSqlDatabase db, qint64 idNet, const ProgressFn& progress, QString* error);

// --- deletion of the current object of the object list ----------------------

// The checks and the question before a deletion: the id_net to delete, or
// nothing when the list is empty or the operator says no.
std::optional<qint64> AskDeleteCurrentObject(TFDM& dm);
// Deletes the object, then reopens the object list and hides the gauge
// whatever happened. The object's matrix is closed when it went.
bool DeleteObject(TFDM& dm, qint64 idNet, const ProgressFn& progress, QString* error);
// Tells the operator that the deletion failed and nothing was deleted.
void ReportDeletionFailure(const QString& error);

// --- split ------------------------------------------------------------------

struct SplitTarget {
    qint64 idNet = 0;
    QString folder;  // program folder + "DB_ARM" + id_nom, no trailing '/'
    QString file;    // folder + "/db_arm_vesk.mdb"
    // The file existed and the operator agreed to prune it.
    bool pruneExisting = false;
};
SplitTarget SplitTargetFor(qint64 idNet, int idNom);

// InUse: another program holds the target; Lock: its lock file could not be
// written (the reason says why).
enum class SplitFailure { None, Copy, Prune, InUse, Lock };
struct SplitResult {
    SplitFailure failure = SplitFailure::None;
    QString reason;
    bool ok() const { return failure == SplitFailure::None; }
};

// The questions before a split of the current object. A target that is the
// database in use is refused; an existing target is touched only after a
// second question. Nothing when the split does not go ahead.
std::optional<SplitTarget> AskSplitCurrentObject(TFDM& dm);
// Copies the database in use into the target under a temporary name, leaves
// the one object in it and renames it into place; or prunes an existing
// target the operator agreed to. The database in use is not changed. The
// gauge is hidden afterwards in every case.
SplitResult SplitObject(TFDM& dm, const SplitTarget& target, const ProgressFn& progress);
// Tells the operator why a split failed; nothing for a success.
void ReportSplit(const SplitTarget& target, const SplitResult& result);

}  // namespace ObjectDeletion
