#include "CAnalogOutputDialog.h"

#include "FillGridWithParameters.h"
#include "controls/CDataGridView.h"
#include "controls/CGraph.h"
#include "foundation/CPrivateException.h"
#include "foundation/DialogHelpers.h"
#include "foundation/Globals.h"
#include "params/CAnalogOutputEnumerationInterface.h"
#include "platform/RunCommand.h"

#include <QCheckBox>
#include <QComboBox>
#include <QGridLayout>
#include <QGroupBox>
#include <QHBoxLayout>
#include <QLabel>
#include <QLineEdit>
#include <QVBoxLayout>

#include <algorithm>
#include <cstdint>

namespace {

using AO = CAnalogOutputEnumerationInterface;

// Label cells of the table, from the string table.
constexpr std::uint32_t IDS_BLANK = 999;
constexpr std::uint32_t IDS_TABLE_X = 20000;
constexpr std::uint32_t IDS_TABLE_Y_VOLTAGE = 20001;
constexpr std::uint32_t IDS_TABLE_POINT0 = 20002;
constexpr std::uint32_t IDS_TABLE_Y_CURRENT = 20012;

// The places of the table and the graph in the template.
constexpr int kTableWidth = 616;
constexpr int kGraphWidth = 616;
constexpr int kGraphHeight = 260;

// The assignment list is read up to its first empty entry, within this bound.
constexpr int kMaxAssignments = 1000;

QString Key(const char* key) { return QString::fromLatin1(key); }

} // namespace

CAnalogOutputDialog::CAnalogOutputDialog(QWidget* parent)
    : CSettingDialog(IDD, parent)
{
    CreateControls();
    // The grid asks for edits, the host reports their end, and the host
    // hides its editors when the dialog has taken a value.
    m_grid->AddObserver(this);
    m_editHost.AddObserver(this);
    AddObserver(&m_editHost);
}

CAnalogOutputDialog::~CAnalogOutputDialog() = default;

void CAnalogOutputDialog::CreateControls()
{
    setWindowTitle(QStringLiteral("Analog Output"));

    auto* assignRow = new QHBoxLayout;
    assignRow->addWidget(AddLabel(IDC_ASSIGN_LABEL, "Assign"));
    m_assign = AddControl(new QComboBox(this), IDC_ASSIGN);
    m_assign->setSizeAdjustPolicy(QComboBox::AdjustToContents);
    assignRow->addWidget(m_assign);
    assignRow->addStretch();

    auto* scaling = AddControl(new QGroupBox(Key("Scaling Range"), this), IDC_SCALING_GROUP);
    auto* scalingGrid = new QGridLayout(scaling);
    scalingGrid->addWidget(AddLabel(IDC_INPUT100_LABEL, "Upper"), 0, 0);
    scalingGrid->addWidget(AddEdit(IDC_INPUT100, 100), 0, 1);
    scalingGrid->addWidget(AddLabel(IDC_INPUT100_UNIT, "%"), 0, 2);
    scalingGrid->addWidget(AddLabel(IDC_INPUT0_LABEL, "Lower"), 1, 0);
    scalingGrid->addWidget(AddEdit(IDC_INPUT0, 100), 1, 1);
    scalingGrid->addWidget(AddLabel(IDC_INPUT0_UNIT, "%"), 1, 2);

    auto* output = AddControl(new QGroupBox(Key("Output Range"), this), IDC_OUTPUT_GROUP);
    auto* outputGrid = new QGridLayout(output);
    outputGrid->addWidget(AddLabel(IDC_OUTPUT100_LABEL, "Upper"), 0, 0);
    outputGrid->addWidget(AddEdit(IDC_OUTPUT100, 100), 0, 1);
    outputGrid->addWidget(AddLabel(IDC_OUTPUT100_UNIT, "mA"), 0, 2);
    outputGrid->addWidget(AddLabel(IDC_OUTPUT0_LABEL, "Lower"), 1, 0);
    outputGrid->addWidget(AddEdit(IDC_OUTPUT0, 100), 1, 1);
    outputGrid->addWidget(AddLabel(IDC_OUTPUT0_UNIT, "mA"), 1, 2);

    auto* ranges = new QHBoxLayout;
    ranges->addWidget(scaling);
    ranges->addWidget(output);
    ranges->addStretch();

    m_useTable = AddControl(new QCheckBox(Key("Use table"), this), IDC_USE_TABLE);
    m_grid = AddControl(new CDataGridView(this), IDC_TABLE);
    m_graph = AddControl(new CGraph(this), IDC_GRAPH);
    m_graph->setFixedSize(kGraphWidth, kGraphHeight);

    auto* adjust = new QGridLayout;
    adjust->addWidget(AddLabel(IDC_SPAN_LABEL, "Adjust span"), 0, 0);
    adjust->addWidget(AddEdit(IDC_SPAN, 100), 0, 1);
    adjust->addWidget(AddLabel(IDC_SPAN_UNIT, "%"), 0, 2);
    adjust->addWidget(AddLabel(IDC_ZERO_LABEL, "Adjust zero"), 1, 0);
    adjust->addWidget(AddEdit(IDC_ZERO, 100), 1, 1);
    adjust->addWidget(AddLabel(IDC_ZERO_UNIT, "%"), 1, 2);
    adjust->setColumnStretch(3, 1);

    QHBoxLayout* buttons = CreateButtonRow(Key("OK"), Key("Cancel"));

    auto* page = new QVBoxLayout(this);
    page->addLayout(assignRow);
    page->addLayout(ranges);
    page->addWidget(m_useTable);
    page->addWidget(m_grid, 0, Qt::AlignLeft);
    page->addWidget(m_graph, 0, Qt::AlignLeft);
    page->addLayout(adjust);
    page->addLayout(buttons);

    // A choice counts only when the user made it; the edits' change notices
    // also come when the program sets their texts (the initialised flag
    // keeps them quiet while the dialog fills them).
    connect(m_assign, &QComboBox::activated, this,
            [this](int) { RunCommand(this, [this] { OnAssignmentChosen(); }); });
    connect(Edit(IDC_INPUT100), &QLineEdit::textChanged, this,
            [this] { RunCommand(this, [this] { OnUpperInputChanged(); }); });
    for (int id : {IDC_INPUT0, IDC_OUTPUT100, IDC_OUTPUT0})
        connect(Edit(id), &QLineEdit::textChanged, this, [this] { RunCommand(this, [this] { RedrawGraph(); }); });
    connect(m_useTable, &QCheckBox::clicked, this, [this] { RunCommand(this, [this] { OnUseTableClicked(); }); });
}

