#pragma once
#include <chrono>
#include <optional>
#include <sys/types.h>

// Waits for a child process until the deadline and gives its status as
// waitpid reports it. nullopt when it did not end in time, or cannot be
// waited for (reaped elsewhere). A child still running at the deadline is
// killed when killLate is set, else left to end on its own and reaped by a
// thread of its own, so it never stays a zombie.
std::optional<int> WaitForChild(pid_t pid, std::chrono::steady_clock::time_point deadline,
                                bool killLate);
