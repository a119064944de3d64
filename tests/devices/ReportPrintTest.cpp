// A report printed from its preview into a PDF file: the file is replaced
// whole or kept whole, whatever stands in the way, and the engineer is told
// why it was not written; a printer that cannot start printing is told too.

#include "ReportPdf.h"
#include "devices/ui/TReportForm.h"
#include "support/QtPrinters.h"
#include "support/ScriptedDialogs.h"
#include "support/SmallDisk.h"

#include <gtest/gtest.h>
#include <QApplication>
#include <QDir>
#include <QFile>
#include <QPrintPreviewDialog>
#include <QPrintPreviewWidget>
#include <QPrinter>
#include <QTemporaryDir>

#include <unistd.h>

namespace ReportPrintTestUnit {
namespace {

const QString kError = QStringLiteral("Ошибка");
const QByteArray kOldPdf = "%PDF-1.4 the report printed last week\n";

ReportModel smallReport() {
    ReportModel m;
    m.caption = QStringLiteral("Распределение клемм коммутаторов");
    m.pageHeader = {QStringLiteral("Коммутатор"), QStringLiteral("КМ 7")};
    m.title = {{QStringLiteral("Дом:"), QStringLiteral("3")}};
    m.columnHeader = {{QStringLiteral("Квартира №")}, {QStringLiteral("Клемма")}};
    m.cellWeights = {1, 1};
    m.groups = {ReportGroup{{}, {}, {{QStringLiteral("117"), QStringLiteral("5")}}}};
    return m;
}

QByteArray contents(const QString& path) {
    QFile f(path);
    return f.open(QIODevice::ReadOnly) ? f.readAll() : QByteArray();
}

bool writeFile(const QString& path, const QByteArray& bytes) {
    QFile f(path);
    return f.open(QIODevice::WriteOnly) && f.write(bytes) == bytes.size();
}

QStringList entries(const QString& folder) {
    return QDir(folder).entryList(QDir::AllEntries | QDir::Hidden | QDir::NoDotAndDotDot,
                                  QDir::Name);
}

// A report's preview as the program shows it, printed as its print button
// does once the print dialog is accepted.
class ReportPrint : public ::testing::Test {
  protected:
    void TearDown() override {
        if (preview_) preview_->close();
        QCoreApplication::sendPostedEvents(nullptr, QEvent::DeferredDelete);
    }

    // Shows the preview with its printer writing a PDF to path, as the print
    // dialog leaves it when the engineer prints to a file.
    void PreviewPrintingTo(const QString& path) {
        ShowPreview();
        preview_->printer()->setOutputFormat(QPrinter::PdfFormat);
        preview_->printer()->setOutputFileName(path);
        Pages()->updatePreview();
    }
    void ShowPreview() {
        ShowReportPreview(std::make_unique<TReportForm>(smallReport()), QString(), nullptr);
        for (QWidget* w : QApplication::topLevelWidgets())
            if (auto* p = qobject_cast<QPrintPreviewDialog*>(w); p && p->isVisible()) preview_ = p;
        ASSERT_NE(nullptr, preview_);
    }
    QPrintPreviewWidget* Pages() { return preview_->findChild<QPrintPreviewWidget*>(); }
    void Print() { Pages()->print(); }

