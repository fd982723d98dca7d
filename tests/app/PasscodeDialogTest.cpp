// The passcode setting dialog run modally under the offscreen platform: its
// texts in both languages, the masked digit edits, each input error shown
// with the dialog still open and modal, Cancel, and the passcode stored as a
// number.
#include "app/CPasscodeDialog.h"
#include "SettingDialogHarness.h"
#include "foundation/Globals.h"
#include "params/CSettings.h"
#include "platform/ControlIds.h"
#include "tests/support/CScriptedPrompts.h"

#include <QApplication>
#include <QLineEdit>
#include <QPushButton>
#include <QTest>

#include <gtest/gtest.h>

namespace {

using Dialog = CPasscodeDialog;

constexpr std::uint16_t kStoredPasscode = 4711;

QLineEdit* EditOf(Dialog& d, int id) { return d.GetDlgItemAs<QLineEdit>(id); }

void Type(Dialog& d, int id, const QString& text) { TypeInto(d, id, text); }

bool RunDialog(CSettings& set, const std::function<void(Dialog&)>& steps)
{
    Dialog dialog;
    return RunSettingDialog(dialog, set, steps);
}

class PasscodeDialogTest : public SettingDialogTest
{
protected:
    void SetUp() override
    {
        SettingDialogTest::SetUp();
        m_set.SetWord(PARAMETER_PASSCODE, kStoredPasscode);
    }

    CSettings m_set;
};

} // namespace

TEST_F(PasscodeDialogTest, TextsInBothLanguagesAndTwoEmptyMaskedDigitEdits)
{
    struct Case
    {
        const char* file;
        const char* caption;
        const char* hint;
        const char* cancel;
    };
    for (const Case& c : {Case{"English.lng", "Passcode Setting", "Enter 4-digit number.", "Cancel"},
                          Case{"Japanese.lng", "パスコード設定", "4桁の数字を入力してください。", "キャンセル"}}) {
        SCOPED_TRACE(c.file);
        g_resourceDatabase.LoadLanguageFile(QString::fromLatin1(c.file));
        RunDialog(m_set, [&](Dialog& d) {
            EXPECT_EQ(d.windowTitle(), QString::fromUtf8(c.caption));
            EXPECT_EQ(d.GetDlgItemText(Dialog::IDC_HINT), QString::fromUtf8(c.hint));
            EXPECT_EQ(d.GetDlgItemText(IDCANCEL), QString::fromUtf8(c.cancel));
            for (int id : {Dialog::IDC_NEW_PASSCODE, Dialog::IDC_CONFIRM_PASSCODE}) {
                QLineEdit* edit = EditOf(d, id);
                // The stored passcode is not shown.
                EXPECT_EQ(edit->text(), "");
                EXPECT_EQ(edit->echoMode(), QLineEdit::Password);
                Type(d, id, QStringLiteral("1a2-3 456"));
                EXPECT_EQ(edit->text(), "1234");
            }
        });
    }
}

TEST_F(PasscodeDialogTest, InputErrorsKeepTheDialogOpenAndAPasscodeIsStoredAsItsNumber)
{
    const QString tooShort = QStringLiteral("The passcode must be exactly 4 digits.");
    const QString mismatch = QStringLiteral("The new passcode and its confirmation do not match.");
    struct Case
    {
        const char* first;
        const char* confirm;
        const QString& message;
    };
    // "12a4" cannot be typed; it stands for a pasted text.
    const Case cases[] = {
        {"123", "123", tooShort}, {"12a4", "12a4", tooShort}, {"1234", "1243", mismatch}, {"1234", "123", mismatch}};
    const bool ok = RunDialog(m_set, [&](Dialog& d) {
        for (const Case& c : cases) {
            for (bool byEnter : {true, false}) {
                SCOPED_TRACE(std::string(c.first) + "/" + c.confirm + (byEnter ? " by Enter" : " by OK"));
                m_prompts.Clear();
                EditOf(d, Dialog::IDC_NEW_PASSCODE)->setText(QString::fromLatin1(c.first));
                EditOf(d, Dialog::IDC_CONFIRM_PASSCODE)->setText(QString::fromLatin1(c.confirm));
                if (byEnter) {
                    EditOf(d, Dialog::IDC_CONFIRM_PASSCODE)->setFocus();
                    QTest::keyClick(EditOf(d, Dialog::IDC_CONFIRM_PASSCODE), Qt::Key_Return);
                } else {
                    QTest::mouseClick(d.GetDlgItemAs<QPushButton>(IDOK), Qt::LeftButton);
                }
                ASSERT_EQ(m_prompts.MessageTexts().size(), 1u);
                EXPECT_EQ(m_prompts.MessageTexts()[0], c.message);
                EXPECT_EQ(m_prompts.Last().style & MB_ICONMASK, static_cast<UINT>(MB_ICONERROR));
                EXPECT_TRUE(d.isVisible());
                EXPECT_EQ(QApplication::activeModalWidget(), &d);
                // What was typed stays for correcting; nothing is stored.
                EXPECT_EQ(EditOf(d, Dialog::IDC_NEW_PASSCODE)->text(), c.first);
                EXPECT_EQ(EditOf(d, Dialog::IDC_CONFIRM_PASSCODE)->text(), c.confirm);
                EXPECT_EQ(d.GetSettings().GetWord(PARAMETER_PASSCODE), kStoredPasscode);
            }
        }
        // A valid entry, then Cancel.
        Type(d, Dialog::IDC_NEW_PASSCODE, QStringLiteral("2468"));
        Type(d, Dialog::IDC_CONFIRM_PASSCODE, QStringLiteral("2468"));
        QTest::mouseClick(d.GetDlgItemAs<QPushButton>(IDCANCEL), Qt::LeftButton);
        EXPECT_FALSE(d.isVisible());
    });
    EXPECT_FALSE(ok);
    EXPECT_EQ(m_set.GetWord(PARAMETER_PASSCODE), kStoredPasscode);

    // Leading zeros are not kept: the word holds the number.
    m_prompts.Clear();
    EXPECT_TRUE(RunDialog(m_set, [&](Dialog& d) {
        Type(d, Dialog::IDC_NEW_PASSCODE, QStringLiteral("0123"));
        Type(d, Dialog::IDC_CONFIRM_PASSCODE, QStringLiteral("0123"));
        QTest::keyClick(EditOf(d, Dialog::IDC_CONFIRM_PASSCODE), Qt::Key_Return);
    }));
    EXPECT_EQ(m_set.GetWord(PARAMETER_PASSCODE), 123);
    EXPECT_TRUE(m_prompts.MessageTexts().empty());
}
