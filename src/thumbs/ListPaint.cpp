#include "thumbs/ListPaint.h"

#include "thumbs/ThumbCache.h"

#include <algorithm>

namespace {

// The rectangle cut to the canvas.
ListRect Clip(const ListCanvas& c, const ListRect& r) {
    return {std::max(r.left, 0), std::max(r.top, 0), std::min(r.right, c.width),
            std::min(r.bottom, c.height)};
}

} // namespace

void ListFill(ListCanvas& canvas, const ListRect& r, COLORREF colour) {
    const ListRect k = Clip(canvas, r);
    if (k.right <= k.left || k.bottom <= k.top)
        return;
    const std::uint32_t px = ListPixelOf(colour);
    for (int y = k.top; y < k.bottom; ++y) {
        std::uint32_t* row = canvas.bits + std::size_t(y) * canvas.stride;
        std::fill(row + k.left, row + k.right, px);
    }
}

void ListDrawFrame(ListCanvas& canvas, const CListLayout& layout, int index, COLORREF colour) {
    const ListRect b = layout.BoxRect(index);
    // The outline runs through both end points of each side: columns left and
    // right, rows top and bottom, all inclusive.
    ListFill(canvas, {b.left, b.top, b.right + 1, b.top + 1}, colour);
    ListFill(canvas, {b.left, b.bottom, b.right + 1, b.bottom + 1}, colour);
    ListFill(canvas, {b.left, b.top, b.left + 1, b.bottom + 1}, colour);
    ListFill(canvas, {b.right, b.top, b.right + 1, b.bottom + 1}, colour);
}

void ListDrawThumb(ListCanvas& canvas, int x, int y, const CThumbnail& thumb) {
    const int w = thumb.width, h = thumb.height;
    if (w <= 0 || h <= 0 || thumb.bits.size() < std::size_t(thumb.Stride()) * h)
        return;
    const int x0 = std::max(x, 0), x1 = std::min(x + w, canvas.width);
    if (x1 <= x0)
        return;
    for (int r = 0; r < h; ++r) {
        // The block is bottom-up: its first row is the thumbnail's last.
        const int ty = y + h - 1 - r;
        if (ty < 0 || ty >= canvas.height)
            continue;
        const std::uint8_t* src = thumb.bits.data() + std::size_t(thumb.Stride()) * r;
        std::uint32_t* dst = canvas.bits + std::size_t(ty) * canvas.stride;
        for (int tx = x0; tx < x1; ++tx) {
            const std::uint8_t* p = src + 3 * (tx - x);
            dst[tx] = 0xff000000u | (std::uint32_t(p[2]) << 16) | (std::uint32_t(p[1]) << 8) | p[0];
        }
    }
}

void ListDrawShadow(ListCanvas& canvas, int x, int y, int w, int h) {
    // A 2-pixel pen from (x + 1, y + h) to (x + w, y + h) and on to (x + w, y).
    ListFill(canvas, {x + 1, y + h, x + w + 2, y + h + 2}, kListShadowColor);
    ListFill(canvas, {x + w, y, x + w + 2, y + h + 2}, kListShadowColor);
}

void ListDrawIcon(ListCanvas& canvas, int x, int y, const std::uint32_t* icon) {
    if (!icon)
        return;
    for (int r = 0; r < kListIconSize; ++r) {
        const int ty = y + r;
        if (ty < 0 || ty >= canvas.height)
            continue;
        std::uint32_t* dst = canvas.bits + std::size_t(ty) * canvas.stride;
        for (int c = 0; c < kListIconSize; ++c) {
            const int tx = x + c;
            if (tx < 0 || tx >= canvas.width)
                continue;
            const std::uint32_t s = icon[r * kListIconSize + c];
            const std::uint32_t a = s >> 24;
            if (a == 0)
                continue;
            if (a == 255) {
                dst[tx] = s;
                continue;
            }
            const std::uint32_t d = dst[tx];
            auto mix = [a](std::uint32_t sc, std::uint32_t dc) {
                return (sc * a + dc * (255 - a) + 127) / 255;
            };
            dst[tx] = 0xff000000u | (mix((s >> 16) & 255, (d >> 16) & 255) << 16) |
                      (mix((s >> 8) & 255, (d >> 8) & 255) << 8) | mix(s & 255, d & 255);
        }
    }
}

std::vector<ListCellText> PaintList(ListCanvas& canvas, const ListPaintInput& in) {
    std::vector<ListCellText> texts;
    const ListColors& col = in.colors;
    ListFill(canvas, {0, 0, canvas.width, canvas.height}, col.wndBack);
    if (!in.layout || !in.pathOf)
        return texts;
    const CListLayout& layout = *in.layout;
    const int count = layout.Count();
    if (count <= 0)
        return texts;
    const int limit = CaptionLimit(in.captionCharWidth);
    for (int i = layout.FirstVisible(); i < count; ++i) {
        const std::string path = in.pathOf(i);
        const ListRect box = layout.BoxRect(i);
        ListCellText text;
        text.index = i;
        text.caption = CutCaption(ListTitleOf(path), limit);
        text.captionRect = layout.CaptionRect(i);

        ListFill(canvas, box, col.tileBack);
        int drawnTop = box.top;
        std::optional<CThumbnail> thumb =
            path.empty() ? std::nullopt : ReadThumbnailFile(in.thumbFolder + GetThumbName(path));
        if (thumb) {
            int x = 0, y = 0;
            ThumbOriginInBox(box, thumb->width, thumb->height, x, y);
            drawnTop = y;
            if (!thumb->IsEmpty()) {
                ListDrawThumb(canvas, x, y, *thumb);
                ListDrawShadow(canvas, x, y, thumb->width, thumb->height);
            }
        } else {
            // Never viewed (or a damaged cache file): the icon with the
            // extension on its badge.
            text.placeholder = true;
            ListDrawIcon(canvas, box.left + 19, box.top + 14, in.icon);
            text.badge = BadgeTextOf(path);
            ListFill(canvas,
                     {box.left + 18, box.top + 22,
                      BadgeRight(box.left, text.badge, in.badgeCharWidth), box.top + 34},
                     kListBadgeColor);
            text.badgeTextRect = {box.left + 20, box.top + 22, box.left + 50, box.top + 37};
        }
        const bool selected = in.states && in.states->IsSelected(i);
        ListDrawFrame(canvas, layout, i, selected ? col.selFrame : col.frame);
        texts.push_back(std::move(text));
        // One row beyond the bottom edge may be drawn; the canvas clips it.
        if (drawnTop >= layout.ClientHeight())
            break;
    }
    return texts;
}
