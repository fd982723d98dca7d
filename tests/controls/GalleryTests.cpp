// Shows each control with sample data, checks what the picture shows (its
// size, colours at known places) and keeps it under the build folder
// (gallery/) for a person to look at.
#include "ControlTestHelpers.h"
#include "controls/CDataGridView.h"
#include "controls/CGraph.h"
#include "controls/CLedIndicator.h"
#include "controls/CListCtrlInfoTip.h"
#include "controls/CParEdit.h"
#include "controls/ColorRef.h"

#include <QCoreApplication>
#include <QDir>
#include <QHBoxLayout>
#include <QLabel>
#include <QVBoxLayout>

#include <gtest/gtest.h>

#include <cmath>
#include <map>

namespace {

QString GalleryPath(const QString& name)
{
    // The test programs run from build/bin.
    const QString folder = QDir(QCoreApplication::applicationDirPath() + "/../gallery").absolutePath();
    QDir().mkpath(folder);
    return folder + "/" + name;
}

// The window's picture, also kept under gallery/.
QImage Picture(QWidget* widget, const QString& name)
{
    const QImage image = Grab(widget);
    EXPECT_EQ(image.size(), widget->size());
    const QString path = GalleryPath(name);
    EXPECT_TRUE(image.save(path)) << path.toStdString();
    return image;
}

// How many pixels in area have that colour.
int CountColour(const QImage& image, const QRect& area, QRgb colour)
{
    int count = 0;
    for (int y = area.top(); y <= area.bottom(); ++y)
        for (int x = area.left(); x <= area.right(); ++x)
            count += image.pixel(x, y) == colour ? 1 : 0;
    return count;
}

const std::map<UINT, QString> kLabels = {
    {1, "Sigma"},   {2, "1-N"},          {3, "2-N"},       {4, "3-N"},      {10, "Voltage"}, {11, "Current"},
    {12, "Active power"}, {13, "Power factor"}, {14, "@$Frequency"}, {15, "!"}, {16, "$Tall"}, {17, "@Wide label"},
};

CDataGridView* MakeSampleGrid(QWidget* parent)
{
    auto* grid = new CDataGridView(parent);
    grid->SetLabelTextSource([](UINT id) { return kLabels.count(id) ? kLabels.at(id) : QString(); });
    grid->SetLayout({{1, 1, 0}, {2, 2, 0}, {3, 3, 0}, {4, 4, 0}, {10, 0, 1}, {11, 0, 2}, {12, 0, 3}, {13, 0, 4},
                     {14, 0, 5}, {15, 2, 5}, {16, 4, 5}, {17, 0, 7}},
                    95, 7, 5);
    const char* values[4][4] = {{"", "230.12 V", "229.87 V", "231.40 V"},
                                {"12.345 A", "4.112 A", "4.101 A", "4.132 A"},
                                {"2.8312 kW", "0.9431 kW", "0.9402 kW", "0.9479 kW"},
                                {"0.98 lag", "0.97 lag", "0.99 lag", "a value far too long for its cell"}};
    for (UINT row = 0; row < 4; ++row)
        for (UINT column = 0; column < 4; ++column)
            grid->AddValueCell(column + 1, row + 1, values[row][column]);
    grid->AddValueCell(3, 5, "50.01 Hz");
    grid->AddValueCell(2, 7, "on a wide label");
    return grid;
}

} // namespace

TEST(Gallery, Grid)
{
    QWidget window;
    window.resize(520, 240);
    CDataGridView* grid = MakeSampleGrid(&window);
    grid->move(8, 8);
    grid->SetSelectionEnabled(true);
    grid->SetSelectedCell(2, 3);
    ASSERT_TRUE(ShowActive(&window));
    grid->setFocus();
    const QPoint origin = grid->pos();
    // The selected cell is filled with the highlight, an empty value cell is white.
    const QPoint selected = origin + grid->Model().InnerCellRect(grid->Model().SelectedRow(), grid->Model().SelectedColumn()).topLeft() + QPoint(2, 2);
    const QPoint empty = origin + grid->Model().InnerCellRect(1, 1).center();
    QImage image = Picture(&window, "grid.png");
    EXPECT_EQ(image.pixel(selected), Rgb(grid->palette().color(QPalette::Highlight)));
    EXPECT_EQ(image.pixel(empty), Rgb(Qt::white));

    grid->setEnabled(false);
    image = Picture(&window, "grid-disabled.png");
    EXPECT_EQ(image.pixel(empty), Rgb(grid->palette().color(QPalette::Button)));
}

