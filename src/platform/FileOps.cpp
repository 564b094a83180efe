#include "platform/FileOps.h"

#include "platform/ProgramFolder.h"

#include <cerrno>
#include <cstdio>
#include <cstdlib>
#include <ctime>
#include <fcntl.h>
#include <sys/stat.h>
#include <unistd.h>

namespace {

FileOpHook g_hook;

// True when a scripted failure stops the operation (errno is set then).
bool ScriptedFailure(EFileOp op, const std::string& from, const std::string& to = {}) {
    if (!g_hook)
        return false;
    int error = g_hook(op, from, to);
    if (error == 0)
        return false;
    errno = error;
    return true;
}

bool WriteAll(int fd, const char* data, std::size_t size) {
    while (size > 0) {
        ssize_t n = ::write(fd, data, size);
        if (n < 0) {
            if (errno == EINTR)
                continue;
            return false;
        }
        data += n;
        size -= static_cast<std::size_t>(n);
    }
    return true;
}

// The pattern of a temporary file in the folder of a target: short, so that
// any name the folder can hold can be written through it.
std::string TempNameBeside(const std::string& target) {
    return FolderOf(target) + ".kv-XXXXXX";
}

// Creates a unique file from a mkstemp pattern and returns its descriptor.
int MakeUniqueFile(std::string& name, const std::string& base, int suffixLen) {
    name = base;
    std::vector<char> buf(name.begin(), name.end());
    buf.push_back('\0');
    int fd = suffixLen > 0 ? ::mkstemps(buf.data(), suffixLen) : ::mkstemp(buf.data());
    if (fd >= 0)
        name.assign(buf.data());
    return fd;
}

// Copies the contents of one open file into another.
bool CopyContents(int in, int out) {
    char buf[1 << 16];
    for (;;) {
        ssize_t n = ::read(in, buf, sizeof buf);
        if (n < 0) {
            if (errno == EINTR)
                continue;
            return false;
        }
        if (n == 0)
            return true;
        if (!WriteAll(out, buf, static_cast<std::size_t>(n)))
            return false;
    }
}

// Copies "from" into a new temporary file in the folder of "to"; returns its name.
std::string CopyToTempBeside(const std::string& from, const std::string& to) {
    int in = ::open(from.c_str(), O_RDONLY | O_CLOEXEC);
    if (in < 0)
        return {};
    std::string tmp;
    int out = MakeUniqueFile(tmp, TempNameBeside(to), 0);
    if (out < 0) {
        ::close(in);
        return {};
    }
    struct stat st {};
    bool ok = CopyContents(in, out) && ::fstat(in, &st) == 0 &&
              ::fchmod(out, st.st_mode & 07777) == 0 && ::fsync(out) == 0;
    ::close(in);
    ok = ::close(out) == 0 && ok;
    if (!ok) {
        ::unlink(tmp.c_str());
        return {};
    }
    return tmp;
}

} // namespace

std::optional<FileFacts> GetFileFacts(const std::string& path) {
    struct statx sx {};
    if (path.empty() ||
        ::statx(AT_FDCWD, path.c_str(), 0, STATX_BASIC_STATS | STATX_BTIME, &sx) != 0)
        return std::nullopt;
    FileFacts f;
    f.isDir = S_ISDIR(sx.stx_mode);
    f.readOnly = (sx.stx_mode & S_IWUSR) == 0;
    f.size = sx.stx_size;
    f.modified = sx.stx_mtime.tv_sec;
    f.created = (sx.stx_mask & STATX_BTIME) ? sx.stx_btime.tv_sec : f.modified;
    return f;
}

UtcTime ToUtc(std::int64_t secondsSince1970) {
    std::time_t t = static_cast<std::time_t>(secondsSince1970);
    std::tm tm{};
    gmtime_r(&t, &tm);
    return {tm.tm_year + 1900, tm.tm_mon + 1, tm.tm_mday, tm.tm_hour, tm.tm_min, tm.tm_sec};
}

bool FileExists(const std::string& path) {
    struct stat st {};
    return !path.empty() && ::lstat(path.c_str(), &st) == 0;
}

bool DirectoryExists(const std::string& path) {
    struct stat st {};
    return !path.empty() && ::stat(path.c_str(), &st) == 0 && S_ISDIR(st.st_mode);
}

