#include "CSettings.h"

#include <cstddef>

CSettings g_settings;

namespace {
struct DefaultWord
{
    int number;
    std::uint16_t value;
};

struct DefaultDword
{
    int number;
    std::int32_t value;
};

constexpr DefaultWord kDefaultWords[] = {
    {4, 1},   {5, 3},   {6, 6},   {7, 100}, {8, 1},    {9, 3},   {10, 2},  {11, 100}, {12, 1},  {13, 4},
    {14, 2},  {15, 100}, {16, 1}, {17, 5},  {18, 7},   {19, 100}, {20, 3}, {21, 8},   {22, 9},  {23, 10},
    {24, 3},  {25, 12}, {26, 13}, {27, 14}, {31, 5},   {32, 5},  {33, 5},  {36, 110}, {38, 10}, {39, 10},
    {40, 150}, {41, 5}, {43, 10}, {44, 5},  {83, 1},   {84, 5},  {85, 1},  {87, 15},  {88, 35}, {91, 10},
    {92, 1},  {93, 4},  {94, 30}, {95, 30}, {103, 1},  {116, 1}, {118, 9}, {120, 1},  {123, 1}, {126, 1},
    {128, 600}, {129, 2}, {135, 1},
};

constexpr DefaultDword kDefaultDwords[] = {
    {34, 110},  {47, 5000},  {51, 30000}, {55, 1500}, {59, 1500}, {63, 1500}, {67, 10000},
    {71, 6500}, {73, 4500},  {75, 1000},  {79, 180},  {81, -180}, {194, 6500}, {196, 4500},
};

// Per analog-output channel: assignment, input at 0 % and input at 100 %.
struct ChannelDefaults
{
    std::int16_t assignment;
    std::int16_t input0;
    std::int16_t input100;
};

constexpr ChannelDefaults kChannelDefaults[AOUT_CHANNEL_COUNT] = {
    {1, 0, 10000},  {2, 0, 10000},  {3, 0, 10000},      {5, 0, 10000},     {6, 0, 10000},
    {7, 0, 10000},  {11, 0, 10000}, {15, -10000, 10000}, {23, -5000, 5000}, {27, 0, 10000},
};

// Word offsets inside a channel's block.
constexpr int kOffsetAssignment = 0;
constexpr int kOffsetSpan = 2;
constexpr int kOffsetInput0 = 4;
constexpr int kOffsetOutput0 = 5;
constexpr int kOffsetInput100 = 6;
constexpr int kOffsetOutput100 = 7;
constexpr int kOffsetFirstTableY = 9;
constexpr int kTablePoints = 10;

bool IsWordNumber(int number)
{
    return number >= 0 && number < PARAMETER_COUNT;
}
} // namespace

CSettings::CSettings()
{
    m_deviceType.SetTypeIndex(5);
    SetDefaults();
}

void CSettings::SetDefaults()
{
    for (const DefaultWord& d : kDefaultWords)
        SetWord(d.number, d.value);
    for (const DefaultDword& d : kDefaultDwords)
        SetDword(d.number, static_cast<std::uint32_t>(d.value));
    for (int ch = 0; ch < AOUT_CHANNEL_COUNT; ++ch) {
        const int base = PARAMETER_AOUT_FIRST + PARAMETER_AOUT_CHANNEL_WORDS * ch;
        const ChannelDefaults& c = kChannelDefaults[ch];
        SetWord(base + kOffsetAssignment, static_cast<std::uint16_t>(c.assignment));
        SetWord(base + kOffsetSpan, 10000);
        SetWord(base + kOffsetInput0, static_cast<std::uint16_t>(c.input0));
        SetWord(base + kOffsetOutput0, 400);
        SetWord(base + kOffsetInput100, static_cast<std::uint16_t>(c.input100));
        SetWord(base + kOffsetOutput100, 2000);
        for (int k = 0; k < kTablePoints; ++k)
            SetWord(base + kOffsetFirstTableY + 2 * k, 400);
    }
}

std::uint16_t CSettings::GetWord(int number) const
{
    return IsWordNumber(number) ? m_words[static_cast<std::size_t>(number)] : 0;
}

void CSettings::SetWord(int number, std::uint16_t value)
{
    if (IsWordNumber(number))
        m_words[static_cast<std::size_t>(number)] = value;
}

std::uint32_t CSettings::GetDword(int number) const
{
    return static_cast<std::uint32_t>(GetWord(number)) | (static_cast<std::uint32_t>(GetWord(number + 1)) << 16);
}

void CSettings::SetDword(int number, std::uint32_t value)
{
    // Both halves or neither: a pair that straddles the end is not half written.
    if (!IsWordNumber(number) || !IsWordNumber(number + 1))
        return;
    SetWord(number, static_cast<std::uint16_t>(value & 0xFFFF));
    SetWord(number + 1, static_cast<std::uint16_t>(value >> 16));
}

bool CSettings::HasCapability(std::uint32_t low, std::uint32_t high) const
{
    return m_deviceType.HasCapability(low, high);
}
