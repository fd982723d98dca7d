// The loop test against the simulated unit: start values and mode from the
// chosen channel's registers, the writes and passcode steps of each mode
// change and of the 33 values in both word orders, the range of each
// edited quantity, an error box that keeps an open edit, the radio after a
// refused passcode or a failure, and the unit set back to normal operation
// when the dialog closes, which a cancelled passcode cancels.
#include "UtilityHarness.h"

#include "monitor/CLoopTestDialog.h"

#include "controls/CDataGridView.h"
#include "platform/CUiPrompts.h"

#include <QMessageBox>
#include <QTimer>

#include <functional>
#include <tuple>

namespace {

constexpr int kLoopTestMode[2] = {5335, 5338};

std::int32_t Stamp(int item, int channel)
{
    const std::int32_t magnitude = (channel + 1) * 1000000 + item * 100 + 3;
    return item % 3 == 2 ? -magnitude : magnitude;
}

// The unit registers of simulated item i on a channel.
int RegisterOf(int item, int channel)
{
    const int* base = CLoopTestDialog::kRegisterSimulated[channel];
    return item < CLoopTestDialog::kLeadingItems ? base[0] + 2 * item
                                                 : base[1] + 2 * (item - CLoopTestDialog::kLeadingItems);
}

CEditText* Editor(CLoopTestDialog& dialog)
{
    return dialog.GetEditHost().GetEditBox();
}

// Starts an edit of the cell and types the text; key ends it (0: left open).
void Edit(CLoopTestDialog& dialog, unsigned row, unsigned column, const QString& text, int key = Qt::Key_Return)
{
    dialog.GetGrid().SetSelectedCell(row, column);
    dialog.GetGrid().BeginEdit(0);
    CEditText* edit = Editor(dialog);
    ASSERT_TRUE(edit->isVisible());
    edit->selectAll();
    QTest::keyClicks(edit, text);
    if (key != 0)
        QTest::keyClick(edit, static_cast<Qt::Key>(key));
}

std::vector<int> Addresses(const std::vector<Write>& writes)
{
    std::vector<int> addresses;
    for (const Write& write : writes)
        addresses.push_back(write.first);
    return addresses;
}

// Answers each passcode dialog that comes up, as many times as asked.
class PasscodeAnswers
{
public:
    PasscodeAnswers(const QString& passcode, int count)
        : m_left(count)
    {
        QObject::connect(&m_timer, &QTimer::timeout, [this, passcode] {
            QWidget* modal = Modal();
            if (m_left == 0 || !modal || !FindControl(modal, IDC_PASSCODE_EDIT))
                return;
            --m_left;
            Type(IDC_PASSCODE_EDIT, passcode);
            Click(IDOK);
        });
        m_timer.start(5);
    }
    int Left() const { return m_left; }

private:
    QTimer m_timer;
    int m_left;
};

class LoopTestHarness : public UtilityHarness
{
protected:
    // Runs the dialog on the monitor's link with the script in its modal run;
    // the script closes it.
    bool RunDialog(const std::function<void(CLoopTestDialog&)>& script)
    {
        CLoopTestDialog dialog;
        WhileModal([&] {
            // Focus changes, and so the end of an edit by Esc, need the active window.
            dialog.activateWindow();
            EXPECT_TRUE(QTest::qWaitForWindowActive(&dialog));
            script(dialog);
        });
        return dialog.Run(*m_link, *m_thread);
    }
    void StampChannels()
    {
        for (int channel = 0; channel < 2; ++channel)
            for (int item = 0; item < CLoopTestDialog::kSimulatedItems; ++item)
                m_unit.SetMonitorValue32(RegisterOf(item, channel), static_cast<std::uint32_t>(Stamp(item, channel)));
    }
};

class LoopTestWritesTest : public LoopTestHarness, public ::testing::WithParamInterface<std::tuple<int, std::uint16_t>>
{
};

TEST_P(LoopTestWritesTest, ModesAndValuesGoToTheChannelsRegistersBehindThePasscodeStep)
{
    // Not a structured binding: the lambda below captures the channel, which clang 14 cannot do with one.
    const int channel = std::get<0>(GetParam());
    const std::uint16_t order = std::get<1>(GetParam());
    m_unit.SetMonitorWordOrder(order);
    Identify();
    m_thread->SetChannel(channel);
    StampChannels();
    const int mode = kLoopTestMode[channel];
    const int* base = CLoopTestDialog::kRegisterSimulated[channel];
    const std::vector<Write> modeOn = {{kModeRegister, {1}}, {mode, {1}}, {kModeRegister, {0}}};

    const bool ok = RunDialog([&](CLoopTestDialog& dialog) {
        // Start values from the chosen channel's own registers.
        for (int item = 0; item < CLoopTestDialog::kSimulatedItems; ++item)
            EXPECT_EQ(dialog.GetSimulatedValues().Items[static_cast<std::size_t>(item)], Stamp(item, channel))
                << "start value of item " << item;
        EXPECT_TRUE(Control<QRadioButton>(CLoopTestDialog::IDC_NORMAL)->isChecked());

        // With "Normal" checked an edit changes only the program's copy.
        int from = m_unit.RequestCount();
        Edit(dialog, 2, 1, QStringLiteral("230")); // 1-N voltage, item 15
        EXPECT_EQ(dialog.GetSimulatedValues().Items[15], 23000);
        const QString* shown = dialog.GetGrid().Model().FindValueText(2, 1);
        ASSERT_NE(shown, nullptr);
        EXPECT_EQ(*shown, QStringLiteral("230.00"));
        EXPECT_EQ(m_unit.RequestCount(), from);

        // "Loop Test": the mode in write mode 1, then all 33 values in write mode 2.
        from = m_unit.RequestCount();
        ClickRadio(CLoopTestDialog::IDC_LOOP_TEST);
        auto writes = Writes(from);
        ASSERT_EQ(writes.size(), 7u);
        EXPECT_EQ(std::vector<Write>(writes.begin(), writes.begin() + 3), modeOn);
        EXPECT_EQ(writes[3], Write(kModeRegister, {2}));
        EXPECT_EQ(writes[4].first, base[0]);
        EXPECT_EQ(writes[4].second.size(), 16u);
        EXPECT_EQ(writes[5].first, base[1]);
        EXPECT_EQ(writes[5].second.size(), 50u);
        EXPECT_EQ(writes[6], Write(kModeRegister, {0}));
        EXPECT_TRUE(Control<QRadioButton>(CLoopTestDialog::IDC_LOOP_TEST)->isChecked());
        EXPECT_EQ(m_unit.GetMonitorValue32(RegisterOf(15, channel)), 23000u);
        for (int item = 0; item < CLoopTestDialog::kSimulatedItems; ++item) {
            if (item != 15) {
                EXPECT_EQ(m_unit.GetMonitorValue32(RegisterOf(item, channel)),
                          static_cast<std::uint32_t>(Stamp(item, channel)))
                    << "item " << item;
            }
        }
        EXPECT_EQ(m_unit.GetMonitorValue32(RegisterOf(15, 1 - channel)),
                  static_cast<std::uint32_t>(Stamp(15, 1 - channel)))
            << "the other channel is left alone";

        // A committed and a cancelled edit in loop-test mode both write the 33 values.
        for (int key : {int(Qt::Key_Return), int(Qt::Key_Escape)}) {
            from = m_unit.RequestCount();
            Edit(dialog, 7, 3, key == Qt::Key_Return ? QStringLiteral("55") : QStringLiteral("57"), key);
            writes = Writes(from);
            EXPECT_EQ(Addresses(writes), (std::vector<int>{kModeRegister, base[0], base[1], kModeRegister}));
        }
        EXPECT_EQ(m_unit.GetMonitorValue32(RegisterOf(6, channel)), 5500u) << "the cancelled 57 is not taken";
        EXPECT_TRUE(dialog.isVisible()) << "Esc in the editor ends the edit, not the dialog";

        // Closing in loop-test mode sets the unit back to normal operation.
        from = m_unit.RequestCount();
        Click(IDCANCEL);
        EXPECT_EQ(Writes(from), (std::vector<Write>{{kModeRegister, {1}}, {mode, {0}}, {kModeRegister, {0}}}));
    });
    EXPECT_FALSE(ok);
    EXPECT_EQ(m_unit.GetRegister(mode), 0);
}

INSTANTIATE_TEST_SUITE_P(ChannelsAndWordOrders, LoopTestWritesTest,
                         ::testing::Combine(::testing::Values(0, 1), ::testing::Values<std::uint16_t>(0, 1)),
                         [](const auto& info) {
                             return "Channel" + std::to_string(std::get<0>(info.param) + 1) + "Order" +
                                    std::to_string(std::get<1>(info.param));
                         });

class LoopTestDialogTest : public LoopTestHarness
{
};

TEST_F(LoopTestDialogTest, EachQuantityIsCheckedAgainstItsRange)
{
    Identify();
    const int from = m_unit.RequestCount();
    RunDialog([&](CLoopTestDialog& dialog) {
        const auto& items = dialog.GetSimulatedValues().Items;

        // Taken, in the unit's integer form, up to each limit.
        const struct
        {
            unsigned row, column;
            const char* text;
            int item;
            std::int32_t stored;
        } taken[] = {
            {7, 3, "50", 6, 5000},           {1, 6, "-0.5", 5, -5000},       {2, 2, "20000", 8, 20000000},
            {7, 2, "0", 11, 0},              {5, 1, "400000", 12, 40000000}, {1, 3, "-2000000000", 2, -2000000000},
            {1, 4, "2000000000", 3, 2000000000}, {1, 5, "0", 4, 0},
        };
        for (const auto& t : taken) {
            m_prompts.Clear();
            Edit(dialog, t.row, t.column, QString::fromLatin1(t.text));
            EXPECT_EQ(m_prompts.Count(), 0u) << t.text;
            EXPECT_EQ(items[static_cast<std::size_t>(t.item)], t.stored) << t.text;
            EXPECT_FALSE(Editor(dialog)->isVisible()) << t.text;
        }

        // Refused: the message names the quantity; the editor stays with its text selected.
        const struct
        {
            unsigned row, column;
            const char* text;
            const char* message;
        } refused[] = {
            {7, 3, "44.9", "Frequency: enter a value from 45 to 65."},
            {7, 3, "65.01", "Frequency: enter a value from 45 to 65."},
            {1, 6, "-1.5", "Power factor: enter a value from -1 to 1."},
            {2, 2, "20000.001", "Current: enter a value from 0 to 20000."},
            {7, 2, "-0.001", "Neutral current: enter a value from 0 to 20000."},
            {5, 1, "400000.01", "Voltage: enter a value from 0 to 400000."},
            {1, 3, "2000000001", "Active power: enter a value from -2000000000 to 2000000000."},
            {1, 4, "-2000000001", "Reactive power: enter a value from -2000000000 to 2000000000."},
            {1, 5, "-1", "Apparent power: enter a value from 0 to 2000000000."},
            {2, 1, "23O", "Voltage: enter a number."},
        };
        for (const auto& r : refused) {
            SCOPED_TRACE(r.text);
            const auto before = items;
            m_prompts.Clear();
            Edit(dialog, r.row, r.column, QString::fromLatin1(r.text));
            ASSERT_EQ(m_prompts.Count(), 1u);
            EXPECT_EQ(m_prompts.Last().text, QString::fromLatin1(r.message));
            EXPECT_EQ(m_prompts.Last().style & MB_ICONMASK, MB_ICONERROR);
            EXPECT_TRUE(Editor(dialog)->isVisible());
            EXPECT_TRUE(Editor(dialog)->hasFocus());
            EXPECT_EQ(Editor(dialog)->selectedText(), QString::fromLatin1(r.text));
            EXPECT_TRUE(items == before) << "nothing stored";
            QTest::keyClick(Editor(dialog), Qt::Key_Escape);
            EXPECT_FALSE(Editor(dialog)->isVisible());
        }
        Click(IDCANCEL);
    });
    // Start values read, nothing written: the unit stayed in normal operation.
    EXPECT_TRUE(Writes(from).empty());
}

// Shows each message as a real box that takes the activation, as a person
// would see it, and leaves the answer to the test's scripted prompts.
class RealBoxPrompts : public IPromptHandler
{
public:
    explicit RealBoxPrompts(CScriptedPrompts& answers)
        : m_answers(answers)
    {
        CUiPrompts::SetHandler(this);
    }
    ~RealBoxPrompts() override { CUiPrompts::SetHandler(&m_answers); }
    RealBoxPrompts(const RealBoxPrompts&) = delete;
    RealBoxPrompts& operator=(const RealBoxPrompts&) = delete;

