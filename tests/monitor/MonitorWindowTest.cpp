// The monitor window against the simulated unit: the refresh cycle for the
// tab selections, what the pages and the device table show, the whole
// window on a laptop screen, the lists, a failing unit, and the stop sequence.
#include "MonitorWindowHarness.h"

#include "params/FenmarTestLink.h"
#include "support/CScriptedPrompts.h"
#include "support/TempProfile.h"

#include "controls/CDataGridView.h"
#include "controls/CLedIndicator.h"
#include "foundation/Globals.h"
#include "monitor/CHarmonicsGraph.h"
#include "monitor/CVectorChart.h"
#include "platform/CProfile.h"
#include "platform/ControlIds.h"

#include <QApplication>
#include <QComboBox>
#include <QLabel>
#include <QTabBar>
#include <QToolButton>

#include <gtest/gtest.h>

#include <algorithm>
#include <set>

namespace {

using Clock = std::chrono::steady_clock;
using Commands = std::vector<UINT>;

QString Cell(const CDataGridView& grid, unsigned row, unsigned column)
{
    const QString* text = grid.Model().FindValueText(row, column);
    return text ? *text : QStringLiteral("<none>");
}

class MonitorWindowTest : public ::testing::Test
{
protected:
    void SetUp() override
    {
        CProfile::Reload();
        g_resourceDatabase.LoadLanguageFile(QStringLiteral("English.lng"));
        m_unit.SetMonitorModel(6101, 0, 2);
        m_unit.SetLoadTime(0);
    }
    void TearDown() override { CProfile::Reload(); }

    std::unique_ptr<CModbusInterface> Link(LinkKind kind = LinkKind::Tcp)
    {
        QString path;
        auto link = MakeLink(m_unit, kind, &path);
        ResetPseudoTerminal(path);
        return link;
    }
    // Waits for the current cycle to end and one whole cycle after it; its commands.
    static Commands NextCycle(TestMonitor& monitor)
    {
        const std::size_t from = monitor.Thread()->Commands().size();
        Commands cycle;
        EXPECT_TRUE(WaitUntil([&] { return !(cycle = monitor.Thread()->Cycle(from)).empty(); }));
        return cycle;
    }
    static QString Message(const char* key) { return g_resourceDatabase.GetMessageText(QString::fromLatin1(key)); }

