#include "platform/DesktopLauncher.h"

#include "platform/ChildProcess.h"
#include "platform/PlatformUi.h"
#include "platform/ProgramFolder.h"

#include <cerrno>
#include <fcntl.h>
#include <spawn.h>
#include <sys/wait.h>
#include <chrono>
#include <unistd.h>

extern char** environ;

namespace {

CXdgOpenLauncher g_xdgOpen;
IDesktopLauncher* g_launcher = &g_xdgOpen;

} // namespace

IDesktopLauncher& DesktopLauncher() {
    return *g_launcher;
}

IDesktopLauncher* SetDesktopLauncher(IDesktopLauncher* launcher) {
    IDesktopLauncher* old = g_launcher;
    g_launcher = launcher ? launcher : &g_xdgOpen;
    return old;
}

int CXdgOpenLauncher::Open(const std::string& target) {
    // A leading "-" would be read as an option of the opener.
    if (target.empty() || target.front() == '-')
        return EINVAL;
    char* argv[] = {const_cast<char*>("xdg-open"), const_cast<char*>(target.c_str()), nullptr};
    // The opener and its handler never read the program's input.
    posix_spawn_file_actions_t actions;
    posix_spawn_file_actions_init(&actions);
    posix_spawn_file_actions_addopen(&actions, STDIN_FILENO, "/dev/null", O_RDONLY, 0);
    pid_t pid = 0;
    int error = posix_spawnp(&pid, "xdg-open", &actions, nullptr, argv, environ);
    posix_spawn_file_actions_destroy(&actions);
    if (error != 0)
        return error;
    // Still running at the end: it waits for the handler it started, and is
    // reaped when it ends.
    const std::optional<int> status = WaitForChild(
        pid, std::chrono::steady_clock::now() + std::chrono::milliseconds(kQuickExitMs), false);
    if (!status)
        return 0;
    return WIFEXITED(*status) ? WEXITSTATUS(*status) : 128 + WTERMSIG(*status);
}

bool IsUrl(const std::string& target) {
    std::size_t i = 0;
    auto alpha = [](char c) { return (c >= 'a' && c <= 'z') || (c >= 'A' && c <= 'Z'); };
    auto digit = [](char c) { return c >= '0' && c <= '9'; };
    while (i < target.size() &&
           (alpha(target[i]) || (i > 0 && (digit(target[i]) || target[i] == '+' ||
                                           target[i] == '-' || target[i] == '.'))))
        ++i;
    return i > 0 && i < target.size() && target[i] == ':';
}

std::string PercentEncode(const std::string& text, const std::string& keep) {
    static const char kHex[] = "0123456789ABCDEF";
    std::string out;
    for (unsigned char c : text) {
        bool plain = (c >= 'a' && c <= 'z') || (c >= 'A' && c <= 'Z') || (c >= '0' && c <= '9') ||
                     c == '-' || c == '.' || c == '_' || c == '~' ||
                     keep.find(static_cast<char>(c)) != std::string::npos;
        if (plain) {
            out += static_cast<char>(c);
        } else {
            out += '%';
            out += kHex[c >> 4];
            out += kHex[c & 15];
        }
    }
    return out;
}

bool OpenWithDesktop(const std::string& target) {
    const std::string what = IsUrl(target) ? target : MakeAbsolutePath(target);
    int error = 0;
    if (what.empty())
        error = ENOENT;
    else if (!IsUrl(what) && ::access(what.c_str(), F_OK) != 0)
        error = errno;
    else {
        CWaitCursor wait;
        error = DesktopLauncher().Open(what);
    }
    if (error == 0)
        return true;
    PlatformUi().MessageBox("Failed to run \"" + what + "\", Error: " + std::to_string(error),
                            kOpenFailedCaption, IPlatformUi::Ok, IPlatformUi::Warning);
    return false;
}
