#include "thumbs/ThumbMaker.h"

#include "image/Codec.h"
#include "thumbs/ThumbCache.h"

#include <algorithm>
#include <sys/resource.h>
#include <sys/syscall.h>
#include <unistd.h>

namespace {

// The calling thread alone gets the lowest CPU priority (on Linux a thread
// id names one thread here) and the idle I/O class, so the user's own work
// always goes first. Failures leave the normal priority.
void LowerThisThreadsPriority() {
    const pid_t tid = ::gettid();
    ::setpriority(PRIO_PROCESS, static_cast<id_t>(tid), 19);
    constexpr int kIoprioWhoProcess = 1, kIoprioClassIdle = 3, kIoprioClassShift = 13;
    ::syscall(SYS_ioprio_set, kIoprioWhoProcess, tid, kIoprioClassIdle << kIoprioClassShift);
}

// Makes the cache file of one picture the way the picture window does after
// a load. False when a valid one was there already, or when the picture
// cannot be decoded or its file cannot be written.
bool MakeThumbFile(const std::string& path) {
    if (ReadThumbnail(path))
        return false;
    CImageBuffer img;
    return LoadImageFile(path, img) && WriteThumbnail(img, path);
}

} // namespace

CThumbMaker::CThumbMaker(Callbacks callbacks, bool lowPriority)
    : m_callbacks(std::move(callbacks)), m_bLowPriority(lowPriority) {}

CThumbMaker::~CThumbMaker() {
    {
        std::lock_guard<std::mutex> lock(m_mutex);
        m_bQuit = true;
    }
    m_cv.notify_all();
    if (m_thread.joinable())
        m_thread.join();
}

int CThumbMaker::Start(std::vector<std::string> paths, int firstVisible, int visibleCount) {
    int job;
    {
        std::lock_guard<std::mutex> lock(m_mutex);
        job = ++m_nJob;
        m_paths = std::move(paths);
        m_taken.assign(m_paths.size(), 0);
        m_nNextRest = 0;
        m_nFirstVisible = firstVisible;
        m_nVisibleCount = visibleCount;
        m_bActive = true;
        if (!m_thread.joinable())
            m_thread = std::thread(&CThumbMaker::Worker, this);
    }
    m_cv.notify_all();
    return job;
}

void CThumbMaker::SetVisible(int firstVisible, int visibleCount) {
    std::lock_guard<std::mutex> lock(m_mutex);
    m_nFirstVisible = firstVisible;
    m_nVisibleCount = visibleCount;
}

void CThumbMaker::Stop(bool waitForPicture) {
    std::unique_lock<std::mutex> lock(m_mutex);
    ++m_nJob;
    m_bActive = false;
    m_paths.clear();
    m_taken.clear();
    if (waitForPicture)
        m_cv.wait(lock, [this] { return !m_bBusy; });
}

int CThumbMaker::TakeNext() {
    const int count = static_cast<int>(m_paths.size());
    const int end = std::min(count, m_nFirstVisible + std::max(m_nVisibleCount, 0));
    for (int i = std::max(m_nFirstVisible, 0); i < end; ++i)
        if (!m_taken[static_cast<std::size_t>(i)]) {
            m_taken[static_cast<std::size_t>(i)] = 1;
            return i;
        }
    while (m_nNextRest < m_taken.size() && m_taken[m_nNextRest])
        ++m_nNextRest;
    if (m_nNextRest == m_taken.size())
        return -1;
    m_taken[m_nNextRest] = 1;
    return static_cast<int>(m_nNextRest++);
}

void CThumbMaker::Worker() {
    if (m_bLowPriority)
        LowerThisThreadsPriority();
    std::unique_lock<std::mutex> lock(m_mutex);
    for (;;) {
        m_cv.wait(lock, [this] { return m_bQuit || m_bActive; });
        if (m_bQuit)
            return;
        const int job = m_nJob;
        const int index = TakeNext();
        if (index < 0) {
            m_bActive = false;
            lock.unlock();
            if (m_callbacks.finished)
                m_callbacks.finished(job);
            lock.lock();
            continue;
        }
        const std::string path = m_paths[static_cast<std::size_t>(index)];
        m_bBusy = true;
        lock.unlock();
        if (MakeThumbFile(path) && m_callbacks.made)
            m_callbacks.made(job, index);
        lock.lock();
        m_bBusy = false;
        m_cv.notify_all();
    }
}
