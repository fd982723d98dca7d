#include "CBasicParameterDialog.h"

#include "CAdvancedDialog.h"
#include "CAnalogOutputDialog.h"
#include "CCompareDialog.h"
#include "CModbusDialog.h"
#include "CPasscodeDialog.h"
#include "CProgressDialog.h"
#include "CPulseDialog.h"
#include "CQtTranslations.h"
#include "ColumnWidths.h"
#include "InputRange.h"
#include "comm/CConnectDialog.h"
#include "comm/CModbusInterface.h"
#include "controls/ToolTipIds.h"
#include "foundation/AppIcon.h"
#include "foundation/CPrivateException.h"
#include "foundation/DialogHelpers.h"
#include "foundation/Globals.h"
#include "monitor/CMyDalvexDlg.h"
#include "platform/RunCommand.h"
#include "params/CAnalogOutputEnumerationInterface.h"
#include "params/PasscodeProtocol.h"
#include "platform/CUiPrompts.h"
#include "platform/ControlIds.h"
#include "platform/DialogFrame.h"

#include <QAbstractButton>
#include <QCloseEvent>
#include <QComboBox>
#include <QGridLayout>
#include <QGroupBox>
#include <QHBoxLayout>
#include <QHeaderView>
#include <QLabel>
#include <QLineEdit>
#include <QPushButton>
#include <QScopeGuard>
#include <QTableWidget>
#include <QVBoxLayout>

#include <algorithm>
#include <array>
#include <cstdint>
#include <map>

namespace {

using Dlg = CBasicParameterDialog;

// Rows of the language list "Model" that are offered, with their unit types.
struct ModelTableRow
{
    int listIndex;
    std::uint16_t typeIndex;
};
constexpr std::array<ModelTableRow, 8> kModelTable{{
    {0, 0}, {2, 2}, {3, 3}, {4, 4}, {5, 5}, {7, 7}, {8, 8}, {9, 9},
}};

struct ToolTipRow
{
    int controlId;
    const char* key;
};
constexpr std::array<ToolTipRow, 8> kToolTips{{
    {Dlg::IDC_UPLOAD, "TT_UPLOAD"},
    {Dlg::IDC_DOWNLOAD, "TT_DOWNLOAD"},
    {Dlg::IDC_PROTECT, "TT_PROTECT"},
    {Dlg::IDC_REPORT, "TT_COMPARE"},
    {Dlg::IDC_SAVE_FILE, "TT_SAVE_FILE"},
    {Dlg::IDC_OPEN_FILE, "TT_OPEN_FILE"},
    {Dlg::IDC_MONITOR, "TT_MONITOR"},
    {Dlg::IDC_LANGUAGE, "TT_LANG"},
}};

QString Key(const char* key) { return QString::fromLatin1(key); }

} // namespace

// The rating and range edits: what each one edits, and the one range that
// both StoreControls and the checks while typing allow. In StoreControls' order.
struct CBasicParameterDialog::InputField
{
    int controlId;
    int parameter;
    bool wide; // a 32-bit value in two words
    InputRange range;
    bool checkedWhileTyping;
};

namespace {

using InputField = CBasicParameterDialog::InputField;

constexpr std::array<InputField, 5> kInputFields{{
    {Dlg::IDC_VT_PRIMARY, PARAMETER_INPUT_VT1, true, {50, 400000, "INPUT_VT1"}, false},
    {Dlg::IDC_VT_SECONDARY, PARAMETER_INPUT_VT2, false, {50, 480, "INPUT_VT2"}, true},
    {Dlg::IDC_CT_PRIMARY, PARAMETER_INPUT_CT1, false, INPUT_CT1_RANGE, false},
    {Dlg::IDC_CT_SECONDARY, PARAMETER_INPUT_CT2, false, {1, 5, "INPUT_CT2"}, true},
    {Dlg::IDC_RANGE, PARAMETER_INPUT_V_RANGE, false, {50, 480, "INPUT_V_RANGE"}, true},
}};

// The words as signed numbers, as the edits show them.
int ReadInput(const CSettings& set, const InputField& field)
{
    return field.wide ? static_cast<std::int32_t>(set.GetDword(field.parameter))
                      : static_cast<std::int16_t>(set.GetWord(field.parameter));
}

void WriteInput(CSettings& set, const InputField& field, int value)
{
    if (field.wide)
        set.SetDword(field.parameter, static_cast<std::uint32_t>(value));
    else
        set.SetWord(field.parameter, static_cast<std::uint16_t>(value));
}

} // namespace

