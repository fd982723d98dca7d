#pragma once
// The unit's own Modbus slave settings: parity and stop bits,
// and either the address and transfer rate or, on units with the mode
// capability, the protocol mode and the RUN LED time-out. Edited on a copy
// of the caller's set; the template's texts and font are kept.
#include "CSettingDialog.h"

class QComboBox;

class CModbusDialog : public CSettingDialog
{
    Q_OBJECT
public:
    static constexpr int IDD = 141;
    static constexpr int IDC_ADDRESS_LABEL = 1094;
    static constexpr int IDC_ADDRESS = 1067;
    static constexpr int IDC_BAUDRATE_LABEL = 1082;
    static constexpr int IDC_BAUDRATE = 1014;
    static constexpr int IDC_PARITY = 1015;
    static constexpr int IDC_STOP = 1016;
    static constexpr int IDC_ADVANCED = 1030;
    static constexpr int IDC_MODE_LABEL = 1150;
    static constexpr int IDC_MODE_RTU = 1151;
    static constexpr int IDC_MODE_ASCII = 1152;
    static constexpr int IDC_RUNLED_LABEL = 1153;
    static constexpr int IDC_RUNLED = 1068;
    static constexpr int IDC_RUNLED_UNIT = 1154;

    explicit CModbusDialog(QWidget* parent = nullptr);

    // The set is changed only when the dialog ends with OK (then true).
    bool DoModalWithSettings(CSettings& settings);

protected:
    // Units with it set the mode and RUN LED time-out; the others the
    // address, the rate and the advanced settings.
    virtual bool HasModeCapability() const;

    bool OnInitDialog() override;
    void OnOK() override { OnBnClickedOk(); }
    void OnBnClickedOk();
    // The advanced settings edit this dialog's copy; they reach the caller
    // only with this dialog's OK.
    void OnBnClickedAdvanced();

private:
    void CreateControls();

    QComboBox* m_baudrate = nullptr;
    QComboBox* m_parity = nullptr;
    QComboBox* m_stop = nullptr;
};
