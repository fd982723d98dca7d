#pragma once
// The unit tools (utilities, tag, loop test) against the simulated unit over
// TCP (or the serial link): a loop-test model with two channels, the monitor's link and a polling
// thread that has identified the unit, message boxes answered by script.
#include "params/FenmarTestLink.h"
#include "params/ModalScript.h"

#include "AnyModelThread.h"
#include "monitor/CBackThread.h"
#include "monitor/CMeasurandsAvo.h"

#include "support/CNotificationLog.h"
#include "support/CScriptedPrompts.h"
#include "support/TempProfile.h"

#include "foundation/CPrivateException.h"
#include "foundation/Globals.h"
#include "params/CEnterPasscodeDialog.h"
#include "platform/CProfile.h"

#include <QRadioButton>

#include <gtest/gtest.h>

#include <atomic>
#include <utility>
#include <vector>

inline void ClickRadio(int id)
{
    auto* radio = Control<QRadioButton>(id);
    ASSERT_NE(radio, nullptr);
    QTest::mouseClick(radio, Qt::LeftButton, {}, QPoint(6, radio->height() / 2));
}

using Write = std::pair<int, std::vector<std::uint16_t>>;

class UtilityHarness : public ::testing::Test
{
protected:
    static constexpr std::uint32_t kPasscode = 4711;
    static constexpr int kModeRegister = 4944;
    static constexpr int kPasscodeEntry = 4942;

    void SetUp() override
    {
        CProfile::Reload();
        g_resourceDatabase.LoadLanguageFile(QStringLiteral("English.lng"));
        m_link = MakeLink(m_unit, Kind(), &m_ptyPath);
        ResetPseudoTerminal(m_ptyPath);
        m_block.AddObserver(&m_polls);
    }
    void TearDown() override
    {
        m_thread.reset();
        m_link.reset();
        CProfile::Reload();
    }

    virtual LinkKind Kind() const { return LinkKind::Tcp; }

    // A unit of the model, its channels and counters, identified by command 1.
    void Identify(std::uint16_t model = 6301, std::uint16_t channels = 2, std::uint16_t counterWord = 8)
    {
        m_unit.SetMonitorModel(model, 0, channels);
        m_unit.SetRegister(9627, counterWord);
        m_thread = std::make_unique<AnyModelThread>(AnyModelThread::ModelWords::Kept);
        m_thread->acceptAnyModel = true;
        m_thread->SetMeasurands(&m_block);
        m_thread->SetLink(m_link.get());
        m_polls.AfterEach([this, thread = m_thread.get()] {
            if (m_polling)
                thread->PostCommand(thread->GetLastCommand());
        });
        ASSERT_TRUE(m_thread->Start());
        const std::size_t before = m_polls.Count();
        ASSERT_TRUE(m_thread->PostCommand(CBackThread::CommandIdentification));
        ASSERT_TRUE(m_polls.WaitFor(before + 1));
        ASSERT_FALSE(m_thread->GetError());
    }

    std::vector<Write> Writes(int from) const
    {
        std::vector<Write> writes;
        for (const auto& request : m_unit.Writes(from))
            writes.emplace_back(request.address, request.words);
        return writes;
    }
    // The passcode dialog of the next write sequence gets this passcode, or Cancel.
    static void AnswerPasscode(const QString& passcode)
    {
        WhileModal([passcode] {
            if (passcode.isEmpty()) {
                Click(IDCANCEL);
                return;
            }
            Type(IDC_PASSCODE_EDIT, passcode);
            Click(IDOK);
        });
    }

    TempProfile m_profile;
    CScriptedPrompts m_prompts;
    CFenmarUnit m_unit;
    QString m_ptyPath;
    std::unique_ptr<CModbusInterface> m_link;
    CMeasurandsAvo m_block;
    std::unique_ptr<AnyModelThread> m_thread;
    CNotificationLog m_polls;
    // While set, each notification posts the command again from the polling
    // thread, so the thread keeps the link busy.
    std::atomic<bool> m_polling{false};
};
