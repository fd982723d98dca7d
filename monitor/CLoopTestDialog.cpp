#include "CLoopTestDialog.h"

#include "CBackThread.h"
#include "CUnitSession.h"
#include "FillGridWithMeasurands.h"
#include "comm/CModbusInterface.h"
#include "controls/CDataGridView.h"
#include "foundation/CPrivateException.h"
#include "foundation/DialogHelpers.h"
#include "params/PasscodeProtocol.h"
#include "params/RegisterMap.h"
#include "platform/DialogFrame.h"
#include "platform/RunCommand.h"

#include <QHBoxLayout>
#include <QPushButton>
#include <QRadioButton>
#include <QScopedValueRollback>
#include <QVBoxLayout>

#include <array>

namespace {

// The design's cell width; labels that need more widen every cell.
constexpr unsigned kCellWidth = 80;
constexpr unsigned kColumns = 7;
constexpr unsigned kLastRow = 7;

// Index of the channel count among the unit's further identification words.
constexpr int kChannelCountWord = 3;

struct ValueCell
{
    std::uint32_t item;
    std::uint32_t column;
    std::uint32_t row;
};

// The realtime values of the monitor's first grid, under the same labels.
constexpr std::array<ValueCell, 29> kValueCells = {{
    {1, 1, 1},  {0, 2, 1},  {2, 3, 1},  {3, 4, 1},  {4, 5, 1},  {5, 6, 1},
    {15, 1, 2}, {8, 2, 2},  {18, 3, 2}, {21, 4, 2}, {24, 5, 2}, {27, 6, 2},
    {16, 1, 3}, {9, 2, 3},  {19, 3, 3}, {22, 4, 3}, {25, 5, 3}, {28, 6, 3},
    {17, 1, 4}, {10, 2, 4}, {20, 3, 4}, {23, 4, 4}, {26, 5, 4}, {29, 6, 4},
    {12, 1, 5}, {13, 1, 6}, {14, 1, 7}, {11, 2, 7}, {6, 3, 7},
}};

std::vector<GridCellEntry> LabelLayout()
{
    std::vector<GridCellEntry> labels;
    const std::uint32_t headings[kColumns] = {999, 1000, 1001, 1002, 1003, 1004, 1005};
    for (std::uint32_t column = 0; column < kColumns; ++column)
        labels.push_back({headings[column], column, 0});
    for (std::uint32_t row = 1; row <= kLastRow; ++row)
        labels.push_back({1100 + (row - 1), 0, row});
    labels.push_back({1007, 2, 6});
    labels.push_back({1006, 3, 6});
    return labels;
}

std::vector<GridCellEntry> ValueLayout()
{
    std::vector<GridCellEntry> values;
    for (const ValueCell& cell : kValueCells)
        values.push_back({cell.item, cell.column, cell.row});
    return values;
}

const std::vector<GridCellEntry>& Labels()
{
    static const std::vector<GridCellEntry> labels = LabelLayout();
    return labels;
}

const std::vector<GridCellEntry>& Values()
{
    static const std::vector<GridCellEntry> values = ValueLayout();
    return values;
}

// Items as two words each, the low word first.
std::vector<std::uint16_t> ToWords(const std::int32_t* items, int count)
{
    std::vector<std::uint16_t> words;
    for (int i = 0; i < count; ++i) {
        const auto value = static_cast<std::uint32_t>(items[i]);
        words.push_back(static_cast<std::uint16_t>(value & 0xFFFF));
        words.push_back(static_cast<std::uint16_t>(value >> 16));
    }
    return words;
}

void FromWords(const std::vector<std::uint16_t>& words, std::int32_t* items)
{
    for (std::size_t i = 0; i + 1 < words.size(); i += 2)
        items[i / 2] = static_cast<std::int32_t>(static_cast<std::uint32_t>(words[i]) |
                                                 (static_cast<std::uint32_t>(words[i + 1]) << 16));
}

} // namespace

