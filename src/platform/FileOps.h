#pragma once
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
};

// nullopt when the path does not exist or cannot be examined.
std::optional<FileFacts> GetFileFacts(const std::string& path);

struct UtcTime {
    int year, month, day, hour, minute, second;
};
UtcTime ToUtc(std::int64_t secondsSince1970);

bool FileExists(const std::string& path);      // any kind of entry
bool DirectoryExists(const std::string& path); // an existing directory

// Reads a whole file; nullopt when it cannot be opened or read, or is larger
// than maxBytes.
std::optional<std::string> ReadWholeFile(const std::string& path,
                                         std::uint64_t maxBytes = UINT64_MAX);

// Writes the bytes to a temporary file in the target's folder, flushes it and
// renames it over the target. On failure the old file is untouched and the
// temporary file is removed.
bool WriteFileAtomically(const std::string& path, const std::string& bytes);

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

// Creates a new, unique, hidden file in the folder of a target, to be renamed
// over it once written; returns its descriptor (-1 on failure) and its name.
int MakeTempFileBeside(const std::string& target, std::string& name);

// A unique, new, empty file in the system's temporary folder whose name ends
// with the suffix; "" when none can be made. The caller deletes it.
std::string MakeTempFile(const std::string& suffix);
