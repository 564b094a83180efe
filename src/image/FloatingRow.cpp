#include "image/FloatingRow.h"

void CFloatingRow::Layout(int cw, int ch) {
    const int c = cw / 2, top = ch - 93, bottom = ch - 69;
    const int lefts[6] = {c - 102, c - 68, c - 34, c, c + 34, c + 68};
    for (int i = 0; i < 6; ++i)
        buttons[static_cast<std::size_t>(i)] = {lefts[i], top, lefts[i] + 24, bottom};
    exit = {cw - 24, 0, cw, 24};
    band = {0, top - 4, cw, bottom + 3};
}

EFloatingButton CFloatingRow::ButtonAt(int x, int y) const {
    for (int i = 0; i < 6; ++i)
        if (buttons[static_cast<std::size_t>(i)].Contains(x, y))
            return static_cast<EFloatingButton>(i);
    return EFloatingButton::kNone;
}
