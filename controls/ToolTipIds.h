#pragma once
// Tooltip ids of the grid and of the list with cell tooltips:
// row x 1024 + column + 1, columns below 1024. Id 0 names no cell.
#include <QString>

#include <cstdint>
#include <optional>

struct ToolTipCell
{
    std::uint32_t row = 0;
    std::uint32_t column = 0;
};

std::uint32_t MakeToolTipId(std::uint32_t row, std::uint32_t column);
// Every id but 0 resolves, whatever its row.
std::optional<ToolTipCell> ToolTipCellFromId(std::uint32_t id);

// The most a tooltip shows: 79 characters (the tip's buffer keeps one for
// the terminator). A surrogate pair is never split.
inline constexpr int kMaxToolTipLength = 79;
QString CutToolTipText(const QString& text);
