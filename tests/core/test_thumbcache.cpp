#include "thumbs/ThumbCache.h"

#include "platform/FileOps.h"
#include "platform/PlatformUi.h"
#include "TempDir.h"

#include <gtest/gtest.h>

#include <cmath>
#include <ctime>
#include <sys/stat.h>
#include <sys/time.h>

namespace {

// Records message boxes instead of showing them.
class CRecordingUi : public IPlatformUi {
public:
    CRecordingUi() { m_old = SetPlatformUi(this); }
    ~CRecordingUi() override { SetPlatformUi(m_old); }
    int MessageBox(const std::string& text, const std::string&, Buttons, Icon) override {
        messages.push_back(text);
        return AnswerOk;
    }
    void BeginWaitCursor() override {}
    void EndWaitCursor() override {}
    std::vector<std::string> messages;

private:
    IPlatformUi* m_old = nullptr;
};

std::int64_t Utc(int y, int mo, int d, int h, int mi, int s = 0) {
    std::tm tm{};
    tm.tm_year = y - 1900;
    tm.tm_mon = mo - 1;
    tm.tm_mday = d;
    tm.tm_hour = h;
    tm.tm_min = mi;
    tm.tm_sec = s;
    return ::timegm(&tm);
}

std::string Le32(std::int32_t v) {
    std::string s;
    for (int i = 0; i < 4; ++i)
        s.push_back(static_cast<char>((static_cast<std::uint32_t>(v) >> (8 * i)) & 0xFF));
    return s;
}

std::size_t Stride(int w) {
    return static_cast<std::size_t>((w * 3 + 3) / 4 * 4);
}

// A picture whose every pixel tells its own column and row (both below 1024).
CImageBuffer CoordinatePicture(int w, int h) {
    CImageBuffer img;
    EXPECT_TRUE(img.Allocate(w, h));
    for (int y = 0; y < h; ++y)
        for (int x = 0; x < w; ++x)
            img.SetPixelRgb(x, y, x & 255, (x >> 8) | ((y & 63) << 2), y >> 6);
    return img;
}

void DecodeCoordinate(const std::uint8_t* bgr, int& x, int& y) {
    x = bgr[2] | ((bgr[1] & 3) << 8);
    y = (bgr[1] >> 2) | (bgr[0] << 6);
}

// Nearest-neighbour source index of output column c, the rule written out
// once more: a float accumulator stepping by src / out when shrinking, the
// quotient c / (out / src) when enlarging, limited to the last column.
std::vector<int> ReferenceIndices(int src, int out) {
    std::vector<int> r;
    float acc = 0;
    for (int c = 0; c < out; ++c) {
        int i = src > out ? static_cast<int>(std::trunc(acc))
                          : static_cast<int>(std::trunc(c / (double(out) / src)));
        r.push_back(std::min(i, src - 1));
        acc = static_cast<float>(acc + double(src) / out);
    }
    return r;
}

std::vector<std::string> Entries(const std::string& folder) {
    std::vector<std::string> names;
    std::error_code ec;
    for (auto& e : std::filesystem::directory_iterator(folder, ec))
        names.push_back(e.path().filename().string());
    return names;
}

} // namespace

TEST(ThumbName, StampAndTitleFollowTheDocumentedExample) {
    EXPECT_EQ(ThumbStamp(123456, Utc(2015, 3, 7, 9, 5), Utc(2015, 3, 8, 10, 30)) + "cat.01.xux",
              "123456201537952015381030cat.01.xux");
    // Seconds do not count; month 1 day 12 and month 11 day 2 print alike.
    EXPECT_EQ(ThumbStamp(1, Utc(2020, 1, 12, 0, 0, 59), Utc(2020, 1, 12, 0, 0)),
              ThumbStamp(1, Utc(2020, 11, 2, 0, 0), Utc(2020, 11, 2, 0, 0, 1)));
    // The size is its low 32 bits printed as a signed number.
    EXPECT_EQ(ThumbStamp((1ull << 31) + 5, 0, 0).substr(0, 11), "-2147483643");
    EXPECT_EQ(ThumbStamp((1ull << 32) + 7, 0, 0).substr(0, 5), "71970");
}

