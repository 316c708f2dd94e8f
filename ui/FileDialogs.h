#pragma once

#include <windows.h>

#include <string>

// An open-file or save-file dialog of a frame. Like a component it keeps its settings and the last chosen name
// between uses.
class TFileDialog {
public:
    explicit TFileDialog(bool save) : save_(save) {}

    std::wstring Filter;  // "Description|*.ext|..."
    int FilterIndex = 1;
    std::wstring DefaultExt;
    std::wstring FileName;
    std::wstring Title;

    // Shows the dialog; true when the user chose a file (then FileName holds its path).
    bool Execute(HWND owner = nullptr);

private:
    bool save_;
};

class TOpenDialog : public TFileDialog {
public:
    TOpenDialog() : TFileDialog(false) {}
};

class TSaveDialog : public TFileDialog {
public:
    TSaveDialog() : TFileDialog(true) {}
};
