// The main window's commands end to end against the simulated unit on a
// pseudo-terminal: upload (and its cancel), download behind the passcode,
// protect, the report with its CSV read back byte for byte, save and open,
// and a unit that is not there.
#include "MainWindowHarness.h"
#include "app/CBasicParameterDialog.h"
#include "app/CCompareDialog.h"
#include "app/CProgressDialog.h"
#include "comm/CComPortList.h"
#include "comm/CConnectDialog.h"
#include "comm/CModbusInterface.h"
#include "foundation/CPrivateException.h"
#include "foundation/Globals.h"
#include "monitor/CBackThread.h"
#include "monitor/CMyDalvexDlg.h"
#include "params/CEnterPasscodeDialog.h"
#include "params/CProtectDialog.h"
#include "params/CSettings.h"
#include "platform/CProfile.h"
#include "platform/ControlIds.h"
#include "tests/support/CScriptedPrompts.h"
#include "tests/support/MovedByUser.h"
#include "tests/support/TempProfile.h"

#include <QFile>
#include <QLineEdit>
#include <QTemporaryDir>
#include <QTest>

#include <gtest/gtest.h>

namespace {

using Dlg = CBasicParameterDialog;

QLineEdit* Edit(QWidget* w, int id) { return qobject_cast<QLineEdit*>(FindControl(w, id)); }
QString Text(QWidget* w, int id) { return GetWindowText(FindControl(w, id)); }

void Type(QLineEdit* edit, const QString& text)
{
    edit->setFocus();
    edit->selectAll();
    QTest::keyClicks(edit, text);
}

void TypeInto(QWidget* dialog, int id, const QString& text)
{
    auto* edit = qobject_cast<QLineEdit*>(FindControl(dialog, id));
    ASSERT_NE(edit, nullptr);
    // Typed, as the dialogs take only what the user typed.
    edit->selectAll();
    QTest::keyClicks(edit, text);
}

QByteArray ReadFile(const QString& path)
{
    QFile file(path);
    EXPECT_TRUE(file.open(QIODevice::ReadOnly)) << path.toStdString();
    return file.readAll();
}

// The report exactly as it must come out, byte for byte, in the code page of the language.
QByteArray ExpectedReport(const char* kind, const char* codePage)
{
    QFile file(QStringLiteral(QT_TESTCASE_SOURCEDIR "/app/data/report-%1-%2.csv")
                   .arg(QLatin1String(kind), QLatin1String(codePage)));
    EXPECT_TRUE(file.open(QIODevice::ReadOnly)) << file.fileName().toStdString();
    return file.readAll();
}

// Input words a unit of the factory would hold.
void SetFactoryInputs(CFenmarUnit& unit)
{
    unit.SetRegister(5600, 5);   // wiring system
    unit.SetRegister(5601, 5);   // CT primary
    unit.SetRegister(5602, 5);   // CT secondary
    unit.SetValue32(5603, 110);  // VT primary
    unit.SetRegister(5605, 110); // VT secondary
    unit.SetRegister(5609, 150); // input range
}

class MainWindowCommandsTest : public ::testing::Test
{
protected:
    void SetUp() override
    {
        g_settings = CSettings();
        g_settings.m_deviceType.SetTypeIndex(5);
        g_appSettings = CAppSettings();
        g_appSettings.DisplayLanguage = QStringLiteral("English.lng");
        // The unit's replies come at once; a missing one need not take seconds.
        CModbusInterface::SetWaitCapForTests(300);
        // A pseudo-terminal takes no parity; the connection dialog keeps the line settings of the profile.
        CProfile::WriteProfileInt("ComSettings", "Parity", 0);
    }
    void TearDown() override { CModbusInterface::SetWaitCapForTests(0); }

