#pragma once
// Key rows written one by one, alone or inside a bulk operation's transaction: each
// behind a savepoint of its own, so a row the database refuses is left out
// and the operation goes on with the next one.
//
// Every key row is written only into an owner the file still holds: its
// object, its entrance (or gate panel) and its apartment, looked at inside
// the write's own transaction. Another copy of the program on the same file
// may have deleted them; a key stored for them would belong to nothing. Such
// a write stores nothing and stops the operation with a reason that names
// what is gone ("Квартира 12 удалена."), as a failure of the file does.

#include "foundation/BoundSql.h"
#include "foundation/HeldRows.h"

#include <QString>
#include <QVariant>

#include <optional>

class Dataset;
class TFDM;

// The columns of a key row entered by an import.
struct NewKeyRow {
    QString number;  // un_key
    QString code;    // bv_key
    QVariant idPod;
    qint64 idKvr = 0;
    bool common = false;  // l_ob
    QVariant idNet;
    QString label;  // s_met; left unset when empty
    QString status;
};

// Appends the row to the key list's dataset and fills its columns.
void AppendKeyRow(Dataset* list, const NewKeyRow& row);

// Posts the list's pending row (appended or edited) behind its own
// savepoint. False, with the row cancelled and nothing of it written, when
// the database refuses it; the data module's after-post handlers run with
// the post. When the refusal is the database's as a whole (a full disk, a
// damaged file...) or the row's owner is gone, rather than the row's own,
// databaseFailure gets its reason:
// the import stops there and rolls back; so does a list that could not be
// read, which takes no row.
bool PostKeyRow(Dataset* list, QString* databaseFailure = nullptr);

// Key rows appended by statements prepared once for a whole import, for
// imports that keep no key list in step row by row: a row the database
// refuses is not written at all (a statement writes its whole row or
// nothing), and the import goes on. The columns are those AppendKeyRow
// fills; the owner's counters are the caller's to bring up to date.
class KeyRowInserter {
  public:
    explicit KeyRowInserter(const QSqlDatabase& db);
    bool Prepared() const { return labelled_.Prepared(); }
    bool Insert(const NewKeyRow& row);
    // The reason the last Insert failed when the failure is the database's
    // as a whole or the row's owner is gone, rather than its row's own (a row
    // the file's own rules refuse or ignore is not written and gives none),
    // or why the statement could not be prepared; empty otherwise.
    QString DatabaseFailure() const;
    // The rowid of the row the last Insert wrote.
    qint64 LastInsertId() const { return labelled_.LastInsertId(); }

  private:
    QSqlDatabase db_;
    BoundStatement labelled_;
    HeldRowCheck owners_;                       // the owner check
    QString ownerGone_;                         // why the last Insert found no owner
    std::optional<BoundStatement> unlabelled_;  // s_met keeps its default
    const BoundStatement* last_ = nullptr;      // the statement Insert ran last
};

// The key lists of the data module after a bulk import, as TFDM::ReopenKeys
// leaves them, each list read once: the key screen's apartments, entrances
// and gates reopened on their rows (which reopens their open key lists; a
// closed one is read on its next use), and the switch list's apartment's
// keys read again.
void ReopenKeyListsOnce(TFDM& dm);
