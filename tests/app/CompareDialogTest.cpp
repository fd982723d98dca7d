// The parameter report end to end: against a parameter file and against the
// simulated unit (through the connection dialog and the transfer window),
// the status line, and the CSV read back byte for byte in CP1252 and CP932.
#include "app/CCompareDialog.h"
#include "app/CProgressDialog.h"
#include "comm/CComPortList.h"
#include "comm/CConnectDialog.h"
#include "comm/CModbusInterface.h"
#include "foundation/Globals.h"
#include "params/CParameterEnumerationInterface.h"
#include "params/CSettings.h"
#include "platform/MessageFormat.h"
#include "platform/SystemErrorText.h"
#include "support/CFenmarUnit.h"
#include "support/CScriptedPrompts.h"
#include "support/TempProfile.h"
#include "support/WhileModal.h"

#include <QApplication>
#include <QComboBox>
#include <QFile>
#include <QLabel>
#include <QPushButton>
#include <QScreen>
#include <QStyle>
#include <QTemporaryDir>

#include <gtest/gtest.h>

#include <cerrno>
#include <fcntl.h>
#include <sys/stat.h>
#include <unistd.h>

namespace {

constexpr int kCt1 = 32;

void Click(CDialog& dialog, int id)
{
    dialog.GetDlgItemAs<QPushButton>(id)->click();
}

// Records, with each message box, whether a transfer window was still up.
class WatchingPrompts : public CScriptedPrompts
{
public:
    int OnMessageBox(const PromptRequest& request) override
    {
        for (QWidget* widget : QApplication::topLevelWidgets()) {
            if (qobject_cast<CProgressDialog*>(widget) && widget->isVisible())
                shownDuringTransfer = true;
        }
        return CScriptedPrompts::OnMessageBox(request);
    }
    bool shownDuringTransfer = false;
};

class CompareDialogTest : public ::testing::Test
{
protected:
    void SetUp() override
    {
        g_appSettings.HideIgnoreParameters = true;
        CComPortList::SetTtyClassDirectory(m_dir.filePath(QStringLiteral("no-sysfs")));
        CModbusInterface::SetWaitCapForTests(1000);
    }
    void TearDown() override
    {
        CComPortList::SetTtyClassDirectory({});
        CComPortList::ClearExtraPorts();
        CModbusInterface::SetWaitCapForTests(0);
    }
    QString SaveSet(const CSettings& set, const QString& name)
    {
        const QString path = m_dir.filePath(name);
        set.SaveFile(path);
        return path;
    }
    QByteArray ReadFile(const QString& path)
    {
        QFile file(path);
        EXPECT_TRUE(file.open(QIODevice::ReadOnly)) << path.toStdString();
        return file.readAll();
    }
    static QByteArray Value(int number, const CSettings& set)
    {
        return CParameterEnumerationInterface().GetValueText(number, set).toLatin1();
    }
    // The reference with the CT primary current one higher: one difference.
    static CSettings OneDifferent(const CSettings& reference)
    {
        CSettings other = reference;
        other.SetWord(kCt1, static_cast<std::uint16_t>(reference.GetWord(kCt1) + 1));
        return other;
    }
    QString Status(CCompareDialog& dialog) { return dialog.GetDlgItemText(CCompareDialog::IDC_STATUS); }
    QColor StatusColor(CCompareDialog& dialog)
    {
        return dialog.GetDlgItem(CCompareDialog::IDC_STATUS)->palette().color(QPalette::WindowText);
    }

    TempProfile m_profile;
    WatchingPrompts m_prompts;
    QTemporaryDir m_dir;
};

} // namespace

