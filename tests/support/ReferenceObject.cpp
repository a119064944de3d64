#include "support/ReferenceObject.h"

#include "devices/DeviceRecordSync.h"
#include "devices/SecurityPost.h"
#include "foundation/MatrTable.h"
#include "foundation/NavigationHooks.h"
#include "foundation/TFDM.h"
#include "site/AccessMatrix.h"
#include "site/ApartmentGenerator.h"
#include "site/EntranceScreen.h"
#include "site/MatrixEditor.h"
#include "site/ObjectScreen.h"
#include "support/ScriptedDialogs.h"

ReferenceObject::ReferenceObject(ReferenceObjectOptions options) : options_(std::move(options)) {}

bool ReferenceObject::fail(const QString& why) {
    error_ = why;
    return false;
}

bool ReferenceObject::Build(ReferenceStep last) {
    error_.clear();
    if (!FDM || !FDM->Q_Net->IsOpen())
        return fail(QStringLiteral("the data module has no open database"));
    if (!enterObjectAndEntrances(last)) return false;
    if (last >= ReferenceStep::Matrix && !saveMatrix()) return false;
    if (last >= ReferenceStep::Apartments && !generateApartments()) return false;
    if (last >= ReferenceStep::DeviceRecords && !makeDeviceRecords()) return false;
    return true;
}

// "Новый Объект", the panel filled in, "Сохранить дома" (confirmed), the
// houses grid filled in, "Сохранить подъезды".
bool ReferenceObject::enterObjectAndEntrances(ReferenceStep last) {
    ScriptedDialogs answers;
    answers.Expect(ObjectScreenTexts::kConfirmNewCaption, ObjectScreenTexts::kConfirmNew,
                   DlgAnswer::Yes);
    ObjectScreen screen;
    screen.BeginNewObject();
    ObjectPanelValues panel;
    panel.name = options_.name;
    panel.address = options_.address;
    panel.console = options_.console;
    panel.houses = int(options_.houses.size());
    panel.gates = options_.gates;
    const HousesSaveOutcome houses = screen.SaveHouses(panel);
    if (!houses.objectInserted || !houses.showHouses)
        return fail(QStringLiteral("the object and its houses were not saved"));
    idNet_ = FDM->Q_Net->FieldByName(QStringLiteral("id_net")).AsLargeInt();

    Dataset* grid = FDM->Q_Dom;
    if (grid->RecordCount() != options_.houses.size())
        return fail(QStringLiteral("the houses grid shows %1 houses").arg(grid->RecordCount()));
    QList<qint64> houseIds;
    for (int row = 0; row < grid->RecordCount(); ++row)
        houseIds << grid->Value(row, grid->FieldIndex(QStringLiteral("id_dom"))).toLongLong();
    for (int i = 0; i < houseIds.size(); ++i) {
        const ReferenceHouse& house = options_.houses[i];
        if (!screen.SetHousePrefix(houseIds[i], house.prefix) ||
            !screen.SetHouseEntrances(houseIds[i], house.entrances))
            return fail(QStringLiteral("house %1 was not changed in the grid").arg(i + 1));
    }
    // The program always rebuilds the matrix here; a later step needs it.
    const std::function<void()> testHook = Hooks().RebuildDevices;
    if (last >= ReferenceStep::Matrix)
        Hooks().RebuildDevices = [] { AccessMatrix().RebuildDevices(); };
    const EntrancesSaveOutcome entrances = screen.SaveEntrancesAndRebuild();
    Hooks().RebuildDevices = testHook;
    if (entrances.result != EntranceSaveResult::Saved)
        return fail(QStringLiteral("the entrance save was refused (%1)")
                        .arg(static_cast<int>(entrances.result)));
    return true;
}

// The matrix screen opened on the object and "Сохранить" pressed.
bool ReferenceObject::saveMatrix() {
    if (!OpenMatrTable())
        return fail(QStringLiteral("the matrix did not open: ") + MatrTableError());
    if (!MatrixEditor().SaveMatrix()) return fail(QStringLiteral("the matrix was not saved"));
    return true;
}

// For every house: the last apartment numbers typed into its entrances, the
// recount of the ranges; then the apartments of the object saved.
bool ReferenceObject::generateApartments() {
    EntranceScreen screen;
    Dataset* houses = FDM->Q_Dom;
    Dataset* entrances = FDM->Q_DPd;
    for (int h = 1; h <= houses->RecordCount(); ++h) {
        houses->SetRecNo(h);
        const qint64 idDom = houses->FieldByName(QStringLiteral("id_dom")).AsLargeInt();
        QList<qint64> ids;
        for (int e = 0; e < entrances->RecordCount(); ++e)
            ids << entrances->Value(e, entrances->FieldIndex(QStringLiteral("id_pod")))
                       .toLongLong();
        for (int e = 0; e < ids.size(); ++e)
            if (!screen.SetEntranceField(ids[e], QStringLiteral("npkvr"),
                                         QString::number((e + 1) * options_.apartmentsPerEntrance)))
                return fail(QStringLiteral("house %1: the last apartment was not entered").arg(h));
        ScriptedDialogs answers;
        answers.Expect(EntranceTexts::kRecountCaption, EntranceTexts::kRecountQuestion,
                       DlgAnswer::Yes);
        const RangeRecountOutcome recount = screen.RecountHouseRanges(idDom, RangeInputs{});
        if (!recount.ran || recount.orderViolated || recount.failed)
            return fail(QStringLiteral("house %1: the ranges were not recounted").arg(h));
    }
    ApartmentGenerator generator;
    const GenerationResult result = generator.Run(options_.keysPerApartment);
    if (result != GenerationResult::Done)
        return fail(
            QStringLiteral("the apartments were not generated (%1)").arg(static_cast<int>(result)));
    return true;
}

// The switch screen opened on the object and its question answered Yes; the
// console screen's load makes the console record on the way.
bool ReferenceObject::makeDeviceRecords() {
    const std::function<void()> testHook = Hooks().LoadSecurityPost;
    Hooks().LoadSecurityPost = [] { LoadSecurityPost(); };
    const DeviceSyncOutcome made = SyncPkRecords();
    Hooks().LoadSecurityPost = testHook;
    if (made.result != DeviceChange::Done)
        return fail(QStringLiteral("the device records were not made: ") + made.error);
    return true;
}
