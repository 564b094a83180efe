#include "thumbs/ListPaint.h"

#include "platform/ProgramFolder.h"
#include "thumbs/ThumbCache.h"

#include <algorithm>
#include <cstring>
#include <fcntl.h>
#include <sys/stat.h>
#include <unistd.h>

#if defined(__x86_64__) || defined(__i386__)
#include <immintrin.h>
#endif

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

namespace {

// n pixels of a blue-green-red row into 0xffRRGGBB pixels. Four bytes are
// read per pixel (the mask drops the fourth), so the last pixel goes byte by
// byte and no read passes the end of the row's pixels.
void CopyRowScalar(const std::uint8_t* src, std::uint32_t* dst, int n) {
    int i = 0;
    for (; i + 1 < n; ++i) {
        std::uint32_t v;
        std::memcpy(&v, src + 3 * i, 4);
        dst[i] = 0xff000000u | (v & 0x00ffffffu);
    }
    for (; i < n; ++i)
        dst[i] = 0xff000000u | (std::uint32_t(src[3 * i + 2]) << 16) |
                 (std::uint32_t(src[3 * i + 1]) << 8) | src[3 * i];
}

#if defined(__x86_64__) || defined(__i386__)
// Four pixels per shuffle, while the 16-byte load ends inside the row's pixels.
__attribute__((target("ssse3"))) void CopyRowSsse3(const std::uint8_t* src, std::uint32_t* dst,
                                                   int n) {
    const __m128i shuffle = _mm_setr_epi8(0, 1, 2, -1, 3, 4, 5, -1, 6, 7, 8, -1, 9, 10, 11, -1);
    const __m128i alpha = _mm_set1_epi32(int(0xff000000u));
    int i = 0;
    for (; 3 * i + 16 <= 3 * n; i += 4) {
        const __m128i a = _mm_loadu_si128(reinterpret_cast<const __m128i*>(src + 3 * i));
        _mm_storeu_si128(reinterpret_cast<__m128i*>(dst + i),
                         _mm_or_si128(_mm_shuffle_epi8(a, shuffle), alpha));
    }
    CopyRowScalar(src + 3 * i, dst + i, n - i);
}

void CopyRow(const std::uint8_t* src, std::uint32_t* dst, int n) {
    static const bool ssse3 = __builtin_cpu_supports("ssse3");
    if (ssse3)
        CopyRowSsse3(src, dst, n);
    else
        CopyRowScalar(src, dst, n);
}
#else
void CopyRow(const std::uint8_t* src, std::uint32_t* dst, int n) {
    CopyRowScalar(src, dst, n);
}
#endif

} // namespace

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
        CopyRow(src + 3 * (x0 - x), dst + x0, x1 - x0);
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

namespace {

// The cache name of file `name` of the folder open as dirFd (AT_FDCWD with a
// full path works too).
// Whether the file could be opened for reading: root reads everything, the
// owner by the owner's bits (nothing else applies to the owner), anybody
// else as the file system answers.
bool Readable(int dirFd, const char* name, const struct statx& sx) {
    static const uid_t euid = ::geteuid();
    if (euid == 0)
        return true;
    if (sx.stx_uid == euid)
        return (sx.stx_mode & S_IRUSR) != 0;
    return ::faccessat(dirFd, name, R_OK, AT_EACCESS) == 0;
}

std::string ThumbNameAt(int dirFd, const char* name, const std::string& path) {
    // The stamp is empty unless the picture is a regular file that can be
    // opened for reading; that is asked of the file system without opening it.
    std::string stamp;
    struct statx sx {};
    if (*name && ::statx(dirFd, name, 0, STATX_BASIC_STATS | STATX_BTIME, &sx) == 0 &&
        S_ISREG(sx.stx_mode) && Readable(dirFd, name, sx)) {
        const std::int64_t modified = sx.stx_mtime.tv_sec;
        const std::int64_t created =
            (sx.stx_mask & STATX_BTIME) ? std::int64_t(sx.stx_btime.tv_sec) : modified;
        stamp = ThumbStamp(sx.stx_size, created, modified);
    }
    return stamp + ListTitleOf(path) + ".xux";
}

// A folder opened once for the lookups of many files in it.
class CFolderFd {
public:
    ~CFolderFd() { Close(); }
    // The descriptor of a folder ("" or a failure: AT_FDCWD, so that full
    // paths still work).
    int For(const std::string& folder) {
        if (folder != m_folder) {
            Close();
            m_folder = folder;
            m_fd = folder.empty() ? -1 : ::open(folder.c_str(), O_PATH | O_DIRECTORY | O_CLOEXEC);
        }
        return m_fd >= 0 ? m_fd : AT_FDCWD;
    }
    bool IsOpen() const { return m_fd >= 0; }

private:
    void Close() {
        if (m_fd >= 0)
            ::close(m_fd);
        m_fd = -1;
    }
    std::string m_folder;
    int m_fd = -1;
};

} // namespace

std::string ListThumbName(const std::string& path) {
    return ThumbNameAt(AT_FDCWD, path.c_str(), path);
}

std::optional<CThumbnail> ListReadThumbnail(const std::string& cacheFile) {
    return ReadThumbnailFileAt(AT_FDCWD, cacheFile.c_str());
}

