#pragma once
// One complete parameter set of a unit: the 552 parameter words and the unit
// type they belong to. A plain value, copied between windows by assignment.
#include "CDeviceType.h"
#include "foundation/CResourceManager.h"

#include <QString>

#include <array>
#include <cstdint>

class CModbusInterface;

inline constexpr int PARAMETER_COUNT = 552;
// Parameter words that other parts of the program name.
inline constexpr int PARAMETER_PROTECT_OPERATION = 0;
inline constexpr int PARAMETER_DISPLAY_L1TO3 = 1;
inline constexpr int PARAMETER_DISPLAY_L4 = 2;
// Six sigma displays of four items each: display d, item i at 4 + 4d + i.
inline constexpr int PARAMETER_DISPLAY_SIGMA_FIRST = 4;
inline constexpr int DISPLAY_SIGMA_COUNT = 6;
inline constexpr int DISPLAY_SIGMA_ITEMS = 4;
inline constexpr int PARAMETER_PASSCODE = 29;
inline constexpr int PARAMETER_INPUT_DIPSW = 30;
inline constexpr int PARAMETER_INPUT_SYSTEM = 31;
inline constexpr int PARAMETER_INPUT_CT1 = 32;
inline constexpr int PARAMETER_INPUT_CT2 = 33;
inline constexpr int PARAMETER_INPUT_VT1 = 34;  // 32 bits
inline constexpr int PARAMETER_INPUT_VT2 = 36;
inline constexpr int PARAMETER_INPUT_FREQ_DETECT = 37;
inline constexpr int PARAMETER_INPUT_CUTOUT_I = 38;
inline constexpr int PARAMETER_INPUT_CUTOUT_U = 39;
inline constexpr int PARAMETER_INPUT_V_RANGE = 40;
inline constexpr int PARAMETER_INPUT2_CT1 = 41;
inline constexpr int PARAMETER_INPUT2_CT2 = 42;
inline constexpr int PARAMETER_BAR_THETA0 = 81; // 32 bits
inline constexpr int PARAMETER_MODBUS_ADDRESS = 83;
inline constexpr int PARAMETER_MODBUS_BAUDRATE = 84;
inline constexpr int PARAMETER_MODBUS_PARITY = 85;
inline constexpr int PARAMETER_MODBUS_STOP = 86;
inline constexpr int PARAMETER_MODBUS_T15 = 87;
inline constexpr int PARAMETER_MODBUS_T35 = 88;
inline constexpr int PARAMETER_MODBUS_LONG_REGISTER = 89;
inline constexpr int PARAMETER_MODBUS_MODE = 90;
inline constexpr int PARAMETER_MODBUS_RUNLED = 91;
inline constexpr int PARAMETER_DEMAND_I = 94;
inline constexpr int PARAMETER_DEMAND_E = 95;
inline constexpr int PARAMETER_CALC_OPTION_POWER_FORMAT = 98;
inline constexpr int PARAMETER_CALC_OPTION_PF_SIGN = 99;
inline constexpr int PARAMETER_CALC_OPTION_Q_SIGN = 100;
inline constexpr int PARAMETER_CALC_OPTION_QN_CALC = 101;
inline constexpr int PARAMETER_CALC_OPTION_S_CALC = 102;
// 1: rated power rounded ("Standard (Rounding)"), 0: not.
inline constexpr int PARAMETER_CALC_OPTION_POWER = 103;
inline constexpr int PARAMETER_DIN_FUNC = 106;
// Pulse output k (0..3) owns three words: source, rate, duration.
inline constexpr int PULSE_OUTPUT_COUNT = 4;
inline constexpr int PULSE_WORD_SOURCE = 0;
inline constexpr int PULSE_WORD_RATE = 1;
inline constexpr int PULSE_WORD_DURATION = 2;
inline constexpr int PARAMETER_LCDBL_TIMER = 128;
inline constexpr int PARAMETER_DEFAULT_L1TO3 = 132;
inline constexpr int PARAMETER_DEFAULT_L4 = 133;
// Alarm group g (0..18) owns the seven words from 138 + 7g.
inline constexpr int PARAMETER_ALARM_FIRST = 138;
inline constexpr int PARAMETER_ALARM_GROUP_WORDS = 7;
inline constexpr int ALARM_GROUP_COUNT = 19;
inline constexpr int ALARM_WORD_HIGH = 0; // 32 bits
inline constexpr int ALARM_WORD_LOW = 2;  // 32 bits
inline constexpr int ALARM_WORD_SWITCH = 4;
inline constexpr int ALARM_WORD_ON_DELAY = 6;
inline constexpr int PARAMETER_AOUT_LIMIT = 271;
// Analog-output channel k (0..9) owns the words from 272 + 28k.
inline constexpr int PARAMETER_AOUT_FIRST = 272;
inline constexpr int PARAMETER_AOUT_CHANNEL_WORDS = 28;
inline constexpr int AOUT_CHANNEL_COUNT = 10;
// Word offsets inside a channel's block.
inline constexpr int AOUT_WORD_ASSIGNMENT = 0;
inline constexpr int AOUT_WORD_ADJUST_ZERO = 1;
inline constexpr int AOUT_WORD_ADJUST_SPAN = 2;
inline constexpr int AOUT_WORD_USE_TABLE = 3;
inline constexpr int AOUT_WORD_INPUT0 = 4;
inline constexpr int AOUT_WORD_OUTPUT0 = 5;
inline constexpr int AOUT_WORD_INPUT100 = 6;
inline constexpr int AOUT_WORD_OUTPUT100 = 7;
inline constexpr int AOUT_WORD_TABLE = 8; // X_k at 8 + 2k, Y_k at 9 + 2k
inline constexpr int AOUT_TABLE_POINTS = 10;

