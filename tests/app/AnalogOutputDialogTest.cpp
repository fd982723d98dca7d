// The analog-output dialog run modally under the offscreen platform: its
// texts in both languages, each control in and out, rejected values by
// Enter and by OK, OK and Cancel, the assignment choice, the table edited
// in place, and the table and graph for a current and a voltage output.
#include "SettingDialogHarness.h"
#include "app/CAnalogOutputDialog.h"
#include "controls/CDataGridView.h"
#include "controls/CGraph.h"
#include "foundation/CStringTable.h"
#include "foundation/Globals.h"
#include "params/CSettings.h"
#include "params/SettingsOfType.h"
#include "platform/ControlIds.h"

#include <QApplication>
#include <QCheckBox>
#include <QComboBox>
#include <QImage>
#include <QLineEdit>
#include <QPushButton>
#include <QTest>
#include <QTimer>

#include <gtest/gtest.h>

#include <cstdint>
#include <functional>

namespace {

using Dialog = CAnalogOutputDialog;

// Factory assignments: channel 0 current I1, 7 reactive power, 9 frequency.
constexpr int kCurrentChannel = 0;
constexpr int kReactiveChannel = 7;
constexpr int kFrequencyChannel = 9;

int Word(const CSettings& s, int ch, int offset)
{
    return static_cast<std::int16_t>(s.GetWord(AnalogOutputWordNumber(ch, offset)));
}

void SetWord(CSettings& s, int ch, int offset, int value)
{
    s.SetWord(AnalogOutputWordNumber(ch, offset), static_cast<std::uint16_t>(value));
}

QLineEdit* EditOf(Dialog& d, int id) { return d.GetDlgItemAs<QLineEdit>(id); }

// Runs the dialog for a channel of the set; the steps run inside its modal
// loop. A dialog the steps leave open is cancelled.
bool RunDialog(CSettings& set, int channel, const std::function<void(Dialog&)>& steps)
{
    Dialog dialog;
    DuringModalRun(dialog, [&] { steps(dialog); });
    return dialog.DoModalForChannel(set, channel);
}

class AnalogOutputDialogTest : public SettingDialogTest
{
protected:
    QString CellText(Dialog& d, unsigned row, unsigned column)
    {
        const QString* text = d.GetGrid().Model().FindValueText(row, column);
        return text ? *text : QString();
    }
    QString LabelAt(Dialog& d, unsigned row, unsigned column)
    {
        for (const GridCellEntry& cell : d.GetGrid().Model().LabelCells()) {
            if (cell.row == row && cell.column == column)
                return CStringTable::LoadString(static_cast<int>(cell.itemId));
        }
        return QStringLiteral("<none>");
    }
    void StartEdit(Dialog& d, unsigned row, unsigned column)
    {
        d.GetGrid().SetSelectedCell(row, column);
        d.GetGrid().BeginEdit(0);
    }
    // True when the data colour lies within two pixels of the value's place.
    static bool DataNear(CGraph& graph, double x, double y)
    {
        const QImage picture = graph.grab().toImage();
        const int px = GraphPixelX(x, graph.GetRange(), graph.GetPlotRect());
        const int py = GraphPixelY(y, graph.GetRange(), graph.GetPlotRect());
        for (int dx = -2; dx <= 2; ++dx) {
            for (int dy = -2; dy <= 2; ++dy) {
                if (picture.valid(px + dx, py + dy) && picture.pixelColor(px + dx, py + dy) == graph.GetDataColor())
                    return true;
            }
        }
        return false;
    }
};

} // namespace

