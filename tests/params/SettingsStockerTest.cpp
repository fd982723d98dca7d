// The change of unit type: each step, its order, and the value stock.
#include "params/CSettings.h"
#include "params/CSettingsStocker.h"
#include "SettingsOfType.h"

#include <gtest/gtest.h>

#include <cstdint>

namespace {

// The words of the six sigma displays, one block from the first item of the
// first display to the last of the last.
constexpr int kFirstVariantWord = DisplaySigmaWordNumber(0, 0);
constexpr int kLastVariantWord = DisplaySigmaWordNumber(DISPLAY_SIGMA_COUNT - 1, DISPLAY_SIGMA_ITEMS - 1);

// Reaches the steps that act only on capability bits no supported type
// carries (the unit families with bits 32 to 36).
class FamilyStocker : public CSettingsStocker
{
public:
    using CSettingsStocker::AdjustToType;
};

constexpr std::uint64_t kBase = CAPABILITY_OUTPUT_4_20MA | CAPABILITY_PULSE1 | CAPABILITY_PULSE2;
constexpr std::uint64_t kFamilyA = kBase | CAPABILITY_BIT32;                         // 32 without 34
constexpr std::uint64_t kFamilyB = kBase | CAPABILITY_BIT33;                         // 33 without 35, 20
constexpr std::uint64_t kBit33Plain = kBase | CAPABILITY_BIT33 | CAPABILITY_BIT35 | CAPABILITY_SIX_SYSTEMS;
constexpr std::uint64_t kBit34 = kBase | CAPABILITY_BIT34 | CAPABILITY_BIT35;

void SetVariantWords(CSettings& s, int first)
{
    for (int n = kFirstVariantWord; n <= kLastVariantWord; ++n)
        s.SetWord(n, static_cast<std::uint16_t>(first + n));
}

} // namespace

TEST(SettingsStockerTest, StartUpWithResetToTypeFive)
{
    CSettings s = OfType(0);
    s.SetWord(PARAMETER_INPUT_SYSTEM, 1);
    s.SetWord(PARAMETER_DEMAND_I, 15);
    s.SetWord(PARAMETER_DEMAND_E, 0);
    s.SetWord(PARAMETER_DEFAULT_L1TO3, 7);
    s.SetWord(AlarmWordNumber(0, ALARM_WORD_SWITCH), 4);
    s.SetWord(AlarmWordNumber(1, ALARM_WORD_SWITCH), 3);
    s.SetWord(AlarmWordNumber(18, ALARM_WORD_SWITCH), 0xFFFF); // compared unsigned
    CSettingsStocker stocker;
    stocker.ChangeDeviceType(5, s, true);
    EXPECT_EQ(s.m_deviceType.GetTypeIndex(), 5);
    EXPECT_EQ(s.GetWord(PARAMETER_INPUT_SYSTEM), 5);
    EXPECT_EQ(s.GetWord(PARAMETER_DEMAND_I), 30);
    EXPECT_EQ(s.GetWord(PARAMETER_DEMAND_E), 30);
    EXPECT_EQ(s.GetWord(PARAMETER_DEFAULT_L1TO3), 0);
    EXPECT_EQ(s.GetWord(AlarmWordNumber(0, ALARM_WORD_SWITCH)), 1);
    EXPECT_EQ(s.GetWord(AlarmWordNumber(1, ALARM_WORD_SWITCH)), 3);
    EXPECT_EQ(s.GetWord(AlarmWordNumber(18, ALARM_WORD_SWITCH)), 1);
}

TEST(SettingsStockerTest, ResetThenClampOnATypeWithFourWiringSystems)
{
    // The reset gives 3P4W (5); the type offers four systems, so it ends as 3.
    CSettings s = OfType(5);
    CSettingsStocker stocker;
    stocker.ChangeDeviceType(0, s, true);
    EXPECT_EQ(s.GetWord(PARAMETER_INPUT_SYSTEM), 3);
}

