#include "thumbs/ThumbMaker.h"

#include "Pixels.h"
#include "TempDir.h"
#include "image/Codec.h"
#include "platform/FileOps.h"
#include "thumbs/ThumbCache.h"

#include <gtest/gtest.h>

#include <chrono>
#include <map>

namespace {

// What the worker reports. A report of a made file waits while more files
// were reported than the test allows, so the test can hold the worker just
// after a file.
class Recorder {
public:
    CThumbMaker::Callbacks Callbacks() {
        return {[this](int job, int index) {
                    std::unique_lock<std::mutex> lock(m_mutex);
                    made.emplace_back(job, index);
                    m_cv.notify_all();
                    m_cv.wait(lock, [&] { return int(made.size()) <= m_allowed; });
                },
                [this](int job) {
                    std::lock_guard<std::mutex> lock(m_mutex);
                    finished.push_back(job);
                    m_cv.notify_all();
                }};
    }
    void Allow(int reports) {
        std::lock_guard<std::mutex> lock(m_mutex);
        m_allowed = reports;
        m_cv.notify_all();
    }
    bool WaitMade(std::size_t n) {
        std::unique_lock<std::mutex> lock(m_mutex);
        return m_cv.wait_for(lock, std::chrono::seconds(20), [&] { return made.size() >= n; });
    }
    bool WaitFinished(int job) {
        std::unique_lock<std::mutex> lock(m_mutex);
        return m_cv.wait_for(lock, std::chrono::seconds(20), [&] {
            return std::find(finished.begin(), finished.end(), job) != finished.end();
        });
    }
    // The indexes made for one job, in order.
    std::vector<int> Of(int job) {
        std::lock_guard<std::mutex> lock(m_mutex);
        std::vector<int> out;
        for (auto [j, i] : made)
            if (j == job)
                out.push_back(i);
        return out;
    }
    std::vector<std::pair<int, int>> made;
    std::vector<int> finished;

private:
    std::mutex m_mutex;
    std::condition_variable m_cv;
    int m_allowed = 1 << 30;
};

struct Release {
    Recorder& rec;
    ~Release() { rec.Allow(1 << 30); }
};

// Pictures of sizes of their own (so each thumbnail differs), every third a
// JPEG, the others BMP files, named after their folder (pictures of the
// same title, size and minute share a cache name).
std::vector<std::string> MakePictures(const TempDir& dir, const std::string& sub, int n) {
    std::vector<std::string> paths;
    for (int i = 0; i < n; ++i) {
        const bool jpeg = i % 3 == 0;
        const std::string path =
            dir.File(sub + "/" + sub + std::to_string(i) + (jpeg ? ".jpg" : ".bmp"));
        std::filesystem::create_directories(dir.File(sub));
        const CImageBuffer img = Coded(90 + 7 * i, 70 + 3 * i);
        EXPECT_TRUE(SaveImageFile(img, 0, 0, img.Width(), img.Height(), path,
                                  jpeg ? kFormatJpeg : kFormatBmp));
        paths.push_back(path);
    }
    return paths;
}

// Every file of a folder by name with its bytes.
std::map<std::string, std::string> FolderFiles(const std::string& folder) {
    std::map<std::string, std::string> files;
    std::error_code ec;
    for (const auto& e : std::filesystem::directory_iterator(folder, ec))
        files[e.path().filename().string()] = ReadWholeFile(e.path().string()).value_or("?");
    return files;
}

TEST(ThumbMaker, CellsOnTheScreenFirstAndTheFilesALoadWrites) {
    TempDir pics, home, reference;
    std::vector<std::string> paths = MakePictures(pics, "a", 10);
    pics.Write("a/a3.jpg", "damaged"); // cannot be decoded: no file, no report
    {
        ProgramFolderGuard guard(home.Path());
        CImageBuffer img;
        ASSERT_TRUE(LoadImageFile(paths[1], img) && WriteThumbnail(img, paths[1])); // viewed
        Recorder rec;
        CThumbMaker maker(rec.Callbacks());
        const int job = maker.Start(paths, 6, 3);
        ASSERT_TRUE(rec.WaitFinished(job));
        EXPECT_EQ(rec.Of(job), (std::vector{6, 7, 8, 0, 2, 4, 5, 9}));
    }
    // The same names and bytes as the picture window's load and write give.
    ProgramFolderGuard guard(reference.Path());
    for (const std::string& p : paths) {
        CImageBuffer img;
        if (LoadImageFile(p, img)) {
            ASSERT_TRUE(WriteThumbnail(img, p));
        }
    }
    const auto made = FolderFiles(home.File("Thumb"));
    EXPECT_EQ(made.size(), 9u);
    EXPECT_TRUE(made == FolderFiles(reference.File("Thumb")));
}

TEST(ThumbMaker, AScrollReordersAndAnotherFolderDropsTheOldJob) {
    TempDir pics, home;
    const std::vector<std::string> a = MakePictures(pics, "a", 10), b = MakePictures(pics, "b", 4);
    ProgramFolderGuard guard(home.Path());
    Recorder rec;
    CThumbMaker maker(rec.Callbacks());
    const Release release{rec}; // a failed step never leaves the worker held
    rec.Allow(0);
    const int jobA = maker.Start(a, 0, 2);
    ASSERT_TRUE(rec.WaitMade(1)); // held after picture 0
    maker.SetVisible(8, 2);       // the list was scrolled to the end
    rec.Allow(2);
    ASSERT_TRUE(rec.WaitMade(3)); // held after 8 and 9
    const int jobB = maker.Start(b, 0, 20);
    rec.Allow(1 << 30);
    ASSERT_TRUE(rec.WaitFinished(jobB));
    EXPECT_NE(jobA, jobB);
    EXPECT_EQ(maker.CurrentJob(), jobB);
    // Nothing of the first folder after the picture that was under way.
    EXPECT_EQ(rec.Of(jobA), (std::vector{0, 8, 9}));
    EXPECT_EQ(rec.Of(jobB), (std::vector{0, 1, 2, 3}));
    EXPECT_EQ(FolderFiles(home.File("Thumb")).size(), 3u + 4u);
    EXPECT_EQ(rec.finished, std::vector{jobB});
}

} // namespace
