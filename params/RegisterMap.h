#pragma once
// Which run of unit registers holds which run of parameter words. Upload,
// download and the parameter file all walk this map in order.
#include <array>
#include <cstdint>

class CModbusInterface;

struct RegisterMapRow
{
    enum Kind : std::uint32_t { Words16 = 0, Values32 = 1 };

    std::uint32_t firstRegister;
    std::uint32_t count;          // 16-bit words, or 32-bit values for a Values32 row
    std::uint32_t firstParameter;
    Kind kind;
    bool endsBlock;               // download: the gathered block is written after this row
    std::uint32_t reserved;
    std::uint64_t capabilities;

    // Registers (and parameter words) the row covers.
    constexpr std::uint32_t WordCount() const { return kind == Values32 ? 2 * count : count; }
    // A row applies to a unit whose capability mask shares a bit with the row's.
    constexpr bool AppliesTo(std::uint64_t unitCapabilities) const { return (capabilities & unitCapabilities) != 0; }
};

inline constexpr int REGISTER_MAP_ROWS = 43;
// The download gathers rows into blocks of at most this many registers.
inline constexpr int REGISTER_BLOCK_MAX_WORDS = 128;
extern const std::array<RegisterMapRow, REGISTER_MAP_ROWS> g_registerMap;

// Control registers of the transfer and the passcode protocol.
inline constexpr int REGISTER_PASSCODE_ENTRY = 4942;    // 32 bits
inline constexpr int REGISTER_WRITE_MODE = 4944;
inline constexpr int REGISTER_PROTECT_PASSCODE = 5333;  // 32 bits
inline constexpr int REGISTER_WORD_ORDER = 5735;        // 1: high half in the first register
// The same for the monitor's live values and the loop test.
inline constexpr int REGISTER_MONITOR_WORD_ORDER = 5375;
inline constexpr int REGISTER_DIPSW = 20302;

// The input registers: the wiring system and the CT and VT ratings. A unit
// with a second input has its CT ratings at 5609; on the others 5609 holds
// the voltage range.
inline constexpr int REGISTER_INPUT_SYSTEM = 5600;
inline constexpr int REGISTER_INPUT_CT1 = 5601;
inline constexpr int REGISTER_INPUT_CT2 = 5602;   // a sensor code on units with CT sensors
inline constexpr int REGISTER_INPUT_VT1 = 5603;   // 32 bits
inline constexpr int REGISTER_INPUT2_CT1 = 5609;
inline constexpr int REGISTER_INPUT2_CT2 = 5610;

// Reads the word order of 32-bit values that the transfer and the passcode
// protocol use.
bool ReadWordOrderIsHighFirst(CModbusInterface& link);
// Reads the word order that the monitor and the loop test use.
bool ReadMonitorWordOrderIsHighFirst(CModbusInterface& link);
