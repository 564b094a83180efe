#include "image/Codec.h"

#include "image/JpegDecode.h"
#include "platform/ChildProcess.h"
#include "platform/FileOps.h"
#include "platform/PlatformUi.h"

#include <FreeImage.h>

#include <algorithm>
#include <chrono>
#include <functional>
#include <cstdio>
#include <cstring>
#include <sys/mman.h>
#include <sys/stat.h>
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

// Bytes of a block with rows padded to 4 bytes, saturated at the largest
// number (a header may claim anything).
std::uint64_t BlockBytes(unsigned bpp, std::uint64_t width, std::uint64_t height) {
    using Wide = unsigned __int128;
    if (width > UINT32_MAX || height > UINT32_MAX)
        return UINT64_MAX;
    Wide bytes = (Wide(width) * bpp + 31) / 32 * 4 * height;
    return bytes > UINT64_MAX ? UINT64_MAX : static_cast<std::uint64_t>(bytes);
}

std::uint64_t SaturatedSum(std::uint64_t a, std::uint64_t b) {
    return a > UINT64_MAX - b ? UINT64_MAX : a + b;
}

// What one conversion step makes of a block of the given type and depth,
// and the scratch block the step holds besides its input and output.
struct Step {
    FREE_IMAGE_TYPE type;
    unsigned bpp;
    unsigned scratchBpp;
};

Step NextStep(FREE_IMAGE_TYPE type) {
    switch (type) {
    case FIT_BITMAP:
    case FIT_RGB16:
    case FIT_RGBA16:
        return {FIT_BITMAP, 24, 0};
    case FIT_RGBAF:
        return {FIT_RGBF, 96, 0}; // alpha dropped first
    case FIT_RGBF:
        return {FIT_BITMAP, 24, 96}; // the tone mapper works on its own copy
    default:
        return {FIT_BITMAP, 8, 0}; // one channel: 8-bit grey first
    }
}

bool Is24Bits(FREE_IMAGE_TYPE type, unsigned bpp) {
    return type == FIT_BITMAP && bpp == 24;
}

// The colour of an RGBA float picture as RGB float. (The codec's own
// conversion clamps every channel to 0 ... 1, which would leave nothing for
// the tone mapper to map.)
FIBITMAP* DropAlpha(FIBITMAP* dib) {
    const unsigned w = FreeImage_GetWidth(dib), h = FreeImage_GetHeight(dib);
    FIBITMAP* rgb = FreeImage_AllocateT(FIT_RGBF, static_cast<int>(w), static_cast<int>(h));
    for (unsigned y = 0; rgb && y < h; ++y) {
        const auto* in = reinterpret_cast<const FIRGBAF*>(FreeImage_GetScanLine(dib, int(y)));
        auto* out = reinterpret_cast<FIRGBF*>(FreeImage_GetScanLine(rgb, int(y)));
        for (unsigned x = 0; x < w; ++x)
            out[x] = {in[x].red, in[x].green, in[x].blue};
    }
    return rgb;
}

// One step towards 24 bits; null when the codec cannot make it.
FIBITMAP* ConvertStep(FIBITMAP* dib) {
    switch (FreeImage_GetImageType(dib)) {
    case FIT_BITMAP:
    case FIT_RGB16:
    case FIT_RGBA16:
        return FreeImage_ConvertTo24Bits(dib);
    case FIT_UINT16:
        return FreeImage_ConvertTo8Bits(dib); // the high byte of each value
    case FIT_RGBAF:
        return DropAlpha(dib);
    case FIT_RGBF:
        return FreeImage_ToneMapping(dib, FITMO_DRAGO03, 0, 0);
    default:
        return FreeImage_ConvertToStandardType(dib, TRUE); // its own range, linearly
    }
}

bool FitsTheCap(FREE_IMAGE_TYPE type, unsigned bpp, std::uint64_t w, std::uint64_t h) {
    return w > 0 && h > 0 && w <= 0x7FFFFFFF && h <= 0x7FFFFFFF &&
           DecodePeakBytes(type, bpp, w, h) <= CImageBuffer::kMaxBlock;
}

bool FitsTheCap(FIBITMAP* dib) {
    return FitsTheCap(FreeImage_GetImageType(dib), FreeImage_GetBPP(dib), FreeImage_GetWidth(dib),
                      FreeImage_GetHeight(dib));
}

