#include "ControlTestHelpers.h"
#include "controls/CGraph.h"
#include "controls/ColorRef.h"

#include <gtest/gtest.h>

#include <cmath>

namespace {

int CountColour(const QImage& image, QRgb colour)
{
    int count = 0;
    for (int y = 0; y < image.height(); ++y)
        for (int x = 0; x < image.width(); ++x)
            count += image.pixel(x, y) == colour;
    return count;
}

} // namespace

TEST(GraphBuffer, HalvesItsResolutionWhenFull)
{
    CGraphBuffer buffer;
    EXPECT_EQ(buffer.Buckets().size(), 10000u);
    for (int i = 0; i < 10000; ++i)
        buffer.AddPoint(static_cast<float>(i), static_cast<float>(i % 7));
    EXPECT_EQ(buffer.CurrentBucket(), 9999);
    EXPECT_EQ(buffer.PointsPerBucket(), 1);

    buffer.AddPoint(10000.0f, -1.0f);
    EXPECT_EQ(buffer.Points().size(), 10001u);
    EXPECT_EQ(buffer.CurrentBucket(), 5000);
    EXPECT_EQ(buffer.PointsPerBucket(), 2);
    for (int i = 0; i < 5000; ++i)
        ASSERT_EQ(buffer.Buckets()[static_cast<std::size_t>(i)].count, 2) << i;
    EXPECT_FLOAT_EQ(buffer.Buckets()[0].meanX, 0.5f);
    // Bucket 3 merged the points 6 (y 6) and 7 (y 0).
    EXPECT_FLOAT_EQ(buffer.Buckets()[3].minY, 0.0f);
    EXPECT_FLOAT_EQ(buffer.Buckets()[3].maxY, 6.0f);
    EXPECT_FLOAT_EQ(buffer.Buckets()[3].meanX, 6.5f);
    EXPECT_EQ(buffer.Buckets()[5000].count, 1);
    EXPECT_FLOAT_EQ(buffer.Buckets()[5000].minY, -1.0f);
    EXPECT_EQ(buffer.Buckets()[5001].count, 0);

    // From now on every bucket takes two points.
    buffer.AddPoint(10001.0f, 3.0f);
    EXPECT_EQ(buffer.CurrentBucket(), 5000);
    EXPECT_EQ(buffer.Buckets()[5000].count, 2);
    EXPECT_FLOAT_EQ(buffer.Buckets()[5000].meanX, 10000.5f);
    EXPECT_FLOAT_EQ(buffer.Buckets()[5000].maxY, 3.0f);
    buffer.AddPoint(10002.0f, 0.0f);
    EXPECT_EQ(buffer.CurrentBucket(), 5001);

    buffer.Clear();
    EXPECT_TRUE(buffer.Points().empty());
    EXPECT_EQ(buffer.Buckets().size(), 10000u);
    EXPECT_EQ(buffer.Buckets()[5000].count, 0);
    EXPECT_EQ(buffer.CurrentBucket(), 0);
    EXPECT_EQ(buffer.PointsPerBucket(), 1);
}

TEST(GraphAxes, RangesKeepLeastSpansAndLimits)
{
    GraphRange r = LimitGraphRange({0, 0.0004, 0, 1}, true);
    EXPECT_NEAR(r.xMin, -0.0003, 1e-12);
    EXPECT_NEAR(r.xMax, 0.0007, 1e-12);
    r = LimitGraphRange({0, 0.0004, 0, 1}, false);
    EXPECT_EQ(r.xMin, 0.0);
    EXPECT_NEAR(r.xMax, 0.001, 1e-12);

    r = LimitGraphRange({0, 1, 0.9e6, 1.3e6}, false);
    EXPECT_DOUBLE_EQ(r.yMin, 0.6e6);
    EXPECT_DOUBLE_EQ(r.yMax, 1e6);
    r = LimitGraphRange({0, 1, -2e6, -1.5e6}, false);
    EXPECT_DOUBLE_EQ(r.yMin, -1e6);
    EXPECT_DOUBLE_EQ(r.yMax, -0.5e6);
    r = LimitGraphRange({0, 1, 5, 5}, false);
    EXPECT_NEAR(r.yMax - r.yMin, 0.0001, 1e-12);

    // Wider than the limits: the upper end first, then the lower.
    r = LimitGraphRange({-5e7, 5e7, -3e6, 3e6}, true);
    EXPECT_EQ(r.xMin, -3.6e7);
    EXPECT_EQ(r.xMax, 3.6e7);
    EXPECT_EQ(r.yMin, -1e6);
    EXPECT_EQ(r.yMax, 1e6);
    r = LimitGraphRange({4e7, 5e7, 0, 1}, false);
    EXPECT_EQ(r.xMax, 3.6e7);
    EXPECT_EQ(r.xMin, 2.6e7);
}

