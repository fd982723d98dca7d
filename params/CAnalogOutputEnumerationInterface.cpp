#include "CAnalogOutputEnumerationInterface.h"

#include "CDeviceType.h"
#include "CParameterEnumerationInterface.h"
#include "CSettings.h"
#include "foundation/CPrivateException.h"
#include "foundation/DialogHelpers.h"
#include "foundation/Globals.h"
#include "platform/MessageFormat.h"

#include <algorithm>
#include <array>
#include <cmath>
#include <cstdint>

namespace {

struct AnalogOutputRange
{
    std::uint64_t mask;
    std::int16_t minimum;
    std::int16_t maximum;
    std::int16_t default0;
    std::int16_t default100;
    std::int32_t divisor;
    const char* unitKey;
};

// In table order: the first range the unit has wins.
constexpr std::array<AnalogOutputRange, 5> kRanges = {{
    {CAPABILITY_OUTPUT_4_20MA, 320, 2080, 400, 2000, 100, "mA"},
    {CAPABILITY_OUTPUT_0_1MA, -500, 10500, 0, 10000, 10000, "mA"},
    {CAPABILITY_OUTPUT_0_10V, -500, 10500, 0, 10000, 1000, "V"},
    {CAPABILITY_OUTPUT_0_5V, -250, 5250, 0, 5000, 1000, "V"},
    {CAPABILITY_OUTPUT_1_5V, 800, 5200, 1000, 5000, 1000, "V"},
}};

struct ClassRow
{
    const char* unitKey;
    int lower; // hundredths of a percent
    int upper;
    const char* defaultLower;
    const char* defaultUpper;
};

constexpr std::array<ClassRow, 10> kClasses = {{
    {"p", 0, 0, "0.00", "0.00"},                  // none
    {"A", 0, 12000, "0.00", "100.00"},            // current
    {"V", 0, 12000, "0.00", "100.00"},            // voltage
    {"W", -12000, 12000, "0.00", "100.00"},       // active power
    {"var", -12000, 12000, "-100.00", "100.00"},  // reactive power
    {"VA", 0, 12000, "0.00", "100.00"},           // apparent power
    {"PF", -10000, 10000, "-50.00", "50.00"},     // power factor
    {"Hz", 0, 10000, "0.00", "100.00"},           // frequency
    {"var", -10000, 10000, "-100.00", "100.00"},  // reactive power, four-quadrant
    {"PF", -10000, 10000, "-50.00", "50.00"},     // power factor, four-quadrant
}};

constexpr std::array<std::uint8_t, CAnalogOutputEnumerationInterface::ASSIGNMENT_COUNT> kClassOfAssignment = {
    0, 1, 1, 1, 1, 2, 2, 2, 2, 2, 2, 3, 3, 3, 3, 4, 4, 4, 4, 5, 5, 5, 5, 6, 6, 6, 6, 7, 8, 9};

const AnalogOutputRange& RangeRow(int row)
{
    return kRanges[static_cast<std::size_t>(row)];
}

// The first range of the table that the unit has; -1 for none. Every
// supported unit has exactly one, so the table's order decides nothing.
int FindRangeRow(const CSettings& settings)
{
    for (std::size_t row = 0; row < kRanges.size(); ++row) {
        if (settings.HasCapability(CapabilityLow(kRanges[row].mask), 0))
            return static_cast<int>(row);
    }
    return -1;
}

const ClassRow& ClassRowOf(int cls)
{
    return kClasses[static_cast<std::size_t>(cls)];
}

QString Latin1(const char* text)
{
    return QString::fromLatin1(text);
}

QString Message(const char* key)
{
    return g_resourceDatabase.GetMessageText(Latin1(key));
}

QString Percent(double value)
{
    return FormatDouble("%.2lf", value);
}

// A signed value behind its word: "LAG 12.5".
QString WordAndValue(const char* key, const char* format, double value)
{
    return Message(key) + QLatin1Char(' ') + FormatDouble(format, value);
}

const char* ClassFormat(int cls)
{
    switch (cls) {
    case 1:
        return "%.3lf";
    case 6:
    case 7:
    case 9:
        return "%.2lf";
    default:
        return "%.1lf";
    }
}

} // namespace

