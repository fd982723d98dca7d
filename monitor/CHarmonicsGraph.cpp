#include "CHarmonicsGraph.h"

#include "CMeasurandsAvo.h"
#include "controls/ColorRef.h"
#include "foundation/Globals.h"

#include <QApplication>
#include <QPainter>

#include <algorithm>
#include <cstdio>

namespace {

constexpr COLORREF kBarColour = 0xC83232;

// Text reading upward, centred in rect.
void DrawUpward(QPainter& painter, const QRect& rect, const QString& text)
{
    painter.save();
    painter.translate(rect.center().x() + 1, rect.center().y() + 1);
    painter.rotate(-90);
    painter.drawText(QRect(-rect.height() / 2, -rect.width() / 2, rect.height(), rect.width()), Qt::AlignCenter,
                     text);
    painter.restore();
}

QString Format(const char* format, double value)
{
    char text[32];
    std::snprintf(text, sizeof text, format, value);
    return QString::fromLatin1(text);
}

} // namespace

CHarmonicsGraph::CHarmonicsGraph(QWidget* parent)
    : QWidget(parent)
{
    setAttribute(Qt::WA_OpaquePaintEvent);
    m_values[0] = kFundamental;
}

void CHarmonicsGraph::SetData(const CMeasurandsAvo& block)
{
    const auto& row = block.Harmonics[static_cast<std::size_t>(m_row)];
    for (int k = 1; k < kOrders; ++k)
        m_values[static_cast<std::size_t>(k)] = row[static_cast<std::size_t>(k - 1)];
    m_values[0] = kFundamental;
    m_noData = false;
    update();
}

bool CHarmonicsGraph::SetRow(int row)
{
    if (row < 0 || row >= CMeasurandsAvo::kHarmonicsRows)
        return false;
    m_row = row;
    return true;
}

void CHarmonicsGraph::SetNoData()
{
    m_noData = true;
    update();
}

void CHarmonicsGraph::showEvent(QShowEvent* event)
{
    // Cut before the first paint, so that the window never shows a ragged edge.
    if (m_layoutDirty)
        ApplyLayout();
    QWidget::showEvent(event);
}

void CHarmonicsGraph::ApplyLayout()
{
    // A whole number of cells plus the closing line.
    const int width = (this->width() / kOrders) * kOrders + 1;
    if (width != this->width())
        setFixedWidth(width);
    m_image = QImage(width, height(), QImage::Format_RGB32);
    m_layoutDirty = false;
}

void CHarmonicsGraph::paintEvent(QPaintEvent*)
{
    if (m_layoutDirty || m_image.size() != size())
        ApplyLayout();
    Draw();
    QPainter(this).drawImage(0, 0, m_image);
}

void CHarmonicsGraph::Draw()
{
    const int width = m_image.width();
    const int height = m_image.height();
    QPainter painter(&m_image);
    painter.fillRect(0, 0, width, height, Qt::white);

    QFont font = g_defaultGuiFont ? *g_defaultGuiFont : QApplication::font();
    font.setFamilies({QStringLiteral("avonewfont"), font.family()});
    painter.setFont(font);
    const QFontMetrics metrics(font);
    const int orderBand = metrics.horizontalAdvance(QStringLiteral("99")) + 4;
    const int valueBand = metrics.horizontalAdvance(QStringLiteral("999.9")) + 4;
    const int valueBottom = height - orderBand;
    const int plotBottom = valueBottom - valueBand;
    const int plotTop = 0;
    m_plotBottom = plotBottom;
    const int cell = width / kOrders;

    painter.fillRect(0, plotTop, cell * kOrders, plotBottom - plotTop, palette().color(QPalette::Active, QPalette::Button));

    painter.setPen(QPen(palette().color(QPalette::Active, QPalette::ButtonText), 1));
    for (int i = 0; i <= kOrders; ++i)
        painter.drawLine(cell * i, 0, cell * i, height - 1);
    for (const int y : {0, plotBottom, valueBottom, height - 1})
        painter.drawLine(0, y, width - 1, y);

    painter.setPen(Qt::black);
    const int barBottom = plotBottom - 1;
    const int barRange = barBottom - (plotTop + 2);
    for (int n = 1; n <= kOrders; ++n) {
        const int left = cell * (n - 1);
        const int right = cell * n;
        char order[8];
        std::snprintf(order, sizeof order, "%02d", n);
        DrawUpward(painter, QRect(left, valueBottom, cell, orderBand), QString::fromLatin1(order));
        if (m_noData)
            continue;
        const int value = m_values[static_cast<std::size_t>(n - 1)];
        DrawUpward(painter, QRect(left, plotBottom, cell, valueBand), Format("%.1lf", value / 10.0));
        // A value above 100 % stops at the top of the plot.
        const int top = barBottom - barRange * std::min(value, static_cast<int>(kFundamental)) / kFundamental;
        painter.fillRect(QRect(QPoint(left + 2, top), QPoint(right - 2, barBottom - 1)), ColorFromColorref(kBarColour));
    }
}
