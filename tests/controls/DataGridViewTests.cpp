#include "ControlTestHelpers.h"
#include "controls/CDataGridView.h"
#include "controls/ToolTipIds.h"

#include <QKeyEvent>
#include <QHelpEvent>
#include <QToolTip>

#include <gtest/gtest.h>

#include <map>
#include <memory>

namespace {

constexpr UINT kWidth = 60;

// A window that records the keys the grid leaves to it.
class HostWindow : public QWidget
{
public:
    std::vector<int> keys;

protected:
    void keyPressEvent(QKeyEvent* event) override
    {
        if (event->key() != Qt::Key_Control)
            keys.push_back(event->key());
    }
};

class DataGridViewTest : public ::testing::Test
{
protected:
    void SetUp() override
    {
        window = std::make_unique<HostWindow>();
        window->resize(400, 300);
        grid = new CDataGridView(window.get());
        grid->move(10, 10);
        grid->SetLabelTextSource([this](UINT id) { return labels.count(id) ? labels.at(id) : QString(); });
        // Headings in row 0 and column 0, a label at (2, 2), four rows and columns.
        grid->SetLayout({{1, 1, 0}, {2, 2, 0}, {3, 3, 0}, {4, 0, 1}, {5, 0, 2}, {6, 0, 3}, {7, 2, 2}}, kWidth, 0, 0);
        grid->AddValueCell(1, 1, "11");
        grid->AddValueCell(2, 1, "21");
        grid->AddValueCell(1, 2, "12 V");
        grid->AddObserver(&observer);
        observer.onUpdate = [this](CObservable*) {
            seen.push_back({grid->GetSelectedRow(), grid->GetSelectedColumn(), grid->GetEditText(),
                            grid->GetStartCharacter()});
        };
    }

    QPoint CellCentre(UINT row, UINT column) const
    {
        return QPoint(static_cast<int>(column * grid->GetCellWidth() + grid->GetCellWidth() / 2),
                      static_cast<int>(row * grid->GetCellHeight() + grid->GetCellHeight() / 2));
    }
    // A pixel near the top left of a cell, away from any right-aligned text.
    QPoint CellCorner(UINT row, UINT column) const
    {
        return QPoint(static_cast<int>(column * grid->GetCellWidth() + 3),
                      static_cast<int>(row * grid->GetCellHeight() + 3));
    }

    struct Seen
    {
        UINT row;
        UINT column;
        QString editText;
        UINT start;
    };

    std::map<UINT, QString> labels;
    std::unique_ptr<HostWindow> window;
    CDataGridView* grid = nullptr;
    RecordingObserver observer;
    std::vector<Seen> seen;
};

} // namespace

TEST_F(DataGridViewTest, TakesItsSizeFromTheLayoutAtOnce)
{
    // Known before any paint, so that clicks and editors placed early see the cells.
    ASSERT_GT(grid->GetCellHeight(), 2u);
    EXPECT_EQ(grid->size(), QSize(4 * kWidth + 1, static_cast<int>(4 * grid->GetCellHeight() + 1)));
    EXPECT_EQ(grid->sizeHint(), grid->size());
    EXPECT_EQ(grid->GetColumnCount(), 4u);
    EXPECT_EQ(grid->GetRowCount(), 4u);
    EXPECT_EQ(grid->GetCellHeight(), static_cast<UINT>(QFontMetrics(grid->font()).height() + 2));

    // The dialog font given after the layout resizes the cells.
    QFont font = window->font();
    font.setPointSize(font.pointSize() * 2);
    window->setFont(font);
    EXPECT_EQ(grid->GetCellHeight(), static_cast<UINT>(QFontMetrics(font).height() + 2));
    EXPECT_EQ(grid->height(), static_cast<int>(4 * grid->GetCellHeight() + 1));
}

