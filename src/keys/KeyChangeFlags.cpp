#include "keys/KeyChangeFlags.h"

#include "foundation/BitAndStr.h"
#include "foundation/BoundSql.h"
#include "foundation/TFDM.h"
#include "keys/KeyRegister.h"

namespace {

bool inRange(int netNumber) {
    return netNumber >= 0 && netNumber < KeyChangeFlags::kSize;
}

constexpr int kFirstPanelNumber = 64;

// Restores a shared dataset's record number when the marks are done with it,
// so the device screens find their rows where they left them.
class KeepRecNo {
  public:
    explicit KeepRecNo(Dataset* ds) : ds_(ds), recNo_(ds->IsOpen() ? ds->RecNo() : 0) {}
    ~KeepRecNo() {
        if (recNo_ > 0 && ds_->IsOpen()) ds_->SetRecNo(recNo_);
    }

  private:
    Dataset* ds_;
    int recNo_;
};

}  // namespace

void KeyChangeFlags::Clear() {
    flags_.fill(false);
}

void KeyChangeFlags::Set(int netNumber) {
    if (inRange(netNumber)) flags_[netNumber] = true;
}

bool KeyChangeFlags::IsSet(int netNumber) const {
    return inRange(netNumber) && flags_[netNumber];
}

bool KeyChangeFlags::Any() const {
    for (bool f : flags_)
        if (f) return true;
    return false;
}

// The network number of the entrance's switch, -1 when it has none.
int KeyChangeFlags::switchOfEntrance(TFDM& dm, const QVariant& idPod) {
    Dataset* switches = dm.Q_pk;
    const int row = KeyData::FindRow(switches, QStringLiteral("id_pod"), idPod);
    if (row < 0) return -1;
    return switches->Value(row, switches->FieldIndex(QStringLiteral("n_net"))).toInt();
}

void KeyChangeFlags::SetSwitchOfEntrance(TFDM& dm, const QVariant& idPod) {
    const int netNumber = switchOfEntrance(dm, idPod);
    if (netNumber >= 0) Set(netNumber);
}

void KeyChangeFlags::SetPanelsOfEntrance(TFDM& dm, const QVariant& idPod) {
    const int netNumber = switchOfEntrance(dm, idPod);
    if (netNumber < 0) return;
    KeepRecNo keep(dm.Q_MNpk);
    markPanelsOfSwitch(dm, netNumber, kRingingToo);
}

bool KeyChangeFlags::Apply(TFDM& dm, int sepDevice, QString* error) {
    if (!Any()) return true;
    {
        KeepRecNo keep(dm.Q_MNpk);
        // With a console address above 128 the switches would run past the
        // marks; the scan stops at the last one.
        const int lastSwitch = qMin(sepDevice - 1, kSize - 1);
        for (int i = 0; i <= lastSwitch; ++i)
            if (flags_[i]) markPanelsOfSwitch(dm, i, kCarryingKeys);
    }
    KeepRecNo keep(dm.Q_bv);
    SqlTransaction transaction(dm.ConnectionDB());
    const int firstPanel = qMax(kFirstPanelNumber, sepDevice + 1);
    for (int i = firstPanel; i < kSize; ++i)
        if (flags_[i] && !advancePanel(dm, i, error)) {
            dm.Q_bv->Cancel();
            transaction.Rollback();
            dm.ReopenCallBlocks();  // the rollback undid what the cache shows
            return false;
        }
    if (!transaction.Commit()) {
        if (error) *error = transaction.LastError();
        transaction.Rollback();
        dm.ReopenCallBlocks();
        return false;
    }
    return true;
}

// The switch's panels are those of its matrix column with plus 1 (they ring
// it and carry its keys) or plus 3 (they only ring it); links says which.
void KeyChangeFlags::markPanelsOfSwitch(TFDM& dm, int netNumber, PanelLinks links) {
    if (!dm.Q_MNpk->Locate(QStringLiteral("k.n_net"), netNumber)) return;
    Dataset* panels = dm.Q_MNbv;
    for (panels->First(); !panels->Eof(); panels->Next()) {
        if (links == kRingingToo || panels->FieldByName(QStringLiteral("plus")).AsInt() == 1)
            Set(panels->FieldByName(QStringLiteral("b.n_net")).AsInt());
    }
}

bool KeyChangeFlags::advancePanel(TFDM& dm, int netNumber, QString* error) {
    Dataset* panels = dm.Q_bv;
    if (!dm.EnsureRead({panels})) {
        if (error) *error = dm.LastError();
        return false;
    }
    if (!panels->Locate(QStringLiteral("n_net"), netNumber)) return true;
    Field state = panels->FieldByName(QStringLiteral("kf_pr"));
    const int next = KfPrAfterEdit(state.AsInt());
    if (next == state.AsInt()) return true;
    state.SetValue(next);
    if (panels->Post()) return true;
    if (error) *error = panels->LastError();
    return false;
}
