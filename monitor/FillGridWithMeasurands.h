#pragma once
#include "controls/GridCellEntry.h"

#include <span>

class CDataGridView;
class CMeasurandsAvo;

// Replaces the grid's value cells by the texts of the layout's items, in
// table order, and repaints the grid.
void FillGridWithMeasurands(CDataGridView& grid, const CMeasurandsAvo& block, std::span<const GridCellEntry> layout);
