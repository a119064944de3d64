#pragma once
// Key rows written one by one inside a bulk operation's transaction: each
// behind a savepoint of its own, so a row the database refuses is left out
// and the operation goes on with the next one.

#include <QString>
#include <QVariant>

class Dataset;

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
