#include "app/SlideShow.h"

#include "TempDir.h"
#include "image/Codec.h"

#include <gtest/gtest.h>

#include <chrono>
#include <thread>

namespace {

using Clock = std::chrono::steady_clock;

struct Event {
    char kind; // 's' slide, 'n' no pictures, 'f' finished
    int run, index;
    std::string path;
    bool decoded;
    double ms; // since the sink was made
};

class RecordingSink : public CSlideShow::ISink {
public:
    void OnSlide(int run, int i, int, const std::string& path,
                 std::unique_ptr<CImageBuffer> img) override {
        Add({'s', run, i, path, img != nullptr, Since()});
    }
    void OnNoPictures(int run) override { Add({'n', run, -1, {}, false, Since()}); }
    void OnFinished(int run) override { Add({'f', run, -1, {}, false, Since()}); }

    // Waits until the given number of runs has finished (or 10 s passed).
    std::vector<Event> WaitFinished(int runs) {
        std::unique_lock<std::mutex> lock(m_mutex);
        m_cv.wait_for(lock, std::chrono::seconds(10), [&] {
            int n = 0;
            for (const Event& e : m_events)
                n += e.kind == 'f';
            return n >= runs;
        });
        return m_events;
    }

private:
    double Since() const {
        return std::chrono::duration<double, std::milli>(Clock::now() - m_start).count();
    }
    void Add(Event e) {
        std::lock_guard<std::mutex> lock(m_mutex);
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
    for (int i = 0; i < 3; ++i) {
        EXPECT_EQ(ev[i].kind, 's');
        EXPECT_EQ(ev[i].index, i);
        EXPECT_TRUE(ev[i].decoded);
        // The i-th picture comes after i + 1 delays.
        EXPECT_GE(ev[i].ms, 150.0 * (i + 1) - 5);
        EXPECT_LT(ev[i].ms, 150.0 * (i + 1) + 120);
    }
    EXPECT_EQ(ev[0].path, dir.File("a.bmp"));
    EXPECT_EQ(ev[3].kind, 'f');
    show.RunEnded(ev[3].run);
    EXPECT_FALSE(show.IsRunning());
    EXPECT_TRUE(show.Toggle(dir.Path(), 10)); // the next toggle starts a new show
    sink->WaitFinished(2);
}

TEST_F(SlideShowTest, AFolderWithoutPicturesSaysSoAndEnds) {
    TempDir empty;
    CSlideShow show(sink);
    show.Start(empty.Path(), 10);
    auto ev = sink->WaitFinished(1);
    ASSERT_EQ(ev.size(), 2u);
    EXPECT_EQ(ev[0].kind, 'n');
    EXPECT_EQ(ev[1].kind, 'f');
}

TEST_F(SlideShowTest, AStopDuringAPauseStillShowsThatPictureThenEnds) {
    CSlideShow show(sink);
    show.Start(dir.Path(), 200);
    std::this_thread::sleep_for(std::chrono::milliseconds(300)); // in the 2nd pause
    show.RequestStop();
    auto ev = sink->WaitFinished(1);
    ASSERT_EQ(ev.size(), 3u);
    EXPECT_EQ(ev[0].index, 0);
    EXPECT_EQ(ev[1].index, 1);
    EXPECT_EQ(ev[2].kind, 'f');
    EXPECT_TRUE(show.AcceptSlide(ev[1].run));
}

TEST_F(SlideShowTest, QuickTogglesNeverInterleaveTwoShows) {
    CSlideShow show(sink);
    show.Toggle(dir.Path(), 100); // start run 1
    show.Toggle(dir.Path(), 100); // stop it
    EXPECT_FALSE(show.IsRunning());
    show.Toggle(dir.Path(), 100); // start run 2
    int second = show.CurrentRun();
    auto ev = sink->WaitFinished(2);
    std::vector<int> accepted;
    for (const Event& e : ev)
        if (e.kind == 's' && show.AcceptSlide(e.run))
            accepted.push_back(e.index);
    EXPECT_EQ(accepted, (std::vector<int>{0, 1, 2}));
    for (const Event& e : ev) {
        if (e.kind == 's' && e.run != second) {
            EXPECT_EQ(e.index, 0); // the stopped show got at most the slide it was waiting for
        }
    }
    // The first run's end does not end the second.
    show.RunEnded(second - 1);
    EXPECT_TRUE(show.IsRunning());
}

TEST_F(SlideShowTest, DestroyingTheShowAbandonsTheWorkerAtOnce) {
    auto start = Clock::now();
    {
        CSlideShow show(sink);
        show.Start(dir.Path(), 5000);
        std::this_thread::sleep_for(std::chrono::milliseconds(50));
    }
    auto ev = sink->WaitFinished(1);
    ASSERT_EQ(ev.size(), 1u);
    EXPECT_EQ(ev[0].kind, 'f');
    EXPECT_LT(std::chrono::duration<double>(Clock::now() - start).count(), 2.0);
}

} // namespace