CAnalogOutputEnumerationInterface::CAnalogOutputEnumerationInterface(CSettings* settings, bool showErrors)
    : m_settings(settings), m_rangeRow(std::max(FindRangeRow(*settings), 0)), m_showErrors(showErrors)
{
}

int CAnalogOutputEnumerationInterface::AssignmentClass(int assignment)
{
    // Assignments come from files and units unchecked; only 0..29 name a class.
    if (assignment < 0 || assignment >= ASSIGNMENT_COUNT)
        return 0;
    return kClassOfAssignment[static_cast<std::size_t>(assignment)];
}

int CAnalogOutputEnumerationInterface::RangeDivisor(const CSettings& settings)
{
    const int row = FindRangeRow(settings);
    return row < 0 ? 1 : RangeRow(row).divisor;
}

int CAnalogOutputEnumerationInterface::Word(int ch, int offset) const
{
    // A channel outside 0..9 gives number -1, which the set reads as 0.
    return static_cast<std::int16_t>(m_settings->GetWord(AnalogOutputWordNumber(ch, offset)));
}

void CAnalogOutputEnumerationInterface::SetWord(int ch, int offset, int value)
{
    m_settings->SetWord(AnalogOutputWordNumber(ch, offset), static_cast<std::uint16_t>(value));
}

int CAnalogOutputEnumerationInterface::ClassOf(int ch) const
{
    return AssignmentClass(GetAssignment(ch));
}

int CAnalogOutputEnumerationInterface::GetAssignment(int ch) const
{
    return Word(ch, AOUT_WORD_ASSIGNMENT);
}

void CAnalogOutputEnumerationInterface::SetAssignment(int ch, int assignment)
{
    SetWord(ch, AOUT_WORD_ASSIGNMENT, assignment);
    SetWord(ch, AOUT_WORD_USE_TABLE, 0);
}

bool CAnalogOutputEnumerationInterface::IsTableUsed(int ch) const
{
    return Word(ch, AOUT_WORD_USE_TABLE) != 0;
}

void CAnalogOutputEnumerationInterface::SetTableUsed(int ch, bool on)
{
    SetWord(ch, AOUT_WORD_USE_TABLE, on ? 1 : 0);
}

bool CAnalogOutputEnumerationInterface::IsTableAllowed(int ch) const
{
    const int assignment = GetAssignment(ch);
    return assignment != 28 && assignment != 29;
}

void CAnalogOutputEnumerationInterface::ResetTable(int ch)
{
    for (int k = 0; k < AOUT_TABLE_POINTS; ++k) {
        SetWord(ch, AOUT_WORD_TABLE + 2 * k, 0);
        SetWord(ch, AOUT_WORD_TABLE + 2 * k + 1, GetDefaultOutput0());
    }
}

int CAnalogOutputEnumerationInterface::GetInputLowerLimit(int ch) const
{
    return ClassRowOf(ClassOf(ch)).lower;
}

int CAnalogOutputEnumerationInterface::GetInputUpperLimit(int ch) const
{
    return ClassRowOf(ClassOf(ch)).upper;
}

int CAnalogOutputEnumerationInterface::GetRangeMin() const
{
    return RangeRow(m_rangeRow).minimum;
}

int CAnalogOutputEnumerationInterface::GetRangeMax() const
{
    return RangeRow(m_rangeRow).maximum;
}

int CAnalogOutputEnumerationInterface::GetDefaultOutput0() const
{
    return RangeRow(m_rangeRow).default0;
}

