// The other settings dialog run modally under the offscreen platform: its
// texts in both languages, each control in and out (scaled cutouts, the
// frequency list, six independent radio pairs, one of them inverted),
// rejected cutouts by Enter and by OK, OK copying back and Cancel not.
#include "SettingDialogHarness.h"
#include "app/CAdvancedDialog.h"
#include "foundation/Globals.h"

#include <QComboBox>
#include <QLineEdit>
#include <QRadioButton>
#include <QTest>

#include <array>

namespace {

using Dialog = CAdvancedDialog;

// The words of the dialog, in the order of the pairs' first buttons.
constexpr std::array kPairs = {Dialog::IDC_PF_SIGN, Dialog::IDC_Q_SIGN, Dialog::IDC_QN_CALC,
                               Dialog::IDC_S_CALC, Dialog::IDC_P_SCALE, Dialog::IDC_ANALOG_LIMIT};
constexpr std::array kPairWords = {PARAMETER_CALC_OPTION_PF_SIGN, PARAMETER_CALC_OPTION_Q_SIGN,
                                   PARAMETER_CALC_OPTION_QN_CALC, PARAMETER_CALC_OPTION_S_CALC,
                                   PARAMETER_CALC_OPTION_POWER, PARAMETER_AOUT_LIMIT};
constexpr std::array kWords = {PARAMETER_INPUT_FREQ_DETECT, PARAMETER_INPUT_CUTOUT_I, PARAMETER_INPUT_CUTOUT_U,
                               PARAMETER_CALC_OPTION_PF_SIGN, PARAMETER_CALC_OPTION_Q_SIGN,
                               PARAMETER_CALC_OPTION_QN_CALC, PARAMETER_CALC_OPTION_S_CALC,
                               PARAMETER_CALC_OPTION_POWER, PARAMETER_AOUT_LIMIT};

bool RunOthers(CSettings& set, const std::function<void(Dialog&)>& steps)
{
    Dialog dialog;
    return RunSettingDialog(dialog, set, steps);
}

// Which button of each pair is checked: 1 the first, 2 the second, 0 none.
std::array<int, kPairs.size()> Checked(Dialog& d)
{
    std::array<int, kPairs.size()> checked{};
    for (std::size_t i = 0; i < kPairs.size(); ++i)
        checked[i] = d.IsDlgButtonChecked(kPairs[i]) ? 1 : d.IsDlgButtonChecked(kPairs[i] + 1) ? 2 : 0;
    return checked;
}

class AdvancedDialogTest : public SettingDialogTest
{
};

} // namespace

TEST_F(AdvancedDialogTest, TextsInBothLanguages)
{
    struct Case
    {
        const char* file;
        const char* caption;
        const char* cutout;
        const char* calculation;
        const char* noRounding;
        const char* limit;
        const char* voltageInput;
        const char* cancel;
    };
    for (const Case& c :
         {Case{"English.lng", "Other Setting", "Low-end cutout", "Calculation Option", "No rounding", "-1% to +101%",
               "Voltage input", "Cancel"},
          Case{"Japanese.lng", "その他の設定", "低入力カット", "演算オプション", "丸めなし", "-1% ～ +101%", "電圧入力",
               "キャンセル"}}) {
        SCOPED_TRACE(c.file);
        g_resourceDatabase.LoadLanguageFile(QString::fromLatin1(c.file));
        CSettings set;
        RunOthers(set, [&](Dialog& d) {
            EXPECT_EQ(d.windowTitle(), QString::fromUtf8(c.caption));
            EXPECT_EQ(d.GetDlgItemText(Dialog::IDC_CUTOUT_LABEL), QString::fromUtf8(c.cutout));
            EXPECT_EQ(d.GetDlgItemText(Dialog::IDC_CALCULATION_GROUP), QString::fromUtf8(c.calculation));
            EXPECT_EQ(d.GetDlgItemText(Dialog::IDC_P_SCALE + 1), QString::fromUtf8(c.noRounding));
            EXPECT_EQ(d.GetDlgItemText(Dialog::IDC_ANALOG_LIMIT + 1), QString::fromUtf8(c.limit));
            EXPECT_EQ(d.GetDlgItemText(IDCANCEL), QString::fromUtf8(c.cancel));
            auto* list = d.GetDlgItemAs<QComboBox>(Dialog::IDC_FREQ_DETECT);
            ASSERT_EQ(list->count(), 2);
            EXPECT_EQ(list->itemText(0), QString::fromUtf8(c.voltageInput));
        });
    }
    // Without a language file the template's texts stay.
    g_resourceDatabase.CreateEmpty();
    CSettings set;
    RunOthers(set, [&](Dialog& d) {
        EXPECT_EQ(d.windowTitle(), "Other Setting");
        EXPECT_EQ(d.GetDlgItemText(Dialog::IDC_Q_SIGN + 1), "Inverted when outgoing (Special)");
    });
}

