#pragma once
// Key rows written one by one inside a bulk operation's transaction: each
// behind a savepoint of its own, so a row the database refuses is left out
// and the operation goes on with the next one.

#include "foundation/BoundSql.h"

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
// the post.
bool PostKeyRow(Dataset* list);

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
    // The rowid of the row the last Insert wrote.
    qint64 LastInsertId() const { return labelled_.LastInsertId(); }

  private:
    QSqlDatabase db_;
    BoundStatement labelled_;
    std::optional<BoundStatement> unlabelled_;  // s_met keeps its default
};

// The key lists of the data module after a bulk import, as TFDM::ReopenKeys
// leaves them, each list read once: the key screen's apartments, entrances
// and gates reopened on their rows (which reopens their open key lists),
// then the lists that were closed opened, and the switch list's apartment's
// keys read again.
void ReopenKeyListsOnce(TFDM& dm);

// The common-key counters of an entrance after keys were added, as the data
// module keeps them on each post: o_rky the number of its common keys, o_key
// raised to it. False with the reason when the database refuses.
bool CountCommonKeys(const QSqlDatabase& db, const QVariant& idPod, QString* error);
