#include "keys/KeyListEditor.h"

#include "foundation/BoundSql.h"
#include "foundation/CountLimits.h"
#include "foundation/ProgressSteps.h"
#include "keys/KeyNumber.h"
#include "keys/KeyRegister.h"
#include "platform/Dialogs.h"
#include "site/SiteData.h"

#include <QSqlQuery>

namespace {

using KeyData::HasRow;

bool isApartmentList(KeyGroup mode) {
    return mode == KeyGroup::Apartment || mode == KeyGroup::Ter;
}

bool marked(Dataset* list) {
    return list->FieldByName(QStringLiteral("l_del")).AsBool();
}

// The part of the key list's statement that stays when the order changes.
QString listCondition(KeyGroup mode) {
    switch (mode) {
        case KeyGroup::Entrance:
            return QStringLiteral("WHERE id_kvr=-1 AND id_pod=:id_pod ");
        case KeyGroup::Gate:
            return QStringLiteral("WHERE id_kvr=-2 AND id_pod=:id_bv ");
        default:
            return QStringLiteral("WHERE id_kvr=:id_kvr ");
    }
}

}  // namespace

KeyListEditor::KeyListEditor(KeyRegister& keys) : keys_(keys), dm_(keys.Data()) {}

void KeyListEditor::showFailure(const QString& what, const QString& why) const {
    Dialogs::Message(QStringLiteral("Ошибка"), why.isEmpty() ? what : what + '\n' + why,
                     DlgButtons::Ok, DlgIcon::Error);
}

// Runs a deletion as one transaction, together with the owners' counters
// the data module writes on each delete. On failure the database is rolled
// back, the key lists are read again so they show what is stored, and the
// operator is told.
bool KeyListEditor::deleteInTransaction(const RowDeletion& deletion, int* count,
                                        const QString& what) {
    QString why;
    {
        SqlTransaction transaction(dm_.ConnectionDB());
        dm_.TakeCounterFailure();
        int n = 0;
        const bool deleted = transaction.started() && deletion(&n);
        const QString counters = dm_.TakeCounterFailure();
        if (deleted && counters.isEmpty() && transaction.Commit()) {
            if (count) *count = n;
            return true;
        }
        why = !counters.isEmpty()                 ? counters
              : !transaction.started() || deleted ? transaction.LastError()
                                                  : keys_.KeyList()->LastError();
        keys_.KeyList()->Cancel();
    }
    dm_.ReopenKeys();
    showFailure(what, why);
    return false;
}

bool KeyListEditor::deleteAllRows(Dataset* list, const std::function<void()>& step) {
    list->First();
    while (!list->IsEmpty()) {
        if (!list->Delete()) return false;
        if (step) step();
    }
    return true;
}

bool KeyListEditor::DeleteMarkedKeys(int* count, const std::function<void()>& step) {
    Dataset* list = keys_.KeyList();
    int deleted = 0;
    list->First();
    while (!list->IsEmpty() && !list->Eof()) {
        if (!marked(list)) {
            list->Next();
            continue;
        }
        // The next row moves up into the deleted one's place.
        if (!list->Delete()) return false;
        ++deleted;
        if (step) step();
    }
    if (count) *count = deleted;
    return true;
}

// The count the data module keeps may leave the quota above the object's
// default; a deletion brings it down.
void KeyListEditor::lowerApartmentQuota(int towards) {
    Dataset* flats = dm_.QForKey;
    if (!HasRow(flats)) return;
    Field quota = flats->FieldByName(QStringLiteral("x_key"));
    if (quota.AsInt() <= keys_.ObjectKeyQuota()) return;
    quota.SetValue(towards);
    SiteData::PostCurrentRow(flats, QStringLiteral("Норма ключей квартиры не изменена."));
}

// ---------------------------------------------------------------- deletions

bool KeyListEditor::DeleteCurrentKey() {
    Dataset* list = keys_.KeyList();
    if (!HasRow(list)) return false;
    if (!deleteInTransaction([list](int*) { return list->Delete(); }, nullptr,
                             QStringLiteral("Ключ не удален.")))
        return false;
    if (isApartmentList(keys_.Mode()) && HasRow(dm_.QForKey))
        lowerApartmentQuota(dm_.QForKey->FieldByName(QStringLiteral("x_key")).AsInt() - 1);
    keys_.MarkServingDevice();
    return true;
}

bool KeyListEditor::DeleteApartmentKeys() {
    if (!HasRow(dm_.QForKey)) return false;
    if (!deleteInTransaction([this](int*) { return deleteAllRows(dm_.QKeys, {}); })) return false;
    lowerApartmentQuota(keys_.ObjectKeyQuota());
    keys_.MarkServingDevice();
    return true;
}

bool KeyListEditor::DeleteEntranceKeys(const ProgressFn& progress) {
    Dataset* entrances = dm_.QPodKey;
    Dataset* list = dm_.QOKeys;
    if (!HasRow(entrances)) return false;
    ProgressSteps gauge(progress, list->RecordCount() + 2);
    // Each delete leaves o_rky the count the file holds then (the data
    // module's counter), keys another copy entered included.
    if (!deleteInTransaction([&](int*) { return deleteAllRows(list, gauge.Stepper()); }))
        return false;
    gauge.Step();
    entrances->Reopen();
    keys_.MarkServingDevice();
    return true;
}

