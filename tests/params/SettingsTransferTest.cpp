// Upload and download against the simulated unit: round trips in both word
// orders for every supported type on every link, the exact requests and
// progress values, identity checks, units that fail or stop half-way.
#include "FenmarTestLink.h"

#include "params/CSettings.h"
#include "params/PasscodeProtocol.h"
#include "params/RegisterMap.h"

#include "support/CScriptedPrompts.h"
#include "support/TempProfile.h"

#include "foundation/CMessageFormatter.h"
#include "foundation/CPrivateException.h"
#include "foundation/Globals.h"
#include "platform/MessageFormat.h"

#include <gtest/gtest.h>

#include <atomic>
#include <chrono>
#include <thread>
#include <tuple>
#include <vector>

namespace {
using Step = std::tuple<int, int, int>;  // function, address, count

// The parameter registers of the supported types, one run per request.
const std::vector<std::pair<int, int>> kUploadRuns = [] {
    std::vector<std::pair<int, int>> runs = {{5332, 1}, {5600, 3}, {5603, 2}, {5605, 4}, {5609, 1}, {5986, 4},
                                             {5991, 1}, {5992, 1}, {6240, 1}, {6241, 1}, {6243, 1}, {6245, 1},
                                             {6246, 1}, {6248, 1}};
    for (int k = 0; k < 10; ++k) {
        runs.emplace_back(7008 + 30 * k, 14);
        runs.emplace_back(7022 + 30 * k, 14);
    }
    return runs;
}();
// Map rows that apply to the supported types.
const std::vector<int> kApplyingRows = [] {
    std::vector<int> rows = {0, 1, 2, 3, 4, 7, 8, 9, 10, 11, 12, 14, 15, 16};
    for (int i = 23; i <= 42; ++i)
        rows.push_back(i);
    return rows;
}();

std::vector<double> ExpectedProgress()
{
    std::vector<double> values;
    for (int row : kApplyingRows)
        values.push_back(row * 100.0 / 43.0);
    values.push_back(100.0);
    return values;
}

struct Progress
{
    std::vector<double> values;
    int stopAt = -1;  // answer false on this call (0-based)

    static bool Callback(void* context, double percent)
    {
        auto* self = static_cast<Progress*>(context);
        self->values.push_back(percent);
        return static_cast<int>(self->values.size()) - 1 != self->stopAt;
    }
};

std::vector<Step> Steps(const std::vector<CFenmarUnit::Request>& requests)
{
    std::vector<Step> steps;
    for (const auto& r : requests)
        steps.emplace_back(r.function, r.address, r.count);
    return steps;
}

// Reads as the infrared link splits them.
void AddRead(std::vector<Step>& steps, int address, int count, bool infrared)
{
    const int chunk = infrared ? 8 : count;
    for (int i = 0; i < count; i += chunk)
        steps.emplace_back(4, address + i, std::min(chunk, count - i));
}

// Distinct values in every parameter register of the unit.
void FillUnit(CFenmarUnit& unit, int seed)
{
    for (int r : CFenmarUnit::ParameterRegisters())
        unit.SetRegister(r, static_cast<std::uint16_t>(r * 37 + seed * 101));
    unit.SetValue32(5603, 0x12345678u + static_cast<std::uint32_t>(seed) * 0x01010101u);
}

// The set's words against the unit's registers, along the register runs.
void ExpectSetMatchesUnit(const CSettings& set, const CFenmarUnit& unit)
{
    const std::pair<int, int> runs[] = {{5332, 29}, {5600, 31}, {5605, 36}, {5609, 40}, {5986, 99},
                                        {5987, 100}, {5988, 101}, {5989, 102}, {5991, 271}, {5992, 103},
                                        {6240, 114}, {6241, 115}, {6243, 116}, {6245, 118}, {6246, 119},
                                        {6248, 120}};
    for (const auto& [reg, word] : runs)
        EXPECT_EQ(set.GetWord(word), unit.GetRegister(reg)) << "register " << reg;
    for (int i = 1; i < 3; ++i)
        EXPECT_EQ(set.GetWord(PARAMETER_INPUT_SYSTEM + i), unit.GetRegister(5600 + i));
    for (int i = 1; i < 4; ++i)
        EXPECT_EQ(set.GetWord(PARAMETER_INPUT_VT2 + i), unit.GetRegister(5605 + i));
    EXPECT_EQ(set.GetDword(PARAMETER_INPUT_VT1), unit.GetValue32(5603));
    for (int k = 0; k < AOUT_CHANNEL_COUNT; ++k) {
        for (int i = 0; i < PARAMETER_AOUT_CHANNEL_WORDS; ++i)
            ASSERT_EQ(set.GetWord(AnalogOutputWordNumber(k, i)), unit.GetRegister(7008 + 30 * k + i))
                << "channel " << k << " " << i;
    }
}

std::string Wrapped(const QString& inner)
{
    return FormatPrintfTemplate(g_resourceDatabase.GetMessageText(QStringLiteral("MSG_ERROR_MODBUS_ALL")), {inner})
        .toStdString();
}

QString Key(const char* key)
{
    return CMessageFormatter(QString::fromLatin1(key)).GetText();
}

class TransferTest : public ::testing::TestWithParam<LinkKind>
{
protected:
    void SetUp() override
    {
        g_resourceDatabase.LoadLanguageFile(QStringLiteral("English.lng"));
        m_link = MakeLink(m_unit, GetParam(), &m_ptyPath);
    }
    void TearDown() override
    {
        m_link.reset();
        CModbusInterface::SetWaitCapForTests(0);
    }

