#include "devices/ui/TReportForm.h"

#include "devices/ui/ReportRenderer.h"
#include "platform/Dialogs.h"
#include "platform/SystemErrorText.h"

#include <QAction>
#include <QGuiApplication>
#include <QPaintEngine>
#include <QPainter>
#include <QPrintPreviewDialog>
#include <QPrinter>
#include <QScreen>
#include <QToolBar>

namespace {

// A page readable at a glance, within the screen.
QSize previewSize(const QWidget* parent) {
    const QScreen* screen = parent ? parent->screen() : QGuiApplication::primaryScreen();
    const QSize wanted(860, 1000);
    return screen ? wanted.boundedTo(screen->availableGeometry().size() * 0.9) : wanted;
}

// The preview draws its pages through an engine that records pictures, put
// in place of the printer's own one while it asks for them; a real print
// paints on the printer's own engine.
bool drawsPreview(QPrinter& printer) {
    const QPaintEngine* engine = printer.paintEngine();
    return engine && engine->type() == QPaintEngine::Picture;
}

// The preview's print command, reached by Tab and by Ctrl+P: the preview's
// tool buttons take no focus, and its print command has no key of its own.
void givePrintAKey(QPrintPreviewDialog& preview) {
    auto* bar = preview.findChild<QToolBar*>();
    if (!bar) return;
    const QString print = QCoreApplication::translate("QPrintPreviewDialog", "Print");
    for (QAction* action : bar->actions()) {
        if (action->text() != print) continue;
        action->setObjectName(QStringLiteral("PrintAction"));
        action->setShortcut(QKeySequence(Qt::CTRL | Qt::Key_P));
        if (QWidget* button = bar->widgetForAction(action)) button->setFocusPolicy(Qt::TabFocus);
    }
}

QString printerNotStarted(const QPrinter& printer) {
    const QString name = printer.printerName();
    return WithReason(QStringLiteral("Отчёт не напечатан"),
                      name.isEmpty() ? QStringLiteral("Печать не началась.")
                                     : QStringLiteral("Принтер %1 не начал печать.").arg(name));
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
    givePrintAKey(*preview);
    preview->resize(previewSize(parent));
    // The report, and its printer with it, goes after the preview's own
    // widgets, the last of the window's children.
    setParent(preview);
    connect(preview, &QPrintPreviewDialog::paintRequested, this,
            [this](QPrinter* printer) { Paint(*printer); });
    preview->show();
    return preview;
}

void TReportForm::Paint(QPrinter& printer) {
    const bool preview = drawsPreview(printer);
    if (!preview && !printer.outputFileName().isEmpty()) {
        PrintToFile(printer);
        return;
    }
    QPainter painter;
    if (!painter.begin(&printer)) {
        if (!preview) Dialogs::Error(QStringLiteral("Ошибка"), printerNotStarted(printer));
        return;
    }
    RenderReport(model_, painter, printer);
}

// Qt's printer would write the file in place, cutting the old one first; the
// report goes through the program's own PDF writer instead.
void TReportForm::PrintToFile(const QPrinter& printer) {
    QString why;
    if (WriteReportPdf(model_, printer, &why)) return;
    Dialogs::Error(
        QStringLiteral("Ошибка"),
        WithReason(QStringLiteral("Отчёт не сохранён в файле ") + printer.outputFileName(), why));
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
