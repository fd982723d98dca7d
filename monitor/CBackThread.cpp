#include "CBackThread.h"

#include "CMeasurandsAvo.h"
#include "comm/CModbusInterface.h"
#include "foundation/Globals.h"
#include "params/CDeviceType.h"
#include "params/RegisterMap.h"

#include <span>
#include <thread>
#include <vector>

namespace {

struct Row
{
    int firstRegister;
    int valueCount;
    int firstItem;
};

// Register tables of commands 2 to 7 and 9, per channel.
constexpr Row kRealtime[2][12] = {
    {{0, 8, 0}, {32, 25, 8}, {256, 5, 89}, {272, 5, 94}, {288, 5, 99}, {304, 5, 104}, {320, 5, 109},
     {512, 3, 114}, {528, 3, 117}, {544, 3, 120}, {560, 3, 123}, {576, 3, 126}},
    {{4000, 8, 0}, {4032, 25, 8}, {4256, 5, 89}, {4272, 5, 94}, {4288, 5, 99}, {4304, 5, 104}, {4320, 5, 109},
     {4512, 3, 114}, {4528, 3, 117}, {4544, 3, 120}, {4560, 3, 123}, {4576, 3, 126}},
};
constexpr Row kMaximum[2][3] = {
    {{768, 7, 129}, {800, 22, 137}, {896, 10, 169}},
    {{2768, 7, 129}, {2800, 22, 137}, {2896, 10, 169}},
};
constexpr Row kMinimum[2][2] = {
    {{928, 7, 179}, {960, 22, 186}},
    {{2928, 7, 179}, {2960, 22, 186}},
};
constexpr Row kEnergy1[2][2] = {
    {{128, 14, 33}, {192, 14, 61}},
    {{4128, 14, 33}, {4192, 14, 61}},
};
constexpr Row kEnergy2[2][2] = {
    {{160, 14, 47}, {224, 14, 75}},
    {{4160, 14, 47}, {4224, 14, 75}},
};
constexpr Row kHarmonicTotals[2][2] = {
    {{1280, 10, 208}, {864, 10, 159}},
    {{8280, 10, 208}, {2864, 10, 159}},
};
constexpr Row kCounters[1] = {{3136, 8, 218}};

constexpr int kHarmonicsBase[2] = {1536, 8536};
constexpr int kHarmonicsRowStride = 64;

// From the model code on: model, version, serial number, tag.
constexpr int kIdentificationCount = 14;
// From the option bits on: option bits, three further words, channel count.
constexpr int kOptionWordsCount = 5;
constexpr int kRegisterPhaseAngles[2] = {30000, 30100};

constexpr int kAvoCurrentScale = 6752;
constexpr int kAvoVoltageScale = 6753;
constexpr int kBexCurrentScale = 6768;
constexpr int kBexVoltageScale = 6772;
constexpr int kZendraCurrentCode[2] = {REGISTER_INPUT_CT2, REGISTER_INPUT2_CT2};
constexpr int kZendraCurrentScale[2] = {REGISTER_INPUT_CT1, REGISTER_INPUT2_CT1};
constexpr int kZendraVoltageScale = REGISTER_INPUT_VT1;
constexpr std::int32_t kZendraCurrentByCode[] = {50, 100, 200, 400, 600}; // codes 1 to 5

// The value of two registers as read, the low half first.
std::int32_t Join(std::uint16_t low, std::uint16_t high)
{
    return static_cast<std::int32_t>(static_cast<std::uint32_t>(low) | (static_cast<std::uint32_t>(high) << 16));
}

template <std::size_t N>
void CopyCharacters(std::array<char, N>& target, const std::uint16_t* words)
{
    // Two characters a register, in the order of the stored word's bytes (low first).
    for (std::size_t i = 0; i < N / 2; ++i) {
        target[2 * i] = static_cast<char>(words[i] & 0xFF);
        target[2 * i + 1] = static_cast<char>(words[i] >> 8);
    }
}

std::int32_t AtLeastOne(std::int32_t scale)
{
    return scale == 0 ? 1 : scale;
}

} // namespace

CBackThread::CBackThread() = default;

CBackThread::~CBackThread()
{
    Stop();
}

bool CBackThread::Start()
{
    if (m_stopped.load() || IsCreated() || m_block == nullptr || m_link == nullptr)
        return false;
    // Set here, never on the thread: a Stop that comes before the thread
    // runs must hold.
    m_running = true;
    m_channel = 0;
    if (!CreateThread(true)) {
        m_running = false;
        return false;
    }
    ResumeThread();
    return true;
}

