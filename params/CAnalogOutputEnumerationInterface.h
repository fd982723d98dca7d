#pragma once
// A short-lived view over the analog-output words of one parameter set (laid
// out by the set): which limits apply to each of the ten channels, how its
// values are scaled and shown. Only the output range of the unit is cached,
// so a view must be rebuilt after the set's unit type changes.
#include "foundation/CResourceManager.h"

#include <QString>
#include <QStringList>

#include <cstdint>
#include <vector>

class CSettings;
class QLineEdit;

class CAnalogOutputEnumerationInterface : public CResourceManager
{
public:
    static constexpr int ASSIGNMENT_COUNT = 30;

    struct GraphPoint
    {
        float x;
        float y;
    };

    // The set is not owned and must outlive the view. showErrors is handed to
    // every checked setter.
    CAnalogOutputEnumerationInterface(CSettings* settings, bool showErrors);

    // Class 0..9 of an assignment; anything outside 0..29 is class 0.
    static int AssignmentClass(int assignment);
    // Divisor of the set's analog-output values, by its unit's output range;
    // 1 for a unit without one.
    static int RangeDivisor(const CSettings& settings);

    int GetAssignment(int ch) const;
    // Also switches the table off.
    void SetAssignment(int ch, int assignment);
    bool IsTableUsed(int ch) const;
    void SetTableUsed(int ch, bool on);
    bool IsTableAllowed(int ch) const;
    // X points 0, Y points the range's default output at 0 %.
    void ResetTable(int ch);
    int GetInputLowerLimit(int ch) const;
    int GetInputUpperLimit(int ch) const;

    int GetRangeMin() const;
    int GetRangeMax() const;
    int GetDefaultOutput0() const;
    int GetDefaultOutput100() const;
    int GetRangeScale() const;
    bool IsCurrentOutput() const;
    QString GetOutputUnitText() const;

    double GetOutput0Value(int ch) const;
    double GetOutput100Value(int ch) const;
    double GetTableX(int ch, int k) const;
    double GetTableY(int ch, int k) const;
    // Table-aware: with the table on, X_0 and the end of the table's rising run.
    double GetInput0Value(int ch) const;
    double GetInput100Value(int ch) const;
    // Rated power of the input from CT2, VT2, the wiring system and the power
    // rounding option; 0 when it has no meaning (CT2 = 0, unknown system).
    double GetRatedPower() const;

    QString GetZeroAdjustText(int ch) const;
    QString GetSpanAdjustText(int ch) const;
    QString GetInput0Text(int ch) const;
    QString GetInput100Text(int ch) const;
    QString GetEffectiveInput0Text(int ch) const;
    QString GetEffectiveInput100Text(int ch) const;
    QString GetOutput0Text(int ch) const;
    QString GetOutput100Text(int ch) const;
    QString GetAssignmentText(int ch) const;
    QString GetInputUnitText(int ch) const;
    void GetDefaultInputTexts(int ch, QString& lower, QString& upper) const;
    QString GetOutputRangeText(int ch) const;
    QString GetScalingText(int ch) const;
    std::vector<GraphPoint> BuildGraphPoints(int ch) const;
    // Nine labels for nine equally spaced ticks (none for an unassigned output).
    QStringList BuildGraphAxes(int ch) const;

    // Checked setters: read the edit with the word's limits and store the
    // value; throw the checked input's exception and store nothing on a
    // rejected text.
    void StoreZeroAdjust(int ch, QLineEdit* control);
    void StoreSpanAdjust(int ch, QLineEdit* control);
    void StoreInput0(int ch, QLineEdit* control);
    void StoreInput100(int ch, QLineEdit* control);
    void StoreOutput0(int ch, QLineEdit* control);
    void StoreOutput100(int ch, QLineEdit* control);
    // Silent variant while the upper input is typed: stores it when valid and
    // gives the lower input that matches it where the measurand has one.
    bool TryStoreInput100(int ch, QLineEdit* control, QString& lowerText);

private:
    int Word(int ch, int offset) const;
    void SetWord(int ch, int offset, int value);
    int ClassOf(int ch) const;
    int TableRiseEnd(int ch) const;
    double MeasurandValue(int cls, double percent) const;
    QString MeasurandText(int cls, double value) const;
    void StoreChecked(int ch, int offset, QLineEdit* control, int minimum, int maximum, int scale,
                      const char* key);

    CSettings* m_settings;
    int m_rangeRow = 0;
    bool m_showErrors;
};