// Parameter number of a channel word; -1 for a channel outside 0..9 or an
// offset outside its block.
constexpr int AnalogOutputWordNumber(int ch, int offset)
{
    if (ch < 0 || ch >= AOUT_CHANNEL_COUNT || offset < 0 || offset >= PARAMETER_AOUT_CHANNEL_WORDS)
        return -1;
    return PARAMETER_AOUT_FIRST + PARAMETER_AOUT_CHANNEL_WORDS * ch + offset;
}

// Parameter number of item i (0..3) of sigma display d (0..5); -1 outside.
constexpr int DisplaySigmaWordNumber(int display, int item)
{
    if (display < 0 || display >= DISPLAY_SIGMA_COUNT || item < 0 || item >= DISPLAY_SIGMA_ITEMS)
        return -1;
    return PARAMETER_DISPLAY_SIGMA_FIRST + DISPLAY_SIGMA_ITEMS * display + item;
}

// Parameter number of a pulse output's word; -1 for an output outside 0..3
// or an offset outside its three words.
constexpr int PulseOutputWordNumber(int output, int offset)
{
    // The first pulse output also owns word 117 (the tariff), after its three.
    constexpr int first[PULSE_OUTPUT_COUNT] = {114, 118, 121, 124};
    if (output < 0 || output >= PULSE_OUTPUT_COUNT || offset < PULSE_WORD_SOURCE || offset > PULSE_WORD_DURATION)
        return -1;
    return first[output] + offset;
}

// Parameter number of an alarm group's word; -1 outside the groups.
constexpr int AlarmWordNumber(int group, int offset)
{
    if (group < 0 || group >= ALARM_GROUP_COUNT || offset < 0 || offset >= PARAMETER_ALARM_GROUP_WORDS)
        return -1;
    return PARAMETER_ALARM_FIRST + PARAMETER_ALARM_GROUP_WORDS * group + offset;
}

// Progress of an upload or download: the caller's context and a percentage
// from 0 to 100; false stops the transfer.
using TransferProgressCallback = bool (*)(void* context, double percent);

class CSettings : public CResourceManager
{
public:
    // Every word 0, unit type row 5, then the factory defaults.
    CSettings();
    CSettings(const CSettings&) = default;
    // Copies the words and the unit type's identification and row.
    CSettings& operator=(const CSettings&) = default;

    // Parameter numbers 0..551. A number outside the set reads 0 and a write
    // to it changes nothing.
    std::uint16_t GetWord(int number) const;
    void SetWord(int number, std::uint16_t value);
    // Low half in word n, high half in word n + 1 (n = 0..550).
    std::uint32_t GetDword(int number) const;
    void SetDword(int number, std::uint32_t value);

    // True when the unit type's capability mask shares a bit with the given
    // halves; false for an unknown type.
    bool HasCapability(std::uint32_t low, std::uint32_t high) const;
    bool HasCapability(std::uint64_t mask) const { return m_deviceType.HasCapability(mask); }

    // Reads the whole set from a connected unit. True when done; false when
    // the callback stopped it. Throws "MSG_ERROR_MODBUS_ALL" around any
    // failure. The set changes only when the upload completes.
    bool Upload(CModbusInterface& link, TransferProgressCallback callback, void* context);
    // Writes the set to a connected unit in write mode. True when done; false
    // when the callback stopped it. Throws "MSG_ERROR_MODBUS_ALL" around any
    // failure. A failed or stopped download still tries to end write mode and
    // lock the unit again, on a fresh connection (the link is left open on it)
    // and with one try a request.
    bool Download(CModbusInterface& link, TransferProgressCallback callback, void* context);

    // The parameter file ("AVOCFG" section). Both return true or throw.
    // A save merges into an existing file and replaces it only when complete;
    // a failed load leaves the set as it was. A file of a unit type that no
    // supported type matches fails as a bad format.
    // A file larger than a parameter file can be is refused unread: on load
    // as a bad format, on save (which would merge into it) with EFBIG.
    static constexpr qint64 kMaxFileBytes = 1024 * 1024;
    bool SaveFile(const QString& path) const;
    bool LoadFile(const QString& path);

    CDeviceType m_deviceType;

private:
    void SetDefaults();
    // The download inside write mode: word order, the unit and DIP-switch
    // checks, the register blocks. False when the callback stopped it.
    bool WriteBlocks(CModbusInterface& link, TransferProgressCallback callback, void* context) const;

    std::array<std::uint16_t, PARAMETER_COUNT> m_words{};
};

// The program-wide set that carries the edited set from one run of the main
// window to the next.
extern CSettings g_settings;