QLineEdit* CAnalogOutputDialog::Edit(int id) const
{
    return GetDlgItemAs<QLineEdit>(id);
}

bool CAnalogOutputDialog::DoModalForChannel(CSettings& settings, int channel)
{
    m_channel = channel;
    return RunOnSettings(settings);
}

void CAnalogOutputDialog::BuildLayouts()
{
    const AO view(&m_settings, false);
    m_labelLayout.clear();
    m_labelLayout.push_back({IDS_BLANK, 0, 0});
    for (std::uint32_t k = 0; k < AOUT_TABLE_POINTS; ++k)
        m_labelLayout.push_back({IDS_TABLE_POINT0 + k, k + 1, 0});
    m_labelLayout.push_back({IDS_TABLE_X, 0, 1});
    m_labelLayout.push_back({view.IsCurrentOutput() ? IDS_TABLE_Y_CURRENT : IDS_TABLE_Y_VOLTAGE, 0, 2});

    m_cellLayout.clear();
    for (std::uint32_t k = 0; k < AOUT_TABLE_POINTS; ++k) {
        const int x = AnalogOutputWordNumber(m_channel, AOUT_WORD_TABLE + 2 * static_cast<int>(k));
        m_cellLayout.push_back({static_cast<std::uint32_t>(x), k + 1, 1});
        m_cellLayout.push_back({static_cast<std::uint32_t>(x + 1), k + 1, 2});
    }
}

void CAnalogOutputDialog::FillTable()
{
    FillGridWithParameters(*m_grid, m_settings, m_cellLayout);
}

