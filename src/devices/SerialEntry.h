#pragma once
// Leaving a device editor's serial-number field: the typed number is checked
// against the other devices of the same kind in the object, then stored when
// its form is one the kind accepts (SerialNumber.h). A number another device
// holds is never stored twice: the operator may jump to that device instead.

#include "devices/SerialNumber.h"

#include <QSqlDatabase>
#include <QString>

// Where a kind of device keeps its serial number.
struct SerialColumn {
    SerialNumber::Kind kind;
    QString table;      // "k_pk"
    QString keyColumn;  // "id_pk"
    QString column;     // "sn_pk"

    static SerialColumn Switches();
    static SerialColumn CallPanels();
    static SerialColumn Consoles();
};

enum class SerialExit {
    Unchanged,  // nothing to store (same number, or the operator kept this device)
    Stored,     // the typed number, or its clearing, is stored
    Refused,    // not a form the kind accepts; nothing stored, no message
    JumpTo,     // another device holds it and the operator chose to go there
    Failed,     // the database refused; the reason is in error
};

struct SerialExitResult {
    SerialExit outcome = SerialExit::Unchanged;
    qint64 otherId = 0;  // the device to go to (JumpTo)
    QString shown;       // what the field shows afterwards: the stored number
    QString error;
};

// The typed text of device id (of object idNet) as the field is left. Another
// device of the object holding the number asks "Попытка ввести имеющийся
// серийный номер! Перейти на найденный SN?" ("Повторение!", Yes/No).
SerialExitResult LeaveSerialField(QSqlDatabase db, const SerialColumn& where, qint64 id,
                                  qint64 idNet, const QString& typed);
