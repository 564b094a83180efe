#pragma once
#include "app/Settings.h"
#include "image/View.h"

#include <string>

// The rubber-band selection of the image window: a rectangle in client
// pixels over a reduced view, and its part of the picture.

// The band's dotted outline and its size text, red 250.
inline constexpr COLORREF kSelectionColor = RGB(250, 0, 0);

// The rectangle from the anchor to the point, normalised, inside the
// placement rectangle; empty ({}) when it has no width or height there.
ViewRect RubberBandRect(ViewPoint anchor, ViewPoint pt, const ViewRect& dest);

// The picture pixels (top-down, half-open) under a selection, with the
// scale of the placement rectangle to the picture in each direction.
ViewRect SelectionToPicture(const ViewRect& sel, const ViewRect& dest, ViewSize image);

// "%dX%d": the size of a part of the picture, as shown with the band.
std::string SelectionSizeText(const ViewRect& part);

// The whole zoom factor that shows a part of sw x sh picture pixels in a
// window of cw x ch: the smaller of the two ratios, at least 1, and 19 when
// it is above 20 (20 itself stays).
int SelectionZoom(int sw, int sh, int cw, int ch);

// The format a selection is saved in, by the extension of the chosen name
// in any case: kFormatBmp for "bmp", kFormatJpeg for "jpg", else 0.
int SelectionSaveFormat(const std::string& path);
