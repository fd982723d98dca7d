#pragma once
// The passcode setting dialog: the set's four-digit passcode,
// typed twice. It changes only the set; the unit gets it with a download.
#include "foundation/CResourceManager.h"
#include "CSettingDialog.h"

class QLineEdit;

class CPasscodeDialog : public CSettingDialog, private CResourceManager
{
    Q_OBJECT
public:
    static constexpr int IDD = 140;
    static constexpr int IDC_HINT = 1189;
    static constexpr int IDC_NEW_PASSCODE_LABEL = 1190;
    static constexpr int IDC_NEW_PASSCODE = 1068;
    static constexpr int IDC_CONFIRM_PASSCODE_LABEL = 1191;
    static constexpr int IDC_CONFIRM_PASSCODE = 1069;
    static constexpr int kPasscodeChars = 4;

    explicit CPasscodeDialog(QWidget* parent = nullptr);

    // Edits the set's passcode on a copy; the copy replaces the set only on
    // OK (then true).
    bool DoModalWithSettings(CSettings& settings);

protected:
    bool OnInitDialog() override;
    void OnOK() override { OnBnClickedOk(); }

private:
    void OnBnClickedOk();
    // An input error is shown, not thrown: the dialog keeps what was typed.
    void ShowInputError(const char* messageKey);

    QLineEdit* m_new = nullptr;
    QLineEdit* m_confirm = nullptr;
};
