#pragma once
// How the columns of a list share its width.
#include <vector>

// specified: the widths the design gives (the last column's is ignored: it
// takes what is left); needed: what each column's texts need. Each column
// gets at least the larger of the two, the last at least its texts; what the
// list has over that is shared in proportion, so the columns fill the list
// exactly. When the list is too narrow, each keeps its minimum (the list
// scrolls) rather than cutting a text.
std::vector<int> ShareColumnWidths(const std::vector<int>& specified, const std::vector<int>& needed, int available);

// The report's columns: the first ones keep their designed widths, the last
// two (the value columns) share what the list has left equally, or take
// their designed widths when nothing is left. No column is narrower than
// its texts need (the list then scrolls).
std::vector<int> SplitValueColumns(const std::vector<int>& designed, const std::vector<int>& needed, int available);

// The scale of widths designed for the 8-point Windows dialog font, from the
// average width of the Latin letters in the given font's metrics.
double FontWidthScale(double averageLetterWidth);
