#pragma once
// Asks for the unit's current and a new protect passcode.
#include "foundation/CResourceManager.h"
#include "platform/CDialog.h"

#include <cstdint>

class QLabel;
class QLineEdit;
class QPushButton;

inline constexpr int IDD_PROTECT = 146;
inline constexpr int IDC_PROTECT_EXPLANATION = 1204;
inline constexpr int IDC_CURRENT_PASSCODE_LABEL = 1205;
inline constexpr int IDC_CURRENT_PASSCODE = 1070;
inline constexpr int IDC_NEW_PASSCODE_LABEL = 1189;
inline constexpr int IDC_NEW_PASSCODE = 1068;
inline constexpr int IDC_CONFIRM_PASSCODE_LABEL = 1191;
inline constexpr int IDC_CONFIRM_PASSCODE = 1069;

class CProtectDialog : public CDialog, public CResourceManager
{
    Q_OBJECT
public:
    explicit CProtectDialog(QWidget* parent = nullptr);

    // Runs the dialog; on OK stores both passcodes (0 for an empty field)
    // and returns true.
    bool Execute(std::uint32_t& currentPasscode, std::uint32_t& newPasscode);

protected:
    bool OnInitDialog() override;
    void OnOK() override;

private:
    std::uint32_t m_currentPasscode = 0;
    std::uint32_t m_newPasscode = 0;
    QLineEdit* m_current = nullptr;
    QLineEdit* m_new = nullptr;
    QLineEdit* m_confirm = nullptr;
};
