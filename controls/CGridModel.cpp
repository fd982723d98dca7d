#include "CGridModel.h"

#include "ToolTipIds.h"

#include <algorithm>

void CGridModel::SetLayout(const std::vector<GridCellEntry>& layout, std::uint32_t cellWidth,
                           std::uint32_t leastLastRow, std::uint32_t leastColumnCount)
{
    m_labelCells = layout;
    m_cellWidth = cellWidth;
    std::uint32_t lastRow = leastLastRow;
    std::uint32_t columns = leastColumnCount;
    for (const GridCellEntry& entry : layout) {
        lastRow = std::max(lastRow, entry.row);
        columns = std::max(columns, entry.column + 1);
    }
    m_rows = lastRow + 1;
    m_columns = columns;
}

void CGridModel::AddValueCell(std::uint32_t column, std::uint32_t row, const QString& text)
{
    m_valueCells.push_back(GridValueCell{column, row, text});
}

void CGridModel::ClearValueCells()
{
    m_valueCells.clear();
}

bool CGridModel::IsLabelCell(std::uint32_t row, std::uint32_t column) const
{
    return std::any_of(m_labelCells.begin(), m_labelCells.end(),
                       [&](const GridCellEntry& e) { return e.row == row && e.column == column; });
}

const QString* CGridModel::FindValueText(std::uint32_t row, std::uint32_t column) const
{
    for (const GridValueCell& cell : m_valueCells)
        if (cell.row == row && cell.column == column)
            return &cell.text;
    return nullptr;
}

int CGridModel::PixelWidth() const
{
    return static_cast<int>(m_columns * m_cellWidth + 1);
}

int CGridModel::PixelHeight() const
{
    return static_cast<int>(m_rows * m_cellHeight + 1);
}

std::optional<GridCell> CGridModel::CellAt(int x, int y) const
{
    if (m_cellWidth == 0 || m_cellHeight == 0 || x < 0 || y < 0)
        return std::nullopt;
    const std::uint32_t row = static_cast<std::uint32_t>(y) / m_cellHeight;
    const std::uint32_t column = static_cast<std::uint32_t>(x) / m_cellWidth;
    if (row >= m_rows || column >= m_columns)
        return std::nullopt;
    return GridCell{row, column};
}

bool CGridModel::IsSelectable(std::uint32_t row, std::uint32_t column) const
{
    return row >= kFirstSelectableRow && row < m_rows && column >= kFirstSelectableColumn && column < m_columns &&
           !IsLabelCell(row, column);
}

QRect CGridModel::CellRect(std::uint32_t row, std::uint32_t column) const
{
    const int w = static_cast<int>(m_cellWidth);
    const int h = static_cast<int>(m_cellHeight);
    return QRect(static_cast<int>(column) * w, static_cast<int>(row) * h, w, h);
}

QRect CGridModel::InnerCellRect(std::uint32_t row, std::uint32_t column) const
{
    return CellRect(row, column).adjusted(1, 1, 0, 0);
}

QRect CGridModel::ValueTextRect(std::uint32_t row, std::uint32_t column) const
{
    const int w = static_cast<int>(m_cellWidth);
    return QRect(static_cast<int>(column) * w + 1, static_cast<int>(row * m_cellHeight), w - kTextInset,
                 static_cast<int>(m_cellHeight));
}

GridLabelText CGridModel::ParseLabelText(const QString& text)
{
    GridLabelText label{text};
    if (label.text == QLatin1String("!")) {
        label.shown = false;
        return label;
    }
    if (label.text.startsWith(QLatin1Char('@'))) {
        label.text.remove(0, 1);
        label.columns = 2;
    }
    if (label.text.startsWith(QLatin1Char('$'))) {
        label.text.remove(0, 1);
        label.rows = 2;
    }
    return label;
}

std::uint32_t CGridModel::FitCellWidth(std::uint32_t designWidth, int textWidth, std::uint32_t columns,
                                       std::uint32_t limit)
{
    // A text over k cells has k widths less the left line, its right inset
    // and as much room on its left.
    const std::uint32_t k = std::max<std::uint32_t>(columns, 1);
    const auto needed = static_cast<std::uint32_t>(std::max(textWidth + kTextInset + kTextRoom, 0));
    return std::max(designWidth, std::min((needed + k - 1) / k, limit));
}

void CGridModel::SetSelection(std::uint32_t row, std::uint32_t column)
{
    m_selectedRow = row;
    m_selectedColumn = column;
}

bool CGridModel::MoveUp()
{
    if (m_selectedRow <= kFirstSelectableRow || m_rows <= kFirstSelectableRow)
        return false;
    // A selection left past the last row by a smaller layout steps in from the bound.
    for (std::uint32_t row = std::min(m_selectedRow - 1, m_rows - 1);; --row) {
        if (!IsLabelCell(row, m_selectedColumn)) {
            m_selectedRow = row;
            return true;
        }
        if (row == kFirstSelectableRow)
            return false;
    }
}

bool CGridModel::MoveDown()
{
    for (std::uint32_t row = m_selectedRow + 1; row < m_rows && row > m_selectedRow; ++row) {
        if (!IsLabelCell(row, m_selectedColumn)) {
            m_selectedRow = row;
            return true;
        }
    }
    return false;
}

bool CGridModel::MoveLeft()
{
    if (m_selectedColumn <= kFirstSelectableColumn || m_columns <= kFirstSelectableColumn)
        return false;
    for (std::uint32_t column = std::min(m_selectedColumn - 1, m_columns - 1);; --column) {
        if (!IsLabelCell(m_selectedRow, column)) {
            m_selectedColumn = column;
            return true;
        }
        if (column == kFirstSelectableColumn)
            return false;
    }
}

bool CGridModel::MoveRight()
{
    for (std::uint32_t column = m_selectedColumn + 1; column < m_columns && column > m_selectedColumn; ++column) {
        if (!IsLabelCell(m_selectedRow, column)) {
            m_selectedColumn = column;
            return true;
        }
    }
    return false;
}

void CGridModel::PrepareEdit(std::uint32_t character)
{
    if (character == 0)
        if (const QString* text = FindValueText(m_selectedRow, m_selectedColumn))
            m_editText = *text;
    m_startCharacter = character;
}

std::optional<GridTool> CGridModel::ToolAt(int x, int y) const
{
    const std::optional<GridCell> cell = CellAt(x, y);
    if (!cell)
        return std::nullopt;
    return GridTool{MakeToolTipId(cell->row, cell->column), CellRect(cell->row, cell->column)};
}

std::optional<QString> CGridModel::ToolTipText(std::uint32_t id) const
{
    const std::optional<ToolTipCell> cell = ToolTipCellFromId(id);
    if (!cell)
        return std::nullopt;
    const QString* text = FindValueText(cell->row, cell->column);
    return text ? CutToolTipText(*text) : QString();
}