TEST_F(AdvancedDialogTest, TheAnalogLimitPairStandsInTheColumnsOfTheCalculationPairsInBothLanguages)
{
    for (const char* file : {"English.lng", "Japanese.lng"}) {
        SCOPED_TRACE(file);
        g_resourceDatabase.LoadLanguageFile(QString::fromLatin1(file));
        CSettings set;
        RunOthers(set, [](Dialog& d) {
            const auto x = [&d](int id) { return d.GetDlgItem(id)->mapTo(&d, QPoint(0, 0)).x(); };
            constexpr std::array kPairTitles = {Dialog::IDC_PF_SIGN_LABEL, Dialog::IDC_Q_SIGN_LABEL,
                                                Dialog::IDC_QN_CALC_LABEL, Dialog::IDC_S_CALC_LABEL,
                                                Dialog::IDC_P_SCALE_LABEL};
            for (int pair = 0; pair < 5; ++pair) {
                SCOPED_TRACE(pair);
                EXPECT_EQ(x(Dialog::IDC_ANALOG_LIMIT_LABEL), x(kPairTitles[pair]));
                EXPECT_EQ(x(Dialog::IDC_ANALOG_LIMIT), x(kPairs[pair]));
                EXPECT_EQ(x(Dialog::IDC_ANALOG_LIMIT + 1), x(kPairs[pair] + 1));
            }
        });
    }
}

TEST_F(AdvancedDialogTest, ShowsTheSetAndOkStoresEachControl)
{
    CSettings set;
    SetWords(set, {{PARAMETER_INPUT_CUTOUT_U, 25},
                   {PARAMETER_INPUT_CUTOUT_I, 100},
                   {PARAMETER_INPUT_FREQ_DETECT, 1},
                   {PARAMETER_CALC_OPTION_PF_SIGN, 1},
                   {PARAMETER_CALC_OPTION_Q_SIGN, 0},
                   {PARAMETER_CALC_OPTION_QN_CALC, 1},
                   {PARAMETER_CALC_OPTION_S_CALC, 0},
                   {PARAMETER_CALC_OPTION_POWER, 0},
                   {PARAMETER_AOUT_LIMIT, 1}});
    const CSettings before = set;

    // OK without a change gives the same words back; a rounding word of 0 is "No rounding".
    EXPECT_TRUE(RunOthers(set, [&](Dialog& d) {
        EXPECT_EQ(d.GetDlgItemText(Dialog::IDC_CUTOUT_U), "2.5");
        EXPECT_EQ(d.GetDlgItemText(Dialog::IDC_CUTOUT_I), "10.0");
        EXPECT_EQ(d.GetDlgItemAs<QComboBox>(Dialog::IDC_FREQ_DETECT)->currentText(), "Current input");
        EXPECT_EQ(Checked(d), (std::array{2, 1, 2, 1, 2, 2}));
        ClickControl(d, IDOK);
    }));
    for (int word : kWords)
        EXPECT_EQ(set.GetWord(word), before.GetWord(word)) << word;

    // Each pair on its own: flipping one leaves the others as they were.
    EXPECT_TRUE(RunOthers(set, [&](Dialog& d) {
        std::array expected{2, 1, 2, 1, 2, 2};
        for (std::size_t i = 0; i < kPairs.size(); ++i) {
            expected[i] = 3 - expected[i];
            ClickControl(d, kPairs[i] + expected[i] - 1);
            EXPECT_EQ(Checked(d), expected) << i;
        }
        TypeInto(d, Dialog::IDC_CUTOUT_U, QStringLiteral("2.45"));
        TypeInto(d, Dialog::IDC_CUTOUT_I, QStringLiteral("99.9"));
        d.GetDlgItemAs<QComboBox>(Dialog::IDC_FREQ_DETECT)->setCurrentIndex(0);
        // Only the dialog's copy may change before OK.
        EXPECT_EQ(set.GetWord(PARAMETER_CALC_OPTION_PF_SIGN), 1);
        QTest::keyClick(d.GetDlgItem(Dialog::IDC_CUTOUT_I), Qt::Key_Return);
    }));
    EXPECT_EQ(set.GetWord(PARAMETER_INPUT_CUTOUT_U), 25);  // 24.5 rounds away from zero
    EXPECT_EQ(set.GetWord(PARAMETER_INPUT_CUTOUT_I), 999);
    EXPECT_EQ(set.GetWord(PARAMETER_INPUT_FREQ_DETECT), 0);
    // "Standard (Rounding)" stores 1 into the inverted word.
    for (std::size_t i = 0; i < kPairWords.size(); ++i)
        EXPECT_EQ(set.GetWord(kPairWords[i]), 1 - before.GetWord(kPairWords[i])) << kPairWords[i];
    EXPECT_TRUE(m_prompts.MessageTexts().empty());
}

