#pragma once
// Puts the value texts of the parameters that a layout table names into a
// grid: each entry's item id is a parameter number.
#include "controls/GridCellEntry.h"

#include <vector>

class CDataGridView;
class CSettings;

void FillGridWithParameters(CDataGridView& grid, const CSettings& settings, const std::vector<GridCellEntry>& layout);
