#include "app/SlideShow.h"

#include "TempDir.h"
#include "image/Codec.h"

#include <gtest/gtest.h>

#include <algorithm>
#include <chrono>
#include <thread>

namespace {

using Clock = std::chrono::steady_clock;

struct Event {
    char kind; // 's' slide, 'n' no pictures, 'f' finished
    int run, index;
    bool decoded;  // a slide came with its picture
    double ms = 0; // since the sink was made
};

class RecordingSink : public CSlideShow::ISink {
public:
    void OnSlide(int run, int i, int, const std::string& path,
                 std::unique_ptr<CImageBuffer> img) override {
        Add({'s', run, i,
             img && img->Width() == 8 && path.ends_with(char('a' + i) + std::string(".bmp"))});
    }
    void OnNoPictures(int run) override { Add({'n', run, -1, false}); }
    void OnFinished(int run) override { Add({'f', run, -1, false}); }

    // Waits until the given number of runs has finished (or 10 s passed).
    std::vector<Event> WaitFinished(int runs) {
        std::unique_lock<std::mutex> lock(m_mutex);
        m_cv.wait_for(lock, std::chrono::seconds(10), [&] {
            return std::count_if(m_events.begin(), m_events.end(),
                                 [](const Event& e) { return e.kind == 'f'; }) >= runs;
        });
        return m_events;
    }

private:
    void Add(Event e) {
        std::lock_guard<std::mutex> lock(m_mutex);
        e.ms = std::chrono::duration<double, std::milli>(Clock::now() - m_start).count();
        m_events.push_back(std::move(e));
        m_cv.notify_all();
    }
    Clock::time_point m_start = Clock::now();
    std::mutex m_mutex;
    std::condition_variable m_cv;
    std::vector<Event> m_events;
};

class SlideShowTest : public ::testing::Test {
protected:
    void SetUp() override {
        CImageBuffer img;
        ASSERT_TRUE(img.Allocate(8, 6, RGB(200, 10, 10)));
        for (const char* n : {"a.bmp", "b.bmp", "c.bmp"})
            ASSERT_TRUE(SaveWholeImage(img, dir.File(n)));
        dir.Write("notes.txt", "not a picture");
    }
    TempDir dir;
    std::shared_ptr<RecordingSink> sink = std::make_shared<RecordingSink>();
};

TEST_F(SlideShowTest, ShowsEachPictureAfterOneDelayAndEnds) {
    CSlideShow show(sink);
    EXPECT_TRUE(show.Toggle(dir.Path(), 150));
    EXPECT_TRUE(show.IsRunning());
    auto ev = sink->WaitFinished(1);
    ASSERT_EQ(ev.size(), 4u);
    for (int i = 0; i < 3; ++i) { // the i-th picture comes after i + 1 delays
        EXPECT_TRUE(ev[i].kind == 's' && ev[i].index == i && ev[i].decoded);
        EXPECT_TRUE(ev[i].ms >= 150.0 * (i + 1) - 5 && ev[i].ms < 150.0 * (i + 1) + 120)
            << ev[i].ms;
    }
    EXPECT_EQ(ev[3].kind, 'f');
    show.RunEnded(ev[3].run);
    EXPECT_FALSE(show.IsRunning());
    EXPECT_TRUE(show.Toggle(dir.Path(), 10)); // the next toggle starts a new show
    sink->WaitFinished(2);
    // A folder without pictures says so and ends.
    TempDir empty;
    show.Start(empty.Path(), 10);
    ev = sink->WaitFinished(3);
    EXPECT_TRUE(ev.size() > 2 && ev[ev.size() - 2].kind == 'n' && ev.back().kind == 'f');
}

TEST_F(SlideShowTest, AStopDuringAPauseStillShowsThatPictureThenEnds) {
    CSlideShow show(sink);
    show.Start(dir.Path(), 200);
    std::this_thread::sleep_for(std::chrono::milliseconds(300)); // in the 2nd pause
    show.RequestStop();
    auto ev = sink->WaitFinished(1);
    ASSERT_EQ(ev.size(), 3u);
    EXPECT_TRUE(ev[0].index == 0 && ev[1].index == 1 && ev[2].kind == 'f');
    EXPECT_TRUE(show.AcceptSlide(ev[1].run));
}

TEST_F(SlideShowTest, QuickTogglesNeverInterleaveTwoShows) {
    CSlideShow show(sink);
    show.Toggle(dir.Path(), 100); // start run 1
    show.Toggle(dir.Path(), 100); // stop it
    EXPECT_FALSE(show.IsRunning());
    show.Toggle(dir.Path(), 100); // start run 2
    const int second = show.CurrentRun();
    std::vector<int> accepted;
    for (const Event& e : sink->WaitFinished(2)) {
        if (e.kind == 's' && show.AcceptSlide(e.run))
            accepted.push_back(e.index);
        // The stopped show got at most the slide it was waiting for.
        EXPECT_TRUE(e.kind != 's' || e.run == second || e.index == 0);
    }
    EXPECT_EQ(accepted, (std::vector<int>{0, 1, 2}));
    // The first run's end does not end the second.
    show.RunEnded(second - 1);
    EXPECT_TRUE(show.IsRunning());
}

TEST_F(SlideShowTest, DestroyingTheShowAbandonsTheWorkerAtOnce) {
    const auto start = Clock::now();
    {
        CSlideShow show(sink);
        show.Start(dir.Path(), 5000);
        std::this_thread::sleep_for(std::chrono::milliseconds(50));
    }
    auto ev = sink->WaitFinished(1);
    EXPECT_TRUE(ev.size() == 1 && ev[0].kind == 'f');
    EXPECT_LT(std::chrono::duration<double>(Clock::now() - start).count(), 2.0);
}

} // namespace
