#include "CMyDalvexDlg.h"

#include "CLoopTestDialog.h"
#include "CUtilityDialog.h"

#include "CHarmonicsGraph.h"
#include "CRefreshCycle.h"
#include "CVectorChart.h"
#include "FillGridWithMeasurands.h"
#include "comm/CModbusInterface.h"
#include "controls/CDataGridView.h"
#include "controls/CLedIndicator.h"
#include "foundation/AppIcon.h"
#include "foundation/CStringTable.h"
#include "foundation/DialogHelpers.h"
#include "foundation/Globals.h"
#include "platform/DialogFrame.h"
#include "platform/RunCommand.h"

#include <QApplication>
#include <QComboBox>
#include <QFrame>
#include <QGroupBox>
#include <QGridLayout>
#include <QHBoxLayout>
#include <QLabel>
#include <QPushButton>
#include <QSignalBlocker>
#include <QTabBar>
#include <QTimerEvent>
#include <QVBoxLayout>

#include <algorithm>
#include <vector>

namespace {

constexpr int IDS_UPPER_TAB_FIRST = 100;
constexpr int kUpperTabCount = 3;
constexpr int IDS_LOWER_TAB_FIRST = 200;
constexpr int kLowerTabCount = 5;
constexpr int kChannelCount = 2;
constexpr int kHarmonicsRows = CMeasurandsAvo::kHarmonicsRows;

// Client sizes of the template's drawn controls.
constexpr int kHarmonicsTableWidth = 252;
constexpr int kDeviceInformationWidth = 270;
constexpr QSize kHarmonicsChartSize(373, 170);
// Below the template's 240: beside the unit's frame on a 1366-pixel screen.
constexpr QSize kVectorChartSize(220, 220);

constexpr COLORREF kStatusErrorText = 0x0000FF;
constexpr COLORREF kStatusText = 0xFF0000;
constexpr COLORREF kStatusBlinkText = 0xFFFFFF;
constexpr COLORREF kStatusBlinkBackground = 0x0000FF;

// The harmonics table: row r (1..10) is harmonics row r - 1.
std::vector<GridCellEntry> HarmonicsLabels()
{
    std::vector<GridCellEntry> labels = {{999, 0, 0}, {1200, 1, 0}, {1250, 2, 0}};
    const std::uint32_t rowLabels[kHarmonicsRows] = {1301, 1302, 1303, 1007, 1503, 1504, 1505, 1500, 1501, 1502};
    for (std::uint32_t row = 1; row <= kHarmonicsRows; ++row)
        labels.push_back({rowLabels[row - 1], 0, row});
    return labels;
}

std::vector<GridCellEntry> HarmonicsValues()
{
    std::vector<GridCellEntry> values;
    for (std::uint32_t row = 1; row <= kHarmonicsRows; ++row) {
        values.push_back({208 + row - 1, 1, row});
        values.push_back({159 + row - 1, 2, row});
    }
    return values;
}

// The device information table: labels in column 0, values in column 1.
const std::vector<GridCellEntry> kDeviceLabels = {{3302, 0, 0}, {3305, 0, 1}, {3304, 0, 2},
                                                  {3301, 0, 3}, {3300, 0, 4}, {3303, 0, 5}};
const std::vector<GridCellEntry> kDeviceValues = {{232, 1, 0}, {231, 1, 1}, {227, 1, 2},
                                                  {229, 1, 3}, {228, 1, 4}, {230, 1, 5}};

// A tab bar above the area on which its page lies.
QWidget* MakeTabArea(QWidget* parent, QTabBar* tab, QWidget*& pageArea)
{
    auto* area = new QWidget(parent);
    auto* frame = new QFrame(area);
    frame->setFrameShape(QFrame::StyledPanel);
    pageArea = frame;
    tab->setParent(area);
    tab->setExpanding(false);
    // Every tab whole: the bar asks for the room of all its tabs.
    tab->setUsesScrollButtons(false);
    tab->setElideMode(Qt::ElideNone);
    auto* layout = new QVBoxLayout(area);
    layout->setContentsMargins(0, 0, 0, 0);
    layout->setSpacing(0);
    layout->addWidget(tab);
    layout->addWidget(frame, 1);
    auto* pageLayout = new QVBoxLayout(frame);
    pageLayout->setContentsMargins(0, 0, 0, 0);
    return area;
}

} // namespace

