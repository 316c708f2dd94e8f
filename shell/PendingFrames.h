#pragma once

#include "shell/Frame.h"

// Frames whose operations are not built yet: empty panels the main window can already show.
template <int Width, int Height>
class TEmptyFrame : public TOperationFrame {
public:
    using TOperationFrame::TOperationFrame;
    int FrameWidth() const override { return Width; }
    int FrameHeight() const override { return Height; }
};

class TServices_FRAM : public TEmptyFrame<364, 370> {
    using TEmptyFrame::TEmptyFrame;
};
class TRegFiles_FRAM : public TEmptyFrame<364, 370> {
    using TEmptyFrame::TEmptyFrame;
};
class TDBoperations_FRAM : public TEmptyFrame<400, 400> {
    using TEmptyFrame::TEmptyFrame;
};
class TSysInfo_FRAM : public TEmptyFrame<364, 370> {
    using TEmptyFrame::TEmptyFrame;
};
class TInit_FRAM : public TEmptyFrame<364, 370> {
    using TEmptyFrame::TEmptyFrame;
};
class TIntelligentService_FRAM : public TEmptyFrame<364, 370> {
    using TEmptyFrame::TEmptyFrame;
};
