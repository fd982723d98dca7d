// The passcode entry (145) and protect (146) dialogs, headless: their texts,
// input checks that keep them open, OK and Cancel, the remembered passcode.
#include "ModalScript.h"
#include "TestText.h"
#include "params/CEnterPasscodeDialog.h"
#include "params/CProtectDialog.h"

#include "support/CScriptedPrompts.h"
#include "support/TempProfile.h"

#include "foundation/CMessageFormatter.h"
#include "foundation/Globals.h"
#include "foundation/PasscodeScramble.h"
#include "platform/CProfile.h"
#include "platform/ControlIds.h"

#include <QCheckBox>
#include <QLabel>
#include <QLineEdit>
#include <QPushButton>
#include <QTest>
#include <QTimer>

#include <gtest/gtest.h>

#include <functional>

namespace {
int Remembered()
{
    CProfile::Reload();
    return CProfile::GetProfileInt(QStringLiteral("Settings"), QStringLiteral("Passcode"), NO_REMEMBERED_PASSCODE);
}

void Remember(int value)
{
    CProfile::WriteProfileInt(QStringLiteral("Settings"), QStringLiteral("Passcode"), value);
}

class PasscodeDialogsTest : public ::testing::Test
{
protected:
    void SetUp() override
    {
        CProfile::Reload();
        g_resourceDatabase.LoadLanguageFile(QStringLiteral("English.lng"));
    }
    void TearDown() override { CProfile::Reload(); }

    TempProfile m_profile;
    CScriptedPrompts m_prompts;
};
} // namespace

TEST_F(PasscodeDialogsTest, EnterDialogTakesItsTextsByDialogId)
{
    for (const char* file : {"English.lng", "Japanese.lng", ""}) {
        if (*file)
            g_resourceDatabase.LoadLanguageFile(QString::fromLatin1(file));
        else
            g_resourceDatabase.CreateEmpty();
        CEnterPasscodeDialog dialog;
        QString caption, prompt, check;
        WhileModal([&] {
            caption = Modal()->windowTitle();
            prompt = Control<QLabel>(IDC_PASSCODE_PROMPT)->text();
            check = Control<QCheckBox>(IDC_SAVE_PASSCODE)->text();
            EXPECT_EQ(Control<QLineEdit>(IDC_PASSCODE_EDIT)->echoMode(), QLineEdit::Password);
            Click(IDCANCEL);
        });
        std::uint32_t passcode = 7;
        EXPECT_FALSE(dialog.Execute(passcode));
        EXPECT_EQ(passcode, 7u);
        if (*file) {
            EXPECT_EQ(Str(caption), Str(g_resourceDatabase.GetGuiText(IDD_ENTER_PASSCODE, 0)));
            EXPECT_EQ(Str(prompt), Str(g_resourceDatabase.GetGuiText(IDD_ENTER_PASSCODE, IDC_PASSCODE_PROMPT)));
            EXPECT_EQ(Str(check), Str(g_resourceDatabase.GetGuiText(IDD_ENTER_PASSCODE, IDC_SAVE_PASSCODE)));
            EXPECT_FALSE(caption.isEmpty());
        } else {
            // Without a language file the template texts stay, the lone CR made a line break.
            EXPECT_EQ(Str(caption), Str(QStringLiteral("Enter Modbus Passcode")));
            EXPECT_EQ(prompt, QStringLiteral("The device is write protected. \nEnter Modbus passcode."));
            EXPECT_EQ(check, QStringLiteral("Save Modbus passcode"));
        }
    }
}

TEST_F(PasscodeDialogsTest, EnterDialogUsesTheRememberedPasscodeUntouched)
{
    Remember(ScramblePasscode(123456789));
    CEnterPasscodeDialog dialog;
    WhileModal([] {
        EXPECT_TRUE(Control<QCheckBox>(IDC_SAVE_PASSCODE)->isChecked());
        EXPECT_EQ(Str(Control<QLineEdit>(IDC_PASSCODE_EDIT)->text()), Str(QStringLiteral("xxxxxxxxxxxx")));
        Click(IDOK);
    });
    std::uint32_t passcode = 0;
    ASSERT_TRUE(dialog.Execute(passcode));
    EXPECT_EQ(passcode, 123456789u);
    EXPECT_EQ(Remembered(), ScramblePasscode(123456789));
}

