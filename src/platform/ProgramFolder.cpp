#include "platform/ProgramFolder.h"

#include <cstdlib>
#include <filesystem>
#include <system_error>
#include <unistd.h>

std::string WithTrailingSlash(const std::string& folder) {
    if (folder.empty() || folder.back() == '/')
        return folder;
    return folder + "/";
}

std::string GetProgramFolder() {
    if (const char* home = std::getenv("KELVRA_HOME"); home && *home)
        return WithTrailingSlash(MakeAbsolutePath(home));
    char buf[kMaxPath + 1];
    ssize_t n = readlink("/proc/self/exe", buf, kMaxPath);
    if (n <= 0)
        return WithTrailingSlash(MakeAbsolutePath("."));
    buf[n] = '\0';
    return FolderOf(buf);
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
