#include "image/JpegDecode.h"

#include "image/Codec.h"

#include <FreeImage.h>

#include <turbojpeg.h>

#include <functional>
#include <memory>
#include <sys/mman.h>
#include <sys/stat.h>
#include <unistd.h>
#include <utility>

namespace {

struct TjCloser {
    void operator()(void* h) const {
        if (h)
            tjDestroy(h);
    }
};

// A block of its own mapping, on huge pages where the system gives them
// (a 24 MB picture then fills in a dozen page faults instead of six
// thousand), that goes back to the system the moment it is unmapped.
struct MappedBlock {
    std::uint8_t* p = nullptr;
    std::size_t size = 0;
    explicit MappedBlock(std::size_t n) {
        constexpr std::size_t kHuge = std::size_t(2) << 20;
        const std::size_t page = static_cast<std::size_t>(::sysconf(_SC_PAGESIZE));
        const std::size_t span = (n + page - 1) / page * page;
        const std::size_t whole = span + kHuge; // room to start on a huge-page boundary
        void* m =
            n ? ::mmap(nullptr, whole, PROT_READ | PROT_WRITE, MAP_PRIVATE | MAP_ANONYMOUS, -1, 0)
              : MAP_FAILED;
        if (m == MAP_FAILED)
            return;
        auto* base = static_cast<std::uint8_t*>(m);
        const std::size_t lead = (kHuge - reinterpret_cast<std::uintptr_t>(base) % kHuge) % kHuge;
        if (lead)
            ::munmap(base, lead);
        ::munmap(base + lead + span, whole - lead - span);
        p = base + lead;
        size = n;
        ::madvise(p, n, MADV_HUGEPAGE);
    }
    MappedBlock(MappedBlock&& o) noexcept : p(std::exchange(o.p, nullptr)), size(o.size) {}
    MappedBlock(const MappedBlock&) = delete;
    MappedBlock& operator=(const MappedBlock&) = delete;
    ~MappedBlock() {
        if (p)
            ::munmap(p, size);
    }
    // Hands the block over with its releaser.
    std::function<void(std::uint8_t*)> Release() {
        p = nullptr;
        return [n = size](std::uint8_t* q) { ::munmap(q, n); };
    }
};

// The file's bytes, read whole; an empty block when it cannot be read.
MappedBlock ReadAll(int fd, std::uint64_t maxBytes) {
    struct stat st {};
    if (::fstat(fd, &st) != 0 || st.st_size <= 0 || std::uint64_t(st.st_size) > maxBytes)
        return MappedBlock(0);
    MappedBlock bytes(static_cast<std::size_t>(st.st_size));
    for (std::size_t got = 0; bytes.p && got < bytes.size;) {
        ssize_t n = ::pread(fd, bytes.p + got, bytes.size - got, static_cast<off_t>(got));
        if (n <= 0)
            return MappedBlock(0); // a file cut short while it is read is left to the codec
        got += static_cast<std::size_t>(n);
    }
    return bytes;
}

} // namespace

int FastJpegFlags() {
    return TJFLAG_FASTDCT | TJFLAG_FASTUPSAMPLE | TJFLAG_BOTTOMUP | TJFLAG_STOPONWARNING;
}

bool DecodeJpegFast(int fd, CImageBuffer& out) {
    MappedBlock bytes = ReadAll(fd, CImageBuffer::kMaxBlock);
    std::unique_ptr<void, TjCloser> tj(bytes.p ? tjInitDecompress() : nullptr);
    int width = 0, height = 0, subsampling = 0, colorspace = 0;
    if (!tj || tjDecompressHeader3(tj.get(), bytes.p, bytes.size, &width, &height, &subsampling,
                                   &colorspace) != 0)
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
    MappedBlock bits(static_cast<std::size_t>(stride * std::uint64_t(height)));
    if (!bits.p || tjDecompress2(tj.get(), bytes.p, bytes.size, bits.p, width,
                                 static_cast<int>(stride), height, TJPF_BGR, FastJpegFlags()) != 0)
        return false;
    CImageBuffer decoded;
    std::uint8_t* block = bits.p;
    if (!decoded.AdoptDib(width, height, block, grey ? 8 : 24, bits.Release()))
        return false;
    decoded.SetBackColor(out.GetBackColor());
    out = std::move(decoded);
    return true;
}
