#pragma once
// The COM ports that the connection dialog offers, by port number.
//
// Port numbers and device paths on Linux:
//   COM1 .. COM16   /dev/ttyS0 .. /dev/ttyS15, always listed, named "COM1" ..
//   COM17 ..        every other serial device the kernel reports (USB adapters
//                   /dev/ttyUSB*, /dev/ttyACM*, ...), numbered in the natural
//                   order of their device names (ttyACM0, ttyACM1, ttyUSB0,
//                   ttyUSB2, ttyUSB10), named by the device's product text, or
//                   the device name when it has none, plus " (COMn)".
// Discovery reads /sys/class/tty and never opens a port. Ports above the 16
// fixed ones are numbered afresh each time the list is built, so a port keeps
// its number while the same adapters are plugged in.
#include <QString>

#include <map>
#include <vector>

struct CComPortEntry
{
    QString path;        // what the serial port opens
    QString displayName; // what the user sees
};

class CComPortList
{
public:
    // Builds the list; never fails (a discovery that cannot run is skipped).
    CComPortList();

    int GetCount() const { return static_cast<int>(m_ports.size()); }
    // The entry at that position in port-number order; empty when out of range.
    QString GetDisplayName(int index) const;
    QString GetPath(int index) const;

    // Adds the ports that the system reports after the fixed 16; true when
    // the system's list could be read.
    bool EnumerateSystemPorts();

    // A port the system reports: its device path and descriptive name.
    struct SystemPort
    {
        QString path;
        QString name;
    };
    // The serial devices below a sysfs tty class folder, in no special order
    // (the fixed /dev/ttyS* ports are left out). ok tells whether the folder
    // could be read.
    static std::vector<SystemPort> DiscoverPorts(const QString& ttyClassDirectory, bool* ok = nullptr);

    // Test seams: the folder read instead of /sys/class/tty (empty: the
    // system's), and ports reported besides the system's (a pseudo-terminal).
    static void SetTtyClassDirectory(const QString& directory);
    static void AddExtraPort(const QString& path, const QString& name);
    static void ClearExtraPorts();

    static constexpr int kFixedPorts = 16;

private:
    void SetPort(int number, const QString& path, const QString& name);

    std::map<int, CComPortEntry> m_ports; // key: port number - 1
};

// False for an empty text; otherwise true when every character is a decimal
// digit, or a ':' when allowColon is set.
bool IsAllDigits(const QString& text, bool allowColon);
