#pragma once
// The grids of the device forms: a dataset under the columns a form names.

#include <QList>
#include <QString>
#include <utility>

class Dataset;
class DatasetGrid;
class QWidget;

using GridColumns = QList<std::pair<QString, QString>>;  // field, title

// A grid named name that shows ds (when there is one) under columns.
DatasetGrid* MakeDatasetGrid(QWidget* parent, const char* name, Dataset* ds,
                             const GridColumns& columns);
