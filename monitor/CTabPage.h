#pragma once
// A page laid on a tab control's display area: a dialog template shown as a
// plain child widget of the window that holds the tab. Enter and Esc are
// the holding window's keys; the page itself never ends or hides.
#include "platform/CDialog.h"

class CTabPage : public CDialog
{
    Q_OBJECT
public:
    explicit CTabPage(int templateId);

    // Makes the page a child of parent, runs its start-up and shows it.
    void Create(QWidget* parent);

protected:
    void OnOK() override {}
    void OnCancel() override {}
    void keyPressEvent(QKeyEvent* event) override;
};