CBasicParameterDialog::CBasicParameterDialog(QWidget* parent)
    : CDialog(IDD, parent)
{
    m_icon = LoadAppIcon();
    // A caption with the system menu and a minimise box; no OK or Cancel button.
    UseDialogFrame(this, FrameBoxes::MinimizeAndClose);
    CreateControls();
}

CBasicParameterDialog::~CBasicParameterDialog() = default;

namespace {

// Where a control goes: a row of the page, or the frame that holds it.
enum class Area
{
    Commands,
    Model,
    Settings,
    Input,
    Option,
    Pulse,
    Analog,
    Page,
};

enum class Kind
{
    Button,
    Label,
    Edit,
    Combo,
    Group,
    List,
};

// One control of the template, in creation order. Cells count in the
// "Input" frame's grid only.
struct ControlRow
{
    int id; // 0: a label without an id
    Kind kind;
    const char* text;
    Area area;
    int row = 0;
    int column = 0;
    int columnSpan = 1;
};

constexpr ControlRow kControls[] = {
    {Dlg::IDC_UPLOAD, Kind::Button, "Upload", Area::Commands},
    {Dlg::IDC_DOWNLOAD, Kind::Button, "Download", Area::Commands},
    {Dlg::IDC_PROTECT, Kind::Button, "Protect", Area::Commands},
    {Dlg::IDC_REPORT, Kind::Button, "Report", Area::Commands},
    {Dlg::IDC_SAVE_FILE, Kind::Button, "Save File", Area::Commands},
    {Dlg::IDC_OPEN_FILE, Kind::Button, "Open File", Area::Commands},
    {Dlg::IDC_MONITOR, Kind::Button, "Monitor", Area::Commands},
    {Dlg::IDC_LANGUAGE, Kind::Button, "Language", Area::Commands},
    {Dlg::IDC_MODEL_LABEL, Kind::Label, "Model", Area::Model},
    {Dlg::IDC_MODEL1, Kind::Combo, "", Area::Model},
    {Dlg::IDC_MODEL2, Kind::Combo, "", Area::Model},
    {Dlg::IDC_MODEL3, Kind::Combo, "", Area::Model},
    {Dlg::IDC_INPUT_GROUP, Kind::Group, "Input", Area::Page},
    {Dlg::IDC_SYSTEM_LABEL, Kind::Label, "System", Area::Input, 0, 0},
    {Dlg::IDC_SYSTEM, Kind::Combo, "", Area::Input, 0, 1, 5},
    {Dlg::IDC_VT_LABEL, Kind::Label, "VT rating", Area::Input, 1, 0},
    {Dlg::IDC_VT_PRIMARY_LABEL, Kind::Label, "Primary", Area::Input, 1, 1},
    {Dlg::IDC_VT_PRIMARY, Kind::Edit, "", Area::Input, 1, 2},
    {0, Kind::Label, "V", Area::Input, 1, 3},
    {Dlg::IDC_VT_SECONDARY_LABEL, Kind::Label, "Secondary", Area::Input, 1, 4},
    {Dlg::IDC_VT_SECONDARY, Kind::Edit, "", Area::Input, 1, 5},
    {0, Kind::Label, "V", Area::Input, 1, 6},
    {Dlg::IDC_RANGE_LABEL, Kind::Label, "Range", Area::Input, 2, 4},
    {Dlg::IDC_RANGE, Kind::Edit, "", Area::Input, 2, 5},
    {Dlg::IDC_RANGE_UNIT, Kind::Label, "V", Area::Input, 2, 6},
    {Dlg::IDC_CT_LABEL, Kind::Label, "CT rating", Area::Input, 3, 0},
    {Dlg::IDC_CT_PRIMARY_LABEL, Kind::Label, "Primary", Area::Input, 3, 1},
    {Dlg::IDC_CT_PRIMARY, Kind::Edit, "", Area::Input, 3, 2},
    {0, Kind::Label, "A", Area::Input, 3, 3},
    {Dlg::IDC_CT_SECONDARY_LABEL, Kind::Label, "Secondary", Area::Input, 3, 4},
    {Dlg::IDC_CT_SECONDARY, Kind::Edit, "", Area::Input, 3, 5},
    {0, Kind::Label, "A", Area::Input, 3, 6},
    {Dlg::IDC_OPTION_GROUP, Kind::Group, "Option", Area::Settings},
    {Dlg::IDC_PASSCODE, Kind::Button, "Passcode", Area::Option},
    {Dlg::IDC_MODBUS, Kind::Button, "Modbus", Area::Option},
    {Dlg::IDC_OTHERS, Kind::Button, "Others", Area::Option},
    {Dlg::IDC_PULSE_GROUP, Kind::Group, "Pulse Output", Area::Settings},
    {Dlg::IDC_PULSE1, Kind::Button, "Po1", Area::Pulse},
    {Dlg::IDC_PULSE2, Kind::Button, "Po2", Area::Pulse},
    {Dlg::IDC_ANALOG_GROUP, Kind::Group, "Analog Output", Area::Page},
    {Dlg::IDC_ANALOG_OUTPUTS, Kind::List, "", Area::Analog},
};

// The frame each group box holds.
Area AreaOfGroup(int id)
{
    switch (id) {
    case Dlg::IDC_INPUT_GROUP:
        return Area::Input;
    case Dlg::IDC_OPTION_GROUP:
        return Area::Option;
    case Dlg::IDC_PULSE_GROUP:
        return Area::Pulse;
    default:
        return Area::Analog;
    }
}

struct CommandRow
{
    int id;
    void (CBasicParameterDialog::*handler)();
};

constexpr CommandRow kCommands[] = {
    {Dlg::IDC_UPLOAD, &Dlg::OnUpload},     {Dlg::IDC_DOWNLOAD, &Dlg::OnDownload},
    {Dlg::IDC_PROTECT, &Dlg::OnProtect},   {Dlg::IDC_REPORT, &Dlg::OnReport},
    {Dlg::IDC_SAVE_FILE, &Dlg::OnSaveFile}, {Dlg::IDC_OPEN_FILE, &Dlg::OnOpenFile},
    {Dlg::IDC_LANGUAGE, &Dlg::OnLanguage}, {Dlg::IDC_MONITOR, &Dlg::OnMonitor},
    {Dlg::IDC_OTHERS, &Dlg::OnOthers},     {Dlg::IDC_PASSCODE, &Dlg::OnPasscode},
    {Dlg::IDC_MODBUS, &Dlg::OnModbus},     {Dlg::IDC_PULSE1, &Dlg::OnPulse1},
    {Dlg::IDC_PULSE2, &Dlg::OnPulse2},
};

QWidget* NewControl(const ControlRow& row, QWidget* parent)
{
    const QString text = QString::fromLatin1(row.text);
    switch (row.kind) {
    case Kind::Button: {
        auto* button = new QPushButton(text, parent);
        button->setAutoDefault(false);
        return button;
    }
    case Kind::Label:
        return new QLabel(text, parent);
    case Kind::Edit: {
        auto* edit = new QLineEdit(parent);
        edit->setMaximumWidth(110);
        return edit;
    }
    case Kind::Combo: {
        auto* combo = new QComboBox(parent);
        combo->setSizeAdjustPolicy(QComboBox::AdjustToMinimumContentsLengthWithIcon);
        combo->setMinimumContentsLength(12);
        return combo;
    }
    case Kind::Group:
        return new QGroupBox(text, parent);
    case Kind::List:
        return new QTableWidget(parent);
    }
    return nullptr;
}

} // namespace

