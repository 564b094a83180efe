#include "app/StripLogic.h"

#include "image/ImageBuffer.h"
#include "thumbs/ThumbCache.h"

#include <algorithm>

int StripSlotCount(int clientWidth) {
    const int area = clientWidth - 2 * kStripArrowWidth;
    return area < 0 ? 0 : area / kStripSlotWidth + 1;
}

StripRect StripBandRect(int clientWidth, int clientHeight) {
    return {0, clientHeight - kStripHeight, clientWidth, clientHeight};
}

StripRect StripLeftArrowRect(int, int clientHeight) {
    return {0, clientHeight - kStripHeight, kStripArrowWidth, clientHeight};
}

StripRect StripRightArrowRect(int clientWidth, int clientHeight) {
    return {clientWidth - kStripArrowWidth, clientHeight - kStripHeight, clientWidth, clientHeight};
}

StripRect StripSlotRect(int slot, int clientHeight) {
    const int left = kStripArrowWidth + kStripSlotWidth * slot;
    return {left, clientHeight - kStripHeight, left + kStripSlotWidth, clientHeight};
}

StripRect StripHighlightRect(int slot, int clientHeight) {
    const int left = kStripArrowWidth + kStripSlotWidth * slot;
    return {left, clientHeight - 64, left + kStripSlotWidth, clientHeight - 2};
}

int StripSlotFromPoint(int x) {
    return (x - kStripArrowWidth) / kStripSlotWidth;
}

StripHit StripHitTest(int x, int clientWidth) {
    if (x < kStripArrowWidth)
        return StripHit::LeftArrow;
    if (x >= clientWidth - kStripArrowWidth)
        return StripHit::RightArrow;
    return StripHit::Slot;
}

StripFollowUp StripAfterSlotClick(int x, int clientWidth) {
    if (StripSlotFromPoint(x) == 0)
        return StripFollowUp::StepBack;
    if (x >= clientWidth - kStripArrowWidth - kStripSlotWidth &&
        x <= clientWidth - kStripArrowWidth)
        return StripFollowUp::StepForward;
    return StripFollowUp::Refresh;
}

std::optional<StripRange> RecomputeStrip(int count, int cur, int n, int stripFirst, int mode) {
    if (count <= 1)
        return std::nullopt;
    int first = 0, end = 0;
    switch (mode) {
    case kStripPageBack:
        first = std::max(stripFirst - n, 0);
        end = std::min(first + n, count);
        break;
    case kStripPageForward:
        first = stripFirst + n;
        if (stripFirst + n > count)
            first = count - n;
        first = std::max(first, 0);
        end = first + n;
        if (end > count) {
            first = std::max(count - n, 0);
            end = count;
        }
        break;
    default: // centre on the current picture
        first = std::max(cur - n / 2, 0);
        end = std::min(first + n, count);
        break;
    }
    return StripRange{first, end};
}

std::optional<StripRange> StripStepBack(int count, int n, int stripFirst) {
    if (count <= 1)
        return std::nullopt;
    const int first = std::max(stripFirst - 1, 0);
    return StripRange{first, std::min(first + n, count)};
}

std::optional<StripRange> StripStepForward(int count, int n, int stripFirst) {
    if (count <= 1)
        return std::nullopt;
    int first = std::clamp(stripFirst + 1, 0, count - 1);
    int end = first + n;
    if (end > count) {
        end = count;
        first = std::max(end - n, 0);
    }
    return StripRange{first, end};
}

std::vector<int> FillStrip(int first, int end, int count) {
    std::vector<int> indices;
    for (int i = std::max(first, 0); i < end && i < count; ++i)
        indices.push_back(i);
    return indices;
}

std::size_t StripBlockSize(int width) {
    return width > 0 ? CImageBuffer::StrideFor(width) * kStripHeight : 0;
}

void ClearStripBlock(std::vector<std::uint8_t>& block, int width) {
    if (width <= 0 || block.size() != StripBlockSize(width))
        return;
    const std::size_t stride = CImageBuffer::StrideFor(width);
    for (int row = 0; row < kStripHeight; ++row) {
        std::uint8_t* p = block.data() + stride * row;
        for (int x = 0; x < width; ++x, p += 3) {
            if (row == 2 || row == 64 || x % kStripSlotWidth == 0) {
                p[0] = p[1] = p[2] = 0x80;
            } else {
                p[0] = 0xE4; // blue
                p[1] = 0xE4; // green
                p[2] = 0xEE; // red
            }
        }
    }
}

void DrawStripSlot(std::vector<std::uint8_t>& block, int width, int slot, const CThumbnail* thumb) {
    if (width <= 0 || slot < 0 || block.size() != StripBlockSize(width))
        return;
    const std::size_t stride = CImageBuffer::StrideFor(width);
    const int slotLeft = kStripSlotWidth * slot;
    if (!thumb) {
        for (int row = 4; row <= 62; ++row) {
            std::uint8_t* line = block.data() + stride * row;
            for (int x = slotLeft + 1; x <= slotLeft + 59 && x < width; ++x)
                line[3 * x] = line[3 * x + 1] = line[3 * x + 2] =
                    static_cast<std::uint8_t>(156 + row);
        }
        return;
    }
    const int w = thumb->width, h = thumb->height;
    if (w <= 0 || h <= 0 || w > kThumbMax || h > kThumbMax ||
        thumb->bits.size() < static_cast<std::size_t>(thumb->Stride()) * h)
        return;
    const int left = slotLeft + (kThumbMax - w) / 2;
    const int bottom = (kThumbMax - h) / 2 + 3;
    for (int r = 0; r < h; ++r) {
        const std::uint8_t* src =
            thumb->bits.data() + static_cast<std::size_t>(thumb->Stride()) * r;
        std::uint8_t* line = block.data() + stride * (bottom + r);
        for (int c = 0; c < w; ++c) {
            const int x = left + c;
            if (x < 0 || x >= width)
                continue;
            std::copy_n(src + 3 * c, 3, line + 3 * x);
        }
    }
}