    TempProfile m_profile;
    CFenmarUnit m_unit;
};

TEST_F(MonitorWindowTest, TheCyclePostsOnlyTheCommandsOfTheShownViews)
{
    auto link = Link();
    TestMonitor monitor;
    monitor.Run(*link, [&] {
        EXPECT_EQ(NextCycle(monitor), (Commands{1, 2, 5, 7, 8}));

        monitor.GetUpperTab()->setCurrentIndex(1);
        monitor.GetLowerTab()->setCurrentIndex(4);
        EXPECT_FALSE(monitor.GetUpperTab()->isEnabled()) << "disabled until its page has values again";
        EXPECT_FALSE(monitor.GetLowerTab()->isEnabled());
        EXPECT_EQ(NextCycle(monitor), (Commands{1, 3, 9, 7, 8}));
        EXPECT_TRUE(monitor.GetUpperTab()->isEnabled());
        EXPECT_TRUE(monitor.GetLowerTab()->isEnabled());

        monitor.GetUpperTab()->setCurrentIndex(2);
        monitor.GetLowerTab()->setCurrentIndex(1);
        EXPECT_EQ(NextCycle(monitor), (Commands{1, 4, 5, 7, 8}));
        monitor.GetLowerTab()->setCurrentIndex(3);
        EXPECT_EQ(NextCycle(monitor), (Commands{1, 4, 6, 7, 8}));
        monitor.Close();
    });
}

TEST_F(MonitorWindowTest, PagesAndTablesShowTheUnitsValues)
{
    m_unit.SetSerialNumber("AB123456");
    m_unit.SetTag("Feeder 7");
    auto link = Link();
    TestMonitor monitor;
    monitor.Run(*link, [&] {
        NextCycle(monitor);
        const CMeasurandsAvo& block = monitor.GetMeasurands();
        const auto text = [&](int item) { return block.GetMeasurandText(item); };

        CDataGridView& instantaneous = monitor.GetMaxMinPage().GetInstantaneousGrid();
        EXPECT_EQ(Cell(instantaneous, 2, 1), text(15)) << "voltage 1-N";
        EXPECT_NEAR(Cell(instantaneous, 2, 1).toDouble(), 230, 3);
        EXPECT_EQ(Cell(instantaneous, 7, 3), text(6)) << "frequency";
        EXPECT_EQ(Cell(monitor.GetMaxMinPage().GetDemandGrid(), 6, 1), text(114));
        EXPECT_EQ(Cell(monitor.GetEnergyPage().GetGrid(), 1, 1), text(33)) << "active energy in";
        EXPECT_EQ(Cell(*monitor.GetHarmonicsTable(), 1, 1), text(208));
        EXPECT_EQ(Cell(*monitor.GetHarmonicsTable(), 10, 2), text(168));

        const CDataGridView& device = *monitor.GetDeviceInformation();
        EXPECT_EQ(Cell(device, 0, 1), QStringLiteral("Feeder 7"));
        EXPECT_EQ(Cell(device, 2, 1), QStringLiteral("Avo"));
        EXPECT_EQ(Cell(device, 3, 1), QStringLiteral("AB123456"));
        EXPECT_EQ(monitor.GetStatusText(), Message("MSG_COMMUNICATING"));
        EXPECT_EQ(monitor.GetStatusField()->text(), Message("MSG_COMMUNICATING"));
        EXPECT_EQ(monitor.GetStatusField()->palette().color(QPalette::WindowText), QColor(0, 0, 255));

        // The window's own ids are found before the same ids on its pages.
        EXPECT_EQ(FindControl(&monitor, CMyDalvexDlg::IDC_DEVICE_INFORMATION), monitor.GetDeviceInformation());
        EXPECT_FALSE(monitor.GetMaxMinPage().isWindow());

        // Max: empty until the cycle reads the maxima, then the maxima.
        monitor.GetUpperTab()->setCurrentIndex(1);
        EXPECT_EQ(Cell(instantaneous, 1, 1), QStringLiteral("<none>"));
        NextCycle(monitor);
        EXPECT_EQ(Cell(instantaneous, 1, 1), text(130));
        EXPECT_EQ(Cell(monitor.GetMaxMinPage().GetDemandGrid(), 1, 1), text(169));
        monitor.GetLowerTab()->setCurrentIndex(4);
        NextCycle(monitor);
        EXPECT_EQ(monitor.GetEnergyPage().GetFrameText(), QStringLiteral("Counter"));
        EXPECT_EQ(Cell(monitor.GetEnergyPage().GetGrid(), 3, 3), text(225));
        SavePicture(&monitor, QStringLiteral("monitor-max-counter"));
        monitor.Close();
    });
}

TEST_F(MonitorWindowTest, OpensWithItsBigAndSmallIcon)
{
    auto link = Link();
    TestMonitor monitor;
    monitor.Run(*link, [&] {
        const QIcon icon = monitor.windowIcon();
        EXPECT_FALSE(icon.isNull());
        EXPECT_TRUE(icon.availableSizes().contains(QSize(16, 16))) << "small icon";
        EXPECT_TRUE(icon.availableSizes().contains(QSize(32, 32))) << "big icon";
        monitor.Close();
    });
}

TEST_F(MonitorWindowTest, EveryControlAndTabShowsWholeInAWindowThatFitsALaptopScreen)
{
    // A laptop screen of 1366 by 768 pixels less a 32-pixel panel, and
    // openbox's frame: 1-pixel edges at the sides, a 20-pixel title bar and
    // a 5-pixel handle at the bottom.
    const QSize workArea(1366, 768 - 32);
    const QSize frame(2, 25);
    for (const char* file : {"English.lng", "Japanese.lng"}) {
        SCOPED_TRACE(file);
        g_resourceDatabase.LoadLanguageFile(QString::fromLatin1(file));
        auto link = Link();
        TestMonitor monitor;
        monitor.Run(*link, [&] {
            NextCycle(monitor);
            QApplication::sendPostedEvents();
            EXPECT_LE(monitor.width() + frame.width(), workArea.width());
            EXPECT_LE(monitor.height() + frame.height(), workArea.height());
            EXPECT_EQ(monitor.GetUpperTab()->count(), CMaxMinPage::ModeMinimum + 1);
            EXPECT_EQ(monitor.GetLowerTab()->count(), CEnergyPage::kModeCount);
            for (const QTabBar* tabs : {monitor.GetUpperTab(), monitor.GetLowerTab()}) {
                for (int i = 0; i < tabs->count(); ++i) {
                    const std::string text = tabs->tabText(i).toStdString();
                    EXPECT_TRUE(tabs->rect().contains(tabs->tabRect(i))) << text;
                    EXPECT_GT(tabs->tabRect(i).width(), tabs->fontMetrics().horizontalAdvance(tabs->tabText(i)))
                        << text;
                }
                for (const QToolButton* scroll : tabs->findChildren<QToolButton*>())
                    EXPECT_FALSE(scroll->isVisible()) << "scroll arrows";
            }
            // Each control whole inside the one that holds it, and so inside the window.
            for (const QWidget* control : monitor.findChildren<QWidget*>()) {
                if (control->isWindow() || !control->isVisibleTo(&monitor))
                    continue;
                EXPECT_TRUE(control->parentWidget()->rect().contains(control->geometry()))
                    << control->metaObject()->className() << " " << GetControlId(control) << " "
                    << GetWindowText(control).toStdString();
            }
            const QList<CDataGridView*> tables = monitor.findChildren<CDataGridView*>();
            EXPECT_EQ(tables.size(), 5);
            for (const CDataGridView* table : tables) {
                EXPECT_GE(table->width(), table->sizeHint().width()) << "every column";
                EXPECT_GE(table->height(), table->sizeHint().height()) << "every row";
            }
            EXPECT_GE(monitor.GetVectorChart()->width(), 200);
            EXPECT_GE(monitor.GetVectorChart()->height(), 200);
            EXPECT_GE(monitor.GetHarmonicsChart()->width(), 300);
            EXPECT_GE(monitor.GetHarmonicsChart()->height(), 120);
            monitor.Close();
        });
    }
}

TEST_F(MonitorWindowTest, TheChannelListFollowsTheUnitsChannelCount)
{
    for (const std::uint16_t channels : {1, 2}) {
        m_unit.SetMonitorModel(6101, 0, channels);
        auto link = Link();
        TestMonitor monitor;
        monitor.Run(*link, [&] {
            auto* list = qobject_cast<QComboBox*>(FindControl(&monitor, CMyDalvexDlg::IDC_CHANNEL));
            ASSERT_NE(list, nullptr);
            EXPECT_FALSE(list->isEnabled());
            NextCycle(monitor);
            EXPECT_EQ(list->isEnabled(), channels == 2);
            EXPECT_EQ(list->currentText(), QStringLiteral("1ch"));
            if (channels == 2) {
                list->setCurrentIndex(1);
                emit list->activated(1);
                EXPECT_EQ(monitor.GetPollingThread()->GetChannel(), 1);
            }
            monitor.Close();
        });
    }
}

TEST_F(MonitorWindowTest, AddressListChoosesTheUnitAndHidesOnInfrared)
{
    auto link = Link(LinkKind::Infrared);
    TestMonitor monitor;
    monitor.Run(*link, [&] {
        EXPECT_TRUE(FindControl(&monitor, CMyDalvexDlg::IDC_ADDRESS)->isHidden());
        EXPECT_TRUE(FindControl(&monitor, CMyDalvexDlg::IDC_ADDRESS_LABEL)->isHidden());
        EXPECT_FALSE(NextCycle(monitor).empty());
        monitor.Close();
    });

    auto tcp = Link();
    TestMonitor second;
    second.Run(*tcp, [&] {
        auto* list = qobject_cast<QComboBox*>(FindControl(&second, CMyDalvexDlg::IDC_ADDRESS));
        ASSERT_NE(list, nullptr);
        EXPECT_FALSE(list->isHidden());
        EXPECT_EQ(list->count(), 247);
        EXPECT_EQ(list->currentText(), QStringLiteral("1"));
        emit list->activated(4);
        NextCycle(second);
        EXPECT_EQ(tcp->GetComSettings().Address, 5);
        second.Close();
    });
}

TEST_F(MonitorWindowTest, AnUnsupportedUnitRepeatsTheIdentificationWithAFlashingLamp)
{
    auto link = Link();
    TestMonitor monitor;
    monitor.acceptAnyModel = false;
    monitor.Run(*link, [&] {
        std::set<COLORREF> lamp;
        std::set<QRgb> text;
        const auto watch = [&] {
            lamp.insert(monitor.GetLamp()->GetColor());
            text.insert(monitor.GetStatusField()->palette().color(QPalette::WindowText).rgb());
            return false;
        };
        WaitUntil(watch, 2600);
        EXPECT_TRUE(monitor.IsError());
        EXPECT_EQ(monitor.GetStep(), 0);
        EXPECT_EQ(monitor.GetStatusField()->text(), Message("MSG_ERROR_COMMUNICATION"));
        EXPECT_EQ(lamp, (std::set<COLORREF>{CMyDalvexDlg::kLampError, CMyDalvexDlg::kLampOff}));
        EXPECT_TRUE(text.count(QColor(255, 0, 0).rgb())) << "red text";
        EXPECT_TRUE(text.count(QColor(255, 255, 255).rgb())) << "white on red while flashing";

        for (const auto& posted : monitor.Thread()->Commands())
            EXPECT_EQ(posted.command, CBackThread::CommandIdentification);
        const auto attempts = monitor.Thread()->Identifications();
        ASSERT_GE(attempts.size(), 3u);
        EXPECT_LE(attempts.size(), 7u) << "repeated no faster than the timer";
        // Seen after each attempt's connect, whose time varies: the margin
        // takes that, a spinning thread would be far below it.
        for (std::size_t i = 1; i < attempts.size(); ++i)
            EXPECT_GE(attempts[i] - attempts[i - 1], std::chrono::milliseconds(CBackThread::kFailurePaceMs - 100));

        // The unit comes back: the cycle goes on.
        monitor.Thread()->acceptAnyModel = true;
        EXPECT_TRUE(WaitUntil([&] { return monitor.GetStep() > 0; }));
        EXPECT_FALSE(monitor.IsError());
        EXPECT_EQ(monitor.GetStatusText(), Message("MSG_COMMUNICATING"));
        monitor.Close();
    });
}

TEST_F(MonitorWindowTest, ClosingNeverHangsAndLateNotificationsAreIgnored)
{
    // A silent unit: the command in flight waits for its reply when the window closes.
    auto link = Link();
    TestMonitor monitor;
    Clock::time_point closedAt;
    monitor.Run(*link, [&] {
        NextCycle(monitor);
        m_unit.Simulated().InjectFault(CSimulatedUnit::Silent(), -1);
        const int requests = m_unit.RequestCount();
        EXPECT_TRUE(WaitUntil([&] { return m_unit.RequestCount() > requests; }));
        closedAt = Clock::now();
        monitor.Close();
    });
    EXPECT_LT(Clock::now() - closedAt, std::chrono::seconds(2));
    EXPECT_EQ(monitor.GetPollingThread(), nullptr);

    // A notification queued before the stop and delivered after it.
    const int step = monitor.GetStep();
    monitor.Update(const_cast<CMeasurandsAvo*>(&monitor.GetMeasurands()));
    QCoreApplication::processEvents();
    EXPECT_EQ(monitor.GetStep(), step);
}

TEST_F(MonitorWindowTest, ClosingSetsAUnitInLoopTestModeBackToNormal)
{
    CScriptedPrompts prompts;
    m_unit.SetMonitorModel(6301, 0, 2);
    m_unit.SetRegister(CFenmarUnit::kLoopTestMode[1], 1);
    auto link = Link();
    const auto writesOnClose = [&] {
        TestMonitor monitor;
        std::vector<CFenmarUnit::Request> writes;
        monitor.Run(*link, [&] {
            NextCycle(monitor);
            const int from = m_unit.RequestCount();
            monitor.Close();
            writes = m_unit.Writes(from);
        });
        return writes;
    };

    // Channel 2 was left in loop-test mode: only it goes back, in write mode.
    auto writes = writesOnClose();
    ASSERT_EQ(writes.size(), 3u);
    EXPECT_EQ(writes[0].address, CFenmarUnit::kWriteMode);
    EXPECT_EQ(writes[0].words, std::vector<std::uint16_t>{1});
    EXPECT_EQ(writes[1].address, CFenmarUnit::kLoopTestMode[1]);
    EXPECT_EQ(writes[1].words, std::vector<std::uint16_t>{0});
    EXPECT_EQ(writes[2].address, CFenmarUnit::kWriteMode);
    EXPECT_EQ(writes[2].words, std::vector<std::uint16_t>{0});
    EXPECT_EQ(m_unit.GetRegister(CFenmarUnit::kLoopTestMode[1]), 0);
    EXPECT_EQ(prompts.Count(), 0u);

    // In normal operation the closing writes nothing.
    EXPECT_TRUE(writesOnClose().empty());
}

TEST_F(MonitorWindowTest, TheHarmonicsChartShowsOnlyValuesReadForItsRow)
{
    m_unit.Simulated().SetRegister(1536 + 64 * 4 + 2, 500); // quantity 5, order 4
    auto link = Link();
    TestMonitor monitor;
    monitor.Run(*link, [&] {
        CHarmonicsGraph& chart = *monitor.GetHarmonicsChart();
        NextCycle(monitor);
        EXPECT_TRUE(chart.HasData());
        EXPECT_EQ(chart.GetRow(), 0);

        // The user picks row 5 while command 8 for row 1 is on its way.
        monitor.Thread()->Hold(CBackThread::CommandHarmonics);
        ASSERT_TRUE(WaitUntil([&] { return monitor.Thread()->IsHolding(); }));
        monitor.GetHarmonicsTable()->SetSelectedCell(5, 1);
        monitor.GetHarmonicsTable()->BeginEdit(0);
        EXPECT_TRUE(WaitUntil([&] { return chart.GetRow() == 4; }));
        EXPECT_FALSE(chart.HasData());
        const std::size_t released = monitor.Thread()->Commands().size();
        monitor.Thread()->Release();
        // Row 1's values came: the chart waits for row 5's.
        EXPECT_TRUE(WaitUntil([&] { return monitor.GetStep() == 0; }));
        EXPECT_FALSE(chart.HasData());
        EXPECT_TRUE(WaitUntil([&] { return chart.HasData(); }));
        const auto commands = monitor.Thread()->Commands();
        ASSERT_GT(commands.size(), released);
        const auto harmonics = std::find_if(commands.rbegin(), commands.rend(), [](const auto& posted) {
            return posted.command == CBackThread::CommandHarmonics;
        });
        ASSERT_NE(harmonics, commands.rend());
        EXPECT_EQ(harmonics->argument, 4);
        EXPECT_EQ(chart.GetValue(4), 500);
        monitor.Close();
    });
}

} // namespace
