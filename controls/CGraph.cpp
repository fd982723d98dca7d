#include "CGraph.h"

#include "ColorRef.h"
#include "foundation/DialogHelpers.h"

#include <QMouseEvent>
#include <QPainter>
#include <QPolygon>

#include <algorithm>
#include <array>
#include <cmath>

namespace {

// Draws a text with its top left at (x, y), as the label positions are given.
void DrawTextAt(QPainter& painter, int x, int y, const QString& text)
{
    painter.drawText(QPoint(x, y + painter.fontMetrics().ascent()), text);
}

// The box between two corners, in whichever order they were given.
QRect BoxBetween(const QPoint& a, const QPoint& b)
{
    return QRect(QPoint(std::min(a.x(), b.x()), std::min(a.y(), b.y())),
                 QPoint(std::max(a.x(), b.x()), std::max(a.y(), b.y())));
}

bool Within(int value, int low, int high)
{
    return value >= low && value <= high;
}

// One vertical stroke per pixel column: a column is ended by a line to its
// lowest value and, when it spans more than one pixel, on to its highest.
class ColumnStroke
{
public:
    void Start(int x, int yOfMin, int yOfMax)
    {
        m_line << QPoint(x, yOfMin);
        Begin(x, yOfMin, yOfMax);
    }
    // False when the point started a new column.
    bool Widen(int x, int yOfMin, int yOfMax)
    {
        if (x != m_x)
            return false;
        m_yOfMin = std::max(m_yOfMin, yOfMin);
        m_yOfMax = std::min(m_yOfMax, yOfMax);
        return true;
    }
    void EndColumn()
    {
        m_line << QPoint(m_x, m_yOfMin);
        if (m_yOfMax != m_yOfMin)
            m_line << QPoint(m_x, m_yOfMax);
    }
    void Begin(int x, int yOfMin, int yOfMax)
    {
        m_x = x;
        m_yOfMin = yOfMin;
        m_yOfMax = yOfMax;
    }
    int X() const { return m_x; }
    const QPolygon& Line() const { return m_line; }

private:
    QPolygon m_line;
    int m_x = 0;
    int m_yOfMin = 0; // pixel y of the column's lowest value (the larger y)
    int m_yOfMax = 0;
};

} // namespace

CGraph::CGraph(QWidget* parent)
    : QWidget(parent)
{
    setAttribute(Qt::WA_OpaquePaintEvent);
    const QPalette& colours = palette();
    m_backgroundColor = colours.color(QPalette::Active, QPalette::Base);
    m_textColor = colours.color(QPalette::Active, QPalette::WindowText);
    m_dataColor = ColorFromColorref(0x3232FF);
    m_gridColor = colours.color(QPalette::Active, QPalette::WindowText);
}

CGraph::~CGraph() = default;

void CGraph::ClearData()
{
    m_data.Clear();
    m_contentDirty = true;
}

void CGraph::AddPoint(float x, float y)
{
    m_data.AddPoint(x, y);
    m_contentDirty = true;
}

void CGraph::SetRange(double xMin, double xMax, double yMin, double yMax)
{
    m_range = LimitGraphRange(GraphRange{xMin, xMax, yMin, yMax}, m_negativeX);
    m_xTick = (m_range.xMax - m_range.xMin) * 0.25;
    m_yTick = (m_range.yMax - m_range.yMin) * 0.25;
    const int decimals = DecimalsFromCode(m_decimalsCode);
    m_yFormat = MakeYLabelFormat(decimals);
    m_xFormat = MakeXLabelFormat(decimals, m_timeAxis, m_xTick);
    m_contentDirty = true;
    m_scaleDirty = true;
}

void CGraph::SetDefaultRange(double xMin, double xMax, double yMin, double yMax)
{
    if (xMin == xMax)
        xMax += 0.1;
    if (yMin == yMax)
        yMax += 0.1;
    m_defaultRange = GraphRange{xMin, xMax, yMin, yMax};
    SetRange(xMin, xMax, yMin, yMax);
}

void CGraph::SetTopLeftTitle(const QString& title)
{
    m_topLeftTitle = title;
    m_contentDirty = true;
}

void CGraph::SetBottomRightTitle(const QString& title)
{
    m_bottomRightTitle = title;
    m_contentDirty = true;
}

void CGraph::SetCustomXLabels(const std::vector<QString>& labels)
{
    m_customXLabels = labels;
    m_contentDirty = true;
}

std::vector<GraphLabel> CGraph::XLabels() const
{
    return BuildXLabels(m_range, m_xTick, m_xFormat, m_timeAxis, m_customXLabels);
}

std::vector<GraphLabel> CGraph::YLabels() const
{
    return BuildYLabels(m_range, m_yTick, m_yFormat);
}

GraphLayout CGraph::LayOut(const GraphRect& area) const
{
    const QFontMetrics metrics(GetDialogFont());
    const std::vector<GraphLabel> xLabels = XLabels();
    const QString lastXLabel = !m_customXLabels.empty() ? m_customXLabels.back()
                               : xLabels.empty()        ? QString()
                                                        : xLabels.back().text;
    return LayOutGraph(area, m_range, xLabels, YLabels(), lastXLabel,
                       [&](const QString& text) { return metrics.horizontalAdvance(text); }, metrics.height(),
                       m_margins);
}

