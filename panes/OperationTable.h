#pragma once

#include <span>

#include "ui/Pane.h"

// One operation of the toolbox: its code, the pane it opens and its line in the operation list.
struct TOperation {
    int code;            // -1: a line that opens no pane (the software updater)
    TPaneFactory makePane;
    const wchar_t* line;  // its text in the operation list
    const wchar_t* hint;  // nullptr: none
};

// Every operation, in the order of the operation list; the code dispatch and the list both read it.
std::span<const TOperation> Operations();
// The pane of a code, or nullptr for a code that opens none.
TPaneFactory PaneForCode(int code);
