#include "CPulseDialog.h"

#include "foundation/DialogHelpers.h"
#include "foundation/Globals.h"
#include "params/CPulseRateCalcurator.h"
#include "platform/RunCommand.h"

#include <QComboBox>
#include <QGridLayout>
#include <QLabel>
#include <QVBoxLayout>

#include <array>
#include <cstdint>

namespace {

constexpr int kSourceCount = 11;
constexpr int kRateCount = 4;
// Durations of 100 ms to 2000 ms, stored in steps of 100 ms from 1.
constexpr int kDurationCount = 20;
constexpr int kDurationStep = 100;

// The entry of "PulseRateUnit" for each energy source.
constexpr std::array<int, 13> kRateUnitOfSource = {0, 1, 2, 0, 1, 1, 1, 1, 1, 1, 1, 0, 1};

// The item the word names, or none when the list does not offer it (a
// combo box would otherwise keep its first item selected).
} // namespace

CPulseDialog::CPulseDialog(QWidget* parent) : CSettingDialog(IDD, parent)
{
    CreateControls();
}

void CPulseDialog::CreateControls()
{
    setWindowTitle(QStringLiteral("Energy Setting"));
    auto combo = [this](int id) {
        auto* c = AddControl(new QComboBox(this), id);
        c->setSizeAdjustPolicy(QComboBox::AdjustToContents);
        return c;
    };
    m_source = combo(IDC_SOURCE);
    m_rate = combo(IDC_RATE);
    m_duration = combo(IDC_DURATION);

    auto* fields = new QGridLayout;
    fields->addWidget(AddLabel(IDC_SOURCE_LABEL, "Energy count"), 0, 0);
    fields->addWidget(m_source, 0, 1, 1, 2);
    fields->addWidget(AddLabel(IDC_RATE_LABEL, "Pulse weight"), 1, 0);
    fields->addWidget(m_rate, 1, 1);
    fields->addWidget(AddLabel(IDC_RATE_UNIT, ""), 1, 2);
    fields->addWidget(AddLabel(IDC_DURATION_LABEL, "Pulse duration"), 2, 0);
    fields->addWidget(m_duration, 2, 1);
    fields->addWidget(AddLabel(IDC_DURATION_UNIT, "ms"), 2, 2);
    fields->setColumnStretch(3, 1);

    auto* page = new QVBoxLayout(this);
    page->addLayout(fields);
    page->addLayout(CreateButtonRow(QStringLiteral("OK"), QStringLiteral("Cancel")));

    // Only a choice the user confirmed counts, not one the program makes.
    connect(m_source, &QComboBox::activated, this,
            [this](int) { RunCommand(this, [this] { OnCbnSelendokSource(); }); });
}

bool CPulseDialog::DoModalForOutput(int output, CSettings& settings)
{
    if (output < 0 || output >= PULSE_OUTPUT_COUNT)
        return false;
    m_output = output;
    return RunOnSettings(settings);
}

bool CPulseDialog::OnInitDialog()
{
    g_resourceDatabase.ApplyDialogTexts(IDD, this);
    SetDialogFont(this, false);

    m_source->clear();
    AddComboStringsFromList(m_source, QStringLiteral("PULSE_SRC"), kSourceCount);
    SelectIndex(m_source, m_settings.GetWord(PulseOutputWordNumber(m_output, PULSE_WORD_SOURCE)));

    m_duration->clear();
    for (int i = 1; i <= kDurationCount; ++i)
        m_duration->addItem(QString::number(i * kDurationStep));

    m_rate->clear();
    const CPulseRateCalcurator rates(m_settings);
    for (int i = 0; i < kRateCount; ++i)
        m_rate->addItem(rates.GetRateText(i));

    SelectIndex(m_rate, m_settings.GetWord(PulseOutputWordNumber(m_output, PULSE_WORD_RATE)));
    // A duration word of 0 selects nothing.
    SelectIndex(m_duration, m_settings.GetWord(PulseOutputWordNumber(m_output, PULSE_WORD_DURATION)) - 1);
    UpdateRateUnit();
    return true;
}

void CPulseDialog::OnCbnSelendokSource()
{
    UpdateRateUnit();
}

void CPulseDialog::UpdateRateUnit()
{
    const int source = m_source->currentIndex();
    QString unit;
    if (source >= 0) {
        const int entry = kRateUnitOfSource[static_cast<std::size_t>(source) % kRateUnitOfSource.size()];
        unit = g_resourceDatabase.GetListText(QStringLiteral("PulseRateUnit"), entry);
    }
    SetDlgItemText(IDC_RATE_UNIT, unit);
}

void CPulseDialog::OnBnClickedOk()
{
    StoreSelection(PulseOutputWordNumber(m_output, PULSE_WORD_SOURCE), m_source);
    StoreSelection(PulseOutputWordNumber(m_output, PULSE_WORD_RATE), m_rate);
    // The list starts at 100 ms, the word's 1.
    StoreSelection(PulseOutputWordNumber(m_output, PULSE_WORD_DURATION), m_duration, 1);
    EndDialog(IDOK);
}
