// The serial port's line settings and read time-outs on a pseudo-terminal,
// and the watchdog's arming, expiry and end.
#include "comm/CSerialIO.h"
#include "comm/CTimerThread.h"
#include "foundation/CObserver.h"
#include "platform/CException.h"
#include "support/TempProfile.h"

#include <gtest/gtest.h>

#include <atomic>
#include <chrono>
#include <fcntl.h>
#include <pty.h>
#include <termios.h>
#include <thread>
#include <unistd.h>
#include <vector>

using namespace std::chrono_literals;
using Clock = std::chrono::steady_clock;

namespace
{
long long MsSince(Clock::time_point start)
{
    return std::chrono::duration_cast<std::chrono::milliseconds>(Clock::now() - start).count();
}

class PtyPair
{
public:
    PtyPair()
    {
        char name[128] = {};
        if (::openpty(&master, &slave, name, nullptr, nullptr) == 0) {
            termios line{};
            ::tcgetattr(slave, &line);
            ::cfmakeraw(&line);
            ::tcsetattr(slave, TCSANOW, &line);
            path = QString::fromLocal8Bit(name);
        }
    }
    ~PtyPair()
    {
        ::close(master);
        ::close(slave);
    }
    int master = -1;
    int slave = -1;
    QString path;
};

// The line records the port asks of the device while it lives; the device
// itself is left as it was.
class LineRecorder
{
public:
    LineRecorder()
    {
        CSerialIO::SetLineSetterForTests([this](int, const termios& line) {
            lines.push_back(line);
            return true;
        });
    }
    ~LineRecorder() { CSerialIO::SetLineSetterForTests({}); }
    std::vector<termios> lines;
};

struct Line
{
    speed_t speed;
    tcflag_t size;
    tcflag_t parity;
    bool twoStopBits;
};

void ExpectLine(const termios& line, const Line& want)
{
    EXPECT_EQ(cfgetospeed(&line), want.speed);
    EXPECT_EQ(cfgetispeed(&line), want.speed);
    EXPECT_EQ(line.c_cflag & CSIZE, want.size);
    EXPECT_EQ(line.c_cflag & (PARENB | PARODD | CMSPAR), want.parity);
    EXPECT_EQ((line.c_cflag & CSTOPB) != 0, want.twoStopBits);
    EXPECT_EQ(line.c_cflag & CRTSCTS, 0u);
    EXPECT_EQ(line.c_iflag & (IXON | IXOFF | INPCK), 0u);
}

class CountingObserver : public CObserver
{
public:
    void Update(CObservable*) override { ++updates; }
    std::atomic<int> updates{0};
};
} // namespace

TEST(CSerialIO, ReadsReturnWhenTheBytesCameOrTheTimeRanOut)
{
    TempProfile profile;
    PtyPair pty;
    ASSERT_FALSE(pty.path.isEmpty());
    CComSettings settings;
    settings.COMPortName = pty.path;
    CSerialIO port;
    port.Open(settings);
    ASSERT_TRUE(port.IsOpen());
    EXPECT_EQ(port.GetTimeouts().readTotalConstant, 3000u);

    std::uint8_t buffer[8] = {};
    port.SetReadTimeout(120);
    auto start = Clock::now();
    EXPECT_EQ(port.Read(buffer, sizeof buffer), 0u);
    EXPECT_GE(MsSince(start), 115);
    EXPECT_LT(MsSince(start), 600);

    // All that was asked for: no waiting for the time-out.
    port.SetReadTimeout(3000);
    ASSERT_EQ(::write(pty.master, "abcdefgh", 8), 8);
    start = Clock::now();
    EXPECT_EQ(port.Read(buffer, 8), 8u);
    EXPECT_LT(MsSince(start), 500);
    EXPECT_EQ(buffer[7], 'h');

    // Bytes that trickle in are gathered until the total time-out.
    port.SetReadTimeout(300);
    std::thread writer([&] {
        std::this_thread::sleep_for(50ms);
        [[maybe_unused]] ssize_t a = ::write(pty.master, "12", 2);
        std::this_thread::sleep_for(50ms);
        [[maybe_unused]] ssize_t b = ::write(pty.master, "34", 2);
    });
    start = Clock::now();
    EXPECT_EQ(port.Read(buffer, 8), 4u);
    EXPECT_GE(MsSince(start), 290);
    writer.join();

    const std::uint8_t out[3] = {1, 2, 3};
    EXPECT_EQ(port.Write(out, 3), 3u);
    std::uint8_t echo[3] = {};
    EXPECT_EQ(::read(pty.master, echo, 3), 3);
    EXPECT_EQ(echo[2], 3);

    port.Close();
    EXPECT_FALSE(port.IsOpen());
    EXPECT_EQ(port.Read(buffer, 8), 0u);
}

