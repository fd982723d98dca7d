#include "SetupLauncher.h"

#include <QByteArray>
#include <QDir>
#include <QElapsedTimer>
#include <QFile>
#include <QTemporaryDir>
#include <QTest>

#include <gtest/gtest.h>

#include <fcntl.h>
#include <string>
#include <sys/wait.h>
#include <unistd.h>

namespace {

// Puts a folder first on PATH for one test.
class PathGuard
{
public:
    explicit PathGuard(const QString& path) : m_old(qgetenv("PATH")) { qputenv("PATH", path.toLocal8Bit()); }
    ~PathGuard() { qputenv("PATH", m_old); }

private:
    QByteArray m_old;
};

// A stand-in installer on the folder: a script that runs body, then takes its time.
void WriteInstaller(const QTemporaryDir& bin, const QByteArray& body)
{
    QFile script(bin.filePath("msiexec"));
    ASSERT_TRUE(script.open(QIODevice::WriteOnly));
    script.write("#!/bin/sh\n" + body + "sleep 3\n");
    script.close();
    script.setPermissions(QFile::ReadOwner | QFile::WriteOwner | QFile::ExeOwner);
}

// The file's content once the installer has written it whole.
std::string Recorded(const QByteArray& record)
{
    QFile seen(QString::fromLocal8Bit(record));
    if (!QTest::qWaitFor([&] { return seen.exists(); }, 10000) || !seen.open(QIODevice::ReadOnly))
        return "<nothing recorded>";
    return seen.readAll().toStdString();
}

void ReapChildren()
{
    while (waitpid(-1, nullptr, WNOHANG) > 0) {
    }
}

} // namespace

TEST(SetupLauncher, StartsTheInstallerWithoutWaitingForIt)
{
    QTemporaryDir bin;
    ASSERT_TRUE(bin.isValid());
    const QByteArray record = bin.filePath("argv.txt").toLocal8Bit();
    // It notes how it was started.
    WriteInstaller(bin, "exec >/dev/null 2>&1\n{ basename \"$0\"; for a in \"$@\"; do echo \"$a\"; done; } > \""
                            + record + ".tmp\"\nmv \"" + record + ".tmp\" \"" + record + "\"\n");

    int result = -1;
    QElapsedTimer timer;
    timer.start();
    {
        PathGuard path(bin.path() + ":" + QString::fromLocal8Bit(qgetenv("PATH")));
        result = RunSetup();
    }
    EXPECT_EQ(result, 0);
    EXPECT_LT(timer.elapsed(), 2000) << "Setup does not wait for the installer";

    EXPECT_EQ(Recorded(record), "msiexec\n/i\nApp_x86\nSETUPVAR1=0\n");
    ReapChildren();
}

TEST(SetupLauncher, TheInstallerHoldsNoneOfSetupsDescriptorsAndItsStandardStreamsAreTheNullDevice)
{
    QTemporaryDir bin;
    ASSERT_TRUE(bin.isValid());
    const QByteArray record = bin.filePath("streams.txt").toLocal8Bit();
    // It notes where its standard input, output and error lead.
    WriteInstaller(bin, "i=$(readlink /proc/$$/fd/0); o=$(readlink /proc/$$/fd/1); e=$(readlink /proc/$$/fd/2)\n"
                        "printf '%s\\n' \"$i\" \"$o\" \"$e\" > \"" + record + ".tmp\"\nmv \"" + record + ".tmp\" \""
                        + record + "\"\n");
    // As out=$(ombrix-setup) would: the reader of Setup's output waits while any process holds the pipe's writing end.
    int output[2] = {-1, -1};
    ASSERT_EQ(::pipe(output), 0);
    {
        PathGuard path(bin.path() + ":" + QString::fromLocal8Bit(qgetenv("PATH")));
        EXPECT_EQ(RunSetup(), 0);
    }
    ::close(output[1]);
    ::fcntl(output[0], F_SETFL, O_NONBLOCK);
    char byte = 0;
    EXPECT_EQ(::read(output[0], &byte, 1), 0) << "the installer holds Setup's descriptor";
    ::close(output[0]);
    EXPECT_EQ(Recorded(record), "/dev/null\n/dev/null\n/dev/null\n");
    ReapChildren();
}

TEST(SetupLauncher, EndsWithZeroWhenNoInstallerExists)
{
    QTemporaryDir empty;
    ASSERT_TRUE(empty.isValid());
    PathGuard path(empty.path());
    EXPECT_EQ(RunSetup(), 0);
    ReapChildren();
}
