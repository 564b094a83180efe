#pragma once
#include "app/Settings.h"

#include <string>
#include <vector>

// The options sheet "选项" as data: the values its pages show and edit, the
// colour schemes of the thumbnail page, and the order in which confirmed
// values reach the frame and its windows.

constexpr int kMinDelaySeconds = 1, kMaxDelaySeconds = 19;
constexpr int kMinThumbSide = 40, kMaxThumbSide = 160;

struct COptions {
    // "显示"
    COLORREF crRight = 0; // right-pane background ("右侧背景")
    COLORREF crLeft = 0;  // left background ("左侧背景")
    int nDelay = 1;       // slide-show delay in whole seconds
    int nDisplayMode = 0; // 0 "全幅图片", 1 "图片实际尺寸"
    int nInterp = 0;      // 0 "线性插值", 1 "高斯模糊"
    int nWheel = 0;       // 0 "上一张/下一张", 1 "放大/缩小 "
    // "缩略图 "
    COLORREF crTumBack = 0, crTumCrInfo = 0, crTumCrIndi = 0, crTumTile = 0, crTumTileBk = 0;
    COLORREF crRightTubBk = 0; // the list's background; only the schemes set it
    int nCx = 80, nCy = 80;    // thumbnail width and height
    // "杂项"
    bool bAdd = false;     // the folder tree lists picture files too
    bool bDelete = false;  // ask before deleting a file
    bool bSave = false;    // save as JPEG after a rotation or flip
    bool bLastSee = false; // show the last folder at start
    bool bListWhenSmallest = false;
    bool bAutoThumb = false; // make missing thumbnails while a folder is shown
};

// The sheet's starting values: the settings record and the frame's display
// options (the slide delay in milliseconds becomes whole seconds).
COptions FillOptions(const CSystemSettings& s, int slideDelayMs, int displayMode, int interpolation,
                     int wheelMode, bool listWhenSmallest);

// The frame and its windows, as the confirmed options reach them.
class IOptionsTarget {
public:
    virtual ~IOptionsTarget() = default;
    virtual CSystemSettings& Settings() = 0;
    virtual void SetListWhenSmallest(bool on) = 0;
    virtual void RebuildFolderTree() = 0;
    // The picture window's background and its buffer's border colour.
    virtual void SetPictureBackground(COLORREF c) = 0;
    // The thumbnail list's background and cell colours, then a repaint.
    virtual void SetListColors(const CSystemSettings& s) = 0;
    virtual void SetSlideDelay(int ms) = 0;
    virtual void SetDisplayMode(int mode) = 0;
    virtual void SetInterpolation(int interp) = 0;
    // The wheel option and whether the wheel zooms from now on.
    virtual void SetWheelMode(int mode, bool wheelZoom) = 0;
};

// Applies confirmed options in this order: the colours, the thumbnail size,
// the list-when-smallest option and the picture-files option are stored; the
// folder tree is rebuilt when the picture-files option changed; the other
// four flags are stored; then the picture background, the list colours, the
// slide delay, the display mode, the interpolation and the wheel.
void ApplyOptions(const COptions& o, IOptionsTarget& target);

// The colour schemes of the thumbnail page: "方案1", "方案2", "方案3".
constexpr int kSchemeCount = 3;
std::string SchemeName(int scheme);
// Sets the six thumbnail colours of a scheme (0 to 2).
void ApplyColorScheme(int scheme, COptions& o);

// The item of the delay list that names the seconds: "%d秒".
std::string DelayItemText(int seconds);

// The check boxes of the page "杂项", in order.
struct MiscCheck {
    int id;
    const char* text;
    bool COptions::*value;
};
const std::vector<MiscCheck>& MiscChecks();
