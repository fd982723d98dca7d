#include "CFenmarUnit.h"

#include <chrono>

namespace {
constexpr std::uint16_t kSupportFlag = 1;  // 4942 reads 1 on a unit with the protect function

struct Range
{
    int first;
    int count;
};

// The unit's parameter registers (written out here, apart from the program's map).
constexpr Range kParameterRanges[] = {
    {5332, 1}, {5600, 10}, {5728, 7}, {5986, 4}, {5991, 2}, {6240, 2}, {6243, 4}, {6248, 3}, {6252, 3}, {6256, 1},
};
constexpr int kFirstChannelRegister = 7008;
constexpr int kChannelStride = 30;
constexpr int kChannelRegisters = 28;
constexpr int kChannels = 10;
} // namespace

CFenmarUnit::CFenmarUnit()
{
    SetType(5);
    SetVersion(0x0102);
    // Apart, so that a reader of the wrong register reads the wrong order.
    SetWordOrder(0);
    SetMonitorWordOrder(1);
    SetProtectFunction(true);
    SetProtectPasscode(0);
    m_unit.SetWriteHook(
        [this](int address, int count, const std::uint16_t* words) { return OnWrite(address, count, words); });

    // The monitor's picture of a unit under load.
    SetSerialNumber("FN240117");
    SetTag("Panel A");
    m_unit.SetRegister(6752, kCurrentScale);
    SetMonitorValue32(6753, kVoltageScale);
    SetMonitorValue32(6768, kCurrentScale * 1000);
    SetMonitorValue32(6772, kVoltageScale * 100);
    SetLoadTime(0);
}

CFenmarUnit::~CFenmarUnit()
{
    StopLiveLoad();
    m_unit.Stop();
}

int CFenmarUnit::StartTcp()
{
    m_tcp = true;
    return m_unit.StartTcp();
}

QString CFenmarUnit::StartRtu()
{
    m_tcp = false;
    return m_unit.StartRtu();
}

void CFenmarUnit::Stop()
{
    m_unit.Stop();
}

void CFenmarUnit::SetType(int typeIndex, std::uint16_t extraOptionBits)
{
    static constexpr std::uint16_t kOptionBits[10] = {0x0001, 0x1000, 0x0800, 0x0400, 0x0004,
                                                      0x0011, 0x1010, 0x0810, 0x0410, 0x0014};
    SetIdentity(kModelCode, m_unit.GetRegister(9601),
                static_cast<std::uint16_t>(kOptionBits[typeIndex] | extraOptionBits), {0, 2, 10, 0, 0});
}

void CFenmarUnit::SetIdentity(std::uint16_t modelCode, std::uint16_t version, std::uint16_t optionBits,
                              const std::array<std::uint16_t, 5>& ioWords)
{
    m_unit.SetRegister(9600, modelCode);
    m_unit.SetRegister(9601, version);
    m_unit.SetRegister(9622, optionBits);
    m_unit.SetRegisters(9623, std::vector<std::uint16_t>(ioWords.begin(), ioWords.end()));
}

void CFenmarUnit::SetVersion(std::uint16_t version)
{
    m_unit.SetRegister(9601, version);
}

void CFenmarUnit::SetWordOrder(std::uint16_t order)
{
    m_unit.SetRegister(kWordOrder, order);
}

void CFenmarUnit::SetMonitorWordOrder(std::uint16_t order)
{
    m_unit.SetRegister(kMonitorWordOrder, order);
}

bool CFenmarUnit::HighHalfFirst() const
{
    return m_unit.GetRegister(kWordOrder) == 1;
}

std::array<std::uint16_t, 2> CFenmarUnit::Split(std::uint32_t value) const
{
    const auto low = static_cast<std::uint16_t>(value & 0xFFFF);
    const auto high = static_cast<std::uint16_t>(value >> 16);
    if (HighHalfFirst())
        return {high, low};
    return {low, high};
}

std::uint32_t CFenmarUnit::Join(std::uint16_t first, std::uint16_t second) const
{
    if (HighHalfFirst())
        return (static_cast<std::uint32_t>(first) << 16) | second;
    return (static_cast<std::uint32_t>(second) << 16) | first;
}

