#include "app/SlideShow.h"

#include "app/PictureFiles.h"
#include "image/Codec.h"

#include <chrono>
#include <thread>

CSlideShow::~CSlideShow() {
    if (m_run) {
        std::lock_guard<std::mutex> lock(m_run->m);
        m_run->stop = true;
        m_run->abandon = true;
        m_run->cv.notify_all();
    }
}

bool CSlideShow::Toggle(const std::string& folder, int delayMs) {
    if (m_bSlideRunning) {
        RequestStop();
        m_bSlideRunning = false;
        return false;
    }
    Start(folder, delayMs);
    return true;
}

void CSlideShow::Start(const std::string& folder, int delayMs) {
    m_run = std::make_shared<Run>();
    m_bSlideRunning = true;
    ++m_nRun;
    std::thread(Worker, m_run, m_sink, m_nRun, folder, delayMs).detach();
}

void CSlideShow::RequestStop() {
    if (m_run)
        m_run->stop = true;
}

void CSlideShow::RunEnded(int run) {
    if (run == m_nRun)
        m_bSlideRunning = false;
}

void CSlideShow::Worker(std::shared_ptr<Run> run, std::shared_ptr<ISink> sink, int id,
                        std::string folder, int delayMs) {
    std::vector<std::string> files = ListFolderPictures(folder);
    if (files.empty()) {
        sink->OnNoPictures(id);
    } else {
        const int n = static_cast<int>(files.size());
        for (int i = 0; i < n; ++i) {
            if (run->stop)
                break;
            {
                std::unique_lock<std::mutex> lock(run->m);
                run->cv.wait_for(lock, std::chrono::milliseconds(delayMs),
                                 [&] { return run->abandon.load(); });
            }
            if (run->abandon)
                break;
            auto img = std::make_unique<CImageBuffer>();
            if (!LoadImageFile(files[static_cast<std::size_t>(i)], *img))
                img.reset();
            sink->OnSlide(id, i, n, files[static_cast<std::size_t>(i)], std::move(img));
        }
    }
    sink->OnFinished(id);
}
