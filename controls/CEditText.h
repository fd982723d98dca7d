#pragma once
// The in-place edit box: reports to its observers how an edit ended (commit
// flag and move direction), by Enter, Down, Up, Left or Right at the ends of
// the text, or by the user leaving the cell.
#include "EditTypes.h"
#include "foundation/CObservable.h"
#include "platform/WinTypes.h"

#include <QLineEdit>

class CEditText : public QLineEdit, public CObservable
{
    Q_OBJECT
public:
    explicit CEditText(QWidget* parent = nullptr);

    // Set by every report before the observers run.
    bool IsCommitted() const { return m_commit; }
    EditDirection GetDirection() const { return m_direction; }

    // Feeds one character to the box as if typed (the character that began
    // the edit in the grid), so that it replaces the selected text.
    void SendChar(UINT character);
    // Hides the box without reporting; the focus goes back to the grid
    // rather than on to the dialog's next control.
    void HideEditor();

protected:
    void keyPressEvent(QKeyEvent* event) override;
    void focusOutEvent(QFocusEvent* event) override;
    void showEvent(QShowEvent* event) override;
    void mousePressEvent(QMouseEvent* event) override;
    void mouseDoubleClickEvent(QMouseEvent* event) override;

private:
    void Report(bool commit, EditDirection direction);

    bool m_commit = false;
    EditDirection m_direction = EditDirection::None;
    bool m_hiding = false;
    // Presses since the box was last shown: a double click whose first
    // click opened the box brings it only one.
    int m_pressesSinceShown = 0;
};
