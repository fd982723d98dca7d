#include "CParameterEnumerationInterface.h"

#include "CAnalogOutputEnumerationInterface.h"
#include "CDeviceType.h"
#include "CPulseRateCalcurator.h"
#include "CSettings.h"
#include "ParameterTable.h"
#include "foundation/CStringTable.h"
#include "foundation/Globals.h"
#include "platform/MessageFormat.h"

#include <cstdint>
#include <cstdio>

namespace {

constexpr std::uint16_t kCurrentSensorCount = 8;

bool Applies(const ParameterTableRow& row, const CSettings& settings)
{
    return settings.HasCapability(CapabilityLow(row.capabilityMask), CapabilityHigh(row.capabilityMask));
}

QString IntegerText(long long value)
{
    char buffer[32];
    std::snprintf(buffer, sizeof buffer, "%lld", value);
    return QString::fromLatin1(buffer);
}

QString RawValueText(int number, const ParameterTableRow& row, const CSettings& settings)
{
    const std::uint16_t word = settings.GetWord(number);
    switch (row.type) {
    case PARAMETER_TYPE_NUMBER:
        return CParameterEnumerationInterface::ScaledText(static_cast<std::int16_t>(word), row.scale);
    case PARAMETER_TYPE_NUMBER32:
        return CParameterEnumerationInterface::ScaledText(static_cast<std::int32_t>(settings.GetDword(number)),
                                                          row.scale);
    case PARAMETER_TYPE_LIST:
        return g_resourceDatabase.GetListText(QString::fromLatin1(row.list), word);
    case PARAMETER_TYPE_PASSCODE:
        return QStringLiteral("****");
    case PARAMETER_TYPE_COUNT:
        return IntegerText(static_cast<long long>(word) * row.scale);
    case PARAMETER_TYPE_ANALOG_OUTPUT:
        return CParameterEnumerationInterface::ScaledText(static_cast<std::int16_t>(word),
                                                          CAnalogOutputEnumerationInterface::RangeDivisor(settings));
    case PARAMETER_TYPE_PULSE_RATE:
        return CPulseRateCalcurator(settings).GetRateText(word);
    default:
        return {};
    }
}

} // namespace

int CParameterEnumerationInterface::DecimalPlaces(int divisor)
{
    int places = 0;
    while (divisor >= 10) {
        divisor /= 10;
        ++places;
    }
    return places;
}

QString CParameterEnumerationInterface::ScaledText(double value, int divisor)
{
    if (divisor == 1)
        return IntegerText(static_cast<long long>(value));
    char format[16];
    std::snprintf(format, sizeof format, "%%.%dlf", DecimalPlaces(divisor));
    return FormatDouble(format, value / divisor);
}

QString CParameterEnumerationInterface::GetGroupName(int number) const
{
    const ParameterTableRow* row = GetParameterTableRow(number);
    return row ? g_resourceDatabase.GetText(QStringLiteral("group"), QString::fromLatin1(row->groupKey)) : QString();
}

QString CParameterEnumerationInterface::GetParameterName(int number) const
{
    const ParameterTableRow* row = GetParameterTableRow(number);
    return row ? g_resourceDatabase.GetText(QStringLiteral("parameter"), QString::fromLatin1(row->parameterKey))
               : QString();
}

QString CParameterEnumerationInterface::GetValueText(int number, const CSettings& settings) const
{
    const ParameterTableRow* row = GetParameterTableRow(number);
    if (!row || !Applies(*row, settings))
        return {};
    QString text = RawValueText(number, *row, settings);

    if (settings.HasCapability(CAPABILITY_DIPSW)) {
        if (number == PARAMETER_INPUT_CT2) {
            const std::uint16_t sensor = settings.GetWord(number);
            const QString name =
                sensor < kCurrentSensorCount ? CStringTable::LoadString(CURRENT_SENSOR_TEXT_FIRST + sensor) : QString();
            if (!name.isEmpty())
                text = name;
        } else if (number == PARAMETER_INPUT_CT1 && settings.GetWord(PARAMETER_INPUT_CT2) != 0) {
            text.clear();
        } else if (number == PARAMETER_INPUT2_CT1 && settings.GetWord(PARAMETER_INPUT2_CT2) != 0) {
            text.clear();
        }
    }
    return text;
}

int CParameterEnumerationInterface::GetApplicability(int number, const CSettings& settings) const
{
    const ParameterTableRow* row = GetParameterTableRow(number);
    return row && Applies(*row, settings) ? APPLICABLE : NOT_APPLICABLE;
}

int CParameterEnumerationInterface::CompareParameter(int number, const CSettings& first,
                                                     const CSettings& second) const
{
    const ParameterTableRow* row = GetParameterTableRow(number);
    if (!row || !Applies(*row, first) || !Applies(*row, second))
        return NOT_COMPARABLE;
    bool equal = false;
    switch (row->type) {
    case PARAMETER_TYPE_NUMBER32:
        equal = first.GetDword(number) == second.GetDword(number);
        break;
    case PARAMETER_TYPE_PULSE_RATE:
        // Different choices can name the same weight under different ratings.
        equal = CPulseRateCalcurator(first).GetRateText(first.GetWord(number)) ==
                CPulseRateCalcurator(second).GetRateText(second.GetWord(number));
        break;
    default:
        equal = first.GetWord(number) == second.GetWord(number);
        break;
    }
    return equal ? EQUAL : DIFFERENT;
}

int CParameterEnumerationInterface::NextIndex(int number) const
{
    const ParameterTableRow* row = GetParameterTableRow(number);
    if (!row)
        return -1;
    const int next = number + (row->type == PARAMETER_TYPE_NUMBER32 ? 2 : 1);
    return next >= PARAMETER_COUNT ? -1 : next;
}
