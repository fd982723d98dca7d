#pragma once
// Drives the setting dialogs modally under the offscreen platform.
#include "params/CSettings.h"
#include "platform/CDialog.h"
#include "tests/support/CScriptedPrompts.h"

#include <gtest/gtest.h>

#include <functional>
#include <initializer_list>
#include <utility>

// Inside the dialog's modal loop: once it is the active window, runs the
// steps, and cancels the dialog if they leave it open.
void RunStepsIn(CDialog& dialog, const std::function<void()>& steps);
// The same, scheduled for the dialog's next modal loop.
void DuringModalRun(CDialog& dialog, const std::function<void()>& steps);

// Runs the dialog on the set with the steps inside its modal loop.
template <class Dialog> bool RunSettingDialog(Dialog& dialog, CSettings& set, const std::function<void(Dialog&)>& steps)
{
    DuringModalRun(dialog, [&] { steps(dialog); });
    return dialog.DoModalWithSettings(set);
}

void SetWords(CSettings& set, std::initializer_list<std::pair<int, int>> words);
// Replaces the edit's text by typing.
void TypeInto(CDialog& dialog, int id, const QString& text);
// A mouse click on the button's box or text.
void ClickControl(CDialog& dialog, int id);
// The text put into the edit is refused, by Enter in the edit and by the OK
// button, each time with the message, the edit focused and selected (the
// caret at the start), and the dialog open and modal. The edit gets its text back afterwards.
void ExpectRejected(CDialog& dialog, CScriptedPrompts& prompts, int id, const char* text, const char* message);

// English texts, and the prompts answered and recorded.
class SettingDialogTest : public ::testing::Test
{
protected:
    void SetUp() override;

    CScriptedPrompts m_prompts;
};
