#include "MainWindowHarness.h"

#include "comm/CComPortList.h"
#include "comm/CConnectDialog.h"
#include "foundation/DialogHelpers.h"
#include "platform/ControlIds.h"

#include <QAbstractButton>
#include <QApplication>
#include <QComboBox>
#include <QFile>
#include <QTest>
#include <QWidget>

#include <memory>

#include <gtest/gtest.h>

CModalDriver::CModalDriver()
{
    m_timer.setInterval(5);
    connect(&m_timer, &QTimer::timeout, this, [this] { Poll(); });
    m_timer.start();
}

CModalDriver::~CModalDriver() = default;

void CModalDriver::On(std::function<bool(QWidget*)> match, Action action, const char* what)
{
    m_steps.push_back(Step{std::move(match), std::move(action), QString::fromLatin1(what)});
}

QString CModalDriver::Pending() const
{
    QStringList names;
    for (const Step& step : m_steps)
        names.append(step.what);
    return names.join(QStringLiteral(", "));
}

void CModalDriver::Poll()
{
    QWidget* window = QApplication::activeModalWidget();
    // A window whose action is still running (inside a nested loop) is left alone.
    if (!window || !window->isVisible() || m_busy.count(window) || m_steps.empty())
        return;
    if (!m_steps.front().match(window))
        return;
    auto step = std::make_shared<Step>(std::move(m_steps.front()));
    m_steps.pop_front();
    m_busy.insert(window);
    // Not from inside this timer's own call: Qt does not fire a timer again
    // while its handler runs, and the action may open further modal windows.
    QTimer::singleShot(0, this, [this, step, window] {
        step->action(window);
        m_busy.erase(window);
    });
}

void OpenMainWindow::Open()
{
    OnInitDialog();
    show();
    EXPECT_TRUE(QTest::qWaitForWindowExposed(this));
}

void PressButton(QWidget* dialog, int controlId)
{
    auto* button = qobject_cast<QAbstractButton*>(FindControl(dialog, controlId));
    ASSERT_NE(button, nullptr) << "no button " << controlId;
    button->click();
}

void ChoosePort(CConnectDialog* dialog, const QString& path)
{
    const CComPortList& ports = dialog->GetPortList();
    int index = -1;
    for (int i = 0; i < ports.GetCount(); ++i) {
        if (ports.GetPath(i) == path)
            index = i;
    }
    ASSERT_GE(index, 0) << "the unit's port is not offered";
    dialog->GetDlgItemAs<QComboBox>(CConnectDialog::IDC_PORT)->setCurrentIndex(index);
    PressButton(dialog, IDOK);
}

ScopedLanguageFile::ScopedLanguageFile(const QString& name, const QString& content)
    : m_name(name)
    , m_path(GetModuleDirectory() + QLatin1Char('/') + name)
{
    QFile file(m_path);
    EXPECT_TRUE(file.open(QIODevice::WriteOnly | QIODevice::Truncate));
    file.write(content.toUtf8());
}

ScopedLanguageFile::~ScopedLanguageFile()
{
    QFile::remove(m_path);
}

QString LanguageFileText(const QString& body, const QString& locale)
{
    return QStringLiteral("<?xml version=\"1.0\" encoding=\"utf-8\"?>\n<root>\n"
                          "<application>Ombrix</application><filetype>language</filetype>"
                          "<language>Test</language><locale>%1</locale>\n%2\n</root>\n")
        .arg(locale, body);
}

UnitOnPty::UnitOnPty()
{
    m_path = m_unit.StartRtu();
    CComPortList::AddExtraPort(m_path, QStringLiteral("Simulated unit"));
}

UnitOnPty::~UnitOnPty()
{
    CComPortList::ClearExtraPorts();
}