CMyDalvexDlg::CMyDalvexDlg(QWidget* parent)
    : CObserverDialog(IDD, parent)
    , m_icon(LoadAppIcon())
{
    // The main window's frame: it stands in for the main window while it runs.
    UseDialogFrame(this, FrameBoxes::MinimizeAndClose);
    // The window's own controls come first, so that its ids are found
    // before the same ids on the pages.
    auto* deviceFrame = new QGroupBox(QStringLiteral("Device Information"), this);
    m_addressLabel = AddControl(new QLabel(QStringLiteral("Device address"), deviceFrame), IDC_ADDRESS_LABEL);
    m_address = AddControl(new QComboBox(deviceFrame), IDC_ADDRESS);
    auto* channelLabel = AddControl(new QLabel(QStringLiteral("Channel"), deviceFrame), IDC_CHANNEL_LABEL);
    m_channel = AddControl(new QComboBox(deviceFrame), IDC_CHANNEL);
    m_deviceInformation = AddControl(new CDataGridView(deviceFrame), IDC_DEVICE_INFORMATION);

    auto* harmonicsFrame = new QGroupBox(QStringLiteral("Harmonics"), this);
    m_harmonicsTable = AddControl(new CDataGridView(harmonicsFrame), IDC_HARMONICS_TABLE);
    m_harmonicsChart = AddControl(new CHarmonicsGraph(harmonicsFrame), IDC_HARMONICS_CHART);
    m_harmonicsChart->setFixedSize(kHarmonicsChartSize);

    auto* vectorFrame = new QGroupBox(QStringLiteral("Vector Chart"), this);
    m_vectorChart = AddControl(new CVectorChart(vectorFrame), IDC_VECTOR_CHART);
    m_vectorChart->setFixedSize(kVectorChartSize);

    auto* utility = AddControl(new QPushButton(QStringLiteral("Utility"), this), IDC_UTILITY);
    m_status = AddControl(new QLabel(this), IDC_STATUS);
    m_lamp = AddControl(new CLedIndicator(this), IDC_LAMP);
    m_lamp->setFixedSize(16, 16);

    m_upperTab = AddControl(new QTabBar, IDC_UPPER_TAB);
    m_lowerTab = AddControl(new QTabBar, IDC_LOWER_TAB);
    QWidget* upperArea = MakeTabArea(this, m_upperTab, m_upperPageArea);
    QWidget* lowerArea = MakeTabArea(this, m_lowerTab, m_lowerPageArea);

    auto* deviceLayout = new QGridLayout(deviceFrame);
    deviceLayout->addWidget(m_addressLabel, 0, 0);
    deviceLayout->addWidget(m_address, 0, 1);
    deviceLayout->addWidget(channelLabel, 1, 0);
    deviceLayout->addWidget(m_channel, 1, 1);
    deviceLayout->addWidget(m_deviceInformation, 2, 0, 1, 2, Qt::AlignLeft | Qt::AlignTop);
    auto* harmonicsLayout = new QVBoxLayout(harmonicsFrame);
    harmonicsLayout->addWidget(m_harmonicsTable, 0, Qt::AlignLeft | Qt::AlignTop);
    harmonicsLayout->addWidget(m_harmonicsChart, 0, Qt::AlignLeft);
    (new QVBoxLayout(vectorFrame))->addWidget(m_vectorChart, 0, Qt::AlignCenter);

    // Two columns, so that the window fits a screen of 1366 by 768 pixels
    // with the lower tabs whole: the pages, the status and the Utility
    // button on the left; the phasor diagram beside the unit, and the
    // harmonics below them, on the right.
    auto* statusRow = new QHBoxLayout;
    statusRow->addWidget(m_lamp);
    statusRow->addWidget(m_status, 1);
    statusRow->addWidget(utility);
    auto* left = new QVBoxLayout;
    left->addWidget(upperArea);
    left->addWidget(lowerArea, 1);
    left->addLayout(statusRow);
    auto* right = new QGridLayout;
    right->addWidget(vectorFrame, 0, 0, Qt::AlignTop);
    right->addWidget(deviceFrame, 0, 1, Qt::AlignTop);
    right->addWidget(harmonicsFrame, 1, 0, 1, 2);
    auto* layout = new QHBoxLayout(this);
    layout->addLayout(left, 1);
    layout->addLayout(right);

    connect(m_upperTab, &QTabBar::currentChanged, this,
            [this](int selection) { RunCommand(this, [this, selection] { OnUpperTabChanged(selection); }); });
    connect(m_lowerTab, &QTabBar::currentChanged, this,
            [this](int selection) { RunCommand(this, [this, selection] { OnLowerTabChanged(selection); }); });
    // activated: the user's choice only, never a selection made here.
    connect(m_address, &QComboBox::activated, this,
            [this](int index) { RunCommand(this, [this, index] { OnAddressChosen(index); }); });
    connect(m_channel, &QComboBox::activated, this,
            [this](int index) { RunCommand(this, [this, index] { OnChannelChosen(index); }); });
    connect(utility, &QPushButton::clicked, this, [this] { RunCommand(this, [this] { OnBnClickedUtility(); }); });

    m_measurands.AddObserver(this);
}

