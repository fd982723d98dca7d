#include "platform/CDialog.h"
#include "platform/CException.h"
#include "support/CScriptedPrompts.h"

#include <QApplication>
#include <QCloseEvent>
#include <QLineEdit>
#include <QPushButton>
#include <QTest>
#include <QTimer>

#include <gtest/gtest.h>

#include <algorithm>
#include <functional>
#include <string>

namespace {

class Refusal : public CException
{
public:
    bool GetErrorMessage(char16_t* buffer, unsigned size, unsigned* = nullptr) const override
    {
        const std::u16string text = u"Value out of range";
        if (size == 0)
            return false;
        const auto n = std::min<std::size_t>(text.size(), size - 1);
        std::copy_n(text.begin(), n, buffer);
        buffer[n] = 0;
        return true;
    }
};

class TestDialog : public CDialog
{
public:
    static constexpr int IDC_EDIT = 1001;
    static constexpr int IDC_OTHER = 1002;

    TestDialog() : CDialog(140)
    {
        edit = AddControl(new QLineEdit(this), IDC_EDIT);
        other = AddControl(new QPushButton(QStringLiteral("Other"), this), IDC_OTHER);
        ok = AddControl(new QPushButton(QStringLiteral("OK"), this), IDOK);
        QObject::connect(other, &QPushButton::clicked, [this] { ++otherClicks; });
        QObject::connect(ok, &QPushButton::clicked, [this] { accept(); });
    }

    QLineEdit* edit;
    QPushButton* other;
    QPushButton* ok;
    int otherClicks = 0;
    int okCalls = 0;
    int cancelCalls = 0;
    bool refuseCancel = false;
    bool refuseOk = false;
    std::function<void(TestDialog&)> onInit;

protected:
    bool OnInitDialog() override
    {
        if (onInit)
            onInit(*this);
        return true;
    }
    void OnOK() override
    {
        ++okCalls;
        if (refuseOk)
            throw Refusal();
        CDialog::OnOK();
    }
    void OnCancel() override
    {
        ++cancelCalls;
        if (!refuseCancel)
            CDialog::OnCancel();
    }
};

// Runs the steps once the modal loop is running, then DoModal.
int RunModal(TestDialog& dialog, std::function<void()> steps)
{
    QTimer::singleShot(0, &dialog, [&dialog, steps] {
        dialog.activateWindow();
        EXPECT_TRUE(QTest::qWaitForWindowActive(&dialog));
        steps();
    });
    return dialog.DoModal();
}

void Press(QWidget* widget, Qt::Key key)
{
    QTest::keyClick(widget, key);
}

} // namespace

TEST(Dialog, EnterInAnEditRunsOnOkAndNoButtonIsAutoDefault)
{
    TestDialog dialog;
    const int result = RunModal(dialog, [&] {
        EXPECT_FALSE(dialog.other->autoDefault());
        // A button that had the focus once must not take Enter later.
        dialog.other->setFocus();
        dialog.edit->setFocus();
        Press(dialog.edit, Qt::Key_Return);
    });
    EXPECT_EQ(result, IDOK);
    EXPECT_EQ(dialog.okCalls, 1);
    EXPECT_EQ(dialog.otherClicks, 0);
}

TEST(Dialog, EnterOnAFocusedButtonPressesItAndEscCancels)
{
    TestDialog dialog;
    const int result = RunModal(dialog, [&] {
        dialog.other->setFocus();
        Press(dialog.other, Qt::Key_Return);
        EXPECT_EQ(dialog.otherClicks, 1);
        EXPECT_TRUE(dialog.isVisible());
        Press(dialog.other, Qt::Key_Enter);
        EXPECT_EQ(dialog.otherClicks, 2);
        Press(dialog.edit, Qt::Key_Escape);
    });
    EXPECT_EQ(result, IDCANCEL);
    EXPECT_EQ(dialog.okCalls, 0);
    EXPECT_EQ(dialog.cancelCalls, 1);
}

