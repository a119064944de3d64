#include "keys/KeyPourConditions.h"

#include "foundation/TFDM.h"

using F = PourField;

PourEntrance ReadPourEntrance(TFDM& dm) {
    PourEntrance entrance;
    Dataset* current = dm.Q_DPd;
    if (current->RecNo() > 0) {
        entrance.apartments = current->FieldByName(QStringLiteral("v_kvr")).AsInt();
        entrance.firstNumber = current->FieldByName(QStringLiteral("n1kvr")).AsInt();
        entrance.lastNumber = current->FieldByName(QStringLiteral("npkvr")).AsInt();
    }
    const Dataset* rows = dm.Q_Kvp;
    const int pNom = rows->FieldIndex(QStringLiteral("p_nom"));
    const int number = rows->FieldIndex(QStringLiteral("n_kvr"));
    const int handset = rows->FieldIndex(QStringLiteral("l_trub"));
    for (int row = 0; row < rows->RecordCount(); ++row)
        entrance.rows << PourApartment{rows->Value(row, pNom).toInt(),
                                       rows->Value(row, number).toString(),
                                       rows->Value(row, handset).toInt() != 0};
    return entrance;
}

KeyPourConditions::KeyPourConditions() {
    // The apartment order numbers start at 1.
    at(F::Kv_n1) = {1, 1, 1};
}

void KeyPourConditions::Set(PourField field, int value) {
    Bounded& f = at(field);
    if (f.minimum != f.maximum) {
        if (value < f.minimum)
            value = f.minimum;
        else if (value > f.maximum)
            value = f.maximum;
    }
    if (value == f.value) return;
    f.value = value;
    switch (field) {
        case F::Ind_1:
            return firstIndexChanged();
        case F::Ind_po:
            if (computed_) lastIndexChanged();
            return;
        case F::Kv_n1:
            return firstApartmentChanged();
        case F::KolKvItog:
            return Set(F::Ind_po, v(F::Ind_1) + v(F::KolKvItog) - 1);
        default:
            return;
    }
}

// ---------------------------------------------------------------- activation

void KeyPourConditions::Activate() {
    if (computed_) return;
    if (common_) {
        // Common keys: source rows 1..KolKeys, no apartments.
        SetMaximum(F::Ind_1, v(F::KolKeys));
        SetMaximum(F::Ind_po, v(F::KolKeys));
        Set(F::Ind_po, v(F::KolKeys));
        Set(F::KolIndItog, v(F::KolKeys));
    } else {
        activateApartments();
    }
    computed_ = true;
}

void KeyPourConditions::activateApartments() {
    const int lastIndex = v(F::KolIndIsx) - 1;
    SetMaximum(F::Ind_1, lastIndex);
    SetMaximum(F::Ind_po, lastIndex);
    Set(F::Ind_po, lastIndex);
    Set(F::KolIndItog, v(F::KolIndIsx));
    Set(F::KolKvItog, 0);
    Set(F::KolKvIsx, entrance_.apartments);
    if (v(F::KolKvIsx) < v(F::KolIndIsx)) SetMaximum(F::Ind_po, v(F::Ind_1) + v(F::KolKvIsx) - 1);
    SetMaximum(F::Kv_np, v(F::KolKvIsx) + v(F::Kv_n1) - 1);
    SetMaximum(F::Kv_n1, v(F::KolKvIsx));
    SetMaximum(F::Kv_po, entrance_.lastNumber);
    Set(F::Kv_c, entrance_.firstNumber);
    Set(F::Kv_po, entrance_.lastNumber);
    if (!entrance_.rows.isEmpty()) {
        kvEn1_ = entrance_.rows.first().number;
        Set(F::Kv_n1, entrance_.rows.first().pNom);
    }
    countApartmentsToWrite();
    if (v(F::Kv_np) <= v(F::Ind_po)) Set(F::Ind_po, v(F::Kv_np) - v(F::Kv_n1) + v(F::Ind_1) + 1);
    Set(F::KolIndItog, v(F::Ind_po) - v(F::Ind_1) + 1);
    SetMaximum(F::Kv_n1, v(F::KolKvIsx) - v(F::KolIndItog) + 1);
    firstApartmentChanged();
}

// The apartments, not handsets, among as many rows as the file has indexes.
void KeyPourConditions::countApartmentsToWrite() {
    const int walk = qMin(v(F::KolIndIsx), int(entrance_.rows.size()));
    for (int i = 0; i < walk; ++i) {
        const PourApartment& row = entrance_.rows[i];
        if (row.handset) continue;
        Set(F::KolKvItog, v(F::KolKvItog) + 1);
        Set(F::Kv_np, row.pNom);
        kvEnp_ = row.number;
    }
}

void KeyPourConditions::SetCommon(bool common) {
    common_ = common;
    computed_ = false;
    Activate();
}

// ---------------------------------------------------------------- rules

// A new first index moves the last one as far as the file and the
// apartments allow. Common keys run from row 1 to KolKeys, so there the last
// row is KolKeys itself.
void KeyPourConditions::firstIndexChanged() {
    const int room = common_ ? v(F::KolKeys) : v(F::KolKvIsx);
    const int last = common_ ? v(F::KolKeys) : v(F::KolIndIsx) - 1;
    if (v(F::KolIndIsx) > room) SetMaximum(F::Ind_po, v(F::Ind_1) + room - 1);
    if (last < Maximum(F::Ind_po)) SetMaximum(F::Ind_po, last);
    Set(F::Ind_po, Maximum(F::Ind_po));
    Set(F::KolIndItog, v(F::Ind_po) - v(F::Ind_1) + 1);
}

void KeyPourConditions::lastIndexChanged() {
    if (v(F::Ind_po) <= v(F::Ind_1)) Set(F::Ind_po, v(F::Ind_1));
    Set(F::KolIndItog, v(F::Ind_po) - v(F::Ind_1) + 1);
}

void KeyPourConditions::IndexLeft() {
    Set(F::KolIndItog, v(F::Ind_po) - v(F::Ind_1) + 1);
    if (common_) return;
    SetMaximum(F::Kv_n1, v(F::KolKvIsx) - v(F::KolIndItog) + 1);
    firstApartmentChanged();
}

void KeyPourConditions::firstApartmentChanged() {
    Bounded& first = at(F::Kv_n1);
    first.value = qMax(1, qMin(first.value, first.maximum));
    const int room = common_ ? v(F::KolKeys) : v(F::KolKvIsx);
    SetMaximum(F::Kv_np, qMin(v(F::Kv_n1) + v(F::KolIndItog) - 1, room));
    Set(F::Kv_np, Maximum(F::Kv_np));
    kvEn1_ = numberAt(v(F::Kv_n1));
    kvEnp_ = numberAt(v(F::Kv_np));
    Set(F::KolKvItog, v(F::Kv_np) - v(F::Kv_n1) + 1);
}

QString KeyPourConditions::numberAt(int pNom) const {
    for (const PourApartment& row : entrance_.rows)
        if (row.pNom == pNom) return row.number;
    return QString();
}