int CAnalogOutputEnumerationInterface::GetDefaultOutput100() const
{
    return RangeRow(m_rangeRow).default100;
}

int CAnalogOutputEnumerationInterface::GetRangeScale() const
{
    return RangeRow(m_rangeRow).divisor;
}

bool CAnalogOutputEnumerationInterface::IsCurrentOutput() const
{
    return QLatin1String(RangeRow(m_rangeRow).unitKey) == QLatin1String("mA");
}

QString CAnalogOutputEnumerationInterface::GetOutputUnitText() const
{
    return g_resourceDatabase.GetText(QStringLiteral("unit"), Latin1(RangeRow(m_rangeRow).unitKey));
}

double CAnalogOutputEnumerationInterface::GetOutput0Value(int ch) const
{
    return static_cast<double>(Word(ch, AOUT_WORD_OUTPUT0)) / GetRangeScale();
}

double CAnalogOutputEnumerationInterface::GetOutput100Value(int ch) const
{
    return static_cast<double>(Word(ch, AOUT_WORD_OUTPUT100)) / GetRangeScale();
}

double CAnalogOutputEnumerationInterface::GetTableX(int ch, int k) const
{
    if (k < 0 || k >= AOUT_TABLE_POINTS)
        return 0.0;
    return Word(ch, AOUT_WORD_TABLE + 2 * k) / 100.0;
}

double CAnalogOutputEnumerationInterface::GetTableY(int ch, int k) const
{
    if (k < 0 || k >= AOUT_TABLE_POINTS)
        return 0.0;
    return static_cast<double>(Word(ch, AOUT_WORD_TABLE + 2 * k + 1)) / GetRangeScale();
}

int CAnalogOutputEnumerationInterface::TableRiseEnd(int ch) const
{
    // The bound first: the last channel's X_9 is the last word of the set.
    int i = 0;
    while (i + 1 < AOUT_TABLE_POINTS && GetTableX(ch, i) < GetTableX(ch, i + 1))
        ++i;
    return i;
}

double CAnalogOutputEnumerationInterface::GetInput0Value(int ch) const
{
    return IsTableUsed(ch) ? GetTableX(ch, 0) : Word(ch, AOUT_WORD_INPUT0) / 100.0;
}

double CAnalogOutputEnumerationInterface::GetInput100Value(int ch) const
{
    return IsTableUsed(ch) ? GetTableX(ch, TableRiseEnd(ch)) : Word(ch, AOUT_WORD_INPUT100) / 100.0;
}

double CAnalogOutputEnumerationInterface::GetRatedPower() const
{
    const std::int64_t system = m_settings->GetWord(PARAMETER_INPUT_SYSTEM);
    const std::int64_t ct2 = static_cast<std::int16_t>(m_settings->GetWord(PARAMETER_INPUT_CT2));
    const std::int64_t vt2 = static_cast<std::int16_t>(m_settings->GetWord(PARAMETER_INPUT_VT2));
    if (system > 5)
        return 0.0;
    if (m_settings->GetWord(PARAMETER_CALC_OPTION_POWER) != 1) {
        static const double factors[] = {1.0, 2.0, std::sqrt(3.0), std::sqrt(3.0), 3.0, 3.0};
        return static_cast<double>(ct2 * vt2) * factors[system];
    }
    // Rounded half up to a whole multiple of CT2 x 100.
    static const std::int64_t phases[] = {1, 2, 2, 2, 3, 3};
    const std::int64_t q = ct2 * 100;
    if (q == 0)
        return 0.0;
    return static_cast<double>((ct2 * vt2 * phases[system] + q / 2) / q * q);
}