bool CAnalogOutputDialog::OnInitDialog()
{
    g_resourceDatabase.ApplyDialogTexts(IDD, this);
    SetDialogFont(this, false);
    m_initialised = false;

    BuildLayouts();
    m_grid->SetLayout(m_labelLayout, m_grid->FitCellWidth(m_labelLayout, kTableWidth / kTableColumns), 1, 0);
    m_grid->SetSelectionEnabled(true);
    m_editHost.CreateEditors(m_grid);
    FillTable();

    AO view(&m_settings, false);
    m_useTable->setChecked(view.IsTableUsed(m_channel));
    m_grid->setEnabled(view.IsTableUsed(m_channel));

    m_assign->clear();
    const int assignment = view.GetAssignment(m_channel);
    for (int i = 0; i < kMaxAssignments; ++i) {
        const QString text = g_resourceDatabase.GetListText(QStringLiteral("DISP_VALUE"), i);
        if (text.isEmpty())
            break;
        m_assign->insertItem(i, text);
    }
    // An assignment the list does not offer selects nothing.
    SelectIndex(m_assign, assignment);

    SetDlgItemText(IDC_INPUT100, view.GetInput100Text(m_channel));
    SetDlgItemText(IDC_INPUT0, view.GetInput0Text(m_channel));
    SetDlgItemText(IDC_OUTPUT100, view.GetOutput100Text(m_channel));
    SetDlgItemText(IDC_OUTPUT0, view.GetOutput0Text(m_channel));
    SetDlgItemText(IDC_OUTPUT100_UNIT, view.GetOutputUnitText());
    SetDlgItemText(IDC_OUTPUT0_UNIT, view.GetOutputUnitText());
    SetDlgItemText(IDC_SPAN, view.GetSpanAdjustText(m_channel));
    SetDlgItemText(IDC_ZERO, view.GetZeroAdjustText(m_channel));

    m_graph->SetMargins(true);
    m_graph->SetNegativeX(true);
    m_graph->SetTopLeftTitle(view.GetOutputUnitText());
    m_graph->SetDecimalsCode(view.GetRangeScale());

    m_initialised = true;
    RedrawGraph();
    UpdateEnables();
    return true;
}

void CAnalogOutputDialog::ApplyControls(bool showErrors)
{
    AO view(&m_settings, showErrors);
    // No selection (a short or missing assignment list) keeps the assignment
    // as it was rather than storing "none" as 65535.
    if (const int selection = m_assign->currentIndex(); selection >= 0)
        view.SetAssignment(m_channel, selection);
    view.SetTableUsed(m_channel, m_useTable->isChecked());

    auto store = [&](int id, void (AO::*setter)(int, QLineEdit*)) {
        QLineEdit* edit = Edit(id);
        try {
            (view.*setter)(m_channel, edit);
        } catch (const CException&) {
            // Also a text that is no number at all: the user sees which edit to correct.
            if (showErrors)
                SelectRejectedText(edit);
            throw;
        }
    };
    // The table replaces the scaling: its edits are disabled then, and
    // their words (maybe from a file or a unit) stay as they are.
    if (!view.IsTableUsed(m_channel)) {
        store(IDC_INPUT100, &AO::StoreInput100);
        store(IDC_INPUT0, &AO::StoreInput0);
        store(IDC_OUTPUT100, &AO::StoreOutput100);
        store(IDC_OUTPUT0, &AO::StoreOutput0);
    }
    store(IDC_SPAN, &AO::StoreSpanAdjust);
    store(IDC_ZERO, &AO::StoreZeroAdjust);
}

void CAnalogOutputDialog::UpdateEnables()
{
    const AO view(&m_settings, false);
    const bool table = view.IsTableUsed(m_channel);
    m_useTable->setChecked(table);
    m_useTable->setEnabled(view.IsTableAllowed(m_channel));
    for (int id : {IDC_INPUT100, IDC_INPUT0, IDC_OUTPUT100, IDC_OUTPUT0})
        Edit(id)->setEnabled(!table);
    m_grid->setEnabled(table);
}

void CAnalogOutputDialog::RedrawGraph()
{
    if (!m_initialised)
        return;
    try {
        // The graph follows what is typed; a half-typed value keeps the last picture.
        ApplyControls(false);
        const AO view(&m_settings, false);
        const std::vector<AO::GraphPoint> points = view.BuildGraphPoints(m_channel);
        m_graph->ClearData();
        if (!points.empty()) {
            // The range runs over the table's rising run only.
            const bool table = view.IsTableUsed(m_channel);
            const double firstX = points.front().x;
            double lastX = firstX;
            double lowY = points.front().y;
            double highY = lowY;
            for (std::size_t i = 1; i < points.size(); ++i) {
                if (table && !(points[i].x > points[i - 1].x))
                    break;
                lastX = points[i].x;
                lowY = std::min(lowY, static_cast<double>(points[i].y));
                highY = std::max(highY, static_cast<double>(points[i].y));
            }
            m_graph->SetDefaultRange(firstX, lastX, lowY, highY);
        }
        m_graph->SetBottomRightTitle(QLatin1Char('(') + view.GetInputUnitText(m_channel) + QLatin1Char(')'));
        for (const AO::GraphPoint& point : points)
            m_graph->AddPoint(point.x, point.y);
        const QStringList axes = view.BuildGraphAxes(m_channel);
        m_graph->SetCustomXLabels(std::vector<QString>(axes.begin(), axes.end()));
        m_graph->update();
    } catch (const CException&) {
        m_graph->update();
    }
}

