#include "ui/ModalUi.h"

#include "platform/MessageLoop.h"

#include <commctrl.h>
#include <commdlg.h>

#include "common/Handle.h"

namespace zz {
namespace {

SystemModalUi systemUi;
ModalUi* current = &systemUi;

using TaskDialogIndirectFn = HRESULT(WINAPI*)(const TASKDIALOGCONFIG*, int*, int*, BOOL*);

int FileMajorVersion(HMODULE module) {
    wchar_t path[MAX_PATH];
    DWORD n = GetModuleFileNameW(module, path, MAX_PATH);
    if (n == 0 || n == MAX_PATH) return 0;
    DWORD ignored = 0;
    DWORD size = GetFileVersionInfoSizeW(path, &ignored);
    if (size == 0) return 0;
    std::vector<BYTE> data(size);
    if (!GetFileVersionInfoW(path, 0, size, data.data())) return 0;
    VS_FIXEDFILEINFO* info = nullptr;
    UINT length = 0;
    if (!VerQueryValueW(data.data(), L"\\", reinterpret_cast<void**>(&info), &length) || !info) return 0;
    return HIWORD(info->dwFileVersionMS);
}

// Major version of the common-controls assembly that the program's manifest made active, 0 if none.
int ActiveCommonControlsAssemblyVersion() {
    ACTCTX_SECTION_KEYED_DATA data{};
    data.cbSize = sizeof data;
    if (!FindActCtxSectionStringW(FIND_ACTCTX_SECTION_KEY_RETURN_HACTCTX, nullptr,
                                  ACTIVATION_CONTEXT_SECTION_DLL_REDIRECTION, L"comctl32.dll", &data))
        return 0;
    int major = 0;
    DWORD index = data.ulAssemblyRosterIndex;
    SIZE_T needed = 0;
    QueryActCtxW(0, data.hActCtx, &index, AssemblyDetailedInformationInActivationContext, nullptr, 0, &needed);
    std::vector<BYTE> buffer(needed + sizeof(ACTIVATION_CONTEXT_ASSEMBLY_DETAILED_INFORMATION));
    if (needed && QueryActCtxW(0, data.hActCtx, &index, AssemblyDetailedInformationInActivationContext, buffer.data(),
                               buffer.size(), &needed)) {
        auto* info = reinterpret_cast<ACTIVATION_CONTEXT_ASSEMBLY_DETAILED_INFORMATION*>(buffer.data());
        std::wstring identity = info->lpAssemblyEncodedAssemblyIdentity ? info->lpAssemblyEncodedAssemblyIdentity : L"";
        auto at = identity.find(L"version=\"");
        if (at != std::wstring::npos) major = _wtoi(identity.c_str() + at + 9);
    }
    ReleaseActCtx(data.hActCtx);
    return major;
}

// The loaded library's file version says it; where that file carries an older number (as under Wine), the
// version of the side-by-side assembly it was loaded from does.
bool CommonControlsAtLeast6(HMODULE comctl) {
    return FileMajorVersion(comctl) >= 6 || ActiveCommonControlsAssemblyVersion() >= 6;
}

// Looked up for every call, so that a system without the task dialog still gets a dialog.
TaskDialogIndirectFn FindTaskDialog() {
    if (LOBYTE(LOWORD(GetVersion())) < 6) return nullptr;
    HMODULE comctl = GetModuleHandleW(L"comctl32.dll");
    if (!comctl) comctl = LoadLibraryW(L"comctl32.dll");
    if (!comctl || !CommonControlsAtLeast6(comctl)) return nullptr;
    return reinterpret_cast<TaskDialogIndirectFn>(GetProcAddress(comctl, "TaskDialogIndirect"));
}

PCWSTR MainIcon(int kind) {
    switch (kind) {
        case 1:
            return TD_INFORMATION_ICON;
        case 2:
            return TD_WARNING_ICON;
        case 3:
            return TD_ERROR_ICON;
        case 4:
            return IDI_QUESTION;
        default:
            return nullptr;
    }
}

PCWSTR OrNull(const std::wstring& text) {
    return text.empty() ? nullptr : text.c_str();
}

// Stand-in for the task dialog where the system has none: the same elements in a plain modal window.
class FallbackDialog {
public:
    explicit FallbackDialog(const TaskDialogRequest& request) : request_(request) {}

