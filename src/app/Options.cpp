#include "app/Options.h"

#include <algorithm>

COptions FillOptions(const CSystemSettings& s, int slideDelayMs, int displayMode, int interpolation,
                     int wheelMode, bool listWhenSmallest) {
    COptions o;
    o.crRight = s.crRightBack;
    o.crLeft = s.crLeftBack;
    o.nDelay = std::clamp(slideDelayMs / 1000, kMinDelaySeconds, kMaxDelaySeconds);
    o.nDisplayMode = displayMode;
    o.nInterp = interpolation;
    o.nWheel = wheelMode;
    o.crTumBack = s.crTumBack;
    o.crTumCrInfo = s.crTumCrInfo;
    o.crTumCrIndi = s.crTumCrIndi;
    o.crTumTile = s.crTumTile;
    o.crTumTileBk = s.crTumTileBk;
    o.crRightTubBk = s.crRightTubBk;
    o.nCx = s.nTumCx;
    o.nCy = s.nTumCy;
    o.bAdd = s.mAdd != 0;
    o.bDelete = s.mDelete != 0;
    o.bSave = s.mSave != 0;
    o.bLastSee = s.mLastSee != 0;
    o.bListWhenSmallest = listWhenSmallest;
    o.bAutoThumb = s.mAutoThumb != 0;
    return o;
}

void ApplyOptions(const COptions& o, IOptionsTarget& target) {
    CSystemSettings& s = target.Settings();
    s.crTumBack = o.crTumBack;
    s.crTumCrInfo = o.crTumCrInfo;
    s.crTumCrIndi = o.crTumCrIndi;
    s.crTumTile = o.crTumTile;
    s.crTumTileBk = o.crTumTileBk;
    s.crRightTubBk = o.crRightTubBk;
    s.crRightBack = o.crRight;
    s.crLeftBack = o.crLeft;
    s.nTumCy = o.nCy;
    s.nTumCx = o.nCx;
    target.SetListWhenSmallest(o.bListWhenSmallest);
    const bool addChanged = (s.mAdd != 0) != o.bAdd;
    s.mAdd = o.bAdd ? 1 : 0;
    if (addChanged)
        target.RebuildFolderTree();
    s.mDelete = o.bDelete ? 1 : 0;
    s.mSave = o.bSave ? 1 : 0;
    s.mLastSee = o.bLastSee ? 1 : 0;
    s.mAutoThumb = o.bAutoThumb ? 1 : 0;
    target.SetPictureBackground(s.crRightBack);
    target.SetListColors(s);
    target.SetSlideDelay(o.nDelay * 1000);
    target.SetDisplayMode(o.nDisplayMode);
    target.SetInterpolation(o.nInterp);
    target.SetWheelMode(o.nWheel, o.nWheel >= 1);
}

std::string SchemeName(int scheme) {
    return "方案" + std::to_string(scheme + 1);
}

void ApplyColorScheme(int scheme, COptions& o) {
    struct Scheme {
        COLORREF back, selFrame, frame, caption, captionBack, listBack;
    };
    static constexpr Scheme kSchemes[kSchemeCount] = {
        {RGB(255, 255, 255), RGB(0, 123, 255), RGB(128, 128, 128), RGB(0, 0, 0), RGB(255, 255, 255),
         RGB(255, 255, 255)},
        {RGB(198, 198, 198), RGB(0, 0, 0), RGB(255, 255, 255), RGB(0, 0, 0), RGB(198, 198, 198),
         RGB(198, 198, 198)},
        {RGB(255, 255, 255), RGB(255, 0, 0), RGB(0, 0, 0), RGB(0, 0, 0), RGB(255, 255, 255),
         RGB(255, 255, 255)},
    };
    if (scheme < 0 || scheme >= kSchemeCount)
        return;
    const Scheme& c = kSchemes[scheme];
    o.crTumBack = c.back;
    o.crTumCrInfo = c.selFrame;
    o.crTumCrIndi = c.frame;
    o.crTumTile = c.caption;
    o.crTumTileBk = c.captionBack;
    o.crRightTubBk = c.listBack;
}

std::string DelayItemText(int seconds) {
    return std::to_string(seconds) + "秒";
}

const std::vector<MiscCheck>& MiscChecks() {
    static const std::vector<MiscCheck> checks = {
        {1055, "文件夹下，添加图形文件", &COptions::bAdd},
        {1056, "删除文件时，弹出提示信息", &COptions::bDelete},
        {1059, "旋转,翻转后，自动保存为jpg格式文件", &COptions::bSave},
        {1060, "第一次启动，显示上次浏览文件夹", &COptions::bLastSee},
        {1064, "图形缩到最小时出现列表框", &COptions::bListWhenSmallest},
        {1065, "浏览文件夹时，自动生成缩略图", &COptions::bAutoThumb},
    };
    return checks;
}
