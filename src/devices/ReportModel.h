#pragma once
// A printed report as data: the texts of its bands and rows, read from the
// database, with no widget or painter. The renderer lays it out on pages;
// tests read it as it is.
//
// Bands of a report:
//   page header    on every page, with the page number where the report numbers
//                  its pages;
//   title          a framed band of fields, once, under the first page header;
//   column header  the titles over the row cells, at the top of each column;
//   groups         the body: per group a band of fields (a switch), a label
//                  over its rows and the rows themselves, framed.

#include <QList>
#include <QString>
#include <QStringList>

// A label and its value, printed with one space between them.
struct ReportField {
    QString label;
    QString value;

    QString Text() const;
    bool operator==(const ReportField&) const = default;
};

// One title of the column header, standing over `span` row cells.
struct ReportHeaderCell {
    QString title;
    int span = 1;
};

struct ReportGroup {
    QList<ReportField> fields;  // empty: the group has no band of its own
    QString rowsLabel;          // printed over the rows, when not empty
    QList<QStringList> rows;    // each row one text per cell
};

struct ReportModel {
    QString caption;  // the preview window's title
    ReportField pageHeader;
    QString pageNumberLabel;  // printed with the page number beside the header; empty: none
    int columns = 1;          // the body flows down the left column, then the next
    QList<ReportField> title;
    QList<ReportHeaderCell> columnHeader;
    QList<double> cellWeights;  // relative widths of the row cells
    QList<ReportGroup> groups;

    int RowCount() const;
};
