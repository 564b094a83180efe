#include "platform/ProgramFolder.h"

#include <cerrno>
#include <cstdlib>
#include <filesystem>
#include <pwd.h>
#include <sys/stat.h>
#include <system_error>
#include <unistd.h>
#include <vector>

namespace {

std::string ExecutablePath() {
    char buf[kMaxPath + 1];
    ssize_t n = readlink("/proc/self/exe", buf, kMaxPath);
    if (n <= 0)
        return {};
    buf[n] = '\0';
    return buf;
}

// The folder of the executable; the current directory when it is unknown.
std::string ExecutableFolder(const std::string& exePath) {
    return exePath.empty() ? WithTrailingSlash(MakeAbsolutePath(".")) : FolderOf(exePath);
}

bool IsFolder(const std::string& path) {
    struct stat st {};
    return ::stat(path.c_str(), &st) == 0 && S_ISDIR(st.st_mode);
}

// An environment value that is an absolute path, else "".
std::string AbsoluteEnv(const char* name) {
    const char* value = std::getenv(name);
    return value && value[0] == '/' ? std::string(value) : std::string();
}

// The home folder of the account running the program, from the user database.
std::string AccountHome() {
    long size = ::sysconf(_SC_GETPW_R_SIZE_MAX);
    std::vector<char> buf(size > 0 ? static_cast<std::size_t>(size) : 16384);
    passwd entry{};
    passwd* found = nullptr;
    if (::getpwuid_r(::geteuid(), &entry, buf.data(), buf.size(), &found) != 0 || !found ||
        !found->pw_dir || found->pw_dir[0] != '/')
        return {};
    return found->pw_dir;
}

// Whether path, or its nearest existing parent when it does not exist,
// belongs to the user running the program.
bool BelongsToUser(std::string path) {
    struct stat st {};
    while (::stat(path.c_str(), &st) != 0) {
        if ((errno != ENOENT && errno != ENOTDIR) || path.size() <= 1)
            return false;
        std::size_t slash = path.find_last_of('/');
        path.resize(slash == 0 ? 1 : slash);
    }
    return st.st_uid == ::geteuid();
}

// Creates the missing folders along an absolute path, each private to the user.
void MakeFolders(const std::string& path) {
    for (std::size_t i = 1; i <= path.size(); ++i)
        if (i == path.size() || path[i] == '/')
            ::mkdir(path.substr(0, i).c_str(), 0700);
}

} // namespace

bool IsInstalledExecutable(const std::string& exePath) {
    const std::string folder = FolderOf(exePath);
    return folder.size() > 4 && folder.compare(folder.size() - 5, 5, "/bin/") == 0 &&
           IsFolder(folder + "../share/kelvra");
}

std::string DataFolderFor(const std::string& exePath) {
    if (!IsInstalledExecutable(exePath))
        return ExecutableFolder(exePath);
    const std::string folder = FolderOf(exePath);
    return folder.substr(0, folder.size() - 4) + "share/kelvra/";
}

std::string GetDataFolder() {
    return DataFolderFor(ExecutablePath());
}

std::string GetUserDataFolder() {
    std::vector<std::string> bases;
    if (std::string xdg = AbsoluteEnv("XDG_DATA_HOME"); !xdg.empty())
        bases.push_back(xdg);
    if (std::string home = AbsoluteEnv("HOME"); !home.empty())
        bases.push_back(WithTrailingSlash(home) + ".local/share");
    if (std::string account = AccountHome(); !account.empty())
        bases.push_back(WithTrailingSlash(account) + ".local/share");
    if (bases.empty())
        return WithTrailingSlash(MakeAbsolutePath("."));
    // None of them the user's own (an odd set-up): the account's home is the
    // system's word on where the user's files go.
    std::string folder = WithTrailingSlash(bases.back()) + "kelvra";
    for (const std::string& base : bases) {
        std::string candidate = WithTrailingSlash(base) + "kelvra";
        if (BelongsToUser(candidate)) {
            folder = candidate;
            break;
        }
    }
    MakeFolders(folder);
    return folder + "/";
}

std::string ProgramFolderFor(const std::string& exePath) {
    if (const char* home = std::getenv("KELVRA_HOME"); home && *home)
        return WithTrailingSlash(MakeAbsolutePath(home));
    return IsInstalledExecutable(exePath) ? GetUserDataFolder() : ExecutableFolder(exePath);
}

std::string GetProgramFolder() {
    return ProgramFolderFor(ExecutablePath());
}

std::string WithTrailingSlash(const std::string& folder) {
    if (folder.empty() || folder.back() == '/')
        return folder;
    return folder + "/";
}

std::string MakeAbsolutePath(const std::string& path) {
    if (path.empty() || path.front() == '/')
        return path;
    std::error_code ec;
    std::filesystem::path abs = std::filesystem::absolute(path, ec);
    if (ec)
        return path;
    return abs.lexically_normal().string();
}

std::string FileNameOf(const std::string& path) {
    auto pos = path.find_last_of('/');
    return pos == std::string::npos ? path : path.substr(pos + 1);
}

std::string FolderOf(const std::string& path) {
    auto pos = path.find_last_of('/');
    return pos == std::string::npos ? std::string() : path.substr(0, pos + 1);
}
