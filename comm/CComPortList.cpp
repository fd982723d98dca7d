#include "CComPortList.h"

#include "platform/CProfile.h"

#include <QDir>
#include <QFile>
#include <QFileInfo>

#include <algorithm>
#include <mutex>

namespace {

const QString kSystemTtyClass = QStringLiteral("/sys/class/tty");
const QString kSystemById = QStringLiteral("/dev/serial/by-id");
const QString kNumberSection = QStringLiteral("ComPortNumbers");

struct Seams
{
    std::mutex lock;
    QString ttyClassDirectory;
    QString byIdDirectory;
    std::vector<CComPortList::SystemPort> extraPorts;
};

Seams& GetSeams()
{
    static Seams seams;
    return seams;
}

QString ComName(int number)
{
    return QStringLiteral("COM%1").arg(number);
}

QString FixedPortPath(int number)
{
    return QStringLiteral("/dev/ttyS%1").arg(number - 1);
}

// The device name that orders the ports: the path without "/dev/".
QString DeviceName(const QString& path)
{
    return path.startsWith(QLatin1String("/dev/")) ? path.mid(5) : path;
}

// "ttyUSB10" sorts after "ttyUSB2": the trailing number compares as a number.
bool NaturalLess(const QString& a, const QString& b)
{
    const auto split = [](const QString& s) {
        int i = static_cast<int>(s.size());
        while (i > 0 && s.at(i - 1).isDigit())
            --i;
        return std::make_pair(s.left(i), s.mid(i));
    };
    const auto [prefixA, digitsA] = split(a);
    const auto [prefixB, digitsB] = split(b);
    if (prefixA != prefixB)
        return prefixA < prefixB;
    if (!digitsA.isEmpty() && !digitsB.isEmpty()) {
        const qulonglong numberA = digitsA.toULongLong();
        const qulonglong numberB = digitsB.toULongLong();
        if (numberA != numberB)
            return numberA < numberB;
    }
    return a < b;
}

// The fixed ports are /dev/ttyS0 .. ; the 8250 driver registers more of them
// than there are UARTs, so none of them is taken from discovery.
bool IsFixedPortName(const QString& name)
{
    return name.startsWith(QLatin1String("ttyS")) && IsAllDigits(name.mid(4), false);
}

QString ReadFirstLine(const QString& path)
{
    QFile file(path);
    if (!file.open(QIODevice::ReadOnly))
        return {};
    return QString::fromUtf8(file.readLine(256)).trimmed();
}

// What the USB (or other) device that carries the tty tells about itself,
// from the nearest attributes above the tty's device folder, no higher than
// the USB device itself (idVendor), whose hub would lend the port its name.
struct DeviceAttributes
{
    QString product;
    QString usbIdentity; // "usb-vendor-product-serial", empty when not USB
};

DeviceAttributes ReadDeviceAttributes(const QString& deviceLink)
{
    DeviceAttributes attributes;
    QString dir = QFileInfo(deviceLink).canonicalFilePath();
    for (int level = 0; level < 4 && !dir.isEmpty() && dir != QLatin1String("/"); ++level) {
        if (attributes.product.isEmpty())
            attributes.product = ReadFirstLine(dir + QStringLiteral("/product"));
        const QString vendor = ReadFirstLine(dir + QStringLiteral("/idVendor"));
        if (!vendor.isEmpty()) {
            attributes.usbIdentity = QStringLiteral("usb-%1-%2-%3")
                                         .arg(vendor, ReadFirstLine(dir + QStringLiteral("/idProduct")),
                                              ReadFirstLine(dir + QStringLiteral("/serial")));
            break;
        }
        dir = QFileInfo(dir).path();
    }
    return attributes;
}

// by-id link name per device name ("ttyUSB0"), from the links' targets.
std::map<QString, QString> ReadByIdNames(const QString& byIdDirectory)
{
    std::map<QString, QString> names;
    if (byIdDirectory.isEmpty())
        return names;
    const QDir dir(byIdDirectory);
    for (const QFileInfo& link : dir.entryInfoList(QDir::AllEntries | QDir::System | QDir::NoDotAndDotDot, QDir::Name)) {
        if (link.isSymLink())
            names.emplace(QFileInfo(link.symLinkTarget()).fileName(), link.fileName());
    }
    return names;
}

// The numbers handed out so far: COM17, COM18, ... each with its adapter's
// identity. Numbers are never given back, so the first empty key ends the list.
std::vector<QString> LoadAssignedIdentities()
{
    std::vector<QString> identities;
    for (int number = CComPortList::kFixedPorts + 1;; ++number) {
        QString identity = CProfile::GetProfileString(kNumberSection, ComName(number));
        if (identity.isEmpty())
            break;
        identities.push_back(std::move(identity));
    }
    return identities;
}

} // namespace

bool IsAllDigits(const QString& text, bool allowColon)
{
    if (text.isEmpty())
        return false;
    return std::all_of(text.begin(), text.end(), [allowColon](QChar c) {
        return (c >= QLatin1Char('0') && c <= QLatin1Char('9')) || (allowColon && c == QLatin1Char(':'));
    });
}

CComPortList::CComPortList()
{
    for (int number = 1; number <= kFixedPorts; ++number)
        m_ports[number - 1] = CComPortEntry{FixedPortPath(number), ComName(number)};
    EnumerateSystemPorts();
}

