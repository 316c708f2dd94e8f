#pragma once

#include <windows.h>

#include <functional>
#include <string>
#include <vector>

#include "ui/ModalUi.h"

// Answers and records every modal UI of the program while it is installed.
class FakeModalUi : public zz::ModalUi {
public:
    FakeModalUi();
    ~FakeModalUi() override;

    struct Shown {
        std::wstring kind;  // "task", "message" or "error"
        std::wstring text;
        std::wstring title;
        zz::TaskDialogRequest request;
    };
    std::vector<Shown> shown;
    // Answer of the next task dialogs; by default the first button.
    std::function<zz::TaskDialogAnswer(const zz::TaskDialogRequest&)> answer;
    // Files the next file dialogs choose, in order; when none is left a dialog is cancelled.
    std::vector<std::wstring> files;
    std::vector<zz::FileDialogRequest> fileDialogs;

    zz::TaskDialogAnswer TaskDialog(HWND parent, const zz::TaskDialogRequest& request) override;
    void ShowMessage(HWND parent, const std::wstring& text, const std::wstring& title) override;
    void ErrorBox(HWND parent, const std::wstring& text, const std::wstring& title) override;
    bool FileDialog(HWND parent, const zz::FileDialogRequest& request, std::wstring& fileName,
                    int& filterIndex) override;

private:
    zz::ModalUi* previous_;
};

// Handles window messages for about ms milliseconds.
void Pump(DWORD ms);
// Handles window messages until done() or the timeout; returns done().
bool PumpUntil(const std::function<bool()>& done, DWORD timeoutMs = 5000);

// A fresh folder, removed with everything in it at the end.
class TempDir {
public:
    TempDir();
    ~TempDir();
    const std::wstring& Path() const { return path_; }  // ends without a separator
    std::wstring File(const std::wstring& name) const { return path_ + L"\\" + name; }

private:
    std::wstring path_;
};

// Makes dir the current directory for the scope.
class ScopedCurrentDirectory {
public:
    explicit ScopedCurrentDirectory(const std::wstring& dir);
    ~ScopedCurrentDirectory();

private:
    std::wstring previous_;
};

std::string ReadFileBytes(const std::wstring& path);
void WriteFileBytes(const std::wstring& path, const std::string& bytes);
std::wstring WindowText(HWND hwnd);
// Top-level windows of any process with that exact title.
std::vector<HWND> TopLevelWindowsTitled(const std::wstring& title);

// A copy of the recorder program at path (for example "net.exe" in the current folder, where a bare program name
// finds it first): it logs each command line it was started with and the show mode it was asked for.
class Recorder {
public:
    explicit Recorder(const std::wstring& path);
    ~Recorder();
    // The next runs last ms milliseconds before they end.
    void RunFor(DWORD ms) const;
    // One line per finished or started run: the command line (logged at start), the show mode (logged at the end).
    std::vector<std::string> CommandLines() const;
    std::vector<std::string> ShowModes() const;
    // What follows the program part of a logged command line.
    static std::string Arguments(const std::string& commandLine);
    const std::wstring& Path() const { return path_; }

private:
    static std::vector<std::string> Lines(const std::wstring& path);
    std::wstring path_;
};
