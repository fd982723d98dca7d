#pragma once
// The preferences, in the profile section "Settings".
#include <QString>

class CAppSettings
{
public:
    virtual ~CAppSettings() = default;

    void Load();
    void Save() const;
    QString GetDisplayLanguage() const { return DisplayLanguage; }

    int DeviceId = 0;
    QString DisplayLanguage;
    QString DisplayLanguageName;
    bool HideIgnoreParameters = true;
};

// True when the user's locale (LC_ALL, LC_MESSAGES, LANG, first set wins) is Japanese.
bool IsJapaneseUserLocale();
