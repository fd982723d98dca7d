// The analog-output view over a parameter set: ranges, scaling, texts,
// the characteristic and the checked setters.
#include "foundation/CPrivateException.h"
#include "foundation/Globals.h"
#include "params/CAnalogOutputEnumerationInterface.h"
#include "params/CSettings.h"
#include "SettingsOfType.h"
#include "support/CScriptedPrompts.h"

#include <QLineEdit>

#include <gtest/gtest.h>

#include <cmath>
#include <cstdint>

namespace {

using AO = CAnalogOutputEnumerationInterface;

// Factory default assignments: 1 2 3 5 6 7 11 15 23 27 on channels 0..9.
constexpr int kCurrent = 0;     // class 1
constexpr int kVoltage = 3;     // class 2
constexpr int kActive = 6;      // class 3
constexpr int kReactive = 7;    // class 4, inputs -100..100 %
constexpr int kPowerFactor = 8; // class 6, inputs -50..50 %
constexpr int kFrequency = 9;   // class 7

class AnalogOutputEnumerationTest : public ::testing::Test
{
protected:
    void SetUp() override { g_resourceDatabase.LoadLanguageFile(QStringLiteral("English.lng")); }

    static void SetChannelWord(CSettings& s, int ch, int offset, int value)
    {
        s.SetWord(AnalogOutputWordNumber(ch, offset), static_cast<std::uint16_t>(value));
    }
    static int ChannelWord(const CSettings& s, int ch, int offset)
    {
        return static_cast<std::int16_t>(s.GetWord(AnalogOutputWordNumber(ch, offset)));
    }
    static void SetTable(CSettings& s, int ch, std::initializer_list<int> xs)
    {
        int k = 0;
        for (int x : xs) {
            SetChannelWord(s, ch, AOUT_WORD_TABLE + 2 * k, x);
            SetChannelWord(s, ch, AOUT_WORD_TABLE + 2 * k + 1, 400 + 100 * k);
            ++k;
        }
        SetChannelWord(s, ch, AOUT_WORD_USE_TABLE, 1);
    }

    CScriptedPrompts prompts;
    QLineEdit edit;
};

} // namespace

TEST_F(AnalogOutputEnumerationTest, OutputRangeFollowsTheUnitType)
{
    const struct
    {
        int min, max, default0, default100, scale;
        bool current;
        const char* range;
    } expected[5] = {
        {320, 2080, 400, 2000, 100, true, "4.00 to 20.00 mA"},          // types 0, 5
        {-500, 10500, 0, 10000, 10000, true, "0.0000 to 1.0000 mA"},   // types 1, 6
        {-500, 10500, 0, 10000, 1000, false, "0.000 to 10.000 V"},     // types 2, 7
        {-250, 5250, 0, 5000, 1000, false, "0.000 to 5.000 V"},        // types 3, 8
        {800, 5200, 1000, 5000, 1000, false, "1.000 to 5.000 V"},      // types 4, 9
    };
    for (int type = 0; type < 10; ++type) {
        SCOPED_TRACE(type);
        const auto& e = expected[type % 5];
        CSettings s = OfType(type);
        AO view(&s, false);
        EXPECT_EQ(view.GetRangeMin(), e.min);
        EXPECT_EQ(view.GetRangeMax(), e.max);
        EXPECT_EQ(view.GetDefaultOutput0(), e.default0);
        EXPECT_EQ(view.GetDefaultOutput100(), e.default100);
        EXPECT_EQ(view.GetRangeScale(), e.scale);
        EXPECT_EQ(view.IsCurrentOutput(), e.current);
        EXPECT_EQ(view.GetOutputUnitText(), e.current ? QStringLiteral("mA") : QStringLiteral("V"));
        SetChannelWord(s, 4, AOUT_WORD_OUTPUT0, e.default0);
        SetChannelWord(s, 4, AOUT_WORD_OUTPUT100, e.default100);
        EXPECT_EQ(view.GetOutputRangeText(4), QString::fromLatin1(e.range));
        EXPECT_DOUBLE_EQ(view.GetOutput100Value(4), static_cast<double>(e.default100) / e.scale);
        view.ResetTable(4);
        for (int k = 0; k < AOUT_TABLE_POINTS; ++k) {
            EXPECT_EQ(ChannelWord(s, 4, AOUT_WORD_TABLE + 2 * k), 0);
            EXPECT_EQ(ChannelWord(s, 4, AOUT_WORD_TABLE + 2 * k + 1), e.default0);
        }
    }

    // No range bit at all: the 4-20 mA row.
    CSettings unknown;
    unknown.m_deviceType = CDeviceType(6101, 0, 0, 0, 0, 0, 0);
    AO view(&unknown, false);
    EXPECT_EQ(view.GetRangeScale(), 100);
    EXPECT_TRUE(view.IsCurrentOutput());
}

