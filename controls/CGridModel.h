#pragma once
// The grid's cells, selection and edit state, without a window: layout,
// hit tests, moves and the tooltip rules live here so that they can be
// checked without a display. CDataGridView draws it and feeds it input.
#include "GridCellEntry.h"

#include <QRect>
#include <QString>

#include <cstdint>
#include <optional>
#include <vector>

struct GridCell
{
    std::uint32_t row = 0;
    std::uint32_t column = 0;
};

struct GridTool
{
    std::uint32_t id = 0;
    QRect rect; // the whole cell, grid lines included
};

// A label's text as the grid draws it: a leading '@' widens the label over
// the next cell, then a leading '$' over the next row; "!" is not drawn.
struct GridLabelText
{
    QString text;
    bool shown = true;
    std::uint32_t columns = 1;
    std::uint32_t rows = 1;
};

class CGridModel
{
public:
    // Row 0 and column 0 hold headings and are never selected.
    static constexpr std::uint32_t kFirstSelectableRow = 1;
    static constexpr std::uint32_t kFirstSelectableColumn = 1;
    // A cell's text has its width less the left line and 4 pixels at the right.
    static constexpr int kTextInset = 5;
    // A text that sets its cell's width keeps as much room on its left.
    static constexpr int kTextRoom = kTextInset - 1;

    // rows = max(leastLastRow, largest row) + 1; columns =
    // max(leastColumnCount, largest column + 1). Value cells and the
    // selection are kept.
    void SetLayout(const std::vector<GridCellEntry>& layout, std::uint32_t cellWidth, std::uint32_t leastLastRow,
                   std::uint32_t leastColumnCount);
    void AddValueCell(std::uint32_t column, std::uint32_t row, const QString& text);
    void ClearValueCells();

    const std::vector<GridCellEntry>& LabelCells() const { return m_labelCells; }
    const std::vector<GridValueCell>& ValueCells() const { return m_valueCells; }
    bool IsLabelCell(std::uint32_t row, std::uint32_t column) const;
    // The first value cell's text at that place, or nullptr.
    const QString* FindValueText(std::uint32_t row, std::uint32_t column) const;

    std::uint32_t Columns() const { return m_columns; }
    std::uint32_t Rows() const { return m_rows; }
    std::uint32_t CellWidth() const { return m_cellWidth; }
    std::uint32_t CellHeight() const { return m_cellHeight; }
    void SetCellHeight(std::uint32_t height) { m_cellHeight = height; }
    // columns x width + 1 by rows x height + 1.
    int PixelWidth() const;
    int PixelHeight() const;

    // The cell under a client point inside the rows and columns; none
    // while the cell size is unknown or zero.
    std::optional<GridCell> CellAt(int x, int y) const;
    // Whether a click there may select: inside the grid, past the headings,
    // not a label.
    bool IsSelectable(std::uint32_t row, std::uint32_t column) const;
    QRect CellRect(std::uint32_t row, std::uint32_t column) const;
    // Inside the grid lines: what the selection highlight fills.
    QRect InnerCellRect(std::uint32_t row, std::uint32_t column) const;
    // Where a value text is drawn: 4 pixels short of the right line.
    QRect ValueTextRect(std::uint32_t row, std::uint32_t column) const;

    static GridLabelText ParseLabelText(const QString& text);
    // The least cell width from designWidth up in which a text that wide
    // shows whole over that many cells, with room on both sides (label and
    // value texts keep the same room in a cell), but no more than limit.
    static std::uint32_t FitCellWidth(std::uint32_t designWidth, int textWidth, std::uint32_t columns,
                                      std::uint32_t limit);

    std::uint32_t SelectedRow() const { return m_selectedRow; }
    std::uint32_t SelectedColumn() const { return m_selectedColumn; }
    void SetSelection(std::uint32_t row, std::uint32_t column);

    // Each moves to the nearest cell in its direction that holds no label,
    // up to the bound of that direction; true when the selection changed.
    bool MoveUp();
    bool MoveDown();
    bool MoveLeft();
    bool MoveRight();

    // The data side of an edit start: character 0 takes the selected value
    // cell's text as the edit text (kept when there is none); any other
    // character keeps it. The character is recorded as the start character.
    void PrepareEdit(std::uint32_t character);
    const QString& EditText() const { return m_editText; }
    std::uint32_t StartCharacter() const { return m_startCharacter; }

    std::optional<GridTool> ToolAt(int x, int y) const;
    // The tip of a tool id: the first value text at its cell, cut to the
    // tip's length; none for id 0.
    std::optional<QString> ToolTipText(std::uint32_t id) const;

private:
    std::vector<GridCellEntry> m_labelCells;
    std::vector<GridValueCell> m_valueCells;
    std::uint32_t m_cellWidth = 10;
    std::uint32_t m_cellHeight = 0;
    std::uint32_t m_columns = 1;
    std::uint32_t m_rows = 1;
    std::uint32_t m_selectedRow = 1;
    std::uint32_t m_selectedColumn = 1;
    QString m_editText;
    std::uint32_t m_startCharacter = 0;
};
