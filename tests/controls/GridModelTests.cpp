#include "controls/CGridModel.h"
#include "controls/ToolTipIds.h"

#include <gtest/gtest.h>

namespace {

// Column 0 and row 0 hold headings; (2, 2) is a label inside the grid.
CGridModel MakeModel()
{
    CGridModel model;
    model.SetLayout({{100, 1, 0}, {101, 2, 0}, {102, 3, 0}, {200, 0, 1}, {201, 0, 2}, {202, 0, 3}, {300, 2, 2}}, 50, 0, 0);
    model.SetCellHeight(20);
    return model;
}

} // namespace

TEST(GridModel, LayoutGivesRowsAndColumns)
{
    CGridModel model;
    model.SetLayout({{1, 0, 5}}, 10, 1, 0);
    EXPECT_EQ(model.Rows(), 6u);

    model.SetLayout({}, 10, 0, 0);
    EXPECT_EQ(model.Rows(), 1u);
    EXPECT_EQ(model.Columns(), 0u);

    model.SetLayout({{1, 3, 0}}, 10, 0, 2);
    EXPECT_EQ(model.Columns(), 4u);

    // The fourth argument is a least column count, the third a least last row.
    model.SetLayout({}, 10, 3, 7);
    EXPECT_EQ(model.Rows(), 4u);
    EXPECT_EQ(model.Columns(), 7u);
    EXPECT_EQ(model.CellWidth(), 10u);
}

TEST(GridModel, FirstValueCellWins)
{
    CGridModel model = MakeModel();
    model.AddValueCell(1, 1, "first");
    model.AddValueCell(1, 1, "second");
    ASSERT_NE(model.FindValueText(1, 1), nullptr);
    EXPECT_EQ(*model.FindValueText(1, 1), "first");
    EXPECT_EQ(model.FindValueText(1, 2), nullptr);
    model.ClearValueCells();
    EXPECT_EQ(model.FindValueText(1, 1), nullptr);
}

TEST(GridModel, MovesStopAtBoundsAndSkipLabels)
{
    CGridModel model = MakeModel(); // 4 rows, 4 columns
    model.SetSelection(1, 2);
    EXPECT_TRUE(model.MoveDown()); // (2, 2) is a label: skipped
    EXPECT_EQ(model.SelectedRow(), 3u);
    EXPECT_FALSE(model.MoveDown()); // last row
    EXPECT_EQ(model.SelectedRow(), 3u);
    EXPECT_TRUE(model.MoveUp());
    EXPECT_EQ(model.SelectedRow(), 1u);
    EXPECT_FALSE(model.MoveUp()); // row 0 holds headings
    EXPECT_EQ(model.SelectedRow(), 1u);

    model.SetSelection(2, 1);
    EXPECT_TRUE(model.MoveRight());
    EXPECT_EQ(model.SelectedColumn(), 3u);
    EXPECT_FALSE(model.MoveRight());
    EXPECT_TRUE(model.MoveLeft());
    EXPECT_EQ(model.SelectedColumn(), 1u);
    EXPECT_FALSE(model.MoveLeft()); // column 0 holds headings
    EXPECT_EQ(model.SelectedColumn(), 1u);
}

TEST(GridModel, MoveWithOnlyLabelsAheadStays)
{
    CGridModel model;
    model.SetLayout({{1, 1, 2}, {2, 1, 3}, {3, 2, 1}, {4, 3, 1}}, 10, 0, 0);
    model.SetSelection(1, 1);
    EXPECT_FALSE(model.MoveDown());
    EXPECT_FALSE(model.MoveRight());
    EXPECT_EQ(model.SelectedRow(), 1u);
    EXPECT_EQ(model.SelectedColumn(), 1u);
}

TEST(GridModel, MoveFromPastAShrunkGridStepsInFromTheBound)
{
    CGridModel model;
    model.SetLayout({}, 10, 3, 3); // rows 0..3, columns 0..2
    model.SetSelection(9, 9);
    EXPECT_TRUE(model.MoveUp());
    EXPECT_EQ(model.SelectedRow(), 3u);
    EXPECT_TRUE(model.MoveLeft());
    EXPECT_EQ(model.SelectedColumn(), 2u);

    CGridModel single;
    single.SetLayout({}, 10, 0, 1); // nothing past the headings
    single.SetSelection(5, 5);
    EXPECT_FALSE(single.MoveUp());
    EXPECT_FALSE(single.MoveLeft());
    EXPECT_EQ(single.SelectedRow(), 5u);
}