    void ConnectTo(const QString& path)
    {
        m_driver.On<CConnectDialog>([path](CConnectDialog* d) { ChoosePort(d, path); }, "connection dialog");
    }
    // Download, answering the connection and passcode dialogs.
    void DownloadWithPasscode(QWidget* window, const char* passcode)
    {
        ConnectTo(m_pty.Path());
        m_driver.On<CEnterPasscodeDialog>(
            [passcode](CEnterPasscodeDialog* d) {
                TypeInto(d, IDC_PASSCODE_EDIT, passcode);
                PressButton(d, IDOK);
            },
            "passcode dialog");
        PressButton(window, Dlg::IDC_DOWNLOAD);
        CheckAllAnswered();
    }
    void CheckAllAnswered() { EXPECT_TRUE(m_driver.Done()) << "never came: " << m_driver.Pending().toStdString(); }

    TempProfile m_profile;
    CScriptedPrompts m_prompts;
    UnitOnPty m_pty;
    CFenmarUnit& m_unit = m_pty.Unit();
    CModalDriver m_driver;
    QTemporaryDir m_dir;
};

} // namespace

TEST_F(MainWindowCommandsTest, UploadReplacesTheSetWithTheUnits)
{
    m_unit.SetType(7);
    m_unit.SetRegister(5600, 4);   // wiring system
    m_unit.SetRegister(5601, 300); // CT primary
    m_unit.SetRegister(5602, 1);   // CT secondary
    m_unit.SetValue32(5603, 6600); // VT primary
    m_unit.SetRegister(5605, 220); // VT secondary
    m_unit.SetRegister(5609, 300); // input range
    OpenMainWindow w;
    w.Open();
    ConnectTo(m_pty.Path());
    PressButton(&w, Dlg::IDC_UPLOAD);
    CheckAllAnswered();
    EXPECT_TRUE(m_prompts.MessageTexts().empty());
    EXPECT_EQ(w.GetSettings().m_deviceType.GetTypeIndex(), 7);
    EXPECT_EQ(Text(&w, Dlg::IDC_VT_PRIMARY), "6600");
    EXPECT_EQ(Text(&w, Dlg::IDC_CT_PRIMARY), "300");
    EXPECT_EQ(Text(&w, Dlg::IDC_CT_SECONDARY), "1");
    EXPECT_EQ(Text(&w, Dlg::IDC_VT_SECONDARY), "220");
    EXPECT_EQ(Text(&w, Dlg::IDC_RANGE), "300");
    EXPECT_EQ(w.GetModelText(0), "FPM-4");
    EXPECT_EQ(w.GetModelText(1), "Output 0-10 V");
    // The connection step stored the serial mode and the chosen port.
    CProfile::Reload();
    EXPECT_EQ(CProfile::GetProfileInt("ComSettings", "Mode", -1), 0);
    EXPECT_EQ(CProfile::GetProfileString("ComSettings", "COMPortName"), m_pty.Path());
}

TEST_F(MainWindowCommandsTest, UploadFromAUnitTypeWithoutModelEntryDownloadsBackToTheSameUnit)
{
    m_unit.SetType(1);
    SetFactoryInputs(m_unit);
    m_unit.SetValue32(5603, 440);
    OpenMainWindow w;
    w.Open();
    ConnectTo(m_pty.Path());
    PressButton(&w, Dlg::IDC_UPLOAD);
    EXPECT_EQ(w.GetSettings().m_deviceType.GetTypeIndex(), 1);
    EXPECT_EQ(Text(&w, Dlg::IDC_VT_PRIMARY), "440");
    // The boxes stand in with the first model; the download still names type 1.
    Type(Edit(&w, Dlg::IDC_VT_PRIMARY), "550");
    ConnectTo(m_pty.Path());
    PressButton(&w, Dlg::IDC_DOWNLOAD);
    CheckAllAnswered();
    EXPECT_TRUE(m_prompts.MessageTexts().empty()) << m_prompts.MessageTexts()[0].toStdString();
    EXPECT_EQ(m_unit.GetValue32(5603), 550u);
    EXPECT_EQ(w.GetSettings().m_deviceType.GetTypeIndex(), 1);
}