// The codec reads no GIF header alone, so the program reads it: the size of
// the first picture and the depth the codec gives it (1, 4 or 8 bits by the
// size of its colour table). False when the header cannot be read.
bool ReadGifHeader(std::FILE* f, unsigned& w, unsigned& h, unsigned& bpp) {
    unsigned char b[13];
    if (std::fread(b, 1, 13, f) != 13)
        return false;
    auto tableBits = [](unsigned char packed) {
        return (packed & 0x80) ? (packed & 7) + 1 : 0; // log2 of the colours; 0: no table
    };
    int bits = tableBits(b[10]);
    long skip = bits ? 3L << bits : 0; // the global colour table
    for (int blocks = 0; blocks < 100000; ++blocks) {
        int kind = (std::fseek(f, skip, SEEK_CUR) == 0) ? std::fgetc(f) : EOF;
        skip = 0;
        if (kind == 0x21) { // an extension: its label, then sub-blocks up to an empty one
            int n = std::fgetc(f) == EOF ? EOF : std::fgetc(f);
            while (n > 0 && std::fseek(f, n, SEEK_CUR) == 0)
                n = std::fgetc(f);
            if (n != 0)
                return false;
            continue;
        }
        if (kind != 0x2C || std::fread(b, 1, 9, f) != 9)
            return false;
        w = b[4] | b[5] << 8;
        h = b[6] | b[7] << 8;
        if (tableBits(b[8]))
            bits = tableBits(b[8]);
        bpp = bits == 1 ? 1 : bits >= 2 && bits <= 4 ? 4 : 8;
        return true;
    }
    return false;
}

// False when the GIF would not fit the cap; a header that cannot be read is
// left to the codec.
bool GifFitsTheCap(std::FILE* f) {
    unsigned w = 0, h = 0, bpp = 0;
    return !ReadGifHeader(f, w, h, bpp) || FitsTheCap(FIT_BITMAP, bpp, w, h);
}

// The codec reads a WBMP header without looking at the end of the file: an
// extension flag on the last byte makes it read for ever. So the program
// reads the header first: the type (0), the fixed byte, each extension field
// and both sides must all be there, and the picture must fit the cap.
bool WbmpHeaderIsWhole(std::FILE* f) {
    // A number of 7-bit groups, the high bit set on all but the last.
    auto number = [f](std::uint64_t& value) {
        value = 0;
        for (int c = std::fgetc(f); c != EOF; c = std::fgetc(f)) {
            value = value << 7 | (c & 0x7F);
            if (!(c & 0x80))
                return true;
        }
        return false;
    };
    std::uint64_t type = 0, w = 0, h = 0;
    int field = number(type) && (type & 0xFFFF) == 0 ? std::fgetc(f) : EOF;
    if (field == EOF)
        return false;
    while (field & 0x80) {
        if ((field = std::fgetc(f)) == EOF)
            return false;
        std::uint64_t skipped = 0;
        if ((field & 0x60) == 0x00 && !number(skipped))
            return false;
        if ((field & 0x60) == 0x60 &&
            std::fseek(f, ((field & 0x70) >> 4) + (field & 0x0F), SEEK_CUR) != 0)
            return false;
    }
    // The codec keeps 16 bits of each number.
    return number(w) && number(h) && FitsTheCap(FIT_BITMAP, 1, w & 0xFFFF, h & 0xFFFF);
}