TEST_F(CompareDialogTest, FileComparisonCountsTheDifferenceAndExportsCp1252)
{
    g_resourceDatabase.LoadLanguageFile(QStringLiteral("English.lng"));
    const CSettings reference;
    const CSettings other = OneDifferent(reference);
    const QString file = SaveSet(other, QStringLiteral("unit A.cfg"));
    const QString csv = m_dir.filePath(QStringLiteral("report.csv"));

    QString initialStatus = QStringLiteral("<not run>");
    bool copyEnabledBefore = true;
    bool copyEnabledAfter = false;
    QString status;
    QColor statusColor;
    QString heading;
    bool hideVisible = true;
    WhileModal<CCompareDialog>([&](CCompareDialog& dialog) {
        initialStatus = Status(dialog);
        copyEnabledBefore = dialog.GetDlgItem(CCompareDialog::IDC_COPY)->isEnabled();
        hideVisible = dialog.GetDlgItem(CCompareDialog::IDC_HIDE)->isVisible()
            || dialog.GetDlgItem(CCompareDialog::IDC_COPY)->isVisible();
        m_prompts.QueuePath(file);
        Click(dialog, CCompareDialog::IDC_FILE);
        status = Status(dialog);
        statusColor = StatusColor(dialog);
        heading = dialog.GetList().headerItem()->text(2);
        copyEnabledAfter = dialog.GetDlgItem(CCompareDialog::IDC_COPY)->isEnabled();
        m_prompts.QueuePath(csv);
        Click(dialog, CCompareDialog::IDC_EXPORT_CSV);
        Click(dialog, IDCANCEL);
    });
    CCompareDialog dialog;
    EXPECT_TRUE(dialog.Compare(reference));

    EXPECT_EQ(initialStatus, QString());
    EXPECT_FALSE(copyEnabledBefore);
    EXPECT_TRUE(copyEnabledAfter);
    EXPECT_FALSE(hideVisible);
    EXPECT_EQ(status, FormatMessageTemplate(g_resourceDatabase.GetMessageText(QStringLiteral("MSG_COMPARE_DIFF")), {1u}));
    EXPECT_EQ(statusColor, QColor(255, 0, 0));
    EXPECT_EQ(heading, QStringLiteral("unit A"));
    EXPECT_EQ(m_prompts.MessageTexts().size(), 0u);
    ASSERT_GE(m_prompts.Count(), 2u);
    EXPECT_EQ(m_prompts.Requests()[0].defaultExtension, QStringLiteral("cfg"));
    EXPECT_EQ(m_prompts.Requests()[1].defaultExtension, QStringLiteral("csv"));

    const QByteArray content = ReadFile(csv);
    ASSERT_TRUE(content.startsWith(";Group,Name,PC,unit A\r\n"));
    EXPECT_TRUE(content.contains("\"Input\",\"CT primary current (A)\",\"" + Value(kCt1, reference) + "\",\""
                                 + Value(kCt1, other) + "\"\r\n"));
    EXPECT_TRUE(content.endsWith("\"\r\n"));
}

TEST_F(CompareDialogTest, AFileOfAnUnsupportedUnitIsRefusedAndTheComparisonStays)
{
    g_resourceDatabase.LoadLanguageFile(QStringLiteral("English.lng"));
    const CSettings reference;
    const QString file = SaveSet(OneDifferent(reference), QStringLiteral("unit A.cfg"));
    const QString unknown = m_dir.filePath(QStringLiteral("unknown.cfg"));
    {
        QFile out(unknown);
        ASSERT_TRUE(out.open(QIODevice::WriteOnly));
        out.write(ReadFile(file).replace("Model=6103", "Model=6999"));
    }

    QString status;
    QString heading;
    WhileModal<CCompareDialog>([&](CCompareDialog& dialog) {
        m_prompts.QueuePath(file);
        Click(dialog, CCompareDialog::IDC_FILE);
        m_prompts.QueuePath(unknown);
        Click(dialog, CCompareDialog::IDC_FILE);
        status = Status(dialog);
        heading = dialog.GetList().headerItem()->text(2);
        Click(dialog, IDCANCEL);
    });
    CCompareDialog dialog;
    dialog.Compare(reference);

    ASSERT_EQ(m_prompts.MessageTexts().size(), 1u);
    EXPECT_EQ(m_prompts.MessageTexts()[0],
              g_resourceDatabase.GetMessageText(QStringLiteral("MSG_ERROR_LOAD_PARAMETER_FORMAT")));
    EXPECT_EQ(heading, QStringLiteral("unit A"));
    EXPECT_EQ(status, FormatMessageTemplate(g_resourceDatabase.GetMessageText(QStringLiteral("MSG_COMPARE_DIFF")), {1u}));
}

