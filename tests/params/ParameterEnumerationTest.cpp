// The parameter catalogue against the parameter table and the language files.
#include "foundation/Globals.h"
#include "params/CParameterEnumerationInterface.h"
#include "params/CSettings.h"
#include "params/ParameterTable.h"
#include "SettingsOfType.h"

#include <gtest/gtest.h>

#include <clocale>
#include <set>
#include <string>

namespace {

class ParameterEnumerationTest : public ::testing::Test
{
protected:
    void SetUp() override { g_resourceDatabase.LoadLanguageFile(QStringLiteral("English.lng")); }

    CParameterEnumerationInterface catalogue;
};

// The words of the first pulse output and the first analog-output channel
// that the cases look at.
constexpr int kPulseWeight = PulseOutputWordNumber(0, PULSE_WORD_RATE);
constexpr int kPulseDuration = PulseOutputWordNumber(0, PULSE_WORD_DURATION);
constexpr int kOutputAt0 = AnalogOutputWordNumber(0, AOUT_WORD_OUTPUT0);

// Which parameters apply to every supported type, from the capability bits
// the ten types carry (4-9, 16-22, 38, 56): passcode, input, calculation
// options, pulse outputs 1 and 2, the analog-output limit and all ten
// analog-output channels.
std::set<int> SupportedParameters()
{
    std::set<int> numbers = {PARAMETER_PASSCODE, PARAMETER_AOUT_LIMIT};
    for (int n = PARAMETER_INPUT_SYSTEM; n <= PARAMETER_INPUT_V_RANGE; ++n)
        numbers.insert(n);
    for (int n = PARAMETER_CALC_OPTION_PF_SIGN; n <= PARAMETER_CALC_OPTION_POWER; ++n)
        numbers.insert(n);
    for (int output : {0, 1})
        for (int offset = PULSE_WORD_SOURCE; offset <= PULSE_WORD_DURATION; ++offset)
            numbers.insert(PulseOutputWordNumber(output, offset));
    for (int n = PARAMETER_AOUT_FIRST; n < PARAMETER_COUNT; ++n)
        numbers.insert(n);
    return numbers;
}

} // namespace

TEST_F(ParameterEnumerationTest, EveryRowAppliesExactlyToTheParametersOfTheSupportedTypes)
{
    const std::set<int> expected = SupportedParameters();
    ASSERT_EQ(expected.size(), 303u);
    for (int type = 0; type < 10; ++type) {
        const CSettings s = OfType(type);
        int applicable = 0;
        for (int n = 0; n < PARAMETER_COUNT; ++n) {
            const bool applies = expected.count(n) != 0;
            SCOPED_TRACE(testing::Message() << "type " << type << " parameter " << n);
            EXPECT_EQ(catalogue.GetApplicability(n, s), applies ? 0 : 2);
            applicable += applies ? 1 : 0;
            // Texts of rows that do not apply are empty; the others say something.
            EXPECT_EQ(catalogue.GetValueText(n, s).isEmpty(), !applies);
        }
        EXPECT_EQ(applicable, 303);
    }
}

TEST_F(ParameterEnumerationTest, EveryRowNamesItsGroupAndParameterInBothLanguages)
{
    for (const char* file : {"English.lng", "Japanese.lng"}) {
        g_resourceDatabase.LoadLanguageFile(QString::fromLatin1(file));
        for (int n = 0; n < PARAMETER_COUNT; ++n) {
            SCOPED_TRACE(testing::Message() << file << " parameter " << n);
            EXPECT_FALSE(catalogue.GetGroupName(n).isEmpty());
            EXPECT_FALSE(catalogue.GetParameterName(n).isEmpty());
            const ParameterTableRow* row = GetParameterTableRow(n);
            if (row->list) {
                EXPECT_FALSE(g_resourceDatabase.GetListText(QString::fromLatin1(row->list), 0).isEmpty());
            }
        }
    }
}