TEST_F(DataGridViewTest, KeysMoveAndStartEdits)
{
    ASSERT_TRUE(ShowActive(window.get()));
    grid->setFocus();
    ASSERT_TRUE(grid->hasFocus());
    EXPECT_EQ(grid->GetSelectedRow(), 1u);
    EXPECT_EQ(grid->GetSelectedColumn(), 1u);

    // Moves neither edit nor notify; they work without selection enabled.
    QTest::keyClick(grid, Qt::Key_Right);
    EXPECT_EQ(grid->GetSelectedColumn(), 2u);
    QTest::keyClick(grid, Qt::Key_Down); // (2, 2) is a label
    EXPECT_EQ(grid->GetSelectedRow(), 3u);
    QTest::keyClick(grid, Qt::Key_Down);
    EXPECT_EQ(grid->GetSelectedRow(), 3u);
    QTest::keyClick(grid, Qt::Key_Up);
    QTest::keyClick(grid, Qt::Key_Left);
    EXPECT_EQ(grid->GetSelectedRow(), 1u);
    EXPECT_EQ(grid->GetSelectedColumn(), 1u);
    EXPECT_TRUE(seen.empty());

    QTest::keyClick(grid, Qt::Key_Return);
    ASSERT_EQ(seen.size(), 1u);
    EXPECT_EQ(seen[0].editText, "11");
    EXPECT_EQ(seen[0].start, 0u);
    EXPECT_EQ(observer.calls[0], static_cast<CObservable*>(grid));

    // A typed character starts an edit with the previous text kept.
    QTest::keyClick(grid, Qt::Key_Right);
    QTest::keyClick(grid, Qt::Key_5);
    ASSERT_EQ(seen.size(), 2u);
    EXPECT_EQ(seen[1].column, 2u);
    EXPECT_EQ(seen[1].editText, "11");
    EXPECT_EQ(seen[1].start, static_cast<UINT>('5'));
    QTest::keyClick(grid, Qt::Key_Enter);
    EXPECT_EQ(seen[2].editText, "21");
    QTest::keyClick(grid, Qt::Key_Backspace);
    EXPECT_EQ(seen[3].start, 8u);

    // Esc, Tab and shortcuts stay the window's.
    window->keys.clear();
    QTest::keyClick(grid, Qt::Key_Escape);
    QTest::keyClick(grid, Qt::Key_S, Qt::ControlModifier);
    QTest::keyClick(grid, Qt::Key_F5);
    EXPECT_EQ(seen.size(), 4u);
    EXPECT_EQ(window->keys, (std::vector<int>{Qt::Key_Escape, Qt::Key_S, Qt::Key_F5}));
}

TEST_F(DataGridViewTest, EnterWithoutValueCellKeepsTextAndStillNotifies)
{
    ASSERT_TRUE(ShowActive(window.get()));
    grid->setFocus();
    QTest::keyClick(grid, Qt::Key_Return);
    grid->SetSelectedCell(3, 3);
    QTest::keyClick(grid, Qt::Key_Return);
    ASSERT_EQ(seen.size(), 2u);
    EXPECT_EQ(seen[1].editText, "11");
    EXPECT_EQ(seen[1].row, 3u);
}

TEST_F(DataGridViewTest, MouseSelectsValueCellsOnly)
{
    ASSERT_TRUE(ShowActive(window.get()));
    window->setFocus();

    // Without selection enabled a click only takes the focus.
    QTest::mouseClick(grid, Qt::LeftButton, {}, CellCentre(2, 1));
    EXPECT_TRUE(grid->hasFocus());
    EXPECT_EQ(grid->GetSelectedRow(), 1u);
    EXPECT_TRUE(seen.empty());

    grid->SetSelectionEnabled(true);
    QTest::mouseClick(grid, Qt::LeftButton, {}, CellCentre(2, 1));
    EXPECT_EQ(grid->GetSelectedRow(), 2u);
    EXPECT_EQ(grid->GetSelectedColumn(), 1u);
    ASSERT_EQ(seen.size(), 1u);
    EXPECT_EQ(seen[0].editText, "12 V");
    EXPECT_EQ(seen[0].start, 0u);

    // Labels, headings and the space past the cells change nothing.
    for (const QPoint& point : {CellCentre(2, 2), CellCentre(0, 1), CellCentre(1, 0),
                                QPoint(grid->width() - 1, grid->height() + 5)}) {
        window->setFocus();
        QTest::mouseClick(grid, Qt::LeftButton, {}, point);
        EXPECT_TRUE(grid->hasFocus());
    }
    EXPECT_EQ(seen.size(), 1u);
    EXPECT_EQ(grid->GetSelectedRow(), 2u);
    EXPECT_EQ(grid->GetSelectedColumn(), 1u);

    // Only the left button selects; an empty cell is selected too.
    QTest::mouseClick(grid, Qt::RightButton, {}, CellCentre(3, 3));
    EXPECT_EQ(seen.size(), 1u);
    QTest::mouseClick(grid, Qt::LeftButton, {}, CellCentre(3, 3));
    EXPECT_EQ(seen.size(), 2u);
    EXPECT_EQ(seen[1].editText, "12 V");
}

TEST_F(DataGridViewTest, BeginEditTakesTheFocusAndNotifiesInAttachOrder)
{
    ASSERT_TRUE(ShowActive(window.get()));
    RecordingObserver second;
    std::vector<int> order;
    observer.onUpdate = [&](CObservable*) { order.push_back(1); };
    second.onUpdate = [&](CObservable*) {
        order.push_back(2);
        EXPECT_TRUE(grid->hasFocus());
    };
    grid->AddObserver(&second);
    window->setFocus();
    grid->BeginEdit(0);
    EXPECT_EQ(order, (std::vector<int>{1, 2}));
}