void CBasicParameterDialog::CreateControls()
{
    std::map<Area, QBoxLayout*> rows = {{Area::Commands, new QHBoxLayout},
                                        {Area::Model, new QHBoxLayout},
                                        {Area::Settings, new QHBoxLayout}};
    QGridLayout* inputGrid = nullptr;
    std::map<Area, QGroupBox*> groups;
    for (const ControlRow& row : kControls) {
        QWidget* control = NewControl(row, this);
        if (row.id != 0)
            AddControl(control, row.id);
        if (row.kind == Kind::List) {
            m_analogOutputs = static_cast<QTableWidget*>(control);
            SetUpAnalogOutputList();
        }
        if (row.kind == Kind::Group) {
            const Area inside = AreaOfGroup(row.id);
            groups[inside] = static_cast<QGroupBox*>(control);
            if (inside == Area::Input)
                inputGrid = new QGridLayout(control);
            else if (inside == Area::Analog)
                rows[inside] = new QVBoxLayout(control);
            else
                rows[inside] = new QHBoxLayout(control);
        }
        // The frames on the page itself are placed below; the model boxes
        // share the spare width of their row.
        if (row.area == Area::Input)
            inputGrid->addWidget(control, row.row, row.column, 1, row.columnSpan);
        else if (row.area != Area::Page)
            rows[row.area]->addWidget(control, row.kind == Kind::Combo ? 1 : 0);
    }
    // The template creates the monitor's button hidden and nothing shows it.
    GetDlgItem(IDC_MONITOR)->setVisible(false);
    rows[Area::Commands]->addStretch();
    inputGrid->setColumnStretch(7, 1);
    rows[Area::Settings]->addStretch();

    auto* page = new QVBoxLayout(this);
    page->addLayout(rows[Area::Commands]);
    page->addLayout(rows[Area::Model]);
    page->addWidget(groups[Area::Input]);
    page->addLayout(rows[Area::Settings]);
    page->addWidget(groups[Area::Analog], 1);
    resize(760, 600);

    const int levelIds[3] = {IDC_MODEL1, IDC_MODEL2, IDC_MODEL3};
    for (int level = 0; level < 3; ++level)
        m_level[level] = GetDlgItemAs<QComboBox>(levelIds[level]);
    m_system = GetDlgItemAs<QComboBox>(IDC_SYSTEM);
    m_vtPrimary = GetDlgItemAs<QLineEdit>(IDC_VT_PRIMARY);
    m_vtSecondary = GetDlgItemAs<QLineEdit>(IDC_VT_SECONDARY);
    m_range = GetDlgItemAs<QLineEdit>(IDC_RANGE);
    m_ctPrimary = GetDlgItemAs<QLineEdit>(IDC_CT_PRIMARY);
    m_ctSecondary = GetDlgItemAs<QLineEdit>(IDC_CT_SECONDARY);

    for (QWidget* control : DialogControls(this)) {
        if (qobject_cast<QLabel*>(control) || qobject_cast<QAbstractButton*>(control) ||
            qobject_cast<QGroupBox*>(control))
            m_templateTexts.emplace_back(control, GetWindowText(control));
    }
    ConnectControls();
}