std::optional<std::string> ReadWholeFile(const std::string& path, std::uint64_t maxBytes) {
    // Non-blocking, so that a pipe put where a file should be cannot hang us;
    // anything but a regular file is refused.
    int fd = ::open(path.c_str(), O_RDONLY | O_CLOEXEC | O_NONBLOCK);
    if (fd < 0)
        return std::nullopt;
    struct stat st {};
    if (::fstat(fd, &st) != 0 || !S_ISREG(st.st_mode) ||
        static_cast<std::uint64_t>(st.st_size) > maxBytes) {
        ::close(fd);
        return std::nullopt;
    }
    std::string data;
    data.reserve(static_cast<std::size_t>(st.st_size));
    char buf[1 << 16];
    for (;;) {
        ssize_t n = ::read(fd, buf, sizeof buf);
        if (n < 0 && errno == EINTR)
            continue;
        if (n < 0) {
            ::close(fd);
            return std::nullopt;
        }
        if (n == 0)
            break;
        data.append(buf, static_cast<std::size_t>(n));
        if (data.size() > maxBytes) {
            ::close(fd);
            return std::nullopt;
        }
    }
    ::close(fd);
    return data;
}

bool WriteFileAtomically(const std::string& path, const std::string& bytes) {
    std::string tmp;
    int fd = MakeUniqueFile(tmp, TempNameBeside(path), 0);
    if (fd < 0)
        return false;
    // A new file of the program gets the usual permissions, not mkstemp's 0600.
    mode_t mask = ::umask(0);
    ::umask(mask);
    struct stat old {};
    mode_t mode = ::stat(path.c_str(), &old) == 0 ? (old.st_mode & 07777) : (0666 & ~mask);
    bool ok =
        WriteAll(fd, bytes.data(), bytes.size()) && ::fchmod(fd, mode) == 0 && ::fsync(fd) == 0;
    ok = ::close(fd) == 0 && ok;
    if (ok && ::rename(tmp.c_str(), path.c_str()) == 0)
        return true;
    ::unlink(tmp.c_str());
    return false;
}

bool ClearReadOnly(const std::string& path) {
    struct stat st {};
    if (::stat(path.c_str(), &st) != 0)
        return false;
    return (st.st_mode & S_IWUSR) || ::chmod(path.c_str(), st.st_mode | S_IWUSR) == 0;
}

bool DeleteFileAt(const std::string& path) {
    if (ScriptedFailure(EFileOp::kDelete, path))
        return false;
    struct stat st {};
    if (::lstat(path.c_str(), &st) != 0 || S_ISDIR(st.st_mode))
        return false;
    return ::unlink(path.c_str()) == 0;
}

bool MoveFileNoReplace(const std::string& from, const std::string& to) {
    if (ScriptedFailure(EFileOp::kMove, from, to))
        return false;
    if (::renameat2(AT_FDCWD, from.c_str(), AT_FDCWD, to.c_str(), RENAME_NOREPLACE) == 0)
        return true;
    if (errno != EXDEV)
        return false;
    // Another file system: copy beside the target, link it into place only
    // when the target name is still free, then remove the source.
    if (FileExists(to))
        return false;
    std::string tmp = CopyToTempBeside(from, to);
    if (tmp.empty())
        return false;
    if (::renameat2(AT_FDCWD, tmp.c_str(), AT_FDCWD, to.c_str(), RENAME_NOREPLACE) != 0) {
        ::unlink(tmp.c_str());
        return false;
    }
    if (::unlink(from.c_str()) != 0) {
        // The source stays: undo the copy so the file is not there twice.
        ::unlink(to.c_str());
        return false;
    }
    return true;
}

bool CopyFileReplace(const std::string& from, const std::string& to) {
    struct stat a {
    }, b{};
    if (::stat(from.c_str(), &a) != 0 || !S_ISREG(a.st_mode))
        return false;
    if (::stat(to.c_str(), &b) == 0 && a.st_dev == b.st_dev && a.st_ino == b.st_ino)
        return true;
    // Renaming over a file needs only the folder's permission: ask for the
    // file's own, as an overwrite in place would.
    if (ScriptedFailure(EFileOp::kCopy, from, to) ||
        (FileExists(to) && ::access(to.c_str(), W_OK) != 0))
        return false;
    std::string tmp = CopyToTempBeside(from, to);
    if (tmp.empty())
        return false;
    if (::rename(tmp.c_str(), to.c_str()) != 0) {
        ::unlink(tmp.c_str());
        return false;
    }
    return true;
}

FileOpHook SetFileOpHook(FileOpHook hook) {
    std::swap(g_hook, hook);
    return hook;
}

int MakeTempFileBeside(const std::string& target, std::string& name) {
    int fd = MakeUniqueFile(name, TempNameBeside(target), 0);
    if (fd >= 0)
        ::fchmod(fd, 0644);
    return fd;
}

std::string MakeTempFile(const std::string& suffix) {
    const char* dir = std::getenv("TMPDIR");
    std::string base = WithTrailingSlash(dir && *dir ? dir : "/tmp") + "kelvra-XXXXXX" + suffix;
    std::string name;
    int fd = MakeUniqueFile(name, base, static_cast<int>(suffix.size()));
    if (fd < 0)
        return {};
    ::close(fd);
    return name;
}
