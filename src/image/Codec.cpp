#include "image/Codec.h"

#include "platform/FileOps.h"
#include "platform/PlatformUi.h"

#include <FreeImage.h>

#include <algorithm>
#include <cerrno>
#include <cstdio>
#include <cstring>
#include <fcntl.h>
#include <sys/stat.h>
#include <unistd.h>
#include <vector>

namespace {

FREE_IMAGE_FORMAT TypeOf(const std::string& path) {
    FREE_IMAGE_FORMAT fif = FreeImage_GetFileType(path.c_str(), 0);
    if (fif == FIF_UNKNOWN)
        fif = FreeImage_GetFIFFromFilename(path.c_str());
    if (fif == FIF_UNKNOWN || !FreeImage_FIFSupportsReading(fif))
        return FIF_UNKNOWN;
    return fif;
}

struct DibDeleter {
    void operator()(FIBITMAP* d) const {
        if (d)
            FreeImage_Unload(d);
    }
};
using DibPtr = std::unique_ptr<FIBITMAP, DibDeleter>;

bool TooLarge(std::uint64_t width, std::uint64_t height) {
    return width == 0 || height == 0 || width > 0x7FFFFFFF || height > 0x7FFFFFFF ||
           CImageBuffer::StrideFor(static_cast<std::int64_t>(width)) * height >
               CImageBuffer::kMaxBlock;
}

// Reads the picture's size without decoding its pixels where the codec can;
// refusing an oversized picture here saves decoding it.
bool HeaderTooLarge(FREE_IMAGE_FORMAT fif, const std::string& path) {
    if (!FreeImage_FIFSupportsNoPixels(fif))
        return false;
    DibPtr head(FreeImage_Load(fif, path.c_str(), FIF_LOAD_NOPIXELS));
    return head && TooLarge(FreeImage_GetWidth(head.get()), FreeImage_GetHeight(head.get()));
}

void Put16(unsigned char* p, std::uint32_t v) {
    p[0] = v & 0xFF;
    p[1] = (v >> 8) & 0xFF;
}
void Put32(unsigned char* p, std::uint32_t v) {
    Put16(p, v & 0xFFFF);
    Put16(p + 2, v >> 16);
}

bool WriteAll(int fd, const void* data, std::size_t size) {
    const char* p = static_cast<const char*>(data);
    while (size > 0) {
        ssize_t n = ::write(fd, p, size);
        if (n < 0 && errno == EINTR)
            continue;
        if (n <= 0)
            return false;
        p += n;
        size -= static_cast<std::size_t>(n);
    }
    return true;
}

// Streams a BMP whose rows come from a callback into a temporary file beside
// the target, then renames it over the target.
template <typename RowFn>
bool WriteBmpRows(int width, int height, const std::string& path, RowFn row) {
    if (width <= 0 || height <= 0)
        return false;
    std::uint64_t stride = CImageBuffer::StrideFor(width);
    std::uint64_t fileSize = 54 + stride * static_cast<std::uint64_t>(height);
    if (fileSize > 0xFFFFFFFFu)
        return false;
    std::string tmp;
    int fd = MakeTempFileBeside(path, tmp);
    if (fd < 0) {
        PlatformUi().MessageBox("创建文件失败");
        return false;
    }
    unsigned char head[54] = {'B', 'M'};
    Put32(head + 2, static_cast<std::uint32_t>(fileSize));
    Put32(head + 10, 54);
    Put32(head + 14, 40);
    Put32(head + 18, static_cast<std::uint32_t>(width));
    Put32(head + 22, static_cast<std::uint32_t>(height));
    Put16(head + 26, 1);
    Put16(head + 28, 24);
    Put32(head + 34, static_cast<std::uint32_t>(stride * height));
    bool ok = WriteAll(fd, head, sizeof head);
    std::vector<unsigned char> line(stride, 0);
    for (int y = 0; ok && y < height; ++y) {
        std::memcpy(line.data(), row(y), 3 * std::size_t(width));
        ok = WriteAll(fd, line.data(), line.size());
    }
    ok = ::close(fd) == 0 && ok;
    if (ok && std::rename(tmp.c_str(), path.c_str()) == 0)
        return true;
    ::unlink(tmp.c_str());
    return false;
}

} // namespace