double CAnalogOutputEnumerationInterface::MeasurandValue(int cls, double percent) const
{
    switch (cls) {
    case 1:
        return percent * static_cast<std::int16_t>(m_settings->GetWord(PARAMETER_INPUT_CT2)) / 100.0;
    case 2:
        return percent * static_cast<std::int16_t>(m_settings->GetWord(PARAMETER_INPUT_V_RANGE)) / 100.0;
    case 3:
    case 4:
    case 5:
    case 8:
        return percent * GetRatedPower() / 100.0;
    case 6:
    case 9:
        return 1.0 - std::fabs(percent / 100.0);
    case 7:
        return 45.0 + percent * 20.0 / 100.0;
    default:
        return 0.0;
    }
}

QString CAnalogOutputEnumerationInterface::MeasurandText(int cls, double value) const
{
    return FormatDouble(ClassFormat(cls), value);
}

QString CAnalogOutputEnumerationInterface::GetZeroAdjustText(int ch) const
{
    return Percent(Word(ch, AOUT_WORD_ADJUST_ZERO) / 100.0);
}

QString CAnalogOutputEnumerationInterface::GetSpanAdjustText(int ch) const
{
    return Percent(Word(ch, AOUT_WORD_ADJUST_SPAN) / 100.0);
}

QString CAnalogOutputEnumerationInterface::GetInput0Text(int ch) const
{
    return Percent(Word(ch, AOUT_WORD_INPUT0) / 100.0);
}

QString CAnalogOutputEnumerationInterface::GetInput100Text(int ch) const
{
    return Percent(Word(ch, AOUT_WORD_INPUT100) / 100.0);
}

QString CAnalogOutputEnumerationInterface::GetEffectiveInput0Text(int ch) const
{
    return Percent(GetInput0Value(ch));
}

QString CAnalogOutputEnumerationInterface::GetEffectiveInput100Text(int ch) const
{
    return Percent(GetInput100Value(ch));
}

QString CAnalogOutputEnumerationInterface::GetOutput0Text(int ch) const
{
    return CParameterEnumerationInterface::ScaledText(Word(ch, AOUT_WORD_OUTPUT0), GetRangeScale());
}

QString CAnalogOutputEnumerationInterface::GetOutput100Text(int ch) const
{
    return CParameterEnumerationInterface::ScaledText(Word(ch, AOUT_WORD_OUTPUT100), GetRangeScale());
}

QString CAnalogOutputEnumerationInterface::GetAssignmentText(int ch) const
{
    return g_resourceDatabase.GetListText(QStringLiteral("DISP_VALUE"), GetAssignment(ch));
}

QString CAnalogOutputEnumerationInterface::GetInputUnitText(int ch) const
{
    return g_resourceDatabase.GetText(QStringLiteral("unit"), Latin1(ClassRowOf(ClassOf(ch)).unitKey));
}

void CAnalogOutputEnumerationInterface::GetDefaultInputTexts(int ch, QString& lower, QString& upper) const
{
    const ClassRow& row = ClassRowOf(ClassOf(ch));
    lower = Latin1(row.defaultLower);
    upper = Latin1(row.defaultUpper);
}

QString CAnalogOutputEnumerationInterface::GetOutputRangeText(int ch) const
{
    return FormatMessageTemplate(Message("AO_Output"),
                                 {GetOutput0Text(ch), GetOutput100Text(ch), GetOutputUnitText()});
}

