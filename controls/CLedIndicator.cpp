#include "CLedIndicator.h"

#include <QPainter>

#include <algorithm>

CLedIndicator::CLedIndicator(QWidget* parent)
    : QWidget(parent)
{
    setAttribute(Qt::WA_OpaquePaintEvent);
}

void CLedIndicator::SetColor(COLORREF colour)
{
    m_colour = colour;
    update();
}

void CLedIndicator::paintEvent(QPaintEvent*)
{
    const int w = width();
    const int h = height();
    QPainter painter(this);
    painter.fillRect(rect(), palette().color(QPalette::Active, QPalette::Button));
    const int d = std::min(w, h);
    if (d <= 0)
        return;
    const int left = (w - d) / 2;
    const int top = (h - d) / 2;
    painter.setRenderHint(QPainter::Antialiasing);
    painter.setPen(QPen(Qt::black, 1));
    painter.setBrush(ColorFromColorref(m_colour));
    // Inside the square's pixels, outline included.
    painter.drawEllipse(QRectF(left + 0.5, top + 0.5, d - 1, d - 1));
}
