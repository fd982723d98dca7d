#include "CConnectDialog.h"

#include "CModbusInterface.h"
#include "foundation/DialogHelpers.h"
#include "foundation/Globals.h"
#include "platform/RunCommand.h"

#include <QComboBox>
#include <QGridLayout>
#include <QHBoxLayout>
#include <QLabel>
#include <QPushButton>

CConnectDialog::CConnectDialog(QWidget* parent)
    : CDialog(IDD, parent)
{
    setWindowTitle(QStringLiteral("Connect"));
    auto* label = AddControl(new QLabel(QStringLiteral("COM port"), this), IDC_PORT_LABEL);
    m_port = AddControl(new QComboBox(this), IDC_PORT);
    m_port->setSizeAdjustPolicy(QComboBox::AdjustToContents);
    m_port->setMinimumContentsLength(16);
    auto* ok = AddControl(new QPushButton(QStringLiteral("OK"), this), IDOK);
    auto* cancel = AddControl(new QPushButton(QStringLiteral("Cancel"), this), IDCANCEL);
    SetDefaultButton(ok);
    connect(ok, &QPushButton::clicked, this, [this] { accept(); });
    connect(cancel, &QPushButton::clicked, this, [this] { reject(); });

    auto* layout = new QGridLayout(this);
    layout->addWidget(label, 0, 0);
    layout->addWidget(m_port, 0, 1);
    auto* buttons = new QHBoxLayout;
    buttons->addStretch(1);
    buttons->addWidget(ok);
    buttons->addWidget(cancel);
    layout->addLayout(buttons, 1, 0, 1, 2);
}

bool CConnectDialog::OnInitDialog()
{
    g_resourceDatabase.ApplyDialogTexts(IDD, this);
    SetDialogFont(this, false);

    // The dialog runs once per object, but a second run must not list twice.
    m_port->clear();
    int selected = 0;
    const QString current = m_settings.COMPortDisplayName;
    for (int i = 0; i < m_portList.GetCount(); ++i) {
        const QString name = m_portList.GetDisplayName(i);
        m_port->addItem(name);
        if (name == current)
            selected = i; // the last equal entry wins
    }
    if (m_portList.GetCount() > 0)
        m_port->setCurrentIndex(selected);
    return true;
}

void CConnectDialog::OnOK()
{
    m_settings.Mode = CComSettings::ModeSerial;
    const int index = m_port->currentIndex();
    m_settings.COMPortName = m_portList.GetPath(index);
    m_settings.COMPortDisplayName = m_portList.GetDisplayName(index);
    EndDialog(IDOK);
}

bool CConnectDialog::Execute(CComSettings& settings)
{
    m_settings = settings;
    if (DoModal() != IDOK)
        return false;
    settings = m_settings;
    return true;
}

bool CConnectDialog::SelectConnection(CModbusInterface& link, QWidget* parent)
{
    bool confirmed = false;
    RunCommand(parent, [&] {
        CConnectDialog dialog(parent);
        CComSettings settings;
        if (!dialog.Execute(settings))
            return;
        settings.Save();
        link.SetComSettings(settings);
        confirmed = true;
    });
    return confirmed;
}
