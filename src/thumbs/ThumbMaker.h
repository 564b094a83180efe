#pragma once
#include <condition_variable>
#include <functional>
#include <mutex>
#include <string>
#include <thread>
#include <vector>

// Makes the missing cache files of a folder's pictures in the background, on
// one worker thread of the lowest priority: each picture is decoded whole and
// its thumbnail written exactly as after a load in the picture window, so a
// file made here is the one a load would have made.
//
// The worker never touches a window. It reports each file it made, and the
// end of each job, through callbacks that run on its own thread; the window
// side passes them on to the user-interface thread.
//
// Order: the cells on the screen first (in list order), then the rest of the
// list in order. A new job (another folder) or a stop drops the old job at
// once; the one picture being made when it comes is still finished.
class CThumbMaker {
public:
    struct Callbacks {
        // File `index` of job `job` got its cache file.
        std::function<void(int job, int index)> made;
        // Job `job` has no picture left to try.
        std::function<void(int job)> finished;
    };

    // lowPriority: run the worker at the lowest CPU and I/O priority (the
    // program always does; a benchmark may compare without).
    explicit CThumbMaker(Callbacks callbacks, bool lowPriority = true);
    // Drops the job and waits for the worker to end (it finishes the picture
    // under way, so this can take one picture's decoding time).
    ~CThumbMaker();
    CThumbMaker(const CThumbMaker&) = delete;
    CThumbMaker& operator=(const CThumbMaker&) = delete;

    // Starts a job over the given pictures, dropping the one under way, with
    // the cells first..first+count-1 on the screen. Returns the job's number,
    // which its reports carry; reports of an older job are stale.
    int Start(std::vector<std::string> paths, int firstVisible, int visibleCount);
    // The cells on the screen changed (a scroll or a resize).
    void SetVisible(int firstVisible, int visibleCount);
    // Drops the job under way. With waitForPicture, returns only once the
    // picture under way is done and reported, so that nothing more is
    // written into the cache folder until the next Start.
    void Stop(bool waitForPicture = false);

private:
    // The next picture to try, marked as taken; -1 when none is left.
    int TakeNext();
    void Worker();

    Callbacks m_callbacks;
    bool m_bLowPriority;
    std::mutex m_mutex;
    std::condition_variable m_cv;
    std::vector<std::string> m_paths;
    std::vector<char> m_taken;
    int m_nFirstVisible = 0, m_nVisibleCount = 0;
    std::size_t m_nNextRest = 0; // every picture before it is taken
    int m_nJob = 0;
    bool m_bActive = false; // the job still has pictures to try
    bool m_bBusy = false;   // a picture is being made or reported
    bool m_bQuit = false;
    std::thread m_thread; // started with the first job
};
