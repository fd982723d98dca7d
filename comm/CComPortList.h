#pragma once
// The COM ports that the connection dialog offers, by port number.
//
// Port numbers and device paths on Linux:
//   COM1 .. COM16   /dev/ttyS0 .. /dev/ttyS15, always listed, named "COM1" ..
//   COM17 ..        every other serial device the kernel reports (USB adapters
//                   /dev/ttyUSB*, /dev/ttyACM*, ...), named by the device's
//                   product text, or the device name when it has none, plus
//                   " (COMn)".
// An adapter gets the lowest free number from 17 up the first time it is
// seen; the profile keeps that number with the adapter's identity (its
// /dev/serial/by-id name, else its USB vendor, product and serial number,
// else its device path), so plugging other adapters in or out renumbers none.
// Discovery reads /sys/class/tty and /dev/serial/by-id and never opens a port
// (Qt's QSerialPortInfo opens the 8250 ports to probe them, and knows no
// by-id name).
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

    // A port the system reports: its device path, descriptive name and what
    // tells the adapter apart from others (empty: the path does).
    struct SystemPort
    {
        QString path;
        QString name;
        QString identity;
    };
    // The serial devices below a sysfs tty class folder, in no special order
    // (the fixed /dev/ttyS* ports are left out), with the by-id links of
    // byIdDirectory (may be empty) as identities. ok tells whether the tty
    // folder could be read.
    static std::vector<SystemPort> DiscoverPorts(const QString& ttyClassDirectory, const QString& byIdDirectory,
                                                 bool* ok = nullptr);

    // Test seams: the folders read instead of /sys/class/tty and
    // /dev/serial/by-id (an empty tty folder: the system's), and ports
    // reported besides the system's (a pseudo-terminal).
    static void SetTtyClassDirectory(const QString& directory, const QString& byIdDirectory = {});
    static void AddExtraPort(const QString& path, const QString& name, const QString& identity = {});
    static void ClearExtraPorts();

    static constexpr int kFixedPorts = 16;

private:
    void SetPort(int number, const QString& path, const QString& name);

    std::map<int, CComPortEntry> m_ports; // key: port number - 1
};

// False for an empty text; otherwise true when every character is a decimal
// digit, or a ':' when allowColon is set.
bool IsAllDigits(const QString& text, bool allowColon);