TEST(Gallery, GridWithEditors)
{
    QWidget window;
    window.resize(520, 240);
    CDataGridView* grid = MakeSampleGrid(&window);
    grid->move(8, 8);
    CParEdit host;
    host.CreateEditors(grid);
    ASSERT_TRUE(ShowActive(&window));

    CEditText* edit = host.GetEditBox();
    edit->setGeometry(grid->Model().CellRect(2, 2).adjusted(1, 1, 0, 0));
    edit->setText("4.112");
    edit->selectAll();
    edit->show();
    CEditComboBox* combo = host.GetComboBox();
    combo->addItems({"Off", "Low", "High"});
    combo->setCurrentIndex(1);
    combo->setGeometry(grid->Model().CellRect(3, 4));
    combo->show();
    edit->setFocus();
    const QImage image = Picture(&window, "grid-editors.png");
    // The edit box has no frame of its own, the cell's lines are its border:
    // its outermost pixels are its base.
    const QRgb base = Rgb(edit->palette().color(QPalette::Base));
    for (const QPoint& edge : {QPoint(edit->width() - 1, edit->height() / 2), QPoint(edit->width() - 4, 0),
                               QPoint(edit->width() - 4, edit->height() - 1)})
        EXPECT_EQ(image.pixel(edit->mapTo(&window, edge)), base) << edge.x() << "," << edge.y();
}

TEST(Gallery, Graphs)
{
    QWidget window;
    window.resize(820, 300);
    auto* layout = new QHBoxLayout(&window);

    // An output characteristic, as the analog-output dialog shows it.
    auto* buckets = new CGraph;
    buckets->SetMargins(true);
    buckets->SetNegativeX(true);
    buckets->SetDecimalsCode(100);
    buckets->SetTopLeftTitle("mA");
    buckets->SetBottomRightTitle("(A)");
    buckets->ClearData();
    buckets->SetDefaultRange(-100, 100, 4, 20);
    for (int i = -100; i <= 100; ++i)
        buckets->AddPoint(static_cast<float>(i), static_cast<float>(12 + 8 * i / 100.0));
    buckets->SetCustomXLabels({});
    layout->addWidget(buckets);

    // A long series in point mode with a time axis.
    auto* points = new CGraph;
    points->SetMode(CGraph::PointMode);
    points->SetTimeAxis(true);
    points->SetDecimalsCode(10);
    points->ClearData();
    points->SetDefaultRange(0, 7200, -1.5, 1.5);
    for (int i = 0; i <= 7200; i += 5)
        points->AddPoint(static_cast<float>(i), static_cast<float>(std::sin(i / 600.0) + 0.2 * std::sin(i / 37.0)));
    layout->addWidget(points);

    ASSERT_TRUE(ShowActive(&window));
    const QImage image = Picture(&window, "graphs.png");
    // Both curves are drawn in the data colour inside their own graph.
    const QRgb data = Rgb(ColorFromColorref(0x3232FF));
    EXPECT_GT(CountColour(image, buckets->geometry(), data), 50);
    EXPECT_GT(CountColour(image, points->geometry(), data), 50);
}

TEST(Gallery, LampsAndList)
{
    QWidget window;
    window.resize(460, 260);
    auto* column = new QVBoxLayout(&window);
    auto* lamps = new QHBoxLayout;
    for (COLORREF colour : {COLORREF{0xFF6464}, COLORREF{0x0000FF}, COLORREF{0}}) {
        auto* lamp = new CLedIndicator;
        lamp->setFixedSize(40, 24);
        lamp->SetColor(colour);
        lamps->addWidget(lamp);
    }
    lamps->addStretch();
    column->addLayout(lamps);

    auto* list = new CListCtrlInfoTip;
    list->setColumnCount(3);
    list->setHeaderLabels({"Name", "PC", "Device"});
    auto* group = new QTreeWidgetItem(list, QStringList{"Communication"});
    CListCtrlInfoTip::MarkGroupHeading(group);
    new QTreeWidgetItem(group, QStringList{"Unit address", "1", "1"});
    new QTreeWidgetItem(group, QStringList{"Baud rate", "19200", "9600"});
    auto* second = new QTreeWidgetItem(list, QStringList{"Analog output"});
    CListCtrlInfoTip::MarkGroupHeading(second);
    new QTreeWidgetItem(second, QStringList{"A long parameter name cut off by its narrow column", "4-20 mA", "0-20 mA"});
    list->expandAll();
    list->setIndentation(0);
    group->setFirstColumnSpanned(true);
    second->setFirstColumnSpanned(true);
    column->addWidget(list);

    ASSERT_TRUE(ShowActive(&window));
    const QImage image = Picture(&window, "lamps-list.png");
    // The first lamp's middle shows its colour.
    const QWidget* first = lamps->itemAt(0)->widget();
    EXPECT_EQ(image.pixel(first->geometry().center()), Rgb(ColorFromColorref(0xFF6464)));
}