void CBasicParameterDialog::SetUpAnalogOutputList()
{
    m_analogOutputs->setSelectionBehavior(QAbstractItemView::SelectRows);
    m_analogOutputs->setSelectionMode(QAbstractItemView::SingleSelection);
    m_analogOutputs->setEditTriggers(QAbstractItemView::NoEditTriggers);
    // A list view is one tab stop: Tab leaves it, the arrows move its row.
    m_analogOutputs->setTabKeyNavigation(false);
    m_analogOutputs->setShowGrid(true);
    m_analogOutputs->verticalHeader()->setVisible(false);
    m_analogOutputs->horizontalHeader()->setStretchLastSection(true);
    m_analogOutputs->horizontalHeader()->setSectionsClickable(false);
    // Compact rows, as a list view shows them: all ten fit without scrolling.
    const int rowHeight = m_analogOutputs->fontMetrics().height() + 6;
    m_analogOutputs->verticalHeader()->setDefaultSectionSize(rowHeight);
    m_analogOutputs->setMinimumHeight(rowHeight * 11 + 8);
    m_analogOutputs->viewport()->installEventFilter(this);
}

void CBasicParameterDialog::ConnectControls()
{
    for (const CommandRow& command : kCommands)
        ConnectCommand(command.id, command.handler);

    // A choice only counts when the user made it, as the list's selection-accepted notice does.
    for (int level = 0; level < 3; ++level) {
        connect(m_level[level], &QComboBox::activated, this,
                [this, level](int) { RunCommand(this, [this, level] { OnModelLevelChosen(level); }); });
    }
    connect(m_analogOutputs, &QAbstractItemView::doubleClicked, this,
            [this] { RunCommand(this, [this] { OnAnalogOutputRow(); }); });
    connect(m_system, &QComboBox::activated, this,
            [this](int) { RunCommand(this, [this] { OnSystemChosen(); }); });
    // Like the edit's change notice, this also fires when the program sets the text;
    // the controls-ready flag keeps the checks quiet while the controls are filled.
    for (const InputField& field : kInputFields) {
        if (field.checkedWhileTyping)
            connect(InputEdit(field), &QLineEdit::textChanged, this,
                    [this, &field] { RunCommand(this, [this, &field] { OnInputTyped(field); }); });
    }
}

