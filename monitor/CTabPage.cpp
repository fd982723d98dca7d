#include "CTabPage.h"

#include <QKeyEvent>

CTabPage::CTabPage(int templateId)
    : CDialog(templateId, nullptr)
{
    setWindowFlags(Qt::Widget);
}

void CTabPage::Create(QWidget* parent)
{
    setParent(parent, Qt::Widget);
    OnInitDialog();
    show();
}

void CTabPage::keyPressEvent(QKeyEvent* event)
{
    switch (event->key()) {
    case Qt::Key_Return:
    case Qt::Key_Enter:
    case Qt::Key_Escape:
        // Up to the window that holds the tab.
        event->ignore();
        return;
    default:
        CDialog::keyPressEvent(event);
    }
}