QString CAnalogOutputEnumerationInterface::GetScalingText(int ch) const
{
    const int cls = ClassOf(ch);
    const double low = GetInput0Value(ch);
    const double high = GetInput100Value(ch);
    const double lowValue = MeasurandValue(cls, low);
    const double highValue = MeasurandValue(cls, high);

    QString lowText;
    QString highText;
    switch (cls) {
    case 0:
        lowText = highText = QStringLiteral("0");
        break;
    case 3:
        if (low >= 0 && high >= 0) {
            lowText = MeasurandText(cls, lowValue);
            highText = MeasurandText(cls, highValue);
        } else {
            lowText = WordAndValue(low >= 0 ? "IN" : "OUT", "%.1lf", lowValue);
            highText = WordAndValue(high >= 0 ? "IN" : "OUT", "%.1lf", highValue);
        }
        break;
    case 4:
    case 8:
        lowText = WordAndValue(low >= 0 ? "LAG" : "LEAD", "%.1lf", lowValue);
        highText = WordAndValue(high >= 0 ? "LAG" : "LEAD", "%.1lf", highValue);
        break;
    case 6:
    case 9:
        lowText = WordAndValue(low >= 0 ? "LAG" : "LEAD", "%.2lf", lowValue);
        highText = WordAndValue(high >= 0 ? "LAG" : "LEAD", "%.2lf", highValue);
        break;
    default: // 1, 2, 5, 7
        lowText = MeasurandText(cls, lowValue);
        highText = MeasurandText(cls, highValue);
        break;
    }
    return FormatMessageTemplate(Message("AO_Scaling"), {lowText, highText, GetInputUnitText(ch),
                                                          GetEffectiveInput0Text(ch), GetEffectiveInput100Text(ch)});
}

std::vector<CAnalogOutputEnumerationInterface::GraphPoint>
CAnalogOutputEnumerationInterface::BuildGraphPoints(int ch) const
{
    std::vector<GraphPoint> points;
    const auto add = [&points](double x, double y) {
        points.push_back({static_cast<float>(x), static_cast<float>(y)});
    };
    const int cls = ClassOf(ch);

    if (cls == 8 || cls == 9) {
        // Four-quadrant: each half of the input axis shows the scaling range
        // at half scale.
        const double i0 = GetInput0Value(ch);
        const double i1 = GetInput100Value(ch);
        const double o0 = GetOutput0Value(ch);
        const double o1 = GetOutput100Value(ch);
        const double mid = o0 + (o1 - o0) / 2;
        const double a = i1 - i0 >= 0 ? -100.0 : 100.0;
        const double b = -a;
        add(a, o0);
        add(a + (i0 - a) / 2, o0);
        add(a + (i1 - a) / 2, mid);
        add((i0 - a) / 2, mid);
        add((i1 - a) / 2, o1);
        add(b, o1);
        return points;
    }

    if (!IsTableUsed(ch)) {
        add(GetInput0Value(ch), GetOutput0Value(ch));
        add(GetInput100Value(ch), GetOutput100Value(ch));
        return points;
    }

    double previous = -1000.0;
    for (int k = 0; k < AOUT_TABLE_POINTS; ++k) {
        const double x = GetTableX(ch, k);
        if (previous >= x)
            break;
        add(x, GetTableY(ch, k));
        previous = x;
    }
    if (points.size() < 2) {
        add(GetTableX(ch, 0), GetTableY(ch, 0));
        add(GetTableX(ch, 0), GetTableY(ch, 0));
    }
    return points;
}

QStringList CAnalogOutputEnumerationInterface::BuildGraphAxes(int ch) const
{
    QStringList labels;
    const int cls = ClassOf(ch);
    if (cls == 0)
        return labels;

    const double lowPercent = GetInput0Value(ch);
    const double highPercent = GetInput100Value(ch);
    double lowV = MeasurandValue(cls, lowPercent);
    double highV = MeasurandValue(cls, highPercent);
    if (cls == 6) {
        lowV = lowPercent / 100.0;
        highV = highPercent / 100.0;
    }

    if (cls == 8 || cls == 9) {
        double from = -1.0;
        double to = 1.0;
        if (cls == 8) {
            const double rated = GetRatedPower();
            from = -rated;
            to = rated;
            if (highPercent < lowPercent)
                std::swap(from, to);
        } else if (highV - lowV < 0) {
            std::swap(from, to);
        }
        for (int i = 0; i <= 8; ++i) {
            const double d = (i % 4) * (to - from) / 4 + from;
            if (i % 2 == 0) {
                labels << (cls == 8 ? FormatDouble("%.0lf", std::fabs(d)) : FormatDouble("%.2lf", 1.0 - std::fabs(d)));
            } else if (i < 4) {
                labels << Message(d < 0 ? "LEAD_OUT" : "LAG_OUT");
            } else {
                labels << Message(d < 0 ? "LEAD_IN" : "LAG_IN");
            }
        }
        return labels;
    }

    const bool plain = cls == 1 || cls == 2 || cls == 5 || cls == 7 || (cls == 3 && lowV >= 0);
    for (int i = 0; i <= 8; ++i) {
        const double t = lowV + (highV - lowV) * i / 8;
        if (i % 2 != 0) {
            labels << QString();
        } else if (plain) {
            labels << MeasurandText(cls, t);
        } else if (i % 4 == 0) {
            labels << (cls == 6 ? FormatDouble("%.2lf", 1.0 - std::fabs(t)) : FormatDouble("%.1lf", t));
        } else if (cls == 3) {
            labels << Message(t >= 0 ? "IN" : "OUT");
        } else {
            labels << Message(t >= 0 ? "LAG" : "LEAD");
        }
    }
    return labels;
}