TEST_F(AnalogOutputEnumerationTest, ScalingTextsOfTheFactoryDefaults)
{
    CSettings s = OfType(5); // CT2 5 A, VT2 110 V, range 150 V, 3P4W, rounded power: 1500 W
    AO view(&s, false);
    EXPECT_DOUBLE_EQ(view.GetRatedPower(), 1500.0);
    EXPECT_EQ(view.GetScalingText(kCurrent), QStringLiteral("0.000 to 5.000 A (0.00 to 100.00 %)"));
    EXPECT_EQ(view.GetScalingText(kVoltage), QStringLiteral("0.0 to 150.0 V (0.00 to 100.00 %)"));
    EXPECT_EQ(view.GetScalingText(kActive), QStringLiteral("0.0 to 1500.0 W (0.00 to 100.00 %)"));
    EXPECT_EQ(view.GetScalingText(kReactive), QStringLiteral("LEAD -1500.0 to LAG 1500.0 var (-100.00 to 100.00 %)"));
    EXPECT_EQ(view.GetScalingText(kPowerFactor), QStringLiteral("LEAD 0.50 to LAG 0.50 PF (-50.00 to 50.00 %)"));
    EXPECT_EQ(view.GetScalingText(kFrequency), QStringLiteral("45.00 to 65.00 Hz (0.00 to 100.00 %)"));
    EXPECT_EQ(view.GetAssignmentText(kFrequency), QStringLiteral("Frequency"));
    EXPECT_EQ(view.GetOutputRangeText(kCurrent), QStringLiteral("4.00 to 20.00 mA"));
    EXPECT_EQ(view.GetZeroAdjustText(kCurrent), QStringLiteral("0.00"));
    EXPECT_EQ(view.GetSpanAdjustText(kCurrent), QStringLiteral("100.00"));

    // Active power that runs negative marks both ends with their direction.
    SetChannelWord(s, kActive, AOUT_WORD_INPUT0, -5000);
    EXPECT_EQ(view.GetScalingText(kActive), QStringLiteral("OUT -750.0 to IN 1500.0 W (-50.00 to 100.00 %)"));
    // Power factor at 0 %.
    SetChannelWord(s, kPowerFactor, AOUT_WORD_INPUT0, 0);
    EXPECT_EQ(view.GetScalingText(kPowerFactor), QStringLiteral("LAG 1.00 to LAG 0.50 PF (0.00 to 50.00 %)"));
}

TEST_F(AnalogOutputEnumerationTest, RatedPowerByWiringSystemAndRounding)
{
    CSettings s = OfType(5);
    AO view(&s, false);
    s.SetWord(PARAMETER_INPUT_SYSTEM, 1); // n = 2, q = 500: (1100 + 250) / 500 x 500
    EXPECT_DOUBLE_EQ(view.GetRatedPower(), 1000.0);
    s.SetWord(PARAMETER_INPUT_SYSTEM, 0);
    EXPECT_DOUBLE_EQ(view.GetRatedPower(), 500.0); // 550 W to a whole multiple of 500 W
    s.SetWord(PARAMETER_CALC_OPTION_POWER, 0);     // no rounding: CT2 x VT2 x f
    EXPECT_DOUBLE_EQ(view.GetRatedPower(), 550.0);
    s.SetWord(PARAMETER_INPUT_SYSTEM, 2);
    EXPECT_NEAR(view.GetRatedPower(), 550.0 * std::sqrt(3.0), 1e-9);
    s.SetWord(PARAMETER_INPUT_SYSTEM, 4);
    EXPECT_DOUBLE_EQ(view.GetRatedPower(), 1650.0);

    // No rated power where it has no meaning, and no division by zero.
    s.SetWord(PARAMETER_INPUT_SYSTEM, 6);
    EXPECT_DOUBLE_EQ(view.GetRatedPower(), 0.0);
    s.SetWord(PARAMETER_CALC_OPTION_POWER, 1);
    EXPECT_DOUBLE_EQ(view.GetRatedPower(), 0.0);
    s.SetWord(PARAMETER_INPUT_SYSTEM, 5);
    s.SetWord(PARAMETER_INPUT_CT2, 0);
    EXPECT_DOUBLE_EQ(view.GetRatedPower(), 0.0);
    EXPECT_EQ(view.GetScalingText(kActive), QStringLiteral("0.0 to 0.0 W (0.00 to 100.00 %)"));
}

