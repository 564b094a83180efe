#include "image/JpegDecode.h"

#include "image/Codec.h"

#include <FreeImage.h>

#include <turbojpeg.h>

#include <memory>
#include <sys/mman.h>
#include <sys/stat.h>
#include <unistd.h>

namespace {

struct TjCloser {
    void operator()(void* h) const {
        if (h)
            tjDestroy(h);
    }
};

// The file's bytes, read whole; empty when it cannot be read.
std::unique_ptr<unsigned char[]> ReadAll(int fd, std::uint64_t maxBytes, std::size_t& size) {
    struct stat st {};
    if (::fstat(fd, &st) != 0 || st.st_size <= 0 || std::uint64_t(st.st_size) > maxBytes)
        return nullptr;
    size = static_cast<std::size_t>(st.st_size);
    std::unique_ptr<unsigned char[]> bytes(new (std::nothrow) unsigned char[size]);
    for (std::size_t got = 0; bytes && got < size;) {
        ssize_t n = ::pread(fd, bytes.get() + got, size - got, static_cast<off_t>(got));
        if (n <= 0)
            return nullptr; // a file cut short while it is read is left to the codec
        got += static_cast<std::size_t>(n);
    }
    return bytes;
}

} // namespace

int FastJpegFlags() {
    return TJFLAG_FASTDCT | TJFLAG_FASTUPSAMPLE | TJFLAG_BOTTOMUP | TJFLAG_STOPONWARNING;
}

bool DecodeJpegFast(int fd, CImageBuffer& out) {
    std::size_t size = 0;
    std::unique_ptr<unsigned char[]> bytes = ReadAll(fd, CImageBuffer::kMaxBlock, size);
    std::unique_ptr<void, TjCloser> tj(bytes ? tjInitDecompress() : nullptr);
    int width = 0, height = 0, subsampling = 0, colorspace = 0;
    if (!tj || tjDecompressHeader3(tj.get(), bytes.get(), static_cast<unsigned long>(size), &width,
                                   &height, &subsampling, &colorspace) != 0)
        return false;
    if (colorspace != TJCS_YCbCr && colorspace != TJCS_RGB && colorspace != TJCS_GRAY)
        return false; // CMYK and YCCK: the codec converts them its own way
    const bool grey = colorspace == TJCS_GRAY;
    // The cap is the codec's, which holds a greyscale picture as 8 bits and
    // its 24-bit copy at once: a picture refused there is refused here too.
    if (width <= 0 || height <= 0 ||
        DecodePeakBytes(FIT_BITMAP, grey ? 8 : 24, std::uint64_t(width), std::uint64_t(height)) >
            CImageBuffer::kMaxBlock)
        return false;
    const std::uint64_t stride = CImageBuffer::StrideFor(width);
    const std::uint64_t block = stride * std::uint64_t(height);
    // The block is a mapping of its own, so it goes back to the system the
    // moment the picture is let go.
    void* bits = ::mmap(nullptr, block, PROT_READ | PROT_WRITE, MAP_PRIVATE | MAP_ANONYMOUS, -1, 0);
    if (bits == MAP_FAILED)
        return false;
    ::madvise(bits, block, MADV_HUGEPAGE); // fewer page faults while it is filled
    auto unmap = [block](std::uint8_t* p) { ::munmap(p, block); };
    if (tjDecompress2(tj.get(), bytes.get(), static_cast<unsigned long>(size),
                      static_cast<unsigned char*>(bits), width, static_cast<int>(stride), height,
                      TJPF_BGR, FastJpegFlags()) != 0) {
        unmap(static_cast<std::uint8_t*>(bits));
        return false;
    }
    CImageBuffer decoded;
    if (!decoded.AdoptDib(width, height, static_cast<std::uint8_t*>(bits), grey ? 8 : 24, unmap))
        return false;
    decoded.SetBackColor(out.GetBackColor());
    out = std::move(decoded);
    return true;
}
