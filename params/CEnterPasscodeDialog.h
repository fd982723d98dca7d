#pragma once
// Asks for the passcode of a write-protected unit and can
// remember it, scrambled, in the profile.
#include "foundation/CResourceManager.h"
#include "platform/CDialog.h"

#include <cstdint>

class QCheckBox;
class QLabel;
class QLineEdit;
class QPushButton;

inline constexpr int IDD_ENTER_PASSCODE = 145;
inline constexpr int IDC_PASSCODE_PROMPT = 1206;
inline constexpr int IDC_PASSCODE_EDIT = 1068;
inline constexpr int IDC_SAVE_PASSCODE = 1089;

class CEnterPasscodeDialog : public CDialog, public CResourceManager
{
    Q_OBJECT
public:
    explicit CEnterPasscodeDialog(QWidget* parent = nullptr);

    // Runs the dialog; on OK stores the passcode and returns true.
    bool Execute(std::uint32_t& passcode);

    // A typed passcode: decimal, "0x" hexadecimal or leading-0 octal; text
    // after the number, a sign or a value above 999999999 give 0.
    static std::uint32_t ParsePasscode(const QString& text);

protected:
    bool OnInitDialog() override;
    void OnOK() override;

private:
    std::uint32_t m_passcode = 0;
    bool m_edited = false;
    QLabel* m_prompt = nullptr;
    QLineEdit* m_edit = nullptr;
    QCheckBox* m_save = nullptr;
    QPushButton* m_ok = nullptr;
    QPushButton* m_cancel = nullptr;
};
