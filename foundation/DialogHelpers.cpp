#include "DialogHelpers.h"

#include "CMessageFormatter.h"
#include "CPrivateException.h"
#include "CStringTable.h"
#include "Globals.h"
#include "OmbrixVersion.h"
#include "platform/ControlIds.h"
#include "platform/MessageFormat.h"
#include "platform/ModulePath.h"

#include <QApplication>
#include <QButtonGroup>
#include <QComboBox>
#include <QFontDatabase>
#include <QLineEdit>
#include <QRadioButton>
#include <QWidget>

#include <cerrno>
#include <cmath>
#include <cstdint>
#include <cstdio>
#include <cstdlib>
#include <limits>
#include <optional>
#include <string>

namespace {

constexpr std::int64_t kInt32Min = std::numeric_limits<std::int32_t>::min();
constexpr std::int64_t kInt32Max = std::numeric_limits<std::int32_t>::max();

bool IsBlank(QChar c)
{
    // The white space that the C library skips before a number.
    return c == u' ' || c == u'\t' || c == u'\n' || c == u'\v' || c == u'\f' || c == u'\r';
}

int DigitValue(QChar c, int base)
{
    int value = 99;
    if (c >= u'0' && c <= u'9')
        value = c.unicode() - u'0';
    else if (c >= u'a' && c <= u'z')
        value = c.unicode() - u'a' + 10;
    else if (c >= u'A' && c <= u'Z')
        value = c.unicode() - u'A' + 10;
    return value < base ? value : -1;
}

// The outcome of reading a typed number.
struct ParsedNumber
{
    bool valid = false;       // the whole text is one number
    bool inRange32 = false;   // it fits a 32-bit signed integer
    std::int64_t value = 0;   // in stored units, when inRange32
};

// An integer as the C library reads one (leading white space, a sign, "0x"
// for hexadecimal), except that leading zeros do not make it octal: people
// type "010" meaning ten.
ParsedNumber ParseInteger(const QString& text)
{
    ParsedNumber result;
    qsizetype i = 0;
    const qsizetype n = text.size();
    while (i < n && IsBlank(text[i]))
        ++i;
    bool negative = false;
    if (i < n && (text[i] == u'+' || text[i] == u'-')) {
        negative = text[i] == u'-';
        ++i;
    }
    int base = 10;
    if (i + 2 < n && text[i] == u'0' && (text[i + 1] == u'x' || text[i + 1] == u'X')
        && DigitValue(text[i + 2], 16) >= 0) {
        base = 16;
        i += 2;
    }
    const qsizetype firstDigit = i;
    // Saturates far above the 32-bit range; only "beyond" matters there.
    constexpr std::uint64_t kCeiling = std::uint64_t(1) << 40;
    std::uint64_t magnitude = 0;
    for (; i < n; ++i) {
        const int digit = DigitValue(text[i], base);
        if (digit < 0)
            break;
        magnitude = magnitude * static_cast<unsigned>(base) + static_cast<unsigned>(digit);
        if (magnitude > kCeiling)
            magnitude = kCeiling;
    }
    if (i == firstDigit || i != n)
        return result;
    result.valid = true;
    const std::int64_t value = negative ? -static_cast<std::int64_t>(magnitude) : static_cast<std::int64_t>(magnitude);
    result.inRange32 = value >= kInt32Min && value <= kInt32Max;
    result.value = result.inRange32 ? value : 0;
    return result;
}

// A decimal number in the process locale, times the scale, rounded half
// away from zero. Infinity and NaN are not numbers a user can mean.
ParsedNumber ParseScaled(const QString& text, int scale)
{
    ParsedNumber result;
    const std::string bytes = text.toLocal8Bit().toStdString();
    if (bytes.empty())
        return result;
    const char* begin = bytes.c_str();
    char* end = nullptr;
    errno = 0;
    const double number = std::strtod(begin, &end);
    const bool overflow = errno == ERANGE && std::isinf(number);
    if (end == begin || *end != '\0' || static_cast<std::size_t>(end - begin) != bytes.size())
        return result;
    if (!std::isfinite(number) && !overflow)
        return result;
    result.valid = true;
    if (overflow)
        return result;
    const double product = number * scale;
    const double rounded = std::trunc(product >= 0 ? product + 0.5 : product - 0.5);
    if (!std::isfinite(rounded) || rounded < static_cast<double>(kInt32Min) || rounded > static_cast<double>(kInt32Max))
        return result;
    result.inRange32 = true;
    result.value = static_cast<std::int64_t>(rounded);
    return result;
}

QString LimitText(int limit, int scale)
{
    if (scale <= 1) {
        char buffer[16];
        std::snprintf(buffer, sizeof buffer, "%d", limit);
        return QString::fromLatin1(buffer);
    }
    return FormatDouble("%g", static_cast<double>(limit) / scale);
}

} // namespace

int ValidateNumber(QLineEdit* edit, int minimum, int maximum, int scale, const QString& parameterKey, bool select)
{
    const QString text = edit ? edit->text() : QString();
    const ParsedNumber number = scale == 1 ? ParseInteger(text) : ParseScaled(text, scale);
    if (number.valid && number.inRange32 && minimum <= number.value && number.value <= maximum)
        return static_cast<int>(number.value);

    const QString name = g_resourceDatabase.GetText(QStringLiteral("parameter"), parameterKey);
    if (!number.valid) {
        const QString key = scale == 1 ? QStringLiteral("MSG_ERROR_INPUT_INT") : QStringLiteral("MSG_ERROR_INPUT_NUM");
        throw CPrivateException(CMessageFormatter(key, {FormatArg(name)}));
    }
    const CMessageFormatter message(QStringLiteral("MSG_ERROR_INPUT_RANGE_FORMAT"),
                                    {FormatArg(name), FormatArg(LimitText(minimum, scale)),
                                     FormatArg(LimitText(maximum, scale))});
    if (select && edit)
        SelectRejectedText(edit);
    throw CPrivateException(message);
}

