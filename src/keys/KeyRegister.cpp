#include "keys/KeyRegister.h"

#include "foundation/BoundSql.h"
#include "foundation/HeldRows.h"
#include "foundation/TFDM.h"
#include "keys/KeyNumber.h"
#include "keys/KeyRowWriter.h"
#include "platform/Dialogs.h"
#include "platform/ToneOutput.h"

#include <QSqlQuery>

namespace {

const QString kKeyRegisterError = QStringLiteral("Ошибка");
const QString kBadLength = QStringLiteral("Неверная длина номера!");
const QString kNoGates = QStringLiteral("Калиток на объекте нет!");
// A key list's rows hold their k_key row's rowid under this name.
const QString kRowKey = QStringLiteral("k_key.rowid");
const QString kOverQuotaCaption = QStringLiteral("Превышение");
const QString kOverQuota = QStringLiteral("Добавить ключ сверх нормы?!");
const QString kNoApartmentQuota = QStringLiteral(
    "Норма ключей на квартиру равна 0, ключ не записан! Задайте \"Ключей в квартире\" в фрейме "
    "\"Подъездная структура объекта\" или снимите \"Автоматический переход на следующую "
    "квартиру\".");

// The key screen's sounds.
void soundStored() {
    Tones::Tone(512, 20);
}
void soundMove() {
    Tones::Tone(512, 50);
}
void soundRefused() {
    Tones::Tone(120, 100);
}

int intField(Dataset* ds, const char* name) {
    return ds->FieldByName(QLatin1String(name)).AsInt();
}

// Counts through a statement with bound values; 0 when it fails.
int queryCount(const QSqlDatabase& db, const QString& sql, const QVariantList& values) {
    QSqlQuery q(db);
    QString error;
    if (!ExecBound(q, sql, values, &error) || !q.next()) {
        qWarning("Key counter: %s", qPrintable(error));
        return 0;
    }
    return q.value(0).toInt();
}

// While a gate key is checked, the keys of the entrances wired to the gate are
// open; they are closed again when the confirmation ends.
class GateScope {
  public:
    explicit GateScope(Dataset* linkedKeys, bool gate) : keys_(gate ? linkedKeys : nullptr) {}
    ~GateScope() {
        if (keys_) keys_->Close();
    }
    GateScope(const GateScope&) = delete;
    GateScope& operator=(const GateScope&) = delete;

  private:
    Dataset* keys_;
};

}  // namespace

namespace KeyData {

bool HasRow(const Dataset* ds) {
    return ds && ds->RecNo() > 0;
}

int FindRow(const Dataset* ds, const QString& field, const QVariant& value, int skipRow) {
    if (!ds) return -1;
    const int f = ds->FieldIndex(field);
    if (f < 0) return -1;
    const QString wanted = value.toString();
    for (int row = 0; row < ds->RecordCount(); ++row)
        if (row != skipRow && ds->Value(row, f).toString() == wanted) return row;
    return -1;
}

}  // namespace KeyData

using KeyData::HasRow;

KeyRegister::KeyRegister(TFDM& dm) : dm_(dm) {}

void KeyRegister::SetMode(KeyGroup mode) {
    mode_ = mode == KeyGroup::None ? KeyGroup::Apartment : mode;
    held_.reset();
    ForgetCounts();
}

Dataset* KeyRegister::KeyList() const {
    switch (mode_) {
        case KeyGroup::Entrance:
            return dm_.QOKeys;
        case KeyGroup::Gate:
            return dm_.QKKeys;
        default:
            return dm_.QKeys;
    }
}

Dataset* KeyRegister::Owner() const {
    switch (mode_) {
        case KeyGroup::Entrance:
            return dm_.QPodKey;
        case KeyGroup::Gate:
            return dm_.QKalKey;
        default:
            return dm_.QForKey;
    }
}

int KeyRegister::ObjectKeyQuota() const {
    return HasRow(dm_.Q_Net) ? intField(dm_.Q_Net, "v_key") : 0;
}

QString KeyRegister::AutoLabel() const {
    const Dataset* list = KeyList();
    return KeyLabel::Automatic(list->RecordCount(), options_.labelDigits);
}

// ---------------------------------------------------------------- confirming

