#include "keys/KeyOwnerSearch.h"

#include "foundation/TFDM.h"
#include "keys/KeyNumber.h"
#include "keys/KeyRegister.h"

namespace {

// Apartment and common keys through their entrance; gate keys, whose id_pod
// holds their panel's id_bv, through that panel, named in the house column.
// Each object lists its apartment keys first, then common, then gate keys.
const char* const kSearchSql =
    "SELECT y.l_ob AS l_ob, y.un_key AS un_key, y.bv_key AS bv_key, y.s_met AS s_met,"
    " y.status AS status, p.n_pod AS n_pod, d.house AS house, k.n_kvr AS n_kvr,"
    " d.kod_d AS kod_d, n.ident AS ident, y.id_kvr AS id_kvr, y.id_pod AS id_pod,"
    " n.id_net AS id_net"
    " FROM k_key y JOIN k_pod p ON p.id_pod = y.id_pod JOIN k_dom d ON d.id_dom = p.id_dom"
    " JOIN k_net n ON n.id_net = d.id_net LEFT JOIN k_kvr k ON k.id_kvr = y.id_kvr AND y.id_kvr > 0"
    " WHERE y.bv_key = :code AND y.id_kvr > -2"
    " UNION ALL"
    " SELECT y.l_ob, y.un_key, y.bv_key, y.s_met, y.status, NULL, b.n_bv, NULL, NULL, n.ident,"
    " y.id_kvr, y.id_pod, n.id_net"
    " FROM k_key y JOIN k_bv b ON b.id_bv = y.id_pod JOIN k_net n ON n.id_net = b.id_net"
    " WHERE y.bv_key = :code AND y.id_kvr = -2"
    " ORDER BY bv_key, id_net, id_kvr DESC, id_pod";

}  // namespace

KeyOwnerSearch::KeyOwnerSearch(TFDM& dm) : dm_(dm) {}

QString KeyOwnerSearch::SearchCode(const QString& typed) {
    return typed.trimmed().right(KeyNumber::kPanelDigits);
}

int KeyOwnerSearch::Run(const QString& typed) {
    const QString code = SearchCode(typed);
    if (code.isEmpty()) return 0;
    Dataset* found = dm_.HavKeys;
    found->Close();
    found->SetSql(QString::fromLatin1(kSearchSql));
    found->SetParam(QStringLiteral("code"), code);
    if (!found->Open()) return -1;
    return found->RecordCount();
}

std::optional<FoundKey> KeyOwnerSearch::Current() const {
    Dataset* found = dm_.HavKeys;
    if (!KeyData::HasRow(found)) return std::nullopt;
    FoundKey key;
    const int owner = found->FieldByName(QStringLiteral("id_kvr")).AsInt();
    key.mode = owner == KeyRegister::kCommonOwner ? KeyGroup::Entrance
               : owner == KeyRegister::kGateOwner ? KeyGroup::Gate
                                                  : KeyGroup::Apartment;
    key.owner = key.mode == KeyGroup::Apartment
                    ? QVariant(owner)
                    : found->FieldByName(QStringLiteral("id_pod")).Value();
    key.number = found->FieldByName(QStringLiteral("un_key")).AsString();
    key.idNet = found->FieldByName(QStringLiteral("id_net")).Value();
    return key;
}

bool KeyOwnerSearch::InCurrentObject(const FoundKey& key) const {
    return KeyData::HasRow(dm_.Q_Net) &&
           dm_.Q_Net->FieldByName(QStringLiteral("id_net")).AsInt() == key.idNet.toInt();
}

void KeyOwnerSearch::GoTo(const FoundKey& key) {
    Dataset* owners = dm_.QForKey;
    Dataset* list = dm_.QKeys;
    QString ownerField = QStringLiteral("id_kvr");
    if (key.mode == KeyGroup::Entrance) {
        owners = dm_.QPodKey;
        list = dm_.QOKeys;
        ownerField = QStringLiteral("id_pod");
    } else if (key.mode == KeyGroup::Gate) {
        owners = dm_.QKalKey;
        list = dm_.QKKeys;
        ownerField = QStringLiteral("id_bv");
    }
    owners->Locate(ownerField, key.owner);
    list->Locate(QStringLiteral("un_key"), key.number);
}
