#include "PasscodeProtocol.h"

#include "CEnterPasscodeDialog.h"
#include "CProtectDialog.h"
#include "RegisterMap.h"
#include "comm/CModbusInterface.h"
#include "foundation/Globals.h"
#include "platform/CException.h"
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

// Enters the passcode and asks for the mode; what the unit kept.
std::uint16_t EnterPasscode(CModbusInterface& link, std::uint32_t passcode, bool swap, std::uint16_t mode)
{
    const Pair entered = Split(passcode);
    link.WriteRegisters32(REGISTER_PASSCODE_ENTRY, 1, entered.data(), swap);
    return RequestWriteMode(link, mode);
}

// Runs the steps that follow the entry of a passcode. The passcode and the
// mode may have reached the unit even when a reply was lost, so a failure
// ends the write mode and locks the unit before it goes on.
template <class Steps> auto AfterPasscode(CModbusInterface& link, Steps steps)
{
    try {
        return steps();
    } catch (...) {
        EndWriteModeQuietly(link);
        link.Close();
        throw;
    }
}

void ShowError(QWidget* parent, const char* key)
{
    CUiPrompts::MessageBox(parent, g_resourceDatabase.GetMessageText(QString::fromLatin1(key)), QString(),
                           MB_OK | MB_ICONERROR);
}

// Sends every request once while it lives, whatever leaves the scope.
class SingleAttempts
{
public:
    explicit SingleAttempts(CModbusInterface& link) : m_link(link) { m_link.SetSingleAttempt(true); }
    ~SingleAttempts() { m_link.SetSingleAttempt(false); }
    SingleAttempts(const SingleAttempts&) = delete;
    SingleAttempts& operator=(const SingleAttempts&) = delete;

private:
    CModbusInterface& m_link;
};
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
    const bool taken = AfterPasscode(link, [&] {
        if (EnterPasscode(link, current, swap, WRITE_MODE_PARAMETERS) != WRITE_MODE_PARAMETERS)
            return false;
        const Pair protect = Split(replacement);
        link.WriteRegisters32(REGISTER_PROTECT_PASSCODE, 1, protect.data(), swap);
        // A unit left in write mode would take a new passcode from anyone.
        EndWriteMode(link);
        return true;
    });
    if (!taken) {
        ShowError(parent, "ERROR_MODBUS_PASSCODE_MISMATCH");
        return;
    }
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
    const std::uint16_t kept = AfterPasscode(link, [&] { return EnterPasscode(link, passcode, swap, mode); });
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

void EndWriteMode(CModbusInterface& link)
{
    const std::uint16_t off = WRITE_MODE_OFF;
    link.WriteRegisters(REGISTER_WRITE_MODE, 1, &off);
    RelockPasscode(link);
}

void EndWriteModeQuietly(CModbusInterface& link)
{
    const SingleAttempts once(link);
    try {
        link.Reconnect();
    } catch (const CException&) {
        return;
    }
    try {
        const std::uint16_t off = WRITE_MODE_OFF;
        link.WriteRegisters(REGISTER_WRITE_MODE, 1, &off);
    } catch (const CException&) {
        if (!link.WasAnswered())
            return;
    }
    try {
        RelockPasscode(link);
    } catch (const CException&) {
    }
}
