#include "ControlTestHelpers.h"
#include "controls/CLedIndicator.h"
#include "controls/CListCtrlInfoTip.h"
#include "controls/ColorRef.h"
#include "controls/ToolTipIds.h"

#include <QHeaderView>
#include <QHelpEvent>
#include <QToolTip>

#include <gtest/gtest.h>

TEST(ColorRef, RedIsTheLowByte)
{
    EXPECT_EQ(ColorFromColorref(0xFF6464), QColor(0x64, 0x64, 0xFF)); // light blue, not red
    EXPECT_EQ(ColorFromColorref(0x0000FF), QColor(255, 0, 0));
    EXPECT_EQ(ColorFromColorref(0x3232FF), QColor(255, 50, 50));
    EXPECT_EQ(MakeColorref(0x12, 0x34, 0x56), 0x563412u);
    EXPECT_EQ(ColorrefFromColor(QColor(0x12, 0x34, 0x56)), 0x563412u);
}

TEST(LedIndicator, PaintsTheLargestCentredCircle)
{
    CLedIndicator lamp;
    EXPECT_EQ(lamp.GetColor(), 0u);
    // Before the window shows the colour is only stored.
    lamp.SetColor(0xFF6464);
    EXPECT_EQ(lamp.GetColor(), 0xFF6464u);
    lamp.resize(60, 20);

    QImage image = Grab(&lamp);
    const QRgb face = lamp.palette().color(QPalette::Active, QPalette::Button).rgb();
    EXPECT_EQ(image.pixel(30, 10), qRgb(0x64, 0x64, 0xFF));
    EXPECT_EQ(image.pixel(5, 10), face);  // left of the circle
    EXPECT_EQ(image.pixel(55, 10), face); // right of it
    EXPECT_EQ(image.pixel(21, 1), face);  // a corner of its square
    EXPECT_EQ(image.pixel(36, 10), qRgb(0x64, 0x64, 0xFF));

    lamp.SetColor(0x0000FF);
    image = Grab(&lamp);
    EXPECT_EQ(image.pixel(30, 10), qRgb(255, 0, 0));

    // Taller than wide: the circle has the window's width.
    lamp.resize(16, 40);
    image = Grab(&lamp);
    EXPECT_EQ(image.pixel(8, 20), qRgb(255, 0, 0));
    EXPECT_EQ(image.pixel(8, 3), face);
    EXPECT_EQ(image.pixel(8, 36), face);
}

namespace {

class InfoTipListTest : public ::testing::Test
{
protected:
    void SetUp() override
    {
        list.resize(400, 300);
        list.setColumnCount(3);
        list.setHeaderLabels({"Group", "Name", "Value"});
        for (int i = 0; i < 100; ++i) {
            auto* item = new QTreeWidgetItem(&list);
            item->setText(0, QString("g%1").arg(i));
            item->setText(1, QString("name %1").arg(i));
            item->setText(2, i == 70 ? QString(100, 'v') : QString("value %1").arg(i));
        }
        ASSERT_TRUE(ShowActive(&list));
    }

    QPoint CellCentre(int index, int column)
    {
        return list.visualRect(list.model()->index(index, column)).center();
    }

    CListCtrlInfoTip list;
};

} // namespace

TEST_F(InfoTipListTest, EveryCellHasItsTextFromRowSixtyFourOn)
{
    list.scrollToItem(list.GetItem(70));
    for (int row : {64, 65, 70}) {
        for (int column : {0, 1, 2}) {
            const auto tool = list.OnToolHitTest(CellCentre(row, column));
            ASSERT_TRUE(tool) << row << "," << column;
            EXPECT_EQ(tool->id, MakeToolTipId(static_cast<UINT>(row), static_cast<UINT>(column)));
            EXPECT_GT(tool->id, 65535u);
            EXPECT_EQ(tool->rect, list.visualRect(list.model()->index(row, column)));
            const QString text = list.GetToolTipText(tool->id).value_or("?");
            EXPECT_EQ(text, row == 70 && column == 2 ? QString(79, 'v') : list.GetItemText(row, column));
        }
    }
    EXPECT_FALSE(list.GetToolTipText(0));

    const QPoint point = CellCentre(70, 2);
    QHelpEvent help(QEvent::ToolTip, point, list.viewport()->mapToGlobal(point));
    QApplication::sendEvent(list.viewport(), &help);
    EXPECT_TRUE(QToolTip::isVisible());
    EXPECT_EQ(QToolTip::text(), QString(79, 'v'));
    QToolTip::hideText();
}

TEST_F(InfoTipListTest, NoToolBelowTheLastItemOrOnGroupHeadings)
{
    list.clear();
    auto* first = new QTreeWidgetItem(&list, QStringList{"a0", "b0", "c0"});
    auto* group = new QTreeWidgetItem(&list, QStringList{"Group"});
    CListCtrlInfoTip::MarkGroupHeading(group);
    auto* grouped = new QTreeWidgetItem(group, QStringList{"a1", "b1", "c1"});
    new QTreeWidgetItem(group, QStringList{"a2", "b2", "c2"});
    list.expandAll();

    EXPECT_EQ(list.GetItemCount(), 3);
    EXPECT_EQ(list.GetItemIndex(first), 0);
    EXPECT_EQ(list.GetItemIndex(group), -1);
    EXPECT_EQ(list.GetItemIndex(grouped), 1);
    EXPECT_EQ(list.GetItem(2)->text(1), "b2");
    EXPECT_EQ(list.GetItem(3), nullptr);
    EXPECT_EQ(list.GetItemText(2, 2), "c2");

    const QRect groupRect = list.visualItemRect(group);
    EXPECT_FALSE(list.OnToolHitTest(groupRect.center()));
    const QRect lastRect = list.visualItemRect(list.GetItem(2));
    EXPECT_FALSE(list.OnToolHitTest(QPoint(lastRect.center().x(), lastRect.bottom() + 40)));

    const auto tool = list.OnToolHitTest(list.visualRect(list.indexFromItem(grouped, 2)).center());
    ASSERT_TRUE(tool);
    EXPECT_EQ(tool->id, MakeToolTipId(1, 2));
    EXPECT_EQ(list.GetToolTipText(tool->id), "c1");

    // Right of the last column there is no tool.
    list.header()->setStretchLastSection(false);
    for (int c = 0; c < 3; ++c)
        list.setColumnWidth(c, 50);
    EXPECT_FALSE(list.OnToolHitTest(QPoint(300, lastRect.center().y())));

    QHelpEvent help(QEvent::ToolTip, QPoint(10, lastRect.bottom() + 40), QPoint());
    QApplication::sendEvent(list.viewport(), &help);
    EXPECT_TRUE(QTest::qWaitFor([] { return !QToolTip::isVisible(); }));
}