// Whether the picture in the stream fits the cap by its header, where the
// header can be read without decoding; the stream is rewound.
bool HeaderFitsTheCap(FREE_IMAGE_FORMAT fif, std::FILE* stream) {
    bool fits = true;
    if (FreeImage_FIFSupportsNoPixels(fif)) {
        DibPtr head(FreeImage_LoadFromHandle(fif, &g_io, stream, FIF_LOAD_NOPIXELS));
        fits = !head || FitsTheCap(head.get());
    } else if (fif == FIF_GIF) {
        fits = GifFitsTheCap(stream);
    } else if (fif == FIF_WBMP) {
        fits = WbmpHeaderIsWhole(stream);
    }
    return std::fseek(stream, 0, SEEK_SET) == 0 && fits;
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
    // File header, then the information header; its last five fields (image
    // size, both resolutions, colours used and important) stay 0.
    unsigned char head[54] = {'B', 'M'};
    Put32(head + 2, static_cast<std::uint32_t>(fileSize));
    Put32(head + 10, 54);
    Put32(head + 14, 40);
    Put32(head + 18, static_cast<std::uint32_t>(width));
    Put32(head + 22, static_cast<std::uint32_t>(height));
    Put16(head + 26, 1);
    Put16(head + 28, 24);
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

// The picture in the stream as a 24-bit bitmap whose rows are
// CImageBuffer::StrideFor(width) apart; bpp gets the file's own depth. The
// stream is closed once the codec has read it.
DibPtr DecodeTo24Bits(FREE_IMAGE_FORMAT fif, StreamPtr stream, unsigned& bpp) {
    DibPtr dib(FreeImage_LoadFromHandle(fif, &g_io, stream.get(), 0));
    stream.reset();
    if (!dib || !FreeImage_HasPixels(dib.get()) || !FitsTheCap(dib.get()))
        return nullptr;
    bpp = FreeImage_GetBPP(dib.get());
    for (int i = 0;
         i < 3 && !Is24Bits(FreeImage_GetImageType(dib.get()), FreeImage_GetBPP(dib.get())); ++i) {
        DibPtr converted(ConvertStep(dib.get()));
        if (!converted)
            return nullptr;
        dib = std::move(converted); // each step's input is released at once
    }
    if (!Is24Bits(FreeImage_GetImageType(dib.get()), FreeImage_GetBPP(dib.get())) ||
        FreeImage_GetPitch(dib.get()) != CImageBuffer::StrideFor(FreeImage_GetWidth(dib.get())))
        return nullptr;
    return dib;
}

// The codec's readers of these formats crash (PSD, JPEG XR) or never end
// (OpenEXR, PICT) on some damaged files, a cut-off PSD or a one-byte PICT
// among them.
bool DecodedApart(FREE_IMAGE_FORMAT fif) {
    return fif == FIF_PSD || fif == FIF_JXR || fif == FIF_EXR || fif == FIF_PICT;
}

bool WriteAllAt(int fd, const std::uint8_t* data, std::uint64_t size, off_t at) {
    while (size > 0) {
        const ssize_t n = ::pwrite(fd, data, std::min<std::uint64_t>(size, 1 << 30), at);
        if (n <= 0)
            return false;
        data += n;
        size -= std::uint64_t(n);
        at += n;
    }
    return true;
}

// Runs work in a child process, so that a reader that crashes or runs past
// its time fails the work, never the program; true when the child ended
// well within the given seconds.
bool RunApart(long seconds, const std::function<bool()>& work) {
    std::fflush(nullptr);
    const pid_t child = ::fork();
    if (child == 0)
        ::_exit(work() ? 0 : 1);
    return child > 0 &&
           WaitForChild(child, std::chrono::steady_clock::now() + std::chrono::seconds(seconds),
                        true) == 0;
}

// Decodes in a child process into a block both share. The time grows with
// the file: two seconds and one more for each 4 MB.
bool DecodeInAChild(FREE_IMAGE_FORMAT fif, StreamPtr stream, CImageBuffer& loaded) {
    struct stat st {};
    const int fd = ::memfd_create("kelvra-picture", MFD_CLOEXEC);
    if (fd < 0 || ::fstat(::fileno(stream.get()), &st) != 0) {
        if (fd >= 0)
            ::close(fd);
        return false;
    }
    constexpr off_t kPixelsAt = 4096; // the header first, the pixels on a page of their own
    const bool decoded = RunApart(2 + st.st_size / (4 << 20), [&] {
        unsigned bpp = 0;
        DibPtr dib = HeaderFitsTheCap(fif, stream.get())
                         ? DecodeTo24Bits(fif, std::move(stream), bpp)
                         : nullptr;
        if (!dib)
            return false;
        const std::uint32_t head[3] = {FreeImage_GetWidth(dib.get()),
                                       FreeImage_GetHeight(dib.get()), bpp};
        const std::uint64_t bytes = std::uint64_t(FreeImage_GetPitch(dib.get())) * head[1];
        return ::ftruncate(fd, kPixelsAt + off_t(bytes)) == 0 &&
               WriteAllAt(fd, reinterpret_cast<const std::uint8_t*>(head), sizeof head, 0) &&
               WriteAllAt(fd, FreeImage_GetBits(dib.get()), bytes, kPixelsAt);
    });
    stream.reset();
    std::uint32_t head[3] = {};
    struct stat shared {};
    const bool whole = decoded && ::pread(fd, head, sizeof head, 0) == ssize_t(sizeof head) &&
                       ::fstat(fd, &shared) == 0 && head[0] > 0 && head[1] > 0;
    const std::uint64_t bytes = whole ? CImageBuffer::StrideFor(head[0]) * head[1] : 0;
    void* base = whole && std::uint64_t(shared.st_size) == kPixelsAt + bytes
                     ? ::mmap(nullptr, kPixelsAt + bytes, PROT_READ | PROT_WRITE, MAP_SHARED, fd, 0)
                     : MAP_FAILED;
    ::close(fd); // the mapping keeps the block
    if (base == MAP_FAILED)
        return false;
    return loaded.AdoptDib(int(head[0]), int(head[1]), static_cast<std::uint8_t*>(base) + kPixelsAt,
                           std::uint16_t(head[2]),
                           [base, bytes](std::uint8_t*) { ::munmap(base, kPixelsAt + bytes); });
}

} // namespace

