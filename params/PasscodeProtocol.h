#pragma once
// The unit's passcode protocol: unlocking a write-protected unit and putting
// it into a write mode, locking it again, and changing its protect passcode.
// Failures the user must know about are shown in message boxes; errors of
// the link itself are thrown as CPrivateException and reach the caller.
#include <cstdint>

class CModbusInterface;
class QWidget;

// Write modes of the unit.
inline constexpr std::uint16_t WRITE_MODE_OFF = 0;
inline constexpr std::uint16_t WRITE_MODE_PARAMETERS = 1;  // parameter and setting writes
inline constexpr std::uint16_t WRITE_MODE_LOOP_TEST = 2;   // the loop test's output values

// Asks for the current and a new protect passcode and sets the new one (0
// removes the protection). Connects and closes the link itself.
void ChangeProtectPasscode(CModbusInterface& link, QWidget* parent = nullptr);
// Puts the unit into write mode `mode`, asking for the passcode when it is
// protected. True when the unit kept the mode; false after Cancel or a
// rejected passcode. Connects and closes the link itself.
bool CheckPasscode(CModbusInterface& link, std::uint16_t mode, QWidget* parent = nullptr);
// Locks a protected unit again, on a link that is open.
void RelockPasscode(CModbusInterface& link);
