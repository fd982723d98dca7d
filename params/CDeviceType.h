#pragma once
// Which kind of unit a parameter set belongs to: the identification words a
// unit reports and the row of the supported-unit table they match. The row's
// capability mask decides which parameters, register-map rows and output
// ranges apply to the unit.
#include "foundation/CResourceManager.h"

#include <array>
#include <cstdint>

class CModbusInterface;

// Capability mask bits (bit 0 is the least significant bit of the 64-bit mask).
constexpr std::uint64_t CapabilityBit(int bit) { return std::uint64_t{1} << bit; }
inline constexpr std::uint64_t CAPABILITY_AOUT1 = CapabilityBit(4);
inline constexpr std::uint64_t CAPABILITY_AOUT2 = CapabilityBit(5);
inline constexpr std::uint64_t CAPABILITY_AOUT3 = CapabilityBit(6);
inline constexpr std::uint64_t CAPABILITY_AOUT4_10 = CapabilityBit(7);
inline constexpr std::uint64_t CAPABILITY_PULSE1 = CapabilityBit(8);
inline constexpr std::uint64_t CAPABILITY_PULSE2 = CapabilityBit(9);
inline constexpr std::uint64_t CAPABILITY_PULSE3 = CapabilityBit(10);  // with digital output 3
inline constexpr std::uint64_t CAPABILITY_PULSE4 = CapabilityBit(11);  // with digital output 4
inline constexpr std::uint64_t CAPABILITY_DIGITAL_INPUT1 = CapabilityBit(12);
inline constexpr std::uint64_t CAPABILITY_OUTPUT_4_20MA = CapabilityBit(16);
inline constexpr std::uint64_t CAPABILITY_MODBUS_SETTINGS = CapabilityBit(17);
inline constexpr std::uint64_t CAPABILITY_OUTPUT_1_5V = CapabilityBit(18);
inline constexpr std::uint64_t CAPABILITY_OUTPUT_0_5V = CapabilityBit(19);
inline constexpr std::uint64_t CAPABILITY_SIX_SYSTEMS = CapabilityBit(20);
inline constexpr std::uint64_t CAPABILITY_OUTPUT_0_10V = CapabilityBit(21);
inline constexpr std::uint64_t CAPABILITY_OUTPUT_0_1MA = CapabilityBit(22);
inline constexpr std::uint64_t CAPABILITY_CCLINK = CapabilityBit(24);
inline constexpr std::uint64_t CAPABILITY_MODBUS_MODE = CapabilityBit(28);
inline constexpr std::uint64_t CAPABILITY_NEUTRAL_ALARMS = CapabilityBit(29);
inline constexpr std::uint64_t CAPABILITY_BIT31 = CapabilityBit(31);
inline constexpr std::uint64_t CAPABILITY_BIT32 = CapabilityBit(32);  // also: download row by row below version 101
inline constexpr std::uint64_t CAPABILITY_BIT33 = CapabilityBit(33);
inline constexpr std::uint64_t CAPABILITY_BIT34 = CapabilityBit(34);
inline constexpr std::uint64_t CAPABILITY_BIT35 = CapabilityBit(35);
inline constexpr std::uint64_t CAPABILITY_DIPSW = CapabilityBit(36);   // DIP switch input and its download check
inline constexpr std::uint64_t CAPABILITY_BIT37 = CapabilityBit(37);
inline constexpr std::uint64_t CAPABILITY_BASIC = CapabilityBit(38);   // passcode, input, calculation options
inline constexpr std::uint64_t CAPABILITY_BIT56 = CapabilityBit(56);
// All output-range bits (one of them per supported type).
inline constexpr std::uint64_t CAPABILITY_OUTPUT_RANGES = CAPABILITY_OUTPUT_4_20MA | CAPABILITY_OUTPUT_1_5V |
                                                          CAPABILITY_OUTPUT_0_5V | CAPABILITY_OUTPUT_0_10V |
                                                          CAPABILITY_OUTPUT_0_1MA;

constexpr std::uint32_t CapabilityLow(std::uint64_t mask) { return static_cast<std::uint32_t>(mask); }
constexpr std::uint32_t CapabilityHigh(std::uint64_t mask) { return static_cast<std::uint32_t>(mask >> 32); }

// Identification registers of the unit.
inline constexpr int REGISTER_MODEL_CODE = 9600;
inline constexpr int REGISTER_VERSION = 9601;
inline constexpr int REGISTER_OPTION_BITS = 9622;
inline constexpr int REGISTER_IO_WORDS = 9623;  // five words

inline constexpr std::uint16_t FENMAR_MODEL_CODE = 6103;
// Only these option bits take part in the identification of a unit.
inline constexpr std::uint16_t DEVICE_OPTION_MASK = 0x1D97;
inline constexpr int DEVICE_IO_WORD_COUNT = 5;

struct DeviceTypeRow
{
    std::uint16_t typeIndex;
    std::uint16_t reserved;
    std::uint16_t modelCode;
    std::uint16_t lowestVersion;
    std::uint16_t highestVersion;
    std::uint16_t optionBits;
    std::array<std::uint16_t, DEVICE_IO_WORD_COUNT> ioWords;
    std::array<std::uint16_t, DEVICE_IO_WORD_COUNT> alternativeIoWords;  // first word 0xFFFF: none
    std::uint64_t capabilities;
};

inline constexpr int DEVICE_TYPE_COUNT = 10;
// The supported-unit table, in identification order.
extern const std::array<DeviceTypeRow, DEVICE_TYPE_COUNT> g_deviceTypeTable;

class CDeviceType : public CResourceManager
{
public:
    CDeviceType() = default;
    // The version is not among them; it is left 0.
    CDeviceType(std::uint16_t modelCode, std::uint16_t optionBits, std::uint16_t io0, std::uint16_t io1,
                std::uint16_t io2, std::uint16_t io3, std::uint16_t io4);
    CDeviceType(const CDeviceType&) = default;
    CDeviceType& operator=(const CDeviceType&) = default;

    // Reads the identification registers over a connected link and
    // identifies the record; throws "MSG_ERROR_UNSUPPORT_DEVICE" when no row
    // matches (the words read stay). Link errors pass through.
    void ReadFromDevice(CModbusInterface& link);
    // Row := the first table row that matches, or -1.
    void Identify() const;
    // Rows 0..9: that row's identification words with version 65535. Any
    // other index leaves the record unchanged.
    void SetTypeIndex(int index);

    // These identify the record first when it is unknown.
    int GetTypeIndex() const;             // 0 when unknown
    std::uint64_t GetCapabilities() const; // 0 when unknown
    bool HasCapability(std::uint32_t low, std::uint32_t high) const;
    bool HasCapability(std::uint64_t mask) const { return HasCapability(CapabilityLow(mask), CapabilityHigh(mask)); }

    // True when this record is unknown or its row differs from the other's;
    // no identification is run.
    bool IsDifferentType(const CDeviceType& other) const;

    // The row as it stands (-1 while unknown), without identifying.
    int GetRow() const { return m_row; }
    std::uint16_t GetModelCode() const { return m_modelCode; }
    std::uint16_t GetVersion() const { return m_version; }
    std::uint16_t GetOptionBits() const { return m_optionBits; }
    // Index 0..4; any other index reads 0.
    std::uint16_t GetIoWord(int index) const;

private:
    const DeviceTypeRow* Row() const;

    std::uint16_t m_modelCode = 0;
    std::uint16_t m_version = 0;
    std::uint16_t m_optionBits = 0;
    std::array<std::uint16_t, DEVICE_IO_WORD_COUNT> m_ioWords{};
    mutable int m_row = -1;
};
