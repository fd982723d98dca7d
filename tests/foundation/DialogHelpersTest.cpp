#include "foundation/DialogHelpers.h"
#include "foundation/Globals.h"
#include "platform/ControlIds.h"

#include <QApplication>
#include <QComboBox>
#include <QDialog>
#include <QFile>
#include <QFontDatabase>
#include <QGroupBox>
#include <QLabel>
#include <QLineEdit>
#include <QRadioButton>
#include <QTemporaryDir>

#include <gtest/gtest.h>

TEST(DialogHelpers, NumberTextsAndDecimalFormats)
{
    EXPECT_EQ(NumberText(1234, 100), "12.34");
    EXPECT_EQ(NumberText(-5, 10), "-0.5");
    EXPECT_EQ(NumberText(7, 1), "7");
    EXPECT_EQ(NumberText(5, 50), "0.1");
    EXPECT_EQ(NumberText(-2147483647 - 1, 1), "-2147483648");
    EXPECT_EQ(NumberText(123456, 1000), "123.456");

    EXPECT_EQ(MakeDecimalFormat(50), "%.1lf");
    EXPECT_EQ(MakeDecimalFormat(9), "%.0lf");
    EXPECT_EQ(MakeDecimalFormat(1), "%.0lf");
    EXPECT_EQ(MakeDecimalFormat(100), "%.2lf");
    EXPECT_EQ(MakeDecimalFormat(1000), "%.3lf");

    QLineEdit edit;
    SetNumberText(&edit, 1234, 100);
    EXPECT_EQ(edit.text(), "12.34");
    QLabel label;
    SetNumberText(&label, 7, 1);
    EXPECT_EQ(label.text(), "7");
}

TEST(DialogHelpers, SmallTextHelpers)
{
    EXPECT_EQ(CutAtFirstBlank("5 V"), "5");
    EXPECT_EQ(CutAtFirstBlank(" 5 V"), " 5 V");
    EXPECT_EQ(CutAtFirstBlank("12.5"), "12.5");
    EXPECT_EQ(GetVersionText(), "Ombrix Version1.1.15");
    EXPECT_EQ(GetModuleDirectory(), QCoreApplication::applicationDirPath());
    EXPECT_TRUE(IsOsVersionAtLeast(10, 0));
}

TEST(DialogHelpers, ComboBoxesFromTheStringTableAndTheLanguageLists)
{
    QTemporaryDir dir;
    QFile file(dir.filePath("Lists.lng"));
    ASSERT_TRUE(file.open(QIODevice::WriteOnly));
    file.write("<?xml version=\"1.0\" encoding=\"utf-8\"?>\n<root><application>Ombrix</application>"
               "<filetype>language</filetype><language>Test</language><locale>C.UTF-8</locale>"
               "<list name=\"Colours\"><text name=\"0\">Red</text><text name=\"2\">Blue</text></list></root>\n");
    file.close();
    g_resourceDatabase.LoadLanguageFileFrom(dir.path(), "Lists.lng");

    QComboBox combo;
    combo.addItem("first");
    AddComboStringsFromList(&combo, "Colours", 3);
    ASSERT_EQ(combo.count(), 4);
    EXPECT_EQ(combo.itemText(1), "Red");
    EXPECT_EQ(combo.itemText(2), "") << "a missing entry adds an empty item";
    EXPECT_EQ(combo.itemText(3), "Blue");

    QComboBox table;
    AddComboStringsFromResources(&table, 1, 2);
    EXPECT_EQ(table.count(), 2);
}

TEST(DialogHelpers, RadioPairsAreExclusiveOnlyWithinThePair)
{
    // Two pairs under one parent: Qt alone would make all four exclusive.
    QDialog dialog;
    QRadioButton* buttons[4];
    for (int i = 0; i < 4; ++i) {
        buttons[i] = new QRadioButton(&dialog);
        SetControlId(buttons[i], 1000 + i);
    }

    SetRadioPair(&dialog, 1000, 1001, true);
    SetRadioPair(&dialog, 1002, 1003, false);
    EXPECT_TRUE(GetRadioPair(&dialog, 1000, 1001));
    EXPECT_FALSE(GetRadioPair(&dialog, 1002, 1003));
    EXPECT_TRUE(buttons[2]->isChecked());

    buttons[0]->click();
    EXPECT_FALSE(GetRadioPair(&dialog, 1000, 1001));
    EXPECT_TRUE(buttons[2]->isChecked()) << "the other pair keeps its choice";
    buttons[3]->click();
    EXPECT_TRUE(GetRadioPair(&dialog, 1002, 1003));
    EXPECT_TRUE(buttons[0]->isChecked());
    EXPECT_FALSE(GetRadioPair(&dialog, 1000, 9999)) << "a missing button is not checked";
}

TEST(DialogHelpers, TheDialogFontReachesEveryDescendant)
{
    g_dialogFont.reset();
    g_defaultGuiFont.reset();
    EXPECT_EQ(GetDialogFont(), QApplication::font()) << "before any dialog asked for it";

    QDialog dialog;
    auto* group = new QGroupBox(&dialog);
    auto* inner = new QLabel(group);
    QFont odd = inner->font();
    odd.setPointSize(31);
    inner->setFont(odd);

    SetDialogFont(&dialog, false);
    const QFont expected = QFontDatabase::systemFont(QFontDatabase::GeneralFont);
    ASSERT_TRUE(g_dialogFont.has_value());
    EXPECT_EQ(*g_dialogFont, expected);
    EXPECT_EQ(dialog.font(), expected);
    EXPECT_EQ(group->font(), expected);
    EXPECT_EQ(inner->font(), expected);
    EXPECT_EQ(GetDialogFont(), expected);
    g_dialogFont.reset();
}
