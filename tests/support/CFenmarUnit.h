#pragma once
// A simulated Fenmar unit: the register behaviour of a real unit on top of
// CSimulatedUnit. Identification (9600, 9601, 9622, 9623-9627), the word
// order of 32-bit values (5735 for parameters and passcodes, 5375 for the
// monitor: the two hold different values unless a test says), the parameter
// registers, and the protection state machine of the passcode entry (4942),
// the write mode (4944) and the protect passcode (5333):
//   unlocked    <=> protect passcode 0, or the entered passcode equals it
//               (compared as the register pair written, so in either order);
//   write mode  is taken only while unlocked and kept until 0 is written to
//               4944, also when the unit locks again (unless set to drop it);
//   parameter and protect-passcode writes need write mode 1; otherwise they
//               are refused with an exception code, ignored, or accepted, as set.
// The state lives in the unit, not in a connection, so it survives reconnects.
// For the monitor it carries the live figures of CSimulatedLoad (in the word
// order of 5375), harmonics, phase angles, the scales of each model, serial
// number, tag, channel count, loop-test mode and reset registers.
#include "CSimulatedLoad.h"
#include "CSimulatedUnit.h"

#include <QByteArray>

#include <array>
#include <condition_variable>
#include <cstdint>
#include <mutex>
#include <string>
#include <thread>
#include <vector>

class CFenmarUnit
{
public:
    enum class LockedWrites { Refuse, Ignore, Accept };

    struct Request
    {
        int function = 0;
        int address = 0;
        int count = 0;
        std::vector<std::uint16_t> words;  // written words (function 0x10)
    };

    static constexpr std::uint16_t kModelCode = 6103;
    static constexpr int kWordOrder = 5735;
    static constexpr int kMonitorWordOrder = 5375;
    static constexpr int kPasscodeEntry = 4942;
    static constexpr int kWriteMode = 4944;
    static constexpr int kProtectPasscode = 5333;
    // Monitor registers.
    static constexpr int kLoopTestMode[2] = {5335, 5338};
    static constexpr int kResetRegister[2] = {5329, 5337};
    static constexpr int kSerialNumber = 9602;  // 4 registers
    static constexpr int kTagNumber = 9606;     // 8 registers
    static constexpr int kChannelCount = 9626;
    static constexpr int kWiringSystem = 5600;
    // The scales the image gives each model: 5 A and 300 V.
    static constexpr int kCurrentScale = 5;
    static constexpr int kVoltageScale = 300;

    // A supported unit of type 5 (option bits 0x0011), version 0x0102, low
    // half first by 5735 and high half first by 5375, with the protect
    // function, unprotected.
    CFenmarUnit();
    ~CFenmarUnit();
    CFenmarUnit(const CFenmarUnit&) = delete;
    CFenmarUnit& operator=(const CFenmarUnit&) = delete;

    int StartTcp();
    QString StartRtu();
    void Stop();
    CSimulatedUnit& Simulated() { return m_unit; }

    // Identification of type index 0..9, with extra option bits that the
    // program masks away.
    void SetType(int typeIndex, std::uint16_t extraOptionBits = 0);
    void SetIdentity(std::uint16_t modelCode, std::uint16_t version, std::uint16_t optionBits,
                     const std::array<std::uint16_t, 5>& ioWords);
    void SetVersion(std::uint16_t version);

    // 1: high half of a 32-bit value in the first register. Sets 5735 only.
    void SetWordOrder(std::uint16_t order);
    bool HighHalfFirst() const;
    // The same for 5375 only. The monitor values already set keep their words.
    void SetMonitorWordOrder(std::uint16_t order);
    // A 32-bit value at address, address + 1 in the word order of 5735.
    void SetValue32(int address, std::uint32_t value);
    std::uint32_t GetValue32(int address) const;

    void SetRegister(int address, std::uint16_t value) { m_unit.SetRegister(address, value); }
    std::uint16_t GetRegister(int address) const { return m_unit.GetRegister(address); }

    // The parameter registers of the ten supported types.
    static bool IsParameterRegister(int address);
    static std::vector<int> ParameterRegisters();

    void SetProtectFunction(bool present);
    // In the present word order of 5735.
    void SetProtectPasscode(std::uint32_t passcode);
    std::uint32_t GetProtectPasscode() const;
    std::uint32_t GetEnteredPasscode() const;
    std::uint16_t GetWriteMode() const;
    bool IsUnlocked() const;
    void SetLockedWrites(LockedWrites behaviour, int exceptionCode = 4);
    // When set, the write mode drops to 0 whenever the unit locks; by
    // default it stays until 0 is written to 4944.
    void SetDropsWriteModeWhenLocked(bool drops);

    // The requests from index `from` on, decoded.
    std::vector<Request> DecodedRequests(int from = 0) const;
    // Only the writes (function 0x10) among them.
    std::vector<Request> Writes(int from = 0) const;

    // A unit of another model for the monitor: model code, option bits,
    // channel count and wiring system, and the scale registers of that model
    // (in the present word order of 5375).
    // Any model but 6103 fails the program's identification.
    void SetMonitorModel(std::uint16_t modelCode, std::uint16_t optionBits = 0, std::uint16_t channelCount = 1,
                         std::uint16_t wiringSystem = 3);
    // A 32-bit value in the word order of 5375.
    void SetMonitorValue32(int address, std::uint32_t value);
    std::uint32_t GetMonitorValue32(int address) const;
    // Two characters a register, the first in the low byte; NUL-padded.
    void SetSerialNumber(const QByteArray& text);
    void SetTag(const QByteArray& text);
    QByteArray GetTag() const; // all 16 bytes
    // Writes the load's figures at that time into both channels' registers;
    // a channel in loop-test mode keeps the realtime values it was given.
    void SetLoadTime(double seconds);
    // Keeps the figures moving with the clock until StopLiveLoad.
    void StartLiveLoad(int periodMs = 100);
    void StopLiveLoad();
    // When set, writes of loop-test values and modes, resets and the tag are
    // refused unless the unit is unlocked and in a write mode.
    void SetMonitorWritesNeedWriteMode(bool strict);
    int RequestCount() const { return m_unit.RequestCount(); }

private:
    CSimulatedUnit::WriteDecision OnWrite(int address, int count, const std::uint16_t* words);
    bool UnlockedLocked() const;
    void DropWriteModeIfLocked();
    std::array<std::uint16_t, 2> Split(std::uint32_t value) const;
    std::uint32_t Join(std::uint16_t first, std::uint16_t second) const;
    static bool IsMonitorWritable(int address);
    void WriteCharacters(int address, int registers, const QByteArray& text);

    CSimulatedUnit m_unit;
    mutable std::mutex m_lock;
    bool m_tcp = true;
    bool m_hasProtect = true;
    std::array<std::uint16_t, 2> m_entered{};
    std::array<std::uint16_t, 2> m_protect{};
    std::uint16_t m_writeMode = 0;
    LockedWrites m_lockedWrites = LockedWrites::Refuse;
    bool m_dropsWriteModeWhenLocked = false;
    int m_exceptionCode = 4;
    bool m_strictMonitorWrites = false;

    std::mutex m_liveLock;
    std::condition_variable m_liveWake;
    bool m_liveStop = false;
    std::thread m_live;
};
