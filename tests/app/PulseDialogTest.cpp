// The pulse output dialog run modally under the offscreen platform: its
// texts in both languages, the output's words in and out, the unit that
// follows the energy source, lists without a selection, and the weights the
// set's input ratings offer.
#include "app/CPulseDialog.h"
#include "SettingDialogHarness.h"
#include "foundation/Globals.h"
#include "params/CSettings.h"
#include "platform/ControlIds.h"
#include "tests/support/CScriptedPrompts.h"

#include <QComboBox>
#include <QPushButton>
#include <QTest>

#include <gtest/gtest.h>

#include <array>
#include <cstdint>

namespace {

using Dialog = CPulseDialog;

QComboBox* Combo(Dialog& d, int id) { return d.GetDlgItemAs<QComboBox>(id); }

// Picks an item from the keyboard, as a user confirms a choice.
void Choose(Dialog& d, int id, int index)
{
    QComboBox* combo = Combo(d, id);
    combo->setFocus();
    QTest::keyClick(combo, Qt::Key_Home);
    for (int i = 0; i < index; ++i)
        QTest::keyClick(combo, Qt::Key_Down);
    ASSERT_EQ(combo->currentIndex(), index);
}

bool RunDialog(CSettings& set, int output, const std::function<void(Dialog&)>& steps)
{
    Dialog dialog;
    DuringModalRun(dialog, [&] { steps(dialog); });
    return dialog.DoModalForOutput(output, set);
}

// The source, rate and duration words of a pulse output.
void SetOutputWords(CSettings& set, int output, std::array<int, 3> values)
{
    for (int i = 0; i < 3; ++i)
        set.SetWord(PulseOutputWordNumber(output, PULSE_WORD_SOURCE + i),
                    static_cast<std::uint16_t>(values[static_cast<std::size_t>(i)]));
}

int OutputWord(const CSettings& set, int output, int offset)
{
    return set.GetWord(PulseOutputWordNumber(output, offset));
}

class PulseDialogTest : public SettingDialogTest
{
};

} // namespace

TEST_F(PulseDialogTest, TextsInBothLanguages)
{
    struct Case
    {
        const char* file;
        const char* caption;
        const char* count;
        const char* cancel;
        const char* firstSource;
    };
    for (const Case& c : {Case{"English.lng", "Energy Setting", "Energy count", "Cancel", "Active energy, import"},
                          Case{"Japanese.lng", "パルス出力設定", "計量対象", "キャンセル", "有効電力量 受電"}}) {
        SCOPED_TRACE(c.file);
        g_resourceDatabase.LoadLanguageFile(QString::fromLatin1(c.file));
        CSettings set;
        SetOutputWords(set, 0, {0, 0, 1});
        RunDialog(set, 0, [&](Dialog& d) {
            EXPECT_EQ(d.windowTitle(), QString::fromUtf8(c.caption));
            EXPECT_EQ(d.GetDlgItemText(Dialog::IDC_SOURCE_LABEL), QString::fromUtf8(c.count));
            EXPECT_EQ(d.GetDlgItemText(Dialog::IDC_DURATION_UNIT), "ms");
            EXPECT_EQ(d.GetDlgItemText(IDCANCEL), QString::fromUtf8(c.cancel));
            QComboBox* source = Combo(d, Dialog::IDC_SOURCE);
            ASSERT_EQ(source->count(), 11);
            EXPECT_EQ(source->currentText(), QString::fromUtf8(c.firstSource));
            EXPECT_EQ(d.GetDlgItemText(Dialog::IDC_RATE_UNIT), "kWh");
        });
    }
}

