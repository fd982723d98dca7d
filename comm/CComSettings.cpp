#include "CComSettings.h"

#include "platform/CProfile.h"

#include <array>

namespace
{
const QString kSection = QStringLiteral("ComSettings");

constexpr std::array<unsigned, 6> kBaudRates{1200, 2400, 4800, 9600, 19200, 38400};
constexpr std::array<unsigned, 2> kByteSizes{7, 8};
constexpr std::array<unsigned, 2> kStopBits{0, 2};

template <std::size_t N>
unsigned LookUp(const std::array<unsigned, N>& table, int index, unsigned outside)
{
    if (index < 0 || static_cast<std::size_t>(index) >= N)
        return outside;
    return table[static_cast<std::size_t>(index)];
}
} // namespace

CComSettings::CComSettings()
{
    Load();
}

void CComSettings::Load()
{
    Address = CProfile::GetProfileInt(kSection, QStringLiteral("Address"), 1);
    COMPort = CProfile::GetProfileInt(kSection, QStringLiteral("COMPort"), 0);
    COMPortName = CProfile::GetProfileString(kSection, QStringLiteral("COMPortName"), QString());
    COMPortDisplayName = CProfile::GetProfileString(kSection, QStringLiteral("COMPortDisplayName"), QString());
    IRCOMPortName = CProfile::GetProfileString(kSection, QStringLiteral("IRCOMPortName"), QString());
    IRCOMPortDisplayName = CProfile::GetProfileString(kSection, QStringLiteral("IRCOMPortDisplayName"), QString());
    Baudrate = CProfile::GetProfileInt(kSection, QStringLiteral("Baudrate"), 5);
    // "Character" is never read back: the line always runs with 8 data bits.
    Character = 1;
    Parity = CProfile::GetProfileInt(kSection, QStringLiteral("Parity"), 1);
    Stop = CProfile::GetProfileInt(kSection, QStringLiteral("Stop"), 0);
    Mode = CProfile::GetProfileInt(kSection, QStringLiteral("Mode"), ModeSerial);
    ServerAddress = CProfile::GetProfileString(kSection, QStringLiteral("ServerAddress"),
                                               QString::fromLatin1(kDefaultServerAddress));
    ServicePort = CProfile::GetProfileString(kSection, QStringLiteral("ServicePort"), QStringLiteral("502"));
}

void CComSettings::Save() const
{
    CProfile::WriteProfileInt(kSection, QStringLiteral("Address"), Address);
    CProfile::WriteProfileInt(kSection, QStringLiteral("COMPort"), COMPort);
    CProfile::WriteProfileString(kSection, QStringLiteral("COMPortName"), COMPortName);
    CProfile::WriteProfileString(kSection, QStringLiteral("COMPortDisplayName"), COMPortDisplayName);
    CProfile::WriteProfileString(kSection, QStringLiteral("IRCOMPortName"), IRCOMPortName);
    CProfile::WriteProfileString(kSection, QStringLiteral("IRCOMPortDisplayName"), IRCOMPortDisplayName);
    CProfile::WriteProfileInt(kSection, QStringLiteral("Baudrate"), Baudrate);
    CProfile::WriteProfileInt(kSection, QStringLiteral("Character"), Character);
    CProfile::WriteProfileInt(kSection, QStringLiteral("Parity"), Parity);
    CProfile::WriteProfileInt(kSection, QStringLiteral("Stop"), Stop);
    CProfile::WriteProfileInt(kSection, QStringLiteral("Mode"), Mode);
    CProfile::WriteProfileString(kSection, QStringLiteral("ServerAddress"), ServerAddress);
    CProfile::WriteProfileString(kSection, QStringLiteral("ServicePort"), ServicePort);
}

unsigned CComSettings::GetBaudRate() const
{
    return LookUp(kBaudRates, Baudrate, 1200);
}

unsigned CComSettings::GetByteSize() const
{
    return LookUp(kByteSizes, Character, 7);
}

unsigned CComSettings::GetStopBits() const
{
    return LookUp(kStopBits, Stop, 0);
}
