#include "CUtilityDialog.h"

#include "CBackThread.h"
#include "CLoopTestDialog.h"
#include "CTagDialog.h"
#include "CTagNumber.h"
#include "CUnitSession.h"
#include "comm/CModbusInterface.h"
#include "foundation/CCodePageEncoder.h"
#include "foundation/Globals.h"
#include "params/PasscodeProtocol.h"
#include "params/RegisterMap.h"
#include "platform/CUiPrompts.h"
#include "platform/DialogFrame.h"
#include "platform/RunCommand.h"

#include <QGridLayout>
#include <QGroupBox>
#include <QPushButton>
#include <QVBoxLayout>

namespace {
// Index of the counter word among the unit's further identification words.
constexpr int kCounterWordIndex = 4;
} // namespace

CUtilityDialog::CUtilityDialog(QWidget* parent)
    : CDialog(IDD, parent)
{
    UseDialogFrame(this);
    setWindowTitle(QStringLiteral("Utility"));
    const auto button = [this](const char* text, int id) {
        return AddControl(new QPushButton(QString::fromLatin1(text), this), id);
    };
    QPushButton* energy = button("Energy", IDC_ENERGY);
    QPushButton* maxMin = button("Max/Min", IDC_MAX_MIN);
    QPushButton* demand = button("Demand", IDC_DEMAND);
    m_counter = button("Counter", IDC_COUNTER);
    QPushButton* tag = button("Tag No.", IDC_TAG);
    m_loopTest = button("Loop Test", IDC_LOOP_TEST);
    QPushButton* close = button("Close", IDCANCEL);

    auto* frame = new QGroupBox(QStringLiteral("Reset operation"), this);
    auto* resets = new QGridLayout(frame);
    resets->addWidget(energy, 0, 0);
    resets->addWidget(maxMin, 0, 1);
    resets->addWidget(demand, 1, 0);
    resets->addWidget(m_counter, 1, 1);
    auto* layout = new QVBoxLayout(this);
    layout->addWidget(frame);
    layout->addWidget(tag);
    layout->addWidget(m_loopTest);
    layout->addWidget(close);

    // The channel is the one the monitor shows when the button is pressed.
    connect(energy, &QPushButton::clicked, this, [this] { OnReset(m_thread->GetChannel(), kResetEnergy); });
    connect(maxMin, &QPushButton::clicked, this, [this] { OnReset(m_thread->GetChannel(), kResetMaxMin); });
    connect(demand, &QPushButton::clicked, this, [this] { OnReset(m_thread->GetChannel(), kResetDemand); });
    connect(m_counter, &QPushButton::clicked, this, [this] { OnReset(1, CounterMask(m_counterWord)); });
    connect(tag, &QPushButton::clicked, this, [this] { RunCommand(this, [this] { OnBnClickedTag(); }); });
    connect(m_loopTest, &QPushButton::clicked, this,
            [this] { RunCommand(this, [this] { OnBnClickedLoopTest(); }); });
    connect(close, &QPushButton::clicked, this, [this] { reject(); });
}

int CUtilityDialog::Run(CModbusInterface& link, CBackThread& thread)
{
    m_link = &link;
    m_thread = &thread;
    return DoModal();
}

bool CUtilityDialog::OnInitDialog()
{
    // A copy taken under the polling thread's lock: command 1 may be rewriting it.
    const CDeviceType deviceType = m_thread->GetDeviceType();
    m_modelCode = deviceType.GetModelCode();
    m_counterWord = deviceType.GetIoWord(kCounterWordIndex);
    m_counter->setEnabled(m_counterWord != 0);
    m_loopTest->setEnabled(m_modelCode == CLoopTestDialog::kLoopTestModel);
    return true;
}

std::uint16_t CUtilityDialog::CounterMask(std::uint16_t counterWord)
{
    switch (counterWord) {
    case 4:
        return 0x000F;
    case 8:
        return 0x00FF;
    default:
        return 0;
    }
}

bool CUtilityDialog::ConfirmReset()
{
    return CUiPrompts::MessageBox(this, g_resourceDatabase.GetMessageText(QStringLiteral("MSG_QUERY_RESET")), {},
                                  MB_YESNO | MB_ICONQUESTION) == IDYES;
}

void CUtilityDialog::OnReset(int which, std::uint16_t mask)
{
    if (!ConfirmReset() || mask == 0)
        return;
    RunCommand(this, [this, which, mask] { ResetDevice(which, mask); });
}

void CUtilityDialog::ResetDevice(int which, std::uint16_t mask)
{
    CUnitSession session(*m_link, *m_thread);
    session.WriteInMode(WRITE_MODE_PARAMETERS, this, [&] {
        const std::uint16_t setting = WRITE_MODE_PARAMETERS;
        m_link->WriteRegisters(REGISTER_WRITE_MODE, 1, &setting);
        m_link->WriteRegisters(kRegisterReset[which == 1 ? 1 : 0], 1, &mask);
    });
}

void CUtilityDialog::OnBnClickedTag()
{
    const CCodePageEncoder encoder(CCodePageEncoder::LanguageCodePage());
    CTagNumber::Registers words{};
    {
        CUnitSession session(*m_link, *m_thread);
        if (!session.IsHeld())
            return;
        m_link->Connect();
        m_link->ReadRegisters(CTagNumber::kRegister, CTagNumber::kRegisterCount, words.data());
        RelockPasscode(*m_link);
    }
    QString tag = CTagNumber::FromRegisters(words, encoder);

    CTagDialog dialog(this);
    if (!dialog.EditTag(tag))
        return;
    const CTagNumber::Registers written = CTagNumber::ToWrite(tag, words, encoder);
    CUnitSession session(*m_link, *m_thread);
    session.WriteInMode(WRITE_MODE_PARAMETERS, this, [&] {
        m_link->WriteRegisters(CTagNumber::kRegister, CTagNumber::kRegisterCount, written.data());
    });
}

void CUtilityDialog::OnBnClickedLoopTest()
{
    CLoopTestDialog dialog(this);
    dialog.Run(*m_link, *m_thread);
}