TEST(GraphAxes, DecimalsAndFormats)
{
    EXPECT_EQ(DecimalsFromCode(1), 0);
    EXPECT_EQ(DecimalsFromCode(10), 1);
    EXPECT_EQ(DecimalsFromCode(100), 2);
    EXPECT_EQ(DecimalsFromCode(1000), 3);
    EXPECT_EQ(DecimalsFromCode(10000), 4);
    // Codes outside the five stay within 0 to 4 decimals.
    EXPECT_EQ(DecimalsFromCode(0), 0);
    EXPECT_EQ(DecimalsFromCode(-100), 0);
    EXPECT_EQ(DecimalsFromCode(50), 1);
    EXPECT_EQ(DecimalsFromCode(32767), 4);

    EXPECT_EQ(MakeYLabelFormat(2), "%.2lf");
    EXPECT_EQ(MakeXLabelFormat(0, false, 5), "%.0lf");
    EXPECT_EQ(MakeXLabelFormat(2, true, 900), "%d:%02d:%02.0lf");
    EXPECT_EQ(MakeXLabelFormat(2, true, 0.5), "%d:%02d:%05.2lf");
    EXPECT_EQ(MakeXLabelFormat(4, true, -0.5), "%d:%02d:%07.4lf");
}

TEST(GraphAxes, LabelTexts)
{
    EXPECT_EQ(FormatYLabel("%.2lf", -0.001), "0.00");
    EXPECT_EQ(FormatYLabel("%.0lf", -0.2), "0");
    EXPECT_EQ(FormatYLabel("%.2lf", -0.01), "-0.01");
    EXPECT_EQ(FormatYLabel("%.2lf", 12.345), "12.35");
    EXPECT_EQ(FormatXLabel("%.1lf", 2.25, false), "2.2");

    EXPECT_EQ(FormatXLabel("%d:%02d:%02.0lf", 3725, true), "1:02:05");
    EXPECT_EQ(FormatXLabel("%d:%02d:%02.0lf", -3725, true), "-1:02:05");
    EXPECT_EQ(FormatXLabel("%d:%02d:%02.0lf", 3.6e7, true), "10000:00:00");
    EXPECT_EQ(FormatXLabel("%d:%02d:%05.2lf", 61.25, true), "0:01:01.25");
    EXPECT_EQ(FormatXLabel("%d:%02d:%02.0lf", std::nan(""), true), "");
    EXPECT_EQ(FormatXLabel("%d:%02d:%02.0lf", -INFINITY, true), "");
}

TEST(GraphAxes, FiveTicksFromTinyToHugeSpans)
{
    const struct
    {
        double minimum, maximum;
    } spans[] = {{0, 0.001},       {3.6e7 - 0.001, 3.6e7}, {-3.6e7, 3.6e7}, {1e6 - 0.0001, 1e6},
                 {-1e6, -1e6 + 1}, {0.1, 0.1 + 1e-3},      {123.456, 789.0}};
    for (const auto& span : spans) {
        const GraphRange range = LimitGraphRange({span.minimum, span.maximum, span.minimum / 36, span.maximum / 36}, true);
        const double tick = (range.xMax - range.xMin) * 0.25;
        const auto labels = BuildXLabels(range, tick, "%.3lf", false, {});
        ASSERT_EQ(labels.size(), 5u) << span.minimum;
        EXPECT_EQ(labels.front().value, range.xMin);
        EXPECT_NEAR(labels.back().value, range.xMax, std::fabs(tick) * 1e-5);
        for (std::size_t i = 1; i < labels.size(); ++i)
            EXPECT_GT(labels[i].value, labels[i - 1].value);
        const auto yLabels = BuildYLabels(range, (range.yMax - range.yMin) * 0.25, "%.2lf");
        EXPECT_EQ(yLabels.size(), 5u);
    }

    // Custom labels stand at half steps, at most ten of them.
    std::vector<QString> custom;
    for (int i = 0; i < 12; ++i)
        custom.push_back(QString::number(i));
    const auto labels = BuildXLabels({0, 8, 0, 1}, 2, "%.0lf", false, custom);
    ASSERT_EQ(labels.size(), 10u);
    EXPECT_EQ(labels[3].value, 3.0);
    EXPECT_EQ(labels[9].text, "9");
    EXPECT_EQ(BuildXLabels({0, 8, 0, 1}, 2, "%.0lf", false, {"a", "b"}).size(), 2u);
}

