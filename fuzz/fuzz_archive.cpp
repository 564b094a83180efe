// The string-array archive reader (tree.sxs, imggps.gpd): arrays read one after
// the other; whatever reads back is written again and must read back the same.
#include "FuzzCheck.h"
#include "library/StringArchive.h"

#include <string_view>

extern "C" int LLVMFuzzerTestOneInput(const unsigned char* data, std::size_t size) {
    std::string_view bytes(reinterpret_cast<const char*>(data), size);
    std::size_t pos = 0;
    for (int i = 0; i < 9 && pos < size; ++i) {
        std::size_t before = pos;
        auto texts = ReadStringArray(bytes, pos);
        if (!texts)
            break;
        FUZZ_CHECK(pos > before && pos <= size);
        std::string again = WriteStringArray(*texts);
        auto back = ReadStringArray(again);
        FUZZ_CHECK(back && *back == *texts);
    }
    return 0;
}
