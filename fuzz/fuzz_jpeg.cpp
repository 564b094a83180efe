// The JPEG section walk with the frame header, comment and EXIF decoding, on
// whole files, followed by the rows of the EXIF page.
#include "FuzzCheck.h"
#include "thumbs/ExifReader.h"
#include "thumbs/ExifRows.h"

#include <cstring>

extern "C" int LLVMFuzzerTestOneInput(const unsigned char* data, std::size_t size) {
    CExifReader reader;
    bool ok = reader.ReadJpegBytes(data, size);
    FUZZ_CHECK(reader.SectionCount() >= 0 && reader.SectionCount() <= CExifReader::kMaxSections);
    for (int i = 0; i < reader.SectionCount(); ++i)
        FUZZ_CHECK(reader.GetSection(i).nSize >= 2 && reader.GetSection(i).pData);
    FUZZ_CHECK(std::strlen(reader.GetLastErrorText()) < 256);

    ExifRecord r;
    reader.CopyRecord(&r);
    FUZZ_CHECK(r.nOrientation >= 0 && r.nOrientation <= 8);
    FUZZ_CHECK(r.bExifValid <= 1);
    FUZZ_CHECK(r.bFlashUsed == 0 || r.bFlashUsed == 1);
    FUZZ_CHECK(std::memchr(r.szComments, 0, sizeof r.szComments) != nullptr);
    FUZZ_CHECK(std::memchr(r.szCameraMake, 0, sizeof r.szCameraMake) != nullptr);
    FUZZ_CHECK(std::memchr(r.szCameraModel, 0, sizeof r.szCameraModel) != nullptr);
    FUZZ_CHECK(std::memchr(r.szDateTime, 0, sizeof r.szDateTime) != nullptr);
    if (ok) {
        std::vector<std::string> tags, values;
        AppendExifRows(r, tags, values);
        FUZZ_CHECK(tags.size() == values.size() && tags.size() >= 12 && tags.size() <= 35);
    }
    return 0;
}
