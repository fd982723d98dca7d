#include "CDeviceType.h"

#include "comm/CModbusInterface.h"
#include "foundation/CPrivateException.h"
#include "foundation/Globals.h"
#include "platform/MessageFormat.h"

namespace {
constexpr std::uint16_t kNoAlternative = 0xFFFF;

constexpr DeviceTypeRow MakeRow(std::uint16_t index, std::uint16_t optionBits, std::uint64_t capabilities)
{
    return DeviceTypeRow{index,
                         0,
                         FENMAR_MODEL_CODE,
                         0,
                         0xFFFF,
                         optionBits,
                         {0, 2, 10, 0, 0},
                         {kNoAlternative, kNoAlternative, kNoAlternative, kNoAlternative, kNoAlternative},
                         capabilities};
}
} // namespace

// Constant-initialised: g_settings uses it during static initialisation.
constinit const std::array<DeviceTypeRow, DEVICE_TYPE_COUNT> g_deviceTypeTable = {{
    MakeRow(0, 0x0001, 0x01000040000103F0),
    MakeRow(1, 0x1000, 0x01000040004003F0),
    MakeRow(2, 0x0800, 0x01000040002003F0),
    MakeRow(3, 0x0400, 0x01000040000803F0),
    MakeRow(4, 0x0004, 0x01000040000403F0),
    MakeRow(5, 0x0011, 0x01000040001103F0),
    MakeRow(6, 0x1010, 0x01000040005003F0),
    MakeRow(7, 0x0810, 0x01000040003003F0),
    MakeRow(8, 0x0410, 0x01000040001803F0),
    MakeRow(9, 0x0014, 0x01000040001403F0),
}};

CDeviceType::CDeviceType(std::uint16_t modelCode, std::uint16_t optionBits, std::uint16_t io0, std::uint16_t io1,
                         std::uint16_t io2, std::uint16_t io3, std::uint16_t io4)
    : m_modelCode(modelCode), m_optionBits(optionBits), m_ioWords{io0, io1, io2, io3, io4}
{
}

void CDeviceType::ReadFromDevice(CModbusInterface& link)
{
    m_row = -1;
    link.ReadRegisters(REGISTER_MODEL_CODE, 1, &m_modelCode);
    link.ReadRegisters(REGISTER_VERSION, 1, &m_version);
    link.ReadRegisters(REGISTER_OPTION_BITS, 1, &m_optionBits);
    m_optionBits &= DEVICE_OPTION_MASK;
    link.ReadRegisters(REGISTER_IO_WORDS, DEVICE_IO_WORD_COUNT, m_ioWords.data());
    if (GetCapabilities() == 0) {
        // A printf-style template from the language file: only our two integers are inserted.
        const QString text = g_resourceDatabase.GetMessageText(QStringLiteral("MSG_ERROR_UNSUPPORT_DEVICE"));
        throw CPrivateException(FormatPrintfTemplate(text, {static_cast<int>(m_modelCode), static_cast<int>(m_optionBits)}));
    }
}

void CDeviceType::Identify() const
{
    m_row = -1;
    for (int i = 0; i < DEVICE_TYPE_COUNT; ++i) {
        const DeviceTypeRow& row = g_deviceTypeTable[static_cast<std::size_t>(i)];
        if (m_modelCode != row.modelCode || m_optionBits != row.optionBits)
            continue;
        if (m_version < row.lowestVersion || m_version > row.highestVersion)
            continue;
        const bool ioMatch = m_ioWords == row.ioWords;
        const bool alternativeMatch = row.alternativeIoWords[0] != kNoAlternative && m_ioWords == row.alternativeIoWords;
        if (ioMatch || alternativeMatch) {
            m_row = i;
            return;
        }
    }
}

void CDeviceType::SetTypeIndex(int index)
{
    if (index < 0 || index >= DEVICE_TYPE_COUNT)
        return;
    const DeviceTypeRow& row = g_deviceTypeTable[static_cast<std::size_t>(index)];
    m_row = index;
    m_modelCode = FENMAR_MODEL_CODE;
    m_version = 0xFFFF;
    m_optionBits = row.optionBits;
    m_ioWords = {0, 2, 10, 0, 0};
}

const DeviceTypeRow* CDeviceType::Row() const
{
    if (m_row < 0)
        Identify();
    if (m_row < 0 || m_row >= DEVICE_TYPE_COUNT)
        return nullptr;
    return &g_deviceTypeTable[static_cast<std::size_t>(m_row)];
}

int CDeviceType::GetTypeIndex() const
{
    const DeviceTypeRow* row = Row();
    return row ? row->typeIndex : 0;
}

std::uint64_t CDeviceType::GetCapabilities() const
{
    const DeviceTypeRow* row = Row();
    return row ? row->capabilities : 0;
}

bool CDeviceType::HasCapability(std::uint32_t low, std::uint32_t high) const
{
    const std::uint64_t mask = GetCapabilities();
    return (CapabilityLow(mask) & low) != 0 || (CapabilityHigh(mask) & high) != 0;
}

bool CDeviceType::IsDifferentType(const CDeviceType& other) const
{
    return m_row == -1 || m_row != other.m_row;
}

std::uint16_t CDeviceType::GetIoWord(int index) const
{
    if (index < 0 || index >= DEVICE_IO_WORD_COUNT)
        return 0;
    return m_ioWords[static_cast<std::size_t>(index)];
}
