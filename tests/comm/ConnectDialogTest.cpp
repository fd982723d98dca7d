// The connection dialog: which entry it opens on, what OK stores (mode 0 and
// the chosen port, nothing else), and that Cancel stores nothing.
#include "comm/CComPortList.h"
#include "comm/CComSettings.h"
#include "comm/CConnectDialog.h"
#include "comm/CModbusInterface.h"
#include "foundation/Globals.h"
#include "support/CScriptedPrompts.h"
#include "support/TempProfile.h"
#include "support/WhileModal.h"

#include <QComboBox>
#include <QCoreApplication>
#include <QFile>
#include <QPushButton>
#include <QTemporaryDir>
#include <QtTest/QTest>

#include <gtest/gtest.h>

namespace {

QComboBox* PortBox(CConnectDialog& dialog)
{
    return dialog.GetDlgItemAs<QComboBox>(CConnectDialog::IDC_PORT);
}

void Press(CConnectDialog& dialog, int id)
{
    dialog.GetDlgItemAs<QPushButton>(id)->click();
}

class ConnectDialogTest : public ::testing::Test
{
protected:
    void SetUp() override
    {
        // No discovered ports: the 16 fixed ones and the test's pseudo-terminal.
        CComPortList::SetTtyClassDirectory(m_emptySysfs.path());
        CComPortList::AddExtraPort(QStringLiteral("/dev/pts/42"), QStringLiteral("Simulated unit"));
        g_resourceDatabase.CreateEmpty();
    }
    void TearDown() override
    {
        CComPortList::SetTtyClassDirectory({});
        CComPortList::ClearExtraPorts();
    }

    TempProfile m_profile;
    QTemporaryDir m_emptySysfs;
};

} // namespace

TEST_F(ConnectDialogTest, OpensOnTheStoredPortAndOkStoresSerialModeAndTheChosenPortOnly)
{
    CComSettings settings;
    settings.Mode = CComSettings::ModeInfrared;
    settings.Address = 7;
    settings.Baudrate = 3;
    settings.COMPortDisplayName = QStringLiteral("COM3");
    settings.COMPortName = QStringLiteral("/dev/ttyS2");
    settings.IRCOMPortName = QStringLiteral("/dev/ttyUSB5");
    settings.ServerAddress = QStringLiteral("127.0.0.1");

    int shownIndex = -1;
    int itemCount = 0;
    WhileModal<CConnectDialog>([&](CConnectDialog& dialog) {
        shownIndex = PortBox(dialog)->currentIndex();
        itemCount = PortBox(dialog)->count();
        PortBox(dialog)->setCurrentIndex(16);
        Press(dialog, IDOK);
    });
    CConnectDialog dialog;
    ASSERT_TRUE(dialog.Execute(settings));
    EXPECT_EQ(shownIndex, 2);
    EXPECT_EQ(itemCount, 17);
    EXPECT_EQ(settings.Mode, CComSettings::ModeSerial);
    EXPECT_EQ(settings.COMPortName, QStringLiteral("/dev/pts/42"));
    EXPECT_EQ(settings.COMPortDisplayName, QStringLiteral("Simulated unit (COM17)"));
    EXPECT_EQ(settings.Address, 7);
    EXPECT_EQ(settings.Baudrate, 3);
    EXPECT_EQ(settings.IRCOMPortName, QStringLiteral("/dev/ttyUSB5"));
    EXPECT_EQ(settings.ServerAddress, QStringLiteral("127.0.0.1"));
}

