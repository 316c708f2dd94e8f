#pragma once

#include <windows.h>

#include <string>
#include <vector>

namespace zz {

struct TaskDialogButton {
    int id;
    std::wstring caption;
};

// Everything a message dialog shows; icon is 0 (none) or one of TD_*_ICON's kinds 1..4 of ShowMessageBox.
struct TaskDialogRequest {
    std::wstring title;
    std::wstring instruction;
    std::wstring content;
    std::wstring expandedText;
    std::wstring collapsedControlText;
    std::wstring expandedControlText;
    std::wstring verificationText;  // empty: no check box
    std::vector<TaskDialogButton> buttons;
    int defaultButton = 0;
    int iconKind = 0;
    int helpContext = 0;
};

// An open-file or save-file dialog. filter: "Description|*.ext|Description|*.ext"; filterIndex counts from 1.
struct FileDialogRequest {
    bool save = false;
    std::wstring filter;
    int filterIndex = 1;
    std::wstring defaultExt;  // without the dot; empty for none
    std::wstring fileName;    // preset name
    std::wstring title;       // empty: the system's
};

struct TaskDialogAnswer {
    int buttonId = 0;
    bool verificationChecked = false;
};

// The one way the program shows modal UI. The real one talks to the system; tests install their own.
class ModalUi {
public:
    virtual ~ModalUi() = default;
    virtual TaskDialogAnswer TaskDialog(HWND parent, const TaskDialogRequest& request) = 0;
    // The plain message box: the text, one OK button, the application's title.
    virtual void ShowMessage(HWND parent, const std::wstring& text, const std::wstring& title) = 0;
    // The top-level error box for errors no handler caught.
    virtual void ErrorBox(HWND parent, const std::wstring& text, const std::wstring& title) = 0;
    // true with the chosen path in fileName (and the chosen filter in filterIndex); false when cancelled.
    virtual bool FileDialog(HWND parent, const FileDialogRequest& request, std::wstring& fileName,
                            int& filterIndex) = 0;
};

ModalUi& CurrentModalUi();
// Installs ui (nullptr restores the system's); returns the one installed before.
ModalUi* SetModalUi(ModalUi* ui);

// The system's own implementation.
class SystemModalUi : public ModalUi {
public:
    TaskDialogAnswer TaskDialog(HWND parent, const TaskDialogRequest& request) override;
    void ShowMessage(HWND parent, const std::wstring& text, const std::wstring& title) override;
    void ErrorBox(HWND parent, const std::wstring& text, const std::wstring& title) override;
    bool FileDialog(HWND parent, const FileDialogRequest& request, std::wstring& fileName, int& filterIndex) override;
};

}  // namespace zz
