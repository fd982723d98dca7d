// The transfer window against the simulated unit: upload and download through
// the window, the bar, Cancel (the set stays as it was), a failure that comes
// back to the caller once the window has ended, and the infrared extras.
#include "app/CProgressDialog.h"
#include "comm/CModbusInterface.h"
#include "foundation/CPrivateException.h"
#include "foundation/Globals.h"
#include "params/CSettings.h"
#include "params/RegisterMap.h"
#include "support/CFenmarUnit.h"
#include "support/CScriptedPrompts.h"
#include "support/TempProfile.h"

#include <QApplication>
#include <QCoreApplication>
#include <QLabel>
#include <QProgressBar>
#include <QTimer>
#include <QtTest/QTest>

#include <gtest/gtest.h>

#include <algorithm>
#include <vector>

#include <arpa/inet.h>
#include <netinet/in.h>
#include <sys/socket.h>
#include <unistd.h>

namespace {

using Dialog = CProgressDialog;

// The unit register that holds a parameter word.
int RegisterOf(int parameter)
{
    for (const RegisterMapRow& row : g_registerMap) {
        const int first = static_cast<int>(row.firstParameter);
        if (parameter >= first && parameter < first + static_cast<int>(row.WordCount()))
            return static_cast<int>(row.firstRegister) + parameter - first;
    }
    return -1;
}

// A loopback port that nobody listens on.
int UnusedPort()
{
    const int fd = ::socket(AF_INET, SOCK_STREAM, 0);
    sockaddr_in address{};
    address.sin_family = AF_INET;
    address.sin_addr.s_addr = htonl(INADDR_LOOPBACK);
    socklen_t length = sizeof(address);
    ::bind(fd, reinterpret_cast<sockaddr*>(&address), sizeof(address));
    ::getsockname(fd, reinterpret_cast<sockaddr*>(&address), &length);
    ::close(fd);
    return ntohs(address.sin_port);
}

bool SameWords(const CSettings& a, const CSettings& b)
{
    for (int n = 0; n < PARAMETER_COUNT; ++n) {
        if (a.GetWord(n) != b.GetWord(n))
            return false;
    }
    return true;
}

class ProgressDialogTest : public ::testing::Test
{
protected:
    void SetUp() override
    {
        g_resourceDatabase.LoadLanguageFile(QStringLiteral("English.lng"));
        CModbusInterface::SetWaitCapForTests(1000);
    }
    void TearDown() override { CModbusInterface::SetWaitCapForTests(0); }

    void AimAtTcp(CModbusInterface& link, int port)
    {
        link.GetComSettings().Mode = CComSettings::ModeTcp;
        link.GetComSettings().ServerAddress = QStringLiteral("127.0.0.1");
        link.GetComSettings().ServicePort = QString::number(port);
    }

    TempProfile m_profile;
    CScriptedPrompts m_prompts;
    CFenmarUnit m_unit;
};

} // namespace

TEST_F(ProgressDialogTest, UploadThroughTheWindowFillsTheTargetAndMovesTheBar)
{
    const int port = m_unit.StartTcp();
    m_unit.SetType(3);
    m_unit.SetRegister(RegisterOf(PARAMETER_INPUT_CT1), 4321);
    // Replies that take a moment, so that the window sees the reports one by one.
    m_unit.Simulated().InjectFault(CSimulatedUnit::Delay(40), -1);
    CModbusInterface link;
    AimAtTcp(link, port);

    CProgressDialog dialog;
    auto* bar = dialog.GetDlgItemAs<QProgressBar>(Dialog::IDC_PROGRESS);
    std::vector<int> values;
    QObject::connect(bar, &QProgressBar::valueChanged, [&](int v) { values.push_back(v); });
    bool rateShown = true;
    QObject::connect(bar, &QProgressBar::valueChanged, [&] {
        rateShown =
            dialog.GetDlgItem(Dialog::IDC_RATE)->isVisible() || dialog.GetDlgItem(Dialog::IDC_SIGNAL)->isVisible();
    });

    CSettings target;
    ASSERT_TRUE(dialog.StartUpload(link, target));
    EXPECT_EQ(target.GetWord(PARAMETER_INPUT_CT1), 4321);
    EXPECT_EQ(target.m_deviceType.GetTypeIndex(), 3);
    EXPECT_EQ(dialog.GetDlgItemText(Dialog::IDC_CAPTION),
              g_resourceDatabase.GetMessageText(QStringLiteral("MSG_UPLOADING")));
    EXPECT_EQ(dialog.windowTitle(), g_resourceDatabase.GetGuiText(CProgressDialog::IDD, 0));
    EXPECT_EQ(bar->maximum(), CProgressDialog::kBarRange);
    // The first report is 0 %, which the bar shows at 1 of 30000; then it only goes on.
    ASSERT_FALSE(values.empty());
    EXPECT_NE(std::find(values.begin(), values.end(), 1), values.end());
    int peak = 0;
    for (int v : values) {
        EXPECT_LE(v, CProgressDialog::kBarRange);
        EXPECT_GE(v, peak - 1) << "the bar went back";
        peak = std::max(peak, v);
    }
    EXPECT_FALSE(rateShown) << "the rate and the signal are for the infrared link only";
    EXPECT_EQ(m_prompts.Count(), 0u);
}

