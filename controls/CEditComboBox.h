#pragma once
// The in-place drop-down list: reports to its observers how an edit ended.
// A choice accepted in the list commits; a list closed without a choice, or
// the user leaving the cell, cancels; Left and Right commit and move.
#include "EditTypes.h"
#include "foundation/CObservable.h"

#include <QComboBox>

class CEditComboBox : public QComboBox, public CObservable
{
    Q_OBJECT
public:
    explicit CEditComboBox(QWidget* parent = nullptr);

    // Set by every report before the observers run.
    bool IsCommitted() const { return m_commit; }
    EditDirection GetDirection() const { return m_direction; }

    void showPopup() override;
    // Hides the list without reporting; the focus goes back to the grid.
    void HideEditor();

protected:
    void keyPressEvent(QKeyEvent* event) override;
    void focusOutEvent(QFocusEvent* event) override;
    bool eventFilter(QObject* watched, QEvent* event) override;

private:
    void OnActivated(int index);
    void OnPopupHidden(int session);
    void Report(bool commit, EditDirection direction);

    bool m_commit = false;
    EditDirection m_direction = EditDirection::None;
    bool m_hiding = false;
    // Each opening of the list is a session; a session that closes without
    // a report was cancelled.
    int m_popupSession = 0;
    int m_reportedSession = -1;
};