TEST_F(DataGridViewTest, LabelPrefixesAndBlankLabels)
{
    // "!" leaves its cell blank; "@" spans two columns, "$" two rows.
    CDataGridView* g = grid;
    labels = {{1, "!"}, {2, "@Wide"}, {4, "$Tall"}, {5, "@$Block"}, {6, "Plain"}};
    g->SetLayout({{1, 1, 0}, {2, 2, 0}, {4, 0, 1}, {5, 1, 3}, {6, 0, 3}}, kWidth, 4, 4);
    g->ClearValueCells();
    const QImage image = Grab(g);
    const QRgb face = Rgb(g->palette().color(QPalette::Active, QPalette::Button));
    const QRgb line = Rgb(g->palette().color(QPalette::Active, QPalette::ButtonText));
    const int w = static_cast<int>(g->GetCellWidth());
    const int h = static_cast<int>(g->GetCellHeight());

    EXPECT_EQ(image.pixel(w + 3, 3), qRgb(255, 255, 255));       // "!": blank
    EXPECT_EQ(image.pixel(2 * w, h / 2), line);                  // its grid lines stay
    EXPECT_EQ(image.pixel(3 * w, 3), face);                      // "@": the line inside is covered
    EXPECT_EQ(image.pixel(4 * w, 3), line);                      //      but not the one after
    EXPECT_EQ(image.pixel(3, 2 * h), face);                      // "$": the line below is covered
    EXPECT_EQ(image.pixel(2 * w, 4 * h), face);                  // "@$": the centre of the block
    EXPECT_EQ(image.pixel(2 * w + 3, 4 * h + 3), face);
    EXPECT_EQ(image.pixel(3, 3 * h + 3), face);                  // a plain label
    EXPECT_EQ(image.pixel(w + 3, 1 * h + 3), qRgb(255, 255, 255)); // an empty value cell
}

TEST_F(DataGridViewTest, DisablingRedrawsAtOnceAndHighlightNeedsFocus)
{
    grid->SetSelectionEnabled(true);
    ASSERT_TRUE(ShowActive(window.get()));
    const QRgb highlight = Rgb(grid->palette().color(QPalette::Active, QPalette::Highlight));
    const QRgb face = Rgb(grid->palette().color(QPalette::Active, QPalette::Button));

    window->setFocus();
    EXPECT_EQ(Grab(grid).pixel(CellCorner(1, 1)), qRgb(255, 255, 255));
    grid->setFocus();
    EXPECT_EQ(Grab(grid).pixel(CellCorner(1, 1) + QPoint(1, 1)), highlight);
    EXPECT_EQ(Grab(grid).pixel(CellCorner(1, 2)), qRgb(255, 255, 255));

    window->setFocus();
    grid->setEnabled(false);
    EXPECT_EQ(Grab(grid).pixel(CellCorner(1, 1)), face);
    grid->setEnabled(true);
    EXPECT_EQ(Grab(grid).pixel(CellCorner(1, 1)), qRgb(255, 255, 255));
}

TEST_F(DataGridViewTest, ValueTextsAreDrawnAndRefilled)
{
    const auto darkPixels = [&](UINT row, UINT column) {
        const QImage image = Grab(grid);
        const QRect r = grid->Model().InnerCellRect(row, column);
        int count = 0;
        for (int y = r.top(); y <= r.bottom(); ++y)
            for (int x = r.left(); x <= r.right(); ++x)
                count += qGray(image.pixel(x, y)) < 128;
        return count;
    };
    EXPECT_GT(darkPixels(1, 1), 0);
    EXPECT_EQ(darkPixels(3, 3), 0);
    grid->ClearValueCells();
    grid->AddValueCell(3, 3, "8888");
    grid->update();
    EXPECT_EQ(darkPixels(1, 1), 0);
    EXPECT_GT(darkPixels(3, 3), 0);
}

TEST_F(DataGridViewTest, TooltipShowsTheCellText)
{
    ASSERT_TRUE(ShowActive(window.get()));
    grid->AddValueCell(3, 3, QString(120, 'z'));
    const QPoint point = CellCentre(3, 3);
    const auto tool = grid->OnToolHitTest(point);
    ASSERT_TRUE(tool);
    EXPECT_EQ(tool->id, MakeToolTipId(3, 3));
    EXPECT_EQ(grid->GetToolTipText(tool->id), QString(79, 'z'));

    QHelpEvent help(QEvent::ToolTip, point, grid->mapToGlobal(point));
    QApplication::sendEvent(grid, &help);
    EXPECT_TRUE(QToolTip::isVisible());
    EXPECT_EQ(QToolTip::text(), QString(79, 'z'));

    const QPoint empty = CellCentre(2, 3);
    QHelpEvent none(QEvent::ToolTip, empty, grid->mapToGlobal(empty));
    QApplication::sendEvent(grid, &none);
    EXPECT_TRUE(QTest::qWaitFor([] { return !QToolTip::isVisible(); }));
}
