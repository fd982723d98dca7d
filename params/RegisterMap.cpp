#include "RegisterMap.h"

#include "CSettings.h"
#include "comm/CModbusInterface.h"

namespace {
constexpr RegisterMapRow Row(std::uint32_t first, std::uint32_t count, std::uint32_t parameter,
                             RegisterMapRow::Kind kind, bool endsBlock, std::uint64_t mask)
{
    return RegisterMapRow{first, count, parameter, kind, endsBlock, 0, mask};
}
constexpr auto W = RegisterMapRow::Words16;
constexpr auto D = RegisterMapRow::Values32;

constexpr std::array<RegisterMapRow, REGISTER_MAP_ROWS> kRegisterMap = {{
    Row(5332, 1, 29, W, true, 0x4080000000),
    Row(5600, 3, 31, W, false, 0x7080000000),
    Row(5603, 1, 34, D, false, 0x7080000000),
    Row(5605, 4, 36, W, true, 0x7080000000),
    Row(5609, 1, 40, W, true, 0x4000000000),
    Row(5728, 2, 83, W, true, 0x20000),
    Row(5730, 5, 85, W, true, 0x10020000),
    Row(5986, 4, 99, W, true, 0x7080000000),
    Row(5991, 1, 271, W, true, 0x7080000000),
    Row(5992, 1, 103, W, true, 0x7080000000),
    Row(6240, 1, 114, W, false, 0x100),
    Row(6241, 1, 115, W, true, 0x100),
    Row(6243, 1, 116, W, true, 0x100),
    Row(6244, 1, 117, W, true, 0x2080000000),
    Row(6245, 1, 118, W, false, 0x200),
    Row(6246, 1, 119, W, true, 0x200),
    Row(6248, 1, 120, W, true, 0x200),
    Row(6249, 1, 121, W, false, 0x400),
    Row(6250, 1, 122, W, true, 0x400),
    Row(6252, 1, 123, W, true, 0x400),
    Row(6253, 1, 124, W, false, 0x800),
    Row(6254, 1, 125, W, true, 0x800),
    Row(6256, 1, 126, W, true, 0x800),
    Row(7008, 14, 272, W, true, 0x10),
    Row(7022, 14, 286, W, true, 0x10),
    Row(7038, 14, 300, W, true, 0x20),
    Row(7052, 14, 314, W, true, 0x20),
    Row(7068, 14, 328, W, true, 0x40),
    Row(7082, 14, 342, W, true, 0x40),
    Row(7098, 14, 356, W, true, 0x80),
    Row(7112, 14, 370, W, true, 0x80),
    Row(7128, 14, 384, W, true, 0x80),
    Row(7142, 14, 398, W, true, 0x80),
    Row(7158, 14, 412, W, true, 0x80),
    Row(7172, 14, 426, W, true, 0x80),
    Row(7188, 14, 440, W, true, 0x80),
    Row(7202, 14, 454, W, true, 0x80),
    Row(7218, 14, 468, W, true, 0x80),
    Row(7232, 14, 482, W, true, 0x80),
    Row(7248, 14, 496, W, true, 0x80),
    Row(7262, 14, 510, W, true, 0x80),
    Row(7278, 14, 524, W, true, 0x80),
    Row(7292, 14, 538, W, true, 0x80),
}};

constexpr bool MapFitsTheSet()
{
    for (const RegisterMapRow& row : kRegisterMap) {
        if (row.firstParameter + row.WordCount() > static_cast<std::uint32_t>(PARAMETER_COUNT))
            return false;
    }
    return true;
}
static_assert(MapFitsTheSet(), "every register-map row must stay inside the 552 parameter words");

// The rows of a block apply together (one mask) and fit the download's buffer
// from the block's first register on, so no unit type can run a block past it.
constexpr bool BlocksAreWhole()
{
    std::uint32_t start = kRegisterMap[0].firstRegister;
    for (std::size_t i = 0; i < kRegisterMap.size(); ++i) {
        const RegisterMapRow& row = kRegisterMap[i];
        if (row.firstRegister < start || row.firstRegister + row.WordCount() - start > REGISTER_BLOCK_MAX_WORDS)
            return false;
        if (row.endsBlock) {
            if (i + 1 < kRegisterMap.size())
                start = kRegisterMap[i + 1].firstRegister;
        } else if (i + 1 >= kRegisterMap.size() || kRegisterMap[i + 1].capabilities != row.capabilities) {
            return false;
        }
    }
    return true;
}
static_assert(BlocksAreWhole(), "a download block must apply as a whole and fit its buffer");

bool ReadsHighFirst(CModbusInterface& link, int orderRegister)
{
    std::uint16_t order = 0;
    link.ReadRegisters(orderRegister, 1, &order);
    return order == 1;
}
} // namespace

// Constant-initialised, so that it is ready before any set is built.
constinit const std::array<RegisterMapRow, REGISTER_MAP_ROWS> g_registerMap = kRegisterMap;

bool ReadWordOrderIsHighFirst(CModbusInterface& link)
{
    return ReadsHighFirst(link, REGISTER_WORD_ORDER);
}

bool ReadMonitorWordOrderIsHighFirst(CModbusInterface& link)
{
    return ReadsHighFirst(link, REGISTER_MONITOR_WORD_ORDER);
}
