#include "MessageFormat.h"

#include <algorithm>
#include <cstdio>
#include <limits>
#include <string>

QString FormatArg::Text() const
{
    if (const auto* s = std::get_if<QString>(&m_value))
        return *s;
    if (const auto* u = std::get_if<std::uint64_t>(&m_value))
        return QString::number(*u);
    return QString::number(std::get<std::int64_t>(m_value));
}

std::int64_t FormatArg::Signed() const
{
    if (const auto* u = std::get_if<std::uint64_t>(&m_value))
        return static_cast<std::int64_t>(*u);
    if (const auto* i = std::get_if<std::int64_t>(&m_value))
        return *i;
    return 0;
}

std::uint64_t FormatArg::Unsigned() const
{
    if (const auto* u = std::get_if<std::uint64_t>(&m_value))
        return *u;
    if (const auto* i = std::get_if<std::int64_t>(&m_value))
        return static_cast<std::uint64_t>(*i);
    return 0;
}

namespace {

// A width or precision from a file must not make us build megabytes of blanks.
constexpr int kMaxField = 4096;
constexpr int kMaxDoubleField = 64;

// One printf conversion as parsed from a template: only what we pass on to
// snprintf ourselves, never the template's own text.
struct ConversionSpec
{
    bool left = false;
    bool plus = false;
    bool space = false;
    bool alternate = false;
    bool zero = false;
    int width = -1;
    int precision = -1;
    bool wide64 = false; // ll, I64, q, j: unsigned reinterpretation keeps 64 bits
    char conversion = 0;
};

bool IsDigit(QChar c)
{
    return c >= u'0' && c <= u'9';
}

int ReadNumber(const QString& text, qsizetype& pos)
{
    long long value = 0;
    while (pos < text.size() && IsDigit(text[pos])) {
        value = std::min<long long>(value * 10 + (text[pos].unicode() - u'0'), kMaxField);
        ++pos;
    }
    return static_cast<int>(value);
}

// Parses flags, width, precision, length and conversion starting at pos
// (just after the '%'). On success pos is past the conversion character.
bool ParseSpec(const QString& text, qsizetype& pos, ConversionSpec& conv)
{
    qsizetype p = pos;
    for (; p < text.size(); ++p) {
        const QChar c = text[p];
        if (c == u'-')
            conv.left = true;
        else if (c == u'+')
            conv.plus = true;
        else if (c == u' ')
            conv.space = true;
        else if (c == u'#')
            conv.alternate = true;
        else if (c == u'0')
            conv.zero = true;
        else
            break;
    }
    if (p < text.size() && IsDigit(text[p]))
        conv.width = ReadNumber(text, p);
    if (p < text.size() && text[p] == u'.') {
        ++p;
        conv.precision = ReadNumber(text, p);
    }
    // Length modifiers only tell the C library how the argument was passed;
    // ours are typed, so they are read and dropped.
    const auto startsWith = [&](const char* s) { return QStringView(text).mid(p).startsWith(QLatin1StringView(s)); };
    if (startsWith("I64")) {
        conv.wide64 = true;
        p += 3;
    } else if (startsWith("I32")) {
        p += 3;
    } else if (startsWith("ll")) {
        conv.wide64 = true;
        p += 2;
    } else if (startsWith("hh")) {
        p += 2;
    } else if (p < text.size() && QStringView(u"hlLqjztwI").contains(text[p])) {
        conv.wide64 = text[p] == u'q' || text[p] == u'j';
        ++p;
    }
    if (p >= text.size())
        return false;
    const char16_t c = text[p].unicode();
    if (!QStringView(u"diouxXcCsSeEfFgGaA").contains(QChar(c)))
        return false;
    conv.conversion = static_cast<char>(c);
    pos = p + 1;
    return true;
}

std::string FlagText(const ConversionSpec& conv, bool allowAlternate, bool allowZero)
{
    std::string f = "%";
    if (conv.left)
        f += '-';
    if (conv.plus)
        f += '+';
    if (conv.space)
        f += ' ';
    if (conv.alternate && allowAlternate)
        f += '#';
    if (conv.zero && allowZero)
        f += '0';
    if (conv.width >= 0)
        f += std::to_string(conv.width);
    if (conv.precision >= 0)
        f += '.' + std::to_string(conv.precision);
    return f;
}

template <class T>
QString CallSnprintf(const std::string& format, T value)
{
    const int n = std::snprintf(nullptr, 0, format.c_str(), value);
    if (n <= 0)
        return {};
    std::string out(static_cast<std::size_t>(n) + 1, '\0');
    std::snprintf(out.data(), out.size(), format.c_str(), value);
    out.resize(static_cast<std::size_t>(n));
    return QString::fromLocal8Bit(out);
}

QString PadText(QString text, const ConversionSpec& conv)
{
    if (conv.precision >= 0 && text.size() > conv.precision)
        text.truncate(conv.precision);
    if (conv.width > text.size()) {
        const QString blanks(conv.width - text.size(), u' ');
        text = conv.left ? text + blanks : blanks + text;
    }
    return text;
}

// Writes one typed insert as the conversion asks; the conversion never
// changes how the insert is read.
QString Render(const ConversionSpec& conv, const FormatArg& arg)
{
    if (arg.IsText())
        return PadText(arg.Text(), conv);

    // An unsigned insert above the signed range is still written as itself.
    const bool isUnsignedValue = arg.Signed() < 0 && !arg.Text().startsWith(u'-');
    switch (conv.conversion) {
    case 'd':
    case 'i':
        if (isUnsignedValue)
            return CallSnprintf(FlagText(conv, false, true) + "llu", static_cast<unsigned long long>(arg.Unsigned()));
        return CallSnprintf(FlagText(conv, false, true) + "lld", static_cast<long long>(arg.Signed()));
    case 'u':
    case 'o':
    case 'x':
    case 'X': {
        std::uint64_t value = arg.Unsigned();
        // A negative int written unsigned reads as the 32-bit word it is,
        // unless the template asked for 64 bits.
        if (!isUnsignedValue && arg.Signed() < 0 && arg.Signed() >= std::numeric_limits<std::int32_t>::min() && !conv.wide64)
            value = static_cast<std::uint32_t>(arg.Signed());
        return CallSnprintf(FlagText(conv, conv.conversion != 'u', true) + "ll" + conv.conversion,
                            static_cast<unsigned long long>(value));
    }
    case 'c':
    case 'C': {
        const std::int64_t code = arg.Signed();
        QString ch;
        if (code > 0 && code <= 0x10FFFF && !(code >= 0xD800 && code <= 0xDFFF)) {
            const char32_t c32 = static_cast<char32_t>(code);
            ch = QString::fromUcs4(&c32, 1);
        }
        ConversionSpec s = conv;
        s.precision = -1;
        return PadText(ch, s);
    }
    case 's':
    case 'S':
        return PadText(arg.Text(), conv);
    default: {
        const double value = isUnsignedValue ? static_cast<double>(arg.Unsigned()) : static_cast<double>(arg.Signed());
        return CallSnprintf(FlagText(conv, true, true) + conv.conversion, value);
    }
    }
}

} // namespace