QLineEdit* CBasicParameterDialog::InputEdit(const InputField& field) const
{
    return GetDlgItemAs<QLineEdit>(field.controlId);
}

void CBasicParameterDialog::ConnectCommand(int id, void (CBasicParameterDialog::*handler)())
{
    auto* b = GetDlgItemAs<QPushButton>(id);
    connect(b, &QPushButton::clicked, this, [this, handler] { RunCommand(this, [this, handler] { (this->*handler)(); }); });
}

bool CBasicParameterDialog::OnInitDialog()
{
    setWindowIcon(m_icon);

    // A language file that fails to load after a switch must not leave the
    // last run's language on the controls.
    for (const auto& [control, text] : m_templateTexts)
        SetWindowText(control, text);
    g_resourceDatabase.CreateEmpty();
    try {
        g_resourceDatabase.LoadLanguageFile(g_appSettings.GetDisplayLanguage());
    } catch (const CException& e) {
        ReportException(this, e);
    }
    CQtTranslations::Apply(g_resourceDatabase.SelectText(QStringLiteral("/root/locale")));
    g_resourceDatabase.ApplyDialogTexts(IDD, this);
    // The version title replaces the caption, even when it is empty.
    setWindowTitle(GetVersionText());

    m_settings = g_settings;
    // The window runs from the application's loop, not from an event: a
    // failure here is shown like a command's, and the window still opens.
    RunCommand(this, [this] {
        BuildModelList();
        UpdateControls();
    });
    return true;
}

void CBasicParameterDialog::BuildModelList()
{
    SetDialogFont(this, false);

    m_modelList.clear();
    for (const ModelTableRow& row : kModelTable)
        m_modelList.append(SplitModelText(g_resourceDatabase.GetListText(QStringLiteral("Model"), row.listIndex),
                                          row.typeIndex));
    // The window runs again after a language switch: nothing of the last run may stay in the boxes.
    for (QComboBox* box : m_level)
        box->clear();
    m_level[0]->addItems(Level1Items(m_modelList));

    SetToolTips();

    m_analogOutputs->clear();
    m_analogOutputs->setColumnCount(4);
    m_analogOutputs->setRowCount(AOUT_CHANNEL_COUNT);
    QStringList headers;
    for (int column = 0; column < 4; ++column)
        headers.append(g_resourceDatabase.GetListText(QStringLiteral("AOList"), column));
    m_analogOutputs->setHorizontalHeaderLabels(headers);
    for (int row = 0; row < AOUT_CHANNEL_COUNT; ++row)
        m_analogOutputs->setItem(row, 0, new QTableWidgetItem(QString::number(row + 1)));
    FitAnalogOutputColumns();
}

void CBasicParameterDialog::FitAnalogOutputColumns()
{
    // The designed widths 30, 120 and 300 grow with the font; the last
    // column takes the rest. No column cuts its texts while another has room.
    const QFontMetricsF metrics(m_analogOutputs->font());
    const double scale = FontWidthScale(
        metrics.horizontalAdvance(QStringLiteral("abcdefghijklmnopqrstuvwxyzABCDEFGHIJKLMNOPQRSTUVWXYZ")) / 52.0);
    const std::vector<int> specified = {static_cast<int>(30 * scale), static_cast<int>(120 * scale),
                                        static_cast<int>(300 * scale), 0};
    QHeaderView* header = m_analogOutputs->horizontalHeader();
    const QAbstractItemView* view = m_analogOutputs;
    std::vector<int> needed;
    for (int column = 0; column < 4; ++column)
        needed.push_back(std::max(view->sizeHintForColumn(column), header->sectionSizeHint(column)));
    const std::vector<int> widths = ShareColumnWidths(specified, needed, m_analogOutputs->viewport()->width());
    header->setStretchLastSection(false);
    for (int column = 0; column < 4; ++column)
        header->resizeSection(column, widths[static_cast<std::size_t>(column)]);
}

bool CBasicParameterDialog::eventFilter(QObject* watched, QEvent* event)
{
    if (event->type() == QEvent::Resize && m_analogOutputs && watched == m_analogOutputs->viewport())
        FitAnalogOutputColumns();
    return CDialog::eventFilter(watched, event);
}

void CBasicParameterDialog::SetToolTips()
{
    for (const ToolTipRow& tip : kToolTips) {
        if (QWidget* control = FindControl(this, tip.controlId))
            control->setToolTip(CutToolTipText(g_resourceDatabase.GetMessageText(Key(tip.key))));
    }
}

