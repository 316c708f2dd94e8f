#pragma once

#include "ui/Pane.h"

// Panes whose operations are not built yet: empty panels the main window can already show.
template <int Width, int Height>
class TEmptyPane : public TPane {
public:
    using TPane::TPane;
    int FrameWidth() const override { return Width; }
    int FrameHeight() const override { return Height; }
};

class TDBoperations_FRAM : public TEmptyPane<350, 340> {
    using TEmptyPane::TEmptyPane;
};
