// What the dialogs' frames and layouts show: no maximise box, a caption that
// fits the passcode dialog in each language, the report's top row of buttons
// on one line.
#include "app/CCompareDialog.h"
#include "app/CProgressDialog.h"
#include "comm/CConnectDialog.h"
#include "foundation/Globals.h"
#include "params/CEnterPasscodeDialog.h"
#include "params/CProtectDialog.h"
#include "params/CSettings.h"
#include "platform/CUiPrompts.h"
#include "support/TempProfile.h"

#include <QApplication>
#include <QMessageBox>
#include <QPushButton>
#include <QTimer>

#include <gtest/gtest.h>

#include <functional>

namespace {

bool HasMaximiseBox(const QWidget* window)
{
    const Qt::WindowFlags flags = window->windowFlags();
    // Without the customize hint the window system adds all its boxes.
    return !flags.testFlag(Qt::CustomizeWindowHint) || flags.testFlag(Qt::WindowMaximizeButtonHint);
}

// Runs look on the modal window that comes up, then closes it.
void WhenModal(std::function<void(QWidget*)> look)
{
    QTimer::singleShot(0, [look] {
        QWidget* window = QApplication::activeModalWidget();
        ASSERT_NE(window, nullptr);
        look(window);
        window->close();
    });
}

} // namespace

TEST(DialogFrame, DialogsAndMessageBoxesHaveNoMaximiseBox)
{
    TempProfile profile;
    g_resourceDatabase.LoadLanguageFile(QStringLiteral("English.lng"));
    EXPECT_FALSE(HasMaximiseBox(CConnectDialog().window()));
    EXPECT_FALSE(HasMaximiseBox(CProgressDialog().window()));
    EXPECT_FALSE(HasMaximiseBox(CEnterPasscodeDialog().window()));
    EXPECT_FALSE(HasMaximiseBox(CProtectDialog().window()));
    EXPECT_FALSE(HasMaximiseBox(CCompareDialog().window()));
    bool boxHasIt = true;
    WhenModal([&](QWidget* box) { boxHasIt = HasMaximiseBox(box); });
    CUiPrompts::MessageBox(nullptr, QStringLiteral("Done"));
    EXPECT_FALSE(boxHasIt);
}

TEST(DialogFrame, ThePasscodeDialogShowsItsWholeCaptionInEachLanguage)
{
    TempProfile profile;
    for (const char* file : {"English.lng", "Japanese.lng"}) {
        SCOPED_TRACE(file);
        g_resourceDatabase.LoadLanguageFile(QString::fromLatin1(file));
        QString title;
        int width = 0;
        WhenModal([&](QWidget* dialog) {
            title = dialog->windowTitle();
            width = dialog->width();
        });
        CEnterPasscodeDialog dialog;
        std::uint32_t passcode = 0;
        dialog.Execute(passcode);
        QFont caption = dialog.font();
        caption.setBold(true);
        caption.setPointSizeF(caption.pointSizeF() * 1.15);
        ASSERT_FALSE(title.isEmpty());
        // The caption in a bold, larger face, and room for the icon and the close box.
        EXPECT_GE(width, QFontMetrics(caption).horizontalAdvance(title) + 3 * QFontMetrics(caption).height());
    }
}

TEST(DialogFrame, TheReportsTopButtonsStandOnOneLine)
{
    TempProfile profile;
    g_resourceDatabase.LoadLanguageFile(QStringLiteral("English.lng"));
    std::vector<int> bottoms;
    WhenModal([&](QWidget* dialog) {
        for (int id : {CCompareDialog::IDC_EXPORT_CSV, CCompareDialog::IDC_DEVICE, CCompareDialog::IDC_FILE, IDCANCEL}) {
            const QWidget* button = static_cast<CCompareDialog*>(dialog)->GetDlgItem(id);
            bottoms.push_back(button->mapTo(dialog, QPoint(0, button->height())).y());
        }
    });
    CCompareDialog dialog;
    dialog.Compare(CSettings());
    ASSERT_EQ(bottoms.size(), 4u);
    EXPECT_EQ(bottoms, (std::vector<int>(4, bottoms[1])));
}
