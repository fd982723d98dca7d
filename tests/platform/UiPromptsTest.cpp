#include "platform/CUiPrompts.h"
#include "support/CScriptedPrompts.h"
#include "support/TempProfile.h"
#include "support/WhileModal.h"

#include <QAbstractButton>
#include <QApplication>
#include <QDir>
#include <QFileDialog>
#include <QTemporaryDir>
#include <QMessageBox>

#include <gtest/gtest.h>

TEST(UiPrompts, FiltersFromTheLanguageFileBecomeQtFilters)
{
    // "*.*" is every file, also one without a dot.
    EXPECT_EQ(CUiPrompts::ToQtFilter("Text (*.a)|*.a|All (*.*)|*.*||"), "Text (*.a);;All (*)");
    EXPECT_EQ(CUiPrompts::ToQtFilter("Parameter files|*.prm|"), "Parameter files (*.prm)");
    EXPECT_EQ(CUiPrompts::ToQtFilter("Reports (*.csv;*.txt)|*.csv;*.txt||Ignored|*.x|"), "Reports (*.csv *.txt)");
    EXPECT_EQ(CUiPrompts::ToQtFilter(""), "");
}

TEST(UiPrompts, AnInstalledHandlerAnswersEverything)
{
    TempProfile profile;
    CScriptedPrompts prompts;
    prompts.QueueAnswer(IDNO);
    prompts.QueuePath("/tmp/a.prm");
    EXPECT_EQ(CUiPrompts::MessageBox(nullptr, "Reset?", {}, MB_YESNO | MB_ICONQUESTION), IDNO);
    EXPECT_EQ(CUiPrompts::MessageBox(nullptr, "Done", "Caption"), IDOK);
    EXPECT_EQ(CUiPrompts::GetOpenFileName(nullptr, "P|*.prm|", "prm"), "/tmp/a.prm");
    EXPECT_EQ(CUiPrompts::GetSaveFileName(nullptr, "P|*.prm|", "prm", "unit.prm"), "");

    ASSERT_EQ(prompts.Count(), 4u);
    const auto& asked = prompts.Requests();
    EXPECT_EQ(asked[0].text, "Reset?");
    EXPECT_EQ(asked[0].caption, "Ombrix") << "the program's name when none is given";
    EXPECT_EQ(asked[0].style, MB_YESNO | MB_ICONQUESTION);
    EXPECT_EQ(asked[1].caption, "Caption");
    EXPECT_EQ(asked[2].kind, PromptRequest::Kind::OpenFile);
    EXPECT_EQ(asked[2].filter, "P|*.prm|");
    EXPECT_EQ(asked[3].kind, PromptRequest::Kind::SaveFile);
    EXPECT_EQ(asked[3].text, "unit.prm");
    EXPECT_EQ(asked[3].defaultExtension, "prm");
}

TEST(UiPrompts, TheRealMessageBoxFollowsTheStyle)
{
    QMessageBox::Icon icon = QMessageBox::NoIcon;
    QMessageBox::StandardButtons buttons;
    WhileModal<QMessageBox>([&](QMessageBox& box) {
        icon = box.icon();
        buttons = box.standardButtons();
        box.button(QMessageBox::No)->click();
    });
    EXPECT_EQ(CUiPrompts::MessageBox(nullptr, "<b>Reset?</b>", {}, MB_YESNO | MB_ICONQUESTION), IDNO);
    EXPECT_EQ(icon, QMessageBox::Question);
    EXPECT_EQ(buttons, QMessageBox::Yes | QMessageBox::No);

    WhileModal<QMessageBox>([&](QMessageBox& box) {
        icon = box.icon();
        EXPECT_EQ(box.textFormat(), Qt::PlainText);
        box.button(QMessageBox::Ok)->click();
    });
    EXPECT_EQ(CUiPrompts::MessageBox(nullptr, "Failed", {}, MB_ICONERROR), IDOK);
    EXPECT_EQ(icon, QMessageBox::Critical);
}

TEST(UiPrompts, TheRealFileDialogStartsInTheFolderLastUsedForItsKindElseAtHome)
{
    TempProfile profile;
    QTemporaryDir home;
    const QByteArray oldHome = qgetenv("HOME");
    qputenv("HOME", home.path().toLocal8Bit());
    QDir(home.path()).mkpath("units");
    const QString chosen = home.path() + "/units/a.cfg";

    QStringList startFolders;
    const auto answer = [&](const QString& path) {
        WhileModal<QFileDialog>([&, path](QFileDialog& dialog) {
            startFolders.append(dialog.directory().absolutePath());
            if (path.isEmpty())
                dialog.reject();
            else {
                dialog.selectFile(path);
                static_cast<QDialog&>(dialog).accept();
            }
        });
    };
    answer(chosen);
    EXPECT_EQ(CUiPrompts::GetSaveFileName(nullptr, "P (*.cfg)|*.cfg|", "cfg"), chosen);
    answer({});
    CUiPrompts::GetOpenFileName(nullptr, "P (*.cfg)|*.cfg|", "cfg");
    answer({});
    CUiPrompts::GetSaveFileName(nullptr, "C (*.csv)|*.csv|", "csv");
    qputenv("HOME", oldHome);
    EXPECT_EQ(startFolders, (QStringList{home.path(), home.path() + "/units", home.path()}));
}
