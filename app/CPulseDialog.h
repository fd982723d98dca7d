#pragma once
// The pulse output dialog: which energy an output counts, the
// weight of one pulse and the pulse duration. The weights offered follow the
// set's wiring system and VT and CT ratings as they stand when it opens.
#include "foundation/CResourceManager.h"
#include "CSettingDialog.h"

class QComboBox;

class CPulseDialog : public CSettingDialog, private CResourceManager
{
    Q_OBJECT
public:
    static constexpr int IDD = 134;
    static constexpr int IDC_SOURCE_LABEL = 1185;
    static constexpr int IDC_SOURCE = 1013;
    static constexpr int IDC_RATE_LABEL = 1186;
    static constexpr int IDC_RATE = 1014;
    static constexpr int IDC_RATE_UNIT = 1064;
    static constexpr int IDC_DURATION_LABEL = 1187;
    static constexpr int IDC_DURATION = 1020;
    static constexpr int IDC_DURATION_UNIT = 1188;

    explicit CPulseDialog(QWidget* parent = nullptr);

    // Edits output 0..3 of the set on a copy; the copy replaces the set only
    // on OK (then true). Another output number opens nothing.
    bool DoModalForOutput(int output, CSettings& settings);

protected:
    bool OnInitDialog() override;
    void OnOK() override { OnBnClickedOk(); }

private:
    void CreateControls();
    void OnBnClickedOk();
    void OnCbnSelendokSource();
    void UpdateRateUnit();

    int m_output = 0;
    QComboBox* m_source = nullptr;
    QComboBox* m_rate = nullptr;
    QComboBox* m_duration = nullptr;
};
