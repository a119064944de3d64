#pragma once
// A report made for one print: its model, the preview window titled with its
// caption (the system's printers are reached from there), and PDF files from
// the same renderer. Each print makes a new report; its preview window takes
// it over, and both are freed when the window closes.

#include "devices/ReportModel.h"

#include <QObject>

#include <memory>
#include <optional>

class QPrintPreviewDialog;
class QPrinter;
class QWidget;

class TReportForm : public QObject {
    Q_OBJECT
  public:
    explicit TReportForm(ReportModel model, QObject* parent = nullptr);
    ~TReportForm() override;

    const ReportModel& Model() const { return model_; }
    QString Caption() const { return model_.caption; }

    // Shows the preview without blocking; the report now belongs to the
    // preview window.
    QPrintPreviewDialog* Preview(QWidget* parent);
    bool WritePdf(const QString& path, QString* error = nullptr) const;

  private:
    // Paints the preview's pages, or prints them: on the printer, or, when
    // the printer writes a file, into that file as a whole.
    void Paint(QPrinter& printer);
    void PrintToFile(const QPrinter& printer);

    ReportModel model_;
    // The preview's printer: at the printer's own resolution, so that the
    // pages are laid out as they will be printed.
    std::unique_ptr<QPrinter> printer_;
};

// A new report of type Form over the model, or nullptr when there is none.
template <class Form>
std::unique_ptr<Form> MakeReport(std::optional<ReportModel> model) {
    return model ? std::make_unique<Form>(std::move(*model)) : nullptr;
}

// Previews the report, or, when it could not be made, shows why ("Ошибка").
void ShowReportPreview(std::unique_ptr<TReportForm> report, const QString& failure,
                       QWidget* parent);
