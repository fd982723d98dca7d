#include "CMyDalvexApp.h"

#include "CBasicParameterDialog.h"
#include "CQtTranslations.h"
#include "foundation/Globals.h"
#include "params/CSettings.h"
#include "params/CSettingsStocker.h"
#include "platform/WinTypes.h"

#include <QGuiApplication>

#include <csignal>
#include <cstdint>
#include <memory>

bool CMyDalvexApp::InitInstance()
{
    // The program ends when this returns, not when a window closes: the main
    // window closes between two languages.
    QGuiApplication::setQuitOnLastWindowClosed(false);
    // A unit that drops the TCP connection must end a request with an error, not the process.
    std::signal(SIGPIPE, SIG_IGN);

    g_resourceHandles.Init();
    g_appSettings.Load();

    auto stocker = std::make_unique<CSettingsStocker>();
    stocker->ChangeDeviceType(g_appSettings.DeviceId & 0xFFFF, g_settings, true);

    // Built once; each run starts it afresh from the language file and g_settings.
    auto mainWindow = std::make_unique<CBasicParameterDialog>();
    while (mainWindow->DoModal() == IDOK) {
    }

    g_appSettings.DeviceId = static_cast<std::uint16_t>(g_settings.m_deviceType.GetTypeIndex());
    g_appSettings.Save();

    mainWindow.reset();
    stocker.reset();
    // Each run of the main window installs Qt's texts for its language.
    CQtTranslations::Apply({});
    return false;
}