TEST_F(CompareDialogTest, TheFirstDifferenceFarDownIsInViewOnceTheEmptyRowsAreGone)
{
    g_resourceDatabase.LoadLanguageFile(QStringLiteral("English.lng"));
    const CParameterEnumerationInterface catalogue;
    const CSettings reference;
    // The last parameter whose change shows as a difference.
    CSettings other;
    int last = -1;
    for (int n = 0; n >= 0; n = catalogue.NextIndex(n)) {
        CSettings changed = reference;
        changed.SetWord(n, static_cast<std::uint16_t>(reference.GetWord(n) + 1));
        if (catalogue.CompareParameter(n, reference, changed) == CCompareList::StateDifferent) {
            last = n;
            other = changed;
        }
    }
    ASSERT_GT(last, 100);
    const QString file = SaveSet(other, QStringLiteral("far.cfg"));

    QString shownName;
    bool inView = false;
    WhileModal<CCompareDialog>([&](CCompareDialog& dialog) {
        m_prompts.QueuePath(file);
        Click(dialog, CCompareDialog::IDC_FILE);
        CCompareList& list = dialog.GetList();
        const int row = list.GetFirstDifferenceRow();
        shownName = list.GetItemText(row, 0);
        inView = list.viewport()->rect().contains(list.visualItemRect(list.GetItem(row)));
        Click(dialog, IDCANCEL);
    });
    CCompareDialog dialog;
    dialog.Compare(reference);
    EXPECT_EQ(shownName, catalogue.GetParameterName(last));
    EXPECT_TRUE(inView);
}

TEST_F(CompareDialogTest, OpensWithEachColumnAsWideAsItsLongestTextWithinTheScreenInEachLanguage)
{
    for (const char* file : {"English.lng", "Japanese.lng"}) {
        SCOPED_TRACE(file);
        g_resourceDatabase.LoadLanguageFile(QString::fromLatin1(file));
        WhileModal<CCompareDialog>([](CCompareDialog& dialog) {
            const CCompareList& list = dialog.GetList();
            const QFontMetrics metrics(list.font());
            // A cell's text stands inside the style's margins; names indented under their headings.
            const int margins = 2 * (list.style()->pixelMetric(QStyle::PM_FocusFrameHMargin, nullptr, &list) + 1);
            ASSERT_GT(list.GetItemCount(), 0);
            for (int row = 0; row < list.GetItemCount(); ++row) {
                for (int column = 0; column < list.columnCount(); ++column) {
                    const QString text = list.GetItemText(row, column);
                    const int indent = column == 0 ? list.indentation() : 0;
                    EXPECT_LE(metrics.horizontalAdvance(text) + margins + indent, list.columnWidth(column))
                        << text.toStdString();
                }
            }
            EXPECT_LE(dialog.frameGeometry().width(), dialog.screen()->availableGeometry().width());
            Click(dialog, IDCANCEL);
        });
        CCompareDialog dialog;
        dialog.Compare(CSettings());
    }
}

