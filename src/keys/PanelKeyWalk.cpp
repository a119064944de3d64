#include "keys/PanelKeyWalk.h"

#include "foundation/TFDM.h"

int PanelKeyWalk::ApartmentCount() const {
    int n = 0;
    for (const WalkEntrance& e : entrances) n += int(e.apartments.size());
    return n;
}

WalkApartment PanelKeyWalk::At(qint64 n) const {
    if (n < 1) return {};
    for (int e = 0; e < entrances.size(); ++e) {
        const qint64 here = entrances[e].apartments.size();
        if (n <= here) return {e, int(n - 1)};
        n -= here;
    }
    return {};
}

PanelKeyWalk ReadPanelKeyWalk(TFDM& dm) {
    PanelKeyWalk walk;
    Dataset* entrances = dm.Q_Bpo;
    Dataset* apartments = dm.Q_Kvr1;
    // Read only for the walk: an open detail would follow every later move
    // of the panel list.
    const bool wasOpen = apartments->IsOpen();
    // Entrances whose apartments cannot be read make no walk.
    if (!apartments->EnsureRead()) return walk;
    for (entrances->First(); !entrances->Eof(); entrances->Next()) {
        WalkEntrance e;
        e.idPod = entrances->FieldByName(QStringLiteral("p.id_pod")).Value();
        e.switchNet = entrances->FieldByName(QStringLiteral("k.n_net")).AsInt();
        e.pFc = entrances->FieldByName(QStringLiteral("p_fc")).AsLargeInt();
        e.ah = entrances->FieldByName(QStringLiteral("ah")).AsLargeInt();
        const int id = apartments->FieldIndex(QStringLiteral("id_kvr"));
        for (int row = 0; row < apartments->RecordCount(); ++row)
            e.apartments << apartments->Value(row, id).toLongLong();
        walk.entrances << e;
    }
    if (!wasOpen) apartments->Close();
    return walk;
}
