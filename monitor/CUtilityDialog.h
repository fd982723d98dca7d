#pragma once
// The "Utility" dialog: resets the unit's energy, maximum/minimum, demand
// and counter values, edits its tag number and opens the loop test, over
// the monitor's link while the polling thread is held off it.
#include "foundation/CResourceManager.h"
#include "platform/CDialog.h"

#include <cstdint>

class CBackThread;
class CModbusInterface;
class QPushButton;

class CUtilityDialog : public CDialog, public CResourceManager
{
    Q_OBJECT
public:
    static constexpr int IDD = 136;
    static constexpr int IDC_ENERGY = 1026;
    static constexpr int IDC_MAX_MIN = 1027;
    static constexpr int IDC_DEMAND = 1028;
    static constexpr int IDC_TAG = 1029;
    static constexpr int IDC_LOOP_TEST = 1030;
    static constexpr int IDC_COUNTER = 1031;

    // Reset registers of channel 1 and 2; the counters are reset through the second.
    static constexpr int kRegisterReset[2] = {5329, 5337};
    static constexpr std::uint16_t kResetEnergy = 1;
    static constexpr std::uint16_t kResetMaxMin = 2;
    static constexpr std::uint16_t kResetDemand = 3;

    explicit CUtilityDialog(QWidget* parent = nullptr);

    // Neither is owned; both must outlive the run.
    int Run(CModbusInterface& link, CBackThread& thread);
    // Writes the reset mask for channel `which` (0 or 1) behind the passcode step.
    void ResetDevice(int which, std::uint16_t mask);

    // The counter-reset mask for a counter word; 0 when there is nothing to reset.
    static std::uint16_t CounterMask(std::uint16_t counterWord);

protected:
    bool OnInitDialog() override;
    // Enter does not close the utilities.
    void OnOK() override {}

private:
    void OnReset(int which, std::uint16_t mask);
    void OnBnClickedTag();
    void OnBnClickedLoopTest();
    // The question "MSG_QUERY_RESET"; true for Yes.
    bool ConfirmReset();

    CModbusInterface* m_link = nullptr;
    CBackThread* m_thread = nullptr;
    std::uint16_t m_modelCode = 0;
    std::uint16_t m_counterWord = 0;
    QPushButton* m_counter = nullptr;
    QPushButton* m_loopTest = nullptr;
};