TEST_F(CompareDialogTest, EqualSetsInJapaneseExportCp932)
{
    g_resourceDatabase.LoadLanguageFile(QStringLiteral("Japanese.lng"));
    const CSettings reference;
    const QString file = SaveSet(reference, QStringLiteral("same.cfg"));
    const QString csv = m_dir.filePath(QStringLiteral("report-ja.csv"));

    QString status;
    QColor statusColor;
    QColor defaultColor;
    WhileModal<CCompareDialog>([&](CCompareDialog& dialog) {
        defaultColor = dialog.palette().color(QPalette::WindowText);
        m_prompts.QueuePath(file);
        Click(dialog, CCompareDialog::IDC_FILE);
        status = Status(dialog);
        statusColor = StatusColor(dialog);
        m_prompts.QueuePath(csv);
        Click(dialog, CCompareDialog::IDC_EXPORT_CSV);
        Click(dialog, IDCANCEL);
    });
    CCompareDialog dialog;
    dialog.Compare(reference);

    EXPECT_EQ(status, g_resourceDatabase.GetMessageText(QStringLiteral("MSG_COMPARE_EQUAL")));
    EXPECT_EQ(statusColor, defaultColor);
    EXPECT_EQ(m_prompts.MessageTexts().size(), 0u) << "every Japanese text fits CP932";
    const QByteArray content = ReadFile(csv);
    ASSERT_TRUE(content.startsWith(";Group,Name,PC,same\r\n"));
    // "入力","CT一次電流 (A)","<value>","<value>" in CP932.
    const QByteArray ct1 = QByteArray("\"\x93\xfc\x97\xcd\",\"CT\x88\xea\x8e\x9f\x93\x64\x97\xac (A)\",\"")
        + Value(kCt1, reference) + "\",\"" + Value(kCt1, reference) + "\"\r\n";
    EXPECT_TRUE(content.contains(ct1));
}

TEST_F(CompareDialogTest, AFileNamedOnlyCfgIsStillCompared)
{
    g_resourceDatabase.LoadLanguageFile(QStringLiteral("English.lng"));
    const CSettings reference;
    const CSettings other = OneDifferent(reference);
    const QString file = SaveSet(other, QStringLiteral(".cfg"));
    const QString csv = m_dir.filePath(QStringLiteral("dot.csv"));

    QString status;
    std::uint32_t count = 0;
    QString compared;
    WhileModal<CCompareDialog>([&](CCompareDialog& dialog) {
        m_prompts.QueuePath(file);
        Click(dialog, CCompareDialog::IDC_FILE);
        status = Status(dialog);
        count = dialog.GetList().GetDifferenceCount();
        CCompareList& list = dialog.GetList();
        for (int row = 0; row < list.GetItemCount(); ++row) {
            if ((list.GetItemData(row) & 0xFFFF) == CCompareList::StateDifferent)
                compared = list.GetItemText(row, list.GetComparedColumn());
        }
        m_prompts.QueuePath(csv);
        Click(dialog, CCompareDialog::IDC_EXPORT_CSV);
        Click(dialog, IDCANCEL);
    });
    CCompareDialog dialog;
    dialog.Compare(reference);
    EXPECT_EQ(count, 1u);
    EXPECT_EQ(compared, QString::fromLatin1(Value(kCt1, other)));
    EXPECT_EQ(status, FormatMessageTemplate(g_resourceDatabase.GetMessageText(QStringLiteral("MSG_COMPARE_DIFF")), {1u}));
    EXPECT_TRUE(ReadFile(csv).startsWith(";Group,Name,PC,\r\n"));
}

TEST_F(CompareDialogTest, DeviceComparisonReadsTheUnitThroughTheConnectionDialog)
{
    g_resourceDatabase.LoadLanguageFile(QStringLiteral("English.lng"));
    CFenmarUnit unit;
    const QString pty = unit.StartRtu();
    CComPortList::AddExtraPort(pty, QStringLiteral("Simulated unit"));
    CSettings reference;
    {
        // The unit holds the reference set but for one word.
        CModbusInterface link;
        link.GetComSettings().COMPortName = pty;
        link.Connect();
        reference.Download(link, nullptr, nullptr);
        link.Close();
    }
    reference.SetWord(kCt1, static_cast<std::uint16_t>(reference.GetWord(kCt1) + 2));

    QString status;
    QString heading;
    QString portName;
    WhileModal<CCompareDialog>([&](CCompareDialog& dialog) {
        WhileModal<CConnectDialog>([&](CConnectDialog& connect) {
            auto* ports = connect.GetDlgItemAs<QComboBox>(CConnectDialog::IDC_PORT);
            ports->setCurrentIndex(ports->findText(QStringLiteral("Simulated unit (COM17)")));
            portName = ports->currentText();
            Click(connect, IDOK);
        });
        Click(dialog, CCompareDialog::IDC_DEVICE);
        status = Status(dialog);
        heading = dialog.GetList().headerItem()->text(2);
        Click(dialog, IDCANCEL);
    });
    CCompareDialog dialog;
    dialog.Compare(reference);
    EXPECT_EQ(portName, QStringLiteral("Simulated unit (COM17)"));
    EXPECT_EQ(heading, QStringLiteral("Device"));
    EXPECT_EQ(m_prompts.MessageTexts().size(), 0u);
    EXPECT_EQ(status, FormatMessageTemplate(g_resourceDatabase.GetMessageText(QStringLiteral("MSG_COMPARE_DIFF")), {1u}));
}

