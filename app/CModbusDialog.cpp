#include "CModbusDialog.h"

#include "CAdvancedModbusDialog.h"
#include "comm/CModbusInterface.h"
#include "foundation/DialogHelpers.h"
#include "platform/RunCommand.h"

#include <QComboBox>
#include <QGridLayout>
#include <QHBoxLayout>
#include <QLabel>
#include <QLineEdit>
#include <QPushButton>
#include <QRadioButton>
#include <QVBoxLayout>

#include <algorithm>
#include <cstdint>

namespace {

QString Text(const char* text) { return QString::fromUtf8(text); }

// The list texts in the string table: rates, parities, stop bits.
constexpr int IDS_BAUDRATE_FIRST = 1900;
constexpr int IDS_PARITY_FIRST = 1950;
constexpr int IDS_STOP_FIRST = 2000;
constexpr int kBaudrateCount = 6;
constexpr int kParityCount = 3;
constexpr int kStopCount = 2;

// The RUN LED time-out in tenths of a second.
constexpr int kRunLedScale = 10;
constexpr int kRunLedMax = 32000;

} // namespace

CModbusDialog::CModbusDialog(QWidget* parent)
    : CSettingDialog(IDD, parent)
{
    CreateControls();
}

void CModbusDialog::CreateControls()
{
    setWindowTitle(Text("Modbus Setting"));
    auto combo = [this](int id) {
        auto* c = AddControl(new QComboBox(this), id);
        c->setSizeAdjustPolicy(QComboBox::AdjustToContents);
        return c;
    };

    auto* grid = new QGridLayout;
    grid->addWidget(AddLabel(IDC_ADDRESS_LABEL, "Device address"), 0, 0);
    grid->addWidget(AddEdit(IDC_ADDRESS), 0, 1);
    grid->addWidget(AddLabel(IDC_BAUDRATE_LABEL, "Transfer rate"), 1, 0);
    m_baudrate = combo(IDC_BAUDRATE);
    grid->addWidget(m_baudrate, 1, 1, 1, 2);
    grid->addWidget(new QLabel(Text("Parity bit"), this), 2, 0);
    m_parity = combo(IDC_PARITY);
    grid->addWidget(m_parity, 2, 1, 1, 2);
    grid->addWidget(new QLabel(Text("Stop bit"), this), 3, 0);
    m_stop = combo(IDC_STOP);
    grid->addWidget(m_stop, 3, 1, 1, 2);
    auto* advanced = AddControl(new QPushButton(Text("Advanced"), this), IDC_ADVANCED);
    grid->addWidget(advanced, 4, 1, 1, 2, Qt::AlignLeft);

    grid->addWidget(AddLabel(IDC_MODE_LABEL, "Mode"), 5, 0);
    auto* rtu = AddControl(new QRadioButton(Text("RTU (8bit)"), this), IDC_MODE_RTU);
    auto* ascii = AddControl(new QRadioButton(Text("ASCII (7bit)"), this), IDC_MODE_ASCII);
    grid->addWidget(rtu, 5, 1);
    grid->addWidget(ascii, 5, 2);
    grid->addWidget(AddLabel(IDC_RUNLED_LABEL, "RUN LED Timeout"), 6, 0);
    grid->addWidget(AddEdit(IDC_RUNLED), 6, 1);
    grid->addWidget(AddLabel(IDC_RUNLED_UNIT, "sec."), 6, 2);
    grid->setColumnStretch(3, 1);

    auto* page = new QVBoxLayout(this);
    page->addLayout(grid);
    page->addLayout(CreateButtonRow(Text("OK"), Text("Cancel")));

    connect(advanced, &QPushButton::clicked, this, [this] { RunCommand(this, [this] { OnBnClickedAdvanced(); }); });
}

bool CModbusDialog::DoModalWithSettings(CSettings& settings)
{
    return RunOnSettings(settings);
}

bool CModbusDialog::HasModeCapability() const
{
    return m_settings.HasCapability(CAPABILITY_DIPSW);
}

bool CModbusDialog::OnInitDialog()
{
    for (QComboBox* combo : {m_baudrate, m_parity, m_stop})
        combo->clear();
    AddComboStringsFromResources(m_baudrate, IDS_BAUDRATE_FIRST, kBaudrateCount);
    AddComboStringsFromResources(m_parity, IDS_PARITY_FIRST, kParityCount);
    AddComboStringsFromResources(m_stop, IDS_STOP_FIRST, kStopCount);
    // A list the program does not set shows no choice.
    SelectIndex(m_baudrate, -1);

    const bool mode = HasModeCapability();
    for (int id : {IDC_ADDRESS_LABEL, IDC_BAUDRATE_LABEL, IDC_ADVANCED, IDC_ADDRESS, IDC_BAUDRATE})
        GetDlgItem(id)->setEnabled(!mode);
    for (int id : {IDC_MODE_LABEL, IDC_MODE_RTU, IDC_MODE_ASCII, IDC_RUNLED_LABEL, IDC_RUNLED, IDC_RUNLED_UNIT})
        GetDlgItem(id)->setEnabled(mode);
    if (mode) {
        SetRadioPair(this, IDC_MODE_RTU, IDC_MODE_ASCII, m_settings.GetWord(PARAMETER_MODBUS_MODE) != 0);
        SetNumberText(GetDlgItem(IDC_RUNLED), m_settings.GetWord(PARAMETER_MODBUS_RUNLED), kRunLedScale);
    } else {
        SetNumberText(GetDlgItem(IDC_ADDRESS), m_settings.GetWord(PARAMETER_MODBUS_ADDRESS), 1);
        SelectIndex(m_baudrate, std::min<int>(m_settings.GetWord(PARAMETER_MODBUS_BAUDRATE), kBaudrateCount - 1));
    }
    SelectIndex(m_parity, std::min<int>(m_settings.GetWord(PARAMETER_MODBUS_PARITY), kParityCount - 1));
    SelectIndex(m_stop, m_settings.GetWord(PARAMETER_MODBUS_STOP) != 0 ? 1 : 0);
    return true;
}

void CModbusDialog::OnBnClickedOk()
{
    // The words of the disabled controls stay as they were.
    if (HasModeCapability()) {
        m_settings.SetWord(PARAMETER_MODBUS_MODE, GetRadioPair(this, IDC_MODE_RTU, IDC_MODE_ASCII) ? 1 : 0);
        m_settings.SetWord(PARAMETER_MODBUS_RUNLED, static_cast<std::uint16_t>(
                                            ValidateEdit(IDC_RUNLED, 0, kRunLedMax, kRunLedScale,
                                                         QStringLiteral("MODBUS_RUNLED"))));
    } else {
        const int address = ValidateEdit(IDC_ADDRESS, MODBUS_FIRST_UNIT_ADDRESS, MODBUS_LAST_UNIT_ADDRESS, 1,
                                         QStringLiteral("MODBUS_ADDRESS"));
        m_settings.SetWord(PARAMETER_MODBUS_ADDRESS, static_cast<std::uint16_t>(address));
        StoreSelection(PARAMETER_MODBUS_BAUDRATE, m_baudrate);
    }
    StoreSelection(PARAMETER_MODBUS_PARITY, m_parity);
    StoreSelection(PARAMETER_MODBUS_STOP, m_stop);
    EndDialog(IDOK);
}

void CModbusDialog::OnBnClickedAdvanced()
{
    CAdvancedModbusDialog dialog(this);
    dialog.DoModalWithSettings(m_settings);
}
