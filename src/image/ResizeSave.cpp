#include "image/ResizeSave.h"

#include "image/Codec.h"

#include <charconv>
#include <cmath>
#include <cstring>
#include <limits>
#include <memory>
#include <new>

namespace {

constexpr std::int64_t kLargest = std::numeric_limits<std::int64_t>::max();
constexpr int kDefaultDpi = 96;

// trunc(v) in 64 bits; values beyond the range read as the largest one.
std::int64_t TruncSaturated(double v) {
    if (!(v > 0))
        return 0;
    if (v >= 9.2e18)
        return kLargest;
    return static_cast<std::int64_t>(v);
}

// a x b / c rounded down, exactly, for non-negative a and positive b, c.
std::int64_t MulDiv(std::int64_t a, std::int64_t b, std::int64_t c) {
    unsigned __int128 q = static_cast<unsigned __int128>(a) * static_cast<std::uint64_t>(b) /
                          static_cast<std::uint64_t>(c);
    return q > static_cast<unsigned __int128>(kLargest) ? kLargest : static_cast<std::int64_t>(q);
}

bool IsDigit(char c) {
    return c >= '0' && c <= '9';
}

} // namespace

std::string SizeText(std::int64_t pixels, int dpi, int unit) {
    if (unit == kUnitPixel)
        return std::to_string(pixels);
    double inches = static_cast<double>(pixels) / (dpi > 0 ? dpi : kDefaultDpi);
    double value = unit == kUnitCm ? inches * 2.54 : inches;
    char buf[64];
    auto r = std::to_chars(buf, buf + sizeof buf, value, std::chars_format::fixed, 2);
    return std::string(buf, r.ptr);
}

std::optional<std::int64_t> ParseSizeText(const std::string& text, int dpi, int unit) {
    std::size_t dots = 0, digits = 0;
    for (char c : text) {
        if (c == '.' && unit != kUnitPixel)
            ++dots;
        else if (IsDigit(c))
            ++digits;
        else
            return std::nullopt;
    }
    if (dots > 1)
        return std::nullopt;
    if (digits == 0)
        return 0; // nothing typed yet
    const char* first = text.data();
    const char* last = first + text.size();
    if (unit == kUnitPixel) {
        std::int64_t v = 0;
        auto r = std::from_chars(first, last, v);
        return r.ec == std::errc::result_out_of_range ? kLargest : v;
    }
    std::string number = text[0] == '.' ? "0" + text : text; // ".5" is half a unit
    double v = 0;
    auto r =
        std::from_chars(number.data(), number.data() + number.size(), v, std::chars_format::fixed);
    if (r.ec == std::errc::result_out_of_range) {
        // Too large, or so small that it is no pixel at all.
        std::string whole = number.substr(0, number.find('.'));
        return whole.find_first_not_of('0') == std::string::npos ? 0 : kLargest;
    }
    if (dpi <= 0)
        dpi = kDefaultDpi;
    return TruncSaturated(unit == kUnitCm ? v * dpi * 0.39370078740157477 : v * dpi);
}

CResizeSaveModel::CResizeSaveModel(std::int64_t width, std::int64_t height, int dpiX, int dpiY)
    : m_nDpiX(dpiX > 0 ? dpiX : kDefaultDpi), m_nDpiY(dpiY > 0 ? dpiY : kDefaultDpi),
      m_nWidth0(width), m_nHeight0(height), m_nHeight(height), m_nWidth(width) {}

void CResizeSaveModel::SetUnit(int unit) {
    if (unit >= kUnitCm && unit <= kUnitPixel)
        m_nUnit = unit;
}

// The locked size follows from the two opening sides exactly rather than from
// a rounded ratio, so typing the opening width gives the opening height.
std::int64_t CResizeSaveModel::Scaled(std::int64_t v, std::int64_t to, std::int64_t from) const {
    return m_nWidth0 >= 1 && m_nHeight0 >= 1 ? MulDiv(v, to, from) : v;
}

bool CResizeSaveModel::OnWidthTyped(const std::string& text) {
    std::optional<std::int64_t> v = ParseSizeText(text, m_nDpiX, m_nUnit);
    if (!v)
        return false;
    m_nWidth = *v;
    if (m_bKeepRatio)
        m_nHeight = Scaled(m_nWidth, m_nHeight0, m_nWidth0);
    return m_bKeepRatio;
}