    bool Infrared() const { return GetParam() == LinkKind::Infrared; }

    // Unlocks the unit as the passcode protocol would, without its dialog.
    void EnterPasscode(std::uint32_t passcode)
    {
        ResetPseudoTerminal(m_ptyPath);
        m_link->Connect();
        const std::uint16_t entered[2] = {static_cast<std::uint16_t>(passcode & 0xFFFF),
                                          static_cast<std::uint16_t>(passcode >> 16)};
        m_link->WriteRegisters32(REGISTER_PASSCODE_ENTRY, 1, entered, m_unit.HighHalfFirst());
        m_link->Close();
    }

    // Runs an operation on the connected link, closing it after; the text of a failure.
    template <class F> std::string Run(F operation)
    {
        QString error;
        try {
            ResetPseudoTerminal(m_ptyPath);
            m_link->Connect();
            operation();
        } catch (const CPrivateException& e) {
            error = e.GetText();
        }
        m_link->Close();
        return error.toStdString();
    }

    TempProfile m_profile;
    CFenmarUnit m_unit;
    std::unique_ptr<CModbusInterface> m_link;
    QString m_ptyPath;
};
} // namespace

TEST_P(TransferTest, EveryTypeRoundTripsInBothWordOrders)
{
    for (std::uint16_t order : {std::uint16_t{0}, std::uint16_t{1}}) {
        m_unit.SetWordOrder(order);
        for (int type = 0; type < DEVICE_TYPE_COUNT; ++type) {
            SCOPED_TRACE(testing::Message() << "type " << type << " order " << order);
            m_unit.SetType(type);
            FillUnit(m_unit, type + 10 * order);

            CSettings set;
            bool done = false;
            ASSERT_EQ(Run([&] { done = set.Upload(*m_link, nullptr, nullptr); }), std::string());
            ASSERT_TRUE(done);
            EXPECT_EQ(set.m_deviceType.GetRow(), type);
            ExpectSetMatchesUnit(set, m_unit);

            // Back again: new values, written while the unit is in write mode.
            for (int n = 272; n < 552; ++n)
                set.SetWord(n, static_cast<std::uint16_t>(n ^ 0x5A5A));
            set.SetWord(PARAMETER_PASSCODE, 4321);
            set.SetDword(PARAMETER_INPUT_VT1, static_cast<std::uint32_t>(-77777 - type));
            m_unit.SetRegister(7036, 0xBEEF);
            ResetPseudoTerminal(m_ptyPath);
    ASSERT_TRUE(CheckPasscode(*m_link, WRITE_MODE_PARAMETERS));
            ASSERT_EQ(Run([&] { done = set.Download(*m_link, nullptr, nullptr); }), std::string());
            ASSERT_TRUE(done);
            ExpectSetMatchesUnit(set, m_unit);
            EXPECT_EQ(m_unit.GetRegister(7036), 0xBEEF) << "registers between channels stay untouched";
            EXPECT_EQ(m_unit.GetWriteMode(), 0);
        }
    }
}

