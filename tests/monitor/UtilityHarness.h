#pragma once
// The unit tools (utilities, tag, loop test) against the simulated unit over
// TCP (or the serial link): a loop-test model with two channels, the monitor's link and a polling
// thread that has identified the unit, message boxes answered by script.
#include "params/FenmarTestLink.h"
#include "params/ModalScript.h"

#include "AnyModelThread.h"
#include "monitor/CBackThread.h"
#include "monitor/CMeasurandsAvo.h"

#include "support/CScriptedPrompts.h"
#include "support/TempProfile.h"

#include "foundation/CObserver.h"
#include "foundation/CPrivateException.h"
#include "foundation/Globals.h"
#include "params/CEnterPasscodeDialog.h"
#include "platform/CProfile.h"

#include <QRadioButton>

#include <gtest/gtest.h>

#include <atomic>
#include <chrono>
#include <thread>
#include <utility>
#include <vector>

// Counts the block's notifications and, while polling is set, posts the
// command again from the polling thread, so the thread keeps the link busy.
class PollCounter : public CObserver
{
public:
    void Update(CObservable* /*notifier*/) override
    {
        ++count;
        if (polling && thread)
            thread->PostCommand(thread->GetLastCommand());
    }
    bool WaitFor(int n) const
    {
        for (int i = 0; i < 1500 && count.load() < n; ++i)
            std::this_thread::sleep_for(std::chrono::milliseconds(10));
        return count.load() >= n;
    }
    std::atomic<int> count{0};
    std::atomic<bool> polling{false};
    CBackThread* thread = nullptr; // set before the thread starts
};

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
        m_polls.thread = m_thread.get();
        ASSERT_TRUE(m_thread->Start());
        const int before = m_polls.count;
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
    PollCounter m_polls;
};
