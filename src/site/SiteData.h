#pragma once
// Small pieces the site registry's core units share: the current object of
// the data module, one-value queries, the failure message, and reopening a
// dataset on the record it stood on.

#include <QSqlQuery>
#include <QString>
#include <QVariant>
#include <QVariantList>

#include <functional>

class Dataset;
class HeldRows;
class SqlTransaction;

namespace SiteData {

// id_net of the current object of the object list, 0 without one.
qint64 CurrentObjectId();
// The dataset has a current row (one that opens when read is read first).
bool HasCurrentRow(const Dataset* ds);

// One value of a single-row select; an empty result gives a null value.
bool QueryValue(QSqlQuery& q, const QString& sql, const QVariantList& values, QVariant* out,
                QString* error);
// The text of a stored value; NULL reads as an empty text.
QString TextOf(const QVariant& v);

// Moves the object's state on after its apartments changed, on the data
// module's connection; false with the reason.
bool MoveStateAfterApartments(qint64 idNet, QString* error);

// One apartment more (change 1) or fewer (-1) in the count v_kvr of the
// entrance idPod. The count is a small integer: an entrance counting 32767
// apartments takes no more, told in *error, rather than leave a count the
// next open refuses.
bool CountApartment(QSqlQuery& q, qint64 idPod, int change, QString* error);
// Why an entrance's count cannot go up (or down) to hold its apartments.
QString ApartmentCountBeyond(bool more = true);

// A switch's terminal count (n_xl) as its entrance's rows give it, SQL for
// the right of "n_xl=" with the entrance's id_pod bound: an apartment switch
// polls up to the highest terminal of the entrance, a floor switch one past
// its rows. Taken inside the write, they count rows another copy of the
// program added too.
QString HighestTerminalPlusOne();
QString RowsPlusOne();

// What new apartment rows of an object take from it: the key quota, the
// call-back permission, the flag masks, and the console's common call code.
struct ObjectDefaults {
    int vKey = 0;
    bool callBack = false;  // l_obv
    QString flbv;
    QString flpo;
    QString code;  // p_kvr
};
bool ReadObjectDefaults(QSqlQuery& q, qint64 idNet, ObjectDefaults* out, QString* error);

// A write the database refused: what was not done, and why ("Ошибка").
void ShowFailure(const QString& what, const QString& reason);
// Posts the dataset's pending row. When the database refuses it, the edit is
// cancelled first, so that the screen under the message shows what the file
// holds, and the failure is shown under what.
bool PostCurrentRow(Dataset* ds, const QString& what);
// The same over rows read earlier: posted only once every row held is found
// inside the post's transaction; a refused or failed post leaves the dataset
// showing the file.
bool PostCurrentRow(const HeldRows& held, Dataset* ds, const QString& what);

// Ends a block of writes: committed when ok, else undone at once and the
// failure shown under what (error, or the transaction's own reason when
// empty). The caller refreshes its screen after this returns, so that it
// shows what the file holds. True when committed.
bool EndWrite(SqlTransaction& tr, bool ok, const QString& what, const QString& error);

// Runs work in one transaction on the data module's connection, committed
// when it returns true and rolled back otherwise before this returns, so that
// whatever is read afterwards sees the outcome. A failure is shown under
// what. True when committed.
bool WriteInOneTransaction(const QString& what, const std::function<bool(QString* error)>& work);
// The same over rows read earlier: work runs only once every row held is
// found inside the transaction (HeldRows::StillThereIn); a row gone is told
// and nothing is written.
bool WriteInOneTransaction(const HeldRows& held, const QString& what,
                           const std::function<bool(QString* error)>& work);

// Closes and opens the dataset (when it is open) and puts it back on the row
// whose keyField had the same value, else on the same record number.
void ReopenOnSameRow(Dataset* ds, const QString& keyField);

// The object list read again (after the object's row changed), with the
// current object, house and entrance as they were.
void ReopenObjectKeepingPlace();

}  // namespace SiteData
