#pragma once
// The dialog base of the program: a QDialog that behaves as the program's
// dialogs are meant to. DoModal runs OnInitDialog, then the modal loop, and
// returns IDOK, IDCANCEL or the value passed to EndDialog. Esc and the
// close box reach OnCancel; Enter reaches OnOK unless the focus is on a push
// button (which is then pressed). Push buttons are never auto-default: only
// a button set with SetDefaultButton reacts to Enter.
// OnOK and OnCancel may throw: the failure is shown in one error box and the
// dialog stays open and modal. Hiding the dialog during its modal run does
// not end the run: DoModal returns only after EndDialog.
#include "WinTypes.h"

#include <QDialog>

class QAbstractButton;
class QPushButton;

class CDialog : public QDialog
{
    Q_OBJECT
public:
    // templateId names the window (its IDD, the key of its texts in the
    // language file); the derived class looks its texts up by it, the base
    // keeps nothing of it.
    explicit CDialog(int templateId, QWidget* parent = nullptr);
    ~CDialog() override;

    int DoModal();
    void EndDialog(int result);
    // The result of the last modal run.
    int GetResult() const { return m_result; }

    QWidget* GetDlgItem(int id) const;
    template <class T> T* GetDlgItemAs(int id) const { return qobject_cast<T*>(GetDlgItem(id)); }
    QString GetDlgItemText(int id) const;
    void SetDlgItemText(int id, const QString& text);
    bool IsDlgButtonChecked(int id) const;
    void CheckDlgButton(int id, bool checked);

    // Gives the control its id (and takes it as a child when it has no parent).
    template <class T> T* AddControl(T* control, int id)
    {
        RegisterControl(control, id);
        return control;
    }
    void SetDefaultButton(QPushButton* button);

protected:
    // Called once per DoModal before the window shows; the texts and
    // contents are set here.
    virtual bool OnInitDialog() { return true; }
    virtual void OnOK() { EndDialog(IDOK); }
    virtual void OnCancel() { EndDialog(IDCANCEL); }

    void accept() override;
    void reject() override;
    void keyPressEvent(QKeyEvent* event) override;
    void showEvent(QShowEvent* event) override;

private:
    void RegisterControl(QWidget* control, int id);
    void GuardedOK();
    void GuardedCancel();
    // Waits while the dialog is hidden inside its run, until it shows again or ends.
    void WaitWhileHidden();

    int m_result = IDCANCEL;
    bool m_ending = false;
    class QEventLoop* m_hiddenWait = nullptr;
};
