// The report list: rows and groups, states and the count of differences, the
// removal of rows that apply to neither set, and the cell colours.
#include "app/CCompareList.h"
#include "controls/CGridModel.h"
#include "foundation/Globals.h"
#include "params/CParameterEnumerationInterface.h"
#include "params/CSettings.h"

#include <QHeaderView>
#include <QImage>
#include <QPainter>

#include <gtest/gtest.h>

#include <string>
#include <utility>

namespace {

constexpr int kCt1 = 32;
constexpr int kCt2 = 33;

class UngroupedCompareList : public CCompareList
{
protected:
    bool UseGroups() const override { return false; }
};

// The row of parameter n: its place in the catalogue walk.
int RowOf(int parameter)
{
    const CParameterEnumerationInterface catalogue;
    int row = 0;
    for (int n = 0; n >= 0; n = catalogue.NextIndex(n), ++row) {
        if (n == parameter)
            return row;
    }
    return -1;
}

int CatalogueSize()
{
    const CParameterEnumerationInterface catalogue;
    int count = 0;
    for (int n = 0; n >= 0; n = catalogue.NextIndex(n))
        ++count;
    return count;
}

// The first and last pixel column inside the area that is not the background; -1 when none.
std::pair<int, int> InkColumns(const QImage& image, const QRect& area, const QColor& background)
{
    int first = -1;
    int last = -1;
    for (int x = area.left(); x <= area.right(); ++x) {
        for (int y = area.top(); y <= area.bottom(); ++y) {
            if (image.pixelColor(x, y) != background) {
                first = first < 0 ? x : first;
                last = x;
                break;
            }
        }
    }
    return {first, last};
}

class CompareListTest : public ::testing::Test
{
protected:
    void SetUp() override { g_resourceDatabase.LoadLanguageFile(QStringLiteral("English.lng")); }
};

} // namespace

TEST_F(CompareListTest, GroupedRowsFollowTheCatalogueUnderTheirGroupHeadings)
{
    CCompareList list;
    list.SetupColumns();
    ASSERT_TRUE(list.IsGrouped());
    ASSERT_EQ(list.columnCount(), 3);
    EXPECT_EQ(list.headerItem()->text(0), QStringLiteral("Name"));
    EXPECT_EQ(list.headerItem()->text(1), QStringLiteral("PC"));
    EXPECT_EQ(list.headerItem()->text(2), QString());
    EXPECT_GE(list.columnWidth(0), 220);

    const CParameterEnumerationInterface catalogue;
    ASSERT_EQ(list.GetItemCount(), CatalogueSize());
    EXPECT_EQ(list.GetItemText(RowOf(kCt1), 0), catalogue.GetParameterName(kCt1));
    // One heading per run of equal group texts, in order.
    int headings = 0;
    QString previous;
    for (int n = 0; n >= 0; n = catalogue.NextIndex(n)) {
        if (catalogue.GetGroupName(n) != previous) {
            previous = catalogue.GetGroupName(n);
            ASSERT_LT(headings, list.topLevelItemCount());
            EXPECT_TRUE(CListCtrlInfoTip::IsGroupHeading(list.topLevelItem(headings)));
            EXPECT_EQ(list.topLevelItem(headings)->text(0), previous);
            ++headings;
        }
    }
    EXPECT_EQ(list.topLevelItemCount(), headings);
}

TEST_F(CompareListTest, NothingComparedGivesApplicabilityStatesOnlyAndNoCount)
{
    CCompareList list;
    list.SetupColumns();
    const CSettings reference;
    CSettings other;
    other.SetWord(kCt1, static_cast<std::uint16_t>(reference.GetWord(kCt1) + 3));
    list.Fill(reference, other, false);
    EXPECT_EQ(list.GetDifferenceCount(), 0u);
    EXPECT_EQ(list.GetFirstDifferenceRow(), -1);
    const CParameterEnumerationInterface catalogue;
    int row = 0;
    for (int n = 0; n >= 0; n = catalogue.NextIndex(n), ++row) {
        EXPECT_EQ(list.GetItemData(row) & 0xFFFF, static_cast<std::uint32_t>(catalogue.GetApplicability(n, reference)));
        EXPECT_EQ(list.GetItemText(row, list.GetComparedColumn()), QString());
    }
    EXPECT_EQ(list.GetItemText(RowOf(kCt1), list.GetReferenceColumn()), catalogue.GetValueText(kCt1, reference));
}

