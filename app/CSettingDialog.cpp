#include "CSettingDialog.h"

#include <QHBoxLayout>
#include <QPushButton>

bool CSettingDialog::RunOnSettings(CSettings& settings)
{
    m_settings = settings;
    if (DoModal() != IDOK)
        return false;
    settings = m_settings;
    return true;
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
