#pragma once
// How to reach the unit: link mode, unit address, ports, line parameters and
// the Modbus TCP server. Kept in the profile section "ComSettings" and copied
// by value into every object that talks to the unit.
#include <QString>

class CComSettings
{
public:
    enum ComMode : int
    {
        ModeSerial = 0,   // Modbus RTU on a serial COM port
        ModeTcp = 1,      // Modbus TCP
        ModeInfrared = 2, // Modbus RTU on an infrared COM port adapter
    };

    // Empty texts, then Load.
    CComSettings();
    virtual ~CComSettings() = default;
    CComSettings(const CComSettings&) = default;
    CComSettings& operator=(const CComSettings&) = default;

    void Load();
    // Failures of the profile writes are ignored.
    void Save() const;

    int GetAddress() const { return Address; }
    QString GetComPortName() const { return COMPortName; }
    QString GetComPortDisplayName() const { return COMPortDisplayName; }
    QString GetIrComPortName() const { return IRCOMPortName; }
    QString GetServerAddress() const { return ServerAddress; }
    QString GetServicePort() const { return ServicePort; }
    // The serial line's parity code as stored: 0 none, 1 odd, 2 even.
    int GetParity() const { return Parity; }
    // Table look-ups; an index outside a table gives 1200 baud, 7 data bits, one stop bit.
    unsigned GetBaudRate() const;
    unsigned GetByteSize() const;
    // Stop-bits code: 0 one stop bit, 2 two stop bits.
    unsigned GetStopBits() const;

    int Mode = ModeSerial;
    int Address = 1;
    // Kept and saved; the port that is opened is chosen by its device path.
    int COMPort = 0;
    QString COMPortName;
    QString COMPortDisplayName;
    QString IRCOMPortName;
    QString IRCOMPortDisplayName;
    int Baudrate = 5;
    int Character = 1;
    int Parity = 1;
    int Stop = 0;
    QString ServerAddress;
    QString ServicePort;
};

// The server address a fresh profile gets.
inline constexpr const char* kDefaultServerAddress = "192.168.0.10";