TEST_P(TransferTest, UploadRequestsAndProgress)
{
    m_unit.SetType(8, 0x2000);  // an option bit outside the identification mask
    FillUnit(m_unit, 3);
    Progress progress;
    CSettings set;
    bool done = false;
    ASSERT_EQ(Run([&] { done = set.Upload(*m_link, &Progress::Callback, &progress); }), std::string());
    ASSERT_TRUE(done);
    EXPECT_EQ(set.m_deviceType.GetTypeIndex(), 8);
    EXPECT_EQ(set.m_deviceType.GetOptionBits(), 0x0410);

    std::vector<Step> expected;
    AddRead(expected, 5735, 1, Infrared());
    for (const auto& [reg, count] : std::vector<std::pair<int, int>>{{9600, 1}, {9601, 1}, {9622, 1}, {9623, 5}})
        AddRead(expected, reg, count, Infrared());
    for (const auto& [reg, count] : kUploadRuns)
        AddRead(expected, reg, count, Infrared());
    EXPECT_EQ(Steps(m_unit.DecodedRequests()), expected);

    const std::vector<double> values = ExpectedProgress();
    ASSERT_EQ(progress.values.size(), values.size());
    for (std::size_t i = 0; i < values.size(); ++i)
        EXPECT_DOUBLE_EQ(progress.values[i], values[i]);
    EXPECT_NEAR(progress.values[1], 2.326, 0.001) << "never integer division";
}

TEST_P(TransferTest, DownloadRequestsAndProgressWithHighHalfFirst)
{
    m_unit.SetWordOrder(1);
    CSettings set;
    set.SetDword(PARAMETER_INPUT_VT1, 0x00ABCDEF);
    ResetPseudoTerminal(m_ptyPath);
    ASSERT_TRUE(CheckPasscode(*m_link, WRITE_MODE_PARAMETERS));
    const int mark = m_unit.RequestCount();
    Progress progress;
    bool done = false;
    ASSERT_EQ(Run([&] { done = set.Download(*m_link, &Progress::Callback, &progress); }), std::string());
    ASSERT_TRUE(done);

    const auto requests = m_unit.DecodedRequests(mark);
    // Reads and the writes of whole blocks (the infrared link splits them in eights).
    std::vector<Step> writes;
    std::vector<Step> all;
    for (const auto& r : requests) {
        all.emplace_back(r.function, r.address, r.count);
        if (r.function == 0x10)
            writes.emplace_back(r.function, r.address, r.count);
    }
    std::vector<Step> expectedWrites;
    const auto addWrite = [&](int reg, int count) {
        const int chunk = Infrared() ? 8 : count;
        for (int i = 0; i < count; i += chunk)
            expectedWrites.emplace_back(0x10, reg + i, std::min(chunk, count - i));
    };
    addWrite(4944, 1);
    for (const auto& [reg, count] : std::vector<std::pair<int, int>>{{5332, 1}, {5600, 9}, {5609, 1}, {5986, 4},
                                                                      {5991, 1}, {5992, 1}, {6240, 2}, {6243, 1},
                                                                      {6245, 2}, {6248, 1}})
        addWrite(reg, count);
    for (int k = 0; k < 10; ++k) {
        addWrite(7008 + 30 * k, 14);
        addWrite(7022 + 30 * k, 14);
    }
    addWrite(4944, 1);
    EXPECT_EQ(writes, expectedWrites);

    // The reads around them: word order, identity, version, and the lock test at the end.
    ASSERT_GE(all.size(), 8u);
    std::vector<Step> head(all.begin() + 1, all.begin() + 8);
    EXPECT_EQ(head, (std::vector<Step>{{4, 5735, 1}, {4, 9600, 1}, {4, 9601, 1}, {4, 9622, 1}, {4, 9623, 5},
                                       {4, 9601, 1}, {0x10, 5332, 1}}));
    EXPECT_EQ(all.back(), Step(4, 5333, 2));

    // Rows 1 to 3 as one block, the 32-bit value high half first.
    for (const auto& r : requests) {
        if (r.function == 0x10 && r.address == 5600) {
            ASSERT_EQ(r.words.size(), Infrared() ? 8u : 9u);
            EXPECT_EQ(r.words[0], 5);
            EXPECT_EQ(r.words[3], 0x00AB);
            EXPECT_EQ(r.words[4], 0xCDEF);
            EXPECT_EQ(r.words[5], 110);
        }
    }
    EXPECT_EQ(m_unit.GetValue32(5603), 0x00ABCDEFu);
    EXPECT_EQ(m_unit.GetRegister(5603), 0x00AB);

    const std::vector<double> values = ExpectedProgress();
    ASSERT_EQ(progress.values.size(), values.size());
    for (std::size_t i = 0; i < values.size(); ++i)
        EXPECT_DOUBLE_EQ(progress.values[i], values[i]);
}

