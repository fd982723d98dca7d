#include "SetupLauncher.h"

#include <QByteArray>
#include <QDir>
#include <QElapsedTimer>
#include <QFile>
#include <QTemporaryDir>
#include <QTest>

#include <gtest/gtest.h>

#include <sys/wait.h>

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
    const QString record = bin.filePath("argv.txt");
    // A stand-in installer that notes how it was started and then takes its time.
    QFile script(bin.filePath("msiexec"));
    ASSERT_TRUE(script.open(QIODevice::WriteOnly));
    script.write("#!/bin/sh\nexec >/dev/null 2>&1\n"
                 "{ basename \"$0\"; for a in \"$@\"; do echo \"$a\"; done; } > \"" + record.toLocal8Bit()
                 + ".tmp\"\nmv \"" + record.toLocal8Bit() + ".tmp\" \"" + record.toLocal8Bit() + "\"\nsleep 3\n");
    script.close();
    script.setPermissions(QFile::ReadOwner | QFile::WriteOwner | QFile::ExeOwner);

    int result = -1;
    QElapsedTimer timer;
    timer.start();
    {
        PathGuard path(bin.path() + ":" + QString::fromLocal8Bit(qgetenv("PATH")));
        result = RunSetup();
    }
    EXPECT_EQ(result, 0);
    EXPECT_LT(timer.elapsed(), 2000) << "Setup does not wait for the installer";

    QTRY_VERIFY_WITH_TIMEOUT(QFile::exists(record), 10000);
    QFile seen(record);
    ASSERT_TRUE(seen.open(QIODevice::ReadOnly));
    EXPECT_EQ(seen.readAll(), "msiexec\n/i\nApp_x86\nSETUPVAR1=0\n");
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