TEST_F(PulseDialogTest, OutputOneShowsAndStoresItsOwnWordsAndTheUnitFollowsTheSource)
{
    CSettings set;
    SetOutputWords(set, 0, {1, 1, 3});
    SetOutputWords(set, 1, {2, 1, 5});
    const bool ok = RunDialog(set, 1, [&](Dialog& d) {
        EXPECT_EQ(Combo(d, Dialog::IDC_SOURCE)->currentIndex(), 2);
        EXPECT_EQ(Combo(d, Dialog::IDC_RATE)->currentIndex(), 1);
        QComboBox* duration = Combo(d, Dialog::IDC_DURATION);
        ASSERT_EQ(duration->count(), 20);
        EXPECT_EQ(duration->itemText(0), "100");
        EXPECT_EQ(duration->itemText(19), "2000");
        EXPECT_EQ(duration->currentText(), "500");

        // The unit follows each chosen source at once.
        EXPECT_EQ(d.GetDlgItemText(Dialog::IDC_RATE_UNIT), "kVAh");
        Choose(d, Dialog::IDC_SOURCE, 10);
        EXPECT_EQ(d.GetDlgItemText(Dialog::IDC_RATE_UNIT), "kvarh");
        Choose(d, Dialog::IDC_SOURCE, 3);
        EXPECT_EQ(d.GetDlgItemText(Dialog::IDC_RATE_UNIT), "kWh");
        Choose(d, Dialog::IDC_RATE, 3);
        Choose(d, Dialog::IDC_DURATION, 19);
        EXPECT_EQ(duration->currentText(), "2000");
        // Only the dialog's copy has them so far.
        EXPECT_EQ(OutputWord(set, 1, PULSE_WORD_DURATION), 5);
        QTest::mouseClick(d.GetDlgItemAs<QPushButton>(IDOK), Qt::LeftButton);
    });
    EXPECT_TRUE(ok);
    EXPECT_EQ(OutputWord(set, 1, PULSE_WORD_SOURCE), 3);
    EXPECT_EQ(OutputWord(set, 1, PULSE_WORD_RATE), 3);
    EXPECT_EQ(OutputWord(set, 1, PULSE_WORD_DURATION), 20);
    EXPECT_EQ(OutputWord(set, 0, PULSE_WORD_SOURCE), 1);
    EXPECT_EQ(OutputWord(set, 0, PULSE_WORD_RATE), 1);
    EXPECT_EQ(OutputWord(set, 0, PULSE_WORD_DURATION), 3);
}

TEST_F(PulseDialogTest, AListWithoutASelectionShowsNoUnitAndKeepsItsWord)
{
    // Values the lists do not offer: a source past the list (also the 65535
    // that once stood for "none"), a weight past the four, a duration of 0.
    for (int source : {11, 65535}) {
        SCOPED_TRACE(source);
        CSettings set;
        SetOutputWords(set, 0, {source, 9, 0});
        const bool ok = RunDialog(set, 0, [&](Dialog& d) {
            EXPECT_EQ(Combo(d, Dialog::IDC_SOURCE)->currentIndex(), -1);
            EXPECT_EQ(d.GetDlgItemText(Dialog::IDC_RATE_UNIT), "");
            EXPECT_EQ(Combo(d, Dialog::IDC_RATE)->currentIndex(), -1);
            EXPECT_EQ(Combo(d, Dialog::IDC_DURATION)->currentIndex(), -1);
            QTest::keyClick(&d, Qt::Key_Return);
        });
        EXPECT_TRUE(ok);
        EXPECT_EQ(OutputWord(set, 0, PULSE_WORD_SOURCE), source);
        EXPECT_EQ(OutputWord(set, 0, PULSE_WORD_RATE), 9);
        EXPECT_EQ(OutputWord(set, 0, PULSE_WORD_DURATION), 0);
        EXPECT_TRUE(m_prompts.MessageTexts().empty());
    }
}

TEST_F(PulseDialogTest, TheWeightsFollowTheWiringAndTheRatings)
{
    struct Case
    {
        int system;
        int ct;
        int vt;
        std::array<const char*, 4> weights;
    };
    // 50 A x 190 V is 9.5 kW on one phase, 16 kW on three phases; 1000 A x
    // 6600 V on three phases, four wires is 19.8 MW.
    for (const Case& c : {Case{0, 50, 190, {"0.001", "0.01", "0.1", "1.0"}},
                          Case{2, 50, 190, {"0.01", "0.1", "1.0", "10.0"}},
                          Case{4, 1000, 6600, {"10.0", "100.0", "1000.0", "10000.0"}}}) {
        SCOPED_TRACE(c.system);
        CSettings set;
        set.SetWord(PARAMETER_INPUT_SYSTEM, static_cast<std::uint16_t>(c.system));
        set.SetWord(PARAMETER_INPUT_CT1, static_cast<std::uint16_t>(c.ct));
        set.SetDword(PARAMETER_INPUT_VT1, static_cast<std::uint32_t>(c.vt));
        RunDialog(set, 1, [&](Dialog& d) {
            QComboBox* rate = Combo(d, Dialog::IDC_RATE);
            ASSERT_EQ(rate->count(), 4);
            for (int i = 0; i < 4; ++i)
                EXPECT_EQ(rate->itemText(i), c.weights[static_cast<std::size_t>(i)]);
        });
    }
}
