// The Modbus settings dialog and its advanced dialog run modally under the
// offscreen platform: the template texts in any language, the lists from
// the string table, the controls in and out with and without the mode
// capability, rejected values by Enter and by OK (t3.5 checked against the
// t1.5 just typed), the red warning, and the advanced dialog editing only
// the Modbus dialog's copy.
#include "SettingDialogHarness.h"
#include "app/CAdvancedModbusDialog.h"
#include "app/CModbusDialog.h"
#include "foundation/Globals.h"
#include "support/WhileModal.h"

#include <QApplication>
#include <QComboBox>
#include <QImage>
#include <QLabel>
#include <QLineEdit>
#include <QTest>

#include <cstdint>

namespace {

using Dialog = CModbusDialog;
using Advanced = CAdvancedModbusDialog;

// No supported unit has the mode capability; this one stands for such a unit.
class ModbusDialogWithMode : public CModbusDialog
{
protected:
    bool HasModeCapability() const override { return true; }
};

constexpr int kWords[] = {PARAMETER_MODBUS_ADDRESS,       PARAMETER_MODBUS_BAUDRATE, PARAMETER_MODBUS_PARITY,
                          PARAMETER_MODBUS_STOP,          PARAMETER_MODBUS_T15,      PARAMETER_MODBUS_T35,
                          PARAMETER_MODBUS_LONG_REGISTER, PARAMETER_MODBUS_MODE,     PARAMETER_MODBUS_RUNLED};

template <class D = Dialog> bool RunModbus(CSettings& set, const std::function<void(Dialog&)>& steps)
{
    D dialog;
    return RunSettingDialog<Dialog>(dialog, set, steps);
}

// Clicks Advanced; the steps run inside the advanced dialog's modal loop,
// which they leave with OK or Cancel.
void RunAdvanced(Dialog& modbus, const std::function<void(Advanced&)>& steps)
{
    WhileModal<Advanced>([steps](Advanced& advanced) { RunStepsIn(advanced, [&] { steps(advanced); }); });
    ClickControl(modbus, Dialog::IDC_ADVANCED);
    EXPECT_EQ(QApplication::activeModalWidget(), &modbus);
}

QComboBox* List(Dialog& d, int id) { return d.GetDlgItemAs<QComboBox>(id); }

bool Enabled(CDialog& d, int id) { return d.GetDlgItem(id)->isEnabled(); }

class ModbusDialogTest : public SettingDialogTest
{
};

} // namespace

TEST_F(ModbusDialogTest, TemplateTextsAndFontInEveryLanguage)
{
    // Red text on the warning: some pixel of the label is red.
    auto hasRed = [](QWidget* label) {
        const QImage picture = label->grab().toImage();
        for (int y = 0; y < picture.height(); ++y)
            for (int x = 0; x < picture.width(); ++x) {
                const QColor c = picture.pixelColor(x, y);
                if (c.red() > 200 && c.green() < 80 && c.blue() < 80)
                    return true;
            }
        return false;
    };
    g_resourceDatabase.LoadLanguageFile(QStringLiteral("Japanese.lng"));
    CSettings set;
    RunModbus(set, [&](Dialog& d) {
        EXPECT_EQ(d.windowTitle(), "Modbus Setting");
        EXPECT_EQ(d.GetDlgItemText(Dialog::IDC_ADDRESS_LABEL), "Device address");
        EXPECT_EQ(d.GetDlgItemText(Dialog::IDC_BAUDRATE_LABEL), "Transfer rate");
        EXPECT_EQ(d.GetDlgItemText(Dialog::IDC_ADVANCED), "Advanced");
        EXPECT_EQ(d.GetDlgItemText(Dialog::IDC_MODE_ASCII), "ASCII (7bit)");
        EXPECT_EQ(d.GetDlgItemText(Dialog::IDC_RUNLED_LABEL), "RUN LED Timeout");
        EXPECT_EQ(d.GetDlgItemText(IDCANCEL), "Cancel");
        EXPECT_FALSE(d.testAttribute(Qt::WA_SetFont));
        EXPECT_EQ(d.GetDlgItem(Dialog::IDC_ADDRESS_LABEL)->font(), QApplication::font());
        // The lists come from the program's string table.
        const QStringList rates{"1200 bps", "2400 bps", "4800 bps", "9600 bps", "19200 bps", "38400 bps"};
        const QStringList parities{"None", "Odd", "Even"};
        const QStringList stops{"1 bit", "2 bit"};
        for (const auto& [id, texts] : {std::pair{Dialog::IDC_BAUDRATE, rates}, std::pair{Dialog::IDC_PARITY, parities},
                                        std::pair{Dialog::IDC_STOP, stops}}) {
            QStringList shown;
            for (int i = 0; i < List(d, id)->count(); ++i)
                shown << List(d, id)->itemText(i);
            EXPECT_EQ(shown, texts) << id;
        }
        RunAdvanced(d, [&](Advanced& a) {
            EXPECT_EQ(a.windowTitle(), "Advanced Modbus Setting");
            EXPECT_EQ(a.GetDlgItemText(Advanced::IDC_LONG_LABEL), "Long register");
            EXPECT_EQ(a.GetDlgItemText(Advanced::IDC_LONG_SWAP), "Swap (high first)");
            EXPECT_EQ(a.GetDlgItemText(Advanced::IDC_T15_LABEL), "t1.5");
            EXPECT_EQ(a.GetDlgItemText(Advanced::IDC_T35_UNIT), "char");
            EXPECT_EQ(a.GetDlgItemText(Advanced::IDC_WARNING),
                      "WARNING! Communication might fail when t1.5 or t3.5 are changed.");
            EXPECT_FALSE(a.testAttribute(Qt::WA_SetFont));
            EXPECT_TRUE(hasRed(a.GetDlgItem(Advanced::IDC_WARNING)));
            EXPECT_FALSE(hasRed(a.GetDlgItem(Advanced::IDC_TIMER_LABEL)));
        });
    });
}

