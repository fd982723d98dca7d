#pragma once
// Checked numeric input and the small helpers every dialog uses.
#include <QFont>
#include <QString>

#include <cstdint>

class QComboBox;
class QLineEdit;
class QWidget;

// Reads the edit's text as a number in stored units (value x scale) and
// checks minimum <= value <= maximum. Throws CPrivateException with
// "MSG_ERROR_INPUT_INT" (scale 1) or "MSG_ERROR_INPUT_NUM" (other scales)
// when the text is not a number, and "MSG_ERROR_INPUT_RANGE_FORMAT" when it
// is out of range; with select set, a range failure leaves the focus on the
// edit with its whole text selected.
int ValidateNumber(QLineEdit* edit, int minimum, int maximum, int scale, const QString& parameterKey, bool select);
// A typed integer by the program's one rule: leading zeros stay decimal,
// "0x" reads hexadecimal. False when the whole text is no such number or it
// does not fit 32 bits.
bool ParseTypedInteger(const QString& text, std::int64_t& value);
// The same; callers keep the low 16 bits as a register word.
int ValidateNumber16(QLineEdit* edit, int minimum, int maximum, int scale, const QString& parameterKey, bool select);
// How a rejected text is shown for correcting: the edit focused, its whole
// text selected and the caret at its start. A range failure with the select
// flag leaves it so; windows that also show a text that is no number call it.
void SelectRejectedText(QLineEdit* edit);

// Writes value / scale with the decimals the scale gives (process locale).
void SetNumberText(QWidget* control, int value, int scale);
QString NumberText(int value, int scale);
// "%.Nlf" where N is how many times scale divides by 10 while >= 10.
QString MakeDecimalFormat(int scale);

void AddComboStringsFromResources(QComboBox* combo, int firstId, int count);
void AddComboStringsFromList(QComboBox* combo, const QString& listName, int count);

// True when the last button of the pair is the checked one.
bool GetRadioPair(const QWidget* dialog, int firstId, int lastId);
void SetRadioPair(QWidget* dialog, int firstId, int lastId, bool last);

// Gives the program's dialog font to the dialog and all its descendants.
void SetDialogFont(QWidget* dialog, bool recreate);
QFont GetDialogFont();

bool IsOsVersionAtLeast(int major, int minor, int unused = 0);
// "Ombrix Version1.1.15": product name, " Version", product version.
QString GetVersionText();
// The directory of the program's file, without a trailing separator.
QString GetModuleDirectory(const void* module = nullptr);
// The text before its first blank, unless the blank is the first character.
QString CutAtFirstBlank(const QString& text);
