#include "platform/FileOps.h"

#include "platform/DirList.h"
#include "platform/ProgramFolder.h"

#include <atomic>
#include <cerrno>
#include <cstdio>
#include <ctime>
#include <fcntl.h>
#include <signal.h>
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

std::atomic<bool> g_namelessFiles{true};

// A new temporary name in a folder. The process id makes it unique among
// running writers; a name left by an ended process with the same id is
// skipped by the callers (EEXIST), which then ask for the next one.
std::string NewTempName(const std::string& folder) {
    static std::atomic<unsigned> counter{0};
    return folder + ".kv-" + std::to_string(::getpid()) + "-" + std::to_string(counter++);
}

// Links a nameless file into its folder under a new name. AT_EMPTY_PATH
// needs a privilege that ordinary users lack; the file's /proc entry works
// for everybody.
bool LinkNameless(int fd, const std::string& name) {
    if (::linkat(fd, "", AT_FDCWD, name.c_str(), AT_EMPTY_PATH) == 0)
        return true;
    std::string self = "/proc/self/fd/" + std::to_string(fd);
    return ::linkat(AT_FDCWD, self.c_str(), AT_FDCWD, name.c_str(), AT_SYMLINK_FOLLOW) == 0;
}

// The process that made a temporary name of ours, or 0 when the name is not
// one.
pid_t WriterOf(const std::string& name) {
    if (name.compare(0, 4, ".kv-") != 0)
        return 0;
    std::size_t i = 4;
    long long pid = 0;
    for (; i < name.size() && name[i] >= '0' && name[i] <= '9' && pid < INT32_MAX; ++i)
        pid = pid * 10 + (name[i] - '0');
    if (i == 4 || i >= name.size() || name[i] != '-' || pid <= 0 || pid > INT32_MAX)
        return 0;
    return static_cast<pid_t>(pid);
}

bool ProcessRuns(pid_t pid) {
    return pid != ::getpid() && (::kill(pid, 0) == 0 || errno == EPERM);
}

// Copies "from" into a new file in the folder of "to" and puts it there.
bool CopyInto(const std::string& from, const std::string& to, bool replace) {
    CFileHandle in = OpenRegularFile(from);
    if (!in)
        return false;
    struct stat st {};
    if (::fstat(in.Fd(), &st) != 0)
        return false;
    CAtomicFile out(to);
    char buf[1 << 16];
    for (;;) {
        ssize_t n = ::read(in.Fd(), buf, sizeof buf);
        if (n < 0 && errno == EINTR)
            continue;
        if (n < 0)
            return false;
        if (n == 0)
            break;
        if (!out.Write(buf, static_cast<std::size_t>(n)))
            return false;
    }
    return out.Commit(replace, static_cast<int>(st.st_mode & 07777));
}

std::optional<FileFacts> StatxFacts(int dirFd, const char* path, int flags) {
    struct statx sx {};
    if (::statx(dirFd, path, flags, STATX_BASIC_STATS | STATX_BTIME, &sx) != 0)
        return std::nullopt;
    FileFacts f;
    f.isDir = S_ISDIR(sx.stx_mode);
    f.readOnly = (sx.stx_mode & S_IWUSR) == 0;
    f.size = sx.stx_size;
    f.modified = sx.stx_mtime.tv_sec;
    f.accessed = sx.stx_atime.tv_sec;
    f.created = (sx.stx_mask & STATX_BTIME) ? sx.stx_btime.tv_sec : f.modified;
    return f;
}

} // namespace

std::optional<FileFacts> GetFileFacts(const std::string& path) {
    if (path.empty())
        return std::nullopt;
    return StatxFacts(AT_FDCWD, path.c_str(), 0);
}

