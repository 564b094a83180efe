#pragma once
#include "image/ImageBuffer.h"
#include "image/View.h"
#include "image/ViewDest.h"

#include <cstdint>
#include <string>
#include <vector>

// The overview ("鸟瞰图"): a small preview of the whole picture in a panel in
// a corner of the image window, with a red marker round the part the window
// shows. Dragging the marker scrolls the view; dragging elsewhere on the
// panel moves the panel; the close box in the caption band switches the
// overview off.
//
// Panel layout (client pixels, panel corner at (px, py)):
//   caption band  (px, py) .. (px + 100, py + 15), close box at its right end
//   preview area  (px, py + 15) .. (px + 100, py + 115), the fitted preview
//                 centred in it over the darkened view.

inline constexpr int kOverviewSide = 100;
inline constexpr int kOverviewCaptionHeight = 15;
inline constexpr int kOverviewCloseSide = 15;
inline constexpr int kOverviewBottomGap = 166; // panel top = client height - 166
inline constexpr int kOverviewDarkenPercent = 60;
inline constexpr COLORREF kOverviewCaptionColor = 0x643C3C;
inline constexpr COLORREF kOverviewTextColor = 0xF5F5E0;
inline constexpr COLORREF kOverviewEdgeColor = 0xFAFAFA;
inline constexpr COLORREF kOverviewMarkerColor = 0x1C1CE4;

enum class EOverviewHit { kNone, kClose, kMarker, kPanel };

class COverview {
public:
    // Builds the preview: a picture up to 100 x 100 is taken as it is, a
    // larger one fitted into 100 x 100 with its aspect ratio kept (nearest
    // pixel to each preview pixel's centre).
    void BuildOverview(const CImageBuffer& image);
    // The picture changed (edit, rotation, new load): the preview is stale.
    void Invalidate() { m_bValid = false; }
    bool IsValid() const { return m_bValid; }
    ViewSize GetPreviewSize() const { return {m_nWidth, m_nHeight}; }
    // Preview pixel (x, y from the top-left) as 0xFFRRGGBB.
    std::uint32_t PreviewPixel(int x, int y) const {
        return m_anPixels[std::size_t(y) * std::size_t(m_nWidth) + std::size_t(x)];
    }

    // Every size change puts the panel back at (cw - 100, ch - 166).
    void ResetPosition(int cw, int ch);
    ViewPoint GetPosition() const { return m_ptPanel; }
    void SetPosition(ViewPoint pt) { m_ptPanel = pt; }

    ViewRect PanelRect() const;
    ViewRect CaptionRect() const;
    ViewRect CloseRect() const;
    // Where the window writes the caption text (the band left of the close
    // box), in kOverviewTextColor on a transparent background.
    ViewRect CaptionTextRect() const;
    ViewRect PreviewRect() const;
    // The part of the picture the window shows, in client pixels over the
    // preview (while the marker is dragged: where the mouse put it).
    ViewRect MarkerRect(const CViewState& view) const;
    // "[%.0f%%]" of zoom x 100.
    static std::string CaptionText(float zoom);

    // Whether the panel is drawn: a preview exists and the view scrolls.
    bool IsShown(const CViewState& view) const { return m_bValid && view.IsScrollable(); }
    // Draws the panel over the view already in dest; false when not shown.
    // The caption text is left to the window.
    bool DrawOverview(const CViewDest& dest, const CViewState& view) const;
    EOverviewHit HitTest(int x, int y, const CViewState& view) const;

    // Marker drag: the marker follows the mouse inside the preview and the
    // view shows the part it covers. DragMarkerTo returns true when the view
    // moved.
    void BeginMarkerDrag(int x, int y, const CViewState& view);
    bool DragMarkerTo(int x, int y, CViewState& view);
    bool IsDraggingMarker() const { return m_bDraggingMarker; }
    // Panel drag: the panel follows the mouse, keeping the grab offset.
    void BeginPanelDrag(int x, int y);
    void DragPanelTo(int x, int y);
    bool IsDraggingPanel() const { return m_bDraggingPanel; }
    void EndDrag() { m_bDraggingMarker = m_bDraggingPanel = false; }

    // The pop-up preview of a right click with the overview off: the preview
    // alone with its corner at the point (moved inside the block when it
    // would stick out). A later left click inside it scrolls the view so
    // that the clicked place is in the middle of the window, as far as the
    // picture allows; ScrollToPopupPoint returns false for a click outside.
    ViewRect DrawPopup(const CViewDest& dest, int x, int y);
    ViewRect PopupRect() const { return m_rcPopup; }
    bool ScrollToPopupPoint(int x, int y, CViewState& view) const;

private:
    // Marker in preview pixels (relative to the preview's corner).
    ViewRect PreviewMarker(const CViewState& view) const;
    void CopyPreview(const CViewDest& dest, const ViewRect& at) const;

    std::vector<std::uint32_t> m_anPixels;
    int m_nWidth = 0, m_nHeight = 0; // fitted preview size
    int m_nImageWidth = 0, m_nImageHeight = 0;
    bool m_bValid = false;
    ViewPoint m_ptPanel;
    bool m_bDraggingMarker = false, m_bDraggingPanel = false;
    ViewPoint m_ptGrab;      // mouse offset from the dragged item's corner
    ViewRect m_rcDragMarker; // marker while it is dragged, preview pixels
    ViewRect m_rcPopup;
};
