#pragma once
// Runs a dialog's modal operation with a test's steps inside its modal loop,
// once the dialog is the active window. A dialog the steps leave open is
// cancelled, so no test waits for a person.
#include "platform/CDialog.h"

#include <QTest>
#include <QTimer>

#include <gtest/gtest.h>

#include <functional>

template <class Dialog, class Run>
bool RunModal(Dialog& dialog, Run run, const std::function<void(Dialog&)>& steps)
{
    QTimer::singleShot(0, &dialog, [&] {
        dialog.activateWindow();
        EXPECT_TRUE(QTest::qWaitForWindowActive(&dialog));
        steps(dialog);
        if (dialog.isVisible())
            dialog.EndDialog(IDCANCEL);
    });
    return run(dialog);
}
