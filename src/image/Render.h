#pragma once
#include "image/ImageBuffer.h"
#include "image/View.h"
#include "image/ViewDest.h"

#include <array>
#include <cstdint>
#include <vector>

// Draws a picture into the image window's pixel block as a CViewState places
// it: the reduced view below zoom 1.0, the direct copy at 1.0 and the
// enlarged view above, each by integer indexing (nearest neighbour), with the
// margins round the picture filled in the background colour.
//
// The column map and the row table are kept between drawings, so one
// renderer per window avoids an allocation per frame.
class CViewRenderer {
public:
    // Draws the whole block: picture in view.GetDestRect(), margins in `back`.
    // The block is meant to be the client area; parts of the view outside it
    // are clipped. When there is nothing to draw (no picture, a picture of
    // another size than the view expects, an invalid block) only the
    // background is filled and false is returned.
    bool Render(const CImageBuffer& image, const CViewState& view, COLORREF back,
                const CViewDest& dest);

    // The column map in groups of four columns for the shuffle path: group j
    // reads 16 bytes at anO0[j] (for columns 0 and 1) and 16 bytes at anO2[j]
    // (for columns 2 and 3); the two masks place the bytes.
    struct ColumnGroups {
        std::vector<std::uint32_t> anO0, anO2;
        std::vector<std::array<std::uint8_t, 16>> aMask01, aMask23;
        int Count() const { return int(anO0.size()); }
        void Clear();
    };

private:
    bool BuildColumnMap(const CImageBuffer& image, const CViewState& view, int x0, int n);
    void BuildRowTable(const CImageBuffer& image, const CViewState& view, int y0, int n);
    void BuildGroups(int w);

    std::vector<std::uint32_t> m_anColumnMap;  // byte offset of each column in a source row
    std::vector<const std::uint8_t*> m_apRows; // source row of each drawn row, top-down
    // What the cached column map was built for.
    struct ColumnKey {
        int nSourceWidth = -1;
        float fZoom = 0;
        int nOrigin = 0, nFirst = 0, nCount = 0;
        bool operator==(const ColumnKey&) const = default;
    } m_columnKey;
    bool m_bIdentityColumns = false;
    // Empty when some group spreads wider than 16 bytes, the map is the
    // identity, or the processor lacks byte shuffles.
    ColumnGroups m_groups;
};

// Draws with a renderer of its own (allocates its tables each time).
bool RenderView(const CImageBuffer& image, const CViewState& view, COLORREF back,
                const CViewDest& dest);

// Load failure: the window is cleared to the background and the text is
// drawn centred horizontally in this rectangle, in an 18-point "宋体" face.
inline constexpr const char* kLoadFailureText = "加载文件失败!";
inline constexpr COLORREF kLoadFailureTextColor = 0x997400;
ViewRect LoadFailureTextRect(int cw, int ch);