TEST(ThumbName, RealFileUsesItsSizeAndTimes) {
    TempDir dir;
    ProgramFolderGuard home(dir.Path());
    dir.Write("pics/cat.01.jpg", std::string(123456, 'x'));
    const std::string pic = dir.File("pics/cat.01.jpg");
    struct timeval tv[2] = {{Utc(2015, 3, 8, 10, 30, 59), 0}, {Utc(2015, 3, 8, 10, 30, 59), 0}};
    ASSERT_EQ(::utimes(pic.c_str(), tv), 0);

    auto facts = GetFileFacts(pic);
    ASSERT_TRUE(facts);
    UtcTime c = ToUtc(facts->created);
    std::string created = std::to_string(c.year) + std::to_string(c.month) + std::to_string(c.day) +
                          std::to_string(c.hour) + std::to_string(c.minute);
    EXPECT_EQ(GetThumbName(pic), "123456" + created + "2015381030cat.01.xux");
    EXPECT_EQ(GetThumbFolder(), dir.Path() + "Thumb/");
    EXPECT_EQ(GetThumbPath(pic), dir.Path() + "Thumb/" + GetThumbName(pic));
}

TEST(ThumbName, UnopenablePicturesGetTheTitleAlone) {
    TempDir dir;
    EXPECT_EQ(GetThumbName(dir.File("missing.photo.png")), "missing.photo.xux");
    EXPECT_EQ(GetThumbName(""), ".xux");
    EXPECT_EQ(GetThumbName(dir.File("noext")), "noext.xux");
    // A folder or a pipe is not opened as a picture (and a pipe never blocks).
    std::filesystem::create_directory(dir.File("folder.jpg"));
    EXPECT_EQ(GetThumbName(dir.File("folder.jpg")), "folder.xux");
    ASSERT_EQ(::mkfifo(dir.File("pipe.jpg").c_str(), 0600), 0);
    EXPECT_EQ(GetThumbName(dir.File("pipe.jpg")), "pipe.xux");
}

TEST(ThumbSize, TableHoldsRowByRow) {
    struct Row {
        int w, h, bw, bh, tw, th;
    } rows[] = {
        {800, 600, 60, 44, 58, 44}, {1024, 768, 60, 44, 58, 44},  {640, 480, 60, 44, 58, 44},
        {600, 800, 44, 60, 44, 58}, {1920, 1080, 60, 32, 56, 32}, {100, 100, 60, 60, 60, 60},
        {61, 60, 60, 58, 58, 58},   {30, 20, 30, 20, 60, 60},     {2000, 10, 60, 0, 0, 0},
    };
    for (const Row& r : rows) {
        ThumbSize s = ComputeThumbSize(r.w, r.h);
        EXPECT_EQ(s.boxWidth, r.bw) << r.w << "x" << r.h;
        EXPECT_EQ(s.boxHeight, r.bh) << r.w << "x" << r.h;
        EXPECT_EQ(s.width, r.tw) << r.w << "x" << r.h;
        EXPECT_EQ(s.height, r.th) << r.w << "x" << r.h;
    }
}

TEST(ThumbSize, EveryPictureUpTo60IsStretchedTo60) {
    for (int w = 1; w <= 60; ++w)
        for (int h = 1; h <= 60; ++h) {
            ThumbSize s = ComputeThumbSize(w, h);
            ASSERT_EQ(s.width, 60) << w << "x" << h;
            ASSERT_EQ(s.height, 60) << w << "x" << h;
        }
}

