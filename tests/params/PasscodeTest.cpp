// The unit passcode protocol against the simulated unit, with its dialogs
// answered headless: unprotected and protected units, wrong passcodes,
// Cancel, the remembered passcode, re-locking and changing the protection.
#include "FenmarTestLink.h"
#include "ModalScript.h"

#include "params/CEnterPasscodeDialog.h"
#include "params/CProtectDialog.h"
#include "params/CSettings.h"
#include "params/PasscodeProtocol.h"

#include "support/CScriptedPrompts.h"
#include "support/TempProfile.h"

#include "foundation/CMessageFormatter.h"
#include "foundation/CPrivateException.h"
#include "foundation/Globals.h"
#include "foundation/PasscodeScramble.h"
#include "platform/CProfile.h"
#include "platform/MessageFormat.h"

#include <gtest/gtest.h>

#include <tuple>

namespace {
using Write = std::pair<int, std::vector<std::uint16_t>>;
using Step = std::tuple<int, int, int>;

constexpr std::uint32_t kPasscode = 123456789;  // 0x075BCD15

class PasscodeTest : public ::testing::TestWithParam<std::tuple<LinkKind, std::uint16_t>>
{
protected:
    void SetUp() override
    {
        CProfile::Reload();
        g_resourceDatabase.LoadLanguageFile(QStringLiteral("English.lng"));
        m_unit.SetWordOrder(std::get<1>(GetParam()));
        m_link = MakeLink(m_unit, std::get<0>(GetParam()), &m_ptyPath);
        ResetPseudoTerminal(m_ptyPath);
    }
    void TearDown() override
    {
        m_link.reset();
        CProfile::Reload();
    }

    // The pair as the unit's word order puts it in the registers.
    std::vector<std::uint16_t> Pair(std::uint32_t value) const
    {
        const auto low = static_cast<std::uint16_t>(value & 0xFFFF);
        const auto high = static_cast<std::uint16_t>(value >> 16);
        return m_unit.HighHalfFirst() ? std::vector<std::uint16_t>{high, low} : std::vector<std::uint16_t>{low, high};
    }

    // A dialog script that also puts the line back before the protocol reconnects.
    void Answer(std::function<void()> script)
    {
        WhileModal([this, script = std::move(script)] {
            ResetPseudoTerminal(m_ptyPath);
            script();
        });
    }
    void AnswerPasscode(const QString& text)
    {
        Answer([text] {
            Type(IDC_PASSCODE_EDIT, text);
            Click(IDOK);
        });
    }
    void AnswerProtect(const QString& current, const QString& replacement)
    {
        Answer([current, replacement] {
            Type(IDC_CURRENT_PASSCODE, current);
            Type(IDC_NEW_PASSCODE, replacement);
            Type(IDC_CONFIRM_PASSCODE, replacement);
            Click(IDOK);
        });
    }
    // Fails the test if a dialog opens where none should; the check dies with the test.
    void NoDialog()
    {
        QTimer::singleShot(0, &m_guard, [] {
            if (QWidget* dialog = Modal()) {
                ADD_FAILURE() << "a dialog opened";
                static_cast<QDialog*>(dialog)->reject();
            }
        });
    }

    std::vector<Step> Steps(int from) const
    {
        std::vector<Step> steps;
        for (const auto& r : m_unit.DecodedRequests(from))
            steps.emplace_back(r.function, r.address, r.count);
        return steps;
    }
    std::vector<Write> Writes(int from) const
    {
        std::vector<Write> writes;
        for (const auto& r : m_unit.DecodedRequests(from)) {
            if (r.function == 0x10)
                writes.emplace_back(r.address, r.words);
        }
        return writes;
    }

