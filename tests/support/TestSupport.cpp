#include "tests/support/TestSupport.h"

#include <shellapi.h>

#include <fstream>
#include <iterator>

#include "common/Handle.h"
#include "ui/Application.h"

FakeModalUi::FakeModalUi() : previous_(zz::SetModalUi(this)) {}
FakeModalUi::~FakeModalUi() {
    zz::SetModalUi(previous_);
}

zz::TaskDialogAnswer FakeModalUi::TaskDialog(HWND, const zz::TaskDialogRequest& request) {
    shown.push_back({L"task", request.content, request.title, request});
    if (answer) return answer(request);
    return {request.buttons.empty() ? 0 : request.buttons.front().id, false};
}

void FakeModalUi::ShowMessage(HWND, const std::wstring& text, const std::wstring& title) {
    shown.push_back({L"message", text, title, {}});
}

void FakeModalUi::ErrorBox(HWND, const std::wstring& text, const std::wstring& title) {
    shown.push_back({L"error", text, title, {}});
}

bool FakeModalUi::FileDialog(HWND, const zz::FileDialogRequest& request, std::wstring& fileName, int& filterIndex) {
    fileDialogs.push_back(request);
    shown.push_back({L"file", request.fileName, request.title, {}});
    if (files.empty()) return false;
    fileName = files.front();
    files.erase(files.begin());
    filterIndex = request.filterIndex;
    return true;
}

void Pump(DWORD ms) {
    const ULONGLONG end = GetTickCount64() + ms;
    do {
        zz::Application::ProcessMessages();
        Sleep(5);
    } while (GetTickCount64() < end);
}

bool PumpUntil(const std::function<bool()>& done, DWORD timeoutMs) {
    const ULONGLONG end = GetTickCount64() + timeoutMs;
    while (!done()) {
        if (GetTickCount64() >= end) return false;
        zz::Application::ProcessMessages();
        Sleep(5);
    }
    return true;
}

TempDir::TempDir() {
    wchar_t base[MAX_PATH];
    GetTempPathW(MAX_PATH, base);
    static int counter = 0;
    path_ =
        std::wstring(base) + L"zz-test-" + std::to_wstring(GetCurrentProcessId()) + L"-" + std::to_wstring(++counter);
    CreateDirectoryW(path_.c_str(), nullptr);
}

TempDir::~TempDir() {
    std::wstring from = path_ + L'\0';
    SHFILEOPSTRUCTW op{};
    op.wFunc = FO_DELETE;
    op.pFrom = from.c_str();
    op.fFlags = FOF_NO_UI;
    SHFileOperationW(&op);
}

ScopedCurrentDirectory::ScopedCurrentDirectory(const std::wstring& dir) {
    wchar_t buffer[MAX_PATH];
    GetCurrentDirectoryW(MAX_PATH, buffer);
    previous_ = buffer;
    SetCurrentDirectoryW(dir.c_str());
}

ScopedCurrentDirectory::~ScopedCurrentDirectory() {
    SetCurrentDirectoryW(previous_.c_str());
}

std::string ReadFileBytes(const std::wstring& path) {
    zz::unique_file file(CreateFileW(path.c_str(), GENERIC_READ,
                                     FILE_SHARE_READ | FILE_SHARE_WRITE | FILE_SHARE_DELETE, nullptr, OPEN_EXISTING,
                                     0, nullptr));
    if (!file) return "<missing>";
    std::string bytes;
    char buffer[4096];
    DWORD n = 0;
    while (ReadFile(file.get(), buffer, sizeof buffer, &n, nullptr) && n) bytes.append(buffer, n);
    return bytes;
}

void WriteFileBytes(const std::wstring& path, const std::string& bytes) {
    zz::unique_file file(CreateFileW(path.c_str(), GENERIC_WRITE, 0, nullptr, CREATE_ALWAYS, 0, nullptr));
    DWORD n = 0;
    WriteFile(file.get(), bytes.data(), static_cast<DWORD>(bytes.size()), &n, nullptr);
}

Recorder::Recorder(const std::wstring& path) : path_(path) {
    CopyFileW(ZZ_RECORDER_EXE, path_.c_str(), FALSE);
    DeleteFileW((path_ + L".log").c_str());
    DeleteFileW((path_ + L".show").c_str());
}

Recorder::~Recorder() {
    for (const wchar_t* suffix : {L"", L".log", L".show", L".wait"}) DeleteFileW((path_ + suffix).c_str());
}

void Recorder::RunFor(DWORD ms) const {
    WriteFileBytes(path_ + L".wait", std::to_string(ms));
}

std::vector<std::string> Recorder::CommandLines() const {
    return Lines(path_ + L".log");
}

std::vector<std::string> Recorder::ShowModes() const {
    return Lines(path_ + L".show");
}

std::vector<std::string> Recorder::Lines(const std::wstring& path) {
    std::string bytes = ReadFileBytes(path);
    std::vector<std::string> lines;
    if (bytes == "<missing>") return lines;
    size_t start = 0;
    for (size_t end; (end = bytes.find("\r\n", start)) != std::string::npos; start = end + 2)
        lines.push_back(bytes.substr(start, end - start));
    return lines;
}

std::string Recorder::Arguments(const std::string& commandLine) {
    // The program part of a command line is quoted or runs to the first blank.
    size_t end = commandLine.front() == '"' ? commandLine.find('"', 1) + 1 : commandLine.find(' ');
    if (end == std::string::npos || end >= commandLine.size()) return {};
    return commandLine.substr(end + 1);
}

std::wstring WindowText(HWND hwnd) {
    wchar_t buffer[2048];
    int n = GetWindowTextW(hwnd, buffer, 2048);
    return std::wstring(buffer, n);
}

std::vector<HWND> TopLevelWindowsTitled(const std::wstring& title) {
    struct Search {
        std::wstring title;
        std::vector<HWND> found;
    } search{title, {}};
    EnumWindows(
        [](HWND hwnd, LPARAM lp) -> BOOL {
            auto* s = reinterpret_cast<Search*>(lp);
            if (WindowText(hwnd) == s->title) s->found.push_back(hwnd);
            return TRUE;
        },
        reinterpret_cast<LPARAM>(&search));
    return search.found;
}
