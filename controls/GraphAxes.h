#pragma once
// The X-Y graph's scale without a window: the limits and least spans of
// the visible range, the tick step, the label formats and texts, and the
// mapping of values to pixels.
#include <QRect>
#include <QString>

#include <functional>
#include <string>
#include <vector>

struct GraphRange
{
    double xMin = 0;
    double xMax = 0;
    double yMin = 0;
    double yMax = 0;
};

// A rectangle as the drawing computes it: right and bottom are exclusive.
struct GraphRect
{
    int left = 0;
    int top = 0;
    int right = 0;
    int bottom = 0;
};

inline constexpr double kGraphXLimit = 3.6e7;
inline constexpr double kGraphYLimit = 1e6;
// Each axis shows five values from its minimum to its maximum.
inline constexpr int kGraphTickCount = 5;
// Custom x labels stand at half steps: at most ten of them.
inline constexpr int kGraphCustomLabelSlots = 10;

// Least spans (0.001 in x, 0.0001 in y) about the middle, then the range
// shifted inside the limits: x from 0 (or -3.6e7 with negative x) to 3.6e7,
// y from -1e6 to 1e6; the upper end first.
GraphRange LimitGraphRange(GraphRange range, bool negativeX);

// The number of decimals of a decimals code 1, 10, 100, 1000, 10000: 0 to
// 4. Other codes get the decimals of their power of ten, within 0 to 4.
int DecimalsFromCode(int decimalsCode);

// "%.<d>lf"; with the time axis, hours:minutes:seconds, the seconds with d
// decimals when a tick is shorter than a second.
std::string MakeYLabelFormat(int decimals);
std::string MakeXLabelFormat(int decimals, bool timeAxis, double xTick);

// A y label; a negative zero ("-0.00") loses its sign.
QString FormatYLabel(const std::string& format, double value);
// On the time axis, a value that is not finite gets an empty label.
QString FormatXLabel(const std::string& format, double value, bool timeAxis);

// The i-th tick value, counted from the minimum, so that every loop over
// the ticks ends whatever the rounding of the values.
double GraphTickValue(double minimum, double tick, int index);

struct GraphLabel
{
    double value = 0;
    QString text;
};
std::vector<GraphLabel> BuildYLabels(const GraphRange& range, double yTick, const std::string& format);
// Numeric x labels, or the custom labels at half steps while they last.
std::vector<GraphLabel> BuildXLabels(const GraphRange& range, double xTick, const std::string& format, bool timeAxis,
                                     const std::vector<QString>& customLabels);

// Value to pixel, truncated; far-off values are held to a range that a
// painter takes and an int holds.
int GraphPixelX(double x, const GraphRange& range, const GraphRect& plot);
int GraphPixelY(double y, const GraphRange& range, const GraphRect& plot);

// Where the drawing puts the plot and the label texts.
struct GraphLabelPlace
{
    QString text;
    QRect rect;
};
struct GraphLayout
{
    GraphRect plot;
    std::vector<GraphLabelPlace> yLabels;
    std::vector<GraphLabelPlace> xLabels;
};
using GraphTextWidth = std::function<int(const QString&)>;

// The plot inside the area, with the y labels left of it and the x labels
// below it. The labels at the plot's edges stand half past them, so the
// plot leaves room for those halves too; with margins it leaves more at the
// top and right for the titles. lastXLabel is the text at the right end. A
// label that would not lie wholly inside the area is not placed.
GraphLayout LayOutGraph(const GraphRect& area, const GraphRange& range, const std::vector<GraphLabel>& xLabels,
                        const std::vector<GraphLabel>& yLabels, const QString& lastXLabel, const GraphTextWidth& width,
                        int lineHeight, bool margins);