TEST_F(CompareListTest, DifferencesAreCountedAndTheFirstIsScrolledTo)
{
    CCompareList list;
    list.SetTitle(QStringLiteral("Device"));
    list.SetupColumns();
    EXPECT_EQ(list.headerItem()->text(2), QStringLiteral("Device"));
    const CSettings reference;
    CSettings compared;
    compared.SetWord(kCt2, static_cast<std::uint16_t>(reference.GetWord(kCt2) + 1));
    compared.SetWord(kCt1, static_cast<std::uint16_t>(reference.GetWord(kCt1) + 1));
    list.Fill(reference, compared, true);
    EXPECT_EQ(list.GetDifferenceCount(), 2u);
    EXPECT_EQ(list.GetFirstDifferenceRow(), RowOf(kCt1));
    EXPECT_EQ(list.GetItemData(RowOf(kCt1)) & 0xFFFF, 1u);
    EXPECT_EQ(list.GetItemData(RowOf(kCt2)) & 0xFFFF, 1u);
    // The group key counts the groups from 1.
    EXPECT_EQ(list.GetItemData(0) >> 16, 1u);
    const CParameterEnumerationInterface catalogue;
    EXPECT_EQ(list.GetItemText(RowOf(kCt1), 2), catalogue.GetValueText(kCt1, compared));
}

TEST_F(CompareListTest, RowsApplyingToNeitherSetAreRemovedAndOneSidedRowsStay)
{
    const CParameterEnumerationInterface catalogue;
    // The supported types differ only in rows the catalogue shares, so the
    // compared set is of a unit type that nothing applies to.
    const CSettings reference;
    CSettings compared;
    compared.m_deviceType = CDeviceType();
    int oneSided = -1;
    int neither = -1;
    for (int n = 0; n >= 0; n = catalogue.NextIndex(n)) {
        const bool inReference = catalogue.GetApplicability(n, reference) == 0;
        ASSERT_NE(catalogue.GetApplicability(n, compared), 0);
        if (inReference && oneSided < 0)
            oneSided = n;
        if (!inReference && neither < 0)
            neither = n;
    }
    ASSERT_GE(oneSided, 0);
    ASSERT_GE(neither, 0);

    CCompareList list;
    list.SetupColumns();
    list.Fill(reference, compared, true);
    const int before = list.GetItemCount();
    const QString oneSidedName = list.GetItemText(RowOf(oneSided), 0);
    EXPECT_EQ(list.GetItemData(RowOf(oneSided)) & 0xFFFF, 2u);
    list.RemoveEmptyRows();
    EXPECT_LT(list.GetItemCount(), before);
    bool keptOneSided = false;
    for (int r = 0; r < list.GetItemCount(); ++r) {
        const std::uint32_t state = list.GetItemData(r) & 0xFFFF;
        const bool bothEmpty = list.GetItemText(r, 1).isEmpty() && list.GetItemText(r, 2).isEmpty();
        EXPECT_FALSE(state == 2 && bothEmpty) << "row " << r << " applies to neither set";
        if (list.GetItem(r)->text(0) == oneSidedName && state == 2)
            keptOneSided = true;
    }
    EXPECT_TRUE(keptOneSided);
    // No heading stays without rows.
    for (int i = 0; i < list.topLevelItemCount(); ++i) {
        const QTreeWidgetItem* top = list.topLevelItem(i);
        EXPECT_FALSE(CListCtrlInfoTip::IsGroupHeading(top) && top->childCount() == 0);
    }
}

TEST_F(CompareListTest, GroupedCellColoursFollowStateAndRowNumber)
{
    CCompareList list;
    list.SetupColumns();
    const CSettings reference;
    CSettings compared;
    compared.SetWord(kCt1, static_cast<std::uint16_t>(reference.GetWord(kCt1) + 1));
    list.Fill(reference, compared, true);

    const QColor window = list.palette().color(QPalette::Active, QPalette::Base);
    const QColor text = list.palette().color(QPalette::Active, QPalette::Text);
    const QColor gray = list.palette().color(QPalette::Disabled, QPalette::Text);
    const QColor pink(255, 150, 150);
    const int diff = RowOf(kCt1);
    for (int column = 0; column < 3; ++column)
        EXPECT_EQ(list.GetCellColors(diff, column), std::make_pair(text, pink));

    for (int r = 0; r < list.GetItemCount(); ++r) {
        const std::uint32_t state = list.GetItemData(r) & 0xFFFF;
        if (state == 1)
            continue;
        const QColor expectedText = state == 2 ? gray : text;
        const bool odd = (r & 1) != 0;
        EXPECT_EQ(list.GetCellColors(r, 0), std::make_pair(expectedText, CCompareList::AdjustColor(window, odd ? 0.1 : 0.05)));
        EXPECT_EQ(list.GetCellColors(r, 1), std::make_pair(expectedText, odd ? CCompareList::AdjustColor(window, 0.05) : window));
        EXPECT_EQ(list.GetCellColors(r, 2), list.GetCellColors(r, 1));
    }
}

