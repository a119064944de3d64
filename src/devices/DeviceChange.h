#pragma once
// What the device-record operations share: how a change ended, the reading
// of "is it used anywhere", and the report of a failed write.

#include "foundation/HeldRows.h"
#include "site/SiteData.h"

#include <QSqlDatabase>
#include <QString>
#include <QVariantList>

#include <functional>

class Dataset;

// How an operation that asks or refuses ended.
enum class DeviceChange {
    Done,
    Refused,   // a rule forbade it (its message was shown, where it has one)
    Declined,  // the operator answered No
    Failed,    // the database refused; the reason is in the error text
};

// Done for a write the database took, Failed for one it refused.
DeviceChange DoneOrFailed(bool ok);

// Whether the select finds a row. False when the query fails (with the reason
// in *error), so that a failed check never counts as "not used".
bool FindsRow(QSqlDatabase db, const QString& sql, const QVariantList& values, bool* found,
              QString* error);

// Advances the switch's configuration-file state as an edit does (1->2,
// 3->4, 5->4); false with the reason when the database refuses.
bool MarkSwitchEdited(QSqlDatabase db, qint64 idPk, QString* error);

// A dataset with a current record: the site's own test, which the device
// units call unqualified.
using SiteData::HasCurrentRow;

// Shows a failed write under "Ошибка", never passing it over; returns done.
DeviceChange Reported(DeviceChange done, const QString& error);
void ReportFailure(const QString& error);

// How a write of one device row ended: whether it went through and whether a
// value changed (a write that would change nothing is not made).
struct DeviceWrite {
    bool ok = false;
    bool written = false;
    QString error;

    static DeviceWrite Unchanged() { return {true, false, QString()}; }
    static DeviceWrite Failed(const QString& error) { return {false, false, error}; }
};

// One UPDATE of a device row (k_pk, k_bv, k_po) by its key, setting the
// assignments ("sl=?, ot=?") to values and kf_pr to the state an edit leaves
// after storedKfPr.
DeviceWrite UpdateAsEdit(QSqlDatabase db, const QString& table, const QString& keyColumn, qint64 id,
                         int storedKfPr, const QString& assignments, QVariantList values);

// A device write over the rows its window shows, run by their rule (as
// WriteHeld in HeldRows.h), for an operation that tells how it ended and
// gives its reason in error: Refused when a row held is gone (told there).
DeviceChange WriteHeld(const HeldRows& held, const std::function<DeviceChange(QString*)>& write,
                       QString* error);