TEST(ThumbSize, LargerPicturesKeepTheirShapeInsideTheBox) {
    // Every size the writer makes is one the readers accept, and a larger
    // picture keeps its aspect to within the truncation of one side.
    for (int w = 1; w <= 700; w += 3)
        for (int h = 1; h <= 700; h += (h < 70 ? 1 : 7)) {
            if (w <= 60 && h <= 60)
                continue;
            ThumbSize s = ComputeThumbSize(w, h);
            bool empty = s.width == 0 && s.height == 0;
            ASSERT_TRUE(empty || (s.width >= 1 && s.width <= 60 && s.height >= 1 && s.height <= 60))
                << w << "x" << h;
            if (empty)
                continue;
            ASSERT_LE(s.width, s.boxWidth);
            ASSERT_LE(s.height, s.boxHeight);
            ASSERT_NEAR(double(s.width) / s.height, double(w) / h,
                        double(w) / h * (1.0 / s.height + 1.0 / s.width) + 1e-9)
                << w << "x" << h;
        }
    EXPECT_EQ(ComputeThumbSize(100000, 3).width, 0);
    EXPECT_EQ(ComputeThumbSize(0, 100).width, 0);
}

TEST(ThumbSampler, MatchesNearestNeighbourOnBothAxes) {
    for (auto [w, h] : {std::pair{800, 600},
                        {600, 800},
                        {1000, 563},
                        {61, 60},
                        {30, 20},
                        {1, 1},
                        {45, 7},
                        {997, 61}}) {
        CImageBuffer img = CoordinatePicture(w, h);
        auto t = MakeThumbnail(img);
        ASSERT_TRUE(t);
        ThumbSize s = ComputeThumbSize(w, h);
        ASSERT_EQ(t->width, s.width);
        ASSERT_EQ(t->height, s.height);
        ASSERT_EQ(t->bits.size(), Stride(t->width) * t->height);
        std::vector<int> xs = ReferenceIndices(w, t->width), ys = ReferenceIndices(h, t->height);
        for (int c = 0; c < t->width; ++c) {
            // The single-precision steps stay within one pixel of the exact
            // nearest neighbour and never go backwards.
            long exact = long(c) * w / t->width;
            ASSERT_LE(std::abs(xs[c] - exact), 1) << w << " col " << c;
            if (c > 0) {
                ASSERT_GE(xs[c], xs[c - 1]);
            }
        }
        for (int r = 0; r < t->height; ++r)
            for (int c = 0; c < t->width; ++c) {
                int x, y;
                DecodeCoordinate(&t->bits[Stride(t->width) * r + 3 * c], x, y);
                ASSERT_EQ(x, xs[c]) << w << "x" << h << " at " << c << "," << r;
                ASSERT_EQ(y, ys[r]) << w << "x" << h << " at " << c << "," << r;
            }
    }
    EXPECT_EQ(ThumbSampleIndices(5, 60).back(), 4);
    EXPECT_EQ(ThumbSampleIndices(1, 60), std::vector<int>(60, 0));
}

TEST(ThumbFile, DamagedFilesAreRefused) {
    auto file = [](std::int32_t w, std::int32_t h, std::size_t rowBytes) {
        return Le32(w) + Le32(h) + std::string(rowBytes, '\x7f');
    };
    // Sound files: the writer's empty 0 x 0 and full-size blocks, extra bytes ignored.
    auto empty = ParseThumbnail(file(0, 0, 0));
    ASSERT_TRUE(empty);
    EXPECT_TRUE(empty->IsEmpty());
    auto full = ParseThumbnail(file(60, 60, 180 * 60));
    ASSERT_TRUE(full);
    EXPECT_EQ(full->bits.size(), 180u * 60);
    auto odd = ParseThumbnail(file(58, 44, Stride(58) * 44 + 9));
    ASSERT_TRUE(odd);
    EXPECT_EQ(odd->bits.size(), Stride(58) * 44);

    EXPECT_FALSE(ParseThumbnail(""));
    EXPECT_FALSE(ParseThumbnail(file(0, 0, 0).substr(0, 7)));
    EXPECT_FALSE(ParseThumbnail(file(58, 44, Stride(58) * 44 - 1))); // one byte short
    EXPECT_FALSE(ParseThumbnail(file(60, 60, 100)));
    for (auto [w, h] : {std::pair{61, 10},
                        {10, 61},
                        {-1, 10},
                        {10, -1},
                        {0, 10},
                        {10, 0},
                        {0x7FFFFFFF, 0x7FFFFFFF},
                        {INT32_MIN, 1}})
        EXPECT_FALSE(ParseThumbnail(file(w, h, 180 * 60 + 100))) << w << "x" << h;
}

