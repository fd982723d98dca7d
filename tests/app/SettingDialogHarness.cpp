#include "SettingDialogHarness.h"

#include "foundation/Globals.h"

#include <QAbstractButton>
#include <QApplication>
#include <QLineEdit>
#include <QTest>
#include <QTimer>

#include <cstdint>
#include <string>

void RunStepsIn(CDialog& dialog, const std::function<void()>& steps)
{
    dialog.activateWindow();
    // An owner counts as active while the window it owns has the focus:
    // wait for this very window.
    EXPECT_TRUE(QTest::qWaitFor([&] { return QApplication::activeWindow() == &dialog; }));
    steps();
    if (dialog.isVisible())
        dialog.EndDialog(IDCANCEL);
}

void DuringModalRun(CDialog& dialog, const std::function<void()>& steps)
{
    QTimer::singleShot(0, &dialog, [&dialog, steps] { RunStepsIn(dialog, steps); });
}

void SetWords(CSettings& set, std::initializer_list<std::pair<int, int>> words)
{
    for (const auto& [word, value] : words)
        set.SetWord(word, static_cast<std::uint16_t>(value));
}

void TypeInto(CDialog& dialog, int id, const QString& text)
{
    auto* edit = dialog.GetDlgItemAs<QLineEdit>(id);
    ASSERT_NE(edit, nullptr) << id;
    edit->setFocus();
    edit->selectAll();
    if (text.isEmpty())
        QTest::keyClick(edit, Qt::Key_Delete);
    else
        QTest::keyClicks(edit, text);
}

void ClickControl(CDialog& dialog, int id)
{
    auto* button = dialog.GetDlgItemAs<QAbstractButton>(id);
    ASSERT_NE(button, nullptr) << id;
    QTest::mouseClick(button, Qt::LeftButton, {}, QPoint(6, button->height() / 2));
}

void ExpectRejected(CDialog& dialog, CScriptedPrompts& prompts, int id, const char* text, const char* message)
{
    auto* edit = dialog.GetDlgItemAs<QLineEdit>(id);
    ASSERT_NE(edit, nullptr) << id;
    const QString good = edit->text();
    for (bool byEnter : {true, false}) {
        SCOPED_TRACE(std::string("\"") + text + (byEnter ? "\" by Enter" : "\" by OK"));
        prompts.Clear();
        TypeInto(dialog, id, QString::fromUtf8(text));
        if (byEnter)
            QTest::keyClick(edit, Qt::Key_Return);
        else
            ClickControl(dialog, IDOK);
        ASSERT_EQ(prompts.MessageTexts().size(), 1u);
        EXPECT_EQ(prompts.MessageTexts()[0], QString::fromUtf8(message));
        EXPECT_TRUE(dialog.isVisible());
        EXPECT_EQ(QApplication::activeModalWidget(), &dialog);
        EXPECT_EQ(QApplication::focusWidget(), edit);
        EXPECT_EQ(edit->selectedText(), edit->text());
        EXPECT_EQ(edit->cursorPosition(), 0) << "the caret at the start";
    }
    edit->setText(good);
    prompts.Clear();
}

void SettingDialogTest::SetUp()
{
    g_resourceDatabase.CreateEmpty();
    g_resourceDatabase.LoadLanguageFile(QStringLiteral("English.lng"));
}
