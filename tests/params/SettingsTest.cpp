// The parameter set's factory defaults and value semantics.
#include "params/CSettings.h"

#include <gtest/gtest.h>

#include <cstdint>

TEST(SettingsTest, FreshSetHasTheFactoryDefaults)
{
    const CSettings set;
    EXPECT_EQ(set.m_deviceType.GetRow(), 5);
    EXPECT_EQ(set.GetWord(PARAMETER_INPUT_SYSTEM), 5);
    EXPECT_EQ(set.GetDword(PARAMETER_INPUT_VT1), 110u);
    EXPECT_EQ(static_cast<std::int32_t>(set.GetDword(81)), -180);
    EXPECT_EQ(set.GetWord(81), 0xFF4C);
    EXPECT_EQ(set.GetWord(82), 0xFFFF);
    EXPECT_EQ(set.GetDword(194), 6500u);
    EXPECT_EQ(set.GetWord(128), 600);
    EXPECT_EQ(set.GetWord(91), 10);
    // Channel 8 (index 7): assignment 15, input at 0 % -10000; channel 9 inputs -5000 / 5000.
    EXPECT_EQ(set.GetWord(468), 15);
    EXPECT_EQ(static_cast<std::int16_t>(set.GetWord(472)), -10000);
    EXPECT_EQ(static_cast<std::int16_t>(set.GetWord(496 + 4)), -5000);
    EXPECT_EQ(set.GetWord(496 + 6), 5000);
    for (int ch = 0; ch < AOUT_CHANNEL_COUNT; ++ch) {
        const int base = PARAMETER_AOUT_FIRST + PARAMETER_AOUT_CHANNEL_WORDS * ch;
        EXPECT_EQ(set.GetWord(base + 2), 10000);
        EXPECT_EQ(set.GetWord(base + 5), 400);
        EXPECT_EQ(set.GetWord(base + 7), 2000);
        EXPECT_EQ(set.GetWord(base + 27), 400);
        EXPECT_EQ(set.GetWord(base + 26), 0) << "table X points stay 0";
    }
    EXPECT_EQ(g_settings.GetWord(PARAMETER_INPUT_SYSTEM), 5) << "the global set is built with the defaults";
}

TEST(SettingsTest, AssignmentCopiesWordsAndUnitType)
{
    CSettings source;
    source.m_deviceType.SetTypeIndex(2);
    for (int n = 0; n < PARAMETER_COUNT; ++n)
        source.SetWord(n, static_cast<std::uint16_t>(n * 7 + 1));
    CSettings target;
    target = source;
    for (int n = 0; n < PARAMETER_COUNT; ++n)
        ASSERT_EQ(target.GetWord(n), source.GetWord(n));
    EXPECT_EQ(target.m_deviceType.GetRow(), 2);
    EXPECT_EQ(target.m_deviceType.GetOptionBits(), 0x0800);
    // A value: changing the copy leaves the source alone.
    target.SetWord(0, 9);
    EXPECT_EQ(source.GetWord(0), 1);
}

TEST(SettingsTest, WordAccessOutsideTheSetIsHarmless)
{
    CSettings set;
    EXPECT_EQ(set.GetWord(PARAMETER_COUNT), 0);
    EXPECT_EQ(set.GetWord(-1), 0);
    set.SetWord(PARAMETER_COUNT, 1);
    set.SetWord(-5, 1);
    // A 32-bit value at the last word would need a word past the end: neither half is written.
    const std::uint16_t last = set.GetWord(551);
    set.SetDword(551, 0x12345678);
    EXPECT_EQ(set.GetWord(551), last);
    EXPECT_EQ(set.GetDword(551), last);
    set.SetDword(550, 0x12345678);
    EXPECT_EQ(set.GetWord(550), 0x5678);
    EXPECT_EQ(set.GetWord(551), 0x1234);
}