TEST_P(TransferTest, DownloadToAnotherTypeOrAnUnsupportedUnitFails)
{
    m_unit.SetProtectPasscode(1234);
    m_unit.SetLockedWrites(CFenmarUnit::LockedWrites::Accept);
    CSettings set;
    set.m_deviceType.SetTypeIndex(3);
    const CSettings before = set;

    int mark = m_unit.RequestCount();
    EXPECT_EQ(Run([&] { set.Download(*m_link, nullptr, nullptr); }), Wrapped(Key("MSG_ERROR_DOWNLOAD_DIF_DEVICE")));
    // Write mode was asked for first; the failure ends it and locks the unit again.
    std::vector<std::pair<int, std::vector<std::uint16_t>>> writes;
    for (const auto& r : m_unit.DecodedRequests(mark)) {
        if (r.function == 0x10)
            writes.emplace_back(r.address, r.words);
    }
    EXPECT_EQ(writes, (std::vector<std::pair<int, std::vector<std::uint16_t>>>{
                          {4944, {1}}, {4944, {0}}, {4942, {0, 0}}}));
    EXPECT_EQ(m_unit.GetWriteMode(), 0);

    // An unsupported unit, in the upload and the download: the caller's set stays.
    m_unit.SetType(5);
    m_unit.SetIdentity(6103, 7, 0x0000, {0, 2, 10, 0, 0});
    const std::string unsupported = Wrapped(FormatPrintfTemplate(
        g_resourceDatabase.GetMessageText(QStringLiteral("MSG_ERROR_UNSUPPORT_DEVICE")), {6103, 0}));
    EXPECT_EQ(Run([&] { set.Upload(*m_link, nullptr, nullptr); }), unsupported);
    EXPECT_NE(unsupported.find("6103"), std::string::npos);
    EXPECT_EQ(set.m_deviceType.GetRow(), before.m_deviceType.GetRow());
    EXPECT_EQ(Run([&] { set.Download(*m_link, nullptr, nullptr); }), unsupported);

    // Other I/O words, masked option bits in the message.
    m_unit.SetIdentity(6103, 7, 0x0019 | 0x0200, {0, 2, 11, 0, 0});
    EXPECT_EQ(Run([&] { set.Upload(*m_link, nullptr, nullptr); }),
              Wrapped(FormatPrintfTemplate(g_resourceDatabase.GetMessageText(QStringLiteral("MSG_ERROR_UNSUPPORT_DEVICE")),
                                           {6103, 0x0011})));
    for (int n = 0; n < PARAMETER_COUNT; ++n)
        ASSERT_EQ(set.GetWord(n), before.GetWord(n));
}

TEST_P(TransferTest, StopFromTheCallback)
{
    m_unit.SetProtectPasscode(99);
    m_unit.SetLockedWrites(CFenmarUnit::LockedWrites::Refuse);
    FillUnit(m_unit, 1);

    // Upload: stopped at the first report, after the first row; the set stays.
    CSettings set;
    const CSettings before = set;
    Progress first{{}, 0};
    bool done = true;
    ASSERT_EQ(Run([&] { done = set.Upload(*m_link, &Progress::Callback, &first); }), std::string());
    EXPECT_FALSE(done);
    EXPECT_EQ(first.values, std::vector<double>{0.0});
    EXPECT_EQ(Steps(m_unit.DecodedRequests()).back(), Step(4, 5332, 1));
    for (int n = 0; n < PARAMETER_COUNT; ++n)
        ASSERT_EQ(set.GetWord(n), before.GetWord(n));

    // Download on an unlocked unit, stopped at the third report: the later
    // blocks are not written, and the unit leaves write mode and locks.
    set.SetWord(PARAMETER_AOUT_FIRST, 0x7777);
    const std::uint16_t oldChannel = m_unit.GetRegister(7008);
    EnterPasscode(99);
    ASSERT_TRUE(m_unit.IsUnlocked());
    Progress third{{}, 2};
    done = true;
    const int mark = m_unit.RequestCount();
    ASSERT_EQ(Run([&] { done = set.Download(*m_link, &Progress::Callback, &third); }), std::string());
    EXPECT_FALSE(done);
    EXPECT_EQ(third.values.size(), 3u);
    EXPECT_EQ(m_unit.GetRegister(7008), oldChannel);
    EXPECT_EQ(m_unit.GetWriteMode(), 0);
    EXPECT_FALSE(m_unit.IsUnlocked());
    const auto requests = m_unit.DecodedRequests(mark);
    ASSERT_GE(requests.size(), 2u);
    EXPECT_EQ(requests[requests.size() - 2].address, 5333);
    EXPECT_EQ(requests.back().address, 4942);
}