QString CComPortList::GetDisplayName(int index) const
{
    if (index < 0 || index >= GetCount())
        return {};
    return std::next(m_ports.begin(), index)->second.displayName;
}

QString CComPortList::GetPath(int index) const
{
    if (index < 0 || index >= GetCount())
        return {};
    return std::next(m_ports.begin(), index)->second.path;
}

void CComPortList::SetPort(int number, const QString& path, const QString& name)
{
    // A name that does not tell the port number gets it appended.
    QString displayName = name;
    if (!displayName.contains(ComName(number)))
        displayName += QStringLiteral(" (") + ComName(number) + QLatin1Char(')');
    m_ports[number - 1] = CComPortEntry{path, displayName};
}

bool CComPortList::EnumerateSystemPorts()
{
    QString directory;
    QString byIdDirectory;
    std::vector<SystemPort> ports;
    {
        Seams& seams = GetSeams();
        const std::lock_guard guard(seams.lock);
        directory = seams.ttyClassDirectory.isEmpty() ? kSystemTtyClass : seams.ttyClassDirectory;
        byIdDirectory = seams.ttyClassDirectory.isEmpty() ? kSystemById : seams.byIdDirectory;
        ports = seams.extraPorts;
    }
    bool ok = false;
    std::vector<SystemPort> discovered = DiscoverPorts(directory, byIdDirectory, &ok);
    ports.insert(ports.end(), discovered.begin(), discovered.end());

    // New adapters are numbered in the natural order of their device names.
    std::sort(ports.begin(), ports.end(), [](const SystemPort& a, const SystemPort& b) {
        return NaturalLess(DeviceName(a.path), DeviceName(b.path));
    });
    // One device reported twice (a seam port that is also in the folder) keeps one number.
    ports.erase(std::unique(ports.begin(), ports.end(),
                            [](const SystemPort& a, const SystemPort& b) { return a.path == b.path; }),
                ports.end());

    std::vector<QString> assigned = LoadAssignedIdentities();
    std::vector<bool> taken(assigned.size(), false);
    for (SystemPort& port : ports) {
        if (port.identity.isEmpty())
            port.identity = port.path;
        // Twin adapters without a serial number are told apart by their paths.
        auto found = std::find(assigned.begin(), assigned.end(), port.identity);
        if (found != assigned.end() && taken[static_cast<std::size_t>(found - assigned.begin())]) {
            port.identity += QLatin1Char('@') + port.path;
            found = std::find(assigned.begin(), assigned.end(), port.identity);
        }
        if (found == assigned.end()) {
            const int number = kFixedPorts + 1 + static_cast<int>(assigned.size());
            CProfile::WriteProfileString(kNumberSection, ComName(number), port.identity);
            assigned.push_back(port.identity);
            taken.push_back(false);
            found = std::prev(assigned.end());
        }
        const auto slot = static_cast<std::size_t>(found - assigned.begin());
        taken[slot] = true;
        const int number = kFixedPorts + 1 + static_cast<int>(slot);
        SetPort(number, port.path, port.name.isEmpty() ? DeviceName(port.path) : port.name);
    }
    return ok;
}

std::vector<CComPortList::SystemPort> CComPortList::DiscoverPorts(const QString& ttyClassDirectory,
                                                                  const QString& byIdDirectory, bool* ok)
{
    std::vector<SystemPort> ports;
    const QDir dir(ttyClassDirectory);
    if (ok)
        *ok = dir.exists();
    if (!dir.exists())
        return ports;
    const std::map<QString, QString> byIdNames = ReadByIdNames(byIdDirectory);
    const QStringList names = dir.entryList(QDir::AllEntries | QDir::System | QDir::NoDotAndDotDot, QDir::Name);
    for (const QString& name : names) {
        if (IsFixedPortName(name))
            continue;
        // Only ttys backed by a device are ports; consoles and pseudo-terminals have none.
        const QString deviceLink = dir.filePath(name) + QStringLiteral("/device");
        if (!QFileInfo::exists(deviceLink))
            continue;
        QString deviceName = name;
        deviceName.replace(QLatin1Char('!'), QLatin1Char('/')); // sysfs spells '/' in names so
        const DeviceAttributes attributes = ReadDeviceAttributes(deviceLink);
        const auto byId = byIdNames.find(QFileInfo(deviceName).fileName());
        QString identity = byId != byIdNames.end() ? byId->second : attributes.usbIdentity;
        ports.push_back(SystemPort{QStringLiteral("/dev/") + deviceName, attributes.product, std::move(identity)});
    }
    return ports;
}

void CComPortList::SetTtyClassDirectory(const QString& directory, const QString& byIdDirectory)
{
    Seams& seams = GetSeams();
    const std::lock_guard guard(seams.lock);
    seams.ttyClassDirectory = directory;
    seams.byIdDirectory = byIdDirectory;
}

void CComPortList::AddExtraPort(const QString& path, const QString& name, const QString& identity)
{
    Seams& seams = GetSeams();
    const std::lock_guard guard(seams.lock);
    seams.extraPorts.push_back(SystemPort{path, name, identity});
}

void CComPortList::ClearExtraPorts()
{
    Seams& seams = GetSeams();
    const std::lock_guard guard(seams.lock);
    seams.extraPorts.clear();
}
