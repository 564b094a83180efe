#pragma once
#include <cstddef>
#include <cstdint>
#include <optional>
#include <vector>

struct CThumbnail;

// The bottom thumbnail strip of the image window: its geometry and the choice
// of the pictures it shows. The strip is a 66-pixel band along the bottom of
// the window with a 15-pixel arrow button at each end; between them the
// slots are 60 pixels wide, the last one possibly cut off.

constexpr int kStripHeight = 66;
constexpr int kStripArrowWidth = 15;
constexpr int kStripSlotWidth = 60;

struct StripRect {
    int left = 0, top = 0, right = 0, bottom = 0;
    bool operator==(const StripRect&) const = default;
};

// Slots offered for a client width: (cw - 30) / 60 + 1; none when the
// window is too narrow to hold the two arrow buttons.
int StripSlotCount(int clientWidth);

StripRect StripBandRect(int clientWidth, int clientHeight);
StripRect StripLeftArrowRect(int clientWidth, int clientHeight);
StripRect StripRightArrowRect(int clientWidth, int clientHeight);
// Slot i: x = 15 + 60 i ... 15 + 60 i + 60, the full band height.
StripRect StripSlotRect(int slot, int clientHeight);
// The highlight frame around slot i.
StripRect StripHighlightRect(int slot, int clientHeight);

// The slot under client x: (x - 15) / 60, rounded toward zero.
int StripSlotFromPoint(int x);

// The part of the band a click at client x falls on.
enum class StripHit { LeftArrow, RightArrow, Slot };
StripHit StripHitTest(int x, int clientWidth);

// What follows a click that opened the picture of a slot: the first slot
// steps the strip back one picture, a click between cw - 75 and cw - 15 (the
// last full slot) steps it forward one, any other slot refreshes it in place.
enum class StripFollowUp { StepBack, StepForward, Refresh };
StripFollowUp StripAfterSlotClick(int x, int clientWidth);

// How RecomputeStrip places the strip.
enum StripMode { kStripCentre = 0, kStripPageBack = 1, kStripPageForward = 2 };

// The list indices [first, end) a strip shows. Every operation below gives
// nullopt (nothing changes) unless the list holds more than one picture.
//   count: pictures in the list; cur: index of the current picture;
//   n: slots offered; stripFirst: index in the list of the path now in slot 0
//   (-1 when the strip is empty or that path is no longer listed).
struct StripRange {
    int first = 0, end = 0;
    bool operator==(const StripRange&) const = default;
};

std::optional<StripRange> RecomputeStrip(int count, int cur, int n, int stripFirst, int mode);
std::optional<StripRange> StripStepBack(int count, int n, int stripFirst);
std::optional<StripRange> StripStepForward(int count, int n, int stripFirst);

// The list indices FillStrip puts into the strip: first ... end - 1, those
// that lie in 0 ... count - 1.
std::vector<int> FillStrip(int first, int end, int count);

// The strip image: a bottom-up 24-bit block as wide as the slot area
// (cw - 30 pixels) and 66 rows high, rows padded to a multiple of 4 bytes.
// Slot i starts at column 60 i of the block.
std::size_t StripBlockSize(int width);

// Fills the block with the strip background (red 0xEE, green 0xE4, blue 0xE4)
// and draws the separators in grey 0x80: rows 2 and 64 (from the bottom) and
// every column that is a multiple of 60. A block of the wrong size is left
// alone.
void ClearStripBlock(std::vector<std::uint8_t>& block, int width);

// Draws slot i: a thumbnail with its lower-left corner at column
// 60 i + (60 - w) / 2, row (60 - h) / 2 + 3; without one (no cache file, or
// a damaged one) the placeholder, a grey ramp of 156 + row over rows 4 ... 62
// and columns 60 i + 1 ... 60 i + 59. Both are cut at the right end of the
// strip; an empty 0 x 0 thumbnail draws nothing.
void DrawStripSlot(std::vector<std::uint8_t>& block, int width, int slot, const CThumbnail* thumb);
