#include "foundation/CAppSettings.h"
#include "platform/CProfile.h"
#include "support/TempProfile.h"

#include <QByteArray>

#include <gtest/gtest.h>

#include <map>
#include <optional>
#include <string>

namespace {

// Sets the locale variables for one test and puts them back after it.
class LocaleEnvironment
{
public:
    explicit LocaleEnvironment(const char* lang)
    {
        for (const char* name : {"LC_ALL", "LC_MESSAGES", "LANG"}) {
            if (qEnvironmentVariableIsSet(name))
                m_saved[name] = qgetenv(name);
            else
                m_saved[name] = std::nullopt;
            qunsetenv(name);
        }
        qputenv("LANG", lang);
    }
    ~LocaleEnvironment()
    {
        for (const auto& [name, value] : m_saved) {
            if (value)
                qputenv(name.c_str(), *value);
            else
                qunsetenv(name.c_str());
        }
    }

private:
    std::map<std::string, std::optional<QByteArray>> m_saved;
};

const QString kSection = "Settings";

} // namespace

TEST(AppSettings, FirstRunDefaultsFollowTheUsersLanguage)
{
    TempProfile profile;
    {
        LocaleEnvironment locale("ja_JP.UTF-8");
        CAppSettings settings;
        settings.HideIgnoreParameters = false;
        settings.Load();
        EXPECT_EQ(settings.GetDisplayLanguage(), "Japanese.lng");
        EXPECT_EQ(settings.DisplayLanguageName, "Japanese");
        EXPECT_TRUE(settings.HideIgnoreParameters);
        EXPECT_EQ(settings.DeviceId, 0);
    }
    for (const char* lang : {"en_US.UTF-8", "C", "de_DE.UTF-8"}) {
        LocaleEnvironment locale(lang);
        CAppSettings settings;
        settings.Load();
        EXPECT_EQ(settings.DisplayLanguage, "English.lng") << lang;
        EXPECT_EQ(settings.DisplayLanguageName, "English") << lang;
    }
}

TEST(AppSettings, AnyNonZeroHideFlagReadsTrueAndIsWrittenAsOne)
{
    TempProfile profile;
    LocaleEnvironment locale("en_US.UTF-8");
    CProfile::WriteProfileInt(kSection, "HideIgnoreParameters", 5);
    CAppSettings settings;
    settings.Load();
    EXPECT_TRUE(settings.HideIgnoreParameters);
    settings.Save();
    EXPECT_EQ(CProfile::GetProfileInt(kSection, "HideIgnoreParameters", -1), 1);

    settings.HideIgnoreParameters = false;
    settings.Save();
    EXPECT_EQ(CProfile::GetProfileInt(kSection, "HideIgnoreParameters", -1), 0);
    CAppSettings reread;
    reread.Load();
    EXPECT_FALSE(reread.HideIgnoreParameters);
}

TEST(AppSettings, TheLanguageNameIsReadOnlyWithAStoredLanguage)
{
    TempProfile profile;
    LocaleEnvironment locale("ja_JP.UTF-8");
    CProfile::WriteProfileString(kSection, "DisplayLanguageName", "Klingon");
    CAppSettings settings;
    settings.Load();
    EXPECT_EQ(settings.DisplayLanguage, "Japanese.lng");
    EXPECT_EQ(settings.DisplayLanguageName, "Japanese");

    CProfile::WriteProfileString(kSection, "DisplayLanguage", "English.lng");
    settings.Load();
    EXPECT_EQ(settings.DisplayLanguage, "English.lng") << "used unchanged whatever the locale";
    EXPECT_EQ(settings.DisplayLanguageName, "Klingon");
}

TEST(AppSettings, SaveAndLoadRoundTrip)
{
    TempProfile profile;
    CAppSettings settings;
    settings.DeviceId = 0x10003;
    settings.DisplayLanguage = "Japanese.lng";
    settings.DisplayLanguageName = QString::fromUtf8("日本語");
    settings.HideIgnoreParameters = false;
    settings.Save();

    CAppSettings loaded;
    loaded.Load();
    EXPECT_EQ(loaded.DeviceId, 0x10003);
    EXPECT_EQ(loaded.DisplayLanguage, "Japanese.lng");
    EXPECT_EQ(loaded.DisplayLanguageName, QString::fromUtf8("日本語"));
    EXPECT_FALSE(loaded.HideIgnoreParameters);
}
