#pragma once
#include <cstddef>
#include <cstdint>
#include <functional>
#include <optional>
#include <string>
#include <vector>

// File services of the platform: whole-file reads and atomic writes, file
// facts (size, times, attributes), delete, copy and move with the rules the
// program relies on.

struct FileFacts {
    bool isDir = false;
    bool readOnly = false;     // no write permission for the owner
    std::uint64_t size = 0;    // bytes
    std::int64_t created = 0;  // seconds since 1970 UTC: the birth time, else the last write
    std::int64_t modified = 0; // seconds since 1970 UTC: the last write
    std::int64_t accessed = 0; // seconds since 1970 UTC: the last access
};

// nullopt when the path does not exist or cannot be examined.
std::optional<FileFacts> GetFileFacts(const std::string& path);
// The same for a file that is already open.
std::optional<FileFacts> GetOpenFileFacts(int fd);

struct UtcTime {
    int year, month, day, hour, minute, second;
};
UtcTime ToUtc(std::int64_t secondsSince1970);

bool FileExists(const std::string& path);      // any kind of entry
bool DirectoryExists(const std::string& path); // an existing directory

// An open file descriptor, closed when the object goes.
class CFileHandle {
public:
    CFileHandle() = default;
    explicit CFileHandle(int fd) : m_fd(fd) {}
    CFileHandle(CFileHandle&& o) noexcept : m_fd(o.Release()) {}
    CFileHandle& operator=(CFileHandle&& o) noexcept;
    CFileHandle(const CFileHandle&) = delete;
    CFileHandle& operator=(const CFileHandle&) = delete;
    ~CFileHandle() { Close(); }

    explicit operator bool() const { return m_fd >= 0; }
    int Fd() const { return m_fd; }
    // Hands the descriptor over to the caller (fdopen, for example).
    int Release();
    void Close();

private:
    int m_fd = -1;
};

// The one way the program opens a file that it reads: every picture (load,
// slide show, thumbnails, EXIF, GPS export), every cache file and its own
// settings and favourites. The file is opened without blocking, so a FIFO or
// a device put where a file should be can never hang the program, and it is
// refused (an empty handle) unless it is a regular file. `size`, when given,
// receives the file's size. Readers hand the open file on (to the codec as
// well); nobody opens the path a second time.
CFileHandle OpenRegularFile(const std::string& path, std::uint64_t* size = nullptr);
// The same for a name inside a folder that is already open (AT_FDCWD for a
// path relative to the working directory or a full path).
CFileHandle OpenRegularFileAt(int dirFd, const char* name, std::uint64_t* size = nullptr);

// Reads a whole file through OpenRegularFile; nullopt when it cannot be
// opened or read, is not a regular file, or is larger than maxBytes.
std::optional<std::string> ReadWholeFile(const std::string& path,
                                         std::uint64_t maxBytes = UINT64_MAX);

// A new file written in the folder of its target and put in the target's
// place only when it is complete, so that a failed or killed writer never
// leaves a damaged or half-written file under the target's name.
//
// While it is written the file has no name at all (O_TMPFILE): a writer that
// is killed leaves nothing behind. Where the file system cannot make such a
// file, it gets a temporary name ".kv-<process id>-<number>" in the same
// folder instead; RemoveLeftoverTempFiles recognises the name of a writer
// that no longer runs.
class CAtomicFile {
public:
    explicit CAtomicFile(const std::string& target);
    ~CAtomicFile(); // a file that was not committed is discarded
    CAtomicFile(const CAtomicFile&) = delete;
    CAtomicFile& operator=(const CAtomicFile&) = delete;

    // False when no file could be made in the target's folder.
    bool IsOpen() const { return m_fd >= 0; }
    int Fd() const { return m_fd; }
    bool Write(const void* data, std::size_t size);
    // Gives the file its permissions (`mode`; by default those of the file
    // it replaces, or the usual ones of a new file), flushes it to the disk
    // and puts it under the target's name: over an existing file when
    // `replace`, otherwise only when the name is free. False, with nothing
    // left behind and the target untouched, on any failure.
    bool Commit(bool replace = true, int mode = -1);

private:
    bool LinkUnderTempName();
    void Discard();
    std::string m_target, m_tempName; // m_tempName: empty while nameless
    int m_fd = -1;
    bool m_bad = false; // a write failed
};

// Writes the bytes through a CAtomicFile, replacing the target.
bool WriteFileAtomically(const std::string& path, const std::string& bytes);

// Tests switch nameless files off to run the named fallback; the program
// never does.
void UseNamelessTempFiles(bool on);

// Removes the temporary files that writers left in a folder (not below it)
// when they were killed: only names ".kv-<process id>-..." whose process no
// longer runs. A name with this process's own id is a leftover of an earlier
// process that had the same id, since the program calls this at its start,
// before it writes anything. Returns how many files were removed.
int RemoveLeftoverTempFiles(const std::string& folder);

// Clears the read-only attribute (gives the owner write permission).
bool ClearReadOnly(const std::string& path);
// Deletes a file (not a directory). True when it is gone.
bool DeleteFileAt(const std::string& path);

// Moves a file without ever replacing one at the target: fails when the target
// exists. Works across file systems (copy, then delete the source).
bool MoveFileNoReplace(const std::string& from, const std::string& to);

// Copies a file over the target through a temporary file in the target's
// folder; copying a file onto itself does nothing and succeeds. A target the
// user may not write is never replaced.
bool CopyFileReplace(const std::string& from, const std::string& to);

// Scripted failures for tests: the hook is asked before each delete, move and
// copy above. An error number it returns makes the operation fail with that
// errno and change nothing; 0 lets it go on. Returns the previous hook.
enum class EFileOp { kDelete, kMove, kCopy };
using FileOpHook = std::function<int(EFileOp op, const std::string& from, const std::string& to)>;
FileOpHook SetFileOpHook(FileOpHook hook);
