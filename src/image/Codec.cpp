#include "image/Codec.h"

#include "platform/FileOps.h"
#include "platform/PlatformUi.h"

#include <FreeImage.h>

#include <algorithm>
#include <cstdio>
#include <cstring>
#include <unistd.h>
#include <vector>

namespace {

struct DibDeleter {
    void operator()(FIBITMAP* d) const {
        if (d)
            FreeImage_Unload(d);
    }
};
using DibPtr = std::unique_ptr<FIBITMAP, DibDeleter>;

// The codec reads and writes through the stdio stream of a file the program
// opened itself.
unsigned DLL_CALLCONV StreamRead(void* buffer, unsigned size, unsigned count, fi_handle h) {
    return static_cast<unsigned>(std::fread(buffer, size, count, static_cast<std::FILE*>(h)));
}
unsigned DLL_CALLCONV StreamWrite(void* buffer, unsigned size, unsigned count, fi_handle h) {
    return static_cast<unsigned>(std::fwrite(buffer, size, count, static_cast<std::FILE*>(h)));
}
int DLL_CALLCONV StreamSeek(fi_handle h, long offset, int origin) {
    return std::fseek(static_cast<std::FILE*>(h), offset, origin);
}
long DLL_CALLCONV StreamTell(fi_handle h) {
    return std::ftell(static_cast<std::FILE*>(h));
}
FreeImageIO g_io = {StreamRead, StreamWrite, StreamSeek, StreamTell};

struct StreamCloser {
    void operator()(std::FILE* f) const {
        if (f)
            std::fclose(f);
    }
};
using StreamPtr = std::unique_ptr<std::FILE, StreamCloser>;

// A picture file opened through the guarded opener, as a stream for the codec.
StreamPtr OpenPictureStream(const std::string& path) {
    CFileHandle file = OpenRegularFile(path);
    if (!file)
        return nullptr;
    StreamPtr stream(::fdopen(file.Fd(), "rb"));
    if (stream)
        file.Release(); // the stream owns the descriptor now
    return stream;
}

FREE_IMAGE_FORMAT TypeOf(std::FILE* stream, const std::string& path) {
    FREE_IMAGE_FORMAT fif = FreeImage_GetFileTypeFromHandle(&g_io, stream, 0);
    if (fif == FIF_UNKNOWN)
        fif = FreeImage_GetFIFFromFilename(path.c_str()); // the name alone, nothing is opened
    if (fif == FIF_UNKNOWN || !FreeImage_FIFSupportsReading(fif))
        return FIF_UNKNOWN;
    return fif;
}

bool TooLarge(std::uint64_t width, std::uint64_t height) {
    return width == 0 || height == 0 || width > 0x7FFFFFFF || height > 0x7FFFFFFF ||
           CImageBuffer::StrideFor(static_cast<std::int64_t>(width)) * height >
               CImageBuffer::kMaxBlock;
}

// Reads the picture's size without decoding its pixels where the codec can;
// refusing an oversized picture here saves decoding it. The stream is rewound.
bool HeaderTooLarge(FREE_IMAGE_FORMAT fif, std::FILE* stream) {
    bool large = false;
    if (FreeImage_FIFSupportsNoPixels(fif)) {
        DibPtr head(FreeImage_LoadFromHandle(fif, &g_io, stream, FIF_LOAD_NOPIXELS));
        large = head && TooLarge(FreeImage_GetWidth(head.get()), FreeImage_GetHeight(head.get()));
    }
    return std::fseek(stream, 0, SEEK_SET) != 0 || large;
}

// Little-endian fields of the BMP headers.
void Put16(unsigned char* p, std::uint32_t v) {
    p[0] = v & 0xFF;
    p[1] = (v >> 8) & 0xFF;
}
void Put32(unsigned char* p, std::uint32_t v) {
    Put16(p, v & 0xFFFF);
    Put16(p + 2, v >> 16);
}

enum class Written { kOk, kNotCreated, kFailed };

// Streams a BMP whose rows (bottom-up) come from a callback into a new file
// that takes the target's place once it is complete.
template <typename RowFn>
Written WriteBmpRows(int width, int height, const std::string& path, RowFn row) {
    if (width <= 0 || height <= 0)
        return Written::kFailed;
    std::uint64_t stride = CImageBuffer::StrideFor(width);
    std::uint64_t fileSize = 54 + stride * static_cast<std::uint64_t>(height);
    if (fileSize > 0xFFFFFFFFu)
        return Written::kFailed;
    CAtomicFile file(path);
    if (!file.IsOpen())
        return Written::kNotCreated;
    unsigned char head[54] = {'B', 'M'};
    Put32(head + 2, static_cast<std::uint32_t>(fileSize));
    Put32(head + 10, 54);
    Put32(head + 14, 40);
    Put32(head + 18, static_cast<std::uint32_t>(width));
    Put32(head + 22, static_cast<std::uint32_t>(height));
    Put16(head + 26, 1);
    Put16(head + 28, 24);
    Put32(head + 34, static_cast<std::uint32_t>(stride * height));
    bool ok = file.Write(head, sizeof head);
    std::vector<unsigned char> line(stride, 0);
    for (int y = 0; ok && y < height; ++y) {
        std::memcpy(line.data(), row(y), 3 * std::size_t(width));
        ok = file.Write(line.data(), line.size());
    }
    return ok && file.Commit() ? Written::kOk : Written::kFailed;
}

// The rectangle clipped to the picture; false when nothing is left.
bool ClipRect(const CImageBuffer& img, int& left, int& top, int& right, int& bottom) {
    left = std::max(left, 0);
    top = std::max(top, 0);
    right = std::min(right, img.Width());
    bottom = std::min(bottom, img.Height());
    return !img.IsEmpty() && right > left && bottom > top;
}

Written WriteBmpRect(const CImageBuffer& img, int left, int top, int right, int bottom,
                     const std::string& path) {
    if (!ClipRect(img, left, top, right, bottom))
        return Written::kFailed;
    int firstRow = img.Height() - bottom; // bottom-up index of the rectangle's bottom row
    return WriteBmpRows(right - left, bottom - top, path,
                        [&](int y) { return img.Row(firstRow + y) + 3 * left; });
}

// Encodes a rectangle of the picture with the codec into a new file.
bool EncodeRect(const CImageBuffer& img, int left, int top, int right, int bottom,
                const std::string& path, FREE_IMAGE_FORMAT fif) {
    if (!ClipRect(img, left, top, right, bottom))
        return false;
    const int w = right - left, h = bottom - top;
    DibPtr dib(FreeImage_Allocate(w, h, 24));
    if (!dib)
        return false;
    const int firstRow = img.Height() - bottom;
    for (int y = 0; y < h; ++y)
        std::memcpy(FreeImage_GetScanLine(dib.get(), y), img.Row(firstRow + y) + 3 * left,
                    3 * std::size_t(w));
    // A BMP of the program's writer carries no resolution, so neither does
    // a picture the codec reads from one: the saved file has none either.
    FreeImage_SetDotsPerMeterX(dib.get(), 0);
    FreeImage_SetDotsPerMeterY(dib.get(), 0);
    CAtomicFile file(path);
    if (!file.IsOpen())
        return false;
    int fd = ::dup(file.Fd());
    StreamPtr stream(fd >= 0 ? ::fdopen(fd, "wb") : nullptr);
    if (!stream) {
        if (fd >= 0)
            ::close(fd);
        return false;
    }
    bool ok = FreeImage_SaveToHandle(fif, dib.get(), &g_io, stream.get(), 0) &&
              std::fflush(stream.get()) == 0 && !std::ferror(stream.get());
    stream.reset();
    return ok && file.Commit();
}

} // namespace