void CGraph::paintEvent(QPaintEvent*)
{
    m_client = GraphRect{0, 0, width(), height()};
    if (width() <= 0 || height() <= 0)
        return;
    // The picture follows the window's size.
    const qreal ratio = devicePixelRatioF();
    if (m_cache.isNull() || m_cache.size() != size() * ratio) {
        m_cache = QPixmap(size() * ratio);
        m_cache.setDevicePixelRatio(ratio);
        m_contentDirty = true;
    }
    if (m_contentDirty) {
        m_plot = m_client;
        QPainter cachePainter(&m_cache);
        Draw(cachePainter, m_client);
        m_contentDirty = false;
    }
    QPainter painter(this);
    painter.drawPixmap(0, 0, m_cache);
    if (m_dragState == ZoomBox) {
        const QRect box = BoxBetween(m_zoomFirst, m_zoomSecond);
        painter.setPen(QPen(m_textColor, 1, Qt::DotLine));
        painter.setBrush(Qt::NoBrush);
        painter.drawRect(box.adjusted(0, 0, -1, -1));
    }
}

void CGraph::Draw(QPainter& painter, const GraphRect& area)
{
    const int areaWidth = area.right - area.left;
    const QPen gridPen(m_gridColor, areaWidth / 1000 + 1);
    const QPen textPen(m_textColor);
    painter.setFont(GetDialogFont());
    painter.fillRect(QRect(area.left, area.top, areaWidth, area.bottom - area.top), m_backgroundColor);
    const QFontMetrics metrics = painter.fontMetrics();

    const std::vector<GraphLabel> yLabels = YLabels();
    const GraphLayout layout = LayOut(area);
    m_plot = layout.plot;
    const int cy = metrics.height();

    painter.setPen(gridPen);
    for (const GraphLabel& label : yLabels) {
        const int y = GraphPixelY(label.value, m_range, m_plot);
        if (Within(y, area.top, area.bottom))
            painter.drawLine(m_plot.left, y, m_plot.right, y);
    }

    if (m_scaleDirty) {
        if (PlotUsable()) {
            m_xUnitsPerPixel = (m_range.xMax - m_range.xMin) / (m_plot.right - m_plot.left);
            m_yUnitsPerPixel = (m_range.yMax - m_range.yMin) / (m_plot.bottom - m_plot.top);
        }
        m_scaleDirty = false;
    }

    for (int i = 0; i < kGraphTickCount; ++i) {
        const int x = GraphPixelX(GraphTickValue(m_range.xMin, m_xTick, i), m_range, m_plot);
        if (Within(x, area.left, area.right))
            painter.drawLine(x, m_plot.bottom, x, m_plot.top);
    }

    painter.setPen(textPen);
    for (const std::vector<GraphLabelPlace>* labels : {&layout.yLabels, &layout.xLabels}) {
        for (const GraphLabelPlace& label : *labels)
            DrawTextAt(painter, label.rect.left(), label.rect.top(), label.text);
    }

    if (!m_topLeftTitle.isEmpty())
        DrawTextAt(painter, 1, 1, QLatin1Char('(') + m_topLeftTitle + QLatin1Char(')'));
    if (!m_bottomRightTitle.isEmpty())
        DrawTextAt(painter, area.right - metrics.horizontalAdvance(m_bottomRightTitle) - 1, area.bottom - cy - 1,
                   m_bottomRightTitle);

    painter.setPen(QPen(m_dataColor, 2 * (areaWidth / 1000) + 2));
    if (m_mode == PointMode)
        DrawPoints(painter, area);
    else
        DrawBuckets(painter, area);
}

void CGraph::DrawBuckets(QPainter& painter, const GraphRect&) const
{
    const int current = m_data.CurrentBucket();
    if (current == 0)
        return;
    const std::vector<GraphBucket>& buckets = m_data.Buckets();
    const auto column = [&](const GraphBucket& b) {
        return std::array<int, 3>{GraphPixelX(b.meanX, m_range, m_plot), GraphPixelY(b.minY, m_range, m_plot),
                                  GraphPixelY(b.maxY, m_range, m_plot)};
    };
    ColumnStroke stroke;
    const auto first = column(buckets[0]);
    stroke.Start(first[0], first[1], first[2]);
    for (int i = 1; i <= current; ++i) {
        const auto next = column(buckets[static_cast<std::size_t>(i)]);
        if (!stroke.Widen(next[0], next[1], next[2])) {
            stroke.EndColumn();
            stroke.Begin(next[0], next[1], next[2]);
        }
    }
    stroke.EndColumn();
    painter.drawPolyline(stroke.Line());
}