    TaskDialogAnswer Run(HWND parent) {
        static const ATOM atom = [] {
            WNDCLASSW wc{};
            wc.lpfnWndProc = &FallbackDialog::Proc;
            wc.hInstance = GetModuleHandleW(nullptr);
            wc.hCursor = LoadCursorW(nullptr, IDC_ARROW);
            wc.hbrBackground = reinterpret_cast<HBRUSH>(COLOR_BTNFACE + 1);
            wc.lpszClassName = L"ZZFallbackTaskDialog";
            return RegisterClassW(&wc);
        }();
        (void)atom;
        const int width = 420;
        int height = 150 + (request_.expandedText.empty() ? 0 : 90) + (request_.verificationText.empty() ? 0 : 24);
        RECT owner{};
        if (parent) GetWindowRect(parent, &owner);
        int x = parent ? owner.left + ((owner.right - owner.left) - width) / 2 : CW_USEDEFAULT;
        int y = parent ? owner.top + ((owner.bottom - owner.top) - height) / 2 : CW_USEDEFAULT;
        hwnd_ = CreateWindowExW(WS_EX_DLGMODALFRAME, L"ZZFallbackTaskDialog", request_.title.c_str(),
                                WS_POPUP | WS_CAPTION | WS_SYSMENU, x, y, width, height, parent, nullptr,
                                GetModuleHandleW(nullptr), this);
        if (!hwnd_) return {};
        unique_hwnd window(hwnd_);  // destroyed on every way out
        if (parent) EnableWindow(parent, FALSE);
        ShowWindow(hwnd_, SW_SHOWNORMAL);
        MSG msg;
        while (!done_ && GetMessageW(&msg, nullptr, 0, 0) > 0) {
            if (!IsDialogMessageW(hwnd_, &msg)) {
                TranslateMessage(&msg);
                DispatchMessageW(&msg);
            }
        }
        if (parent) EnableWindow(parent, TRUE);
        window.reset();
        if (parent) SetActiveWindow(parent);
        return answer_;
    }

private:
    static constexpr int kExpandId = 90, kCheckId = 91;

    static LRESULT CALLBACK Proc(HWND hwnd, UINT msg, WPARAM wp, LPARAM lp) {
        if (msg == WM_NCCREATE)
            SetWindowLongPtrW(hwnd, GWLP_USERDATA,
                              reinterpret_cast<LONG_PTR>(reinterpret_cast<CREATESTRUCTW*>(lp)->lpCreateParams));
        auto* self = reinterpret_cast<FallbackDialog*>(GetWindowLongPtrW(hwnd, GWLP_USERDATA));
        if (!self) return DefWindowProcW(hwnd, msg, wp, lp);
        switch (msg) {
            case WM_CREATE:
                self->Build(hwnd);
                return 0;
            case WM_COMMAND:
                if (LOWORD(wp) == kExpandId) {
                    self->ToggleExpanded();
                } else if (LOWORD(wp) >= 100 && LOWORD(wp) <= 102) {
                    self->answer_.buttonId = LOWORD(wp);
                    self->answer_.verificationChecked = IsDlgButtonChecked(hwnd, kCheckId) == BST_CHECKED;
                    self->done_ = true;
                    PostMessageW(hwnd, WM_NULL, 0, 0);
                }
                return 0;
            case WM_CLOSE:
                // Like the task dialog without cancellation, a button must be pressed; without buttons it closes.
                if (self->request_.buttons.empty()) {
                    self->answer_.buttonId = IDCANCEL;
                    self->done_ = true;
                    PostMessageW(hwnd, WM_NULL, 0, 0);
                }
                return 0;
        }
        return DefWindowProcW(hwnd, msg, wp, lp);
    }