bool LoadImageFile(const std::string& path, CImageBuffer& out) {
    StreamPtr stream = OpenPictureStream(path);
    if (!stream)
        return false;
    FREE_IMAGE_FORMAT fif = TypeOf(stream.get(), path);
    if (fif == FIF_UNKNOWN)
        return false;
    if (HeaderTooLarge(fif, stream.get()))
        return false;
    DibPtr dib(FreeImage_LoadFromHandle(fif, &g_io, stream.get(), 0));
    stream.reset();
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

bool SaveImageFile(const CImageBuffer& img, int left, int top, int right, int bottom,
                   const std::string& path, int format) {
    switch (format) {
    case kFormatBmp:
        return WriteBmpRect(img, left, top, right, bottom, path) == Written::kOk;
    case kFormatJpeg:
        return EncodeRect(img, left, top, right, bottom, path, FIF_JPEG);
    case kFormatPng:
        return EncodeRect(img, left, top, right, bottom, path, FIF_PNG);
    default:
        return false;
    }
}

bool WriteBmpFile(const std::uint8_t* pixels, int width, int height, const std::string& path) {
    if (!pixels)
        return false;
    std::size_t stride = CImageBuffer::StrideFor(width);
    Written w =
        WriteBmpRows(width, height, path, [&](int y) { return pixels + std::size_t(y) * stride; });
    if (w == Written::kNotCreated)
        PlatformUi().MessageBox("创建文件失败");
    return w == Written::kOk;
}

bool SaveImageRect(const CImageBuffer& img, int left, int top, int right, int bottom,
                   const std::string& path) {
    Written w = WriteBmpRect(img, left, top, right, bottom, path);
    if (w == Written::kNotCreated)
        PlatformUi().MessageBox("创建文件失败");
    return w == Written::kOk;
}

bool SaveWholeImage(const CImageBuffer& img, const std::string& path) {
    return SaveImageRect(img, 0, 0, img.Width(), img.Height(), path);
}
