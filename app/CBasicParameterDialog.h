#pragma once
// The main window: the parameter set the user edits, the
// unit model in three levels, the wiring system, the transformer ratings,
// the analog-output overview, and the commands that talk to the unit or to
// files. The application runs it once per language.
#include "CInput2Page.h"
#include "ModelChoice.h"
#include "foundation/CResourceManager.h"
#include "params/CSettings.h"
#include "params/CSettingsStocker.h"
#include "platform/CDialog.h"

#include <QIcon>

#include <memory>
#include <utility>
#include <vector>

class CModbusInterface;
class CMyDalvexDlg;
class QComboBox;
class QLineEdit;
class QPushButton;
class QTableWidget;

class CBasicParameterDialog : public CDialog, private CResourceManager
{
    Q_OBJECT
public:
    static constexpr int IDD = 132;
    // Command buttons.
    static constexpr int IDC_UPLOAD = 1032;
    static constexpr int IDC_DOWNLOAD = 1033;
    static constexpr int IDC_PROTECT = 1040;
    static constexpr int IDC_REPORT = 1034;
    static constexpr int IDC_SAVE_FILE = 1038;
    static constexpr int IDC_OPEN_FILE = 1039;
    static constexpr int IDC_MONITOR = 1037;
    static constexpr int IDC_LANGUAGE = 1045;
    // The model in three levels.
    static constexpr int IDC_MODEL_LABEL = 1159;
    static constexpr int IDC_MODEL1 = 1054;
    static constexpr int IDC_MODEL2 = 1056;
    static constexpr int IDC_MODEL3 = 1057;
    // The "Input" frame: wiring system, transformer ratings and input range.
    static constexpr int IDC_INPUT_GROUP = 1160;
    static constexpr int IDC_SYSTEM_LABEL = 1161;
    static constexpr int IDC_SYSTEM = 1047;
    static constexpr int IDC_VT_LABEL = 1148;
    static constexpr int IDC_VT_PRIMARY_LABEL = 1163;
    static constexpr int IDC_VT_PRIMARY = 1048;
    static constexpr int IDC_VT_SECONDARY_LABEL = 1164;
    static constexpr int IDC_VT_SECONDARY = 1049;
    static constexpr int IDC_RANGE_LABEL = 1098;
    static constexpr int IDC_RANGE = 1018;
    static constexpr int IDC_RANGE_UNIT = 1099;
    static constexpr int IDC_CT_LABEL = 1162;
    static constexpr int IDC_CT_PRIMARY_LABEL = 1165;
    static constexpr int IDC_CT_PRIMARY = 1050;
    static constexpr int IDC_CT_SECONDARY_LABEL = 1166;
    static constexpr int IDC_CT_SECONDARY = 1017;
    // The setting dialogs' frames and buttons.
    static constexpr int IDC_OPTION_GROUP = 1184;
    static constexpr int IDC_PASSCODE = 1031;
    static constexpr int IDC_MODBUS = 1035;
    static constexpr int IDC_OTHERS = 1030;
    static constexpr int IDC_PULSE_GROUP = 1183;
    static constexpr int IDC_PULSE1 = 1036;
    static constexpr int IDC_PULSE2 = 1041;
    // The analog-output overview.
    static constexpr int IDC_ANALOG_GROUP = 1167;
    static constexpr int IDC_ANALOG_OUTPUTS = 1158;

    explicit CBasicParameterDialog(QWidget* parent = nullptr);
    ~CBasicParameterDialog() override;

    // Parameter set -> controls.
    void UpdateControls();
    // Controls -> parameter set; throws CPrivateException on bad input, with
    // the edit focused and its text selected. The words stored before the
    // failing one stay stored.
    void StoreControls(bool keepType);

    void BuildModelList();
    void ApplyModelSelection();
    void UpdateAnalogOutputList();

    // Connection step of every command that talks to the unit: false when
    // the user cancelled or the settings could not be handed to the link.
    bool SelectConnection(CModbusInterface& link);

    // The commands (each runs through RunCommand when a button calls it).
    void OnUpload();
    void OnDownload();
    void OnProtect();
    void OnReport();
    void OnSaveFile();
    void OnOpenFile();
    void OnLanguage();
    // The live monitor on a link of its own; this window hides while it runs.
    void OnMonitor();
    // The setting dialogs: each edits the window's set, which changes only on OK.
    void OnOthers();
    void OnPasscode();
    void OnModbus();
    void OnPulse1();
    void OnPulse2();
    // The analog-output row opened (double click, or Enter on the list):
    // the channel of the first selected row in the analog-output dialog.
    void OnAnalogOutputRow();
    // The close box: the set goes to g_settings and the run ends with 0.
    void OnCloseRequest();

    const CSettings& GetSettings() const { return m_settings; }
    CSettings& GetSettings() { return m_settings; }
    // One row of the window's rating and range edits.
    struct InputField;
    // The level-1, level-2 and level-3 texts of the chosen model.
    QString GetModelText(int level) const;

protected:
    // The monitor command's window (tests give one of their own).
    virtual std::unique_ptr<CMyDalvexDlg> CreateMonitorWindow();

    bool OnInitDialog() override;
    // Enter opens the analog-output row while the list has the focus and
    // runs nothing else; Esc does nothing; only the close box ends a run.
    void OnOK() override;
    void OnCancel() override;
    void closeEvent(QCloseEvent* event) override;
    bool eventFilter(QObject* watched, QEvent* event) override;

private:
    void CreateControls();
    void SetUpAnalogOutputList();
    void ConnectControls();
    void ConnectCommand(int id, void (CBasicParameterDialog::*handler)());
    void OnPulse(int output);
    void SetToolTips();
    void FitAnalogOutputColumns();
    void ShowModelOfSet();
    bool ShowsModelOfSet() const;
    void RefillLevel2();
    void RefillLevel3();
    void OnModelLevelChosen(int level);
    void OnSystemChosen();
    // The check while typing: a value in range is taken at once, anything
    // else is dropped without a word.
    void OnInputTyped(const InputField& field);
    QLineEdit* InputEdit(const InputField& field) const;

    CSettings m_settings;
    CSettingsStocker m_stocker;
    ModelChoiceList m_modelList;
    QString m_model[3];
    // The set's unit type is carried by no entry of the model list, so the
    // boxes show the first entry only as a stand-in.
    bool m_modelIsStandIn = false;
    CInput2Page m_inputPage;
    QIcon m_icon;
    // The captions the template gives the labels, buttons and frames: each
    // run starts from them, as a window built afresh from its template would.
    std::vector<std::pair<QWidget*, QString>> m_templateTexts;

    QComboBox* m_system = nullptr;
    QComboBox* m_level[3] = {nullptr, nullptr, nullptr};
    QTableWidget* m_analogOutputs = nullptr;
    QLineEdit* m_vtPrimary = nullptr;
    QLineEdit* m_vtSecondary = nullptr;
    QLineEdit* m_range = nullptr;
    QLineEdit* m_ctPrimary = nullptr;
    QLineEdit* m_ctSecondary = nullptr;
    bool m_controlsReady = false;
};
