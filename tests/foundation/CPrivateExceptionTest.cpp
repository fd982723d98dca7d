#include "LanguageFileFixture.h"

#include "foundation/CMessageFormatter.h"
#include "foundation/CPrivateException.h"
#include "foundation/CStringTable.h"
#include "foundation/Globals.h"
#include "platform/SystemErrorText.h"

#include <cerrno>

namespace {

class MessageTexts : public LanguageFileFixture
{
protected:
    void SetUp() override
    {
        LanguageFileFixture::SetUp();
        WriteFile("m.lng", LanguageFile("<message>"
                                        "<text name=\"WITH_CODE\">Cannot open.%n%1</text>"
                                        "<text name=\"TWO\">%1 of %2!d! (%3)</text>"
                                        "<text name=\"PERCENT\">50%% %1</text>"
                                        "</message>"));
        g_resourceDatabase.LoadLanguageFileFrom(Dir(), "m.lng");
    }
    void TearDown() override
    {
        g_resourceDatabase.CreateEmpty();
        LanguageFileFixture::TearDown();
    }
};

} // namespace

TEST(PrivateException, GetErrorMessageCutsToTheBuffer)
{
    const CPrivateException e(QString("0123456789ABCDEFGHIJ"));
    char16_t buffer[16];
    std::fill(std::begin(buffer), std::end(buffer), u'#');
    unsigned help = 77;
    EXPECT_TRUE(e.GetErrorMessage(buffer, 10, &help));
    EXPECT_EQ(QString::fromUtf16(buffer), "012345678");
    EXPECT_EQ(buffer[10], u'#');
    EXPECT_EQ(help, 77u);

    std::fill(std::begin(buffer), std::end(buffer), u'#');
    EXPECT_FALSE(e.GetErrorMessage(buffer, 0));
    EXPECT_EQ(buffer[0], u'#');
    EXPECT_FALSE(e.GetErrorMessage(nullptr, 10));
    EXPECT_TRUE(e.GetErrorMessage(buffer, 1));
    EXPECT_EQ(buffer[0], u'\0');
    EXPECT_EQ(buffer[1], u'#');

    const CPrivateException shortText(u"abc");
    EXPECT_TRUE(shortText.GetErrorMessage(buffer, 16));
    EXPECT_EQ(QString::fromUtf16(buffer), "abc");
}

TEST(PrivateException, ThrownByValueCaughtAsFrameworkException)
{
    EXPECT_EQ(CPrivateException(static_cast<const char16_t*>(nullptr)).GetText(), "");
    try {
        throw CPrivateException(u"failed");
    } catch (const CException& e) {
        char16_t buffer[32];
        ASSERT_TRUE(e.GetErrorMessage(buffer, 32));
        EXPECT_EQ(QString::fromUtf16(buffer), "failed");
        EXPECT_STREQ(e.what(), "failed");
    }
    EXPECT_STREQ(CPrivateException(QString::fromUtf8("通信エラー")).what(), "通信エラー");
}

TEST_F(MessageTexts, FormatterFromKeyCodeAndInserts)
{
    // A key alone gives its template unformatted.
    EXPECT_EQ(CMessageFormatter(QString("TWO")).GetText(), "%1 of %2!d! (%3)");
    EXPECT_EQ(CMessageFormatter(QString("PERCENT")).GetText(), "50%% %1");
    EXPECT_EQ(CMessageFormatter(QString("NONE")).GetText(), "");

    EXPECT_EQ(CMessageFormatter(ENOENT).GetText(), SystemErrorText(ENOENT));
    EXPECT_EQ(CMessageFormatter(0).GetText(), "");

    // Key and code: insert 1 is the system text, line break included.
    EXPECT_EQ(CMessageFormatter("WITH_CODE", ENOENT).GetText(), "Cannot open.\n" + SystemErrorText(ENOENT));
    EXPECT_EQ(CMessageFormatter("WITH_CODE", 987654).GetText(), "Cannot open.\n");
    // Only one insert exists for a key and a code.
    EXPECT_EQ(CMessageFormatter("TWO", EACCES).GetText(), SystemErrorText(EACCES) + " of  ()");
    EXPECT_EQ(CMessageFormatter("NONE", ENOENT).GetText(), "");

    EXPECT_EQ(CMessageFormatter("TWO", {"ReadHoldingRegister", 9601, 1}).GetText(), "ReadHoldingRegister of 9601 (1)");
    EXPECT_EQ(CMessageFormatter("TWO", {1, "x"}).GetText(), "1 of x ()");
    EXPECT_EQ(CMessageFormatter("PERCENT", {"done"}).GetText(), "50% done");

    const CPrivateException e(CMessageFormatter("TWO", {"a", 2, "c"}));
    EXPECT_EQ(e.GetText(), "a of 2 (c)");
}

TEST(StringTable, UnknownIdsAreEmpty)
{
    EXPECT_EQ(CStringTable::LoadString(0), "");
    EXPECT_EQ(CStringTable::LoadString(-1), "");
    EXPECT_EQ(CStringTable::LoadString(123456), "");
}