TEST_F(AnalogOutputEnumerationTest, AssignmentsOutsideTheClassTableAreUnassigned)
{
    CSettings s = OfType(0);
    AO view(&s, false);
    for (int assignment : {-1, 30, 1000, -32768}) {
        SCOPED_TRACE(assignment);
        SetChannelWord(s, 2, AOUT_WORD_ASSIGNMENT, assignment);
        SetChannelWord(s, 2, AOUT_WORD_INPUT100, 10000);
        EXPECT_EQ(view.GetAssignment(2), assignment); // the stored word is kept
        EXPECT_EQ(AO::AssignmentClass(assignment), 0);
        EXPECT_EQ(view.GetInputLowerLimit(2), 0);
        EXPECT_EQ(view.GetInputUpperLimit(2), 0);
        EXPECT_EQ(view.GetInputUnitText(2), QStringLiteral("%"));
        EXPECT_EQ(view.GetAssignmentText(2), QString());
        EXPECT_EQ(view.GetScalingText(2), QStringLiteral("0 to 0 % (0.00 to 100.00 %)"));
        EXPECT_TRUE(view.BuildGraphAxes(2).isEmpty());
        QString lower, upper;
        view.GetDefaultInputTexts(2, lower, upper);
        EXPECT_EQ(lower, QStringLiteral("0.00"));
        EXPECT_EQ(upper, QStringLiteral("0.00"));
        EXPECT_EQ(view.BuildGraphPoints(2).size(), 2u);
        edit.setText(QStringLiteral("0"));
        QString lowerText;
        EXPECT_FALSE(view.TryStoreInput100(2, &edit, lowerText));
        EXPECT_EQ(view.GetAssignment(2), assignment);
    }
}

TEST_F(AnalogOutputEnumerationTest, AssignmentTableFlagAndDefaults)
{
    CSettings s = OfType(0);
    AO view(&s, false);
    view.SetTableUsed(1, true);
    EXPECT_TRUE(view.IsTableUsed(1));
    view.SetAssignment(1, 23);
    EXPECT_EQ(view.GetAssignment(1), 23);
    EXPECT_FALSE(view.IsTableUsed(1));
    QString lower, upper;
    view.GetDefaultInputTexts(1, lower, upper);
    EXPECT_EQ(lower, QStringLiteral("-50.00"));
    EXPECT_EQ(upper, QStringLiteral("50.00"));
    EXPECT_EQ(view.GetInputLowerLimit(1), -10000);
    EXPECT_TRUE(view.IsTableAllowed(1));
    view.SetAssignment(1, 28);
    EXPECT_FALSE(view.IsTableAllowed(1));
    EXPECT_EQ(view.GetInputUnitText(1), QStringLiteral("var"));
    view.SetAssignment(1, 29);
    EXPECT_FALSE(view.IsTableAllowed(1));
    view.SetAssignment(1, 12);
    EXPECT_EQ(view.GetInputLowerLimit(1), -12000);
    EXPECT_EQ(view.GetInputUpperLimit(1), 12000);
}

TEST_F(AnalogOutputEnumerationTest, ChannelsOutsideTheTenTouchNoWord)
{
    CSettings s = OfType(0);
    const CSettings before = s;
    AO view(&s, false);
    EXPECT_EQ(AnalogOutputWordNumber(-1, 0), -1);
    EXPECT_EQ(AnalogOutputWordNumber(10, 0), -1);
    EXPECT_EQ(AnalogOutputWordNumber(9, 27), 551);
    view.SetAssignment(-1, 5);
    view.SetAssignment(10, 5);
    view.ResetTable(10);
    EXPECT_EQ(view.GetAssignment(10), 0);
    for (int n = 0; n < PARAMETER_COUNT; ++n)
        ASSERT_EQ(s.GetWord(n), before.GetWord(n)) << n;
}