std::uint64_t DecodePeakBytes(int imageType, unsigned bitsPerPixel, std::uint64_t width,
                              std::uint64_t height) {
    auto type = static_cast<FREE_IMAGE_TYPE>(imageType);
    unsigned bpp = bitsPerPixel;
    std::uint64_t held = BlockBytes(bpp, width, height), peak = held;
    // At most three steps reach 24 bits; each holds its input and output.
    for (int i = 0; i < 3 && !Is24Bits(type, bpp); ++i) {
        Step s = NextStep(type);
        std::uint64_t out = BlockBytes(s.bpp, width, height);
        peak = std::max(
            peak, SaturatedSum(SaturatedSum(held, BlockBytes(s.scratchBpp, width, height)), out));
        held = out;
        type = s.type;
        bpp = s.bpp;
    }
    return peak;
}

bool LoadImageFile(const std::string& path, CImageBuffer& out) {
    StreamPtr stream = OpenPictureStream(path);
    if (!stream)
        return false;
    FREE_IMAGE_FORMAT fif = TypeOf(stream.get(), path);
    if (fif == FIF_UNKNOWN)
        return false;
    // JPEG goes to libjpeg-turbo first, which gives the same pixels faster;
    // what it refuses is the codec's.
    if (fif == FIF_JPEG && DecodeJpegFast(::fileno(stream.get()), out))
        return true;
    // The header alone tells size, type and depth where it can be read: an
    // oversized picture is refused before anything is decoded.
    CImageBuffer loaded;
    if (DecodedApart(fif)) {
        if (!DecodeInAChild(fif, std::move(stream), loaded))
            return false;
    } else {
        if (!HeaderFitsTheCap(fif, stream.get()))
            return false;
        unsigned bpp = 0;
        DibPtr dib = DecodeTo24Bits(fif, std::move(stream), bpp);
        if (!dib)
            return false;
        // The buffer takes the converted bitmap's pixels over instead of
        // copying them, so a load needs one 24-bit block, not two.
        FIBITMAP* owner = dib.release();
        if (!loaded.AdoptDib(static_cast<int>(FreeImage_GetWidth(owner)),
                             static_cast<int>(FreeImage_GetHeight(owner)), FreeImage_GetBits(owner),
                             static_cast<std::uint16_t>(bpp),
                             [owner](std::uint8_t*) { FreeImage_Unload(owner); }))
            return false;
    }
    loaded.SetBackColor(out.GetBackColor());
    out = std::move(loaded);
    return true;
}

std::optional<ImageHeader> ReadImageHeader(const std::string& path) {
    StreamPtr stream = OpenPictureStream(path);
    FREE_IMAGE_FORMAT fif = stream ? TypeOf(stream.get(), path) : FIF_UNKNOWN;
    unsigned w = 0, h = 0, bpp = 0;
    if (fif == FIF_GIF) {
        if (!ReadGifHeader(stream.get(), w, h, bpp))
            return std::nullopt;
    } else if (fif != FIF_UNKNOWN && !DecodedApart(fif) && FreeImage_FIFSupportsNoPixels(fif)) {
        // (The readers that may crash or never end are run in a child
        // process only, never for a header alone.)
        DibPtr head(FreeImage_LoadFromHandle(fif, &g_io, stream.get(), FIF_LOAD_NOPIXELS));
        if (!head)
            return std::nullopt;
        w = FreeImage_GetWidth(head.get());
        h = FreeImage_GetHeight(head.get());
        bpp = FreeImage_GetBPP(head.get());
    } else {
        return std::nullopt;
    }
    if (w == 0 || h == 0 || w > 0x7FFFFFFF || h > 0x7FFFFFFF)
        return std::nullopt;
    return ImageHeader{static_cast<int>(w), static_cast<int>(h), static_cast<int>(bpp)};
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
