#pragma once
// Byte transport of the Modbus RTU links: the serial COM port and the
// infrared adapter, over termios on a device path.
#include "CComSettings.h"
#include "foundation/CResourceManager.h"

#include <QString>

#include <cstddef>
#include <cstdint>
#include <functional>

struct termios;

class CSerialIO : private CResourceManager
{
public:
    CSerialIO();
    ~CSerialIO() override;
    CSerialIO(const CSerialIO&) = delete;
    CSerialIO& operator=(const CSerialIO&) = delete;

    // Every failure throws CPrivateException.
    void Open(const CComSettings& settings);
    void OpenAndConfigure();
    // Opens the port of the settings' mode exclusively (no second opener,
    // whoever it is); on failure "MSG_CANNOT_OPEN_COM" with the COM display
    // name, then the system's reason on a line of its own.
    void OpenPort();
    // Raw line, no flow control, DTR and RTS off. Parity codes 0 none, 1 odd,
    // 2 even, 3 mark, 4 space; stop-bits codes 0 one, 2 two.
    void Configure(unsigned baud, unsigned dataBits, unsigned parity, unsigned stopBits);
    void SetReadTimeout(unsigned ms);
    void SetTimeouts(unsigned totalConstant, unsigned interval);
    // Returns when n bytes came or the read time-outs ran out; 0 on failure. Never throws.
    std::size_t Read(std::uint8_t* buffer, std::size_t n);
    // Writes all n bytes and waits until they left; a short write throws "MSG_CANNOT_COM_SETTING".
    std::size_t Write(const std::uint8_t* buffer, std::size_t n);
    void Close();
    // Throws away what came in and whatever follows until the line has been
    // quiet for a few characters' time (a second at most). Never throws.
    void DiscardInput();
    // Throws away what came in and has not been read, without waiting for more.
    void DiscardPending();

    bool IsOpen() const { return m_fd >= 0; }
    const QString& GetDevicePath() const { return m_devicePath; }

    struct Timeouts
    {
        unsigned readInterval = 0;
        unsigned readTotalMultiplier = 0;
        unsigned readTotalConstant = 3000;
        unsigned writeTotalMultiplier = 0;
        unsigned writeTotalConstant = 0;
    };
    const Timeouts& GetTimeouts() const { return m_timeouts; }

    // Hands the line record to the device behind fd; true when it took it.
    using LineSetter = std::function<bool(int fd, const termios& line)>;
    // Test seam: the port hands its line record to this in place of the
    // kernel (empty: the kernel).
    static void SetLineSetterForTests(LineSetter setter);

private:
    void ApplyTimeouts();

    int m_fd = -1;
    Timeouts m_timeouts;
    QString m_devicePath;
    unsigned m_lineBaud = 0;
    CComSettings m_settings;
};