TEST_F(MainWindowCommandsTest, UploadCancelledInTheTransferWindowLeavesTheSet)
{
    m_unit.SetType(7);
    m_unit.SetValue32(5603, 6600);
    // Slow enough that the cancel comes in the middle.
    m_unit.Simulated().SetLinePacing(1200);
    OpenMainWindow w;
    w.Open();
    ConnectTo(m_pty.Path());
    m_driver.On<CProgressDialog>([](CProgressDialog* d) { PressButton(d, IDCANCEL); }, "transfer window");
    PressButton(&w, Dlg::IDC_UPLOAD);
    CheckAllAnswered();
    EXPECT_TRUE(m_prompts.MessageTexts().empty());
    EXPECT_EQ(w.GetSettings().m_deviceType.GetTypeIndex(), 5);
    EXPECT_EQ(Text(&w, Dlg::IDC_VT_PRIMARY), "110");
    EXPECT_EQ(w.GetSettings().GetDword(PARAMETER_INPUT_VT1), 110u);
    EXPECT_TRUE(w.isVisible());
}

TEST_F(MainWindowCommandsTest, DownloadWithABadValueAsksForThePortFirstAndSendsNothing)
{
    OpenMainWindow w;
    w.Open();
    Type(Edit(&w, Dlg::IDC_VT_SECONDARY), "12");
    bool messageBeforePort = true;
    m_driver.On<CConnectDialog>(
        [&](CConnectDialog* d) {
            messageBeforePort = !m_prompts.Requests().empty();
            ChoosePort(d, m_pty.Path());
        },
        "connection dialog");
    PressButton(&w, Dlg::IDC_DOWNLOAD);
    CheckAllAnswered();
    EXPECT_FALSE(messageBeforePort);
    ASSERT_EQ(m_prompts.MessageTexts().size(), 1u);
    EXPECT_TRUE(m_prompts.MessageTexts()[0].contains("480")) << m_prompts.MessageTexts()[0].toStdString();
    EXPECT_EQ(m_unit.RequestCount(), 0);
    EXPECT_EQ(w.focusWidget(), Edit(&w, Dlg::IDC_VT_SECONDARY));
}

TEST_F(MainWindowCommandsTest, DownloadToAProtectedUnitGoesThroughThePasscode)
{
    m_unit.SetProtectPasscode(1234);
    OpenMainWindow w;
    w.Open();
    Type(Edit(&w, Dlg::IDC_VT_PRIMARY), "6600");
    Type(Edit(&w, Dlg::IDC_CT_PRIMARY), "300");
    DownloadWithPasscode(&w, "1234");
    EXPECT_TRUE(m_prompts.MessageTexts().empty()) << m_prompts.MessageTexts()[0].toStdString();
    EXPECT_EQ(m_unit.GetValue32(5603), 6600u);
    EXPECT_EQ(m_unit.GetRegister(5601), 300);
    EXPECT_EQ(m_unit.GetRegister(5609), 150);
    // Written, out of write mode and locked again.
    EXPECT_EQ(m_unit.GetWriteMode(), 0);
    EXPECT_FALSE(m_unit.IsUnlocked());

    // A wrong passcode: the unit's message, and nothing written.
    Type(Edit(&w, Dlg::IDC_VT_PRIMARY), "440");
    DownloadWithPasscode(&w, "999");
    ASSERT_EQ(m_prompts.MessageTexts().size(), 1u);
    EXPECT_EQ(m_prompts.MessageTexts()[0], g_resourceDatabase.GetMessageText("ERROR_MODBUS_PASSCODE_MISMATCH"));
    EXPECT_EQ(m_unit.GetValue32(5603), 6600u);

    // Cancel in the passcode dialog stops silently.
    m_prompts.Clear();
    ConnectTo(m_pty.Path());
    m_driver.On<CEnterPasscodeDialog>([](CEnterPasscodeDialog* d) { PressButton(d, IDCANCEL); }, "passcode dialog");
    PressButton(&w, Dlg::IDC_DOWNLOAD);
    CheckAllAnswered();
    EXPECT_TRUE(m_prompts.MessageTexts().empty());
    EXPECT_EQ(m_unit.GetValue32(5603), 6600u);
}