TEST_F(CompareListTest, UngroupedListShadesByGroupOrdinalStartingWithOne)
{
    UngroupedCompareList list;
    list.SetupColumns();
    ASSERT_FALSE(list.IsGrouped());
    ASSERT_EQ(list.columnCount(), 4);
    EXPECT_EQ(list.headerItem()->text(0), QStringLiteral("Group"));
    EXPECT_EQ(list.GetReferenceColumn(), 2);
    const CSettings reference;
    list.Fill(reference, reference, false);

    const QColor window = list.palette().color(QPalette::Active, QPalette::Base);
    const QColor gray = list.palette().color(QPalette::Disabled, QPalette::Text);
    const QColor button = list.palette().color(QPalette::Active, QPalette::Button);
    EXPECT_EQ(list.GetItemData(0) >> 16, 1u);
    EXPECT_EQ(list.GetCellColors(0, 0).second, CCompareList::AdjustColor(window, 0.1));
    EXPECT_EQ(list.GetCellColors(0, 1).second, CCompareList::AdjustColor(window, 0.05));
    int second = 0;
    while (second < list.GetItemCount() && (list.GetItemData(second) >> 16) == 1)
        ++second;
    ASSERT_LT(second, list.GetItemCount());
    EXPECT_EQ(list.GetCellColors(second, 0).second, CCompareList::AdjustColor(window, 0.05));
    EXPECT_EQ(list.GetCellColors(second, 1).second, CCompareList::AdjustColor(window, 0.1));
    for (int r = 0; r < list.GetItemCount(); ++r) {
        if ((list.GetItemData(r) & 0xFFFF) == 2) {
            EXPECT_EQ(list.GetCellColors(r, 2), std::make_pair(gray, button));
        }
    }
}

TEST_F(CompareListTest, EachColumnsWidestTextStaysInsideTheGridsRoomOnBothSides)
{
    CCompareList list;
    list.SetTitle(QStringLiteral("Device"));
    list.SetupColumns();
    const CSettings reference;
    list.Fill(reference, reference, true);
    // No wider than the columns need: the value columns take no more than their texts.
    list.resize(list.GetFittingWidth(), 300);
    list.show();
    const QFontMetrics metrics(list.font());
    for (int column = 0; column < list.columnCount(); ++column) {
        int widest = 0;
        for (int row = 1; row < list.GetItemCount(); ++row) {
            if (metrics.horizontalAdvance(list.GetItemText(row, column))
                > metrics.horizontalAdvance(list.GetItemText(widest, column)))
                widest = row;
        }
        QTreeWidgetItem* item = list.GetItem(widest);
        list.scrollToItem(item);
        const int indent = column == 0 ? list.indentation() : 0;
        const QRect row = list.visualItemRect(item);
        const QRect cell(list.columnViewportPosition(column) + indent, row.top(), list.columnWidth(column) - indent,
                         row.height());
        const auto [text, background] = list.GetCellColors(widest, column);
        // The text alone, drawn in the cell less the grids' room on both sides.
        QImage alone(cell.size(), QImage::Format_RGB32);
        alone.fill(background);
        QPainter painter(&alone);
        painter.setFont(list.font());
        painter.setPen(text);
        painter.drawText(alone.rect().adjusted(CGridModel::kTextRoom, 0, -CGridModel::kTextRoom, 0),
                         item->textAlignment(column) | Qt::AlignVCenter, item->text(column));
        painter.end();

        const auto [shownLeft, shownRight] = InkColumns(list.viewport()->grab().toImage(), cell, background);
        const auto [roomLeft, roomRight] = InkColumns(alone, alone.rect(), background);
        const std::string name = item->text(column).toStdString();
        ASSERT_GE(roomLeft, 0) << name;
        EXPECT_GE(shownLeft - cell.left(), roomLeft) << name;
        EXPECT_LE(shownRight - cell.left(), roomRight) << name;
    }
}

TEST(AdjustColorTest, LightColoursDarkenAndDarkColoursLightenWithinRange)
{
    EXPECT_EQ(CCompareList::AdjustColor(QColor(255, 255, 255), 0.05), QColor(242, 242, 242));
    EXPECT_EQ(CCompareList::AdjustColor(QColor(255, 255, 255), 0.1), QColor(229, 229, 229));
    EXPECT_EQ(CCompareList::AdjustColor(QColor(50, 60, 70), 0.1), QColor(55, 66, 77));
    // A dark colour (sum below 384) never goes above 255 per channel.
    EXPECT_EQ(CCompareList::AdjustColor(QColor(250, 100, 20), 0.1), QColor(255, 110, 22));
    EXPECT_EQ(CCompareList::AdjustColor(QColor(128, 128, 128), 0.1), QColor(115, 115, 115));
}