TEST(SettingsStockerTest, WiringSystemAndDemandWithoutReset)
{
    CSettings s = OfType(5);
    s.SetWord(PARAMETER_INPUT_SYSTEM, 5);
    s.SetWord(PARAMETER_DEMAND_I, 0);
    s.SetWord(PARAMETER_DEMAND_E, 0xFFFF);
    s.SetWord(PARAMETER_DEFAULT_L1TO3, 7);
    CSettingsStocker stocker;
    stocker.ChangeDeviceType(9, s, false); // six systems: kept
    EXPECT_EQ(s.GetWord(PARAMETER_INPUT_SYSTEM), 5);
    EXPECT_EQ(s.GetWord(PARAMETER_DEMAND_I), 1); // a demand word 0 becomes 1 on every change
    EXPECT_EQ(s.GetWord(PARAMETER_DEMAND_E), 0xFFFF);
    EXPECT_EQ(s.GetWord(PARAMETER_DEFAULT_L1TO3), 7);
    stocker.ChangeDeviceType(4, s, false); // four systems
    EXPECT_EQ(s.GetWord(PARAMETER_INPUT_SYSTEM), 3);
    s.SetWord(PARAMETER_INPUT_SYSTEM, 2);
    stocker.ChangeDeviceType(3, s, false);
    EXPECT_EQ(s.GetWord(PARAMETER_INPUT_SYSTEM), 2);
}

TEST(SettingsStockerTest, AnotherOutputRangeResetsEveryOutputPoint)
{
    CSettings s = OfType(0); // 4-20 mA
    for (int ch = 0; ch < AOUT_CHANNEL_COUNT; ++ch) {
        s.SetWord(AnalogOutputWordNumber(ch, AOUT_WORD_OUTPUT0), 500);
        s.SetWord(AnalogOutputWordNumber(ch, AOUT_WORD_OUTPUT100), 1500);
        s.SetWord(AnalogOutputWordNumber(ch, AOUT_WORD_TABLE + 1), 600);
        s.SetWord(AnalogOutputWordNumber(ch, AOUT_WORD_TABLE), 1234);
    }
    const CSettings custom = s;
    CSettingsStocker stocker;

    // Same range bit 16: the points stay.
    stocker.ChangeDeviceType(5, s, false);
    for (int n = PARAMETER_AOUT_FIRST; n < PARAMETER_COUNT; ++n)
        ASSERT_EQ(s.GetWord(n), custom.GetWord(n)) << n;

    // 1-5 V: every output at 0 % and table Y to 1 V, every output at 100 % to 5 V.
    stocker.ChangeDeviceType(4, s, false);
    for (int ch = 0; ch < AOUT_CHANNEL_COUNT; ++ch) {
        EXPECT_EQ(s.GetWord(AnalogOutputWordNumber(ch, AOUT_WORD_OUTPUT0)), 1000) << ch;
        EXPECT_EQ(s.GetWord(AnalogOutputWordNumber(ch, AOUT_WORD_OUTPUT100)), 5000) << ch;
        for (int k = 0; k < AOUT_TABLE_POINTS; ++k) {
            EXPECT_EQ(s.GetWord(AnalogOutputWordNumber(ch, AOUT_WORD_TABLE + 2 * k + 1)), 1000);
            EXPECT_EQ(s.GetWord(AnalogOutputWordNumber(ch, AOUT_WORD_TABLE + 2 * k)), k == 0 ? 1234 : 0); // X untouched
        }
    }

    // 0-1 mA.
    stocker.ChangeDeviceType(1, s, false);
    EXPECT_EQ(s.GetWord(AnalogOutputWordNumber(9, AOUT_WORD_OUTPUT0)), 0);
    EXPECT_EQ(s.GetWord(AnalogOutputWordNumber(9, AOUT_WORD_OUTPUT100)), 10000);
    EXPECT_EQ(s.GetWord(AnalogOutputWordNumber(9, PARAMETER_AOUT_CHANNEL_WORDS - 1)), 0);
}

TEST(SettingsStockerTest, UnknownIndexLeavesTheTypeAndTheOutputs)
{
    CSettings s = OfType(2);
    s.SetWord(AnalogOutputWordNumber(0, AOUT_WORD_OUTPUT0), 123);
    CSettingsStocker stocker;
    stocker.ChangeDeviceType(10, s, false);
    EXPECT_EQ(s.m_deviceType.GetTypeIndex(), 2);
    EXPECT_EQ(s.GetWord(AnalogOutputWordNumber(0, AOUT_WORD_OUTPUT0)), 123);
}