TEST_F(ConnectDialogTest, AnUnknownStoredPortOpensOnTheFirstEntryAndCancelChangesNothing)
{
    CComSettings settings;
    settings.Mode = CComSettings::ModeTcp;
    settings.COMPortDisplayName = QStringLiteral("Gone adapter (COM40)");
    settings.COMPortName = QStringLiteral("/dev/ttyUSB9");

    int shownIndex = -1;
    WhileModal<CConnectDialog>([&](CConnectDialog& dialog) {
        shownIndex = PortBox(dialog)->currentIndex();
        PortBox(dialog)->setCurrentIndex(5);
        Press(dialog, IDCANCEL);
    });
    CConnectDialog dialog;
    EXPECT_FALSE(dialog.Execute(settings));
    EXPECT_EQ(shownIndex, 0);
    EXPECT_EQ(settings.Mode, CComSettings::ModeTcp);
    EXPECT_EQ(settings.COMPortName, QStringLiteral("/dev/ttyUSB9"));
    EXPECT_EQ(settings.COMPortDisplayName, QStringLiteral("Gone adapter (COM40)"));
}

TEST_F(ConnectDialogTest, SelectConnectionSavesTheChoiceAndHandsItToTheLink)
{
    CComSettings stored;
    stored.Mode = CComSettings::ModeInfrared;
    stored.Address = 9;
    stored.Save();

    CModbusInterface link;
    WhileModal<CConnectDialog>([](CConnectDialog& dialog) {
        PortBox(dialog)->setCurrentIndex(1);
        Press(dialog, IDOK);
    });
    ASSERT_TRUE(CConnectDialog::SelectConnection(link));
    EXPECT_EQ(link.GetComSettings().Mode, CComSettings::ModeSerial);
    EXPECT_EQ(link.GetComSettings().COMPortName, QStringLiteral("/dev/ttyS1"));
    EXPECT_EQ(link.GetComSettings().Address, 9);

    const CComSettings reloaded;
    EXPECT_EQ(reloaded.Mode, CComSettings::ModeSerial);
    EXPECT_EQ(reloaded.COMPortName, QStringLiteral("/dev/ttyS1"));
    EXPECT_EQ(reloaded.COMPortDisplayName, QStringLiteral("COM2"));
    EXPECT_EQ(reloaded.Address, 9);
}

TEST_F(ConnectDialogTest, CancelInSelectConnectionLeavesProfileAndLinkAlone)
{
    CComSettings stored;
    stored.Mode = CComSettings::ModeInfrared;
    stored.COMPortName = QStringLiteral("/dev/ttyS4");
    stored.Save();

    CModbusInterface link;
    link.GetComSettings().ServerAddress = QStringLiteral("127.0.0.1");
    WhileModal<CConnectDialog>([](CConnectDialog& dialog) {
        PortBox(dialog)->setCurrentIndex(3);
        // Esc is the dialog's Cancel too.
        QTest::keyClick(&dialog, Qt::Key_Escape);
    });
    EXPECT_FALSE(CConnectDialog::SelectConnection(link));
    EXPECT_EQ(link.GetComSettings().ServerAddress, QStringLiteral("127.0.0.1"));
    EXPECT_EQ(link.GetComSettings().Mode, CComSettings::ModeInfrared);
    const CComSettings reloaded;
    EXPECT_EQ(reloaded.Mode, CComSettings::ModeInfrared);
    EXPECT_EQ(reloaded.COMPortName, QStringLiteral("/dev/ttyS4"));
}

TEST_F(ConnectDialogTest, TakesItsTextsFromTheLanguageFile)
{
    g_resourceDatabase.LoadLanguageFile(QStringLiteral("Japanese.lng"));
    QString caption;
    QString label;
    WhileModal<CConnectDialog>([&](CConnectDialog& dialog) {
        caption = dialog.windowTitle();
        label = dialog.GetDlgItemText(CConnectDialog::IDC_PORT_LABEL);
        Press(dialog, IDCANCEL);
    });
    CComSettings settings;
    CConnectDialog dialog;
    dialog.Execute(settings);
    EXPECT_EQ(caption, QStringLiteral("接続"));
    EXPECT_EQ(label, QStringLiteral("COMポート"));
    g_resourceDatabase.CreateEmpty();
}