TEST(ThumbFile, ReaderRefusesWhatIsNotACacheFile) {
    TempDir dir;
    EXPECT_FALSE(ReadThumbnailFile(dir.File("none.xux")));
    std::filesystem::create_directory(dir.File("dir.xux"));
    EXPECT_FALSE(ReadThumbnailFile(dir.File("dir.xux")));
    ASSERT_EQ(::mkfifo(dir.File("pipe.xux").c_str(), 0600), 0);
    EXPECT_FALSE(ReadThumbnailFile(dir.File("pipe.xux")));
    dir.Write("short.xux", Le32(30) + Le32(30) + std::string(100, 'a'));
    EXPECT_FALSE(ReadThumbnailFile(dir.File("short.xux")));
    // A long file with a sound header is read up to its last row only.
    dir.Write("long.xux", Le32(2) + Le32(2) + "ABCDEFGHIJKLMNOP" + std::string(50000, 'z'));
    auto t = ReadThumbnailFile(dir.File("long.xux"));
    ASSERT_TRUE(t);
    EXPECT_EQ(std::string(t->bits.begin(), t->bits.end()), "ABCDEFGHIJKLMNOP");
}

TEST(ThumbWriter, WritesOnceAndReadsBack) {
    TempDir dir;
    ProgramFolderGuard home(dir.Path());
    dir.Write("pics/a.jpg", "picture bytes");
    const std::string pic = dir.File("pics/a.jpg");
    CImageBuffer img = CoordinatePicture(800, 600);

    EXPECT_FALSE(ThumbExists(pic));
    ASSERT_TRUE(WriteThumbnail(img, pic));
    EXPECT_TRUE(ThumbExists(pic));
    const std::string cache = dir.Path() + "Thumb/" + GetThumbName(pic);
    auto bytes = ReadWholeFile(cache);
    ASSERT_TRUE(bytes);
    EXPECT_EQ(bytes->size(), 8 + Stride(58) * 44);
    EXPECT_EQ(bytes->substr(0, 8), Le32(58) + Le32(44));
    auto back = ReadThumbnail(pic);
    ASSERT_TRUE(back);
    EXPECT_EQ(back->bits, MakeThumbnail(img)->bits);
    EXPECT_EQ(Entries(dir.Path() + "Thumb"), std::vector<std::string>{GetThumbName(pic)});

    // An existing cache file is never rewritten.
    dir.Write("Thumb/" + GetThumbName(pic), "kept");
    EXPECT_TRUE(WriteThumbnail(CoordinatePicture(100, 100), pic));
    EXPECT_EQ(*ReadWholeFile(cache), "kept");
}

TEST(ThumbWriter, TinyAndThinPictures) {
    TempDir dir;
    ProgramFolderGuard home(dir.Path());
    dir.Write("dot.png", "1");
    dir.Write("line.png", "2");
    CImageBuffer dot;
    ASSERT_TRUE(dot.Allocate(1, 1, RGB(10, 20, 30)));
    ASSERT_TRUE(WriteThumbnail(dot, dir.File("dot.png")));
    auto t = ReadThumbnail(dir.File("dot.png"));
    ASSERT_TRUE(t);
    ASSERT_EQ(t->width, 60);
    ASSERT_EQ(t->height, 60);
    for (int r = 0; r < 60; ++r)
        for (int c = 0; c < 60; ++c) {
            const std::uint8_t* p = &t->bits[Stride(60) * r + 3 * c];
            ASSERT_EQ(p[0] | p[1] << 8 | p[2] << 16, 30 | 20 << 8 | 10 << 16);
        }

    CImageBuffer line;
    ASSERT_TRUE(line.Allocate(2000, 10));
    ASSERT_TRUE(WriteThumbnail(line, dir.File("line.png")));
    EXPECT_EQ(*ReadWholeFile(GetThumbPath(dir.File("line.png"))), Le32(0) + Le32(0));
    auto e = ReadThumbnail(dir.File("line.png"));
    ASSERT_TRUE(e);
    EXPECT_TRUE(e->IsEmpty());
    EXPECT_FALSE(WriteThumbnail(CImageBuffer(), dir.File("other.png")));
}