void CBasicParameterDialog::ShowModelOfSet()
{
    const int typeIndex = m_settings.m_deviceType.GetTypeIndex();
    int entry = FindModelOfType(m_modelList, static_cast<std::uint16_t>(typeIndex));
    m_modelIsStandIn = entry < 0;
    if (entry < 0)
        entry = 0;
    for (QString& text : m_model)
        text.clear();
    if (entry < m_modelList.size()) {
        m_model[0] = m_modelList[entry].level1;
        m_model[1] = m_modelList[entry].level2;
        m_model[2] = m_modelList[entry].level3;
    }
    // The exact text, not the first item that begins with it: "ABC" must not show "ABC2".
    m_level[0]->setCurrentIndex(m_level[0]->findText(m_model[0], Qt::MatchExactly | Qt::MatchCaseSensitive));
    RefillLevel2();
}

bool CBasicParameterDialog::ShowsModelOfSet() const
{
    const int typeIndex = m_settings.m_deviceType.GetTypeIndex();
    for (const ModelChoice& entry : m_modelList) {
        if (entry.typeIndex == typeIndex && entry.level1 == m_model[0] && entry.level2 == m_model[1] &&
            entry.level3 == m_model[2])
            return true;
    }
    return false;
}

void CBasicParameterDialog::RefillLevel2()
{
    QComboBox* box = m_level[1];
    box->clear();
    box->addItems(Level2Items(m_modelList, m_model[0]));
    if (box->count() > 0) {
        int selection = box->findText(m_model[1], Qt::MatchExactly | Qt::MatchCaseSensitive);
        if (selection < 0)
            selection = 0;
        box->setCurrentIndex(selection);
        m_model[1] = box->itemText(selection);
    } else {
        // Every offered model has a second level; without one the level stays empty.
        m_model[1].clear();
    }
    RefillLevel3();
}

void CBasicParameterDialog::RefillLevel3()
{
    QComboBox* box = m_level[2];
    box->clear();
    box->addItems(Level3Items(m_modelList, m_model[0], m_model[1]));
    if (box->count() == 0) {
        box->setEnabled(false);
        m_model[2].clear();
        return;
    }
    box->setEnabled(true);
    int selection = box->findText(m_model[2], Qt::MatchExactly | Qt::MatchCaseSensitive);
    if (selection < 0)
        selection = box->count() - 1;
    box->setCurrentIndex(selection);
    m_model[2] = box->itemText(selection);
}

void CBasicParameterDialog::UpdateControls()
{
    m_controlsReady = false;
    ShowModelOfSet();

    m_system->clear();
    const int systems = m_settings.HasCapability(CAPABILITY_SIX_SYSTEMS) ? 6 : 4;
    AddComboStringsFromList(m_system, QStringLiteral("SYSTEM"), systems);
    const int system = m_settings.GetWord(PARAMETER_INPUT_SYSTEM);
    m_system->setCurrentIndex(system >= systems - 1 ? systems - 1 : system);

    for (QLineEdit* e : {m_vtPrimary, m_vtSecondary, m_ctPrimary, m_ctSecondary})
        e->setEnabled(true);
    for (const InputField& field : kInputFields)
        SetNumberText(InputEdit(field), ReadInput(m_settings, field), 1);
    m_system->setEnabled(true);

    GetDlgItem(IDC_MODBUS)->setEnabled(m_settings.HasCapability(CAPABILITY_MODBUS_SETTINGS) ||
                                       m_settings.HasCapability(CAPABILITY_MODBUS_MODE));
    GetDlgItem(IDC_PULSE1)->setEnabled(m_settings.HasCapability(CAPABILITY_PULSE1));
    GetDlgItem(IDC_PULSE2)->setEnabled(m_settings.HasCapability(CAPABILITY_PULSE2));

    UpdateAnalogOutputList();
    m_controlsReady = true;
}