TEST_F(ParameterEnumerationTest, GroupsFollowTheTableOrder)
{
    EXPECT_EQ(catalogue.GetGroupName(PARAMETER_PROTECT_OPERATION), QStringLiteral("Display"));
    EXPECT_EQ(catalogue.GetGroupName(PARAMETER_INPUT2_CT1), QStringLiteral("Input (current sensor)"));
    EXPECT_EQ(catalogue.GetParameterName(PARAMETER_INPUT2_CT1), catalogue.GetParameterName(PARAMETER_INPUT_CT1));
    EXPECT_EQ(catalogue.GetGroupName(AlarmWordNumber(1, ALARM_WORD_HIGH)), QStringLiteral("Alarm: neutral current IN"));
    EXPECT_EQ(catalogue.GetParameterName(AlarmWordNumber(1, ALARM_WORD_LOW)), QStringLiteral("Lower limit"));
    EXPECT_EQ(catalogue.GetGroupName(AnalogOutputWordNumber(0, PARAMETER_AOUT_CHANNEL_WORDS - 1)),
              QStringLiteral("Analog output 1"));
    EXPECT_EQ(catalogue.GetGroupName(AnalogOutputWordNumber(1, AOUT_WORD_ASSIGNMENT)),
              QStringLiteral("Analog output 2"));
    EXPECT_EQ(catalogue.GetParameterName(AnalogOutputWordNumber(9, AOUT_WORD_TABLE + 2 * 9 + 1)),
              QStringLiteral("Table point 9, output Y"));
    EXPECT_TRUE(catalogue.GetGroupName(-1).isEmpty());
    EXPECT_TRUE(catalogue.GetParameterName(PARAMETER_COUNT).isEmpty());

    g_resourceDatabase.CreateEmpty();
    EXPECT_TRUE(catalogue.GetGroupName(PARAMETER_PROTECT_OPERATION).isEmpty());
}

TEST_F(ParameterEnumerationTest, ValueTextsOfTheFactoryDefaults)
{
    const CSettings s = OfType(5);
    EXPECT_EQ(catalogue.GetValueText(PARAMETER_INPUT_CUTOUT_I, s), QStringLiteral("1.0")); // scale 10
    EXPECT_EQ(catalogue.GetValueText(PARAMETER_INPUT_VT1, s), QStringLiteral("110"));      // 32 bits, scale 1
    EXPECT_EQ(catalogue.GetValueText(PARAMETER_BAR_THETA0, s), QString());       // a bar graph: applies to none
    EXPECT_EQ(catalogue.GetValueText(kPulseDuration, s), QStringLiteral("100")); // count times 100
    EXPECT_EQ(catalogue.GetValueText(PARAMETER_PASSCODE, s), QStringLiteral("****"));
    EXPECT_EQ(catalogue.GetValueText(kPulseWeight, s), QStringLiteral("0.001")); // pulse weight choice 0
    EXPECT_EQ(catalogue.GetValueText(PARAMETER_CALC_OPTION_POWER, s), QStringLiteral("Standard (Rounding)"));
    EXPECT_EQ(catalogue.GetValueText(PARAMETER_INPUT_FREQ_DETECT, s), QStringLiteral("Voltage input"));
    EXPECT_EQ(catalogue.GetValueText(AnalogOutputWordNumber(0, AOUT_WORD_ASSIGNMENT), s), QStringLiteral("Current I1"));
    EXPECT_EQ(catalogue.GetValueText(AnalogOutputWordNumber(0, AOUT_WORD_ADJUST_SPAN), s),
              QStringLiteral("100.00")); // span 10000 / 100
    EXPECT_EQ(catalogue.GetValueText(AnalogOutputWordNumber(0, AOUT_WORD_INPUT100), s),
              QStringLiteral("100.00")); // input at 100 %
    EXPECT_EQ(catalogue.GetValueText(PARAMETER_AOUT_LIMIT, s), QStringLiteral("Standard (No limit)"));
}

TEST_F(ParameterEnumerationTest, AnalogOutputValuesFollowTheOutputRangeOfEachType)
{
    // The first channel's output at 0 % is 400 by default.
    const char* expected[10] = {"4.00", "0.0400", "0.400", "0.400", "0.400",
                                "4.00", "0.0400", "0.400", "0.400", "0.400"};
    for (int type = 0; type < 10; ++type)
        EXPECT_EQ(catalogue.GetValueText(kOutputAt0, OfType(type)), QString::fromLatin1(expected[type])) << type;

    CSettings s = OfType(0);
    s.SetWord(kOutputAt0, static_cast<std::uint16_t>(-25));
    EXPECT_EQ(catalogue.GetValueText(kOutputAt0, s), QStringLiteral("-0.25"));
}

