#include "devices/ui/TReportForm.h"

#include "devices/ui/ReportRenderer.h"
#include "platform/Dialogs.h"

#include <QPainter>
#include <QPrintPreviewDialog>
#include <QPrinter>

TReportForm::TReportForm(ReportModel model, QObject* parent)
    : QObject(parent), model_(std::move(model)) {}

QPrintPreviewDialog* TReportForm::Preview(QWidget* parent) {
    auto* preview = new QPrintPreviewDialog(parent);
    preview->setObjectName(QStringLiteral("ReportPreview"));
    preview->setAttribute(Qt::WA_DeleteOnClose);
    preview->setWindowTitle(Caption());
    SetReportPage(*preview->printer());
    setParent(preview);
    connect(preview, &QPrintPreviewDialog::paintRequested, this, [this](QPrinter* printer) {
        QPainter painter(printer);
        RenderReport(model_, painter, *printer);
    });
    preview->show();
    return preview;
}

bool TReportForm::WritePdf(const QString& path, QString* error) const {
    return WriteReportPdf(model_, path, error);
}

void ShowReportPreview(std::unique_ptr<TReportForm> report, const QString& failure,
                       QWidget* parent) {
    if (!report) {
        Dialogs::Message(QStringLiteral("Ошибка"),
                         failure.isEmpty() ? QStringLiteral("Отчёт не построен.") : failure,
                         DlgButtons::Ok, DlgIcon::Error);
        return;
    }
    report.release()->Preview(parent);
}