bool CBackThread::PostCommand(UINT command, int argument)
{
    return PostThreadMessage(WM_BACK_THREAD_COMMAND, command, argument);
}

bool CBackThread::Lock()
{
    if (!m_mutex.Wait(INFINITE_WAIT))
        return false;
    ApplyPendingAddress();
    return true;
}

void CBackThread::Unlock()
{
    m_mutex.Release();
}

void CBackThread::Stop()
{
    m_stopped = true;
    {
        std::lock_guard guard(m_paceLock);
        m_running = false;
    }
    m_paceWake.notify_all();
    if (!IsCreated() || HasEnded()) {
        JoinThread();
        return;
    }
    if (m_link)
        m_link->Abort();
    m_mutex.Release();
    PostCommand(CommandQuit);
    // An abort on a TCP link acts only while a socket call is pending: one
    // that came just before the call would be lost, so it is repeated until
    // the thread has ended. Reads after it are skipped, running being clear.
    constexpr int kAbortRepeatMs = 20;
    while (!WaitForEnd(kAbortRepeatMs)) {
        if (m_link)
            m_link->Abort();
    }
    JoinThread();
}

void CBackThread::SetChannel(int channel)
{
    m_channel = channel == 1 ? 1 : 0;
}

void CBackThread::SetUnitAddress(int address)
{
    m_pendingAddress = address;
}

CDeviceType CBackThread::GetDeviceType()
{
    CLock lock(*this);
    return m_deviceType;
}

void CBackThread::OnThreadMessage(const ThreadMessage& message)
{
    if (message.message == WM_BACK_THREAD_COMMAND)
        OnCommand(static_cast<UINT>(message.wParam), static_cast<int>(message.lParam));
}

void CBackThread::IdentifyUnit(CModbusInterface& link, CDeviceType& deviceType)
{
    deviceType.ReadFromDevice(link);
}

void CBackThread::OnCommand(UINT command, int argument)
{
    m_lastCommand = command;
    if (command != CommandQuit)
        WaitForFailurePace();
    if (!m_mutex.Wait(INFINITE_WAIT))
        return;
    // One channel for the whole command, whatever the window chooses meanwhile.
    const int channel = m_channel.load();
    bool failed = false;
    try {
        if (command == CommandQuit) {
            PostQuitMessage(0);
        } else if (m_running.load()) {
            // A command still queued when Stop came does not connect.
            ApplyPendingAddress();
            {
                std::lock_guard guard(m_paceLock);
                m_lastAttempt = std::chrono::steady_clock::now();
            }
            m_link->Connect();
            RunCommand(command, argument, channel);
        }
    } catch (...) {
        // Nothing may leave the thread; the text of a failure is not kept.
        failed = true;
    }
    if (failed)
        std::this_thread::sleep_for(std::chrono::milliseconds(1));
    m_error = failed;
    {
        std::lock_guard guard(m_paceLock);
        m_lastFailed = failed;
    }
    if (m_running.load() && m_block)
        m_block->NotifyObservers();
    if (m_link)
        m_link->Close();
    m_mutex.Release();
}

void CBackThread::RunCommand(UINT command, int argument, int channel)
{
    const auto table = [this](std::span<const Row> rows) {
        for (const Row& row : rows) {
            if (!Read32(row.firstRegister, row.valueCount,
                        &m_block->Items[static_cast<std::size_t>(row.firstItem)]))
                return;
        }
    };
    switch (command) {
    case CommandIdentification:
        ReadIdentification(channel);
        break;
    case CommandRealtime:
        table(kRealtime[channel]);
        break;
    case CommandMaximum:
        table(kMaximum[channel]);
        break;
    case CommandMinimum:
        table(kMinimum[channel]);
        break;
    case CommandEnergy1:
        table(kEnergy1[channel]);
        break;
    case CommandEnergy2:
        table(kEnergy2[channel]);
        break;
    case CommandHarmonicTotals:
        table(kHarmonicTotals[channel]);
        break;
    case CommandHarmonics:
        ReadHarmonics(argument, channel);
        break;
    case CommandCounters:
        table(kCounters);
        break;
    default:
        break;
    }
}