void CAnalogOutputEnumerationInterface::StoreChecked(int ch, int offset, QLineEdit* control, int minimum,
                                                     int maximum, int scale, const char* key)
{
    const int value = ValidateNumber16(control, minimum, maximum, scale, Latin1(key), m_showErrors);
    SetWord(ch, offset, value);
}

void CAnalogOutputEnumerationInterface::StoreZeroAdjust(int ch, QLineEdit* control)
{
    StoreChecked(ch, AOUT_WORD_ADJUST_ZERO, control, -500, 500, 100, "AOUT_ADJUST_ZERO");
}

void CAnalogOutputEnumerationInterface::StoreSpanAdjust(int ch, QLineEdit* control)
{
    StoreChecked(ch, AOUT_WORD_ADJUST_SPAN, control, 9500, 10500, 100, "AOUT_ADJUST_SPAN");
}

void CAnalogOutputEnumerationInterface::StoreInput0(int ch, QLineEdit* control)
{
    StoreChecked(ch, AOUT_WORD_INPUT0, control, GetInputLowerLimit(ch), GetInputUpperLimit(ch), 100, "AOUT_INPUT0");
}

void CAnalogOutputEnumerationInterface::StoreInput100(int ch, QLineEdit* control)
{
    StoreChecked(ch, AOUT_WORD_INPUT100, control, GetInputLowerLimit(ch), GetInputUpperLimit(ch), 100, "AOUT_INPUT100");
}

void CAnalogOutputEnumerationInterface::StoreOutput0(int ch, QLineEdit* control)
{
    StoreChecked(ch, AOUT_WORD_OUTPUT0, control, GetRangeMin(), GetRangeMax(), GetRangeScale(), "AOUT_OUTPUT0");
}

void CAnalogOutputEnumerationInterface::StoreOutput100(int ch, QLineEdit* control)
{
    StoreChecked(ch, AOUT_WORD_OUTPUT100, control, GetRangeMin(), GetRangeMax(), GetRangeScale(), "AOUT_OUTPUT100");
}

bool CAnalogOutputEnumerationInterface::TryStoreInput100(int ch, QLineEdit* control, QString& lowerText)
{
    int value = 0;
    try {
        value = ValidateNumber16(control, GetInputLowerLimit(ch), GetInputUpperLimit(ch), 100,
                                 QStringLiteral("AOUT_INPUT100"), false);
    } catch (const CPrivateException&) {
        return false;
    }
    SetWord(ch, AOUT_WORD_INPUT100, value);
    switch (ClassOf(ch)) {
    case 1:
    case 2:
    case 3:
    case 5:
        lowerText = QStringLiteral("0.00");
        return true;
    case 4:
    case 6:
    case 8:
    case 9:
        lowerText = Percent(-value / 100.0);
        return true;
    default:
        return false;
    }
}