namespace {

// One cell of a row being painted.
struct RowCell {
    int index;
    std::string path;
    std::optional<CThumbnail> thumb;
};

// The background of canvas rows [top, bottom) with the picture boxes of the
// cells in their box rows, each pixel written once.
void FillBand(ListCanvas& canvas, const CListLayout& layout, int top, int bottom,
              const std::vector<RowCell>& cells, const ListColors& col) {
    top = std::max(top, 0);
    bottom = std::min(bottom, canvas.height);
    const std::uint32_t back = ListPixelOf(col.wndBack), tile = ListPixelOf(col.tileBack);
    // All boxes of a row share their rows; their columns, cut to the canvas.
    int boxTop = 0, boxBottom = 0;
    std::vector<std::pair<int, int>> spans;
    for (const RowCell& c : cells) {
        const ListRect box = layout.BoxRect(c.index);
        boxTop = box.top;
        boxBottom = box.bottom;
        const int l = std::max(box.left, 0), r = std::min(box.right, canvas.width);
        if (l < r)
            spans.emplace_back(l, r);
    }
    for (int y = top; y < bottom; ++y) {
        std::uint32_t* row = canvas.bits + std::size_t(y) * canvas.stride;
        if (y < boxTop || y >= boxBottom || spans.empty()) {
            std::fill(row, row + canvas.width, back);
            continue;
        }
        int x = 0;
        for (const auto& [l, r] : spans) {
            std::fill(row + x, row + l, back);
            std::fill(row + l, row + r, tile);
            x = r;
        }
        std::fill(row + x, row + canvas.width, back);
    }
}

} // namespace

std::vector<ListCellText> PaintList(ListCanvas& canvas, const ListPaintInput& in) {
    std::vector<ListCellText> texts;
    const ListColors& col = in.colors;
    const int count = in.layout && in.pathOf ? in.layout->Count() : 0;
    if (count <= 0) {
        ListFill(canvas, {0, 0, canvas.width, canvas.height}, col.wndBack);
        return texts;
    }
    const CListLayout& layout = *in.layout;
    const int limit = CaptionLimit(in.captionCharWidth);
    const int cols = layout.Columns();
    int filled = 0; // canvas rows above this one have their background
    bool more = true;
    std::vector<RowCell> cells;
    CFolderFd pictures, thumbs;
    const int thumbDir = thumbs.For(in.thumbFolder);
    // Row by row: read the row's cache files, lay down its background and
    // boxes, then draw its cells in index order. The first cell whose top
    // (its thumbnail's, or the cell's for a placeholder) is at or below the
    // bottom edge is the last one drawn.
    for (int first = layout.FirstVisible(); more && first < count; first += cols) {
        cells.clear();
        for (int i = first; i < count && i < first + cols; ++i) {
            RowCell c{i, in.pathOf(i), std::nullopt};
            if (!c.path.empty()) {
                // Both lookups go from an open folder: the picture's and the cache's.
                const std::string folder = FolderOf(c.path), name = FileNameOf(c.path);
                const int picDir = pictures.For(folder);
                const std::string thumbName =
                    ThumbNameAt(picDir, pictures.IsOpen() ? name.c_str() : c.path.c_str(), c.path);
                c.thumb = thumbs.IsOpen()
                              ? ReadThumbnailFileAt(thumbDir, thumbName.c_str())
                              : ReadThumbnailFileAt(AT_FDCWD, (in.thumbFolder + thumbName).c_str());
            }
            int drawnTop = layout.BoxRect(i).top;
            if (c.thumb) {
                int x = 0;
                ThumbOriginInBox(layout.BoxRect(i), c.thumb->width, c.thumb->height, x, drawnTop);
            }
            cells.push_back(std::move(c));
            if (drawnTop >= layout.ClientHeight()) {
                more = false;
                break;
            }
        }
        const int rowTop = layout.CellRect(first).top;
        FillBand(canvas, layout, filled, rowTop + kListCellHeight, cells, col);
        filled = std::max(filled, rowTop + kListCellHeight);
        for (const RowCell& c : cells) {
            const ListRect box = layout.BoxRect(c.index);
            ListCellText text;
            text.index = c.index;
            text.caption = CutCaption(ListTitleOf(c.path), limit);
            text.captionRect = layout.CaptionRect(c.index);
            if (c.thumb) {
                int x = 0, y = 0;
                ThumbOriginInBox(box, c.thumb->width, c.thumb->height, x, y);
                if (!c.thumb->IsEmpty()) {
                    ListDrawThumb(canvas, x, y, *c.thumb);
                    ListDrawShadow(canvas, x, y, c.thumb->width, c.thumb->height);
                }
            } else {
                // Never viewed (or a damaged cache file): the icon with the
                // extension on its badge.
                text.placeholder = true;
                ListDrawIcon(canvas, box.left + 19, box.top + 14, in.icon);
                text.badge = BadgeTextOf(c.path);
                ListFill(canvas,
                         {box.left + 18, box.top + 22,
                          BadgeRight(box.left, text.badge, in.badgeCharWidth), box.top + 34},
                         kListBadgeColor);
                text.badgeTextRect = {box.left + 20, box.top + 22, box.left + 50, box.top + 37};
            }
            const bool selected = in.states && in.states->IsSelected(c.index);
            ListDrawFrame(canvas, layout, c.index, selected ? col.selFrame : col.frame);
            texts.push_back(std::move(text));
        }
        if (filled >= canvas.height && !more)
            break;
    }
    if (filled < canvas.height)
        ListFill(canvas, {0, std::max(filled, 0), canvas.width, canvas.height}, col.wndBack);
    return texts;
}
