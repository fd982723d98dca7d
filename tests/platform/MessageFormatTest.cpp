#include "platform/MessageFormat.h"
#include "platform/SystemErrorText.h"

#include <gtest/gtest.h>

#include <cerrno>
#include <clocale>
#include <string>

namespace {

QString Win(const char* tmpl, std::initializer_list<FormatArg> args = {})
{
    return FormatMessageTemplate(QString::fromUtf8(tmpl), args);
}

QString Printf(const char* tmpl, std::initializer_list<FormatArg> args = {})
{
    return FormatPrintfTemplate(QString::fromUtf8(tmpl), args);
}

// The tests compare number texts with '.', so they run in the C locale and
// put back whatever the process had.
class CLocale : public ::testing::Test
{
protected:
    void SetUp() override
    {
        m_saved = std::setlocale(LC_ALL, nullptr);
        std::setlocale(LC_ALL, "C");
    }
    void TearDown() override { std::setlocale(LC_ALL, m_saved.c_str()); }

private:
    std::string m_saved;
};

using MessageTemplate = CLocale;
using PrintfTemplate = CLocale;

} // namespace

TEST_F(MessageTemplate, InsertsAndEscapes)
{
    EXPECT_EQ(Win("%1 and %2!s!", {"a", QString("b")}), "a and b");
    EXPECT_EQ(Win("line%nnext"), "line\nnext");
    EXPECT_EQ(Win("100%% sure%. %!% x"), "100% sure. ! x");
    EXPECT_EQ(Win("kept%0dropped %1", {"x"}), "kept");
    EXPECT_EQ(Win("%2-%1", {1, 2}), "2-1");
    EXPECT_EQ(Win("%1%1", {"ab"}), "abab");
    EXPECT_EQ(Win("multi\nline %1", {7}), "multi\nline 7");
    EXPECT_EQ(Win("日本語 %1 です", {QString::fromUtf8("値")}), QString::fromUtf8("日本語 値 です"));
    // Two digits at most: %123 is insert 12 followed by "3".
    EXPECT_EQ(Win("%10|%123", {1, 2, 3, 4, 5, 6, 7, 8, 9, "ten", 11, "twelve"}), "ten|twelve3");
}

TEST_F(MessageTemplate, TypedInsertShapes)
{
    EXPECT_EQ(Win("%1!d!", {42}), "42");
    EXPECT_EQ(Win("[%1!5d!]", {42}), "[   42]");
    EXPECT_EQ(Win("[%1!-5d!]", {42}), "[42   ]");
    EXPECT_EQ(Win("%1!05d!", {-42}), "-0042");
    EXPECT_EQ(Win("%1!x! %1!X! %1!#x!", {255}), "ff FF 0xff");
    EXPECT_EQ(Win("%1!u!", {-1}), "4294967295");
    EXPECT_EQ(Win("%1!I64u!", {-1}), "18446744073709551615");
    EXPECT_EQ(Win("%1!lu!", {4000000000u}), "4000000000");
    EXPECT_EQ(Win("%1!d!", {18446744073709551615ull}), "18446744073709551615");
    EXPECT_EQ(Win("%1!c!", {65}), "A");
    EXPECT_EQ(Win("%1!.2f!", {3}), "3.00");
    EXPECT_EQ(Win("[%1!5s!|%1!-4s!|%1!.2s!]", {"abc"}), "[  abc|abc |ab]");
    EXPECT_EQ(Win("%1!ls!", {"wide"}), "wide");
}

TEST_F(MessageTemplate, MismatchedTemplatesNeverReadMissingOrWrongInserts)
{
    // An insert beyond those passed is empty (a key+code message has only %1).
    EXPECT_EQ(Win("a%2b%99c", {"x"}), "abc");
    EXPECT_EQ(Win("%1", {}), "");
    // The type shapes, the insert decides: a string stays a string, an
    // integer is written in decimal for %n, %n!s! and %n!d! alike.
    EXPECT_EQ(Win("%1!d!", {"text"}), "text");
    EXPECT_EQ(Win("%1!x!", {"text"}), "text");
    EXPECT_EQ(Win("%1 %1!s! %1!d!", {17}), "17 17 17");
    EXPECT_EQ(Win("%1!s!", {-3}), "-3");
    // A type that is not a printf type, or an unclosed one, writes the insert plainly.
    EXPECT_EQ(Win("%1!zz!", {5}), "5");
    EXPECT_EQ(Win("%1!*d!", {5, 6}), "5");
    EXPECT_EQ(Win("%1!d", {5}), "5!d");
    EXPECT_EQ(Win("%1!!", {5}), "5");
    // Unknown sequences and a stray '%' are shown as they stand.
    EXPECT_EQ(Win("50%"), "50%");
    EXPECT_EQ(Win("%q %r %s %d"), "%q %r %s %d");
    EXPECT_EQ(Win("%"), "%");
    // Absurd widths stay bounded.
    const QString wide = Win("%1!999999999d!", {1});
    EXPECT_LE(wide.size(), 4096);
    EXPECT_TRUE(wide.endsWith(u'1'));
}

