#include "thumbs/ThumbMaker.h"

#include "Pixels.h"
#include "TempDir.h"
#include "image/Codec.h"
#include "platform/FileOps.h"
#include "thumbs/ThumbCache.h"

#include <gtest/gtest.h>

#include <future>
#include <map>

namespace {

// Pictures of sizes of their own, every third a JPEG, the others BMP files.
std::vector<std::string> MakePictures(const TempDir& dir, const std::string& name, int n) {
    std::vector<std::string> paths;
    for (int i = 0; i < n; ++i) {
        const CImageBuffer img = Coded(90 + 7 * i, 70 + 3 * i);
        paths.push_back(dir.File(name + std::to_string(i) + (i % 3 ? ".bmp" : ".jpg")));
        EXPECT_TRUE(SaveImageFile(img, 0, 0, img.Width(), img.Height(), paths.back(),
                                  i % 3 ? kFormatBmp : kFormatJpeg));
    }
    return paths;
}

TEST(ThumbMaker, ScreenFirstDroppedForAnotherFolderAndTheFilesALoadWrites) {
    TempDir pics, home;
    ProgramFolderGuard guard(home.Path());
    const std::vector<std::string> a = MakePictures(pics, "a", 10), b = MakePictures(pics, "b", 3);
    pics.Write("a3.jpg", "damaged");                  // no file, no report
    ASSERT_TRUE(WriteThumbnail(Coded(97, 73), a[1])); // viewed before
    // The worker's reports as (job, index). A report waits while more files
    // were made than the test allows, so the test can hold the worker.
    std::mutex m;
    std::condition_variable cv;
    std::vector<std::pair<int, int>> made;
    std::size_t allowed = 0;
    auto step = [&](std::size_t allow, std::size_t n) { // lets it go on, waits for n
        std::unique_lock<std::mutex> lock(m);
        allowed = allow;
        cv.notify_all();
        return cv.wait_for(lock, std::chrono::seconds(20), [&] { return made.size() >= n; });
    };
    CThumbMaker maker({[&](int job, int index) {
                           std::unique_lock<std::mutex> lock(m);
                           made.emplace_back(job, index);
                           cv.notify_all();
                           cv.wait(lock, [&] { return made.size() <= allowed; });
                       },
                       nullptr});
    const int ja = maker.Start(a, 6, 3); // cells 6 to 8 on the screen
    EXPECT_TRUE(step(3, 4));             // held after the fourth file
    maker.SetVisible(8, 2);              // scrolled to the end
    EXPECT_TRUE(step(5, 6));
    const int jb = maker.Start(b, 0, 20); // another folder
    EXPECT_TRUE(step(1000, 9));
    const std::vector<std::pair<int, int>> order = {{ja, 6}, {ja, 7}, {ja, 8}, {ja, 0}, {ja, 9},
                                                    {ja, 2}, {jb, 0}, {jb, 1}, {jb, 2}};
    EXPECT_EQ(made, order);
    // Each file has the name and the bytes that a load and its write give.
    std::map<std::string, std::string> files;
    for (const auto& e : std::filesystem::directory_iterator(home.File("Thumb")))
        files[e.path().filename().string()] = ReadWholeFile(e.path().string()).value_or("?");
    EXPECT_EQ(files.size(), 7u + 3u);
    for (const auto& list : {a, b})
        for (const std::string& p : list)
            if (CImageBuffer img; files.count(GetThumbName(p)) && LoadImageFile(p, img)) {
                EXPECT_EQ(files.at(GetThumbName(p)), EncodeThumbnail(*MakeThumbnail(img))) << p;
            }
    // A stop that waits (before the cache is cleared) returns only after the
    // picture under way, and nothing follows it.
    maker.Start(a, 0, 20);
    EXPECT_TRUE(step(9, 10)); // held after a4
    auto stop = std::async(std::launch::async, [&] { maker.Stop(true); });
    EXPECT_EQ(stop.wait_for(std::chrono::milliseconds(100)), std::future_status::timeout);
    step(1000, 10);
    stop.wait();
    EXPECT_EQ(made.size(), 10u);
}

} // namespace
