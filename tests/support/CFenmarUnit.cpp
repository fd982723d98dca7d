#include "CFenmarUnit.h"

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
    SetWordOrder(0);
    SetProtectFunction(true);
    SetProtectPasscode(0);
    m_unit.SetWriteHook(
        [this](int address, int count, const std::uint16_t* words) { return OnWrite(address, count, words); });
}

CFenmarUnit::~CFenmarUnit()
{
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

void CFenmarUnit::DropWriteModeIfLocked()
{
    if (!UnlockedLocked()) {
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
