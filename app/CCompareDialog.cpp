#include "CCompareDialog.h"

#include "CProgressDialog.h"
#include "CReportCsvWriter.h"
#include "comm/CConnectDialog.h"
#include "comm/CModbusInterface.h"
#include "foundation/CMessageFormatter.h"
#include "foundation/CStringTable.h"
#include "foundation/DialogHelpers.h"
#include "foundation/Globals.h"
#include "platform/RunCommand.h"
#include "platform/CUiPrompts.h"

#include <QCheckBox>
#include <QFileInfo>
#include <QGroupBox>
#include <QHBoxLayout>
#include <QLabel>
#include <QPushButton>
#include <QScreen>
#include <QVBoxLayout>

#include <algorithm>

namespace {

constexpr int IDS_DEVICE = 2453;
constexpr int IDS_FILTER_CFG = 2700;
constexpr int IDS_FILTER_CSV = 2701;

} // namespace

CCompareDialog::CCompareDialog(QWidget* parent)
    : CDialog(IDD, parent)
{
    setWindowTitle(QStringLiteral("Parameter Report"));
    auto* exportCsv = AddControl(new QPushButton(QStringLiteral("Export Csv"), this), IDC_EXPORT_CSV);
    m_copy = AddControl(new QPushButton(QStringLiteral("<< Copy"), this), IDC_COPY);
    m_copy->hide();
    auto* compareWith = AddControl(new QGroupBox(QStringLiteral("Compare with ..."), this), IDC_COMPARE_WITH);
    auto* device = AddControl(new QPushButton(QStringLiteral("Device"), compareWith), IDC_DEVICE);
    auto* file = AddControl(new QPushButton(QStringLiteral("File"), compareWith), IDC_FILE);
    m_list = AddControl(new CCompareList(this), IDC_LIST);
    m_status = AddControl(new QLabel(this), IDC_STATUS);
    auto* close = AddControl(new QPushButton(QStringLiteral("Close"), this), IDCANCEL);
    m_hide = AddControl(new QCheckBox(QStringLiteral("Hide unable functions."), this), IDC_HIDE);
    m_hide->hide();

    m_compareWith = compareWith;
    m_compareLayout = new QHBoxLayout(compareWith);
    m_compareLayout->addWidget(device);
    m_compareLayout->addWidget(file);
    // The buttons beside the frame stand on the line of the buttons in it.
    m_beside = new QHBoxLayout;
    m_beside->addWidget(exportCsv, 0, Qt::AlignBottom);
    m_beside->addWidget(m_copy, 0, Qt::AlignBottom);
    auto* top = new QHBoxLayout;
    top->addLayout(m_beside);
    top->addWidget(compareWith);
    top->addStretch(1);
    m_closeColumn = new QHBoxLayout;
    m_closeColumn->addWidget(close, 0, Qt::AlignBottom);
    top->addLayout(m_closeColumn);
    auto* bottom = new QHBoxLayout;
    bottom->addWidget(m_status, 1);
    bottom->addWidget(m_hide);
    auto* layout = new QVBoxLayout(this);
    layout->addLayout(top);
    layout->addWidget(m_list, 1);
    layout->addLayout(bottom);
    resize(560, 520);

    connect(exportCsv, &QPushButton::clicked, this, [this] { Command(&CCompareDialog::OnBnClickedExportCsv); });
    connect(device, &QPushButton::clicked, this, [this] { Command(&CCompareDialog::OnBnClickedDevice); });
    connect(file, &QPushButton::clicked, this, [this] { Command(&CCompareDialog::OnBnClickedFile); });
    connect(m_hide, &QCheckBox::clicked, this,
            [this] { Command(&CCompareDialog::OnBnClickedHideUnableFunctions); });
    connect(close, &QPushButton::clicked, this, [this] { reject(); });
    // "<< Copy" has no action.
}

void CCompareDialog::Command(void (CCompareDialog::*handler)())
{
    RunCommand(this, [this, handler] { (this->*handler)(); });
}

bool CCompareDialog::Compare(const CSettings& settings)
{
    m_compared = 0;
    m_reference = settings;
    DoModal();
    return true;
}

