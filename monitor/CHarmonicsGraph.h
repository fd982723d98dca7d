#pragma once
// Bar chart of harmonic orders 1 to 31 of one quantity:
// order numbers at the bottom, the values in % above them, a bar per order
// in the plot. Painted through a cached picture, redrawn in full each paint.
#include <QImage>
#include <QWidget>

#include <array>
#include <cstdint>

class CMeasurandsAvo;

class CHarmonicsGraph : public QWidget
{
    Q_OBJECT
public:
    static constexpr int kOrders = 31;
    static constexpr std::uint16_t kFundamental = 1000; // 100.0 %

    explicit CHarmonicsGraph(QWidget* parent = nullptr);

    // Takes the selected row's values from the block and shows them.
    void SetData(const CMeasurandsAvo& block);
    // Row 0..9 of the block's harmonics table; false (row kept) for any other.
    bool SetRow(int row);
    int GetRow() const { return m_row; }
    // Shows the orders and the grid only, until the next SetData.
    void SetNoData();
    bool HasData() const { return !m_noData; }
    std::uint16_t GetValue(int order) const { return m_values[static_cast<std::size_t>(order - 1)]; }

    // The plot's rows as last drawn (for whoever checks the picture).
    int PlotTop() const { return 0; }
    int PlotBottom() const { return m_plotBottom; }

protected:
    void paintEvent(QPaintEvent* event) override;
    void showEvent(QShowEvent* event) override;

private:
    void ApplyLayout();
    void Draw();

    bool m_layoutDirty = true;
    QImage m_image;
    bool m_noData = true;
    std::array<std::uint16_t, kOrders> m_values{};
    int m_row = 0;
    int m_plotBottom = 0;
};
