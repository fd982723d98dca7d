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

// Both of these end the write mode and lock the unit (EndWriteModeQuietly)
// before a link error that comes after a passcode was entered is thrown.
//
// Asks for the current and a new protect passcode, sets the new one (0
// removes the protection) and leaves the unit out of write mode and locked.
// Connects and closes the link itself.
void ChangeProtectPasscode(CModbusInterface& link, QWidget* parent = nullptr);
// Puts the unit into write mode `mode`, asking for the passcode when it is
// protected. True when the unit kept the mode; false after Cancel or a
// rejected passcode. Connects and closes the link itself.
bool CheckPasscode(CModbusInterface& link, std::uint16_t mode, QWidget* parent = nullptr);
// Locks a protected unit again, on a link that is open.
void RelockPasscode(CModbusInterface& link);
// Ends the write mode and locks a protected unit again, on a link that is open.
void EndWriteMode(CModbusInterface& link);
// The same after a failure, once the unit may be in write mode: on a fresh
// connection, where no late reply to the failed request can be taken for its
// own, one attempt a request (a unit that no longer answers costs one reply
// time-out, and one that did not answer the end of write mode is not asked
// to lock), its own errors swallowed so the first failure is the one told.
void EndWriteModeQuietly(CModbusInterface& link);
