#pragma once
// The grids of the device forms: a dataset under the columns a form names.

#include <QList>
#include <QString>
#include <utility>

class Dataset;
class DatasetGrid;
class DatasetModel;
class QWidget;

using GridColumns = QList<std::pair<QString, QString>>;  // field, title

// A grid named name that shows ds (when there is one) under columns.
DatasetGrid* MakeDatasetGrid(QWidget* parent, const char* name, Dataset* ds,
                             const GridColumns& columns);
// The same over a model of the caller's (when there is one), which the grid takes over.
DatasetGrid* MakeDatasetGrid(QWidget* parent, const char* name, DatasetModel* model,
                             const GridColumns& columns);
