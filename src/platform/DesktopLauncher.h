#pragma once
#include <string>

// Opening a file, a folder, a web address or a mail link with the program the
// desktop associates with it (what a double click in the file manager does).
//
// A target is either a local path (a file or a folder; a relative path is
// taken against the current directory) or a URL with a scheme
// ("https://...", "file:///...", "mailto:...?subject=..."). A text that does
// not start with "/" but with a scheme and ":" is a URL.
//
// Callers use OpenWithDesktop(), which shows the program's failure message.
// The launcher behind it is the desktop's opener (xdg-open); tests install a
// scripted one with SetDesktopLauncher.
class IDesktopLauncher {
public:
    virtual ~IDesktopLauncher() = default;
    // Hands an existing local path (absolute) or a URL to the desktop's
    // handler. Returns 0 when the handler has been started, else an error
    // number: an errno value when the opener could not be started, or the
    // opener's exit status when it gave up at once (xdg-open: 1 bad
    // arguments, 2 no such file, 3 no program for the type, 4 the program
    // failed).
    virtual int Open(const std::string& target) = 0;
};

// The launcher in use; never null. Until another is installed it is the
// desktop's opener.
IDesktopLauncher& DesktopLauncher();
// Installs another launcher (tests; null puts the desktop's opener back).
// Returns the previous one.
IDesktopLauncher* SetDesktopLauncher(IDesktopLauncher* launcher);

// The desktop's opener: runs "xdg-open TARGET" found on PATH. Most desktops
// hand the target to the handler and xdg-open ends at once, with its
// failures; when it is still running after kQuickExitMs (it waits for the
// handler under a plain window manager) the handler has started and the
// opener is left to finish on its own.
class CXdgOpenLauncher final : public IDesktopLauncher {
public:
    static constexpr int kQuickExitMs = 1000;
    int Open(const std::string& target) override;
};

inline constexpr const char* kOpenFailedCaption = "Open Failed ";

// Whether a target names a URL rather than a local path.
bool IsUrl(const std::string& target);

// Percent-encodes every byte of a text (UTF-8) but the unreserved characters
// of a URL and those in keep.
std::string PercentEncode(const std::string& text, const std::string& keep);

// Opens a target with the desktop: a local path is made absolute and must
// exist (else the error is its errno, and nothing is launched). On failure
// shows "Failed to run \"TARGET\", Error: N" with the caption "Open Failed "
// and the exclamation icon. True when the handler was started.
bool OpenWithDesktop(const std::string& target);
