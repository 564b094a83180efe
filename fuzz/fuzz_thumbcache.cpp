// The thumbnail cache file reader: header checks and the rows it promises.
#include "FuzzCheck.h"
#include "thumbs/ThumbCache.h"

#include <string_view>

extern "C" int LLVMFuzzerTestOneInput(const unsigned char* data, std::size_t size) {
    std::string_view bytes(reinterpret_cast<const char*>(data), size);
    auto thumb = ParseThumbnail(bytes);
    if (!thumb)
        return 0;
    FUZZ_CHECK(thumb->width >= 0 && thumb->width <= kThumbMax);
    FUZZ_CHECK(thumb->height >= 0 && thumb->height <= kThumbMax);
    FUZZ_CHECK(thumb->bits.size() ==
               static_cast<std::size_t>(thumb->Stride()) * static_cast<std::size_t>(thumb->height));
    std::string again = EncodeThumbnail(*thumb);
    FUZZ_CHECK(again.size() <= size && bytes.substr(0, again.size()) == again);
    return 0;
}
