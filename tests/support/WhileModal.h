#pragma once
// Drives a modal window from a test: the script runs inside the window's
// modal loop, at its first turn (before what its showing posted), and ends
// the window. A window that does not come, or that is left open, fails the
// test instead of waiting for a person.
#include <QApplication>
#include <QDeadlineTimer>
#include <QDialog>
#include <QTimer>

#include <gtest/gtest.h>

#include <functional>
#include <type_traits>
#include <utility>

constexpr int kModalLimitMs = 10000;

// Looks for the window afterMs from now, then every 10 ms until the deadline.
template <class T> void LookForModal(std::function<void(T&)> script, QDeadlineTimer deadline, int afterMs)
{
    QTimer::singleShot(afterMs, [script = std::move(script), deadline] {
        T* window = qobject_cast<T*>(QApplication::activeModalWidget());
        if (!window) {
            if (deadline.hasExpired())
                ADD_FAILURE() << "no modal window came";
            else
                LookForModal<T>(script, deadline, 10);
            return;
        }
        QTimer::singleShot(kModalLimitMs, window, [window] {
            if (!window->isVisible())
                return;
            ADD_FAILURE() << "modal window left open";
            if (auto* dialog = qobject_cast<QDialog*>(window))
                dialog->reject();
            else
                window->close();
        });
        script(*window);
    });
}

// On the first modal window of type T that comes up.
template <class T = QWidget> void WhileModal(std::function<void(std::type_identity_t<T>&)> script)
{
    LookForModal<T>(std::move(script), QDeadlineTimer(kModalLimitMs), 0);
}

// On whichever modal window comes up; the script finds it as the active one.
inline void WhileModal(std::function<void()> script)
{
    WhileModal<QWidget>([script = std::move(script)](QWidget&) { script(); });
}