void SelectRejectedText(QLineEdit* edit)
{
    if (!edit)
        return;
    edit->setFocus(Qt::OtherFocusReason);
    const int length = static_cast<int>(edit->text().size());
    edit->setSelection(length, -length);
}

bool ParseTypedInteger(const QString& text, std::int64_t& value)
{
    const ParsedNumber number = ParseInteger(text);
    if (!number.valid || !number.inRange32)
        return false;
    value = number.value;
    return true;
}

int ValidateNumber16(QLineEdit* edit, int minimum, int maximum, int scale, const QString& parameterKey, bool select)
{
    return ValidateNumber(edit, minimum, maximum, scale, parameterKey, select);
}

QString MakeDecimalFormat(int scale)
{
    int decimals = 0;
    while (scale >= 10) {
        scale /= 10;
        ++decimals;
    }
    char buffer[16];
    std::snprintf(buffer, sizeof buffer, "%%.%dlf", decimals);
    return QString::fromLatin1(buffer);
}

QString NumberText(int value, int scale)
{
    if (scale == 1 || scale == 0) {
        char buffer[16];
        std::snprintf(buffer, sizeof buffer, "%d", value);
        return QString::fromLatin1(buffer);
    }
    return FormatDouble(MakeDecimalFormat(scale).toLatin1().constData(), static_cast<double>(value) / scale);
}

void SetNumberText(QWidget* control, int value, int scale)
{
    SetWindowText(control, NumberText(value, scale));
}

void AddComboStringsFromResources(QComboBox* combo, int firstId, int count)
{
    if (!combo)
        return;
    for (int i = 0; i < count; ++i)
        combo->addItem(CStringTable::LoadString(firstId + i));
}

void AddComboStringsFromList(QComboBox* combo, const QString& listName, int count)
{
    if (!combo)
        return;
    for (int i = 0; i < count; ++i)
        combo->addItem(g_resourceDatabase.GetListText(listName, i));
}

namespace {

// Radio buttons with one parent are all exclusive of each other in Qt; a
// pair is exclusive of its own partner only, as a group of its own.
void MakeExclusivePair(const QWidget* dialog, QRadioButton* first, QRadioButton* last)
{
    if (!first || !last)
        return;
    QButtonGroup* group = first->group() ? first->group() : last->group();
    if (!group) {
        group = new QButtonGroup(const_cast<QWidget*>(dialog));
        group->setExclusive(true);
    }
    if (first->group() != group)
        group->addButton(first);
    if (last->group() != group)
        group->addButton(last);
}

} // namespace

bool GetRadioPair(const QWidget* dialog, int firstId, int lastId)
{
    auto* first = qobject_cast<QRadioButton*>(FindControl(dialog, firstId));
    auto* last = qobject_cast<QRadioButton*>(FindControl(dialog, lastId));
    MakeExclusivePair(dialog, first, last);
    return last && last->isChecked();
}

void SetRadioPair(QWidget* dialog, int firstId, int lastId, bool last)
{
    auto* firstButton = qobject_cast<QRadioButton*>(FindControl(dialog, firstId));
    auto* lastButton = qobject_cast<QRadioButton*>(FindControl(dialog, lastId));
    MakeExclusivePair(dialog, firstButton, lastButton);
    if (QRadioButton* target = last ? lastButton : firstButton)
        target->setChecked(true);
}

namespace {

void SetFontOnTree(QWidget* widget, const QFont& font)
{
    widget->setFont(font);
    for (QObject* child : widget->children()) {
        auto* childWidget = qobject_cast<QWidget*>(child);
        // Owned windows (dialogs, popups) keep their own fonts.
        if (childWidget && !childWidget->isWindow())
            SetFontOnTree(childWidget, font);
    }
}

} // namespace

void SetDialogFont(QWidget* dialog, bool recreate)
{
    if (recreate)
        g_dialogFont.reset();
    if (!g_dialogFont)
        g_dialogFont = QFontDatabase::systemFont(QFontDatabase::GeneralFont);
    if (dialog)
        SetFontOnTree(dialog, *g_dialogFont);
}

QFont GetDialogFont()
{
    if (g_dialogFont)
        return *g_dialogFont;
    if (!g_defaultGuiFont)
        g_defaultGuiFont = QApplication::font();
    return *g_defaultGuiFont;
}

bool IsOsVersionAtLeast(int, int, int)
{
    return true;
}

QString GetVersionText()
{
    const QString name = QStringLiteral(OMBRIX_PRODUCT_NAME);
    const QString version = QStringLiteral(OMBRIX_PRODUCT_VERSION);
    if (name.isEmpty() || version.isEmpty())
        return {};
    return name + QStringLiteral(" Version") + version;
}

QString GetModuleDirectory(const void*)
{
    const QString path = ModuleFileName();
    const qsizetype slash = path.lastIndexOf(u'/');
    return slash > 0 ? path.left(slash) : path;
}

QString CutAtFirstBlank(const QString& text)
{
    const qsizetype blank = text.indexOf(u' ');
    return blank > 0 ? text.left(blank) : text;
}
