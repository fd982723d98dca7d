#pragma once
// The other settings: the low-end cutouts, the frequency
// input, the signs and methods of the power calculations and the analog
// output limit, edited on a copy of the caller's parameter set.
#include "foundation/CResourceManager.h"
#include "CSettingDialog.h"

class QComboBox;
class QGridLayout;

class CAdvancedDialog : public CSettingDialog, private CResourceManager
{
    Q_OBJECT
public:
    static constexpr int IDD = 133;
    // The "Input" frame.
    static constexpr int IDC_INPUT_GROUP = 1192;
    static constexpr int IDC_CUTOUT_LABEL = 1193;
    static constexpr int IDC_CUTOUT_U_LABEL = 1202;
    static constexpr int IDC_CUTOUT_U = 1015;
    static constexpr int IDC_CUTOUT_I_LABEL = 1203;
    static constexpr int IDC_CUTOUT_I = 1016;
    static constexpr int IDC_FREQ_DETECT_LABEL = 1194;
    static constexpr int IDC_FREQ_DETECT = 1060;
    // Radio pairs: the first button, the second is the next id; each with its title.
    static constexpr int IDC_CALCULATION_GROUP = 1184;
    static constexpr int IDC_PF_SIGN_LABEL = 1195;
    static constexpr int IDC_PF_SIGN = 1026;
    static constexpr int IDC_Q_SIGN_LABEL = 1196;
    static constexpr int IDC_Q_SIGN = 1028;
    static constexpr int IDC_QN_CALC_LABEL = 1197;
    static constexpr int IDC_QN_CALC = 1030;
    static constexpr int IDC_S_CALC_LABEL = 1198;
    static constexpr int IDC_S_CALC = 1032;
    static constexpr int IDC_P_SCALE_LABEL = 1199;
    static constexpr int IDC_P_SCALE = 1034;
    static constexpr int IDC_ANALOG_GROUP = 1185;
    static constexpr int IDC_ANALOG_LIMIT_LABEL = 1200;
    static constexpr int IDC_ANALOG_LIMIT = 1036;

    explicit CAdvancedDialog(QWidget* parent = nullptr);

    // The set is changed only when the dialog ends with OK (then true).
    bool DoModalWithSettings(CSettings& settings);

protected:
    bool OnInitDialog() override;
    void OnOK() override { OnBnClickedOk(); }
    void OnBnClickedOk();

private:
    void CreateControls();

    QComboBox* m_freqDetect = nullptr;
    QGridLayout* m_calculationGrid = nullptr;
    QGridLayout* m_analogGrid = nullptr;
};