QString FormatMessageTemplate(const QString& tmpl, FormatArgs args)
{
    QString out;
    out.reserve(tmpl.size());
    const qsizetype n = tmpl.size();
    qsizetype i = 0;
    while (i < n) {
        const QChar c = tmpl[i];
        if (c != u'%' || i + 1 >= n) {
            out += c;
            ++i;
            continue;
        }
        const QChar d = tmpl[i + 1];
        if (d >= u'1' && d <= u'9') {
            int number = d.unicode() - u'0';
            qsizetype p = i + 2;
            if (p < n && IsDigit(tmpl[p])) {
                number = number * 10 + (tmpl[p].unicode() - u'0');
                ++p;
            }
            ConversionSpec conv;
            conv.conversion = 's';
            if (p < n && tmpl[p] == u'!') {
                const qsizetype close = tmpl.indexOf(u'!', p + 1);
                if (close >= 0) {
                    const QString typeText = tmpl.mid(p + 1, close - p - 1);
                    qsizetype tp = 0;
                    ConversionSpec parsed;
                    if (ParseSpec(typeText, tp, parsed) && tp == typeText.size())
                        conv = parsed;
                    p = close + 1;
                }
            }
            if (static_cast<std::size_t>(number) <= args.size())
                out += Render(conv, args[static_cast<std::size_t>(number - 1)]);
            i = p;
            continue;
        }
        switch (d.unicode()) {
        case u'0':
            return out;
        case u'n':
            out += u'\n';
            i += 2;
            break;
        case u'%':
        case u'.':
        case u'!':
        case u' ':
            out += d;
            i += 2;
            break;
        default:
            out += c;
            ++i;
            break;
        }
    }
    return out;
}

QString FormatMessageTemplate(const QString& tmpl, std::initializer_list<FormatArg> args)
{
    return FormatMessageTemplate(tmpl, FormatArgs(args.begin(), args.size()));
}

QString FormatPrintfTemplate(const QString& tmpl, FormatArgs args)
{
    QString out;
    out.reserve(tmpl.size());
    const qsizetype n = tmpl.size();
    std::size_t next = 0;
    qsizetype i = 0;
    while (i < n) {
        const QChar c = tmpl[i];
        if (c != u'%' || i + 1 >= n) {
            out += c;
            ++i;
            continue;
        }
        if (tmpl[i + 1] == u'%') {
            out += u'%';
            i += 2;
            continue;
        }
        qsizetype p = i + 1;
        ConversionSpec conv;
        if (!ParseSpec(tmpl, p, conv)) {
            out += c;
            ++i;
            continue;
        }
        if (next < args.size())
            out += Render(conv, args[next++]);
        else
            out += tmpl.mid(i, p - i);
        i = p;
    }
    return out;
}

QString FormatPrintfTemplate(const QString& tmpl, std::initializer_list<FormatArg> args)
{
    return FormatPrintfTemplate(tmpl, FormatArgs(args.begin(), args.size()));
}

QString FormatDouble(const char* format, double value)
{
    if (format == nullptr)
        return {};
    // Checked even though the formats are our own: one floating conversion
    // and nothing that would read a second argument.
    const QString text = QString::fromLatin1(format);
    int conversions = 0;
    for (qsizetype i = 0; i < text.size(); ++i) {
        if (text[i] != u'%')
            continue;
        if (i + 1 < text.size() && text[i + 1] == u'%') {
            ++i;
            continue;
        }
        qsizetype p = i + 1;
        ConversionSpec conv;
        if (!ParseSpec(text, p, conv) || !QStringView(u"eEfFgGaA").contains(QChar(conv.conversion)) || text[p - 2] == u'L')
            return {};
        // No caller needs more than a few dozen characters.
        if (conv.width > kMaxDoubleField || conv.precision > kMaxDoubleField)
            return {};
        ++conversions;
        i = p - 1;
    }
    if (conversions != 1)
        return {};
    const int n = std::snprintf(nullptr, 0, format, value);
    if (n <= 0)
        return {};
    std::string out(static_cast<std::size_t>(n) + 1, '\0');
    std::snprintf(out.data(), out.size(), format, value);
    out.resize(static_cast<std::size_t>(n));
    return QString::fromLocal8Bit(out);
}
