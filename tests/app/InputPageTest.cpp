// The input page and the grid fill: editing the CT cells in place through
// the edit host, with a layout the test fills (the program's stays empty).
#include "app/CInput2Page.h"
#include "app/FillGridWithParameters.h"
#include "controls/CDataGridView.h"
#include "foundation/Globals.h"
#include "params/CParameterEnumerationInterface.h"
#include "tests/support/CScriptedPrompts.h"

#include <QTest>

#include <gtest/gtest.h>

namespace {

class InputPageTest : public ::testing::Test
{
protected:
    void SetUp() override
    {
        g_resourceDatabase.CreateEmpty();
        g_resourceDatabase.LoadLanguageFile(QStringLiteral("English.lng"));
        // Row 0 and column 0 hold headings; the CT cells stand in row 1.
        g_input2PageLabels = {{5600, 0, 0}};
        g_input2PageValues = {{33, 1, 1}, {32, 2, 1}};
        m_page = std::make_unique<CInput2Page>();
        m_page->Refresh();
        m_page->show();
        ASSERT_TRUE(QTest::qWaitForWindowExposed(m_page.get()));
        // Focus changes, which end an edit, reach only the active window.
        m_page->activateWindow();
        ASSERT_TRUE(QTest::qWaitForWindowActive(m_page.get()));
    }
    void TearDown() override
    {
        m_page.reset();
        g_input2PageLabels.clear();
        g_input2PageValues.clear();
    }

    CDataGridView& Grid() { return m_page->GetGrid(); }
    CEditText* EditBox() { return m_page->GetEditHost().GetEditBox(); }
    CEditComboBox* ComboBox() { return m_page->GetEditHost().GetComboBox(); }
    QString CellText(unsigned row, unsigned column)
    {
        const QString* text = Grid().Model().FindValueText(row, column);
        return text ? *text : QString();
    }
    void StartEdit(unsigned row, unsigned column)
    {
        Grid().SetSelectedCell(row, column);
        Grid().BeginEdit(0);
    }
    void TypeAndEnter(const QString& text)
    {
        QTest::keyClicks(EditBox(), text);
        QTest::keyClick(EditBox(), Qt::Key_Return);
    }

    CScriptedPrompts m_prompts;
    std::unique_ptr<CInput2Page> m_page;
};

} // namespace

TEST_F(InputPageTest, FillPutsTheValueTextsOfTheLayout)
{
    EXPECT_EQ(CellText(1, 2), "5");
    EXPECT_EQ(CellText(1, 1), "5");
    m_page->GetSettings().SetWord(PARAMETER_INPUT_CT1, 1200);
    FillGridWithParameters(Grid(), m_page->GetSettings(), g_input2PageValues);
    EXPECT_EQ(CellText(1, 2),
              CParameterEnumerationInterface().GetValueText(PARAMETER_INPUT_CT1, m_page->GetSettings()));
    EXPECT_EQ(CellText(1, 2), "1200");
    // An empty layout leaves no value cell at all.
    FillGridWithParameters(Grid(), m_page->GetSettings(), {});
    EXPECT_TRUE(Grid().Model().ValueCells().empty());
}

TEST_F(InputPageTest, TheNumberCellTakesOneTo20000)
{
    StartEdit(1, 2);
    ASSERT_TRUE(EditBox()->isVisible());
    EXPECT_EQ(EditBox()->text(), "5");
    EXPECT_EQ(EditBox()->selectedText(), "5");
    for (const char* good : {"20000", "1"}) {
        if (!EditBox()->isVisible())
            StartEdit(1, 2);
        EditBox()->selectAll();
        TypeAndEnter(QString::fromLatin1(good));
        EXPECT_EQ(m_page->GetSettings().GetWord(PARAMETER_INPUT_CT1), QString::fromLatin1(good).toInt());
        EXPECT_EQ(CellText(1, 2), QString::fromLatin1(good));
        // Enter commits without moving; the editor is hidden again.
        EXPECT_FALSE(EditBox()->isVisible());
        EXPECT_EQ(Grid().GetSelectedRow(), 1u);
        EXPECT_EQ(Grid().GetSelectedColumn(), 2u);
    }
    EXPECT_TRUE(m_prompts.MessageTexts().empty());
    for (const char* bad : {"0", "20001", "12x"}) {
        m_prompts.Clear();
        StartEdit(1, 2);
        EditBox()->selectAll();
        TypeAndEnter(QString::fromLatin1(bad));
        ASSERT_EQ(m_prompts.MessageTexts().size(), 1u) << bad;
        EXPECT_EQ(m_prompts.Last().style & MB_ICONMASK, MB_ICONERROR);
        EXPECT_EQ(m_page->GetSettings().GetWord(PARAMETER_INPUT_CT1), 1) << bad;
        EXPECT_EQ(CellText(1, 2), "1");
        // The box keeps the text for correcting.
        EXPECT_EQ(EditBox()->text(), QString::fromLatin1(bad));
        Grid().setFocus();
    }
}

TEST_F(InputPageTest, TheChoiceCellOffersTheSensorTypes)
{
    m_page->GetSettings().SetWord(PARAMETER_INPUT_CT2, 2);
    m_page->Refresh();
    StartEdit(1, 1);
    ASSERT_TRUE(ComboBox()->isVisible());
    ASSERT_EQ(ComboBox()->count(), 6);
    EXPECT_EQ(ComboBox()->itemText(0), "CT 5 A");
    EXPECT_EQ(ComboBox()->currentIndex(), 2);
    ComboBox()->hidePopup();
    ComboBox()->setCurrentIndex(4);
    // Right commits the choice and moves on to the number cell, which opens.
    QTest::keyClick(ComboBox(), Qt::Key_Right);
    EXPECT_EQ(m_page->GetSettings().GetWord(PARAMETER_INPUT_CT2), 4);
    EXPECT_EQ(Grid().GetSelectedColumn(), 2u);
    EXPECT_TRUE(EditBox()->isVisible());
    EXPECT_EQ(EditBox()->text(), "5");
}

TEST_F(InputPageTest, EscEndsAnOpenEditOnlyAndEmptyCellsOpenNothing)
{
    // A cell without a value text, on a grid that never had an edit text, opens no editor.
    g_input2PageValues = {{33, 1, 1}};
    m_page->Refresh();
    StartEdit(1, 2);
    EXPECT_FALSE(EditBox()->isVisible());
    EXPECT_FALSE(ComboBox()->isVisible());
    g_input2PageValues = {{33, 1, 1}, {32, 2, 1}};
    m_page->Refresh();

    // Esc with no editor open: nothing, the page stays.
    QTest::keyClick(&Grid(), Qt::Key_Escape);
    EXPECT_TRUE(m_page->isVisible());

    // Esc in an open editor ends the edit without taking the text.
    StartEdit(1, 2);
    ASSERT_TRUE(EditBox()->isVisible());
    QTest::keyClicks(EditBox(), "77");
    QTest::keyClick(EditBox(), Qt::Key_Escape);
    EXPECT_FALSE(EditBox()->isVisible());
    EXPECT_EQ(m_page->GetSettings().GetWord(PARAMETER_INPUT_CT1), 5);
    EXPECT_EQ(CellText(1, 2), "5");
    EXPECT_TRUE(m_page->isVisible());
    EXPECT_TRUE(m_prompts.MessageTexts().empty());
}