ConfirmResult KeyRegister::Confirm(const QString& typed, const QString& label) {
    ConfirmResult result;
    result.number = typed.trimmed();
    result.label = label;
    if (result.number.isEmpty()) return finish(result);
    const QString number = KeyNumber::FullNumber(result.number);
    if (number.isEmpty()) {
        Dialogs::Message(kKeyRegisterError, kBadLength, DlgButtons::Ok, DlgIcon::Error);
        result.outcome = ConfirmOutcome::ShortNumber;
        result.number.clear();
        return finish(result);
    }
    result.number = number;
    // Whatever its source, the empty-slot mark never becomes a key: a panel
    // would read the slot as free.
    if (KeyNumber::IsEmptySlot(number)) {
        soundRefused();
        result.outcome = ConfirmOutcome::Refused;
        return finish(result);
    }

    const bool editing = held_.has_value();
    if (!editing && !makeRoom()) {
        result.outcome = ConfirmOutcome::Declined;
        result.finished = false;
        return result;
    }
    if (mode_ == KeyGroup::Gate && !HasRow(dm_.QKalKey)) {
        Dialogs::Message(kKeyRegisterError, kNoGates, DlgButtons::Ok, DlgIcon::Error);
        result.outcome = ConfirmOutcome::NoGate;
        return finish(result);
    }

    GateScope gate(dm_.Q_JKey, mode_ == KeyGroup::Gate);
    if (!store(number, &result.label, editing)) {
        soundRefused();  // whatever the sound box says
        result.outcome = ConfirmOutcome::Refused;
        return finish(result);
    }
    if (options_.beep) soundStored();
    if (mode_ == KeyGroup::Entrance || mode_ == KeyGroup::Gate)
        KeyList()->Locate(QStringLiteral("bv_key"), KeyNumber::PanelCode(number));
    result.outcome = ConfirmOutcome::Stored;
    result.number.clear();
    MarkServingDevice();
    return finish(result);
}

ConfirmResult KeyRegister::finish(ConfirmResult result) {
    result.label.clear();
    held_.reset();
    return result;
}

bool KeyRegister::makeRoom() {
    switch (mode_) {
        case KeyGroup::Apartment:
        case KeyGroup::Ter:
            return makeRoomInApartment();
        case KeyGroup::Entrance:
            return makeRoomInEntrance();
        default:
            return true;  // gates have no quota
    }
}

bool KeyRegister::askOverQuota() const {
    return options_.noLimitQuestion || Dialogs::AskYesNo(kOverQuotaCaption, kOverQuota);
}

// A full apartment passes the key on to the next one with room. When none
// is left, the key is not carried off to the last apartment: it stays with
// the one the operator chose, over its quota, as without the move.
bool KeyRegister::makeRoomInApartment() {
    Dataset* flats = dm_.QForKey;
    auto full = [flats] { return intField(flats, "y_key") >= intField(flats, "x_key"); };
    if (!HasRow(flats) || !full()) return true;
    if (mode_ != KeyGroup::Apartment || !options_.autoMove) return askOverQuota();
    if (ObjectKeyQuota() <= 0) {
        Dialogs::Message(kKeyRegisterError, kNoApartmentQuota, DlgButtons::Ok, DlgIcon::Warning);
        return false;
    }
    const RoomFound room = moveOnToRoom(flats, full, "x_key");
    if (!room.found) return askOverQuota();
    // Only the first move sounds, and only towards an apartment of more than
    // one key.
    if (options_.beep && room.firstQuota > 1) soundMove();
    return true;
}

// A full entrance passes common keys on in the same way. An entrance without
// common-key slots has nothing to pass on from: its key would only land on
// another entrance.
bool KeyRegister::makeRoomInEntrance() {
    Dataset* entrances = dm_.QPodKey;
    auto full = [entrances] {
        return intField(entrances, "o_rky") >= intField(entrances, "o_key");
    };
    if (!HasRow(entrances) || !full()) return true;
    if (!options_.autoMove || intField(entrances, "o_key") <= 0) return askOverQuota();
    const RoomFound room = moveOnToRoom(entrances, full, "o_key");
    if (!room.found) return askOverQuota();
    for (int i = 0; options_.beep && i < room.moves; ++i) soundMove();
    return true;
}

KeyRegister::RoomFound KeyRegister::moveOnToRoom(Dataset* owners, const std::function<bool()>& full,
                                                 const char* quotaField) {
    const int start = owners->RecNo();
    RoomFound room;
    while (full()) {
        owners->Next();
        if (owners->Eof()) {
            owners->SetRecNo(start);
            return {};
        }
        if (room.moves++ == 0) room.firstQuota = intField(owners, quotaField);
    }
    room.found = true;
    return room;
}