TEST(ThumbWriter, FailuresAreQuiet) {
    CRecordingUi ui;
    TempDir dir;
    ProgramFolderGuard home(dir.Path());
    CImageBuffer img = CoordinatePicture(64, 64);

    // A name longer than the file system allows: no file, nothing left behind.
    std::string longName(250, 'n');
    dir.Write("pics/" + longName + ".jpg", "x");
    EXPECT_FALSE(WriteThumbnail(img, dir.File("pics/" + longName + ".jpg")));
    EXPECT_TRUE(Entries(dir.Path() + "Thumb").empty());

    // A program folder that refuses new files.
    TempDir ro;
    ProgramFolderGuard roHome(ro.Path());
    if (!ro.MakeReadOnly(ro.Path()))
        GTEST_SKIP() << "cannot make a folder read-only here";
    EXPECT_FALSE(WriteThumbnail(img, dir.File("pics/" + longName + ".jpg")));
    dir.Write("pics/b.jpg", "y");
    EXPECT_FALSE(WriteThumbnail(img, dir.File("pics/b.jpg")));
    EXPECT_FALSE(DirectoryExists(ro.Path() + "Thumb"));
    EXPECT_TRUE(ui.messages.empty());
}

TEST(ThumbClear, RemovesFilesAndFolder) {
    CRecordingUi ui;
    TempDir dir;
    ProgramFolderGuard home(dir.Path());
    dir.Write("Thumb/1.xux", "a");
    dir.Write("Thumb/2.xux", "b");
    dir.Write("Thumb/.hidden", "c");
    EXPECT_TRUE(ClearThumbCache());
    EXPECT_FALSE(FileExists(dir.Path() + "Thumb"));
    EXPECT_TRUE(ui.messages.empty());

    // Nothing to remove: the failure is reported.
    EXPECT_FALSE(ClearThumbCache());
    EXPECT_EQ(ui.messages, std::vector<std::string>{"Failed to Delete selected Folder "});

    // A folder inside is not deleted, so the cache folder stays; its files go.
    ui.messages.clear();
    dir.Write("Thumb/3.xux", "d");
    dir.Write("Thumb/sub/4.xux", "e");
    EXPECT_FALSE(ClearThumbCache());
    EXPECT_EQ(Entries(dir.Path() + "Thumb"), std::vector<std::string>{"sub"});
    EXPECT_EQ(ui.messages.size(), 1u);
}

TEST(ThumbClear, OldTubFilesOfTheProgramFolderOnly) {
    TempDir dir;
    ProgramFolderGuard home(dir.Path());
    EXPECT_EQ(DeleteOldTubFiles(), 0); // no folder: nothing happens
    dir.Write("Thumbnails/a.tub", "1");
    dir.Write("Thumbnails/B.TUB", "2");
    dir.Write("Thumbnails/ro.tub", "3");
    dir.Write("Thumbnails/keep.txt", "4");
    dir.Write("Thumbnails/keep.tubx", "5");
    std::filesystem::create_directory(dir.File("Thumbnails/dir.tub"));
    std::filesystem::permissions(dir.File("Thumbnails/ro.tub"), std::filesystem::perms::owner_read);
    EXPECT_EQ(DeleteOldTubFiles(), 3);
    auto left = Entries(dir.Path() + "Thumbnails");
    std::sort(left.begin(), left.end());
    EXPECT_EQ(left, (std::vector<std::string>{"dir.tub", "keep.tubx", "keep.txt"}));
}
