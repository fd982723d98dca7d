#include "ColumnWidths.h"

#include <algorithm>
#include <cstddef>
#include <numeric>

std::vector<int> ShareColumnWidths(const std::vector<int>& specified, const std::vector<int>& needed, int available)
{
    const std::size_t count = std::min(specified.size(), needed.size());
    std::vector<int> widths(count, 0);
    for (std::size_t i = 0; i < count; ++i)
        widths[i] = i + 1 < count ? std::max(specified[i], needed[i]) : std::max(needed[i], 0);
    const long total = std::accumulate(widths.begin(), widths.end(), 0L);
    if (count == 0 || total <= 0 || total >= available)
        return widths;
    const long surplus = available - total;
    long given = 0;
    for (std::size_t i = 0; i + 1 < count; ++i) {
        const long share = surplus * widths[i] / total;
        widths[i] += static_cast<int>(share);
        given += share;
    }
    widths[count - 1] += static_cast<int>(surplus - given);
    return widths;
}

std::vector<int> SplitValueColumns(const std::vector<int>& designed, const std::vector<int>& needed, int available)
{
    const std::size_t count = std::min(designed.size(), needed.size());
    if (count < 2)
        return std::vector<int>(designed.begin(), designed.begin() + static_cast<std::ptrdiff_t>(count));
    std::vector<int> widths(count, 0);
    int fixed = 0;
    for (std::size_t i = 0; i + 2 < count; ++i) {
        widths[i] = std::max(designed[i], needed[i]);
        fixed += widths[i];
    }
    // Both value columns alike, each as wide as the wider needs.
    const int share = available > fixed ? (available - fixed) / 2 : designed[count - 2];
    const int value = std::max({share, needed[count - 2], needed[count - 1]});
    widths[count - 2] = value;
    widths[count - 1] = value;
    return widths;
}

double FontWidthScale(double averageLetterWidth)
{
    // The letters of that font average 6 pixels at 96 dots per inch.
    constexpr double kDesignLetterWidth = 6.0;
    return averageLetterWidth > 0 ? averageLetterWidth / kDesignLetterWidth : 1.0;
}