TEST(SettingsStockerTest, FromAnUnknownTypeTheOutputsTakeTheNewDefaults)
{
    CSettings s = OfType(0);
    s.m_deviceType = CDeviceType(6101, 0, 0, 0, 0, 0, 0);
    s.SetWord(AnalogOutputWordNumber(3, AOUT_WORD_OUTPUT100), 123);
    CSettingsStocker stocker;
    stocker.ChangeDeviceType(0, s, false);
    EXPECT_EQ(s.GetWord(AnalogOutputWordNumber(3, AOUT_WORD_OUTPUT100)), 2000);
}

TEST(SettingsStockerTest, ResetOfTheFamilyValues)
{
    FamilyStocker stocker;
    CSettings s = OfType(5);
    stocker.AdjustToType(0, kBase | CAPABILITY_DIPSW | CAPABILITY_BIT35 | CAPABILITY_SIX_SYSTEMS, s, true);
    EXPECT_EQ(s.GetWord(PARAMETER_INPUT_SYSTEM), 3);
    EXPECT_EQ(s.GetWord(PARAMETER_CALC_OPTION_POWER_FORMAT), 1);
    CSettings t = OfType(5);
    stocker.AdjustToType(0, kBase | CAPABILITY_SIX_SYSTEMS, t, true);
    EXPECT_EQ(t.GetWord(PARAMETER_INPUT_SYSTEM), 5);
    EXPECT_EQ(t.GetWord(PARAMETER_CALC_OPTION_POWER_FORMAT), 0);
}

TEST(SettingsStockerTest, DisplayItemsTheNewFamilyLacks)
{
    FamilyStocker stocker;
    CSettings s = OfType(5);
    s.SetWord(PARAMETER_DISPLAY_L1TO3, 325);
    s.SetWord(PARAMETER_DEFAULT_L1TO3, 336);
    s.SetWord(PARAMETER_DISPLAY_L4, 20);
    s.SetWord(PARAMETER_DEFAULT_L4, 19);
    stocker.AdjustToType(kBase, kFamilyA, s, false);
    EXPECT_EQ(s.GetWord(PARAMETER_DISPLAY_L1TO3), 0);
    EXPECT_EQ(s.GetWord(PARAMETER_DEFAULT_L1TO3), 336);
    EXPECT_EQ(s.GetWord(PARAMETER_DISPLAY_L4), 0);
    EXPECT_EQ(s.GetWord(PARAMETER_DEFAULT_L4), 19);

    // Bit 33 without bit 20: three other bands of line 1 to 3 items go.
    s.SetWord(PARAMETER_DISPLAY_L1TO3, 280);
    s.SetWord(PARAMETER_DEFAULT_L1TO3, 1087);
    s.SetWord(PARAMETER_DISPLAY_L4, 0xFFFF);
    stocker.AdjustToType(kBase, kFamilyB, s, false);
    EXPECT_EQ(s.GetWord(PARAMETER_DISPLAY_L1TO3), 0);
    EXPECT_EQ(s.GetWord(PARAMETER_DEFAULT_L1TO3), 0);
    EXPECT_EQ(s.GetWord(PARAMETER_DISPLAY_L4), 0);
    s.SetWord(PARAMETER_DISPLAY_L1TO3, 816);
    s.SetWord(PARAMETER_DISPLAY_L4, 20);
    stocker.AdjustToType(kBase, kBase, s, false); // neither family: nothing changes
    EXPECT_EQ(s.GetWord(PARAMETER_DISPLAY_L1TO3), 816);
    EXPECT_EQ(s.GetWord(PARAMETER_DISPLAY_L4), 20);
}

