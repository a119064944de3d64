#include "devices/ui/TFQRepPK.h"

#include "devices/SwitchReports.h"

std::unique_ptr<TFQRepPK> TFQRepPK::Make(TFDM& dm, QString* error) {
    return MakeReport<TFQRepPK>(BuildTerminalReport(dm, error));
}
