// The unit utilities against the simulated unit: each reset's register and
// mask behind the question and the passcode step, the buttons a unit
// allows, a failed write that still ends the write mode and re-locks, and
// the polling thread's lock keeping the utilities' and the loop test's unit
// accesses out of the polling commands.
#include "UtilityHarness.h"

#include "monitor/CLoopTestDialog.h"
#include "monitor/CTagDialog.h"
#include "monitor/CUtilityDialog.h"
#include "support/MovedByUser.h"

#include <QPushButton>

namespace {

class UtilityDialogTest : public UtilityHarness
{
protected:
    // Runs the utilities and presses the buttons in order, then Close.
    void Press(std::vector<int> buttons)
    {
        WhileModal([buttons] {
            for (int id : buttons)
                Click(id);
            Click(IDCANCEL);
        });
        CUtilityDialog dialog;
        dialog.Run(*m_link, *m_thread);
    }
    // The writes of a reset on an unprotected unit.
    static std::vector<Write> ResetWrites(int address, std::uint16_t mask)
    {
        return {{kModeRegister, {1}}, {kModeRegister, {1}}, {address, {mask}}, {kModeRegister, {0}}};
    }
};

TEST_F(UtilityDialogTest, EachResetWritesItsMaskToItsRegisterAfterYes)
{
    struct Case
    {
        int button;
        int channel;
        std::uint16_t counterWord;
        int address;
        std::uint16_t mask;
    };
    const Case cases[] = {
        {CUtilityDialog::IDC_ENERGY, 0, 8, 5329, 1},  {CUtilityDialog::IDC_MAX_MIN, 0, 8, 5329, 2},
        {CUtilityDialog::IDC_DEMAND, 0, 8, 5329, 3},  {CUtilityDialog::IDC_DEMAND, 1, 8, 5337, 3},
        {CUtilityDialog::IDC_ENERGY, 1, 8, 5337, 1},  {CUtilityDialog::IDC_COUNTER, 0, 8, 5337, 255},
        {CUtilityDialog::IDC_COUNTER, 0, 4, 5337, 15},
    };
    Identify();
    for (const Case& c : cases) {
        SCOPED_TRACE(testing::Message() << "button " << c.button << " channel " << c.channel + 1);
        m_unit.SetRegister(9627, c.counterWord);
        m_thread->PostCommand(CBackThread::CommandIdentification);
        m_polls.WaitFor(m_polls.Count() + 1);
        m_thread->SetChannel(c.channel);
        m_prompts.Clear();
        m_prompts.QueueAnswer(IDYES);
        const int from = m_unit.RequestCount();
        Press({c.button});
        EXPECT_EQ(Writes(from), ResetWrites(c.address, c.mask));
        ASSERT_EQ(m_prompts.Count(), 1u);
        EXPECT_EQ(m_prompts.Last().text, g_resourceDatabase.GetMessageText(QStringLiteral("MSG_QUERY_RESET")));
        EXPECT_EQ(m_prompts.Last().style, MB_YESNO | MB_ICONQUESTION);
    }

    // "No" leaves the unit alone.
    m_prompts.QueueAnswer(IDNO);
    const int from = m_unit.RequestCount();
    Press({CUtilityDialog::IDC_ENERGY});
    EXPECT_EQ(m_unit.RequestCount(), from);
}

TEST_F(UtilityDialogTest, ButtonsFollowTheUnitsCountersAndModel)
{
    const auto enabled = [this](int id) {
        bool state = false;
        WhileModal([id, &state] {
            state = Control<QPushButton>(id)->isEnabled();
            Click(IDCANCEL);
        });
        CUtilityDialog dialog;
        dialog.Run(*m_link, *m_thread);
        return state;
    };
    Identify(6301, 1, 0);
    EXPECT_FALSE(enabled(CUtilityDialog::IDC_COUNTER));
    EXPECT_TRUE(enabled(CUtilityDialog::IDC_LOOP_TEST));
    m_thread.reset();
    Identify(6201, 1, 4);
    EXPECT_TRUE(enabled(CUtilityDialog::IDC_COUNTER));
    EXPECT_FALSE(enabled(CUtilityDialog::IDC_LOOP_TEST));
}

TEST_F(UtilityDialogTest, ProtectedUnitIsLockedAgainAfterAResetAndAfterAFailedOne)
{
    Identify();
    m_unit.SetProtectPasscode(kPasscode);

    m_prompts.QueueAnswer(IDYES);
    int from = m_unit.RequestCount();
    WhileModal([] {
        AnswerPasscode(QString::number(kPasscode));
        Click(CUtilityDialog::IDC_MAX_MIN);
        Click(IDCANCEL);
    });
    CUtilityDialog first;
    first.Run(*m_link, *m_thread);
    auto writes = Writes(from);
    ASSERT_GE(writes.size(), 4u);
    EXPECT_EQ(writes[writes.size() - 3], Write(5329, {2}));
    EXPECT_EQ(writes[writes.size() - 2], Write(kModeRegister, {0}));
    EXPECT_EQ(writes.back(), Write(kPasscodeEntry, {0, 0}));
    EXPECT_FALSE(m_unit.IsUnlocked());

    // The mask write fails on every attempt: the error is shown, and the
    // unit still leaves the write mode and is locked again.
    m_prompts.Clear();
    m_prompts.QueueAnswer(IDYES);
    from = m_unit.RequestCount();
    // Before the mask: the passcode step's five requests and write mode 1.
    m_unit.Simulated().InjectFault(CSimulatedUnit::Fault{}, 6);
    m_unit.Simulated().InjectFault(CSimulatedUnit::Exception(4), 3);
    WhileModal([] {
        AnswerPasscode(QString::number(kPasscode));
        Click(CUtilityDialog::IDC_MAX_MIN);
        Click(IDCANCEL);
    });
    CUtilityDialog second;
    second.Run(*m_link, *m_thread);
    ASSERT_EQ(m_prompts.Count(), 2u);
    EXPECT_EQ(m_prompts.Last().style & MB_ICONMASK, MB_ICONERROR);
    writes = Writes(from);
    ASSERT_GE(writes.size(), 2u);
    EXPECT_EQ(writes[writes.size() - 2], Write(kModeRegister, {0}));
    EXPECT_EQ(writes.back(), Write(kPasscodeEntry, {0, 0}));
    EXPECT_EQ(m_unit.GetWriteMode(), 0);
    EXPECT_FALSE(m_unit.IsUnlocked());

    // A refused passcode writes nothing and shows nothing more.
    m_prompts.Clear();
    m_prompts.QueueAnswer(IDYES);
    from = m_unit.RequestCount();
    WhileModal([] {
        AnswerPasscode(QString());
        Click(CUtilityDialog::IDC_ENERGY);
        Click(IDCANCEL);
    });
    CUtilityDialog third;
    third.Run(*m_link, *m_thread);
    EXPECT_TRUE(Writes(from).empty());
    EXPECT_EQ(m_prompts.Count(), 1u);
}

// On a serial line that takes its time, so a borrowing and a polling
// command without the lock would overlap.
class UtilityLockTest : public UtilityDialogTest
{
protected:
    LinkKind Kind() const override { return LinkKind::Serial; }
};

TEST_F(UtilityLockTest, LockKeepsUtilitiesAndLoopTestOutOfThePolling)
{
    m_unit.Simulated().SetLinePacing(38400);
    Identify();
    // Set first: a quick first round must already be posted again.
    m_polling = true;
    m_thread->PostCommand(CBackThread::CommandCounters);
    ASSERT_TRUE(m_polls.WaitFor(m_polls.Count() + 3));

    bool utilitiesHidden = false;
    bool utilitiesBack = false;
    QPoint place;
    m_prompts.QueueAnswer(IDYES);
    const int from = m_unit.RequestCount();
    WhileModal([&] {
        QWidget* utilities = Modal();
        Click(CUtilityDialog::IDC_DEMAND);
        WhileModal([] {
            Type(CTagDialog::IDC_TAG, QStringLiteral("Line 4"));
            Click(IDOK);
        });
        Click(CUtilityDialog::IDC_TAG);
        place = MovedByUser(utilities, QPoint(150, 90));
        WhileModal([&] {
            // The loop test hides the utilities while it runs.
            utilitiesHidden = !utilities->isVisible();
            ClickRadio(CLoopTestDialog::IDC_LOOP_TEST);
            Click(IDCANCEL);
        });
        Click(CUtilityDialog::IDC_LOOP_TEST);
        utilitiesBack = utilities->isVisible() && Modal() == utilities && utilities->pos() == place;
        Click(IDCANCEL);
    });
    CUtilityDialog dialog;
    dialog.Run(*m_link, *m_thread);
    m_polling = false;
    EXPECT_TRUE(utilitiesHidden);
    EXPECT_TRUE(utilitiesBack);

    // Each borrowing of the link lies in one piece among the polling reads.
    using Step = std::pair<int, int>; // function, address
    const std::vector<Step> reset = {{4, 5735}, {4, 5333}, {16, 4944}, {16, 4944}, {16, 5329}, {16, 4944}, {4, 5333}};
    const std::vector<Step> tagRead = {{4, 9606}, {4, 5333}};
    const std::vector<Step> tagWrite = {{4, 5735}, {4, 5333}, {16, 4944}, {16, 9606}, {16, 4944}, {4, 5333}};
    const std::vector<Step> start = {{4, 5375}, {4, 0}, {4, 32}, {4, 5335}};
    const std::vector<Step> mode = {{4, 5735}, {4, 5333}, {16, 4944}, {16, 5335}, {16, 4944}, {4, 5333}};
    const std::vector<Step> send = {{4, 5735}, {4, 5333}, {16, 4944}, {4, 5375},
                                    {16, 0},   {16, 32},  {16, 4944}, {4, 5333}};
    std::vector<Step> steps;
    int pollingReads = 0;
    for (const auto& r : m_unit.DecodedRequests(from)) {
        steps.emplace_back(r.function, r.address);
        pollingReads += r.function == 4 && r.address == 3136;
    }
    EXPECT_GT(pollingReads, 0);
    std::size_t at = 0;
    for (const auto* borrowing : {&reset, &tagRead, &tagWrite, &start, &mode, &send, &mode}) {
        while (at < steps.size() && steps[at] != borrowing->front())
            ++at;
        ASSERT_LE(at + borrowing->size(), steps.size());
        EXPECT_EQ(std::vector<Step>(steps.begin() + static_cast<std::ptrdiff_t>(at),
                                    steps.begin() + static_cast<std::ptrdiff_t>(at + borrowing->size())),
                  *borrowing);
        at += borrowing->size();
    }
    const auto writes = Writes(from);
    EXPECT_NE(std::find(writes.begin(), writes.end(), Write(5329, {3})), writes.end());
    EXPECT_EQ(m_unit.GetTag(), QByteArray("Line 4\0\0\0\0\0\0\0\0\0\0", 16));
    EXPECT_NE(std::find(writes.begin(), writes.end(), Write(5335, {1})), writes.end());
    EXPECT_EQ(writes.back(), Write(kModeRegister, {0}));
    EXPECT_EQ(m_unit.GetRegister(5335), 0) << "closing the loop test ends loop-test mode";
}

} // namespace
