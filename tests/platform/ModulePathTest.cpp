#include "platform/ModulePath.h"

#include <QFileInfo>

#include <gtest/gtest.h>

TEST(ModulePath, NamesTheRunningProgram)
{
    const QString path = ModuleFileName();
    EXPECT_TRUE(QFileInfo(path).isAbsolute());
    EXPECT_EQ(QFileInfo(path).fileName(), "platform_tests");
}
