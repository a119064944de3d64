#include "devices/ui/GridColumns.h"

#include "platform/DatasetModel.h"
#include "platform/ui/DatasetGrid.h"

DatasetGrid* MakeDatasetGrid(QWidget* parent, const char* name, Dataset* ds,
                             const GridColumns& columns) {
    auto* grid = new DatasetGrid(parent);
    grid->setObjectName(QString::fromLatin1(name));
    if (!ds) return grid;
    auto* model = new DatasetModel(ds, grid);
    for (const auto& [field, title] : columns) model->AddColumn(field, title);
    grid->SetModel(model);
    return grid;
}
