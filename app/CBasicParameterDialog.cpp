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

namespace {

constexpr int IDD_BASIC_PARAMETER = 132;

// Command buttons.
constexpr int IDC_UPLOAD = 1032;
constexpr int IDC_DOWNLOAD = 1033;
constexpr int IDC_PROTECT = 1040;
constexpr int IDC_REPORT = 1034;
constexpr int IDC_SAVE_FILE = 1038;
constexpr int IDC_OPEN_FILE = 1039;
constexpr int IDC_MONITOR = 1037;
constexpr int IDC_LANGUAGE = 1045;
// Setting dialogs' buttons.
constexpr int IDC_PASSCODE = 1031;
constexpr int IDC_MODBUS = 1035;
constexpr int IDC_OTHERS = 1030;
constexpr int IDC_PULSE1 = 1036;
constexpr int IDC_PULSE2 = 1041;
// Boxes, edits and the list.
constexpr int IDC_MODEL1 = 1054;
constexpr int IDC_MODEL2 = 1056;
constexpr int IDC_MODEL3 = 1057;
constexpr int IDC_SYSTEM = 1047;
constexpr int IDC_VT_PRIMARY = 1048;
constexpr int IDC_VT_SECONDARY = 1049;
constexpr int IDC_RANGE = 1018;
constexpr int IDC_CT_PRIMARY = 1050;
constexpr int IDC_CT_SECONDARY = 1017;
constexpr int IDC_ANALOG_OUTPUTS = 1158;

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
    {IDC_UPLOAD, "TT_UPLOAD"},
    {IDC_DOWNLOAD, "TT_DOWNLOAD"},
    {IDC_PROTECT, "TT_PROTECT"},
    {IDC_REPORT, "TT_COMPARE"},
    {IDC_SAVE_FILE, "TT_SAVE_FILE"},
    {IDC_OPEN_FILE, "TT_OPEN_FILE"},
    {IDC_MONITOR, "TT_MONITOR"},
    {IDC_LANGUAGE, "TT_LANG"},
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
    {IDC_VT_PRIMARY, PARAMETER_INPUT_VT1, true, {50, 400000, "INPUT_VT1"}, false},
    {IDC_VT_SECONDARY, PARAMETER_INPUT_VT2, false, {50, 480, "INPUT_VT2"}, true},
    {IDC_CT_PRIMARY, PARAMETER_INPUT_CT1, false, INPUT_CT1_RANGE, false},
    {IDC_CT_SECONDARY, PARAMETER_INPUT_CT2, false, {1, 5, "INPUT_CT2"}, true},
    {IDC_RANGE, PARAMETER_INPUT_V_RANGE, false, {50, 480, "INPUT_V_RANGE"}, true},
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
    : CDialog(IDD_BASIC_PARAMETER, parent)
{
    m_icon = LoadAppIcon();
    // A caption with the system menu and a minimise box; no OK or Cancel button.
    UseDialogFrame(this, FrameBoxes::MinimizeAndClose);
    CreateControls();
}

CBasicParameterDialog::~CBasicParameterDialog() = default;

void CBasicParameterDialog::CreateControls()
{
    auto button = [this](int id, const char* text) {
        auto* b = AddControl(new QPushButton(QString::fromLatin1(text), this), id);
        b->setAutoDefault(false);
        return b;
    };
    auto label = [this](int id, const char* text) {
        auto* l = new QLabel(QString::fromLatin1(text), this);
        return id ? AddControl(l, id) : l;
    };
    auto edit = [this](int id) {
        auto* e = AddControl(new QLineEdit(this), id);
        e->setMaximumWidth(110);
        return e;
    };
    auto combo = [this](int id) {
        auto* c = AddControl(new QComboBox(this), id);
        c->setSizeAdjustPolicy(QComboBox::AdjustToMinimumContentsLengthWithIcon);
        c->setMinimumContentsLength(12);
        return c;
    };

    auto* commands = new QHBoxLayout;
    for (auto [id, text] : std::array<std::pair<int, const char*>, 8>{{{IDC_UPLOAD, "Upload"},
                                                                      {IDC_DOWNLOAD, "Download"},
                                                                      {IDC_PROTECT, "Protect"},
                                                                      {IDC_REPORT, "Report"},
                                                                      {IDC_SAVE_FILE, "Save File"},
                                                                      {IDC_OPEN_FILE, "Open File"},
                                                                      {IDC_MONITOR, "Monitor"},
                                                                      {IDC_LANGUAGE, "Language"}}})
        commands->addWidget(button(id, text));
    // The template creates the monitor's button hidden and nothing shows it.
    FindControl(this, IDC_MONITOR)->setVisible(false);
    commands->addStretch();

    auto* model = new QHBoxLayout;
    model->addWidget(label(1159, "Model"));
    m_level[0] = combo(IDC_MODEL1);
    m_level[1] = combo(IDC_MODEL2);
    m_level[2] = combo(IDC_MODEL3);
    for (QComboBox* box : m_level)
        model->addWidget(box, 1);

    auto* input = AddControl(new QGroupBox(QStringLiteral("Input"), this), 1160);
    auto* inputGrid = new QGridLayout(input);
    inputGrid->addWidget(label(1161, "System"), 0, 0);
    m_system = combo(IDC_SYSTEM);
    inputGrid->addWidget(m_system, 0, 1, 1, 5);
    inputGrid->addWidget(label(1148, "VT rating"), 1, 0);
    inputGrid->addWidget(label(1163, "Primary"), 1, 1);
    m_vtPrimary = edit(IDC_VT_PRIMARY);
    inputGrid->addWidget(m_vtPrimary, 1, 2);
    inputGrid->addWidget(label(0, "V"), 1, 3);
    inputGrid->addWidget(label(1164, "Secondary"), 1, 4);
    m_vtSecondary = edit(IDC_VT_SECONDARY);
    inputGrid->addWidget(m_vtSecondary, 1, 5);
    inputGrid->addWidget(label(0, "V"), 1, 6);
    inputGrid->addWidget(label(1098, "Range"), 2, 4);
    m_range = edit(IDC_RANGE);
    inputGrid->addWidget(m_range, 2, 5);
    inputGrid->addWidget(label(1099, "V"), 2, 6);
    inputGrid->addWidget(label(1162, "CT rating"), 3, 0);
    inputGrid->addWidget(label(1165, "Primary"), 3, 1);
    m_ctPrimary = edit(IDC_CT_PRIMARY);
    inputGrid->addWidget(m_ctPrimary, 3, 2);
    inputGrid->addWidget(label(0, "A"), 3, 3);
    inputGrid->addWidget(label(1166, "Secondary"), 3, 4);
    m_ctSecondary = edit(IDC_CT_SECONDARY);
    inputGrid->addWidget(m_ctSecondary, 3, 5);
    inputGrid->addWidget(label(0, "A"), 3, 6);
    inputGrid->setColumnStretch(7, 1);

    auto* option = AddControl(new QGroupBox(QStringLiteral("Option"), this), 1184);
    auto* optionRow = new QHBoxLayout(option);
    optionRow->addWidget(button(IDC_PASSCODE, "Passcode"));
    optionRow->addWidget(button(IDC_MODBUS, "Modbus"));
    optionRow->addWidget(button(IDC_OTHERS, "Others"));
    auto* pulse = AddControl(new QGroupBox(QStringLiteral("Pulse Output"), this), 1183);
    auto* pulseRow = new QHBoxLayout(pulse);
    pulseRow->addWidget(button(IDC_PULSE1, "Po1"));
    pulseRow->addWidget(button(IDC_PULSE2, "Po2"));
    auto* settings = new QHBoxLayout;
    settings->addWidget(option);
    settings->addWidget(pulse);
    settings->addStretch();

    auto* analog = AddControl(new QGroupBox(QStringLiteral("Analog Output"), this), 1167);
    auto* analogBox = new QVBoxLayout(analog);
    m_analogOutputs = AddControl(new QTableWidget(this), IDC_ANALOG_OUTPUTS);
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
    analogBox->addWidget(m_analogOutputs);
    m_analogOutputs->viewport()->installEventFilter(this);

    auto* page = new QVBoxLayout(this);
    page->addLayout(commands);
    page->addLayout(model);
    page->addWidget(input);
    page->addLayout(settings);
    page->addWidget(analog, 1);
    resize(760, 600);

    for (QWidget* control : DialogControls(this)) {
        if (qobject_cast<QLabel*>(control) || qobject_cast<QAbstractButton*>(control) ||
            qobject_cast<QGroupBox*>(control))
            m_templateTexts.emplace_back(control, GetWindowText(control));
    }

    ConnectCommand(IDC_UPLOAD, &CBasicParameterDialog::OnUpload);
    ConnectCommand(IDC_DOWNLOAD, &CBasicParameterDialog::OnDownload);
    ConnectCommand(IDC_PROTECT, &CBasicParameterDialog::OnProtect);
    ConnectCommand(IDC_REPORT, &CBasicParameterDialog::OnReport);
    ConnectCommand(IDC_SAVE_FILE, &CBasicParameterDialog::OnSaveFile);
    ConnectCommand(IDC_OPEN_FILE, &CBasicParameterDialog::OnOpenFile);
    ConnectCommand(IDC_LANGUAGE, &CBasicParameterDialog::OnLanguage);
    ConnectCommand(IDC_MONITOR, &CBasicParameterDialog::OnMonitor);
    ConnectCommand(IDC_OTHERS, &CBasicParameterDialog::OnOthers);
    ConnectCommand(IDC_PASSCODE, &CBasicParameterDialog::OnPasscode);
    ConnectCommand(IDC_MODBUS, &CBasicParameterDialog::OnModbus);
    ConnectCommand(IDC_PULSE1, &CBasicParameterDialog::OnPulse1);
    ConnectCommand(IDC_PULSE2, &CBasicParameterDialog::OnPulse2);

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
    g_resourceDatabase.ApplyDialogTexts(IDD_BASIC_PARAMETER, this);
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
    if (!CheckPasscode(link, 1, this))
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
