#include "CTagDialog.h"

#include "CTagNumber.h"
#include "platform/DialogFrame.h"

#include <QHBoxLayout>
#include <QLineEdit>
#include <QPushButton>
#include <QVBoxLayout>

CTagDialog::CTagDialog(QWidget* parent)
    : CDialog(IDD, parent)
{
    UseDialogFrame(this);
    setWindowTitle(QStringLiteral("Tag No. Setting"));
    m_edit = AddControl(new QLineEdit(this), IDC_TAG);
    m_edit->setMaxLength(CTagNumber::kMaxCharacters);
    auto* ok = AddControl(new QPushButton(QStringLiteral("OK"), this), IDOK);
    auto* cancel = AddControl(new QPushButton(QStringLiteral("Cancel"), this), IDCANCEL);
    SetDefaultButton(ok);

    auto* buttons = new QHBoxLayout;
    buttons->addStretch();
    buttons->addWidget(ok);
    buttons->addWidget(cancel);
    auto* layout = new QVBoxLayout(this);
    layout->addWidget(m_edit);
    layout->addLayout(buttons);

    connect(ok, &QPushButton::clicked, this, [this] { accept(); });
    connect(cancel, &QPushButton::clicked, this, [this] { reject(); });
}

bool CTagDialog::EditTag(QString& tag)
{
    m_tag = tag;
    if (DoModal() != IDOK)
        return false;
    tag = m_tag;
    return true;
}

bool CTagDialog::OnInitDialog()
{
    m_edit->setText(m_tag);
    m_edit->selectAll();
    m_edit->setFocus();
    return true;
}

void CTagDialog::OnOK()
{
    m_tag = m_edit->text();
    CDialog::OnOK();
}
