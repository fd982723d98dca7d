// The COM port list: the fixed ports, the Linux discovery with its numbering
// and display names, and the seam through which a pseudo-terminal is listed.
#include "comm/CComPortList.h"
#include "support/TempProfile.h"

#include <QDir>
#include <QFile>
#include <QTemporaryDir>

#include <gtest/gtest.h>

namespace {

// A sysfs look-alike: class/tty/<name>/device links into devices/.
class FakeSysfs
{
public:
    FakeSysfs() { QDir(m_root.path()).mkpath(QStringLiteral("class/tty")); }
    QString TtyClass() const { return m_root.path() + QStringLiteral("/class/tty"); }

    // A tty backed by a USB device below a hub that has a product text of its
    // own; the device's product (when not empty) sits two levels up, above
    // its interface.
    void AddDevice(const QString& name, const QString& product, const QString& serial = {})
    {
        const QString hub = m_root.path() + QStringLiteral("/devices/usb");
        const QString usb = hub + QLatin1Char('/') + name;
        const QString port = usb + QStringLiteral("/1-1:1.0/") + name;
        QDir().mkpath(port);
        WriteFile(hub + QStringLiteral("/product"), QStringLiteral("xHCI Host Controller"));
        WriteFile(usb + QStringLiteral("/idVendor"), QStringLiteral("0403"));
        if (!product.isEmpty())
            WriteFile(usb + QStringLiteral("/product"), product);
        if (!serial.isEmpty()) {
            WriteFile(usb + QStringLiteral("/idProduct"), QStringLiteral("6001"));
            WriteFile(usb + QStringLiteral("/serial"), serial);
        }
        const QString tty = TtyClass() + QLatin1Char('/') + name;
        QDir().mkpath(tty);
        ASSERT_TRUE(QFile::link(port, tty + QStringLiteral("/device")));
    }
    void Unplug(const QString& name)
    {
        QDir(TtyClass() + QLatin1Char('/') + name).removeRecursively();
        QDir(m_root.path() + QStringLiteral("/devices/usb/") + name).removeRecursively();
    }
    QString ById() const { return m_root.path() + QStringLiteral("/by-id"); }
    void AddById(const QString& link, const QString& name)
    {
        QDir().mkpath(ById());
        ASSERT_TRUE(QFile::link(QStringLiteral("../../") + name, ById() + QLatin1Char('/') + link));
    }
    // A tty without a device (a console).
    void AddVirtual(const QString& name) { QDir().mkpath(TtyClass() + QLatin1Char('/') + name); }

private:
    static void WriteFile(const QString& path, const QString& line)
    {
        QFile file(path);
        ASSERT_TRUE(file.open(QIODevice::WriteOnly));
        file.write(line.toUtf8() + "\n");
    }

    QTemporaryDir m_root;
};

class ComPortListTest : public ::testing::Test
{
protected:
    void TearDown() override
    {
        CComPortList::SetTtyClassDirectory({});
        CComPortList::ClearExtraPorts();
    }
    TempProfile m_profile;
    FakeSysfs m_sysfs;
};

} // namespace

TEST_F(ComPortListTest, WithoutDiscoveredPortsHoldsCom1ToCom16OnTtyS0ToTtyS15)
{
    CComPortList::SetTtyClassDirectory(m_sysfs.TtyClass());
    const CComPortList list;
    ASSERT_EQ(list.GetCount(), 16);
    for (int i = 0; i < 16; ++i) {
        EXPECT_EQ(list.GetDisplayName(i), QStringLiteral("COM%1").arg(i + 1));
        EXPECT_EQ(list.GetPath(i), QStringLiteral("/dev/ttyS%1").arg(i));
    }
    EXPECT_EQ(list.GetPath(-1), QString());
    EXPECT_EQ(list.GetPath(16), QString());
    EXPECT_EQ(list.GetDisplayName(-1), QString());
    EXPECT_EQ(list.GetDisplayName(16), QString());
}