void CAnalogOutputDialog::OnAssignmentChosen()
{
    if (!m_initialised)
        return;
    {
        AO view(&m_settings, false);
        view.SetAssignment(m_channel, m_assign->currentIndex());
        view.ResetTable(m_channel);
    }
    FillTable();
    UpdateEnables();
    QString lower;
    QString upper;
    const AO view(&m_settings, false);
    view.GetDefaultInputTexts(m_channel, lower, upper);
    // The upper first: its change may put its mirror into the lower one.
    SetDlgItemText(IDC_INPUT100, upper);
    SetDlgItemText(IDC_INPUT0, lower);
    // An edit whose text did not change gives no change notice.
    RedrawGraph();
}

void CAnalogOutputDialog::OnUpperInputChanged()
{
    if (!m_initialised)
        return;
    AO view(&m_settings, false);
    QString lower;
    if (view.TryStoreInput100(m_channel, Edit(IDC_INPUT100), lower))
        SetDlgItemText(IDC_INPUT0, lower);
    RedrawGraph();
}

void CAnalogOutputDialog::OnUseTableClicked()
{
    RedrawGraph();
    UpdateEnables();
}

int CAnalogOutputDialog::ParameterAt(unsigned row, unsigned column) const
{
    for (const GridCellEntry& entry : m_cellLayout) {
        if (entry.row == row && entry.column == column)
            return static_cast<int>(entry.itemId);
    }
    return -1;
}

void CAnalogOutputDialog::Update(CObservable* notifier)
{
    // Both run inside the grid's or an editor's event handler: nothing may escape.
    if (notifier == static_cast<CObservable*>(m_grid))
        RunCommand(this, [this] { OnEditStart(); });
    else if (notifier == &m_editHost)
        RunCommand(this, [this] { OnEditEnd(); });
}

void CAnalogOutputDialog::OnEditStart()
{
    m_editedRow = m_grid->GetSelectedRow();
    m_editedColumn = m_grid->GetSelectedColumn();
    m_editHost.HideEditors();
    if (ParameterAt(m_editedRow, m_editedColumn) < 0)
        return;

    const int width = static_cast<int>(m_grid->GetCellWidth());
    const int height = static_cast<int>(m_grid->GetCellHeight());
    const int left = width * static_cast<int>(m_editedColumn);
    const int top = height * static_cast<int>(m_editedRow);
    CEditText* edit = m_editHost.GetEditBox();
    edit->setGeometry(left + 1, top + 1, left + width - (left + 1), top + height - (top + 1));
    // Setting the text also empties the box's undo history.
    edit->setText(CutAtFirstBlank(m_grid->GetEditText()));
    edit->selectAll();
    edit->show();
    edit->setFocus();
    if (const UINT character = m_grid->GetStartCharacter(); character != 0)
        edit->SendChar(character);
}

void CAnalogOutputDialog::OnEditEnd()
{
    const EditDirection direction = m_editHost.GetDirection();
    if (m_editHost.GetResult() != EditResult::None) {
        const int word = ParameterAt(m_editedRow, m_editedColumn);
        // From the channel's first table word: X_k at 2k, Y_k at 2k + 1.
        const int k = word - AnalogOutputWordNumber(m_channel, AOUT_WORD_TABLE);
        CEditText* edit = m_editHost.GetEditBox();
        try {
            if (word >= 0 && k >= 0 && k < 2 * AOUT_TABLE_POINTS) {
                const AO view(&m_settings, true);
                const int point = k / 2;
                int value = 0;
                if (k % 2 == 0)
                    value = ValidateNumber16(edit, view.GetInputLowerLimit(m_channel),
                                             view.GetInputUpperLimit(m_channel), 100,
                                             QStringLiteral("AOUT_TABLE_X_%1").arg(point), true);
                else
                    value = ValidateNumber16(edit, view.GetRangeMin(), view.GetRangeMax(), view.GetRangeScale(),
                                             QStringLiteral("AOUT_TABLE_Y_%1").arg(point), true);
                m_settings.SetWord(word, static_cast<std::uint16_t>(value));
            }
        } catch (const CException& e) {
            // The editor stays open on the rejected text for correcting.
            ReportException(this, e);
            edit->setText(edit->text());
            edit->show();
            SelectRejectedText(edit);
            return;
        }
        FillTable();
        RedrawGraph();
    }

    NotifyObservers();
    m_grid->setFocus();
    m_grid->MoveAndEdit(direction);
}

void CAnalogOutputDialog::OnOK()
{
    ApplyControls(true);
    EndDialog(IDOK);
}

void CAnalogOutputDialog::OnCancel()
{
    if (m_editHost.IsEditing()) {
        m_grid->setFocus();
        return;
    }
    if (QWidget* parent = parentWidget())
        parent->show();
    EndDialog(IDCANCEL);
}
