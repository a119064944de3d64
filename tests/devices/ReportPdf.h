#pragma once
// Reports as they come out on paper, for the tests and for a look at them:
// rendered to build/screens/reports/<name>.pdf (not part of the sources), the
// pages turned into <name>-1.png, <name>-2.png ... beside it by pdftoppm at
// 100 dpi, and the text read back by pdftotext. Without the PDF tools only
// those steps are skipped, with a message.

#include "devices/ReportModel.h"
#include "devices/ui/ReportRenderer.h"

#include <QString>
#include <QStringList>

#include <optional>

struct ReportPdf {
    QString path;  // the PDF written; empty when writing failed (error says why)
    QString error;
    ReportPages pages;            // where the renderer put the rows
    QStringList pictures;         // the page PNGs
    std::optional<QString> text;  // none without pdftotext
};

ReportPdf RenderReportPdf(const ReportModel& model, const QString& name);

// The text of a PDF file as pdftotext reads it: empty when it cannot read the
// file, none without pdftotext.
std::optional<QString> PdfText(const QString& path);

// How often word stands in text as a word of its own.
int CountWord(const QString& text, const QString& word);