TEST_F(ProgressDialogTest, DownloadThroughTheWindowWritesTheSetToTheUnit)
{
    const int port = m_unit.StartTcp();
    CModbusInterface link;
    AimAtTcp(link, port);
    CSettings source;
    source.SetWord(PARAMETER_INPUT_CT1, 555);

    CProgressDialog dialog;
    ASSERT_TRUE(dialog.StartDownload(link, source));
    EXPECT_EQ(m_unit.GetRegister(RegisterOf(PARAMETER_INPUT_CT1)), 555);
    EXPECT_EQ(m_unit.GetWriteMode(), 0);
    EXPECT_EQ(dialog.GetDlgItemText(Dialog::IDC_CAPTION),
              g_resourceDatabase.GetMessageText(QStringLiteral("MSG_DOWNLOADING")));
}

TEST_F(ProgressDialogTest, CancelStopsTheUploadAndLeavesTheTargetAsItWas)
{
    const int port = m_unit.StartTcp();
    m_unit.SetRegister(RegisterOf(PARAMETER_INPUT_CT1), 4321);
    // Slow replies, so that the transfer is still running when Cancel comes.
    m_unit.Simulated().InjectFault(CSimulatedUnit::Delay(150), -1);
    CModbusInterface link;
    AimAtTcp(link, port);

    CProgressDialog dialog;
    auto* bar = dialog.GetDlgItemAs<QProgressBar>(Dialog::IDC_PROGRESS);
    bool pressed = false;
    bool stayedOpen = false;
    QObject::connect(bar, &QProgressBar::valueChanged, [&](int v) {
        if (pressed || v < 1)
            return;
        pressed = true;
        // Esc is Cancel; the window waits for the thread before it ends.
        QTest::keyClick(&dialog, Qt::Key_Escape);
        stayedOpen = dialog.isVisible();
    });

    CSettings target;
    target.SetWord(PARAMETER_INPUT_CT1, 77);
    const CSettings before = target;
    EXPECT_FALSE(dialog.StartUpload(link, target));
    EXPECT_TRUE(pressed);
    EXPECT_TRUE(stayedOpen);
    EXPECT_TRUE(SameWords(target, before));
    EXPECT_EQ(m_prompts.Count(), 0u) << "a cancel shows no message";
    // A notification still queued for the ended window changes nothing.
    QCoreApplication::processEvents();
    EXPECT_FALSE(dialog.isVisible());
}

TEST_F(ProgressDialogTest, CancelledDownloadLeavesAProtectedSlowUnitLocked)
{
    const int port = m_unit.StartTcp();
    m_unit.SetProtectPasscode(1234);
    CModbusInterface link;
    AimAtTcp(link, port);
    // Unlocked and in write mode, as the passcode entry leaves it.
    link.Connect();
    const std::uint16_t passcode[2] = {1234, 0};
    link.WriteRegisters32(REGISTER_PASSCODE_ENTRY, 1, passcode, false);
    const std::uint16_t on = 1;
    link.WriteRegisters(REGISTER_WRITE_MODE, 1, &on);
    link.Close();
    ASSERT_TRUE(m_unit.IsUnlocked());

    // Every reply takes 100 ms; Cancel comes a second in, while a reply is awaited,
    // so that the reply to the request it cuts short still comes.
    m_unit.Simulated().InjectFault(CSimulatedUnit::Delay(100), -1);
    CProgressDialog dialog;
    QTimer::singleShot(1000, &dialog, [&] {
        m_unit.Simulated().WaitForRequests(m_unit.RequestCount() + 1, 1000);
        QTest::qSleep(20);
        QTest::keyClick(&dialog, Qt::Key_Escape);
    });
    CSettings source;
    EXPECT_FALSE(dialog.StartDownload(link, source));
    EXPECT_FALSE(m_unit.IsUnlocked());
    EXPECT_EQ(m_unit.GetWriteMode(), 0);

    // Without the passcode, write mode is not kept.
    m_unit.Simulated().ClearFaults();
    link.Connect();
    link.WriteRegisters(REGISTER_WRITE_MODE, 1, &on);
    std::uint16_t kept = 1;
    link.ReadRegisters(REGISTER_WRITE_MODE, 1, &kept);
    link.Close();
    EXPECT_EQ(kept, 0);
}

