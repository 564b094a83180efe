#include "app/Options.h"

#include <cstring>
#include <gtest/gtest.h>
#include <string>
#include <vector>

namespace {

// Records every step the confirmed options take; the first three with what
// the record held at that moment, so the order of storing shows.
class CRecordingTarget : public IOptionsTarget {
public:
    CSystemSettings s;
    std::vector<std::string> steps;
    int rebuilds = 0;

    void Log(const std::string& what) { steps.push_back(what); }
    std::string Flags() const { return std::to_string(s.mAdd) + std::to_string(s.mDelete); }
    CSystemSettings& Settings() override { return s; }
    void SetListWhenSmallest(bool on) override {
        Log("smallest" + std::to_string(on) + " back" + std::to_string(GetRValue(s.crTumBack)));
    }
    void RebuildFolderTree() override { ++rebuilds, Log("rebuild " + Flags()); }
    void SetPictureBackground(COLORREF c) override {
        Log("picture" + std::to_string(GetBValue(c)) + " " + Flags());
    }
    void SetListColors(const CSystemSettings& c) override {
        Log("list" + std::to_string(GetRValue(c.crRightTubBk)));
    }
    void SetSlideDelay(int ms) override { Log("delay" + std::to_string(ms)); }
    void SetDisplayMode(int m) override { Log("display" + std::to_string(m)); }
    void SetInterpolation(int i) override { Log("interp" + std::to_string(i)); }
    void SetWheelMode(int m, bool zoom) override {
        Log("wheel" + std::to_string(m) + std::to_string(zoom));
    }
};

TEST(Options, ConfirmedValuesApplyInOrderAndRebuildTheTreeOnlyOnAChange) {
    CRecordingTarget t;
    t.s.mAdd = 0;
    t.s.mDelete = 1;
    COptions o = FillOptions(t.s, 1000, 0, 0, 0, false);
    ApplyColorScheme(1, o);
    o.bAdd = o.bListWhenSmallest = true;
    o.bDelete = false;
    o.crRight = RGB(10, 20, 30);
    o.nDelay = 3;
    o.nDisplayMode = o.nInterp = o.nWheel = 1;
    ApplyOptions(o, t);
    const std::vector<std::string> expected = {"smallest1 back198", "rebuild 11", "picture30 10",
                                               "list198",           "delay3000",  "display1",
                                               "interp1",           "wheel11"};
    EXPECT_EQ(t.steps, expected);

    // OK on the sheet opened again without a change: no rebuild, the same
    // steps from the list colours on (3 s again), every value as it was.
    const CSystemSettings before = t.s;
    ApplyOptions(FillOptions(t.s, 3000, 1, 1, 1, true), t);
    EXPECT_EQ(t.rebuilds, 1);
    EXPECT_EQ(std::vector(t.steps.end() - 5, t.steps.end()),
              std::vector(expected.end() - 5, expected.end()));
    EXPECT_EQ(std::memcmp(&before, &t.s, sizeof before), 0); // every colour and flag
}

} // namespace
