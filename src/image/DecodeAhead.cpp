#include "image/DecodeAhead.h"

#include "image/Codec.h"

#include <algorithm>
#include <sys/stat.h>
#include <utility>

std::optional<FileStamp> StampOf(const std::string& path) {
    struct stat st {};
    if (::stat(path.c_str(), &st) != 0)
        return std::nullopt;
    auto ns = [](const timespec& t) { return std::int64_t(t.tv_sec) * 1000000000 + t.tv_nsec; };
    return FileStamp{std::uint64_t(st.st_dev), std::uint64_t(st.st_ino), std::uint64_t(st.st_size),
                     ns(st.st_mtim), ns(st.st_ctim)};
}

std::optional<int> StepTarget(int count, int cur, bool forwards) {
    if (count <= 1)
        return std::nullopt;
    const int index = forwards ? cur + 1 : std::max(cur - 1, 0);
    if (index < (forwards ? 1 : 0) || index >= count)
        return std::nullopt;
    return index;
}

CDecodeAhead::CDecodeAhead(Loader load)
    : m_load(load ? std::move(load) : Loader(LoadImageFile)), m_worker([this] { Run(); }) {}

CDecodeAhead::~CDecodeAhead() {
    {
        std::lock_guard<std::mutex> lock(m_mutex);
        m_quit = true;
    }
    m_cv.notify_all();
    m_worker.join();
}

void CDecodeAhead::Request(const std::string& path) {
    std::unique_ptr<CImageBuffer> old; // freed outside the lock
    {
        std::lock_guard<std::mutex> lock(m_mutex);
        if (path == m_wanted)
            return; // decoded, or being decoded, already
        old = std::move(m_spare);
        m_wanted = path;
        m_queued = m_decoding != path;
    }
    m_cv.notify_all();
}

std::unique_ptr<CImageBuffer> CDecodeAhead::Take(const std::string& path) {
    std::unique_ptr<CImageBuffer> spare;
    FileStamp stamp;
    {
        std::unique_lock<std::mutex> lock(m_mutex);
        if (path == m_wanted)
            m_cv.wait(lock, [&] { return !m_queued && m_decoding != path; });
        if (m_spare && m_sparePath == path) {
            spare = std::move(m_spare);
            stamp = m_spareStamp;
        }
        m_wanted.clear();
        m_queued = false;
        if (!spare) // a decode of another file ends, and is thrown away, first
            m_cv.wait(lock, [&] { return m_decoding.empty(); });
        m_spare.reset();
    }
    if (spare && StampOf(path) != stamp)
        spare.reset(); // changed on disk since: decoded again by the caller
    return spare;
}

void CDecodeAhead::Release() {
    std::unique_ptr<CImageBuffer> old;
    std::lock_guard<std::mutex> lock(m_mutex);
    old = std::move(m_spare);
    m_wanted.clear();
    m_queued = false;
}

void CDecodeAhead::Discard(std::unique_ptr<CImageBuffer> img) {
    std::unique_ptr<CImageBuffer> earlier; // one not yet freed is freed here
    {
        std::lock_guard<std::mutex> lock(m_mutex);
        earlier = std::exchange(m_discard, std::move(img));
    }
    m_cv.notify_all();
}

bool CDecodeAhead::Busy() const {
    std::lock_guard<std::mutex> lock(m_mutex);
    return m_spare || !m_decoding.empty() || m_queued;
}

bool CDecodeAhead::Holds(const std::string& path) const {
    std::lock_guard<std::mutex> lock(m_mutex);
    return m_spare && m_sparePath == path;
}

void CDecodeAhead::Run() {
    std::unique_lock<std::mutex> lock(m_mutex);
    for (;;) {
        m_cv.wait(lock, [&] { return m_quit || m_queued || m_discard; });
        if (m_quit)
            return;
        if (m_discard) {
            std::unique_ptr<CImageBuffer> old = std::move(m_discard);
            lock.unlock();
            old.reset();
            lock.lock();
            continue;
        }
        const std::string path = m_wanted;
        m_queued = false;
        m_decoding = path;
        lock.unlock();
        // The stamp is taken before the file is read: a change while it is
        // read shows at the next look.
        std::optional<FileStamp> stamp = StampOf(path);
        auto img = std::make_unique<CImageBuffer>();
        if (!stamp || !m_load(path, *img))
            img.reset();
        lock.lock();
        if (img && path == m_wanted) {
            m_spare = std::move(img);
            m_sparePath = path;
            m_spareStamp = *stamp;
        }
        img.reset(); // nobody wants it any more: gone before the decode counts as ended
        m_decoding.clear();
        m_cv.notify_all();
    }
}