TEST_F(AnalogOutputEnumerationTest, TableRunsEndWhereTheInputStopsRising)
{
    CSettings s = OfType(0);
    AO view(&s, false);

    // Rises to point 3, then falls.
    SetTable(s, 2, {0, 1000, 2000, 3000, 2500, 4000, 5000, 6000, 7000, 8000});
    auto points = view.BuildGraphPoints(2);
    ASSERT_EQ(points.size(), 4u);
    EXPECT_FLOAT_EQ(points[3].x, 30.0f);
    EXPECT_FLOAT_EQ(points[3].y, 7.0f); // Y_3 = 700 in hundredths of a mA
    EXPECT_DOUBLE_EQ(view.GetInput0Value(2), 0.0);
    EXPECT_DOUBLE_EQ(view.GetInput100Value(2), 30.0);
    EXPECT_EQ(view.GetEffectiveInput100Text(2), QStringLiteral("30.00"));
    EXPECT_EQ(view.GetInput100Text(2), QStringLiteral("100.00")); // the stored word, table or not

    // X_1 not above X_0: the first point only, drawn three times.
    SetTable(s, 2, {1000, 1000, 2000});
    points = view.BuildGraphPoints(2);
    ASSERT_EQ(points.size(), 3u);
    for (const auto& p : points) {
        EXPECT_FLOAT_EQ(p.x, 10.0f);
        EXPECT_FLOAT_EQ(p.y, 4.0f);
    }
    EXPECT_DOUBLE_EQ(view.GetInput0Value(2), 10.0);
    EXPECT_DOUBLE_EQ(view.GetInput100Value(2), 10.0);

    // The last channel rises through all ten points; its X_9 is the last word of the set.
    SetTable(s, 9, {-1000, 0, 1000, 2000, 3000, 4000, 5000, 6000, 7000, 12000});
    EXPECT_DOUBLE_EQ(view.GetInput100Value(9), 120.0);
    EXPECT_EQ(view.BuildGraphPoints(9).size(), 10u);
    EXPECT_DOUBLE_EQ(view.GetTableY(9, 9), 13.0);
    EXPECT_DOUBLE_EQ(view.GetTableX(9, 10), 0.0);
}

TEST_F(AnalogOutputEnumerationTest, TablePointsComeFromTheWordsEvenForAnUnknownUnit)
{
    CSettings s = OfType(0);
    s.m_deviceType = CDeviceType(6101, 0, 0, 0, 0, 0, 0); // no parameter applies to it
    AO view(&s, false);
    SetTable(s, 0, {1234, 2000});
    EXPECT_DOUBLE_EQ(view.GetTableX(0, 0), 12.34);
    EXPECT_DOUBLE_EQ(view.GetTableY(0, 1), 5.0);
    EXPECT_DOUBLE_EQ(view.GetInput0Value(0), 12.34);
    EXPECT_EQ(view.GetEffectiveInput100Text(0), QStringLiteral("20.00"));
}

TEST_F(AnalogOutputEnumerationTest, FourQuadrantCharacteristic)
{
    CSettings s = OfType(0);
    AO view(&s, false);
    view.SetAssignment(4, 28);
    SetChannelWord(s, 4, AOUT_WORD_INPUT0, -10000);
    SetChannelWord(s, 4, AOUT_WORD_INPUT100, 10000);
    const float expected[6][2] = {{-100, 4}, {-100, 4}, {0, 12}, {0, 12}, {100, 20}, {100, 20}};
    auto points = view.BuildGraphPoints(4);
    ASSERT_EQ(points.size(), 6u);
    for (int i = 0; i < 6; ++i) {
        EXPECT_FLOAT_EQ(points[i].x, expected[i][0]) << i;
        EXPECT_FLOAT_EQ(points[i].y, expected[i][1]) << i;
    }
    EXPECT_EQ(view.BuildGraphAxes(4),
              QStringList({"1500", "LEAD OUT", "0", "LAG OUT", "1500", "LEAD IN", "0", "LAG IN", "1500"}));

    // Reversed inputs run the axis from +100 to -100.
    SetChannelWord(s, 4, AOUT_WORD_INPUT0, 10000);
    SetChannelWord(s, 4, AOUT_WORD_INPUT100, -10000);
    points = view.BuildGraphPoints(4);
    EXPECT_FLOAT_EQ(points[0].x, 100.0f);
    EXPECT_FLOAT_EQ(points[2].x, 0.0f);
    EXPECT_FLOAT_EQ(points[5].x, -100.0f);
    EXPECT_EQ(view.BuildGraphAxes(4),
              QStringList({"1500", "LAG OUT", "0", "LEAD OUT", "1500", "LAG IN", "0", "LEAD IN", "1500"}));

    view.SetAssignment(4, 29);
    SetChannelWord(s, 4, AOUT_WORD_INPUT0, -5000);
    SetChannelWord(s, 4, AOUT_WORD_INPUT100, 5000);
    EXPECT_EQ(view.BuildGraphAxes(4),
              QStringList({"0.00", "LEAD OUT", "1.00", "LAG OUT", "0.00", "LEAD IN", "1.00", "LAG IN", "0.00"}));
}

