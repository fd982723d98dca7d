#include "CObserverDialog.h"

#include "platform/RunCommand.h"

#include <QMetaObject>

CObserverDialog::CObserverDialog(int templateId, QWidget* parent) : CDialog(templateId, parent) {}

void CObserverDialog::Update(CObservable* notifier)
{
    // Queued to the dialog's own thread; Qt drops the call when the dialog
    // is destroyed before it runs.
    const auto lParam = reinterpret_cast<LPARAM>(notifier);
    QMetaObject::invokeMethod(
        this, [this, lParam] { OnUpdateObserverMessage(0, lParam); }, Qt::QueuedConnection);
}

LRESULT CObserverDialog::OnUpdateObserverMessage(WPARAM, LPARAM lParam)
{
    // Runs from the event loop: a failure is shown here, never thrown into Qt.
    RunCommand(this, [this, lParam] { OnUpdateObserver(reinterpret_cast<CObservable*>(lParam)); });
    return 0;
}