void CFenmarUnit::SetValue32(int address, std::uint32_t value)
{
    const auto pair = Split(value);
    m_unit.SetRegisters(address, {pair[0], pair[1]});
}

std::uint32_t CFenmarUnit::GetValue32(int address) const
{
    return Join(m_unit.GetRegister(address), m_unit.GetRegister(address + 1));
}

bool CFenmarUnit::IsParameterRegister(int address)
{
    for (const Range& r : kParameterRanges) {
        if (address >= r.first && address < r.first + r.count)
            return true;
    }
    const int offset = address - kFirstChannelRegister;
    return offset >= 0 && offset < kChannels * kChannelStride && offset % kChannelStride < kChannelRegisters;
}

std::vector<int> CFenmarUnit::ParameterRegisters()
{
    std::vector<int> registers;
    for (int address = 0; address < 65536; ++address) {
        if (IsParameterRegister(address))
            registers.push_back(address);
    }
    return registers;
}

void CFenmarUnit::SetProtectFunction(bool present)
{
    std::lock_guard lock(m_lock);
    m_hasProtect = present;
    m_unit.SetRegisters(kPasscodeEntry, {present ? kSupportFlag : std::uint16_t{0}, 0});
}

void CFenmarUnit::SetProtectPasscode(std::uint32_t passcode)
{
    std::lock_guard lock(m_lock);
    m_protect = Split(passcode);
    m_unit.SetRegisters(kProtectPasscode, {m_protect[0], m_protect[1]});
    DropWriteModeIfLocked();
}

std::uint32_t CFenmarUnit::GetProtectPasscode() const
{
    std::lock_guard lock(m_lock);
    return Join(m_protect[0], m_protect[1]);
}

std::uint32_t CFenmarUnit::GetEnteredPasscode() const
{
    std::lock_guard lock(m_lock);
    return Join(m_entered[0], m_entered[1]);
}

std::uint16_t CFenmarUnit::GetWriteMode() const
{
    std::lock_guard lock(m_lock);
    return m_writeMode;
}

bool CFenmarUnit::IsUnlocked() const
{
    std::lock_guard lock(m_lock);
    return UnlockedLocked();
}

void CFenmarUnit::SetLockedWrites(LockedWrites behaviour, int exceptionCode)
{
    std::lock_guard lock(m_lock);
    m_lockedWrites = behaviour;
    m_exceptionCode = exceptionCode;
}

bool CFenmarUnit::UnlockedLocked() const
{
    return (m_protect[0] == 0 && m_protect[1] == 0) || m_entered == m_protect;
}

void CFenmarUnit::SetDropsWriteModeWhenLocked(bool drops)
{
    std::lock_guard lock(m_lock);
    m_dropsWriteModeWhenLocked = drops;
}

void CFenmarUnit::DropWriteModeIfLocked()
{
    if (m_dropsWriteModeWhenLocked && !UnlockedLocked()) {
        m_writeMode = 0;
        m_unit.SetRegister(kWriteMode, 0);
    }
}