TEST_F(ModbusDialogTest, WithoutTheModeCapabilityAddressAndRateAreEdited)
{
    CSettings set;
    SetWords(set, {{PARAMETER_MODBUS_ADDRESS, 17},
                   {PARAMETER_MODBUS_BAUDRATE, 7},
                   {PARAMETER_MODBUS_PARITY, 5},
                   {PARAMETER_MODBUS_STOP, 3},
                   {PARAMETER_MODBUS_MODE, 1},
                   {PARAMETER_MODBUS_RUNLED, 1234}});
    const CSettings before = set;
    // Values beyond the lists show their last entry, and OK stores that.
    EXPECT_TRUE(RunModbus(set, [&](Dialog& d) {
        for (int id : {Dialog::IDC_ADDRESS_LABEL, Dialog::IDC_ADDRESS, Dialog::IDC_BAUDRATE_LABEL, Dialog::IDC_BAUDRATE,
                       Dialog::IDC_PARITY, Dialog::IDC_STOP, Dialog::IDC_ADVANCED})
            EXPECT_TRUE(Enabled(d, id)) << id;
        for (int id : {Dialog::IDC_MODE_LABEL, Dialog::IDC_MODE_RTU, Dialog::IDC_MODE_ASCII, Dialog::IDC_RUNLED_LABEL,
                       Dialog::IDC_RUNLED, Dialog::IDC_RUNLED_UNIT})
            EXPECT_FALSE(Enabled(d, id)) << id;
        EXPECT_EQ(d.GetDlgItemText(Dialog::IDC_ADDRESS), "17");
        EXPECT_EQ(List(d, Dialog::IDC_BAUDRATE)->currentText(), "38400 bps");
        EXPECT_EQ(List(d, Dialog::IDC_PARITY)->currentText(), "Even");
        EXPECT_EQ(List(d, Dialog::IDC_STOP)->currentText(), "2 bit");
        EXPECT_EQ(d.GetDlgItemText(Dialog::IDC_RUNLED), "");
        ClickControl(d, IDOK);
    }));
    EXPECT_EQ(set.GetWord(PARAMETER_MODBUS_ADDRESS), 17);
    EXPECT_EQ(set.GetWord(PARAMETER_MODBUS_BAUDRATE), 5);
    EXPECT_EQ(set.GetWord(PARAMETER_MODBUS_PARITY), 2);
    EXPECT_EQ(set.GetWord(PARAMETER_MODBUS_STOP), 1);
    EXPECT_EQ(set.GetWord(PARAMETER_MODBUS_MODE), 1);
    EXPECT_EQ(set.GetWord(PARAMETER_MODBUS_RUNLED), 1234);

    EXPECT_TRUE(RunModbus(set, [&](Dialog& d) {
        TypeInto(d, Dialog::IDC_ADDRESS, QStringLiteral("247"));
        List(d, Dialog::IDC_BAUDRATE)->setCurrentIndex(0);
        List(d, Dialog::IDC_PARITY)->setCurrentIndex(1);
        List(d, Dialog::IDC_STOP)->setCurrentIndex(0);
        QTest::keyClick(d.GetDlgItem(Dialog::IDC_ADDRESS), Qt::Key_Return);
    }));
    EXPECT_EQ(set.GetWord(PARAMETER_MODBUS_ADDRESS), 247);
    EXPECT_EQ(set.GetWord(PARAMETER_MODBUS_BAUDRATE), 0);
    EXPECT_EQ(set.GetWord(PARAMETER_MODBUS_PARITY), 1);
    EXPECT_EQ(set.GetWord(PARAMETER_MODBUS_STOP), 0);
    for (int word : {PARAMETER_MODBUS_T15, PARAMETER_MODBUS_T35, PARAMETER_MODBUS_LONG_REGISTER, PARAMETER_MODBUS_MODE,
                     PARAMETER_MODBUS_RUNLED})
        EXPECT_EQ(set.GetWord(word), before.GetWord(word)) << word;
    EXPECT_TRUE(m_prompts.MessageTexts().empty());
}

