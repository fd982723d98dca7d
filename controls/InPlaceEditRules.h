#pragma once
// Which keys and which focus changes end an in-place edit. Plain functions,
// so the rules can be checked without a display.
#include "EditTypes.h"

#include <Qt>

#include <optional>

struct EditEnd
{
    bool commit = false;
    EditDirection direction = EditDirection::None;
};

// The edit box: Enter commits in place, Down and Up commit and move, Left
// and Right commit and move only from the matching end of the text with
// nothing selected (so they move the caret inside the text until then).
// The selection is given as the box answers a get-selection request: both
// ends at the caret when nothing is selected. None: the key goes to the box
// as usual.
std::optional<EditEnd> EditTextKeyEnd(int key, int selectionStart, int selectionEnd, int textLength);

// The drop-down list: Left and Right commit the current choice and move.
std::optional<EditEnd> ComboKeyEnd(int key);

// A focus loss cancels an edit only when the user left the cell. The list
// of a drop-down opening, or an error box or another window taking the
// activation, is not the user leaving: the editor keeps its edit and gets
// the focus back when the box closes.
bool FocusLossEndsEdit(Qt::FocusReason reason, bool editorVisible);