bool CResizeSaveModel::OnHeightTyped(const std::string& text) {
    std::optional<std::int64_t> v = ParseSizeText(text, m_nDpiY, m_nUnit);
    if (!v)
        return false;
    m_nHeight = *v;
    if (m_bKeepRatio)
        m_nWidth = Scaled(m_nHeight, m_nWidth0, m_nHeight0);
    return m_bKeepRatio;
}

void CResizeSaveModel::SetKeepRatio(bool on) {
    m_bKeepRatio = on;
    if (on)
        m_nHeight = Scaled(m_nWidth, m_nHeight0, m_nWidth0);
}

void CResizeSaveModel::Reset() {
    m_nWidth = m_nWidth0;
    m_nHeight = m_nHeight0;
}

EResizeCheck CheckResizeSize(std::int64_t width, std::int64_t height) {
    if (width < 1 || height < 1)
        return EResizeCheck::kBelowOne;
    constexpr std::int64_t kMaxSide = std::numeric_limits<std::int32_t>::max();
    if (width > kMaxSide || height > kMaxSide ||
        CImageBuffer::StrideFor(width) * static_cast<std::uint64_t>(height) >
            CImageBuffer::kMaxBlock)
        return EResizeCheck::kTooLarge;
    return EResizeCheck::kOk;
}

bool ResampleImage(const CImageBuffer& src, int width, int height, CImageBuffer& out) {
    if (src.IsEmpty() || CheckResizeSize(width, height) != EResizeCheck::kOk)
        return false;
    const std::uint64_t stride = CImageBuffer::StrideFor(width);
    std::unique_ptr<std::uint8_t[]> block(new (std::nothrow)
                                              std::uint8_t[stride * std::uint64_t(height)]);
    std::unique_ptr<std::uint32_t[]> columns(new (std::nothrow) std::uint32_t[width]);
    if (!block || !columns)
        return false;
    // Byte offset in a source row of the pixel each destination column takes.
    const std::int64_t w = src.Width(), h = src.Height();
    for (int x = 0; x < width; ++x)
        columns[x] = static_cast<std::uint32_t>(3 * (std::int64_t(x) * w / width));
    const std::size_t pixelBytes = 3 * std::size_t(width);
    int fourByteEnd = 0;
    while (fourByteEnd < width - 1 && columns[fourByteEnd] < 3 * (w - 1))
        ++fourByteEnd;
    for (int y = 0; y < height; ++y) {
        const std::uint8_t* from = src.Row(static_cast<int>(std::int64_t(y) * h / height));
        std::uint8_t* const row = block.get() + std::size_t(y) * stride;
        std::uint8_t* to = row;
        // Four bytes at a time where the fourth is still inside the source
        // row and the next pixel overwrites it; the rest three at a time.
        int x = 0;
        for (; x < fourByteEnd; ++x, to += 3)
            std::memcpy(to, from + columns[x], 4);
        for (; x < width; ++x, to += 3) {
            const std::uint8_t* p = from + columns[x];
            to[0] = p[0];
            to[1] = p[1];
            to[2] = p[2];
        }
        std::memset(row + pixelBytes, 0, stride - pixelBytes);
    }
    CImageBuffer made;
    if (!made.AdoptDib(width, height, block.release(), src.GetBitCount(),
                       [](std::uint8_t* p) { delete[] p; }))
        return false;
    made.SetBackColor(src.GetBackColor());
    out = std::move(made);
    return true;
}

bool ResampleAndSave(const CImageBuffer& src, int width, int height, const std::string& path,
                     int format) {
    CImageBuffer resized;
    return ResampleImage(src, width, height, resized) &&
           SaveImageFile(resized, 0, 0, width, height, path, format);
}

bool ResampleToBmp(const CImageBuffer& src, int width, int height, const std::string& path) {
    return ResampleAndSave(src, width, height, path, kFormatBmp);
}

int ResizeFormatOf(const std::string& path) {
    std::string name = path.substr(path.find_last_of('/') + 1);
    std::size_t dot = name.find_last_of('.');
    if (dot == std::string::npos)
        return 0;
    std::string ext = name.substr(dot + 1);
    for (char& c : ext)
        if (c >= 'A' && c <= 'Z')
            c = static_cast<char>(c - 'A' + 'a');
    return ext == "bmp" ? kFormatBmp : ext == "jpg" ? kFormatJpeg : 0;
}