TEST(SettingsStockerTest, VariantWordsAreCarriedAcrossAChangeAndBack)
{
    FamilyStocker stocker;
    CSettings s = OfType(5);
    SetVariantWords(s, 40); // 44 .. 67: none of them clamped

    // Leaving the bit-33 family stocks its words; the bit-34 family gets its
    // own stock, the factory defaults at first.
    stocker.AdjustToType(kBit33Plain, kBit34, s, false);
    const CSettings defaults;
    for (int n = kFirstVariantWord; n <= kLastVariantWord; ++n)
        EXPECT_EQ(s.GetWord(n), defaults.GetWord(n)) << n;

    SetVariantWords(s, 60);
    stocker.AdjustToType(kBit34, kBit33Plain, s, false);
    for (int n = kFirstVariantWord; n <= kLastVariantWord; ++n)
        EXPECT_EQ(s.GetWord(n), 40 + n) << n;

    stocker.AdjustToType(kBit33Plain, kBit34, s, false);
    for (int n = kFirstVariantWord; n <= kLastVariantWord; ++n)
        EXPECT_EQ(s.GetWord(n), 60 + n) << n;

    // A family without either bit neither stocks nor restores.
    SetVariantWords(s, 80);
    stocker.AdjustToType(kBase, kBase, s, false);
    for (int n = kFirstVariantWord; n <= kLastVariantWord; ++n)
        EXPECT_EQ(s.GetWord(n), 80 + n) << n;
}

TEST(SettingsStockerTest, RestoredWordsAreClampedForFamilyB)
{
    FamilyStocker stocker;
    CSettings s = OfType(5);
    SetVariantWords(s, 0);
    s.SetWord(DisplaySigmaWordNumber(0, 3), 120);
    s.SetWord(DisplaySigmaWordNumber(1, 3), 119);
    s.SetWord(DisplaySigmaWordNumber(2, 3), 0xFFFF);
    s.SetWord(DisplaySigmaWordNumber(0, 1), 11);
    s.SetWord(DisplaySigmaWordNumber(0, 2), 33);
    stocker.AdjustToType(kBit33Plain, kBase, s, false); // stock

    stocker.AdjustToType(kBase, kFamilyB, s, false); // restore into family B without bit 20
    EXPECT_EQ(s.GetWord(DisplaySigmaWordNumber(0, 3)), 0);
    EXPECT_EQ(s.GetWord(DisplaySigmaWordNumber(1, 3)), 119);
    EXPECT_EQ(s.GetWord(DisplaySigmaWordNumber(2, 3)), 0);
    EXPECT_EQ(s.GetWord(DisplaySigmaWordNumber(0, 1)), 0);
    EXPECT_EQ(s.GetWord(DisplaySigmaWordNumber(0, 2)), 0);
    EXPECT_EQ(s.GetWord(DisplaySigmaWordNumber(0, 0)), 4);
}

TEST(SettingsStockerTest, CtSecondaryOnAndOffTheDipSwitchTypes)
{
    FamilyStocker stocker;
    CSettings s = OfType(5);
    stocker.AdjustToType(kBase, kBase | CAPABILITY_DIPSW, s, false);
    EXPECT_EQ(s.GetWord(PARAMETER_INPUT_CT2), 0);
    stocker.AdjustToType(kBase | CAPABILITY_DIPSW, kBase, s, false);
    EXPECT_EQ(s.GetWord(PARAMETER_INPUT_CT2), 5);
    s.SetWord(PARAMETER_INPUT_CT2, 3);
    stocker.AdjustToType(kBase, kBase, s, false);
    EXPECT_EQ(s.GetWord(PARAMETER_INPUT_CT2), 3);
}

TEST(SettingsStockerTest, DigitalInputKeepsADemandOfZeroAndLimitsItsFunction)
{
    FamilyStocker stocker;
    CSettings s = OfType(5);
    s.SetWord(PARAMETER_DEMAND_I, 0);
    s.SetWord(PARAMETER_DIN_FUNC, 3);
    stocker.AdjustToType(kBase, kFamilyA | CAPABILITY_DIGITAL_INPUT1, s, false);
    EXPECT_EQ(s.GetWord(PARAMETER_DEMAND_I), 0);
    EXPECT_EQ(s.GetWord(PARAMETER_DIN_FUNC), 0);
    s.SetWord(PARAMETER_DIN_FUNC, 2);
    stocker.AdjustToType(kBase, kFamilyA | CAPABILITY_DIGITAL_INPUT1, s, false);
    EXPECT_EQ(s.GetWord(PARAMETER_DIN_FUNC), 2);
    s.SetWord(PARAMETER_DIN_FUNC, 3);
    stocker.AdjustToType(kBase, kBase | CAPABILITY_DIGITAL_INPUT1, s, false); // neither family
    EXPECT_EQ(s.GetWord(PARAMETER_DIN_FUNC), 3);
}

