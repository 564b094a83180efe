// Decode-ahead hands over a spare only for its own file unchanged on disk,
// lets go of it when the list changes, and never lets a third picture be
// decoded beside the shown one and a spare. Run under ThreadSanitizer too.
#include "image/DecodeAhead.h"

#include "TempDir.h"

#include <gtest/gtest.h>

#include <atomic>
#include <future>

using namespace std::chrono_literals;

TEST(DecodeAhead, SpareOnlyForItsOwnUnchangedFileAndNeverAThirdPicture) {
    TempDir dir;
    const std::string a = dir.File("a.jpg"), b = dir.File("b.jpg");
    std::atomic<int> loads{0};
    std::atomic<bool> hold{false}; // a load waits while it is set
    auto load = [&](const std::string&, CImageBuffer& out) {
        for (++loads; hold;)
            std::this_thread::sleep_for(1ms);
        return out.Allocate(2, 2);
    };
    // 0: unchanged; 1: modified 1 ns later (within one tick of the file
    // system's clock); 2: another file renamed over it; 3: the list changed.
    for (int change = 0; change < 4; ++change) {
        dir.Write("a.jpg", "picture a");
        dir.Write("b.jpg", "picture b");
        loads = 0;
        CDecodeAhead ahead(load);
        ahead.Request(a);
        ahead.Request(a); // asked again: still one decode
        while (!ahead.Holds(a))
            std::this_thread::sleep_for(1ms);
        if (change == 1)
            std::filesystem::last_write_time(a, std::filesystem::last_write_time(a) + 1ns);
        if (change == 2)
            std::rename(b.c_str(), a.c_str());
        if (change == 3)
            ahead.Release();
        std::unique_ptr<CImageBuffer> spare = ahead.Take(a);
        EXPECT_EQ(spare != nullptr, change == 0) << change;
        ahead.Discard(std::move(spare)); // freed on the worker
        EXPECT_FALSE(ahead.Busy() || ahead.Take(a)) << "handed over or let go once";
        EXPECT_EQ(loads, 1);
    }
    // Asked while its decode is under way, a spare is waited for; a load of
    // another file waits until that decode has ended and is thrown away.
    for (const std::string& asked : {a, b}) {
        loads = 0;
        hold = true;
        CDecodeAhead ahead(load);
        ahead.Request(a);
        while (loads == 0)
            std::this_thread::sleep_for(1ms);
        auto taken = std::async(std::launch::async, [&] { return ahead.Take(asked) != nullptr; });
        EXPECT_EQ(taken.wait_for(50ms), std::future_status::timeout) << asked;
        hold = false;
        EXPECT_EQ(taken.get(), asked == a);
        EXPECT_FALSE(ahead.Busy() || ahead.Take(a));
    }
}
