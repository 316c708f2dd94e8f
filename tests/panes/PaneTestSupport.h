#pragma once

#include <memory>
#include <string>

#include "shell/Main_UNT.h"
#include "tests/support/TestSupport.h"
#include "ui/Pane.h"

// The real main window with one operation code entered, as a technician opens a pane.
class PaneFixture : public testing::Test {
protected:
    void OpenCode(const std::wstring& code) {
        form = std::make_unique<TMain_frm>(L"");
        form->QuitOnClose = false;
        form->CreateAndShow();
        SetWindowTextW(form->Code_edt(), code.c_str());
        WORD key = VK_RETURN;
        form->Code_edtKeyDown(key, 0);
        Pump(30);
    }
    TPane& Pane() { return *form->ActiveFrame(); }
    // Clicks a button of the pane as the mouse does; returns when its operation has ended.
    void ClickButton(const wchar_t* name) { SendMessageW(Pane().Control(name), BM_CLICK, 0, 0); }
    void TearDown() override {
        form.reset();
        Pump(20);
    }

    TempDir cwdDir;
    ScopedCurrentDirectory cwd{cwdDir.Path()};
    FakeModalUi ui;
    std::unique_ptr<TMain_frm> form;
};
