#pragma once
#include "image/ImageBuffer.h"

#include <cstdint>
#include <optional>
#include <string>

// Resizing a picture and saving it: the rules of the dialog "更改尺寸保存",
// the nearest-neighbour resampler and the checks before a resized file is
// written.

// The units a size is entered in.
enum ESizeUnit { kUnitCm = 0, kUnitInch = 1, kUnitPixel = 2 };

// The text of a size of the given pixels on a screen of dpi dots per inch:
// centimetres "%.2f" of pixels / dpi x 2.54, inches "%.2f" of pixels / dpi,
// pixels "%d". Numbers always use "." as the decimal point.
std::string SizeText(std::int64_t pixels, int dpi, int unit);

// Reads a size typed in a unit as pixels: centimetres trunc(value x dpi x
// 0.3937...), inches trunc(value x dpi), pixels the integer. An empty text is
// 0. nullopt when the text is not a number of the unit: pixels are digits
// only, centimetres and inches digits with at most one decimal point. A
// value too large for 64 bits reads as the largest one.
std::optional<std::int64_t> ParseSizeText(const std::string& text, int dpi, int unit);

// The state of the resize dialog. The dialog shows what this holds and hands
// it the user's own actions; a text the dialog sets itself never comes back
// here, so a recomputed size never recomputes the size it came from.
class CResizeSaveModel {
public:
    // Opens with the picture's size in pixels and the screen's resolution.
    CResizeSaveModel(std::int64_t width, std::int64_t height, int dpiX, int dpiY);

    // A unit button: both sizes are shown again in the new unit.
    void SetUnit(int unit);
    // The user typed into the width (height) edit. With the ratio locked the
    // other size follows; returns whether it did, so the dialog shows it.
    // A text that is not a number of the unit changes nothing.
    bool OnWidthTyped(const std::string& text);
    bool OnHeightTyped(const std::string& text);
    // The lock check box; turning it on makes the height follow the width.
    void SetKeepRatio(bool on);
    // "复位": the opening size again.
    void Reset();

    std::string WidthText() const { return SizeText(m_nWidth, m_nDpiX, m_nUnit); }
    std::string HeightText() const { return SizeText(m_nHeight, m_nDpiY, m_nUnit); }

    int m_nUnit = kUnitPixel;           // the unit of both edits
    int m_nDpiX, m_nDpiY;               // the screen's dots per inch
    std::int64_t m_nWidth0, m_nHeight0; // the opening size, also the locked ratio
    bool m_bKeepRatio = true;
    std::int64_t m_nHeight, m_nWidth;

private:
    // v x to / from: a size scaled by the opening ratio (v itself when the
    // picture has no size).
    std::int64_t Scaled(std::int64_t v, std::int64_t to, std::int64_t from) const;
};

// Whether a picture of the requested size can be made.
enum class EResizeCheck {
    kOk,
    kBelowOne, // a side below 1 pixel
    kTooLarge, // the 24-bit block would exceed CImageBuffer::kMaxBlock
};
EResizeCheck CheckResizeSize(std::int64_t width, std::int64_t height);

// Nearest-neighbour resampling of the whole picture into a new picture of
// width x height: destination pixel (x, y), both counted from the bottom-left,
// takes source pixel (x * w / width, y * h / height) rounded down, where w x h
// is the source's size. The new picture keeps the source's bit depth and
// border colour. False (out is left as it was) when the source is empty, the
// size fails CheckResizeSize, or memory cannot be had.
bool ResampleImage(const CImageBuffer& src, int width, int height, CImageBuffer& out);

// Resamples the picture to width x height and saves the result as a file of
// the given format (kFormatBmp, kFormatJpeg, kFormatPng) through
// SaveImageFile: straight from memory, reaching the path only when complete.
// Shows no message; false when either step failed.
bool ResampleAndSave(const CImageBuffer& src, int width, int height, const std::string& path,
                     int format);
// The same as a BMP file.
bool ResampleToBmp(const CImageBuffer& src, int width, int height, const std::string& path);

// The file format a resized picture is saved in, from the chosen name's
// extension without regard to case: kFormatBmp for "bmp", kFormatJpeg for
// "jpg", 0 for any other (or none).
int ResizeFormatOf(const std::string& path);