    std::function<void()> whileShown;

    int OnMessageBox(const PromptRequest& request) override
    {
        QMessageBox box(QMessageBox::Critical, QString(), request.text, QMessageBox::Ok,
                        QApplication::activeWindow());
        box.show();
        box.activateWindow();
        EXPECT_TRUE(QTest::qWaitForWindowActive(&box));
        if (whileShown)
            whileShown();
        box.close();
        QApplication::processEvents();
        return m_answers.OnMessageBox(request);
    }
    QString OnFileDialog(const PromptRequest& request) override { return m_answers.OnFileDialog(request); }

private:
    CScriptedPrompts& m_answers;
};

TEST_F(LoopTestDialogTest, ErrorBoxDuringAnEditNeitherCancelsItNorWrites)
{
    m_unit.SetRegister(kLoopTestMode[0], 1); // in loop-test mode: a cancel would write
    Identify();
    RealBoxPrompts boxes(m_prompts);
    RunDialog([&](CLoopTestDialog& dialog) {
        EXPECT_TRUE(Control<QRadioButton>(CLoopTestDialog::IDC_LOOP_TEST)->isChecked());
        bool editorShown = false;
        int requestsDuringBox = -1;
        const int from = m_unit.RequestCount();
        boxes.whileShown = [&] {
            editorShown = Editor(dialog)->isVisible();
            requestsDuringBox = m_unit.RequestCount() - from;
        };
        Edit(dialog, 7, 3, QStringLiteral("99"));
        EXPECT_EQ(m_prompts.Count(), 1u);
        EXPECT_TRUE(editorShown);
        EXPECT_EQ(requestsDuringBox, 0);
        // The box gave the activation back: the keys go to the editor again.
        dialog.activateWindow();
        EXPECT_TRUE(QTest::qWaitForWindowActive(&dialog));
        EXPECT_TRUE(Editor(dialog)->isVisible());
        EXPECT_TRUE(Editor(dialog)->hasFocus());
        EXPECT_EQ(Editor(dialog)->selectedText(), QStringLiteral("99"));
        EXPECT_EQ(m_unit.RequestCount(), from);

        // Corrected, the value is taken and written.
        boxes.whileShown = nullptr;
        QTest::keyClicks(Editor(dialog), QStringLiteral("60"));
        QTest::keyClick(Editor(dialog), Qt::Key_Return);
        EXPECT_EQ(m_prompts.Count(), 1u);
        EXPECT_EQ(m_unit.GetMonitorValue32(RegisterOf(6, 0)), 6000u);
        Click(IDCANCEL);
    });
}

TEST_F(LoopTestDialogTest, PasscodeStepsOfAProtectedUnitAndTheRadioAfterARefusalOrAFailure)
{
    Identify();
    m_unit.SetProtectPasscode(kPasscode);
    const auto loopTestChecked = [] {
        return Control<QRadioButton>(CLoopTestDialog::IDC_LOOP_TEST)->isChecked() &&
               !Control<QRadioButton>(CLoopTestDialog::IDC_NORMAL)->isChecked();
    };
    const auto normalChecked = [] {
        return Control<QRadioButton>(CLoopTestDialog::IDC_NORMAL)->isChecked() &&
               !Control<QRadioButton>(CLoopTestDialog::IDC_LOOP_TEST)->isChecked();
    };
    RunDialog([&](CLoopTestDialog& dialog) {
        // Cancel at the passcode: one prompt, nothing written, "Normal" again.
        int from = m_unit.RequestCount();
        AnswerPasscode(QString());
        ClickRadio(CLoopTestDialog::IDC_LOOP_TEST);
        EXPECT_TRUE(normalChecked());
        EXPECT_TRUE(Writes(from).empty());

        // A wrong passcode: the unit says so, the values are not sent.
        from = m_unit.RequestCount();
        AnswerPasscode(QStringLiteral("1234"));
        ClickRadio(CLoopTestDialog::IDC_LOOP_TEST);
        ASSERT_EQ(m_prompts.Count(), 1u);
        EXPECT_EQ(m_prompts.Last().text,
                  g_resourceDatabase.GetMessageText(QStringLiteral("ERROR_MODBUS_PASSCODE_MISMATCH")));
        EXPECT_TRUE(normalChecked());
        for (const Write& write : Writes(from))
            EXPECT_TRUE(write.first == kPasscodeEntry || write.first == kModeRegister) << write.first;
        EXPECT_EQ(m_unit.GetRegister(kLoopTestMode[0]), 0);

        // Taken: passcode entered, write mode, mode, write mode ended and
        // re-locked; then the same around the 33 values in write mode 2.
        m_prompts.Clear();
        from = m_unit.RequestCount();
        {
            PasscodeAnswers answers(QString::number(kPasscode), 2);
            ClickRadio(CLoopTestDialog::IDC_LOOP_TEST);
            EXPECT_EQ(answers.Left(), 0);
        }
        const Write entered(kPasscodeEntry, {static_cast<std::uint16_t>(kPasscode), 0});
        const Write relocked(kPasscodeEntry, {0, 0});
        auto writes = Writes(from);
        ASSERT_EQ(Addresses(writes), (std::vector<int>{kPasscodeEntry, kModeRegister, kLoopTestMode[0], kModeRegister,
                                                      kPasscodeEntry, kPasscodeEntry, kModeRegister, 0, 32,
                                                      kModeRegister, kPasscodeEntry}));
        EXPECT_EQ(std::vector<Write>(writes.begin(), writes.begin() + 5),
                  (std::vector<Write>{
                      entered, {kModeRegister, {1}}, {kLoopTestMode[0], {1}}, {kModeRegister, {0}}, relocked}));
        EXPECT_EQ(std::vector<Write>(writes.begin() + 5, writes.begin() + 7),
                  (std::vector<Write>{entered, {kModeRegister, {2}}}));
        EXPECT_EQ(std::vector<Write>(writes.end() - 2, writes.end()),
                  (std::vector<Write>{{kModeRegister, {0}}, relocked}));
        EXPECT_TRUE(loopTestChecked());
        EXPECT_EQ(m_unit.GetRegister(kLoopTestMode[0]), 1);
        EXPECT_FALSE(m_unit.IsUnlocked());
        EXPECT_EQ(m_prompts.Count(), 0u);

        // "Normal" fails at the mode write: the error is shown once, the
        // unit ends the write mode and is locked again, and the radio shows
        // the loop-test mode the unit is still in.
        from = m_unit.RequestCount();
        m_unit.Simulated().InjectFault(CSimulatedUnit::Fault{}, 5); // the passcode step
        m_unit.Simulated().InjectFault(CSimulatedUnit::Exception(4), 3);
        AnswerPasscode(QString::number(kPasscode));
        ClickRadio(CLoopTestDialog::IDC_NORMAL);
        ASSERT_EQ(m_prompts.Count(), 1u);
        EXPECT_EQ(m_prompts.Last().style & MB_ICONMASK, MB_ICONERROR);
        EXPECT_TRUE(loopTestChecked());
        EXPECT_EQ(dialog.GetUnitMode(), 1);
        EXPECT_EQ(m_unit.GetRegister(kLoopTestMode[0]), 1);
        writes = Writes(from);
        ASSERT_GE(writes.size(), 2u);
        EXPECT_EQ(writes[writes.size() - 2], Write(kModeRegister, {0}));
        EXPECT_EQ(writes.back(), relocked);
        EXPECT_EQ(m_unit.GetWriteMode(), 0);
        EXPECT_FALSE(m_unit.IsUnlocked());

        // The end of the write mode fails too: it is tried once, the unit
        // still answers so it is locked, and the first failure is the one shown.
        m_prompts.Clear();
        from = m_unit.RequestCount();
        m_unit.Simulated().InjectFault(CSimulatedUnit::Fault{}, 5);
        m_unit.Simulated().InjectFault(CSimulatedUnit::Exception(4), 4);
        AnswerPasscode(QString::number(kPasscode));
        ClickRadio(CLoopTestDialog::IDC_NORMAL);
        std::vector<int> after;
        const auto requests = m_unit.DecodedRequests(from);
        for (std::size_t i = 5; i < requests.size(); ++i)
            after.push_back(requests[i].address);
        EXPECT_EQ(after, (std::vector<int>{kLoopTestMode[0], kLoopTestMode[0], kLoopTestMode[0], kModeRegister,
                                           CFenmarUnit::kProtectPasscode, kPasscodeEntry}));
        ASSERT_EQ(m_prompts.Count(), 1u);
        // The failed mode write, by its address as the user counts.
        EXPECT_TRUE(m_prompts.Last().text.contains(QString::number(kLoopTestMode[0] + 1)))
            << m_prompts.Last().text.toStdString();
        EXPECT_TRUE(loopTestChecked());
        // What the unit was left in is put right by the next sequence.
        m_unit.SetProtectPasscode(0);

        // Unprotected, "Normal" goes through; then "Loop Test" takes the
        // mode but the values fail: the radio shows the unit's loop-test mode.
        ClickRadio(CLoopTestDialog::IDC_NORMAL);
        EXPECT_TRUE(normalChecked());
        EXPECT_EQ(m_unit.GetRegister(kLoopTestMode[0]), 0);
        m_prompts.Clear();
        // The mode's 6 requests, the values' passcode step 3 and word order 1.
        m_unit.Simulated().InjectFault(CSimulatedUnit::Fault{}, 10);
        m_unit.Simulated().InjectFault(CSimulatedUnit::Exception(4), 3);
        ClickRadio(CLoopTestDialog::IDC_LOOP_TEST);
        EXPECT_EQ(m_prompts.Count(), 1u);
        EXPECT_TRUE(loopTestChecked());
        EXPECT_EQ(dialog.GetUnitMode(), 1);
        EXPECT_EQ(m_unit.GetRegister(kLoopTestMode[0]), 1);
        EXPECT_EQ(m_unit.GetWriteMode(), 0);
        Click(IDCANCEL);
    });
    EXPECT_EQ(m_unit.GetRegister(kLoopTestMode[0]), 0) << "closed in loop-test mode";
}

TEST_F(LoopTestDialogTest, ACancelledPasscodeKeepsTheDialogOpenInLoopTestModeAndALinkFailureCloses)
{
    Identify();
    m_unit.SetProtectPasscode(kPasscode);
    m_unit.SetRegister(kLoopTestMode[0], 1);
    const auto loopTestChecked = [] {
        return Control<QRadioButton>(CLoopTestDialog::IDC_LOOP_TEST)->isChecked() &&
               !Control<QRadioButton>(CLoopTestDialog::IDC_NORMAL)->isChecked();
    };
    const int from = m_unit.RequestCount();
    const bool ok = RunDialog([&](CLoopTestDialog& dialog) {
        ASSERT_TRUE(loopTestChecked());
        // Close and Esc ask for the passcode; cancelling it cancels the close.
        AnswerPasscode(QString());
        Click(IDCANCEL);
        EXPECT_TRUE(dialog.isVisible());
        EXPECT_TRUE(loopTestChecked());
        AnswerPasscode(QString());
        QTest::keyClick(&dialog, Qt::Key_Escape);
        EXPECT_TRUE(dialog.isVisible());
        EXPECT_TRUE(loopTestChecked());
        EXPECT_TRUE(Writes(from).empty());
        EXPECT_EQ(m_prompts.Count(), 0u);

        // The link fails at the mode write: the error is shown and the dialog closes.
        m_unit.Simulated().InjectFault(CSimulatedUnit::Fault{}, 5);
        m_unit.Simulated().InjectFault(CSimulatedUnit::Exception(4), 3);
        AnswerPasscode(QString::number(kPasscode));
        Click(IDCANCEL);
        EXPECT_EQ(m_prompts.Count(), 1u);
    });
    EXPECT_FALSE(ok);
    EXPECT_EQ(m_unit.GetRegister(kLoopTestMode[0]), 1);
    EXPECT_FALSE(m_unit.IsUnlocked());
}

} // namespace
