#include "CPasscodeDialog.h"

#include "foundation/DialogHelpers.h"
#include "foundation/Globals.h"
#include "platform/CUiPrompts.h"

#include <QGridLayout>
#include <QLabel>
#include <QLineEdit>
#include <QRegularExpressionValidator>
#include <QVBoxLayout>

#include <algorithm>
#include <cstdint>

namespace {

bool IsPasscodeText(const QString& text)
{
    return text.size() == CPasscodeDialog::kPasscodeChars
        && std::all_of(text.begin(), text.end(), [](QChar c) { return c >= u'0' && c <= u'9'; });
}

} // namespace

CPasscodeDialog::CPasscodeDialog(QWidget* parent) : CSettingDialog(IDD, parent)
{
    setWindowTitle(QStringLiteral("Passcode Setting"));
    m_new = AddControl(new QLineEdit(this), IDC_NEW_PASSCODE);
    m_confirm = AddControl(new QLineEdit(this), IDC_CONFIRM_PASSCODE);
    // Password style, digits only from the keyboard.
    auto* digits = new QRegularExpressionValidator(QRegularExpression(QStringLiteral("[0-9]*")), this);
    for (QLineEdit* edit : {m_new, m_confirm}) {
        edit->setEchoMode(QLineEdit::Password);
        edit->setValidator(digits);
    }

    auto* fields = new QGridLayout;
    fields->addWidget(AddLabel(IDC_HINT, "Enter 4-digit number."), 0, 0, 1, 2);
    fields->addWidget(AddLabel(IDC_NEW_PASSCODE_LABEL, "New passcode"), 1, 0);
    fields->addWidget(m_new, 1, 1);
    fields->addWidget(AddLabel(IDC_CONFIRM_PASSCODE_LABEL, "Confirm new passcode"), 2, 0);
    fields->addWidget(m_confirm, 2, 1);

    auto* page = new QVBoxLayout(this);
    page->addLayout(fields);
    page->addLayout(CreateButtonRow(QStringLiteral("OK"), QStringLiteral("Cancel")));
}

bool CPasscodeDialog::DoModalWithSettings(CSettings& settings)
{
    return RunOnSettings(settings);
}

bool CPasscodeDialog::OnInitDialog()
{
    g_resourceDatabase.ApplyDialogTexts(IDD, this);
    SetDialogFont(this, false);
    // The current passcode is never shown.
    for (QLineEdit* edit : {m_new, m_confirm}) {
        edit->clear();
        edit->setMaxLength(kPasscodeChars);
    }
    m_new->setFocus();
    return true;
}

void CPasscodeDialog::OnBnClickedOk()
{
    const QString passcode = m_new->text();
    // Also a pasted text that is no number: the word could not hold it.
    if (!IsPasscodeText(passcode)) {
        ShowInputError("MSG_ERROR_INPUT_PASSCODE");
        return;
    }
    if (m_confirm->text() != passcode) {
        ShowInputError("MSG_ERROR_INPUT_CONFIRM_PASSCODE");
        return;
    }
    m_settings.SetWord(PARAMETER_PASSCODE, static_cast<std::uint16_t>(passcode.toInt()));
    EndDialog(IDOK);
}

void CPasscodeDialog::ShowInputError(const char* messageKey)
{
    CUiPrompts::MessageBox(this, g_resourceDatabase.GetMessageText(QString::fromLatin1(messageKey)), QString(),
                           MB_OK | MB_ICONERROR);
}
