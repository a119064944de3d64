#pragma once
// Operations on the key screen's list as a whole: deleting one key, all keys
// of an apartment, an entrance or a gate, or the selected rows; the selection
// marks kept in l_del; sorting by a column; widening numeric labels; the
// entrance's common-key slots. Every deletion marks the device that serves the
// list, so its call panels get files without the deleted keys. A bulk change
// is written in one transaction: when it fails nothing is lost and the
// operator is told. The operator's confirmation is asked by the caller.

#include "foundation/TFDM.h"  // ProgressFn

#include <QList>
#include <QString>
#include <QVariant>
#include <functional>

class KeyRegister;

class KeyListEditor {
  public:
    explicit KeyListEditor(KeyRegister& keys);

    // The Delete key: deletes the current key and, for an apartment,
    // lowers its quota by one while it is above the object's default.
    bool DeleteCurrentKey();
    // Every key of the current apartment (lost-key replacement).
    bool DeleteApartmentKeys();
    // Every common key of the current entrance.
    bool DeleteEntranceKeys(const ProgressFn& progress = {});
    // Every key of the current gate panel.
    bool DeleteGateKeys(const ProgressFn& progress = {});
    // Marks the rows (1-based record numbers) in l_del and deletes every
    // marked row of the list. The number deleted, or -1 when it failed.
    int DeleteSelectedKeys(const QList<int>& recNos, const ProgressFn& progress = {});
    // Deletes every row of the list marked in l_del; false when one failed.
    // Runs inside the caller's transaction.
    bool DeleteMarkedKeys(int* count, const std::function<void()>& step = {});
    // Clears l_del on every marked row of the list; a row that cannot be
    // written keeps its mark.
    void ClearDeleteMarks();

    // The list's sort state after a click on the title of column 0..2; the
    // list is reopened in the new order.
    int SortByColumn(int state, int column);
    // Brings every label of the list to at least digits characters.
    bool WidenLabels(int digits);
    // The entrance's common-key slots: never below its common keys. Returns
    // the slots in force afterwards.
    int SetCommonSlots(int slotCount);

    // Lost-key replacement: the apartment of the house whose number begins
    // with the text.
    bool FindApartment(const QVariant& idDom, const QString& number);
    // Puts the residents' list on the current apartment.
    bool PositionResidents();

  private:
    using RowDeletion = std::function<bool(int* count)>;
    bool deleteInTransaction(const RowDeletion& deletion, int* count = nullptr,
                             const QString& what = QStringLiteral("Ключи не удалены."));
    bool deleteAllRows(Dataset* list, const std::function<void()>& step);
    void lowerApartmentQuota(int towards);
    void showFailure(const QString& what, const QString& why) const;

    KeyRegister& keys_;
    TFDM& dm_;
};
