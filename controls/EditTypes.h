#pragma once
// How an in-place edit ended, and where the grid's selection goes next.

enum class EditDirection : int
{
    None = 0,
    Down = 1,
    Up = 2,
    Left = 3,
    Right = 4,
};

enum class EditResult : int
{
    None = 0,       // cancelled, or the owner has already taken the value
    ListChoice = 1, // a choice from the drop-down list
    Text = 2,       // a text from the edit box
};
