#include "InPlaceEditRules.h"

std::optional<EditEnd> EditTextKeyEnd(int key, int selectionStart, int selectionEnd, int textLength)
{
    switch (key) {
    case Qt::Key_Return:
    case Qt::Key_Enter:
        return EditEnd{true, EditDirection::None};
    case Qt::Key_Down:
        return EditEnd{true, EditDirection::Down};
    case Qt::Key_Up:
        return EditEnd{true, EditDirection::Up};
    case Qt::Key_Left:
        if (selectionStart == 0 && selectionEnd == 0)
            return EditEnd{true, EditDirection::Left};
        return std::nullopt;
    case Qt::Key_Right:
        if (selectionStart == textLength && selectionEnd == textLength)
            return EditEnd{true, EditDirection::Right};
        return std::nullopt;
    default:
        return std::nullopt;
    }
}

std::optional<EditEnd> ComboKeyEnd(int key)
{
    switch (key) {
    case Qt::Key_Left:
        return EditEnd{true, EditDirection::Left};
    case Qt::Key_Right:
        return EditEnd{true, EditDirection::Right};
    default:
        return std::nullopt;
    }
}

bool FocusLossEndsEdit(Qt::FocusReason reason, bool editorVisible)
{
    if (!editorVisible)
        return false;
    switch (reason) {
    case Qt::PopupFocusReason:
    case Qt::ActiveWindowFocusReason:
        return false;
    default:
        return true;
    }
}
