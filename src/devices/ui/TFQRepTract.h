#pragma once
// The tract report: the call panels wired to every switch of the object, by
// tract, made for each print.

#include "devices/ui/TReportForm.h"

class TFDM;

class TFQRepTract : public TReportForm {
    Q_OBJECT
  public:
    using TReportForm::TReportForm;
    static std::unique_ptr<TFQRepTract> Make(TFDM& dm, QString* error);
};