    HWND Child(const wchar_t* cls, const std::wstring& text, DWORD style, int x, int y, int w, int h, int id) {
        HWND child =
            CreateWindowExW(0, cls, text.c_str(), WS_CHILD | WS_VISIBLE | style, x, y, w, h, hwnd_,
                            reinterpret_cast<HMENU>(static_cast<INT_PTR>(id)), GetModuleHandleW(nullptr), nullptr);
        SendMessageW(child, WM_SETFONT, reinterpret_cast<WPARAM>(GetStockObject(DEFAULT_GUI_FONT)), TRUE);
        return child;
    }

    void Build(HWND hwnd) {
        hwnd_ = hwnd;
        int y = 10;
        if (!request_.instruction.empty()) {
            Child(L"STATIC", request_.instruction, SS_LEFT, 56, y, 340, 20, -1);
            y += 24;
        }
        Child(L"STATIC", request_.content, SS_LEFT, 56, y, 340, 44, -1);
        if (HICON icon = request_.iconKind == 1   ? LoadIconW(nullptr, IDI_INFORMATION)
                         : request_.iconKind == 2 ? LoadIconW(nullptr, IDI_WARNING)
                         : request_.iconKind == 3 ? LoadIconW(nullptr, IDI_ERROR)
                         : request_.iconKind == 4 ? LoadIconW(nullptr, IDI_QUESTION)
                                                  : nullptr) {
            HWND picture = Child(L"STATIC", L"", SS_ICON, 12, 10, 32, 32, -1);
            SendMessageW(picture, STM_SETICON, reinterpret_cast<WPARAM>(icon), 0);
        }
        y += 50;
        if (!request_.expandedText.empty()) {
            expandButton_ =
                Child(L"BUTTON", request_.collapsedControlText, BS_PUSHBUTTON | WS_TABSTOP, 12, y, 200, 24, kExpandId);
            details_ = Child(L"STATIC", request_.expandedText, SS_LEFT, 12, y + 28, 384, 56, -1);
            ShowWindow(details_, SW_HIDE);
            y += 90;
        }
        if (!request_.verificationText.empty()) {
            Child(L"BUTTON", request_.verificationText, BS_AUTOCHECKBOX | WS_TABSTOP, 12, y, 300, 20, kCheckId);
            y += 24;
        }
        int x = 404 - 84 * static_cast<int>(request_.buttons.size());
        for (const auto& button : request_.buttons) {
            const bool noSuchDefault = request_.defaultButton < 100 ||
                                       request_.defaultButton >= 100 + static_cast<int>(request_.buttons.size());
            const bool isDefault =
                button.id == request_.defaultButton || (noSuchDefault && &button == &request_.buttons.front());
            HWND b = Child(L"BUTTON", button.caption, (isDefault ? BS_DEFPUSHBUTTON : BS_PUSHBUTTON) | WS_TABSTOP, x, y,
                           78, 26, button.id);
            if (isDefault) SetFocus(b);
            x += 84;
        }
    }

    void ToggleExpanded() {
        expanded_ = !expanded_;
        ShowWindow(details_, expanded_ ? SW_SHOW : SW_HIDE);
        SetWindowTextW(expandButton_,
                       (expanded_ ? request_.expandedControlText : request_.collapsedControlText).c_str());
    }

