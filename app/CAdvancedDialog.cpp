#include "CAdvancedDialog.h"

#include "foundation/DialogHelpers.h"
#include "foundation/Globals.h"

#include <QComboBox>
#include <QGridLayout>
#include <QGroupBox>
#include <QHBoxLayout>
#include <QLabel>
#include <QLineEdit>
#include <QRadioButton>
#include <QVBoxLayout>

#include <algorithm>
#include <cstdint>
#include <initializer_list>

namespace {

QString Text(const char* text) { return QString::fromUtf8(text); }

// Cutouts in tenths of a percent: 0.0 to 99.9 for the user.
constexpr int kCutoutScale = 10;
constexpr int kCutoutMax = 999;

// A title and its pair of buttons.
constexpr int kPairColumns = 3;

// Gives the columns of the grids the same widths, so that they stand one
// under the other; what the grids have over that goes to a last, empty column.
void AlignColumns(std::initializer_list<QGridLayout*> grids, int columns)
{
    for (int column = 0; column < columns; ++column) {
        int width = 0;
        for (const QGridLayout* grid : grids) {
            for (int row = 0; row < grid->rowCount(); ++row) {
                if (const QLayoutItem* item = grid->itemAtPosition(row, column))
                    width = std::max(width, item->sizeHint().width());
            }
        }
        for (QGridLayout* grid : grids)
            grid->setColumnMinimumWidth(column, width);
    }
    for (QGridLayout* grid : grids)
        grid->setColumnStretch(columns, 1);
}

} // namespace

CAdvancedDialog::CAdvancedDialog(QWidget* parent)
    : CSettingDialog(IDD, parent)
{
    CreateControls();
}

void CAdvancedDialog::CreateControls()
{
    setWindowTitle(Text("Other Setting"));

    auto* input = AddControl(new QGroupBox(Text("Input"), this), IDC_INPUT_GROUP);
    auto* inputGrid = new QGridLayout(input);
    inputGrid->addWidget(AddLabel(IDC_CUTOUT_LABEL, "Low-end cutout"), 0, 0, 1, 3);
    inputGrid->addWidget(AddLabel(IDC_CUTOUT_U_LABEL, "Voltage"), 1, 0);
    inputGrid->addWidget(AddEdit(IDC_CUTOUT_U), 1, 1);
    inputGrid->addWidget(new QLabel(Text("%"), this), 1, 2);
    inputGrid->addWidget(AddLabel(IDC_CUTOUT_I_LABEL, "Current"), 2, 0);
    inputGrid->addWidget(AddEdit(IDC_CUTOUT_I), 2, 1);
    inputGrid->addWidget(new QLabel(Text("%"), this), 2, 2);
    inputGrid->addWidget(AddLabel(IDC_FREQ_DETECT_LABEL, "Frequency input"), 3, 0);
    m_freqDetect = AddControl(new QComboBox(this), IDC_FREQ_DETECT);
    m_freqDetect->setSizeAdjustPolicy(QComboBox::AdjustToContents);
    inputGrid->addWidget(m_freqDetect, 3, 1, 1, 2);
    inputGrid->setColumnStretch(3, 1);

    // One row per pair: its title, then its two buttons.
    auto addPair = [&](QGridLayout* grid, int row, int titleId, const char* title, int firstId, const char* first,
                       const char* second) {
        grid->addWidget(AddLabel(titleId, title), row, 0);
        auto* a = AddControl(new QRadioButton(Text(first), this), firstId);
        auto* b = AddControl(new QRadioButton(Text(second), this), firstId + 1);
        grid->addWidget(a, row, 1);
        grid->addWidget(b, row, 2);
    };

    auto* calculation = AddControl(new QGroupBox(Text("Calculation Option"), this), IDC_CALCULATION_GROUP);
    m_calculationGrid = new QGridLayout(calculation);
    addPair(m_calculationGrid, 0, IDC_PF_SIGN_LABEL, "Power factor PF sign", IDC_PF_SIGN, "Standard (IEC)", "IEEE");
    addPair(m_calculationGrid, 1, IDC_Q_SIGN_LABEL, "Reactive power Q sign", IDC_Q_SIGN, "Standard (IEC)",
            "Inverted when outgoing (Special)");
    addPair(m_calculationGrid, 2, IDC_QN_CALC_LABEL, "Phase reactive power Qn", IDC_QN_CALC, "Standard (Vector S-P)",
            "Reactive power method (Sigma UI)");
    addPair(m_calculationGrid, 3, IDC_S_CALC_LABEL, "Apparent power S", IDC_S_CALC, "Standard (Vector P+Q)",
            "Sum (S1+S2+S3)");
    addPair(m_calculationGrid, 4, IDC_P_SCALE_LABEL, "Active power scale", IDC_P_SCALE, "Standard (Rounding)",
            "No rounding");

    auto* analog = AddControl(new QGroupBox(Text("Analog Output Option"), this), IDC_ANALOG_GROUP);
    m_analogGrid = new QGridLayout(analog);
    addPair(m_analogGrid, 0, IDC_ANALOG_LIMIT_LABEL, "Analog limit", IDC_ANALOG_LIMIT, "Standard (No limit)",
            "-1% to +101%");

    auto* page = new QVBoxLayout(this);
    page->addWidget(input);
    page->addWidget(calculation);
    page->addWidget(analog);
    page->addLayout(CreateButtonRow(Text("OK"), Text("Cancel")));
}