CMyDalvexDlg::~CMyDalvexDlg()
{
    StopPolling();
}

int CMyDalvexDlg::RunModal(CModbusInterface& link)
{
    m_link = &link;
    const int result = DoModal();
    StopPolling();
    return result;
}

bool CMyDalvexDlg::OnInitDialog()
{
    setWindowIcon(m_icon);
    setWindowTitle(GetVersionText());

    {
        const QSignalBlocker upperBlocker(m_upperTab);
        const QSignalBlocker lowerBlocker(m_lowerTab);
        while (m_upperTab->count() > 0)
            m_upperTab->removeTab(0);
        while (m_lowerTab->count() > 0)
            m_lowerTab->removeTab(0);
        for (int i = 0; i < kUpperTabCount; ++i)
            m_upperTab->addTab(CStringTable::LoadString(IDS_UPPER_TAB_FIRST + i));
        for (int i = 0; i < kLowerTabCount; ++i)
            m_lowerTab->addTab(CStringTable::LoadString(IDS_LOWER_TAB_FIRST + i));
    }

    m_address->clear();
    for (int address = MODBUS_FIRST_UNIT_ADDRESS; address <= MODBUS_LAST_UNIT_ADDRESS; ++address)
        m_address->addItem(QString::number(address));
    const CComSettings& settings = m_link->GetComSettings();
    m_address->setCurrentIndex(settings.Address - 1);
    if (settings.Mode == CComSettings::ModeInfrared) {
        m_address->hide();
        m_addressLabel->hide();
    }

    m_channel->clear();
    for (int channel = 1; channel <= kChannelCount; ++channel)
        m_channel->addItem(QStringLiteral("%1ch").arg(channel));
    m_channel->setCurrentIndex(0);
    m_channel->setEnabled(false);

    m_maxMinPage.Create(m_upperPageArea);
    m_upperPageArea->layout()->addWidget(&m_maxMinPage);
    m_energyPage.Create(m_lowerPageArea);
    m_lowerPageArea->layout()->addWidget(&m_energyPage);

    static const std::vector<GridCellEntry> harmonicsLabels = HarmonicsLabels();
    // The cells are as wide as the design gives or as their labels need.
    m_harmonicsTable->SetLayout(
        harmonicsLabels, m_harmonicsTable->FitCellWidth(harmonicsLabels, static_cast<UINT>(kHarmonicsTableWidth / 2.8)),
        0, 0);
    m_harmonicsTable->SetSelectionEnabled(true);
    const UINT row = std::clamp<UINT>(m_harmonicsTable->GetSelectedRow(), 1, kHarmonicsRows);
    m_harmonicsTable->SetSelectedCell(row, std::max<UINT>(m_harmonicsTable->GetSelectedColumn(), 1));
    m_harmonicsChart->SetRow(static_cast<int>(row) - 1);
    m_harmonicsTable->AddObserver(this);

    m_deviceInformation->SetLayout(kDeviceLabels,
                                   m_deviceInformation->FitCellWidth(kDeviceLabels, kDeviceInformationWidth / 2), 0, 2);

    m_thread = CreatePollingThread();
    m_thread->SetLink(m_link);
    m_thread->SetMeasurands(&m_measurands);
    m_stopped = false;
    m_step = 0;
    m_thread->Start();
    m_thread->PostCommand(CBackThread::CommandIdentification);
    m_upperTab->setEnabled(false);
    m_lowerTab->setEnabled(false);
    m_error = false;
    m_timerId = startTimer(kTimerMs);
    return true;
}

