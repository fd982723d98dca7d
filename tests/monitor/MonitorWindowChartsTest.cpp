// The monitor's pages and charts drawn offscreen: the phasors and a known
// harmonic against the simulated load, the charts' edge cases, the pages'
// modes. The pictures go under the build folder.
#include "MonitorWindowHarness.h"

#include "params/FenmarTestLink.h"
#include "support/TempProfile.h"

#include "controls/CDataGridView.h"
#include "controls/ColorRef.h"
#include "foundation/Globals.h"
#include "monitor/CEnergyPage.h"
#include "monitor/CHarmonicsGraph.h"
#include "monitor/CMaxMinPage.h"
#include "monitor/CVectorChart.h"
#include "platform/CProfile.h"

#include <QKeyEvent>
#include <QVBoxLayout>

#include <algorithm>
#include <cmath>

namespace {

constexpr COLORREF kVectorColours[CVectorChart::kVectors] = {0x0000FF, 0xFFFFFF, 0xFF0000,
                                                             0x0000B4, 0xB4B4B4, 0xB40000};
constexpr COLORREF kBarColour = 0xC83232;

QString Cell(const CDataGridView& grid, unsigned row, unsigned column)
{
    const QString* text = grid.Model().FindValueText(row, column);
    return text ? *text : QStringLiteral("<none>");
}

TEST(MonitorWindowCharts, PhasorsAndAHarmonicAsTheUnitSendsThem)
{
    TempProfile profile;
    CProfile::Reload();
    g_resourceDatabase.LoadLanguageFile(QStringLiteral("English.lng"));
    CFenmarUnit unit;
    unit.SetMonitorModel(6301, 0, 1, 3);
    unit.SetLoadTime(20);
    unit.Simulated().SetRegisters(1536, std::vector<std::uint16_t>(30, 0)); // quantity 1: only order 3
    unit.Simulated().SetRegister(1536 + 1, 500);
    auto link = MakeLink(unit, LinkKind::Tcp);
    TestMonitor monitor;
    monitor.Run(*link, [&] {
        // Lengths come with the realtime values, angles with the identification after them.
        // Two whole cycles: the second one's identification has the lengths of the first.
        ASSERT_TRUE(WaitUntil([&] { return !monitor.Thread()->Cycle(0).empty(); }));
        const std::size_t from = monitor.Thread()->Commands().size();
        ASSERT_TRUE(WaitUntil([&] { return !monitor.Thread()->Cycle(from).empty(); }));
        unit.Stop(); // the pictures stay as they are

        CVectorChart& chart = *monitor.GetVectorChart();
        const QImage picture = chart.grab().toImage();
        SavePicture(&chart, QStringLiteral("phasors"));
        SavePicture(&monitor, QStringLiteral("monitor-realtime"));
        const QPoint centre(chart.width() / 2, chart.height() / 2);
        for (int i = 0; i < CVectorChart::kVectors; ++i) {
            ASSERT_TRUE(chart.IsShown(i));
            EXPECT_GT(chart.GetMagnitude(i), 0.5) << i;
            EXPECT_LT(chart.GetMagnitude(i), 1.0) << i;
            const QPoint tip = chart.TipPoint(i);
            EXPECT_EQ(picture.pixelColor(tip), ColorFromColorref(kVectorColours[i])) << "vector " << i;
            // The quadrant of the angle: 0 degrees up, clockwise.
            const double radians = chart.GetAngle(i) * M_PI / 180;
            if (std::abs(std::sin(radians)) > 0.1) {
                EXPECT_EQ(tip.x() > centre.x(), std::sin(radians) > 0) << "vector " << i;
            }
            if (std::abs(std::cos(radians)) > 0.1) {
                EXPECT_EQ(tip.y() < centre.y(), std::cos(radians) > 0) << "vector " << i;
            }
        }

        CHarmonicsGraph& graph = *monitor.GetHarmonicsChart();
        const QImage bars = graph.grab().toImage();
        SavePicture(&graph, QStringLiteral("harmonics"));
        EXPECT_EQ(graph.GetValue(3), 500);
        const int cell = graph.width() / CHarmonicsGraph::kOrders;
        const int x = 2 * cell + cell / 2; // order 3
        const int barBottom = graph.PlotBottom() - 1;
        const int height = (barBottom - (graph.PlotTop() + 2)) * 500 / 1000;
        const QColor bar = ColorFromColorref(kBarColour);
        EXPECT_EQ(bars.pixelColor(x, barBottom - 1), bar);
        EXPECT_EQ(bars.pixelColor(x, barBottom - height), bar);
        EXPECT_NE(bars.pixelColor(x, barBottom - height - 1), bar);
        EXPECT_NE(bars.pixelColor(cell + cell / 2, barBottom - 1), bar) << "order 2 is 0";
        EXPECT_EQ(bars.pixelColor(cell / 2, graph.PlotTop() + 3), bar) << "the fundamental fills the plot";
        monitor.Close();
    });
    CProfile::Reload();
}

TEST(MonitorWindowCharts, ChartsEdgeCases)
{
    CMeasurandsAvo block;
    CHarmonicsGraph graph;
    graph.resize(200, 150);
    graph.show();
    const QImage empty = graph.grab().toImage();
    EXPECT_EQ(graph.width(), 187) << "whole cells plus the closing line";
    const int cell = graph.width() / CHarmonicsGraph::kOrders;
    EXPECT_NE(empty.pixelColor(cell / 2, graph.PlotBottom() - 2), ColorFromColorref(kBarColour)) << "no data, no bars";

    EXPECT_FALSE(graph.SetRow(10));
    EXPECT_FALSE(graph.SetRow(-1));
    EXPECT_EQ(graph.GetRow(), 0);
    EXPECT_TRUE(graph.SetRow(9));
    block.Harmonics[9][0] = 250;
    graph.SetData(block);
    EXPECT_EQ(graph.GetValue(2), 250);
    EXPECT_EQ(graph.GetValue(1), CHarmonicsGraph::kFundamental);

    CVectorChart chart;
    chart.resize(200, 200);
    block.WiringSystem = 2;
    block.ModelCode = 6301;
    block.VoltageScale = 0;
    block.CurrentScale = 5;
    block.Items[8] = block.Items[9] = block.Items[10] = 4000;
    block.PhaseAngles = {0, 16384, 5, 5, 5, 5}; // I1 at 0, U1 at 90 degrees; the rest ignored
    chart.SetData(block);
    EXPECT_DOUBLE_EQ(chart.GetAngle(1), 210.0);
    EXPECT_DOUBLE_EQ(chart.GetAngle(2), 330.0);
    EXPECT_DOUBLE_EQ(chart.GetAngle(4), 120.0);
    EXPECT_DOUBLE_EQ(chart.GetAngle(5), 240.0);
    const QImage picture = chart.grab().toImage();
    SavePicture(&chart, QStringLiteral("phasors-no-voltage-scale"));
    const QPoint centre(100, 100);
    for (int i = 0; i < 3; ++i)
        EXPECT_EQ(chart.TipPoint(i), centre) << "no voltage scale: zero length";
    // The last voltage's tip circle stands at the centre; the currents point out.
    EXPECT_EQ(picture.pixelColor(chart.TipPoint(3)), ColorFromColorref(kVectorColours[3]));
    EXPECT_LT(chart.TipPoint(3).y(), centre.y());

    block.WiringSystem = 0;
    chart.SetData(block);
    EXPECT_TRUE(chart.IsShown(0));
    EXPECT_FALSE(chart.IsShown(2));
    EXPECT_FALSE(chart.IsShown(4));
}

// How far the nearest point of the rectangle's pixels lies from the point.
double Distance(const QPoint& point, const QRect& rect)
{
    const double x = std::clamp<double>(point.x(), rect.left(), rect.left() + rect.width());
    const double y = std::clamp<double>(point.y(), rect.top(), rect.top() + rect.height());
    return std::hypot(point.x() - x, point.y() - y);
}

TEST(MonitorWindowCharts, NamesStandClearOfTheCircleInsideTheChart)
{
    CMeasurandsAvo block;
    block.WiringSystem = 3;
    block.ModelCode = 6301;
    block.VoltageScale = 1;
    block.CurrentScale = 1;
    block.Items[8] = block.Items[15] = 800;
    for (const QSize size : {QSize(240, 240), QSize(200, 260), QSize(300, 180)}) {
        CVectorChart chart;
        chart.resize(size);
        const QPoint centre(size.width() / 2, size.height() / 2);
        for (int degrees = 0; degrees < 360; degrees += 3) {
            const auto word = static_cast<std::uint16_t>(degrees * 65536 / 360);
            block.PhaseAngles = {word, word, word, word, word, word};
            chart.SetData(block);
            const QRect voltage = chart.NameRect(0);
            const QRect current = chart.NameRect(3);
            for (const QRect& name : {voltage, current}) {
                EXPECT_TRUE(chart.rect().contains(name))
                    << degrees << " degrees in " << size.width() << "x" << size.height();
                // The circle's line is a pixel wide.
                EXPECT_GE(Distance(centre, name), chart.Radius() + 1.0) << degrees << " degrees";
            }
            EXPECT_FALSE(voltage.intersects(current)) << "U1N and I1 at " << degrees << " degrees";
        }
        EXPECT_GT(chart.Radius(), std::min(size.width(), size.height()) / 4);
    }
}

TEST(MonitorWindowPages, ModesLayoutsAndEnter)
{
    CMeasurandsAvo block;
    for (int item = 0; item < CMeasurandsAvo::kTextItemCount; ++item)
        block.Items[static_cast<std::size_t>(item)] = item * 1000;
    QWidget holder;
    auto* layout = new QVBoxLayout(&holder);
    CMaxMinPage maxMin;
    CEnergyPage energy;
    maxMin.Create(&holder);
    energy.Create(&holder);
    layout->addWidget(&maxMin);
    layout->addWidget(&energy);
    holder.show();

    maxMin.SetMode(CMaxMinPage::ModeMaximum);
    EXPECT_EQ(maxMin.GetInstantaneousGrid().Model().ValueCells().size(), 0u);
    maxMin.UpdateValues(block);
    EXPECT_EQ(Cell(maxMin.GetInstantaneousGrid(), 1, 1), block.GetMeasurandText(130));
    EXPECT_EQ(Cell(maxMin.GetInstantaneousGrid(), 7, 3), block.GetMeasurandText(135));
    EXPECT_EQ(Cell(maxMin.GetDemandGrid(), 6, 2), block.GetMeasurandText(174));
    EXPECT_EQ(Cell(maxMin.GetDemandGrid(), 6, 1), QString());
    maxMin.SetMode(CMaxMinPage::ModeMinimum);
    maxMin.UpdateValues(block);
    for (const GridValueCell& cell : maxMin.GetDemandGrid().Model().ValueCells())
        EXPECT_TRUE(cell.text.isEmpty()) << cell.row << "," << cell.column;
    EXPECT_EQ(Cell(maxMin.GetInstantaneousGrid(), 2, 1), block.GetMeasurandText(193));

    energy.SetMode(CEnergyPage::ModeCounter);
    energy.UpdateValues(block);
    EXPECT_EQ(energy.GetFrameText(), QStringLiteral("Counter"));
    EXPECT_EQ(Cell(energy.GetGrid(), 1, 0), QStringLiteral("218000"));
    EXPECT_EQ(Cell(energy.GetGrid(), 3, 3), QStringLiteral("225000"));
    SavePicture(&holder, QStringLiteral("pages-minimum-counter"));
    energy.SetMode(1);
    energy.UpdateValues(block);
    EXPECT_EQ(energy.GetFrameText(), QStringLiteral("Energy"));
    EXPECT_EQ(energy.GetGrid().GetRowCount(), 4u) << "every layout keeps four rows";
    EXPECT_EQ(Cell(energy.GetGrid(), 1, 4), block.GetMeasurandText(46));

    // Enter and Esc on a page are the holding window's: the page stays.
    QKeyEvent enter(QEvent::KeyPress, Qt::Key_Return, Qt::NoModifier);
    QKeyEvent escape(QEvent::KeyPress, Qt::Key_Escape, Qt::NoModifier);
    QCoreApplication::sendEvent(&energy, &enter);
    QCoreApplication::sendEvent(&maxMin, &escape);
    EXPECT_FALSE(energy.isWindow());
    EXPECT_TRUE(energy.isVisible());
    EXPECT_TRUE(maxMin.isVisible());
}

} // namespace
