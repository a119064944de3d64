#include "foundation/MainWindowData.h"

#include "foundation/TFDM.h"
#include "platform/AppPaths.h"

namespace MainWindowData {

namespace {
Dataset* objects() {
    return FDM ? FDM->Q_Net : nullptr;
}

// The object list and the global parameters are read right after the open.
bool openIfClosed(Dataset* ds, QString* reason) {
    if (ds->IsOpen() || ds->Open()) return true;
    if (reason) *reason = ds->Name() + QStringLiteral(": ") + ds->LastError();
    return false;
}
}  // namespace

bool Connect(const QString& folder, QString* reason) {
    if (!FDM) {
        if (reason) *reason = QStringLiteral("no data module");
        return false;
    }
    if (!FDM->Connect(folder + QLatin1String(AppPaths::kDbFileName), reason)) return false;
    if (openIfClosed(FDM->Global, reason) && openIfClosed(FDM->Q_Net, reason)) return true;
    FDM->Disconnect();
    return false;
}

void Disconnect() {
    if (FDM) FDM->Disconnect();
}

bool IsOpen() {
    return objects() && objects()->IsOpen();
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
    if (!global || !(global->IsOpen() || global->Open()) || global->IsEmpty()) return false;
    global->First();
    auto number = [global](const char* name) {
        return global->FieldByName(QString::fromLatin1(name)).AsInt();
    };
    g.KolTractPK = number("KolTractPK");
    g.MaxDevice = number("MaxDevice");
    g.SepDevice = number("SepDevice");
    g.Shapka = number("Shapka");
    g.Colstp = number("Colstp");
    g.nmBVp = global->FieldByName(QStringLiteral("nmBVp")).AsString() + QLatin1Char(' ');
    g.nmBVk = global->FieldByName(QStringLiteral("nmBVk")).AsString() + QLatin1Char(' ');
    g.WidthMain = number("WidthMain");
    g.HeightMain = number("HeightMain");
    return true;
}

bool OpenAllTables(const std::function<void(int, int, bool)>& progress, QString* reason) {
    if (!FDM) return false;
    const bool ok = FDM->OpenAllTables(progress);
    if (!ok && reason) *reason = FDM->LastError();
    return ok;
}

void OpenResidents() {
    if (IsOpen() && !FDM->Q_Ppl->IsOpen()) FDM->Q_Ppl->Open();
}

}  // namespace MainWindowData
