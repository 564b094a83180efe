#include "thumbs/ThumbCache.h"

#include "ExifTestWriter.h"
#include "Pixels.h"
#include "ScriptedUi.h"
#include "TempDir.h"
#include "platform/FileOps.h"

#include <gtest/gtest.h>

#include <sys/stat.h>
#include <sys/time.h>

namespace {

std::int64_t Utc(int y, int mo, int d, int h, int mi, int s = 0) {
    std::tm tm{s, mi, h, d, mo - 1, y - 1900, 0, 0, 0, 0, nullptr};
    return ::timegm(&tm);
}

std::string Le32(std::int32_t v) {
    return exiftest::TiffWriter(false).U32(static_cast<std::uint32_t>(v));
}

std::size_t Stride(int w) {
    return std::size_t((w * 3 + 3) / 4 * 4);
}

int Files(const std::string& folder) {
    std::error_code ec;
    auto it = std::filesystem::directory_iterator(folder, ec);
    return ec ? 0 : static_cast<int>(std::distance(it, {}));
}

TEST(ThumbName, StampAndTitle) {
    EXPECT_EQ(ThumbStamp(123456, Utc(2015, 3, 7, 9, 5), Utc(2015, 3, 8, 10, 30)),
              "123456201537952015381030");
    // The size is its low 32 bits printed as a signed number.
    EXPECT_EQ(ThumbStamp((1ull << 31) + 5, 0, 0).substr(0, 12), "-21474836431");

    TempDir dir;
    ProgramFolderGuard home(dir.Path());
    dir.Write("pics/cat.01.jpg", std::string(123456, 'x'));
    const std::string pic = dir.File("pics/cat.01.jpg");
    const struct timeval tv[2] = {{Utc(2015, 3, 8, 10, 30, 59), 0},
                                  {Utc(2015, 3, 8, 10, 30, 59), 0}};
    ASSERT_EQ(::utimes(pic.c_str(), tv), 0);
    EXPECT_EQ(GetThumbName(pic),
              ThumbStamp(123456, GetFileFacts(pic)->created, tv[0].tv_sec) + "cat.01.xux");

    // Pictures that cannot be opened get the title alone; a pipe never blocks.
    std::filesystem::create_directory(dir.File("folder.jpg"));
    ASSERT_EQ(::mkfifo(dir.File("pipe.jpg").c_str(), 0600), 0);
    EXPECT_EQ(GetThumbName(dir.File("missing.photo.png")) + GetThumbName(dir.File("folder.jpg")) +
                  GetThumbName(dir.File("pipe.jpg")),
              "missing.photo.xuxfolder.xuxpipe.xux");
}

TEST(ThumbSize, EverySmallPictureStretchedEveryLargerOneReadable) {
    // Any picture up to 60 x 60 is stretched to 60 x 60; every larger one
    // gives a size the readers accept (both sides 1 ... 60, or 0 x 0).
    for (int w = 1; w <= 400; ++w)
        for (int h = 1; h <= 400; h += (h < 80 ? 1 : 11)) {
            const ThumbSize s = ComputeThumbSize(w, h);
            if (w <= 60 && h <= 60)
                ASSERT_TRUE(s.width == 60 && s.height == 60) << w << "x" << h;
            else
                ASSERT_TRUE((s.width == 0 && s.height == 0) ||
                            (s.width >= 1 && s.width <= 60 && s.height >= 1 && s.height <= 60))
                    << w << "x" << h;
        }
}

TEST(ThumbSampler, TakesTheNearestPixelOnBothAxes) {
    for (auto [w, h] : {std::pair{800, 600}, {600, 800}, {1000, 563}, {61, 60}, {45, 7}, {1, 1}}) {
        auto t = MakeThumbnail(Coded(w, h));
        ASSERT_TRUE(t);
        ASSERT_EQ(t->bits.size(), Stride(t->width) * t->height);
        // Each thumbnail pixel comes from within one pixel of its exact place.
        for (int r = 0; r < t->height; ++r)
            for (int c = 0; c < t->width; ++c) {
                const std::uint8_t* p = &t->bits[Stride(t->width) * r + 3 * c];
                const Place at = Decode(p[2], p[1], p[0]); // row r counts from the bottom
                ASSERT_LE(std::abs(at.x - c * w / t->width), 1) << w << " " << c;
                ASSERT_LE(std::abs(h - 1 - at.y - r * h / t->height), 1) << h << " " << r;
            }
    }
}

TEST(ThumbFile, DamagedFilesAreRefused) {
    auto file = [](std::int32_t w, std::int32_t h, std::size_t rowBytes) {
        return Le32(w) + Le32(h) + std::string(rowBytes, '\x7f');
    };
    EXPECT_TRUE(ParseThumbnail(file(0, 0, 0))->IsEmpty()); // the writer's own empty file
    EXPECT_EQ(ParseThumbnail(file(60, 60, 180 * 60))->bits.size(), 180u * 60);
    EXPECT_FALSE(ParseThumbnail(file(58, 44, Stride(58) * 44 + 9))); // more than its rows
    EXPECT_FALSE(ParseThumbnail(file(0, 0, 0).substr(0, 7)));
    EXPECT_FALSE(ParseThumbnail(file(58, 44, Stride(58) * 44 - 1)));
    for (auto [w, h] : {std::pair{61, 10},
                        {10, 61},
                        {-1, 10},
                        {0, 10},
                        {10, 0},
                        {0x7FFFFFFF, 0x7FFFFFFF},
                        {INT32_MIN, 1}})
        EXPECT_FALSE(ParseThumbnail(file(w, h, 180 * 60 + 100))) << w << "x" << h;

    TempDir dir;
    std::filesystem::create_directory(dir.File("dir.xux"));
    ASSERT_EQ(::mkfifo(dir.File("pipe.xux").c_str(), 0600), 0);
    for (const char* name : {"none.xux", "dir.xux", "pipe.xux"})
        EXPECT_FALSE(ReadThumbnailFile(dir.File(name))) << name;
    dir.Write("long.xux", Le32(2) + Le32(2) + "ABCDEFGHIJKLMNOP" + std::string(50000, 'z'));
    EXPECT_FALSE(ReadThumbnailFile(dir.File("long.xux")));
}

TEST(ThumbWriter, WritesOnceAndReadsBack) {
    TempDir dir;
    ProgramFolderGuard home(dir.Path());
    for (const char* name : {"a.jpg", "line.png"})
        dir.Write(std::string("pics/") + name, name);
    const std::string pic = dir.File("pics/a.jpg");
    const CImageBuffer img = Coded(800, 600);
    EXPECT_FALSE(ThumbExists(pic));
    ASSERT_TRUE(WriteThumbnail(img, pic) && ThumbExists(pic));
    EXPECT_EQ(ReadWholeFile(GetThumbPath(pic))->substr(0, 8), Le32(58) + Le32(44));
    EXPECT_EQ(ReadThumbnail(pic)->bits, MakeThumbnail(img)->bits);
    EXPECT_EQ(Files(dir.Path() + "Thumb"), 1); // no temporary file left
    // An existing valid cache file is never rewritten.
    dir.Write("Thumb/" + GetThumbName(pic), Le32(0) + Le32(0));
    EXPECT_TRUE(WriteThumbnail(Coded(100, 100), pic));
    EXPECT_EQ(*ReadWholeFile(GetThumbPath(pic)), Le32(0) + Le32(0));

    // 2000 x 10 gives the empty 8-byte file.
    CImageBuffer line;
    ASSERT_TRUE(line.Allocate(2000, 10) && WriteThumbnail(line, dir.File("pics/line.png")));
    EXPECT_EQ(*ReadWholeFile(GetThumbPath(dir.File("pics/line.png"))), Le32(0) + Le32(0));
}

TEST(ThumbWriter, FailuresAreQuiet) {
    CScriptedUi ui;
    TempDir dir;
    ProgramFolderGuard home(dir.Path());
    const CImageBuffer img = Coded(64, 64);
    // A name longer than the file system allows: no file, nothing left behind.
    const std::string longName = "pics/" + std::string(250, 'n') + ".jpg";
    dir.Write(longName, "x");
    EXPECT_FALSE(WriteThumbnail(img, dir.File(longName)));
    EXPECT_EQ(Files(dir.Path() + "Thumb"), 0);
    // A program folder that refuses new files.
    TempDir ro;
    ProgramFolderGuard roHome(ro.Path());
    ASSERT_TRUE(ro.MakeReadOnly(ro.Path()));
    dir.Write("pics/b.jpg", "y");
    EXPECT_FALSE(WriteThumbnail(img, dir.File("pics/b.jpg")) ||
                 DirectoryExists(ro.Path() + "Thumb"));
    EXPECT_TRUE(ui.shown.empty());
}

TEST(ThumbClear, CacheFolderAndOldTubFiles) {
    CScriptedUi ui;
    TempDir dir;
    ProgramFolderGuard home(dir.Path());
    for (const char* f : {"Thumb/1.xux", "Thumb/.hidden", "Thumbnails/a.tub", "Thumbnails/B.TUB",
                          "Thumbnails/ro.tub", "Thumbnails/keep.tubx"})
        dir.Write(f, "x");
    std::filesystem::create_directory(dir.File("Thumbnails/dir.tub"));
    std::filesystem::permissions(dir.File("Thumbnails/ro.tub"), std::filesystem::perms::owner_read);

    EXPECT_TRUE(ClearThumbCache() && !FileExists(dir.Path() + "Thumb") && ui.shown.empty());
    EXPECT_FALSE(ClearThumbCache()); // nothing left to remove
    EXPECT_EQ(ui.shown.at(0).text, "Failed to Delete selected Folder ");
    // A folder inside stays, and so does the cache folder; its files go.
    dir.Write("Thumb/3.xux", "d");
    dir.Write("Thumb/sub/4.xux", "e");
    EXPECT_FALSE(ClearThumbCache());
    EXPECT_EQ(Files(dir.Path() + "Thumb"), 1);
    EXPECT_EQ(DeleteOldTubFiles(), 3);
    EXPECT_EQ(Files(dir.Path() + "Thumbnails"), 2); // keep.tubx and the folder dir.tub
}

TEST(ThumbSize, AspectAndSamplerInSinglePrecision) {
    ThumbSize s = ComputeThumbSize(2000, 3000); // 38 / 0.6666667f: 57 in float, 56.99... in double
    EXPECT_EQ(std::vector({s.width, s.height}), std::vector({38, 57}));
    std::vector<int> rows = ThumbSampleIndices(600, 44); // steps of 13.636364f
    EXPECT_EQ(std::vector({rows[11], rows[22]}), std::vector({150, 300}));
}

TEST(ThumbWriter, DamagedCacheFileIsReplacedAtTheNextLoad) {
    TempDir dir;
    ProgramFolderGuard home(dir.Path());
    dir.Write("a.jpg", "a");
    const CImageBuffer img = Coded(800, 600);
    const std::string good = EncodeThumbnail(*MakeThumbnail(img)),
                      name = "Thumb/" + GetThumbName(dir.File("a.jpg"));
    for (const std::string& bytes :
         {std::string("kept"), good.substr(0, good.size() - 1), good + "x",
          Le32(61) + Le32(1) + std::string(184, 'x'), Le32(0) + Le32(0), Le32(0) + Le32(5)}) {
        dir.Write(name, bytes); // the last two are valid: 8 + 0 x h bytes
        ASSERT_TRUE(WriteThumbnail(img, dir.File("a.jpg")));
        EXPECT_EQ(*ReadWholeFile(dir.File(name)), bytes.size() == 8 ? bytes : good) << bytes.size();
    }
}

} // namespace
