#pragma once
// The object's state k_net.st_net: the texts it takes and every move the
// program makes to it. The state says how far the access matrix of an object
// has come (entered, saved, turned into device records) and gates the later
// configuration steps; readers compare exact texts.
//
// Each writer of the state has one function here that takes the state as it
// stands and returns the new one, so that every screen moves it by the same
// rules. Moves built from the first four characters (the entrance save, the
// matrix rebuild) can give texts outside the list below ("введ+ввод",
// "созд+сохр"); those are states too, and every reader treats them as "other".

#include <QSqlDatabase>
#include <QString>

#include <functional>

namespace ObjectState {

inline const QString kEmpty = QStringLiteral("пусто");
inline const QString kCreated = QStringLiteral("создано");
inline const QString kEntered = QStringLiteral("введено");
inline const QString kSaved = QStringLiteral("сохранено");
inline const QString kSavedEdited = QStringLiteral("сохр+ввод");
inline const QString kClosed = QStringLiteral("закрыто");
inline const QString kClosedEdited = QStringLiteral("закр+ввод");
inline const QString kClosedSaved = QStringLiteral("закр+сохр");
// Objects whose state begins so are hidden from the object list.
inline const QString kHiddenPrefix = QStringLiteral("восст");
// The column holds at most this many characters.
constexpr int kWidth = 20;

// ---- moves, one per writer ------------------------------------------------

// A new object is inserted.
QString AfterObjectInserted();
// The object's matrix table is created: "пусто" becomes "создано".
QString AfterMatrixTableCreated(const QString& state);
// The entrances of an object are saved. countsChanged: the stored house count
// was null or the house or entrance count changed; entranceAppended: the save
// appended at least one entrance. state is the state before the save.
// "пусто" and "создано" stay: the matrix rebuild that follows moves them.
QString AfterEntrancesSaved(const QString& state, bool countsChanged, bool entranceAppended);
// The matrix is rebuilt after the entrances changed: first four characters
// followed by "+сохр".
QString AfterMatrixRebuilt(const QString& state);
// A cell of the matrix is edited.
QString AfterMatrixCellEdited(const QString& state);
// The matrix is saved into m_pk/m_bv.
QString AfterMatrixSaved(const QString& state);
// The last saved matrix is restored (only where RestoreAllowed).
QString AfterMatrixRestored(const QString& state);
// Apartments are generated, inserted, deleted or edited.
QString AfterApartmentsChanged(const QString& state);
// Apartment numbers are recounted; changed: the recount changed something.
QString AfterApartmentsRecounted(const QString& state, bool changed);
// The header (name, address, console) of an existing object is saved.
QString AfterHeaderSaved(const QString& state);
// Switch records are made from the matrix.
QString AfterSwitchRecordsMade(const QString& state);

// ---- readers that belong to the matrix ----------------------------------

// The object list leaves such an object out.
bool Hidden(const QString& state);
// A saved matrix exists to be restored.
bool RestoreAllowed(const QString& state);
// The matrix's "next" step enters the header rows into the entrances.
bool EntersEntrances(const QString& state);

// ---- the stored state -----------------------------------------------------

using Move = std::function<QString(const QString&)>;

// Reads the state of object idNet, applies move and writes the result when it
// differs, as one bound statement. False with the reason when the object is
// missing or a statement fails. The new state goes to *after when given.
bool Apply(QSqlDatabase db, qint64 idNet, const Move& move, QString* error,
           QString* after = nullptr);

}  // namespace ObjectState
