#pragma once

#include <windows.h>

#include <memory>
#include <string>
#include <vector>

#include "ui/Controls.h"
#include "ui/Pane.h"
#include "ui/PaneHost.h"

// Modifier keys held with a key.
enum TShiftStateFlag : unsigned { ssShift = 1, ssAlt = 2, ssCtrl = 4 };
using TShiftState = unsigned;
TShiftState CurrentShiftState();

// The program's one top-level window: the code box, the shown operation frame, the help line and the footer.
class TMain_frm : public zz::Window, public TPaneHost {
public:
    // firstParameter: the program's first command-line parameter ("MIS" selects the borderless appearance).
    explicit TMain_frm(std::wstring firstParameter);
    ~TMain_frm() override;

    // Creates the window (FormCreate runs) and shows it centred on the screen.
    void CreateAndShow();

    void SetActiveFrame(TPaneFactory NewFrame);
    void Code_edtKeyDown(WORD& Key, TShiftState Shift);
    void FormKeyDown(WORD& Key, TShiftState Shift);
    void FormResize();
    void FormShow();
    void Help_LNKClick();
    void Label3Click();
    void Label4Click();

    HWND Code_edt() const { return codeEdit_; }
    TPane* ActiveFrame() const { return FActiveFrame.get(); }
    bool Borderless() const { return borderless_; }
    COLORREF WindowColor() const { return windowColor_; }
    COLORREF HeaderColor() const;
    HWND Footer_PNL() const { return footer_.Handle(); }
    HWND Bevel1() const { return bevel_.Handle(); }
    HWND Label1() const { return label1_.Handle(); }
    HWND Panel1() const { return panel1_.Handle(); }
    HWND Help_LBL() const { return helpKey_.Handle(); }
    HWND Label3() const { return label3_.Handle(); }
    HWND Label4() const { return label4_.Handle(); }

    // What the panes ask of the window.
    HWND DialogParent() const override;
    bool Busy() const override { return busy_; }
    void SetBusy(bool busy) override { busy_ = busy; }
    void ShowCode(int code) override;

    // The program ends when this window closes; tests keep their message loop running.
    bool QuitOnClose = true;
    bool VerifyCheck = false;

protected:
    LRESULT HandleMessage(UINT msg, WPARAM wp, LPARAM lp) override;

private:
    void FormCreate();
    void CreateControls();
    void WriteHandleFile();
    void PlaceFrame(TPane& frame);
    // Frees replaced frames once no handler of the program is running (none of them can still be in use).
    void ReleaseRetiredFrames();
    HWND focused_ = nullptr;  // the control that had the focus when the window was last deactivated

    std::wstring firstParameter_;
    bool borderless_ = false;
    COLORREF windowColor_ = RGB(110, 43, 0);
    std::unique_ptr<TPane> FActiveFrame;
    std::vector<std::unique_ptr<TPane>> retired_;  // replaced frames, freed once their click is over

    zz::Panel shape1_, bevel_, panel1_, footer_;
    zz::Label label1_, label22_, helpKey_, label2_, image2_, label4_, label3_, image1_;
    HWND codeEdit_ = nullptr;
    bool reportingHandleFailure_ = false;
    bool busy_ = false;

    // Centre fraction of the controls anchored to the top only or the bottom only.
    struct Anchor {
        HWND hwnd;
        double centre;
        int bottomGap;  // < 0 for top-anchored
    };
    std::vector<Anchor> anchors_;
    void AnchorCentre(HWND hwnd, bool bottom);
};