TEST_F(AnalogOutputEnumerationTest, AxisLabelsByClass)
{
    CSettings s = OfType(5);
    AO view(&s, false);
    EXPECT_EQ(view.BuildGraphAxes(kCurrent),
              QStringList({"0.000", "", "1.250", "", "2.500", "", "3.750", "", "5.000"}));
    EXPECT_EQ(view.BuildGraphAxes(kActive),
              QStringList({"0.0", "", "375.0", "", "750.0", "", "1125.0", "", "1500.0"}));
    EXPECT_EQ(view.BuildGraphAxes(kReactive),
              QStringList({"-1500.0", "", "LEAD", "", "0.0", "", "LAG", "", "1500.0"}));
    EXPECT_EQ(view.BuildGraphAxes(kPowerFactor),
              QStringList({"0.50", "", "LEAD", "", "1.00", "", "LAG", "", "0.50"}));
    EXPECT_EQ(view.BuildGraphAxes(kFrequency),
              QStringList({"45.00", "", "50.00", "", "55.00", "", "60.00", "", "65.00"}));
    SetChannelWord(s, kActive, AOUT_WORD_INPUT0, -10000);
    EXPECT_EQ(view.BuildGraphAxes(kActive),
              QStringList({"-1500.0", "", "OUT", "", "0.0", "", "IN", "", "1500.0"}));
}

TEST_F(AnalogOutputEnumerationTest, CheckedSettersStoreWithinTheirLimits)
{
    CSettings s = OfType(0);
    AO view(&s, false);
    const struct
    {
        void (AO::*store)(int, QLineEdit*);
        int offset;
        const char* accepted;
        int stored;
        const char* rejected;
        const char* message;
    } cases[] = {
        {&AO::StoreZeroAdjust, AOUT_WORD_ADJUST_ZERO, "-5", -500, "5.01",
         "Adjust zero (%): enter a value from -5 to 5."},
        {&AO::StoreSpanAdjust, AOUT_WORD_ADJUST_SPAN, "105", 10500, "94.99",
         "Adjust span (%): enter a value from 95 to 105."},
        {&AO::StoreInput0, AOUT_WORD_INPUT0, "120", 12000, "-0.01",
         "Scaling lower input (%): enter a value from 0 to 120."},
        {&AO::StoreInput100, AOUT_WORD_INPUT100, "0.005", 1, "120.01",
         "Scaling upper input (%): enter a value from 0 to 120."},
        {&AO::StoreOutput0, AOUT_WORD_OUTPUT0, "3.2", 320, "3.19",
         "Output at lower input: enter a value from 3.2 to 20.8."},
        {&AO::StoreOutput100, AOUT_WORD_OUTPUT100, "20.8", 2080, "20.81",
         "Output at upper input: enter a value from 3.2 to 20.8."},
    };
    for (const auto& c : cases) {
        SCOPED_TRACE(c.accepted);
        edit.setText(QString::fromLatin1(c.accepted));
        (view.*c.store)(kCurrent, &edit);
        EXPECT_EQ(ChannelWord(s, kCurrent, c.offset), c.stored);

        edit.setText(QString::fromLatin1(c.rejected));
        try {
            (view.*c.store)(kCurrent, &edit);
            ADD_FAILURE() << "accepted " << c.rejected;
        } catch (const CPrivateException& e) {
            EXPECT_EQ(e.GetText(), QString::fromUtf8(c.message));
        }
        EXPECT_EQ(ChannelWord(s, kCurrent, c.offset), c.stored);
    }

    edit.setText(QStringLiteral("1 mA"));
    EXPECT_THROW(view.StoreOutput0(kCurrent, &edit), CPrivateException);
    EXPECT_EQ(ChannelWord(s, kCurrent, AOUT_WORD_OUTPUT0), 320);
    EXPECT_EQ(prompts.Count(), 0u); // the setters only throw; callers show
}

