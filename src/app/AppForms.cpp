#include "app/AppForms.h"

#include "app/TFMainVesk.h"
#include "config/ui/ConfigForms.h"
#include "config/ui/TFrRedact.h"
#include "devices/ui/DeviceForms.h"
#include "devices/ui/TFFindPar.h"
#include "devices/ui/TFMelF.h"
#include "devices/ui/TFMelP.h"
#include "devices/ui/TFQRepObject.h"
#include "devices/ui/TFbvApp.h"
#include "devices/ui/TFbvEdit.h"
#include "devices/ui/TFbvReCount.h"
#include "devices/ui/TFpkAppr.h"
#include "devices/ui/TFpkEdit.h"
#include "devices/ui/TFpoAppr.h"
#include "foundation/MatrTable.h"
#include "foundation/TFDM.h"
#include "foundation/ui/TAboutBox.h"
#include "foundation/ui/TFDialog.h"
#include "foundation/ui/TFGlVal.h"
#include "foundation/ui/TFProgress.h"
#include "keys/ui/EditorKeyParts.h"
#include "keys/ui/KeyForms.h"
#include "keys/ui/TFHavKey.h"
#include "keys/ui/TFKeyInKv.h"
#include "keys/ui/TFMifare.h"
#include "netlink/ui/NetlinkForms.h"
#include "netlink/ui/TFCOM.h"
#include "netlink/ui/TFNetTime.h"
#include "site/ui/SiteForms.h"
#include "site/ui/TFObEdit.h"
#include "site/ui/TFRedVV.h"
#include "site/ui/TFSvTable.h"
#include "site/ui/TFdpkPort.h"
#include "site/ui/TFkvEdit.h"
#include "site/ui/TFskEdit.h"

namespace AppForms {

namespace {
QStringList& order() {
    static QStringList names;
    return names;
}
void made(const QString& name) {
    order() << name;
}

template <class T>
void destroy(T*& form) {
    delete form;
    form = nullptr;
}

}  // namespace

const QStringList& CreationOrder() {
    return order();
}

void RegisterScreenFrames() {
    SiteForms::RegisterFrames();
    DeviceForms::RegisterFrames();
    ConfigForms::RegisterFrames();
    NetlinkForms::RegisterFrames();
    KeyForms::RegisterFrames();
}

void ComposeParts() {
    TFrRedact::SetKeyPartsMaker(&EditorKeyParts::Make);
}

void CreateAll() {
    order().clear();
    ComposeParts();
    SiteForms::InstallHooks();
    DeviceForms::InstallHooks();
    ConfigForms::InstallHooks();
    NetlinkForms::InstallHooks();
    KeyForms::InstallHooks();
    // The data module comes first: the main window opens the database.
    new TFDM;
    InstallMatrTableHook();
    made(QStringLiteral("FDM"));
    FMainVesk = new TFMainVesk;
    SetMainHost(FMainVesk);
    made(QStringLiteral("FMainVesk"));
    FNetTime = new TFNetTime(FMainVesk);
    made(QStringLiteral("FNetTime"));
    FObEdit = new TFObEdit(FMainVesk);
    made(QStringLiteral("FObEdit"));
    FFindPar = new TFFindPar(FMainVesk);
    made(QStringLiteral("FFindPar"));
    FGlVal = new TFGlVal(FMainVesk);
    made(QStringLiteral("FGlVal"));
    FMelF = new TFMelF(FMainVesk);
    made(QStringLiteral("FMelF"));
    FskEdit = new TFskEdit(FMainVesk);
    made(QStringLiteral("FskEdit"));
    FbvEdit = new TFbvEdit(FMainVesk);
    made(QStringLiteral("FbvEdit"));
    FSvTable = new TFSvTable(FMainVesk);
    made(QStringLiteral("FSvTable"));
    FkvEdit = new TFkvEdit(FMainVesk);
    made(QStringLiteral("FkvEdit"));
    FMelP = new TFMelP(FMainVesk);
    made(QStringLiteral("FMelP"));
    FdpkPort = new TFdpkPort(FMainVesk);
    made(QStringLiteral("FdpkPort"));
    FpoAppr = new TFpoAppr(FMainVesk);
    made(QStringLiteral("FpoAppr"));
    FHavKey = new TFHavKey(FMainVesk);
    made(QStringLiteral("FHavKey"));
    FMifare = new TFMifare(FMainVesk);
    made(QStringLiteral("FMifare"));
    AboutBox = new TAboutBox(FMainVesk);
    made(QStringLiteral("AboutBox"));
    FpkEdit = new TFpkEdit(FMainVesk);
    made(QStringLiteral("FpkEdit"));
    FRedVV = new TFRedVV(FMainVesk);
    made(QStringLiteral("FRedVV"));
    FpkAppr = new TFpkAppr(FMainVesk);
    made(QStringLiteral("FpkAppr"));
    FbvReCount = new TFbvReCount(FMainVesk);
    made(QStringLiteral("FbvReCount"));
    FKeyInKv = new TFKeyInKv(FMainVesk);
    made(QStringLiteral("FKeyInKv"));
    FQRepObject = new TFQRepObject(FMainVesk);
    made(QStringLiteral("FQRepObject"));
    FDialog = new TFDialog(FMainVesk);
    made(QStringLiteral("FDialog"));
    FbvApp = new TFbvApp(FMainVesk);
    made(QStringLiteral("FbvApp"));
    FCOM = new TFCOM(FMainVesk);
    made(QStringLiteral("FCOM"));
    FProgress = new TFProgress(FMainVesk);
    made(QStringLiteral("FProgress"));
}

void DestroyAll() {
    destroy(FProgress);
    destroy(FCOM);
    destroy(FbvApp);
    destroy(FDialog);
    destroy(FQRepObject);
    destroy(FKeyInKv);
    destroy(FbvReCount);
    destroy(FpkAppr);
    destroy(FRedVV);
    destroy(FpkEdit);
    destroy(AboutBox);
    destroy(FMifare);
    destroy(FHavKey);
    destroy(FpoAppr);
    destroy(FdpkPort);
    destroy(FMelP);
    destroy(FkvEdit);
    destroy(FSvTable);
    destroy(FbvEdit);
    destroy(FskEdit);
    destroy(FMelF);
    destroy(FGlVal);
    destroy(FFindPar);
    destroy(FObEdit);
    destroy(FNetTime);
    destroy(FMainVesk);
    destroy(FDM);
}

}  // namespace AppForms