    TempProfile m_profile;
    CScriptedPrompts m_prompts;
    QObject m_guard;
    CFenmarUnit m_unit;
    std::unique_ptr<CModbusInterface> m_link;
    QString m_ptyPath;
};

// The message texts shown, as std::string.
std::vector<std::string> Shown(const CScriptedPrompts& prompts)
{
    std::vector<std::string> texts;
    for (const QString& t : prompts.MessageTexts())
        texts.push_back(t.toStdString());
    return texts;
}

std::string Message(const char* key)
{
    return g_resourceDatabase.GetMessageText(QString::fromLatin1(key)).toStdString();
}

// The link's error about register 4944 (4945 as the user counts).
std::string WriteModeError(const char* function, const char* detailKey)
{
    const QString detail = CMessageFormatter(QString::fromLatin1(detailKey)).GetText();
    return CMessageFormatter(QStringLiteral("MSG_ERROR_MODBUS_MESSAGE"),
                             {FormatArg(function), FormatArg(4945), FormatArg(1), FormatArg(detail)})
        .GetText()
        .toStdString();
}
} // namespace

TEST_P(PasscodeTest, UnprotectedUnitTakesTheModeWithoutADialog)
{
    NoDialog();
    EXPECT_TRUE(CheckPasscode(*m_link, WRITE_MODE_PARAMETERS));
    EXPECT_EQ(Steps(0), (std::vector<Step>{{4, 5735, 1}, {4, 5333, 2}, {0x10, 4944, 1}}));
    EXPECT_EQ(m_unit.GetWriteMode(), 1);

    ResetPseudoTerminal(m_ptyPath);
    EXPECT_TRUE(CheckPasscode(*m_link, WRITE_MODE_LOOP_TEST));
    EXPECT_EQ(m_unit.GetWriteMode(), 2);
    EXPECT_TRUE(m_prompts.MessageTexts().empty());
}

TEST_P(PasscodeTest, ProtectedUnitWithTheRightPasscode)
{
    m_unit.SetProtectPasscode(kPasscode);
    ASSERT_FALSE(m_unit.IsUnlocked());
    int afterDialog = 0;
    Answer([&] {
        afterDialog = m_unit.RequestCount();
        Type(IDC_PASSCODE_EDIT, QStringLiteral("123456789"));
        Click(IDOK);
    });
    ASSERT_TRUE(CheckPasscode(*m_link, WRITE_MODE_PARAMETERS));
    EXPECT_EQ(Steps(0).size(), static_cast<std::size_t>(afterDialog) + 3);
    EXPECT_EQ(Steps(afterDialog), (std::vector<Step>{{0x10, 4942, 2}, {0x10, 4944, 1}, {4, 4944, 1}}));
    EXPECT_EQ(Writes(afterDialog).front().second, Pair(kPasscode));
    EXPECT_EQ(m_unit.GetWriteMode(), 1);
    EXPECT_TRUE(m_prompts.MessageTexts().empty());

    // The unit keeps its state over the reconnect of the download, which locks it again.
    CSettings set;
    ResetPseudoTerminal(m_ptyPath);
    m_link->Connect();
    EXPECT_TRUE(set.Download(*m_link, nullptr, nullptr));
    m_link->Close();
    EXPECT_EQ(m_unit.GetRegister(5600), 5);
    EXPECT_EQ(m_unit.GetWriteMode(), 0);
    EXPECT_FALSE(m_unit.IsUnlocked());
}

TEST_P(PasscodeTest, WrongPasscodeOrCancel)
{
    m_unit.SetProtectPasscode(kPasscode);
    AnswerPasscode(QStringLiteral("123456788"));
    EXPECT_FALSE(CheckPasscode(*m_link, WRITE_MODE_PARAMETERS));
    EXPECT_EQ(Shown(m_prompts), std::vector<std::string>{Message("ERROR_MODBUS_PASSCODE_MISMATCH")});
    EXPECT_EQ(m_prompts.Last().style & MB_ICONMASK, MB_ICONERROR);
    EXPECT_EQ(m_unit.GetWriteMode(), 0);
    EXPECT_FALSE(m_unit.IsUnlocked());

    m_prompts.Clear();
    const int mark = m_unit.RequestCount();
    ResetPseudoTerminal(m_ptyPath);
    Answer([] { Click(IDCANCEL); });
    EXPECT_FALSE(CheckPasscode(*m_link, WRITE_MODE_PARAMETERS));
    EXPECT_EQ(Steps(mark), (std::vector<Step>{{4, 5735, 1}, {4, 5333, 2}}));
    EXPECT_TRUE(m_prompts.MessageTexts().empty());
}

