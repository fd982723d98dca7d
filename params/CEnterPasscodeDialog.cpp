#include "CEnterPasscodeDialog.h"

#include "foundation/DialogHelpers.h"
#include "foundation/Globals.h"
#include "foundation/PasscodeScramble.h"
#include "platform/CProfile.h"
#include "platform/DialogFrame.h"

#include <QCheckBox>
#include <QHBoxLayout>
#include <QLabel>
#include <QLineEdit>
#include <QPushButton>
#include <QVBoxLayout>

#include <cstdint>

namespace {
const QString kProfileSection = QStringLiteral("Settings");
const QString kProfileKey = QStringLiteral("Passcode");
// Shown in place of a remembered passcode, which is never put in the field.
const QString kHiddenPasscode = QStringLiteral("xxxxxxxxxxxx");
constexpr long long kMaxPasscode = 999999999;

// The templates part lines with a lone carriage return.
void FixLineBreaks(QLabel* label)
{
    QString text = label->text();
    text.replace(QLatin1String("\r\n"), QLatin1String("\n"));
    text.replace(QLatin1Char('\r'), QLatin1Char('\n'));
    label->setText(text);
}
} // namespace

CEnterPasscodeDialog::CEnterPasscodeDialog(QWidget* parent) : CDialog(IDD_ENTER_PASSCODE, parent)
{
    UseDialogFrame(this);
    setWindowTitle(QStringLiteral("Enter Modbus Passcode"));
    m_prompt = AddControl(new QLabel(QStringLiteral("The device is write protected. \rEnter Modbus passcode."), this),
                          IDC_PASSCODE_PROMPT);
    m_edit = AddControl(new QLineEdit(this), IDC_PASSCODE_EDIT);
    m_edit->setEchoMode(QLineEdit::Password);
    m_save = AddControl(new QCheckBox(QStringLiteral("Save Modbus passcode"), this), IDC_SAVE_PASSCODE);
    m_ok = AddControl(new QPushButton(QStringLiteral("OK"), this), IDOK);
    m_cancel = AddControl(new QPushButton(QStringLiteral("Cancel"), this), IDCANCEL);
    SetDefaultButton(m_ok);

    auto* buttons = new QHBoxLayout;
    buttons->addStretch();
    buttons->addWidget(m_ok);
    buttons->addWidget(m_cancel);
    auto* layout = new QVBoxLayout(this);
    layout->addWidget(m_prompt);
    layout->addWidget(m_edit);
    layout->addWidget(m_save);
    layout->addLayout(buttons);

    connect(m_edit, &QLineEdit::textEdited, this, [this] { m_edited = true; });
    connect(m_ok, &QPushButton::clicked, this, [this] { accept(); });
    connect(m_cancel, &QPushButton::clicked, this, [this] { reject(); });
}

bool CEnterPasscodeDialog::Execute(std::uint32_t& passcode)
{
    if (DoModal() != IDOK)
        return false;
    passcode = m_passcode;
    return true;
}

std::uint32_t CEnterPasscodeDialog::ParsePasscode(const QString& text)
{
    // Read as the protect dialog reads it, so "0123" means 123 in both.
    std::int64_t value = 0;
    if (!ParseTypedInteger(text, value) || value < 0 || value > kMaxPasscode)
        return 0;
    return static_cast<std::uint32_t>(value);
}

bool CEnterPasscodeDialog::OnInitDialog()
{
    g_resourceDatabase.ApplyDialogTexts(IDD_ENTER_PASSCODE, this);
    FixLineBreaks(m_prompt);

    const int stored = CProfile::GetProfileInt(kProfileSection, kProfileKey, NO_REMEMBERED_PASSCODE);
    if (stored != NO_REMEMBERED_PASSCODE) {
        m_passcode = UnscramblePasscode(stored);
        m_save->setChecked(true);
        m_edit->setText(kHiddenPasscode);
    } else {
        m_save->setChecked(false);
        m_passcode = 0;
    }
    // Only the user's typing counts, not the text set above.
    m_edited = false;
    m_edit->setFocus();
    return true;
}

void CEnterPasscodeDialog::OnOK()
{
    if (m_edited) {
        m_passcode = ParsePasscode(m_edit->text());
        if (m_save->isChecked())
            CProfile::WriteProfileInt(kProfileSection, kProfileKey, ScramblePasscode(m_passcode));
    }
    if (!m_save->isChecked())
        CProfile::WriteProfileInt(kProfileSection, kProfileKey, NO_REMEMBERED_PASSCODE);
    EndDialog(IDOK);
}
