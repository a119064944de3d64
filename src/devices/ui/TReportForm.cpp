#include "devices/ui/TReportForm.h"

#include "devices/ui/ReportRenderer.h"
#include "platform/Dialogs.h"

#include <QGuiApplication>
#include <QPainter>
#include <QPrintPreviewDialog>
#include <QPrinter>
#include <QScreen>

namespace {

// A page readable at a glance, within the screen.
QSize previewSize(const QWidget* parent) {
    const QScreen* screen = parent ? parent->screen() : QGuiApplication::primaryScreen();
    const QSize wanted(860, 1000);
    return screen ? wanted.boundedTo(screen->availableGeometry().size() * 0.9) : wanted;
}

}  // namespace

TReportForm::TReportForm(ReportModel model, QObject* parent)
    : QObject(parent), model_(std::move(model)) {}

TReportForm::~TReportForm() = default;

QPrintPreviewDialog* TReportForm::Preview(QWidget* parent) {
    printer_ = std::make_unique<QPrinter>(QPrinter::HighResolution);
    SetReportPage(*printer_);
    auto* preview = new QPrintPreviewDialog(printer_.get(), parent);
    preview->setObjectName(QStringLiteral("ReportPreview"));
    preview->setAttribute(Qt::WA_DeleteOnClose);
    preview->setWindowTitle(Caption());
    preview->resize(previewSize(parent));
    // The report, and its printer with it, goes after the preview's own
    // widgets, the last of the window's children.
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