bool LoadImageFile(const std::string& path, CImageBuffer& out) {
    FREE_IMAGE_FORMAT fif = TypeOf(path);
    if (fif == FIF_UNKNOWN || HeaderTooLarge(fif, path))
        return false;
    DibPtr dib(FreeImage_Load(fif, path.c_str(), 0));
    if (!dib || !FreeImage_HasPixels(dib.get()))
        return false;
    unsigned bpp = FreeImage_GetBPP(dib.get());
    if (bpp != 24) {
        DibPtr converted(FreeImage_ConvertTo24Bits(dib.get()));
        if (!converted)
            return false;
        dib = std::move(converted); // the decoded bitmap is released at once
    }
    unsigned w = FreeImage_GetWidth(dib.get()), h = FreeImage_GetHeight(dib.get());
    if (TooLarge(w, h) || FreeImage_GetPitch(dib.get()) != CImageBuffer::StrideFor(w))
        return false;
    // The buffer takes the decoded bitmap's pixels over instead of copying
    // them, so a load needs one pixel block, not two.
    CImageBuffer loaded;
    FIBITMAP* owner = dib.release();
    if (!loaded.AdoptDib(static_cast<int>(w), static_cast<int>(h), FreeImage_GetBits(owner),
                         static_cast<std::uint16_t>(bpp),
                         [owner](std::uint8_t*) { FreeImage_Unload(owner); }))
        return false;
    loaded.SetBackColor(out.GetBackColor());
    out = std::move(loaded);
    return true;
}

std::string FormatDecodeTime(float seconds) {
    char buf[64];
    if (seconds <= 0)
        std::snprintf(buf, sizeof buf, "解码:< %3.3f秒", 0.001);
    else
        std::snprintf(buf, sizeof buf, "解码:%3.3f秒", static_cast<double>(seconds));
    return buf;
}

bool ConvertImageFile(const std::string& source, const std::string& target, int format) {
    FREE_IMAGE_FORMAT out;
    switch (format) {
    case kFormatBmp:
        out = FIF_BMP;
        break;
    case kFormatJpeg:
        out = FIF_JPEG;
        break;
    case kFormatPng:
        out = FIF_PNG;
        break;
    default:
        return false;
    }
    FREE_IMAGE_FORMAT fif = TypeOf(source);
    if (fif == FIF_UNKNOWN)
        return false;
    DibPtr dib(FreeImage_Load(fif, source.c_str(), 0));
    if (!dib)
        return false;
    DibPtr converted(FreeImage_ConvertTo24Bits(dib.get()));
    if (!converted)
        return false;
    dib.reset();
    std::string tmp;
    int fd = MakeTempFileBeside(target, tmp);
    if (fd < 0)
        return false;
    ::close(fd);
    bool ok = FreeImage_Save(out, converted.get(), tmp.c_str(), 0) &&
              std::rename(tmp.c_str(), target.c_str()) == 0;
    if (!ok)
        ::unlink(tmp.c_str());
    return ok;
}

bool WriteBmpFile(const std::uint8_t* pixels, int width, int height, const std::string& path) {
    if (!pixels)
        return false;
    std::size_t stride = CImageBuffer::StrideFor(width);
    return WriteBmpRows(width, height, path,
                        [&](int y) { return pixels + std::size_t(y) * stride; });
}

bool SaveImageRect(const CImageBuffer& img, int left, int top, int right, int bottom,
                   const std::string& path) {
    left = std::max(left, 0);
    top = std::max(top, 0);
    right = std::min(right, img.Width());
    bottom = std::min(bottom, img.Height());
    if (img.IsEmpty() || right <= left || bottom <= top)
        return false;
    int w = right - left, h = bottom - top;
    int firstRow = img.Height() - bottom; // bottom-up index of the rectangle's bottom row
    return WriteBmpRows(w, h, path, [&](int y) { return img.Row(firstRow + y) + 3 * left; });
}

bool SaveWholeImage(const CImageBuffer& img, const std::string& path) {
    return SaveImageRect(img, 0, 0, img.Width(), img.Height(), path);
}
