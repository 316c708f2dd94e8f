#include "ui/Message_UNT.h"

#include "ui/Application.h"

namespace {
const wchar_t* const kOk = L"تأييـد";
const wchar_t* const kCancel = L"انصراف";
const wchar_t* const kNo = L"خير";
const wchar_t* const kYes = L"بله";
const wchar_t* const kRetry = L"تلاش مجدد";
const wchar_t* const kAbort = L"توقف";
const wchar_t* const kIgnore = L"صرف نظر";
}  // namespace

TMessageBox::TMessageBox()
    : CollapsedControlText(L"نمايش راهنمايي بيشتر"),
      ExpandedControlText(L"بستن راهنمايي بيشتر"),
      VerificationText(L"اين سوال دوباره پرسيده نشود") {}

void TMessageBox::AddButton(const std::wstring& caption) {
    Buttons.push_back({100 + static_cast<int>(Buttons.size()), caption});
}

void TMessageBox::Execute(HWND parent) {
    zz::TaskDialogRequest request;
    request.title = Caption;
    request.instruction = Instruction;
    request.content = Content;
    request.expandedText = ExpandedText;
    request.collapsedControlText = CollapsedControlText;
    request.expandedControlText = ExpandedControlText;
    request.verificationText = VerificationText;
    request.buttons = Buttons;
    request.defaultButton = DefaultButton;
    request.iconKind = IconKind;
    request.helpContext = HelpContext;
    zz::TaskDialogAnswer answer = zz::CurrentModalUi().TaskDialog(parent, request);
    ModalResult = answer.buttonId;
    VerificationChecked = answer.verificationChecked;
}

std::vector<std::wstring> MessageBoxButtonCaptions(std::uint8_t buttonSet) {
    switch (buttonSet) {
        case 1:
            return {kOk};
        case 2:
            return {kCancel, kOk};
        case 3:
            return {kNo, kYes};
        case 4:
            return {kCancel, kNo, kYes};
        case 5:
            return {kCancel, kRetry};
        case 6:
            return {kAbort, kRetry, kIgnore};
        default:
            return {};
    }
}

int MessageBoxResult(std::uint8_t buttonSet, int id) {
    switch (buttonSet) {
        case 1:
            return IDOK;
        case 2:
            return id == 100 || id == IDCANCEL ? IDCANCEL : id == 101 ? IDOK : id;
        case 3:
            return id == 100 || id == IDCANCEL ? IDNO : id == 101 ? IDYES : id;
        case 4:
            return id == 100 || id == IDCANCEL ? IDCANCEL : id == 101 ? IDNO : id == 102 ? IDYES : id;
        case 5:
            return id == 100 || id == IDCANCEL ? IDCANCEL : id == 101 ? IDRETRY : id;
        case 6:
            return id == 100 ? IDABORT : id == 101 ? IDRETRY : id == 102 || id == IDCANCEL ? IDIGNORE : id;
        default:
            return id;
    }
}

UINT MessageBoxSound(std::uint8_t iconKind) {
    switch (iconKind) {
        case 1:
            return MB_ICONASTERISK;
        case 2:
            return MB_ICONEXCLAMATION;
        case 3:
            return MB_ICONHAND;
        case 4:
            return MB_ICONQUESTION;
        default:
            return 0;
    }
}

int ShowMessageBox(const std::wstring& caption, const std::wstring& instruction, const std::wstring& content,
                   const std::wstring& expandedText, std::uint8_t iconKind, std::uint8_t buttonSet,
                   std::uint8_t defaultButton, bool showCheckBox, bool& checkBoxResult, std::int32_t helpContext) {
    TMessageBox box;
    box.Caption = caption.empty() ? L" " : caption;
    box.Instruction = instruction;
    box.Content = content;
    box.ExpandedText = expandedText;
    if (helpContext != 0) box.HelpContext = helpContext;
    if (!showCheckBox) box.VerificationText.clear();
    box.DefaultButton = defaultButton + 99;
    box.IconKind = iconKind >= 1 && iconKind <= 4 ? iconKind : 0;
    for (const auto& text : MessageBoxButtonCaptions(buttonSet)) box.AddButton(text);
    if (UINT sound = MessageBoxSound(iconKind)) MessageBeep(sound);
    box.Execute(zz::Application::DialogParent());
    int result = MessageBoxResult(buttonSet, box.ModalResult);
    checkBoxResult = showCheckBox && box.VerificationChecked;
    return result;
}
