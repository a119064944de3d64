#include "devices/ui/GridColumns.h"

#include "platform/DatasetModel.h"
#include "platform/ui/DatasetGrid.h"

DatasetGrid* MakeDatasetGrid(QWidget* parent, const char* name, Dataset* ds,
                             const GridColumns& columns) {
    return MakeDatasetGrid(parent, name, ds ? new DatasetModel(ds) : nullptr, columns);
}

DatasetGrid* MakeDatasetGrid(QWidget* parent, const char* name, DatasetModel* model,
                             const GridColumns& columns) {
    auto* grid = new DatasetGrid(parent);
    grid->setObjectName(QString::fromLatin1(name));
    if (!model) return grid;
    model->setParent(grid);
    for (const auto& [field, title] : columns) model->AddColumn(field, title);
    grid->SetModel(model);
    return grid;
}