TEST_F(MainWindowCommandsTest, ProtectSetsThePasscodeThatOpensTheUnitAsTyped)
{
    OpenMainWindow w;
    w.Open();
    ConnectTo(m_pty.Path());
    m_driver.On<CProtectDialog>(
        [](CProtectDialog* d) {
            TypeInto(d, IDC_NEW_PASSCODE, "0123");
            TypeInto(d, IDC_CONFIRM_PASSCODE, "0123");
            PressButton(d, IDOK);
        },
        "protect dialog");
    PressButton(&w, Dlg::IDC_PROTECT);
    CheckAllAnswered();
    EXPECT_TRUE(m_prompts.MessageTexts().empty());
    EXPECT_EQ(m_unit.GetProtectPasscode(), 123u);

    // Typed as it was set, the passcode opens the unit for a download.
    Type(Edit(&w, Dlg::IDC_VT_PRIMARY), "6600");
    DownloadWithPasscode(&w, "0123");
    EXPECT_TRUE(m_prompts.MessageTexts().empty()) << m_prompts.MessageTexts()[0].toStdString();
    EXPECT_EQ(m_unit.GetValue32(5603), 6600u);

    // Cancel in the connection dialog: nothing happens at all.
    const int requests = m_unit.RequestCount();
    m_driver.On<CConnectDialog>([](CConnectDialog* d) { PressButton(d, IDCANCEL); }, "connection dialog");
    PressButton(&w, Dlg::IDC_PROTECT);
    CheckAllAnswered();
    EXPECT_EQ(m_unit.RequestCount(), requests);
    EXPECT_TRUE(m_prompts.MessageTexts().empty());
}

TEST_F(MainWindowCommandsTest, SaveFileThenOpenFile)
{
    OpenMainWindow w;
    w.Open();
    Type(Edit(&w, Dlg::IDC_VT_PRIMARY), "6600");
    Type(Edit(&w, Dlg::IDC_CT_PRIMARY), "300");
    const QString path = m_dir.filePath("set.cfg");
    m_prompts.QueuePath(path);
    PressButton(&w, Dlg::IDC_SAVE_FILE);
    ASSERT_EQ(m_prompts.Count(), 1u);
    EXPECT_EQ(m_prompts.Last().kind, PromptRequest::Kind::SaveFile);
    EXPECT_EQ(m_prompts.Last().filter, g_resourceDatabase.GetMessageText("FILEOPEN_DIALOG_FILTER"));
    EXPECT_EQ(m_prompts.Last().defaultExtension, "cfg");
    const QByteArray saved = ReadFile(path);
    EXPECT_TRUE(saved.contains("L5603=6600")) << saved.toStdString();
    EXPECT_TRUE(saved.contains("L5601=300"));

    Type(Edit(&w, Dlg::IDC_VT_PRIMARY), "440");
    w.GetSettings().m_deviceType.SetTypeIndex(0);
    w.UpdateControls();
    m_prompts.QueuePath(path);
    PressButton(&w, Dlg::IDC_OPEN_FILE);
    EXPECT_EQ(m_prompts.Last().kind, PromptRequest::Kind::OpenFile);
    EXPECT_EQ(m_prompts.Last().defaultExtension, "cfg");
    EXPECT_EQ(Text(&w, Dlg::IDC_VT_PRIMARY), "6600");
    EXPECT_EQ(w.GetSettings().m_deviceType.GetTypeIndex(), 5);
    EXPECT_TRUE(m_prompts.MessageTexts().empty());

    // Cancel in either dialog does nothing.
    PressButton(&w, Dlg::IDC_SAVE_FILE);
    PressButton(&w, Dlg::IDC_OPEN_FILE);
    EXPECT_TRUE(m_prompts.MessageTexts().empty());
}

