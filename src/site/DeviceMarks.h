#pragma once
// Which devices must build their configuration file again after the data of
// an apartment row changed: the entrance's switch, the call panels, the
// console. Each mark moves the device's kf_pr with KfPrAfterEdit (a null
// state counts as 0), and only a state that changes is written, so applying
// a mark twice does no harm.

#include <QSqlQuery>
#include <QString>
#include <QVariantList>

struct DeviceMarks {
    bool switchMark = false;  // the entrance's switch (k_pk)
    bool panels = false;      // call panels (k_bv)
    bool console = false;     // the object's console (k_po)

    bool Any() const { return switchMark || panels || console; }
    DeviceMarks& operator|=(const DeviceMarks& other) {
        switchMark |= other.switchMark;
        panels |= other.panels;
        console |= other.console;
        return *this;
    }
};

namespace DeviceMarking {

// Moves kf_pr of the rows of table (k_pk, k_bv or k_po, keyed by keyColumn)
// that where selects. table, keyColumn and where are the program's own texts;
// values are bound.
bool AdvanceFileStates(QSqlQuery& q, const QString& table, const QString& keyColumn,
                       const QString& where, const QVariantList& values, QString* error);

// The marks of a saved apartment row of entrance idPod in object idNet: the
// console of the object, the switch of the entrance, and, when the entrance
// has a switch in the matrix, every call panel of the object.
bool ApplyAfterRowSave(QSqlQuery& q, qint64 idNet, qint64 idPod, const DeviceMarks& marks,
                       QString* error);

// The marks of an editor working on switch idPk: the switch, the call panels
// wired to it (links 1 and 3), the console of object idNet.
bool ApplyToSwitch(QSqlQuery& q, qint64 idNet, qint64 idPk, const DeviceMarks& marks,
                   QString* error);

// The call panels wired to switch idPk (links 1 and 3).
bool AdvanceWiredPanels(QSqlQuery& q, qint64 idPk, QString* error);

}  // namespace DeviceMarking
