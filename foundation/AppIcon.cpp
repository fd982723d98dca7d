#include "AppIcon.h"

#include "Globals.h"

#include <QPainter>
#include <QPainterPath>
#include <QPixmap>

#include <cmath>
#include <numbers>

namespace {

QPixmap DrawMeter(int size)
{
    QPixmap pixmap(size, size);
    pixmap.fill(Qt::transparent);
    QPainter painter(&pixmap);
    painter.setRenderHint(QPainter::Antialiasing);
    const double s = size;
    painter.setPen(Qt::NoPen);
    painter.setBrush(QColor(0x1F, 0x4E, 0x79));
    painter.drawRoundedRect(QRectF(0.5, 0.5, s - 1, s - 1), s * 0.18, s * 0.18);

    // The dial: a scale arc with a needle.
    const QRectF dial(s * 0.16, s * 0.22, s * 0.68, s * 0.68);
    QPen arc(QColor(0xF2, 0xF2, 0xF2), std::max(1.0, s * 0.08), Qt::SolidLine, Qt::FlatCap);
    painter.setPen(arc);
    painter.setBrush(Qt::NoBrush);
    painter.drawArc(dial, 30 * 16, 120 * 16);
    const QPointF centre = dial.center();
    const double angle = 60.0 * std::numbers::pi / 180.0;
    const double length = dial.width() * 0.5;
    QPen needle(QColor(0xFF, 0xB0, 0x20), std::max(1.0, s * 0.07), Qt::SolidLine, Qt::RoundCap);
    painter.setPen(needle);
    painter.drawLine(centre, centre + QPointF(length * std::cos(angle), -length * std::sin(angle)));
    painter.setPen(Qt::NoPen);
    painter.setBrush(QColor(0xF2, 0xF2, 0xF2));
    painter.drawEllipse(centre, s * 0.07, s * 0.07);
    return pixmap;
}

} // namespace

QIcon LoadAppIcon()
{
    CResourceHandles::SetCurrentModule(g_resourceHandles.GetIconModule());
    QIcon icon;
    for (int size : {16, 24, 32, 48, 64})
        icon.addPixmap(DrawMeter(size));
    CResourceHandles::SetCurrentModule(g_resourceHandles.GetRestoreModule());
    return icon;
}
