// Every grid with label cells, in each language: each label shows whole with
// room on both sides, and the grid lies inside its window and the screen.
#include "MainWindowHarness.h"
#include "app/CAnalogOutputDialog.h"
#include "app/CInput2Page.h"
#include "controls/CDataGridView.h"
#include "foundation/CStringTable.h"
#include "foundation/Globals.h"
#include "monitor/CEnergyPage.h"
#include "monitor/CLoopTestDialog.h"
#include "monitor/CMaxMinPage.h"
#include "monitor/CUtilityDialog.h"
#include "monitor/MonitorWindowHarness.h"
#include "params/CSettings.h"
#include "params/FenmarTestLink.h"
#include "platform/ControlIds.h"
#include "support/TempProfile.h"
#include "support/WhileModal.h"

#include <QScreen>

#include <gtest/gtest.h>

#include <cmath>
#include <string>

namespace {

void ExpectLabelsWhole(const CDataGridView& grid, const std::string& name)
{
    SCOPED_TRACE(name);
    ASSERT_FALSE(grid.Model().LabelCells().empty());
    const QFontMetricsF metrics(grid.font());
    for (const GridCellEntry& entry : grid.Model().LabelCells()) {
        const GridLabelText label =
            CGridModel::ParseLabelText(CStringTable::LoadString(static_cast<int>(entry.itemId)));
        if (!label.shown)
            continue;
        const auto width = static_cast<int>(std::ceil(metrics.horizontalAdvance(label.text)));
        EXPECT_LE(width + CGridModel::kTextInset + CGridModel::kTextRoom,
                  static_cast<int>(grid.GetCellWidth() * label.columns))
            << label.text.toStdString();
    }
    const QWidget* window = grid.window();
    const QRect inWindow(grid.mapTo(window, QPoint(0, 0)), grid.size());
    EXPECT_TRUE(window->rect().contains(inWindow)) << "grid outside its window";
    EXPECT_LE(grid.width(), grid.screen()->availableGeometry().width());
}

} // namespace

TEST(GridLabels, EveryGridShowsItsLabelsWholeInsideItsWindow)
{
    TempProfile profile;
    CFenmarUnit unit;
    // The unit whose utilities offer the loop test.
    unit.SetMonitorModel(CLoopTestDialog::kLoopTestModel, 0, 2);
    unit.SetLoadTime(0);
    for (const char* language : {"English.lng", "Japanese.lng"}) {
        SCOPED_TRACE(language);
        g_resourceDatabase.LoadLanguageFile(QString::fromLatin1(language));

        auto link = MakeLink(unit, LinkKind::Tcp);
        TestMonitor monitor;
        monitor.Run(*link, [&] {
            ExpectLabelsWhole(*monitor.GetHarmonicsTable(), "harmonics");
            ExpectLabelsWhole(*monitor.GetDeviceInformation(), "unit information");
            for (int mode = 0; mode < 3; ++mode) {
                monitor.GetMaxMinPage().SetMode(mode);
                ExpectLabelsWhole(monitor.GetMaxMinPage().GetInstantaneousGrid(), "instantaneous");
                ExpectLabelsWhole(monitor.GetMaxMinPage().GetDemandGrid(), "demand");
            }
            for (int mode = 0; mode < CEnergyPage::kModeCount; ++mode) {
                monitor.GetEnergyPage().SetMode(mode);
                ExpectLabelsWhole(monitor.GetEnergyPage().GetGrid(), "energy " + std::to_string(mode));
            }
            WhileModal<CUtilityDialog>([](CUtilityDialog& utilities) {
                WhileModal<CLoopTestDialog>([](CLoopTestDialog& loopTest) {
                    ExpectLabelsWhole(loopTest.GetGrid(), "loop test");
                    loopTest.close();
                });
                PressButton(&utilities, CUtilityDialog::IDC_LOOP_TEST);
                utilities.close();
            });
            PressButton(&monitor, CMyDalvexDlg::IDC_UTILITY);
            monitor.Close();
        });

        // The input page's layout is the program's to fill; with labels, they fit.
        const auto labels = g_input2PageLabels;
        g_input2PageLabels = {{1408, 0, 0}, {1006, 1, 0}, {1007, 2, 0}};
        CInput2Page page;
        page.Refresh();
        page.show();
        ExpectLabelsWhole(page.GetGrid(), "input page");
        g_input2PageLabels = labels;

        WhileModal<CAnalogOutputDialog>([](CAnalogOutputDialog& dialog) {
            ExpectLabelsWhole(dialog.GetGrid(), "analog-output table");
            dialog.close();
        });
        CSettings settings;
        CAnalogOutputDialog().DoModalForChannel(settings, 0);
    }
}
