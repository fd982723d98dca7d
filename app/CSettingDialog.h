#pragma once
// Base of the setting dialogs: each edits a private copy of its caller's
// parameter set, which goes back to the caller only when the dialog ends
// with OK. A rejected value in OnOK throws; the dialog base shows it and
// the dialog stays open, so the caller never sees a half-stored copy.
// None of them can be resized: they have the program's dialog frame.
#include "params/CSettings.h"
#include "platform/CDialog.h"

class QComboBox;
class QHBoxLayout;
class QLabel;
class QLineEdit;

class CSettingDialog : public CDialog
{
    Q_OBJECT
public:
    explicit CSettingDialog(int templateId, QWidget* parent = nullptr);

    const CSettings& GetSettings() const { return m_settings; }

protected:
    // Copies the set in, runs the dialog and copies it back on OK (then true).
    bool RunOnSettings(CSettings& settings);

    // A static text and a short number edit, each under its control id.
    QLabel* AddLabel(int id, const char* text);
    QLineEdit* AddEdit(int id, int maximumWidth = 80);

    // The OK (default) and Cancel buttons, right-aligned in one row.
    QHBoxLayout* CreateButtonRow(const QString& okText, const QString& cancelText);

    // The edit's checked number; a rejected text is left focused and
    // selected for correcting before the failure goes on to the caller.
    int ValidateEdit(int id, int minimum, int maximum, int scale, const QString& parameterKey);

    // Selects the index, or nothing when the list has no such entry.
    static void SelectIndex(QComboBox* combo, int index);
    // A list without a selection leaves its word as it was: "none" would
    // otherwise reach the unit as 65535.
    void StoreSelection(int word, const QComboBox* combo, int firstValue = 0);

    CSettings m_settings;
};
