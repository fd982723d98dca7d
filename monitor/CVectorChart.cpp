#include "CVectorChart.h"

#include "CMeasurandsAvo.h"
#include "PhasorGeometry.h"
#include "controls/ColorRef.h"

#include <QPainter>

#include <algorithm>
#include <cmath>
#include <numbers>

namespace {

constexpr COLORREF kBackground = 0xC8C8C8;
constexpr COLORREF kLeadLagText = 0x329B9B;
constexpr COLORREF kAxes = 0x505050;
constexpr COLORREF kNameText = 0x146432;
constexpr COLORREF kVectorColours[CVectorChart::kVectors] = {0x0000FF, 0xFFFFFF, 0xFF0000,
                                                             0x0000B4, 0xB4B4B4, 0xB40000};
const char* const kVectorNames[CVectorChart::kVectors] = {"U1N", "U2N", "U3N", "I1", "I2", "I3"};
constexpr int kTipRadius = 4;

QFont ChartFont()
{
    QFont font(QStringLiteral("Small Fonts"));
    font.setPointSize(7);
    return font;
}

bool IsVoltage(int vector)
{
    return vector < 3;
}

} // namespace

CVectorChart::CVectorChart(QWidget* parent)
    : QWidget(parent)
{
    setAttribute(Qt::WA_OpaquePaintEvent);
}

void CVectorChart::SetData(const CMeasurandsAvo& block)
{
    for (std::size_t i = 0; i < 3; ++i) {
        m_magnitudes[i] = block.VoltageScale >= 1
                              ? block.Items[15 + i] / 100.0 / block.VoltageScale
                              : 0.0;
        m_magnitudes[3 + i] = block.CurrentScale >= 1
                                  ? block.Items[8 + i] / 1000.0 / block.CurrentScale
                                  : 0.0;
        // The unit sends I1, U1, I2, U2, I3, U3.
        m_angles[i] = block.PhaseAngles[2 * i + 1] * 360.0 / 65536.0;
        m_angles[3 + i] = block.PhaseAngles[2 * i] * 360.0 / 65536.0;
    }
    m_wiringSystem = static_cast<std::uint16_t>(block.WiringSystem);
    m_modelCode = block.ModelCode;
    if (m_wiringSystem == 2 || m_wiringSystem == 4) {
        m_angles[1] = m_angles[0] + 120;
        m_angles[2] = m_angles[0] + 240;
        m_angles[4] = m_angles[3] + 120;
        m_angles[5] = m_angles[3] + 240;
    }
    update();
}

bool CVectorChart::IsShown(int vector) const
{
    const bool second = vector == 1 || vector == 4;
    const bool third = vector == 2 || vector == 5;
    if (m_wiringSystem == 0)
        return !second && !third;
    if (m_wiringSystem == 1 && m_modelCode == CMeasurandsAvo::kModelAvo)
        return !third;
    if (m_wiringSystem == 1 && m_modelCode == CMeasurandsAvo::kModelBex)
        return !second;
    return true;
}

QSize CVectorChart::NameSize(int vector) const
{
    const QFontMetricsF metrics(ChartFont());
    return QSize(static_cast<int>(std::ceil(metrics.horizontalAdvance(QString::fromLatin1(kVectorNames[vector])))),
                 static_cast<int>(std::ceil(metrics.height())));
}

// The largest of the names of one kind.
QSize CVectorChart::WidestName(bool voltages) const
{
    QSize widest;
    for (int i = 0; i < kVectors; ++i) {
        if (IsVoltage(i) == voltages)
            widest = widest.expandedTo(NameSize(i));
    }
    return widest;
}

int CVectorChart::Radius() const
{
    return PhasorRadius(size(), WidestName(true), WidestName(false));
}

QRect CVectorChart::NameRect(int vector) const
{
    return PhasorNameRect(QPoint(width() / 2, height() / 2), Radius(), m_angles[static_cast<std::size_t>(vector)],
                          NameSize(vector), WidestName(false), IsVoltage(vector));
}

QPoint CVectorChart::TipPoint(int vector) const
{
    const double radius = Radius() * m_magnitudes[static_cast<std::size_t>(vector)];
    const double angle = m_angles[static_cast<std::size_t>(vector)] * std::numbers::pi / 180.0;
    return QPoint(static_cast<int>(width() / 2 + radius * std::sin(angle)),
                  static_cast<int>(height() / 2 - radius * std::cos(angle)));
}

void CVectorChart::paintEvent(QPaintEvent*)
{
    if (m_layoutDirty || m_image.size() != size()) {
        m_image = QImage(size(), QImage::Format_RGB32);
        m_layoutDirty = false;
    }
    Draw();
    QPainter(this).drawImage(0, 0, m_image);
}

void CVectorChart::Draw()
{
    const int width = m_image.width();
    const int height = m_image.height();
    QPainter painter(&m_image);
    painter.fillRect(0, 0, width, height, ColorFromColorref(kBackground));

    const QFont font = ChartFont();
    painter.setFont(font);
    const QFontMetrics metrics(font);
    painter.setPen(ColorFromColorref(kLeadLagText));
    const QString lead = QStringLiteral("<-LEAD");
    const QString lag = QStringLiteral("LAG->");
    painter.drawText(2, metrics.ascent(), lead);
    painter.drawText(width - metrics.horizontalAdvance(lag) - 2, metrics.ascent(), lag);

    const int cx = width / 2;
    const int cy = height / 2;
    const int radius = Radius();
    if (radius <= 0)
        return;

    painter.setPen(QPen(Qt::black, 1));
    painter.setBrush(ColorFromColorref(kBackground));
    painter.drawEllipse(QPoint(cx, cy), radius, radius);
    painter.setPen(QPen(ColorFromColorref(kAxes), 1));
    painter.drawLine(cx, cy - radius, cx, cy + radius);
    painter.drawLine(cx - radius, cy, cx + radius, cy);

    painter.setRenderHint(QPainter::Antialiasing);
    for (int i = 0; i < kVectors; ++i) {
        if (!IsShown(i))
            continue;
        const QColor colour = ColorFromColorref(kVectorColours[i]);
        const QPoint tip = TipPoint(i);
        painter.setPen(QPen(colour, IsVoltage(i) ? 4 : 3, Qt::SolidLine, Qt::RoundCap));
        painter.drawLine(QPoint(cx, cy), tip);
        painter.setPen(Qt::NoPen);
        painter.setBrush(colour);
        painter.drawEllipse(tip, kTipRadius, kTipRadius);
        const double magnitude = m_magnitudes[static_cast<std::size_t>(i)];
        if (magnitude == 0.0)
            continue;
        painter.setPen(ColorFromColorref(kNameText));
        painter.drawText(NameRect(i), Qt::AlignCenter | Qt::TextSingleLine, QString::fromLatin1(kVectorNames[i]));
    }
}