TEST_F(PasscodeDialogsTest, EnterDialogRemembersOrForgetsWhatIsTyped)
{
    // Typed with the box ticked: remembered, and read back by the next run.
    {
        CEnterPasscodeDialog dialog;
        WhileModal([] {
            EXPECT_FALSE(Control<QCheckBox>(IDC_SAVE_PASSCODE)->isChecked());
            EXPECT_EQ(Str(Control<QLineEdit>(IDC_PASSCODE_EDIT)->text()), Str(QString()));
            Type(IDC_PASSCODE_EDIT, QStringLiteral("4711"));
            Control<QCheckBox>(IDC_SAVE_PASSCODE)->setChecked(true);
            Click(IDOK);
        });
        std::uint32_t passcode = 0;
        ASSERT_TRUE(dialog.Execute(passcode));
        EXPECT_EQ(passcode, 4711u);
        EXPECT_NE(Remembered(), NO_REMEMBERED_PASSCODE);
        EXPECT_NE(Remembered(), 4711) << "stored scrambled";
    }
    {
        CEnterPasscodeDialog dialog;
        WhileModal([] { Click(IDOK); });
        std::uint32_t passcode = 0;
        ASSERT_TRUE(dialog.Execute(passcode));
        EXPECT_EQ(passcode, 4711u);
    }
    // Unticking forgets it even though the remembered passcode is sent.
    {
        CEnterPasscodeDialog dialog;
        WhileModal([] {
            Control<QCheckBox>(IDC_SAVE_PASSCODE)->setChecked(false);
            Click(IDOK);
        });
        std::uint32_t passcode = 0;
        ASSERT_TRUE(dialog.Execute(passcode));
        EXPECT_EQ(passcode, 4711u);
        EXPECT_EQ(Remembered(), NO_REMEMBERED_PASSCODE);
    }
    // Cancel leaves the profile alone.
    Remember(ScramblePasscode(5));
    {
        CEnterPasscodeDialog dialog;
        WhileModal([] {
            Type(IDC_PASSCODE_EDIT, QStringLiteral("6"));
            Control<QCheckBox>(IDC_SAVE_PASSCODE)->setChecked(false);
            QTest::keyClick(Modal(), Qt::Key_Escape);
        });
        std::uint32_t passcode = 0;
        EXPECT_FALSE(dialog.Execute(passcode));
        EXPECT_EQ(Remembered(), ScramblePasscode(5));
    }
}

TEST_F(PasscodeDialogsTest, EnterDialogReadsTypedNumbersStrictly)
{
    const struct
    {
        const char* text;
        std::uint32_t passcode;
    } cases[] = {
        {"12ab", 0},       {"1234567890", 0}, {"999999999", 999999999}, {"0x1F", 31}, {"017", 17},
        {"0000000123", 123}, {"-5", 0},        {" 42", 42},              {"42 ", 0},   {"", 0},
        {"99999999999999999999", 0},
    };
    for (const auto& c : cases)
        EXPECT_EQ(CEnterPasscodeDialog::ParsePasscode(QString::fromLatin1(c.text)), c.passcode) << c.text;

    // Through the dialog, with Enter in the field.
    CEnterPasscodeDialog dialog;
    WhileModal([] {
        Type(IDC_PASSCODE_EDIT, QStringLiteral("12ab"));
        QTest::keyClick(Control<QLineEdit>(IDC_PASSCODE_EDIT), Qt::Key_Return);
    });
    std::uint32_t passcode = 99;
    ASSERT_TRUE(dialog.Execute(passcode));
    EXPECT_EQ(passcode, 0u);
}

TEST_F(PasscodeDialogsTest, ProtectDialogTextsAndFields)
{
    CProtectDialog dialog;
    WhileModal([] {
        EXPECT_EQ(Str(Modal()->windowTitle()), Str(g_resourceDatabase.GetGuiText(IDD_PROTECT, 0)));
        for (int id : {IDC_PROTECT_EXPLANATION, IDC_CURRENT_PASSCODE_LABEL, IDC_NEW_PASSCODE_LABEL,
                       IDC_CONFIRM_PASSCODE_LABEL})
            EXPECT_EQ(Str(Control<QLabel>(id)->text()), Str(g_resourceDatabase.GetGuiText(IDD_PROTECT, id))) << id;
        EXPECT_TRUE(Control<QLabel>(IDC_PROTECT_EXPLANATION)->text().contains(QLatin1Char('\n')));
        for (int id : {IDC_CURRENT_PASSCODE, IDC_NEW_PASSCODE, IDC_CONFIRM_PASSCODE}) {
            auto* edit = Control<QLineEdit>(id);
            EXPECT_EQ(edit->maxLength(), 9);
            EXPECT_EQ(edit->echoMode(), QLineEdit::Password);
            QTest::keyClicks(edit, QStringLiteral("1a2-345678901"));
            EXPECT_EQ(Str(edit->text()), Str(QStringLiteral("123456789"))) << "digits only, nine at most";
        }
        Click(IDCANCEL);
    });
    std::uint32_t current = 1, replacement = 2;
    EXPECT_FALSE(dialog.Execute(current, replacement));
    EXPECT_EQ(current, 1u);
    EXPECT_EQ(replacement, 2u);
}