TEST(CSerialIO, SerialModeAsksTheDeviceForTheSettingsLine)
{
    TempProfile profile;
    PtyPair pty;
    struct Case
    {
        int baudIndex, byteIndex, parity, stopIndex;
        Line want;
    };
    const Case cases[] = {
        {0, 0, 0, 1, {B1200, CS7, 0, true}},
        {3, 1, 2, 0, {B9600, CS8, PARENB, false}},
        {5, 1, 1, 0, {B38400, CS8, PARENB | PARODD, false}},
    };
    for (const Case& c : cases) {
        CComSettings settings;
        settings.COMPortName = pty.path;
        settings.Baudrate = c.baudIndex;
        settings.Character = c.byteIndex;
        settings.Parity = c.parity;
        settings.Stop = c.stopIndex;
        LineRecorder recorder;
        CSerialIO port;
        port.Open(settings);
        ASSERT_EQ(recorder.lines.size(), 1u);
        ExpectLine(recorder.lines[0], c.want);
    }
}

TEST(CSerialIO, InfraredModeUsesTheInfraredPathAndItsFixedLine)
{
    TempProfile profile;
    PtyPair pty;
    CComSettings settings;
    settings.Mode = CComSettings::ModeInfrared;
    settings.COMPortName = QStringLiteral("/nonexistent/port");
    settings.IRCOMPortName = pty.path;
    // None of these reach the infrared line.
    settings.Baudrate = 3;
    settings.Character = 0;
    settings.Parity = 2;
    settings.Stop = 1;
    {
        LineRecorder recorder;
        CSerialIO port;
        port.Open(settings);
        EXPECT_EQ(port.GetDevicePath(), pty.path);
        ASSERT_EQ(recorder.lines.size(), 1u);
        ExpectLine(recorder.lines[0], {B1200, CS8, PARENB | PARODD, false});
    }

    // The serial link refuses a parity code the line does not know.
    settings.Mode = CComSettings::ModeSerial;
    settings.COMPortName = pty.path;
    settings.Parity = 7;
    CSerialIO serial;
    EXPECT_THROW(serial.Open(settings), CException);
}

TEST(CTimerThread, ExpiryNotifiesAndADisarmInTimeDoesNot)
{
    CTimerThread watchdog;
    CountingObserver observer;
    watchdog.AddObserver(&observer);
    ASSERT_TRUE(watchdog.CreateThread(true));
    watchdog.ResumeThread();

    ASSERT_TRUE(watchdog.Arm(1000));
    std::this_thread::sleep_for(20ms);
    watchdog.Disarm();
    EXPECT_EQ(observer.updates, 0);

    const auto start = Clock::now();
    ASSERT_TRUE(watchdog.Arm(80));
    std::this_thread::sleep_for(200ms);
    watchdog.Disarm();
    EXPECT_EQ(observer.updates, 1);
    EXPECT_GE(MsSince(start), 80);

    // Armed afresh for the next receive.
    ASSERT_TRUE(watchdog.Arm(50));
    std::this_thread::sleep_for(150ms);
    watchdog.Disarm();
    EXPECT_EQ(observer.updates, 2);

    watchdog.Stop();
    EXPECT_TRUE(watchdog.HasEnded());
    // A disarm after the end, and a second stop, are harmless.
    watchdog.Disarm();
    watchdog.Stop();
}

TEST(CTimerThread, ArmingNeverWaitsForTheThread)
{
    // Never started: the command cannot even be posted.
    {
        CTimerThread idle;
        const auto start = Clock::now();
        EXPECT_FALSE(idle.Arm(5000));
        idle.Disarm();
        idle.Stop();
        EXPECT_LT(MsSince(start), 100);
    }
    // Started but never resumed: the command waits in the queue, the link does not.
    CTimerThread suspended;
    CountingObserver observer;
    suspended.AddObserver(&observer);
    ASSERT_TRUE(suspended.CreateThread(true));
    const auto start = Clock::now();
    EXPECT_TRUE(suspended.Arm(50));
    suspended.Disarm();
    EXPECT_LT(MsSince(start), 100);
    // The stale command finds nothing to guard once the thread runs.
    suspended.ResumeThread();
    std::this_thread::sleep_for(100ms);
    EXPECT_EQ(observer.updates, 0);

    // A command taken up late still ends the guard at the armed deadline.
    const auto armed = Clock::now();
    ASSERT_TRUE(suspended.Arm(60));
    std::this_thread::sleep_for(150ms);
    suspended.Disarm();
    EXPECT_EQ(observer.updates, 1);
    EXPECT_GE(MsSince(armed), 60);
    suspended.Stop();
    EXPECT_TRUE(suspended.HasEnded());
}

TEST(CTimerThread, DestroyedWhileRunningEndsItsThreadFirst)
{
    CountingObserver observer;
    {
        CTimerThread watchdog;
        watchdog.AddObserver(&observer);
        ASSERT_TRUE(watchdog.CreateThread(true));
        watchdog.ResumeThread();
        ASSERT_TRUE(watchdog.Arm(5000));
        watchdog.Disarm();
    }
    EXPECT_EQ(observer.updates, 0);
}