void CGraph::DrawPoints(QPainter& painter, const GraphRect& area) const
{
    const std::vector<GraphPoint>& points = m_data.Points();
    const auto firstVisible = std::find_if(points.begin(), points.end(), [&](const GraphPoint& p) {
        return GraphPixelX(p.x, m_range, m_plot) >= 0;
    });
    if (firstVisible == points.end())
        return;
    std::size_t index = static_cast<std::size_t>(firstVisible - points.begin());
    if (index > 0)
        --index;

    ColumnStroke stroke;
    const auto pixel = [&](const GraphPoint& p) {
        return QPoint(GraphPixelX(p.x, m_range, m_plot), GraphPixelY(p.y, m_range, m_plot));
    };
    const QPoint start = pixel(points[index]);
    stroke.Start(start.x(), start.y(), start.y());
    for (++index; index < points.size(); ++index) {
        const QPoint next = pixel(points[index]);
        if (!stroke.Widen(next.x(), next.y(), next.y())) {
            stroke.EndColumn();
            if (stroke.X() > area.right)
                break;
            stroke.Begin(next.x(), next.y(), next.y());
        }
    }
    if (index >= points.size())
        stroke.EndColumn();
    painter.drawPolyline(stroke.Line());
}

bool CGraph::PlotUsable() const
{
    return m_plot.right > m_plot.left && m_plot.bottom > m_plot.top;
}

double CGraph::ValueXAt(int x) const
{
    return static_cast<double>(x - m_plot.left) / (m_plot.right - m_plot.left) * (m_range.xMax - m_range.xMin) +
           m_range.xMin;
}

double CGraph::ValueYAt(int y) const
{
    return static_cast<double>(m_plot.bottom - y) / (m_plot.bottom - m_plot.top) * (m_range.yMax - m_range.yMin) +
           m_range.yMin;
}

void CGraph::PanTo(const QPoint& point)
{
    const double xSpan = m_range.xMax - m_range.xMin;
    const double ySpan = m_range.yMax - m_range.yMin;
    const double xMin = m_dragStartX - (point.x() - m_plot.left) * m_xUnitsPerPixel;
    const double yMin = m_dragStartY - (m_plot.bottom - point.y()) * m_yUnitsPerPixel;
    SetRange(xMin, xMin + xSpan, yMin, yMin + ySpan);
    // Panning keeps the scale of the drawing it started from.
    m_scaleDirty = false;
}

void CGraph::Zoom(double factor)
{
    const double xStep = (m_range.xMax - m_range.xMin) * factor;
    const double yStep = (m_range.yMax - m_range.yMin) * factor;
    SetRange(m_range.xMin + xStep, m_range.xMax - xStep, m_range.yMin + yStep, m_range.yMax - yStep);
}

void CGraph::mousePressEvent(QMouseEvent* event)
{
    if (m_mode != PointMode || m_dragState != NoDrag || !PlotUsable()) {
        QWidget::mousePressEvent(event);
        return;
    }
    const QPoint point = event->position().toPoint();
    if (event->button() == Qt::LeftButton) {
        m_dragState = Panning;
        m_dragPoint = point;
        m_dragStartX = ValueXAt(point.x());
        m_dragStartY = ValueYAt(point.y());
    } else if (event->button() == Qt::RightButton) {
        m_dragState = ZoomBox;
        m_zoomFirst = point;
        m_zoomSecond = point;
    }
}

void CGraph::mouseMoveEvent(QMouseEvent* event)
{
    const QPoint point = event->position().toPoint();
    if (m_dragState == Panning) {
        m_dragPoint = point;
        PanTo(point);
        update();
    } else if (m_dragState == ZoomBox) {
        m_zoomSecond = QPoint(std::clamp(point.x(), m_client.left, m_client.right),
                              std::clamp(point.y(), m_client.top, m_client.bottom));
        update();
    } else {
        QWidget::mouseMoveEvent(event);
    }
}

void CGraph::mouseReleaseEvent(QMouseEvent* event)
{
    const QPoint point = event->position().toPoint();
    if (m_dragState == Panning && event->button() == Qt::LeftButton) {
        m_dragState = NoDrag;
        if (point != m_dragPoint)
            PanTo(point);
        update();
    } else if (m_dragState == ZoomBox && event->button() == Qt::RightButton) {
        m_dragState = NoDrag;
        const QRect box = BoxBetween(m_zoomFirst, m_zoomSecond);
        if (m_zoomFirst.x() != m_zoomSecond.x() && m_zoomFirst.y() != m_zoomSecond.y())
            SetRange(ValueXAt(box.left()), ValueXAt(box.right()), ValueYAt(box.bottom()), ValueYAt(box.top()));
        update();
    } else {
        QWidget::mouseReleaseEvent(event);
    }
}

void CGraph::mouseDoubleClickEvent(QMouseEvent* event)
{
    if (m_mode != PointMode || m_dragState != NoDrag) {
        QWidget::mouseDoubleClickEvent(event);
        return;
    }
    if (event->button() == Qt::LeftButton) {
        Zoom(0.25);
        update();
    } else if (event->button() == Qt::RightButton) {
        Zoom(-0.25);
        update();
    }
}

void CGraph::changeEvent(QEvent* event)
{
    if (event->type() == QEvent::FontChange || event->type() == QEvent::PaletteChange)
        m_contentDirty = true;
    QWidget::changeEvent(event);
}