TEST(GridModel, HitTestsAndSelectableCells)
{
    CGridModel model = MakeModel();
    ASSERT_TRUE(model.CellAt(0, 0));
    EXPECT_EQ(model.CellAt(149, 79)->column, 2u);
    EXPECT_EQ(model.CellAt(149, 79)->row, 3u);
    EXPECT_FALSE(model.CellAt(200, 10)); // past the last column
    EXPECT_FALSE(model.CellAt(10, 80));  // past the last row
    EXPECT_FALSE(model.CellAt(-1, 10));

    EXPECT_TRUE(model.IsSelectable(1, 1));
    EXPECT_FALSE(model.IsSelectable(0, 1));
    EXPECT_FALSE(model.IsSelectable(1, 0));
    EXPECT_FALSE(model.IsSelectable(2, 2)); // label
    EXPECT_FALSE(model.IsSelectable(4, 1));

    // Before the cell height is known, or with a zero width, nothing is hit.
    CGridModel unsized;
    unsized.SetLayout({}, 10, 3, 3);
    EXPECT_FALSE(unsized.CellAt(5, 5));
    EXPECT_FALSE(unsized.ToolAt(5, 5));
    CGridModel narrow;
    narrow.SetLayout({}, 0, 3, 3);
    narrow.SetCellHeight(20);
    EXPECT_FALSE(narrow.CellAt(0, 5));
}

TEST(GridModel, EditTextByStartCharacter)
{
    CGridModel model = MakeModel();
    model.AddValueCell(1, 1, "12.5 V");
    model.SetSelection(1, 1);
    model.PrepareEdit(0);
    EXPECT_EQ(model.EditText(), "12.5 V");
    EXPECT_EQ(model.StartCharacter(), 0u);

    // Without a value cell the previous text stays.
    model.SetSelection(3, 3);
    model.PrepareEdit(0);
    EXPECT_EQ(model.EditText(), "12.5 V");

    model.AddValueCell(3, 3, "7");
    model.PrepareEdit('4');
    EXPECT_EQ(model.EditText(), "12.5 V");
    EXPECT_EQ(model.StartCharacter(), static_cast<std::uint32_t>('4'));
}

TEST(ToolTipIds, RowTimes1024PlusColumnPlusOne)
{
    EXPECT_EQ(MakeToolTipId(0, 0), 1u);
    EXPECT_EQ(MakeToolTipId(2, 3), 2u * 1024 + 3 + 1);
    EXPECT_EQ(MakeToolTipId(5, 1023), 5u * 1024 + 1023 + 1);
    EXPECT_FALSE(ToolTipCellFromId(0));

    // Rows from 64 on give ids above 65535; they resolve all the same.
    for (std::uint32_t row : {0u, 1u, 63u, 64u, 65u, 551u, 4000u}) {
        for (std::uint32_t column : {0u, 1u, 3u, 1023u}) {
            const auto cell = ToolTipCellFromId(MakeToolTipId(row, column));
            ASSERT_TRUE(cell) << row << "," << column;
            EXPECT_EQ(cell->row, row);
            EXPECT_EQ(cell->column, column);
        }
    }
    EXPECT_GT(MakeToolTipId(64, 0), 65535u);
}

TEST(ToolTipIds, TextsCutTo79Characters)
{
    EXPECT_EQ(CutToolTipText(QString(79, 'a')).size(), 79);
    EXPECT_EQ(CutToolTipText(QString(200, 'a')).size(), 79);
    EXPECT_EQ(CutToolTipText("short"), "short");
    // A pair of surrogates at the cut is dropped whole.
    QString text(78, 'a');
    text += QString::fromUcs4(U"\U0001F600xyz");
    EXPECT_EQ(CutToolTipText(text), QString(78, 'a'));
}

TEST(GridModel, ToolsCoverEveryCell)
{
    CGridModel model = MakeModel();
    model.AddValueCell(3, 3, QString(100, 'x'));
    model.AddValueCell(3, 3, "hidden");

    const auto tool = model.ToolAt(160, 65);
    ASSERT_TRUE(tool);
    EXPECT_EQ(tool->id, MakeToolTipId(3, 3));
    EXPECT_EQ(tool->rect, QRect(150, 60, 50, 20));
    EXPECT_EQ(model.ToolTipText(tool->id)->size(), 79);

    // Labels and empty cells have tools too, with an empty text.
    const auto label = model.ToolAt(10, 25);
    ASSERT_TRUE(label);
    EXPECT_EQ(model.ToolTipText(label->id), QString());
    EXPECT_FALSE(model.ToolTipText(0));
    EXPECT_FALSE(model.ToolAt(201, 10));

    // Every point of every cell, corners included, finds that cell's tool.
    ASSERT_EQ(model.Rows(), 4u);
    ASSERT_EQ(model.Columns(), 4u);
    for (std::uint32_t row = 0; row < 4; ++row) {
        for (std::uint32_t column = 0; column < 4; ++column) {
            const QRect cell(50 * static_cast<int>(column), 20 * static_cast<int>(row), 50, 20);
            for (const QPoint& point : {cell.topLeft(), cell.bottomRight()}) {
                const auto found = model.ToolAt(point.x(), point.y());
                ASSERT_TRUE(found) << row << "," << column;
                EXPECT_EQ(found->id, MakeToolTipId(row, column));
                EXPECT_EQ(found->rect, cell);
            }
        }
    }
    EXPECT_FALSE(model.ToolAt(200, 79));
    EXPECT_FALSE(model.ToolAt(199, 80));
}
