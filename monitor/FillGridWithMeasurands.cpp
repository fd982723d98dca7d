#include "FillGridWithMeasurands.h"

#include "CMeasurandsAvo.h"
#include "controls/CDataGridView.h"

void FillGridWithMeasurands(CDataGridView& grid, const CMeasurandsAvo& block, std::span<const GridCellEntry> layout)
{
    grid.ClearValueCells();
    for (const GridCellEntry& entry : layout)
        grid.AddValueCell(entry.column, entry.row, block.GetMeasurandText(static_cast<int>(entry.itemId)));
    // The grid paints over its whole area: no background erase.
    grid.update();
}
