#pragma once
#include "image/View.h"

#include <array>

// The floating button row of full-screen mode: six round buttons centred
// along the bottom of the picture window and the exit button in its top right
// corner.
enum class EFloatingButton { kNone = -1, kZoomIn, kZoomOut, kFit, kPrevious, kNext, kRotateRight };

struct CFloatingRow {
    std::array<ViewRect, 6> buttons; // in the order of EFloatingButton
    ViewRect exit;
    ViewRect band; // the darkened band behind the buttons

    // Lays the row out for a client area of cw x ch pixels.
    void Layout(int cw, int ch);
    EFloatingButton ButtonAt(int x, int y) const;
    bool InExit(int x, int y) const { return exit.Contains(x, y); }
    bool InRow(int x, int y) const { return ButtonAt(x, y) != EFloatingButton::kNone; }
};
