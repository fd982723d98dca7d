#include "app/ModelChoice.h"

#include <gtest/gtest.h>

namespace {

ModelChoiceList List(std::initializer_list<const char*> texts)
{
    ModelChoiceList list;
    std::uint16_t type = 0;
    for (const char* text : texts)
        list.append(SplitModelText(QString::fromUtf8(text), type++));
    return list;
}

} // namespace

TEST(ModelChoice, SplitsAtTheFirstBarPastTheStart)
{
    const ModelChoice three = SplitModelText(QStringLiteral("A|B|C|D"), 7);
    EXPECT_EQ(three.level1, "A");
    EXPECT_EQ(three.level2, "B");
    EXPECT_EQ(three.level3, "C|D");
    EXPECT_EQ(three.typeIndex, 7);

    const ModelChoice two = SplitModelText(QStringLiteral("A|B"), 0);
    EXPECT_EQ(two.level1, "A");
    EXPECT_EQ(two.level2, "B");
    EXPECT_TRUE(two.level3.isEmpty());

    // A bar at the very start is no separator: the whole text is level 1.
    EXPECT_EQ(SplitModelText(QStringLiteral("|A|B"), 0).level1, "|A|B");
    // The rest is split by the same rule: "A||B" keeps "|B" as level 2.
    const ModelChoice leadingBar = SplitModelText(QStringLiteral("A||B"), 0);
    EXPECT_EQ(leadingBar.level1, "A");
    EXPECT_EQ(leadingBar.level2, "|B");
    EXPECT_TRUE(leadingBar.level3.isEmpty());

    const ModelChoice none = SplitModelText(QString(), 0);
    EXPECT_TRUE(none.level1.isEmpty() && none.level2.isEmpty() && none.level3.isEmpty());
    EXPECT_EQ(SplitModelText(QStringLiteral("A|"), 0).level1, "A");
}

TEST(ModelChoice, BoxItemsFollowTheRefillRules)
{
    const ModelChoiceList list = List({"X|1|a", "X|1|b", "X|2", "X", "Y|1", "X|1|c", "Y|1|"});
    // Consecutive equal texts give one item.
    EXPECT_EQ(Level1Items(list), (QStringList{"X", "Y", "X", "Y"}));
    // Level 2 never offers an empty text.
    EXPECT_EQ(Level2Items(list, "X"), (QStringList{"1", "2", "1"}));
    // Level 3 is not de-duplicated but leaves empty texts out.
    EXPECT_EQ(Level3Items(list, "X", "1"), (QStringList{"a", "b", "c"}));
    EXPECT_TRUE(Level3Items(list, "Y", "1").isEmpty());

    // An empty database gives eight empty entries and no item at all.
    ModelChoiceList empty(8);
    EXPECT_TRUE(Level1Items(empty).isEmpty());
    EXPECT_TRUE(Level2Items(empty, QString()).isEmpty());
}

TEST(ModelChoice, FindsEntriesByTextsAndByType)
{
    ModelChoiceList list = List({"A|1", "A|2", "B|1"});
    list[2].typeIndex = 1;
    list.append(SplitModelText("C|1", 1));
    EXPECT_EQ(FindModel(list, "A", "2", ""), 1);
    // No exact match: the first entry.
    EXPECT_EQ(FindModel(list, "A", "3", ""), 0);
    EXPECT_EQ(FindModel(ModelChoiceList{}, "A", "", ""), -1);
    // The last entry carrying the type wins; a type nobody carries gives -1.
    EXPECT_EQ(FindModelOfType(list, 1), 3);
    EXPECT_EQ(FindModelOfType(list, 6), -1);
}
