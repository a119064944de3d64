#pragma once
// The terminal report: the apartments of an entrance over the terminals of its
// switch, made for each print from the switch the switch list stands on.

#include "devices/ui/TReportForm.h"

class TFDM;

class TFQRepPK : public TReportForm {
    Q_OBJECT
  public:
    using TReportForm::TReportForm;
    // Puts the house and entrance lists on the switch's entrance and reads it;
    // nullptr, with error, when that cannot be done.
    static std::unique_ptr<TFQRepPK> Make(TFDM& dm, QString* error);
};
