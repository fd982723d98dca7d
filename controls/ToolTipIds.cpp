#include "ToolTipIds.h"

std::uint32_t MakeToolTipId(std::uint32_t row, std::uint32_t column)
{
    return ((row << 10) | 1u) + (column & 0x3FFu);
}

std::optional<ToolTipCell> ToolTipCellFromId(std::uint32_t id)
{
    if (id == 0)
        return std::nullopt;
    return ToolTipCell{(id - 1) >> 10, (id - 1) & 0x3FFu};
}

QString CutToolTipText(const QString& text)
{
    if (text.size() <= kMaxToolTipLength)
        return text;
    int length = kMaxToolTipLength;
    if (text.at(length - 1).isHighSurrogate())
        --length;
    return text.left(length);
}
