#pragma once
#include <cstddef>
#include <cstdint>
#include <string>
#include <vector>

// Geometry of the thumbnail list window: a grid of 84 x 80 cells, each with a
// 70 x 60 picture box at its top-left and a caption under it, scrolled by
// whole rows. All coordinates are client pixels.

constexpr int kListCellWidth = 84;
constexpr int kListCellHeight = 80;
constexpr int kListBoxWidth = 70;
constexpr int kListBoxHeight = 60;
// A rubber band must be wider than this to select; a narrower one is a click.
constexpr int kListMinBandWidth = 10;

struct ListRect {
    int left = 0, top = 0, right = 0, bottom = 0;
    int Width() const { return right - left; }
    int Height() const { return bottom - top; }
    bool operator==(const ListRect&) const = default;
};

// The same rectangle with left <= right and top <= bottom.
ListRect NormalizeRect(const ListRect& r);

// Two rectangles overlap when their centres are closer than half their summed
// sizes on both axes; touching edges do not overlap.
bool RectsOverlap(const ListRect& a, const ListRect& b);

// The layout of the list for a number of files, a client size and a top row.
class CListLayout {
public:
    CListLayout(int count, int clientWidth, int clientHeight, int topRow = 0)
        : m_nCount(count), m_cxClient(clientWidth), m_cyClient(clientHeight), m_nTopRow(topRow) {}

    int Count() const { return m_nCount; }
    int ClientHeight() const { return m_cyClient; }
    int TopRow() const { return m_nTopRow; }

    // clientWidth / 84, at least 1.
    int Columns() const;
    // Rows needed for all files; 0 for an empty folder.
    int Rows() const;
    // The highest top row: rows - 2 when there are at least 3 rows, else 0.
    // The scroll bar's range is 0 ... MaxTopRow().
    int MaxTopRow() const;
    // A top row kept within 0 ... MaxTopRow().
    int ClampTopRow(int topRow) const;
    // Index of the file in the top-left cell.
    int FirstVisible() const;

    // Cell, picture box and caption rectangle of file i (i >= FirstVisible()).
    ListRect CellRect(int index) const;
    ListRect BoxRect(int index) const;
    ListRect CaptionRect(int index) const;

    // The file under a client point: the whole 84 x 80 cell counts. -1 for a
    // point to the right of the last column, outside the client area above or
    // left of it, or past the last file.
    int HitTest(int x, int y) const;

    // Files selected by a rubber band, in index order: every cell from the
    // first visible one whose picture box overlaps the band, stopping after
    // the last file or after the first cell whose top is at or below the
    // client's bottom. Empty for a band not wider than 10 pixels.
    std::vector<int> FilesInBand(const ListRect& band) const;

private:
    int m_nCount;
    int m_cxClient;
    int m_cyClient;
    int m_nTopRow;
};

// Top-left corner of a w x h thumbnail centred in the picture box.
void ThumbOriginInBox(const ListRect& box, int w, int h, int& x, int& y);

// The caption of a cell: the title when its width is less than m, else its
// leading characters of a width up to m - 1 followed by ".", never splitting
// a character. A character outside ASCII counts 2 (it is about twice as wide
// as the average character), any other 1.
// m = 68 / the caption font's average character width.
std::string CutCaption(const std::string& title, int maxWidth);
int CaptionLimit(int averageCharWidth);

// The file name without its folder and without its last extension.
std::string ListTitleOf(const std::string& path);
// The placeholder badge text: the extension of the file name (after its last
// "."), upper-cased; empty when the name has none.
std::string BadgeTextOf(const std::string& path);
// Right edge of the badge rectangle that starts at left + 18: the badge is
// 4 pixels plus one average character width per byte of text.
int BadgeRight(int cellLeft, const std::string& badge, int averageCharWidth);

// Selection state of each file of the list: 1 = normal, 2 = selected. A state
// read beyond the table is 1; a write beyond it is ignored.
class CItemStates {
public:
    static constexpr std::int32_t kNormal = 1;
    static constexpr std::int32_t kSelected = 2;

    // n entries, all normal (a negative n gives none).
    void Reset(int n);
    // Every entry back to normal.
    void ClearMarks();
    void SelectAll();
    std::int32_t Get(int index) const;
    void Set(int index, std::int32_t state);
    bool IsSelected(int index) const { return Get(index) == kSelected; }
    int Count() const { return m_nItemStates; }

private:
    std::vector<std::int32_t> m_pItemState;
    int m_nItemStates = 0;
};