    const TaskDialogRequest& request_;
    HWND hwnd_ = nullptr;
    HWND expandButton_ = nullptr;
    HWND details_ = nullptr;
    bool expanded_ = false;
    bool done_ = false;
    TaskDialogAnswer answer_;
};

}  // namespace

ModalUi& CurrentModalUi() {
    return *current;
}

ModalUi* SetModalUi(ModalUi* ui) {
    ModalUi* before = current;
    current = ui ? ui : &systemUi;
    return before;
}

TaskDialogAnswer SystemModalUi::TaskDialog(HWND parent, const TaskDialogRequest& request) {
    if (MessageLoop::Terminating()) return {};  // the program is ending: no new modal UI
    TaskDialogIndirectFn taskDialogIndirect = FindTaskDialog();
    if (!taskDialogIndirect) return FallbackDialog(request).Run(parent);

    std::vector<TASKDIALOG_BUTTON> buttons;
    for (const auto& b : request.buttons) buttons.push_back({b.id, b.caption.c_str()});

    TASKDIALOGCONFIG config{};
    config.cbSize = sizeof config;
    config.hwndParent = parent;
    config.pszWindowTitle = request.title.c_str();
    config.pszMainIcon = MainIcon(request.iconKind);
    config.pszMainInstruction = OrNull(request.instruction);
    config.pszContent = OrNull(request.content);
    config.cButtons = static_cast<UINT>(buttons.size());
    config.pButtons = buttons.empty() ? nullptr : buttons.data();
    config.nDefaultButton = request.defaultButton;
    config.pszVerificationText = OrNull(request.verificationText);
    config.pszExpandedInformation = OrNull(request.expandedText);
    config.pszExpandedControlText = request.expandedControlText.c_str();
    config.pszCollapsedControlText = request.collapsedControlText.c_str();
    // Centred over its owner and shown as soon as it exists.
    config.pfCallback = [](HWND hwnd, UINT notification, WPARAM, LPARAM, LONG_PTR) -> HRESULT {
        if (notification == TDN_CREATED) {
            RECT dialog, owner;
            HWND ownerWindow = GetWindow(hwnd, GW_OWNER);
            if (ownerWindow && GetWindowRect(hwnd, &dialog) && GetWindowRect(ownerWindow, &owner)) {
                const int w = dialog.right - dialog.left, h = dialog.bottom - dialog.top;
                SetWindowPos(hwnd, nullptr, owner.left + (owner.right - owner.left - w) / 2,
                             owner.top + (owner.bottom - owner.top - h) / 2, 0, 0,
                             SWP_NOSIZE | SWP_NOZORDER | SWP_NOACTIVATE);
            }
            ShowWindow(hwnd, SW_SHOWNORMAL);
        }
        return S_OK;
    };

    TaskDialogAnswer answer;
    BOOL checked = FALSE;
    if (FAILED(taskDialogIndirect(&config, &answer.buttonId, nullptr, &checked))) {
        return FallbackDialog(request).Run(parent);
    }
    answer.verificationChecked = checked != FALSE;
    return answer;
}

void SystemModalUi::ShowMessage(HWND parent, const std::wstring& text, const std::wstring& title) {
    if (MessageLoop::Terminating()) return;  // the program is ending: no new modal UI
    MessageBoxW(parent, text.c_str(), title.c_str(), MB_OK);
}

void SystemModalUi::ErrorBox(HWND parent, const std::wstring& text, const std::wstring& title) {
    if (MessageLoop::Terminating()) return;  // the program is ending: no new modal UI
    MessageBoxW(parent, text.c_str(), title.c_str(), MB_OK | MB_ICONERROR);
}

bool SystemModalUi::FileDialog(HWND parent, const FileDialogRequest& request, std::wstring& fileName,
                               int& filterIndex) {
    if (MessageLoop::Terminating()) return false;  // the program is ending: no new modal UI
    // The system wants the filter as NUL-separated pairs ending in two NULs.
    std::wstring filter = request.filter;
    for (wchar_t& c : filter)
        if (c == L'|') c = L'\0';
    filter.append(2, L'\0');
    std::vector<wchar_t> name(32768, L'\0');
    request.fileName.copy(name.data(), std::min(request.fileName.size(), name.size() - 1));

    OPENFILENAMEW ofn{};
    ofn.lStructSize = sizeof ofn;
    ofn.hwndOwner = parent;
    ofn.lpstrFilter = request.filter.empty() ? nullptr : filter.c_str();
    ofn.nFilterIndex = static_cast<DWORD>(request.filterIndex);
    ofn.lpstrFile = name.data();
    ofn.nMaxFile = static_cast<DWORD>(name.size());
    ofn.lpstrTitle = request.title.empty() ? nullptr : request.title.c_str();
    ofn.lpstrDefExt = request.defaultExt.empty() ? nullptr : request.defaultExt.c_str();
    ofn.Flags = OFN_EXPLORER | OFN_HIDEREADONLY | OFN_ENABLESIZING | OFN_NOCHANGEDIR;
    BOOL chosen = request.save ? GetSaveFileNameW(&ofn) : GetOpenFileNameW(&ofn);
    if (!chosen) return false;
    fileName = name.data();
    filterIndex = static_cast<int>(ofn.nFilterIndex);
    return true;
}

}  // namespace zz
