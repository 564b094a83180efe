#include "app/Options.h"

#include <cstring>
#include <gtest/gtest.h>
#include <string>
#include <vector>

namespace {

// Records every step the confirmed options take, with the stored flags seen
// at the folder-tree rebuild.
class CRecordingTarget : public IOptionsTarget {
public:
    CSystemSettings settings;
    std::vector<std::string> steps;
    int rebuilds = 0;
    int deleteAtRebuild = -1, addAtRebuild = -1;

    CSystemSettings& Settings() override { return settings; }
    void SetListWhenSmallest(bool on) override {
        // The colours and the thumbnail size are stored by now.
        steps.push_back("list-when-smallest " + std::to_string(on) + " back " +
                        std::to_string(settings.crTumBack) + " cx " +
                        std::to_string(settings.nTumCx));
    }
    void RebuildFolderTree() override {
        ++rebuilds;
        deleteAtRebuild = settings.mDelete;
        addAtRebuild = settings.mAdd;
        steps.push_back("rebuild");
    }
    void SetPictureBackground(COLORREF c) override {
        steps.push_back("picture " + std::to_string(c) + " lastsee " +
                        std::to_string(settings.mLastSee));
    }
    void SetListColors(const CSystemSettings& s) override {
        steps.push_back("list " + std::to_string(s.crRightTubBk));
    }
    void SetSlideDelay(int ms) override { steps.push_back("delay " + std::to_string(ms)); }
    void SetDisplayMode(int m) override { steps.push_back("display " + std::to_string(m)); }
    void SetInterpolation(int i) override { steps.push_back("interp " + std::to_string(i)); }
    void SetWheelMode(int m, bool zoom) override {
        steps.push_back("wheel " + std::to_string(m) + " zoom " + std::to_string(zoom));
    }
};

TEST(Options, SchemesSetTheSixThumbnailColours) {
    struct Row {
        COLORREF back, info, indi, tile, tileBk, list;
    } rows[kSchemeCount] = {
        {RGB(255, 255, 255), RGB(0, 123, 255), RGB(128, 128, 128), RGB(0, 0, 0), RGB(255, 255, 255),
         RGB(255, 255, 255)},
        {RGB(198, 198, 198), RGB(0, 0, 0), RGB(255, 255, 255), RGB(0, 0, 0), RGB(198, 198, 198),
         RGB(198, 198, 198)},
        {RGB(255, 255, 255), RGB(255, 0, 0), RGB(0, 0, 0), RGB(0, 0, 0), RGB(255, 255, 255),
         RGB(255, 255, 255)},
    };
    for (int i = 0; i < kSchemeCount; ++i) {
        COptions o;
        o.crRight = o.crLeft = RGB(1, 2, 3);
        ApplyColorScheme(i, o);
        EXPECT_EQ(SchemeName(i), "方案" + std::to_string(i + 1));
        const Row& r = rows[i];
        EXPECT_EQ(o.crTumBack, r.back) << i;
        EXPECT_EQ(o.crTumCrInfo, r.info) << i;
        EXPECT_EQ(o.crTumCrIndi, r.indi) << i;
        EXPECT_EQ(o.crTumTile, r.tile) << i;
        EXPECT_EQ(o.crTumTileBk, r.tileBk) << i;
        EXPECT_EQ(o.crRightTubBk, r.list) << i;
        EXPECT_EQ(o.crRight, RGB(1, 2, 3)); // the display page's colours stay
    }
}

TEST(Options, ConfirmedValuesApplyInOrderAndRebuildTheTreeOnlyOnAChange) {
    CRecordingTarget t;
    t.settings.mAdd = 0;
    t.settings.mDelete = 1;
    COptions o = FillOptions(t.settings, 1000, 0, 0, 0, false);
    ApplyColorScheme(1, o);
    o.nCx = 120;
    o.bAdd = true;
    o.bDelete = false;
    o.bLastSee = true;
    o.bListWhenSmallest = true;
    o.crRight = RGB(10, 20, 30);
    o.nDelay = 3;
    o.nDisplayMode = 1;
    o.nInterp = 1;
    o.nWheel = 1;
    ApplyOptions(o, t);
    const std::vector<std::string> expected = {
        "list-when-smallest 1 back " + std::to_string(RGB(198, 198, 198)) + " cx 120",
        "rebuild",
        "picture " + std::to_string(RGB(10, 20, 30)) + " lastsee 1",
        "list " + std::to_string(RGB(198, 198, 198)),
        "delay 3000",
        "display 1",
        "interp 1",
        "wheel 1 zoom 1",
    };
    EXPECT_EQ(t.steps, expected);
    EXPECT_EQ(t.addAtRebuild, 1);    // stored before the rebuild
    EXPECT_EQ(t.deleteAtRebuild, 1); // stored after it
    EXPECT_EQ(t.settings.mDelete, 0);

    // The same options again, and the unchanged sheet of the new state:
    // no second rebuild, and every value stays.
    ApplyOptions(o, t);
    const CSystemSettings before = t.settings;
    ApplyOptions(FillOptions(t.settings, 3000, 1, 1, 1, true), t);
    EXPECT_EQ(t.rebuilds, 1);
    EXPECT_EQ(t.steps.back(), "wheel 1 zoom 1");
    EXPECT_EQ(t.steps[t.steps.size() - 4], "delay 3000"); // 3 s chosen, 3 s shown again
    EXPECT_EQ(0, std::memcmp(&before, &t.settings, sizeof before));

    // Switching the option off rebuilds again; the step wheel does not zoom.
    o.bAdd = false;
    o.nWheel = 0;
    ApplyOptions(o, t);
    EXPECT_EQ(t.rebuilds, 2);
    EXPECT_EQ(t.steps.back(), "wheel 0 zoom 0");
}

TEST(Options, SheetStartsFromTheFrameValues) {
    CSystemSettings s;
    s.crLeftBack = RGB(4, 5, 6);
    s.nTumCy = 150;
    s.mSave = 1;
    struct Case {
        int ms, seconds;
    } delays[] = {{1000, 1}, {3000, 3}, {19000, 19}, {3999, 3}, {0, 1}, {60000, 19}};
    for (const Case& c : delays)
        EXPECT_EQ(FillOptions(s, c.ms, 0, 0, 0, false).nDelay, c.seconds) << c.ms;
    COptions o = FillOptions(s, 2000, 1, 1, 1, true);
    EXPECT_EQ(o.crLeft, RGB(4, 5, 6));
    EXPECT_EQ(o.nCy, 150);
    EXPECT_TRUE(o.bSave && o.bListWhenSmallest);
    EXPECT_FALSE(o.bDelete);
    EXPECT_EQ(o.nDisplayMode + o.nInterp + o.nWheel, 3);
    EXPECT_EQ(DelayItemText(19), "19秒");
}

} // namespace