TEST_F(ProgressDialogTest, AFailureEndsTheWindowAndReachesTheCallerOnce)
{
    // A port nobody listens on: the connection fails before any progress.
    const int port = UnusedPort();
    CModbusInterface link;
    AimAtTcp(link, port);

    CProgressDialog dialog;
    CSettings target;
    const CSettings before = target;
    bool thrown = false;
    try {
        dialog.StartUpload(link, target);
    } catch (const CPrivateException& e) {
        thrown = true;
        EXPECT_FALSE(e.GetText().isEmpty());
        EXPECT_FALSE(dialog.isVisible()) << "the error comes after the window has ended";
    }
    EXPECT_TRUE(thrown);
    EXPECT_TRUE(SameWords(target, before));
    EXPECT_EQ(m_prompts.Count(), 0u) << "the window itself shows nothing";
}

TEST_F(ProgressDialogTest, TheTransferKeeps255CharactersOfAFailure)
{
    CModbusInterface link;
    link.GetComSettings().COMPortName = QStringLiteral("/nonexistent/ttyS99");
    link.GetComSettings().COMPortDisplayName = QString(400, QLatin1Char('P'));
    QString text;
    CProgressDialog dialog;
    CSettings target;
    try {
        dialog.StartUpload(link, target);
    } catch (const CPrivateException& e) {
        text = e.GetText();
    }
    EXPECT_EQ(text.size(), 255);
    EXPECT_TRUE(text.endsWith(QString(40, QLatin1Char('P')))) << "cut inside the port's name";
}

TEST_F(ProgressDialogTest, TheInfraredLinkShowsTheSuccessRateAndItsSignal)
{
    const QString path = m_unit.StartRtu();
    CModbusInterface link;
    link.GetComSettings().Mode = CComSettings::ModeInfrared;
    link.GetComSettings().IRCOMPortName = path;
    // Slow enough for the half-second timer to run during the transfer.
    m_unit.Simulated().InjectFault(CSimulatedUnit::Delay(60), 20);

    CProgressDialog dialog;
    auto* rate = dialog.GetDlgItemAs<QLabel>(Dialog::IDC_RATE);
    auto* signal = dialog.GetDlgItemAs<QLabel>(Dialog::IDC_SIGNAL);
    bool visible = false;
    QString rateText;
    bool hasIcon = false;
    QObject::connect(dialog.GetDlgItemAs<QProgressBar>(Dialog::IDC_PROGRESS), &QProgressBar::valueChanged, [&] {
        visible = rate->isVisible() && signal->isVisible();
        if (!rate->text().isEmpty())
            rateText = rate->text();
        hasIcon = hasIcon || !signal->pixmap().isNull();
    });
    CSettings target;
    ASSERT_TRUE(dialog.StartUpload(link, target));
    EXPECT_TRUE(visible);
    EXPECT_TRUE(hasIcon);
    EXPECT_EQ(rateText, QStringLiteral("100.0"));
}

TEST(SignalLevelTest, RateThresholdsOfTheFourIcons)
{
    EXPECT_EQ(CProgressDialog::SignalLevel(0.0), 0);
    EXPECT_EQ(CProgressDialog::SignalLevel(0.1), 1);
    EXPECT_EQ(CProgressDialog::SignalLevel(39.9), 1);
    EXPECT_EQ(CProgressDialog::SignalLevel(40.0), 2);
    EXPECT_EQ(CProgressDialog::SignalLevel(79.9), 2);
    EXPECT_EQ(CProgressDialog::SignalLevel(80.0), 3);
    EXPECT_EQ(CProgressDialog::SignalLevel(100.0), 3);
}