TEST(GraphAxes, FarOffValuesStayInPixelRange)
{
    const GraphRect plot{10, 5, 210, 105};
    const GraphRange range{0, 0.001, 0, 0.0001};
    EXPECT_EQ(GraphPixelX(0, range, plot), 10);
    EXPECT_EQ(GraphPixelX(0.001, range, plot), 210);
    EXPECT_EQ(GraphPixelY(0, range, plot), 105);
    EXPECT_EQ(GraphPixelX(3.6e7, range, plot), 10000000);
    EXPECT_EQ(GraphPixelY(-1e6, range, plot), 10000000);
    EXPECT_EQ(GraphPixelX(std::nan(""), range, plot), 0);
}

TEST(Graph, DefaultRangeAndFormatsFollowTheFlags)
{
    CGraph graph;
    EXPECT_EQ(graph.GetDataColor(), QColor(255, 50, 50));
    graph.SetDefaultRange(5, 5, 2, 2);
    EXPECT_DOUBLE_EQ(graph.GetRange().xMin, 5);
    EXPECT_DOUBLE_EQ(graph.GetRange().xMax, 5.1);
    EXPECT_DOUBLE_EQ(graph.GetRange().yMax, 2.1);
    EXPECT_DOUBLE_EQ(graph.GetDefaultRange().xMax, 5.1);
    EXPECT_NEAR(graph.GetXTick(), 0.025, 1e-12);
    EXPECT_EQ(graph.GetYLabelFormat(), "%.2lf");

    graph.SetTimeAxis(true);
    graph.SetDecimalsCode(1000);
    graph.SetRange(0, 3600, -1, 1);
    EXPECT_EQ(graph.GetXTick(), 900);
    EXPECT_EQ(graph.GetXLabelFormat(), "%d:%02d:%02.0lf");
    EXPECT_EQ(graph.GetYLabelFormat(), "%.3lf");
    EXPECT_EQ(graph.XLabels()[1].text, "0:15:00");
    EXPECT_EQ(graph.YLabels()[2].text, "0.000");
}

TEST(Graph, BucketModeDrawsNothingForASingleBucket)
{
    CGraph graph;
    graph.resize(300, 200);
    graph.ClearData();
    graph.SetDefaultRange(0, 10, 0, 10);
    graph.AddPoint(5, 5);
    const QRgb data = graph.GetDataColor().rgb();
    EXPECT_EQ(CountColour(Grab(&graph), data), 0);

    graph.AddPoint(6, 6);
    graph.AddPoint(7, 2);
    EXPECT_GT(CountColour(Grab(&graph), data), 0);

    // Room at the edges for the halves of the end labels.
    const GraphRect plot = graph.GetPlotRect();
    EXPECT_GT(plot.left, 0);
    EXPECT_LT(plot.bottom, 200);
    EXPECT_LT(plot.right, 300);
    EXPECT_GT(plot.top, 0);
}

TEST(Graph, LabelsStayInsideTheWindow)
{
    // A time axis without margins, and an output characteristic with them.
    CGraph timeAxis;
    timeAxis.SetMode(CGraph::PointMode);
    timeAxis.SetTimeAxis(true);
    timeAxis.SetDecimalsCode(10);
    timeAxis.SetDefaultRange(0, 7200, -1.5, 1.5);
    CGraph output;
    output.SetMargins(true);
    output.SetNegativeX(true);
    output.SetTopLeftTitle("mA");
    output.SetDefaultRange(-100, 100, 4, 20);
    CGraph custom;
    custom.SetNegativeX(true);
    custom.SetDefaultRange(-1000, 1000, -20, 20);
    custom.SetCustomXLabels({"-1000.0", "-750.0", "-500.0", "-250.0", "0.0", "250.0", "500.0", "750.0", "1000.0"});
    for (CGraph* graph : {&timeAxis, &output, &custom}) {
        for (const QSize size : {QSize(400, 280), QSize(240, 120)}) {
            graph->resize(size);
            const GraphLayout layout = graph->LayOut(GraphRect{0, 0, size.width(), size.height()});
            EXPECT_EQ(layout.yLabels.size(), 5u);
            EXPECT_EQ(layout.xLabels.size(), graph == &custom ? 9u : 5u);
            for (const std::vector<GraphLabelPlace>* labels : {&layout.yLabels, &layout.xLabels}) {
                for (const GraphLabelPlace& label : *labels)
                    EXPECT_TRUE(graph->rect().contains(label.rect))
                        << label.text.toStdString() << " in " << size.width();
            }
            Grab(graph);
            EXPECT_EQ(graph->GetPlotRect().right, layout.plot.right) << "drawn as laid out";
        }
    }
}

