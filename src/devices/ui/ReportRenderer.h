#pragma once
// Lays a report model out on A4 portrait pages with QPainter, for the print
// preview, the printer and PDF files alike: the page header on every page,
// the title band once under the first one, the body in one or two columns
// (the left one filled first), the column header at the top of each column.
// Every text is wrapped within its cell, a long word anywhere, and the cell
// grows with it, so no text overlaps another or leaves its frame.

#include "devices/ReportModel.h"

#include <QList>
#include <QRectF>
#include <QSizeF>

class QPagedPaintDevice;
class QPainter;
class QPrinter;

// Where the rows of the body went, in device units.
struct ReportPages {
    struct Row {
        int group = 0;
        int row = 0;
        int page = 0;  // 0-based
        QRectF rect;
    };
    int pages = 0;
    QSizeF pageSize;
    QRectF body;  // the area the columns share on a page
    QList<Row> rows;
};

// A4 portrait without margins: the renderer keeps its own.
void SetReportPage(QPagedPaintDevice& device);
void SetReportPage(QPrinter& printer);

// Paints the model with a painter active on the device, which SetReportPage
// has set up.
ReportPages RenderReport(const ReportModel& model, QPainter& painter, QPagedPaintDevice& device);

// Renders the model into a PDF file, which replaces path whole or not at all.
bool WriteReportPdf(const ReportModel& model, const QString& path, QString* error = nullptr,
                    ReportPages* pages = nullptr);
// The same into the printer's output file, on the paper and in the
// orientation the printer is set to: a print to a file, made whole before it
// replaces the old file.
bool WriteReportPdf(const ReportModel& model, const QPrinter& printer, QString* error = nullptr);