TEST_F(AnalogOutputDialogTest, TextsInBothLanguages)
{
    struct Case
    {
        const char* file;
        const char* caption;
        const char* assign;
        const char* useTable;
        const char* cancel;
        const char* frequency;
    };
    for (const Case& c : {Case{"English.lng", "Analog Output", "Assign", "Use table", "Cancel", "Frequency"},
                          Case{"Japanese.lng", "アナログ出力", "出力項目", "変換テーブルを使用", "キャンセル", "周波数"}}) {
        g_resourceDatabase.LoadLanguageFile(QString::fromLatin1(c.file));
        CSettings set;
        RunDialog(set, kFrequencyChannel, [&](Dialog& d) {
            EXPECT_EQ(d.windowTitle(), QString::fromUtf8(c.caption));
            EXPECT_EQ(d.GetDlgItemText(Dialog::IDC_ASSIGN_LABEL), QString::fromUtf8(c.assign));
            EXPECT_EQ(d.GetDlgItemText(Dialog::IDC_USE_TABLE), QString::fromUtf8(c.useTable));
            EXPECT_EQ(d.GetDlgItemText(IDCANCEL), QString::fromUtf8(c.cancel));
            for (int id :
                 {Dialog::IDC_INPUT100_UNIT, Dialog::IDC_INPUT0_UNIT, Dialog::IDC_SPAN_UNIT, Dialog::IDC_ZERO_UNIT})
                EXPECT_EQ(d.GetDlgItemText(id), "%");
            auto* assign = d.GetDlgItemAs<QComboBox>(Dialog::IDC_ASSIGN);
            EXPECT_EQ(assign->count(), 30);
            EXPECT_EQ(assign->currentText(), QString::fromUtf8(c.frequency));
            // The table's labels come from the program's own string table.
            EXPECT_EQ(LabelAt(d, 0, 0), " ");
            EXPECT_EQ(LabelAt(d, 0, 1), "0");
            EXPECT_EQ(LabelAt(d, 0, 10), "9");
            EXPECT_EQ(LabelAt(d, 1, 0), "X(%)");
        });
    }
}

TEST_F(AnalogOutputDialogTest, ShowsTheChannelAndOkStoresWhatWasTypedIntoTheCallersSet)
{
    CSettings set;
    SetWord(set, 3, AOUT_WORD_ASSIGNMENT, 5);
    SetWord(set, 3, AOUT_WORD_INPUT100, 8000);
    SetWord(set, 3, AOUT_WORD_INPUT0, 1000);
    SetWord(set, 3, AOUT_WORD_OUTPUT100, 1600);
    SetWord(set, 3, AOUT_WORD_OUTPUT0, 480);
    SetWord(set, 3, AOUT_WORD_ADJUST_SPAN, 10100);
    SetWord(set, 3, AOUT_WORD_ADJUST_ZERO, -25);
    const CSettings before = set;

    const bool ok = RunDialog(set, 3, [&](Dialog& d) {
        EXPECT_EQ(d.GetDlgItemAs<QComboBox>(Dialog::IDC_ASSIGN)->currentIndex(), 5);
        EXPECT_EQ(d.GetDlgItemText(Dialog::IDC_INPUT100), "80.00");
        EXPECT_EQ(d.GetDlgItemText(Dialog::IDC_INPUT0), "10.00");
        EXPECT_EQ(d.GetDlgItemText(Dialog::IDC_OUTPUT100), "16.00");
        EXPECT_EQ(d.GetDlgItemText(Dialog::IDC_OUTPUT0), "4.80");
        EXPECT_EQ(d.GetDlgItemText(Dialog::IDC_OUTPUT100_UNIT), "mA");
        EXPECT_EQ(d.GetDlgItemText(Dialog::IDC_OUTPUT0_UNIT), "mA");
        EXPECT_EQ(d.GetDlgItemText(Dialog::IDC_SPAN), "101.00");
        EXPECT_EQ(d.GetDlgItemText(Dialog::IDC_ZERO), "-0.25");
        EXPECT_FALSE(d.IsDlgButtonChecked(Dialog::IDC_USE_TABLE));
        EXPECT_FALSE(d.GetGrid().isEnabled());
        EXPECT_TRUE(EditOf(d, Dialog::IDC_INPUT100)->isEnabled());

        // A voltage input: the upper one resets the lower one to 0.00.
        TypeInto(d, Dialog::IDC_INPUT100, QStringLiteral("90"));
        EXPECT_EQ(d.GetDlgItemText(Dialog::IDC_INPUT0), "0.00");
        TypeInto(d, Dialog::IDC_INPUT0, QStringLiteral("5"));
        TypeInto(d, Dialog::IDC_OUTPUT100, QStringLiteral("18.5"));
        TypeInto(d, Dialog::IDC_OUTPUT0, QStringLiteral("4"));
        TypeInto(d, Dialog::IDC_SPAN, QStringLiteral("99.5"));
        TypeInto(d, Dialog::IDC_ZERO, QStringLiteral("0.3"));
        // Only the dialog's copy has changed so far.
        EXPECT_EQ(Word(set, 3, AOUT_WORD_INPUT100), 8000);
        ClickControl(d, IDOK);
    });
    EXPECT_TRUE(ok);
    EXPECT_EQ(Word(set, 3, AOUT_WORD_ASSIGNMENT), 5);
    EXPECT_EQ(Word(set, 3, AOUT_WORD_INPUT100), 9000);
    EXPECT_EQ(Word(set, 3, AOUT_WORD_INPUT0), 500);
    EXPECT_EQ(Word(set, 3, AOUT_WORD_OUTPUT100), 1850);
    EXPECT_EQ(Word(set, 3, AOUT_WORD_OUTPUT0), 400);
    EXPECT_EQ(Word(set, 3, AOUT_WORD_ADJUST_SPAN), 9950);
    EXPECT_EQ(Word(set, 3, AOUT_WORD_ADJUST_ZERO), 30);
    // The other channels are as they were.
    for (int ch : {2, 4})
        for (int offset = 0; offset < PARAMETER_AOUT_CHANNEL_WORDS; ++offset)
            EXPECT_EQ(Word(set, ch, offset), Word(before, ch, offset));
    EXPECT_TRUE(m_prompts.MessageTexts().empty());
}