TEST_F(MainWindowCommandsTest, FileFailuresShowOneErrorAndKeepTheWindow)
{
    OpenMainWindow w;
    w.Open();
    // A bad edit stops the save after the file was chosen: nothing is written.
    const QString path = m_dir.filePath("never.cfg");
    Type(Edit(&w, Dlg::IDC_CT_SECONDARY), "7");
    m_prompts.QueuePath(path);
    PressButton(&w, Dlg::IDC_SAVE_FILE);
    EXPECT_EQ(m_prompts.MessageTexts().size(), 1u);
    EXPECT_FALSE(QFile::exists(path));
    Type(Edit(&w, Dlg::IDC_CT_SECONDARY), "5");

    // A folder that does not exist.
    m_prompts.Clear();
    m_prompts.QueuePath(m_dir.filePath("missing/folder/set.cfg"));
    PressButton(&w, Dlg::IDC_SAVE_FILE);
    ASSERT_EQ(m_prompts.MessageTexts().size(), 1u);
    EXPECT_EQ(m_prompts.Last().style & MB_ICONMASK, MB_ICONERROR);

    // A file that is not a parameter file leaves the set alone.
    m_prompts.Clear();
    const QString bad = m_dir.filePath("bad.cfg");
    {
        QFile file(bad);
        ASSERT_TRUE(file.open(QIODevice::WriteOnly));
        file.write("[AVOCFG]\nModel=6103\nDeviceExtension=17\nDeviceIO0=0\nDeviceIO1=2\nDeviceIO2=10\n"
                   "DeviceIO3=0\nDeviceIO4=0\nL5332=abc\n");
    }
    Type(Edit(&w, Dlg::IDC_VT_PRIMARY), "6600");
    w.StoreControls(false);
    m_prompts.QueuePath(bad);
    PressButton(&w, Dlg::IDC_OPEN_FILE);
    ASSERT_EQ(m_prompts.MessageTexts().size(), 1u);
    EXPECT_EQ(m_prompts.MessageTexts()[0], g_resourceDatabase.GetMessageText("MSG_ERROR_LOAD_PARAMETER_FORMAT"));
    EXPECT_EQ(w.GetSettings().GetDword(PARAMETER_INPUT_VT1), 6600u);
    EXPECT_EQ(Text(&w, Dlg::IDC_VT_PRIMARY), "6600");
    EXPECT_TRUE(w.isVisible());
}

TEST_F(MainWindowCommandsTest, AnUnpluggedUnitGivesOneClearErrorAndTheWindowStays)
{
    CComPortList::AddExtraPort(QStringLiteral("/dev/ttyOmbrixUnplugged"), QStringLiteral("Gone"));
    OpenMainWindow w;
    w.Open();
    ConnectTo(QStringLiteral("/dev/ttyOmbrixUnplugged"));
    PressButton(&w, Dlg::IDC_UPLOAD);
    CheckAllAnswered();
    ASSERT_EQ(m_prompts.MessageTexts().size(), 1u);
    EXPECT_FALSE(m_prompts.MessageTexts()[0].isEmpty());
    EXPECT_EQ(m_prompts.Last().style & MB_ICONMASK, MB_ICONERROR);
    EXPECT_TRUE(w.isVisible());
    EXPECT_EQ(w.GetSettings().m_deviceType.GetTypeIndex(), 5);

    // A unit on the port that never answers: the time-out, once.
    m_prompts.Clear();
    m_unit.Simulated().InjectFault(CSimulatedUnit::Silent(), -1);
    ConnectTo(m_pty.Path());
    PressButton(&w, Dlg::IDC_DOWNLOAD);
    CheckAllAnswered();
    ASSERT_EQ(m_prompts.MessageTexts().size(), 1u);
    EXPECT_TRUE(m_prompts.MessageTexts()[0].contains(g_resourceDatabase.GetMessageText("MSG_ERROR_MODBUS_TIMEOUT").left(10)))
        << m_prompts.MessageTexts()[0].toStdString();
    EXPECT_TRUE(w.isVisible());

    // The report's read from the unit fails the same way and the report stays.
    m_prompts.Clear();
    bool reportOpen = false;
    m_driver.On<CCompareDialog>(
        [&](CCompareDialog* d) {
            ConnectTo(m_pty.Path());
            PressButton(d, CCompareDialog::IDC_DEVICE);
            reportOpen = d->isVisible();
            PressButton(d, IDCANCEL);
        },
        "report");
    PressButton(&w, Dlg::IDC_REPORT);
    CheckAllAnswered();
    EXPECT_TRUE(reportOpen);
    EXPECT_EQ(m_prompts.MessageTexts().size(), 1u);
}