TEST_F(CompareDialogTest, AnUnpluggedUnitGivesOneErrorBoxAfterTheTransferWindowAndTheReportStays)
{
    g_resourceDatabase.LoadLanguageFile(QStringLiteral("English.lng"));
    CComPortList::AddExtraPort(m_dir.filePath(QStringLiteral("unplugged")), QStringLiteral("Unplugged adapter"));
    const CSettings reference;

    QString status = QStringLiteral("<not run>");
    bool stillOpen = false;
    bool copyEnabled = true;
    WhileModal<CCompareDialog>([&](CCompareDialog& dialog) {
        WhileModal<CConnectDialog>([&](CConnectDialog& connect) {
            auto* ports = connect.GetDlgItemAs<QComboBox>(CConnectDialog::IDC_PORT);
            ports->setCurrentIndex(ports->findText(QStringLiteral("Unplugged adapter (COM17)")));
            Click(connect, IDOK);
        });
        Click(dialog, CCompareDialog::IDC_DEVICE);
        stillOpen = dialog.isVisible();
        status = Status(dialog);
        copyEnabled = dialog.GetDlgItem(CCompareDialog::IDC_COPY)->isEnabled();
        Click(dialog, IDCANCEL);
    });
    CCompareDialog dialog;
    dialog.Compare(reference);
    ASSERT_EQ(m_prompts.MessageTexts().size(), 1u);
    EXPECT_FALSE(m_prompts.MessageTexts().front().isEmpty());
    EXPECT_EQ(m_prompts.Last().style & MB_ICONMASK, MB_ICONERROR);
    EXPECT_FALSE(m_prompts.shownDuringTransfer);
    EXPECT_TRUE(stillOpen);
    EXPECT_EQ(status, QString()) << "a failed read keeps the state";
    EXPECT_FALSE(copyEnabled);
}

TEST_F(CompareDialogTest, AnExportOntoAFifoIsRefusedWithItsReasonAndTheReportStays)
{
    g_resourceDatabase.LoadLanguageFile(QStringLiteral("English.lng"));
    const QString fifo = m_dir.filePath(QStringLiteral("pipe.csv"));
    ASSERT_EQ(::mkfifo(QFile::encodeName(fifo).constData(), 0600), 0);
    // A reader, so that a writer would get through rather than wait for one.
    const int reader = ::open(QFile::encodeName(fifo).constData(), O_RDONLY | O_NONBLOCK | O_CLOEXEC);
    ASSERT_GE(reader, 0);

    bool stillOpen = false;
    WhileModal<CCompareDialog>([&](CCompareDialog& dialog) {
        m_prompts.QueuePath(fifo);
        Click(dialog, CCompareDialog::IDC_EXPORT_CSV);
        stillOpen = dialog.isVisible();
        Click(dialog, IDCANCEL);
    });
    CCompareDialog dialog;
    dialog.Compare(CSettings());

    char byte = 0;
    EXPECT_LE(::read(reader, &byte, 1), 0) << "the report went into the FIFO";
    ::close(reader);
    ASSERT_EQ(m_prompts.MessageTexts().size(), 1u);
    EXPECT_EQ(m_prompts.MessageTexts()[0],
              FormatMessageTemplate(g_resourceDatabase.GetMessageText(QStringLiteral("MSG_ERROR_CSV_FILE")),
                                    {fifo, SystemErrorText(EINVAL).trimmed()}));
    EXPECT_EQ(m_prompts.Last().style & MB_ICONMASK, MB_ICONERROR);
    EXPECT_TRUE(stillOpen);
}