void CBackThread::ReadIdentification(int channel)
{
    CMeasurandsAvo& block = *m_block;
    IdentifyUnit(*m_link, m_deviceType);

    // Read only while running, as every read of a command.
    m_wordSwap = m_running.load() && ReadMonitorWordOrderIsHighFirst(*m_link);

    std::int32_t passcode = 0;
    if (Read32(REGISTER_PROTECT_PASSCODE, 1, &passcode))
        block.ProtectionPasscode = static_cast<std::uint32_t>(passcode);

    std::uint16_t identification[kIdentificationCount] = {};
    if (Read16(REGISTER_MODEL_CODE, kIdentificationCount, identification)) {
        block.ModelCode = identification[0];
        block.FirmwareVersion = identification[1];
        CopyCharacters(block.SerialNumber, identification + 2);
        CopyCharacters(block.TagNumber, identification + 6);
    }
    std::uint16_t options[kOptionWordsCount] = {};
    if (Read16(REGISTER_OPTION_BITS, kOptionWordsCount, options)) {
        block.OptionBits = options[0];
        for (std::size_t i = 0; i < block.IdentificationWords.size(); ++i)
            block.IdentificationWords[i] = options[1 + i];
        block.ChannelCount = options[4];
    }

    std::uint16_t mode = 0;
    Read16(kRegisterLoopTestMode[channel], 1, &mode);
    if (mode == 0)
        Read16(kRegisterPhaseAngles[channel], CMeasurandsAvo::kPhaseAngleCount, block.PhaseAngles.data());
    else
        block.PhaseAngles.fill(0);
    std::uint16_t wiring = 0;
    if (Read16(REGISTER_INPUT_SYSTEM, 1, &wiring))
        block.WiringSystem = wiring;

    if (mode != 0) {
        // Loop test: the unit's figures are simulated, no phasor is drawn.
        block.CurrentScale = 0;
        block.VoltageScale = 0;
        return;
    }
    ReadScales(channel);
}

void CBackThread::ReadScales(int channel)
{
    CMeasurandsAvo& block = *m_block;
    switch (block.ModelCode) {
    case CMeasurandsAvo::kModelAvo: {
        std::uint16_t current = 0;
        if (Read16(kAvoCurrentScale, 1, &current))
            block.CurrentScale = current;
        Read32(kAvoVoltageScale, 1, &block.VoltageScale);
        break;
    }
    case CMeasurandsAvo::kModelBex: {
        std::int32_t current = block.CurrentScale;
        std::int32_t voltage = block.VoltageScale;
        Read32(kBexCurrentScale, 1, &current);
        Read32(kBexVoltageScale, 1, &voltage);
        block.CurrentScale = AtLeastOne(current / 1000);
        block.VoltageScale = AtLeastOne(voltage / 100);
        break;
    }
    case CMeasurandsAvo::kModelZendra: {
        std::uint16_t code = 0;
        Read16(kZendraCurrentCode[channel], 1, &code);
        if (code >= 1 && code <= 5) {
            block.CurrentScale = kZendraCurrentByCode[code - 1];
        } else if (code == 0) {
            std::uint16_t current = 0;
            if (Read16(kZendraCurrentScale[channel], 1, &current))
                block.CurrentScale = current;
        }
        Read32(kZendraVoltageScale, 1, &block.VoltageScale);
        block.CurrentScale = AtLeastOne(block.CurrentScale);
        block.VoltageScale = AtLeastOne(block.VoltageScale);
        break;
    }
    default:
        break;
    }
}

void CBackThread::ReadHarmonics(int row, int channel)
{
    // A row outside the table is refused, never read past it.
    if (row < 0 || row >= CMeasurandsAvo::kHarmonicsRows)
        return;
    Read16(kHarmonicsBase[channel] + kHarmonicsRowStride * row, CMeasurandsAvo::kHarmonicsOrders,
           m_block->Harmonics[static_cast<std::size_t>(row)].data());
}

bool CBackThread::Read16(int address, int count, std::uint16_t* words)
{
    if (!m_running.load())
        return false;
    return m_link->ReadRegisters(address, count, words);
}

bool CBackThread::Read32(int address, int count, std::int32_t* values)
{
    if (!m_running.load())
        return false;
    std::vector<std::uint16_t> words(static_cast<std::size_t>(2 * count));
    m_link->ReadRegisters32(address, count, words.data(), m_wordSwap.load());
    for (int i = 0; i < count; ++i)
        values[i] = Join(words[static_cast<std::size_t>(2 * i)], words[static_cast<std::size_t>(2 * i) + 1]);
    return true;
}

void CBackThread::ApplyPendingAddress()
{
    const int address = m_pendingAddress.exchange(0);
    if (address != 0 && m_link)
        m_link->GetComSettings().Address = address;
}

void CBackThread::WaitForFailurePace()
{
    std::unique_lock guard(m_paceLock);
    if (!m_lastFailed)
        return;
    m_paceWake.wait_until(guard, m_lastAttempt + std::chrono::milliseconds(kFailurePaceMs),
                          [this] { return !m_running.load(); });
}
