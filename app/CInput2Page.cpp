#include "CInput2Page.h"

#include "FillGridWithParameters.h"
#include "InputRange.h"
#include "controls/CDataGridView.h"
#include "foundation/CPrivateException.h"
#include "foundation/DialogHelpers.h"
#include "params/CParameterEnumerationInterface.h"
#include "platform/RunCommand.h"

#include <QGridLayout>
#include <QLabel>
#include <QLineEdit>

#include <array>

std::vector<GridCellEntry> g_input2PageLabels;
std::vector<GridCellEntry> g_input2PageValues;

namespace {

// Cell -> parameter, by grid row: column 1 is a choice, column 2 a number.
// Row 0 holds the headings, so only row 1 is ever edited.
constexpr std::array<int, 2> kChoiceParameters{0, PARAMETER_INPUT_CT2};
constexpr std::array<int, 2> kNumberParameters{PARAMETER_INPUT2_CT2, PARAMETER_INPUT_CT1};

// The CT-sensor type names offered: the six sensor models.
constexpr int kCtSensorCount = 6;

} // namespace

CInput2Page::CInput2Page(QWidget* parent)
    : CDialog(IDD, parent)
{
    auto* layout = new QGridLayout(this);
    layout->addWidget(new QLabel(QStringLiteral("VT rating"), this), 0, 0);
    layout->addWidget(new QLabel(QStringLiteral("Primary"), this), 0, 1);
    layout->addWidget(AddControl(new QLineEdit(this), IDC_VT_PRIMARY), 0, 2);
    layout->addWidget(new QLabel(QStringLiteral("V"), this), 0, 3);
    layout->addWidget(new QLabel(QStringLiteral("Secondary"), this), 0, 4);
    layout->addWidget(AddControl(new QLineEdit(this), IDC_VT_SECONDARY), 0, 5);
    layout->addWidget(new QLabel(QStringLiteral("V"), this), 0, 6);
    layout->addWidget(new QLabel(QStringLiteral("CT sensor"), this), 1, 0);
    m_grid = AddControl(new CDataGridView(this), IDC_GRID);
    layout->addWidget(m_grid, 2, 0, 1, 7, Qt::AlignLeft | Qt::AlignTop);

    // The grid tells the page when an edit is asked for, the host when one
    // ended, and the page tells the host when it has taken a value.
    m_grid->AddObserver(this);
    m_editHost.AddObserver(this);
    AddObserver(&m_editHost);
    m_editHost.CreateEditors(m_grid);
    m_grid->SetSelectionEnabled(true);
    Refresh();
}

CInput2Page::~CInput2Page() = default;

void CInput2Page::Refresh()
{
    m_grid->SetLayout(g_input2PageLabels, m_grid->FitCellWidth(g_input2PageLabels, kCellWidth), 1, 3);
    FillGridWithParameters(*m_grid, m_settings, g_input2PageValues);
}

int CInput2Page::ParameterAt(unsigned row, unsigned column)
{
    if (row >= kChoiceParameters.size())
        return -1;
    if (column == 1)
        return kChoiceParameters[row];
    if (column == 2)
        return kNumberParameters[row];
    return -1;
}

void CInput2Page::Update(CObservable* notifier)
{
    // Both run inside the grid's or an editor's event handler: nothing may escape.
    if (notifier == static_cast<CObservable*>(m_grid))
        RunCommand(this, [this] { OnEditStart(); });
    else if (notifier == &m_editHost)
        RunCommand(this, [this] { OnEditEnd(); });
}

QRect CInput2Page::SelectedCellRect() const
{
    const int width = static_cast<int>(m_grid->GetCellWidth());
    const int height = static_cast<int>(m_grid->GetCellHeight());
    const int column = static_cast<int>(m_grid->GetSelectedColumn());
    const int row = static_cast<int>(m_grid->GetSelectedRow());
    return QRect(column * width, row * height, width, height);
}

void CInput2Page::OnEditStart()
{
    m_editHost.HideEditors();
    const QRect cell = SelectedCellRect();
    const QString text = m_grid->GetEditText();
    if (text.isEmpty())
        return;
    const unsigned row = m_grid->GetSelectedRow();
    const unsigned column = m_grid->GetSelectedColumn();
    const int parameter = ParameterAt(row, column);
    if (parameter < 0)
        return;

    if (column == 1) {
        CEditComboBox* combo = m_editHost.GetComboBox();
        combo->clear();
        AddComboStringsFromResources(combo, CParameterEnumerationInterface::CURRENT_SENSOR_TEXT_FIRST, kCtSensorCount);
        combo->setGeometry(cell.left(), cell.top(), cell.width(), combo->sizeHint().height());
        // A value the list does not offer selects nothing.
        const int value = m_settings.GetWord(parameter);
        combo->setCurrentIndex(value < combo->count() ? value : -1);
        combo->show();
        combo->showPopup();
        combo->setFocus();
        return;
    }

    CEditText* edit = m_editHost.GetEditBox();
    edit->setGeometry(cell.left() + 1, cell.top() + 1, cell.width() - 1, cell.height() - 1);
    edit->setText(CutAtFirstBlank(text));
    edit->selectAll();
    edit->show();
    edit->setFocus();
    if (const UINT character = m_grid->GetStartCharacter(); character != 0)
        edit->SendChar(character);
}

void CInput2Page::OnEditEnd()
{
    const unsigned row = m_grid->GetSelectedRow();
    const unsigned column = m_grid->GetSelectedColumn();
    const int parameter = ParameterAt(row, column);
    if (m_editHost.GetResult() != EditResult::None && parameter >= 0) {
        if (column == 1) {
            // No choice leaves the word as it was rather than storing "none" as 65535.
            if (const int selection = m_editHost.GetSelection(); selection >= 0)
                m_settings.SetWord(parameter, static_cast<std::uint16_t>(selection));
        } else {
            // A rejected number ends here: the box keeps the focus and its text for correcting.
            CEditText* edit = m_editHost.GetEditBox();
            int value = 0;
            try {
                value = ValidateNumber(edit, INPUT_CT1_RANGE.minimum, INPUT_CT1_RANGE.maximum, 1,
                                       QString::fromLatin1(INPUT_CT1_RANGE.key), true);
            } catch (const CException&) {
                SelectRejectedText(edit);
                throw;
            }
            m_settings.SetWord(parameter, static_cast<std::uint16_t>(value));
        }
        FillGridWithParameters(*m_grid, m_settings, g_input2PageValues);
    }

    NotifyObservers();
    m_grid->setFocus();
    m_grid->MoveAndEdit(m_editHost.GetDirection());
}

void CInput2Page::OnCancel()
{
    if (m_editHost.IsEditing())
        m_grid->setFocus();
}
