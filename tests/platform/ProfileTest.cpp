#include "platform/CProfile.h"
#include "support/TempProfile.h"

#include <QFile>

#include <gtest/gtest.h>

#include <sys/stat.h>

TEST(Profile, ValuesRoundTripInTheUsersIniFile)
{
    TempProfile profile;
    EXPECT_EQ(CProfile::GetProfileInt("Settings", "DeviceId", 17), 17);
    EXPECT_EQ(CProfile::GetProfileString("Settings", "DisplayLanguage", "none"), "none");

    EXPECT_TRUE(CProfile::WriteProfileInt("Settings", "DeviceId", -42));
    EXPECT_TRUE(CProfile::WriteProfileString("ComSettings", "COMPortDisplayName", QString::fromUtf8("USB, 日本 = x")));
    EXPECT_TRUE(CProfile::WriteProfileString("Settings", "Empty", ""));

    EXPECT_TRUE(QFile::exists(profile.FilePath()));
    EXPECT_EQ(CProfile::GetProfileInt("Settings", "DeviceId", 0), -42);
    EXPECT_EQ(CProfile::GetProfileString("ComSettings", "COMPortDisplayName"), QString::fromUtf8("USB, 日本 = x"));
    EXPECT_EQ(CProfile::GetProfileString("Settings", "Empty", "default"), "");
    // Sections keep their keys apart.
    EXPECT_EQ(CProfile::GetProfileInt("ComSettings", "DeviceId", 5), 5);
}

TEST(Profile, HandEditedValuesReadSensibly)
{
    TempProfile profile;
    CProfile::WriteProfileInt("Settings", "DeviceId", 1);
    QFile file(profile.FilePath());
    ASSERT_TRUE(file.open(QIODevice::WriteOnly | QIODevice::Truncate));
    file.write("[Settings]\nDeviceId=abc\nHideIgnoreParameters= 5\nDisplayLanguage=a,b\n");
    file.close();
    CProfile::Reload();

    EXPECT_EQ(CProfile::GetProfileInt("Settings", "DeviceId", 3), 3);
    EXPECT_EQ(CProfile::GetProfileInt("Settings", "HideIgnoreParameters", 0), 5);
    EXPECT_EQ(CProfile::GetProfileString("Settings", "DisplayLanguage"), "a,b");
}

TEST(Profile, ReloadFollowsTheConfigHome)
{
    QString first;
    {
        TempProfile profile;
        first = profile.FilePath();
        CProfile::WriteProfileInt("Settings", "DeviceId", 9);
    }
    TempProfile other;
    EXPECT_NE(other.FilePath(), first);
    EXPECT_EQ(CProfile::GetProfileInt("Settings", "DeviceId", 0), 0);
    CProfile::WriteProfileInt("Settings", "DeviceId", 4);
    EXPECT_TRUE(QFile::exists(other.FilePath()));
}

TEST(Profile, OnlyItsOwnerMayReadTheProfileAfterAWrite)
{
    TempProfile profile;
    const auto mode = [&] {
        struct stat info {};
        EXPECT_EQ(::stat(QFile::encodeName(profile.FilePath()).constData(), &info), 0);
        return info.st_mode & 07777;
    };
    // Whatever the umask: the profile holds the remembered passcode.
    const mode_t oldMask = ::umask(0);
    EXPECT_TRUE(CProfile::WriteProfileInt("Settings", "Passcode", 12345));
    EXPECT_EQ(mode(), 0600u);

    // A profile that an earlier run left readable to others is closed again.
    EXPECT_EQ(::chmod(QFile::encodeName(profile.FilePath()).constData(), 0644), 0);
    EXPECT_TRUE(CProfile::WriteProfileString("Settings", "DisplayLanguage", "English.lng"));
    ::umask(oldMask);
    EXPECT_EQ(mode(), 0600u);
    EXPECT_EQ(CProfile::GetProfileInt("Settings", "Passcode", -1), 12345);
}