TEST_F(ComPortListTest, DiscoveredPortsAreNumberedAfter16InNaturalOrderWithTheirNames)
{
    m_sysfs.AddDevice(QStringLiteral("ttyUSB10"), QStringLiteral("USB COM19 Bridge"));
    m_sysfs.AddDevice(QStringLiteral("ttyUSB2"), QStringLiteral("FT232R USB UART"));
    m_sysfs.AddDevice(QStringLiteral("ttyACM0"), {});
    // The 8250 ports stay the fixed ones, whatever the kernel registered.
    m_sysfs.AddDevice(QStringLiteral("ttyS0"), QStringLiteral("Should not show"));
    m_sysfs.AddDevice(QStringLiteral("ttyS20"), {});
    m_sysfs.AddVirtual(QStringLiteral("tty0"));
    m_sysfs.AddVirtual(QStringLiteral("ttyS1"));
    CComPortList::SetTtyClassDirectory(m_sysfs.TtyClass());

    const CComPortList list;
    ASSERT_EQ(list.GetCount(), 19);
    EXPECT_EQ(list.GetDisplayName(0), QStringLiteral("COM1"));
    EXPECT_EQ(list.GetPath(0), QStringLiteral("/dev/ttyS0"));
    // A device without a product text goes by its device name, not by its hub's.
    EXPECT_EQ(list.GetDisplayName(16), QStringLiteral("ttyACM0 (COM17)"));
    EXPECT_EQ(list.GetPath(16), QStringLiteral("/dev/ttyACM0"));
    EXPECT_EQ(list.GetDisplayName(17), QStringLiteral("FT232R USB UART (COM18)"));
    EXPECT_EQ(list.GetPath(17), QStringLiteral("/dev/ttyUSB2"));
    // A name that already tells its port number is kept as it is.
    EXPECT_EQ(list.GetDisplayName(18), QStringLiteral("USB COM19 Bridge"));
    EXPECT_EQ(list.GetPath(18), QStringLiteral("/dev/ttyUSB10"));
}

TEST_F(ComPortListTest, ThePtySeamAddsAPortThatSortsWithTheDiscoveredOnes)
{
    m_sysfs.AddDevice(QStringLiteral("ttyUSB0"), QStringLiteral("FT232R USB UART"));
    CComPortList::SetTtyClassDirectory(m_sysfs.TtyClass());
    CComPortList::AddExtraPort(QStringLiteral("/dev/pts/7"), QStringLiteral("Simulated unit"));
    // The same device twice keeps one number.
    CComPortList::AddExtraPort(QStringLiteral("/dev/ttyUSB0"), QStringLiteral("FT232R USB UART"));

    const CComPortList list;
    ASSERT_EQ(list.GetCount(), 18);
    EXPECT_EQ(list.GetDisplayName(16), QStringLiteral("Simulated unit (COM17)"));
    EXPECT_EQ(list.GetPath(16), QStringLiteral("/dev/pts/7"));
    EXPECT_EQ(list.GetDisplayName(17), QStringLiteral("FT232R USB UART (COM18)"));

    CComPortList::ClearExtraPorts();
    EXPECT_EQ(CComPortList().GetCount(), 17);
}

TEST_F(ComPortListTest, AMissingSysfsFolderLeavesTheFixedPorts)
{
    CComPortList::SetTtyClassDirectory(m_sysfs.TtyClass() + QStringLiteral("/absent"));
    CComPortList list;
    EXPECT_FALSE(list.EnumerateSystemPorts());
    EXPECT_EQ(list.GetCount(), 16);
}

TEST_F(ComPortListTest, AnAdapterKeepsItsNumberWhileOthersAreUnpluggedAndPluggedIn)
{
    // A told apart by vendor, product and serial number; B by its by-id name.
    m_sysfs.AddDevice(QStringLiteral("ttyUSB0"), QStringLiteral("Adapter A"), QStringLiteral("A1"));
    m_sysfs.AddDevice(QStringLiteral("ttyUSB1"), QStringLiteral("Adapter B"));
    m_sysfs.AddById(QStringLiteral("usb-Maker_B-if00-port0"), QStringLiteral("ttyUSB1"));
    CComPortList::SetTtyClassDirectory(m_sysfs.TtyClass(), m_sysfs.ById());
    const CComPortList first;
    ASSERT_EQ(first.GetCount(), 18);
    EXPECT_EQ(first.GetDisplayName(16), QStringLiteral("Adapter A (COM17)"));
    EXPECT_EQ(first.GetDisplayName(17), QStringLiteral("Adapter B (COM18)"));

    m_sysfs.Unplug(QStringLiteral("ttyUSB0"));
    const CComPortList unplugged;
    ASSERT_EQ(unplugged.GetCount(), 17);
    EXPECT_EQ(unplugged.GetDisplayName(16), QStringLiteral("Adapter B (COM18)"));
    EXPECT_EQ(unplugged.GetPath(16), QStringLiteral("/dev/ttyUSB1"));

    // Back on another device name, A gets its own number again.
    m_sysfs.AddDevice(QStringLiteral("ttyUSB2"), QStringLiteral("Adapter A"), QStringLiteral("A1"));
    const CComPortList replugged;
    ASSERT_EQ(replugged.GetCount(), 18);
    EXPECT_EQ(replugged.GetDisplayName(16), QStringLiteral("Adapter A (COM17)"));
    EXPECT_EQ(replugged.GetPath(16), QStringLiteral("/dev/ttyUSB2"));
    EXPECT_EQ(replugged.GetDisplayName(17), QStringLiteral("Adapter B (COM18)"));
}