    QTemporaryDir dir_;
    QPrintPreviewDialog* preview_ = nullptr;
};

TEST_F(ReportPrint, APrintToAFileReplacesTheOldFileWholeAndLeavesNothingBeside) {
    // The old file is also reachable under a second name in another folder:
    // a file replaced whole leaves that one as it was, a file written over
    // in place changes under both names.
    ASSERT_TRUE(QDir(dir_.path()).mkdir(QStringLiteral("reports")));
    const QString folder = dir_.filePath(QStringLiteral("reports"));
    const QString path = folder + QStringLiteral("/КМ 7.pdf");
    const QString held = dir_.filePath(QStringLiteral("held.pdf"));
    ASSERT_TRUE(writeFile(path, kOldPdf));
    ASSERT_EQ(0, ::link(QFile::encodeName(path).constData(), QFile::encodeName(held).constData()));

    ScriptedDialogs dialogs;
    PreviewPrintingTo(path);
    // The pages on the screen are drawn without touching the file.
    EXPECT_EQ(1, Pages()->pageCount());
    EXPECT_EQ(kOldPdf, contents(path));

    Print();
    const QByteArray printed = contents(path);
    EXPECT_TRUE(printed.startsWith("%PDF-")) << printed.left(40).toStdString();
    EXPECT_TRUE(printed.trimmed().endsWith("%%EOF"));
    EXPECT_TRUE(contents(held) == kOldPdf) << "the old file was written over in place";
    EXPECT_EQ(QStringList{QStringLiteral("КМ 7.pdf")}, entries(folder));
    if (const auto text = PdfText(path)) {
        EXPECT_TRUE(text->contains(QStringLiteral("Коммутатор КМ 7"))) << text->toStdString();
        EXPECT_TRUE(text->contains(QStringLiteral("117"))) << text->toStdString();
    }
}

TEST_F(ReportPrint, APrintToAFileKeepsTheOrientationOfThePreview) {
    const QString path = dir_.filePath(QStringLiteral("отчёт.pdf"));
    ScriptedDialogs dialogs;
    PreviewPrintingTo(path);
    Pages()->setLandscapeOrientation();
    Print();
    EXPECT_TRUE(contents(path).contains("/MediaBox [0 0 842")) << "an A4 page on its side";
}

TEST_F(ReportPrint, AFileInAMissingFolderIsToldAndNoFolderIsMade) {
    const QString folder = dir_.filePath(QStringLiteral("нет такой"));
    const QString path = folder + QStringLiteral("/отчёт.pdf");
    ScriptedDialogs dialogs;
    dialogs.Expect(kError, QStringLiteral("Отчёт не сохранён в файле ") + path +
                               QStringLiteral(". Не удалось создать файл в папке ") + folder +
                               QStringLiteral(". Нет такого файла или папки."));
    PreviewPrintingTo(path);
    Print();
    dialogs.VerifyDone();
    EXPECT_TRUE(entries(dir_.path()).isEmpty()) << entries(dir_.path()).join('|').toStdString();
}

TEST_F(ReportPrint, AFileNameThatIsAFolderIsToldAndTheFolderStays) {
    const QString path = dir_.filePath(QStringLiteral("отчёт.pdf"));
    ASSERT_TRUE(QDir(dir_.path()).mkdir(QStringLiteral("отчёт.pdf")));
    ASSERT_TRUE(writeFile(path + QStringLiteral("/inside.txt"), "kept"));
    ScriptedDialogs dialogs;
    dialogs.Expect(kError, QStringLiteral("Отчёт не сохранён в файле ") + path +
                               QStringLiteral(". Не удалось заменить файл ") + path +
                               QStringLiteral(". Это папка, а не файл."));
    PreviewPrintingTo(path);
    Print();
    dialogs.VerifyDone();
    EXPECT_EQ(QStringList{QStringLiteral("отчёт.pdf")}, entries(dir_.path()));
    EXPECT_EQ(QStringList{QStringLiteral("inside.txt")}, entries(path));
    EXPECT_EQ(QByteArray("kept"), contents(path + QStringLiteral("/inside.txt")));
}

TEST_F(ReportPrint, OnAFullDiskTheOldFileStaysByteForByteAndTheEngineerIsTold) {
    SmallDisk disk(256 * 1024);
    if (!disk.Mounted()) GTEST_SKIP() << disk.WhyNot().toStdString();
    const QString path = disk.Path() + QStringLiteral("/отчёт.pdf");
    ASSERT_TRUE(writeFile(path, kOldPdf));
    ASSERT_TRUE(disk.Fill());
    const QStringList before = entries(disk.Path());

    ScriptedDialogs dialogs;
    dialogs.Expect(kError, QStringLiteral("Отчёт не сохранён в файле ") + path +
                               QStringLiteral(". Не удалось записать файл ") + path +
                               QStringLiteral(". На диске нет места."));
    PreviewPrintingTo(path);
    Print();
    dialogs.VerifyDone();
    EXPECT_TRUE(contents(path) == kOldPdf) << contents(path).size() << " bytes left";
    EXPECT_EQ(before, entries(disk.Path()));
}

TEST_F(ReportPrint, APrinterThatCannotStartIsTold) {
    // A PDF printer without a file has nowhere to print to; the preview
    // itself still shows the pages.
    ScriptedDialogs dialogs;
    ShowPreview();
    preview_->printer()->setOutputFormat(QPrinter::PdfFormat);
    Pages()->updatePreview();
    EXPECT_EQ(1, Pages()->pageCount());
    dialogs.Expect(kError, QStringLiteral("Отчёт не напечатан. Печать не началась."));
    Print();
    dialogs.VerifyDone();
}
}  // namespace
}  // namespace ReportPrintTestUnit