CSimulatedUnit::WriteDecision CFenmarUnit::OnWrite(int address, int count, const std::uint16_t* words)
{
    std::lock_guard lock(m_lock);
    bool needsWriteMode = false;
    for (int i = 0; i < count; ++i) {
        const int r = address + i;
        if (IsParameterRegister(r) || r == kProtectPasscode || r == kProtectPasscode + 1)
            needsWriteMode = true;
    }
    if (needsWriteMode && !(m_writeMode == 1 && UnlockedLocked())) {
        if (m_lockedWrites == LockedWrites::Refuse)
            return {CSimulatedUnit::WriteAction::Refuse, m_exceptionCode};
        if (m_lockedWrites == LockedWrites::Ignore)
            return {CSimulatedUnit::WriteAction::Ignore, 0};
    }
    if (m_strictMonitorWrites && !(m_writeMode != 0 && UnlockedLocked())) {
        for (int i = 0; i < count; ++i) {
            if (IsMonitorWritable(address + i))
                return {CSimulatedUnit::WriteAction::Refuse, m_exceptionCode};
        }
    }

    // Applied register by register in address order, so that a passcode
    // written in the same request counts before the write mode.
    for (int i = 0; i < count; ++i) {
        const int r = address + i;
        const std::uint16_t w = words[i];
        if (r == kPasscodeEntry || r == kPasscodeEntry + 1) {
            // Kept apart: reading 4942 tells only that the function exists.
            if (m_hasProtect)
                m_entered[static_cast<std::size_t>(r - kPasscodeEntry)] = w;
            DropWriteModeIfLocked();
        } else if (r == kWriteMode) {
            m_writeMode = UnlockedLocked() ? w : 0;
            m_unit.SetRegister(kWriteMode, m_writeMode);
        } else if (r == kProtectPasscode || r == kProtectPasscode + 1) {
            m_protect[static_cast<std::size_t>(r - kProtectPasscode)] = w;
            m_unit.SetRegister(r, w);
        } else if (r >= kTagNumber && r < kTagNumber + 8) {
            m_unit.SetRegister(r, w);
        } else if (r == kWordOrder || r == kMonitorWordOrder || (r >= 9600 && r <= 9627)) {
            // Read-only.
        } else {
            m_unit.SetRegister(r, w);
        }
    }
    DropWriteModeIfLocked();
    return {CSimulatedUnit::WriteAction::Ignore, 0};
}

std::vector<CFenmarUnit::Request> CFenmarUnit::DecodedRequests(int from) const
{
    std::vector<Request> decoded;
    const auto frames = m_unit.Requests();
    for (std::size_t n = static_cast<std::size_t>(from < 0 ? 0 : from); n < frames.size(); ++n) {
        const auto& frame = frames[n];
        // TCP: 6-byte header before the unit id; RTU: two CRC bytes after the PDU.
        const std::size_t start = m_tcp ? 6 : 0;
        const std::size_t end = m_tcp ? frame.size() : (frame.size() >= 2 ? frame.size() - 2 : 0);
        if (end < start + 6)
            continue;
        const std::uint8_t* pdu = frame.data() + start;
        Request request;
        request.function = pdu[1];
        request.address = pdu[2] * 256 + pdu[3];
        request.count = pdu[4] * 256 + pdu[5];
        if (request.function == 0x10) {
            for (int i = 0; i < request.count && start + 7 + 2 * static_cast<std::size_t>(i) + 1 < end; ++i)
                request.words.push_back(static_cast<std::uint16_t>(pdu[7 + 2 * i] * 256 + pdu[8 + 2 * i]));
        }
        decoded.push_back(request);
    }
    return decoded;
}

std::vector<CFenmarUnit::Request> CFenmarUnit::Writes(int from) const
{
    std::vector<Request> writes;
    for (Request& request : DecodedRequests(from)) {
        if (request.function == 0x10)
            writes.push_back(std::move(request));
    }
    return writes;
}

bool CFenmarUnit::IsMonitorWritable(int address)
{
    return CSimulatedLoad::IsRealtimeRegister(address, 0) || CSimulatedLoad::IsRealtimeRegister(address, 1) ||
           address == kLoopTestMode[0] || address == kLoopTestMode[1] || address == kResetRegister[0] ||
           address == kResetRegister[1] || (address >= kTagNumber && address < kTagNumber + 8);
}

void CFenmarUnit::SetMonitorModel(std::uint16_t modelCode, std::uint16_t optionBits, std::uint16_t channelCount,
                                  std::uint16_t wiringSystem)
{
    m_unit.SetRegister(9600, modelCode);
    m_unit.SetRegister(9622, optionBits);
    m_unit.SetRegister(kChannelCount, channelCount);
    m_unit.SetRegister(kWiringSystem, wiringSystem);
    // Scales in the present word order.
    if (modelCode == 6101) {
        m_unit.SetRegister(6752, kCurrentScale);
        SetMonitorValue32(6753, kVoltageScale);
    } else if (modelCode == 6201) {
        SetMonitorValue32(6768, kCurrentScale * 1000);
        SetMonitorValue32(6772, kVoltageScale * 100);
    } else if (modelCode == 6301) {
        // Current by a rated-current code (0: the scale register), voltage shared by both channels.
        m_unit.SetRegisters(5601, {kCurrentScale, 0});
        m_unit.SetRegisters(5609, {kCurrentScale, 0});
        SetMonitorValue32(5603, kVoltageScale);
    }
}

