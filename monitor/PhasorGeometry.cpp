#include "PhasorGeometry.h"

#include <algorithm>
#include <cmath>
#include <numbers>

namespace {

// How far a rectangle of that size reaches from its centre along the direction.
double Reach(QSize size, double sine, double cosine)
{
    return std::abs(size.width() / 2.0 * sine) + std::abs(size.height() / 2.0 * cosine);
}

bool NamesFit(QSize client, int radius, QSize voltageName, QSize currentName)
{
    const QRect area(QPoint(0, 0), client);
    const QPoint centre(client.width() / 2, client.height() / 2);
    for (int degrees = 0; degrees < 360; ++degrees) {
        if (!area.contains(PhasorNameRect(centre, radius, degrees, voltageName, currentName, true)) ||
            !area.contains(PhasorNameRect(centre, radius, degrees, currentName, currentName, false)))
            return false;
    }
    return true;
}

} // namespace

int PhasorRadius(QSize client, QSize voltageName, QSize currentName)
{
    // On the axes a voltage's name stands past a current's and its own gap.
    const int across = 2 * kPhasorNameGap + currentName.width() + voltageName.width();
    const int upright = 2 * kPhasorNameGap + currentName.height() + voltageName.height();
    int radius = std::min(client.width() / 2 - across, client.height() / 2 - upright);
    // Between the axes a name's corner can reach a pixel or two further.
    while (radius > 0 && !NamesFit(client, radius, voltageName, currentName))
        --radius;
    return std::max(radius, 0);
}

QRect PhasorNameRect(QPoint centre, int radius, double angleDegrees, QSize name, QSize currentName, bool voltage)
{
    const double angle = angleDegrees * std::numbers::pi / 180.0;
    const double sine = std::sin(angle);
    const double cosine = std::cos(angle);
    // Every point of the rectangle lies at least this far out along the vector.
    double distance = radius + kPhasorNameGap + Reach(name, sine, cosine);
    if (voltage)
        distance += 2 * Reach(currentName, sine, cosine) + kPhasorNameGap;
    // Whole pixels away from the centre, never towards it.
    const double x = centre.x() + distance * sine - name.width() / 2.0;
    const double y = centre.y() - distance * cosine - name.height() / 2.0;
    const int left = static_cast<int>(sine >= 0 ? std::ceil(x) : std::floor(x));
    const int top = static_cast<int>(cosine >= 0 ? std::floor(y) : std::ceil(y));
    return QRect(left, top, name.width(), name.height());
}
