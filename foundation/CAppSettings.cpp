#include "CAppSettings.h"

#include "platform/CProfile.h"

#include <cstdlib>

namespace {
const QString kSection = QStringLiteral("Settings");
}

bool IsJapaneseUserLocale()
{
    // The first of these that is set and not empty names the user's language.
    for (const char* name : {"LC_ALL", "LC_MESSAGES", "LANG"}) {
        const char* value = std::getenv(name);
        if (value && *value)
            return QString::fromLocal8Bit(value).startsWith(QLatin1String("ja"));
    }
    return false;
}

void CAppSettings::Load()
{
    DeviceId = CProfile::GetProfileInt(kSection, QStringLiteral("DeviceId"), 0);
    HideIgnoreParameters = CProfile::GetProfileInt(kSection, QStringLiteral("HideIgnoreParameters"), 1) != 0;
    DisplayLanguage = CProfile::GetProfileString(kSection, QStringLiteral("DisplayLanguage"));
    if (DisplayLanguage.isEmpty()) {
        const bool japanese = IsJapaneseUserLocale();
        DisplayLanguage = japanese ? QStringLiteral("Japanese.lng") : QStringLiteral("English.lng");
        DisplayLanguageName = japanese ? QStringLiteral("Japanese") : QStringLiteral("English");
    } else {
        DisplayLanguageName = CProfile::GetProfileString(kSection, QStringLiteral("DisplayLanguageName"));
    }
}

void CAppSettings::Save() const
{
    CProfile::WriteProfileInt(kSection, QStringLiteral("DeviceId"), DeviceId);
    CProfile::WriteProfileInt(kSection, QStringLiteral("HideIgnoreParameters"), HideIgnoreParameters ? 1 : 0);
    CProfile::WriteProfileString(kSection, QStringLiteral("DisplayLanguage"), DisplayLanguage);
    CProfile::WriteProfileString(kSection, QStringLiteral("DisplayLanguageName"), DisplayLanguageName);
}