TEST_F(PrintfTemplate, ConversionsTakeInsertsInOrder)
{
    EXPECT_EQ(Printf("model %d, bits 0x%04X", {6101, 0x1D97}), "model 6101, bits 0x1D97");
    EXPECT_EQ(Printf("port %s open", {"COM3"}), "port COM3 open");
    EXPECT_EQ(Printf("%5.2f|%-6d|%+d|%x|%o", {2, 7, 3, 255, 8}), " 2.00|7     |+3|ff|10");
    EXPECT_EQ(Printf("%ld %lld %hd %lu %ls %I64d", {1, 2, 3, 4u, "s", 5}), "1 2 3 4 s 5");
    EXPECT_EQ(Printf("[%8s][%-3s][%.1s]", {"abc", "x", "yz"}), "[     abc][x  ][y]");
    EXPECT_EQ(Printf("100%% done"), "100% done");
    EXPECT_EQ(Printf("%c%c", {0x65E5, 0x1F600}), QString::fromUtf8("日😀"));
}

TEST_F(PrintfTemplate, MismatchedTemplatesAreSafe)
{
    // Integer for %s and string for %d: each is written as what it is.
    EXPECT_EQ(Printf("%s", {12}), "12");
    EXPECT_EQ(Printf("%d", {"COM3"}), "COM3");
    EXPECT_EQ(Printf("%f", {"x"}), "x");
    // More conversions than inserts: the rest is shown as written.
    EXPECT_EQ(Printf("%d and %d and %s", {5}), "5 and %d and %s");
    EXPECT_EQ(Printf("%s"), "%s");
    // Conversions that write through or print pointers are never run.
    EXPECT_EQ(Printf("%n%p%d", {9}), "%n%p9");
    // '*' would take a width from the inserts: not honoured.
    EXPECT_EQ(Printf("%*d", {3, 4}), "%*d");
    EXPECT_EQ(Printf("50%"), "50%");
    EXPECT_EQ(Printf("%0"), "%0");
    EXPECT_EQ(Printf("%5"), "%5");
    EXPECT_EQ(Printf("%y %"), "%y %");
    EXPECT_EQ(Printf("%1$s", {"a"}), "%1$s");
    EXPECT_LE(Printf("%99999999999d", {1}).size(), 4096);
    EXPECT_LE(Printf("%.99999999999f", {1}).size(), 4200);
}

TEST_F(PrintfTemplate, FormatDoubleTakesOnlyOneFloatingConversion)
{
    EXPECT_EQ(FormatDouble("%.2lf", 1.256), "1.26");
    EXPECT_EQ(FormatDouble("%g", 0.5), "0.5");
    EXPECT_EQ(FormatDouble("%g", 100.0), "100");
    EXPECT_EQ(FormatDouble("%.1lf %%", 50.0), "50.0 %");
    EXPECT_EQ(FormatDouble("%d", 1.0), "");
    EXPECT_EQ(FormatDouble("%f %f", 1.0), "");
    EXPECT_EQ(FormatDouble("%s", 1.0), "");
    EXPECT_EQ(FormatDouble("%Lf", 1.0), "");
    EXPECT_EQ(FormatDouble("no conversion", 1.0), "");
    EXPECT_EQ(FormatDouble(nullptr, 1.0), "");
    EXPECT_EQ(FormatDouble("%64.2f", 1.0).size(), 64);
    EXPECT_EQ(FormatDouble("%65.2f", 1.0), "");
    EXPECT_EQ(FormatDouble("%.99999999999f", 1.0), "");
    EXPECT_EQ(FormatDouble("%2147483648f", 1.0), "");
}

TEST(NumberLocale, NumbersFollowTheProcessLocale)
{
    const std::string saved = std::setlocale(LC_ALL, nullptr);
    // The decimal comma shows a formatter that writes a point whatever the locale.
    const struct
    {
        const char* name;
        const char* point;
    } locales[] = {{"en_US.UTF-8", "."}, {"ja_JP.UTF-8", "."}, {"de_DE.UTF-8", ","}};
    for (const auto& [name, decimalPoint] : locales) {
        ASSERT_NE(std::setlocale(LC_ALL, name), nullptr) << name;
        const QString point = QString::fromLatin1(decimalPoint);
        EXPECT_EQ(FormatDouble("%.1lf", 1.5), "1" + point + "5");
        EXPECT_EQ(Printf("%.2f", {3}), "3" + point + "00");
        EXPECT_EQ(Win("%1!.1f!", {2}), "2" + point + "0");
    }
    std::setlocale(LC_ALL, saved.c_str());
}

TEST(SystemErrorText, TextsOfKnownCodesOnly)
{
    EXPECT_EQ(SystemErrorText(0), "");
    const QString text = SystemErrorText(ENOENT);
    EXPECT_GT(text.size(), 1);
    EXPECT_TRUE(text.endsWith(u'\n'));
    EXPECT_FALSE(text.startsWith(u'\n'));
    EXPECT_EQ(SystemErrorText(987654), "");
    EXPECT_EQ(SystemErrorText(-5), "");
}