// A code is unique within the list's scope: one apartment, one entrance's
// common keys, or a gate together with the entrances wired to it.
bool KeyRegister::isDuplicate(const QString& code, int editedRow) {
    const QString field = QStringLiteral("bv_key");
    if (mode_ == KeyGroup::Gate) {
        Dataset* linked = dm_.Q_JKey;
        // Keys of the wired entrances that cannot be read leave the code in doubt.
        if (!linked->EnsureRead()) return true;
        if (KeyData::FindRow(linked, field, code) >= 0) return true;
    }
    return KeyData::FindRow(KeyList(), field, code, editedRow) >= 0;
}

bool KeyRegister::store(const QString& number, QString* label, bool editing) {
    Dataset* list = KeyList();
    if (!HasRow(Owner()) || !HasRow(dm_.Q_Net)) return false;
    if (editing && !standOnHeldKey()) return false;
    const int editedRow = editing ? list->RecNo() - 1 : -1;
    if (isDuplicate(KeyNumber::PanelCode(number), editedRow)) return false;
    if (editing) {
        list->Edit();
    } else {
        if (options_.autoLabel) *label = AutoLabel();
        list->Append();
    }
    writeColumns(list, number, label->trimmed());
    // The key and the owner's counters are written together.
    QString failure;
    if (PostKeyRow(list, &failure)) return true;
    // Deleted by another copy of the program between the look and the write:
    // the rewrite by its key found no row.
    if (editing && failure.isEmpty() && !heldKeyInFile()) {
        sayHeldKeyGone(QStringLiteral("удалён"));
        dm_.ReopenKeys();
        return false;
    }
    if (!failure.isEmpty()) {
        dm_.ReopenKeys();  // the rollback undid what the lists show
        Dialogs::Message(kKeyRegisterError, QStringLiteral("Ключ не записан.\n") + failure,
                         DlgButtons::Ok, DlgIcon::Error);
    }
    return false;
}

void KeyRegister::writeColumns(Dataset* list, const QString& number, const QString& label) {
    auto set = [list](const char* field, const QVariant& value) {
        list->FieldByName(QLatin1String(field)).SetValue(value);
    };
    const KeyOwner owner = *CurrentOwner();
    set("un_key", number);
    set("bv_key", KeyNumber::PanelCode(number));
    set("s_met", label);
    set("id_net", dm_.Q_Net->FieldByName(QStringLiteral("id_net")).Value());
    set("status", KeyLabel::ArmStatus(QDate::currentDate()));
    set("id_pod", owner.idPod);
    set("id_kvr", owner.idKvr);
    set("l_ob", owner.common ? 1 : 0);
}

std::optional<KeyOwner> KeyRegister::CurrentOwner() const {
    if (!HasRow(Owner()) || !HasRow(dm_.Q_Net)) return std::nullopt;
    switch (mode_) {
        case KeyGroup::Entrance:
            return KeyOwner{dm_.QPodKey->FieldByName(QStringLiteral("id_pod")).Value(),
                            kCommonOwner, true};
        case KeyGroup::Gate:
            return KeyOwner{dm_.QKalKey->FieldByName(QStringLiteral("id_bv")).Value(), kGateOwner,
                            true};
        default:
            return KeyOwner{dm_.QForKey->FieldByName(QStringLiteral("p.id_pod")).Value(),
                            intField(dm_.QForKey, "id_kvr"), false};
    }
}

QSet<QString> KeyRegister::CodesInScope() {
    QSet<QString> codes;
    auto collect = [&codes](const Dataset* ds) {
        const int f = ds->FieldIndex(QStringLiteral("bv_key"));
        for (int row = 0; f >= 0 && row < ds->RecordCount(); ++row)
            codes.insert(ds->Value(row, f).toString());
    };
    if (mode_ == KeyGroup::Gate) {
        GateScope gate(dm_.Q_JKey, true);
        collect(dm_.Q_JKey);
    }
    collect(KeyList());
    return codes;
}

bool KeyRegister::BeginEdit(QString* number, QString* label) {
    Dataset* list = KeyList();
    if (!HasRow(list)) return false;
    *number = list->FieldByName(QStringLiteral("un_key")).AsString();
    *label = list->FieldByName(QStringLiteral("s_met")).AsString();
    if (number->isEmpty()) return false;
    held_ = HeldKey{list->FieldByName(kRowKey).Value(), *number};
    return true;
}