TEST(Graph, PaintEndsAtTheLimitsOfTheRange)
{
    // The tick loop counts; a range at 3.6e7 with the least span paints.
    CGraph graph;
    graph.resize(300, 200);
    graph.SetMode(CGraph::PointMode);
    graph.SetNegativeX(true);
    graph.SetMargins(true);
    graph.SetDecimalsCode(10000);
    graph.SetRange(3.6e7 - 0.0005, 3.6e7, 1e6 - 0.00001, 1e6);
    graph.AddPoint(3.6e7f, 1e6f);
    graph.AddPoint(-3.6e7f, -1e6f);
    const QImage image = Grab(&graph);
    EXPECT_EQ(image.size(), QSize(300, 200));
    EXPECT_EQ(graph.XLabels().size(), 5u);
    EXPECT_NEAR(graph.GetRange().xMax - graph.GetRange().xMin, 0.001, 1e-6);
}

TEST(Graph, PointModeZoomsAndPansWithTheMouse)
{
    CGraph graph;
    graph.resize(400, 300);
    graph.SetMode(CGraph::PointMode);
    graph.SetNegativeX(true);
    graph.SetDefaultRange(-100, 100, -50, 50);
    for (int i = -100; i <= 100; ++i)
        graph.AddPoint(static_cast<float>(i), static_cast<float>(i) / 2);
    ASSERT_TRUE(ShowActive(&graph));
    Grab(&graph);
    const GraphRect plot = graph.GetPlotRect();
    const QPoint centre((plot.left + plot.right) / 2, (plot.top + plot.bottom) / 2);

    QTest::mouseDClick(&graph, Qt::LeftButton, {}, centre);
    EXPECT_DOUBLE_EQ(graph.GetRange().xMin, -50);
    EXPECT_DOUBLE_EQ(graph.GetRange().xMax, 50);
    EXPECT_DOUBLE_EQ(graph.GetRange().yMin, -25);
    QTest::mouseDClick(&graph, Qt::RightButton, {}, centre);
    EXPECT_DOUBLE_EQ(graph.GetRange().xMin, -75);
    EXPECT_DOUBLE_EQ(graph.GetRange().xMax, 75);
    graph.SetRange(-100, 100, -50, 50);
    Grab(&graph);

    // Pan: the value under the mouse follows it; the spans stay.
    const double unitsPerPixel = 200.0 / (plot.right - plot.left);
    QTest::mousePress(&graph, Qt::LeftButton, {}, centre);
    QTest::mouseMove(&graph, centre + QPoint(40, 0));
    QTest::mouseRelease(&graph, Qt::LeftButton, {}, centre + QPoint(40, 0));
    EXPECT_NEAR(graph.GetRange().xMin, -100 - 40 * unitsPerPixel, 1e-9);
    EXPECT_NEAR(graph.GetRange().xMax - graph.GetRange().xMin, 200, 1e-9);
    EXPECT_NEAR(graph.GetRange().yMin, -50, 1e-9);

    // A right-button box becomes the range.
    graph.SetRange(-100, 100, -50, 50);
    Grab(&graph);
    const QPoint a(plot.left, plot.top);
    const QPoint b((plot.left + plot.right) / 2, (plot.top + plot.bottom) / 2);
    QTest::mousePress(&graph, Qt::RightButton, {}, b);
    QTest::mouseMove(&graph, a);
    QTest::mouseRelease(&graph, Qt::RightButton, {}, a);
    EXPECT_NEAR(graph.GetRange().xMin, -100, 1e-9);
    EXPECT_NEAR(graph.GetRange().xMax, 0, 200.0 / (plot.right - plot.left));
    EXPECT_NEAR(graph.GetRange().yMax, 50, 1e-9);
    EXPECT_NEAR(graph.GetRange().yMin, 0, 100.0 / (plot.bottom - plot.top));

    // A box without width changes nothing.
    const GraphRange before = graph.GetRange();
    QTest::mousePress(&graph, Qt::RightButton, {}, b);
    QTest::mouseRelease(&graph, Qt::RightButton, {}, b + QPoint(0, 10));
    EXPECT_EQ(graph.GetRange().xMin, before.xMin);

    // Bucket mode leaves the mouse alone.
    graph.SetMode(CGraph::BucketMode);
    QTest::mouseDClick(&graph, Qt::LeftButton, {}, centre);
    EXPECT_EQ(graph.GetRange().xMin, before.xMin);
}
