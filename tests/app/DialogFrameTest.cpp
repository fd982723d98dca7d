// What the windows' frames and layouts show: the dialogs that cannot be
// resized ask for a close box only and keep one size, the main window and the
// monitor a minimise box too, their captions fit the title bar in each
// language, the report keeps its boxes, and the report's top row of buttons
// stands on one line.
#include "app/CAdvancedDialog.h"
#include "app/CAdvancedModbusDialog.h"
#include "MainWindowHarness.h"
#include "app/CAnalogOutputDialog.h"
#include "app/CCompareDialog.h"
#include "app/CModbusDialog.h"
#include "app/CPasscodeDialog.h"
#include "app/CProgressDialog.h"
#include "app/CPulseDialog.h"
#include "comm/CComSettings.h"
#include "comm/CConnectDialog.h"
#include "foundation/Globals.h"
#include "monitor/CLoopTestDialog.h"
#include "monitor/CMyDalvexDlg.h"
#include "monitor/CTagDialog.h"
#include "monitor/CUtilityDialog.h"
#include "monitor/MonitorWindowHarness.h"
#include "params/CEnterPasscodeDialog.h"
#include "params/CProtectDialog.h"
#include "params/CSettings.h"
#include "params/FenmarTestLink.h"
#include "platform/CUiPrompts.h"
#include "support/TempProfile.h"
#include "support/WhileModal.h"

#include <QApplication>
#include <QLabel>
#include <QPushButton>
#include <QTimer>

#include <gtest/gtest.h>

#include <functional>
#include <string>
#include <utility>
#include <vector>

namespace {

bool HasMaximiseBox(Qt::WindowFlags flags)
{
    // Without the customize hint the window system adds all its boxes.
    return !flags.testFlag(Qt::CustomizeWindowHint) || flags.testFlag(Qt::WindowMaximizeButtonHint);
}

// openbox's default theme draws captions in bold 8-point Sans at the X
// server's 100 dots per inch (11.1 pixels, taken as 12), centred on the title
// bar, which needs 110 pixels besides the caption: the icon, the minimise,
// maximise and close buttons (counted on both sides of the centred caption)
// and the edges.
int OpenboxTitleBarWidth(const QString& caption)
{
    QFont font(QStringLiteral("Sans"));
    font.setBold(true);
    font.setPixelSize(12);
    return QFontMetrics(font).horizontalAdvance(caption) + 110;
}

struct Shown
{
    QString title;
    QSize size;
    QSize minimum;
    QSize maximum;
    Qt::WindowFlags flags;
};

Shown Look(const QWidget* window)
{
    return {window->windowTitle(), window->size(), window->minimumSize(), window->maximumSize(), window->windowFlags()};
}

using Opener = std::function<Shown()>;

Shown WhenRun(const std::function<void()>& run)
{
    Shown shown;
    WhileModal([&](QWidget& window) {
        // After the sizing that its showing posted.
        QApplication::sendPostedEvents();
        shown = Look(&window);
        window.close();
    });
    run();
    return shown;
}

// A dialog that runs only on a unit is shown without running.
template <class T> Shown ShownWithoutRun()
{
    T dialog;
    dialog.show();
    QApplication::processEvents();
    return Look(&dialog);
}

// Each dialog that cannot be resized, run as the program runs it where that
// needs no unit (so that its texts come from the language file).
std::vector<std::pair<const char*, Opener>> FixedSizeDialogs()
{
    return {
        {"connection", [] { return WhenRun([] { CComSettings s; CConnectDialog().Execute(s); }); }},
        {"passcode entry", [] { return WhenRun([] { std::uint32_t c = 0; CEnterPasscodeDialog().Execute(c); }); }},
        {"protection", [] { return WhenRun([] { std::uint32_t a = 0, b = 0; CProtectDialog().Execute(a, b); }); }},
        {"other settings", [] { return WhenRun([] { CSettings s; CAdvancedDialog().DoModalWithSettings(s); }); }},
        {"energy", [] { return WhenRun([] { CSettings s; CPulseDialog().DoModalForOutput(0, s); }); }},
        {"passcode setting", [] { return WhenRun([] { CSettings s; CPasscodeDialog().DoModalWithSettings(s); }); }},
        {"Modbus", [] { return WhenRun([] { CSettings s; CModbusDialog().DoModalWithSettings(s); }); }},
        {"advanced Modbus",
         [] { return WhenRun([] { CSettings s; CAdvancedModbusDialog().DoModalWithSettings(s); }); }},
        {"analog output", [] { return WhenRun([] { CSettings s; CAnalogOutputDialog().DoModalForChannel(s, 0); }); }},
        {"tag", [] { return WhenRun([] { QString tag; CTagDialog().EditTag(tag); }); }},
        {"message box", [] { return WhenRun([] { CUiPrompts::MessageBox(nullptr, QStringLiteral("Done")); }); }},
        {"transfer", ShownWithoutRun<CProgressDialog>},
        {"loop test", ShownWithoutRun<CLoopTestDialog>},
        {"utility", ShownWithoutRun<CUtilityDialog>},
    };
}

} // namespace