TEST_F(AnalogOutputDialogTest, CancelAndEscLeaveTheCallersSetAsItWas)
{
    for (bool esc : {false, true}) {
        CSettings set;
        const CSettings before = set;
        const bool ok = RunDialog(set, kCurrentChannel, [&](Dialog& d) {
            const GraphRange drawn = d.GetGraph().GetDefaultRange();
            TypeInto(d, Dialog::IDC_OUTPUT100, QStringLiteral("12"));
            // The graph followed the typing.
            EXPECT_EQ(d.GetGraph().GetDefaultRange().yMax, 12.0);
            EXPECT_NE(d.GetGraph().GetDefaultRange().yMax, drawn.yMax);
            ClickControl(d, Dialog::IDC_USE_TABLE);
            if (esc)
                QTest::keyClick(EditOf(d, Dialog::IDC_SPAN), Qt::Key_Escape);
            else
                ClickControl(d, IDCANCEL);
            EXPECT_FALSE(d.isVisible());
        });
        EXPECT_FALSE(ok);
        for (int offset = 0; offset < PARAMETER_AOUT_CHANNEL_WORDS; ++offset)
            EXPECT_EQ(Word(set, kCurrentChannel, offset), Word(before, kCurrentChannel, offset)) << offset;
    }
}

TEST_F(AnalogOutputDialogTest, ARejectedValueIsShownSelectedAndTheDialogStaysOpenAndModal)
{
    struct Case
    {
        int id;
        const char* text;
        const char* message;
    };
    const Case cases[] = {
        {Dialog::IDC_INPUT100, "130", "Scaling upper input (%): enter a value from 0 to 120."},
        {Dialog::IDC_INPUT0, "abc", "Scaling lower input (%): enter a number."},
        {Dialog::IDC_OUTPUT100, "21", "Output at upper input: enter a value from 3.2 to 20.8."},
        {Dialog::IDC_OUTPUT0, "3.1", "Output at lower input: enter a value from 3.2 to 20.8."},
        {Dialog::IDC_SPAN, "90", "Adjust span (%): enter a value from 95 to 105."},
        {Dialog::IDC_ZERO, "", "Adjust zero (%): enter a number."},
    };
    CSettings set;
    const CSettings before = set;
    const bool ok = RunDialog(set, kCurrentChannel, [&](Dialog& d) {
        for (const Case& c : cases) {
            for (bool byEnter : {true, false}) {
                SCOPED_TRACE(std::string(c.text) + (byEnter ? " by Enter" : " by OK"));
                QLineEdit* edit = EditOf(d, c.id);
                const QString good = edit->text();
                const QString lower = d.GetDlgItemText(Dialog::IDC_INPUT0);
                m_prompts.Clear();
                edit->setText(QString::fromLatin1(c.text));
                if (byEnter) {
                    edit->setFocus();
                    QTest::keyClick(edit, Qt::Key_Return);
                } else {
                    ClickControl(d, IDOK);
                }
                ASSERT_EQ(m_prompts.MessageTexts().size(), 1u);
                EXPECT_EQ(m_prompts.MessageTexts()[0], QString::fromUtf8(c.message));
                EXPECT_TRUE(d.isVisible());
                EXPECT_EQ(QApplication::activeModalWidget(), &d);
                EXPECT_EQ(QApplication::focusWidget(), edit);
                EXPECT_EQ(edit->selectedText(), edit->text());
                EXPECT_EQ(edit->cursorPosition(), 0);
                edit->setText(good);
                d.GetDlgItemAs<QLineEdit>(Dialog::IDC_INPUT0)->setText(lower);
            }
        }
    });
    EXPECT_FALSE(ok);
    EXPECT_EQ(Word(set, kCurrentChannel, AOUT_WORD_INPUT100), Word(before, kCurrentChannel, AOUT_WORD_INPUT100));

    // Corrected, the same OK goes through.
    EXPECT_TRUE(RunDialog(set, kCurrentChannel, [&](Dialog& d) {
        d.GetDlgItemAs<QLineEdit>(Dialog::IDC_SPAN)->setText(QStringLiteral("90"));
        ClickControl(d, IDOK);
        EXPECT_TRUE(d.isVisible());
        d.GetDlgItemAs<QLineEdit>(Dialog::IDC_SPAN)->setText(QStringLiteral("96"));
        ClickControl(d, IDOK);
    }));
    EXPECT_EQ(Word(set, kCurrentChannel, AOUT_WORD_ADJUST_SPAN), 9600);
}

