#include "platform/CUiPrompts.h"
#include "support/CScriptedPrompts.h"
#include "support/TempProfile.h"
#include "support/WhileModal.h"

#include <QAbstractButton>
#include <QApplication>
#include <QDir>
#include <QFile>
#include <QFileDialog>
#include <QFileSystemModel>
#include <QHeaderView>
#include <QLibraryInfo>
#include <QListView>
#include <QMessageBox>
#include <QScreen>
#include <QTemporaryDir>
#include <QTest>
#include <QTranslator>
#include <QTreeView>

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

namespace {

// A private, empty profile and home folder for one test, with a "units"
// folder in the home.
class TempHome
{
public:
    TempHome() : m_oldHome(qgetenv("HOME"))
    {
        qputenv("HOME", m_home.path().toLocal8Bit());
        QDir(m_home.path()).mkpath("units");
    }
    ~TempHome() { qputenv("HOME", m_oldHome); }
    TempHome(const TempHome&) = delete;
    TempHome& operator=(const TempHome&) = delete;
    QString Path() const { return m_home.path(); }

private:
    TempProfile m_profile;
    QTemporaryDir m_home;
    QByteArray m_oldHome;
};

// The header sections and cells of the file list and the side panel's
// entries that are shown narrower than they need.
QStringList CutParts(const QFileDialog& dialog)
{
    const auto* list = dialog.findChild<QTreeView*>(QStringLiteral("treeView"));
    const auto* side = dialog.findChild<QListView*>(QStringLiteral("sidebar"));
    if (!list || !side)
        return {QStringLiteral("no file list or side panel")};
    QStringList cut;
    const auto check = [&cut](const QString& what, int shown, int needed) {
        if (shown < needed)
            cut.append(QStringLiteral("%1 shows %2 of %3").arg(what).arg(shown).arg(needed));
    };
    const QHeaderView* header = list->header();
    const int listRight = list->viewport()->width();
    for (int column = 0; column < header->count(); ++column) {
        const int left = header->sectionViewportPosition(column);
        const int shown = qMin(header->sectionSize(column), listRight - left);
        const QString name = list->model()->headerData(column, Qt::Horizontal).toString();
        check(QStringLiteral("header %1").arg(name), shown, header->sectionSizeHint(column));
        for (int row = 0; row < list->model()->rowCount(list->rootIndex()); ++row) {
            const QModelIndex cell = list->model()->index(row, column, list->rootIndex());
            check(QStringLiteral("cell %1").arg(cell.data().toString()), shown, list->sizeHintForIndex(cell).width());
        }
    }
    for (int row = 0; row < side->model()->rowCount(); ++row) {
        const QModelIndex entry = side->model()->index(row, 0);
        const QRect rect = side->visualRect(entry);
        check(QStringLiteral("side panel entry %1").arg(entry.data().toString()),
              qMin(rect.width(), side->viewport()->width() - rect.left()), side->sizeHintForIndex(entry).width());
    }
    return cut;
}

} // namespace

TEST(UiPrompts, TheRealFileDialogStartsInTheFolderLastUsedForItsKindElseAtHome)
{
    TempHome home;
    const QString chosen = home.Path() + "/units/a.cfg";

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
    EXPECT_EQ(startFolders, (QStringList{home.Path(), home.Path() + "/units", home.Path()}));
}

TEST(UiPrompts, TheRealFileDialogShowsEveryColumnAndSidePanelEntryWholeInBothLanguages)
{
    TempHome home;
    // Beside the home's folder, a parameter file: two types in the list.
    QFile file(home.Path() + "/unit.cfg");
    ASSERT_TRUE(file.open(QIODevice::WriteOnly));
    file.close();

    for (const bool japanese : {false, true}) {
        QTranslator translator;
        if (japanese) {
            ASSERT_TRUE(translator.load(QStringLiteral("qtbase_ja"), QLibraryInfo::path(QLibraryInfo::TranslationsPath)));
            QCoreApplication::installTranslator(&translator);
        }
        WhileModal<QFileDialog>([&](QFileDialog& dialog) {
            const auto* list = dialog.findChild<QTreeView*>(QStringLiteral("treeView"));
            ASSERT_NE(list, nullptr);
            // The folder's entries come from a background thread.
            const auto listed = [&] { return list->model()->rowCount(list->rootIndex()) == 2; };
            EXPECT_TRUE(QTest::qWaitFor(listed));
            // It may fit itself to the entries once they are in.
            if (!QTest::qWaitFor([&] { return CutParts(dialog).isEmpty(); }, 1000))
                ADD_FAILURE() << (japanese ? "Japanese: " : "English: ") << CutParts(dialog).join("; ").toStdString();
            EXPECT_LE(dialog.width(), dialog.screen()->availableGeometry().width());
            dialog.reject();
        });
        CUiPrompts::GetOpenFileName(nullptr, "P (*.cfg)|*.cfg|", "cfg");
        QCoreApplication::removeTranslator(&translator);
    }
}