TEST_P(PasscodeTest, RememberedPasscodeIsSentUntouched)
{
    m_unit.SetProtectPasscode(kPasscode);
    CProfile::WriteProfileInt(QStringLiteral("Settings"), QStringLiteral("Passcode"), ScramblePasscode(kPasscode));
    Answer([] {
        EXPECT_EQ(Control<QLineEdit>(IDC_PASSCODE_EDIT)->text().toStdString(), "xxxxxxxxxxxx");
        Click(IDOK);
    });
    EXPECT_TRUE(CheckPasscode(*m_link, WRITE_MODE_PARAMETERS));
    EXPECT_TRUE(m_unit.IsUnlocked());
    EXPECT_EQ(m_unit.GetEnteredPasscode(), kPasscode);
}

TEST_P(PasscodeTest, RelockOnAnOpenLink)
{
    m_unit.SetProtectPasscode(kPasscode);
    AnswerPasscode(QStringLiteral("123456789"));
    ASSERT_TRUE(CheckPasscode(*m_link, WRITE_MODE_PARAMETERS));
    ASSERT_TRUE(m_unit.IsUnlocked());

    ResetPseudoTerminal(m_ptyPath);
    m_link->Connect();
    // Shows the lock on a unit that also leaves write mode when it locks.
    m_unit.SetDropsWriteModeWhenLocked(true);
    int mark = m_unit.RequestCount();
    RelockPasscode(*m_link);
    EXPECT_EQ(Writes(mark), (std::vector<Write>{{4942, {0, 0}}}));
    EXPECT_EQ(Steps(mark).front(), Step(4, 5333, 2));
    EXPECT_FALSE(m_unit.IsUnlocked());
    EXPECT_EQ(m_unit.GetWriteMode(), 0);

    // Nothing to lock on an unprotected unit.
    m_unit.SetProtectPasscode(0);
    mark = m_unit.RequestCount();
    RelockPasscode(*m_link);
    EXPECT_EQ(Steps(mark), (std::vector<Step>{{4, 5333, 2}}));
    m_link->Close();
}

TEST_P(PasscodeTest, ChangeProtectPasscode)
{
    // Set on an unprotected unit: the current field empty.
    AnswerProtect(QString(), QStringLiteral("1234"));
    ChangeProtectPasscode(*m_link);
    EXPECT_EQ(m_unit.GetProtectPasscode(), 1234u);
    EXPECT_EQ(Steps(0), (std::vector<Step>{{4, 4942, 2}, {4, 5735, 1}, {0x10, 4942, 2}, {0x10, 4944, 1}, {4, 4944, 1},
                                           {0x10, 5333, 2}, {0x10, 4944, 1}, {4, 5333, 2}, {0x10, 4942, 2}}));
    EXPECT_EQ(Writes(0), (std::vector<Write>{{4942, {0, 0}}, {4944, {1}}, {5333, Pair(1234)}, {4944, {0}},
                                             {4942, {0, 0}}}));
    EXPECT_EQ(m_unit.GetWriteMode(), 0);
    EXPECT_FALSE(m_unit.IsUnlocked());
    EXPECT_TRUE(m_prompts.MessageTexts().empty());

    // A wrong current passcode: the mismatch, and the protection stays.
    int mark = m_unit.RequestCount();
    ResetPseudoTerminal(m_ptyPath);
    AnswerProtect(QStringLiteral("1235"), QStringLiteral("777"));
    ChangeProtectPasscode(*m_link);
    m_link->Close();
    EXPECT_EQ(Shown(m_prompts), std::vector<std::string>{Message("ERROR_MODBUS_PASSCODE_MISMATCH")});
    EXPECT_EQ(m_unit.GetProtectPasscode(), 1234u);
    for (const Write& w : Writes(mark))
        EXPECT_NE(w.first, 5333);

    // Cancel changes nothing.
    m_prompts.Clear();
    mark = m_unit.RequestCount();
    ResetPseudoTerminal(m_ptyPath);
    Answer([] { Click(IDCANCEL); });
    ChangeProtectPasscode(*m_link);
    EXPECT_EQ(Steps(mark), (std::vector<Step>{{4, 4942, 2}}));

    // Change it, then remove it with an empty new passcode.
    ResetPseudoTerminal(m_ptyPath);
    AnswerProtect(QStringLiteral("1234"), QStringLiteral("999999999"));
    ChangeProtectPasscode(*m_link);
    EXPECT_EQ(m_unit.GetProtectPasscode(), 999999999u);
    ResetPseudoTerminal(m_ptyPath);
    AnswerProtect(QStringLiteral("999999999"), QString());
    ChangeProtectPasscode(*m_link);
    EXPECT_EQ(m_unit.GetProtectPasscode(), 0u);
    EXPECT_EQ(m_unit.GetWriteMode(), 0);
    EXPECT_TRUE(m_prompts.MessageTexts().empty());
}

