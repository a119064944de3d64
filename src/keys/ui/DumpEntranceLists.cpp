#include "keys/ui/DumpEntranceLists.h"

#include "foundation/TFDM.h"
#include "foundation/ui/TFProgress.h"
#include "keys/KeyRegister.h"
#include "foundation/ProgressSteps.h"
#include "platform/Dialogs.h"

#include <QListWidget>

namespace {

constexpr int kIdPodRole = Qt::UserRole;
constexpr int kIdDomRole = Qt::UserRole + 1;
const char* const kTag = "Tag";

std::optional<qint64> currentField(const char* name) {
    if (!FDM || !KeyData::HasRow(FDM->Q_Net)) return std::nullopt;
    return FDM->Q_Net->FieldByName(QLatin1String(name)).AsLargeInt();
}

void show(QListWidget* list, const QList<DumpEntrance>& entrances) {
    list->clear();
    for (const DumpEntrance& e : entrances) {
        auto* item = new QListWidgetItem(e.line, list);
        item->setData(kIdPodRole, e.idPod);
        item->setData(kIdDomRole, e.idDom);
    }
}

}  // namespace

std::optional<qint64> CurrentObjectId() {
    return currentField("id_net");
}

std::optional<qint64> CurrentObjectNumber() {
    return currentField("id_nom");
}

DumpEntranceLists::DumpEntranceLists(QListWidget* bekuList, QListWidget* mirelList, QObject* parent)
    : QObject(parent), beku_(bekuList), mirel_(mirelList) {
    beku_->setProperty(kTag, 0);
}

void DumpEntranceLists::Fill() {
    const std::optional<qint64> idNet = CurrentObjectId();
    QList<DumpEntrance> entrances;
    if (idNet) {
        ProgressSteps steps(ProgressGauge(), 1);
        QString error;
        if (!ReadDumpEntrances(*FDM, *idNet, entrances, &error))
            Dialogs::Message(QStringLiteral("Ошибка"), error, DlgButtons::Ok, DlgIcon::Error);
        steps.Step();
    }
    show(beku_, entrances);
    show(mirel_, entrances);
}

void DumpEntranceLists::TabShow() {
    const std::optional<qint64> idNet = CurrentObjectId();
    if (!idNet || beku_->property(kTag).toLongLong() == *idNet) return;
    Fill();
    beku_->setProperty(kTag, *idNet);
}

void DumpEntranceLists::N1Click() {
    const std::optional<qint64> idNet = CurrentObjectId();
    if (!idNet) return;
    Fill();
    beku_->setProperty(kTag, *idNet);
}

std::optional<DumpEntrance> DumpEntranceLists::Selected(const QListWidget* list) {
    const QListWidgetItem* item = list->currentItem();
    if (!item || !item->isSelected()) return std::nullopt;
    return DumpEntrance{item->text(), item->data(kIdPodRole), item->data(kIdDomRole)};
}
