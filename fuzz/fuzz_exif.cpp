// The EXIF block alone: the input is the TIFF data behind "Exif\0\0", wrapped
// into a JPEG head so that every run reaches the directory decoding.
#include "FuzzCheck.h"
#include "thumbs/ExifReader.h"

#include <cstring>
#include <vector>

extern "C" int LLVMFuzzerTestOneInput(const unsigned char* data, std::size_t size) {
    // APP1 holds at most 65533 content bytes: 6 for "Exif\0\0", the rest TIFF.
    if (size > 65533 - 6)
        size = 65533 - 6;
    const std::size_t sectionLength = size + 6 + 2;
    std::vector<unsigned char> file = {0xFF,
                                       0xD8,
                                       0xFF,
                                       0xE1,
                                       static_cast<unsigned char>(sectionLength >> 8),
                                       static_cast<unsigned char>(sectionLength & 0xFF),
                                       'E',
                                       'x',
                                       'i',
                                       'f',
                                       0,
                                       0};
    file.insert(file.end(), data, data + size);
    const unsigned char tail[] = {0xFF, 0xC0, 0,    11, 8, 0, 2, 0, 3, 1,  1, 0x11,
                                  0,    0xFF, 0xDA, 0,  8, 1, 1, 0, 0, 63, 0};
    file.insert(file.end(), tail, tail + sizeof tail);

    CExifReader reader;
    bool ok = reader.ReadJpegBytes(file.data(), file.size());
    FUZZ_CHECK(ok); // an EXIF failure never stops the walk
    const ExifRecord& r = reader.Record();
    FUZZ_CHECK(r.nWidth == 3 && r.nHeight == 2);
    FUZZ_CHECK(r.nOrientation >= 0 && r.nOrientation <= 8);
    FUZZ_CHECK(r.bExifValid <= 1);
    FUZZ_CHECK(std::memchr(r.szComments, 0, sizeof r.szComments) != nullptr);
    FUZZ_CHECK(reader.SectionCount() == 3);
    return 0;
}
