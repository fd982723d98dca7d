#include "CAdvancedModbusDialog.h"

#include "foundation/DialogHelpers.h"

#include <QColor>
#include <QGridLayout>
#include <QHBoxLayout>
#include <QLabel>
#include <QLineEdit>
#include <QPalette>
#include <QRadioButton>
#include <QVBoxLayout>

#include <cstdint>

namespace {

QString Text(const char* text) { return QString::fromUtf8(text); }

// The timers in tenths of a character time: t1.5 from 0.1 to 5.9, t3.5
// above it up to 6.0.
constexpr int kTimerScale = 10;
constexpr int kT15Min = 1;
constexpr int kT15Max = 59;
constexpr int kT35Max = 60;

} // namespace

CAdvancedModbusDialog::CAdvancedModbusDialog(QWidget* parent)
    : CSettingDialog(IDD, parent)
{
    CreateControls();
}

void CAdvancedModbusDialog::CreateControls()
{
    setWindowTitle(Text("Advanced Modbus Setting"));

    auto* grid = new QGridLayout;
    grid->addWidget(AddLabel(IDC_LONG_LABEL, "Long register"), 0, 0, 1, 3);
    auto* normal = AddControl(new QRadioButton(Text("Normal (low first)"), this), IDC_LONG_NORMAL);
    auto* swap = AddControl(new QRadioButton(Text("Swap (high first)"), this), IDC_LONG_SWAP);
    grid->addWidget(normal, 1, 0, 1, 2);
    grid->addWidget(swap, 1, 2, 1, 2);
    grid->addWidget(AddLabel(IDC_TIMER_LABEL, "Protocol operation timer"), 2, 0, 1, 3);
    grid->addWidget(AddLabel(IDC_T15_LABEL, "t1.5"), 3, 0);
    grid->addWidget(AddEdit(IDC_T15), 3, 1);
    grid->addWidget(AddLabel(IDC_T15_UNIT, "char"), 3, 2);
    grid->addWidget(AddLabel(IDC_T35_LABEL, "t3.5"), 4, 0);
    grid->addWidget(AddEdit(IDC_T35), 4, 1);
    grid->addWidget(AddLabel(IDC_T35_UNIT, "char"), 4, 2);
    grid->setColumnStretch(3, 1);

    auto* warning = AddLabel(IDC_WARNING, "WARNING! Communication might fail when t1.5 or t3.5 are changed.");
    warning->setWordWrap(true);
    QPalette palette = warning->palette();
    palette.setColor(QPalette::WindowText, QColor(255, 0, 0));
    warning->setPalette(palette);

    auto* page = new QVBoxLayout(this);
    page->addLayout(grid);
    page->addWidget(warning);
    page->addLayout(CreateButtonRow(Text("OK"), Text("Cancel")));
}

bool CAdvancedModbusDialog::DoModalWithSettings(CSettings& settings)
{
    return RunOnSettings(settings);
}

bool CAdvancedModbusDialog::OnInitDialog()
{
    SetRadioPair(this, IDC_LONG_NORMAL, IDC_LONG_SWAP, m_settings.GetWord(PARAMETER_MODBUS_LONG_REGISTER) != 0);
    SetNumberText(GetDlgItem(IDC_T15), m_settings.GetWord(PARAMETER_MODBUS_T15), kTimerScale);
    SetNumberText(GetDlgItem(IDC_T35), m_settings.GetWord(PARAMETER_MODBUS_T35), kTimerScale);
    return true;
}

void CAdvancedModbusDialog::OnOK()
{
    m_settings.SetWord(PARAMETER_MODBUS_LONG_REGISTER, GetRadioPair(this, IDC_LONG_NORMAL, IDC_LONG_SWAP) ? 1 : 0);
    const int t15 = ValidateEdit(IDC_T15, kT15Min, kT15Max, kTimerScale, QStringLiteral("MODBUS_T15"));
    m_settings.SetWord(PARAMETER_MODBUS_T15, static_cast<std::uint16_t>(t15));
    // t3.5 must exceed the t1.5 just typed.
    const int t35 = ValidateEdit(IDC_T35, t15 + 1, kT35Max, kTimerScale, QStringLiteral("MODBUS_T35"));
    m_settings.SetWord(PARAMETER_MODBUS_T35, static_cast<std::uint16_t>(t35));
    EndDialog(IDOK);
}
