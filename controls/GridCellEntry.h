#pragma once
// One row of a grid layout table. Label rows carry a string-table id, value
// rows a measurand item or a parameter number; the grid itself only reads
// the places of the label rows.
#include <QString>

#include <cstdint>

struct GridCellEntry
{
    std::uint32_t itemId = 0;
    std::uint32_t column = 0;
    std::uint32_t row = 0;
};

// A value text placed in a cell by the owning window. Several may name the
// same cell; the first one added wins wherever one is looked up.
struct GridValueCell
{
    std::uint32_t column = 0;
    std::uint32_t row = 0;
    QString text;
};
