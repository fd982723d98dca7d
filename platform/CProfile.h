#pragma once
// The per-user profile (sections of integer and string values) of maker
// "Korvane", program "Ombrix": an INI file under $XDG_CONFIG_HOME/Korvane/,
// readable by its owner alone since it holds the remembered passcode.
#include <QString>

class CProfile
{
public:
    static int GetProfileInt(const QString& section, const QString& key, int defaultValue);
    static bool WriteProfileInt(const QString& section, const QString& key, int value);
    static QString GetProfileString(const QString& section, const QString& key, const QString& defaultValue = {});
    static bool WriteProfileString(const QString& section, const QString& key, const QString& value);
    // Forget everything cached so the next call reads the store again (tests
    // move XDG_CONFIG_HOME between cases).
    static void Reload();
};
