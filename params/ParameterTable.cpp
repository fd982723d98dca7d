// The parameter table. Rows 0 to 137 and 271 are written out; the alarm
// groups (138 to 270) and the analog-output channels (272 to 551) follow
// fixed patterns and are generated from them. The static checks at the end
// catch a row that went astray.
#include "ParameterTable.h"

#include <string_view>

namespace {

// One written-out line: a 32-bit value and its high half share a line.
struct Line
{
    const char* group;
    const char* key;
    std::int32_t type;
    std::int32_t scale;
    const char* list;
    std::uint64_t mask;
};

constexpr Line kLines[] = {
    {"DISPLAY", "PROTECT_OPERATION", 2, 0, "PROTECT", 0x80000000}, // 0
    {"DISPLAY", "DISPLAY_L1TO3", 0, 1, nullptr, 0x80000000}, // 1
    {"DISPLAY", "DISPLAY_L4", 2, 0, "PULSE_SRC", 0x80000000}, // 2
    {"DISPLAY", "DISPLAY_L4S", 2, 0, "SUB_UNIT", 0x80000000}, // 3
    {"DISPLAY", "DISPLAY_SIGMA1_1", 2, 0, "DISP_VALUE", 0x600000000}, // 4
    {"DISPLAY", "DISPLAY_SIGMA1_2", 2, 0, "DISP_VALUE", 0x600000000}, // 5
    {"DISPLAY", "DISPLAY_SIGMA1_3", 2, 0, "DISP_VALUE", 0x600000000}, // 6
    {"DISPLAY", "DISPLAY_SIGMA1_4", 2, 0, "DISP_VALUE", 0x200000000}, // 7
    {"DISPLAY", "DISPLAY_SIGMA2_1", 2, 0, "DISP_VALUE", 0x600000000}, // 8
    {"DISPLAY", "DISPLAY_SIGMA2_2", 2, 0, "DISP_VALUE", 0x600000000}, // 9
    {"DISPLAY", "DISPLAY_SIGMA2_3", 2, 0, "DISP_VALUE", 0x600000000}, // 10
    {"DISPLAY", "DISPLAY_SIGMA2_4", 2, 0, "DISP_VALUE", 0x200000000}, // 11
    {"DISPLAY", "DISPLAY_SIGMA3_1", 2, 0, "DISP_VALUE", 0x600000000}, // 12
    {"DISPLAY", "DISPLAY_SIGMA3_2", 2, 0, "DISP_VALUE", 0x600000000}, // 13
    {"DISPLAY", "DISPLAY_SIGMA3_3", 2, 0, "DISP_VALUE", 0x600000000}, // 14
    {"DISPLAY", "DISPLAY_SIGMA3_4", 2, 0, "DISP_VALUE", 0x200000000}, // 15
    {"DISPLAY", "DISPLAY_SIGMA4_1", 2, 0, "DISP_VALUE", 0x600000000}, // 16
    {"DISPLAY", "DISPLAY_SIGMA4_2", 2, 0, "DISP_VALUE", 0x600000000}, // 17
    {"DISPLAY", "DISPLAY_SIGMA4_3", 2, 0, "DISP_VALUE", 0x600000000}, // 18
    {"DISPLAY", "DISPLAY_SIGMA4_4", 2, 0, "DISP_VALUE", 0x200000000}, // 19
    {"DISPLAY", "DISPLAY_SIGMA5_1", 2, 0, "DISP_VALUE", 0x200000000}, // 20
    {"DISPLAY", "DISPLAY_SIGMA5_2", 2, 0, "DISP_VALUE", 0x200000000}, // 21
    {"DISPLAY", "DISPLAY_SIGMA5_3", 2, 0, "DISP_VALUE", 0x200000000}, // 22
    {"DISPLAY", "DISPLAY_SIGMA5_4", 2, 0, "DISP_VALUE", 0x200000000}, // 23
    {"DISPLAY", "DISPLAY_SIGMA6_1", 2, 0, "DISP_VALUE", 0x200000000}, // 24
    {"DISPLAY", "DISPLAY_SIGMA6_2", 2, 0, "DISP_VALUE", 0x200000000}, // 25
    {"DISPLAY", "DISPLAY_SIGMA6_3", 2, 0, "DISP_VALUE", 0x200000000}, // 26
    {"DISPLAY", "DISPLAY_SIGMA6_4", 2, 0, "DISP_VALUE", 0x200000000}, // 27
    {"TARIFF", "TARIFF", 2, 0, "TARIFF", 0x3080000000}, // 28
    {"PASSCODE", "PASSCODE", 3, 0, nullptr, 0x4080000000}, // 29
    {"INPUT", "INPUT_DIPSW", 2, 0, "DIPSW", 0x1000000000}, // 30
    {"INPUT", "INPUT_SYSTEM", 2, 0, "SYSTEM", 0x7080000000}, // 31
    {"INPUT", "INPUT_CT1", 0, 1, nullptr, 0x7080000000}, // 32
    {"INPUT", "INPUT_CT2", 0, 1, nullptr, 0x7080000000}, // 33
    {"INPUT", "INPUT_VT1", 1, 1, nullptr, 0x7080000000}, // 34,35
    {"INPUT", "INPUT_VT2", 0, 1, nullptr, 0x7080000000}, // 36
    {"INPUT", "INPUT_FREQ_DETECT", 2, 0, "FREQ_DETECT", 0x7080000000}, // 37
    {"INPUT", "INPUT_CUTOUT_I", 0, 10, nullptr, 0x7080000000}, // 38
    {"INPUT", "INPUT_CUTOUT_U", 0, 10, nullptr, 0x7080000000}, // 39
    {"INPUT", "INPUT_V_RANGE", 0, 1, nullptr, 0x4000000000}, // 40
    {"INPUT2", "INPUT_CT1", 0, 1, nullptr, 0x1000000000}, // 41
    {"INPUT2", "INPUT_CT2", 2, 0, "CT_SENSOR", 0x1000000000}, // 42
    {"INPUT2", "INPUT_CUTOUT_I", 0, 10, nullptr, 0x1000000000}, // 43
    {"BAR", "BAR_I", 0, 1, nullptr, 0x100000000}, // 44
    {"BAR", "BAR_U", 1, 1, nullptr, 0x100000000}, // 45,46
    {"BAR", "BAR_I", 1, 1000, nullptr, 0x200000000}, // 47,48
    {"BAR", "BAR_I0", 1, 1000, nullptr, 0x200000000}, // 49,50
    {"BAR", "BAR_U", 1, 100, nullptr, 0x200000000}, // 51,52
    {"BAR", "BAR_U0", 1, 100, nullptr, 0x200000000}, // 53,54
    {"BAR", "BAR_P100", 1, 1, nullptr, 0x200000000}, // 55,56
    {"BAR", "BAR_P0", 1, 1, nullptr, 0x200000000}, // 57,58
    {"BAR", "BAR_Q100", 1, 1, nullptr, 0x200000000}, // 59,60
    {"BAR", "BAR_Q0", 1, 1, nullptr, 0x200000000}, // 61,62
    {"BAR", "BAR_S100", 1, 1, nullptr, 0x200000000}, // 63,64
    {"BAR", "BAR_S0", 1, 1, nullptr, 0x200000000}, // 65,66
    {"BAR", "BAR_PF100", 1, 10000, nullptr, 0x200000000}, // 67,68
    {"BAR", "BAR_PF0", 1, 10000, nullptr, 0x200000000}, // 69,70
    {"BAR", "BAR_F100", 1, 100, nullptr, 0x200000000}, // 71,72
    {"BAR", "BAR_F0", 1, 100, nullptr, 0x200000000}, // 73,74
    {"BAR", "BAR_THD100", 1, 10, nullptr, 0x200000000}, // 75,76
    {"BAR", "BAR_THD0", 1, 10, nullptr, 0x200000000}, // 77,78
    {"BAR", "BAR_THETA100", 1, 1, nullptr, 0x200000000}, // 79,80
    {"BAR", "BAR_THETA0", 1, 1, nullptr, 0x200000000}, // 81,82
    {"MODBUS", "MODBUS_ADDRESS", 0, 1, nullptr, 0x20000}, // 83
    {"MODBUS", "MODBUS_BAUDRATE", 2, 0, "BAUDRATE", 0x20000}, // 84
    {"MODBUS", "MODBUS_PARITY", 2, 0, "PARITY", 0x10020000}, // 85
    {"MODBUS", "MODBUS_STOP", 2, 0, "STOP", 0x10020000}, // 86
    {"MODBUS", "MODBUS_T15", 0, 10, nullptr, 0x20000}, // 87
    {"MODBUS", "MODBUS_T35", 0, 10, nullptr, 0x20000}, // 88
    {"MODBUS", "MODBUS_LONG_REGISTER", 2, 0, "LONG_REGISTER", 0x20000}, // 89
    {"MODBUS", "MODBUS_MODE", 2, 0, "MODBUS_MODE", 0x10000000}, // 90
    {"MODBUS", "MODBUS_RUNLED", 0, 10, nullptr, 0x10000000}, // 91
    {"CCLINK", "CCLINK_ADDRESS", 0, 1, nullptr, 0x1000000}, // 92
    {"CCLINK", "CCLINK_BAUDRATE", 2, 0, "CCLINK_BAUDRATE", 0x1000000}, // 93
    {"DEMAND", "DEMAND_I", 0, 1, nullptr, 0x3080000000}, // 94
    {"DEMAND", "DEMAND_E", 0, 1, nullptr, 0x3080000000}, // 95
    {"DISPLAY_OPTION", "DISPLAY_OPTION_LINE", 2, 0, "LINE", 0x100000000}, // 96
    {"DISPLAY_OPTION", "DISPLAY_OPTION_PHASE_DIR", 2, 0, "PHASE_DIR", 0x100000000}, // 97
    {"DISPLAY_OPTION", "CALC_OPTION_POWER_FORMAT", 2, 0, "POWER_FORMAT", 0xC00000000}, // 98
    {"CALC_OPTION", "CALC_OPTION_PF_SIGN", 2, 0, "PF_SIGN", 0x7080000000}, // 99
    {"CALC_OPTION", "CALC_OPTION_Q_SIGN", 2, 0, "Q_SIGN", 0x7080000000}, // 100
    {"CALC_OPTION", "CALC_OPTION_QN_CALC", 2, 0, "QN_CALC", 0x7080000000}, // 101
    {"CALC_OPTION", "CALC_OPTION_S_CALC", 2, 0, "S_CALC", 0x7080000000}, // 102
    {"CALC_OPTION", "CALC_OPTION_POWER", 2, 0, "P_CALC", 0x7080000000}, // 103
    {"DO1", "DOUT_FUNC", 2, 0, "DOUT", 0x80000000}, // 104
    {"DO1", "DOUT_TYPE", 2, 0, "DIO_TYPE", 0x80000000}, // 105
    {"DI1", "DIN_FUNC", 2, 0, "DIN", 0x1000}, // 106
    {"DI1", "DIN_TYPE", 2, 0, "DIO_TYPE", 0x1000}, // 107
    {"DO2", "DOUT_FUNC", 2, 0, "DOUT", 0x80000000}, // 108
    {"DO2", "DOUT_TYPE", 2, 0, "DIO_TYPE", 0x80000000}, // 109
    {"DO3", "DOUT_FUNC", 2, 0, "DOUT", 0x400}, // 110
    {"DO3", "DOUT_TYPE", 2, 0, "DIO_TYPE", 0x400}, // 111
    {"DO4", "DOUT_FUNC", 2, 0, "DOUT", 0x800}, // 112
    {"DO4", "DOUT_TYPE", 2, 0, "DIO_TYPE", 0x800}, // 113
    {"ENERGY", "ENERGY_PULSE_SRC", 2, 0, "PULSE_SRC", 0x100}, // 114
    {"ENERGY", "ENERGY_RATE", 7, 10, nullptr, 0x100}, // 115
    {"ENERGY", "ENERGY_DURATION", 5, 100, nullptr, 0x100}, // 116
    {"ENERGY", "ENERGY_TARIFF", 2, 0, "ENABLE", 0x2080000000}, // 117
    {"ENERGY2", "ENERGY_PULSE_SRC", 2, 0, "PULSE_SRC", 0x200}, // 118
    {"ENERGY2", "ENERGY_RATE", 7, 10, nullptr, 0x200}, // 119
    {"ENERGY2", "ENERGY_DURATION", 5, 100, nullptr, 0x200}, // 120
    {"ENERGY3", "ENERGY_PULSE_SRC", 2, 0, "PULSE_SRC", 0x400}, // 121
    {"ENERGY3", "ENERGY_RATE", 7, 10, nullptr, 0x400}, // 122
    {"ENERGY3", "ENERGY_DURATION", 5, 100, nullptr, 0x400}, // 123
    {"ENERGY4", "ENERGY_PULSE_SRC", 2, 0, "PULSE_SRC", 0x800}, // 124
    {"ENERGY4", "ENERGY_RATE", 7, 10, nullptr, 0x800}, // 125
    {"ENERGY4", "ENERGY_DURATION", 5, 100, nullptr, 0x800}, // 126
    {"LCDBL", "LCDBL_MODE", 2, 0, "BLMODE", 0x80000000}, // 127
    {"LCDBL", "LCDBL_TIMER", 0, 1, nullptr, 0x80000000}, // 128
    {"LCDBL", "LCDBL_BRIGHTNESS", 0, 1, nullptr, 0x80000000}, // 129
    {"LCDBL", "LCDBL_UPDATE_RATE", 0, 1, nullptr, 0xC00000000}, // 130
    {"DEFAULT", "DEFAULT_TIMER", 0, 1, nullptr, 0x80000000}, // 131
    {"DEFAULT", "DEFAULT_L1TO3", 0, 1, nullptr, 0x80000000}, // 132
    {"DEFAULT", "DEFAULT_L4", 2, 0, "PULSE_SRC", 0x80000000}, // 133
    {"DEFAULT", "DEFAULT_L4S", 2, 0, "SUB_UNIT", 0x80000000}, // 134
    {"SHORTCUT", "SHORTCUT_CLEAR_ALARM", 2, 0, "ENABLE", 0xC00000000}, // 135
    {"ALARM", "ALARM_POWER_ON_DELAY", 0, 1, nullptr, 0x2080000000}, // 136
    {"ALARM", "ALARM_LATCHING", 2, 0, "ENABLE", 0x2080000000}, // 137
};

constexpr Line kAnalogLimitLine = {"AOUT", "AOUT_LIMIT", 2, 0, "ANALOG_LIMIT", 0x10}; // 271

struct AlarmGroup
{
    const char* group;
    std::int32_t scale; // of the high and low limits
    std::uint64_t mask;
};

constexpr std::uint64_t kAlarmMask = 0x2080000000;
constexpr std::uint64_t kNeutralAlarmMask = 0x2120000000;

constexpr AlarmGroup kAlarmGroups[] = {
    {"ALARM_I13", 1000, kAlarmMask},
    {"ALARM_IN", 1000, kNeutralAlarmMask},
    {"ALARM_U1231", 100, kAlarmMask},
    {"ALARM_U1N3N", 100, kAlarmMask},
    {"ALARM_P", 1, kAlarmMask},
    {"ALARM_Q", 1, kAlarmMask},
    {"ALARM_S", 1, kAlarmMask},
    {"ALARM_PF", 10000, kAlarmMask},
    {"ALARM_F", 100, kAlarmMask},
    {"ALARM_I13_AVG", 1000, kAlarmMask},
    {"ALARM_IN_AVG", 1000, kNeutralAlarmMask},
    {"ALARM_P_AVG", 1, kAlarmMask},
    {"ALARM_Q_AVG", 1, kAlarmMask},
    {"ALARM_S_AVG", 1, kAlarmMask},
    {"ALARM_THD_I13", 10, kAlarmMask},
    {"ALARM_THD_IN", 10, kNeutralAlarmMask},
    {"ALARM_THD_U1231", 10, kAlarmMask},
    {"ALARM_THD_U1N3N", 10, kAlarmMask},
    {"ALARM_UT1231", 1, 0x2600000000},
};

constexpr const char* kAnalogOutputGroups[] = {"AOUT1", "AOUT2", "AOUT3", "AOUT4", "AOUT5",
                                               "AOUT6", "AOUT7", "AOUT8", "AOUT9", "AOUT10"};
constexpr std::uint64_t kAnalogOutputMasks[] = {0x10, 0x20, 0x40, 0x80, 0x80, 0x80, 0x80, 0x80, 0x80, 0x80};
constexpr const char* kTableXKeys[] = {"AOUT_TABLE_X_0", "AOUT_TABLE_X_1", "AOUT_TABLE_X_2", "AOUT_TABLE_X_3",
                                       "AOUT_TABLE_X_4", "AOUT_TABLE_X_5", "AOUT_TABLE_X_6", "AOUT_TABLE_X_7",
                                       "AOUT_TABLE_X_8", "AOUT_TABLE_X_9"};
constexpr const char* kTableYKeys[] = {"AOUT_TABLE_Y_0", "AOUT_TABLE_Y_1", "AOUT_TABLE_Y_2", "AOUT_TABLE_Y_3",
                                       "AOUT_TABLE_Y_4", "AOUT_TABLE_Y_5", "AOUT_TABLE_Y_6", "AOUT_TABLE_Y_7",
                                       "AOUT_TABLE_Y_8", "AOUT_TABLE_Y_9"};

using Table = std::array<ParameterTableRow, PARAMETER_COUNT>;

class TableBuilder
{
public:
    constexpr void Add(const char* group, const char* key, std::int32_t type, std::int32_t scale, const char* list,
                       std::uint64_t mask)
    {
        if (m_count >= PARAMETER_COUNT)
            throw "parameter table overflows";
        m_table[m_count++] = ParameterTableRow{group, key, type, scale, list, 0, mask};
    }
    // A 32-bit line gives its row and the high half, which repeats the key
    // as a plain number with the same scale and mask.
    constexpr void Add(const Line& line)
    {
        Add(line.group, line.key, line.type, line.scale, line.list, line.mask);
        if (line.type == PARAMETER_TYPE_NUMBER32)
            Add(line.group, line.key, PARAMETER_TYPE_NUMBER, line.scale, nullptr, line.mask);
    }
    constexpr int Count() const { return m_count; }
    constexpr const Table& Get() const { return m_table; }

private:
    Table m_table{};
    int m_count = 0;
};

constexpr Table BuildTable()
{
    TableBuilder b;
    for (const Line& line : kLines)
        b.Add(line);
    if (b.Count() != 138)
        throw "written-out rows end before 138";

    for (const AlarmGroup& g : kAlarmGroups) {
        b.Add({g.group, "ALARM_HIGH", PARAMETER_TYPE_NUMBER32, g.scale, nullptr, g.mask});
        b.Add({g.group, "ALARM_LOW", PARAMETER_TYPE_NUMBER32, g.scale, nullptr, g.mask});
        b.Add(g.group, "ALARM_SWITCH", PARAMETER_TYPE_LIST, 0, "ALARM_OUT", g.mask);
        b.Add(g.group, "ALARM_HYSTERESIS", PARAMETER_TYPE_NUMBER, 10, nullptr, g.mask);
        b.Add(g.group, "ALARM_ON_DELAY", PARAMETER_TYPE_NUMBER, 1, nullptr, g.mask);
    }
    if (b.Count() != 271)
        throw "alarm rows end before 271";

    b.Add(kAnalogLimitLine);

    for (int ch = 0; ch < 10; ++ch) {
        const char* g = kAnalogOutputGroups[ch];
        const std::uint64_t m = kAnalogOutputMasks[ch];
        b.Add(g, "AOUT_INPUT", PARAMETER_TYPE_LIST, 0, "DISP_VALUE", m);
        b.Add(g, "AOUT_ADJUST_ZERO", PARAMETER_TYPE_NUMBER, 100, nullptr, m);
        b.Add(g, "AOUT_ADJUST_SPAN", PARAMETER_TYPE_NUMBER, 100, nullptr, m);
        b.Add(g, "AOUT_LINEARIZER", PARAMETER_TYPE_LIST, 0, "AOUT_LINEARIZER", m);
        b.Add(g, "AOUT_INPUT0", PARAMETER_TYPE_NUMBER, 100, nullptr, m);
        b.Add(g, "AOUT_OUTPUT0", PARAMETER_TYPE_ANALOG_OUTPUT, 100, nullptr, m);
        b.Add(g, "AOUT_INPUT100", PARAMETER_TYPE_NUMBER, 100, nullptr, m);
        b.Add(g, "AOUT_OUTPUT100", PARAMETER_TYPE_ANALOG_OUTPUT, 100, nullptr, m);
        for (int k = 0; k < 10; ++k) {
            b.Add(g, kTableXKeys[k], PARAMETER_TYPE_NUMBER, 100, nullptr, m);
            b.Add(g, kTableYKeys[k], PARAMETER_TYPE_ANALOG_OUTPUT, 100, nullptr, m);
        }
    }
    if (b.Count() != PARAMETER_COUNT)
        throw "parameter table is not complete";
    return b.Get();
}

constexpr Table kTable = BuildTable();

constexpr int CountType(std::int32_t type)
{
    int count = 0;
    for (const ParameterTableRow& row : kTable)
        count += row.type == type ? 1 : 0;
    return count;
}

constexpr bool HighHalvesFollow()
{
    for (int n = 0; n < PARAMETER_COUNT; ++n) {
        if (kTable[n].type != PARAMETER_TYPE_NUMBER32)
            continue;
        if (n + 1 >= PARAMETER_COUNT)
            return false;
        const ParameterTableRow& high = kTable[n + 1];
        if (high.type != PARAMETER_TYPE_NUMBER || high.capabilityMask != kTable[n].capabilityMask ||
            std::string_view(high.parameterKey) != kTable[n].parameterKey)
            return false;
    }
    return true;
}

constexpr bool ScalesUsable()
{
    for (const ParameterTableRow& row : kTable) {
        const bool scaled = row.type == PARAMETER_TYPE_NUMBER || row.type == PARAMETER_TYPE_NUMBER32 ||
                            row.type == PARAMETER_TYPE_COUNT;
        if (scaled && row.scale < 1)
            return false;
        if ((row.type == PARAMETER_TYPE_LIST) != (row.list != nullptr))
            return false;
    }
    return true;
}

constexpr bool GroupAt(int n, std::string_view group, std::string_view key)
{
    return group == kTable[n].groupKey && key == kTable[n].parameterKey;
}

static_assert(CountType(PARAMETER_TYPE_NUMBER) == 259);
static_assert(CountType(PARAMETER_TYPE_NUMBER32) == 58);
static_assert(CountType(PARAMETER_TYPE_LIST) == 106);
static_assert(CountType(PARAMETER_TYPE_PASSCODE) == 1);
static_assert(CountType(PARAMETER_TYPE_COUNT) == 4);
static_assert(CountType(PARAMETER_TYPE_ANALOG_OUTPUT) == 120);
static_assert(CountType(PARAMETER_TYPE_PULSE_RATE) == 4);
static_assert(HighHalvesFollow());
static_assert(ScalesUsable());
static_assert(GroupAt(29, "PASSCODE", "PASSCODE"));
static_assert(GroupAt(34, "INPUT", "INPUT_VT1") && GroupAt(35, "INPUT", "INPUT_VT1"));
static_assert(GroupAt(83, "MODBUS", "MODBUS_ADDRESS") && GroupAt(136, "ALARM", "ALARM_POWER_ON_DELAY"));
static_assert(GroupAt(138, "ALARM_I13", "ALARM_HIGH") && GroupAt(142, "ALARM_I13", "ALARM_SWITCH"));
static_assert(GroupAt(268, "ALARM_UT1231", "ALARM_SWITCH") && GroupAt(270, "ALARM_UT1231", "ALARM_ON_DELAY"));
static_assert(GroupAt(271, "AOUT", "AOUT_LIMIT") && GroupAt(272, "AOUT1", "AOUT_INPUT"));
static_assert(GroupAt(277, "AOUT1", "AOUT_OUTPUT0") && GroupAt(299, "AOUT1", "AOUT_TABLE_Y_9"));
static_assert(GroupAt(524, "AOUT10", "AOUT_INPUT") && GroupAt(551, "AOUT10", "AOUT_TABLE_Y_9"));

} // namespace

const std::array<ParameterTableRow, PARAMETER_COUNT> g_parameterTable = kTable;

const ParameterTableRow* GetParameterTableRow(int number)
{
    if (number < 0 || number >= PARAMETER_COUNT)
        return nullptr;
    return &g_parameterTable[static_cast<std::size_t>(number)];
}