CLoopTestDialog::CLoopTestDialog(QWidget* parent)
    : CDialog(IDD, parent)
{
    UseDialogFrame(this);
    setWindowTitle(QStringLiteral("Loop Test"));
    m_loopTest = AddControl(new QRadioButton(QStringLiteral("Loop Test"), this), IDC_LOOP_TEST);
    m_normal = AddControl(new QRadioButton(QStringLiteral("Normal"), this), IDC_NORMAL);
    m_grid = AddControl(new CDataGridView(this), IDC_GRID);
    auto* close = AddControl(new QPushButton(QStringLiteral("Close"), this), IDCANCEL);

    auto* modes = new QHBoxLayout;
    modes->addWidget(m_loopTest);
    modes->addWidget(m_normal);
    modes->addStretch();
    auto* buttons = new QHBoxLayout;
    buttons->addStretch();
    buttons->addWidget(close);
    auto* layout = new QVBoxLayout(this);
    layout->addLayout(modes);
    layout->addWidget(m_grid, 0, Qt::AlignLeft | Qt::AlignTop);
    layout->addLayout(buttons);

    // The grid tells the dialog when an edit is asked for, the host when one
    // ended, and the dialog tells the host when it has taken the value.
    m_grid->AddObserver(this);
    m_editHost.AddObserver(this);
    AddObserver(&m_editHost);
    m_editHost.CreateEditors(m_grid);

    // clicked, not toggled: checking a radio from the program writes nothing.
    connect(m_normal, &QRadioButton::clicked, this, [this] { OnRadioNormal(); });
    connect(m_loopTest, &QRadioButton::clicked, this, [this] { OnRadioLoopTest(); });
    connect(close, &QPushButton::clicked, this, [this] { reject(); });
}

CLoopTestDialog::~CLoopTestDialog() = default;

bool CLoopTestDialog::Run(CModbusInterface& link, CBackThread& thread)
{
    m_link = &link;
    m_thread = &thread;
    return DoModal() == IDOK;
}

std::optional<int> CLoopTestDialog::ItemAt(unsigned row, unsigned column)
{
    for (const ValueCell& cell : kValueCells) {
        if (cell.row == row && cell.column == column)
            return static_cast<int>(cell.item);
    }
    return std::nullopt;
}

CLoopTestDialog::Range CLoopTestDialog::RangeOf(int item)
{
    constexpr int kPowerLimit = 2000000000;
    switch (item) {
    case 0: case 8: case 9: case 10:
        return {"MEAS_I", 1000, 0, 20000000};
    case 11:
        return {"MEAS_NI", 1000, 0, 20000000};
    case 1: case 12: case 13: case 14: case 15: case 16: case 17:
        return {"MEAS_V", 100, 0, 40000000};
    case 2: case 18: case 19: case 20:
        return {"MEAS_P", 1, -kPowerLimit, kPowerLimit};
    case 3: case 21: case 22: case 23:
        return {"MEAS_Q", 1, -kPowerLimit, kPowerLimit};
    case 4: case 24: case 25: case 26:
        return {"MEAS_S", 1, 0, kPowerLimit};
    case 5: case 27: case 28: case 29:
        return {"MEAS_PF", 10000, -10000, 10000};
    case 6:
        return {"MEAS_F", 100, 4500, 6500};
    default:
        // Lead/lag flags: never edited.
        return {"", 1, 0, 0};
    }
}

bool CLoopTestDialog::OnInitDialog()
{
    // The grid takes the width of its cells and lines; the window follows it.
    m_grid->SetLayout(Labels(), m_grid->FitCellWidth(Labels(), kCellWidth), kLastRow, kColumns);
    m_grid->SetSelectionEnabled(true);
    m_normal->setChecked(true);
    m_channel = m_thread->GetChannel();
    ReadStartValues();
    ShowUnitMode();
    RefillGrid();
    return true;
}

