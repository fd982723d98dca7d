#pragma once
// Answers, for each of the 552 parameter words of a set, its group and name
// texts, its value text, whether it applies to the set's unit type, and how
// two sets compare. Stateless; everything comes from the parameter table.
#include "foundation/CResourceManager.h"

#include <QString>

class CSettings;

class CParameterEnumerationInterface : public CResourceManager
{
public:
    enum Applicability { APPLICABLE = 0, NOT_APPLICABLE = 2 };
    enum Comparison { EQUAL = 0, DIFFERENT = 1, NOT_COMPARABLE = 2 };
    // The string-table names of the current sensors: eight from this id on.
    static constexpr int CURRENT_SENSOR_TEXT_FIRST = 5600;

    // Language texts of the row's group and parameter keys; empty when missing.
    QString GetGroupName(int number) const;
    QString GetParameterName(int number) const;
    // Empty when the row does not apply to the set's unit type.
    QString GetValueText(int number, const CSettings& settings) const;
    int GetApplicability(int number, const CSettings& settings) const;
    int CompareParameter(int number, const CSettings& first, const CSettings& second) const;
    // The next parameter of a walk from 0: a 32-bit value is one step;
    // -1 after the last.
    int NextIndex(int number) const;

    // value / divisor with as many decimals as the divisor has powers of
    // ten ("%d" for 1), in the process locale.
    static QString ScaledText(double value, int divisor);

private:
    static int DecimalPlaces(int divisor);
};
