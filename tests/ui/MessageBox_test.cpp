// The real system task dialog, driven from a second thread as a user would: read what it shows, press a button.
#include <gtest/gtest.h>

#include <atomic>
#include <functional>
#include <thread>

#include "tests/support/TestSupport.h"
#include "ui/Message_UNT.h"

namespace {

struct DialogView {
    std::wstring className;
    std::wstring title;
    std::vector<std::pair<int, std::wstring>> buttons;  // id, caption of the push buttons
    std::vector<std::wstring> texts;                    // every child's text
    int defaultId = 0;
    bool hasCheckBox = false;
};

HWND FindDialog(DWORD pid) {
    struct S {
        DWORD pid;
        HWND found;
    } s{pid, nullptr};
    EnumWindows(
        [](HWND hwnd, LPARAM lp) -> BOOL {
            auto* s = reinterpret_cast<S*>(lp);
            DWORD owner = 0;
            GetWindowThreadProcessId(hwnd, &owner);
            wchar_t cls[64];
            GetClassNameW(hwnd, cls, 64);
            if (owner == s->pid && IsWindowVisible(hwnd) &&
                (std::wstring(cls) == L"#32770" || std::wstring(cls) == L"ZZFallbackTaskDialog")) {
                s->found = hwnd;
                return FALSE;
            }
            return TRUE;
        },
        reinterpret_cast<LPARAM>(&s));
    return s.found;
}

DialogView Read(HWND dialog) {
    DialogView view;
    view.title = WindowText(dialog);
    wchar_t cls[64];
    GetClassNameW(dialog, cls, 64);
    view.className = cls;
    EnumChildWindows(
        dialog,
        [](HWND child, LPARAM lp) -> BOOL {
            auto* v = reinterpret_cast<DialogView*>(lp);
            wchar_t cls[64];
            GetClassNameW(child, cls, 64);
            std::wstring text = WindowText(child);
            if (!text.empty()) v->texts.push_back(text);
            if (std::wstring(cls) == L"Button") {
                LONG type = GetWindowLongW(child, GWL_STYLE) & BS_TYPEMASK;
                int id = GetDlgCtrlID(child);
                if (type == BS_AUTOCHECKBOX || type == BS_CHECKBOX)
                    v->hasCheckBox = true;
                else if (id >= 100 && id <= 102)
                    v->buttons.push_back({id, text});
                if (id >= 100 && id <= 102 && type == BS_DEFPUSHBUTTON) v->defaultId = id;
            }
            return TRUE;
        },
        reinterpret_cast<LPARAM>(&view));
    return view;
}

HWND ChildWithText(HWND dialog, const std::wstring& text) {
    struct S {
        std::wstring text;
        HWND found;
    } s{text, nullptr};
    EnumChildWindows(
        dialog,
        [](HWND child, LPARAM lp) -> BOOL {
            auto* s = reinterpret_cast<S*>(lp);
            if (WindowText(child) == s->text) {
                s->found = child;
                return FALSE;
            }
            return TRUE;
        },
        reinterpret_cast<LPARAM>(&s));
    return s.found;
}

// Runs ShowMessageBox on this thread while `act` looks at the dialog from another one and closes it.
struct DialogRun {
    DialogView view;
    int result = -1;
    bool checked = true;
};

DialogRun ShowAndAct(const std::wstring& caption, const std::wstring& expanded, std::uint8_t set, std::uint8_t def,
                     bool checkBox, const std::function<void(HWND, DialogView&)>& act) {
    DialogRun run;
    std::atomic<bool> done{false};
    std::thread watcher([&] {
        HWND dialog = nullptr;
        for (int i = 0; i < 1000 && !dialog; ++i) {
            dialog = FindDialog(GetCurrentProcessId());
            if (!dialog) Sleep(10);
        }
        if (!dialog) return;
        Sleep(50);
        run.view = Read(dialog);
        act(dialog, run.view);
        done = true;
    });
    run.result = ShowMessageBox(caption, L"", L"متن پیام", expanded, 1, set, def, checkBox, run.checked, 0);
    watcher.join();
    return run;
}

void Press(HWND dialog, int id) {
    HWND button = GetDlgItem(dialog, id);
    SendMessageW(button, BM_CLICK, 0, 0);
}

}  // namespace

TEST(TaskDialog, DefaultButtonAndResults) {
    struct Case {
        std::uint8_t set, def;
        int pressId;  // 0: press Enter's button, the default
        int expectedDefault;
        int result;
    } cases[] = {
        {2, 2, 0, 101, IDOK},                                                     // default 2 makes OK the default
        {2, 0, 0, 100, IDCANCEL},                                                 // no default: the first button
        {6, 0, 102, 100, IDIGNORE}, {4, 3, 0, 102, IDYES}, {1, 9, 0, 100, IDOK},  // beyond the set: the first button
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(testing::Message() << "set " << int(c.set) << " default " << int(c.def));
        DialogRun run = ShowAndAct(L"عنوان", L"", c.set, c.def, false, [&](HWND dialog, DialogView& view) {
            Press(dialog, c.pressId ? c.pressId : (view.defaultId ? view.defaultId : 100));
        });
        EXPECT_EQ(run.view.defaultId, c.expectedDefault);
        EXPECT_EQ(run.result, c.result);
        EXPECT_EQ(run.view.title, L"عنوان");
        EXPECT_EQ(run.view.className, L"#32770") << "the system's task dialog";
        std::vector<std::wstring> captions;
        for (auto& b : run.view.buttons) captions.push_back(b.second);
        EXPECT_EQ(captions, MessageBoxButtonCaptions(c.set));
        EXPECT_FALSE(run.view.hasCheckBox);
        EXPECT_FALSE(run.checked) << "no box shown: false";
    }
}

TEST(TaskDialog, EmptyCaptionGivesABlankTitle) {
    DialogRun run = ShowAndAct(L"", L"", 1, 0, false, [](HWND dialog, DialogView&) { Press(dialog, 100); });
    EXPECT_EQ(run.view.title, L" ");
    EXPECT_EQ(run.result, IDOK);
}

TEST(TaskDialog, ExpandControlAndCheckBox) {
    std::wstring collapsedText, expandedText;
    DialogRun run = ShowAndAct(L"t", L"جزئیات خطا", 3, 2, true, [&](HWND dialog, DialogView& view) {
        HWND expando = ChildWithText(dialog, L"نمايش راهنمايي بيشتر");
        if (expando) {
            collapsedText = WindowText(expando);
            SendMessageW(expando, BM_CLICK, 0, 0);
            Sleep(100);
            expandedText = WindowText(expando);
        }
        HWND check = ChildWithText(dialog, L"اين سوال دوباره پرسيده نشود");
        if (check) SendMessageW(check, BM_CLICK, 0, 0);
        Press(dialog, view.defaultId);
    });
    EXPECT_EQ(collapsedText, L"نمايش راهنمايي بيشتر");
    EXPECT_EQ(expandedText, L"بستن راهنمايي بيشتر");
    EXPECT_TRUE(run.view.hasCheckBox);
    EXPECT_TRUE(run.checked);
    EXPECT_EQ(run.result, IDYES);
}

TEST(TaskDialog, NoExpandControlWithoutDetails) {
    DialogRun run = ShowAndAct(L"t", L"", 1, 0, false, [](HWND dialog, DialogView&) { Press(dialog, 100); });
    for (const auto& text : run.view.texts) EXPECT_NE(text, L"نمايش راهنمايي بيشتر");
}
