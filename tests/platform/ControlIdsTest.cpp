#include "platform/ControlIds.h"

#include <QComboBox>
#include <QDialog>
#include <QGroupBox>
#include <QLabel>
#include <QLineEdit>
#include <QPushButton>

#include <gtest/gtest.h>

TEST(ControlIds, ControlsInsideGroupsBelongToTheDialogButOwnedWindowsDoNot)
{
    constexpr int kGroupId = 1100;
    constexpr int kInnerId = 1101;
    constexpr int kForeignId = 1200;
    QDialog dialog;
    auto* group = new QGroupBox(&dialog);
    SetControlId(group, kGroupId);
    auto* inner = new QLineEdit(group);
    SetControlId(inner, kInnerId);
    auto* unnamed = new QLabel(&dialog);
    auto* duplicate = new QLabel(&dialog);
    SetControlId(duplicate, kInnerId);
    auto* owned = new QDialog(&dialog);
    auto* foreign = new QLabel(owned);
    SetControlId(foreign, kForeignId);

    EXPECT_EQ(FindControl(&dialog, kInnerId), inner) << "the first in creation order";
    EXPECT_EQ(FindControl(&dialog, kForeignId), nullptr);
    EXPECT_EQ(FindControl(owned, kForeignId), foreign);
    EXPECT_EQ(GetControlId(unnamed), 0);
    EXPECT_EQ(DialogControls(&dialog), (QList<QWidget*>{group, inner, duplicate}));
}

TEST(ControlIds, WindowTextByKindOfControl)
{
    QDialog dialog;
    QLineEdit edit(&dialog);
    QLabel label(&dialog);
    QPushButton button(&dialog);
    QGroupBox group(&dialog);
    QComboBox list(&dialog);
    list.addItems({QStringLiteral("COM1"), QStringLiteral("COM2")});
    QComboBox editable(&dialog);
    editable.setEditable(true);

    for (QWidget* control : std::initializer_list<QWidget*>{&edit, &label, &button, &group, &editable, &dialog}) {
        SetWindowText(control, QStringLiteral("text"));
        EXPECT_EQ(GetWindowText(control), "text") << control->metaObject()->className();
    }
    SetWindowText(&list, QStringLiteral("COM2"));
    EXPECT_EQ(GetWindowText(&list), "COM2");
    SetWindowText(&list, QStringLiteral("COM9"));
    EXPECT_EQ(GetWindowText(&list), "COM2") << "a list only shows its own entries";
    EXPECT_EQ(GetWindowText(nullptr), "");
}
