#include "platform/ChildProcess.h"

#include <cerrno>
#include <csignal>
#include <sys/wait.h>
#include <thread>

namespace {

void Reap(pid_t pid) {
    int status = 0;
    while (::waitpid(pid, &status, 0) < 0 && errno == EINTR) {
    }
}

} // namespace

std::optional<int> WaitForChild(pid_t pid, std::chrono::steady_clock::time_point deadline,
                                bool killLate) {
    for (;;) {
        int status = 0;
        const pid_t done = ::waitpid(pid, &status, WNOHANG);
        if (done == pid)
            return status;
        if (done < 0 && errno != EINTR)
            return std::nullopt;
        if (std::chrono::steady_clock::now() > deadline) {
            if (killLate) {
                ::kill(pid, SIGKILL);
                Reap(pid);
            } else {
                std::thread(Reap, pid).detach();
            }
            return std::nullopt;
        }
        std::this_thread::sleep_for(std::chrono::milliseconds(1));
    }
}