TEST_F(ModbusDialogTest, WithTheModeCapabilityModeAndRunLedAreEdited)
{
    CSettings set;
    SetWords(set, {{PARAMETER_MODBUS_ADDRESS, 300},
                   {PARAMETER_MODBUS_BAUDRATE, 9},
                   {PARAMETER_MODBUS_PARITY, 0},
                   {PARAMETER_MODBUS_STOP, 1},
                   {PARAMETER_MODBUS_MODE, 1},
                   {PARAMETER_MODBUS_RUNLED, 25}});
    EXPECT_TRUE(RunModbus<ModbusDialogWithMode>(set, [&](Dialog& d) {
        for (int id : {Dialog::IDC_ADDRESS_LABEL, Dialog::IDC_ADDRESS, Dialog::IDC_BAUDRATE_LABEL, Dialog::IDC_BAUDRATE,
                       Dialog::IDC_ADVANCED})
            EXPECT_FALSE(Enabled(d, id)) << id;
        for (int id : {Dialog::IDC_MODE_LABEL, Dialog::IDC_MODE_RTU, Dialog::IDC_MODE_ASCII, Dialog::IDC_RUNLED_LABEL,
                       Dialog::IDC_RUNLED, Dialog::IDC_RUNLED_UNIT, Dialog::IDC_PARITY, Dialog::IDC_STOP})
            EXPECT_TRUE(Enabled(d, id)) << id;
        EXPECT_EQ(d.GetDlgItemText(Dialog::IDC_ADDRESS), "");
        EXPECT_EQ(List(d, Dialog::IDC_BAUDRATE)->currentIndex(), -1);
        EXPECT_TRUE(d.IsDlgButtonChecked(Dialog::IDC_MODE_ASCII));
        EXPECT_FALSE(d.IsDlgButtonChecked(Dialog::IDC_MODE_RTU));
        EXPECT_EQ(d.GetDlgItemText(Dialog::IDC_RUNLED), "2.5");
        EXPECT_EQ(List(d, Dialog::IDC_PARITY)->currentText(), "None");
        EXPECT_EQ(List(d, Dialog::IDC_STOP)->currentText(), "2 bit");

        ClickControl(d, Dialog::IDC_MODE_RTU);
        EXPECT_FALSE(d.IsDlgButtonChecked(Dialog::IDC_MODE_ASCII));
        TypeInto(d, Dialog::IDC_RUNLED, QStringLiteral("3200.0"));
        List(d, Dialog::IDC_PARITY)->setCurrentIndex(2);
        ClickControl(d, IDOK);
    }));
    EXPECT_EQ(set.GetWord(PARAMETER_MODBUS_MODE), 0);
    EXPECT_EQ(set.GetWord(PARAMETER_MODBUS_RUNLED), 32000);
    EXPECT_EQ(set.GetWord(PARAMETER_MODBUS_PARITY), 2);
    EXPECT_EQ(set.GetWord(PARAMETER_MODBUS_STOP), 1);
    // The disabled address and rate stay as they were.
    EXPECT_EQ(set.GetWord(PARAMETER_MODBUS_ADDRESS), 300);
    EXPECT_EQ(set.GetWord(PARAMETER_MODBUS_BAUDRATE), 9);
}

