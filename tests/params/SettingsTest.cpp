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
    EXPECT_EQ(static_cast<std::int32_t>(set.GetDword(PARAMETER_BAR_THETA0)), -180);
    EXPECT_EQ(set.GetWord(PARAMETER_BAR_THETA0), 0xFF4C);
    EXPECT_EQ(set.GetWord(PARAMETER_BAR_THETA0 + 1), 0xFFFF);
    EXPECT_EQ(set.GetDword(AlarmWordNumber(8, ALARM_WORD_HIGH)), 6500u); // frequency
    EXPECT_EQ(set.GetWord(PARAMETER_LCDBL_TIMER), 600);
    EXPECT_EQ(set.GetWord(PARAMETER_MODBUS_RUNLED), 10);
    // Channel 8 (index 7): assignment 15, input at 0 % -10000; channel 9 inputs -5000 / 5000.
    EXPECT_EQ(set.GetWord(AnalogOutputWordNumber(7, AOUT_WORD_ASSIGNMENT)), 15);
    EXPECT_EQ(static_cast<std::int16_t>(set.GetWord(AnalogOutputWordNumber(7, AOUT_WORD_INPUT0))), -10000);
    EXPECT_EQ(static_cast<std::int16_t>(set.GetWord(AnalogOutputWordNumber(8, AOUT_WORD_INPUT0))), -5000);
    EXPECT_EQ(set.GetWord(AnalogOutputWordNumber(8, AOUT_WORD_INPUT100)), 5000);
    for (int ch = 0; ch < AOUT_CHANNEL_COUNT; ++ch) {
        const auto word = [&](int offset) { return set.GetWord(AnalogOutputWordNumber(ch, offset)); };
        EXPECT_EQ(word(AOUT_WORD_ADJUST_SPAN), 10000);
        EXPECT_EQ(word(AOUT_WORD_OUTPUT0), 400);
        EXPECT_EQ(word(AOUT_WORD_OUTPUT100), 2000);
        EXPECT_EQ(word(AOUT_WORD_TABLE + 2 * 9 + 1), 400);
        EXPECT_EQ(word(AOUT_WORD_TABLE + 2 * 9), 0) << "table X points stay 0";
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
    target.SetWord(PARAMETER_PROTECT_OPERATION, 9);
    EXPECT_EQ(source.GetWord(PARAMETER_PROTECT_OPERATION), 1);
}

TEST(SettingsTest, WordAccessOutsideTheSetIsHarmless)
{
    CSettings set;
    EXPECT_EQ(set.GetWord(PARAMETER_COUNT), 0);
    EXPECT_EQ(set.GetWord(-1), 0);
    set.SetWord(PARAMETER_COUNT, 1);
    set.SetWord(-5, 1);
    // A 32-bit value at the last word would need a word past the end: neither half is written.
    const std::uint16_t last = set.GetWord(PARAMETER_COUNT - 1);
    set.SetDword(PARAMETER_COUNT - 1, 0x12345678);
    EXPECT_EQ(set.GetWord(PARAMETER_COUNT - 1), last);
    EXPECT_EQ(set.GetDword(PARAMETER_COUNT - 1), last);
    set.SetDword(PARAMETER_COUNT - 2, 0x12345678);
    EXPECT_EQ(set.GetWord(PARAMETER_COUNT - 2), 0x5678);
    EXPECT_EQ(set.GetWord(PARAMETER_COUNT - 1), 0x1234);
}