bool CAdvancedDialog::DoModalWithSettings(CSettings& settings)
{
    return RunOnSettings(settings);
}

bool CAdvancedDialog::OnInitDialog()
{
    g_resourceDatabase.ApplyDialogTexts(IDD, this);
    SetDialogFont(this, false);
    // The analog limit stands in the columns of the calculation options, in the texts and font just set.
    AlignColumns({m_calculationGrid, m_analogGrid}, kPairColumns);

    m_freqDetect->clear();
    AddComboStringsFromList(m_freqDetect, QStringLiteral("FREQ_DETECT"), 2);
    SetNumberText(GetDlgItem(IDC_CUTOUT_U), m_settings.GetWord(PARAMETER_INPUT_CUTOUT_U), kCutoutScale);
    SetNumberText(GetDlgItem(IDC_CUTOUT_I), m_settings.GetWord(PARAMETER_INPUT_CUTOUT_I), kCutoutScale);
    SelectIndex(m_freqDetect, m_settings.GetWord(PARAMETER_INPUT_FREQ_DETECT));

    SetRadioPair(this, IDC_PF_SIGN, IDC_PF_SIGN + 1, m_settings.GetWord(PARAMETER_CALC_OPTION_PF_SIGN) != 0);
    SetRadioPair(this, IDC_Q_SIGN, IDC_Q_SIGN + 1, m_settings.GetWord(PARAMETER_CALC_OPTION_Q_SIGN) != 0);
    SetRadioPair(this, IDC_QN_CALC, IDC_QN_CALC + 1, m_settings.GetWord(PARAMETER_CALC_OPTION_QN_CALC) != 0);
    SetRadioPair(this, IDC_S_CALC, IDC_S_CALC + 1, m_settings.GetWord(PARAMETER_CALC_OPTION_S_CALC) != 0);
    // The word counts rounding: 0 is the second button, "No rounding".
    SetRadioPair(this, IDC_P_SCALE, IDC_P_SCALE + 1, m_settings.GetWord(PARAMETER_CALC_OPTION_POWER) == 0);
    SetRadioPair(this, IDC_ANALOG_LIMIT, IDC_ANALOG_LIMIT + 1, m_settings.GetWord(PARAMETER_AOUT_LIMIT) != 0);
    return true;
}

void CAdvancedDialog::OnBnClickedOk()
{
    auto store = [this](int word, int value) { m_settings.SetWord(word, static_cast<std::uint16_t>(value)); };
    store(PARAMETER_INPUT_CUTOUT_U,
          ValidateEdit(IDC_CUTOUT_U, 0, kCutoutMax, kCutoutScale, QStringLiteral("INPUT_CUTOUT_U")));
    store(PARAMETER_INPUT_CUTOUT_I,
          ValidateEdit(IDC_CUTOUT_I, 0, kCutoutMax, kCutoutScale, QStringLiteral("INPUT_CUTOUT_I")));
    StoreSelection(PARAMETER_INPUT_FREQ_DETECT, m_freqDetect);
    store(PARAMETER_CALC_OPTION_PF_SIGN, GetRadioPair(this, IDC_PF_SIGN, IDC_PF_SIGN + 1) ? 1 : 0);
    store(PARAMETER_CALC_OPTION_Q_SIGN, GetRadioPair(this, IDC_Q_SIGN, IDC_Q_SIGN + 1) ? 1 : 0);
    store(PARAMETER_CALC_OPTION_QN_CALC, GetRadioPair(this, IDC_QN_CALC, IDC_QN_CALC + 1) ? 1 : 0);
    store(PARAMETER_CALC_OPTION_S_CALC, GetRadioPair(this, IDC_S_CALC, IDC_S_CALC + 1) ? 1 : 0);
    store(PARAMETER_CALC_OPTION_POWER, IsDlgButtonChecked(IDC_P_SCALE) ? 1 : 0);
    store(PARAMETER_AOUT_LIMIT, GetRadioPair(this, IDC_ANALOG_LIMIT, IDC_ANALOG_LIMIT + 1) ? 1 : 0);
    EndDialog(IDOK);
}
