#include "CProtectDialog.h"

#include "foundation/DialogHelpers.h"
#include "foundation/Globals.h"
#include "platform/RunCommand.h"
#include "platform/CUiPrompts.h"

#include <QGridLayout>
#include <QHBoxLayout>
#include <QLabel>
#include <QLineEdit>
#include <QPushButton>
#include <QRegularExpressionValidator>
#include <QVBoxLayout>

namespace {
constexpr int kPasscodeChars = 9;
constexpr int kMinPasscode = 1;
constexpr int kMaxPasscode = 999999999;
const QString kPasscodeKey = QStringLiteral("MODBUS_PASSCODE");

void FixLineBreaks(QLabel* label)
{
    QString text = label->text();
    text.replace(QLatin1String("\r\n"), QLatin1String("\n"));
    text.replace(QLatin1Char('\r'), QLatin1Char('\n'));
    label->setText(text);
}

// An empty field means no passcode.
std::uint32_t ReadPasscode(QLineEdit* edit)
{
    if (edit->text().isEmpty())
        return 0;
    return static_cast<std::uint32_t>(ValidateNumber(edit, kMinPasscode, kMaxPasscode, 1, kPasscodeKey, true));
}
} // namespace

CProtectDialog::CProtectDialog(QWidget* parent) : CDialog(IDD_PROTECT, parent)
{
    setWindowTitle(QStringLiteral("Protect Setting"));
    auto* explanation = AddControl(
        new QLabel(QStringLiteral("The device can be write protected by Modbus passcode.\r(Passcode: 1 - 999999999)"),
                   this),
        IDC_PROTECT_EXPLANATION);
    auto* currentLabel = AddControl(new QLabel(QStringLiteral("Current passcode"), this), IDC_CURRENT_PASSCODE_LABEL);
    m_current = AddControl(new QLineEdit(this), IDC_CURRENT_PASSCODE);
    auto* newLabel = AddControl(new QLabel(QStringLiteral("New passcode"), this), IDC_NEW_PASSCODE_LABEL);
    m_new = AddControl(new QLineEdit(this), IDC_NEW_PASSCODE);
    auto* confirmLabel = AddControl(new QLabel(QStringLiteral("Confirm new passcode"), this), IDC_CONFIRM_PASSCODE_LABEL);
    m_confirm = AddControl(new QLineEdit(this), IDC_CONFIRM_PASSCODE);
    auto* ok = AddControl(new QPushButton(QStringLiteral("OK"), this), IDOK);
    auto* cancel = AddControl(new QPushButton(QStringLiteral("Cancel"), this), IDCANCEL);
    SetDefaultButton(ok);

    // Password style, digits only.
    auto* digits = new QRegularExpressionValidator(QRegularExpression(QStringLiteral("[0-9]*")), this);
    for (QLineEdit* edit : {m_current, m_new, m_confirm}) {
        edit->setEchoMode(QLineEdit::Password);
        edit->setValidator(digits);
    }

    auto* fields = new QGridLayout;
    fields->addWidget(currentLabel, 0, 0);
    fields->addWidget(m_current, 0, 1);
    fields->addWidget(newLabel, 1, 0);
    fields->addWidget(m_new, 1, 1);
    fields->addWidget(confirmLabel, 2, 0);
    fields->addWidget(m_confirm, 2, 1);
    auto* buttons = new QHBoxLayout;
    buttons->addStretch();
    buttons->addWidget(ok);
    buttons->addWidget(cancel);
    auto* layout = new QVBoxLayout(this);
    layout->addWidget(explanation);
    layout->addLayout(fields);
    layout->addLayout(buttons);

    connect(ok, &QPushButton::clicked, this, [this] { accept(); });
    connect(cancel, &QPushButton::clicked, this, [this] { reject(); });
}

bool CProtectDialog::Execute(std::uint32_t& currentPasscode, std::uint32_t& newPasscode)
{
    if (DoModal() != IDOK)
        return false;
    currentPasscode = m_currentPasscode;
    newPasscode = m_newPasscode;
    return true;
}

bool CProtectDialog::OnInitDialog()
{
    g_resourceDatabase.ApplyDialogTexts(IDD_PROTECT, this);
    if (auto* explanation = GetDlgItemAs<QLabel>(IDC_PROTECT_EXPLANATION))
        FixLineBreaks(explanation);
    SetDialogFont(this, true);
    for (QLineEdit* edit : {m_current, m_new, m_confirm})
        edit->setMaxLength(kPasscodeChars);
    m_current->setFocus();
    return true;
}

void CProtectDialog::OnOK()
{
    if (m_new->text() != m_confirm->text()) {
        CUiPrompts::MessageBox(this, g_resourceDatabase.GetMessageText(QStringLiteral("MSG_ERROR_INPUT_CONFIRM_PASSCODE")),
                               QString(), MB_OK | MB_ICONERROR);
        return;
    }
    // A rejected field shows its message and keeps the dialog open.
    RunCommand(this, [this] {
        const std::uint32_t current = ReadPasscode(m_current);
        const std::uint32_t replacement = ReadPasscode(m_new);
        m_currentPasscode = current;
        m_newPasscode = replacement;
        EndDialog(IDOK);
    });
}