// A unit that answers everything but spoils its replies about the write
// mode: once the passcode is in, a failed write or read-back of the mode
// ends the write mode and locks the unit before the error, the first one,
// reaches the caller.
TEST_P(PasscodeTest, FailureAfterThePasscodeEndsTheWriteModeAndLocks)
{
    const LinkKind kind = std::get<0>(GetParam());
    const bool tcp = kind == LinkKind::Tcp;
    const int attempts = kind == LinkKind::Infrared ? 10 : 3;
    m_unit.SetProtectPasscode(kPasscode);
    for (const bool protect : {false, true}) {
        for (const bool readBack : {false, true}) {
            SCOPED_TRACE(testing::Message() << (protect ? "protect" : "check") << (readBack ? " read-back" : " write"));
            // Both operations send two requests before the dialog and the passcode after it.
            m_unit.Simulated().InjectFault({}, readBack ? 4 : 3);
            // Every attempt at the mode, then the clean-up's end of the write mode.
            m_unit.Simulated().InjectFault(tcp ? CSimulatedUnit::OtherTransaction() : CSimulatedUnit::CorruptCrc(),
                                           attempts + 1);
            const int mark = m_unit.RequestCount();
            ResetPseudoTerminal(m_ptyPath);
            std::string error;
            try {
                if (protect) {
                    AnswerProtect(QString::number(kPasscode), QStringLiteral("4321"));
                    ChangeProtectPasscode(*m_link);
                } else {
                    AnswerPasscode(QString::number(kPasscode));
                    CheckPasscode(*m_link, WRITE_MODE_PARAMETERS);
                }
            } catch (const CPrivateException& e) {
                error = e.GetText().toStdString();
            }
            m_link->Close();
            EXPECT_EQ(error, WriteModeError(readBack ? "ReadHoldingRegister" : "WriteMultipleRegisters",
                                            tcp ? "MSG_ERROR_MODBUS_INVALID_TRANSACTION" : "MSG_ERROR_MODBUS_CRC"));
            EXPECT_TRUE(m_prompts.MessageTexts().empty());
            EXPECT_EQ(m_unit.GetWriteMode(), 0);
            EXPECT_FALSE(m_unit.IsUnlocked());
            EXPECT_EQ(m_unit.GetProtectPasscode(), kPasscode);
            ASSERT_FALSE(Writes(mark).empty());
            EXPECT_EQ(Writes(mark).back(), Write(4942, {0, 0}));
        }
    }
}

TEST_P(PasscodeTest, UnitWithoutProtectFunction)
{
    m_unit.SetProtectFunction(false);
    NoDialog();
    ChangeProtectPasscode(*m_link);
    m_link->Close();
    EXPECT_EQ(Shown(m_prompts), std::vector<std::string>{Message("ERROR_MODBUS_PASSCODE_NOT_SUPPORT")});
    EXPECT_EQ(m_prompts.Last().style & MB_ICONMASK, MB_ICONERROR);
    EXPECT_EQ(Steps(0), (std::vector<Step>{{4, 4942, 2}}));
}

INSTANTIATE_TEST_SUITE_P(
    Links, PasscodeTest,
    ::testing::Combine(::testing::Values(LinkKind::Tcp, LinkKind::Serial, LinkKind::Infrared),
                       ::testing::Values(std::uint16_t{0}, std::uint16_t{1})),
    [](const ::testing::TestParamInfo<std::tuple<LinkKind, std::uint16_t>>& info) {
        return LinkName(std::get<0>(info.param)) + (std::get<1>(info.param) == 1 ? "HighFirst" : "LowFirst");
    });