TEST_F(ModbusDialogTest, RejectedValuesKeepTheDialogOpenAndModal)
{
    CSettings set;
    SetWords(set, {{PARAMETER_MODBUS_T15, 15}, {PARAMETER_MODBUS_T35, 35}});
    const CSettings before = set;
    EXPECT_FALSE(RunModbus(set, [&](Dialog& d) {
        ExpectRejected(d, m_prompts, Dialog::IDC_ADDRESS, "0", "Device address: enter a value from 1 to 247.");
        ExpectRejected(d, m_prompts, Dialog::IDC_ADDRESS, "248", "Device address: enter a value from 1 to 247.");
        ExpectRejected(d, m_prompts, Dialog::IDC_ADDRESS, "1.5", "Device address: enter a whole number.");

        RunAdvanced(d, [&](Advanced& a) {
            ExpectRejected(a, m_prompts, Advanced::IDC_T15, "0", "Timer t1.5 (characters): enter a value from 0.1 to 5.9.");
            ExpectRejected(a, m_prompts, Advanced::IDC_T15, "6", "Timer t1.5 (characters): enter a value from 0.1 to 5.9.");
            ExpectRejected(a, m_prompts, Advanced::IDC_T35, "6.1", "Timer t3.5 (characters): enter a value from 1.6 to 6.");
            // The lower bound of t3.5 follows the t1.5 just typed.
            TypeInto(a, Advanced::IDC_T15, QStringLiteral("3.0"));
            ExpectRejected(a, m_prompts, Advanced::IDC_T35, "3.0", "Timer t3.5 (characters): enter a value from 3.1 to 6.");
            ExpectRejected(a, m_prompts, Advanced::IDC_T35, "", "Timer t3.5 (characters): enter a number.");
            TypeInto(a, Advanced::IDC_T35, QStringLiteral("3.1"));
            ClickControl(a, IDOK);
            EXPECT_FALSE(a.isVisible());
        });
        EXPECT_EQ(d.GetSettings().GetWord(PARAMETER_MODBUS_T15), 30);
        EXPECT_EQ(d.GetSettings().GetWord(PARAMETER_MODBUS_T35), 31);
    }));
    for (int word : kWords)
        EXPECT_EQ(set.GetWord(word), before.GetWord(word)) << word;

    EXPECT_FALSE(RunModbus<ModbusDialogWithMode>(set, [&](Dialog& d) {
        ExpectRejected(d, m_prompts, Dialog::IDC_RUNLED, "3200.1", "RUN LED timeout (s): enter a value from 0 to 3200.");
        ExpectRejected(d, m_prompts, Dialog::IDC_RUNLED, "x", "RUN LED timeout (s): enter a number.");
    }));
}

TEST_F(ModbusDialogTest, TheAdvancedDialogEditsOnlyTheModbusDialogsCopy)
{
    CSettings before;
    SetWords(before, {{PARAMETER_MODBUS_T15, 15}, {PARAMETER_MODBUS_T35, 35}, {PARAMETER_MODBUS_LONG_REGISTER, 0}});
    auto changeAll = [](Advanced& a) {
        EXPECT_EQ(a.GetDlgItemText(Advanced::IDC_T15), "1.5");
        EXPECT_EQ(a.GetDlgItemText(Advanced::IDC_T35), "3.5");
        EXPECT_TRUE(a.IsDlgButtonChecked(Advanced::IDC_LONG_NORMAL));
        ClickControl(a, Advanced::IDC_LONG_SWAP);
        EXPECT_FALSE(a.IsDlgButtonChecked(Advanced::IDC_LONG_NORMAL));
        TypeInto(a, Advanced::IDC_T15, QStringLiteral("2"));
        TypeInto(a, Advanced::IDC_T35, QStringLiteral("4.04"));
    };

    struct Case
    {
        bool advancedOk;
        bool modbusOk;
    };
    for (const Case& c : {Case{true, false}, Case{false, true}, Case{true, true}}) {
        SCOPED_TRACE(testing::Message() << "advanced OK " << c.advancedOk << ", Modbus OK " << c.modbusOk);
        CSettings set = before;
        EXPECT_EQ(RunModbus(set, [&](Dialog& d) {
            RunAdvanced(d, [&](Advanced& a) {
                changeAll(a);
                if (c.advancedOk)
                    QTest::keyClick(a.GetDlgItem(Advanced::IDC_T35), Qt::Key_Return);
                else
                    ClickControl(a, IDCANCEL);
            });
            EXPECT_EQ(d.GetSettings().GetWord(PARAMETER_MODBUS_LONG_REGISTER), c.advancedOk ? 1 : 0);
            ClickControl(d, c.modbusOk ? IDOK : IDCANCEL);
        }), c.modbusOk);
        // The caller gets the advanced settings only through both OKs.
        const bool changed = c.advancedOk && c.modbusOk;
        EXPECT_EQ(set.GetWord(PARAMETER_MODBUS_T15), changed ? 20 : 15);
        EXPECT_EQ(set.GetWord(PARAMETER_MODBUS_T35), changed ? 40 : 35);
        EXPECT_EQ(set.GetWord(PARAMETER_MODBUS_LONG_REGISTER), changed ? 1 : 0);
        if (!c.modbusOk) {
            for (int word : kWords)
                EXPECT_EQ(set.GetWord(word), before.GetWord(word)) << word;
        }
    }
}
