#include "foundation/CPrivateException.h"
#include "foundation/DialogHelpers.h"
#include "foundation/Globals.h"

#include <QApplication>
#include <QFile>
#include <QLineEdit>
#include <QTemporaryDir>
#include <QTest>
#include <QVBoxLayout>
#include <QWidget>

#include <gtest/gtest.h>

#include <climits>

namespace {

// Templates that show each insert as it was passed.
class ValidateNumberTest : public ::testing::Test
{
protected:
    void SetUp() override
    {
        ASSERT_TRUE(m_dir.isValid());
        QFile file(m_dir.filePath("Inputs.lng"));
        ASSERT_TRUE(file.open(QIODevice::WriteOnly));
        file.write("<?xml version=\"1.0\" encoding=\"utf-8\"?>\n<root><application>Ombrix</application>"
                   "<filetype>language</filetype><language>Test</language><locale>C.UTF-8</locale>"
                   "<message><text name=\"MSG_ERROR_INPUT_INT\">INT [%1]</text>"
                   "<text name=\"MSG_ERROR_INPUT_NUM\">NUM [%1]</text>"
                   "<text name=\"MSG_ERROR_INPUT_RANGE_FORMAT\">RANGE [%1] [%2] [%3]</text></message>"
                   "<parameter><text name=\"CT1\">Primary current</text></parameter></root>\n");
        file.close();
        g_resourceDatabase.LoadLanguageFileFrom(m_dir.path(), "Inputs.lng");
    }

    // The value as text, or the message of the rejection.
    QString Read(const QString& text, int minimum, int maximum, int scale, bool select = false)
    {
        edit.setText(text);
        try {
            return QString::number(ValidateNumber(&edit, minimum, maximum, scale, "CT1", select));
        } catch (const CPrivateException& e) {
            return e.GetText();
        }
    }

    QTemporaryDir m_dir;
    QLineEdit edit;
};

} // namespace

TEST_F(ValidateNumberTest, IntegersAreDecimalUnlessHexadecimal)
{
    EXPECT_EQ(Read("0x1F", 0, 100, 1), "31");
    EXPECT_EQ(Read("0X1f", 0, 100, 1), "31");
    EXPECT_EQ(Read("010", 0, 100, 1), "10") << "leading zeros are not octal";
    EXPECT_EQ(Read("0100", 0, 1000, 1), "100");
    EXPECT_EQ(Read("08", 0, 100, 1), "8");
    EXPECT_EQ(Read(" \t-42", -100, 100, 1), "-42");
    EXPECT_EQ(Read("+7", 0, 100, 1), "7");
    EXPECT_EQ(Read("-0x10", -100, 100, 1), "-16");
    EXPECT_EQ(Read("2147483647", INT_MIN, INT_MAX, 1), "2147483647");
    EXPECT_EQ(Read("-2147483648", INT_MIN, INT_MAX, 1), "-2147483648");
}

TEST_F(ValidateNumberTest, TextThatIsNotAWholeNumberIsRejected)
{
    for (const char* text : {"12 ", "", "   ", "0x", "0xg", "1.5", "abc", "08x", "-", "1e3"})
        EXPECT_EQ(Read(text, INT_MIN, INT_MAX, 1), "INT [Primary current]") << '"' << text << '"';
    edit.setText("5");
    EXPECT_THROW(ValidateNumber(&edit, 0, 1, 1, "UNKNOWN", false), CPrivateException);
    try {
        ValidateNumber(&edit, 0, 1, 1, "UNKNOWN", false);
    } catch (const CPrivateException& e) {
        EXPECT_EQ(e.GetText(), "RANGE [] [0] [1]") << "a key without a name gives an empty name";
    }
}

