#pragma once
// What a rating edit accepts, and the parameter name its rejection gives.
struct InputRange
{
    int minimum;
    int maximum;
    const char* key;
};

// The CT primary: the main window's edit and the input page's cells take the same.
inline constexpr InputRange INPUT_CT1_RANGE{1, 20000, "INPUT_CT1"};