TEST_F(AnalogOutputDialogTest, NoAssignmentSelectedKeepsTheAssignmentWord)
{
    // An assignment beyond the list, and a list that is missing altogether.
    for (bool emptyLanguage : {false, true}) {
        if (emptyLanguage)
            g_resourceDatabase.CreateEmpty();
        CSettings set;
        const int assignment = emptyLanguage ? 27 : 40;
        SetWord(set, kFrequencyChannel, AOUT_WORD_ASSIGNMENT, assignment);
        // An unknown assignment takes inputs of 0 % only.
        if (!emptyLanguage) {
            SetWord(set, kFrequencyChannel, AOUT_WORD_INPUT0, 0);
            SetWord(set, kFrequencyChannel, AOUT_WORD_INPUT100, 0);
        }
        const bool ok = RunDialog(set, kFrequencyChannel, [&](Dialog& d) {
            EXPECT_EQ(d.GetDlgItemAs<QComboBox>(Dialog::IDC_ASSIGN)->currentIndex(), -1);
            ClickControl(d, IDOK);
        });
        EXPECT_TRUE(ok);
        EXPECT_TRUE(m_prompts.MessageTexts().empty());
        EXPECT_EQ(Word(set, kFrequencyChannel, AOUT_WORD_ASSIGNMENT), assignment);
    }
}