TEST_P(TransferTest, UnitThatStopsAnsweringHalfWay)
{
    CModbusInterface::SetWaitCapForTests(100);
    FillUnit(m_unit, 2);
    CSettings set;
    set.m_deviceType.SetTypeIndex(2);
    const CSettings before = set;

    // Upload: the unit goes silent after ten requests.
    m_unit.Simulated().InjectFault({}, 10);
    m_unit.Simulated().InjectFault(CSimulatedUnit::Silent(), -1);
    const std::string error = Run([&] { set.Upload(*m_link, nullptr, nullptr); });
    EXPECT_TRUE(error.starts_with(Wrapped(QString()))) << error;
    EXPECT_GT(error.size(), Wrapped(QString()).size()) << "carries the link's own text";
    for (int n = 0; n < PARAMETER_COUNT; ++n)
        ASSERT_EQ(set.GetWord(n), before.GetWord(n));
    EXPECT_EQ(set.m_deviceType.GetRow(), 2) << "the unit's type is not taken over";

    // Download: one block refused by the unit. The link still works, so the
    // unit is taken out of write mode and locked again.
    m_unit.Simulated().ClearFaults();
    m_unit.SetType(2);
    m_unit.SetProtectPasscode(5);
    m_unit.SetLockedWrites(CFenmarUnit::LockedWrites::Refuse);
    EnterPasscode(5);
    const int mark = m_unit.RequestCount();
    m_unit.Simulated().InjectFault({}, 9);
    m_unit.Simulated().InjectFault(CSimulatedUnit::Exception(4), Infrared() ? 10 : 3);
    const std::string refused = Run([&] { set.Download(*m_link, nullptr, nullptr); });
    EXPECT_TRUE(refused.starts_with(Wrapped(QString()))) << refused;
    EXPECT_EQ(m_unit.GetWriteMode(), 0);
    EXPECT_FALSE(m_unit.IsUnlocked());
    const auto requests = m_unit.DecodedRequests(mark);
    ASSERT_GE(requests.size(), 3u);
    EXPECT_EQ(Steps({requests.end() - 3, requests.end()}),
              (std::vector<Step>{{0x10, 4944, 1}, {4, 5333, 2}, {0x10, 4942, 2}}));

    // Download: the unit goes silent for good. The error is the link's, and
    // ending write mode is tried once more without hanging.
    m_unit.Simulated().ClearFaults();
    EnterPasscode(5);
    m_unit.Simulated().InjectFault({}, 12);
    m_unit.Simulated().InjectFault(CSimulatedUnit::Silent(), -1);
    const int silentMark = m_unit.RequestCount();
    const std::string silent = Run([&] { set.Download(*m_link, nullptr, nullptr); });
    EXPECT_TRUE(silent.starts_with(Wrapped(QString()))) << silent;
    const auto tried = m_unit.DecodedRequests(silentMark);
    ASSERT_FALSE(tried.empty());
    EXPECT_EQ(Steps({tried.back()}), (std::vector<Step>{{0x10, 4944, 1}}));
    EXPECT_EQ(tried.back().words, std::vector<std::uint16_t>{0});
}

