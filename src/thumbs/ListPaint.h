#pragma once
#include "app/Settings.h"
#include "thumbs/ListGeometry.h"

#include <cstdint>
#include <functional>
#include <optional>
#include <string>
#include <vector>

struct CThumbnail;

// The pixels of the thumbnail list: everything the list draws except its
// texts, into a block of 32-bit pixels 0xffRRGGBB (the layout of the window's
// backing image). The texts (captions, badge texts) are returned with their
// rectangles for the window to draw with its fonts.

struct ListCanvas {
    std::uint32_t* bits = nullptr;
    int width = 0, height = 0;
    int stride = 0; // pixels from one row to the next
};

// The list's colours; the constructor values are the window's own until the
// settings replace them.
struct ListColors {
    COLORREF wndBack = RGB(255, 255, 255);
    COLORREF caption = RGB(24, 245, 245);
    COLORREF badgeText = RGB(255, 255, 200);
    COLORREF frame = RGB(200, 200, 220);
    COLORREF tileBack = RGB(0, 0, 0);
    COLORREF selFrame = RGB(24, 24, 245);
    COLORREF captionBack = RGB(0, 0, 0); // captions are transparent: never drawn
};

constexpr COLORREF kListShadowColor = RGB(162, 162, 162);
constexpr COLORREF kListBadgeColor = RGB(12, 131, 156);
constexpr int kListIconSize = 32;

// The texts of one drawn cell.
struct ListCellText {
    int index = 0;
    bool placeholder = false;
    std::string caption; // already cut to fit
    ListRect captionRect;
    std::string badge; // placeholder only: the upper-cased extension
    ListRect badgeTextRect;
};

// What the painter needs besides the layout.
struct ListPaintInput {
    const CListLayout* layout = nullptr;
    std::function<std::string(int)> pathOf; // path of file i
    const CItemStates* states = nullptr;
    ListColors colors;
    std::string thumbFolder;             // the cache folder, ending with "/"
    int captionCharWidth = 6;            // average character width of the 9-point caption face
    int badgeCharWidth = 5;              // average character width of the 7-point badge face
    const std::uint32_t* icon = nullptr; // 32 x 32 pixels 0xAARRGGBB, or none
};

// Paints the whole list: the background, then from the first visible file on
// each cell's thumbnail (read from its cache file; a missing or damaged one
// gives the placeholder), shadow, badge and frame, going on while the last
// cell drawn started above the bottom edge. Returns the cells' texts.
std::vector<ListCellText> PaintList(ListCanvas& canvas, const ListPaintInput& in);

// The cache file name of a picture, the same as GetThumbName gives, with one
// lookup of the picture's path (a repaint names every visible cell's file).
std::string ListThumbName(const std::string& path);
// Reads and checks a cache file: ReadThumbnailFile.
std::optional<CThumbnail> ListReadThumbnail(const std::string& cacheFile);

// Pieces of the painting, also used for the selection feedback.
void ListFill(ListCanvas& canvas, const ListRect& r, COLORREF colour);
// The 1-pixel outline of file i's picture box, 71 x 61 pixels with its corners.
void ListDrawFrame(ListCanvas& canvas, const CListLayout& layout, int index, COLORREF colour);
// A thumbnail one to one with its top-left at (x, y), clipped to the canvas.
void ListDrawThumb(ListCanvas& canvas, int x, int y, const CThumbnail& thumb);
// The 2-pixel shadow along the bottom and the right of a w x h thumbnail.
void ListDrawShadow(ListCanvas& canvas, int x, int y, int w, int h);
// A 32 x 32 icon blended over the canvas by its alpha.
void ListDrawIcon(ListCanvas& canvas, int x, int y, const std::uint32_t* icon);

inline std::uint32_t ListPixelOf(COLORREF c) {
    return 0xff000000u | (std::uint32_t(GetRValue(c)) << 16) | (std::uint32_t(GetGValue(c)) << 8) |
           std::uint32_t(GetBValue(c));
}
