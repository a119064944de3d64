#include "foundation/MainWindowData.h"

#include "foundation/BitAndStr.h"
#include "foundation/BoundSql.h"
#include "foundation/CountLimits.h"
#include "foundation/GlobalParams.h"
#include "foundation/TFDM.h"
#include "platform/AppPaths.h"

#include <QSqlQuery>

namespace MainWindowData {

namespace {
Dataset* objects() {
    return FDM ? FDM->Q_Net : nullptr;
}

bool hasRows(Dataset* ds) {
    return ds && !ds->IsEmpty();
}
}  // namespace

bool Connect(const QString& folder, QString* reason) {
    if (!FDM) {
        if (reason) *reason = QStringLiteral("no data module");
        return false;
    }
    return FDM->Connect(folder + QLatin1String(AppPaths::kDbFileName), reason);
}

void Disconnect() {
    if (FDM) FDM->Disconnect();
}

bool IsOpen() {
    return FDM && FDM->Connected();
}

bool ObjectListEmpty() {
    return !IsOpen() || objects()->IsEmpty();
}

void LocateObjectOrFirst(int idNet) {
    if (ObjectListEmpty()) return;
    if (!objects()->Locate(QStringLiteral("id_net"), idNet)) objects()->First();
}

int CurrentObjectId() {
    return ObjectListEmpty() ? 0 : objects()->FieldByName(QStringLiteral("id_net")).AsInt();
}

int CurrentObjectRecNo() {
    return ObjectListEmpty() ? 0 : objects()->RecNo();
}

bool ObjectHasConsole() {
    return !ObjectListEmpty() && objects()->FieldByName(QStringLiteral("l_pok")).AsBool();
}

int ObjectGateCount() {
    return ObjectListEmpty() ? 0 : objects()->FieldByName(QStringLiteral("v_kal")).AsInt();
}

bool LoadGlobals(ArmGlobals& g) {
    Dataset* global = FDM ? FDM->Global : nullptr;
    if (!global || global->IsEmpty()) return false;
    global->First();
    // A value that is not a number keeps the start value: a limit of 0
    // would refuse every entrance.
    const ArmGlobals start;
    using GlobalParams::StoredGlobalNumber;
    g.KolTractPK = StoredGlobalNumber(QStringLiteral("KolTractPK"), start.KolTractPK);
    g.MaxDevice = StoredGlobalNumber(QStringLiteral("MaxDevice"), start.MaxDevice);
    g.SepDevice = StoredGlobalNumber(QStringLiteral("SepDevice"), start.SepDevice);
    g.Shapka = StoredGlobalNumber(QStringLiteral("Shapka"), start.Shapka);
    g.Colstp = StoredGlobalNumber(QStringLiteral("Colstp"), start.Colstp);
    g.nmBVp = global->FieldByName(QStringLiteral("nmBVp")).AsString() + QLatin1Char(' ');
    g.nmBVk = global->FieldByName(QStringLiteral("nmBVk")).AsString() + QLatin1Char(' ');
    // The window is made as large as these: a file's size beyond the form's
    // ranges is taken at their nearer end.
    g.WidthMain =
        CountLimits::Within(StoredGlobalNumber(QStringLiteral("WidthMain"), g.WidthMain),
                            CountLimits::kLeastWindowWidth, CountLimits::kMostWindowWidth);
    g.HeightMain =
        CountLimits::Within(StoredGlobalNumber(QStringLiteral("HeightMain"), g.HeightMain),
                            CountLimits::kLeastWindowHeight, CountLimits::kMostWindowHeight);
    return true;
}

int StoredMainWidth() {
    Dataset* global = FDM ? FDM->Global : nullptr;
    if (!global || global->IsEmpty()) return 0;
    global->First();
    return CountLimits::Within(global->FieldByName(QStringLiteral("WidthMain")).AsLargeInt(),
                               CountLimits::kLeastWindowWidth, CountLimits::kMostWindowWidth);
}

bool OpenAllTables(const std::function<void(int, int, bool)>& progress, QString* reason) {
    if (!FDM) return false;
    const bool ok = FDM->OpenAllTables(progress);
    if (!ok && reason) *reason = FDM->LastError();
    return ok;
}

ScreenRules::ObjectFacts ReadObjectFacts(bool withResidents) {
    ScreenRules::ObjectFacts f;
    if (!IsOpen()) return f;
    f.listEmpty = ObjectListEmpty();
    f.hasHouses = !f.listEmpty && hasRows(FDM->Q_Dom);
    f.hasApartments = HasApartments();
    f.stNet = ObjectState();
    f.hasConsole = ObjectHasConsole();
    if (withResidents) f.residentsEmpty = !hasRows(FDM->Q_Ppl);
    return f;
}

QString ObjectState() {
    return ObjectListEmpty() ? QString()
                             : objects()->FieldByName(QStringLiteral("st_net")).AsString();
}

bool HasSwitchRecords() {
    return !ObjectListEmpty() && hasRows(FDM->Q_pk);
}
bool HasCallPanelRecords() {
    return !ObjectListEmpty() && hasRows(FDM->Q_bv);
}
// Q_kv holds every apartment of the object once it is open and read; before,
// one row looked up answers without loading them all (a large database starts
// faster, and a list left to read on first use is not read for this).
bool HasApartments() {
    if (ObjectListEmpty()) return false;
    if (FDM->Q_kv->IsOpen() && !FDM->Q_kv->IsStale()) return !FDM->Q_kv->IsEmpty();
    QSqlQuery q(FDM->ConnectionDB());
    return ExecBound(q, QStringLiteral("SELECT 1 FROM k_kvr WHERE id_net = ? LIMIT 1"),
                     {objects()->FieldByName(QStringLiteral("id_net")).Value()}, nullptr) &&
           q.next();
}

int ObjectCount() {
    return IsOpen() ? objects()->RecordCount() : 0;
}

void SelectObjectRecNo(int recNo) {
    if (!ObjectListEmpty()) objects()->SetRecNo(recNo);
}

int CurrentHouseEntrances() {
    if (!hasRows(FDM->Q_Dom)) return 0;
    return FDM->Q_DPd->RecordCount();
}

int CurrentHousePlannedEntrances() {
    if (!hasRows(FDM->Q_Dom)) return 0;
    return FDM->Q_Dom->FieldByName(QStringLiteral("v_pod")).AsInt();
}

bool AnyEntranceWithoutApartments() {
    if (ObjectListEmpty()) return false;
    QSqlQuery q(FDM->ConnectionDB());
    q.prepare(
        QStringLiteral("SELECT COUNT(*) FROM k_pod p JOIN k_dom d ON d.id_dom = p.id_dom "
                       "WHERE d.id_net = :id AND NOT EXISTS "
                       "(SELECT 1 FROM k_kvr k WHERE k.id_pod = p.id_pod)"));
    q.bindValue(QStringLiteral(":id"), CurrentObjectId());
    return q.exec() && q.next() && q.value(0).toInt() > 0;
}

void NormaliseFlagMasks() {
    if (ObjectListEmpty()) return;
    Dataset* net = objects();
    const QVariant bv = net->FieldByName(QStringLiteral("flbv")).Value();
    const QVariant po = net->FieldByName(QStringLiteral("flpo")).Value();
    const QString newBv = ScreenRules::NormalisedFlagMask(bv, QStringLiteral("11"));
    const QString newPo = ScreenRules::NormalisedFlagMask(po, QStringLiteral("1"));
    if (!bv.isNull() && !po.isNull() && newBv == bv.toString() && newPo == po.toString()) return;
    net->FieldByName(QStringLiteral("flbv")).SetValue(newBv);
    net->FieldByName(QStringLiteral("flpo")).SetValue(newPo);
    if (!net->Post()) net->Cancel();
}

void AdvanceConsoleFileState() {
    if (!ObjectHasConsole() || !hasRows(FDM->Q_PO)) return;
    Field state = FDM->Q_PO->FieldByName(QStringLiteral("kf_pr"));
    const int before = state.AsInt();
    const int after = KfPrAfterEdit(before);
    if (after == before) return;
    state.SetValue(after);
    if (!FDM->Q_PO->Post()) FDM->Q_PO->Cancel();
}

int SwitchListRecNo() {
    return FDM && FDM->Q_MNpk->IsOpen() ? FDM->Q_MNpk->RecNo() : 0;
}

void RestoreSwitchListRecNo(int recNo) {
    if (recNo > 0 && FDM) FDM->Q_MNpk->SetRecNo(recNo);
}

}  // namespace MainWindowData