TEST_F(AnalogOutputDialogTest, ChoosingAnAssignmentResetsTheTableAndTheScaling)
{
    CSettings set;
    SetWord(set, kCurrentChannel, AOUT_WORD_USE_TABLE, 1);
    for (int k = 0; k < 3; ++k) {
        SetWord(set, kCurrentChannel, AOUT_WORD_TABLE + 2 * k, 5000 * k);
        SetWord(set, kCurrentChannel, AOUT_WORD_TABLE + 2 * k + 1, 1000 + 500 * k);
    }
    RunDialog(set, kCurrentChannel, [&](Dialog& d) {
        auto* assign = d.GetDlgItemAs<QComboBox>(Dialog::IDC_ASSIGN);
        auto* useTable = d.GetDlgItemAs<QCheckBox>(Dialog::IDC_USE_TABLE);
        EXPECT_TRUE(useTable->isChecked());
        EXPECT_TRUE(d.GetGrid().isEnabled());
        EXPECT_FALSE(EditOf(d, Dialog::IDC_INPUT100)->isEnabled());
        EXPECT_FALSE(EditOf(d, Dialog::IDC_OUTPUT0)->isEnabled());

        // Power factor: table off, X all 0, Y the 0 % default, scaling -50..50.
        assign->setCurrentIndex(23);
        emit assign->activated(23);
        EXPECT_FALSE(useTable->isChecked());
        EXPECT_FALSE(d.GetGrid().isEnabled());
        EXPECT_TRUE(EditOf(d, Dialog::IDC_INPUT100)->isEnabled());
        EXPECT_EQ(d.GetDlgItemText(Dialog::IDC_INPUT100), "50.00");
        EXPECT_EQ(d.GetDlgItemText(Dialog::IDC_INPUT0), "-50.00");
        EXPECT_EQ(Word(d.GetSettings(), kCurrentChannel, AOUT_WORD_TABLE + 2), 0);
        EXPECT_EQ(Word(d.GetSettings(), kCurrentChannel, AOUT_WORD_TABLE + 5), 400);
        EXPECT_EQ(CellText(d, 2, 2), CellText(d, 2, 1));
        EXPECT_EQ(d.GetGraph().GetDefaultRange().xMin, -50.0);
        EXPECT_EQ(d.GetGraph().GetDefaultRange().xMax, 50.0);

        // Four-quadrant reactive power allows no table.
        assign->setCurrentIndex(28);
        emit assign->activated(28);
        EXPECT_FALSE(useTable->isEnabled());
        assign->setCurrentIndex(1);
        emit assign->activated(1);
        EXPECT_TRUE(useTable->isEnabled());
        ClickControl(d, Dialog::IDC_USE_TABLE);
        EXPECT_TRUE(d.GetGrid().isEnabled());
        EXPECT_FALSE(EditOf(d, Dialog::IDC_OUTPUT100)->isEnabled());
        ClickControl(d, Dialog::IDC_USE_TABLE);
        EXPECT_FALSE(d.GetGrid().isEnabled());
        EXPECT_TRUE(EditOf(d, Dialog::IDC_OUTPUT100)->isEnabled());
    });

    // The upper input mirrors into the lower one on a reactive channel only.
    RunDialog(set, kReactiveChannel, [&](Dialog& d) {
        TypeInto(d, Dialog::IDC_INPUT100, QStringLiteral("30"));
        EXPECT_EQ(d.GetDlgItemText(Dialog::IDC_INPUT0), "-30.00");
    });
    RunDialog(set, kFrequencyChannel, [&](Dialog& d) {
        const QString lower = d.GetDlgItemText(Dialog::IDC_INPUT0);
        TypeInto(d, Dialog::IDC_INPUT100, QStringLiteral("30"));
        EXPECT_EQ(d.GetDlgItemText(Dialog::IDC_INPUT0), lower);
    });
}

