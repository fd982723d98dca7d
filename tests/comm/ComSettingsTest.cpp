// Connection settings in the profile: defaults, key names, table look-ups.
#include "comm/CComSettings.h"
#include "platform/CProfile.h"
#include "support/TempProfile.h"

#include <gtest/gtest.h>

namespace
{
const QString kSection = QStringLiteral("ComSettings");
}

TEST(CComSettings, EmptyProfileGivesTheDefaults)
{
    TempProfile profile;
    const CComSettings settings;
    EXPECT_EQ(settings.Mode, CComSettings::ModeSerial);
    EXPECT_EQ(settings.GetAddress(), 1);
    EXPECT_EQ(settings.COMPort, 0);
    EXPECT_EQ(settings.GetBaudRate(), 38400u);
    EXPECT_EQ(settings.GetByteSize(), 8u);
    EXPECT_EQ(settings.GetParity(), 1);
    EXPECT_EQ(settings.GetStopBits(), 0u);
    EXPECT_TRUE(settings.GetComPortName().isEmpty());
    EXPECT_TRUE(settings.GetComPortDisplayName().isEmpty());
    EXPECT_TRUE(settings.GetIrComPortName().isEmpty());
    EXPECT_TRUE(settings.IRCOMPortDisplayName.isEmpty());
    EXPECT_EQ(settings.GetServerAddress().toStdString(), kDefaultServerAddress);
    EXPECT_EQ(settings.GetServicePort().toStdString(), "502");
}

TEST(CComSettings, SaveWritesEveryKeyAndLoadReadsThemBack)
{
    TempProfile profile;
    CComSettings settings;
    settings.Mode = CComSettings::ModeTcp;
    settings.Address = 17;
    settings.COMPort = 4;
    settings.COMPortName = QStringLiteral("/dev/ttyUSB0");
    settings.COMPortDisplayName = QStringLiteral("USB Serial (COM17)");
    settings.IRCOMPortName = QStringLiteral("/dev/ttyUSB1");
    settings.IRCOMPortDisplayName = QStringLiteral("IR");
    settings.Baudrate = 3;
    settings.Parity = 2;
    settings.Stop = 1;
    settings.ServerAddress = QStringLiteral("127.0.0.1");
    settings.ServicePort = QStringLiteral("1502");
    settings.Save();

    EXPECT_EQ(CProfile::GetProfileInt(kSection, QStringLiteral("Mode"), -1), 1);
    EXPECT_EQ(CProfile::GetProfileInt(kSection, QStringLiteral("Address"), -1), 17);
    EXPECT_EQ(CProfile::GetProfileInt(kSection, QStringLiteral("COMPort"), -1), 4);
    EXPECT_EQ(CProfile::GetProfileInt(kSection, QStringLiteral("Baudrate"), -1), 3);
    EXPECT_EQ(CProfile::GetProfileInt(kSection, QStringLiteral("Character"), -1), 1);
    EXPECT_EQ(CProfile::GetProfileInt(kSection, QStringLiteral("Parity"), -1), 2);
    EXPECT_EQ(CProfile::GetProfileInt(kSection, QStringLiteral("Stop"), -1), 1);
    EXPECT_EQ(CProfile::GetProfileString(kSection, QStringLiteral("COMPortDisplayName")).toStdString(),
              "USB Serial (COM17)");
    EXPECT_EQ(CProfile::GetProfileString(kSection, QStringLiteral("IRCOMPortDisplayName")).toStdString(), "IR");
    EXPECT_EQ(CProfile::GetProfileString(kSection, QStringLiteral("ServicePort")).toStdString(), "1502");

    CProfile::Reload();
    const CComSettings loaded;
    EXPECT_EQ(loaded.Mode, 1);
    EXPECT_EQ(loaded.Address, 17);
    EXPECT_EQ(loaded.COMPort, 4);
    EXPECT_EQ(loaded.GetComPortName().toStdString(), "/dev/ttyUSB0");
    EXPECT_EQ(loaded.GetIrComPortName().toStdString(), "/dev/ttyUSB1");
    EXPECT_EQ(loaded.IRCOMPortDisplayName.toStdString(), "IR");
    EXPECT_EQ(loaded.GetBaudRate(), 9600u);
    EXPECT_EQ(loaded.GetParity(), 2);
    EXPECT_EQ(loaded.GetStopBits(), 2u);
    EXPECT_EQ(loaded.GetServerAddress().toStdString(), "127.0.0.1");
    EXPECT_EQ(loaded.GetServicePort().toStdString(), "1502");
}

TEST(CComSettings, CharacterIsNeverReadAndIndexesOutsideTheTablesFallBack)
{
    TempProfile profile;
    CProfile::WriteProfileInt(kSection, QStringLiteral("Character"), 0);
    CProfile::WriteProfileInt(kSection, QStringLiteral("Baudrate"), 6);
    CProfile::WriteProfileInt(kSection, QStringLiteral("Stop"), 5);
    CProfile::WriteProfileInt(kSection, QStringLiteral("Parity"), 4); // passed on as stored
    CComSettings settings;
    EXPECT_EQ(settings.Character, 1);
    EXPECT_EQ(settings.GetByteSize(), 8u);
    EXPECT_EQ(settings.GetBaudRate(), 1200u);
    EXPECT_EQ(settings.GetStopBits(), 0u);
    EXPECT_EQ(settings.GetParity(), 4);
    settings.Save();
    EXPECT_EQ(CProfile::GetProfileInt(kSection, QStringLiteral("Character"), -1), 1);

    settings.Baudrate = -1;
    settings.Character = 0;
    settings.Stop = -1;
    EXPECT_EQ(settings.GetBaudRate(), 1200u);
    EXPECT_EQ(settings.GetByteSize(), 7u);
    EXPECT_EQ(settings.GetStopBits(), 0u);
    settings.Character = 2;
    EXPECT_EQ(settings.GetByteSize(), 7u);
    const unsigned rates[] = {1200, 2400, 4800, 9600, 19200, 38400};
    for (int i = 0; i < 6; ++i) {
        settings.Baudrate = i;
        EXPECT_EQ(settings.GetBaudRate(), rates[i]);
    }

    // Copies carry every field.
    CComSettings copy = settings;
    copy.ServerAddress = QStringLiteral("elsewhere");
    EXPECT_EQ(copy.Baudrate, settings.Baudrate);
    EXPECT_EQ(copy.Parity, 4);
    EXPECT_NE(copy.ServerAddress, settings.ServerAddress);
}
