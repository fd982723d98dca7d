#pragma once
// What every one of the 552 parameter words means: its group and name keys
// in the language file, how its value is shown and which unit types it
// applies to (a row applies when its mask shares a bit with the unit's
// capability mask).
#include "CSettings.h"

#include <array>
#include <cstdint>

enum ParameterType : std::int32_t
{
    PARAMETER_TYPE_NUMBER = 0,        // 16 bits signed, shown divided by the scale
    PARAMETER_TYPE_NUMBER32 = 1,      // 32 bits signed over this word (low) and the next (high)
    PARAMETER_TYPE_LIST = 2,          // item (word) of the row's language list
    PARAMETER_TYPE_PASSCODE = 3,      // always masked
    PARAMETER_TYPE_COUNT = 5,         // 16 bits unsigned, shown multiplied by the scale
    PARAMETER_TYPE_ANALOG_OUTPUT = 6, // divided by the divisor of the unit's output range
    PARAMETER_TYPE_PULSE_RATE = 7,    // a pulse weight choice
};

struct ParameterTableRow
{
    const char* groupKey;     // section "group"
    const char* parameterKey; // section "parameter"
    std::int32_t type;        // ParameterType
    std::int32_t scale;       // divisor (types 0, 1), multiplier (type 5), 0 for lists
    const char* list;         // language list of a choice, or nullptr
    std::uint32_t reserved;
    std::uint64_t capabilityMask;
};

// Row n describes parameter number n.
extern const std::array<ParameterTableRow, PARAMETER_COUNT> g_parameterTable;

// The row of parameter number n; nullptr outside 0..551.
const ParameterTableRow* GetParameterTableRow(int number);