void CBasicParameterDialog::StoreControls(bool keepType)
{
    // The type changes only when the boxes show another model than the set's:
    // not for a type that no entry carries (the boxes only stand in for it),
    // nor where the set's own entry has the texts shown (an empty language
    // file gives every entry the same empty texts).
    if (!keepType && !m_modelIsStandIn && !ShowsModelOfSet()) {
        const int entry = FindModel(m_modelList, m_model[0], m_model[1], m_model[2]);
        if (entry >= 0)
            m_settings.m_deviceType.SetTypeIndex(m_modelList[entry].typeIndex);
    }
    if (m_system->currentIndex() >= 0)
        m_settings.SetWord(PARAMETER_INPUT_SYSTEM, static_cast<std::uint16_t>(m_system->currentIndex()));
    for (const InputField& field : kInputFields) {
        QLineEdit* edit = InputEdit(field);
        int value = 0;
        try {
            value = ValidateNumber(edit, field.range.minimum, field.range.maximum, 1, Key(field.range.key), true);
        } catch (const CException&) {
            // Also a text that is no number at all: the user sees which edit to correct.
            SelectRejectedText(edit);
            throw;
        }
        WriteInput(m_settings, field, value);
    }
}

QString CBasicParameterDialog::GetModelText(int level) const
{
    return level >= 0 && level < 3 ? m_model[level] : QString();
}

void CBasicParameterDialog::OnModelLevelChosen(int level)
{
    const QString text = m_level[level]->currentText();
    if (text == m_model[level])
        return;
    m_model[level] = text;
    for (int lower = level + 1; lower < 3; ++lower)
        m_model[lower].clear();
    if (level == 0)
        RefillLevel2();
    else if (level == 1)
        RefillLevel3();
    ApplyModelSelection();
}

void CBasicParameterDialog::ApplyModelSelection()
{
    try {
        StoreControls(true);
    } catch (const CException&) {
        // The type stays the old one, so the boxes go back to showing it; the
        // edit that failed keeps the user's text to correct.
        ShowModelOfSet();
        throw;
    }
    const int entry = FindModel(m_modelList, m_model[0], m_model[1], m_model[2]);
    if (entry >= 0)
        m_stocker.ChangeDeviceType(m_modelList[entry].typeIndex, m_settings, false);
    UpdateControls();
}

void CBasicParameterDialog::OnSystemChosen()
{
    m_settings.SetWord(PARAMETER_INPUT_SYSTEM, static_cast<std::uint16_t>(m_system->currentIndex()));
    UpdateAnalogOutputList();
}

void CBasicParameterDialog::OnInputTyped(const InputField& field)
{
    if (!m_controlsReady)
        return;
    int value = 0;
    try {
        value = ValidateNumber(InputEdit(field), field.range.minimum, field.range.maximum, 1, Key(field.range.key),
                               false);
    } catch (const CException&) {
        // Half-typed numbers are normal while typing: nothing is shown.
        return;
    }
    WriteInput(m_settings, field, value);
    if (field.parameter == PARAMETER_INPUT_VT2) {
        // The usual secondaries have their own input ranges.
        const int range = value == 110 ? 150 : value == 220 ? 300 : value;
        SetNumberText(m_range, range, 1);
        m_settings.SetWord(PARAMETER_INPUT_V_RANGE, static_cast<std::uint16_t>(range));
    }
    UpdateAnalogOutputList();
}

void CBasicParameterDialog::UpdateAnalogOutputList()
{
    CAnalogOutputEnumerationInterface outputs(&m_settings, false);
    for (int channel = 0; channel < AOUT_CHANNEL_COUNT; ++channel) {
        const QString texts[3] = {outputs.GetAssignmentText(channel), outputs.GetScalingText(channel),
                                  outputs.GetOutputRangeText(channel)};
        for (int column = 1; column <= 3; ++column) {
            QTableWidgetItem* item = m_analogOutputs->item(channel, column);
            if (!item) {
                item = new QTableWidgetItem;
                m_analogOutputs->setItem(channel, column, item);
            }
            item->setText(texts[column - 1]);
        }
    }
    FitAnalogOutputColumns();
}

void CBasicParameterDialog::OnOK()
{
    // Enter never ends the window.
    if (focusWidget() == m_analogOutputs)
        OnAnalogOutputRow();
}

void CBasicParameterDialog::OnCancel()
{
    // Esc does nothing.
}

void CBasicParameterDialog::closeEvent(QCloseEvent* event)
{
    event->ignore();
    RunCommand(this, [this] { OnCloseRequest(); });
}

void CBasicParameterDialog::OnCloseRequest()
{
    g_settings = m_settings;
    EndDialog(0);
}

// ---- Commands ----