TEST_F(ParameterEnumerationTest, WordsAreReadSignedOrUnsignedByType)
{
    CSettings s = OfType(5);
    s.SetWord(PARAMETER_INPUT_CT2, 0xFFFF); // plain number: signed
    EXPECT_EQ(catalogue.GetValueText(PARAMETER_INPUT_CT2, s), QStringLiteral("-1"));
    s.SetWord(PARAMETER_INPUT_CUTOUT_U, static_cast<std::uint16_t>(-5)); // scale 10
    EXPECT_EQ(catalogue.GetValueText(PARAMETER_INPUT_CUTOUT_U, s), QStringLiteral("-0.5"));
    s.SetDword(PARAMETER_INPUT_VT1, static_cast<std::uint32_t>(-400000)); // 32 bits: signed
    EXPECT_EQ(catalogue.GetValueText(PARAMETER_INPUT_VT1, s), QStringLiteral("-400000"));
    s.SetDword(PARAMETER_INPUT_VT1, 400000);
    EXPECT_EQ(catalogue.GetValueText(PARAMETER_INPUT_VT1, s), QStringLiteral("400000"));
    // The scaled 32-bit rows (bar graphs, alarms) apply to no supported type.
    EXPECT_EQ(CParameterEnumerationInterface::ScaledText(-12345, 1000), QStringLiteral("-12.345"));
    EXPECT_EQ(CParameterEnumerationInterface::ScaledText(-180, 1), QStringLiteral("-180"));
    s.SetWord(kPulseDuration, 0xFFFF); // count: unsigned times the scale
    EXPECT_EQ(catalogue.GetValueText(kPulseDuration, s), QStringLiteral("6553500"));
    s.SetWord(PARAMETER_INPUT_FREQ_DETECT, 0xFFFF); // a choice past the list: the missing entry's empty text
    EXPECT_EQ(catalogue.GetValueText(PARAMETER_INPUT_FREQ_DETECT, s), QString());
    s.SetWord(PARAMETER_INPUT_FREQ_DETECT, 2);
    EXPECT_EQ(catalogue.GetValueText(PARAMETER_INPUT_FREQ_DETECT, s), QString());
    s.SetWord(kPulseWeight, 5); // no sixth pulse weight
    EXPECT_EQ(catalogue.GetValueText(kPulseWeight, s), QString());
    s.SetWord(PARAMETER_PASSCODE, 12345);
    EXPECT_EQ(catalogue.GetValueText(PARAMETER_PASSCODE, s), QStringLiteral("****"));
}

TEST_F(ParameterEnumerationTest, NumberTextsUseTheDecimalPointOfTheProcessLocale)
{
    const std::string saved = std::setlocale(LC_NUMERIC, nullptr);
    if (!std::setlocale(LC_NUMERIC, "de_DE.UTF-8") && !std::setlocale(LC_NUMERIC, "fr_FR.UTF-8"))
        GTEST_SKIP() << "no locale with a decimal comma is installed";
    const CSettings s = OfType(5);
    const QString cutout = catalogue.GetValueText(PARAMETER_INPUT_CUTOUT_I, s);
    const QString output = catalogue.GetValueText(kOutputAt0, s);
    std::setlocale(LC_NUMERIC, saved.c_str());
    EXPECT_EQ(cutout, QStringLiteral("1,0"));
    EXPECT_EQ(output, QStringLiteral("4,00"));
}

TEST_F(ParameterEnumerationTest, OutOfTableNumbersNeitherApplyNorWalk)
{
    const CSettings s = OfType(5);
    for (int n : {-1, PARAMETER_COUNT, 100000}) {
        EXPECT_EQ(catalogue.GetApplicability(n, s), 2);
        EXPECT_EQ(catalogue.GetValueText(n, s), QString());
        EXPECT_EQ(catalogue.CompareParameter(n, s, s), 2);
        EXPECT_EQ(catalogue.NextIndex(n), -1);
    }
}

TEST_F(ParameterEnumerationTest, WalkStepsOverHighHalves)
{
    EXPECT_EQ(catalogue.NextIndex(PARAMETER_INPUT_VT1), PARAMETER_INPUT_VT2);
    EXPECT_EQ(catalogue.NextIndex(PARAMETER_INPUT_CT2), PARAMETER_INPUT_VT1);
    EXPECT_EQ(catalogue.NextIndex(PARAMETER_COUNT - 2), PARAMETER_COUNT - 1);
    EXPECT_EQ(catalogue.NextIndex(PARAMETER_COUNT - 1), -1);
    int lines = 0;
    for (int n = 0; n != -1; n = catalogue.NextIndex(n)) {
        ++lines;
        ASSERT_LE(lines, PARAMETER_COUNT);
    }
    EXPECT_EQ(lines, PARAMETER_COUNT - 58); // one line per 32-bit value
}