TEST_F(AnalogOutputEnumerationTest, OutputLimitsFollowTheRangeAndNegativeWordsAreKept)
{
    CSettings s = OfType(1); // 0-1 mA, divisor 10000
    AO view(&s, false);
    edit.setText(QStringLiteral("-0.05"));
    view.StoreOutput0(0, &edit);
    EXPECT_EQ(s.GetWord(AnalogOutputWordNumber(0, AOUT_WORD_OUTPUT0)), 0xFE0C);
    EXPECT_EQ(view.GetOutput0Text(0), QStringLiteral("-0.0500"));
    edit.setText(QStringLiteral("1.0501"));
    EXPECT_THROW(view.StoreOutput100(0, &edit), CPrivateException);

    CSettings v = OfType(4); // 1-5 V
    AO view15(&v, false);
    edit.setText(QStringLiteral("0.8"));
    view15.StoreOutput0(0, &edit);
    EXPECT_EQ(ChannelWord(v, 0, AOUT_WORD_OUTPUT0), 800);
    edit.setText(QStringLiteral("0.799"));
    EXPECT_THROW(view15.StoreOutput0(0, &edit), CPrivateException);
}

TEST_F(AnalogOutputEnumerationTest, ShowErrorsSelectsTheRejectedText)
{
    CSettings s = OfType(0);
    {
        AO quiet(&s, false);
        edit.setText(QStringLiteral("9"));
        edit.deselect();
        EXPECT_THROW(quiet.StoreZeroAdjust(0, &edit), CPrivateException);
        EXPECT_FALSE(edit.hasSelectedText());
    }
    AO loud(&s, true);
    edit.setText(QStringLiteral("9"));
    edit.deselect();
    EXPECT_THROW(loud.StoreZeroAdjust(0, &edit), CPrivateException);
    EXPECT_EQ(edit.selectedText(), QStringLiteral("9"));
}

TEST_F(AnalogOutputEnumerationTest, TypingTheUpperInputMirrorsTheLowerOne)
{
    CSettings s = OfType(5);
    AO view(&s, true); // silent whatever the flag
    QString lower = QStringLiteral("unchanged");

    edit.setText(QStringLiteral("30"));
    EXPECT_TRUE(view.TryStoreInput100(kReactive, &edit, lower));
    EXPECT_EQ(ChannelWord(s, kReactive, AOUT_WORD_INPUT100), 3000);
    EXPECT_EQ(lower, QStringLiteral("-30.00"));

    edit.setText(QStringLiteral("20"));
    EXPECT_TRUE(view.TryStoreInput100(kPowerFactor, &edit, lower));
    EXPECT_EQ(lower, QStringLiteral("-20.00"));

    EXPECT_TRUE(view.TryStoreInput100(kCurrent, &edit, lower));
    EXPECT_EQ(lower, QStringLiteral("0.00"));

    lower = QStringLiteral("unchanged");
    edit.setText(QStringLiteral("30"));
    EXPECT_FALSE(view.TryStoreInput100(kFrequency, &edit, lower));
    EXPECT_EQ(ChannelWord(s, kFrequency, AOUT_WORD_INPUT100), 3000); // stored, no text
    EXPECT_EQ(lower, QStringLiteral("unchanged"));

    for (const char* bad : {"abc", "130", ""}) {
        edit.setText(QString::fromLatin1(bad));
        edit.deselect();
        EXPECT_FALSE(view.TryStoreInput100(kReactive, &edit, lower)) << bad;
        EXPECT_EQ(ChannelWord(s, kReactive, AOUT_WORD_INPUT100), 3000);
        EXPECT_FALSE(edit.hasSelectedText());
    }
    EXPECT_EQ(lower, QStringLiteral("unchanged"));
    EXPECT_EQ(prompts.Count(), 0u);
}