TEST_F(ValidateNumberTest, ScaledNumbersRoundHalfAwayFromZero)
{
    EXPECT_EQ(Read("0.125", -100000, 100000, 100), "13");
    EXPECT_EQ(Read("-0.125", -100000, 100000, 100), "-13");
    EXPECT_EQ(Read("1e1", -100000, 100000, 100), "1000");
    EXPECT_EQ(Read("12.34", -100000, 100000, 100), "1234");
    EXPECT_EQ(Read(" 5", -100000, 100000, 10), "50");
    EXPECT_EQ(Read("0.04", -100000, 100000, 10), "0");
    for (const char* text : {"12.3x", "", "1.5 ", "inf", "-inf", "nan", "infinity", "."})
        EXPECT_EQ(Read(text, INT_MIN, INT_MAX, 100), "NUM [Primary current]") << '"' << text << '"';
}

TEST_F(ValidateNumberTest, ValuesBeyond32BitsFailTheRangeCheck)
{
    EXPECT_EQ(Read("4294967297", 0, 10, 1), "RANGE [Primary current] [0] [10]");
    EXPECT_EQ(Read("2147483648", INT_MIN, INT_MAX, 1), "RANGE [Primary current] [-2147483648] [2147483647]");
    EXPECT_EQ(Read("-99999999999999999999999", INT_MIN, INT_MAX, 1),
              "RANGE [Primary current] [-2147483648] [2147483647]");
    EXPECT_EQ(Read("1e99", INT_MIN, INT_MAX, 100), "RANGE [Primary current] [-2.14748e+07] [2.14748e+07]");
    EXPECT_EQ(Read("-1e400", INT_MIN, INT_MAX, 100), "RANGE [Primary current] [-2.14748e+07] [2.14748e+07]");
    EXPECT_EQ(Read("21474836.48", INT_MIN, INT_MAX, 100), "RANGE [Primary current] [-2.14748e+07] [2.14748e+07]");
}

TEST_F(ValidateNumberTest, RangeTextsFollowTheScale)
{
    EXPECT_EQ(Read("1000000", 0, 999999, 1), "RANGE [Primary current] [0] [999999]");
    EXPECT_EQ(Read("-1", 0, 999999, 1), "RANGE [Primary current] [0] [999999]");
    EXPECT_EQ(Read("5.01", -500, 500, 100), "RANGE [Primary current] [-5] [5]");
    EXPECT_EQ(Read("0.5", 100, 10000, 100), "RANGE [Primary current] [1] [100]");
    EXPECT_EQ(Read("0.5", 1, 10, 0), "RANGE [Primary current] [1] [10]") << "scale 0 writes integers";
    EXPECT_EQ(Read("5", -500, 500, 100), "500") << "the limits themselves pass";
    EXPECT_EQ(Read("-5", -500, 500, 100), "-500");
    EXPECT_EQ(ValidateNumber16(&edit, -500, 500, 100, "CT1", false), -500);
}

TEST_F(ValidateNumberTest, SelectFlagPutsTheFocusOnTheRejectedText)
{
    QWidget window;
    auto* layout = new QVBoxLayout(&window);
    auto* other = new QLineEdit(&window);
    auto* field = new QLineEdit(&window);
    layout->addWidget(other);
    layout->addWidget(field);
    window.show();
    window.activateWindow();
    ASSERT_TRUE(QTest::qWaitForWindowActive(&window));
    other->setFocus();

    field->setText("123");
    EXPECT_THROW(ValidateNumber(field, 0, 100, 1, "CT1", false), CPrivateException);
    EXPECT_EQ(window.focusWidget(), other) << "without the flag nothing moves";
    EXPECT_FALSE(field->hasSelectedText());

    field->setText("12x");
    EXPECT_THROW(ValidateNumber(field, 0, 100, 1, "CT1", true), CPrivateException);
    EXPECT_EQ(window.focusWidget(), other) << "a text that is no number leaves the control alone";

    field->setText("123");
    field->setCursorPosition(1);
    EXPECT_THROW(ValidateNumber(field, 0, 100, 1, "CT1", true), CPrivateException);
    EXPECT_EQ(window.focusWidget(), field);
    EXPECT_EQ(field->selectedText(), "123");
    EXPECT_EQ(field->cursorPosition(), 0) << "the caret at the start";
    EXPECT_EQ(field->text(), "123");
}
