#include "devices/ReportModel.h"

QString ReportField::Text() const {
    if (value.isEmpty()) return label;
    if (label.isEmpty()) return value;
    return label + QLatin1Char(' ') + value;
}

int ReportModel::RowCount() const {
    int n = 0;
    for (const ReportGroup& g : groups) n += int(g.rows.size());
    return n;
}
