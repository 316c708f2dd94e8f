#pragma once

#include <windows.h>

#include <cstdint>
#include <string>
#include <vector>

#include "ui/ModalUi.h"

// The program's one message dialog.
class TMessageBox {
public:
    TMessageBox();

    std::wstring Caption;
    std::wstring Instruction;
    std::wstring Content;
    std::wstring ExpandedText;
    std::wstring CollapsedControlText;
    std::wstring ExpandedControlText;
    std::wstring VerificationText;
    std::vector<zz::TaskDialogButton> Buttons;
    int DefaultButton = 0;
    int IconKind = 0;
    int HelpContext = 0;

    int ModalResult = 0;  // identifier of the pressed button
    bool VerificationChecked = false;

    void AddButton(const std::wstring& caption);  // identifiers 100, 101, 102 in the order added
    void Execute(HWND parent);
};

// Captions of button set 1..6 in the order they are added; any other set has none.
std::vector<std::wstring> MessageBoxButtonCaptions(std::uint8_t buttonSet);
// The dialog result (1 OK, 2 Cancel, 3 Abort, 4 Retry, 5 Ignore, 6 Yes, 7 No) for a pressed button identifier.
int MessageBoxResult(std::uint8_t buttonSet, int buttonId);
// The sound code played before a dialog with this icon kind (0 for none).
UINT MessageBoxSound(std::uint8_t iconKind);

int ShowMessageBox(const std::wstring& caption, const std::wstring& instruction, const std::wstring& content,
                   const std::wstring& expandedText, std::uint8_t iconKind, std::uint8_t buttonSet,
                   std::uint8_t defaultButton, bool showCheckBox, bool& checkBoxResult, std::int32_t helpContext);
