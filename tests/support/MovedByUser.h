#pragma once
// Moves a shown window as the user does, through the window system, so that
// the window does not know the place as its own request.
#include <QPoint>
#include <QTest>
#include <QWidget>
#include <QWindow>

#include <gtest/gtest.h>

// Where the window's frame stands afterwards, round the client area at to.
inline QPoint MovedByUser(QWidget* window, QPoint to)
{
    window->windowHandle()->setPosition(to);
    // A window manager moves the window in its own time.
    EXPECT_TRUE(QTest::qWaitFor([&] { return window->geometry().topLeft() == to; }, 5000))
        << "the window system left the window at " << window->geometry().x() << "," << window->geometry().y();
    return window->pos();
}
