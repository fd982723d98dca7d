#pragma once
// The advanced Modbus settings: the word order of 32-bit
// registers and the RTU frame timers t1.5 and t3.5, with a warning in red.
// Edited on a copy of the Modbus dialog's copy; the template's texts and
// font are kept.
#include "CSettingDialog.h"

class CAdvancedModbusDialog : public CSettingDialog
{
    Q_OBJECT
public:
    static constexpr int IDD = 152;
    static constexpr int IDC_LONG_LABEL = 1108;
    static constexpr int IDC_LONG_NORMAL = 1038;
    static constexpr int IDC_LONG_SWAP = 1039;
    static constexpr int IDC_TIMER_LABEL = 1109;
    static constexpr int IDC_T15_LABEL = 1110;
    static constexpr int IDC_T15 = 1017;
    static constexpr int IDC_T15_UNIT = 1111;
    static constexpr int IDC_T35_LABEL = 1112;
    static constexpr int IDC_T35 = 1018;
    static constexpr int IDC_T35_UNIT = 1113;
    static constexpr int IDC_WARNING = 1069;

    explicit CAdvancedModbusDialog(QWidget* parent = nullptr);

    // The set is changed only when the dialog ends with OK (then true).
    bool DoModalWithSettings(CSettings& settings);

protected:
    bool OnInitDialog() override;
    void OnOK() override;

private:
    void CreateControls();
};