TEST(DialogFrame, DialogsThatCannotBeResizedAskForACloseBoxOnlyKeepOneSizeAndShowTheirWholeCaption)
{
    TempProfile profile;
    for (const char* file : {"English.lng", "Japanese.lng"}) {
        g_resourceDatabase.LoadLanguageFile(QString::fromLatin1(file));
        for (const auto& [name, open] : FixedSizeDialogs()) {
            SCOPED_TRACE(std::string(file) + " " + name);
            const Shown shown = open();
            EXPECT_TRUE(shown.flags.testFlag(Qt::CustomizeWindowHint));
            EXPECT_TRUE(shown.flags.testFlag(Qt::WindowCloseButtonHint));
            EXPECT_FALSE(HasMaximiseBox(shown.flags));
            EXPECT_FALSE(shown.flags.testFlag(Qt::WindowMinimizeButtonHint));
            // A window manager may ignore the flags (openbox does) but offers
            // neither maximising nor resizing for a window of one size.
            EXPECT_EQ(shown.minimum, shown.size);
            EXPECT_EQ(shown.maximum, shown.size);
            ASSERT_FALSE(shown.title.isEmpty());
            EXPECT_GE(shown.size.width(), OpenboxTitleBarWidth(shown.title)) << shown.title.toStdString();
        }
    }
}

TEST(DialogFrame, TheReportCanBeResizedAndKeepsItsBoxes)
{
    TempProfile profile;
    g_resourceDatabase.LoadLanguageFile(QStringLiteral("English.lng"));
    const Shown shown = WhenRun([] { CCompareDialog().Compare(CSettings()); });
    EXPECT_TRUE(HasMaximiseBox(shown.flags));
    EXPECT_LT(shown.minimum.width(), shown.maximum.width());
}

TEST(DialogFrame, ADialogThatCannotBeResizedGrowsWithItsTexts)
{
    TempProfile profile;
    g_resourceDatabase.LoadLanguageFile(QStringLiteral("English.lng"));
    const QString longPrompt(80, QLatin1Char('W'));
    int promptWidth = 0;
    Shown shown;
    WhileModal<CEnterPasscodeDialog>([&](CEnterPasscodeDialog& dialog) {
        QApplication::sendPostedEvents();
        auto* prompt = dialog.GetDlgItemAs<QLabel>(IDC_PASSCODE_PROMPT);
        prompt->setText(longPrompt);
        QApplication::sendPostedEvents();
        promptWidth = prompt->fontMetrics().horizontalAdvance(longPrompt);
        shown = Look(&dialog);
        dialog.close();
    });
    std::uint32_t code = 0;
    CEnterPasscodeDialog().Execute(code);
    EXPECT_GT(shown.size.width(), promptWidth);
    EXPECT_EQ(shown.maximum, shown.size);
}

TEST(DialogFrame, TheReportsTopButtonsStandOnOneLine)
{
    TempProfile profile;
    g_resourceDatabase.LoadLanguageFile(QStringLiteral("English.lng"));
    std::vector<int> bottoms;
    WhileModal<CCompareDialog>([&](CCompareDialog& dialog) {
        QApplication::sendPostedEvents();
        for (int id : {CCompareDialog::IDC_EXPORT_CSV, CCompareDialog::IDC_DEVICE, CCompareDialog::IDC_FILE, IDCANCEL}) {
            const QWidget* button = dialog.GetDlgItem(id);
            bottoms.push_back(button->mapTo(&dialog, QPoint(0, button->height())).y());
        }
        dialog.close();
    });
    CCompareDialog dialog;
    dialog.Compare(CSettings());
    ASSERT_EQ(bottoms.size(), 4u);
    EXPECT_EQ(bottoms, (std::vector<int>(4, bottoms[1])));
}

TEST(DialogFrame, TheMainWindowAndTheMonitorAskForMinimiseAndCloseBoxesAndKeepOneSize)
{
    TempProfile profile;
    CFenmarUnit unit;
    for (const char* file : {"English.lng", "Japanese.lng"}) {
        SCOPED_TRACE(file);
        g_appSettings.DisplayLanguage = QString::fromLatin1(file);
        OpenMainWindow window;
        window.Open();
        QApplication::processEvents();
        Shown monitorShown;
        auto link = MakeLink(unit, LinkKind::Tcp);
        TestMonitor monitor;
        monitor.Run(*link, [&] {
            QApplication::sendPostedEvents();
            monitorShown = Look(&monitor);
            monitor.Close();
        });
        const std::pair<const char*, Shown> windows[] = {{"main window", Look(&window)}, {"monitor", monitorShown}};
        for (const auto& [name, shown] : windows) {
            SCOPED_TRACE(name);
            EXPECT_TRUE(shown.flags.testFlag(Qt::CustomizeWindowHint));
            EXPECT_TRUE(shown.flags.testFlag(Qt::WindowMinimizeButtonHint));
            EXPECT_TRUE(shown.flags.testFlag(Qt::WindowCloseButtonHint));
            EXPECT_FALSE(HasMaximiseBox(shown.flags));
            EXPECT_EQ(shown.minimum, shown.size);
            EXPECT_EQ(shown.maximum, shown.size);
            EXPECT_GE(shown.size.width(), OpenboxTitleBarWidth(shown.title));
        }
    }
}
