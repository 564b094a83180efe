#include "library/FileInfo.h"

#include "image/Codec.h"
#include "platform/FileOps.h"

#include "TempDir.h"

#include <gtest/gtest.h>

#include <cstdlib>
#include <ctime>
#include <fcntl.h>
#include <sys/stat.h>
#include <unistd.h>

namespace {

TEST(FileInfo, SizeTextsSwitchToMegabytesAtOneThousandTwentyFourKilobytes) {
    struct Case {
        std::uint64_t bytes;
        const char *status, *properties;
    };
    const Case cases[] = {
        {3277, " 3.2kb", " 3.2kb"},        // the width of 4 keeps a leading blank
        {1048575, "1024.0kb", "1024.0kb"}, // rounds up to 1024, still below it
        {1048576, " 1.0M", "1024.0kb"},
        {1572864, " 1.5M", "1536.0kb"},
        {5368709120ull, "5120.0M", "5242880.0kb"}, // 5 GB: 64-bit sizes
    };
    for (const Case& c : cases) {
        EXPECT_EQ(StatusSizeText(c.bytes), c.status) << c.bytes;
        EXPECT_EQ(PropertiesSizeText(c.bytes), c.properties) << c.bytes;
    }
}

TEST(FileInfo, DateTextIsTheUtcCalendarWithTwoBlanks) {
    // Eight hours east of UTC: a local-time conversion would show another day.
    const char* old = std::getenv("TZ");
    const std::string saved = old ? old : "";
    ::setenv("TZ", "Asia/Shanghai", 1);
    ::tzset();
    EXPECT_EQ(FileDateText(1104537600), "2005-01-01  00:00"); // midnight, 1 January 2005
    EXPECT_EQ(FileDateText(1078477620), "2004-03-05  09:07");
    EXPECT_EQ(FileDateText(1135987199), "2005-12-30  23:59");
    if (old)
        ::setenv("TZ", saved.c_str(), 1);
    else
        ::unsetenv("TZ");
    ::tzset();
}

TEST(FileInfo, ImageInfoNamesTheUpperCasedExtension) {
    EXPECT_EQ(ImageInfoText("/a.b/photo.jpg", 3264, 2448, 24), "JPG:3264x2448x24bit");
    EXPECT_EQ(ImageInfoText("/pics/scan.Tiff", 10, 20, 8), "TIFF:10x20x8bit");
}

// Sets the last access and last write times of a file.
void SetTimes(const std::string& path, std::time_t accessed, std::time_t modified) {
    const timespec times[2] = {{accessed, 0}, {modified, 0}};
    ASSERT_EQ(::utimensat(AT_FDCWD, path.c_str(), times, 0), 0);
}

TEST(FileInfo, FileTextsComeFromTheFileItself) {
    TempDir dir;
    const std::string path = dir.File("photo.jpg");
    dir.Write("photo.jpg", std::string(1572864, 'x'));
    SetTimes(path, 1104537600, 1078477620);
    std::optional<StatusFileTexts> status = ReadStatusFileTexts(path, 640, 480, 24);
    ASSERT_TRUE(status);
    EXPECT_EQ(status->name, "photo.jpg");
    EXPECT_EQ(status->size, " 1.5M");
    EXPECT_EQ(status->info, "JPG:640x480x24bit");
    EXPECT_EQ(status->modified, "修改时间:2004-03-05  09:07");

    std::optional<FilePropertyTexts> props = ReadFilePropertyTexts(path);
    ASSERT_TRUE(props);
    EXPECT_EQ(props->path, path);
    EXPECT_EQ(props->fileName, "photo.jpg");
    EXPECT_EQ(props->fileSize, "1536.0kb");
    EXPECT_EQ(props->modified, "2004-03-05  09:07");
    EXPECT_EQ(props->accessed, "2005-01-01  00:00");
    // Creation is the birth time where the file system keeps one (the file
    // was made just now, long after its last write), else the last write.
    struct statx sx {};
    ASSERT_EQ(::statx(AT_FDCWD, path.c_str(), 0, STATX_BTIME, &sx), 0);
    EXPECT_EQ(props->created,
              (sx.stx_mask & STATX_BTIME) ? FileDateText(sx.stx_btime.tv_sec) : props->modified);

    // A sparse 5 GB file: the size is never cut to 32 bits.
    dir.Write("big.bmp", "");
    ASSERT_EQ(::truncate(dir.File("big.bmp").c_str(), 5368709120ll), 0);
    std::optional<StatusFileTexts> big = ReadStatusFileTexts(dir.File("big.bmp"), 1, 1, 24);
    ASSERT_TRUE(big);
    EXPECT_EQ(big->size, "5120.0M");

    // A folder or a missing file gives nothing.
    EXPECT_FALSE(ReadStatusFileTexts(dir.Path(), 1, 1, 24));
    EXPECT_FALSE(ReadFilePropertyTexts(dir.File("gone.jpg")));
}

TEST(FileInfo, SearchFindsTheFirstPathWithTheNameAfterItsStart) {
    const std::vector<std::string> paths = {"/pics/sea/a.jpg", "/pics/sea/boat.jpg",
                                            "/pics/sea/Boat2.jpg"};
    EXPECT_EQ(FindSearchMatch(paths, "boat"), "/pics/sea/boat.jpg");
    EXPECT_EQ(FindSearchMatch(paths, "sea"), "/pics/sea/a.jpg");      // a folder part matches
    EXPECT_EQ(FindSearchMatch(paths, "Boat"), "/pics/sea/Boat2.jpg"); // case counts
    EXPECT_EQ(FindSearchMatch(paths, "/pics"), "");                   // only at position 0
    EXPECT_EQ(FindSearchMatch(paths, "cat"), "");

    TempDir dir;
    dir.Write("sub/boat.jpg", "x");
    dir.Write("sub/notes.txt", "boat");
    const std::string sub = dir.File("sub");
    struct Case {
        std::string folder, name;
        ESearchResult result;
        std::string found;
    };
    const Case cases[] = {
        {sub + "//", "boat", ESearchResult::kFound, sub + "/boat.jpg"},
        {sub, "notes", ESearchResult::kNotFound, ""}, // only pictures are searched
        {dir.File("SUB"), "boat", ESearchResult::kNoFolder, ""},
        {sub + "/boat.jpg", "boat", ESearchResult::kNoFolder, ""}, // a file is no folder
        {"sub", "boat", ESearchResult::kNoFolder, ""},             // nor a relative path
        {sub, "", ESearchResult::kNothing, ""},
        {"/", "boat", ESearchResult::kNothing, ""},
    };
    for (const Case& c : cases) {
        std::string found = "stale";
        EXPECT_EQ(SearchPicture(c.folder, c.name, found), c.result) << c.folder << " " << c.name;
        EXPECT_EQ(found, c.found) << c.folder;
    }
}

TEST(FileInfo, HeaderReadGivesSizeAndDepthWithoutDecoding) {
    TempDir dir;
    CImageBuffer img;
    ASSERT_TRUE(img.Allocate(37, 21));
    ASSERT_TRUE(SaveImageFile(img, 0, 0, 37, 21, dir.File("a.png"), kFormatPng));
    ASSERT_TRUE(SaveImageFile(img, 0, 0, 37, 21, dir.File("a.jpg"), kFormatJpeg));
    // A GIF of 300 x 200 with a 16-colour table, its pixels missing.
    std::string gif = "GIF89a";
    gif += std::string("\x2c\x01\xc8\x00\x83\x00\x00", 7) + std::string(48, '\0');
    gif += std::string("\x2c\0\0\0\0\x2c\x01\xc8\x00\x00", 10);
    dir.Write("a.gif", gif);
    dir.Write("bad.png", "\x89PNG\r\n\x1a\n");
    struct Case {
        const char* name;
        int w, h, bpp;
    };
    for (const Case& c :
         {Case{"a.png", 37, 21, 24}, Case{"a.jpg", 37, 21, 24}, Case{"a.gif", 300, 200, 4}}) {
        std::optional<ImageHeader> head = ReadImageHeader(dir.File(c.name));
        ASSERT_TRUE(head) << c.name;
        EXPECT_EQ(head->width, c.w) << c.name;
        EXPECT_EQ(head->height, c.h) << c.name;
        EXPECT_EQ(head->bitsPerPixel, c.bpp) << c.name;
    }
    EXPECT_FALSE(ReadImageHeader(dir.File("bad.png")));
    EXPECT_FALSE(ReadImageHeader(dir.File("none.png")));
}

} // namespace
