#include "thumbs/ThumbCache.h"

#include "platform/DirList.h"
#include "platform/FileOps.h"
#include "platform/PlatformUi.h"
#include "platform/ProgramFolder.h"

#include <cerrno>
#include <fcntl.h>
#include <limits>
#include <new>
#include <sys/stat.h>
#include <unistd.h>

namespace {

void AppendTime(std::string& out, std::int64_t seconds) {
    UtcTime t = ToUtc(seconds);
    for (int v : {t.year, t.month, t.day, t.hour, t.minute})
        out += std::to_string(v);
}

// The stamp of a picture file; empty when it cannot be opened for reading.
std::string Stamp(const std::string& path) {
    if (!OpenRegularFile(path))
        return {};
    std::optional<FileFacts> facts = GetFileFacts(path);
    if (!facts)
        return {};
    return ThumbStamp(facts->size, facts->created, facts->modified);
}

std::int32_t ReadLe32(const char* p) {
    std::uint32_t v = 0;
    for (int i = 3; i >= 0; --i)
        v = (v << 8) | static_cast<unsigned char>(p[i]);
    return static_cast<std::int32_t>(v);
}

void AppendLe32(std::string& out, std::int32_t value) {
    auto v = static_cast<std::uint32_t>(value);
    for (int i = 0; i < 4; ++i)
        out.push_back(static_cast<char>((v >> (8 * i)) & 0xFF));
}

bool EndsWithNoCase(const std::string& text, const std::string& tail) {
    return text.size() >= tail.size() &&
           CompareNoCase(text.substr(text.size() - tail.size()), tail) == 0;
}

} // namespace

std::string ThumbStamp(std::uint64_t size, std::int64_t created, std::int64_t modified) {
    std::string s = std::to_string(static_cast<std::int32_t>(static_cast<std::uint32_t>(size)));
    AppendTime(s, created);
    AppendTime(s, modified);
    return s;
}

std::string GetThumbFolder() {
    return GetProgramFolder() + "Thumb/";
}

std::string GetThumbName(const std::string& path) {
    std::string name = FileNameOf(path);
    std::size_t dot = name.find_last_of('.');
    if (dot != std::string::npos)
        name.erase(dot);
    return Stamp(path) + name + ".xux";
}

std::string GetThumbPath(const std::string& path) {
    return GetThumbFolder() + GetThumbName(path);
}

bool ThumbExists(const std::string& path) {
    return FileExists(GetThumbPath(path));
}

ThumbSize ComputeThumbSize(std::int64_t width, std::int64_t height) {
    ThumbSize s;
    if (width < 1 || height < 1)
        return s;
    const double W = static_cast<double>(width), H = static_cast<double>(height);
    // The box the picture is fitted into; its free side is even so that it
    // can be centred in 60 x 60.
    if (width <= kThumbMax && height <= kThumbMax) {
        s.boxWidth = static_cast<int>(width);
        s.boxHeight = static_cast<int>(height);
    } else {
        double kx = kThumbMax / W;
        float ky = static_cast<float>(kThumbMax / H);
        if (kx < ky) {
            s.boxWidth = kThumbMax;
            s.boxHeight = 2 * static_cast<int>(H * kx / 2);
        } else {
            s.boxHeight = kThumbMax;
            s.boxWidth = 2 * static_cast<int>(W * static_cast<double>(ky) / 2);
        }
    }
    // The thumbnail keeps the picture's aspect inside the box. A zero side of
    // the box counts as an infinite ratio, which sends the choice to the other
    // side (and so to an empty thumbnail).
    const double inf = std::numeric_limits<double>::infinity();
    double rx = s.boxWidth > 0 ? W / s.boxWidth : inf;
    double ry = s.boxHeight > 0 ? H / s.boxHeight : inf;
    // The aspect and both products are single precision.
    const float a = static_cast<float>(W / H);
    if (rx > ry) {
        s.width = s.boxWidth;
        s.height = static_cast<int>(static_cast<float>(s.boxWidth) / a);
    } else {
        s.height = s.boxHeight;
        s.width = static_cast<int>(static_cast<float>(s.boxHeight) * a);
    }
    // A picture that fits in 60 x 60 is its own box and never larger than its
    // thumbnail: it is stretched to fill the whole 60 x 60. (Tested on the
    // picture itself: the product above, made with the rounded aspect, can
    // land one pixel short of the picture's side.)
    if (width <= kThumbMax && height <= kThumbMax)
        s.width = s.height = kThumbMax;
    // A side that came out as 0 leaves nothing to draw.
    if (s.width <= 0 || s.height <= 0)
        s.width = s.height = 0;
    return s;
}

std::vector<int> ThumbSampleIndices(int srcSize, int outSize) {
    std::vector<int> idx;
    if (srcSize < 1 || outSize < 1)
        return idx;
    idx.resize(static_cast<std::size_t>(outSize));
    if (srcSize > outSize) {
        const float step = static_cast<float>(srcSize) / static_cast<float>(outSize);
        float p = 0.0f;
        for (int c = 0; c < outSize; ++c) {
            idx[c] = static_cast<int>(p);
            p += step;
        }
    } else {
        const double scale = static_cast<double>(outSize) / srcSize;
        for (int c = 0; c < outSize; ++c)
            idx[c] = static_cast<int>(c / scale);
    }
    for (int& i : idx)
        if (i > srcSize - 1)
            i = srcSize - 1;
    return idx;
}

