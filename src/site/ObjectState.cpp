#include "site/ObjectState.h"

#include "foundation/BitAndStr.h"
#include "foundation/BoundSql.h"

#include <QSqlQuery>
#include <QVariant>

namespace ObjectState {

namespace {

// A state edited after a save carries "ввод" from its sixth character on.
bool EndsEdited(const QString& state) {
    return state.mid(5) == QStringLiteral("ввод");
}

// "закрыто" keeps its closed form, every other state becomes "сохранено".
QString SavedOrClosedSaved(const QString& state) {
    return state == kClosed ? kClosedSaved : kSaved;
}

}  // namespace

QString AfterObjectInserted() {
    return kEmpty;
}

QString AfterMatrixTableCreated(const QString& state) {
    return state == kEmpty ? kCreated : state;
}

QString AfterEntrancesSaved(const QString& state, bool countsChanged, bool entranceAppended) {
    // An object whose matrix was never built has nothing saved to mark as
    // changed: it stays as it is, and the rebuild that follows the save
    // makes "созд+сохр" of it.
    if (state == kEmpty || state == kCreated) return state;
    QString next = state;
    if (countsChanged) next = state == kClosed ? kClosedEdited : kSavedEdited;
    // An appended entrance marks a matrix that existed as edited, whatever the
    // count rule wrote: the later write wins.
    if (entranceAppended && state != kEmpty && state != kCreated && !EndsEdited(state))
        next = state.left(4) + QStringLiteral("+ввод");
    return next;
}

QString AfterMatrixRebuilt(const QString& state) {
    return state.left(4) + QStringLiteral("+сохр");
}

QString AfterMatrixCellEdited(const QString& state) {
    if (state == kSaved) return kSavedEdited;
    if (state == kClosed || state == kClosedEdited || state == kClosedSaved) return kClosedEdited;
    if (state == kSavedEdited) return state;
    return kEntered;
}

QString AfterMatrixSaved(const QString& state) {
    return SavedOrClosedSaved(state);
}

QString AfterMatrixRestored(const QString& state) {
    if (state == kSavedEdited) return kSaved;
    if (state == kClosedEdited || state == kClosedSaved) return kClosed;
    return state;
}

QString AfterApartmentsChanged(const QString& state) {
    if (state.contains(QStringLiteral("сохр"))) return state;
    return SavedOrClosedSaved(state);
}

QString AfterApartmentsRecounted(const QString& state, bool changed) {
    if (!changed || state == kClosedSaved || state == kSaved) return state;
    return SavedOrClosedSaved(state);
}

QString AfterHeaderSaved(const QString& state) {
    return SavedOrClosedSaved(state);
}

QString AfterSwitchRecordsMade(const QString&) {
    return kClosed;
}

bool Hidden(const QString& state) {
    return state.startsWith(kHiddenPrefix);
}

bool RestoreAllowed(const QString& state) {
    return state == kSaved || state == kSavedEdited || state == kClosedEdited ||
           state == kClosedSaved || state == kClosed;
}

bool EntersEntrances(const QString& state) {
    return state != kClosed;
}

bool Apply(QSqlDatabase db, qint64 idNet, const Move& move, QString* error, QString* after) {
    QSqlQuery q(db);
    if (!ExecBound(q, QStringLiteral("SELECT st_net FROM k_net WHERE id_net=?"), {idNet}, error))
        return false;
    if (!q.next()) {
        if (error) *error = QStringLiteral("Объект %1 не найден").arg(idNet);
        return false;
    }
    const QString before = q.value(0).toString();
    q.finish();
    const QString next = LeftChars(move(before), kWidth);
    if (after) *after = next;
    if (next == before) return true;
    return ExecBound(q, QStringLiteral("UPDATE k_net SET st_net=? WHERE id_net=?"), {next, idNet},
                     error);
}

}  // namespace ObjectState