TEST_F(AdvancedDialogTest, AFrequencyInputTheListDoesNotOfferIsKept)
{
    for (int value : {2, 65535}) {
        CSettings set;
        SetWords(set, {{PARAMETER_INPUT_FREQ_DETECT, value}});
        EXPECT_TRUE(RunOthers(set, [&](Dialog& d) {
            EXPECT_EQ(d.GetDlgItemAs<QComboBox>(Dialog::IDC_FREQ_DETECT)->currentIndex(), -1);
            ClickControl(d, IDOK);
        }));
        EXPECT_EQ(set.GetWord(PARAMETER_INPUT_FREQ_DETECT), value);
    }
}

TEST_F(AdvancedDialogTest, ARejectedCutoutKeepsTheDialogOpenAndTheCallersSet)
{
    CSettings set;
    const CSettings before = set;
    EXPECT_FALSE(RunOthers(set, [&](Dialog& d) {
        ExpectRejected(d, m_prompts, Dialog::IDC_CUTOUT_U, "100",
                       "Low-end cutout, voltage (%): enter a value from 0 to 99.9.");
        ExpectRejected(d, m_prompts, Dialog::IDC_CUTOUT_U, "-0.1",
                       "Low-end cutout, voltage (%): enter a value from 0 to 99.9.");
        ExpectRejected(d, m_prompts, Dialog::IDC_CUTOUT_U, "1,5", "Low-end cutout, voltage (%): enter a number.");
        // The voltage cutout is taken into the copy before the current one fails.
        TypeInto(d, Dialog::IDC_CUTOUT_U, QStringLiteral("50"));
        ExpectRejected(d, m_prompts, Dialog::IDC_CUTOUT_I, "", "Low-end cutout, current (%): enter a number.");
        EXPECT_EQ(d.GetSettings().GetWord(PARAMETER_INPUT_CUTOUT_U), 500);
    }));
    EXPECT_EQ(set.GetWord(PARAMETER_INPUT_CUTOUT_U), before.GetWord(PARAMETER_INPUT_CUTOUT_U));

    // Japanese messages name the Japanese parameter.
    g_resourceDatabase.LoadLanguageFile(QStringLiteral("Japanese.lng"));
    RunOthers(set, [&](Dialog& d) {
        ExpectRejected(d, m_prompts, Dialog::IDC_CUTOUT_I, "120", "低入力カット 電流 (%): 0 ～ 99.9 の範囲で入力してください。");
    });
}

TEST_F(AdvancedDialogTest, CancelAndEscLeaveTheCallersSetAsItWas)
{
    for (bool esc : {false, true}) {
        CSettings set;
        const CSettings before = set;
        EXPECT_FALSE(RunOthers(set, [&](Dialog& d) {
            TypeInto(d, Dialog::IDC_CUTOUT_U, QStringLiteral("12.3"));
            ClickControl(d, Dialog::IDC_PF_SIGN + 1);
            if (esc)
                QTest::keyClick(d.GetDlgItem(Dialog::IDC_CUTOUT_U), Qt::Key_Escape);
            else
                ClickControl(d, IDCANCEL);
            EXPECT_FALSE(d.isVisible());
        }));
        for (int word : kWords)
            EXPECT_EQ(set.GetWord(word), before.GetWord(word)) << word;
    }
}
