#include "CSettingDialog.h"

#include "foundation/CPrivateException.h"
#include "foundation/DialogHelpers.h"
#include "platform/DialogFrame.h"

#include <QComboBox>
#include <QHBoxLayout>
#include <QLabel>
#include <QLineEdit>
#include <QPushButton>

#include <cstdint>

CSettingDialog::CSettingDialog(int templateId, QWidget* parent) : CDialog(templateId, parent)
{
    UseDialogFrame(this);
}

bool CSettingDialog::RunOnSettings(CSettings& settings)
{
    m_settings = settings;
    if (DoModal() != IDOK)
        return false;
    settings = m_settings;
    return true;
}

QLabel* CSettingDialog::AddLabel(int id, const char* text)
{
    return AddControl(new QLabel(QString::fromUtf8(text), this), id);
}

QLineEdit* CSettingDialog::AddEdit(int id, int maximumWidth)
{
    auto* edit = AddControl(new QLineEdit(this), id);
    edit->setMaximumWidth(maximumWidth);
    return edit;
}

QHBoxLayout* CSettingDialog::CreateButtonRow(const QString& okText, const QString& cancelText)
{
    auto* ok = AddControl(new QPushButton(okText, this), IDOK);
    auto* cancel = AddControl(new QPushButton(cancelText, this), IDCANCEL);
    SetDefaultButton(ok);
    connect(ok, &QPushButton::clicked, this, [this] { accept(); });
    connect(cancel, &QPushButton::clicked, this, [this] { reject(); });
    auto* row = new QHBoxLayout;
    row->addStretch();
    row->addWidget(ok);
    row->addWidget(cancel);
    return row;
}

int CSettingDialog::ValidateEdit(int id, int minimum, int maximum, int scale, const QString& parameterKey)
{
    auto* edit = GetDlgItemAs<QLineEdit>(id);
    try {
        return ValidateNumber16(edit, minimum, maximum, scale, parameterKey, true);
    } catch (const CException&) {
        // Also a text that is no number at all: the user sees which edit to correct.
        SelectRejectedText(edit);
        throw;
    }
}

void CSettingDialog::SelectIndex(QComboBox* combo, int index)
{
    // A filled list selects its first entry by itself.
    combo->setCurrentIndex(index >= 0 && index < combo->count() ? index : -1);
}

void CSettingDialog::StoreSelection(int word, const QComboBox* combo, int firstValue)
{
    if (const int selection = combo->currentIndex(); selection >= 0)
        m_settings.SetWord(word, static_cast<std::uint16_t>(selection + firstValue));
}