void CFenmarUnit::SetMonitorValue32(int address, std::uint32_t value)
{
    const auto low = static_cast<std::uint16_t>(value & 0xFFFF);
    const auto high = static_cast<std::uint16_t>(value >> 16);
    if (m_unit.GetRegister(kMonitorWordOrder) == 1)
        m_unit.SetRegisters(address, {high, low});
    else
        m_unit.SetRegisters(address, {low, high});
}

std::uint32_t CFenmarUnit::GetMonitorValue32(int address) const
{
    const std::uint32_t first = m_unit.GetRegister(address);
    const std::uint32_t second = m_unit.GetRegister(address + 1);
    if (m_unit.GetRegister(kMonitorWordOrder) == 1)
        return (first << 16) | second;
    return (second << 16) | first;
}

void CFenmarUnit::WriteCharacters(int address, int registers, const QByteArray& text)
{
    std::vector<std::uint16_t> words(static_cast<std::size_t>(registers), 0);
    for (int i = 0; i < registers * 2 && i < text.size(); ++i) {
        const auto byte = static_cast<std::uint16_t>(static_cast<unsigned char>(text[i]));
        words[static_cast<std::size_t>(i / 2)] |= static_cast<std::uint16_t>(i % 2 ? byte << 8 : byte);
    }
    m_unit.SetRegisters(address, words);
}

void CFenmarUnit::SetSerialNumber(const QByteArray& text)
{
    WriteCharacters(kSerialNumber, 4, text);
}

void CFenmarUnit::SetTag(const QByteArray& text)
{
    WriteCharacters(kTagNumber, 8, text);
}

QByteArray CFenmarUnit::GetTag() const
{
    QByteArray tag;
    for (std::uint16_t word : m_unit.GetRegisters(kTagNumber, 8)) {
        tag.append(static_cast<char>(word & 0xFF));
        tag.append(static_cast<char>(word >> 8));
    }
    return tag;
}

void CFenmarUnit::SetLoadTime(double seconds)
{
    for (int channel = 0; channel < 2; ++channel) {
        const bool loopTest = m_unit.GetRegister(kLoopTestMode[channel]) != 0;
        const CSimulatedLoad::Image image = CSimulatedLoad::Compute(seconds, channel);
        for (const auto& value : image.values32) {
            if (!(loopTest && CSimulatedLoad::IsRealtimeRegister(value.address, channel)))
                SetMonitorValue32(value.address, static_cast<std::uint32_t>(value.value));
        }
        for (const auto& value : image.values16)
            m_unit.SetRegister(value.address, value.value);
    }
}

void CFenmarUnit::StartLiveLoad(int periodMs)
{
    StopLiveLoad();
    m_liveStop = false;
    m_live = std::thread([this, periodMs] {
        const auto start = std::chrono::steady_clock::now();
        std::unique_lock lock(m_liveLock);
        while (!m_liveStop) {
            lock.unlock();
            SetLoadTime(std::chrono::duration<double>(std::chrono::steady_clock::now() - start).count());
            lock.lock();
            m_liveWake.wait_for(lock, std::chrono::milliseconds(periodMs), [this] { return m_liveStop; });
        }
    });
}

void CFenmarUnit::StopLiveLoad()
{
    if (!m_live.joinable())
        return;
    {
        std::lock_guard lock(m_liveLock);
        m_liveStop = true;
    }
    m_liveWake.notify_all();
    m_live.join();
}

void CFenmarUnit::SetMonitorWritesNeedWriteMode(bool strict)
{
    std::lock_guard lock(m_lock);
    m_strictMonitorWrites = strict;
}