// The report against the unit and against a file, exported and read back in
// the language's code page.
TEST_F(MainWindowCommandsTest, ReportAgainstTheUnitAndAFileExportsTheCsv)
{
    struct Case
    {
        const char* language;
        const char* codePage;
    };
    for (const Case& c : {Case{"English.lng", "CP1252"}, Case{"Japanese.lng", "CP932"}}) {
        SCOPED_TRACE(c.language);
        m_prompts.Clear();
        g_appSettings.DisplayLanguage = QString::fromLatin1(c.language);
        m_unit.SetType(5);
        m_unit.SetValue32(5603, 6600);
        OpenMainWindow w;
        w.Open();
        Type(Edit(&w, Dlg::IDC_CT_PRIMARY), "250");

        // The file to compare with: the window's set with one change.
        CSettings fileSet = w.GetSettings();
        fileSet.SetWord(PARAMETER_INPUT_CT1, 250);
        fileSet.SetWord(PARAMETER_INPUT_VT2, 220);
        const QString cfg = m_dir.filePath(QStringLiteral("file set.cfg"));
        ASSERT_TRUE(fileSet.SaveFile(cfg));

        const QString deviceCsv = m_dir.filePath(QStringLiteral("device.csv"));
        const QString fileCsv = m_dir.filePath(QStringLiteral("file.csv"));
        m_driver.On<CCompareDialog>(
            [&](CCompareDialog* d) {
                ConnectTo(m_pty.Path());
                PressButton(d, CCompareDialog::IDC_DEVICE);
                m_prompts.QueuePath(deviceCsv);
                PressButton(d, CCompareDialog::IDC_EXPORT_CSV);
                m_prompts.QueuePath(cfg);
                PressButton(d, CCompareDialog::IDC_FILE);
                m_prompts.QueuePath(fileCsv);
                PressButton(d, CCompareDialog::IDC_EXPORT_CSV);
                PressButton(d, IDCANCEL);
            },
            "report");
        PressButton(&w, Dlg::IDC_REPORT);
        CheckAllAnswered();
        EXPECT_TRUE(m_prompts.MessageTexts().empty());

        // The report compared the stored controls: CT primary 250.
        EXPECT_EQ(w.GetSettings().GetWord(PARAMETER_INPUT_CT1), 250);
        const QByteArray device = ReadFile(deviceCsv);
        EXPECT_EQ(device, ExpectedReport("device", c.codePage));
        EXPECT_TRUE(device.contains(",\"6600\"\r\n"));
        if (QByteArray(c.codePage) == "CP932")
            EXPECT_TRUE(device.contains("\"\x93\xfc\x97\xcd\",")) << "the group INPUT in CP932";
        else
            EXPECT_TRUE(device.contains("\"Input\","));
        EXPECT_EQ(ReadFile(fileCsv), ExpectedReport("file", c.codePage));
        // The report never changes the window's set.
        EXPECT_EQ(w.GetSettings().GetDword(PARAMETER_INPUT_VT1), 110u);
    }
}

