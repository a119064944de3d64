#pragma once
// The checks the editor runs on the values of a tab before it saves them:
// every grid cell and edit that an encoder would refuse, or that would be
// written as something the operator did not type, is named with its table,
// column and row, so that the screen can say so and put the focus there.

#include "config/ConfigEditorFile.h"

#include <QList>

#include <optional>
#include <utility>

// The cells of the values the encoders would refuse, first one first.
std::optional<EditorCellFault> CheckEditorValues(const EditorFile& file,
                                                 const ConfigScreenSettings& settings);

// The apartment counts of the entrance columns of the call-panel grid, column
// 1 first: a column not served, or with a count that is not a number, has none.
QList<int> PanelEntranceCounts(const BvEntranceGrid& grid);

// The cells of the tract grid (column, row; from 1) that name a call panel
// numbered at or above maxDevice.
QList<std::pair<int, int>> TractCellsAtOrAbove(const PkTractGrid& grid, int maxDevice);
