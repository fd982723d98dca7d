#pragma once
// A window that plots a series of (x, y) points as a line over a grid with
// numeric axis labels, painted through a cached picture. In bucket mode it
// draws the decimating buffer and ignores the mouse; in point mode it draws
// the points and the user zooms (double clicks, a right-button box) and
// pans (left button) with the mouse.
#include "CGraphBuffer.h"
#include "GraphAxes.h"

#include <QColor>
#include <QPixmap>
#include <QWidget>

#include <string>
#include <vector>

class CGraph : public QWidget
{
    Q_OBJECT
public:
    enum Mode : int
    {
        BucketMode = 0,
        PointMode = 1,
    };

    explicit CGraph(QWidget* parent = nullptr);
    ~CGraph() override;

    void ClearData();
    // No repaint: the owner calls update() when it has added its points.
    void AddPoint(float x, float y);
    void SetRange(double xMin, double xMax, double yMin, double yMax);
    // An axis whose two ends are equal gets 0.1 added to its upper end.
    void SetDefaultRange(double xMin, double xMax, double yMin, double yMax);

    // Set these before the range: the label formats are made by SetRange.
    void SetMode(int mode) { m_mode = mode; }
    void SetNegativeX(bool negativeX) { m_negativeX = negativeX; }
    // Leaves room above and to the right of the plot for the titles.
    void SetMargins(bool margins) { m_margins = margins; }
    // 1, 10, 100, 1000 or 10000: 0 to 4 decimals in the labels.
    void SetDecimalsCode(int code) { m_decimalsCode = code; }
    void SetTimeAxis(bool timeAxis) { m_timeAxis = timeAxis; }
    // Drawn as "(" title ")" at the top left.
    void SetTopLeftTitle(const QString& title);
    void SetBottomRightTitle(const QString& title);
    void SetCustomXLabels(const std::vector<QString>& labels);

    int GetMode() const { return m_mode; }
    GraphRange GetRange() const { return m_range; }
    GraphRange GetDefaultRange() const { return m_defaultRange; }
    double GetXTick() const { return m_xTick; }
    const std::string& GetXLabelFormat() const { return m_xFormat; }
    const std::string& GetYLabelFormat() const { return m_yFormat; }
    std::vector<GraphLabel> XLabels() const;
    std::vector<GraphLabel> YLabels() const;
    // The data area of the last drawing.
    GraphRect GetPlotRect() const { return m_plot; }
    // The plot and the labels that a drawing of that area shows.
    GraphLayout LayOut(const GraphRect& area) const;
    QColor GetDataColor() const { return m_dataColor; }

protected:
    void paintEvent(QPaintEvent* event) override;
    void mousePressEvent(QMouseEvent* event) override;
    void mouseReleaseEvent(QMouseEvent* event) override;
    void mouseDoubleClickEvent(QMouseEvent* event) override;
    void mouseMoveEvent(QMouseEvent* event) override;
    void changeEvent(QEvent* event) override;

private:
    enum DragState
    {
        NoDrag = 0,
        Panning = 1,
        ZoomBox = 2,
    };

    void Draw(QPainter& painter, const GraphRect& area);
    void DrawBuckets(QPainter& painter, const GraphRect& area) const;
    void DrawPoints(QPainter& painter, const GraphRect& area) const;
    bool PlotUsable() const;
    // The values under a client point, by the last drawing's plot.
    double ValueXAt(int x) const;
    double ValueYAt(int y) const;
    void PanTo(const QPoint& point);
    void Zoom(double factor);

    GraphRange m_defaultRange;
    GraphRange m_range;
    double m_xUnitsPerPixel = 0;
    double m_yUnitsPerPixel = 0;
    bool m_scaleDirty = true;
    double m_xTick = 0;
    double m_yTick = 0;
    std::string m_xFormat;
    std::string m_yFormat;
    GraphRect m_client;
    GraphRect m_plot;
    bool m_margins = false;
    int m_decimalsCode = 100;
    QPixmap m_cache;
    bool m_contentDirty = true;
    CGraphBuffer m_data;
    int m_mode = BucketMode;
    bool m_negativeX = false;
    int m_dragState = NoDrag;
    QPoint m_dragPoint;
    double m_dragStartX = 0;
    double m_dragStartY = 0;
    QPoint m_zoomFirst;
    QPoint m_zoomSecond;
    QColor m_backgroundColor;
    QColor m_textColor;
    QColor m_dataColor;
    QColor m_gridColor;
    QString m_topLeftTitle;
    QString m_bottomRightTitle;
    bool m_timeAxis = false;
    std::vector<QString> m_customXLabels;
};
