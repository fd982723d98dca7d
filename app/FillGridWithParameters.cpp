#include "FillGridWithParameters.h"

#include "controls/CDataGridView.h"
#include "params/CParameterEnumerationInterface.h"

void FillGridWithParameters(CDataGridView& grid, const CSettings& settings, const std::vector<GridCellEntry>& layout)
{
    const CParameterEnumerationInterface catalogue;
    grid.ClearValueCells();
    for (const GridCellEntry& entry : layout)
        grid.AddValueCell(entry.column, entry.row,
                          catalogue.GetValueText(static_cast<int>(entry.itemId), settings));
    grid.update();
}