TEST(Dialog, TheDefaultButtonTakesEnter)
{
    TestDialog dialog;
    dialog.SetDefaultButton(dialog.other);
    const int result = RunModal(dialog, [&] {
        dialog.edit->setFocus();
        Press(dialog.edit, Qt::Key_Return);
        EXPECT_EQ(dialog.otherClicks, 1);
        EXPECT_EQ(dialog.okCalls, 0);
        dialog.EndDialog(42);
    });
    EXPECT_EQ(result, 42);
    EXPECT_EQ(dialog.GetResult(), 42);
}

TEST(Dialog, TheCloseBoxGoesThroughOnCancel)
{
    TestDialog dialog;
    dialog.refuseCancel = true;
    const int result = RunModal(dialog, [&] {
        dialog.close();
        EXPECT_EQ(dialog.cancelCalls, 1);
        EXPECT_TRUE(dialog.isVisible()) << "OnCancel kept it open";
        dialog.refuseCancel = false;
        dialog.close();
    });
    EXPECT_EQ(result, IDCANCEL);
    EXPECT_EQ(dialog.cancelCalls, 2);
}

TEST(Dialog, EndDialogOutsideTheModalLoopSetsTheResult)
{
    TestDialog dialog;
    dialog.onInit = [](TestDialog& d) { d.EndDialog(IDOK); };
    EXPECT_EQ(dialog.DoModal(), IDOK);
    EXPECT_FALSE(dialog.isVisible());

    TestDialog idle;
    idle.EndDialog(7);
    EXPECT_EQ(idle.GetResult(), 7);
}

TEST(Dialog, ControlsAreFoundByTheirIds)
{
    TestDialog dialog;
    dialog.SetDlgItemText(TestDialog::IDC_EDIT, QStringLiteral("12.5"));
    EXPECT_EQ(dialog.GetDlgItemText(TestDialog::IDC_EDIT), "12.5");
    EXPECT_EQ(dialog.GetDlgItemAs<QPushButton>(IDOK), dialog.ok);
    EXPECT_EQ(dialog.GetDlgItem(9999), nullptr);
    EXPECT_EQ(dialog.GetDlgItemText(9999), "");
    dialog.other->setCheckable(true);
    dialog.CheckDlgButton(TestDialog::IDC_OTHER, true);
    EXPECT_TRUE(dialog.IsDlgButtonChecked(TestDialog::IDC_OTHER));
    EXPECT_FALSE(dialog.IsDlgButtonChecked(TestDialog::IDC_EDIT));
}

TEST(Dialog, AFailingOkIsShownOnceAndTheDialogStaysModal)
{
    CScriptedPrompts prompts;
    TestDialog dialog;
    dialog.refuseOk = true;
    const int result = RunModal(dialog, [&] {
        dialog.edit->setFocus();
        Press(dialog.edit, Qt::Key_Return);
        ASSERT_EQ(prompts.Count(), 1u);
        EXPECT_EQ(prompts.Last().text, "Value out of range");
        EXPECT_EQ(prompts.Last().style, UINT(MB_OK | MB_ICONERROR));
        QTest::mouseClick(dialog.ok, Qt::LeftButton);
        EXPECT_EQ(prompts.Count(), 2u);
        EXPECT_EQ(dialog.okCalls, 2);
        EXPECT_TRUE(dialog.isVisible());
        EXPECT_EQ(QApplication::activeModalWidget(), &dialog);
        Press(dialog.edit, Qt::Key_Escape);
    });
    EXPECT_EQ(result, IDCANCEL);
    EXPECT_FALSE(dialog.isVisible());
}

TEST(Dialog, HidingInsideTheRunDoesNotEndIt)
{
    TestDialog dialog;
    bool returnedEarly = false;
    int innerResult = 0;
    const int result = RunModal(dialog, [&] {
        // As a command that hides its window while another one runs.
        dialog.hide();
        TestDialog inner;
        innerResult = RunModal(inner, [&] { inner.EndDialog(IDOK); });
        dialog.show();
        QTimer::singleShot(50, &dialog, [&] {
            returnedEarly = !dialog.isVisible();
            EXPECT_EQ(QApplication::activeModalWidget(), &dialog);
            // Hidden again and ended while hidden.
            dialog.hide();
            QTimer::singleShot(20, &dialog, [&] { dialog.EndDialog(5); });
        });
    });
    EXPECT_EQ(innerResult, IDOK);
    EXPECT_FALSE(returnedEarly);
    EXPECT_EQ(result, 5);
}