TEST_F(PasscodeDialogsTest, ProtectDialogStaysOpenOnBadInput)
{
    CProtectDialog dialog;
    WhileModal([this] {
        // Confirmation differs: its message, and the texts stay as typed.
        Type(IDC_CURRENT_PASSCODE, QStringLiteral("11"));
        Type(IDC_NEW_PASSCODE, QStringLiteral("222"));
        Type(IDC_CONFIRM_PASSCODE, QStringLiteral("223"));
        Click(IDOK);
        ASSERT_EQ(m_prompts.Count(), 1u);
        EXPECT_EQ(Str(m_prompts.Last().text), Str(g_resourceDatabase.GetMessageText(QStringLiteral("MSG_ERROR_INPUT_CONFIRM_PASSCODE"))));
        EXPECT_EQ(m_prompts.Last().style & MB_ICONMASK, MB_ICONERROR);
        EXPECT_TRUE(Modal()->isVisible());
        EXPECT_EQ(Str(Control<QLineEdit>(IDC_CONFIRM_PASSCODE)->text()), Str(QStringLiteral("223")));

        // Zero is out of range: the range message names the passcode, the field is selected.
        Type(IDC_CONFIRM_PASSCODE, QStringLiteral("222"));
        Type(IDC_CURRENT_PASSCODE, QStringLiteral("000"));
        Click(IDOK);
        ASSERT_EQ(m_prompts.Count(), 2u);
        const QString range = CMessageFormatter(QStringLiteral("MSG_ERROR_INPUT_RANGE_FORMAT"),
                                                {FormatArg(g_resourceDatabase.GetText(QStringLiteral("parameter"),
                                                                                      QStringLiteral("MODBUS_PASSCODE"))),
                                                 FormatArg(QStringLiteral("1")), FormatArg(QStringLiteral("999999999"))})
                                  .GetText();
        EXPECT_EQ(Str(m_prompts.Last().text), Str(range));
        EXPECT_TRUE(m_prompts.Last().text.contains(QStringLiteral("Modbus passcode")));
        EXPECT_TRUE(Modal()->isVisible());
        EXPECT_EQ(Str(Control<QLineEdit>(IDC_CURRENT_PASSCODE)->selectedText()), Str(QStringLiteral("000")));

        Type(IDC_CURRENT_PASSCODE, QStringLiteral("11"));
        Click(IDOK);
    });
    std::uint32_t current = 0, replacement = 0;
    ASSERT_TRUE(dialog.Execute(current, replacement));
    EXPECT_EQ(current, 11u);
    EXPECT_EQ(replacement, 222u);
    EXPECT_EQ(m_prompts.Count(), 2u);
}

TEST_F(PasscodeDialogsTest, ProtectDialogEmptyFieldsMeanNoPasscode)
{
    {
        CProtectDialog dialog;
        WhileModal([] {
            Type(IDC_NEW_PASSCODE, QStringLiteral("999999999"));
            Type(IDC_CONFIRM_PASSCODE, QStringLiteral("999999999"));
            Click(IDOK);
        });
        std::uint32_t current = 5, replacement = 0;
        ASSERT_TRUE(dialog.Execute(current, replacement));
        EXPECT_EQ(current, 0u);
        EXPECT_EQ(replacement, 999999999u);
    }
    {
        CProtectDialog dialog;
        WhileModal([] {
            Type(IDC_CURRENT_PASSCODE, QStringLiteral("1"));
            Click(IDOK);
        });
        std::uint32_t current = 0, replacement = 5;
        ASSERT_TRUE(dialog.Execute(current, replacement));
        EXPECT_EQ(current, 1u);
        EXPECT_EQ(replacement, 0u);
    }
    EXPECT_EQ(m_prompts.Count(), 0u);
}
