#pragma once
// The object report: every switch of the current object with its entrance,
// apartment range and wired call panels. The main menu makes it again for
// each print (PreviewObjectReport); the instance FQRepObject is made at
// start-up with the other forms.

#include "devices/ui/TReportForm.h"

class TFDM;
class QWidget;

class TFQRepObject : public TReportForm {
    Q_OBJECT
  public:
    explicit TFQRepObject(QObject* parent = nullptr) : TReportForm(ReportModel(), parent) {}
    explicit TFQRepObject(ReportModel model, QObject* parent = nullptr)
        : TReportForm(std::move(model), parent) {}
    static std::unique_ptr<TFQRepObject> Make(TFDM& dm, QString* error);
};

extern TFQRepObject* FQRepObject;

// Makes the object report of the current object under the hourglass and
// previews it; a failure is shown instead.
void PreviewObjectReport(QWidget* parent);