void CLoopTestDialog::ReadStartValues()
{
    CUnitSession session(*m_link, *m_thread);
    if (!session.IsHeld())
        return;
    m_link->Connect();
    const bool swap = ReadMonitorWordOrderIsHighFirst(*m_link);
    // The channel's own registers, the same ones the values are written to.
    const int* base = kRegisterSimulated[m_channel];
    std::vector<std::uint16_t> words(2 * kLeadingItems);
    m_link->ReadRegisters32(base[0], kLeadingItems, words.data(), swap);
    FromWords(words, &m_values.Items[0]);
    words.assign(2 * (kSimulatedItems - kLeadingItems), 0);
    m_link->ReadRegisters32(base[1], kSimulatedItems - kLeadingItems, words.data(), swap);
    FromWords(words, &m_values.Items[kLeadingItems]);
    std::uint16_t mode = 0;
    m_link->ReadRegisters(CBackThread::kRegisterLoopTestMode[m_channel], 1, &mode);
    m_unitMode = mode != 0 ? 1 : 0;
}

bool CLoopTestDialog::SetLoopTestMode(int mode)
{
    CUnitSession session(*m_link, *m_thread);
    return session.WriteInMode(WRITE_MODE_PARAMETERS, this, [&] {
        const auto word = static_cast<std::uint16_t>(mode);
        m_link->WriteRegisters(CBackThread::kRegisterLoopTestMode[m_channel], 1, &word);
        // The unit runs in the new mode from here, whatever fails after.
        m_unitMode = mode != 0 ? 1 : 0;
    });
}

bool CLoopTestDialog::SendSimulatedValues()
{
    CUnitSession session(*m_link, *m_thread);
    return session.WriteInMode(WRITE_MODE_LOOP_TEST, this, [&] {
        const bool swap = ReadMonitorWordOrderIsHighFirst(*m_link);
        const int* base = kRegisterSimulated[m_channel];
        const std::vector<std::uint16_t> leading = ToWords(&m_values.Items[0], kLeadingItems);
        m_link->WriteRegisters32(base[0], kLeadingItems, leading.data(), swap);
        const std::vector<std::uint16_t> rest =
            ToWords(&m_values.Items[kLeadingItems], kSimulatedItems - kLeadingItems);
        m_link->WriteRegisters32(base[1], kSimulatedItems - kLeadingItems, rest.data(), swap);
    });
}

bool CLoopTestDialog::RestoreNormalMode(CModbusInterface& link, CBackThread& thread, QWidget* parent)
{
    CUnitSession session(link, thread);
    if (!session.IsHeld())
        return false;
    const CDeviceType deviceType = thread.GetDeviceType();
    if (deviceType.GetModelCode() != kLoopTestModel)
        return false;
    const int channels = deviceType.GetIoWord(kChannelCountWord) >= 2 ? 2 : 1;
    std::vector<int> inLoopTest;
    try {
        link.Connect();
        for (int channel = 0; channel < channels; ++channel) {
            std::uint16_t mode = 0;
            link.ReadRegisters(CBackThread::kRegisterLoopTestMode[channel], 1, &mode);
            if (mode != 0)
                inLoopTest.push_back(channel);
        }
    } catch (const CException&) {
        // Whether the unit is in loop-test mode cannot be known.
        return false;
    }
    link.Close();
    if (inLoopTest.empty())
        return false;
    return session.WriteInMode(WRITE_MODE_PARAMETERS, parent, [&] {
        const std::uint16_t normal = 0;
        for (int channel : inLoopTest)
            link.WriteRegisters(CBackThread::kRegisterLoopTestMode[channel], 1, &normal);
    });
}

void CLoopTestDialog::OnRadioNormal()
{
    RunCommand(this, [this] { SetLoopTestMode(0); });
    ShowUnitMode();
}

void CLoopTestDialog::OnRadioLoopTest()
{
    // The values go only to a unit that took the mode.
    RunCommand(this, [this] {
        if (SetLoopTestMode(1))
            SendSimulatedValues();
    });
    ShowUnitMode();
}

void CLoopTestDialog::ShowUnitMode()
{
    m_loopTest->setChecked(m_unitMode != 0);
    m_normal->setChecked(m_unitMode == 0);
}

