#pragma once
// A dialog that observes objects which may notify from worker threads:
// Update only queues the notification to the dialog's own thread, where
// OnUpdateObserver runs. Worker threads never touch the window.
#include "CObserver.h"
#include "platform/CDialog.h"

class CObserverDialog : public CDialog, public CObserver
{
    Q_OBJECT
public:
    CObserverDialog(int templateId, QWidget* parent = nullptr);

    void Update(CObservable* notifier) override;

protected:
    LRESULT OnUpdateObserverMessage(WPARAM wParam, LPARAM lParam);
    virtual void OnUpdateObserver(CObservable* notifier) = 0;
};
