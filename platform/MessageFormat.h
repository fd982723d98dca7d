#pragma once
// Safe formatting of message templates that come from outside the program
// (language files). Inserts are typed values; a template never reads an
// insert that the caller did not pass, whatever the template says.
#include <QString>

#include <cstdint>
#include <initializer_list>
#include <span>
#include <variant>

class FormatArg
{
public:
    FormatArg(int v) : m_value(static_cast<std::int64_t>(v)) {}
    FormatArg(long v) : m_value(static_cast<std::int64_t>(v)) {}
    FormatArg(long long v) : m_value(static_cast<std::int64_t>(v)) {}
    FormatArg(unsigned v) : m_value(static_cast<std::uint64_t>(v)) {}
    FormatArg(unsigned long v) : m_value(static_cast<std::uint64_t>(v)) {}
    FormatArg(unsigned long long v) : m_value(static_cast<std::uint64_t>(v)) {}
    FormatArg(const QString& s) : m_value(s) {}
    FormatArg(const char* s) : m_value(QString::fromUtf8(s)) {}

    bool IsText() const { return std::holds_alternative<QString>(m_value); }
    // The insert as text: integers in decimal.
    QString Text() const;
    // The insert as an integer: text inserts read as 0.
    std::int64_t Signed() const;
    std::uint64_t Unsigned() const;

private:
    std::variant<std::int64_t, std::uint64_t, QString> m_value;
};

using FormatArgs = std::span<const FormatArg>;

// Windows message-formatting rules over a string template:
//   %1 .. %99      insert n (1-based), optionally followed by !printf-type!
//                  such as !s!, !d!, !u!, !x!, !5d!, !ls!; the type only shapes
//                  how the typed insert is written, never how it is read;
//   %n             line break ("\n");  %% a percent sign;  %0 ends the text;
//   %. %! %space   the character itself (".", "!", " ").
// An insert number beyond the inserts passed gives an empty text; a '%'
// that these rules do not know is written as it stands.
QString FormatMessageTemplate(const QString& tmpl, FormatArgs args);
QString FormatMessageTemplate(const QString& tmpl, std::initializer_list<FormatArg> args);

// printf-style template from a language file ("%d", "%s", "%u", "%x", "%5.2f",
// "%%", flags and width included). Conversions take the inserts in order;
// a conversion without an insert is written as it stands. Numbers are
// written through the C library, so the process locale applies.
QString FormatPrintfTemplate(const QString& tmpl, FormatArgs args);
QString FormatPrintfTemplate(const QString& tmpl, std::initializer_list<FormatArg> args);

// A double through one of the program's own fixed printf formats ("%g",
// "%.2lf"...), in the process locale. The format must hold exactly one
// floating conversion; it never comes from a file.
QString FormatDouble(const char* format, double value);
