#include "devices/ui/TFQRepTract.h"

#include "devices/SwitchReports.h"

std::unique_ptr<TFQRepTract> TFQRepTract::Make(TFDM& dm, QString* error) {
    return MakeReport<TFQRepTract>(BuildTractReport(dm, error));
}