bool CCompareDialog::OnInitDialog()
{
    g_resourceDatabase.ApplyDialogTexts(IDD, this);
    SetDialogFont(this, false);
    m_compareWith->ensurePolished();
    const int frameBottom = m_compareWith->contentsMargins().bottom() + m_compareLayout->contentsMargins().bottom();
    m_beside->setContentsMargins(0, 0, 0, frameBottom);
    m_closeColumn->setContentsMargins(0, 0, 0, frameBottom);
    m_list->SetupColumns();
    m_hide->setChecked(g_appSettings.HideIgnoreParameters);
    m_copy->setEnabled(false);
    Refresh();
    OpenWideEnoughForTheList();
    return true;
}

void CCompareDialog::OpenWideEnoughForTheList()
{
    // What the window has beside the list, once its layout has placed it.
    layout()->activate();
    const int besideList = width() - m_list->width();
    int wanted = std::max(m_list->GetFittingWidth() + besideList, minimumSizeHint().width());
    if (const QScreen* display = screen())
        wanted = std::min(wanted, display->availableGeometry().width() - (frameGeometry().width() - width()));
    resize(wanted, height());
}

void CCompareDialog::Refresh()
{
    m_list->setUpdatesEnabled(false);
    m_list->SetupColumns();
    // Whether a set was compared decides, not the title: a file named ".cfg"
    // has an empty title and is still compared.
    m_list->Fill(m_reference, m_comparedSet, m_compared != 0);
    QString status;
    if (m_compared != 0) {
        const std::uint32_t count = m_list->GetDifferenceCount();
        status = count != 0 ? CMessageFormatter(QStringLiteral("MSG_COMPARE_DIFF"), {FormatArg(count)}).GetText()
                            : g_resourceDatabase.GetMessageText(QStringLiteral("MSG_COMPARE_EQUAL"));
    }
    if (g_appSettings.HideIgnoreParameters)
        m_list->RemoveEmptyRows();
    m_list->setUpdatesEnabled(true);
    m_status->setText(status);
    UpdateStatusColor();
}

void CCompareDialog::UpdateStatusColor()
{
    QPalette colors = palette();
    if (m_list->GetDifferenceCount() > 0)
        colors.setColor(QPalette::WindowText, QColor(255, 0, 0));
    m_status->setPalette(colors);
}

void CCompareDialog::TakeComparedSet(const CSettings& settings, const QString& title)
{
    m_comparedSet = settings;
    m_compared = 1;
    m_list->SetTitle(title);
    Refresh();
    m_copy->setEnabled(true);
}

void CCompareDialog::OnBnClickedDevice()
{
    CModbusInterface link;
    if (!CConnectDialog::SelectConnection(link, this))
        return;
    CSettings read;
    CProgressDialog progress(this);
    if (!progress.StartUpload(link, read))
        return;
    TakeComparedSet(read, CStringTable::LoadString(IDS_DEVICE));
}

void CCompareDialog::OnBnClickedFile()
{
    const QString path =
        CUiPrompts::GetOpenFileName(this, CStringTable::LoadString(IDS_FILTER_CFG), QStringLiteral("cfg"));
    if (path.isEmpty())
        return;
    CSettings loaded;
    if (!loaded.LoadFile(path))
        return;
    TakeComparedSet(loaded, QFileInfo(path).completeBaseName());
}

void CCompareDialog::OnBnClickedHideUnableFunctions()
{
    g_appSettings.HideIgnoreParameters = m_hide->isChecked();
    Refresh();
}

void CCompareDialog::OnBnClickedExportCsv()
{
    const QString path =
        CUiPrompts::GetSaveFileName(this, CStringTable::LoadString(IDS_FILTER_CSV), QStringLiteral("csv"));
    if (path.isEmpty())
        return;
    const QStringList lines = CReportCsvWriter::BuildLines(m_reference, m_comparedSet, m_compared != 0,
                                                          m_list->GetTitle(), g_appSettings.HideIgnoreParameters);
    CReportCsvWriter::WriteFile(path, lines, CReportCsvWriter::LanguageCodePage());
}
