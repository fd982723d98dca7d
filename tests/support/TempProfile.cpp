#include "TempProfile.h"

#include "platform/CProfile.h"

TempProfile::TempProfile()
{
    m_hadValue = qEnvironmentVariableIsSet("XDG_CONFIG_HOME");
    m_oldValue = qgetenv("XDG_CONFIG_HOME");
    qputenv("XDG_CONFIG_HOME", m_dir.path().toLocal8Bit());
    CProfile::Reload();
}

TempProfile::~TempProfile()
{
    if (m_hadValue)
        qputenv("XDG_CONFIG_HOME", m_oldValue);
    else
        qunsetenv("XDG_CONFIG_HOME");
    CProfile::Reload();
}

QString TempProfile::FilePath() const
{
    return m_dir.path() + QStringLiteral("/Korvane/Ombrix.conf");
}