std::optional<CThumbnail> MakeThumbnail(const CImageBuffer& img) {
    const int W = img.Width(), H = img.Height();
    if (img.IsEmpty() || W < 1 || H < 1)
        return std::nullopt;
    ThumbSize size = ComputeThumbSize(W, H);
    CThumbnail t;
    if (size.width == 0)
        return t;
    t.width = size.width;
    t.height = size.height;
    const std::size_t stride = CImageBuffer::StrideFor(t.width);
    std::vector<int> xs, ys;
    try {
        t.bits.assign(stride * static_cast<std::size_t>(t.height), 0);
        xs = ThumbSampleIndices(W, t.width);
        ys = ThumbSampleIndices(H, t.height);
    } catch (const std::bad_alloc&) {
        return std::nullopt;
    }
    for (int r = 0; r < t.height; ++r) {
        std::uint8_t* out = t.bits.data() + stride * static_cast<std::size_t>(r);
        for (int c = 0; c < t.width; ++c, out += 3) {
            RgbPixel px = img.GetPixelRgb(xs[c], ys[r]);
            out[0] = px.b;
            out[1] = px.g;
            out[2] = px.r;
        }
    }
    return t;
}

std::string EncodeThumbnail(const CThumbnail& thumb) {
    std::string out;
    out.reserve(kThumbHeaderSize + thumb.bits.size());
    AppendLe32(out, thumb.width);
    AppendLe32(out, thumb.height);
    out.append(reinterpret_cast<const char*>(thumb.bits.data()), thumb.bits.size());
    return out;
}

std::optional<CThumbnail> ParseThumbnail(std::string_view bytes) {
    if (bytes.size() < kThumbHeaderSize)
        return std::nullopt;
    const std::int32_t w = ReadLe32(bytes.data()), h = ReadLe32(bytes.data() + 4);
    if (!IsValidThumbFile(w, h, bytes.size()))
        return std::nullopt;
    CThumbnail t;
    t.width = w;
    t.height = h;
    const auto* rows = reinterpret_cast<const std::uint8_t*>(bytes.data() + kThumbHeaderSize);
    t.bits.assign(rows, rows + (bytes.size() - kThumbHeaderSize));
    return t;
}

bool IsValidThumbFile(std::int64_t width, std::int64_t height, std::uint64_t fileSize) {
    return width >= 0 && width <= kThumbMax && height >= 0 && height <= kThumbMax &&
           fileSize == kThumbHeaderSize + CImageBuffer::StrideFor(width) * std::uint64_t(height);
}

std::optional<CThumbnail> ReadThumbnailFileAt(int dirFd, const char* name) {
    std::uint64_t size = 0;
    CFileHandle file = OpenRegularFileAt(dirFd, name, &size);
    if (!file || size > kThumbFileMax)
        return std::nullopt;
    char buf[kThumbFileMax];
    std::size_t got = 0;
    while (got < size) {
        ssize_t n = ::read(file.Fd(), buf + got, size - got);
        if (n < 0 && errno == EINTR)
            continue;
        if (n <= 0)
            break;
        got += static_cast<std::size_t>(n);
    }
    return ParseThumbnail(std::string_view(buf, got));
}

std::optional<CThumbnail> ReadThumbnailFile(const std::string& cacheFile) {
    return ReadThumbnailFileAt(AT_FDCWD, cacheFile.c_str());
}

std::optional<CThumbnail> ReadThumbnail(const std::string& picturePath) {
    return ReadThumbnailFile(GetThumbPath(picturePath));
}

bool WriteThumbnail(const CImageBuffer& img, const std::string& path) {
    const std::string folder = GetThumbFolder();
    const std::string file = folder + GetThumbName(path);
    // A good cache file is never rewritten; a damaged one is replaced.
    if (ReadThumbnailFile(file))
        return true;
    std::optional<CThumbnail> thumb = MakeThumbnail(img);
    if (!thumb)
        return false;
    if (!DirectoryExists(folder) && ::mkdir(folder.c_str(), 0777) != 0 && errno != EEXIST)
        return false;
    return WriteFileAtomically(file, EncodeThumbnail(*thumb));
}

bool ClearThumbCache() {
    const std::string folder = GetThumbFolder();
    std::vector<DirEntry> entries;
    ListDirectory(folder, entries);
    for (const DirEntry& e : entries)
        DeleteFileAt(folder + e.name);
    if (::rmdir(folder.c_str()) == 0)
        return true;
    PlatformUi().MessageBox("Failed to Delete selected Folder ", {}, IPlatformUi::Ok);
    return false;
}

int DeleteOldTubFiles() {
    const std::string folder = GetProgramFolder() + "Thumbnails/";
    if (!DirectoryExists(folder))
        return 0;
    std::vector<DirEntry> entries;
    ListDirectory(folder, entries);
    int matched = 0;
    for (const DirEntry& e : entries) {
        if (e.isDir || !EndsWithNoCase(e.name, ".tub"))
            continue;
        ClearReadOnly(folder + e.name);
        DeleteFileAt(folder + e.name);
        ++matched;
    }
    return matched;
}
