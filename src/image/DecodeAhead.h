#pragma once
#include "image/ImageBuffer.h"

#include <condition_variable>
#include <cstdint>
#include <functional>
#include <memory>
#include <mutex>
#include <optional>
#include <string>
#include <thread>

// What identifies one version of a file on disk: a file written again,
// replaced or touched since has another stamp.
struct FileStamp {
    std::uint64_t device = 0, inode = 0, size = 0;
    std::int64_t modifiedNs = 0, changedNs = 0;
    bool operator==(const FileStamp&) const = default;
};
// The stamp of the file at path now; nullopt when it cannot be read.
std::optional<FileStamp> StampOf(const std::string& path);

// The list index that stepping from `cur` opens (forwards: next, else
// previous), by the rules of next and previous: nothing with fewer than two
// pictures, no wrap past the last one, and a step back from the first opens
// the first again. `cur` is -1 when the shown file is not in the list.
std::optional<int> StepTarget(int count, int cur, bool forwards);

// Decode-ahead: one worker thread decodes the picture the user will most
// likely open next into a spare buffer while the shown one is looked at.
// The worker never touches a window; the window asks for the spare when it
// opens a file, and gets it only when it was decoded from that path and the
// file has not changed on disk since. At most one spare is held, and a
// decode nobody wants any more is thrown away as soon as it ends, so the
// program never holds more than the shown picture and one other.
class CDecodeAhead {
public:
    using Loader = std::function<bool(const std::string& path, CImageBuffer& out)>;
    // `load` decodes a file as every load does (LoadImageFile by default).
    explicit CDecodeAhead(Loader load = nullptr);
    // Waits for a decode under way to end (at most one picture's time).
    ~CDecodeAhead();
    CDecodeAhead(const CDecodeAhead&) = delete;
    CDecodeAhead& operator=(const CDecodeAhead&) = delete;

    // Decodes path on the worker, in place of whatever was wanted before.
    void Request(const std::string& path);
    // The spare decoded from path, when the file is still as it was when its
    // decode began; waits when that decode is under way. Otherwise null, and
    // the caller decodes the file itself: then a decode of another file that
    // is under way is first let to end and thrown away, so that the caller's
    // decode is never a third picture. Either way nothing is wanted any more.
    std::unique_ptr<CImageBuffer> Take(const std::string& path);
    // Lets go of the spare and of what was wanted (the list of pictures
    // changed, or the picture window was left).
    void Release();
    // Frees a picture on the worker, before its next decode: the picture a
    // new one replaces goes without delaying the new one's first frame.
    void Discard(std::unique_ptr<CImageBuffer> img);
    // Whether a spare is held or being decoded, or waits for the worker.
    bool Busy() const;
    // Whether the spare decoded from path is ready to be taken.
    bool Holds(const std::string& path) const;

private:
    void Run();

    Loader m_load;
    mutable std::mutex m_mutex;
    std::condition_variable m_cv;
    std::string m_wanted;   // the path the spare is for; empty: none
    bool m_queued = false;  // m_wanted waits for the worker
    std::string m_decoding; // the path the worker is decoding now
    std::unique_ptr<CImageBuffer> m_spare;
    std::string m_sparePath;
    FileStamp m_spareStamp;
    std::unique_ptr<CImageBuffer> m_discard;
    bool m_quit = false;
    std::thread m_worker;
};