std::optional<FileFacts> GetOpenFileFacts(int fd) {
    return StatxFacts(fd, "", AT_EMPTY_PATH);
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

CFileHandle& CFileHandle::operator=(CFileHandle&& o) noexcept {
    if (this != &o) {
        Close();
        m_fd = o.Release();
    }
    return *this;
}

int CFileHandle::Release() {
    int fd = m_fd;
    m_fd = -1;
    return fd;
}

void CFileHandle::Close() {
    if (m_fd >= 0)
        ::close(m_fd);
    m_fd = -1;
}

CFileHandle OpenRegularFileAt(int dirFd, const char* name, std::uint64_t* size) {
    if (!name || !*name)
        return {};
    int fd;
    do
        fd = ::openat(dirFd, name, O_RDONLY | O_NONBLOCK | O_NOCTTY | O_CLOEXEC);
    while (fd < 0 && errno == EINTR);
    CFileHandle file(fd);
    struct stat st {};
    if (!file || ::fstat(fd, &st) != 0 || !S_ISREG(st.st_mode))
        return {};
    if (size)
        *size = static_cast<std::uint64_t>(st.st_size);
    return file;
}

CFileHandle OpenRegularFile(const std::string& path, std::uint64_t* size) {
    return OpenRegularFileAt(AT_FDCWD, path.c_str(), size);
}

std::optional<std::string> ReadWholeFile(const std::string& path, std::uint64_t maxBytes) {
    std::uint64_t size = 0;
    CFileHandle file = OpenRegularFile(path, &size);
    if (!file || size > maxBytes)
        return std::nullopt;
    std::string data;
    data.reserve(static_cast<std::size_t>(size));
    char buf[1 << 16];
    for (;;) {
        ssize_t n = ::read(file.Fd(), buf, sizeof buf);
        if (n < 0 && errno == EINTR)
            continue;
        if (n < 0)
            return std::nullopt;
        if (n == 0)
            break;
        data.append(buf, static_cast<std::size_t>(n));
        if (data.size() > maxBytes) // it grew while being read
            return std::nullopt;
    }
    return data;
}

CAtomicFile::CAtomicFile(const std::string& target) : m_target(target) {
    std::string folder = FolderOf(target);
    if (g_namelessFiles) {
        m_fd = ::open(folder.empty() ? "." : folder.c_str(), O_TMPFILE | O_RDWR | O_CLOEXEC, 0600);
        if (m_fd >= 0)
            return;
    }
    // The file system cannot make nameless files: a temporary name of ours.
    for (int tries = 0; m_fd < 0 && tries < 100; ++tries) {
        m_tempName = NewTempName(folder);
        m_fd = ::open(m_tempName.c_str(), O_RDWR | O_CREAT | O_EXCL | O_CLOEXEC, 0600);
        if (m_fd < 0 && errno != EEXIST)
            break;
    }
    if (m_fd < 0)
        m_tempName.clear();
}

CAtomicFile::~CAtomicFile() {
    Discard();
}

bool CAtomicFile::LinkUnderTempName() {
    for (int tries = 0; tries < 100; ++tries) {
        std::string name = NewTempName(FolderOf(m_target));
        if (LinkNameless(m_fd, name)) {
            m_tempName = name;
            return true;
        }
        if (errno != EEXIST)
            return false;
    }
    return false;
}

void CAtomicFile::Discard() {
    if (m_fd >= 0)
        ::close(m_fd);
    m_fd = -1;
    if (!m_tempName.empty())
        ::unlink(m_tempName.c_str());
    m_tempName.clear();
}

bool CAtomicFile::Write(const void* data, std::size_t size) {
    if (m_fd < 0 || m_bad)
        return false;
    m_bad = !WriteAll(m_fd, static_cast<const char*>(data), size);
    return !m_bad;
}

bool CAtomicFile::Commit(bool replace, int mode) {
    if (m_fd < 0 || m_bad) {
        Discard();
        return false;
    }
    if (mode < 0) {
        // A new file gets the usual permissions, a replaced one keeps its own.
        mode_t mask = ::umask(0);
        ::umask(mask);
        struct stat old {};
        mode = static_cast<int>(::stat(m_target.c_str(), &old) == 0 ? (old.st_mode & 07777)
                                                                    : (0666 & ~mask));
    }
    bool ok = ::fchmod(m_fd, static_cast<mode_t>(mode)) == 0 && ::fsync(m_fd) == 0;
    if (ok && m_tempName.empty()) {
        // Nameless: linked straight to a free target; a file that replaces
        // another is linked under a temporary name for the rename below.
        ok = replace ? LinkUnderTempName() : LinkNameless(m_fd, m_target);
    }
    if (ok && !m_tempName.empty()) {
        ok = replace ? ::rename(m_tempName.c_str(), m_target.c_str()) == 0
                     : ::renameat2(AT_FDCWD, m_tempName.c_str(), AT_FDCWD, m_target.c_str(),
                                   RENAME_NOREPLACE) == 0;
        if (ok)
            m_tempName.clear();
    }
    ok = ::close(m_fd) == 0 && ok;
    m_fd = -1;
    Discard();
    return ok;
}

bool WriteFileAtomically(const std::string& path, const std::string& bytes) {
    CAtomicFile file(path);
    return file.Write(bytes.data(), bytes.size()) && file.Commit();
}

void UseNamelessTempFiles(bool on) {
    g_namelessFiles = on;
}

int RemoveLeftoverTempFiles(const std::string& folder) {
    std::vector<DirEntry> entries;
    ListDirectory(folder, entries);
    int removed = 0;
    for (const DirEntry& e : entries) {
        pid_t pid = WriterOf(e.name);
        if (e.isDir || pid == 0 || ProcessRuns(pid))
            continue;
        removed += ::unlink((WithTrailingSlash(folder) + e.name).c_str()) == 0;
    }
    return removed;
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
    // Another file system: copy beside the target, put it in place only when
    // the target name is still free, then remove the source.
    if (FileExists(to) || !CopyInto(from, to, false))
        return false;
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
    return CopyInto(from, to, true);
}

FileOpHook SetFileOpHook(FileOpHook hook) {
    std::swap(g_hook, hook);
    return hook;
}