TEST(SettingsStockerTest, PulseSourcesAndAlarmOutputsFollowThePulseOutputs)
{
    FamilyStocker stocker;
    CSettings s = OfType(5);
    for (int output = 0; output < PULSE_OUTPUT_COUNT; ++output)
        s.SetWord(PulseOutputWordNumber(output, PULSE_WORD_SOURCE), 9);
    for (int i = 0; i < ALARM_GROUP_COUNT; ++i)
        s.SetWord(AlarmWordNumber(i, ALARM_WORD_SWITCH), static_cast<std::uint16_t>(i % 7));

    // Four pulse outputs in family A: four sources clamped, alarm outputs up to 5 kept.
    stocker.AdjustToType(kBase, kFamilyA | CAPABILITY_PULSE3 | CAPABILITY_PULSE4, s, false);
    for (int output = 0; output < PULSE_OUTPUT_COUNT; ++output)
        EXPECT_EQ(s.GetWord(PulseOutputWordNumber(output, PULSE_WORD_SOURCE)), 0) << output;
    for (int i = 0; i < ALARM_GROUP_COUNT; ++i)
        EXPECT_EQ(s.GetWord(AlarmWordNumber(i, ALARM_WORD_SWITCH)), i % 7 > 5 ? 1 : i % 7) << i;

    // One pulse output outside the families: sources stay, alarm outputs above 2 become 1.
    for (int output = 0; output < 2; ++output)
        s.SetWord(PulseOutputWordNumber(output, PULSE_WORD_SOURCE), 9);
    stocker.AdjustToType(kBase, CAPABILITY_PULSE1, s, false);
    EXPECT_EQ(s.GetWord(PulseOutputWordNumber(0, PULSE_WORD_SOURCE)), 9);
    for (int i = 0; i < ALARM_GROUP_COUNT; ++i)
        EXPECT_LE(s.GetWord(AlarmWordNumber(i, ALARM_WORD_SWITCH)), 2) << i;

    // Two outputs in family B: only the first two sources are looked at.
    s.SetWord(PulseOutputWordNumber(2, PULSE_WORD_SOURCE), 9);
    stocker.AdjustToType(kBase, kFamilyB, s, false);
    EXPECT_EQ(s.GetWord(PulseOutputWordNumber(0, PULSE_WORD_SOURCE)), 0);
    EXPECT_EQ(s.GetWord(PulseOutputWordNumber(1, PULSE_WORD_SOURCE)), 0);
    EXPECT_EQ(s.GetWord(PulseOutputWordNumber(2, PULSE_WORD_SOURCE)), 9);
}

TEST(SettingsStockerTest, AssignmentsTheFirstFourOutputsCannotCarry)
{
    FamilyStocker stocker;
    CSettings s = OfType(5);
    for (int ch = 0; ch < 5; ++ch)
        s.SetWord(AnalogOutputWordNumber(ch, AOUT_WORD_ASSIGNMENT), ch % 2 ? 33 : 11);
    stocker.AdjustToType(kBase, kFamilyA, s, false); // no bit 33: kept
    EXPECT_EQ(s.GetWord(AnalogOutputWordNumber(0, AOUT_WORD_ASSIGNMENT)), 11);
    stocker.AdjustToType(kBase, kFamilyB, s, false); // bit 16, bit 33, no bit 20
    for (int ch = 0; ch < 4; ++ch)
        EXPECT_EQ(s.GetWord(AnalogOutputWordNumber(ch, AOUT_WORD_ASSIGNMENT)), 0) << ch;
    EXPECT_EQ(s.GetWord(AnalogOutputWordNumber(4, AOUT_WORD_ASSIGNMENT)), 11);
}