TEST_F(AnalogOutputDialogTest, TableCellsAreEditedInPlace)
{
    CSettings set;
    SetWord(set, kCurrentChannel, AOUT_WORD_USE_TABLE, 1);
    const bool ok = RunDialog(set, kCurrentChannel, [&](Dialog& d) {
        CEditText* box = d.GetEditHost().GetEditBox();
        // Enter: stored, shown, the editor closes and the selection stays.
        StartEdit(d, 1, 1);
        ASSERT_TRUE(box->isVisible());
        QTest::keyClicks(box, QStringLiteral("10"));
        QTest::keyClick(box, Qt::Key_Return);
        EXPECT_FALSE(box->isVisible());
        EXPECT_EQ(Word(d.GetSettings(), kCurrentChannel, AOUT_WORD_TABLE), 1000);
        EXPECT_EQ(CellText(d, 1, 1), "10.00");
        EXPECT_EQ(d.GetGrid().GetSelectedRow(), 1u);

        // Down: stored, and the editor opens at once on the cell below.
        StartEdit(d, 1, 2);
        QTest::keyClicks(box, QStringLiteral("60"));
        QTest::keyClick(box, Qt::Key_Down);
        EXPECT_EQ(Word(d.GetSettings(), kCurrentChannel, AOUT_WORD_TABLE + 2), 6000);
        EXPECT_EQ(d.GetGrid().GetSelectedRow(), 2u);
        EXPECT_EQ(d.GetGrid().GetSelectedColumn(), 2u);
        ASSERT_TRUE(box->isVisible());
        QTest::keyClicks(box, QStringLiteral("12"));
        QTest::keyClick(box, Qt::Key_Return);
        EXPECT_EQ(Word(d.GetSettings(), kCurrentChannel, AOUT_WORD_TABLE + 3), 1200);
        EXPECT_EQ(d.GetGraph().GetDefaultRange().xMax, 60.0);

        // Out of range: the message, the editor stays open on its text, nothing stored.
        StartEdit(d, 2, 3);
        QTest::keyClicks(box, QStringLiteral("25"));
        QTest::keyClick(box, Qt::Key_Return);
        ASSERT_EQ(m_prompts.MessageTexts().size(), 1u);
        EXPECT_EQ(m_prompts.MessageTexts()[0], "Table point 2, output Y: enter a value from 3.2 to 20.8.");
        EXPECT_TRUE(box->isVisible());
        EXPECT_EQ(box->selectedText(), "25");
        EXPECT_EQ(box->cursorPosition(), 0);
        EXPECT_EQ(Word(d.GetSettings(), kCurrentChannel, AOUT_WORD_TABLE + 5), 400);

        // Esc only ends the edit.
        QTest::keyClick(box, Qt::Key_Escape);
        EXPECT_FALSE(box->isVisible());
        EXPECT_TRUE(d.isVisible());
        EXPECT_EQ(Word(d.GetSettings(), kCurrentChannel, AOUT_WORD_TABLE + 5), 400);
        ClickControl(d, IDOK);
    });
    EXPECT_TRUE(ok);
    EXPECT_EQ(Word(set, kCurrentChannel, AOUT_WORD_TABLE + 3), 1200);
}

TEST_F(AnalogOutputDialogTest, ADoubleClickOpensTheCellWithItsWholeTextSelected)
{
    CSettings set;
    SetWord(set, kCurrentChannel, AOUT_WORD_USE_TABLE, 1);
    RunDialog(set, kCurrentChannel, [&](Dialog& d) {
        CDataGridView& grid = d.GetGrid();
        ASSERT_EQ(CellText(d, 1, 3), "0.00");
        // Through the window, as the platform delivers it: the second click
        // reaches the editor that the first one opened.
        const QPoint cell = grid.mapTo(&d, grid.Model().CellRect(1, 3).center());
        QTest::mouseDClick(d.windowHandle(), Qt::LeftButton, {}, cell);
        CEditText* box = d.GetEditHost().GetEditBox();
        ASSERT_TRUE(box->isVisible());
        EXPECT_EQ(box->text(), "0.00");
        EXPECT_EQ(box->selectedText(), "0.00");
    });
}