namespace {

// A monitor whose polling thread cannot be made.
class MonitorThatFailsToStart : public CMyDalvexDlg
{
protected:
    std::unique_ptr<CBackThread> CreatePollingThread() override
    {
        throw CPrivateException(QStringLiteral("no polling thread"));
    }
};

class MainWindowWithFailingMonitor : public OpenMainWindow
{
protected:
    std::unique_ptr<CMyDalvexDlg> CreateMonitorWindow() override { return std::make_unique<MonitorThatFailsToStart>(); }
};

} // namespace

TEST_F(MainWindowCommandsTest, MonitorRunsWhileTheWindowHidesAndTheWindowComesBackOnEveryPath)
{
    m_unit.SetSerialNumber("MW000001");
    OpenMainWindow w;
    const CSettings before = g_settings;
    bool hiddenWhileMonitoring = false;
    QString status;
    QString serial;
    QPoint place;
    // The window runs modally, as the program runs it: hiding it for the
    // monitor must not end that run.
    m_driver.On([&](QWidget* window) { return window == &w; },
                [&](QWidget* window) {
                    place = MovedByUser(window, QPoint(150, 90));
                    PressButton(window, Dlg::IDC_MONITOR);
                },
                "main window");
    ConnectTo(m_pty.Path());
    m_driver.On<CMyDalvexDlg>(
        [&](CMyDalvexDlg* monitor) {
            hiddenWhileMonitoring = !w.isVisible();
            const auto shown = [&] {
                serial = monitor->GetMeasurands().GetMeasurandText(CMeasurandsAvo::kItemSerialNumber);
                status = monitor->GetStatusText();
                return !serial.isEmpty() && !status.isEmpty();
            };
            EXPECT_TRUE(QTest::qWaitFor(shown, 10000));
            monitor->close();
        },
        "monitor");
    QPoint placeAgain;
    m_driver.On([&](QWidget* window) { return window == &w; },
                [&](QWidget* window) {
                    placeAgain = window->pos();
                    window->close();
                },
                "main window again");
    EXPECT_EQ(w.DoModal(), 0) << "the run ends by the close box only";
    CheckAllAnswered();
    EXPECT_TRUE(hiddenWhileMonitoring);
    EXPECT_EQ(placeAgain, place) << "back where it stood";
    EXPECT_EQ(serial, "MW000001");
    EXPECT_EQ(status, g_resourceDatabase.GetMessageText(QStringLiteral("MSG_COMMUNICATING")));
    EXPECT_TRUE(m_prompts.MessageTexts().empty());
    for (int word = 0; word < PARAMETER_COUNT; ++word)
        ASSERT_EQ(g_settings.GetWord(word), before.GetWord(word)) << "word " << word;
}

TEST_F(MainWindowCommandsTest, AMonitorThatFailsToStartOrACancelledConnectionLeavesTheWindowShown)
{
    MainWindowWithFailingMonitor w;
    w.Open();
    ConnectTo(m_pty.Path());
    PressButton(&w, Dlg::IDC_MONITOR);
    CheckAllAnswered();
    EXPECT_TRUE(w.isVisible());
    EXPECT_EQ(m_prompts.MessageTexts(), std::vector<QString>{QStringLiteral("no polling thread")});

    const int requests = m_unit.RequestCount();
    m_driver.On<CConnectDialog>([](CConnectDialog* d) { PressButton(d, IDCANCEL); }, "connection dialog");
    PressButton(&w, Dlg::IDC_MONITOR);
    CheckAllAnswered();
    EXPECT_TRUE(w.isVisible());
    EXPECT_EQ(m_unit.RequestCount(), requests);
    EXPECT_EQ(m_prompts.MessageTexts().size(), 1u);
}
