#include <QApplication>

#include <gtest/gtest.h>

// Every test program runs headless unless told otherwise, with one
// application object for the widgets and the queued calls.
int main(int argc, char** argv)
{
    if (qEnvironmentVariableIsEmpty("QT_QPA_PLATFORM"))
        qputenv("QT_QPA_PLATFORM", "offscreen");
    ::testing::InitGoogleTest(&argc, argv);
    QApplication application(argc, argv);
    return RUN_ALL_TESTS();
}
