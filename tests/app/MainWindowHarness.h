#pragma once
// What the main-window tests share: answering the program's modal dialogs
// from a timer (they run their own event loops), language files of the
// test's own beside the program, and the simulated unit on a pty that the
// connection dialog offers.
#include "app/CBasicParameterDialog.h"
#include "tests/support/CFenmarUnit.h"

#include <QObject>
#include <QPointer>
#include <QString>
#include <QTimer>

#include <deque>
#include <functional>
#include <set>

class QWidget;
class CConnectDialog;

class CModalDriver : public QObject
{
public:
    using Action = std::function<void(QWidget*)>;

    CModalDriver();
    ~CModalDriver() override;

    // The next modal window that matches gets the action (in queue order).
    void On(std::function<bool(QWidget*)> match, Action action, const char* what);
    template <class T> void On(std::function<void(T*)> action, const char* what)
    {
        On([](QWidget* w) { return dynamic_cast<T*>(w) != nullptr; },
           [action](QWidget* w) { action(dynamic_cast<T*>(w)); }, what);
    }
    // Steps that never found their window.
    QString Pending() const;
    bool Done() const { return m_steps.empty(); }

private:
    struct Step
    {
        std::function<bool(QWidget*)> match;
        Action action;
        QString what;
    };
    void Poll();

    QTimer m_timer;
    std::deque<Step> m_steps;
    std::set<QWidget*> m_busy;
};

// The main window set up and shown without a modal run of its own.
class OpenMainWindow : public CBasicParameterDialog
{
public:
    void Open();
};

// Picks the port at path in the connection dialog and presses OK.
void ChoosePort(CConnectDialog* dialog, const QString& path);
void PressButton(QWidget* dialog, int controlId);

// A language file written beside the program for one test (the program reads
// them from its own folder), removed again at the end.
class ScopedLanguageFile
{
public:
    ScopedLanguageFile(const QString& name, const QString& content);
    ~ScopedLanguageFile();
    const QString& Name() const { return m_name; }

private:
    QString m_name;
    QString m_path;
};
// A whole language file from the header fields and the elements inside root.
QString LanguageFileText(const QString& body, const QString& locale = QStringLiteral("en_US.UTF-8"));

// The Fenmar unit on a pty, offered by the connection dialog as an extra port.
class UnitOnPty
{
public:
    UnitOnPty();
    ~UnitOnPty();
    CFenmarUnit& Unit() { return m_unit; }
    const QString& Path() const { return m_path; }

private:
    CFenmarUnit m_unit;
    QString m_path;
};
