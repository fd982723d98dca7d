#pragma once
// One borrowing of the monitor's link by the GUI thread (loop test,
// utilities, tag): holds the polling thread's lock from construction to
// destruction, so no polling command uses the link meanwhile, and leaves
// the link closed when it ends, whatever happened.
#include <cstdint>
#include <functional>

class CBackThread;
class CModbusInterface;
class QWidget;

class CUnitSession
{
public:
    CUnitSession(CModbusInterface& link, CBackThread& thread);
    ~CUnitSession();
    CUnitSession(const CUnitSession&) = delete;
    CUnitSession& operator=(const CUnitSession&) = delete;

    // False when the lock could not be taken: the link must not be used.
    bool IsHeld() const { return m_held; }

    // Puts the unit into write mode `mode` (asking for the passcode on a
    // protected unit), connects, runs writes, then ends the write mode and
    // locks the unit again. False, with nothing written, when the passcode
    // was refused. When anything fails once the unit is in write mode, the
    // write mode is ended and the unit re-locked (EndWriteModeQuietly) before
    // the failure passes on, so a failed write does not leave the unit open.
    bool WriteInMode(std::uint16_t mode, QWidget* parent, const std::function<void()>& writes);

private:
    CModbusInterface& m_link;
    CBackThread& m_thread;
    bool m_held = false;
};
