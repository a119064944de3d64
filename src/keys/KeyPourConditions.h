#pragma once
// The conditions of pouring a door panel's dump into the apartments of one
// entrance: which source indexes (Ind_1..Ind_po) go to which apartments by
// order number (Kv_n1..Kv_np; index Ind_1 + t goes to apartment Kv_n1 + t),
// or, poured as common keys, which source rows. Every value field keeps
// within its current minimum and maximum (none while the two are equal), and
// a change of Ind_1, Ind_po, Kv_n1 or KolKvItog runs that field's rule, which
// may change others in turn. The dialog shows the fields; the caller reads
// the ranges after OK.

#include <QList>
#include <QString>

#include <array>

class TFDM;

// The chosen entrance: its apartments in order of p_nom, handsets included.
struct PourApartment {
    int pNom = 0;
    QString number;  // n_kvr
    bool handset = false;
};

struct PourEntrance {
    int apartments = 0;   // v_kvr
    int firstNumber = 0;  // n1kvr
    int lastNumber = 0;   // npkvr
    QList<PourApartment> rows;
};

// The entrance the data module stands on (Q_DPd with its apartments Q_Kvp).
PourEntrance ReadPourEntrance(TFDM& dm);

enum class PourField {
    KolIndIsx,   // indexes in the source file (set by the caller)
    KolKeys,     // keys in the source file (set by the caller)
    Ind_1,       // first source index to write
    Ind_po,      // last source index to write
    KolIndItog,  // indexes to write
    KolKvIsx,    // apartments of the entrance
    Kv_n1,       // first apartment by order number
    Kv_np,       // last apartment by order number
    KolKvItog,   // apartments to write
    Kv_c,        // the entrance's first apartment number
    Kv_po,       // its last apartment number
};

class KeyPourConditions {
  public:
    static constexpr int kFieldCount = int(PourField::Kv_po) + 1;

    KeyPourConditions();

    void SetEntrance(const PourEntrance& entrance) { entrance_ = entrance; }

    int Value(PourField field) const { return at(field).value; }
    int Minimum(PourField field) const { return at(field).minimum; }
    int Maximum(PourField field) const { return at(field).maximum; }
    // Keeps the value within the field's limits and runs its rule when the
    // value changed.
    void Set(PourField field, int value);
    // Changes the maximum alone: the value stays and no rule runs.
    void SetMaximum(PourField field, int maximum) { at(field).maximum = maximum; }
    // The apartment numbers at Kv_n1 and Kv_np.
    QString KvEn1() const { return kvEn1_; }
    QString KvEnp() const { return kvEnp_; }

    // "В общие": the keys go to the entrance's common keys; only the source
    // range counts. Kept from one showing to the next.
    bool Common() const { return common_; }
    // The box clicked: the fields are computed again for the new mode.
    void SetCommon(bool common);

    // The fields are computed for this showing.
    bool Computed() const { return computed_; }
    // Computes the fields from the caller's values and the entrance, once
    // per showing.
    void Activate();
    // Leaving Ind_1 or Ind_po.
    void IndexLeft();
    // OK or Cancel: the next showing computes again.
    void Finish() { computed_ = false; }

  private:
    struct Bounded {
        int value = 0;
        int minimum = 0;
        int maximum = 0;
    };
    Bounded& at(PourField field) { return fields_[size_t(field)]; }
    const Bounded& at(PourField field) const { return fields_[size_t(field)]; }
    int v(PourField field) const { return Value(field); }

    void activateApartments();
    void countApartmentsToWrite();
    void firstIndexChanged();
    void lastIndexChanged();
    void firstApartmentChanged();
    QString numberAt(int pNom) const;

    std::array<Bounded, kFieldCount> fields_{};
    PourEntrance entrance_;
    QString kvEn1_;
    QString kvEnp_;
    bool common_ = false;
    bool computed_ = false;
};