TEST_F(ParameterEnumerationTest, ComparisonOfTwoSets)
{
    CSettings a = OfType(5);
    CSettings b = OfType(5);
    const std::set<int> supported = SupportedParameters();
    for (int n = 0; n < PARAMETER_COUNT; ++n)
        EXPECT_EQ(catalogue.CompareParameter(n, a, b), supported.count(n) ? 0 : 2) << n;

    // A masked passcode still compares by its word.
    b.SetWord(PARAMETER_PASSCODE, 1);
    EXPECT_EQ(catalogue.CompareParameter(PARAMETER_PASSCODE, a, b), 1);
    // A 32-bit value differing only in its high half.
    b.SetDword(PARAMETER_INPUT_VT1, a.GetDword(PARAMETER_INPUT_VT1) + 0x10000);
    EXPECT_EQ(catalogue.CompareParameter(PARAMETER_INPUT_VT1, a, b), 1);
    // Not applicable on either side.
    b.SetWord(PARAMETER_PROTECT_OPERATION, 1);
    EXPECT_EQ(catalogue.CompareParameter(PARAMETER_PROTECT_OPERATION, a, b), 2);

    // Pulse weights compare by their texts: choice 1 under decade 0 and
    // choice 0 under decade 1 are both "0.01".
    CSettings c = OfType(5);
    CSettings d = OfType(5);
    c.SetWord(kPulseWeight, 1);
    d.SetWord(PARAMETER_INPUT_CT1, 100); // 100 A x 110 V x 3 = 33 kW
    d.SetWord(kPulseWeight, 0);
    EXPECT_EQ(catalogue.GetValueText(kPulseWeight, c), QStringLiteral("0.01"));
    EXPECT_EQ(catalogue.GetValueText(kPulseWeight, d), QStringLiteral("0.01"));
    EXPECT_EQ(catalogue.CompareParameter(kPulseWeight, c, d), 0);
    d.SetWord(kPulseWeight, 1);
    EXPECT_EQ(catalogue.CompareParameter(kPulseWeight, c, d), 1);

    // A set of an unknown unit type: nothing applies to it.
    CSettings unknown = OfType(5);
    unknown.m_deviceType = CDeviceType(6101, 0, 0, 2, 10, 0, 0);
    EXPECT_EQ(catalogue.CompareParameter(PARAMETER_INPUT_SYSTEM, a, unknown), 2);
    EXPECT_EQ(catalogue.CompareParameter(PARAMETER_INPUT_SYSTEM, unknown, a), 2);
    EXPECT_EQ(catalogue.GetValueText(PARAMETER_INPUT_SYSTEM, unknown), QString());
}

TEST_F(ParameterEnumerationTest, ListsHaveAllTheirItemsInBothLanguages)
{
    // The analog-output dialog offers list entries up to the first empty one,
    // so DISP_VALUE must end right after assignment 29.
    const struct
    {
        const char* list;
        int items;
    } lists[] = {{"DISP_VALUE", 30}, {"PULSE_SRC", 11}, {"PulseRateUnit", 3}, {"SYSTEM", 6},
                 {"FREQ_DETECT", 2},  {"P_CALC", 2},     {"ANALOG_LIMIT", 2},  {"AOUT_LINEARIZER", 2},
                 {"ALARM_OUT", 6},    {"BAUDRATE", 6},   {"PARITY", 3}};
    for (const char* file : {"English.lng", "Japanese.lng"}) {
        g_resourceDatabase.LoadLanguageFile(QString::fromLatin1(file));
        for (const auto& l : lists) {
            const QString name = QString::fromLatin1(l.list);
            for (int i = 0; i < l.items; ++i)
                EXPECT_FALSE(g_resourceDatabase.GetListText(name, i).isEmpty()) << file << ' ' << l.list << ' ' << i;
            EXPECT_TRUE(g_resourceDatabase.GetListText(name, l.items).isEmpty()) << file << ' ' << l.list;
        }
        for (const char* unit : {"p", "A", "V", "W", "var", "VA", "PF", "Hz", "mA"})
            EXPECT_FALSE(g_resourceDatabase.GetText(QStringLiteral("unit"), QString::fromLatin1(unit)).isEmpty());
        const QString passcode = QStringLiteral("MODBUS_PASSCODE");
        EXPECT_FALSE(g_resourceDatabase.GetText(QStringLiteral("parameter"), passcode).isEmpty());
    }
}
