// Measures the program as a user meets it:
//  (a) the time from process start to the main window shown (offscreen), by
//      starting this program again in a child mode that runs the whole
//      start-up and reports the moment the main window shows;
//  (b) a whole upload from the simulated unit over Modbus TCP through the
//      transfer window, next to the same upload made directly through
//      CSettings without a window.
#include "app/CBasicParameterDialog.h"
#include "app/CMyDalvexApp.h"
#include "app/CProgressDialog.h"
#include "comm/CModbusInterface.h"
#include "foundation/CPrivateException.h"
#include "foundation/Globals.h"
#include "params/CSettings.h"
#include "support/CFenmarUnit.h"

#include <QApplication>
#include <QElapsedTimer>
#include <QProcess>
#include <QTemporaryDir>
#include <QTimer>

#include <algorithm>
#include <chrono>
#include <cstdio>
#include <vector>

namespace {

using Clock = std::chrono::steady_clock;

constexpr int kStartRuns = 7;
constexpr int kUploadRuns = 15;
constexpr double kStartTargetMs = 500.0;
constexpr double kUploadTolerance = 0.20;
const char* const kChildFlag = "--startup-child";

double Median(std::vector<double> values)
{
    std::sort(values.begin(), values.end());
    return values[values.size() / 2];
}

double Ms(Clock::duration d) { return std::chrono::duration<double, std::milli>(d).count(); }

// Child mode: the program's own start-up; the main window reports when it shows, then closes.
class ShownReporter : public QObject
{
protected:
    bool eventFilter(QObject* watched, QEvent* event) override
    {
        if (event->type() == QEvent::Show && dynamic_cast<CBasicParameterDialog*>(watched)) {
            std::fputs("shown\n", stdout);
            std::fflush(stdout);
            auto* window = static_cast<QWidget*>(watched);
            QTimer::singleShot(0, window, [window] { window->close(); });
        }
        return false;
    }
};

int RunStartupChild(int argc, char** argv)
{
    QApplication application(argc, argv);
    ShownReporter reporter;
    application.installEventFilter(&reporter);
    CMyDalvexApp app;
    app.InitInstance();
    return 0;
}

bool BenchStartup(const QString& program)
{
    QTemporaryDir profile;
    QProcessEnvironment environment = QProcessEnvironment::systemEnvironment();
    environment.insert(QStringLiteral("QT_QPA_PLATFORM"), QStringLiteral("offscreen"));
    environment.insert(QStringLiteral("XDG_CONFIG_HOME"), profile.path());
    std::vector<double> times;
    for (int run = 0; run < kStartRuns; ++run) {
        QProcess child;
        child.setProcessEnvironment(environment);
        child.setProcessChannelMode(QProcess::SeparateChannels);
        const auto start = Clock::now();
        child.start(program, {QString::fromLatin1(kChildFlag)});
        bool shown = false;
        while (!shown && child.waitForReadyRead(10000))
            shown = child.readAllStandardOutput().contains("shown");
        const auto end = Clock::now();
        child.waitForFinished(10000);
        if (!shown) {
            std::fprintf(stderr, "the main window never showed\n");
            return false;
        }
        // The first run also fills the system's caches; it is left out.
        if (run > 0)
            times.push_back(Ms(end - start));
    }
    const double median = Median(times);
    std::printf("start-up to main window shown (offscreen): median %.1f ms, best %.1f ms over %zu runs "
                "(target under %.0f ms): %s\n",
                median, *std::min_element(times.begin(), times.end()), times.size(), kStartTargetMs,
                median < kStartTargetMs ? "met" : "MISSED");
    return median < kStartTargetMs;
}

bool ProgressCallback(void*, double) { return true; }

bool BenchUpload()
{
    QTemporaryDir profile;
    qputenv("XDG_CONFIG_HOME", profile.path().toLocal8Bit());
    g_resourceDatabase.CreateEmpty();
    try {
        g_resourceDatabase.LoadLanguageFile(QStringLiteral("English.lng"));
    } catch (const CException&) {
        // Message texts only matter on failure.
    }
    CFenmarUnit unit;
    const int port = unit.StartTcp();
    auto makeLink = [port](CModbusInterface& link) {
        CComSettings& settings = link.GetComSettings();
        settings.Mode = CComSettings::ModeTcp;
        settings.ServerAddress = QStringLiteral("127.0.0.1");
        settings.ServicePort = QString::number(port);
    };

    std::vector<double> window, direct;
    try {
        for (int run = 0; run < kUploadRuns; ++run) {
            {
                CModbusInterface link;
                makeLink(link);
                CSettings set;
                const auto start = Clock::now();
                CProgressDialog progress;
                if (!progress.StartUpload(link, set)) {
                    std::fprintf(stderr, "the upload through the window was cancelled\n");
                    return false;
                }
                window.push_back(Ms(Clock::now() - start));
            }
            {
                CModbusInterface link;
                makeLink(link);
                CSettings set;
                const auto start = Clock::now();
                link.Connect();
                set.Upload(link, ProgressCallback, nullptr);
                link.Close();
                direct.push_back(Ms(Clock::now() - start));
            }
        }
    } catch (const CPrivateException& e) {
        std::fprintf(stderr, "upload failed: %s\n", qPrintable(e.GetText()));
        return false;
    }
    const double throughWindow = Median(window);
    const double withoutWindow = Median(direct);
    const double ratio = throughWindow / withoutWindow;
    std::printf("whole upload over Modbus TCP: through the transfer window median %.2f ms, directly through "
                "CSettings median %.2f ms (%d runs each): window/direct %.2f (target within %.0f %%): %s\n",
                throughWindow, withoutWindow, kUploadRuns, ratio, kUploadTolerance * 100,
                ratio <= 1.0 + kUploadTolerance ? "met" : "MISSED");
    return true;
}

} // namespace

int main(int argc, char** argv)
{
    if (argc > 1 && qstrcmp(argv[1], kChildFlag) == 0)
        return RunStartupChild(argc, argv);
    qputenv("QT_QPA_PLATFORM", "offscreen");
    QApplication application(argc, argv);
    const bool started = BenchStartup(QCoreApplication::applicationFilePath());
    const bool uploaded = BenchUpload();
    return started && uploaded ? 0 : 1;
}