TEST_P(TransferTest, CancelAgainstAUnitThatStoppedAnsweringTriesEachCleanUpWriteOnce)
{
    using namespace std::chrono_literals;
    constexpr int kCapMs = 500;
    CModbusInterface::SetWaitCapForTests(kCapMs);
    CSettings set;
    m_unit.SetProtectPasscode(5);
    m_unit.SetLockedWrites(CFenmarUnit::LockedWrites::Refuse);

    // The unit goes silent half-way; Cancel comes while the master waits for it.
    EnterPasscode(5);
    const int mark = m_unit.RequestCount();
    m_unit.Simulated().InjectFault({}, 12);
    m_unit.Simulated().InjectFault(CSimulatedUnit::Silent(), -1);
    std::atomic<bool> cancel{false};
    std::chrono::steady_clock::time_point cancelledAt;
    std::thread canceller([&] {
        m_unit.Simulated().WaitForRequests(mark + 13, 10000);
        std::this_thread::sleep_for(50ms);
        cancelledAt = std::chrono::steady_clock::now();
        cancel = true;
        m_link->Abort();
    });
    const auto callback = +[](void* context, double) { return !static_cast<std::atomic<bool>*>(context)->load(); };
    const std::string error = Run([&] { set.Download(*m_link, callback, &cancel); });
    const auto returnedAt = std::chrono::steady_clock::now();
    canceller.join();
    EXPECT_TRUE(error.starts_with(Wrapped(QString()))) << error;
    EXPECT_LT(returnedAt - cancelledAt, std::chrono::milliseconds(2 * kCapMs + 400))
        << "the request under way, then one reply time-out for ending write mode";
    const auto tried = m_unit.DecodedRequests(mark + 12);
    ASSERT_EQ(tried.size(), 2u) << "one try at ending write mode, and no lock without an answer";
    EXPECT_EQ(Steps({tried.back()}), (std::vector<Step>{{0x10, 4944, 1}}));
    EXPECT_EQ(tried.back().words, std::vector<std::uint16_t>{0});

    // A unit that answers the end of write mode with an exception still answers: it is locked.
    m_unit.Simulated().ClearFaults();
    EnterPasscode(5);
    Progress dryRun{{}, 2};
    int from = m_unit.RequestCount();
    ASSERT_EQ(Run([&] { set.Download(*m_link, &Progress::Callback, &dryRun); }), std::string());
    const int endOfWriteMode = static_cast<int>(m_unit.DecodedRequests(from).size()) - 3;
    EnterPasscode(5);
    from = m_unit.RequestCount();
    m_unit.Simulated().InjectFault({}, endOfWriteMode);
    m_unit.Simulated().InjectFault(CSimulatedUnit::Exception(4), 1);
    Progress stopped{{}, 2};
    ASSERT_EQ(Run([&] { set.Download(*m_link, &Progress::Callback, &stopped); }), std::string());
    EXPECT_FALSE(m_unit.IsUnlocked());
    EXPECT_EQ(Steps(m_unit.DecodedRequests(from + endOfWriteMode)),
              (std::vector<Step>{{0x10, 4944, 1}, {4, 5333, 2}, {0x10, 4942, 2}}));
}

TEST_P(TransferTest, LockedUnitRefusesOrIgnoresTheDownload)
{
    // An exception reply is shorter than the expected one: a serial read waits its time out.
    CModbusInterface::SetWaitCapForTests(100);
    m_unit.SetProtectPasscode(4242);
    FillUnit(m_unit, 4);
    CSettings set;
    set.SetWord(PARAMETER_PASSCODE, 1);

    m_unit.SetLockedWrites(CFenmarUnit::LockedWrites::Refuse, 1);
    const std::string error = Run([&] { set.Download(*m_link, nullptr, nullptr); });
    EXPECT_TRUE(error.starts_with(Wrapped(QString()))) << error;
    EXPECT_NE(m_unit.GetRegister(5332), 1);

    // A unit that ignores the writes makes the download look done; nothing changes.
    m_unit.SetLockedWrites(CFenmarUnit::LockedWrites::Ignore);
    bool done = false;
    EXPECT_EQ(Run([&] { done = set.Download(*m_link, nullptr, nullptr); }), std::string());
    EXPECT_TRUE(done);
    EXPECT_NE(m_unit.GetRegister(5332), 1);
}

INSTANTIATE_TEST_SUITE_P(Links, TransferTest, ::testing::Values(LinkKind::Tcp, LinkKind::Serial, LinkKind::Infrared),
                         [](const ::testing::TestParamInfo<LinkKind>& info) { return LinkName(info.param); });