// The change rewrites the row it began on, found in the list by its key. A
// row the file no longer holds (deleted by another copy of the program), or
// one the list no longer shows (the lists moved under the change), is not
// rewritten, and the operator is told.
bool KeyRegister::standOnHeldKey() {
    Dataset* list = KeyList();
    if (!heldKeyInFile()) {
        sayHeldKeyGone(QStringLiteral("удалён"));
        dm_.ReopenKeys();  // the list no longer shows a row that is gone
        return false;
    }
    if (list->Locate(kRowKey, held_->rowid)) return true;
    sayHeldKeyGone(QStringLiteral("не в списке на экране"));
    return false;
}

// The row is there with the number the change loaded: a row number that a
// new key took after a deletion is another key.
bool KeyRegister::heldKeyInFile() const {
    QSqlQuery q(dm_.ConnectionDB());
    return ExecBound(q, QStringLiteral("SELECT 1 FROM k_key WHERE rowid=? AND un_key=?"),
                     {held_->rowid, held_->number}, nullptr) &&
           q.next();
}

void KeyRegister::sayHeldKeyGone(const QString& why) const {
    Dialogs::Message(
        kKeyRegisterError,
        HeldRowTexts::NotSaved(QStringLiteral("Ключ ") + held_->number + QLatin1Char(' ') + why),
        DlgButtons::Ok, DlgIcon::Warning);
}

// ---------------------------------------------------------------- counters and marks

std::optional<KeyCounts> KeyRegister::CountKeys() {
    if (mode_ != KeyGroup::Apartment && mode_ != KeyGroup::Entrance) return std::nullopt;
    if (dm_.QForKey->IsEmpty()) return std::nullopt;
    Dataset* entrance = Owner();
    if (!HasRow(entrance) || !HasRow(dm_.Q_Net)) return std::nullopt;
    const QVariant idPod =
        entrance
            ->FieldByName(mode_ == KeyGroup::Apartment ? QStringLiteral("p.id_pod")
                                                       : QStringLiteral("id_pod"))
            .Value();
    const QSqlDatabase db = dm_.ConnectionDB();
    KeyCounts counts;
    // Every stored key has a number, so counting rows counts numbers and the
    // indexes answer without reading the rows. Gate keys hold a panel's id in
    // id_pod; they belong to no entrance.
    counts.entranceKeys = queryCount(
        db, QStringLiteral("SELECT Count(*) AS cn FROM k_key WHERE id_pod=? AND id_kvr > -2"),
        {idPod});
    counts.objectKeys = objectKeyCount(idPod, counts.entranceKeys);
    counts.entrancePlanned = queryCount(
        db, QStringLiteral("SELECT COALESCE(Sum(x_key), 0) AS cn FROM k_kvr WHERE id_pod=?"),
        {idPod});
    counts.extraSlots = intField(entrance, "d_key");
    counts.commonSlots = intField(entrance, "o_key");
    return counts;
}

// Counting every key of a large object at each confirmation would cost more
// than the rest of it. In the apartment and common-key modes the screen only
// changes keys of the current entrance, so the keys outside it are counted
// once per entrance and mode, and again whenever the screen is shown.
int KeyRegister::objectKeyCount(const QVariant& idPod, int entranceKeys) {
    if (outsideEntrance_ < 0 || countedEntrance_ != idPod) {
        const QVariant idNet = dm_.Q_Net->FieldByName(QStringLiteral("id_net")).Value();
        const int all =
            queryCount(dm_.ConnectionDB(),
                       QStringLiteral("SELECT Count(*) AS cn FROM k_key WHERE id_net=?"), {idNet});
        countedEntrance_ = idPod;
        outsideEntrance_ = all - entranceKeys;
    }
    return outsideEntrance_ + entranceKeys;
}

void KeyRegister::MarkServingDevice() {
    switch (mode_) {
        case KeyGroup::Entrance:
            if (HasRow(dm_.QPodKey))
                markSwitchOfEntrance(dm_.QPodKey->FieldByName(QStringLiteral("id_pod")).Value());
            break;
        case KeyGroup::Gate:
            if (HasRow(dm_.QKalKey)) flags_.Set(intField(dm_.QKalKey, "n_net"));
            break;
        default:
            if (HasRow(dm_.QForKey))
                markSwitchOfEntrance(dm_.QForKey->FieldByName(QStringLiteral("p.id_pod")).Value());
            break;
    }
}

void KeyRegister::markSwitchOfEntrance(const QVariant& idPod) {
    flags_.SetSwitchOfEntrance(dm_, idPod);
}
