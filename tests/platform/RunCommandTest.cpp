#include "foundation/CPrivateException.h"
#include "platform/RunCommand.h"
#include "support/CScriptedPrompts.h"

#include <gtest/gtest.h>

#include <new>

TEST(RunCommand, FailuresBecomeErrorBoxes)
{
    CScriptedPrompts prompts;
    bool ran = false;
    EXPECT_TRUE(RunCommand(nullptr, [&] { ran = true; }));
    EXPECT_TRUE(ran);
    EXPECT_EQ(prompts.Count(), 0u);

    EXPECT_FALSE(RunCommand(nullptr, [] { throw CPrivateException(QStringLiteral("Cannot open COM3")); }));
    ASSERT_EQ(prompts.Count(), 1u);
    EXPECT_EQ(prompts.Last().text, "Cannot open COM3");
    EXPECT_EQ(prompts.Last().style, MB_OK | MB_ICONERROR);

    EXPECT_FALSE(RunCommand(nullptr, [] { throw CPrivateException(QString()); }));
    ASSERT_EQ(prompts.Count(), 2u) << "an empty text is still shown";
    EXPECT_EQ(prompts.Last().text, "");

    EXPECT_FALSE(RunCommand(nullptr, [] { throw std::bad_alloc(); }));
    ASSERT_EQ(prompts.Count(), 3u);
    EXPECT_EQ(prompts.Last().text, "Out of memory.");
    EXPECT_EQ(prompts.Last().style, MB_OK | MB_ICONERROR);
}

TEST(RunCommand, TheBoxShowsWhatFitsTheFrameworksBuffer)
{
    CScriptedPrompts prompts;
    // A message that names a long path keeps its reason at the end.
    const QString pathMessage = QString(390, QLatin1Char('p')) + QStringLiteral(" reason");
    RunCommand(nullptr, [&] { throw CPrivateException(pathMessage); });
    ASSERT_EQ(prompts.Count(), 1u);
    EXPECT_EQ(prompts.Last().text, pathMessage);

    const QString longText(2000, QLatin1Char('x'));
    RunCommand(nullptr, [&] { throw CPrivateException(longText); });
    ASSERT_EQ(prompts.Count(), 2u);
    EXPECT_EQ(prompts.Last().text, longText.left(511));
}
