#pragma once
#include "image/Zoom.h"

// Plain geometry of the image window, in client pixels (y downwards) unless
// said otherwise.
struct ViewPoint {
    int x = 0, y = 0;
    bool operator==(const ViewPoint&) const = default;
};

struct ViewSize {
    int cx = 0, cy = 0;
    bool operator==(const ViewSize&) const = default;
};

// Half-open rectangle: columns left .. right - 1, rows top .. bottom - 1.
struct ViewRect {
    int left = 0, top = 0, right = 0, bottom = 0;
    int Width() const { return right - left; }
    int Height() const { return bottom - top; }
    bool IsEmpty() const { return right <= left || bottom <= top; }
    bool Contains(int x, int y) const { return x >= left && x < right && y >= top && y < bottom; }
    bool operator==(const ViewRect&) const = default;
};

// How the zoomed picture sits in the window (m_nLayout).
enum : int {
    kLayoutBothOverflow = 1, // wider and taller than the client area
    kLayoutWider = 2,        // only wider
    kLayoutTaller = 3,       // only taller
    kLayoutFits = 4,         // fits in both directions
};

enum class EZoomOutResult {
    kStepped,          // moved one step down
    kStayedAtSmallest, // would have gone below step 1; shows step 1
    kLeftForList,      // below step 1 and the caller switches to the picture
                       // list; the view is unchanged
};

enum class EArrowKey { kLeft, kRight, kUp, kDown };

// The zoom, placement and scroll state of the image window. It knows sizes
// only; the pixels are drawn by CViewRenderer from this state.
//
// m_ptScroll is counted in pixels of the zoomed picture: x from its left
// column, y from its bottom row. It is the zoomed pixel shown at the lower
// left corner of m_rcDest.
class CViewState {
public:
    CViewState() { Place(); }

    // The client size changed. The ladder is built again for the new size
    // (so that the fit step keeps fitting), the step index follows the
    // zoom that is shown, and the placement is renewed; the zoom stays.
    // A picture opened while the window had no area gets its initial view
    // at the first real size.
    void SetClientSize(int cw, int ch);

    // A picture of w x h pixels was loaded: builds the ladder and shows the
    // initial zoom (the fit step when the picture is larger than the window,
    // else actual size, centred). With bActualSizeMode ("图片实际尺寸") the
    // step index for the following zoom commands becomes 10.
    void OpenPicture(int w, int h, bool bActualSizeMode);
    // The picture was turned and is now w x h: the ladder is built again and
    // the picture shown fitted (or at 1.0 when it fits).
    void ResetForRotation(int w, int h);
    // No picture (a load failed): size 0 x 0.
    void ClearPicture();
    bool HasPicture() const { return m_sizeImage.cx > 0 && m_sizeImage.cy > 0; }

    // The view commands. Each returns the zoom now shown; without a picture
    // they do nothing.
    float ZoomIn();
    // bLeaveForList: the option "图形缩到最小时出现列表框" is on and the
    // picture list is not empty. Only then does a step below step 1 leave the
    // view for the caller to switch to the list; otherwise the view stays at
    // step 1 and the zoom commands remain usable.
    EZoomOutResult ZoomOut(bool bLeaveForList);
    float FitToWindow();
    float ActualSize();
    // Sets the zoom, the sizes, the layout and the scroll offset.
    void ApplyZoom(float z);

    // A drag by (dx, dy) client pixels (mouse moved right and down for
    // positive values): the picture follows the mouse. Only at zoom 1.0 and
    // above on a scrollable view. Returns true when the offset changed.
    bool DragBy(int dx, int dy);
    // Pixels one arrow key moves the view by at the current zoom.
    int ArrowStep() const;
    bool ArrowKey(EArrowKey key);
    // Puts the view at a scroll offset, kept inside the part of the zoomed
    // picture that can be shown (used by the overview).
    bool ScrollTo(int x, int y);
    // Enlarges a part of the picture (picture pixels, top-down) by the whole
    // factor SelectionZoom gives and scrolls its top-left corner to the
    // window's top-left corner, as far as the picture reaches. Returns the
    // zoom now shown. (Defined with the selection, Selection.cpp.)
    float ZoomToSelection(const ViewRect& part);

    // The scroll offset of what is actually drawn: m_ptScroll kept inside
    // [0, scaled size - shown size], (0, 0) for a reduced view.
    ViewPoint GetShownOrigin() const;

    float GetZoom() const { return m_fZoom; }
    int GetZoomIndex() const { return m_nZoomIndex; }
    void SetZoomIndex(int i);
    const CZoomLadder& Ladder() const { return m_ladder; }
    float GetZoomStep(int i) const { return m_ladder.GetZoomStep(i); }
    float GetFitZoom() const { return m_ladder.GetFitZoom(); }
    float GetMinZoom() const { return m_ladder.GetMinZoom(); }
    bool IsLargerThanWindow() const { return m_bLargerThanWindow; }
    ViewSize GetImageSize() const { return m_sizeImage; }
    ViewSize GetScaledSize() const { return m_sizeScaled; }
    ViewSize GetClientSize() const { return m_sizeClient; }
    ViewPoint GetScroll() const { return m_ptScroll; }
    int GetLayout() const { return m_nLayout; }
    const ViewRect& GetDestRect() const { return m_rcDest; }
    bool IsScrollable() const { return m_bScrollable; }
    bool FillsMargins() const { return m_bFillMargins; }

    // Size of a picture side at zoom z: trunc(side x z).
    static int ScaledSide(int side, float z);

private:
    void Place();
    void ClampScroll();

    CZoomLadder m_ladder;
    float m_fZoom = 1.0f;
    int m_nZoomIndex = CZoomLadder::kActualStep;
    bool m_bLargerThanWindow = false;
    ViewSize m_sizeScaled, m_sizeImage, m_sizeClient;
    ViewPoint m_ptScroll;
    int m_nLayout = kLayoutFits;
    ViewRect m_rcDest;
    bool m_bScrollable = false;
    bool m_bFillMargins = true;
    bool m_bActualSizeMode = false; // as given to the last OpenPicture
};