bool CBasicParameterDialog::SelectConnection(CModbusInterface& link)
{
    // The same step as the report's: one implementation serves both.
    return CConnectDialog::SelectConnection(link, this);
}

void CBasicParameterDialog::OnUpload()
{
    CModbusInterface link;
    if (!SelectConnection(link))
        return;
    CSettings read;
    CProgressDialog progress(this);
    if (progress.StartUpload(link, read)) {
        m_settings = read;
        UpdateControls();
    }
}

void CBasicParameterDialog::OnDownload()
{
    CModbusInterface link;
    if (!SelectConnection(link))
        return;
    StoreControls(false);
    if (!CheckPasscode(link, WRITE_MODE_PARAMETERS, this))
        return;
    CProgressDialog progress(this);
    progress.StartDownload(link, m_settings);
}

void CBasicParameterDialog::OnProtect()
{
    CModbusInterface link;
    if (!SelectConnection(link))
        return;
    ChangeProtectPasscode(link, this);
}

void CBasicParameterDialog::OnReport()
{
    StoreControls(false);
    CCompareDialog report(this);
    report.Compare(m_settings);
}

void CBasicParameterDialog::OnSaveFile()
{
    const QString path = CUiPrompts::GetSaveFileName(
        this, g_resourceDatabase.GetMessageText(QStringLiteral("FILEOPEN_DIALOG_FILTER")), QStringLiteral("cfg"));
    if (path.isEmpty())
        return;
    StoreControls(false);
    m_settings.SaveFile(path);
}

void CBasicParameterDialog::OnOpenFile()
{
    const QString path = CUiPrompts::GetOpenFileName(
        this, g_resourceDatabase.GetMessageText(QStringLiteral("FILEOPEN_DIALOG_FILTER")), QStringLiteral("cfg"));
    if (path.isEmpty())
        return;
    CSettings loaded;
    if (loaded.LoadFile(path)) {
        m_settings = loaded;
        UpdateControls();
    }
}

void CBasicParameterDialog::OnAnalogOutputRow()
{
    const QModelIndexList selected = m_analogOutputs->selectionModel()->selectedIndexes();
    if (selected.isEmpty())
        return;
    int row = selected.front().row();
    for (const QModelIndex& index : selected)
        row = std::min(row, index.row());
    StoreControls(false);
    CAnalogOutputDialog dialog(this);
    dialog.DoModalForChannel(m_settings, row);
    UpdateAnalogOutputList();
}

std::unique_ptr<CMyDalvexDlg> CBasicParameterDialog::CreateMonitorWindow()
{
    // No parent: a window manager may keep a dialog of a hidden window hidden too.
    return std::make_unique<CMyDalvexDlg>();
}

void CBasicParameterDialog::OnMonitor()
{
    CModbusInterface link;
    if (!SelectConnection(link))
        return;
    const std::unique_ptr<CMyDalvexDlg> monitor = CreateMonitorWindow();
    hide();
    // Back on every path: a monitor that fails to start must not leave the
    // program without a window.
    const auto showAgain = qScopeGuard([this] {
        show();
        raise();
        activateWindow();
    });
    monitor->RunModal(link);
}

void CBasicParameterDialog::OnOthers()
{
    CAdvancedDialog dialog(this);
    dialog.DoModalWithSettings(m_settings);
    UpdateAnalogOutputList();
}

void CBasicParameterDialog::OnPasscode()
{
    CPasscodeDialog dialog(this);
    dialog.DoModalWithSettings(m_settings);
}

void CBasicParameterDialog::OnModbus()
{
    CModbusDialog dialog(this);
    dialog.DoModalWithSettings(m_settings);
}

void CBasicParameterDialog::OnPulse1()
{
    OnPulse(0);
}

void CBasicParameterDialog::OnPulse2()
{
    OnPulse(1);
}

void CBasicParameterDialog::OnPulse(int output)
{
    // The weights offered follow the wiring and ratings in the edits.
    StoreControls(false);
    CPulseDialog dialog(this);
    dialog.DoModalForOutput(output, m_settings);
}

void CBasicParameterDialog::OnLanguage()
{
    StoreControls(false);
    const QString japanese = QStringLiteral("Japanese.lng");
    g_appSettings.DisplayLanguage = g_appSettings.GetDisplayLanguage() == japanese ? QStringLiteral("English.lng")
                                                                                  : japanese;
    g_appSettings.Save();
    g_settings = m_settings;
    EndDialog(IDOK);
}
