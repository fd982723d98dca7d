#pragma once
// The monitor window: shows a unit's live values over the
// link it is given. A polling thread reads one part of the unit's values
// per command into the measurement block; each time it reports, the window
// refreshes the view that command fed and posts the next command of its
// nine-step refresh cycle, skipping the views that the tabs hide. A status
// text and a lamp show whether the link works.
#include "CBackThread.h"
#include "CEnergyPage.h"
#include "CMaxMinPage.h"
#include "CMeasurandsAvo.h"
#include "controls/ColorRef.h"
#include "foundation/CObserverDialog.h"
#include "foundation/CResourceManager.h"

#include <QIcon>

#include <functional>
#include <memory>

class CDataGridView;
class CHarmonicsGraph;
class CLedIndicator;
class CModbusInterface;
class CVectorChart;
class QComboBox;
class QLabel;
class QTabBar;

class CMyDalvexDlg : public CObserverDialog, private CResourceManager
{
    Q_OBJECT
public:
    static constexpr int IDD = 102;
    static constexpr int IDC_UPPER_TAB = 1001;
    static constexpr int IDC_LOWER_TAB = 1002;
    static constexpr int IDC_HARMONICS_TABLE = 1006;
    static constexpr int IDC_DEVICE_INFORMATION = 1007;
    static constexpr int IDC_VECTOR_CHART = 1008;
    static constexpr int IDC_HARMONICS_CHART = 1011;
    static constexpr int IDC_STATUS = 1074;
    static constexpr int IDC_UTILITY = 1075;
    static constexpr int IDC_ADDRESS = 1093;
    static constexpr int IDC_ADDRESS_LABEL = 1094;
    static constexpr int IDC_CHANNEL = 1095;
    static constexpr int IDC_CHANNEL_LABEL = 1096;
    static constexpr int IDC_LAMP = 1135;
    static constexpr int kTimerMs = 500;

    // Lamp colours (Windows colour values).
    static constexpr COLORREF kLampLit = 0xFF6464;
    static constexpr COLORREF kLampError = 0x0000FF;
    static constexpr COLORREF kLampOff = 0;


    explicit CMyDalvexDlg(QWidget* parent = nullptr);
    // Stops and joins the polling thread before any member goes.
    ~CMyDalvexDlg() override;

    // Runs the window modally on the caller's link, which must outlive the call;
    // the polling thread has ended when it returns.
    int RunModal(CModbusInterface& link);

    int GetStep() const { return m_step; }
    bool IsError() const { return m_error; }
    QString GetStatusText() const { return m_statusText; }
    // Null once the window has stopped polling.
    CBackThread* GetPollingThread() const { return m_thread.get(); }
    const CMeasurandsAvo& GetMeasurands() const { return m_measurands; }
    CMaxMinPage& GetMaxMinPage() { return m_maxMinPage; }
    CEnergyPage& GetEnergyPage() { return m_energyPage; }
    QTabBar* GetUpperTab() const { return m_upperTab; }
    QTabBar* GetLowerTab() const { return m_lowerTab; }
    CDataGridView* GetHarmonicsTable() const { return m_harmonicsTable; }
    CDataGridView* GetDeviceInformation() const { return m_deviceInformation; }
    CHarmonicsGraph* GetHarmonicsChart() const { return m_harmonicsChart; }
    CVectorChart* GetVectorChart() const { return m_vectorChart; }
    CLedIndicator* GetLamp() const { return m_lamp; }
    QLabel* GetStatusField() const { return m_status; }

protected:
    bool OnInitDialog() override;
    // Enter does not close the monitor.
    void OnOK() override {}
    // A unit left in loop-test mode goes back to normal operation first.
    void OnCancel() override;
    void OnUpdateObserver(CObservable* notifier) override;
    void timerEvent(QTimerEvent* event) override;
    // The polling thread of a run; a test may give one of its own.
    virtual std::unique_ptr<CBackThread> CreatePollingThread();

private:
    void OnMeasurandsUpdate();
    void OnHarmonicsSelection();
    void RefreshStep();
    void PostNextCommand();
    void ApplyStatusVisuals();
    void OnUpperTabChanged(int selection);
    void OnLowerTabChanged(int selection);
    void OnAddressChosen(int index);
    void OnChannelChosen(int index);
    void OnBnClickedUtility();
    void StopPolling();

    // The program's icon, the big and the small one.
    QIcon m_icon;
    int m_timerId = 0;
    QString m_statusText;
    bool m_blink = false;
    bool m_error = false;
    int m_step = 0;
    CMaxMinPage m_maxMinPage;
    CEnergyPage m_energyPage;
    CMeasurandsAvo m_measurands;
    CModbusInterface* m_link = nullptr;
    std::unique_ptr<CBackThread> m_thread;
    // After this no notification is looked at.
    bool m_stopped = false;
    // The last identification found a unit that has a loop test.
    bool m_loopTestUnit = false;
    // The harmonics row that the last command 8 was posted for.
    int m_postedHarmonicsRow = -1;

    QTabBar* m_upperTab = nullptr;
    QTabBar* m_lowerTab = nullptr;
    QWidget* m_upperPageArea = nullptr;
    QWidget* m_lowerPageArea = nullptr;
    CDataGridView* m_harmonicsTable = nullptr;
    CVectorChart* m_vectorChart = nullptr;
    CHarmonicsGraph* m_harmonicsChart = nullptr;
    CDataGridView* m_deviceInformation = nullptr;
    QComboBox* m_address = nullptr;
    QLabel* m_addressLabel = nullptr;
    CLedIndicator* m_lamp = nullptr;
    QComboBox* m_channel = nullptr;
    QLabel* m_status = nullptr;
};
