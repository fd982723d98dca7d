#pragma once
// The weight of one energy pulse. The five weights a pulse output offers
// start at the decade of the input's rated power, worked out from the wiring
// system and the CT and VT primaries of the set.
#include <QString>

class CSettings;

class CPulseRateCalcurator
{
public:
    explicit CPulseRateCalcurator(const CSettings& settings);
    virtual ~CPulseRateCalcurator() = default;

    // Choices 0..4; empty for any other choice and past the end of the
    // weight table (decade 5, choice 4).
    QString GetRateText(int index) const;

private:
    int m_decade = 0; // 0..5
};