std::unique_ptr<CBackThread> CMyDalvexDlg::CreatePollingThread()
{
    return std::make_unique<CBackThread>();
}

void CMyDalvexDlg::OnUpdateObserver(CObservable* notifier)
{
    if (notifier == &m_measurands)
        OnMeasurandsUpdate();
    else if (notifier == static_cast<CObservable*>(m_harmonicsTable))
        OnHarmonicsSelection();
}

void CMyDalvexDlg::OnMeasurandsUpdate()
{
    // One that was on its way when the polling stopped.
    if (m_stopped || !m_thread)
        return;
    if (m_thread->GetError()) {
        // The step stays: the same command goes again.
        m_error = true;
        m_statusText = g_resourceDatabase.GetMessageText(QStringLiteral("MSG_ERROR_COMMUNICATION"));
        ApplyStatusVisuals();
    } else {
        RefreshStep();
        m_statusText = g_resourceDatabase.GetMessageText(QStringLiteral("MSG_COMMUNICATING"));
        m_error = false;
        m_lamp->SetColor(m_blink ? kLampLit : kLampOff);
        m_blink = !m_blink;
        ApplyStatusVisuals();
        m_step = (m_step + 1) % CRefreshCycle::kSteps;
    }
    PostNextCommand();
}

void CMyDalvexDlg::RefreshStep()
{
    const int upper = m_upperTab->currentIndex();
    const int lower = m_lowerTab->currentIndex();
    switch (m_step) {
    case 0:
        m_loopTestUnit = m_measurands.ModelCode == CLoopTestDialog::kLoopTestModel;
        FillGridWithMeasurands(*m_deviceInformation, m_measurands, kDeviceValues);
        m_vectorChart->SetData(m_measurands);
        if (m_measurands.ChannelCount >= 2) {
            m_channel->setEnabled(true);
        } else {
            m_channel->setCurrentIndex(0);
            m_channel->setEnabled(false);
            m_thread->SetChannel(0);
        }
        break;
    case 1:
    case 2:
    case 3:
        if (CRefreshCycle::FeedsUpperPage(m_step, upper)) {
            m_maxMinPage.UpdateValues(m_measurands);
            m_upperTab->setEnabled(true);
        }
        break;
    case 4:
    case 5:
    case 6:
        if (CRefreshCycle::FeedsLowerPage(m_step, lower)) {
            m_energyPage.UpdateValues(m_measurands);
            m_lowerTab->setEnabled(true);
        }
        break;
    case 7: {
        static const std::vector<GridCellEntry> harmonicsValues = HarmonicsValues();
        FillGridWithMeasurands(*m_harmonicsTable, m_measurands, harmonicsValues);
        break;
    }
    default:
        // Only the values read for the row the chart shows.
        if (m_postedHarmonicsRow == m_harmonicsChart->GetRow())
            m_harmonicsChart->SetData(m_measurands);
        break;
    }
}

