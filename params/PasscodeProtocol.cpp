#include "PasscodeProtocol.h"

#include "CEnterPasscodeDialog.h"
#include "CProtectDialog.h"
#include "RegisterMap.h"
#include "comm/CModbusInterface.h"
#include "foundation/Globals.h"
#include "platform/CUiPrompts.h"

#include <array>

namespace {
using Pair = std::array<std::uint16_t, 2>;

Pair Split(std::uint32_t value)
{
    return {static_cast<std::uint16_t>(value & 0xFFFF), static_cast<std::uint16_t>(value >> 16)};
}

bool IsZero(const Pair& pair)
{
    return pair[0] == 0 && pair[1] == 0;
}

// Writes the mode and reads back what the unit kept.
std::uint16_t RequestWriteMode(CModbusInterface& link, std::uint16_t mode)
{
    link.WriteRegisters(REGISTER_WRITE_MODE, 1, &mode);
    std::uint16_t kept = 0;
    link.ReadRegisters(REGISTER_WRITE_MODE, 1, &kept);
    return kept;
}

void ShowError(QWidget* parent, const char* key)
{
    CUiPrompts::MessageBox(parent, g_resourceDatabase.GetMessageText(QString::fromLatin1(key)), QString(),
                           MB_OK | MB_ICONERROR);
}
} // namespace

void ChangeProtectPasscode(CModbusInterface& link, QWidget* parent)
{
    link.Connect();
    // The support test always reads the low half first.
    Pair support{};
    link.ReadRegisters32(REGISTER_PASSCODE_ENTRY, 1, support.data(), false);
    if (IsZero(support)) {
        ShowError(parent, "ERROR_MODBUS_PASSCODE_NOT_SUPPORT");
        return;
    }
    link.Close();

    std::uint32_t current = 0;
    std::uint32_t replacement = 0;
    CProtectDialog dialog(parent);
    if (!dialog.Execute(current, replacement))
        return;

    link.Connect();
    const bool swap = ReadWordOrderIsHighFirst(link);
    const Pair entered = Split(current);
    link.WriteRegisters32(REGISTER_PASSCODE_ENTRY, 1, entered.data(), swap);
    if (RequestWriteMode(link, WRITE_MODE_PARAMETERS) != WRITE_MODE_PARAMETERS) {
        ShowError(parent, "ERROR_MODBUS_PASSCODE_MISMATCH");
        return;
    }
    const Pair protect = Split(replacement);
    link.WriteRegisters32(REGISTER_PROTECT_PASSCODE, 1, protect.data(), swap);
    link.Close();
}

bool CheckPasscode(CModbusInterface& link, std::uint16_t mode, QWidget* parent)
{
    link.Connect();
    const bool swap = ReadWordOrderIsHighFirst(link);
    Pair protect{};
    link.ReadRegisters32(REGISTER_PROTECT_PASSCODE, 1, protect.data(), swap);
    if (IsZero(protect)) {
        link.WriteRegisters(REGISTER_WRITE_MODE, 1, &mode);
        link.Close();
        return true;
    }
    // No connection is held open while the user types.
    link.Close();

    std::uint32_t passcode = 0;
    CEnterPasscodeDialog dialog(parent);
    if (!dialog.Execute(passcode))
        return false;

    link.Connect();
    const Pair entered = Split(passcode);
    link.WriteRegisters32(REGISTER_PASSCODE_ENTRY, 1, entered.data(), swap);
    const std::uint16_t kept = RequestWriteMode(link, mode);
    link.Close();
    if (kept == mode)
        return true;
    ShowError(parent, "ERROR_MODBUS_PASSCODE_MISMATCH");
    return false;
}

void RelockPasscode(CModbusInterface& link)
{
    // Only whether it is zero matters, so the word order is not consulted.
    Pair protect{};
    link.ReadRegisters32(REGISTER_PROTECT_PASSCODE, 1, protect.data(), false);
    if (IsZero(protect))
        return;
    const Pair zero{0, 0};
    link.WriteRegisters32(REGISTER_PASSCODE_ENTRY, 1, zero.data(), false);
}
