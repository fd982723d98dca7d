#pragma once
// Links from the program's Modbus master to a simulated Fenmar unit, over
// TCP, the serial RTU link and the infrared RTU link on one pseudo-terminal.
#include "TestText.h"
#include "support/CFenmarUnit.h"

#include "comm/CModbusInterface.h"

#include <QFile>

#include <fcntl.h>
#include <termios.h>
#include <unistd.h>

#include <memory>
#include <string>

enum class LinkKind { Tcp, Serial, Infrared };

inline std::string LinkName(LinkKind kind)
{
    switch (kind) {
    case LinkKind::Tcp: return "Tcp";
    case LinkKind::Serial: return "Serial";
    case LinkKind::Infrared: return "Infrared";
    }
    return "?";
}

// A pseudo-terminal cannot keep parity: the kernel drops it and leaves the odd-parity
// flag behind, and glibc then refuses the next open's request for parity (the
// infrared link always asks for it). A real port keeps it. Tests that reconnect
// put the line back between connections.
inline void ResetPseudoTerminal(const QString& path)
{
    if (path.isEmpty())
        return;
    const int fd = ::open(QFile::encodeName(path).constData(), O_RDWR | O_NOCTTY | O_NONBLOCK | O_CLOEXEC);
    if (fd < 0)
        return;
    termios line{};
    if (::tcgetattr(fd, &line) == 0) {
        line.c_cflag &= ~static_cast<tcflag_t>(PARENB | PARODD);
        ::tcsetattr(fd, TCSANOW, &line);
    }
    ::close(fd);
}

// Starts the unit on the transport the link needs and returns a closed link to
// it; ptyPath gets the pseudo-terminal's path on the RTU links.
inline std::unique_ptr<CModbusInterface> MakeLink(CFenmarUnit& unit, LinkKind kind, QString* ptyPath = nullptr)
{
    auto link = std::make_unique<CModbusInterface>();
    CComSettings settings = link->GetComSettings();
    settings.Address = 1;
    if (kind == LinkKind::Tcp) {
        settings.Mode = CComSettings::ModeTcp;
        settings.ServerAddress = QStringLiteral("127.0.0.1");
        settings.ServicePort = QString::number(unit.StartTcp());
    } else {
        const QString path = unit.StartRtu();
        if (ptyPath)
            *ptyPath = path;
        settings.Mode = kind == LinkKind::Serial ? CComSettings::ModeSerial : CComSettings::ModeInfrared;
        settings.COMPortName = path;
        settings.COMPortDisplayName = QStringLiteral("COM9");
        settings.IRCOMPortName = path;
        // A pseudo-terminal has no parity: glibc refuses a second open that asks for one.
        settings.Parity = 0;
    }
    link->SetComSettings(settings);
    return link;
}
