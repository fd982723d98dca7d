#include "GraphAxes.h"

#include <algorithm>
#include <array>
#include <cmath>
#include <cstdio>

namespace {

// Keeps the range inside [lower, upper]: first the upper end, then the lower.
void ShiftInside(double& minimum, double& maximum, double lower, double upper)
{
    if (maximum > upper) {
        const double excess = maximum - upper;
        maximum = upper;
        minimum = std::max(minimum - excess, lower);
    }
    if (minimum < lower) {
        maximum = std::min(maximum + (lower - minimum), upper);
        minimum = lower;
    }
}

std::string Printf(const std::string& format, auto... arguments)
{
    std::array<char, 128> buffer{};
    std::snprintf(buffer.data(), buffer.size(), format.c_str(), arguments...);
    return buffer.data();
}

// Far enough outside any window, near enough for a painter and an int.
constexpr double kPixelBound = 1e7;

int ToPixel(double value)
{
    if (std::isnan(value))
        return 0;
    return static_cast<int>(std::clamp(value, -kPixelBound, kPixelBound));
}

} // namespace

GraphRange LimitGraphRange(GraphRange r, bool negativeX)
{
    if (std::fabs(r.xMax - r.xMin) < 0.001) {
        r.xMax = (r.xMin + r.xMax) / 2 + 0.0005;
        r.xMin = r.xMax - 0.001;
    }
    if (std::fabs(r.yMax - r.yMin) < 0.0001) {
        r.yMax = (r.yMin + r.yMax) / 2 + 0.00005;
        r.yMin = r.yMax - 0.0001;
    }
    ShiftInside(r.xMin, r.xMax, negativeX ? -kGraphXLimit : 0.0, kGraphXLimit);
    ShiftInside(r.yMin, r.yMax, -kGraphYLimit, kGraphYLimit);
    return r;
}

int DecimalsFromCode(int decimalsCode)
{
    int decimals = 0;
    for (int code = decimalsCode; code >= 10 && decimals < 4; code /= 10)
        ++decimals;
    return decimals;
}

std::string MakeYLabelFormat(int decimals)
{
    return Printf("%%.%dlf%s", decimals, "");
}

std::string MakeXLabelFormat(int decimals, bool timeAxis, double xTick)
{
    if (!timeAxis)
        return MakeYLabelFormat(decimals);
    if (std::fabs(xTick) >= 1)
        return "%d:%02d:%02.0lf";
    return Printf("%%d:%%02d:%%0%d.%dlf", decimals + 3, decimals);
}

QString FormatYLabel(const std::string& format, double value)
{
    static const std::string negativeZero = "-0.00000000000000000000000000000000";
    std::string text = Printf(format, value);
    if (negativeZero.compare(0, text.size(), text) == 0 && !text.empty())
        text.erase(0, 1);
    return QString::fromStdString(text);
}

QString FormatXLabel(const std::string& format, double value, bool timeAxis)
{
    if (!timeAxis)
        return QString::fromStdString(Printf(format, value));
    // Not a time; a NaN would pass the clamps below into the int conversions.
    if (!std::isfinite(value))
        return {};
    const double seconds = std::fabs(std::fmod(value, 60.0));
    const int hours = static_cast<int>(std::fabs(std::trunc(std::clamp(value, -kGraphXLimit, kGraphXLimit) / 3600)));
    const int minutes =
        static_cast<int>(static_cast<long long>(std::fabs(std::trunc(std::clamp(value, -kGraphXLimit, kGraphXLimit) / 60))) % 60);
    const std::string text = Printf(format, hours, minutes, seconds);
    return QString::fromStdString(value < 0 ? "-" + text : text);
}

double GraphTickValue(double minimum, double tick, int index)
{
    return minimum + index * tick;
}

std::vector<GraphLabel> BuildYLabels(const GraphRange& range, double yTick, const std::string& format)
{
    std::vector<GraphLabel> labels;
    for (int i = 0; i < kGraphTickCount; ++i) {
        const double v = GraphTickValue(range.yMin, yTick, i);
        labels.push_back(GraphLabel{v, FormatYLabel(format, v)});
    }
    return labels;
}

std::vector<GraphLabel> BuildXLabels(const GraphRange& range, double xTick, const std::string& format, bool timeAxis,
                                     const std::vector<QString>& customLabels)
{
    std::vector<GraphLabel> labels;
    if (customLabels.empty()) {
        for (int i = 0; i < kGraphTickCount; ++i) {
            const double v = GraphTickValue(range.xMin, xTick, i);
            labels.push_back(GraphLabel{v, FormatXLabel(format, v, timeAxis)});
        }
        return labels;
    }
    const int count = std::min<int>(kGraphCustomLabelSlots, static_cast<int>(customLabels.size()));
    for (int i = 0; i < count; ++i)
        labels.push_back(GraphLabel{GraphTickValue(range.xMin, xTick / 2, i), customLabels[static_cast<std::size_t>(i)]});
    return labels;
}

int GraphPixelX(double x, const GraphRange& range, const GraphRect& plot)
{
    return ToPixel((x - range.xMin) / (range.xMax - range.xMin) * (plot.right - plot.left) + plot.left);
}

int GraphPixelY(double y, const GraphRange& range, const GraphRect& plot)
{
    return ToPixel(plot.bottom - (y - range.yMin) / (range.yMax - range.yMin) * (plot.bottom - plot.top));
}

namespace {

bool Inside(const QRect& rect, const GraphRect& area)
{
    return rect.left() >= area.left && rect.top() >= area.top && rect.left() + rect.width() <= area.right &&
           rect.top() + rect.height() <= area.bottom;
}

} // namespace

GraphLayout LayOutGraph(const GraphRect& area, const GraphRange& range, const std::vector<GraphLabel>& xLabels,
                        const std::vector<GraphLabel>& yLabels, const QString& lastXLabel, const GraphTextWidth& width,
                        int lineHeight, bool margins)
{
    const int cx = width(lastXLabel);
    const int cy = lineHeight;
    GraphLayout layout;
    GraphRect& plot = layout.plot;
    plot = area;
    plot.bottom = area.bottom - static_cast<int>(cy * 2.5) - 2;
    // The top y label stands half above the plot, the last x label half past its right.
    plot.top += margins ? cy / 2 + cy + 1 : cy / 2 + 1;
    plot.right -= margins ? 2 + cx / 2 : cx - cx / 2 + 1;
    int widest = 0;
    for (const GraphLabel& label : yLabels)
        widest = std::max(widest, width(label.text));
    const int firstX = xLabels.empty() ? 0 : width(xLabels.front().text);
    plot.left = area.left + std::max(widest + 2, firstX / 2 + 1);

    for (const GraphLabel& label : yLabels) {
        const int w = width(label.text);
        const QRect rect(plot.left - w - 1, GraphPixelY(label.value, range, plot) - cy / 2, w, cy);
        if (Inside(rect, area))
            layout.yLabels.push_back({label.text, rect});
    }
    for (const GraphLabel& label : xLabels) {
        const int w = width(label.text);
        const QRect rect(GraphPixelX(label.value, range, plot) - w / 2, plot.bottom + cy / 2 + 1, w, cy);
        if (Inside(rect, area))
            layout.xLabels.push_back({label.text, rect});
    }
    return layout;
}