void CMyDalvexDlg::PostNextCommand()
{
    const CRefreshCycle::Post post = CRefreshCycle::NextPost(m_step, m_upperTab->currentIndex(),
                                                             m_lowerTab->currentIndex(), m_harmonicsChart->GetRow());
    m_step = post.step;
    if (post.command == CBackThread::CommandHarmonics)
        m_postedHarmonicsRow = post.argument;
    m_thread->PostCommand(post.command, post.argument);
}

void CMyDalvexDlg::OnHarmonicsSelection()
{
    if (m_harmonicsChart->SetRow(static_cast<int>(m_harmonicsTable->GetSelectedRow()) - 1))
        m_harmonicsChart->SetNoData();
}

void CMyDalvexDlg::timerEvent(QTimerEvent* event)
{
    if (event->timerId() != m_timerId) {
        CObserverDialog::timerEvent(event);
        return;
    }
    if (m_error)
        m_blink = !m_blink;
    ApplyStatusVisuals();
}

void CMyDalvexDlg::ApplyStatusVisuals()
{
    QPalette palette = this->palette();
    const bool flash = m_error && m_blink;
    palette.setColor(QPalette::WindowText,
                     ColorFromColorref(flash ? kStatusBlinkText : m_error ? kStatusErrorText : kStatusText));
    if (flash)
        palette.setColor(QPalette::Window, ColorFromColorref(kStatusBlinkBackground));
    m_status->setAutoFillBackground(flash);
    m_status->setPalette(palette);
    m_status->setText(m_statusText);
    // While the link works, each finished command sets the lamp.
    if (m_error)
        m_lamp->SetColor(m_blink ? kLampError : kLampOff);
}

void CMyDalvexDlg::OnUpperTabChanged(int selection)
{
    m_maxMinPage.SetMode(selection);
    m_upperTab->setEnabled(false);
}

void CMyDalvexDlg::OnLowerTabChanged(int selection)
{
    m_energyPage.SetMode(selection);
    m_lowerTab->setEnabled(false);
}

void CMyDalvexDlg::OnAddressChosen(int index)
{
    // Taken by the link between two commands, never during one.
    if (m_thread)
        m_thread->SetUnitAddress(index + 1);
}

void CMyDalvexDlg::OnChannelChosen(int index)
{
    if (m_thread)
        m_thread->SetChannel(index);
}

void CMyDalvexDlg::OnBnClickedUtility()
{
    if (!m_thread || !m_link)
        return;
    CUtilityDialog dialog(this);
    dialog.Run(*m_link, *m_thread);
}

void CMyDalvexDlg::OnCancel()
{
    // The unit's outputs must not go on following simulated values once
    // nobody watches. Only a unit that answered: a silent one would hold
    // the closing up for its time-outs.
    if (m_thread && m_link && m_loopTestUnit && !m_error)
        RunCommand(this, [this] { CLoopTestDialog::RestoreNormalMode(*m_link, *m_thread, this); });
    CObserverDialog::OnCancel();
}

void CMyDalvexDlg::StopPolling()
{
    m_stopped = true;
    if (m_thread) {
        // The last read may have to run out its time-out.
        QApplication::setOverrideCursor(Qt::WaitCursor);
        m_thread->Stop();
        QApplication::restoreOverrideCursor();
        m_thread.reset();
    }
    if (m_timerId != 0) {
        killTimer(m_timerId);
        m_timerId = 0;
    }
}