TEST_F(AnalogOutputDialogTest, WithTheTableOnOkLeavesTheScalingWordsUnchecked)
{
    // Words from a file or a unit beyond what the scaling edits accept.
    CSettings set;
    SetWord(set, kCurrentChannel, AOUT_WORD_USE_TABLE, 1);
    SetWord(set, kCurrentChannel, AOUT_WORD_INPUT100, 15000);
    SetWord(set, kCurrentChannel, AOUT_WORD_OUTPUT0, 100);
    const bool ok = RunDialog(set, kCurrentChannel, [&](Dialog& d) {
        EXPECT_FALSE(EditOf(d, Dialog::IDC_INPUT100)->isEnabled());
        ClickControl(d, IDOK);
    });
    EXPECT_TRUE(ok);
    EXPECT_TRUE(m_prompts.MessageTexts().empty());
    EXPECT_EQ(Word(set, kCurrentChannel, AOUT_WORD_INPUT100), 15000);
    EXPECT_EQ(Word(set, kCurrentChannel, AOUT_WORD_OUTPUT0), 100);
}

TEST_F(AnalogOutputDialogTest, TableAndGraphForACurrentAndAVoltageOutput)
{
    struct Case
    {
        int type;
        const char* heading;
        const char* unit;
        int y[3];
        const char* y1Text;
        double yLow, y1, yHigh;
    };
    // Type 5 has the 4-20 mA output, type 2 the 0-10 V one.
    for (const Case& c : {Case{5, "Y(mA)", "mA", {400, 800, 2000}, "8.00", 4.0, 8.0, 20.0},
                          Case{2, "Y(V)", "V", {0, 2500, 10000}, "2.500", 0.0, 2.5, 10.0}}) {
        SCOPED_TRACE(c.heading);
        CSettings set = OfType(c.type);
        SetWord(set, kCurrentChannel, AOUT_WORD_USE_TABLE, 1);
        // A rising run of three points; point 3 ends it.
        for (int k = 0; k < 10; ++k) {
            SetWord(set, kCurrentChannel, AOUT_WORD_TABLE + 2 * k, k < 3 ? 5000 * k : 0);
            SetWord(set, kCurrentChannel, AOUT_WORD_TABLE + 2 * k + 1, k < 3 ? c.y[k] : c.y[0]);
        }
        RunDialog(set, kCurrentChannel, [&](Dialog& d) {
            EXPECT_EQ(LabelAt(d, 2, 0), c.heading);
            EXPECT_EQ(d.GetDlgItemText(Dialog::IDC_OUTPUT0_UNIT), c.unit);
            EXPECT_EQ(CellText(d, 1, 2), "50.00");
            EXPECT_EQ(CellText(d, 2, 2), c.y1Text);
            CGraph& graph = d.GetGraph();
            const GraphRange range = graph.GetDefaultRange();
            EXPECT_EQ(range.xMin, 0.0);
            EXPECT_EQ(range.xMax, 100.0);
            EXPECT_EQ(range.yMin, c.yLow);
            EXPECT_EQ(range.yMax, c.yHigh);
            // The table's middle point lies on the drawn characteristic; the
            // straight line from the first to the last would pass elsewhere.
            EXPECT_TRUE(DataNear(graph, 50.0, c.y1));
            EXPECT_FALSE(DataNear(graph, 50.0, (c.yLow + c.yHigh) / 2));

            // Table off: the scaling's straight line; a half-typed output
            // keeps the last picture.
            ClickControl(d, Dialog::IDC_USE_TABLE);
            EditOf(d, Dialog::IDC_INPUT0)->setText(QStringLiteral("0"));
            EditOf(d, Dialog::IDC_INPUT100)->setText(QStringLiteral("100"));
            EditOf(d, Dialog::IDC_OUTPUT0)->setText(QString::number(c.yLow));
            EditOf(d, Dialog::IDC_OUTPUT100)->setText(QString::number(c.yHigh));
            EXPECT_TRUE(DataNear(graph, 50.0, (c.yLow + c.yHigh) / 2));
            EditOf(d, Dialog::IDC_OUTPUT100)->setText(QStringLiteral("-"));
            EXPECT_EQ(graph.GetDefaultRange().yMax, c.yHigh);
            EXPECT_TRUE(DataNear(graph, 50.0, (c.yLow + c.yHigh) / 2));
            EXPECT_TRUE(m_prompts.MessageTexts().empty());
        });
    }
}
