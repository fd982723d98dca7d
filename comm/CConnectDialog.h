#pragma once
// The connection dialog: the user picks the COM port before a
// command talks to the unit. OK sets the serial COM mode and the chosen port.
#include "CComPortList.h"
#include "CComSettings.h"
#include "foundation/CResourceManager.h"
#include "platform/CDialog.h"

class CModbusInterface;
class QComboBox;

class CConnectDialog : public CDialog, public CResourceManager
{
    Q_OBJECT
public:
    static constexpr int IDD = 161;
    static constexpr int IDC_PORT_LABEL = 1083;
    static constexpr int IDC_PORT = 1057;

    explicit CConnectDialog(QWidget* parent = nullptr);

    // Runs the dialog on a copy of settings; on OK copies the choice back and
    // answers true, otherwise leaves settings as they were.
    bool Execute(CComSettings& settings);
    // The connection step of the report: the profile's settings, the dialog;
    // on OK the choice is saved to the profile and handed to the link. A
    // failure on the way is shown in an error box and answers false.
    static bool SelectConnection(CModbusInterface& link, QWidget* parent = nullptr);

    const CComPortList& GetPortList() const { return m_portList; }

protected:
    bool OnInitDialog() override;
    void OnOK() override;

private:
    CComSettings m_settings;
    CComPortList m_portList;
    QComboBox* m_port = nullptr;
};
