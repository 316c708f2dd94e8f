#include "shell/Frame.h"

void TOperationFrame::CreateFrame(HWND parent) {
    Create(parent, 0, 0, FrameWidth(), FrameHeight());
    ShowWindow(Handle(), SW_HIDE);
    CreateControls();
}