void CLoopTestDialog::RefillGrid()
{
    FillGridWithMeasurands(*m_grid, m_values, Values());
}

void CLoopTestDialog::Update(CObservable* notifier)
{
    // Both run inside the grid's or an editor's event handler: nothing may escape.
    if (notifier == static_cast<CObservable*>(m_grid))
        RunCommand(this, [this] { OnEditStart(); });
    else if (notifier == &m_editHost)
        RunCommand(this, [this] { OnEditEnd(); });
}

void CLoopTestDialog::OnEditStart()
{
    m_editHost.HideEditors();
    if (!ItemAt(m_grid->GetSelectedRow(), m_grid->GetSelectedColumn()))
        return;
    const int width = static_cast<int>(m_grid->GetCellWidth());
    const int height = static_cast<int>(m_grid->GetCellHeight());
    const int x = static_cast<int>(m_grid->GetSelectedColumn()) * width;
    const int y = static_cast<int>(m_grid->GetSelectedRow()) * height;
    CEditText* edit = m_editHost.GetEditBox();
    edit->setGeometry(x + 1, y + 1, width - 1, height - 1);
    edit->setText(m_grid->GetEditText());
    edit->selectAll();
    edit->show();
    edit->setFocus();
    if (const UINT character = m_grid->GetStartCharacter(); character != 0)
        edit->SendChar(character);
}

void CLoopTestDialog::OnEditEnd()
{
    // An editor that reports again while this one is handled (an error box
    // taking the focus) neither cancels the edit nor writes.
    if (m_endingEdit)
        return;
    const QScopedValueRollback ending(m_endingEdit, true);

    const std::optional<int> item = ItemAt(m_grid->GetSelectedRow(), m_grid->GetSelectedColumn());
    if (m_editHost.GetResult() == EditResult::Text && item) {
        CEditText* edit = m_editHost.GetEditBox();
        const Range range = RangeOf(*item);
        int value = 0;
        try {
            value = ValidateNumber(edit, range.minimum, range.maximum, range.scale, QString::fromLatin1(range.key),
                                   true);
        } catch (const CException& e) {
            ReportException(this, e);
            // The edit goes on where it was.
            edit->show();
            SelectRejectedText(edit);
            return;
        }
        m_values.Items[static_cast<std::size_t>(*item)] = value;
        RefillGrid();
    }

    if (m_loopTest->isChecked())
        RunCommand(this, [this] { SendSimulatedValues(); });
    NotifyObservers();
    m_grid->setFocus();
    switch (m_editHost.GetDirection()) {
    case EditDirection::Down:
        m_grid->MoveDown();
        break;
    case EditDirection::Up:
        m_grid->MoveUp();
        break;
    case EditDirection::Left:
        m_grid->MoveLeft();
        break;
    case EditDirection::Right:
        m_grid->MoveRight();
        break;
    default:
        return;
    }
    m_grid->BeginEdit(0);
}

bool CLoopTestDialog::IsEditorVisible() const
{
    const CEditText* edit = m_editHost.GetEditBox();
    return edit && edit->isVisible();
}

void CLoopTestDialog::OnCancel()
{
    // The editor's loss of focus ends the edit; the dialog stays.
    if (IsEditorVisible()) {
        m_grid->setFocus();
        return;
    }
    // The unit's outputs must not go on following simulated values: a
    // passcode the user cancelled (or the unit refused) cancels the close.
    // A link failure has been shown and cannot be mended here; it closes.
    if (m_unitMode != 0) {
        bool ended = true;
        RunCommand(this, [this, &ended] { ended = SetLoopTestMode(0); });
        ShowUnitMode();
        if (!ended)
            return;
    }
    if (QWidget* owner = parentWidget(); owner && !m_firstActivation)
        owner->show();
    EndDialog(IDCANCEL);
}

void CLoopTestDialog::showEvent(QShowEvent* event)
{
    CDialog::showEvent(event);
    if (!m_firstActivation)
        return;
    m_firstActivation = false;
    if (QWidget* owner = parentWidget())
        owner->hide();
}
