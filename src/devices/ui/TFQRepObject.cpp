#include "devices/ui/TFQRepObject.h"

#include "devices/SwitchReports.h"
#include "foundation/TFDM.h"
#include "foundation/ui/WaitCursor.h"

TFQRepObject* FQRepObject = nullptr;

std::unique_ptr<TFQRepObject> TFQRepObject::Make(TFDM& dm, QString* error) {
    return MakeReport<TFQRepObject>(BuildObjectReport(dm, error));
}

void PreviewObjectReport(QWidget* parent) {
    std::unique_ptr<TFQRepObject> report;
    QString error;
    {
        WaitCursor wait;
        if (FDM) report = TFQRepObject::Make(*FDM, &error);
    }
    ShowReportPreview(std::move(report), error, parent);
}