bool KeyListEditor::DeleteGateKeys(const ProgressFn& progress) {
    Dataset* list = dm_.QKKeys;
    if (!HasRow(dm_.QKalKey)) return false;
    ProgressSteps gauge(progress, list->RecordCount() + 1);
    if (!deleteInTransaction([&](int*) { return deleteAllRows(list, gauge.Stepper()); }))
        return false;
    keys_.MarkServingDevice();
    return true;
}

int KeyListEditor::DeleteSelectedKeys(const QList<int>& recNos, const ProgressFn& progress) {
    Dataset* list = keys_.KeyList();
    const int formerRecNo = list->RecNo();
    ProgressSteps gauge(progress, 2 * list->RecordCount() + 2);
    auto markAndDelete = [&](int* count) {
        for (int recNo : recNos) {
            list->SetRecNo(recNo);
            if (list->RecNo() != recNo) continue;
            list->FieldByName(QStringLiteral("l_del")).SetValue(1);
            if (!list->Post()) return false;
            gauge.Step();
        }
        return DeleteMarkedKeys(count, gauge.Stepper());
    };
    int count = 0;
    if (!deleteInTransaction(markAndDelete, &count)) return -1;
    if (formerRecNo > 0 && list->RecordCount() >= formerRecNo) list->SetRecNo(formerRecNo);
    keys_.MarkServingDevice();
    return count;
}

void KeyListEditor::ClearDeleteMarks() {
    Dataset* list = keys_.KeyList();
    const int recNo = list->RecNo();
    const int field = list->FieldIndex(QStringLiteral("l_del"));
    for (int row = 0; row < list->RecordCount(); ++row) {
        if (list->Value(row, field).toInt() == 0) continue;
        list->SetRecNo(row + 1);
        list->Fields(field).SetValue(0);
        if (!list->Post()) list->Cancel();
    }
    if (recNo > 0) list->SetRecNo(recNo);
}

// ---------------------------------------------------------------- order, labels, slotCount

int KeyListEditor::SortByColumn(int state, int column) {
    const int next = KeySort::AfterTitleClick(state, column);
    if (KeySort::OrderClause(next).isEmpty()) return state;
    Dataset* list = keys_.KeyList();
    list->SetSelect({{QString(), QStringLiteral("k_key")}},
                    listCondition(keys_.Mode()) + KeySort::OrderClause(next));
    list->Open();
    return next;
}

bool KeyListEditor::WidenLabels(int digits) {
    Dataset* list = keys_.KeyList();
    const int recNo = list->RecNo();
    const int field = list->FieldIndex(QStringLiteral("s_met"));
    QString why;
    {
        SqlTransaction transaction(dm_.ConnectionDB());
        bool ok = transaction.started();
        for (int row = 0; ok && row < list->RecordCount(); ++row) {
            const QString label = list->Value(row, field).toString();
            const QString widened = KeyLabel::Widened(label, digits);
            if (widened == label) continue;
            list->SetRecNo(row + 1);
            list->Fields(field).SetValue(widened);
            ok = list->Post();
            if (!ok) why = list->LastError();
        }
        if (ok && transaction.Commit()) {
            if (recNo > 0) list->SetRecNo(recNo);
            return true;
        }
        if (why.isEmpty()) why = transaction.LastError();
        list->Cancel();
    }
    dm_.ReopenKeys();
    showFailure(QStringLiteral("Метки не изменены."), why);
    return false;
}

int KeyListEditor::SetCommonSlots(int slotCount) {
    Dataset* entrances = dm_.QPodKey;
    if (!HasRow(entrances)) return slotCount;
    Field quota = entrances->FieldByName(QStringLiteral("o_key"));
    if (slotCount == quota.AsInt()) return slotCount;
    QSqlQuery q(dm_.ConnectionDB());
    const QVariant idPod = entrances->FieldByName(QStringLiteral("id_pod")).Value();
    if (ExecBound(q, QStringLiteral("SELECT COUNT(*) FROM k_key WHERE id_kvr=-1 AND id_pod=?"),
                  {idPod}, nullptr) &&
        q.next())
        slotCount = qMax(slotCount, CountLimits::CountedKeys(q.value(0).toLongLong()));
    quota.SetValue(slotCount);
    if (!SiteData::PostCurrentRow(entrances, QStringLiteral("Количество слотов не изменено.")))
        return quota.AsInt();
    dm_.ReopenSwitches();
    return slotCount;
}

// ---------------------------------------------------------------- positioning

bool KeyListEditor::FindApartment(const QVariant& idDom, const QString& number) {
    return dm_.QForKey->Locate(QStringLiteral("d.id_dom;n_kvr"), {idDom, number.trimmed()},
                               LocatePartialKey);
}

bool KeyListEditor::PositionResidents() {
    if (!HasRow(dm_.QForKey)) return false;
    return dm_.Q_Ppl->Locate(QStringLiteral("id_kvr"),
                             dm_.QForKey->FieldByName(QStringLiteral("id_kvr")).Value());
}
