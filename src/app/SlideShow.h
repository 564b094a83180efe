#pragma once
#include "image/ImageBuffer.h"

#include <atomic>
#include <condition_variable>
#include <memory>
#include <mutex>
#include <string>

// The slide show: a worker thread that lists a folder's pictures, then for
// each one waits the slide delay and decodes it. It never touches a window:
// it hands each decoded picture to a sink, which passes it on to the
// user-interface thread. Each run has its own stop flag; a stop only sets
// that flag and never waits for the worker. The folder and the delay are
// copied when the run starts.
class CSlideShow {
public:
    // Receives what the worker produces, on the worker's thread.
    class ISink {
    public:
        virtual ~ISink() = default;
        // Picture i of n; img is null when the file could not be decoded.
        virtual void OnSlide(int run, int i, int n, const std::string& path,
                             std::unique_ptr<CImageBuffer> img) = 0;
        virtual void OnNoPictures(int run) = 0;
        virtual void OnFinished(int run) = 0;
    };

    explicit CSlideShow(std::shared_ptr<ISink> sink) : m_sink(std::move(sink)) {}
    // Abandons a running show: its worker wakes from its pause and ends
    // without decoding another picture.
    ~CSlideShow();
    CSlideShow(const CSlideShow&) = delete;
    CSlideShow& operator=(const CSlideShow&) = delete;

    // Starts a show when none runs, stops the running one otherwise. Returns
    // whether a show was started.
    bool Toggle(const std::string& folder, int delayMs);
    void Start(const std::string& folder, int delayMs);
    // Asks the running show to end before its next picture; a picture whose
    // pause is under way is still shown.
    void RequestStop();
    bool IsRunning() const { return m_bSlideRunning; }
    // The sink reports that a run ended; only the current run clears the
    // running state.
    void RunEnded(int run);
    // A picture is shown only when it comes from the latest run, so a show
    // that was stopped and followed by a new one never shows a late slide
    // among the new show's.
    bool AcceptSlide(int run) const { return run == m_nRun; }
    int CurrentRun() const { return m_nRun; }

private:
    struct Run {
        std::atomic<bool> stop{false};
        std::atomic<bool> abandon{false};
        std::mutex m;
        std::condition_variable cv;
    };
    static void Worker(std::shared_ptr<Run> run, std::shared_ptr<ISink> sink, int id,
                       std::string folder, int delayMs);

    std::shared_ptr<ISink> m_sink;
    std::shared_ptr<Run> m_run;
    bool m_bSlideRunning = false;
    int m_nRun = 0;
};
