#pragma once
// The phasor diagram: three voltages and three currents as
// vectors from the centre of a circle, 0 degrees up, lagging angles turning
// clockwise. Painted through a cached picture, redrawn in full each paint.
#include <QImage>
#include <QWidget>

#include <array>
#include <cstdint>

class CMeasurandsAvo;

class CVectorChart : public QWidget
{
    Q_OBJECT
public:
    // U1N, U2N, U3N, then I1, I2, I3.
    static constexpr int kVectors = 6;

    explicit CVectorChart(QWidget* parent = nullptr);

    // Magnitudes (relative to the unit's scales), angles, wiring system and model from the block.
    void SetData(const CMeasurandsAvo& block);

    double GetMagnitude(int vector) const { return m_magnitudes[static_cast<std::size_t>(vector)]; }
    double GetAngle(int vector) const { return m_angles[static_cast<std::size_t>(vector)]; }
    // False for the vectors that the wiring system (and model) leave out.
    bool IsShown(int vector) const;
    // The tip of a vector as drawn.
    QPoint TipPoint(int vector) const;
    // Where a vector's name stands: outside the circle, clear of its line.
    QRect NameRect(int vector) const;
    int Radius() const;

protected:
    void paintEvent(QPaintEvent* event) override;

private:
    void Draw();
    QSize NameSize(int vector) const;
    QSize WidestName(bool voltages) const;

    bool m_layoutDirty = true;
    QImage m_image;
    std::array<double, kVectors> m_magnitudes{};
    std::array<double, kVectors> m_angles{};
    std::uint16_t m_wiringSystem = 0;
    std::uint16_t m_modelCode = 0;
};
